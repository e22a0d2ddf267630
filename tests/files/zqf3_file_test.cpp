#include <random>

#include "files/midi_export.h"
#include "files/zqf3_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

using Zqf3File = FilesTest;

// The 34 bytes of a marker record with the new-record values.
Bytes endMarkerRecord() {
  return hex(
      "F6 FF FF FF FF FF FF FF FF FF  00  00 00  00 00  00 00 00 00 00 00 00"
      "  64 00 04 00 00 04 00 00 04 00 04 00");
}

LoadResult decode(EditorState& s, const Bytes& b) {
  return decodeZqf3(s, b, "score.zqf3");
}

TEST_F(Zqf3File, ScoreWithNoSelectedPartIsJustTheHeader) {
  s.KeySig = 9;
  s.Major = 0;
  s.TimeNum = 6;
  s.TimeDen = 8;
  s.Tempo = 300;
  selectOnly({});
  ASSERT_TRUE(savedataplus2(s, path("a.zqf3")).ok());
  EXPECT_EQ(readBytes(path("a.zqf3")), hex("09 01 06 08 2C 01 00"));

  // Reading it changes only the score settings.
  EditorState t;
  t.createLists();
  TOnpu* kept = makeRecord(60, 16, 1);
  linkAfter(startMarkerOf(t.PartHead[0]), kept);
  const LoadResult r = loaddataplus2(t, path("a.zqf3"));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(t.KeySig, 9);
  EXPECT_EQ(t.Major, 0);
  EXPECT_EQ(t.TimeNum, 6);
  EXPECT_EQ(t.TimeDen, 8);
  EXPECT_EQ(t.Tempo, 300);
  EXPECT_EQ(firstRecordOf(t.PartHead[0]), kept);
  EXPECT_EQ(r.partsRead, PerPart<uint8_t>{});
}

TEST_F(Zqf3File, EmptyPartIsFourBytesAndTheEndMarkerRecord) {
  selectOnly({10});
  s.PartProgram[10] = 5;
  s.PartVolume[10] = 90;
  s.PartPan[10] = 3;
  Bytes out;
  ASSERT_TRUE(encodeZqf3(s, 0, -1, "x", out).ok());
  Bytes expected = hex("07 00 04 04 78 00 01  0A 05 5A 03");
  const Bytes marker = endMarkerRecord();
  expected.insert(expected.end(), marker.begin(), marker.end());
  EXPECT_EQ(toHex(out), toHex(expected));
}

TEST_F(Zqf3File, NodeRecordLayoutIsByteExact) {
  selectOnly({0});
  TOnpu* r = addChord({67, 64, 60}, 24);
  r->Width = 300;
  r->AccDelta = {1, -1, 0, 0, 0, 0, 2};
  r->Velocity = 90;
  r->LenNum = -1;
  r->LenDen = 8;
  r->YoinType = 2;
  r->YoinStartNum = 1;
  r->YoinStartDen = 16;
  r->YoinAmount = -150;
  r->YoinPeriod = 8;
  r->RenIndex = 2;
  r->RenCount = 3;
  r->RenLength = 16;
  Bytes out;
  ASSERT_TRUE(encodeZqf3(s, 0, -1, "x", out).ok());
  ASSERT_EQ(out.size(), 7u + 4 + 2 * 34);
  EXPECT_EQ(toHex(slice(out, 11, 34)),
            toHex(hex("43 40 3C FF FF FF FF FF FF FF  02  2C 01  18 00  01 FF 00 00 00 00 02"
                      "  5A FF 08 02 01 10 6A FF 08 02 03 10")));
  EXPECT_EQ(toHex(slice(out, 45, 34)), toHex(endMarkerRecord()));
}

// Fills every field of every record with varied values, signed ones included.
void fillVaried(EditorState& s, std::mt19937& rng, int part, int count) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < count; ++i) {
    TOnpu* r = appendTo(s, pick(0, 3) == 0 ? 0 : pick(35, 127), pick(1, 64), part);
    if (r->Pitch[0] > 0) {
      r->LastIndex = pick(0, 9);
      for (int k = 1; k <= r->LastIndex; ++k) r->Pitch[k] = pick(1, 127);
    }
    r->Width = pick(0, 2000);
    for (int32_t& a : r->AccDelta) a = pick(-2, 2);
    r->Velocity = pick(0, 255);
    r->LenNum = pick(-128, 127);
    r->LenDen = pick(1, 255);
    r->YoinType = pick(0, 2);
    r->YoinStartNum = pick(0, 255);
    r->YoinStartDen = pick(1, 255);
    r->YoinAmount = pick(-32768, 32767);
    r->YoinPeriod = pick(0, 255);
    r->RenIndex = pick(0, 3);
    r->RenCount = pick(0, 255);
    r->RenLength = pick(0, 255);
  }
}

