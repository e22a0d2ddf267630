// A MIDI keyboard played into the editor: through the input's queue, from
// the input's own thread where it matters.
#include <gtest/gtest.h>

#include <chrono>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "editor_fixture.h"
#include "sound/fake_midi_input.h"
#include "sound/midi_input_choice.h"
#include "sound/part_voices.h"

namespace kelvara::testing {
namespace {

ShortMessage on(int key, int velocity, int channel = 0) {
  return unpackShortMessage(packShortMessage(0x90u + static_cast<uint32_t>(channel),
                                             static_cast<uint32_t>(key),
                                             static_cast<uint32_t>(velocity)));
}
ShortMessage off(int key, int channel = 0) {
  return unpackShortMessage(
      packShortMessage(0x80u + static_cast<uint32_t>(channel), static_cast<uint32_t>(key), 64));
}
ShortMessage pedal(bool down) {
  return unpackShortMessage(packShortMessage(0xB0, 64, down ? 127 : 0));
}
uint32_t sounded(int channel, int key, int velocity) {
  return noteOnMessage(channel, key, velocity);
}

class MidiKeys : public EditorTest {
 protected:
  // As the window does: each message sounds as it arrives, then the batch
  // is entered on the UI thread.
  void play(std::initializer_list<ShortMessage> messages, bool enter = true) {
    editor.midiSound().follow(s().WorkPart, enter);
    for (const ShortMessage& m : messages) editor.midiSound().play(m);
    editor.midiKeys().receive(std::vector<ShortMessage>(messages), enter);
  }
  // The work part as text: each record's pitches and velocity, "*" when it
  // is open, ">" before the cursor's record ("end" for the end marker).
  std::string dump() {
    std::string out;
    for (TOnpu* r = first();; r = r->Next) {
      if (r == cur()) out += ">";
      if (isEndMarker(*r)) return out + "end";
      for (int i = 0; i <= r->LastIndex; ++i) {
        out += (i > 0 ? "," : "") + std::to_string(r->Pitch[i]);
      }
      out += ":" + std::to_string(r->Velocity) + (r->Closed == 0 ? "* " : " ");
    }
  }
};

TEST_F(MidiKeys, SingleNoteInputMakesARecordOfEveryNoteOnWithItsVelocity) {
  s().PartBaseKey[0] = 84;  // the letter keys' octave moved: the key is still the pitch
  play({on(60, 90), off(60), on(60, 50, 3), on(64, 70)});
  EXPECT_EQ(dump(), "60:90 60:50 >64:70* end");
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{sounded(0, 60, 90), sounded(0, 60, 0),
                                                    sounded(0, 60, 50), sounded(0, 64, 70)}));
  // The letter keys keep the default velocity.
  press('C');
  EXPECT_EQ(cur()->Velocity, 100);
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(MidiKeys, ChordInputJoinsOverlappingKeysAndClosesWhenAllAreUp) {
  press(vk::kDigit9);
  play({on(60, 80), on(64, 100)});
  play({on(67, 90), off(60), off(64)});
  EXPECT_EQ(dump(), ">67,64,60:100* end") << "still held: the chord stays open";
  play({off(67)});
  EXPECT_EQ(dump(), "67,64,60:100 >end");
  // Keys that do not overlap are chords of their own.
  play({on(62, 60), off(62), on(65, 60), off(65)});
  EXPECT_EQ(dump(), "67,64,60:100 62:60 65:60 >end");
  // The chord entered key by key is one undo step.
  editor.undoCommands().undo();
  editor.undoCommands().undo();
  editor.undoCommands().undo();
  EXPECT_EQ(dump(), ">end");
  EXPECT_TRUE(scoreIntact(s(), 0));
}

TEST_F(MidiKeys, SustainPedalBuildsOneChordAndHoldsTheSoundUntilReleased) {
  play({pedal(true), on(60, 100), off(60), on(64, 100), off(64)});
  EXPECT_EQ(dump(), ">64,60:100* end");
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{sounded(0, 60, 100), sounded(0, 64, 100)}));
  play({pedal(false)});
  EXPECT_EQ(dump(), "64,60:100 >end");
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{sounded(0, 60, 100), sounded(0, 64, 100),
                                                    sounded(0, 60, 0), sounded(0, 64, 0)}));
  // Without the pedal single-note input is back.
  play({on(60, 100), off(60), on(62, 100), off(62)});
  EXPECT_EQ(dump(), "64,60:100 60:100 >62:100* end");
}

