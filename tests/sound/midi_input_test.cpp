// The MIDI input: the choice of port behind a fake input, the messages it
// takes, and the queue to the UI thread.
#include <gtest/gtest.h>

#include <vector>

#include "sound/fake_midi_input.h"
#include "sound/midi_input_choice.h"
#include "sound/rtmidi_input.h"

namespace kelvara::testing {
namespace {

constexpr char kKeys[] = "Keys:Keys MIDI 1 24:0";

class InputChoice : public ::testing::Test {
 protected:
  InputChoice() { input.present = {{kKeys, "Keys MIDI 1"}, {"Pad:Pad 1 28:0", "Pad 1"}}; }

  FakeMidiInput input;
  MidiInputQueue queue;
  MidiInputChoice choice{input, queue};
};

TEST_F(InputChoice, OpensThePortByItsIdAndNoneClosesIt) {
  ASSERT_EQ(choice.ports().size(), 2u);
  EXPECT_TRUE(choice.choose(kKeys));
  EXPECT_EQ(choice.chosen(), kKeys);
  EXPECT_EQ(input.opened, kKeys);
  input.play({0x91, 60, 99});
  ASSERT_EQ(queue.take().size(), 1u);
  EXPECT_TRUE(choice.choose(""));
  EXPECT_EQ(input.opened, "");
  input.play({0x91, 60, 99});
  EXPECT_TRUE(queue.take().empty()) << "nothing arrives once closed";
  EXPECT_EQ(choice.takeNotice(), "");
}

TEST_F(InputChoice, AVanishedPortIsReportedOnceAndTheChoiceFallsBackToNone) {
  ASSERT_TRUE(choice.choose(kKeys));
  EXPECT_FALSE(choice.checkStillPresent());
  input.present.erase(input.present.begin());
  EXPECT_TRUE(choice.checkStillPresent());
  EXPECT_EQ(choice.chosen(), "");
  EXPECT_EQ(input.opened, "");
  EXPECT_NE(choice.takeNotice().find("Keys MIDI 1"), std::string::npos);

  // Back at another address (plugged in again): the same keyboard, chosen
  // or found again by the check.
  input.present.push_back({"Keys:Keys MIDI 1 28:0", "Keys MIDI 1"});
  EXPECT_TRUE(choice.choose(kKeys));
  EXPECT_EQ(choice.chosen(), "Keys:Keys MIDI 1 28:0");
  input.present.back().id = "Keys:Keys MIDI 1 32:0";
  EXPECT_TRUE(choice.checkStillPresent());
  EXPECT_EQ(input.opened, "Keys:Keys MIDI 1 32:0");
  input.present.pop_back();
  EXPECT_TRUE(choice.checkStillPresent());
  choice.takeNotice();

  // Asked for again (the next start) while still gone: none, and no second word.
  EXPECT_FALSE(choice.choose(kKeys));
  EXPECT_EQ(choice.chosen(), "");
  EXPECT_EQ(choice.takeNotice(), "");

  input.refuse = true;
  EXPECT_FALSE(choice.choose("Pad:Pad 1 28:0"));
  EXPECT_NE(choice.takeNotice().find("使用中です"), std::string::npos);
}

// Regression: the port the output sends to, chosen as the input too, played
// every entered note back in, to be entered and sent again without end.
TEST_F(InputChoice, ThePortTheOutputOpensIsRefused) {
  input.refuse = false;
  EXPECT_FALSE(choice.choose("Pad:Pad 1 28:0", "Pad 1"));
  EXPECT_EQ(choice.chosen(), "");
  EXPECT_NE(choice.takeNotice().find("MIDI出力"), std::string::npos);
  EXPECT_TRUE(choice.choose("Pad:Pad 1 28:0", "Keys MIDI 1"));
  EXPECT_EQ(choice.chosenLabel(), "Pad 1");
}

TEST(MidiInputMessage, TakesChannelMessagesOnly) {
  const struct {
    std::vector<uint8_t> bytes;
    bool taken;
  } cases[] = {
      {{0x90, 60, 100}, true}, {{0x8F, 60, 0}, true},
      {{0xB0, 64, 127}, true}, {{0xC0, 5}, true},
      {{0xF8}, false},         {{0xF0, 1, 2}, false},
      {{0x90, 60}, false},     {{0x90, 0x80, 1}, false},
      {{60, 100}, false},      {{}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(channelMessage(c.bytes.data(), c.bytes.size()).has_value(), c.taken)
        << ::testing::PrintToString(c.bytes);
  }
}

TEST(MidiInputQueue, WakesOncePerDrainAndDropsBeyondItsCapacity) {
  int wakes = 0;
  MidiInputQueue queue([&] { ++wakes; });
  const ShortMessage note = unpackShortMessage(packShortMessage(0x90, 60, 100));
  for (size_t i = 0; i < MidiInputQueue::kCapacity + 5; ++i) queue.push(note);
  EXPECT_EQ(wakes, 1);
  EXPECT_EQ(queue.take().size(), MidiInputQueue::kCapacity);
  EXPECT_EQ(queue.takeDropped(), 5u);
  queue.push(note);
  EXPECT_EQ(wakes, 2);
}

// With or without an ALSA sequencer on the machine.
TEST(RtMidiInputPorts, AnAbsentPortIsRefusedWithAReason) {
  RtMidiInput input("Kelvara test");
  MidiInputQueue queue;
  std::string error;
  EXPECT_FALSE(input.midiInOpen("No such port 99:0", queue, error));
  EXPECT_FALSE(error.empty());
  input.midiInClose();
}

}  // namespace
}  // namespace kelvara::testing
