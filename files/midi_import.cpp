#include "files/midi_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "files/atomic_write.h"
#include "files/byte_reader.h"
#include "files/load_limits.h"
#include "files/loaded_score.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

constexpr int kChannels = 16;
constexpr int kKeys = 128;
constexpr int kDrumChannel = 9;  // channel 10 of the usual numbering

// A meta event that sets a value from its tick on.
struct TimedValue {
  int64_t tick = 0;
  int32_t a = 0;  // tempo: microseconds; time: numerator; key: sharps
  int32_t b = 0;  // time: denominator; key: 1 for minor
};

// A voice while the file is read: a track's channel.
struct ReadVoice {
  int track = 0;
  int channel = 0;
  int64_t notes = 0;
  SourceVoice voice;
};

// Controllers that set up a channel rather than play: bank select, data
// entry, effect sends (reverb, chorus ...), (N)RPN numbers, channel mode
// messages. Skipped without a word.
bool isSetupController(int number) {
  return number == 0 || number == 32 || number == 6 || number == 38 ||
         (number >= 91 && number <= 101) || number >= 120;
}

ReadFault wrongKind(size_t at, const std::string& what) {
  return ReadFault{
      FileError::WrongKind,
      fillText(uiText("kelvara::Files",
                      "バイト %1 に%2があります（Standard MIDI File として読めません）"),
               {std::to_string(at), what})};
}

class MidiReader {
 public:
  MidiReader(std::span<const uint8_t> bytes, ImportReport& report)
      : bytes_(bytes), report_(report) {}

  SourceScore read() {
    ByteReader in(bytes_);
    in.expect("MThd", uiText("kelvara::Files", "MThd ヘッダ"));
    const uint32_t headerLength = in.u32be();
    if (headerLength < 6) {
      throw ReadFault{
          FileError::WrongKind,
          fillText(uiText("kelvara::Files", "MThd ヘッダの長さ %1 が 6 より短くなっています"),
                   {std::to_string(headerLength)})};
    }
    const uint16_t format = in.u16be();
    const uint16_t tracks = in.u16be();
    const uint16_t division = in.u16be();
    in.skip(headerLength - 6);
    if (format > 1) {
      throw ReadFault{
          FileError::WrongKind,
          fillText(uiText("kelvara::Files",
                          "フォーマット %1 の MIDI ファイルは読めません（0 と 1 のみ）"),
                   {std::to_string(format)})};
    }
    if ((division & 0x8000) != 0) {
      // Frames per second and ticks per frame: ticks are real time, read at
      // tempo 120 (two quarters a second).
      const int fps = 256 - (division >> 8);
      const int perFrame = division & 0xFF;
      if (perFrame == 0)
        throw ReadFault{FileError::BadValue, uiText("kelvara::Files", "SMPTE の分解能が 0 です")};
      src_.ticksPerQuarter = fps * perFrame / 2.0;
      smpte_ = true;
    } else {
      if (division == 0)
        throw ReadFault{FileError::BadValue, uiText("kelvara::Files", "分解能が 0 ティックです")};
      src_.ticksPerQuarter = division;
    }

    int read = 0;
    while (read < tracks && !in.atEnd()) {
      const size_t at = in.offset();
      const bool track =
          in.remaining() >= 4 && std::equal(bytes_.begin() + static_cast<long>(at),
                                            bytes_.begin() + static_cast<long>(at) + 4, "MTrk");
      in.skip(4);
      const uint32_t length = in.u32be();
      if (length > in.remaining()) {
        throw ReadFault{
            FileError::Truncated,
            fillText(uiText("kelvara::Files",
                            "バイト %1 のチャンクの長さ %2 がファイルの残りより長くなっています"),
                     {std::to_string(at), std::to_string(length)})};
      }
      if (track) {
        readTrack(bytes_.subspan(in.offset(), length), in.offset(), format == 0 ? 0 : read);
        ++read;
      }
      in.skip(length);  // a chunk of another kind is skipped
    }
    if (read == 0)
      throw ReadFault{FileError::WrongKind,
                      uiText("kelvara::Files", "トラック（MTrk チャンク）がありません")};
    finish();
    return std::move(src_);
  }

