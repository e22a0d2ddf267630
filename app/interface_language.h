#pragma once

#include <QString>
#include <string>

class QCoreApplication;
class QTranslator;

namespace kelvara {

// The language of the interface for this run: the command line's choice,
// else the one kept beside the settings file, else Japanese.
QString chooseInterfaceLanguage(const std::string& commandLine, const QString& kept);

// The folder of the program's own translations: beside the executable in
// the build tree, share/kelvara/translations when installed.
std::string findTranslationFolder(const std::string& executableDir);

// Gives the application the texts of `language`: in Japanese, Qt's own
// dialogs and buttons in Japanese (the program's texts are Japanese); in
// English, the program's English texts (Qt's are English). The translator
// installed belongs to the application.
struct InstalledTexts {
  QTranslator* translator = nullptr;  // none when nothing could be loaded
  std::string problem;                // what could not be loaded, or empty
};
InstalledTexts installTranslations(QCoreApplication& app, const QString& language,
                                   const std::string& translationFolder);

}  // namespace kelvara
