#include "files/musicxml_import.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <numeric>
#include <optional>
#include <span>

#include "files/atomic_write.h"
#include "files/byte_reader.h"
#include "files/load_limits.h"
#include "files/loaded_score.h"
#include "files/mxl_container.h"
#include "files/score_file.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

// Times are counted in ticks, 232 792 560 (the least common multiple of
// 1..20) to a 64th: tuplets of up to twenty notes and their values stay
// exact, and 2^31 64ths still fit in 64 bits.
constexpr int64_t kTicks = 232792560;
constexpr int64_t kMaxTime64 = int64_t{1} << 31;
// Times this close to each other are one: a writer that rounds its
// durations to a grid of its own still reads as it meant.
constexpr int64_t kSlack = kTicks / 32;

bool near(int64_t a, int64_t b) {
  return a - b <= kSlack && b - a <= kSlack;
}
// Whole 64ths in t, when t is that close to a whole number of them.
std::optional<int64_t> whole64ths(int64_t t) {
  const int64_t n = (t + kTicks / 2) / kTicks;
  if (!near(t, n * kTicks)) return std::nullopt;
  return n;
}
// Bounds on what a file may ask of the reader.
constexpr int kMaxDepth = 64;
// MusicXML spends 150 to 400 bytes on a note: a long score of ten parts
// takes tens of megabytes, far beyond the program's own files.
constexpr size_t kMaxMusicXmlBytes = size_t{256} << 20;
constexpr int64_t kMaxElements = 32000000;
constexpr size_t kMaxMxlEntries = 1000;
// The tempi the settings dialog takes.
constexpr int32_t kLowestTempo = 4;
constexpr int32_t kHighestTempo = 65535;
// The tuplet fields as the whole-score file keeps them.
constexpr int64_t kMaxTupletField = 255;

// What the score cannot hold, counted for the load notice.
enum Dropped {
  kLyrics,
  kSlurs,
  kDynamicsText,
  kRepeats,
  kGraceNotes,
  kCueNotes,
  kKeyChanges,
  kTimeChanges,
  kTempoChanges,
  kLostTies,
  kExtraPitches,
  kOutOfRange,
  kExtraVoices,
  kRoundedLengths,
  kApproximatedTuplets,
  kDroppedCount
};
constexpr const char* kDroppedNames[kDroppedCount] = {
    uiTextMark("kelvara::Files", "歌詞"),
    uiTextMark("kelvara::Files", "スラー"),
    uiTextMark("kelvara::Files", "強弱記号"),
    uiTextMark("kelvara::Files", "繰り返し記号"),
    uiTextMark("kelvara::Files", "装飾音符"),
    uiTextMark("kelvara::Files", "キュー音符"),
    uiTextMark("kelvara::Files", "途中の調号"),
    uiTextMark("kelvara::Files", "途中の拍子"),
    uiTextMark("kelvara::Files", "途中のテンポ"),
    uiTextMark("kelvara::Files", "結べなかったタイ"),
    uiTextMark("kelvara::Files", "11 音目からの和音"),
    uiTextMark("kelvara::Files", "音域外の音"),
    uiTextMark("kelvara::Files", "入りきらない声部"),
    uiTextMark("kelvara::Files", "64分音符単位に丸めた長さ"),
    uiTextMark("kelvara::Files", "近似した連符")};

// A fault at a place in the XML text.
std::string atLine(long line, long column, const std::string& what) {
  return fillText(uiText("kelvara::Files", "行 %1、桁 %2: %3"),
                  {std::to_string(line), std::to_string(column), what});
}

// The keys of one chord: at most 16 are kept (the score holds ten).
struct PitchSet {
  std::array<int32_t, 16> key{};
  uint8_t n = 0;

  bool push_back(int32_t k) {
    if (n == key.size()) return false;
    key[n++] = k;
    return true;
  }
  const int32_t* begin() const { return key.data(); }
  const int32_t* end() const { return key.data() + n; }
  int32_t* begin() { return key.data(); }
  int32_t* end() { return key.data() + n; }
  size_t size() const { return n; }
  int32_t front() const { return key[0]; }
  int32_t operator[](size_t i) const { return key[i]; }
};

bool bitAt(uint32_t mask, size_t i) {
  return ((mask >> i) & 1U) != 0;
}

// One note or rest of a voice as the file writes it (chord notes joined).
struct Event {
  int64_t start = 0, dur = 0;  // ticks
  bool rest = true;
  PitchSet pitches;
  uint32_t tieStart = 0, tieStop = 0;  // bit i: the tie of pitches[i]
  int64_t written = 0;                 // ticks of its written value; 0 unknown
  bool timeModified = false;
  bool tupletStart = false, tupletStop = false;
  int32_t velocity = 100;
  std::optional<int64_t> release;  // ticks
  int32_t yoinType = 0, yoinAmount = 0;
};

// A record to be.
struct Item {
  int64_t start = 0, dur = 0;
  bool rest = true;
  PitchSet pitches;
  int64_t length = 0;  // written 64ths
  int32_t renIndex = 0, renCount = 4, renLength = 0;
  int32_t velocity = 100;
  int32_t lenNum = 0, lenDen = 4;
  int32_t yoinType = 0, yoinAmount = 0;
  int64_t end() const { return start + dur; }
};

struct Stream {
  int staff = 1;
  std::string voice;
  int overlap = 0;  // a further run of the same voice where its notes overlap
  std::vector<Event> events;
  int64_t end = 0;
};

struct SourcePart {
  std::string id;
  int named = -1;  // our part whose label the file's part name is
  bool drum = false;
  std::optional<int32_t> program, volume, pan;
  std::map<std::string, int32_t> unpitched;  // instrument id -> drum key
  std::vector<Stream> streams;
  long double divisions = 0;  // per quarter note
  int64_t measureStart = 0, pos = 0, maxPos = 0;
  std::optional<std::pair<size_t, size_t>> last;  // stream and event of the last note
  int32_t velocity = 100;                         // from the last <sound dynamics>
};

// The note being read.
struct NoteRead {
  bool chord = false, rest = false, grace = false, cue = false, unpitched = false;
  std::string step, displayStep, instrument, voice = "1";
  long double alter = 0;
  int octave = 4, displayOctave = 4;
  int64_t dur = 0;
  bool hasDur = false;
  int staff = 1;
  bool timeModified = false;
  int64_t actual = 1, normal = 1;
  bool tieStart = false, tieStop = false, tupletStart = false, tupletStop = false;
  std::optional<long double> dynamics, release;
  int32_t yoinType = 0, yoinAmount = 0;
};

// The element names the reader looks at; libxml2 hands each name as one
// interned string, so a name is told once and then found by its address.
enum class Tag : uint8_t {
  kOther,
  kActualNotes,
  kAlter,
  kAttributes,
  kBackup,
  kBeatType,
  kBeats,
  kBend,
  kBendAlter,
  kChord,
  kCue,
  kDirectionType,
  kDisplayOctave,
  kDisplayStep,
  kDivisions,
  kDuration,
  kDynamics,
  kEnding,
  kFifths,
  kForward,
  kGrace,
  kInstrument,
  kKey,
  kLyric,
  kMeasure,
  kMidiChannel,
  kMidiInstrument,
  kMidiProgram,
  kMidiUnpitched,
  kMode,
  kNormalNotes,
  kNote,
  kOctave,
  kPan,
  kPart,
  kPartList,
  kPartName,
  kPitch,
  kRepeat,
  kRest,
  kScorePart,
  kScorePartwise,
  kScoreTimewise,
  kSlur,
  kSound,
  kStaff,
  kStep,
  kTie,
  kTied,
  kTime,
  kTimeModification,
  kTuplet,
  kUnpitched,
  kVoice,
  kVolume,
  kWavyLine,
};

