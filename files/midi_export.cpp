#include "files/midi_export.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <vector>

#include "files/byte_writer.h"
#include "files/midi_common.h"
#include "files/score_file.h"
#include "files/score_walk.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// Far beyond any delta a MIDI file can hold, and still exact in a double.
constexpr double kTickLimit = 1e15;

// Whole ticks, truncated toward zero; never undefined for odd reals.
int64_t truncTicks(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int64_t>(std::clamp(v, -kTickLimit, kTickLimit));
}

// A fraction of a whole note in 64ths; a zero denominator counts as no time.
double fractionIn64ths(int32_t num, int32_t den) {
  return den == 0 ? 0.0 : num * 64.0 / den;
}

MidiEvent noteEvent(int32_t kind, int64_t delta, const TOnpu& r) {
  MidiEvent e;
  e.Kind = kind;
  e.Delta = delta;
  e.LastIndex = lastSlot(r);
  e.Note = &r;
  return e;
}

MidiEvent bendEvent(int64_t delta, int32_t amount) {
  MidiEvent e;
  e.Kind = kEventBend;
  e.Delta = delta;
  e.BendAmount = amount;
  return e;
}

// A note's events: note-on after the waiting time, its tail's bends, the
// note-off after its sounding length b (64ths, adjustment included), and a
// bend reset when a tail was sent. c is trunc(b).
void appendNote(MidiEventList& events, const TOnpu& r, double b, int64_t c, double waiting) {
  events.push_back(noteEvent(kEventNoteOn, truncTicks(waiting * kTicksPer64th + 0.1), r));

  // A negative delay would start the tail before the note; it starts with it.
  const bool lateStart = r.YoinStartDen != 0 && (r.YoinStartNum < 0) == (r.YoinStartDen < 0);
  const double start = lateStart ? fractionIn64ths(r.YoinStartNum, r.YoinStartDen) : 0.0;
  const bool tail = (r.YoinType == 1 || r.YoinType == 2) && c > start;
  if (!tail) {
    events.push_back(noteEvent(kEventNoteOff, truncTicks(b * kTicksPer64th + 0.1), r));
    return;
  }
  // A vibrato needs a half period of at least one 64th to move on; a shorter
  // period is raised to 2 (a swing every 64th).
  const int32_t period = r.YoinType == 2 ? std::max(r.YoinPeriod, 2) : r.YoinPeriod;
  const double half = period / 2.0;
  const int64_t startTicks = lateStart ? truncTicks(r.YoinStartNum * 3840.0 / r.YoinStartDen) : 0;
  // Amounts beyond the bend range sound the same as its edge (bendValue).
  const int32_t amount = std::clamp(r.YoinAmount, -600, 600);
  MidiEvent bends = bendEvent(startTicks, amount);
  int64_t next = truncTicks(start + half);  // 64ths after the note-on of the next bend
  if (r.YoinType == 2 && c > next) {
    // A further bend every half period while the note lasts, counted at once.
    const int64_t step = period / 2;
    const int64_t more = (c - next + step - 1) / step;
    bends.BendCount = 1 + more;
    bends.BendStep = truncTicks(period * (kTicksPer64th / 2.0));
    next += more * step;
  }
  events.push_back(bends);
  events.push_back(
      noteEvent(kEventNoteOff, truncTicks((b - next + half) * kTicksPer64th + 0.1), r));
  MidiEvent reset;
  reset.Kind = kEventBendReset;
  events.push_back(reset);
}

// Time of the last bend of a run (of the event itself for any other).
int64_t lastTimeOf(const MidiEvent& e) {
  return e.Kind == kEventBend ? e.Time + (e.BendCount - 1) * e.BendStep : e.Time;
}

