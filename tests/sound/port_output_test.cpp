// The system's MIDI ports behind a fake port service, and the device list
// that joins the outputs.
#include <gtest/gtest.h>

#include <algorithm>

#include "sound/part_voices.h"
#include "sound/port_midi_output.h"
#include "sound/recording_midi_output.h"
#include "sound/system_midi_output.h"

namespace kelvara::testing {
namespace {

// A port service whose ports come and go as the test says; keeps what was
// sent as packed messages.
struct FakePorts : MidiPortService {
  std::vector<MidiPortInfo> present;
  std::string connected;
  std::vector<uint32_t> sent;
  std::vector<std::string> connects;

  std::vector<MidiPortInfo> ports() override { return present; }
  bool connect(const std::string& id, std::string& error) override {
    connects.push_back(id);
    const bool there = std::any_of(present.begin(), present.end(),
                                   [&](const MidiPortInfo& p) { return p.id == id; });
    if (!there) error = "gone";
    connected = there ? id : "";
    return there;
  }
  void disconnect() override { connected.clear(); }
  bool send(const uint8_t* b, size_t n) override {
    sent.push_back(packShortMessage(b[0], n > 1 ? b[1] : 0, n > 2 ? b[2] : 0));
    return true;
  }
};

MidiPortInfo port(const std::string& name) {
  return {name, alsaPortLabel(name)};
}

class Ports : public ::testing::Test {
 protected:
  Ports() {
    auto service = std::make_unique<FakePorts>();
    fake = service.get();
    fake->present = {port("Midi Through:Midi Through Port-0 14:0"),
                     port("Synth:Synth input 128:0")};
    // Check for the port after every message.
    out = std::make_unique<PortMidiOutput>(std::move(service), std::chrono::milliseconds(0));
  }

