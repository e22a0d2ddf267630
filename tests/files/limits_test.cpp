// Files that would make the program draw, export or hold unbounded amounts,
// each the smallest that showed the fault, and the reader's rounding of
// times that are not whole 64ths.
#include <random>
#include <tuple>

#include "files/load_limits.h"
#include "files/midi_export.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

using LoadLimits = FilesTest;
using TrackTiming = FilesTest;
using VibratoExport = FilesTest;

// A one-track ".zqf2" in time signature num/2^power holding `events`.
Bytes trackFileWith(int num, int power, const std::string& events) {
  const Bytes body =
      hex("00 C0 00  00 FF 59 02 00 00  00 FF 58 04 " + std::to_string(num) + " " +
          std::to_string(power) + " 18 08  00 FF 51 03 07 A1 20 " + events + " F0 40 FF 2F 00");
  Bytes out = hex("4D 54 68 64 00 00 00 06 00 01 00 01 03 C0 4D 54 72 6B");
  const auto n = static_cast<uint32_t>(body.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(n >> shift));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// A ".zqf3" of one part (0) holding one note of `length` 64ths.
Bytes oneNoteZqf3(int num, int den, uint16_t length) {
  Bytes b = {7, 0, static_cast<uint8_t>(num), static_cast<uint8_t>(den), 120, 0, 1, 0, 0, 100, 10};
  Bytes note(34, 0);
  note[0] = 60;
  for (int k = 1; k < 10; ++k) note[k] = 0xFF;
  note[13] = static_cast<uint8_t>(length);
  note[14] = static_cast<uint8_t>(length >> 8);
  note[24] = 4;  // LenDen
  note[32] = 4;  // RenCount
  b.insert(b.end(), note.begin(), note.end());
  Bytes end(34, 0xFF);
  end[0] = 0xF6;
  b.insert(b.end(), end.begin(), end.end());
  return b;
}

TEST_F(LoadLimits, HugeNoteTrackFileIsRefusedNamingTheValue) {
  // 0x0FFFFFFF ticks: 4 473 924 64ths, in 1/8 time: the 62-byte file that
  // asked page drawing for gigabytes.
  const Bytes oneEighth = trackFileWith(1, 3, "00 90 3C 64  FF FF FF 7F 80 3C 64");
  const std::string before = snapshot(s);
  LoadResult r = decodeTrackFile(s, oneEighth, "huge.zqf2", false, 0);
  EXPECT_EQ(r.error, FileError::BadValue);
  EXPECT_NE(r.message.find("huge.zqf2"), std::string::npos) << r.message;
  EXPECT_EQ(snapshot(s), before);

  r = decodeTrackFile(s, trackFileWith(4, 2, "00 90 3C 64  FF FF FF 7F 80 3C 64"), "huge.zqf2",
                      false, 0);
  EXPECT_EQ(r.error, FileError::BadValue);
  EXPECT_NE(r.message.find("4473924"), std::string::npos) << r.message;
  EXPECT_EQ(snapshot(s), before);
}

TEST_F(LoadLimits, OnlyTheOfferedTimeSignaturesLoad) {
  // 1/64 made a note of 65 535 64ths ask for 1.76 GB of picture.
  LoadResult r = decodeZqf3(s, oneNoteZqf3(1, 64, 65535), "tiny.zqf3");
  EXPECT_EQ(r.error, FileError::BadValue);
  EXPECT_NE(r.message.find("1/64"), std::string::npos) << r.message;
  EXPECT_EQ(oneNoteZqf3(1, 64, 65535).size(), 79u);
  for (auto [num, den] : {std::pair{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}}) {
    EditorState t;
    t.createLists();
    EXPECT_TRUE(decodeZqf3(t, oneNoteZqf3(num, den, 4096), "long.zqf3").ok()) << num << den;
  }
  for (auto [num, den] : {std::pair{0, 4}, {4, 0}, {5, 4}, {1, 8}, {4, 16}, {255, 2}}) {
    EXPECT_FALSE(decodeZqf3(s, oneNoteZqf3(num, den, 16), "odd.zqf3").ok()) << num << den;
    EXPECT_FALSE(isOfferedTimeSignature(num, den));
  }
  // A track file naming no known denominator keeps the score's own, and the
  // pair that results is what is checked.
  s.TimeDen = 8;
  EXPECT_FALSE(
      decodeTrackFile(s, trackFileWith(4, 5, "00 90 3C 64  10 80 3C 64"), "t.zqf2", false, 0).ok());
  s.TimeDen = 4;
  EXPECT_TRUE(
      decodeTrackFile(s, trackFileWith(4, 5, "00 90 3C 64  10 80 3C 64"), "t.zqf2", false, 0).ok());
}

TEST_F(LoadLimits, CellsFollowTheGlyphPieces) {
  EXPECT_EQ(cellsFor(64, 0, 64, true), 1);
  EXPECT_EQ(cellsFor(24, 0, 24, true), 2);        // 16 + 8
  EXPECT_EQ(cellsFor(65535, 0, 24, true), 5464);  // the widest record that loads
  EXPECT_EQ(cellsFor(128, 8, 64, true), 5);       // 32 16 8 | 64 | 8
  EXPECT_EQ(cellsFor(7, 0, 64, false), 3);        // 4 2 1
  EXPECT_EQ(cellsFor(0, 0, 64, true), 0);
}

// Part 1 as "r<length>" / "n<length>" a record, "!" after one drawn wider
// than the whole-score file keeps.
std::string fittedDump(const EditorState& s) {
  std::string out;
  int32_t fill = 0;
  for (const TOnpu* r = firstRecordOf(s.PartHead[0]); !isEndMarker(*r); r = r->Next) {
    out += (isRest(*r) ? "r" : "n") + std::to_string(r->Length);
    if (recordCells(*r, fill, s.BarLen()) > kMaxFileWidth / kCellWidth) out += "!";
    out += " ";
    fill = (fill + r->Length) % s.BarLen();
  }
  return out;
}

// Regression: a 65 535-long rest in 3/8 loaded, and the score could then
// neither be saved as a whole score nor keep a recovery copy.
TEST_F(LoadLimits, RecordsTooWideForTheWholeScoreFileAreSplitOrRefused) {
  Bytes rest38 = oneNoteZqf3(3, 8, 65535);
  rest38[11] = 0;  // the record's pitch: a rest
  Bytes rest44 = oneNoteZqf3(4, 4, 65535);
  rest44[11] = 0;
  // 936 cells is the widest: 468 bars of 3/8 (16 + 8 each), 936 bars of 4/4.
  const std::string split38 = "r11232 r11232 r11232 r11232 r11232 r9375 ";
  const struct {
    std::string name;
    Bytes file;
    std::string dump;  // empty: refused
  } cases[] = {
      {"rest.zqf2", trackFileWith(3, 3, "00 90 00 64  81 EF FF 44 80 00 64"), split38},
      {"rest.zqf3", rest38, split38},
      {"rest.zqf3", rest44, "r59904 r5631 "},
      {"fits.zqf3", oneNoteZqf3(4, 4, 59904), "n59904 "},
      {"wide.zqf3", oneNoteZqf3(4, 4, 59905), ""},
      {"wide.zqf3", oneNoteZqf3(3, 8, 65535), ""},
  };
  for (const auto& c : cases) {
    EditorState t;
    t.createLists();
    const std::string before = snapshot(t);
    const LoadResult r = c.name.ends_with(".zqf3") ? decodeZqf3(t, c.file, c.name)
                                                   : decodeTrackFile(t, c.file, c.name, false, 0);
    if (c.dump.empty()) {
      EXPECT_EQ(r.error, FileError::BadValue) << c.name;
      EXPECT_NE(r.message.find("1パート の 1 小節目からの音符"), std::string::npos) << r.message;
      EXPECT_EQ(snapshot(t), before);
    } else {
      EXPECT_TRUE(r.ok()) << c.name << ": " << r.message;
      EXPECT_EQ(fittedDump(t), c.dump) << c.name;
    }
  }
}

TEST_F(LoadLimits, TupletMembersThatNeverMoveTheBarCannotWidenOnePageWithoutEnd) {
  // Members of a group whose last member is gone take cells but no time:
  // 400 of them spanning 255 64ths each in 3/8 all land on page 1.
  Bytes b = {7, 0, 3, 8, 120, 0, 1, 0, 0, 100, 10};
  for (int i = 0; i < 400; ++i) {
    Bytes note(34, 0);
    note[0] = 60;
    for (int k = 1; k < 10; ++k) note[k] = 0xFF;
    note[13] = 8;    // Length
    note[24] = 4;    // LenDen
    note[31] = 1;    // RenIndex
    note[32] = 2;    // RenCount
    note[33] = 255;  // RenLength
    b.insert(b.end(), note.begin(), note.end());
  }
  Bytes end(34, 0xFF);
  end[0] = 0xF6;
  b.insert(b.end(), end.begin(), end.end());
  const LoadResult r = decodeZqf3(s, b, "members.zqf3");
  EXPECT_EQ(r.error, FileError::BadValue);
  EXPECT_NE(r.message.find(" 1 小節目からのページ"), std::string::npos) << r.message;
}

TEST_F(LoadLimits, RecordCountIsBounded) {
  // Rests of 0x0FFFFFFF ticks split into 69 records each; a file of enough
  // of them stops at the limit instead of filling memory.
  std::string events;
  for (int i = 0; i < 7300; ++i) events += "FF FF FF 7F 90 3C 64 01 80 3C 64 ";
  const LoadResult r = decodeTrackFile(s, trackFileWith(4, 2, events), "many.zqf2", false, 0);
  EXPECT_EQ(r.error, FileError::BadValue);
  EXPECT_NE(r.message.find(std::to_string(kMaxRecordsPerFile)), std::string::npos) << r.message;
}

TEST_F(TrackTiming, TimesRoundToTheNearest64thAndTheUserIsToldOnce) {
  // A 45-tick rest, a 20-tick note, a 100-tick note, 29 ticks at the end.
  const Bytes odd =
      trackFileWith(4, 2, "2D 90 3C 64  14 80 3C 64  00 90 3E 64  64 80 3E 64  1D 80 00 64");
  LoadResult r = decodeTrackFile(s, odd, "odd.zqf2", false, 0);
  ASSERT_TRUE(r.ok()) << r.message;
  std::vector<std::string> got;
  for (const TOnpu* n = firstRecordOf(s.PartHead[0]); !isEndMarker(*n); n = n->Next) {
    got.push_back(std::to_string(n->Pitch[0]) + "/" + std::to_string(n->Length));
  }
  // 45 -> 1, 20 -> 1 (a note never shrinks to nothing), 100 -> 2, 29 -> 0.
  EXPECT_EQ(got, (std::vector<std::string>{"0/1", "60/1", "62/2"}));
  EXPECT_NE(r.notice.find("odd.zqf2"), std::string::npos);
  EXPECT_NE(r.notice.find("丸め"), std::string::npos) << r.notice;

  // Saved again, the file keeps its size from then on.
  selectOnly({0});
  ASSERT_TRUE(savedataplus(s, path("a.zqf2")).ok());
  EditorState t;
  t.createLists();
  r = loaddataplus(t, path("a.zqf2"), ".zqf2");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_TRUE(r.notice.empty()) << r.notice;
  t.PartSelected = s.PartSelected;
  ASSERT_TRUE(savedataplus(t, path("b.zqf2")).ok());
  EXPECT_EQ(readBytes(path("a.zqf2")), readBytes(path("b.zqf2")));
}

TEST_F(TrackTiming, LongMergedRestsSplitAndSaveAsAWholeScore) {
  selectOnly({0});
  add(0, 65535);
  add(0, 65535);
  add(0, 100);
  add(60, 16);
  add(0, 65535);
  add(0, 10);
  ASSERT_TRUE(savedataplus(s, path("rests.zqf2")).ok());
  EditorState t;
  t.createLists();
  ASSERT_TRUE(loaddataplus(t, path("rests.zqf2"), ".zqf2").ok());
  // The rests keep their time, in records the whole-score file can hold.
  std::vector<int32_t> time{0};
  for (const TOnpu* n = firstRecordOf(t.PartHead[0]); !isEndMarker(*n); n = n->Next) {
    if (isNote(*n)) time.insert(time.end(), {n->Length, 0});
    if (isRest(*n)) time.back() += n->Length;
  }
  EXPECT_EQ(time, (std::vector<int32_t>{131170, 16, 65545}));
  EXPECT_EQ(fittedDump(t).find('!'), std::string::npos) << fittedDump(t);
  t.PartSelected = s.PartSelected;
  const FileResult saved = savedataplus2(t, path("rests.zqf3"));
  EXPECT_TRUE(saved.ok()) << saved.message;
}

// 1 000 long notes with a period-2 vibrato once took 5.2 GB and 33 s.
void addLongVibratos(EditorState& s, int count, int32_t length) {
  for (int i = 0; i < count; ++i) {
    TOnpu* n = appendTo(s, 60 + i % 12, length, 0);
    n->YoinType = 2;
    n->YoinAmount = 50;
    n->YoinPeriod = 2;
    n->YoinStartNum = 0;
  }
}

TEST_F(VibratoExport, EventsStayOnePerBendRunAndTheFileIsWellFormed) {
  addLongVibratos(s, 3, 2000);
  // The first note is lengthened into the second, so their bends interleave.
  firstRecordOf(s.PartHead[0])->LenNum = 1;
  firstRecordOf(s.PartHead[0])->LenDen = 1;
  MidiEventList events;
  const int64_t bytes = CreateMIDIData(s, 0, 0, -1, events);
  EXPECT_LE(events.size(), 2u + 3 * 4);  // note-on, bend run, note-off, reset per note
  EXPECT_GT(bytes, 3 * 2000 * 3);
  RestoreMIDIData(events);

  selectOnly({0});
  ASSERT_TRUE(savedataplus3(s, path("v.mid")).ok());
  const auto lines = readWithMido(path("v.mid"));
  const auto bends = eventsOf(lines, 0, "bend");
  // 2 000 bends for each note and 64 more for the lengthened one.
  EXPECT_EQ(bends.size(), 3u * 2000 + 64 + 3);  // three resets are bends too
  long last = -1;
  for (const std::string& l : eventsOf(lines, 0, "on off bend")) {
    const long tick = std::stol(l);
    ASSERT_GE(tick, last) << l;
    last = tick;
  }
}

TEST_F(VibratoExport, OversizedResultIsAClearError) {
  addLongVibratos(s, 4, 65535);
  MidiEventList events;
  EXPECT_EQ(CreateMIDIData(s, 0, 0, -1, events, 100000), kMidiTooLarge);
  RestoreMIDIData(events);

  // 300 of them would need 78 MB; the export says so at once.
  EditorState big;
  big.createLists();
  addLongVibratos(big, 300, 65535);
  big.PartSelected.fill(0);
  big.PartSelected[0] = 1;
  const FileResult r = savedataplus3(big, path("big.mid"));
  EXPECT_EQ(r.error, FileError::Unwritable);
  EXPECT_NE(r.message.find("big.mid"), std::string::npos) << r.message;
  EXPECT_NE(r.message.find(std::to_string(kMaxMidiExportBytes)), std::string::npos) << r.message;
  EXPECT_FALSE(std::filesystem::exists(path("big.mid")));
}

}  // namespace
}  // namespace kelvara::testing

