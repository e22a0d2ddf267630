#include "files/musicxml_export.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <new>
#include <span>
#include <stdexcept>
#include <vector>

#include "files/atomic_write.h"
#include "files/mxl_container.h"
#include "files/rational.h"
#include "files/score_file.h"
#include "files/score_walk.h"
#include "input/drum_names.h"
#include "score/bar_math.h"
#include "score/notation_groups.h"
#include "score/part_list.h"
#include "score/spelling.h"
#include "score/standard_notation.h"
#include "score/ui_text.h"
#include "score/voice_names.h"

namespace kelvara {

namespace {

// Pitches at and above middle C's staff position go on the upper staff, as
// the editor draws the grand staff.
constexpr int32_t kUpperStaffFrom = 39;
// Divisions of a 64th: the smallest number that makes every duration whole,
// unless tuplets of many sizes would need more; then durations are rounded
// to a fine grid. Either way a quarter note stays below 16 384 divisions, the
// most that MIDI-minded readers take.
constexpr int64_t kMaxDivisionsPer64th = 1023;
constexpr int64_t kFallbackDivisionsPer64th = 960;

struct SpelledPitch {
  int32_t pitch;
  Spelling spelling;
  int staff;           // 1 upper, 2 lower
  bool cross = false;  // standard notation's drums: a cross head
};

// A record with its pitches spelled as the editor draws them.
struct RecordOut {
  const TOnpu* rec = nullptr;  // nullptr: a rest that fills the last measure
  std::vector<SpelledPitch> pitches;
  const TOnpu* beamFirst = nullptr;  // standard notation: first record of its beam group
  bool stemDown = false;             // standard notation: the drawn stem points down
};

// One written note value of a record: records are split at bar lines and
// into note values, tied together.
struct Piece {
  size_t record = 0;
  Rational start, end;  // 64ths from the part's start
  int32_t value = 0;    // written value in 64ths: 64, 32 .. 1
  int32_t dots = 0;
  bool first = false, last = false;  // first and last piece of its record
  Rational ratio{1};                 // written over sounding length (tuplets)
  bool tupletStart = false, tupletStop = false;
};

struct PartOut {
  int part = 0;
  std::vector<RecordOut> records;
  std::vector<Piece> pieces;
  Rational end;
  std::vector<int32_t> drums;  // drum keys used (percussion part)
};

bool isTupletMember(const TOnpu& r) {
  return r.RenIndex > 0 && r.RenLength > 0 && r.RenCount > 0;
}

int32_t pieceSize(int64_t left, int64_t fill, int32_t barLen) {
  for (int32_t size : {64, 32, 16, 8, 4, 2}) {
    if (left >= size && barLen >= size && fill + size <= barLen) return size;
  }
  return 1;
}

// A note value with its dots, in 64ths.
Rational writtenLength(int32_t value, int32_t dots) {
  Rational length(value);
  for (int32_t d = 1; d <= dots; ++d) length = length + Rational(value, int64_t{1} << d);
  return length;
}

// Note values (value, dots) for `written` 64ths starting `fill` 64ths into a
// bar, as the editor draws them (the largest value that fits what is left,
// the bar and the rest of the bar), with a value followed by its half joined
// into one dotted value. In standard notation (`standard` given) the values
// are dotted as the drawing dots them: inside a beat, up to two dots.
std::vector<std::pair<int32_t, int32_t>> noteValues(Rational written, Rational fill, int32_t barLen,
                                                    const NotationMeter* standard) {
  std::vector<int32_t> sizes;
  if (written.integral() && fill.integral()) {
    int64_t f = fill.num;
    for (int64_t left = written.num; left > 0;) {
      const int32_t size = pieceSize(left, f, barLen);
      sizes.push_back(size);
      f += size;
      left -= size;
    }
  } else {
    // A tuplet cut by a bar line: the written share of each side is no whole
    // number of 64ths; the values come as close as they can.
    for (Rational left = written; left > Rational(0);) {
      int32_t size = 64;
      while (size > 1 && Rational(size) > left) size /= 2;
      sizes.push_back(size);
      left = left - Rational(size);
    }
  }
  std::vector<std::pair<int32_t, int32_t>> values;
  if (standard != nullptr && written.integral() && fill.integral()) {
    for (const NoteValue& v : dottedValues(sizes, fill.num, *standard)) {
      values.emplace_back(v.size, v.dots);
    }
    return values;
  }
  for (size_t i = 0; i < sizes.size(); ++i) {
    if (i + 1 < sizes.size() && sizes[i + 1] * 2 == sizes[i] && sizes[i] > 1) {
      values.emplace_back(sizes[i], 1);
      ++i;
    } else {
      values.emplace_back(sizes[i], 0);
    }
  }
  return values;
}

// Note elements a document may hold: about what the MusicXML reader takes
// back (256 MB). A longer score is refused before memory runs short.
constexpr size_t kMaxNoteElements = 1500000;

void spend(size_t& budget, size_t n) {
  if (n > budget) throw std::length_error("score too large for MusicXML");
  budget -= n;
}

// Adds the pieces of record `index`, sounding from `from` to `to`, written
// `ratio` times as long as it sounds.
void addPieces(PartOut& out, size_t index, Rational from, Rational to, Rational ratio,
               int32_t barLen, const NotationMeter* standard, size_t& budget) {
  const size_t firstPiece = out.pieces.size();
  for (Rational a = from; a < to;) {
    const Rational barStart(a.floor() / barLen * barLen);
    const Rational fill = a - barStart;
    const Rational barEnd = barStart + Rational(barLen);
    const Rational e = std::min(to, barEnd);
    const auto values = noteValues((e - a) * ratio, fill, barLen, standard);
    // A piece is a note per pitch, and a rest on a staff without one.
    spend(budget, values.size() * (out.records[index].pitches.size() + 1));
    Rational t = a;
    for (size_t k = 0; k < values.size(); ++k) {
      Piece piece;
      piece.record = index;
      piece.start = t;
      const Rational written = writtenLength(values[k].first, values[k].second);
      piece.end = k + 1 == values.size() ? e : std::min(e, t + written / ratio);
      piece.value = values[k].first;
      piece.dots = values[k].second;
      piece.ratio = ratio;
      t = piece.end;
      if (piece.end > piece.start) out.pieces.push_back(piece);
    }
    a = e;
  }
  if (out.pieces.size() > firstPiece) {
    out.pieces[firstPiece].first = true;
    out.pieces.back().last = true;
  }
}

std::vector<SpelledPitch> spellRecord(const TOnpu& r, LetterAccidentals& acc) {
  std::vector<SpelledPitch> out;
  if (!isNote(r)) return out;
  for (int i = 0; i < kPitchSlots && r.Pitch[i] >= 0; ++i) {
    const Spelling sp = spellPitch(r.Pitch[i], acc, nullptr);
    out.push_back({r.Pitch[i], sp, sp.index() >= kUpperStaffFrom ? 1 : 2});
  }
  return out;
}

// Standard notation's drums: each key where the percussion staff draws it,
// on the upper staff, cymbals and hi-hats with cross heads.
std::vector<SpelledPitch> drumPlaces(const TOnpu& r) {
  std::vector<SpelledPitch> out;
  if (!isNote(r)) return out;
  for (int i = 0; i < kPitchSlots && r.Pitch[i] >= 0; ++i) {
    const DrumNote d = drumNote(r.Pitch[i]);
    out.push_back({r.Pitch[i], {d.index % 7, d.index / 7, AccidentalSign::None}, 1, d.cross});
  }
  return out;
}

PartOut layOutPart(const EditorState& s, int part, size_t& budget) {
  PartOut out;
  out.part = part;
  const int32_t barLen = s.BarLen();
  const int32_t barsPerPage = std::max<int32_t>(1, s.BarsPerPage);
  LetterAccidentals acc = keyAccidentals(s.KeySig);
  const NotationMeter meter{barLen, notationBeat(s.TimeNum, s.TimeDen), s.KeySig};
  const NotationMeter* standard = s.StandardNotation ? &meter : nullptr;
  int32_t bar = 1, fill = 0, page = 0;
  Rational pos;
  const TOnpu* prev = nullptr;
  for (const TOnpu* r = firstRecordOf(s.PartHead[part]); !isEndMarker(*r); r = r->Next) {
    if (!isNoteOrRest(*r)) continue;
    // The editor spells every page afresh from the key signature.
    if ((bar - 1) / barsPerPage != page) {
      page = (bar - 1) / barsPerPage;
      acc = keyAccidentals(s.KeySig);
    }
    const size_t index = out.records.size();
    out.records.push_back(
        {r, drawsPercussionStaff(s, part) ? drumPlaces(*r) : spellRecord(*r, acc)});
    if (standard != nullptr && isNote(*r)) {
      const BeamGroup group = beamGroupOf(*r, fill, meter);
      if (!group.members.empty()) out.records.back().beamFirst = group.members.front().record;
      out.records.back().stemDown = stemPointsDown(*r, group, part == kPercussionPart, s.KeySig);
    }
    if (part == kPercussionPart) {
      for (const SpelledPitch& p : out.records.back().pitches) out.drums.push_back(p.pitch);
    }
    // Standard notation: an accidental lasts to the bar line.
    if (s.StandardNotation && reachesBarLine(*r, fill, barLen)) acc = keyAccidentals(s.KeySig);
    advanceBar(bar, fill, barContribution(*r), barLen);

    const bool member = isTupletMember(*r);
    const Rational sounding = member ? Rational(r->RenLength, r->RenCount) : Rational(r->Length);
    const Rational written(std::max<int32_t>(r->Length, 1));
    if (sounding > Rational(0)) {
      const size_t firstPiece = out.pieces.size();
      addPieces(out, index, pos, pos + sounding, member ? written / sounding : Rational(1), barLen,
                standard, budget);
      if (member && out.pieces.size() > firstPiece) {
        const TOnpu* next = r->Next;
        if (prev == nullptr || !followsInGroup(*prev, *r))
          out.pieces[firstPiece].tupletStart = true;
        if (isEndMarker(*next) || !followsInGroup(*r, *next)) out.pieces.back().tupletStop = true;
      }
      pos = pos + sounding;
    }
    prev = r;
  }
  out.end = pos;
  std::sort(out.drums.begin(), out.drums.end());
  out.drums.erase(std::unique(out.drums.begin(), out.drums.end()), out.drums.end());
  return out;
}

// Rests that complete the last measure and fill the measures a shorter part
// lacks.
void fillTo(PartOut& out, Rational end, int32_t barLen, const NotationMeter* standard,
            size_t& budget) {
  if (out.end >= end) return;
  const size_t index = out.records.size();
  out.records.push_back({});
  addPieces(out, index, out.end, end, Rational(1), barLen, standard, budget);
}

// The document is built in one string: appending is all the writer does, so
// a score of 100 000 notes takes a few tens of milliseconds.
class XmlOut {
 public:
  explicit XmlOut(std::string& text) : text_(text) {}