// Puts the events between start and end into non-decreasing time, keeping
// the first-pass order among events at the same time, and recomputes every
// delta from the new predecessor. A run of bends is placed by its first bend;
// its later bends are merged in as the track is written (forEachInTime).
void reorder(MidiEventList& events) {
  const auto first = events.begin() + 1, last = events.end() - 1;
  int64_t t = 0, order = 0;
  bool sorted = true;
  for (auto it = first; it != last; ++it) {
    t += it->Delta;
    it->Time = t;
    it->Order = order++;
    if (it->Delta < 0) sorted = false;
    t = lastTimeOf(*it);
  }
  last->Delta = std::max<int64_t>(last->Delta, 0);
  last->Time = t + last->Delta;
  if (!sorted) {
    std::stable_sort(first, last,
                     [](const MidiEvent& a, const MidiEvent& b) { return a.Time < b.Time; });
  }
  int64_t prev = 0;
  for (auto it = first; it != last; ++it) {
    it->Delta = std::max<int64_t>(it->Time, 0) - prev;
    prev = std::max<int64_t>(it->Time, 0);
  }
}

// Calls emit(event, delta, bendAmount, repeats, step) for every event
// between start and end in time order, with each run of bends expanded: a
// bend of a run comes after the events before it in time and, at one time,
// after the events that came before its run in the first pass. `repeats` > 1
// hands over that many bends of one run in a row, the later ones `step` ticks
// apart and each swinging the other way. An event before the track's start
// counts as at its start. Stops when emit returns false.
template <typename Emit>
void forEachInTime(const MidiEventList& events, Emit emit) {
  struct Pending {
    int64_t time;
    int64_t order;
    int64_t index;  // which bend of the run
    const MidiEvent* run;
    bool operator>(const Pending& o) const {
      if (time != o.time) return time > o.time;
      if (order != o.order) return order > o.order;
      return index > o.index;
    }
  };
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> runs;
  int64_t prev = 0;
  auto deltaTo = [&prev](int64_t time) {
    const int64_t at = std::max<int64_t>(time, prev);
    const int64_t d = at - prev;
    prev = at;
    return d;
  };
  size_t i = 1;
  const size_t end = events.size() - 1;
  for (;;) {
    const bool haveEvent = i < end;
    // Two events never share an order, so a bend and an event never tie.
    const bool bendFirst =
        !runs.empty() &&
        (!haveEvent || !(runs.top() > Pending{events[i].Time, events[i].Order, 0, nullptr}));
    if (bendFirst) {
      const Pending p = runs.top();
      runs.pop();
      const int64_t step = p.run->BendStep;
      const int64_t remaining = p.run->BendCount - p.index;
      // The bends of this run that come before anything else, handed over at once.
      int64_t count = 1;
      if (step > 0 && p.time >= prev) {
        count = remaining;
        auto before = [&](int64_t time, int64_t order) {
          int64_t n = time <= p.time ? 0 : (time - p.time + step - 1) / step;
          if (n < remaining && p.time + n * step == time && p.order < order) ++n;
          count = std::min(count, std::max<int64_t>(n, 1));
        };
        if (!runs.empty()) before(runs.top().time, runs.top().order);
        if (haveEvent) before(events[i].Time, events[i].Order);
      }
      const int32_t amount = p.index % 2 == 0 ? p.run->BendAmount : -p.run->BendAmount;
      if (!emit(*p.run, deltaTo(p.time), amount, count, step)) return;
      prev += (count - 1) * step;
      if (p.index + count < p.run->BendCount) {
        runs.push({p.time + count * step, p.order, p.index + count, p.run});
      }
      continue;
    }
    if (!haveEvent) return;
    const MidiEvent& e = events[i++];
    if (!emit(e, deltaTo(std::max<int64_t>(e.Time, 0)), e.BendAmount, int64_t{1}, int64_t{0})) {
      return;
    }
    if (e.Kind == kEventBend && e.BendCount > 1) {
      runs.push({e.Time + e.BendStep, e.Order, 1, &e});
    }
  }
}

// Bytes one event takes when written.
int64_t eventBytes(const MidiEvent& e, int64_t delta) {
  const int32_t extra = e.Kind == kEventNoteOn || e.Kind == kEventNoteOff ? e.LastIndex : 0;
  return vlqLength(static_cast<uint32_t>(delta)) + 3 + 4 * extra;
}

