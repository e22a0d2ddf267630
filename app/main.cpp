// Program entry: the command-line modes run without a display; otherwise the
// editor window opens.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/interface_language.h"
#include "app/main_window.h"
#include "app/score_commands.h"
#include "app/window_settings.h"
#include "app/termination_signals.h"
#include "editor/recovery_store.h"
#include "editor/render_command.h"
#include "editor/settings_file.h"
#include "files/convert_command.h"
#include "print/pages_command.h"
#include "render/app_icon.h"
#include "render/glyph_table.h"
#include "sound/audio_export.h"
#include "sound/rtmidi_input.h"
#include "sound/sound_devices.h"

namespace {

void printUsage(std::ostream& out) {
  out << "Usage: kelvara [--settings FILE] [--soundfont FILE] [--lang ja|en] [SCORE]\n"
         "       kelvara convert INPUT OUTPUT [OPTIONS]\n"
         "       kelvara render INPUT OUTPUT.png [OPTIONS]\n"
         "       kelvara pages INPUT OUTPUT [OPTIONS]\n"
         "       kelvara --help | --version\n\n"
         "  --settings FILE   the settings file to read at start and write at exit\n"
         "                    (else KELVARA_SETTINGS, else ~/.config/kelvara/klv.ini)\n"
         "  --soundfont FILE  the General MIDI soundfont of the built-in synthesizer\n"
         "                    (else KELVARA_SOUNDFONT, else the one installed)\n"
         "  --lang ja|en      the language of the window (else the one chosen in the\n"
         "                    credit and settings dialog, else ja)\n"
         "  SCORE             a .zqf3, .zqf2 or .zqf score, a .mid / .smf file or a\n"
         "                    MusicXML file, to open at start\n\n"
      << kelvara::convertUsage() << "\n"
      << kelvara::renderUsage() << "\n"
      << kelvara::pagesUsage();
}

std::string executableDir() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

std::vector<std::string> afterCommandWord(const std::vector<std::string>& args) {
  return {args.begin() + 1, args.end()};
}

// Messages Qt gives while it reaches the window system. When it cannot, it
// ends the process from a fatal message; the user gets one line instead.
// Anything else said meanwhile is passed on once the window system is up.
struct HeldMessage {
  QtMsgType type;
  std::string category;
  QString text;
};
std::vector<HeldMessage>& heldMessages() {
  static std::vector<HeldMessage> held;
  return held;
}

void whileReachingDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::cerr << "kelvara: cannot open the editor window: no display can be reached ("
              << (display != nullptr && *display != '\0' ? "DISPLAY=" + std::string(display)
                                                         : std::string("DISPLAY is not set"))
              << "); convert and render work without one\n";
    std::_Exit(1);
  }
  heldMessages().push_back({type, context.category != nullptr ? context.category : "", text});
}

int runEditor(int argc, char** argv, const std::vector<std::string>& args) {
  const kelvara::EditorArgumentsResult parsed = kelvara::parseEditorArguments(args);
  if (!parsed.error.empty()) {
    std::cerr << "kelvara: " << parsed.error << "\n" << kelvara::kHelpHint << "\n";
    return 2;
  }

  const QtMessageHandler previous = qInstallMessageHandler(whileReachingDisplay);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
  for (const HeldMessage& m : heldMessages()) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category.c_str());
    if (previous != nullptr) {
      previous(m.type, context, m.text);
    } else {
      std::cerr << m.text.toStdString() << "\n";
    }
  }
  heldMessages().clear();
  QApplication::setApplicationName(QStringLiteral("kelvara"));
  QApplication::setOrganizationName(QStringLiteral("kelvara"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kelvara::kAppId));

  const kelvara::SettingsLocation location =
      kelvara::resolveSettingsLocation(parsed.arguments.settings.value_or(""));
  const QString language = kelvara::chooseInterfaceLanguage(
      parsed.arguments.language.value_or(""),
      kelvara::readWindowSettings(kelvara::windowSettingsPath(location.path)).language);
  const std::string missingTexts =
      kelvara::installTranslations(app, language, kelvara::findTranslationFolder(executableDir()))
          .problem;
  if (!missingTexts.empty()) std::cerr << "kelvara: " << missingTexts << "\n";
  std::unique_ptr<kelvara::MidiOutput> midi =
      kelvara::createSystemMidiOutput(parsed.arguments.soundFont);
  kelvara::TForm1::Options options;
  options.settingsPath = location.path;
  options.explicitSettings = location.explicitPath;
  options.earlierSettingsPath = location.earlierPath;
  options.glyphFolder = kelvara::findGlyphFolder(executableDir());
  options.recoveryFolder = kelvara::RecoveryStore::defaultFolder();
  // Without an ALSA sequencer it has no ports and "MIDI入力" offers "なし" alone.
  kelvara::RtMidiInput midiInput;
  options.midiInput = &midiInput;
  options.language = language;

  // The window is mapped first and filled while the window system shows it;
  // the soundfont goes on loading meanwhile (see createSystemMidiOutput).
  kelvara::TForm1 window(*midi, options);
  window.show();
  if (!window.FormCreate()) return 1;
  // SIGTERM and SIGINT end the editor as its quit command does, without
  // questions; unsaved work is kept as a recovery copy.
  kelvara::TerminationSignals termination;
  QObject::connect(&termination, &kelvara::TerminationSignals::received, &window,
                   &kelvara::TForm1::endWithoutQuestions);
  // A score file named on the command line opens once the window stands
  // where the window manager put it, so a message about the file stands
  // over it.
  if (!parsed.arguments.scoreFile.empty()) {
    const std::string file = parsed.arguments.scoreFile;
    window.whenOnScreen([&window, file] { window.scoreCommands().openAtStart(file); });
  }
  return QApplication::exec();
}

// Runs a command-line mode; one that runs out of memory, or cannot have a
// thread, ends with a message and status 1 instead of an abort. Files are
// written whole or not at all, so nothing is left half made.
template <typename Command>
int guarded(const std::string& name, Command command) {
  try {
    return command();
  } catch (const std::bad_alloc&) {
    std::cerr << "kelvara " << name << ": メモリが足りません (out of memory)\n";
  } catch (const std::system_error& e) {
    std::cerr << "kelvara " << name << ": " << e.what() << "\n";
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? std::string() : args[0];

  if (kelvara::asksForHelp(args)) {
    if (command == "convert") {
      std::cout << kelvara::convertUsage();
    } else if (command == "render") {
      std::cout << "Usage: " << kelvara::renderUsage();
    } else if (command == "pages") {
      std::cout << kelvara::pagesUsage();
    } else {
      printUsage(std::cout);
    }
    return 0;
  }
  if (kelvara::asksForVersion(args)) {
    std::cout << "kelvara " << kelvara::kVersion << "\n";
    return 0;
  }

  if (command == "convert") {
    return guarded(command, [&] {
      return kelvara::runConvertCommand(afterCommandWord(args), std::cout, std::cerr,
                                        kelvara::exportWav);
    });
  }

  if (command == "pages") {
    return guarded(command, [&] {
      return kelvara::runPagesCommand(
          afterCommandWord(args), kelvara::findGlyphFolder(executableDir()), std::cout, std::cerr);
    });
  }

  if (command == "render") {
    return guarded(command, [&] {
      return kelvara::runRenderCommand(
          afterCommandWord(args), kelvara::findGlyphFolder(executableDir()), std::cout, std::cerr);
    });
  }

  return runEditor(argc, argv, args);
}