  void raw(std::string_view s) { text_.append(s); }
  void open(std::string_view name, std::string_view attributes = {}) {
    begin();
    text_.append("<").append(name).append(attributes).append(">");
    if (depth_ + 1 < kInline) text_.push_back('\n');
    ++depth_;
  }
  void close(std::string_view name) {
    --depth_;
    if (depth_ + 1 < kInline) indent();
    text_.append("</").append(name).append(">");
    end();
  }
  void empty(std::string_view name, std::string_view attributes = {}) {
    begin();
    text_.append("<").append(name).append(attributes).append("/>");
    end();
  }
  void leaf(std::string_view name, std::string_view value, std::string_view attributes = {}) {
    begin();
    text_.append("<").append(name).append(attributes).append(">");
    escape(value);
    text_.append("</").append(name).append(">");
    end();
  }
  void leaf(std::string_view name, int64_t value) { leaf(name, number(value)); }

  static std::string number(int64_t v) { return std::to_string(v); }
  // A decimal with up to four places, trailing zeros dropped.
  static std::string decimal(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string s = buf;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
  }

 private:
  void escape(std::string_view value) {
    for (char c : value) {
      switch (c) {
        case '&':
          text_.append("&amp;");
          break;
        case '<':
          text_.append("&lt;");
          break;
        case '>':
          text_.append("&gt;");
          break;
        case '"':
          text_.append("&quot;");
          break;
        default:
          // Control characters have no place in XML 1.0 text.
          if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') text_.push_back(c);
      }
    }
  }

