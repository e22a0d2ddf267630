// Program entry: the command-line modes run without a display; otherwise the
// editor window opens.
#include <QApplication>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/score_commands.h"
#include "editor/render_command.h"
#include "editor/settings_file.h"
#include "files/convert_command.h"
#include "print/pages_command.h"
#include "render/glyph_table.h"
#include "sound/audio_export.h"
#include "sound/sound_devices.h"
#include "sound/soundfont_search.h"

namespace {

void printUsage(std::ostream& out) {
  out << "Usage: kelvara [--settings FILE] [--soundfont FILE]\n"
         "       kelvara convert INPUT OUTPUT [OPTIONS]\n"
         "       kelvara render INPUT OUTPUT.png [OPTIONS]\n"
         "       kelvara pages INPUT OUTPUT [OPTIONS]\n"
         "       kelvara --help\n\n"
         "  --settings FILE   the settings file to read at start and write at exit\n"
         "                    (else KELVARA_SETTINGS, else klv.ini in the user's config folder)\n"
         "  --soundfont FILE  the General MIDI soundfont of the built-in synthesizer\n"
         "                    (else KELVARA_SOUNDFONT, else the one installed)\n\n"
      << kelvara::convertUsage() << "\n"
      << kelvara::renderUsage() << "\n"
      << kelvara::pagesUsage();
}

std::string executableDir() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

// Takes "--settings FILE" out of args.
std::optional<std::string> takeSettingsArgument(std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--settings" && i + 1 < args.size()) {
      std::string value = args[i + 1];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                 args.begin() + static_cast<std::ptrdiff_t>(i + 2));
      return value;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    printUsage(std::cout);
    return 0;
  }
  if (!args.empty() && args[0] == "convert") {
    return kelvara::runConvertCommand({args.begin() + 1, args.end()}, std::cout, std::cerr,
                                      kelvara::exportWav);
  }
  if (!args.empty() && args[0] == "pages") {
    return kelvara::runPagesCommand({args.begin() + 1, args.end()},
                                    kelvara::findGlyphFolder(executableDir()), std::cout,
                                    std::cerr);
  }
  if (!args.empty() && args[0] == "render") {
    return kelvara::runRenderCommand({args.begin() + 1, args.end()},
                                     kelvara::findGlyphFolder(executableDir()), std::cout,
                                     std::cerr);
  }

  const std::optional<std::string> settings = takeSettingsArgument(args);
  const std::optional<std::string> soundFont = kelvara::takeSoundFontArgument(args);
  // A score file named on the command line opens once the window is up.
  std::string startFile;
  if (args.size() == 1 && !args[0].starts_with("-")) {
    startFile = args[0];
    args.clear();
  }
  if (!args.empty()) {
    std::cerr << "kelvara: unknown argument " << args[0] << "\n";
    printUsage(std::cerr);
    return 2;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kelvara"));
  QApplication::setOrganizationName(QStringLiteral("kelvara"));

  const kelvara::SettingsLocation location =
      kelvara::resolveSettingsLocation(settings.value_or(""));
  std::unique_ptr<kelvara::MidiOutput> midi = kelvara::createSystemMidiOutput(soundFont);
  kelvara::TForm1::Options options;
  options.settingsPath = location.path;
  options.explicitSettings = location.explicitPath;
  options.glyphFolder = kelvara::findGlyphFolder(executableDir());

  kelvara::TForm1 window(*midi, options);
  if (!window.FormCreate()) return 1;
  window.show();
  if (!startFile.empty()) window.scoreCommands().openAtStart(startFile);
  return QApplication::exec();
}