Tag tagOf(std::string_view name) {
  static constexpr std::pair<std::string_view, Tag> kTags[] = {
      {"actual-notes", Tag::kActualNotes},
      {"alter", Tag::kAlter},
      {"attributes", Tag::kAttributes},
      {"backup", Tag::kBackup},
      {"beat-type", Tag::kBeatType},
      {"beats", Tag::kBeats},
      {"bend", Tag::kBend},
      {"bend-alter", Tag::kBendAlter},
      {"chord", Tag::kChord},
      {"cue", Tag::kCue},
      {"direction-type", Tag::kDirectionType},
      {"display-octave", Tag::kDisplayOctave},
      {"display-step", Tag::kDisplayStep},
      {"divisions", Tag::kDivisions},
      {"duration", Tag::kDuration},
      {"dynamics", Tag::kDynamics},
      {"ending", Tag::kEnding},
      {"fifths", Tag::kFifths},
      {"forward", Tag::kForward},
      {"grace", Tag::kGrace},
      {"instrument", Tag::kInstrument},
      {"key", Tag::kKey},
      {"lyric", Tag::kLyric},
      {"measure", Tag::kMeasure},
      {"midi-channel", Tag::kMidiChannel},
      {"midi-instrument", Tag::kMidiInstrument},
      {"midi-program", Tag::kMidiProgram},
      {"midi-unpitched", Tag::kMidiUnpitched},
      {"mode", Tag::kMode},
      {"normal-notes", Tag::kNormalNotes},
      {"note", Tag::kNote},
      {"octave", Tag::kOctave},
      {"pan", Tag::kPan},
      {"part", Tag::kPart},
      {"part-list", Tag::kPartList},
      {"part-name", Tag::kPartName},
      {"pitch", Tag::kPitch},
      {"repeat", Tag::kRepeat},
      {"rest", Tag::kRest},
      {"score-part", Tag::kScorePart},
      {"score-partwise", Tag::kScorePartwise},
      {"score-timewise", Tag::kScoreTimewise},
      {"slur", Tag::kSlur},
      {"sound", Tag::kSound},
      {"staff", Tag::kStaff},
      {"step", Tag::kStep},
      {"tie", Tag::kTie},
      {"tied", Tag::kTied},
      {"time", Tag::kTime},
      {"time-modification", Tag::kTimeModification},
      {"tuplet", Tag::kTuplet},
      {"unpitched", Tag::kUnpitched},
      {"voice", Tag::kVoice},
      {"volume", Tag::kVolume},
      {"wavy-line", Tag::kWavyLine},
  };
  for (const auto& [text, tag] : kTags) {
    if (text == name) return tag;
  }
  return Tag::kOther;
}

enum class Ctx {
  Other,
  Value,  // an element whose text may be a value
  PartList,
  ScorePart,
  MidiInstrument,
  Part,
  Measure,
  Note,
  Pitch,
  Unpitched,
  TimeModification,
  Attributes,
  Key,
  Time,
  Backup,
  Forward,
  DirectionType,
  Bend,
};

int32_t stepSemitone(const std::string& step) {
  static constexpr char kSteps[] = "CDEFGAB";
  static constexpr int32_t kSemitones[] = {0, 2, 4, 5, 7, 9, 11};
  for (int i = 0; i < 7; ++i) {
    if (step.size() == 1 && step[0] == kSteps[i]) return kSemitones[i];
  }
  return -1;
}

// Reads the document with libxml2's streaming (SAX) parser: nothing of the
// document is kept but the notes, so memory follows the music, not the file.
class Parser {
 public:
  Parser();

  // The document in pieces as they are read, then its end. Both throw
  // ReadFault naming line and column when the document is no readable
  // MusicXML.
  void feed(std::string_view piece);
  void finish();

  std::vector<SourcePart> parts;
  std::optional<int32_t> fifths, tempo, timeNum, timeDen;
  std::optional<bool> minor;
  std::array<int64_t, kDroppedCount> dropped{};

 private:
  static void onStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                      const xmlChar**, int attributeCount, int, const xmlChar** attributes);
  static void onEnd(void* self, const xmlChar* name, const xmlChar*, const xmlChar*);
  static void onText(void* self, const xmlChar* text, int length);
  // Runs one callback; a fault stops the parser, to be thrown once it has
  // returned (no exception passes through the C library).
  template <typename F>
  void guarded(F&& f) {
    if (stopped_) return;
    try {
      f();
    } catch (const ReadFault& fault) {
      fault_ = fault;
      stopped_ = true;
      xmlStopParser(ctxt_);
    } catch (const std::bad_alloc&) {
      outOfMemory_ = true;
      stopped_ = true;
      xmlStopParser(ctxt_);
    }
  }

  [[noreturn]] void fail(const std::string& what) {
    throw ReadFault{FileError::WrongKind,
                    atLine(xmlSAX2GetLineNumber(ctxt_), xmlSAX2GetColumnNumber(ctxt_), what)};
  }
  std::string_view attribute(std::string_view name) const {
    for (int i = 0; i < attributeCount_; ++i) {
      const xmlChar* const* a = attributes_ + 5 * i;  // name, prefix, URI, value, end
      if (name == reinterpret_cast<const char*>(a[0])) {
        return {reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3])};
      }
    }
    return {};
  }
  static std::string_view trimmed(std::string_view t) {
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    return t;
  }
  long double number(std::string_view t) {
    t = trimmed(t);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || t.empty() || !std::isfinite(v)) {
      fail(fillText(uiText("kelvara::Files", "数値ではありません: '%1'"), {t.substr(0, 40)}));
    }
    return v;
  }
  int64_t integer(std::string_view t) {
    const long double v = number(t);
    if (std::fabs(v) > 1e9)
      fail(
          fillText(uiText("kelvara::Files", "数値が大きすぎます: %1"), {trimmed(t).substr(0, 40)}));
    return std::llround(v);
  }
  // A duration in the part's divisions as ticks.
  int64_t ticks(std::string_view t) {
    SourcePart& p = part();
    if (!(p.divisions > 0)) fail(uiText("kelvara::Files", "<divisions> より前に長さがあります"));
    const long double v = number(t);
    const long double t64 = v * 16.0L / p.divisions;
    if (t64 < 0 || t64 > static_cast<long double>(kMaxTime64)) {
      fail(fillText(uiText("kelvara::Files", "長さ %1 は扱えません"), {trimmed(t).substr(0, 40)}));
    }
    return std::llround(t64 * static_cast<long double>(kTicks));
  }
  SourcePart& part() {
    if (current_ >= parts.size()) fail(uiText("kelvara::Files", "<part> の外に音楽があります"));
    return parts[current_];
  }
  size_t partIndex(std::string_view id) {
    for (size_t i = 0; i < parts.size(); ++i) {
      if (parts[i].id == id) return i;
    }
    if (parts.size() >= 1000) fail(uiText("kelvara::Files", "パートが多すぎます"));
    parts.push_back({});
    parts.back().id = std::string(id.substr(0, 256));
    return parts.size() - 1;
  }
  void beginMeasure() {
    SourcePart& p = part();
    p.pos = 0;
    p.maxPos = 0;
  }
  void endMeasure() {
    SourcePart& p = part();
    p.measureStart += p.maxPos;
    if (p.measureStart > kMaxTime64 * kTicks) fail(uiText("kelvara::Files", "楽譜が長すぎます"));
  }
  void start(std::string_view name, Tag tag);
  void leaf(Tag tag, Ctx parent, std::string_view text);
  void end(Tag tag, Ctx ctx);
  void commitNote();
  void keyDone();
  void timeDone();

  Tag tag(const xmlChar* name) {
    // A small table by address: names are few, so it almost never misses.
    auto& slot = tags_[(reinterpret_cast<uintptr_t>(name) >> 3) % tags_.size()];
    if (slot.first != name) slot = {name, tagOf(reinterpret_cast<const char*>(name))};
    return slot.second;
  }

  void push(const char* data, size_t size, bool last);

  // The parser keeps a document of its own for a DTD's declarations.
  struct FreeContext {
    void operator()(xmlParserCtxt* c) const {
      if (c->myDoc != nullptr) xmlFreeDoc(c->myDoc);
      xmlFreeParserCtxt(c);
    }
  };
  std::unique_ptr<xmlParserCtxt, FreeContext> owner_;
  xmlParserCtxtPtr ctxt_ = nullptr;
  std::array<std::pair<const xmlChar*, Tag>, 512> tags_{};
  bool stopped_ = false;
  std::optional<ReadFault> fault_;
  bool outOfMemory_ = false;
  int attributeCount_ = 0;
  const xmlChar** attributes_ = nullptr;
  int64_t elements_ = 0;
  std::vector<Ctx> stack_;
  std::string chars_;  // text of the element being read (a value: short)
  bool rootSeen_ = false;
  bool timewise_ = false;
  size_t current_ = SIZE_MAX;
  std::string instrument_;  // midi-instrument being read
  NoteRead note_;
  std::optional<int32_t> keyFifths_;
  bool keyMinor_ = false;
  std::optional<int32_t> beats_, beatType_;
  int64_t moveBy_ = 0;  // backup / forward
};

