#include <cstdint>

#include "files/midi_export.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

// Header, track header and set-up block of a one-track export: where its note events begin.
constexpr size_t kFirstEvent = 14 + 8 + 48;

class MidiExport : public FilesTest {
 protected:
  MidiExport() { selectOnly({0}); }

  // Writes the export, has the independent reader parse it (into `lines`)
  // and returns the note events of the single track.
  Bytes exportEvents(int32_t fromBar = 0, int32_t toBar = -1) {
    const FileResult r = savedataplus3(s, path("t.mid"), fromBar, toBar);
    EXPECT_TRUE(r.ok()) << r.message;
    lines = readWithMido(path("t.mid"));
    const Bytes file = readBytes(path("t.mid"));
    if (file.size() < kFirstEvent + 5) return {};
    return slice(file, kFirstEvent, file.size() - kFirstEvent - 5);
  }

  std::vector<std::string> lines;
};

TEST_F(MidiExport, EmptyPartGetsTheFullSetUpBlock) {
  selectOnly({0, kPercussionPart});
  s.PartPan[kPercussionPart] = 20;
  s.PartVolume[kPercussionPart] = 127;
  Bytes out;
  ASSERT_TRUE(encodeMidiExport(s, 0, -1, "x", out).ok());
  const Bytes expected =
      hex("4D 54 68 64 00 00 00 06 00 01 00 02 03 C0"
          "  4D 54 72 6B 00 00 00 35"
          "  00 C0 00  00 FF 59 02 00 00  00 FF 58 04 04 02 18 08  00 FF 51 03 07 A1 20"
          "  00 B0 07 64  00 B0 0A 3F  00 B0 65 00  00 B0 64 00  00 B0 06 0C  00 B0 26 00"
          "  F0 40 FF 2F 00"
          "  4D 54 72 6B 00 00 00 35"
          "  00 C9 00  00 FF 59 02 00 00  00 FF 58 04 04 02 18 08  00 FF 51 03 07 A1 20"
          "  00 B9 07 7F  00 B9 0A 7F  00 B9 65 00  00 B9 64 00  00 B9 06 0C  00 B9 26 00"
          "  F0 40 FF 2F 00");
  EXPECT_EQ(toHex(out), toHex(expected));
  s.PartPan[0] = 0;
  ASSERT_TRUE(encodeMidiExport(s, 0, -1, "x", out).ok());
  EXPECT_EQ(out[14 + 8 + 31], 0);
}

TEST_F(MidiExport, RestBecomesTheNextNoteOnsDelta) {
  add(60, 16);
  add(0, 16);
  add(62, 16);
  EXPECT_EQ(toHex(exportEvents()),
            toHex(hex("00 90 3C 64  87 40 80 3C 64  87 40 90 3E 64  87 40 80 3E 64")));
  EXPECT_EQ(eventsOf(lines, 0, "on off"),
            (std::vector<std::string>{"0 on 0 60 100", "960 off 0 60 100", "1920 on 0 62 100",
                                      "2880 off 0 62 100"}));
}

TEST_F(MidiExport, TripletMembersShareTheGroupSpan) {
  TOnpu* first = add(60, 8);
  add(62, 8);
  add(64, 8);
  add(65, 16);
  for (int i = 1; TOnpu * r : {first, first->Next, first->Next->Next}) {
    r->RenIndex = i++;
    r->RenCount = 3;
    r->RenLength = 16;
  }
  exportEvents();
  EXPECT_EQ(eventsOf(lines, 0, "on off"),
            (std::vector<std::string>{"0 on 0 60 100", "320 off 0 60 100", "320 on 0 62 100",
                                      "640 off 0 62 100", "640 on 0 64 100", "960 off 0 64 100",
                                      "960 on 0 65 100", "1920 off 0 65 100"}));
}

