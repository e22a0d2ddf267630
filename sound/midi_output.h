#pragma once

#include <cstdint>
#include <string>

namespace kelvara {

// Packs a MIDI short message the way the output takes it:
// status + data1 * 256 + data2 * 65536.
constexpr uint32_t packShortMessage(uint32_t status, uint32_t data1, uint32_t data2) {
  return (status & 0xFFu) | ((data1 & 0x7Fu) << 8) | ((data2 & 0x7Fu) << 16);
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
};

}  // namespace kelvara
