// The MIDI input chosen is kept beside the settings file and reopened at start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/editor.h"
#include "editor/midi_input_setting.h"
#include "editor/notation_setting.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "sound/fake_midi_input.h"
#include "sound/recording_midi_output.h"
#include "support/scripted_questions.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;

constexpr char kKeys[] = "Keys:Keys MIDI 1 24:0";

class MidiInputSettingFile : public ::testing::Test {
 protected:
  MidiInputSettingFile() : editor(view, controls, midi, questions) {
    folder = fs::temp_directory_path() /
             ("kelvara-midiin-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    input.present = {{kKeys, "Keys MIDI 1"}, {"Pad:Pad 1 28:0", "Pad 1"}};
    editor.setMidiInput(&choice);
  }
  ~MidiInputSettingFile() override { fs::remove_all(folder); }

  std::string settings() const { return (folder / "klv.ini").string(); }
  std::string inputFile() const { return (folder / "klv-input.ini").string(); }
  void writeInputFile(const std::string& text) {
    std::ofstream(inputFile(), std::ios::binary) << text;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void start() { ASSERT_EQ(editor.FormCreate({settings(), false, SOURCE_DIR "/onpu"}), ""); }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi{2};
  testing::ScriptedQuestions questions;
  FakeMidiInput input;
  MidiInputQueue queue;
  MidiInputChoice choice{input, queue};
  Editor editor;
  fs::path folder;
};

TEST_F(MidiInputSettingFile, KeptPortIsReopenedAndTheChoiceKeptAtCloseBesideTheSettings) {
  EXPECT_EQ(midiInputSettingPath("/a/b/klv.ini"), "/a/b/klv-input.ini");
  writeInputFile(std::string("input=") + kKeys + "\r\n");
  start();
  EXPECT_EQ(input.opened, kKeys);
  EXPECT_TRUE(questions.informed.empty());

  choice.choose("Pad:Pad 1 28:0");
  editor.FormClose();
  EXPECT_EQ(read(inputFile()), "input=Pad:Pad 1 28:0\r\n");
  // The settings file itself keeps its 25 lines.
  const std::string kept = read(settings());
  EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 25);
}

TEST_F(MidiInputSettingFile, UnreadableFileIsNoneWithANoticeNamingIt) {
  const std::string cases[] = {"input=Keys\x01:evil\r\n", "port=Keys:Keys MIDI 1 24:0",
                               "input=" + std::string(300, 'x'), std::string(5000, 'x')};
  for (const std::string& text : cases) {
    writeInputFile(text);
    const MidiInputSetting kept = readMidiInputSetting(inputFile());
    EXPECT_EQ(kept.port, "") << text.substr(0, 20);
    EXPECT_NE(kept.notice.find("klv-input.ini"), std::string::npos) << text.substr(0, 20);
  }
}

TEST_F(MidiInputSettingFile, GonePortStartsWithNoneToldOnceAndNoneIsKept) {
  writeInputFile("input=Gone:Gone 9 40:0\r\n");
  start();
  ASSERT_EQ(questions.informed.size(), 1u);
  EXPECT_NE(questions.informed[0].find("Gone 9"), std::string::npos);
  EXPECT_EQ(input.opened, "");
  editor.FormClose();
  EXPECT_EQ(read(inputFile()), "input=\r\n");
}

TEST_F(MidiInputSettingFile, StandardNotationIsKeptInAFileOfItsOwn) {
  EXPECT_EQ(notationSettingPath("/a/b/klv.ini"), "/a/b/klv-notation.ini");
  const std::string notation = (folder / "klv-notation.ini").string();
  start();
  EXPECT_FALSE(editor.state().StandardNotation) << "no file: the usual drawing";
  editor.state().StandardNotation = true;
  editor.FormClose();
  EXPECT_EQ(read(notation), "standard=1\r\n");
  const std::string kept = read(settings());
  EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 25) << "klv.ini keeps its 25 lines";

  Editor second(view, controls, midi, questions);
  ASSERT_EQ(second.FormCreate({settings(), false, SOURCE_DIR "/onpu"}), "");
  EXPECT_TRUE(second.state().StandardNotation);
  EXPECT_TRUE(questions.informed.empty());

  for (const char* text : {"standard=2\r\n", "standard=1 extra", ""}) {
    std::ofstream(notation, std::ios::binary) << text;
    Editor third(view, controls, midi, questions);
    ASSERT_EQ(third.FormCreate({settings(), false, SOURCE_DIR "/onpu"}), "");
    EXPECT_FALSE(third.state().StandardNotation) << text;
    ASSERT_FALSE(questions.informed.empty()) << text;
    EXPECT_NE(questions.informed.back().find(notation), std::string::npos);
  }
}

}  // namespace
}  // namespace kelvara