void Parser::onStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                     const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
  auto* p = static_cast<Parser*>(self);
  p->guarded([&] {
    if (++p->elements_ > kMaxElements)
      p->fail(fillText(uiText("kelvara::Files", "要素が %1 を超えます"),
                       {std::to_string(kMaxElements)}));
    if (static_cast<int>(p->stack_.size()) >= kMaxDepth)
      p->fail(uiText("kelvara::Files", "入れ子が深すぎます"));
    p->attributeCount_ = attributeCount;
    p->attributes_ = attributes;
    p->chars_.clear();
    p->start(reinterpret_cast<const char*>(name), p->tag(name));
  });
}

void Parser::onEnd(void* self, const xmlChar* name, const xmlChar*, const xmlChar*) {
  auto* p = static_cast<Parser*>(self);
  p->guarded([&] {
    if (p->stack_.empty()) return;
    const Ctx ctx = p->stack_.back();
    p->stack_.pop_back();
    p->end(p->tag(name), ctx);
    p->chars_.clear();
  });
}

void Parser::onText(void* self, const xmlChar* text, int length) {
  auto* p = static_cast<Parser*>(self);
  // Values are short; longer text (words, lyrics) is not needed whole.
  if (p->chars_.size() < 1024) {
    p->chars_.append(reinterpret_cast<const char*>(text),
                     std::min<size_t>(static_cast<size_t>(length), 1024));
  }
}

Parser::Parser() {
  xmlSAXHandler handler{};
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = onStart;
  handler.endElementNs = onEnd;
  handler.characters = onText;
  ctxt_ = xmlCreatePushParserCtxt(&handler, this, nullptr, 0, nullptr);
  if (ctxt_ == nullptr) throw std::bad_alloc();
  owner_.reset(ctxt_);
  // No network, no external DTD, entities left as they are.
  xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR);
}

void Parser::push(const char* data, size_t size, bool last) {
  if (stopped_) return;
  if (xmlParseChunk(ctxt_, data, static_cast<int>(size), last ? 1 : 0) != 0 && !stopped_) {
    const xmlError* e = xmlCtxtGetLastError(ctxt_);
    std::string message = e != nullptr && e->message != nullptr
                              ? std::string(e->message)
                              : uiText("kelvara::Files", "XML の誤り");
    while (!message.empty() && message.back() == '\n') message.pop_back();
    throw ReadFault{FileError::WrongKind,
                    atLine(e != nullptr ? e->line : 0, e != nullptr ? e->int2 : 0, message)};
  }
  if (outOfMemory_) throw std::bad_alloc();
  if (fault_) throw *fault_;
}

void Parser::feed(std::string_view piece) {
  // In slices: the parser counts in int, and looks ahead no further than
  // 10 MB at a time.
  constexpr size_t kSlice = size_t{1} << 18;
  for (size_t at = 0; at < piece.size(); at += kSlice) {
    push(piece.data() + at, std::min(kSlice, piece.size() - at), false);
  }
}

void Parser::finish() {
  push(nullptr, 0, true);
  if (!rootSeen_)
    throw ReadFault{FileError::WrongKind,
                    uiText("kelvara::Files", "MusicXML の楽譜ではありません")};
}

