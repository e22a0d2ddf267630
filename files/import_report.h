#pragma once

#include <cstdint>
#include <string>

namespace kelvara {

// What an importer had to approximate to fit a foreign file into the score,
// as counts; told to the user once, after the import.
struct ImportReport {
  // Notes whose start or end moved by more than a tick to the 64th grid or a
  // tuplet's grid.
  int64_t notesRounded = 0;
  // Notes shorter than a 64th, made a 64th long.
  int64_t notesLengthened = 0;
  // Notes cut where they sounded into the next onset of their part, or past
  // their place in a tuplet.
  int64_t notesShortened = 0;
  // Notes longer than one record can hold, cut to it.
  int64_t notesTooLong = 0;
  // Tuplet groups recognised (an interpretation, not an approximation: not
  // in the notice).
  int64_t tupletGroups = 0;
  // Pitches beyond the ten a chord holds, dropped (the lowest go).
  int64_t chordNotesDropped = 0;
  // Notes at the same place and pitch in one part, made one.
  int64_t unisonsMerged = 0;
  // Voices beyond ten, merged into the chords of the part nearest in pitch,
  // and the notes they held.
  int64_t voicesMerged = 0;
  int64_t notesInMergedVoices = 0;
  // Changes after the first that the score cannot follow.
  int64_t laterTempos = 0;
  int64_t laterTimeSignatures = 0;
  int64_t laterKeySignatures = 0;
  int64_t laterPrograms = 0;
  // The file's time signature when the score cannot take it ("5/4"), and
  // the one used instead ("4/4"); empty when it was taken as it was.
  std::string timeReplaced;
  std::string timeUsed;
  // A tempo beyond what the score holds, brought into range.
  bool tempoClamped = false;
  // A key signature event the score cannot take, ignored.
  int64_t badKeySignatures = 0;
  // A short first bar, in 64ths, filled out with a rest before it.
  int64_t pickupFilled = 0;
  // Sounds the score has no place for.
  int64_t pitchBendsDropped = 0;
  int64_t controllersDropped = 0;  // sustain pedal, modulation, expression, ...
  int64_t aftertouchDropped = 0;
  // Note-ons never ended (they last to their track's end) and note-offs that
  // end nothing (ignored).
  int64_t unmatchedNoteOns = 0;
  int64_t unmatchedNoteOffs = 0;

  // The notice: one line per kind of approximation, after a first line naming
  // the file; empty when the file came in exactly.
  std::string text(const std::string& fileName) const;
};

}  // namespace kelvara
