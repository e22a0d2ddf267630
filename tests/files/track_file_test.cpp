#include <random>
#include <tuple>

#include "files/midi_export.h"
#include "files/track_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

using TrackFile = FilesTest;

const char* const kHeaderOneTrack = "4D 54 68 64 00 00 00 06 00 01 00 01 03 C0";
// Program 0 on channel 0, C major, 4/4, 500 000 microseconds per quarter.
const char* const kPreamble =
    "00 C0 00  00 FF 59 02 00 00  00 FF 58 04 04 02 18 08  00 FF 51 03 07 A1 20";
const char* const kEndOfTrack = "F0 40 FF 2F 00";

// A one-track file around the given track body (End of Track added).
Bytes trackFile(const std::string& body, const char* header = kHeaderOneTrack) {
  Bytes events = hex(body + " " + kEndOfTrack);
  Bytes out = hex(header);
  const Bytes mtrk = hex("4D 54 72 6B");
  out.insert(out.end(), mtrk.begin(), mtrk.end());
  const auto n = static_cast<uint32_t>(events.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(n >> shift));
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

LoadResult decode(EditorState& s, const Bytes& b, bool single = false, int into = 0) {
  return decodeTrackFile(s, b, "parts.zqf2", single, into);
}

std::vector<std::string> contentOf(const EditorState& s, int part) {
  std::vector<std::string> out;
  for (const TOnpu* r = firstRecordOf(s.PartHead[part]); !isEndMarker(*r); r = r->Next) {
    std::string t;
    for (int k = 0; k <= r->LastIndex; ++k)
      t += std::to_string(r->Pitch[k]) + (k < r->LastIndex ? "," : "");
    out.push_back(t + "/" + std::to_string(r->Length));
  }
  return out;
}

TEST_F(TrackFile, PartWithoutNotesIsTheTwentyNineByteTrack) {
  selectOnly({0});
  ASSERT_TRUE(savedataplus(s, path("a.zqf2")).ok());
  EXPECT_EQ(toHex(readBytes(path("a.zqf2"))), toHex(trackFile(kPreamble)));
  EXPECT_EQ(trackFile(kPreamble).size(), 14u + 8 + 29);
}

TEST_F(TrackFile, RestsMergeChordsShareDeltasAndTrailingRestKeepsTheLength) {
  selectOnly({2});
  s.PartVolume[2] = 80;
  add(60, 16, 2);
  add(0, 16, 2);  // a quarter rest and an eighth rest become one wait of 1440 ticks
  add(0, 8, 2);
  addChord({67, 64, 60}, 8, 2);
  add(0, 16, 2);  // trailing rest: a note-off for key 0
  ASSERT_TRUE(savedataplus(s, path("a.zqf2")).ok());
  const Bytes expected = trackFile(
      "00 C2 00  00 FF 59 02 00 00  00 FF 58 04 04 02 18 08  00 FF 51 03 07 A1 20"
      "  00 92 3C 50  87 40 82 3C 50"
      "  8B 20 92 43 50  00 92 40 50  00 92 3C 50"
      "  83 60 82 43 50  00 82 40 50  00 82 3C 50"
      "  87 40 82 00 50");
  const Bytes written = readBytes(path("a.zqf2"));
  ASSERT_EQ(toHex(written), toHex(expected));
  EXPECT_EQ(slice(written, 18, 4), hex("00 00 00 45"));  // L = 29 + 40 note-event bytes

  const auto lines = readWithMido(path("a.zqf2"));
  EXPECT_EQ(eventsOf(lines, 0, "on off end"),
            (std::vector<std::string>{"0 on 2 60 80", "960 off 2 60 80", "2400 on 2 67 80",
                                      "2400 on 2 64 80", "2400 on 2 60 80", "2880 off 2 67 80",
                                      "2880 off 2 64 80", "2880 off 2 60 80", "3840 off 2 0 80",
                                      "18240 end"}));

  EditorState t;
  t.createLists();
  const LoadResult r = loaddataplus(t, path("a.zqf2"), ".zqf2");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(contentOf(t, 2), (std::vector<std::string>{"60/16", "0/24", "67,64,60/8", "0/16"}));
  EXPECT_EQ(t.PartVolume[2], 80);
  EXPECT_EQ(t.CurNode[2], firstRecordOf(t.PartHead[2]));
  const TOnpu* chord = firstRecordOf(t.PartHead[2])->Next->Next;
  EXPECT_EQ(chord->Pitch[3], -1);
  EXPECT_EQ(chord->Width, 70);
  EXPECT_EQ(chord->Velocity, 100);
  EXPECT_EQ(chord->Closed, 1);
}

TEST_F(TrackFile, SettingsRoundTripIncludingFlatKeys) {
  selectOnly({1});
  add(62, 4, 1);
  const std::pair<int, int> times[] = {{2, 2}, {3, 4}, {6, 8}};
  for (int key = 0; key <= 14; ++key) {
    s.KeySig = key;
    s.Major = key % 2;
    std::tie(s.TimeNum, s.TimeDen) = times[key % 3];
    s.Tempo = 40 + key * 17;
    s.PartProgram[1] = key;
    ASSERT_TRUE(savedataplus(s, path("k.zqf2")).ok());
    EXPECT_EQ(readBytes(path("k.zqf2"))[29], static_cast<uint8_t>(7 - key));
    EditorState t;
    t.createLists();
    ASSERT_TRUE(loaddataplus(t, path("k.zqf2"), ".zqf2").ok());
    EXPECT_EQ(t.KeySig, key);
    EXPECT_EQ(t.Major, key % 2);
    EXPECT_EQ(t.TimeNum, s.TimeNum);
    EXPECT_EQ(t.TimeDen, s.TimeDen);
    EXPECT_EQ(t.Tempo, s.Tempo);
    EXPECT_EQ(t.PartProgram[1], key);
  }
}

TEST_F(TrackFile, SilentPartStartsItsNotesAtVelocityOneAndReadsBackSilent) {
  // Regression: velocity 0 note-ons, which every other program takes as note-offs.
  selectOnly({0});
  s.PartVolume[0] = 0;
  add(60, 8);
  ASSERT_TRUE(savedataplus(s, path("quiet.zqf2")).ok());
  EXPECT_EQ(toHex(readBytes(path("quiet.zqf2"))),
            toHex(trackFile(std::string(kPreamble) + " 00 90 3C 01  83 60 80 3C 00")));
  EditorState t;
  t.createLists();
  t.PartVolume[0] = 100;
  ASSERT_TRUE(loaddataplus(t, path("quiet.zqf2"), ".zqf2").ok());
  EXPECT_EQ(t.PartVolume[0], 0);
}

TEST_F(TrackFile, OnlyRestsBecomeOneRestAndTupletsBecomePlainNotes) {
  selectOnly({0, 4});
  add(0, 16);
  add(0, 8);
  add(0, 4);
  TOnpu* first = add(60, 8, 4);
  add(62, 8, 4);
  add(64, 8, 4);
  for (int i = 1; TOnpu * r : {first, first->Next, first->Next->Next}) {
    r->RenIndex = i++;
    r->RenCount = 3;
    r->RenLength = 16;
  }
  ASSERT_TRUE(savedataplus(s, path("a.zqf2")).ok());
  const auto lines = readWithMido(path("a.zqf2"));
  EXPECT_EQ(eventsOf(lines, 0, "on off"), (std::vector<std::string>{"1680 off 0 0 100"}));
  EXPECT_EQ(
      eventsOf(lines, 1, "off"),  // every note lasts its own 480 ticks
      (std::vector<std::string>{"480 off 4 60 100", "960 off 4 62 100", "1440 off 4 64 100"}));

  EditorState t;
  t.createLists();
  ASSERT_TRUE(loaddataplus(t, path("a.zqf2"), ".zqf2").ok());
  EXPECT_EQ(contentOf(t, 0), (std::vector<std::string>{"0/28"}));
  EXPECT_EQ(contentOf(t, 4), (std::vector<std::string>{"60/8", "62/8", "64/8"}));
  EXPECT_EQ(firstRecordOf(t.PartHead[4])->RenCount, 4);
  EXPECT_EQ(firstRecordOf(t.PartHead[4])->RenIndex, 0);
}

TEST_F(TrackFile, SinglePartFileGoesIntoTheChosenPart) {
  selectOnly({3});
  s.PartProgram[3] = 7;
  add(65, 32, 3);
  ASSERT_TRUE(savedataplus(s, path("one.zqf")).ok());
  EditorState t;
  t.createLists();
  const LoadResult r = loaddataplus(t, path("one.zqf"), ".zqf", 10);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(contentOf(t, 10), (std::vector<std::string>{"65/32"}));
  EXPECT_EQ(t.PartProgram[10], 7);
  EXPECT_TRUE(isPartEmpty(t.PartHead[3]));
  PerPart<uint8_t> only10{};
  only10[10] = 1;
  EXPECT_EQ(r.partsRead, only10);
  // The same file as ".zqf2" goes to the part its channel names.
  EXPECT_EQ(decode(t, readBytes(path("one.zqf"))).partsRead[3], 1);
}

TEST_F(TrackFile, FileCutAtAnyOffsetIsRefusedAndChangesNothing) {
  selectOnly({0, kPercussionPart});
  add(60, 16);
  addChord({64, 60}, 8);
  add(0, 8);
  add(38, 4, kPercussionPart);
  Bytes full;
  ASSERT_TRUE(encodeTrackFile(s, 0, -1, "x", full).ok());
  EditorState t;
  t.createLists();
  const std::string before = snapshot(t);
  for (size_t n = 0; n < full.size(); ++n) {
    const LoadResult r = decode(t, slice(full, 0, n));
    ASSERT_EQ(r.error, FileError::Truncated) << "cut at " << n << ": " << r.message;
    EXPECT_NE(r.message.find("parts.zqf2"), std::string::npos);
    ASSERT_EQ(snapshot(t), before) << "cut at " << n;
  }
  ASSERT_TRUE(decode(t, full).ok());
}

// Regression: a note-on for key 0 read as a rest of its own beside the rest
// before it; written again the two became one, so [0]1,[0]1,[60]1 came back
// as [0]2,[60]1 and the round trip did not hold.
TEST_F(TrackFile, KeyZeroJoinsTheRestBeforeIt) {
  const Bytes b = trackFile(std::string(kPreamble) + "  3C 90 00 64  3C 80 00 64  00 90 3C 64" +
                            "  3C 80 3C 64  00 90 00 64  3C 80 00 64");
  ASSERT_TRUE(decode(s, b).ok());
  EXPECT_EQ(contentOf(s, 0), (std::vector<std::string>{"0/2", "60/1", "0/1"}));
  selectOnly({0});
  Bytes again;
  ASSERT_TRUE(encodeTrackFile(s, 0, -1, "again.zqf2", again).ok());
  EditorState t;
  t.createLists();
  ASSERT_TRUE(decode(t, again).ok());
  EXPECT_EQ(contentOf(t, 0), contentOf(s, 0));
}

TEST_F(TrackFile, ForeignOrDamagedFilesAreRefusedAndChangeNothing) {
  add(60, 16);
  selectOnly({0});
  Bytes midiExport;
  ASSERT_TRUE(encodeMidiExport(s, 0, -1, "x", midiExport).ok());
  std::mt19937 rng(5);
  Bytes noise(300);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
  const std::string note = "  00 90 3C 64  87 40 80 3C 64";
  std::string bigChord = "  00 90 3C 64", bigChordOffs = "  87 40 80 3C 64";
  for (int k = 0; k < 10; ++k) {
    bigChord += "  00 90 " + std::to_string(30 + k) + " 64";
    bigChordOffs += "  00 80 " + std::to_string(30 + k) + " 64";
  }
  Bytes twoTracksSameChannel = trackFile(kPreamble, "4D 54 68 64 00 00 00 06 00 01 00 02 03 C0");
  const Bytes secondTrack = slice(twoTracksSameChannel, 14, twoTracksSameChannel.size() - 14);
  twoTracksSameChannel.insert(twoTracksSameChannel.end(), secondTrack.begin(), secondTrack.end());
  Bytes longerThanItsEvents = trackFile(std::string(kPreamble) + note);
  longerThanItsEvents[21] += 1;
  longerThanItsEvents.push_back(0);
  Bytes extra = trackFile(kPreamble);
  extra.push_back(0);

  struct Case {
    const char* what;
    Bytes bytes;
    FileError error;
  };
  const Case cases[] = {
      {"MIDI export", midiExport, FileError::WrongKind},
      {"random bytes", noise, FileError::WrongKind},
      {"format 0", trackFile(kPreamble, "4D 54 68 64 00 00 00 06 00 00 00 01 03 C0"),
       FileError::WrongKind},
      {"480 ticks per quarter", trackFile(kPreamble, "4D 54 68 64 00 00 00 06 00 01 00 01 01 E0"),
       FileError::WrongKind},
      {"channel 12",
       trackFile("00 CB 00  00 FF 59 02 00 00  00 FF 58 04 04 02 18 08  00 FF 51 03 07 A1 20"),
       FileError::BadValue},
      {"tempo 0",
       trackFile("00 C0 00  00 FF 59 02 00 00  00 FF 58 04 04 02 18 08  00 FF 51 03 00 00 00"),
       FileError::BadValue},
      {"key of 8 sharps",
       trackFile("00 C0 00  00 FF 59 02 08 00  00 FF 58 04 04 02 18 08  00 FF 51 03 07 A1 20"),
       FileError::BadValue},
      {"eleven chord pitches", trackFile(kPreamble + bigChord + bigChordOffs), FileError::BadValue},
      {"note-off of another key",
       trackFile(std::string(kPreamble) + "  00 90 3C 64  87 40 80 3D 64"), FileError::WrongKind},
      {"running status", trackFile(std::string(kPreamble) + "  00 90 3C 64  87 40 3C 00"),
       FileError::WrongKind},
      {"data byte above 127", trackFile(std::string(kPreamble) + "  00 90 BC 64  87 40 80 BC 64"),
       FileError::WrongKind},
      {"length longer than the events", longerThanItsEvents, FileError::WrongKind},
      {"bytes after the last track", extra, FileError::WrongKind},
      {"two tracks for one channel", twoTracksSameChannel, FileError::BadValue},
  };
  EditorState t;
  t.createLists();
  const std::string before = snapshot(t);
  for (const Case& c : cases) {
    const LoadResult r = decode(t, c.bytes);
    EXPECT_EQ(r.error, c.error) << c.what << ": " << r.message;
    EXPECT_NE(r.message.find("parts.zqf2"), std::string::npos) << c.what;
    EXPECT_EQ(snapshot(t), before) << c.what;
  }
  EXPECT_NE(decode(t, midiExport).message.find("コントロールチェンジ"), std::string::npos);
  // A ".zqf" file must hold a track to load.
  EXPECT_EQ(decode(t, hex("4D 54 68 64 00 00 00 06 00 01 00 00 03 C0"), true, 0).error,
            FileError::BadValue);
  EXPECT_TRUE(decode(t, hex("4D 54 68 64 00 00 00 06 00 01 00 00 03 C0")).ok());
}

}  // namespace
}  // namespace kelvara::testing