void Parser::start(std::string_view name, Tag tag) {
  const Ctx parent = stack_.empty() ? Ctx::Other : stack_.back();
  if (stack_.empty() && !rootSeen_) {
    rootSeen_ = true;
    timewise_ = tag == Tag::kScoreTimewise;
    if (!timewise_ && tag != Tag::kScorePartwise) {
      fail(fillText(uiText("kelvara::Files", "MusicXML の楽譜ではありません（最初の要素が <%1>）"),
                    {name.substr(0, 40)}));
    }
    stack_.push_back(Ctx::Other);
    return;
  }
  Ctx ctx = Ctx::Other;
  if (tag == Tag::kPartList) {
    ctx = Ctx::PartList;
  } else if (tag == Tag::kScorePart && parent == Ctx::PartList) {
    ctx = Ctx::ScorePart;
    current_ = partIndex(attribute("id"));
  } else if (tag == Tag::kMidiInstrument && parent == Ctx::ScorePart) {
    ctx = Ctx::MidiInstrument;
    instrument_ = std::string(attribute("id").substr(0, 256));
  } else if (tag == Tag::kPart && parent != Ctx::PartList) {
    ctx = Ctx::Part;
    current_ = partIndex(attribute("id"));
    if (timewise_) beginMeasure();
  } else if (tag == Tag::kMeasure) {
    ctx = Ctx::Measure;
    if (!timewise_) beginMeasure();
  } else if (tag == Tag::kNote) {
    ctx = Ctx::Note;
    note_ = NoteRead{};
    if (const auto v = attribute("dynamics"); !v.empty()) note_.dynamics = number(v);
    if (const auto v = attribute("release"); !v.empty()) note_.release = number(v);
  } else if (parent == Ctx::Note && tag == Tag::kPitch) {
    ctx = Ctx::Pitch;
  } else if (parent == Ctx::Note && tag == Tag::kUnpitched) {
    ctx = Ctx::Unpitched;
    note_.unpitched = true;
  } else if (parent == Ctx::Note && tag == Tag::kTimeModification) {
    ctx = Ctx::TimeModification;
    note_.timeModified = true;
  } else if (tag == Tag::kAttributes) {
    ctx = Ctx::Attributes;
  } else if (tag == Tag::kKey && parent == Ctx::Attributes) {
    ctx = Ctx::Key;
    keyFifths_.reset();
    keyMinor_ = false;
  } else if (tag == Tag::kTime && parent == Ctx::Attributes) {
    ctx = Ctx::Time;
    beats_.reset();
    beatType_.reset();
  } else if (tag == Tag::kBackup || tag == Tag::kForward) {
    ctx = tag == Tag::kBackup ? Ctx::Backup : Ctx::Forward;
    moveBy_ = 0;
  } else if (tag == Tag::kDirectionType) {
    ctx = Ctx::DirectionType;
  } else if (tag == Tag::kBend) {
    ctx = Ctx::Bend;
  } else if (tag == Tag::kChord && parent == Ctx::Note) {
    note_.chord = true;
  } else if (tag == Tag::kRest && parent == Ctx::Note) {
    note_.rest = true;
  } else if (tag == Tag::kGrace && parent == Ctx::Note) {
    note_.grace = true;
  } else if (tag == Tag::kCue && parent == Ctx::Note) {
    note_.cue = true;
  } else if (tag == Tag::kTie || tag == Tag::kTied) {
    if (attribute("type") == "start") note_.tieStart = true;
    if (attribute("type") == "stop") note_.tieStop = true;
  } else if (tag == Tag::kTuplet) {
    if (attribute("type") == "start") note_.tupletStart = true;
    if (attribute("type") == "stop") note_.tupletStop = true;
  } else if (tag == Tag::kInstrument && parent == Ctx::Note) {
    note_.instrument = std::string(attribute("id").substr(0, 256));
  } else if (tag == Tag::kWavyLine) {
    if (attribute("type") == "start") {
      note_.yoinType = 2;
      note_.yoinAmount = 50;
    }
  } else if (tag == Tag::kSound) {
    if (const auto v = attribute("tempo"); !v.empty()) {
      const auto t = static_cast<int32_t>(
          std::clamp<long double>(std::round(number(v)), kLowestTempo, kHighestTempo));
      if (!tempo) {
        tempo = t;
      } else if (*tempo != t) {
        ++dropped[kTempoChanges];
      }
    }
    if (const auto v = attribute("dynamics"); !v.empty() && current_ < parts.size()) {
      parts[current_].velocity =
          static_cast<int32_t>(std::clamp<long double>(std::round(number(v) * 0.9L), 1, 127));
    }
  } else if (tag == Tag::kLyric) {
    ++dropped[kLyrics];
  } else if (tag == Tag::kSlur) {
    if (attribute("type") == "start") ++dropped[kSlurs];
  } else if (tag == Tag::kDynamics && parent == Ctx::DirectionType) {
    ++dropped[kDynamicsText];
  } else if (tag == Tag::kRepeat || tag == Tag::kEnding) {
    if (tag == Tag::kRepeat || attribute("type") == "start") ++dropped[kRepeats];
  } else {
    // A value, or something passed over: read when it ends.
    ctx = Ctx::Value;
  }
  stack_.push_back(ctx);
}

// Elements whose text is a value; any other element is passed over.
void Parser::leaf(Tag tag, Ctx parent, std::string_view text) {
  switch (parent) {
    case Ctx::Note:
      if (tag == Tag::kDuration) {
        note_.dur = ticks(text);
        note_.hasDur = true;
      } else if (tag == Tag::kVoice) {
        note_.voice = std::string(trimmed(text).substr(0, 16));
      } else if (tag == Tag::kStaff) {
        note_.staff = static_cast<int>(std::clamp<int64_t>(integer(text), 1, 99));
      }
      break;
    case Ctx::Pitch:
      if (tag == Tag::kStep) {
        note_.step = std::string(trimmed(text).substr(0, 8));
      } else if (tag == Tag::kAlter) {
        note_.alter = number(text);
      } else if (tag == Tag::kOctave) {
        note_.octave = static_cast<int>(std::clamp<int64_t>(integer(text), -2, 12));
      }
      break;
    case Ctx::Unpitched:
      if (tag == Tag::kDisplayStep) {
        note_.displayStep = std::string(trimmed(text).substr(0, 8));
      } else if (tag == Tag::kDisplayOctave) {
        note_.displayOctave = static_cast<int>(std::clamp<int64_t>(integer(text), -2, 12));
      }
      break;
    case Ctx::TimeModification:
      if (tag == Tag::kActualNotes) {
        note_.actual = std::clamp<int64_t>(integer(text), 1, 1000);
      } else if (tag == Tag::kNormalNotes) {
        note_.normal = std::clamp<int64_t>(integer(text), 1, 1000);
      }
      break;
    case Ctx::Attributes:
      if (tag == Tag::kDivisions) {
        const long double d = number(text);
        if (!(d > 0) || d > 1e9)
          fail(uiText("kelvara::Files", "<divisions> は正の数でなければなりません"));
        part().divisions = d;
      }
      break;
    case Ctx::Key:
      if (tag == Tag::kFifths) {
        keyFifths_ = static_cast<int32_t>(std::clamp<int64_t>(integer(text), -7, 7));
      } else if (tag == Tag::kMode) {
        keyMinor_ = trimmed(text) == "minor";
      }
      break;
    case Ctx::Time:
      if (tag == Tag::kBeats || tag == Tag::kBeatType) {
        // "3+2" and the like are no time signature the score can take.
        const std::string_view t = trimmed(text);
        int v = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        const bool ok = ec == std::errc() && end == t.data() + t.size() && !t.empty();
        (tag == Tag::kBeats ? beats_ : beatType_) = ok ? v : -1;
      }
      break;
    case Ctx::Backup:
    case Ctx::Forward:
      if (tag == Tag::kDuration) moveBy_ = ticks(text);
      break;
    case Ctx::ScorePart:
      if (tag == Tag::kPartName) {
        const std::string_view label = trimmed(text);
        for (int p = 0; p < kPartCount; ++p) {
          const std::string ours = partLabel(p);
          if (label == std::string_view(ours).substr(ours.find_first_not_of(' '))) {
            part().named = p;
          }
        }
      }
      break;
    case Ctx::MidiInstrument: {
      SourcePart& p = part();
      // The first instrument's values count.
      if (tag == Tag::kMidiChannel) {
        if (integer(text) == 10) p.drum = true;
      } else if (tag == Tag::kMidiProgram) {
        const int64_t v = integer(text);
        if (!p.program) p.program = static_cast<int32_t>(std::clamp<int64_t>(v - 1, 0, 127));
      } else if (tag == Tag::kMidiUnpitched) {
        p.unpitched[instrument_] =
            static_cast<int32_t>(std::clamp<int64_t>(integer(text) - 1, 0, 127));
      } else if (tag == Tag::kVolume) {
        const long double v = number(text);
        if (!p.volume) {
          p.volume = static_cast<int32_t>(std::clamp<long double>(std::round(v * 1.27L), 0, 127));
        }
      } else if (tag == Tag::kPan) {
        const long double v = number(text);
        if (!p.pan) {
          p.pan = static_cast<int32_t>(std::clamp<long double>(std::round(v / 9 + 10), 0, 20));
        }
      }
      break;
    }
    case Ctx::Bend:
      if (tag == Tag::kBendAlter) {
        note_.yoinType = 1;
        // Semitones to hundredths of a whole tone.
        note_.yoinAmount =
            static_cast<int32_t>(std::clamp<long double>(std::round(number(text) * 50), -600, 600));
      }
      break;
    default:
      break;
  }
}

