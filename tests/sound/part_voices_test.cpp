// The message sequences around opening the output, on the recording port.
#include <gtest/gtest.h>

#include "sound/part_voices.h"
#include "sound/recording_midi_output.h"

namespace kelvara::testing {
namespace {

using Event = RecordingMidiOutput::Event;

std::array<int32_t, kMidiParts> programs() {
  std::array<int32_t, kMidiParts> p{};
  for (int c = 0; c < kMidiParts; ++c) p[c] = 10 * c + 3;
  return p;
}

TEST(PartVoices, StartUpOpensOnceAndSendsElevenProgramChangesInChannelOrder) {
  RecordingMidiOutput out(3);
  auto p = programs();
  p[9] = 0;
  EXPECT_EQ(reopenMidiOutput(out, 2, p, ProgramChanges::AllChannels, /*closeFirst=*/false), 2);
  ASSERT_EQ(out.events().size(), 12u);
  EXPECT_EQ(out.events()[0], (Event{Event::Kind::Open, 2, 0}));
  const std::vector<uint32_t> m = out.messages();
  for (uint32_t c = 0; c < 11; ++c) {
    EXPECT_EQ(m[c], 0xC0u + c + static_cast<uint32_t>(p[c]) * 256u) << "channel " << c;
  }
}

TEST(PartVoices, DialogAndPreviewReopenSkipTheDrumChannel) {
  RecordingMidiOutput out(2);
  reopenMidiOutput(out, 1, programs(), ProgramChanges::MelodicChannels);
  ASSERT_GE(out.events().size(), 2u);
  EXPECT_EQ(out.events()[0].kind, Event::Kind::Close);
  EXPECT_EQ(out.events()[1], (Event{Event::Kind::Open, 1, 0}));
  std::vector<uint32_t> statuses;
  for (uint32_t m : out.messages()) statuses.push_back(m & 0xFF);
  EXPECT_EQ(statuses,
            (std::vector<uint32_t>{0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xCA}));
}

TEST(PartVoices, RememberedDeviceThatIsGoneFallsBackToDeviceZero) {
  for (int remembered : {3, 17, -1}) {
    RecordingMidiOutput out(3);
    EXPECT_EQ(reopenMidiOutput(out, remembered, programs(), ProgramChanges::AllChannels, false), 0);
    EXPECT_EQ(out.openDevice(), 0) << remembered;
  }
}

TEST(PartVoices, PercussionNoteIsPackedOnChannelTen) {
  EXPECT_EQ(noteOnMessage(9, 38, 100), 0x99u + 38u * 256u + 100u * 65536u);
  EXPECT_EQ(noteOnMessage(9, 38, 0), 0x99u + 38u * 256u);
  EXPECT_EQ(noteOnMessage(10, 60, 127), 0x9Au + 60u * 256u + 127u * 65536u);
}

}  // namespace
}  // namespace kelvara::testing