namespace kelvara::testing {
namespace {

// The bends of a run are merged into the track as it is written; the result
// must be what expanding every bend and sorting by time would give, with
// overlapping (lengthened) notes whose tails interleave.
TEST_F(VibratoExport, MergedRunsMatchEveryBendSortedOneByOne) {
  std::mt19937 random(17);
  auto pick = [&random](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(random);
  };
  for (int i = 0; i < 30; ++i) {
    TOnpu* n = add(pick(0, 3) == 0 ? 0 : pick(40, 80), pick(1, 40));
    n->LenNum = pick(0, 3);
    n->LenDen = 1 << pick(1, 4);
    n->YoinType = pick(0, 2);
    n->YoinStartNum = pick(0, 2);
    n->YoinStartDen = 1 << pick(2, 4);
    n->YoinAmount = pick(-300, 300);
    n->YoinPeriod = pick(1, 9);
  }
  MidiEventList events;
  ASSERT_GT(CreateMIDIData(s, 0, 0, -1, events), 0);
  struct Item {
    int64_t time, order, index;
    std::string text;
  };
  std::vector<Item> expected;
  for (size_t i = 1; i + 1 < events.size(); ++i) {
    const MidiEvent& e = events[i];
    for (int64_t k = 0; k < (e.Kind == kEventBend ? e.BendCount : 1); ++k) {
      std::string text;
      if (e.Kind == kEventNoteOn || e.Kind == kEventNoteOff) {
        text =
            std::string(e.Kind == kEventNoteOn ? "on " : "off ") + std::to_string(e.Note->Pitch[0]);
      } else {
        const int32_t amount = e.Kind == kEventBendReset ? 0 : (k % 2 == 0 ? 1 : -1) * e.BendAmount;
        text = "bend " + std::to_string(e.Kind == kEventBendReset ? 8192 : bendValue(amount));
      }
      expected.push_back({e.Time + k * e.BendStep, e.Order, k, text});
    }
  }
  std::stable_sort(expected.begin(), expected.end(), [](const Item& a, const Item& b) {
    return std::tie(a.time, a.order, a.index) < std::tie(b.time, b.order, b.index);
  });
  std::vector<std::string> want;
  for (const Item& it : expected)
    want.push_back(std::to_string(std::max<int64_t>(it.time, 0)) + " " + it.text);
  RestoreMIDIData(events);

  selectOnly({0});
  ASSERT_TRUE(savedataplus3(s, path("merge.mid")).ok());
  std::vector<std::string> got;
  for (const std::string& l : eventsOf(readWithMido(path("merge.mid")), 0, "on off bend")) {
    std::istringstream in(l);
    std::string tick, kind, channel, value;
    in >> tick >> kind >> channel >> value;
    got.push_back(tick + " " + kind + " " + value);
  }
  EXPECT_EQ(got, want);
}

}  // namespace
}  // namespace kelvara::testing