void Parser::keyDone() {
  if (!keyFifths_) return;
  if (!fifths) {
    fifths = keyFifths_;
    minor = keyMinor_;
  } else if (*fifths != *keyFifths_ || *minor != keyMinor_) {
    ++dropped[kKeyChanges];
  }
}

void Parser::timeDone() {
  if (!beats_ || !beatType_) return;
  if (!timeNum) {
    timeNum = *beats_;
    timeDen = *beatType_;
  } else if (*timeNum != *beats_ || *timeDen != *beatType_) {
    ++dropped[kTimeChanges];
  }
}

void Parser::end(Tag tag, Ctx ctx) {
  switch (ctx) {
    case Ctx::Value:
      leaf(tag, stack_.empty() ? Ctx::Other : stack_.back(), chars_);
      break;
    case Ctx::Measure:
      if (!timewise_) endMeasure();
      break;
    case Ctx::Part:
      if (timewise_) endMeasure();
      break;
    case Ctx::Note:
      commitNote();
      break;
    case Ctx::Key:
      keyDone();
      break;
    case Ctx::Time:
      timeDone();
      break;
    case Ctx::Backup: {
      SourcePart& p = part();
      p.pos = std::max<int64_t>(0, p.pos - moveBy_);
      break;
    }
    case Ctx::Forward: {
      SourcePart& p = part();
      p.pos += moveBy_;
      p.maxPos = std::max(p.maxPos, p.pos);
      break;
    }
    default:
      break;
  }
}

void Parser::commitNote() {
  SourcePart& p = part();
  const NoteRead& n = note_;
  if (n.grace) {
    ++dropped[kGraceNotes];
    return;
  }
  if (!n.hasDur) fail(uiText("kelvara::Files", "<note> に <duration> がありません"));
  // The pitch, a MIDI key.
  int32_t pitch = -1;
  if (!n.rest && !n.cue) {
    if (n.unpitched) {
      const auto it = p.unpitched.find(n.instrument);
      if (it != p.unpitched.end()) {
        pitch = it->second;
      } else {
        const int32_t semitone = stepSemitone(n.displayStep);
        if (semitone >= 0) pitch = 12 * (n.displayOctave + 1) + semitone;
      }
      p.drum = true;
    } else {
      const int32_t semitone = stepSemitone(n.step);
      if (semitone < 0)
        fail(fillText(uiText("kelvara::Files", "音名 '%1' は読めません"), {n.step.substr(0, 8)}));
      pitch = 12 * (n.octave + 1) + semitone + static_cast<int32_t>(std::lround(n.alter));
    }
    if (pitch < 1 || pitch > 127) {
      ++dropped[kOutOfRange];
      pitch = -1;
    }
  }
  if (n.cue) ++dropped[kCueNotes];
  const int32_t velocity =
      n.dynamics
          ? static_cast<int32_t>(std::clamp<long double>(std::round(*n.dynamics * 0.9L), 1, 127))
          : p.velocity;

  if (n.chord && p.last) {
    Event& ev = p.streams[p.last->first].events[p.last->second];
    if (pitch > 0 && !ev.rest) {
      if (std::find(ev.pitches.begin(), ev.pitches.end(), pitch) == ev.pitches.end()) {
        if (ev.pitches.push_back(pitch)) {
          ev.tieStart |= static_cast<uint32_t>(n.tieStart) << (ev.pitches.size() - 1);
          ev.tieStop |= static_cast<uint32_t>(n.tieStop) << (ev.pitches.size() - 1);
        } else {
          ++dropped[kExtraPitches];
        }
      }
    }
    return;
  }

  Event ev;
  ev.start = p.measureStart + p.pos;
  ev.dur = n.dur;
  p.pos += n.dur;
  p.maxPos = std::max(p.maxPos, p.pos);
  if (pitch > 0) {
    ev.rest = false;
    ev.pitches.push_back(pitch);
    ev.tieStart = n.tieStart ? 1 : 0;
    ev.tieStop = n.tieStop ? 1 : 0;
  }
  ev.timeModified = n.timeModified && n.actual != n.normal;
  // The written value: exact from the sounding length and the tuplet ratio
  // (a value cut by a bar line has no note type of its own), else the type.
  if (ev.timeModified) {
    ev.written = std::llround(static_cast<long double>(n.dur) * static_cast<long double>(n.actual) /
                              static_cast<long double>(n.normal));
  } else {
    ev.written = n.dur;
  }
  ev.tupletStart = n.tupletStart;
  ev.tupletStop = n.tupletStop;
  ev.velocity = velocity;
  if (n.release && p.divisions > 0) {
    ev.release = std::llround(*n.release * 16.0L / p.divisions * static_cast<long double>(kTicks));
  }
  ev.yoinType = n.yoinType;
  ev.yoinAmount = n.yoinAmount;
  if (ev.dur == 0) return;

  // Each staff and voice is a run of its own; notes of one voice that
  // overlap (a file's own inconsistency) start another run.
  for (int attempt = 0;; ++attempt) {
    size_t index = 0;
    while (index < p.streams.size() &&
           !(p.streams[index].staff == n.staff && p.streams[index].voice == n.voice &&
             p.streams[index].overlap == attempt)) {
      ++index;
    }
    if (index == p.streams.size()) {
      if (p.streams.size() >= 256) fail(uiText("kelvara::Files", "声部が多すぎます"));
      p.streams.push_back({});
      p.streams.back().staff = n.staff;
      p.streams.back().voice = n.voice;
      p.streams.back().overlap = attempt;
    }
    Stream& st = p.streams[index];
    if (st.end <= ev.start) {
      if (st.end < ev.start) {
        Event gap;
        gap.start = st.end;
        gap.dur = ev.start - st.end;
        st.events.push_back(gap);
      }
      st.end = ev.start + ev.dur;
      st.events.push_back(std::move(ev));
      p.last = std::make_pair(index, st.events.size() - 1);
      return;
    }
    if (attempt == 8) {
      ++dropped[kExtraVoices];
      return;
    }
  }
}