 private:
  int voiceOf(int track, int channel) {
    if (track != voiceTrack_) {
      voiceTrack_ = track;
      trackVoices_.fill(-1);
    }
    int& v = trackVoices_[static_cast<size_t>(channel)];
    if (v < 0) {
      v = static_cast<int>(voices_.size());
      ReadVoice rv;
      rv.track = track;
      rv.channel = channel;
      rv.voice.percussion = channel == kDrumChannel;
      rv.voice.preferredPart = channel < kPartCount && channel != kDrumChannel ? channel : -1;
      voices_.push_back(rv);
    }
    return v;
  }

  void noteOn(int track, int channel, int key, int velocity, int64_t tick) {
    if (src_.notes.size() >= kMaxImportNotes) {
      throw ReadFault{FileError::BadValue,
                      fillText(uiText("kelvara::Files", "音符の数が上限の %1 を超えています"),
                               {std::to_string(kMaxImportNotes)})};
    }
    const int v = voiceOf(track, channel);
    ++voices_[static_cast<size_t>(v)].notes;
    SourceNote n;
    n.start = tick;
    n.end = tick;
    n.pitch = key;
    n.velocity = velocity;
    n.voice = static_cast<uint32_t>(v);
    auto& sounding = open_[static_cast<size_t>(channel * kKeys + key)];
    if (sounding.empty()) touched_.push_back(channel * kKeys + key);
    sounding.push_back(src_.notes.size());
    src_.notes.push_back(n);
  }

  // Ends the earliest sounding note of that key on that channel.
  void noteOff(int channel, int key, int64_t tick) {
    auto& sounding = open_[static_cast<size_t>(channel * kKeys + key)];
    if (sounding.empty()) {
      ++report_.unmatchedNoteOffs;
      return;
    }
    src_.notes[sounding.front()].end = tick;
    sounding.erase(sounding.begin());
  }

  void controller(int track, int channel, int number, int value) {
    SourceVoice& v = voices_[static_cast<size_t>(voiceOf(track, channel))].voice;
    if (number == 7) {
      if (!v.volume) v.volume = value;
    } else if (number == 10) {
      if (!v.pan) v.pan = static_cast<int32_t>(std::lround(value * 20.0 / 127.0));
    } else if (!isSetupController(number)) {
      ++report_.controllersDropped;
    }
  }

  void program(int track, int channel, int value) {
    SourceVoice& v = voices_[static_cast<size_t>(voiceOf(track, channel))].voice;
    if (!v.program) {
      v.program = value;
    } else if (*v.program != value) {
      ++report_.laterPrograms;
    }
  }

  void meta(int type, std::span<const uint8_t> data, int64_t tick) {
    if (type == 0x51 && data.size() >= 3) {
      tempos_.push_back({tick, (data[0] << 16) | (data[1] << 8) | data[2], 0});
    } else if (type == 0x58 && data.size() >= 2) {
      times_.push_back({tick, data[0], data[1] < 8 ? 1 << data[1] : 0});
    } else if (type == 0x59 && data.size() >= 2) {
      keys_.push_back({tick, static_cast<int8_t>(data[0]), data[1]});
    }
  }

  static uint8_t dataByte(ByteReader& in) {
    const size_t at = in.offset();
    const uint8_t b = in.u8();
    if (b > 0x7F) throw wrongKind(at, uiText("kelvara::Files", "127 を超えるデータバイト"));
    return b;
  }