TEST_F(MidiKeys, PercussionPartEntersDrumKeysAsThePadDoes) {
  editor.score().selectWorkPart(10);  // the percussion part
  play({on(36, 110), off(36), on(30, 90), off(30), on(42, 70)});
  EXPECT_EQ(dump(), "36:110 42:70 >end") << "30 is no drum key of the pad";
  EXPECT_EQ(midi.messages().front(), sounded(kPercussionPart, 36, 110));
  EXPECT_EQ(midi.messages()[2], sounded(kPercussionPart, 30, 90)) << "a refused key still sounds";
}

TEST_F(MidiKeys, KeysTheStaffCannotHoldSoundButEnterNothing) {
  const struct {
    int key;
    bool entered;
  } cases[] = {{20, false}, {21, true}, {100, true}, {101, false}, {127, false}};
  for (const auto& c : cases) {
    midi.clear();
    const int before = recordCount();
    play({on(c.key, 64), off(c.key)});
    EXPECT_EQ(recordCount() - before, c.entered ? 1 : 0) << c.key;
    EXPECT_EQ(midi.messages(),
              (std::vector<uint32_t>{sounded(0, c.key, 64), sounded(0, c.key, 0)}));
  }
}

TEST_F(MidiKeys, NothingIsPlayedInWhileADialogIsOpenButSoundingNotesEnd) {
  play({on(60, 100)});
  play({on(64, 100), off(60)}, /*enter=*/false);
  EXPECT_EQ(dump(), ">60:100* end");
  EXPECT_EQ(midi.messages(), (std::vector<uint32_t>{sounded(0, 60, 100), sounded(0, 60, 0)}));
  play({off(64)});
  EXPECT_EQ(midi.messages().size(), 2u) << "the key pressed meanwhile never sounded";
}

TEST_F(MidiKeys, BurstFromTheInputThreadIsEnteredInOrder) {
  FakeMidiInput input;
  input.present = {{"Keys:Keys MIDI 1 24:0", "Keys MIDI 1"}};
  editor.midiSound().follow(0, true);
  MidiInputQueue queue({}, [this](const ShortMessage& m) { editor.midiSound().play(m); });
  MidiInputChoice choice(input, queue);
  ASSERT_TRUE(choice.choose("Keys:Keys MIDI 1 24:0"));

  // 100 notes in 10 ms, each let go before the next.
  std::vector<int> keys;
  for (int i = 0; i < 100; ++i) keys.push_back(40 + (i * 7) % 50);
  std::thread player([&] {
    for (int key : keys) {
      input.play({0x90, static_cast<uint8_t>(key), 100});
      input.play({0x80, static_cast<uint8_t>(key), 0});
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  });
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (recordCount() < 100 && std::chrono::steady_clock::now() < until) {
    const std::vector<ShortMessage> batch = queue.take();
    editor.midiKeys().receive(batch);
    std::this_thread::yield();
  }
  player.join();
  editor.midiKeys().receive(queue.take());

  std::vector<int> entered;
  for (TOnpu* r = first(); !isEndMarker(*r); r = r->Next) entered.push_back(r->Pitch[0]);
  EXPECT_EQ(entered, keys);
  EXPECT_EQ(midi.messages().size(), 200u) << "each note sounded and ended on the input's thread";
  EXPECT_TRUE(scoreIntact(s(), 0));
}

}  // namespace
}  // namespace kelvara::testing
