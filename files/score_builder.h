#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "files/import_report.h"
#include "files/load_limits.h"
#include "files/loaded_score.h"

namespace kelvara {

// Music read from a foreign file (a Standard MIDI File, MusicXML) before it
// becomes records: notes timed in the file's ticks, grouped into voices.
// buildScore turns it into a complete score the load command can hand over.

// One sounding note.
struct SourceNote {
  int64_t start = 0;       // ticks from the start of the piece, 0 or more
  int64_t end = 0;         // ticks; not before start (equal: a note of no length)
  int32_t pitch = 60;      // MIDI key 0..127
  int32_t velocity = 100;  // 1..127
  uint32_t voice = 0;      // index into SourceScore::voices
};

// A line of music as the file keeps it apart: a track's channel, a part's
// staff. Voices are given out to the parts in the order they are listed.
struct SourceVoice {
  bool percussion = false;  // goes to the percussion part
  // The part the voice asks for (a MIDI channel names one), used when every
  // voice asks for a different melodic part; -1 for none.
  int preferredPart = -1;
  std::optional<int32_t> program;  // 0..127
  std::optional<int32_t> volume;   // 0..127
  std::optional<int32_t> pan;      // 0..20, 10 = centre
};

// A time signature as a file states it.
struct SourceTime {
  int32_t num = 4;
  int32_t den = 4;
};

// Notes one import may hold: as many as the records of a file can carry in
// full chords.
constexpr size_t kMaxImportNotes = kMaxRecordsPerFile * kPitchSlots;

struct SourceScore {
  double ticksPerQuarter = 960;  // more than 0
  std::vector<SourceVoice> voices;
  std::vector<SourceNote> notes;
  // The first of each; unset leaves the score's own.
  std::optional<int32_t> tempo;  // quarter notes per minute, 1 or more
  std::optional<int32_t> keySig;
  std::optional<uint8_t> major;
  SourceTime time;  // 4/4 when the file names none
  // Length in ticks of a short first bar (a pick-up), 0 for none: the
  // music is moved on so that the first full bar starts on a bar line.
  int64_t pickupTicks = 0;
};

// The offered time signature a file's time signature becomes: itself when
// offered, else one whose bars divide the file's bars, of the same kind
// (simple or compound), nearest in bar length.
SourceTime nearestOfferedTime(SourceTime t);

// Builds the score: settings, the parts each voice goes to (percussion
// voices to the percussion part; at most ten melodic parts, the voices with
// fewest notes merged into the part nearest in pitch), and each part's
// notes quantised to 64ths and common tuplets as chords and rests. Counts
// what it approximated in `report`. Throws ReadFault{BadValue} naming the
// limit when the score would break the load limits. The notes are sorted
// in place.
LoadedScore buildScore(SourceScore& source, ImportReport& report);

}  // namespace kelvara
