// The program's command line: the editor's options, help and version, and
// what the program says when it is given wrong arguments or no display.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/command_line.h"

namespace kelvara {
namespace {

TEST(CommandLine, ReadsTheEditorOptionsInBothForms) {
  const EditorArgumentsResult r =
      parseEditorArguments({"--settings", "a.ini", "--soundfont=/x/gm.sf2", "--lang", "en"});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.arguments.settings, "a.ini");
  EXPECT_EQ(r.arguments.soundFont, "/x/gm.sf2");
  EXPECT_EQ(r.arguments.language, "en");
  EXPECT_EQ(parseEditorArguments({"--lang=ja"}).arguments.language, "ja");
  EXPECT_EQ(parseEditorArguments({}).error, "");
}

TEST(CommandLine, NamesTheOptionWhoseValueIsMissing) {
  EXPECT_EQ(parseEditorArguments({"--settings"}).error, "--settings needs a value (a file name)");
  EXPECT_EQ(parseEditorArguments({"--soundfont="}).error,
            "--soundfont needs a value (a file name)");
  EXPECT_EQ(parseEditorArguments({"--settings", "--soundfont", "x.sf2"}).error,
            "--settings needs a value (a file name)");
  EXPECT_EQ(parseEditorArguments({"--settings=--odd.ini"}).arguments.settings, "--odd.ini");
  EXPECT_EQ(parseEditorArguments({"--lang"}).error, "--lang needs a value (ja or en)");
  EXPECT_EQ(parseEditorArguments({"--lang", "de"}).error, "--lang takes ja or en, not 'de'");
}

TEST(CommandLine, RefusesAnUnknownArgument) {
  EXPECT_EQ(parseEditorArguments({"--settings", "a.ini", "--bogus"}).error,
            "unknown argument '--bogus'");
  EXPECT_EQ(parseEditorArguments({"--settingsx=1"}).error, "unknown argument '--settingsx=1'");
}

TEST(CommandLine, FindsHelpAndVersionAnywhere) {
  EXPECT_TRUE(asksForHelp({"--settings", "a.ini", "--help"}));
  EXPECT_TRUE(asksForHelp({"convert", "a.zqf3", "-h"}));
  EXPECT_FALSE(asksForHelp({"--settings", "help"}));
  EXPECT_TRUE(asksForVersion({"--soundfont", "x", "--version"}));
}

// The program itself, run as a user runs it.
struct ProgramRun {
  int status = -1;
  std::string output;  // stdout and stderr together
};

ProgramRun runKelvara(const std::string& arguments, const std::string& environment = "") {
  const std::string command = "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY " +
                              environment + " " KELVARA_EXE " " + arguments + " 2>&1";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer{};
  for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
    run.output.append(buffer.data(), n);
  }
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

int lineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Program, PrintsItsUsageForHelpAnywhereAndItsVersion) {
  ProgramRun help = runKelvara("--settings a.ini --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("Usage: kelvara [--settings FILE]", 0), 0u) << help.output;

  ProgramRun convertHelp = runKelvara("convert in.zqf3 out.mid --help");
  EXPECT_EQ(convertHelp.status, 0);
  EXPECT_EQ(convertHelp.output.rfind("Usage: kelvara convert", 0), 0u) << convertHelp.output;

  ProgramRun version = runKelvara("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "kelvara 1.1b4\n");
}

TEST(Program, SaysInOneLineAndAHintWhatIsWrongWithTheArguments) {
  ProgramRun unknown = runKelvara("--bogus");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.output,
            "kelvara: unknown argument '--bogus'\nTry 'kelvara --help' for more information.\n");

  ProgramRun missing = runKelvara("--soundfont");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.output.rfind("kelvara: --soundfont needs a value", 0), 0u) << missing.output;
  EXPECT_EQ(lineCount(missing.output), 2);
}

// Regression: with no display the program ended in an abort.
TEST(Program, WithoutADisplaySaysSoInOneLineAndFails) {
  ProgramRun run = runKelvara("", "KELVARA_SETTINGS=/nonexistent/klv.ini");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(lineCount(run.output), 1) << run.output;
  EXPECT_EQ(run.output.rfind("kelvara: cannot open the editor window: no display", 0), 0u)
      << run.output;

  run = runKelvara("", "DISPLAY=:739 KELVARA_SETTINGS=/nonexistent/klv.ini");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(lineCount(run.output), 1) << run.output;
  EXPECT_NE(run.output.find("DISPLAY=:739"), std::string::npos) << run.output;
}

// Regression: under a memory limit `pages` to JPEG hung for ever, and PDF and
// WAV ended in an uncaught std::bad_alloc (status 134). Every run now ends:
// with its file, or with a message and status 1.
TEST(Program, CommandsUnderAMemoryLimitEndWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer cannot run under an address-space limit";
#endif
  const std::string folder = ::testing::TempDir() + "kelvara-memory-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string score = SOURCE_DIR "/fuzz/corpus/zqf3/six_eight_long.zqf3";
  for (const int megabytes : {100, 120, 160, 200}) {
    for (const std::string output : {"s.jpg", "s.pdf", "s.wav"}) {
      const std::string command = output == "s.wav" ? "convert" : "pages";
      // popen's shell sets the limit for the program it starts.
      const std::string line = "ulimit -v " + std::to_string(megabytes * 1000) +
                               " && timeout 120 " KELVARA_EXE " " + command + " " + score + " " +
                               folder + "/" + output + " 2>&1";
      ProgramRun run;
      FILE* pipe = ::popen(line.c_str(), "r");
      ASSERT_NE(pipe, nullptr);
      std::array<char, 4096> buffer{};
      for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        run.output.append(buffer.data(), n);
      }
      const int status = ::pclose(pipe);
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      EXPECT_TRUE(
          run.status == 0 ||
          (run.status == 1 && run.output.find("kelvara " + command + ": ") != std::string::npos))
          << megabytes << " MB, " << output << ": status " << run.status << "\n"
          << run.output;
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kelvara
