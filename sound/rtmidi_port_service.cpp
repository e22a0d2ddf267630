#include "sound/rtmidi_port_service.h"
#include "score/ui_text.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>

namespace kelvara {

namespace {

// Asks the sequencer for a client without RtMidi, which would print its own
// complaint when there is none.
bool sequencerPresent() {
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) return false;
  snd_seq_close(seq);
  return true;
}

void keepRtMidiError(RtMidiError::Type, const std::string& text, void* target) {
  *static_cast<std::string*>(target) = text;
}

}  // namespace

RtMidiPortService::RtMidiPortService(const std::string& clientName) {
  if (!sequencerPresent()) return;
  try {
    midi_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, clientName);
    midi_->setErrorCallback(keepRtMidiError, &lastError_);
  } catch (const RtMidiError&) {
    midi_.reset();
  }
}

RtMidiPortService::~RtMidiPortService() = default;

std::vector<MidiPortInfo> RtMidiPortService::ports() {
  std::vector<MidiPortInfo> out;
  if (!midi_) return out;
  const unsigned count = midi_->getPortCount();
  for (unsigned i = 0; i < count; ++i) {
    std::string name = midi_->getPortName(i);
    if (!name.empty()) out.push_back({name, alsaPortLabel(name)});  // empty: went away meanwhile
  }
  return out;
}

bool RtMidiPortService::connect(const std::string& id, std::string& error) {
  if (!midi_) {
    error = uiText("kelvara::Sound", "MIDIシーケンサーがありません");
    return false;
  }
  // RtMidi opens by position; the position of a port changes as others come
  // and go, so look it up by name right before opening.
  const unsigned count = midi_->getPortCount();
  for (unsigned i = 0; i < count; ++i) {
    if (midi_->getPortName(i) != id) continue;
    lastError_.clear();
    midi_->openPort(i, "Kelvara output");
    if (midi_->isPortOpen()) return true;
    error = lastError_;
    return false;
  }
  error = uiText("kelvara::Sound", "ポートが見つかりません");
  return false;
}

void RtMidiPortService::disconnect() {
  if (midi_) midi_->closePort();
}

bool RtMidiPortService::send(const uint8_t* bytes, size_t count) {
  if (!midi_) return false;
  lastError_.clear();
  midi_->sendMessage(bytes, count);
  return lastError_.empty();
}

}  // namespace kelvara