TEST_F(MidiExport, LengthenedNoteOverlapsTheNextAndNoDeltaIsNegative) {
  TOnpu* a = add(60, 16);
  a->LenNum = 1;  // + 1/16: sounds 20 64ths
  a->LenDen = 16;
  add(62, 16)->Velocity = 90;
  // The next note-on (-239 after the first note-off) is moved before it:
  // 961 ticks after the first note-on, 239 before its note-off.
  EXPECT_EQ(toHex(exportEvents()),
            toHex(hex("00 90 3C 64  87 41 90 3E 5A  81 6F 80 3C 64  85 51 80 3E 5A")));
  EXPECT_EQ(eventsOf(lines, 0, "on off"),
            (std::vector<std::string>{"0 on 0 60 100", "961 on 0 62 90", "1200 off 0 60 100",
                                      "1921 off 0 62 90"}));

  // A shortened note leaves a gap instead.
  a->LenNum = -1;
  exportEvents();
  EXPECT_EQ(eventsOf(lines, 0, "on off"),
            (std::vector<std::string>{"0 on 0 60 100", "720 off 0 60 100", "960 on 0 62 90",
                                      "1920 off 0 62 90"}));
}

TEST_F(MidiExport, ShiftTailBendsAfterItsDelayAndResets) {
  TOnpu* n = add(60, 32);
  n->YoinType = 1;
  n->YoinStartNum = 1;
  n->YoinStartDen = 16;
  n->YoinAmount = 100;  // one whole tone up: 8192 + 1364
  EXPECT_EQ(toHex(exportEvents()),
            toHex(hex("00 90 3C 64  81 70 E0 54 4A  8D 10 80 3C 64  00 E0 00 40")));
  EXPECT_EQ(eventsOf(lines, 0, "bend off"),
            (std::vector<std::string>{"240 bend 0 9556", "1920 off 0 60 100", "1920 bend 0 8192"}));
  n->YoinAmount = -100;
  EXPECT_EQ(slice(exportEvents(), 6, 3), hex("E0 2C 35"));

  EXPECT_EQ(bendValue(0), 8193);
  EXPECT_EQ(bendValue(600), 16383);
  EXPECT_EQ(bendValue(-600), 1);
  EXPECT_EQ(bendValue(5000), 16383);  // beyond the bend range: clamped, never a status bit
  EXPECT_EQ(bendValue(-5000), 1);
}

TEST_F(MidiExport, VibratoSwingsEveryHalfPeriodUntilTheNoteEnds) {
  TOnpu* n = add(60, 64);
  n->YoinType = 2;
  n->YoinStartNum = 1;
  n->YoinStartDen = 16;
  n->YoinAmount = 50;
  n->YoinPeriod = 4;
  exportEvents();
  std::vector<std::string> expected;
  for (int t = 240, i = 0; t < 3840; t += 120, ++i) {
    expected.push_back(std::to_string(t) + " bend 0 " + (i % 2 == 0 ? "8873" : "7511"));
  }
  expected.push_back("3840 off 0 60 100");
  expected.push_back("3840 bend 0 8192");
  EXPECT_EQ(eventsOf(lines, 0, "bend off"), expected);
}

TEST_F(MidiExport, BarRangeWritesOnlyRecordsStartingInIt) {
  s.TimeNum = 3;                                          // bar length 48
  for (int32_t p : {60, 62, 64, 65, 67, 69}) add(p, 16);  // bars 1 and 2
  add(0, 16);                                             // bar 3: rest, 71, 72
  add(71, 16);
  add(72, 16);
  add(74, 48);  // bar 4 starts at 144: left out
  EXPECT_EQ(toHex(exportEvents(3, 3)),
            toHex(hex("87 40 90 47 64  87 40 80 47 64  00 90 48 64  87 40 80 48 64")));
  // A range that holds no record still gives a whole track.
  EXPECT_TRUE(exportEvents(5, 2).empty());
  EXPECT_EQ(readBytes(path("t.mid")).size(), 14u + 8 + 53);
}

// Regression: a note sounding across the range's first bar line made that
// part's track start with its next note, ahead of the other parts.
TEST_F(MidiExport, BarRangeTracksAllStartAtTheFirstBarLine) {
  add(60, 48);     // bar 1: a dotted half...
  add(62, 32);     // ...then a half note across the bar line
  add(64, 16);     // bar 2, beat 2
  add(67, 16, 1);  // part 1: quarter notes from bar 1
  add(67, 16, 1);
  add(67, 16, 1);
  add(67, 16, 1);
  add(69, 16, 1);  // bar 2, beat 1
  selectOnly({0, 1});
  exportEvents(2, 2);
  const std::vector<std::string> lines = readWithMido(path("t.mid"));
  // E4 keeps its place on beat 2 of bar 2, 960 ticks after the bar line
  // where part 1's A4 starts.
  EXPECT_EQ(eventsOf(lines, 0, "on"), std::vector<std::string>{"960 on 0 64 100"});
  EXPECT_EQ(eventsOf(lines, 1, "on"), std::vector<std::string>{"0 on 1 69 100"});
}

