#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// Kinds of MidiEvent. Start and end are list ends, never written.
enum MidiEventKind : int32_t {
  kEventStart = 0,
  kEventNoteOn = 1,
  kEventNoteOff = 2,
  kEventBend = 3,
  kEventBendReset = 4,
  kEventEnd = 5,
};

// One event of a part's track while it is being written. A vibrato's bends
// are one event, a run of BendCount bends BendStep ticks apart that swing
// between +BendAmount and -BendAmount, expanded only as the track is written,
// so that memory follows the number of notes, not the length of their tails.
struct MidiEvent {
  int64_t Delta = 0;  // ticks after the previous event (after the last bend of a
                      // run); negative only before re-ordering
  int32_t Kind = kEventStart;
  int32_t LastIndex = 0;   // note-on and note-off: the last pitch slot used
  int32_t BendAmount = 0;  // pitch bend: hundredths of a whole tone, signed, of the first bend
  int64_t BendCount = 1;   // pitch bend: bends in the run
  int64_t BendStep = 0;    // pitch bend: ticks between the bends of the run
  // Note-on and note-off: the record whose pitches and velocity are sent. The
  // list lives only while its part is written, when the score is not changing.
  const TOnpu* Note = nullptr;
  int64_t Time = 0;   // ticks from the start event (the running sum of deltas)
  int64_t Order = 0;  // place in the first pass; decides between events at one time
};

// The start event first, the end event last.
using MidiEventList = std::vector<MidiEvent>;

// The set-up events at the start of every exported track (48 bytes) plus
// End of Track (5 bytes).
constexpr uint32_t kMidiTrackFixedBytes = 53;

// The whole MIDI export may not be larger than this (it is built in memory
// before it is written). A real score stays far below: a thousand bars of
// eleven parts with a vibrato swinging every 64th take about 3 MB; only
// pathological tails reach it, and they are refused with a message.
constexpr int64_t kMaxMidiExportBytes = int64_t{16} << 20;

// CreateMIDIData's results other than a byte count.
constexpr int64_t kMidiDeltaTooLong = -1;
constexpr int64_t kMidiTooLarge = -2;

// Builds part's events after the start event (events[0]; added when the list
// is empty) in time order with no negative delta, ends the list with the end
// event, and returns the bytes the events between start and end take when
// written. A bar range (fromBar..toBar, from 1) keeps the records that start
// in it; toBar below 0 keeps all. Returns kMidiDeltaTooLong, leaving only
// start and end, when a note or a run of rests is too long for a MIDI delta
// time, and kMidiTooLarge when the events would take more than byteLimit
// bytes (counting stops there).
int64_t CreateMIDIData(const EditorState& s, int part, int32_t fromBar, int32_t toBar,
                       MidiEventList& events, int64_t byteLimit = kMaxMidiExportBytes);

// Frees the events of one track (the list keeps its capacity for the next).
void RestoreMIDIData(MidiEventList& events);

// The 14-bit pitch-bend value for a tail amount in hundredths of a whole tone:
// 600 (six tones, the bend range) maps to the full swing. Amounts beyond
// +-600 are clamped to it.
uint16_t bendValue(int32_t amount);

// Writes the Standard MIDI File with every note modifier: one track per part
// with PartSelected set, only the records starting in bars fromBar..toBar when
// toBar is 0 or more (preview's range).
FileResult savedataplus3(const EditorState& s, const std::string& fileName, int32_t fromBar = 0,
                         int32_t toBar = -1);

// The bytes savedataplus3 writes; fileName only names the file in messages.
FileResult encodeMidiExport(const EditorState& s, int32_t fromBar, int32_t toBar,
                            const std::string& fileName, std::vector<uint8_t>& out);

}  // namespace kelvara