  FakePorts* fake = nullptr;
  std::unique_ptr<PortMidiOutput> out;
};

TEST_F(Ports, ListsPortsWithShortLabels) {
  ASSERT_EQ(out->midiOutGetNumDevs(), 2);
  EXPECT_EQ(out->midiOutGetDevCaps(0), "Midi Through Port-0");
  EXPECT_EQ(out->midiOutGetDevCaps(1), "Synth input");
  EXPECT_EQ(out->midiOutGetDevCaps(2), "");
  EXPECT_EQ(alsaPortLabel("Virtual Raw MIDI 1-0:VirMIDI 1-0 20:0"),
            "Virtual Raw MIDI 1-0:VirMIDI 1-0");
  EXPECT_EQ(alsaPortLabel("no address"), "no address");
}

TEST(DeviceName, IsCutToThirtyOneCharactersWithoutSplittingOne) {
  EXPECT_EQ(cutDeviceName(std::string(40, 'a')), std::string(31, 'a'));
  std::string kana;
  for (int i = 0; i < 40; ++i) kana += "音";
  const std::string cut = cutDeviceName(kana);
  EXPECT_EQ(cut.size(), 31u * 3u);
  EXPECT_EQ(cutDeviceName("short"), "short");
}

TEST_F(Ports, OpensThePortChosenEvenWhenOthersAppearedBeforeIt) {
  fake->present.insert(fake->present.begin(), port("USB:USB MIDI 1 20:0"));
  ASSERT_TRUE(out->midiOutOpen(1));
  EXPECT_EQ(fake->connected, "Synth:Synth input 128:0");
}

TEST_F(Ports, ClosingEndsHeldNotes) {
  ASSERT_TRUE(out->midiOutOpen(1));
  out->midiOutShortMsg(noteOnMessage(0, 60, 100));
  out->midiOutShortMsg(noteOnMessage(9, 38, 100));
  out->midiOutShortMsg(noteOnMessage(0, 60, 0));  // released by the user
  out->midiOutShortMsg(noteOnMessage(0, 64, 100));
  fake->sent.clear();

  out->midiOutClose();
  EXPECT_EQ(fake->sent,
            (std::vector<uint32_t>{noteOnMessage(0, 64, 0), packShortMessage(0xB0, 123, 0),
                                   noteOnMessage(9, 38, 0), packShortMessage(0xB9, 123, 0)}));
  EXPECT_EQ(fake->connected, "");

  // Nothing is held any more: a second open and close sends nothing.
  ASSERT_TRUE(out->midiOutOpen(1));
  fake->sent.clear();
  out->midiOutClose();
  EXPECT_TRUE(fake->sent.empty());
}

TEST_F(Ports, SendsTwoByteMessagesAsTwoBytesAndDropsSystemMessages) {
  ASSERT_TRUE(out->midiOutOpen(0));
  out->midiOutShortMsg(0xC3 + 25 * 256);
  out->midiOutShortMsg(0xF8);
  out->midiOutShortMsg(0x40);  // no status byte
  EXPECT_EQ(fake->sent, (std::vector<uint32_t>{0xC3u + 25u * 256u}));
}

TEST_F(Ports, PortThatGoesAwayIsReportedOnceAndLaterSendsAreDropped) {
  ASSERT_TRUE(out->midiOutOpen(1));
  out->midiOutShortMsg(noteOnMessage(0, 60, 100));
  EXPECT_EQ(out->takeNotice(), "");

  fake->present.pop_back();  // unplugged
  out->midiOutShortMsg(noteOnMessage(0, 62, 100));
  const std::string notice = out->takeNotice();
  EXPECT_NE(notice.find("Synth input"), std::string::npos) << notice;

  const size_t sentBefore = fake->sent.size();
  for (int i = 0; i < 10; ++i) out->midiOutShortMsg(noteOnMessage(0, 64, 100));
  out->midiOutClose();
  EXPECT_EQ(fake->sent.size(), sentBefore);
  EXPECT_EQ(out->takeNotice(), "");
}

TEST_F(Ports, PortGoneBeforeOpeningIsReportedOnce) {
  fake->present.clear();
  EXPECT_FALSE(out->midiOutOpen(0));
  EXPECT_NE(out->takeNotice().find("Midi Through Port-0"), std::string::npos);
  EXPECT_FALSE(out->midiOutOpen(0));
  EXPECT_EQ(out->takeNotice(), "");
  out->midiOutShortMsg(noteOnMessage(0, 60, 100));
  EXPECT_TRUE(fake->sent.empty());
}

TEST(SystemOutput, NumbersDevicesAcrossOutputsAndClosesTheOldOneOnSwitching) {
  auto synth = std::make_unique<RecordingMidiOutput>(1);
  auto ports = std::make_unique<RecordingMidiOutput>(2);
  RecordingMidiOutput* a = synth.get();
  RecordingMidiOutput* b = ports.get();
  std::vector<std::unique_ptr<MidiOutput>> outputs;
  outputs.push_back(std::move(synth));
  outputs.push_back(std::move(ports));
  SystemMidiOutput out(std::move(outputs));

  EXPECT_EQ(out.midiOutGetNumDevs(), 3);
  EXPECT_EQ(out.midiOutGetDevCaps(0), "Recorder 0");
  EXPECT_EQ(out.midiOutGetDevCaps(2), "Recorder 1");
  EXPECT_EQ(out.midiOutGetDevCaps(3), "");

  ASSERT_TRUE(out.midiOutOpen(0));
  out.midiOutShortMsg(noteOnMessage(0, 60, 100));
  ASSERT_TRUE(out.midiOutOpen(2));  // switching closes the synthesizer first
  out.midiOutShortMsg(noteOnMessage(0, 62, 100));

  using Event = RecordingMidiOutput::Event;
  EXPECT_EQ(a->events(), (std::vector<Event>{{Event::Kind::Open, 0, 0},
                                             {Event::Kind::Message, -1, noteOnMessage(0, 60, 100)},
                                             {Event::Kind::Close, -1, 0}}));
  EXPECT_EQ(b->openDevice(), 1);
  EXPECT_EQ(b->messages(), (std::vector<uint32_t>{noteOnMessage(0, 62, 100)}));

  EXPECT_FALSE(out.midiOutOpen(3));
  EXPECT_FALSE(b->isOpen());
  out.midiOutShortMsg(noteOnMessage(0, 64, 100));  // nothing open: dropped
  EXPECT_EQ(b->messages().size(), 1u);
}

}  // namespace
}  // namespace kelvara::testing
