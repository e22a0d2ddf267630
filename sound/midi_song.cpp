#include "sound/midi_song.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <new>

#include "files/byte_reader.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// Far beyond any real song (days of music), and safe from overflow when
// multiplied by a tempo (at most 2^24 microseconds per quarter note).
constexpr int64_t kMaxTick = int64_t{1} << 32;
constexpr uint32_t kDefaultQuarterMicros = 500000;  // 120 beats per minute

struct Fault {
  std::string what;
};

std::string cannotRead(const std::string& name, const std::string& why) {
  return fillText(uiText("kelvara::Sound", "MIDI ファイル %1 を読めません: %2"), {name, why});
}

struct RawMessage {
  int64_t tick;
  int track;
  size_t order;
  uint32_t message;
};

struct TimeSignature {
  int64_t tick;
  int64_t barTicks;
};

int dataBytesOf(uint8_t status) {
  const uint8_t kind = status & 0xF0u;
  return kind == 0xC0u || kind == 0xD0u ? 1 : 2;
}

struct Collected {
  std::vector<RawMessage> messages;
  std::map<int64_t, uint32_t> tempos;  // tick -> microseconds per quarter
  std::vector<TimeSignature> signatures;
};

void readTrack(std::span<const uint8_t> chunk, int track, int division, Collected& c) {
  ByteReader r(chunk);
  int64_t tick = 0;
  uint8_t running = 0;
  size_t order = 0;
  while (!r.atEnd()) {
    tick += r.vlq();
    if (tick > kMaxTick) throw Fault{uiText("kelvara::Sound", "曲が長すぎます")};
    uint8_t status = r.peek();
    if (status < 0x80u) {
      if (running == 0) throw Fault{uiText("kelvara::Sound", "状態バイトのないデータがあります")};
      status = running;
    } else {
      r.u8();
    }
    if (status == 0xFFu) {
      const uint8_t type = r.u8();
      const auto data = r.take(r.vlq());
      if (type == 0x2Fu) return;  // End of Track
      if (type == 0x51u && data.size() == 3) {
        const uint32_t q = (uint32_t{data[0]} << 16) | (uint32_t{data[1]} << 8) | data[2];
        if (q > 0) c.tempos[tick] = q;
      } else if (type == 0x58u && data.size() >= 2 && data[1] < 8) {
        const int64_t bar = int64_t{data[0]} * division * 4 >> data[1];
        if (bar > 0) c.signatures.push_back({tick, bar});
      }
      continue;
    }
    if (status == 0xF0u || status == 0xF7u) {
      r.skip(r.vlq());
      running = 0;
      continue;
    }
    if (status >= 0xF0u)
      throw Fault{uiText("kelvara::Sound", "ファイルに置けないメッセージがあります")};
    running = status;
    const uint8_t d1 = r.u8();
    const uint8_t d2 = dataBytesOf(status) == 2 ? r.u8() : 0;
    if ((d1 | d2) & 0x80u) throw Fault{uiText("kelvara::Sound", "データバイトが壊れています")};
    if (c.messages.size() >= kMaxSongMessages)
      throw Fault{uiText("kelvara::Sound", "メッセージが多すぎます")};
    c.messages.push_back(
        {tick, track, order++, status | (uint32_t{d1} << 8) | (uint32_t{d2} << 16)});
  }
}

// Microseconds of every tick through the tempo map.
class TempoMap {
 public:
  TempoMap(const std::map<int64_t, uint32_t>& tempos, int division) : division_(division) {
    int64_t tick = 0, micros = 0;
    uint32_t q = kDefaultQuarterMicros;
    for (const auto& [at, quarter] : tempos) {
      micros += (at - tick) * q / division_;
      tick = at;
      q = quarter;
      segments_.push_back({tick, micros, q});
    }
    if (segments_.empty() || segments_.front().tick > 0) {
      segments_.insert(segments_.begin(), {0, 0, kDefaultQuarterMicros});
    }
  }

  int64_t micros(int64_t tick) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), tick,
                               [](int64_t t, const Segment& s) { return t < s.tick; });
    const Segment& s = *std::prev(it);
    return s.micros + (tick - s.tick) * s.quarter / division_;
  }

 private:
  struct Segment {
    int64_t tick;
    int64_t micros;
    int64_t quarter;
  };
  int division_;
  std::vector<Segment> segments_;
};

