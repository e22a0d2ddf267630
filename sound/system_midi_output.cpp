#include "sound/system_midi_output.h"

namespace kelvara {

SystemMidiOutput::SystemMidiOutput(std::vector<std::unique_ptr<MidiOutput>> outputs)
    : outputs_(std::move(outputs)) {}

SystemMidiOutput::~SystemMidiOutput() {
  SystemMidiOutput::midiOutClose();
}

int SystemMidiOutput::midiOutGetNumDevs() {
  int count = 0;
  for (const auto& output : outputs_) count += output->midiOutGetNumDevs();
  return count;
}

std::pair<MidiOutput*, int> SystemMidiOutput::locate(int device) {
  if (device < 0) return {nullptr, -1};
  for (const auto& output : outputs_) {
    const int count = output->midiOutGetNumDevs();
    if (device < count) return {output.get(), device};
    device -= count;
  }
  return {nullptr, -1};
}

std::string SystemMidiOutput::midiOutGetDevCaps(int device) {
  auto [output, local] = locate(device);
  return output != nullptr ? output->midiOutGetDevCaps(local) : std::string();
}

bool SystemMidiOutput::midiOutOpen(int device) {
  midiOutClose();
  auto [output, local] = locate(device);
  if (output == nullptr || !output->midiOutOpen(local)) return false;
  open_ = output;
  return true;
}

void SystemMidiOutput::midiOutShortMsg(uint32_t message) {
  if (open_ != nullptr) open_->midiOutShortMsg(message);
}

void SystemMidiOutput::midiOutClose() {
  if (open_ != nullptr) open_->midiOutClose();
  open_ = nullptr;
}

std::string SystemMidiOutput::takeNotice() {
  std::string out;
  for (const auto& output : outputs_) {
    const std::string notice = output->takeNotice();
    if (notice.empty()) continue;
    if (!out.empty()) out += '\n';
    out += notice;
  }
  return out;
}

bool SystemMidiOutput::preparing() const {
  for (const auto& output : outputs_) {
    if (output->preparing()) return true;
  }
  return false;
}

}  // namespace kelvara
