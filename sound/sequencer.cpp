#include "sound/sequencer.h"

#include <algorithm>
#include <utility>

namespace kelvara {

namespace {

constexpr uint32_t kAllNotesOff = 123;
// Controllers from 120 on are channel mode messages: commands, not settings
// to restore.
constexpr uint8_t kFirstModeController = 120;

uint32_t noteOff(int channel, int key) {
  return packShortMessage(0x80u + static_cast<uint32_t>(channel), static_cast<uint32_t>(key), 0);
}

}  // namespace

Sequencer::Sequencer(MidiSong song, MidiOutput& out) : song_(std::move(song)), out_(out) {
  if (song_.barStarts.empty()) song_.barStarts.push_back(0);
}

Sequencer::~Sequencer() {
  if (state_ == PlayState::Playing) silence();
}

int64_t Sequencer::positionAt(int64_t now) const {
  if (state_ != PlayState::Playing) return position_;
  return std::clamp<int64_t>(now - origin_, 0, song_.lengthMicros);
}

void Sequencer::play(int64_t now) {
  if (state_ == PlayState::Playing) return;
  if (finished_) {
    position_ = 0;
    next_ = 0;
    finished_ = false;
  }
  origin_ = now - position_;
  state_ = PlayState::Playing;
  if (next_ > 0) chase();
}

void Sequencer::pause(int64_t now) {
  if (state_ != PlayState::Playing) return;
  position_ = positionAt(now);
  state_ = PlayState::Paused;
  silence();
}

void Sequencer::stop(int64_t /*now*/) {
  if (state_ == PlayState::Playing) silence();
  state_ = PlayState::Stopped;
  position_ = 0;
  next_ = 0;
  finished_ = false;
}

void Sequencer::step(int64_t now) {
  const int bar = song_.barAt(positionAt(now));
  if (bar + 1 < song_.barCount()) seek(now, song_.barStarts[static_cast<size_t>(bar) + 1]);
}

void Sequencer::back(int64_t now) {
  const int64_t position = positionAt(now);
  int bar = song_.barAt(position);
  if (position - song_.barStarts[static_cast<size_t>(bar)] < kBackGraceMicros && bar > 0) --bar;
  seek(now, song_.barStarts[static_cast<size_t>(bar)]);
}

void Sequencer::seek(int64_t now, int64_t position) {
  const bool playing = state_ == PlayState::Playing;
  if (playing) silence();
  position_ = position;
  finished_ = false;
  next_ = static_cast<size_t>(
      std::lower_bound(song_.messages.begin(), song_.messages.end(), position,
                       [](const TimedMessage& m, int64_t t) { return m.micros < t; }) -
      song_.messages.begin());
  if (playing) {
    origin_ = now - position;
    chase();
  } else if (position > 0 || state_ == PlayState::Paused) {
    state_ = PlayState::Paused;
  }
}

int64_t Sequencer::pump(int64_t now) {
  if (state_ != PlayState::Playing) return kNever;
  const std::vector<TimedMessage>& m = song_.messages;
  while (next_ < m.size() && origin_ + m[next_].micros <= now) send(m[next_++].message);
  if (next_ < m.size()) return origin_ + m[next_].micros;
  silence();
  state_ = PlayState::Stopped;
  position_ = song_.lengthMicros;
  finished_ = true;
  return kNever;
}

void Sequencer::send(uint32_t message) {
  const ShortMessage m = unpackShortMessage(message);
  uint8_t& count = sounding_[static_cast<size_t>(m.channel())][m.data1];
  if (m.isNoteOn()) {
    if (count < 255) ++count;
  } else if (m.isNoteOff() && count > 0) {
    --count;
  }
  out_.midiOutShortMsg(message);
}

void Sequencer::silence() {
  for (int ch = 0; ch < 16; ++ch) {
    for (int key = 0; key < 128; ++key) {
      uint8_t& count = sounding_[static_cast<size_t>(ch)][static_cast<size_t>(key)];
      if (count > 0) out_.midiOutShortMsg(noteOff(ch, key));
      count = 0;
    }
  }
  for (uint32_t ch = 0; ch < 16; ++ch) {
    if ((song_.channelsUsed & (1u << ch)) == 0) continue;
    out_.midiOutShortMsg(packShortMessage(0xB0u + ch, kAllNotesOff, 0));
    out_.midiOutShortMsg(packShortMessage(0xE0u + ch, 0x00, 0x40));
  }
}

void Sequencer::chase() {
  std::array<ChannelState, 16> channels;
  for (size_t i = 0; i < next_; ++i) {
    const ShortMessage m = unpackShortMessage(song_.messages[i].message);
    ChannelState& c = channels[static_cast<size_t>(m.channel())];
    if (m.kind() == 0xC0) {
      c.program = m.data1;
    } else if (m.kind() == 0xE0) {
      c.bend = m.data1 | (m.data2 << 7);
    } else if (m.kind() == 0xB0 && m.data1 < kFirstModeController) {
      auto it = std::find_if(c.controllers.begin(), c.controllers.end(),
                             [&](const auto& cc) { return cc.first == m.data1; });
      if (it == c.controllers.end()) {
        c.controllers.emplace_back(m.data1, m.data2);
      } else {
        it->second = m.data2;
      }
    }
  }
  for (uint32_t ch = 0; ch < 16; ++ch) {
    const ChannelState& c = channels[ch];
    if (c.program >= 0)
      out_.midiOutShortMsg(packShortMessage(0xC0u + ch, static_cast<uint32_t>(c.program), 0));
    for (const auto& [number, value] : c.controllers) {
      out_.midiOutShortMsg(packShortMessage(0xB0u + ch, number, value));
    }
    if (c.bend >= 0) {
      const auto bend = static_cast<uint32_t>(c.bend);
      out_.midiOutShortMsg(packShortMessage(0xE0u + ch, bend & 0x7Fu, bend >> 7));
    }
  }
}

PlayerStatus Sequencer::status(int64_t now) const {
  PlayerStatus s;
  s.state = state_;
  s.positionMicros = positionAt(now);
  s.lengthMicros = song_.lengthMicros;
  s.bar = song_.barAt(s.positionMicros);
  s.bars = song_.barCount();
  return s;
}

}  // namespace kelvara