void writeSetupBlock(ByteWriter& w, const EditorState& s, int p) {
  writeTrackPreamble(w, s, p);
  const auto cc = static_cast<uint8_t>(0xB0 + p);
  const uint8_t controls[] = {
      0x00, cc, 0x07, dataByte(s.PartVolume[p]),
      0x00, cc, 0x0A, dataByte(static_cast<int64_t>(s.PartPan[p]) * 127 / 20),
      0x00, cc, 0x65, 0x00,  // RPN 0: pitch-bend sensitivity
      0x00, cc, 0x64, 0x00,
      0x00, cc, 0x06, 0x0C,  // +-12 semitones
      0x00, cc, 0x26, 0x00,
  };
  w.append(controls, sizeof controls);
}

void writeEvent(ByteWriter& w, const MidiEvent& e, int64_t delta, int32_t amount, int p) {
  w.vlq(static_cast<uint32_t>(delta));
  switch (e.Kind) {
    case kEventNoteOn:
    case kEventNoteOff: {
      const auto status = static_cast<uint8_t>((e.Kind == kEventNoteOn ? 0x90 : 0x80) + p);
      const TOnpu& r = *e.Note;
      const uint8_t velocity = dataByte(r.Velocity);
      const uint8_t head[3] = {status, dataByte(r.Pitch[0]), velocity};
      w.append(head, 3);
      for (int k = 1; k <= e.LastIndex; ++k) {
        const uint8_t more[4] = {0x00, status, dataByte(r.Pitch[k]), velocity};
        w.append(more, 4);
      }
      break;
    }
    case kEventBend: {
      const uint16_t v = bendValue(amount);
      const uint8_t b[3] = {static_cast<uint8_t>(0xE0 + p), static_cast<uint8_t>(v & 0x7F),
                            static_cast<uint8_t>(v >> 7)};
      w.append(b, 3);
      break;
    }
    default: {  // bend reset: back to the centre, 8192
      const uint8_t b[3] = {static_cast<uint8_t>(0xE0 + p), 0x00, 0x40};
      w.append(b, 3);
      break;
    }
  }
}

}  // namespace

uint16_t bendValue(int32_t amount) {
  const int64_t a = std::clamp(amount, -600, 600);
  int64_t x = a * 4096 / 300;
  x = x > 0 ? x - 1 : x + 1;
  return static_cast<uint16_t>(8192 + x);
}

int64_t CreateMIDIData(const EditorState& s, int part, int32_t fromBar, int32_t toBar,
                       MidiEventList& events, int64_t byteLimit) {
  if (events.empty()) events.emplace_back();
  const size_t firstNew = events.size();
  const double barLen = barReal(s);
  // A delta longer than this cannot be written.
  constexpr double kLongest = static_cast<double>(kMaxVlq) / kTicksPer64th;
  double pos = 0;      // 64ths from the part's start, as written
  double waiting = 0;  // 64ths before the next note-on; negative after a lengthened note
  bool tooLong = false;
  // Every track of a bar range starts at the range's first bar line: when a
  // note begun before the range sounds into it, the first selected record
  // starts after that line and waits for the gap, so the parts stay together.
  bool leadIn = toBar >= 0;
  for (const TOnpu* r = s.PartHead[part]; r->Pitch[0] >= kStartMarker; r = r->Next) {
    const double adj = fractionIn64ths(r->LenNum, r->LenDen);
    const double written = r->RenLength > 0 && r->RenCount > 0
                               ? static_cast<double>(r->RenLength) / r->RenCount
                               : r->Length;
    const double b = written + adj;
    const int64_t c = truncTicks(b);
    const bool selected = inBarRange(pos, fromBar, toBar, barLen);
    if (selected && leadIn) {
      waiting += std::max(0.0, pos - (fromBar - 1.0) * barLen);
      leadIn = false;
    }
    pos += written;
    if (!selected || c <= 0) continue;
    if (r->Pitch[0] <= 0) {
      waiting += b;
      continue;
    }
    if (b > kLongest || std::abs(waiting) > kLongest) {
      tooLong = true;
      break;
    }
    appendNote(events, *r, b, c, waiting);
    waiting = -adj;
  }
  if (tooLong) events.resize(firstNew);
  MidiEvent end;
  end.Kind = kEventEnd;
  end.Delta = truncTicks(waiting * kTicksPer64th + 0.1);
  events.push_back(end);
  reorder(events);
  if (tooLong) return kMidiDeltaTooLong;

  int64_t bytes = 0;
  int64_t result = 0;
  forEachInTime(events,
                [&](const MidiEvent& e, int64_t delta, int32_t, int64_t repeats, int64_t step) {
                  if (delta > kMaxVlq || (repeats > 1 && step > kMaxVlq)) {
                    result = kMidiDeltaTooLong;
                    return false;
                  }
                  bytes += eventBytes(e, delta);
                  if (repeats > 1)
                    bytes += (repeats - 1) * (vlqLength(static_cast<uint32_t>(step)) + 3);
                  if (bytes > byteLimit) {
                    result = kMidiTooLarge;
                    return false;
                  }
                  return true;
                });
  if (result == kMidiDeltaTooLong) events.erase(events.begin() + 1, events.end() - 1);
  return result < 0 ? result : bytes;
}