  // Elements from this depth on (the content of a note, a backup or the
  // attributes) stay on their parent's line: a note is one line, which
  // keeps a long score's file about half as large.
  static constexpr int kInline = 4;

  void indent() { text_.append(static_cast<size_t>(depth_) * 2, ' '); }
  void begin() {
    if (depth_ < kInline) indent();
  }
  void end() {
    if (depth_ < kInline) text_.push_back('\n');
  }

  std::string& text_;
  int depth_ = 0;
};

const char* typeName(int32_t value) {
  switch (value) {
    case 64:
      return "whole";
    case 32:
      return "half";
    case 16:
      return "quarter";
    case 8:
      return "eighth";
    case 4:
      return "16th";
    case 2:
      return "32nd";
    default:
      return "64th";
  }
}

std::string partId(int part) {
  return "P" + std::to_string(listItemForPart(part) + 1);
}

std::string drumName(int32_t key) {
  if (key >= 35 && key < 35 + static_cast<int32_t>(kDrumNames.size())) {
    std::string name = kDrumNames[static_cast<size_t>(key - 35)];
    return name.substr(name.find(' ') + 1);
  }
  return "Drum " + std::to_string(key);
}

std::string trimmedLabel(int part) {
  std::string label = partLabel(part);
  return label.substr(label.find_first_not_of(' '));
}

struct Writer {
  const EditorState& s;
  XmlOut& x;
  int64_t div;  // divisions of a 64th
  int32_t barLen;