  void readTrack(std::span<const uint8_t> chunk, size_t base, int track) {
    ByteReader in(chunk, base);
    int64_t tick = 0;
    uint8_t running = 0;
    while (!in.atEnd()) {
      tick += in.vlq();
      const size_t at = in.offset();
      uint8_t status = in.peek();
      if (status < 0x80) {
        if (running == 0)
          throw wrongKind(at, uiText("kelvara::Files", "ステータスのないデータバイト"));
        status = running;
      } else {
        in.u8();
      }
      if (status < 0xF0) {
        running = status;
        const int channel = status & 0x0F;
        const int kind = status >> 4;
        const int a = dataByte(in);
        const int b = kind == 0xC || kind == 0xD ? 0 : dataByte(in);
        switch (kind) {
          case 0x9:
            if (b > 0) {
              noteOn(track, channel, a, b, tick);
              break;
            }
            [[fallthrough]];
          case 0x8:
            noteOff(channel, a, tick);
            break;
          case 0xB:
            controller(track, channel, a, b);
            break;
          case 0xC:
            program(track, channel, a);
            break;
          case 0xE:
            if ((a | (b << 7)) != 0x2000) ++report_.pitchBendsDropped;
            break;
          default:  // key and channel pressure
            ++report_.aftertouchDropped;
            break;
        }
      } else if (status == 0xF0 || status == 0xF7) {
        in.skip(in.vlq());  // SysEx
      } else if (status == 0xFF) {
        const int type = in.u8();
        const uint32_t length = in.vlq();
        const size_t from = in.offset() - base;
        in.skip(length);
        if (type == 0x2F) break;  // End of Track; anything after it is ignored
        meta(type, chunk.subspan(from, length), tick);
      } else {
        throw wrongKind(at, fillText(uiText("kelvara::Files", "読めないステータスバイト %1"),
                                     {std::to_string(status)}));
      }
    }
    // Notes still sounding end with their track.
    for (int key : touched_) {
      auto& sounding = open_[static_cast<size_t>(key)];
      for (size_t i : sounding) {
        src_.notes[i].end = tick;
        ++report_.unmatchedNoteOns;
      }
      sounding.clear();
    }
    touched_.clear();
  }