void RestoreMIDIData(MidiEventList& events) {
  events.clear();
}

FileResult encodeMidiExport(const EditorState& s, int32_t fromBar, int32_t toBar,
                            const std::string& fileName, std::vector<uint8_t>& out) {
  out.clear();
  ByteWriter w(out);
  writeHeaderChunk(w, selectedPartCount(s));
  MidiEventList events;
  for (int p = 0; p < kPartCount; ++p) {
    if (!partSelected(s, p)) continue;
    events.emplace_back();  // the start event stands for the set-up block
    const int64_t trackOverhead = 8 + kMidiTrackFixedBytes;
    const int64_t budget = kMaxMidiExportBytes - static_cast<int64_t>(out.size()) - trackOverhead;
    const int64_t bytes = CreateMIDIData(s, p, fromBar, toBar, events, budget);
    if (bytes == kMidiDeltaTooLong) {
      return FileResult::failure(FileError::Unwritable,
                                 fillText(uiText("kelvara::Files",
                                                 "ファイル %1 を作成できません: %3%2 に MIDI "
                                                 "ファイルで表せない長さの休符か音符があります"),
                                          {fileName, partText(p), partListSpace(p)}));
    }
    if (bytes == kMidiTooLarge) {
      return FileResult::failure(
          FileError::Unwritable,
          fillText(uiText("kelvara::Files",
                          "ファイル %1 を作成できません: %4%2 までで MIDI データが上限の %3 "
                          "バイトを超えます（ビブラートの細かい長い音符が多すぎます）"),
                   {fileName, partText(p), std::to_string(kMaxMidiExportBytes), partListSpace(p)}));
    }
    // Exactly this track: later tracks are not guessed at.
    out.reserve(out.size() + static_cast<size_t>(bytes + trackOverhead));
    w.text("MTrk");
    w.u32be(static_cast<uint32_t>(bytes + kMidiTrackFixedBytes));
    writeSetupBlock(w, s, p);
    forEachInTime(events, [&](const MidiEvent& e, int64_t delta, int32_t amount, int64_t repeats,
                              int64_t step) {
      writeEvent(w, e, delta, amount, p);
      for (int64_t k = 1; k < repeats; ++k) {
        amount = -amount;
        writeEvent(w, e, step, amount, p);
      }
      return true;
    });
    writeEndOfTrack(w);
    RestoreMIDIData(events);
  }
  return {};
}

FileResult savedataplus3(const EditorState& s, const std::string& fileName, int32_t fromBar,
                         int32_t toBar) {
  return writeEncoded(encodeMidiExport, s, fileName, fromBar, toBar);
}

}  // namespace kelvara