// Whether `b` continues `a` by ties on every pitch and nothing else.
bool tiedOn(const Event& a, const Event& b) {
  if (a.rest || b.rest || !near(a.start + a.dur, b.start) || a.pitches.size() != b.pitches.size()) {
    return false;
  }
  for (size_t i = 0; i < a.pitches.size(); ++i) {
    if (!bitAt(a.tieStart, i)) return false;
    const auto at = std::find(b.pitches.begin(), b.pitches.end(), a.pitches[i]);
    if (at == b.pitches.end() || !bitAt(b.tieStop, static_cast<size_t>(at - b.pitches.begin()))) {
      return false;
    }
  }
  return true;
}

bool anyTieStart(const Event& e) {
  return e.tieStart != 0;
}

Item itemOf(const Event& e) {
  Item it;
  it.start = e.start;
  it.dur = e.dur;
  it.rest = e.rest;
  it.pitches = e.pitches;
  std::sort(it.pitches.begin(), it.pitches.end(), std::greater<>());
  it.velocity = e.velocity;
  it.yoinType = e.yoinType;
  it.yoinAmount = e.yoinAmount;
  if (e.release && *e.release != 0) {
    // A fraction of a whole note, in the smallest terms that the whole-score
    // file keeps; else to the nearest 64th.
    const int64_t whole = 64 * kTicks;
    const int64_t g = std::gcd(*e.release, whole);
    int64_t num = *e.release / g, den = whole / g;
    if (den > 255 || std::abs(num) > 127) {
      num = std::clamp<int64_t>(std::llround(static_cast<long double>(*e.release) / kTicks), -127,
                                127);
      den = 64;
      const int64_t h = std::gcd(num, den);
      if (h > 1) {
        num /= h;
        den /= h;
      }
    }
    it.lenNum = static_cast<int32_t>(num);
    it.lenDen = static_cast<int32_t>(den);
  }
  return it;
}

// Joins events tied on all their pitches into one; in a tuplet group only
// where `inGroup` allows.
std::vector<Event> joinTies(std::span<const Event> events,
                            std::array<int64_t, kDroppedCount>& dropped, bool countLost) {
  std::vector<Event> out;
  for (const Event& e : events) {
    if (!out.empty() && tiedOn(out.back(), e)) {
      Event& a = out.back();
      a.dur += e.dur;
      a.written = a.written > 0 && e.written > 0 ? a.written + e.written : 0;
      // Ties on from the later event, in the order of the earlier one's keys.
      uint32_t on = 0;
      for (size_t i = 0; i < a.pitches.size(); ++i) {
        const auto at = std::find(e.pitches.begin(), e.pitches.end(), a.pitches[i]);
        if (bitAt(e.tieStart, static_cast<size_t>(at - e.pitches.begin()))) on |= 1U << i;
      }
      a.tieStart = on;
      if (e.release) a.release = e.release;
      a.tupletStop = e.tupletStop;
      continue;
    }
    if (countLost && !out.empty() && anyTieStart(out.back())) ++dropped[kLostTies];
    out.push_back(e);
  }
  return out;
}

// Rests and notes outside tuplets, their lengths in whole 64ths: a time
// between 64ths is rounded where it falls, so that later notes keep their
// places.
void plainItems(std::span<const Event> events, std::vector<Item>& out,
                std::array<int64_t, kDroppedCount>& dropped) {
  auto rounded = [](int64_t t) { return (t + kTicks / 2) / kTicks; };
  for (const Event& e : events) {
    Item it = itemOf(e);
    it.length = std::max<int64_t>(1, rounded(e.start + e.dur) - rounded(e.start));
    if (!whole64ths(e.dur) || !whole64ths(e.start)) ++dropped[kRoundedLengths];
    out.push_back(std::move(it));
  }
}

// Members of one tuplet group as the editor holds them: equal shares of a
// span of whole 64ths, each written as a whole number of 64ths. The share is
// the length of the notes; rests (written in pieces, or one rest over several
// shares) are cut into shares.
bool tupletItems(std::span<const Event> events, std::vector<Item>& out) {
  const auto firstNote =
      std::find_if(events.begin(), events.end(), [](const Event& e) { return !e.rest; });
  if (firstNote == events.end() || firstNote->dur <= 0) return false;
  const int64_t start = events.front().start;
  const int64_t end = events.back().start + events.back().dur;
  const std::optional<int64_t> span = whole64ths(end - start);
  const int64_t count = ((end - start) + firstNote->dur / 2) / firstNote->dur;
  if (!span || count < 1 || *span < 1 || *span > kMaxTupletField || count > kMaxTupletField) {
    return false;
  }
  // Share k runs from slot(k) to slot(k + 1).
  auto slot = [&](int64_t k) { return start + (end - start) * k / count; };
  std::vector<const Event*> notes(static_cast<size_t>(count), nullptr);
  std::vector<int64_t> written(static_cast<size_t>(count), 0);
  for (const Event& e : events) {
    if (e.written <= 0) return false;
    const int64_t k =
        std::clamp<int64_t>((e.start - start + kSlack) * count / (end - start), 0, count - 1);
    if (!e.rest) {
      if (!near(e.start, slot(k)) || !near(e.start + e.dur, slot(k + 1))) return false;
      notes[static_cast<size_t>(k)] = &e;
      written[static_cast<size_t>(k)] = e.written;
      continue;
    }
    // A rest inside one share adds its written value; one over several
    // shares gives each its part.
    const int64_t last = std::clamp<int64_t>(
        (e.start + e.dur - start - kSlack) * count / (end - start), k, count - 1);
    for (int64_t j = k; j <= last; ++j) {
      written[static_cast<size_t>(j)] += k == last ? e.written : e.written / (last - k + 1);
    }
  }
  std::vector<int64_t> lengths;
  for (int64_t w : written) {
    const std::optional<int64_t> n = whole64ths(w);
    if (!n || *n < 1 || *n > kMaxRecordLength) return false;
    lengths.push_back(*n);
  }
  for (size_t k = 0; k < notes.size(); ++k) {
    Item it;
    if (notes[k] != nullptr) it = itemOf(*notes[k]);
    it.start = slot(static_cast<int64_t>(k));
    it.dur = slot(static_cast<int64_t>(k) + 1) - it.start;
    it.length = lengths[k];
    it.renIndex = static_cast<int32_t>(k + 1);
    it.renCount = static_cast<int32_t>(count);
    it.renLength = static_cast<int32_t>(*span);
    out.push_back(std::move(it));
  }
  return true;
}

bool allRests(std::span<const Event> events) {
  return std::all_of(events.begin(), events.end(), [](const Event& e) { return e.rest; });
}

