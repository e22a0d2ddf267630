#include <QStandardPaths>
#include <QString>
#include <cstdlib>

#include "editor/settings_file.h"

namespace kelvara {

SettingsLocation resolveSettingsLocation(const std::string& commandLineValue) {
  if (!commandLineValue.empty()) return {commandLineValue, true};
  if (const char* env = std::getenv("KELVARA_SETTINGS"); env != nullptr && *env != '\0') {
    return {env, true};
  }
  QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  return {(folder + QStringLiteral("/klv.ini")).toStdString(), false};
}

}  // namespace kelvara