TEST_F(MidiExport, ByteCountCoversChordsAndFillsTheTrackLength) {
  addChord({67, 64, 60}, 16);
  MidiEventList events;
  // Note-on: 1 delta byte + 3 + 4 x 2 = 12; note-off: 2 delta bytes + 3 + 8 = 13.
  EXPECT_EQ(CreateMIDIData(s, 0, 0, -1, events), 25);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events.front().Kind, kEventStart);
  EXPECT_EQ(events[1].Kind, kEventNoteOn);
  EXPECT_EQ(events[2].Delta, 960);
  EXPECT_EQ(events.back().Kind, kEventEnd);
  RestoreMIDIData(events);
  EXPECT_TRUE(events.empty());
  exportEvents();
  EXPECT_EQ(slice(readBytes(path("t.mid")), 18, 4), hex("00 00 00 4E"));  // 25 + 53
}

TEST_F(MidiExport, OddValuesNeverCrashNorCorruptTheFile) {
  s.TimeDen = 0;
  s.Tempo = 0;
  s.KeySig = 40;
  s.PartVolume[0] = -5;
  s.PartPan[0] = 99;
  s.PartProgram[0] = 200;
  TOnpu* zeroLenDen = add(60, 16);
  zeroLenDen->LenNum = 5;
  zeroLenDen->LenDen = 0;
  TOnpu* zeroStartDen = add(62, 16);
  zeroStartDen->YoinType = 1;
  zeroStartDen->YoinStartDen = 0;
  zeroStartDen->YoinAmount = 10000;
  TOnpu* zeroRenCount = add(64, 8);
  zeroRenCount->RenIndex = 1;
  zeroRenCount->RenLength = 16;
  zeroRenCount->RenCount = 0;
  for (int32_t period : {0, 1, -3}) {
    TOnpu* v = add(65, 4);
    v->YoinType = 2;
    v->YoinPeriod = period;
    v->YoinAmount = -700;
  }
  TOnpu* early = add(67, 4);  // a negative delay and an extreme amount and period
  early->YoinType = 2;
  early->YoinStartNum = -1000000;
  early->YoinAmount = INT32_MIN;
  early->YoinPeriod = INT32_MAX;
  TOnpu* loud = addChord({200, 64, -3}, 8);
  loud->Velocity = 300;
  add(0, 8)->LenDen = 0;

  exportEvents(1, 2);  // the bar range with a zero denominator too
  const Bytes events = exportEvents();
  ASSERT_FALSE(events.empty());
  const auto setUp = eventsOf(lines, 0, "tempo control program time");
  EXPECT_EQ(setUp[0], "0 program 0 127");
  EXPECT_EQ(setUp[2], "0 tempo 500000");  // tempo 0 is written as 120
  EXPECT_EQ(setUp[3], "0 control 0 7 0");
  EXPECT_EQ(setUp[4], "0 control 0 10 127");
  // A vibrato period below 2 swings every 64th (60 ticks) instead of hanging.
  const auto bends = eventsOf(lines, 0, "bend");
  EXPECT_GT(bends.size(), 6u);
  // The chord's pitches 200, 64, -3 and velocity 300 are kept inside 0..127.
  const auto ons = eventsOf(lines, 0, "on");
  ASSERT_GE(ons.size(), 3u);
  EXPECT_NE(ons[ons.size() - 3].find(" on 0 127 127"), std::string::npos);
  EXPECT_NE(ons.back().find(" on 0 0 127"), std::string::npos);

  // A wait longer than a MIDI delta can hold is refused; an old file stays.
  writeBytes(path("old.mid"), hex("01"));
  add(0, 0x7FFFFFFF);
  add(60, 4);
  const FileResult r = savedataplus3(s, path("old.mid"));
  EXPECT_EQ(r.error, FileError::Unwritable);
  EXPECT_NE(r.message.find("old.mid"), std::string::npos);
  EXPECT_EQ(readBytes(path("old.mid")), hex("01"));
}

}  // namespace
}  // namespace kelvara::testing
