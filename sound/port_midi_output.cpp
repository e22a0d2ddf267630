#include "sound/port_midi_output.h"
#include "score/ui_text.h"

#include <algorithm>
#include <utility>

namespace kelvara {

std::string alsaPortLabel(std::string_view fullName) {
  std::string_view name = fullName;
  // Drop a trailing " client:port" address.
  const size_t blank = name.rfind(' ');
  if (blank != std::string_view::npos) {
    const std::string_view address = name.substr(blank + 1);
    const size_t colon = address.find(':');
    const auto digits = [](std::string_view t) {
      return !t.empty() &&
             std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (colon != std::string_view::npos && digits(address.substr(0, colon)) &&
        digits(address.substr(colon + 1))) {
      name = name.substr(0, blank);
    }
  }
  // "client:port" where the port name starts with the client name.
  for (size_t colon = name.find(':'); colon != std::string_view::npos;
       colon = name.find(':', colon + 1)) {
    const std::string_view client = name.substr(0, colon);
    const std::string_view port = name.substr(colon + 1);
    if (!client.empty() && port.substr(0, client.size()) == client) return std::string(port);
  }
  return std::string(name);
}

void HeldNotes::track(const ShortMessage& m) {
  uint8_t& count = count_[static_cast<size_t>(m.channel())][m.data1];
  if (m.isNoteOn()) {
    if (count < 255) ++count;
  } else if (m.isNoteOff() && count > 0) {
    --count;
  }
}

std::vector<ShortMessage> HeldNotes::releaseAll() {
  std::vector<ShortMessage> out;
  for (int channel = 0; channel < 16; ++channel) {
    bool any = false;
    for (int key = 0; key < 128; ++key) {
      uint8_t& count = count_[static_cast<size_t>(channel)][static_cast<size_t>(key)];
      for (; count > 0; --count) {
        out.push_back(unpackShortMessage(packShortMessage(0x90u + static_cast<uint32_t>(channel),
                                                          static_cast<uint32_t>(key), 0)));
        any = true;
      }
    }
    // All notes off, for a synthesizer that keeps a voice per note-on.
    if (any)
      out.push_back(
          unpackShortMessage(packShortMessage(0xB0u + static_cast<uint32_t>(channel), 123, 0)));
  }
  return out;
}

bool HeldNotes::empty() const {
  for (const auto& channel : count_) {
    for (uint8_t count : channel) {
      if (count > 0) return false;
    }
  }
  return true;
}

PortMidiOutput::PortMidiOutput(std::unique_ptr<MidiPortService> service,
                               std::chrono::milliseconds presenceCheck, Clock clock)
    : service_(std::move(service)), presenceCheck_(presenceCheck), clock_(std::move(clock)) {
  rescan();
}

PortMidiOutput::~PortMidiOutput() {
  PortMidiOutput::midiOutClose();
}

void PortMidiOutput::rescan() {
  ports_ = service_->ports();
}

int PortMidiOutput::midiOutGetNumDevs() {
  return static_cast<int>(ports_.size());
}

std::string PortMidiOutput::midiOutGetDevCaps(int device) {
  if (device < 0 || device >= midiOutGetNumDevs()) return {};
  return cutDeviceName(ports_[static_cast<size_t>(device)].label);
}

bool PortMidiOutput::midiOutOpen(int device) {
  midiOutClose();
  if (device < 0 || device >= midiOutGetNumDevs()) return false;
  const MidiPortInfo& port = ports_[static_cast<size_t>(device)];

  std::string error;
  if (service_->connect(port.id, error)) {
    open_ = device;
    lost_ = false;
    lastCheck_ = clock_();
    return true;
  }
  if (error.empty()) error = uiText("kelvara::Sound", "接続できません");
  notices_.postOnce("open " + port.id, fillText(uiText("kelvara::Sound",
                                                       "MIDI出力ポート「%1」を開けません（%2）。"
                                                       "このポートへ送る音は鳴りません。"),
                                                {port.label, error}));
  return false;
}

void PortMidiOutput::midiOutShortMsg(uint32_t message) {
  if (open_ < 0 || lost_) return;
  const ShortMessage m = unpackShortMessage(message);
  if (m.length == 0) return;
  const uint8_t bytes[3] = {m.status, m.data1, m.data2};
  if (!service_->send(bytes, static_cast<size_t>(m.length))) {
    notices_.postOnce(
        "send " + ports_[static_cast<size_t>(open_)].id,
        fillText(uiText("kelvara::Sound", "MIDI出力ポート「%1」へ送れないメッセージがありました。"),
                 {ports_[static_cast<size_t>(open_)].label}));
  }
  held_.track(m);
  // Only after the message is out: the check must not delay a note.
  if (clock_() - lastCheck_ >= presenceCheck_) checkStillPresent();
}

void PortMidiOutput::checkStillPresent() {
  lastCheck_ = clock_();
  const std::string& id = ports_[static_cast<size_t>(open_)].id;
  const std::vector<MidiPortInfo> present = service_->ports();
  const bool there = std::any_of(present.begin(), present.end(),
                                 [&](const MidiPortInfo& p) { return p.id == id; });
  if (!there) reportLost();
}

void PortMidiOutput::reportLost() {
  const MidiPortInfo& port = ports_[static_cast<size_t>(open_)];
  lost_ = true;
  held_ = HeldNotes();  // nothing left to end them on
  notices_.postOnce("lost " + port.id,
                    fillText(uiText("kelvara::Sound",
                                    "MIDI出力ポート「%1」が見つからなくなりました。"
                                    "以後このポートへは音を送りません。"
                                    "「MIDI音源」で出力先を選び直してください。"),
                             {port.label}));
}

void PortMidiOutput::midiOutClose() {
  if (open_ < 0) return;
  if (!lost_) {
    for (const ShortMessage& m : held_.releaseAll()) {
      const uint8_t bytes[3] = {m.status, m.data1, m.data2};
      service_->send(bytes, static_cast<size_t>(m.length));
    }
  }
  held_ = HeldNotes();
  service_->disconnect();
  open_ = -1;
  lost_ = false;
}

}  // namespace kelvara