  int64_t at(Rational t) const {
    const Rational scaled = t * Rational(div);
    return (scaled + Rational(1, 2)).floor();
  }

  void partList(const std::vector<PartOut>& parts) {
    x.open("part-list");
    for (const PartOut& p : parts) {
      const std::string id = partId(p.part);
      x.open("score-part", " id=\"" + id + "\"");
      x.leaf("part-name", trimmedLabel(p.part));
      const double volume = std::clamp(s.PartVolume[p.part], 0, 127) * 100.0 / 127.0;
      const double pan = (std::clamp(s.PartPan[p.part], 0, 20) - 10) * 9.0;
      if (p.part == kPercussionPart) {
        for (int32_t key : p.drums) {
          x.open("score-instrument", " id=\"" + id + "-I" + std::to_string(key) + "\"");
          x.leaf("instrument-name", drumName(key));
          x.close("score-instrument");
        }
        for (int32_t key : p.drums) {
          x.open("midi-instrument", " id=\"" + id + "-I" + std::to_string(key) + "\"");
          x.leaf("midi-channel", 10);
          x.leaf("midi-unpitched", std::clamp(key, 0, 127) + 1);
          x.leaf("volume", XmlOut::decimal(volume));
          x.leaf("pan", XmlOut::decimal(pan));
          x.close("midi-instrument");
        }
      } else {
        const int program = std::clamp(s.PartProgram[p.part], 0, 127);
        x.open("score-instrument", " id=\"" + id + "-I1\"");
        x.leaf("instrument-name", std::string(voiceNames()[static_cast<size_t>(program)]));
        x.close("score-instrument");
        x.open("midi-instrument", " id=\"" + id + "-I1\"");
        x.leaf("midi-channel", p.part + 1);
        x.leaf("midi-program", program + 1);
        x.leaf("volume", XmlOut::decimal(volume));
        x.leaf("pan", XmlOut::decimal(pan));
        x.close("midi-instrument");
      }
      x.close("score-part");
    }
    x.close("part-list");
  }