std::vector<int64_t> barTicks(std::vector<TimeSignature> signatures, int division,
                              int64_t lastTick) {
  std::stable_sort(signatures.begin(), signatures.end(),
                   [](const TimeSignature& a, const TimeSignature& b) { return a.tick < b.tick; });
  std::vector<int64_t> bars{0};
  int64_t length = int64_t{division} * 4;  // 4/4 until a signature says otherwise
  size_t next = 0;
  for (int64_t at = 0;;) {
    while (next < signatures.size() && signatures[next].tick <= at) {
      length = signatures[next++].barTicks;
    }
    int64_t end = at + length;
    // A signature in the middle of a bar starts a new bar where it stands.
    if (next < signatures.size() && signatures[next].tick < end) end = signatures[next].tick;
    if (end >= lastTick) break;
    if (static_cast<int64_t>(bars.size()) >= kMaxSongBars)
      throw Fault{uiText("kelvara::Sound", "小節が多すぎます")};
    bars.push_back(end);
    at = end;
  }
  return bars;
}

}  // namespace

int MidiSong::barAt(int64_t micros) const {
  const auto it = std::upper_bound(barStarts.begin(), barStarts.end(), micros);
  return it == barStarts.begin() ? 0 : static_cast<int>(it - barStarts.begin()) - 1;
}

MidiSongResult readMidiSong(std::span<const uint8_t> bytes, const std::string& name) {
  MidiSongResult result;
  try {
    if (bytes.size() > kMaxSongBytes) throw Fault{uiText("kelvara::Sound", "大きすぎます")};
    ByteReader r(bytes);
    if (r.remaining() < 14 || r.u32be() != 0x4D546864u)
      throw Fault{uiText("kelvara::Sound", "MIDI ファイルではありません")};
    const uint32_t headerLength = r.u32be();
    if (headerLength < 6) throw Fault{uiText("kelvara::Sound", "ヘッダーが壊れています")};
    const uint32_t format = r.u16be();
    const uint32_t tracks = r.u16be();
    const uint32_t division = r.u16be();
    r.skip(headerLength - 6);
    if (format > 1)
      throw Fault{fillText(uiText("kelvara::Sound", "形式 %1 には対応していません"),
                           {std::to_string(format)})};
    if (division == 0 || (division & 0x8000u) != 0) {
      throw Fault{uiText("kelvara::Sound", "時間の単位 (SMPTE) には対応していません")};
    }
    if (tracks > kMaxSongTracks) throw Fault{uiText("kelvara::Sound", "トラックが多すぎます")};
    Collected c;
    int track = 0;
    while (track < static_cast<int>(tracks) && !r.atEnd()) {
      const uint32_t id = r.u32be();
      const uint32_t length = r.u32be();
      const auto chunk = r.take(length);
      if (id != 0x4D54726Bu) continue;  // a chunk of another kind is skipped
      readTrack(chunk, track++, static_cast<int>(division), c);
    }
    if (track < static_cast<int>(tracks))
      throw Fault{uiText("kelvara::Sound", "トラックが足りません")};

    std::stable_sort(c.messages.begin(), c.messages.end(),
                     [](const RawMessage& a, const RawMessage& b) {
                       if (a.tick != b.tick) return a.tick < b.tick;
                       return a.track < b.track;
                     });
    const TempoMap tempo(c.tempos, static_cast<int>(division));
    MidiSong& song = result.song;
    song.messages.reserve(c.messages.size());
    for (const RawMessage& m : c.messages) {
      song.messages.push_back({m.tick, tempo.micros(m.tick), m.message});
      song.channelsUsed |= static_cast<uint16_t>(1u << (m.message & 0x0Fu));
      if ((m.message & 0xF0u) == 0x90u && ((m.message >> 16) & 0x7Fu) > 0) song.hasNotes = true;
    }
    const int64_t lastTick = c.messages.empty() ? 0 : c.messages.back().tick;
    song.lengthMicros = tempo.micros(lastTick);
    for (int64_t t : barTicks(c.signatures, static_cast<int>(division), lastTick)) {
      song.barStarts.push_back(tempo.micros(t));
    }
  } catch (const Fault& f) {
    result = {};
    result.error = cannotRead(name, f.what);
  } catch (const ReadFault& f) {
    result = {};
    result.error = cannotRead(name, f.detail);
  } catch (const std::bad_alloc&) {
    result = {};
    result.error = fillText(
        uiText("kelvara::Sound", "MIDI ファイル %1 を読むためのメモリが足りません"), {name});
  }
  return result;
}

MidiSongResult readMidiSongFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  MidiSongResult result;
  if (!in) {
    result.error = fillText(uiText("kelvara::Sound", "ファイル %1 を開けません"), {path});
    return result;
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > kMaxSongBytes) {
    result.error = cannotRead(path, uiText("kelvara::Sound", "大きすぎます"));
    return result;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    result.error = fillText(uiText("kelvara::Sound", "ファイル %1 を読めません"), {path});
    return result;
  }
  return readMidiSong(bytes, path);
}

}  // namespace kelvara