// One voice's events as records to be: ties joined, tuplet groups made,
// neighbouring rests joined.
std::vector<Item> itemsOf(const Stream& st, std::array<int64_t, kDroppedCount>& dropped) {
  std::vector<Item> out;
  const std::vector<Event>& ev = st.events;
  size_t i = 0;
  while (i < ev.size()) {
    // A group runs from a tuplet start to its stop; a run of time-modified
    // notes without brackets is taken as one group too.
    const bool group = ev[i].tupletStart || ev[i].timeModified;
    size_t j = i + 1;
    if (group) {
      if (ev[i].tupletStart) {
        while (j < ev.size() && !ev[j - 1].tupletStop && !ev[j].tupletStart) ++j;
      } else {
        while (j < ev.size() && ev[j].timeModified && !ev[j].tupletStart) ++j;
      }
    } else {
      while (j < ev.size() && !ev[j].tupletStart && !ev[j].timeModified) ++j;
    }
    const std::span<const Event> run(ev.data() + i, j - i);
    if (!group) {
      plainItems(joinTies(run, dropped, true), out, dropped);
    } else if (allRests(run)) {
      // Another staff's notes give the group its shape; here it is silence.
      Event silence = run.front();
      silence.dur = run.back().start + run.back().dur - silence.start;
      plainItems(std::span(&silence, 1), out, dropped);
    } else if (!tupletItems(joinTies(run, dropped, false), out) && !tupletItems(run, out)) {
      ++dropped[kApproximatedTuplets];
      plainItems(joinTies(run, dropped, true), out, dropped);
    }
    i = j;
  }
  // Rests next to each other are one rest, as the editor writes them.
  std::vector<Item> joined;
  for (Item& it : out) {
    if (!joined.empty() && it.rest && joined.back().rest && it.renIndex == 0 &&
        joined.back().renIndex == 0) {
      joined.back().dur += it.dur;
      joined.back().length += it.length;
      continue;
    }
    joined.push_back(std::move(it));
  }
  return joined;
}

bool sameSlot(const Item& a, const Item& b) {
  return near(a.start, b.start) && near(a.dur, b.dur) && a.renIndex == b.renIndex &&
         a.renCount == b.renCount && a.renLength == b.renLength;
}

Item restItem(int64_t from, int64_t to) {
  Item it;
  it.start = from;
  it.dur = to - from;
  it.length = (to + kTicks / 2) / kTicks - (from + kTicks / 2) / kTicks;
  return it;
}

// Lays voice b into voice a where it fits: its notes fall on notes or rests
// of a with the same place and length (chords are joined), or inside a's
// rests. Nothing changes when b does not fit.
bool mergeVoice(std::vector<Item>& a, const std::vector<Item>& b, int64_t& extraPitches) {
  std::vector<Item> out;
  size_t j = 0;
  // Plain rests of b say nothing; its notes and tuplet members must find room.
  auto nextNote = [&] {
    while (j < b.size() && b[j].rest && b[j].renIndex == 0) ++j;
  };
  for (const Item& x : a) {
    nextNote();
    if (j >= b.size() || b[j].start >= x.end()) {
      out.push_back(x);
      continue;
    }
    if (sameSlot(x, b[j])) {
      Item joined = x.rest ? b[j] : x;
      if (!x.rest) {
        for (int32_t p : b[j].pitches) {
          if (std::find(joined.pitches.begin(), joined.pitches.end(), p) == joined.pitches.end() &&
              !joined.pitches.push_back(p)) {
            ++extraPitches;
          }
        }
        std::sort(joined.pitches.begin(), joined.pitches.end(), std::greater<>());
      }
      joined.length = x.length;
      out.push_back(std::move(joined));
      ++j;
      continue;
    }
    if (!x.rest || x.renIndex != 0) return false;
    // b's notes inside this rest.
    int64_t at = x.start;
    while (j < b.size() && b[j].start < x.end()) {
      if (b[j].rest && b[j].renIndex == 0) {
        ++j;
        continue;
      }
      if (b[j].start + kSlack < at || b[j].end() > x.end() + kSlack) return false;
      if (b[j].start > at + kSlack) out.push_back(restItem(at, b[j].start));
      out.push_back(b[j]);
      at = b[j].end();
      ++j;
    }
    if (at + kSlack < x.end()) out.push_back(restItem(at, x.end()));
  }
  nextNote();
  if (j < b.size()) {
    const int64_t end = a.empty() ? 0 : a.back().end();
    if (b[j].start + kSlack < end) return false;
    if (b[j].start > end + kSlack) out.push_back(restItem(end, b[j].start));
    for (; j < b.size(); ++j) out.push_back(b[j]);
  }
  a = std::move(out);
  return true;
}

bool hasNotes(const std::vector<Item>& items) {
  return std::any_of(items.begin(), items.end(), [](const Item& it) { return !it.rest; });
}

LoadedScore buildScore(Parser& parser, std::string& notice) {
  LoadedScore loaded;
  auto& dropped = parser.dropped;
  int32_t timeNum = 4, timeDen = 4;
  bool timeRefused = false;
  if (parser.timeNum) {
    if (isOfferedTimeSignature(*parser.timeNum, *parser.timeDen)) {
      timeNum = *parser.timeNum;
      timeDen = *parser.timeDen;
    } else {
      timeRefused = true;
    }
  }
  loaded.timeNum = timeNum;
  loaded.timeDen = timeDen;
  if (parser.fifths) {
    loaded.keySig = 7 - *parser.fifths;
    loaded.major = *parser.minor ? 0 : 1;
  }
  if (parser.tempo) loaded.tempo = *parser.tempo;

  // Every voice of every part, then as few parts as the voices fit in.
  std::vector<ImportedVoice> voices;
  std::vector<std::vector<Item>> voiceItems;
  for (size_t sp = 0; sp < parser.parts.size(); ++sp) {
    const SourcePart& part = parser.parts[sp];
    const size_t first = voiceItems.size();
    for (const Stream& st : part.streams) {
      std::vector<Item> items = itemsOf(st, dropped);
      if (!hasNotes(items)) continue;
      bool merged = false;
      for (size_t v = first; v < voiceItems.size() && !merged; ++v) {
        merged = mergeVoice(voiceItems[v], items, dropped[kExtraPitches]);
      }
      if (merged) continue;
      voiceItems.push_back(std::move(items));
      // Only a part's first voice goes where its name says.
      voices.push_back(
          {part.drum, static_cast<int>(sp), voiceItems.size() == first + 1 ? part.named : -1});
    }
  }
  const std::vector<int> target = assignParts(voices);
  RecordBudget budget;
  for (size_t v = 0; v < voices.size(); ++v) {
    if (target[v] < 0) {
      ++dropped[kExtraVoices];
      continue;
    }
    const SourcePart& source = parser.parts[static_cast<size_t>(voices[v].sourcePart)];
    LoadedPart lp;
    lp.part = target[v];
    if (lp.part != kPercussionPart) lp.program = source.program;
    lp.volume = source.volume;
    lp.pan = source.pan;
    std::vector<Item>& items = voiceItems[v];
    // Rests after the last note only fill the last measure.
    while (!items.empty() && items.back().rest && items.back().renIndex == 0) items.pop_back();
    for (const Item& it : items) {
      for (int64_t left = std::max<int64_t>(it.length, 1); left > 0;) {
        // A rest longer than a record holds becomes several.
        const int64_t length = std::min<int64_t>(left, kMaxRecordLength);
        if (!it.rest && length < left) {
          throw ReadFault{FileError::BadValue,
                          fillText(uiText("kelvara::Files",
                                          "長さ %1（64分音符単位）の音符は上限の %2 を超えます"),
                                   {std::to_string(it.length), std::to_string(kMaxRecordLength)})};
        }
        left -= length;
        budget.take();
        RecordPtr rec(
            makeRecord(it.rest ? kRestPitch : it.pitches.front(), static_cast<int32_t>(length), 1));
        if (!it.rest) {
          const size_t n = std::min<size_t>(it.pitches.size(), kPitchSlots);
          if (it.pitches.size() > n)
            dropped[kExtraPitches] += static_cast<int64_t>(it.pitches.size() - n);
          for (size_t k = 0; k < n; ++k) rec->Pitch[k] = it.pitches[k];
          rec->LastIndex = static_cast<int32_t>(n) - 1;
          rec->Velocity = it.velocity;
          rec->LenNum = it.lenNum;
          rec->LenDen = it.lenDen;
          rec->YoinType = it.yoinType;
          rec->YoinAmount = it.yoinAmount;
        }
        if (it.renIndex > 0) {
          rec->RenIndex = it.renIndex;
          rec->RenCount = it.renCount;
          rec->RenLength = it.renLength;
        }
        lp.records.push_back(std::move(rec));
      }
    }
    loaded.parts.push_back(std::move(lp));
  }
  fitRecordsToFile(loaded, timeNum, timeDen);
  checkPageWidths(loaded, timeNum, timeDen);

  std::string left;
  for (int k = 0; k < kDroppedCount; ++k) {
    if (dropped[static_cast<size_t>(k)] == 0) continue;
    const std::string item = fillText(uiText("kelvara::Files", "%1 %2"),
                                      {uiText("kelvara::Files", kDroppedNames[k]),
                                       std::to_string(dropped[static_cast<size_t>(k)])});
    left = left.empty() ? item : fillText(uiText("kelvara::Files", "%1、%2"), {left, item});
  }
  if (timeRefused) {
    notice = fillText(uiText("kelvara::Files", "拍子 %1/%2 は使えないため 4/4 で読み込みました。"),
                      {std::to_string(*parser.timeNum), std::to_string(*parser.timeDen)});
  }
  if (!left.empty()) {
    notice +=
        fillText(uiText("kelvara::Files", "この楽譜で扱えないものを省きました: %1。"), {left});
  }
  return loaded;
}

