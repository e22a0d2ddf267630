// The sound dialog's command, without a window.
#include <gtest/gtest.h>

#include "sound/part_voices.h"
#include "sound/recording_midi_output.h"
#include "sound/sound_settings.h"
#include "score/voice_names.h"

namespace kelvara::testing {
namespace {

using Event = RecordingMidiOutput::Event;

class SoundDialogCommand : public ::testing::Test {
 protected:
  SoundDialogCommand() {
    for (int p = 0; p < kPartCount; ++p) {
      s.PartProgram[p] = p == kPercussionPart ? 0 : p + 40;
      s.PartVolume[p] = 90 + p;
      s.PartPan[p] = p;
    }
    s.MidiDevice = 1;
  }

  // Everything the dialog stores, to see that nothing changed.
  auto snapshot() const { return std::tuple(s.MidiDevice, s.PartProgram, s.PartVolume, s.PartPan); }

  EditorState s;
  RecordingMidiOutput out{3};
};

TEST_F(SoundDialogCommand, LoadsTheStateIntoTheDialog) {
  const SoundSettings d = loadSoundSettings(s, out);
  EXPECT_EQ(d.device, 1);
  EXPECT_EQ(d.program, s.PartProgram);
  EXPECT_EQ(d.volume[9], "99");
  EXPECT_EQ(d.volume[10], "100");
  EXPECT_EQ(d.pan, s.PartPan);

  s.MidiDevice = 7;  // a port from the settings file that is gone
  EXPECT_EQ(loadSoundSettings(s, out).device, 0);
}

TEST_F(SoundDialogCommand, OkStoresEverythingThenReopensWithTenProgramChanges) {
  SoundSettings d = loadSoundSettings(s, out);
  d.device = 2;
  d.program[0] = 5;
  d.program[kPercussionPart] = 77;  // no voice list in that row: never stored
  d.volume[9] = "12";
  d.volume[10] = " 127 ";
  d.pan[3] = 0;
  d.pan[4] = 20;

  EXPECT_FALSE(applySoundSettings(s, out, d));
  EXPECT_EQ(s.MidiDevice, 2);
  EXPECT_EQ(s.PartProgram[0], 5);
  EXPECT_EQ(s.PartProgram[kPercussionPart], 0);
  EXPECT_EQ(s.PartVolume[9], 12);
  EXPECT_EQ(s.PartVolume[10], 127);
  EXPECT_EQ(s.PartPan[3], 0);
  EXPECT_EQ(s.PartPan[4], 20);

  ASSERT_EQ(out.events().size(), 12u);
  EXPECT_EQ(out.events()[0].kind, Event::Kind::Close);
  EXPECT_EQ(out.events()[1], (Event{Event::Kind::Open, 2, 0}));
  const std::vector<uint32_t> m = out.messages();
  EXPECT_EQ(m.front(), 0xC0u + 5u * 256u);
  EXPECT_EQ(m.back(), 0xCAu + 50u * 256u);
  for (uint32_t message : m) EXPECT_NE(message & 0xFF, 0xC9u);
}

TEST_F(SoundDialogCommand, BadVolumeStoresNothingAndLeavesTheOutputAlone) {
  const auto before = snapshot();
  SoundSettings d = loadSoundSettings(s, out);
  d.device = 2;
  d.program[1] = 9;
  d.pan[0] = 20;
  d.volume[5] = "abc";
  d.volume[6] = "300";

  const std::optional<VolumeProblem> problem = applySoundSettings(s, out, d);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->part, 5);
  EXPECT_EQ(problem->message, "6パートの音量 'abc' は整数ではありません");
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(out.events().empty());
}

TEST_F(SoundDialogCommand, VolumesMustBeIntegersFrom0To127) {
  for (const char* good : {"0", "127", "64", " 64", "+5", "-0", "007"}) {
    EXPECT_TRUE(parseVolumeText(good).has_value()) << good;
  }
  for (const char* bad : {"", " ", "1.5", "12a", "0x10", "$10", "- 3", "99999999999"}) {
    EXPECT_FALSE(parseVolumeText(bad).has_value()) << bad;
  }

  SoundSettings d = loadSoundSettings(s, out);
  for (const char* outside : {"128", "-1", "1000"}) {
    d.volume[2] = outside;
    const auto problem = checkVolumes(d);
    ASSERT_TRUE(problem) << outside;
    EXPECT_EQ(problem->part, 2);
    EXPECT_EQ(problem->message,
              "3パートの音量 '" + std::string(outside) + "' は 0〜127 の範囲外です");
  }
}

TEST_F(SoundDialogCommand, BoxesAreCheckedInRowOrderWithPartTenBeforePercussion) {
  SoundSettings d = loadSoundSettings(s, out);
  d.volume[9] = "x";
  d.volume[10] = "y";
  EXPECT_EQ(checkVolumes(d)->part, 10);
  d.volume[10] = "1";
  EXPECT_EQ(checkVolumes(d)->part, 9);
}

TEST(VoiceList, HasTheHundredTwentyEightNamedVoicesNumberedInThreeColumns) {
  EXPECT_EQ(voiceListEntry(0), "  0: Piano 1");
  EXPECT_EQ(voiceListEntry(56), " 56: Trumpet");
  EXPECT_EQ(voiceListEntry(127), "127: Gun Shot");
  EXPECT_EQ(voiceListEntry(128), "");
  for (std::string_view name : voiceNames()) EXPECT_FALSE(name.empty());
}

}  // namespace
}  // namespace kelvara::testing
