#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvara {

// One channel message of a song at its time.
struct TimedMessage {
  int64_t tick = 0;      // from the song's start
  int64_t micros = 0;    // from the song's start, through the tempo map
  uint32_t message = 0;  // packed as for MidiOutput::midiOutShortMsg
};

// A Standard MIDI File flattened for playing: every channel message of every
// track in time order (on equal ticks in track order, then file order), and
// where the bars begin. A song owns all it holds.
struct MidiSong {
  std::vector<TimedMessage> messages;
  // Start of every bar in microseconds; the first is 0, and there is always
  // at least one. Bars follow the file's time signatures (4/4 without one).
  std::vector<int64_t> barStarts;
  // The time of the last message in microseconds.
  int64_t lengthMicros = 0;
  // Bit c set when channel c (0..15) carries a message.
  uint16_t channelsUsed = 0;
  // Whether any note sounds at all.
  bool hasNotes = false;

  int barCount() const { return static_cast<int>(barStarts.size()); }
  // The bar (0-based) holding a time in microseconds.
  int barAt(int64_t micros) const;
};

// Limits on what a file may hold before it is refused: a preview never comes
// close, a hostile file cannot exhaust memory.
constexpr size_t kMaxSongBytes = 64u << 20;
constexpr size_t kMaxSongMessages = 8u << 20;
constexpr int kMaxSongTracks = 256;
constexpr int64_t kMaxSongBars = 1 << 20;

struct MidiSongResult {
  MidiSong song;
  std::string error;  // empty on success; else names the file and the fault
  bool ok() const { return error.empty(); }
};

// Reads a Standard MIDI File (format 0 or 1, ticks per quarter note) from
// its bytes. `name` only names the file in messages. System exclusive and
// meta events other than tempo and time signature are skipped.
MidiSongResult readMidiSong(std::span<const uint8_t> bytes, const std::string& name);

// The same from a file on disk.
MidiSongResult readMidiSongFile(const std::string& path);

}  // namespace kelvara
