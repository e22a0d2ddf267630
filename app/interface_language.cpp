#include "app/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>

#include "app/window_settings.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// The engine's texts looked up in the installed translations.
std::string translatedEngineText(const char* context, const char* japanese) {
  return QCoreApplication::translate(context, japanese).toStdString();
}

}  // namespace

QString chooseInterfaceLanguage(const std::string& commandLine, const QString& kept) {
  if (!commandLine.empty()) return QString::fromStdString(commandLine);
  return isInterfaceLanguage(kept) ? kept : QStringLiteral("ja");
}

std::string findTranslationFolder(const std::string& executableDir) {
  namespace fs = std::filesystem;
  for (const fs::path& folder :
       {fs::path(executableDir) / "translations",
        fs::path(executableDir) / ".." / "share" / "kelvara" / "translations"}) {
    std::error_code ec;
    if (fs::is_regular_file(folder / "kelvara_en.qm", ec)) {
      return folder.lexically_normal().string();
    }
  }
  return (fs::path(executableDir) / "translations").string();
}

InstalledTexts installTranslations(QCoreApplication& app, const QString& language,
                                   const std::string& translationFolder) {
  const bool english = language == QLatin1String("en");
  QLocale::setDefault(QLocale(english ? QLocale::English : QLocale::Japanese));
  auto* translator = new QTranslator(&app);
  const bool loaded = english
                          ? translator->load(QStringLiteral("kelvara_en"),
                                             QString::fromStdString(translationFolder))
                          : translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                                             QStringLiteral("_"),
                                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!loaded) {
    delete translator;
    return {nullptr, english ? "the English texts (kelvara_en.qm) are not in " + translationFolder
                             : "Qt's Japanese texts (qtbase_ja.qm) are not installed"};
  }
  QCoreApplication::installTranslator(translator);
  setUiTextLookup(&translatedEngineText);
  return {translator, {}};
}

}  // namespace kelvara
