#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sound/midi_output.h"
#include "sound/notices.h"

namespace kelvara {

// One MIDI output port of the system as the port service lists it.
struct MidiPortInfo {
  std::string id;     // unique among the ports present (the service's full name)
  std::string label;  // what the user is shown
};

// The label of an ALSA sequencer port from the name RtMidi gives it,
// "client:port c:p": the address is dropped, and so is the client name when
// the port name repeats it ("Midi Through:Midi Through Port-0 14:0" reads
// "Midi Through Port-0").
std::string alsaPortLabel(std::string_view fullName);

// What the port output needs of the system's MIDI port service (the ALSA
// sequencer through RtMidi, or a fake in tests).
class MidiPortService {
 public:
  virtual ~MidiPortService() = default;

  // The output ports present now, in the service's order.
  virtual std::vector<MidiPortInfo> ports() = 0;
  // Connects to the port with this id. On failure (the port is gone, the
  // service refused) returns false and says why in `error`.
  virtual bool connect(const std::string& id, std::string& error) = 0;
  virtual void disconnect() = 0;
  // Sends one message of 1 to 3 bytes to the connected port; false when the
  // service refused it.
  virtual bool send(const uint8_t* bytes, size_t count) = 0;
};

// Notes started and not yet ended, per channel and key, so that closing the
// output can end them.
class HeldNotes {
 public:
  void track(const ShortMessage& m);
  // Messages that end every held note: a note-off (note-on with velocity 0)
  // per held note, then "all notes off" on each channel that had one.
  std::vector<ShortMessage> releaseAll();
  bool empty() const;

 private:
  std::array<std::array<uint8_t, 128>, 16> count_{};
};

// The system's MIDI output ports as devices 0..n-1. The list is taken when the
// output is made (and again by rescan()); a device is opened by its port's
// identity, so ports that came or went in between do not shift it onto
// another port. A port that cannot be opened or that goes away while open is
// reported once; messages for it are then dropped.
class PortMidiOutput : public MidiOutput {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // Checks that the open port is still there at most every `presenceCheck`
  // while sending (right after a message, never before it).
  explicit PortMidiOutput(std::unique_ptr<MidiPortService> service,
                          std::chrono::milliseconds presenceCheck = std::chrono::milliseconds(500),
                          Clock clock = &std::chrono::steady_clock::now);
  ~PortMidiOutput() override;

  int midiOutGetNumDevs() override;
  std::string midiOutGetDevCaps(int device) override;
  bool midiOutOpen(int device) override;
  void midiOutShortMsg(uint32_t message) override;
  void midiOutClose() override;
  std::string takeNotice() override { return notices_.take(); }

  // Takes the port list again.
  void rescan();

 private:
  void checkStillPresent();
  void reportLost();

  std::unique_ptr<MidiPortService> service_;
  std::chrono::milliseconds presenceCheck_;
  Clock clock_;
  std::vector<MidiPortInfo> ports_;
  int open_ = -1;      // index into ports_, -1 when closed
  bool lost_ = false;  // the open port went away: drop what is sent
  std::chrono::steady_clock::time_point lastCheck_{};
  HeldNotes held_;
  NoticeBoard notices_;
};

}  // namespace kelvara
