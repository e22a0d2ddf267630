#include "sound/rtmidi_input.h"
#include "score/ui_text.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>

#include <utility>

namespace kelvara {

namespace {

// Asks the sequencer for a client without RtMidi, which would print its own
// complaint when there is none.
bool sequencerPresent() {
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) return false;
  snd_seq_close(seq);
  return true;
}

void keepRtMidiError(RtMidiError::Type, const std::string& text, void* target) {
  *static_cast<std::string*>(target) = text;
}

// Runs on RtMidi's thread: only hands the message to the queue.
void onMessage(double /*deltaSeconds*/, std::vector<unsigned char>* bytes, void* queue) {
  if (bytes == nullptr || queue == nullptr) return;
  if (const auto m = channelMessage(bytes->data(), bytes->size())) {
    static_cast<MidiInputQueue*>(queue)->push(*m);
  }
}

std::unique_ptr<RtMidiIn> makeClient(const std::string& name, std::string* errors) {
  try {
    auto client = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, name);
    client->setErrorCallback(keepRtMidiError, errors);
    return client;
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

}  // namespace

RtMidiInput::RtMidiInput(std::string clientName) : clientName_(std::move(clientName)) {
  if (sequencerPresent()) lister_ = makeClient(clientName_ + " ports", &lastError_);
}

RtMidiInput::~RtMidiInput() {
  RtMidiInput::midiInClose();
}

std::vector<MidiPortInfo> RtMidiInput::midiInPorts() {
  std::vector<MidiPortInfo> out;
  if (!lister_) return out;
  // The editor's own output port is readable too; played into the input it
  // would enter every note it sounds, again and again.
  const std::string own = clientName_ + ":";
  const unsigned count = lister_->getPortCount();
  for (unsigned i = 0; i < count; ++i) {
    std::string name = lister_->getPortName(i);
    // Empty: the port went away meanwhile.
    if (!name.empty() && name.compare(0, own.size(), own) != 0) {
      out.push_back({name, alsaPortLabel(name)});
    }
  }
  return out;
}

bool RtMidiInput::midiInOpen(const std::string& id, MidiInputQueue& queue, std::string& error) {
  midiInClose();
  if (!lister_) {
    error = uiText("kelvara::Sound", "MIDIシーケンサーがありません");
    return false;
  }
  lastError_.clear();
  receiver_ = makeClient(clientName_, &lastError_);
  if (!receiver_) {
    error = uiText("kelvara::Sound", "MIDIシーケンサーに接続できません");
    return false;
  }
  // RtMidi opens by position, which changes as other ports come and go: look
  // the port up by name right before opening it.
  const unsigned count = receiver_->getPortCount();
  for (unsigned i = 0; i < count; ++i) {
    if (receiver_->getPortName(i) != id) continue;
    // System, clock and sensing messages are not wanted; the callback is set
    // before the port opens so that nothing is queued inside RtMidi.
    receiver_->ignoreTypes(true, true, true);
    receiver_->setCallback(onMessage, &queue);
    receiver_->openPort(i, "Kelvara input");
    if (receiver_->isPortOpen()) return true;
    error = lastError_.empty() ? uiText("kelvara::Sound", "開けません") : lastError_;
    receiver_.reset();
    return false;
  }
  receiver_.reset();
  error = uiText("kelvara::Sound", "ポートが見つかりません");
  return false;
}

void RtMidiInput::midiInClose() {
  if (!receiver_) return;
  // Closing joins RtMidi's thread, so no message arrives afterwards.
  receiver_->closePort();
  receiver_->cancelCallback();
  receiver_.reset();
}

}  // namespace kelvara