void expectSameRecord(const TOnpu& a, const TOnpu& b) {
  EXPECT_EQ(a.Pitch, b.Pitch);
  EXPECT_EQ(a.AccDelta, b.AccDelta);
  const int32_t fa[] = {a.LastIndex,  a.Width,    a.Length,       a.Velocity,     a.LenNum,
                        a.LenDen,     a.YoinType, a.YoinStartNum, a.YoinStartDen, a.YoinAmount,
                        a.YoinPeriod, a.RenIndex, a.RenCount,     a.RenLength};
  const int32_t fb[] = {b.LastIndex,  b.Width,    b.Length,       b.Velocity,     b.LenNum,
                        b.LenDen,     b.YoinType, b.YoinStartNum, b.YoinStartDen, b.YoinAmount,
                        b.YoinPeriod, b.RenIndex, b.RenCount,     b.RenLength};
  EXPECT_TRUE(std::equal(std::begin(fa), std::end(fa), std::begin(fb)));
  EXPECT_EQ(b.Closed, 1);
}

TEST_F(Zqf3File, EveryFieldReadsBackAndCursorsStartAtTheFirstRecord) {
  std::mt19937 rng(7);
  fillVaried(s, rng, 0, 40);
  fillVaried(s, rng, kPercussionPart, 25);
  fillVaried(s, rng, 10, 3);
  s.KeySig = 14;
  s.Major = 0;
  s.Tempo = 65535;
  for (int p = 0; p < kPartCount; ++p) {
    s.PartProgram[p] = p * 11;
    s.PartVolume[p] = 127 - p;
    s.PartPan[p] = p * 2;
  }
  selectOnly({0, 3, kPercussionPart, 10});
  ASSERT_TRUE(savedataplus2(s, path("a.zqf3")).ok());

  EditorState t;
  t.createLists();
  t.PageNode = t.CurNode[0];  // the page of an emptied work part
  const LoadResult r = loaddataplus2(t, path("a.zqf3"));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(t.KeySig, 14);
  EXPECT_EQ(t.Major, 0);
  EXPECT_EQ(t.Tempo, 65535);
  for (int p = 0; p < kPartCount; ++p) {
    const bool sel = s.PartSelected[p] != 0;
    EXPECT_EQ(r.partsRead[p], sel ? 1 : 0) << p;
    if (!sel) {
      EXPECT_TRUE(isPartEmpty(t.PartHead[p]));
      EXPECT_EQ(t.PartProgram[p], 0);
      continue;
    }
    EXPECT_EQ(t.PartProgram[p], p * 11);
    EXPECT_EQ(t.PartVolume[p], 127 - p);
    EXPECT_EQ(t.PartPan[p], p * 2);
    EXPECT_EQ(t.CurNode[p], firstRecordOf(t.PartHead[p]));
    const TOnpu* a = firstRecordOf(s.PartHead[p]);
    const TOnpu* b = firstRecordOf(t.PartHead[p]);
    for (; !isEndMarker(*a); a = a->Next, b = b->Next) {
      ASSERT_FALSE(isEndMarker(*b));
      EXPECT_EQ(b->Prev->Next, b);
      expectSameRecord(*a, *b);
    }
    EXPECT_TRUE(isEndMarker(*b));
    EXPECT_EQ(b->Prev->Next, b);
  }
  EXPECT_EQ(t.PageNode, firstRecordOf(t.PartHead[0]));
}

