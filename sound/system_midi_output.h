#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "sound/midi_output.h"

namespace kelvara {

// One device list made of several outputs: the devices of the first output
// come first (the built-in synthesizer is device 0), then those of the next.
// Opening a device closes whichever device was open, on any of the outputs,
// so that no note is left sounding.
class SystemMidiOutput : public MidiOutput {
 public:
  explicit SystemMidiOutput(std::vector<std::unique_ptr<MidiOutput>> outputs);
  ~SystemMidiOutput() override;

  int midiOutGetNumDevs() override;
  std::string midiOutGetDevCaps(int device) override;
  bool midiOutOpen(int device) override;
  void midiOutShortMsg(uint32_t message) override;
  void midiOutClose() override;
  std::string takeNotice() override;
  bool preparing() const override;

 private:
  // The output holding `device` and the device's number within it.
  std::pair<MidiOutput*, int> locate(int device);

  std::vector<std::unique_ptr<MidiOutput>> outputs_;
  MidiOutput* open_ = nullptr;
};

}  // namespace kelvara