  // The first measure's attributes; `drumStaff`: the one percussion staff
  // of standard notation, which has no key signature.
  void attributes(bool drumStaff) {
    x.open("attributes");
    x.leaf("divisions", div * 16);
    if (!drumStaff) {
      x.open("key");
      x.leaf("fifths", std::clamp(7 - s.KeySig, -7, 7));
      x.leaf("mode", s.Major != 0 ? "major" : "minor");
      x.close("key");
    }
    x.open("time");
    x.leaf("beats", s.TimeNum);
    x.leaf("beat-type", s.TimeDen);
    x.close("time");
    if (drumStaff) {
      x.open("clef");
      x.leaf("sign", "percussion");
      x.close("clef");
      x.close("attributes");
      return;
    }
    x.leaf("staves", 2);
    x.open("clef", " number=\"1\"");
    x.leaf("sign", "G");
    x.leaf("line", 2);
    x.close("clef");
    x.open("clef", " number=\"2\"");
    x.leaf("sign", "F");
    x.leaf("line", 4);
    x.close("clef");
    x.close("attributes");
  }

  void tempo() {
    x.open("direction", " placement=\"above\"");
    x.open("direction-type");
    x.open("metronome");
    x.leaf("beat-unit", "quarter");
    x.leaf("per-minute", s.Tempo);
    x.close("metronome");
    x.close("direction-type");
    x.leaf("staff", 1);
    x.empty("sound", " tempo=\"" + XmlOut::number(s.Tempo) + "\"");
    x.close("direction");
  }

  void measureRest(int staff) {
    x.open("note");
    x.empty("rest", " measure=\"yes\"");
    x.leaf("duration", div * barLen);
    x.leaf("voice", staff);
    x.leaf("staff", staff);
    x.close("note");
  }

  // One note (or rest, when `pitch` is null) of a piece on one staff.
  void note(const PartOut& part, const Piece& piece, const SpelledPitch* pitch, bool chord,
            int staff, const BeamLevels* beams = nullptr) {
    const RecordOut& ro = part.records[piece.record];
    const TOnpu* r = ro.rec;
    std::string attrs;
    if (pitch != nullptr && r != nullptr) {
      attrs += " dynamics=\"" + XmlOut::decimal(std::max(r->Velocity, 0) * 100.0 / 90.0) + "\"";
      if (piece.last && r->LenNum != 0 && r->LenDen > 0) {
        attrs += " release=\"" +
                 XmlOut::decimal(static_cast<double>(r->LenNum) * 64.0 * static_cast<double>(div) /
                                 r->LenDen) +
                 "\"";
      }
    }
    x.open("note", attrs);
    if (chord) x.empty("chord");
    const bool drum = part.part == kPercussionPart;
    if (pitch == nullptr) {
      x.empty("rest");
    } else {
      int32_t octave = spelledOctave(pitch->spelling);
      int32_t alter = spelledAlter(pitch->pitch, pitch->spelling);
      // The format's octaves are 0..9: the lowest and highest keys are
      // written from a neighbouring octave.
      if (octave < 0) {
        alter -= 12 * -octave;
        octave = 0;
      } else if (octave > 9) {
        alter += 12 * (octave - 9);
        octave = 9;
      }
      const std::string step(1, letterName(pitch->spelling.letter));
      if (drum) {
        x.open("unpitched");
        x.leaf("display-step", step);
        x.leaf("display-octave", octave);
        x.close("unpitched");
      } else {
        x.open("pitch");
        x.leaf("step", step);
        if (alter != 0) x.leaf("alter", alter);
        x.leaf("octave", octave);
        x.close("pitch");
      }
    }
    x.leaf("duration", at(piece.end) - at(piece.start));
    const bool tiedBack = pitch != nullptr && !piece.first;
    const bool tiedOn = pitch != nullptr && !piece.last;
    if (tiedBack) x.empty("tie", " type=\"stop\"");
    if (tiedOn) x.empty("tie", " type=\"start\"");
    if (drum && pitch != nullptr) {
      x.empty("instrument",
              " id=\"" + partId(part.part) + "-I" + std::to_string(pitch->pitch) + "\"");
    }
    x.leaf("voice", staff);
    x.leaf("type", typeName(piece.value));
    for (int32_t d = 0; d < piece.dots; ++d) x.empty("dot");
    if (pitch != nullptr && !drum && piece.first) {
      switch (pitch->spelling.sign) {
        case AccidentalSign::Sharp:
          x.leaf("accidental", "sharp");
          break;
        case AccidentalSign::Flat:
          x.leaf("accidental", "flat");
          break;
        case AccidentalSign::Natural:
          x.leaf("accidental", "natural");
          break;
        case AccidentalSign::None:
          break;
      }
    }
    const bool tuplet = !(piece.ratio == Rational(1));
    if (tuplet) {
      x.open("time-modification");
      x.leaf("actual-notes", piece.ratio.num);
      x.leaf("normal-notes", piece.ratio.den);
      x.close("time-modification");
    }
    // Standard notation writes the stems as drawn; a whole note has none.
    if (s.StandardNotation && pitch != nullptr && r != nullptr && piece.value < 64) {
      x.leaf("stem", ro.stemDown ? "down" : "up");
    }
    if (pitch != nullptr && pitch->cross) x.leaf("notehead", "x");
    x.leaf("staff", staff);
    if (beams != nullptr) beamElements(*beams);
    const bool bracket = !chord && (piece.tupletStart || piece.tupletStop);
    const bool tail = pitch != nullptr && r != nullptr && r->YoinAmount != 0;
    const bool vibrato = tail && r->YoinType == 2;
    const bool bend = tail && !vibrato && piece.first;
    const bool wavy = vibrato && (piece.first || piece.last);
    if (tiedBack || tiedOn || bracket || bend || wavy) {
      x.open("notations");
      if (tiedBack) x.empty("tied", " type=\"stop\"");
      if (tiedOn) x.empty("tied", " type=\"start\"");
      if (bracket && piece.tupletStart) x.empty("tuplet", " type=\"start\" bracket=\"yes\"");
      if (bracket && piece.tupletStop) x.empty("tuplet", " type=\"stop\"");
      if (wavy) {
        x.open("ornaments");
        if (piece.first) x.empty("wavy-line", " type=\"start\"");
        if (piece.last) x.empty("wavy-line", " type=\"stop\"");
        x.close("ornaments");
      }
      if (bend) {
        // The tail's amount is in hundredths of a whole tone.
        x.open("technical");
        x.open("bend");
        x.leaf("bend-alter", XmlOut::decimal(r->YoinAmount / 50.0));
        x.close("bend");
        x.close("technical");
      }
      x.close("notations");
    }
    x.close("note");
  }