const xmlNode* findElement(const xmlNode* node, const char* name, int depth) {
  for (; node != nullptr && depth < kMaxDepth; node = node->next) {
    if (node->type == XML_ELEMENT_NODE &&
        std::string_view(reinterpret_cast<const char*>(node->name)) == name) {
      return node;
    }
    if (const xmlNode* inner = findElement(node->children, name, depth + 1)) return inner;
  }
  return nullptr;
}

// The score an archive's container names: the full-path of its first
// rootfile; empty when it names none.
std::string rootFileOf(const std::string& container) {
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(container.data(), static_cast<int>(container.size()), nullptr, nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
      xmlFreeDoc);
  if (!doc) return {};
  const xmlNode* root = findElement(xmlDocGetRootElement(doc.get()), "rootfile", 0);
  if (root == nullptr) return {};
  xmlChar* path = xmlGetProp(root, reinterpret_cast<const xmlChar*>("full-path"));
  if (path == nullptr) return {};
  std::string out(reinterpret_cast<const char*>(path));
  xmlFree(path);
  return out;
}

}  // namespace

std::vector<int> assignParts(const std::vector<ImportedVoice>& voices) {
  std::vector<int> out(voices.size(), -1);
  PerPart<bool> taken{};
  for (size_t v = 0; v < voices.size(); ++v) {
    const int p = voices[v].named;
    if (p >= 0 && p < kPartCount && !taken[p] && (p == kPercussionPart) == voices[v].percussion) {
      out[v] = p;
      taken[p] = true;
    }
  }
  for (size_t v = 0; v < voices.size(); ++v) {
    if (out[v] >= 0) continue;
    for (int item = 0; item < kPartCount; ++item) {
      const int p = partForListItem(item);
      if (!taken[p] && (p == kPercussionPart) == voices[v].percussion) {
        out[v] = p;
        taken[p] = true;
        break;
      }
    }
  }
  return out;
}

namespace {

// Feeds a document to a parser through `source`, which hands it on piece by
// piece and returns an error text (empty when everything was read), then
// builds the score.
using PieceSource = std::function<std::string(const std::function<void(std::string_view)>&)>;

LoadResult readMusicXml(EditorState& s, const std::string& fileName, const PieceSource& source) {
  LoadedScore loaded;
  LoadResult result;
  try {
    Parser parser;
    const std::string error = source([&](std::string_view piece) { parser.feed(piece); });
    if (!error.empty()) return FileResult::failure(FileError::CannotOpen, error);
    parser.finish();
    loaded = buildScore(parser, result.notice);
  } catch (const ReadFault& f) {
    return FileResult::failure(f.error, readFaultMessage(fileName, f.detail));
  } catch (const std::bad_alloc&) {
    return FileResult::failure(FileError::CannotOpen, outOfMemoryMessage(fileName));
  }
  // Parts the file does not fill are emptied by the load command; the file's
  // settings replace the score's.
  handOver(s, loaded, result);
  return result;
}

}  // namespace

LoadResult decodeMusicXml(EditorState& s, std::string_view text, const std::string& fileName) {
  return readMusicXml(s, fileName, [&](const std::function<void(std::string_view)>& sink) {
    sink(text);
    return std::string();
  });
}

LoadResult loadMusicXml(EditorState& s, const std::string& fileName) {
  // The file goes to the parser as it is read, never whole.
  if (fileExtension(fileName) != ".mxl") {
    return readMusicXml(s, fileName, [&](const std::function<void(std::string_view)>& sink) {
      return readFileInPieces(fileName, kMaxMusicXmlBytes, sink);
    });
  }
  std::string bytes;
  std::string err = readWholeFile(fileName, bytes, kMaxMusicXmlBytes);
  if (!err.empty()) return FileResult::failure(FileError::CannotOpen, err);

  // The archive names its score in META-INF/container.xml; without one the
  // first MusicXML entry outside META-INF is taken.
  const std::span<const uint8_t> zip(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::vector<std::string> names;
  err = listZipEntries(zip, kMaxMxlEntries, names);
  std::string scoreName;
  if (err.empty()) {
    std::string container;
    if (readZipEntry(zip, "META-INF/container.xml", 1 << 20, container).empty()) {
      scoreName = rootFileOf(container);
    }
    for (size_t i = 0; i < names.size() && scoreName.empty(); ++i) {
      const std::string kind = fileExtension(names[i]);
      if (names[i].rfind("META-INF/", 0) != 0 && (kind == ".musicxml" || kind == ".xml")) {
        scoreName = names[i];
      }
    }
    if (scoreName.empty()) err = uiText("kelvara::Files", "楽譜が入っていません");
  }
  if (!err.empty()) {
    return FileResult::failure(FileError::WrongKind, readFaultMessage(fileName, err));
  }
  return readMusicXml(s, fileName, [&](const std::function<void(std::string_view)>& sink) {
    const std::string error = readZipEntryInPieces(zip, scoreName, kMaxMusicXmlBytes, sink);
    return error.empty() ? error : readFaultMessage(fileName, error);
  });
}

}  // namespace kelvara
