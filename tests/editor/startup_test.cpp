#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/editor.h"
#include "editor/settings_file.h"
#include "input/headless_controls.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "sound/recording_midi_output.h"
#include "support/scripted_questions.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedQuestions;
using Event = RecordingMidiOutput::Event;

class Startup : public ::testing::Test {
 protected:
  Startup() : midi(3), editor(view, controls, midi, questions) {
    settings = fs::temp_directory_path() /
               ("kelvara-startup-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini");
    fs::remove(settings);
  }
  ~Startup() override { fs::remove(settings); }

  StartOptions options() const { return {settings.string(), true, SOURCE_DIR "/onpu"}; }

  HeadlessScoreView view;
  HeadlessControls controls;
  RecordingMidiOutput midi;
  ScriptedQuestions questions;
  Editor editor;
  fs::path settings;
};

TEST_F(Startup, OpensTheDeviceAndSendsElevenProgramChangesInChannelOrder) {
  Settings s;
  s.MidiDevice = 1;
  for (int i = 0; i < 10; ++i) s.Programs[i] = 40 + i;
  ASSERT_EQ(writeSettingsFile(settings.string(), s), "");
  ASSERT_EQ(editor.FormCreate(options()), "");

  ASSERT_EQ(midi.events().size(), 12u);
  EXPECT_EQ(midi.events()[0], (Event{Event::Kind::Open, 1, 0}));
  const std::vector<uint32_t> messages = midi.messages();
  for (uint32_t c = 0; c < 11; ++c) {
    const uint32_t program = c == 9 ? 0 : c == 10 ? 49 : 40 + c;
    EXPECT_EQ(messages[c], 0xC0 + c + program * 256) << "channel " << c;
  }
  EXPECT_TRUE(questions.informed.empty());
}

TEST_F(Startup, LeavesEveryPartEmptyWithTheCursorOnItsEndMarker) {
  ASSERT_EQ(editor.FormCreate(options()), "");
  const EditorState& s = editor.state();
  for (int p = 0; p < kPartCount; ++p) {
    EXPECT_TRUE(isPartEmpty(s.PartHead[p]));
    EXPECT_TRUE(isEndMarker(*s.CurNode[p]));
    EXPECT_EQ(s.CurNode[p]->Closed, 1);
    EXPECT_EQ(s.PartVolume[p], 100);
    EXPECT_EQ(s.PartPan[p], 10);
    EXPECT_EQ(s.PartSelected[p], 1);
    EXPECT_EQ(s.PartBaseKey[p], 60);
  }
  EXPECT_EQ(s.PageNode, s.CurNode[0]);
  EXPECT_EQ(s.InputUnit, 8);
  EXPECT_EQ(s.KeySig, 7);
  EXPECT_EQ(s.Tempo, 120);
  EXPECT_EQ(s.CursorOff, 1);
  EXPECT_EQ(view.octaveLabel(),
            "[↓キ－]　←                         4                       → [↑キ－]");
}

TEST_F(Startup, NamedButMissingSettingsFileGivesDefaultsAndOneNotice) {
  ASSERT_EQ(editor.FormCreate(options()), "");
  EXPECT_EQ(questions.informed.size(), 1u);
  EXPECT_EQ(editor.state().BlinkCursor, 1);
  EXPECT_EQ(editor.state().UpDownAction, 1);
  EXPECT_EQ(editor.state().PadChoice[11], 11);
}

TEST_F(Startup, GarbageSettingsFileNeverStopsStartUp) {
  std::ofstream(settings, std::ios::binary) << "\x7f\x45LF binary junk \xff\xfe 12 -- 3";
  ASSERT_EQ(editor.FormCreate(options()), "");
  EXPECT_EQ(questions.informed.size(), 1u);
  EXPECT_EQ(editor.state().MidiDevice, 0);
  EXPECT_EQ(midi.events().size(), 12u);
}

TEST_F(Startup, SettingsRoundTripThroughClose) {
  ASSERT_EQ(editor.FormCreate(options()), "");
  EditorState& s = editor.state();
  s.MidiDevice = 2;
  s.PartProgram[4] = 71;
  s.PartProgram[10] = 19;
  s.PartProgram[9] = 5;  // the percussion program is not kept
  s.BlinkCursor = 0;
  s.UpDownAction = 0;
  s.PadChoice[0] = 38;
  s.PadChoice[11] = -1;
  editor.FormClose();
  EXPECT_TRUE(questions.errors.empty());

  HeadlessScoreView view2;
  HeadlessControls controls2;
  RecordingMidiOutput midi2(3);
  ScriptedQuestions questions2;
  Editor next(view2, controls2, midi2, questions2);
  ASSERT_EQ(next.FormCreate(options()), "");
  const EditorState& t = next.state();
  EXPECT_EQ(t.MidiDevice, 2);
  EXPECT_EQ(t.PartProgram[4], 71);
  EXPECT_EQ(t.PartProgram[10], 19);
  EXPECT_EQ(t.PartProgram[9], 0);
  EXPECT_EQ(t.BlinkCursor, 0);
  EXPECT_EQ(t.UpDownAction, 0);
  EXPECT_EQ(t.PadChoice[0], 38);
  EXPECT_EQ(t.PadChoice[11], -1);
  EXPECT_EQ(midi2.events()[0], (Event{Event::Kind::Open, 2, 0}));
}

TEST_F(Startup, DestroyClosesTheOutputAndFreesEverythingOnce) {
  ASSERT_EQ(editor.FormCreate(options()), "");
  editor.score().InsertOnpu(60, 8);
  editor.score().InsertOnpu(62, 8);
  editor.FormDestroy();
  EXPECT_EQ(midi.events().back().kind, Event::Kind::Close);
  EXPECT_EQ(editor.state().PartHead[0], nullptr);
  editor.FormDestroy();
  EXPECT_EQ(midi.events().size(), 13u);
}

TEST_F(Startup, MissingGlyphPictureStopsStartUpNamingFileAndFolder) {
  const fs::path empty = fs::temp_directory_path() / "kelvara-no-glyphs";
  fs::create_directories(empty);
  StartOptions o = options();
  o.glyphFolder = empty.string();
  const std::string error = editor.FormCreate(o);
  EXPECT_NE(error.find("1bu.bmp"), std::string::npos);
  EXPECT_NE(error.find(empty.string()), std::string::npos);
  fs::remove_all(empty);
}

}  // namespace
}  // namespace kelvara
