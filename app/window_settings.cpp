#include "app/window_settings.h"

#include <QSettings>
#include <filesystem>

namespace kelvara {

namespace {
// The file holds two short values; anything much larger is not ours.
constexpr std::uintmax_t kMaxFileSize = 64 * 1024;
constexpr int kMaxGeometrySize = 4096;
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kLanguageKey = QStringLiteral("interface/language");
}  // namespace

std::string windowSettingsPath(const std::string& settingsPath) {
  const std::filesystem::path path(settingsPath);
  return (path.parent_path() / (path.stem().string() + "-window.ini")).string();
}

bool isInterfaceLanguage(const QString& language) {
  return language == QLatin1String("ja") || language == QLatin1String("en");
}

WindowSettings readWindowSettings(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return {};
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxFileSize) return {};
  const QSettings file(QString::fromStdString(path), QSettings::IniFormat);
  WindowSettings settings;
  settings.geometry = file.value(kGeometryKey).toByteArray();
  if (settings.geometry.size() > kMaxGeometrySize) settings.geometry.clear();
  const QString language = file.value(kLanguageKey).toString();
  if (isInterfaceLanguage(language)) settings.language = language;
  return settings;
}

bool writeWindowSettings(const std::string& path, const WindowSettings& settings) {
  // The values already there are kept; a file that is not one of ours is
  // left alone rather than read.
  std::error_code ec;
  if (std::filesystem::exists(path, ec) &&
      (!std::filesystem::is_regular_file(path, ec) ||
       std::filesystem::file_size(path, ec) > kMaxFileSize || ec)) {
    return false;
  }
  QSettings file(QString::fromStdString(path), QSettings::IniFormat);
  if (!settings.geometry.isEmpty()) file.setValue(kGeometryKey, settings.geometry);
  if (!settings.language.isEmpty()) file.setValue(kLanguageKey, settings.language);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace kelvara