  // The first value of each kind is the score's; later changes are counted.
  void finish() {
    auto byTick = [](const TimedValue& x, const TimedValue& y) { return x.tick < y.tick; };
    std::stable_sort(tempos_.begin(), tempos_.end(), byTick);
    std::stable_sort(times_.begin(), times_.end(), byTick);
    std::stable_sort(keys_.begin(), keys_.end(), byTick);

    src_.tempo = 120;
    if (!smpte_) {
      int32_t current = 0;
      for (const TimedValue& t : tempos_) {
        if (t.a <= 0) continue;
        if (current == 0) {
          src_.tempo = static_cast<int32_t>(std::lround(60000000.0 / t.a));
        } else if (t.a != current) {
          ++report_.laterTempos;
        }
        current = t.a;
      }
    }

    std::vector<TimedValue> times;
    for (const TimedValue& t : times_) {
      if (t.a > 0 && t.b > 0) times.push_back(t);
    }
    size_t first = 0;
    auto barTicks = [this](const TimedValue& t) { return t.a * 4.0 * src_.ticksPerQuarter / t.b; };
    if (times.size() >= 2 && times[0].tick == 0) {
      // A first bar of its own signature, shorter than a bar of the
      // signature after it: a pick-up. The score takes the signature of the
      // bars that follow it.
      size_t next = 1;
      while (next < times.size() && times[next].tick == 0) ++next;
      const auto pickup = next < times.size() ? static_cast<double>(times[next].tick) : 0.0;
      if (next < times.size() && pickup <= barTicks(times[next - 1]) + 0.5 &&
          pickup < barTicks(times[next]) - 0.5) {
        src_.pickupTicks = times[next].tick;
        first = next;
      } else {
        first = next - 1;
      }
    }
    if (first < times.size()) {
      src_.time = {times[first].a, times[first].b};
      for (size_t i = first + 1; i < times.size(); ++i) {
        if (times[i].a != times[i - 1].a || times[i].b != times[i - 1].b) {
          ++report_.laterTimeSignatures;
        }
      }
    }

    src_.keySig = 7;
    src_.major = 1;
    bool haveKey = false;
    TimedValue current;
    for (const TimedValue& k : keys_) {
      if (k.a < -7 || k.a > 7 || k.b < 0 || k.b > 1) {
        ++report_.badKeySignatures;
        continue;
      }
      if (!haveKey) {
        src_.keySig = 7 - k.a;
        src_.major = k.b == 0 ? 1 : 0;
        haveKey = true;
      } else if (k.a != current.a || k.b != current.b) {
        ++report_.laterKeySignatures;
      }
      current = k;
    }

    // A channel's settings may stand in a track of their own (a conductor
    // track): voices with notes take what they lack from the channel's
    // first voice without notes.
    std::array<const SourceVoice*, kChannels> setup{};
    for (const ReadVoice& rv : voices_) {
      if (rv.notes == 0 && setup[static_cast<size_t>(rv.channel)] == nullptr) {
        setup[static_cast<size_t>(rv.channel)] = &rv.voice;
      }
    }
    for (ReadVoice& rv : voices_) {
      const SourceVoice* from = setup[static_cast<size_t>(rv.channel)];
      if (rv.notes == 0 || from == nullptr) continue;
      if (!rv.voice.program) rv.voice.program = from->program;
      if (!rv.voice.volume) rv.voice.volume = from->volume;
      if (!rv.voice.pan) rv.voice.pan = from->pan;
    }

    // Voices in the order of their tracks and channels.
    std::vector<uint32_t> order(voices_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [this](uint32_t a, uint32_t b) {
      const ReadVoice &x = voices_[a], &y = voices_[b];
      return x.track < y.track || (x.track == y.track && x.channel < y.channel);
    });
    std::vector<uint32_t> newIndex(voices_.size());
    src_.voices.reserve(voices_.size());
    for (size_t i = 0; i < order.size(); ++i) {
      newIndex[order[i]] = static_cast<uint32_t>(i);
      src_.voices.push_back(voices_[order[i]].voice);
    }
    for (SourceNote& n : src_.notes) n.voice = newIndex[n.voice];
  }

  std::span<const uint8_t> bytes_;
  ImportReport& report_;
  SourceScore src_;
  bool smpte_ = false;
  std::vector<ReadVoice> voices_;
  int voiceTrack_ = -1;
  std::array<int, kChannels> trackVoices_{};
  // The notes sounding on each channel and key, earliest first, and the
  // channel-key pairs that had any in this track.
  std::array<std::vector<size_t>, kChannels * kKeys> open_{};
  std::vector<int> touched_;
  std::vector<TimedValue> tempos_, times_, keys_;
};

}  // namespace

SourceScore readStandardMidi(std::span<const uint8_t> bytes, ImportReport& report) {
  return MidiReader(bytes, report).read();
}

LoadResult decodeMidiImport(EditorState& s, std::span<const uint8_t> bytes,
                            const std::string& fileName) {
  LoadedScore loaded;
  ImportReport report;
  try {
    SourceScore source = readStandardMidi(bytes, report);
    loaded = buildScore(source, report);
  } catch (const ReadFault& f) {
    return FileResult::failure(f.error, readFaultMessage(fileName, f.detail));
  } catch (const std::bad_alloc&) {
    return FileResult::failure(FileError::CannotOpen, outOfMemoryMessage(fileName));
  }
  LoadResult result;
  handOver(s, loaded, result);
  result.notice = report.text(fileName);
  return result;
}

LoadResult importMidiFile(EditorState& s, const std::string& fileName) {
  std::string bytes;
  const std::string err = readWholeFile(fileName, bytes);
  if (!err.empty()) return FileResult::failure(FileError::CannotOpen, err);
  return decodeMidiImport(
      s, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), fileName);
}

}  // namespace kelvara