  // The pieces [from, to) of one measure on one staff.
  void staffRun(const PartOut& part, size_t from, size_t to, int staff) {
    // A staff without notes in the measure rests for the whole measure,
    // unless a tuplet passes through it: its rests then keep the group's
    // shape on this staff too.
    bool any = false;
    for (size_t i = from; i < to && !any; ++i) {
      const TOnpu* rec = part.records[part.pieces[i].record].rec;
      any = rec != nullptr && isTupletMember(*rec);
      for (const SpelledPitch& p : part.records[part.pieces[i].record].pitches) {
        any = any || p.staff == staff;
      }
    }
    if (!any) {
      measureRest(staff);
      return;
    }
    const std::vector<BeamLevels> beams = beamsOnStaff(part, from, to, staff);
    for (size_t i = from; i < to; ++i) {
      const Piece& piece = part.pieces[i];
      if (silentHere(part, piece, staff)) {
        // Rests in a row outside tuplets are written as few values as fit.
        size_t j = i;
        while (j + 1 < to && silentHere(part, part.pieces[j + 1], staff)) ++j;
        restRun(part, i, j, staff);
        i = j;
        continue;
      }
      bool chord = false;
      for (const SpelledPitch& p : part.records[piece.record].pitches) {
        if (p.staff != staff) continue;
        note(part, piece, &p, chord, staff, chord ? nullptr : &beams[i - from]);
        chord = true;
      }
      if (!chord) note(part, piece, nullptr, false, staff);
    }
  }

