#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara {

// Packs a MIDI short message the way the output takes it:
// status + data1 * 256 + data2 * 65536.
constexpr uint32_t packShortMessage(uint32_t status, uint32_t data1, uint32_t data2) {
  return (status & 0xFFu) | ((data1 & 0x7Fu) << 8) | ((data2 & 0x7Fu) << 16);
}

// The bytes of a packed short message. `length` is 3 for note, key pressure,
// control and pitch-bend messages, 2 for program change and channel pressure,
// and 0 for anything this output does not carry (system messages, a missing
// status byte).
struct ShortMessage {
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  int length = 0;

  int channel() const { return status & 0x0F; }
  int kind() const { return status & 0xF0; }
  bool isNoteOn() const { return kind() == 0x90 && data2 > 0; }
  // A note-off, or a note-on with velocity 0.
  bool isNoteOff() const { return kind() == 0x80 || (kind() == 0x90 && data2 == 0); }
};

constexpr ShortMessage unpackShortMessage(uint32_t message) {
  ShortMessage m;
  m.status = static_cast<uint8_t>(message & 0xFFu);
  m.data1 = static_cast<uint8_t>((message >> 8) & 0x7Fu);
  m.data2 = static_cast<uint8_t>((message >> 16) & 0x7Fu);
  switch (m.status & 0xF0) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
      m.length = 3;
      break;
    case 0xC0:
    case 0xD0:
      m.length = 2;
      break;
    default:
      m.length = 0;
  }
  return m;
}

// Device names are at most this many characters long, as the device list of
// the sound dialog expects.
constexpr int kMaxDeviceNameChars = 31;

// Cuts a UTF-8 device name to kMaxDeviceNameChars characters without
// splitting a character.
inline std::string cutDeviceName(std::string_view name) {
  int chars = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const bool continuation = (static_cast<unsigned char>(name[i]) & 0xC0u) == 0x80u;
    if (!continuation && ++chars > kMaxDeviceNameChars) return std::string(name.substr(0, i));
  }
  return std::string(name);
}

// The MIDI output layer: a list of output devices, one of which is open at a
// time. Return values are informative; callers may ignore them, and sending
// while nothing is open does nothing.
class MidiOutput {
 public:
  virtual ~MidiOutput() = default;

  // Number of output devices.
  virtual int midiOutGetNumDevs() = 0;
  // Name of device `device` (at most 31 characters), empty when there is none.
  virtual std::string midiOutGetDevCaps(int device) = 0;
  // Opens device `device`, closing whatever was open. False when it failed.
  virtual bool midiOutOpen(int device) = 0;
  // Sends one packed short message to the open device.
  virtual void midiOutShortMsg(uint32_t message) = 0;
  // Ends every sounding note and closes the open device.
  virtual void midiOutClose() = 0;

  // Messages for the user about the output (no soundfont, no audio device, a
  // port that went away), each given once, in plain words; one per line.
  // Returns them and forgets them; empty when there is nothing to say.
  virtual std::string takeNotice() { return {}; }
  // The output is still getting ready (loading its sounds): notices may
  // follow, and notes sent meanwhile may not sound.
  virtual bool preparing() const { return false; }
};

}  // namespace kelvara