TEST_F(Zqf3File, ValueThatDoesNotFitItsFieldRefusesTheSave) {
  add(60, 16);
  TOnpu* r = add(62, 16);
  writeBytes(path("old.zqf3"), hex("01 02 03"));
  struct Case {
    const char* field;
    int32_t TOnpu::*member;
    int32_t value;
  };
  const Case cases[] = {
      {"Length", &TOnpu::Length, 70000},         {"LenDen", &TOnpu::LenDen, 300},
      {"YoinAmount", &TOnpu::YoinAmount, 40000}, {"RenLength", &TOnpu::RenLength, 320},
      {"Velocity", &TOnpu::Velocity, -1},        {"LastIndex", &TOnpu::LastIndex, 10}};
  for (const Case& c : cases) {
    const int32_t saved = r->*c.member;
    r->*c.member = c.value;
    const FileResult res = savedataplus2(s, path("old.zqf3"));
    EXPECT_EQ(res.error, FileError::Unwritable) << c.field;
    EXPECT_NE(res.message.find(c.field), std::string::npos) << res.message;
    EXPECT_NE(res.message.find("old.zqf3"), std::string::npos) << res.message;
    EXPECT_NE(res.message.find("2 番目"), std::string::npos) << res.message;
    r->*c.member = saved;
  }
  r->Pitch[0] = 130;  // would read back as a negative pitch, ending the block
  EXPECT_EQ(savedataplus2(s, path("old.zqf3")).error, FileError::Unwritable);
  r->Pitch[0] = 62;
  s.Tempo = 70000;
  EXPECT_EQ(savedataplus2(s, path("old.zqf3")).error, FileError::Unwritable);
  EXPECT_EQ(readBytes(path("old.zqf3")), hex("01 02 03"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator{}),
            1);
}

TEST_F(Zqf3File, FileCutAtAnyOffsetIsRefusedAndChangesNothing) {
  add(60, 16);
  addChord({64, 60}, 8);
  add(0, 8, 10);
  selectOnly({0, 10});
  Bytes full;
  ASSERT_TRUE(encodeZqf3(s, 0, -1, "x", full).ok());

  EditorState t;
  t.createLists();
  TOnpu* kept = makeRecord(72, 4, 1);
  linkAfter(startMarkerOf(t.PartHead[10]), kept);
  t.CurNode[10] = kept;
  const std::string before = snapshot(t);
  for (size_t n = 0; n < full.size(); ++n) {
    const LoadResult r = decode(t, slice(full, 0, n));
    ASSERT_EQ(r.error, FileError::Truncated) << "cut at " << n;
    EXPECT_NE(r.message.find("score.zqf3"), std::string::npos);
    ASSERT_EQ(snapshot(t), before) << "cut at " << n;
  }
  ASSERT_TRUE(decode(t, full).ok());
}

TEST_F(Zqf3File, ForeignOrDamagedFilesAreRefusedAndChangeNothing) {
  add(60, 16);
  Bytes good;
  ASSERT_TRUE(encodeZqf3(s, 0, -1, "x", good).ok());
  Bytes midi;
  ASSERT_TRUE(encodeMidiExport(s, 0, -1, "x", midi).ok());
  std::mt19937 rng(3);
  Bytes noise(500);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());

  // Damaged copies of a good one-part file (part 0 block at 7, first record at 11).
  selectOnly({0});
  Bytes one;
  ASSERT_TRUE(encodeZqf3(s, 0, -1, "x", one).ok());
  auto damaged = [&](size_t at, uint8_t value) {
    Bytes b = one;
    b[at] = value;
    return b;
  };
  Bytes twice = one;
  twice[6] = 2;
  twice.insert(twice.end(), one.begin() + 7, one.end());
  Bytes extra = one;
  extra.push_back(0);

  struct Case {
    const char* what;
    Bytes bytes;
    FileError error;
  };
  const Case cases[] = {
      {"MIDI export", midi, FileError::BadValue},  // "MThd": key signature 0x4D
      {"random bytes", noise, FileError::None},    // refused, whatever the first fault
      {"part index 11", damaged(7, 11), FileError::BadValue},
      {"eleven chord pitches", damaged(11 + 10, 10), FileError::BadValue},
      {"start marker inside a part", damaged(11, 0xF9), FileError::BadValue},
      {"key signature 15", damaged(0, 15), FileError::BadValue},
      {"part count 12", damaged(6, 12), FileError::BadValue},
      {"the same part twice", twice, FileError::BadValue},
      {"bytes after the last part", extra, FileError::WrongKind},
  };
  EditorState t;
  t.createLists();
  const std::string before = snapshot(t);
  for (const Case& c : cases) {
    const LoadResult r = decode(t, c.bytes);
    if (c.error == FileError::None) {
      EXPECT_FALSE(r.ok()) << c.what;
    } else {
      EXPECT_EQ(r.error, c.error) << c.what << ": " << r.message;
    }
    EXPECT_EQ(snapshot(t), before) << c.what;
  }
  // A file that does not exist.
  EXPECT_EQ(loaddataplus2(t, path("missing.zqf3")).error, FileError::CannotOpen);
}

}  // namespace
}  // namespace kelvara::testing