  // The beams of the pieces [from, to) on one staff: runs of notes of one beam
  // group, each written as one value, all with a note on this staff.
  static std::vector<BeamLevels> beamsOnStaff(const PartOut& part, size_t from, size_t to,
                                              int staff) {
    std::vector<BeamLevels> out(to - from);
    auto beamed = [&](size_t i) -> const TOnpu* {
      const Piece& piece = part.pieces[i];
      const RecordOut& ro = part.records[piece.record];
      if (ro.beamFirst == nullptr || !piece.first || !piece.last) return nullptr;
      for (const SpelledPitch& p : ro.pitches) {
        if (p.staff == staff) return ro.beamFirst;
      }
      return nullptr;
    };
    for (size_t i = from; i < to;) {
      const TOnpu* group = beamed(i);
      size_t j = i + 1;
      while (group != nullptr && j < to && beamed(j) == group) ++j;
      if (j - i >= 2) {
        std::vector<int32_t> sizes;
        std::vector<int32_t> starts;
        Rational at;
        for (size_t k = i; k < j; ++k) {
          sizes.push_back(part.pieces[k].value);
          starts.push_back(static_cast<int32_t>(at.floor()));
          at = at + writtenLength(part.pieces[k].value, part.pieces[k].dots);
        }
        const std::vector<BeamLevels> levels = beamLevels(sizes, starts);
        std::copy(levels.begin(), levels.end(), out.begin() + static_cast<ptrdiff_t>(i - from));
      }
      i = j;
    }
    return out;
  }

  void beamElements(const BeamLevels& levels) {
    for (size_t k = 0; k < levels.size(); ++k) {
      static constexpr const char* kNames[] = {"",    "begin",        "continue",
                                               "end", "forward hook", "backward hook"};
      if (levels[k] == BeamPart::None) continue;
      x.leaf("beam", kNames[static_cast<int>(levels[k])],
             " number=\"" + std::to_string(k + 1) + "\"");
    }
  }

  // Whether the piece is a rest on `staff` that belongs to no tuplet.
  static bool silentHere(const PartOut& part, const Piece& piece, int staff) {
    const RecordOut& ro = part.records[piece.record];
    if (ro.rec != nullptr && isTupletMember(*ro.rec)) return false;
    for (const SpelledPitch& p : ro.pitches) {
      if (p.staff == staff) return false;
    }
    return true;
  }

  // Pieces first..last as rests of note values that fill their span.
  void restRun(const PartOut& part, size_t first, size_t last, int staff) {
    const Rational start = part.pieces[first].start, end = part.pieces[last].end;
    const Rational barStart(start.floor() / barLen * barLen);
    if (first == last || !start.integral() || !end.integral()) {
      for (size_t k = first; k <= last; ++k) note(part, part.pieces[k], nullptr, false, staff);
      return;
    }
    Piece rest = part.pieces[first];
    const NotationMeter meter{barLen, notationBeat(s.TimeNum, s.TimeDen), s.KeySig};
    for (const auto& [value, dots] :
         noteValues(end - start, start - barStart, barLen, s.StandardNotation ? &meter : nullptr)) {
      rest.value = value;
      rest.dots = dots;
      rest.end = rest.start + writtenLength(value, dots);
      note(part, rest, nullptr, false, staff);
      rest.start = rest.end;
    }
  }

