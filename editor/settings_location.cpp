#include <QStandardPaths>
#include <QString>
#include <cstdlib>

#include "editor/settings_file.h"

namespace kelvara {

SettingsLocation resolveSettingsLocation(const std::string& commandLineValue) {
  if (!commandLineValue.empty()) return {commandLineValue, true, {}};
  if (const char* env = std::getenv("KELVARA_SETTINGS"); env != nullptr && *env != '\0') {
    return {env, true, {}};
  }
  // The generic config folder (~/.config): the application's own config
  // folder would add the organisation and the program name, both "kelvara".
  QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  const QString own = folder + QStringLiteral("/kelvara");
  return {(own + QStringLiteral("/klv.ini")).toStdString(), false,
          (own + QStringLiteral("/kelvara/klv.ini")).toStdString()};
}

}  // namespace kelvara