  void part(const PartOut& p, int64_t measures, bool withTempo) {
    x.open("part", " id=\"" + partId(p.part) + "\"");
    const bool drumStaff = drawsPercussionStaff(s, p.part);
    size_t i = 0;
    for (int64_t m = 0; m < measures; ++m) {
      x.open("measure", " number=\"" + XmlOut::number(m + 1) + "\"");
      if (m == 0) {
        attributes(drumStaff);
        if (withTempo) tempo();
      }
      const Rational measureEnd((m + 1) * barLen);
      const size_t from = i;
      while (i < p.pieces.size() && p.pieces[i].start < measureEnd) ++i;
      staffRun(p, from, i, 1);
      if (drumStaff) {
        x.close("measure");
        continue;
      }
      x.open("backup");
      x.leaf("duration", div * barLen);
      x.close("backup");
      staffRun(p, from, i, 2);
      x.close("measure");
    }
    x.close("part");
  }
};

int64_t divisionsFor(const std::vector<PartOut>& parts) {
  int64_t d = 1;
  for (const PartOut& p : parts) {
    for (const Piece& piece : p.pieces) {
      for (const Rational& t : {piece.start, piece.end}) {
        d = std::lcm(d, t.den);
        if (d > kMaxDivisionsPer64th) return kFallbackDivisionsPer64th;
      }
    }
  }
  return d;
}

}  // namespace

bool isMusicXmlKind(const std::string& extension) {
  return extension == ".musicxml" || extension == ".xml" || extension == ".mxl";
}

std::string encodeMusicXml(const EditorState& s, const std::string& title) {
  const int32_t barLen = s.BarLen();
  size_t budget = kMaxNoteElements;
  std::vector<PartOut> parts;
  // The melodic parts in the order users see them, the percussion part last.
  for (int item = 0; item < kPartCount; ++item) {
    const int p = partForListItem(item);
    if (!partSelected(s, p) || isPartEmpty(s.PartHead[p])) continue;
    parts.push_back(layOutPart(s, p, budget));
  }
  if (parts.empty()) {
    // A score needs one part: an empty first part of rests.
    int first = 0;
    while (first < kPartCount && !partSelected(s, partForListItem(first))) ++first;
    parts.push_back(PartOut{});
    parts.back().part = partForListItem(first < kPartCount ? first : 0);
  }
  Rational longest(barLen);
  for (const PartOut& p : parts) longest = std::max(longest, p.end);
  int64_t measures = longest.floor() / barLen;
  if (Rational(measures * barLen) < longest) ++measures;
  // Each part has a measure rest on each staff in every measure at most.
  spend(budget, static_cast<size_t>(std::min<int64_t>(measures, kMaxNoteElements)) * parts.size());
  const NotationMeter meter{barLen, notationBeat(s.TimeNum, s.TimeDen), s.KeySig};
  for (PartOut& p : parts) {
    fillTo(p, Rational(measures * barLen), barLen, s.StandardNotation ? &meter : nullptr, budget);
  }

  std::string text;
  text.reserve(1 << 16);
  XmlOut x(text);
  x.raw(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
      "\"http://www.musicxml.org/dtds/partwise.dtd\">\n");
  x.open("score-partwise", " version=\"4.0\"");
  if (!title.empty()) {
    x.open("work");
    x.leaf("work-title", title);
    x.close("work");
  }
  x.open("identification");
  x.open("encoding");
  x.leaf("software", "Kelvara 1.1");
  x.close("encoding");
  x.close("identification");
  if (!title.empty()) {
    x.open("credit", " page=\"1\"");
    x.leaf("credit-type", "title");
    x.leaf("credit-words", title);
    x.close("credit");
  }
  Writer w{s, x, divisionsFor(parts), barLen};
  w.partList(parts);
  for (size_t i = 0; i < parts.size(); ++i) w.part(parts[i], measures, i == 0);
  x.close("score-partwise");
  return text;
}

FileResult saveMusicXml(const EditorState& s, const std::string& fileName) {
  std::string name = fileName.substr(fileName.find_last_of('/') + 1);
  name = name.substr(0, name.size() - fileExtension(name).size());
  std::string text;
  std::vector<uint8_t> packed;
  try {
    text = encodeMusicXml(s, name);
    if (fileExtension(fileName) == ".mxl") {
      std::string error = packMxl(text, packed);
      if (!error.empty()) {
        return FileResult::failure(
            FileError::CannotCreate,
            fillText(uiText("kelvara::Files", "ファイル %1 を作成できません: %2"),
                     {fileName, error}));
      }
    }
  } catch (const std::bad_alloc&) {
    return FileResult::failure(
        FileError::CannotCreate,
        fillText(uiText("kelvara::Files", "ファイル %1 を書くためのメモリが足りません。"),
                 {fileName}));
  } catch (const std::length_error&) {
    return FileResult::failure(
        FileError::Unwritable,
        fillText(
            uiText(
                "kelvara::Files",
                "ファイル %1 を作成できません: 楽譜が長すぎて MusicXML では音符が %2 を超えます"),
            {fileName, std::to_string(kMaxNoteElements)}));
  }
  const std::span<const uint8_t> bytes =
      packed.empty() ? std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())
                     : std::span<const uint8_t>(packed);
  const std::string error = writeFileAtomically(fileName, bytes);
  if (!error.empty()) return FileResult::failure(FileError::CannotCreate, error);
  return {};
}

}  // namespace kelvara
