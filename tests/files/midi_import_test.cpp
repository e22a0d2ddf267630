// Standard MIDI files in: this program's own export comes back as it was
// written, files as other programs write them come in with their notes, and
// files beyond reading or beyond the load limits are refused without
// changing the score.
#include <cstdlib>
#include <random>

#include "files/convert_command.h"
#include "files/midi_export.h"
#include "files/midi_import.h"
#include "files/score_builder.h"
#include "files/score_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

using MidiImport = FilesTest;

// A record as text: "64.60:8@90" (pitches, length, velocity) or "r:8".
std::string recordText(const TOnpu& r) {
  if (isRest(r)) return "r:" + std::to_string(r.Length);
  std::string t;
  for (int k = 0; k <= r.LastIndex; ++k) t += (k > 0 ? "." : "") + std::to_string(r.Pitch[k]);
  return t + ":" + std::to_string(r.Length) + "@" + std::to_string(r.Velocity);
}

// The score as text: settings, then per part its voice, volume and pan and
// its records, tuplet groups in braces ("{3/16 ...}"). Runs of rests count
// as one and rests after the last note are left out, as MIDI keeps them.
std::string dump(const EditorState& s) {
  std::ostringstream o;
  o << "key " << s.KeySig << (s.Major != 0 ? " major " : " minor ") << s.TimeNum << '/' << s.TimeDen
    << " tempo " << s.Tempo << "\n";
  for (int p = 0; p < kPartCount; ++p) {
    o << partLabel(p) << " prog " << s.PartProgram[p] << " vol " << s.PartVolume[p] << " pan "
      << s.PartPan[p] << ":";
    int32_t rest = 0;
    for (const TOnpu* r = firstRecordOf(s.PartHead[p]); !isEndMarker(*r); r = r->Next) {
      if (isRest(*r) && r->RenIndex == 0) {
        rest += r->Length;
        continue;
      }
      if (rest > 0) o << " r:" << rest;
      rest = 0;
      if (r->RenIndex == 1) o << " {" << r->RenCount << "/" << r->RenLength;
      o << " " << recordText(*r);
      if (r->RenIndex > 0 && r->RenIndex == r->RenCount) o << "}";
    }
    o << "\n";
  }
  return o.str();
}

// A Standard MIDI file of the given format and division whose tracks hold
// the events given in hex (End of Track is added).
Bytes smf(int format, int division, const std::vector<std::string>& tracks) {
  Bytes out = hex("4D 54 68 64 00 00 00 06");
  for (int v : {format, static_cast<int>(tracks.size()), division}) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
  }
  for (const std::string& events : tracks) {
    const Bytes body = hex(events + " 00 FF 2F 00");
    const Bytes head = hex("4D 54 72 6B");
    out.insert(out.end(), head.begin(), head.end());
    const auto n = static_cast<uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(n >> shift));
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

// The records of one part as the dump shows them.
std::string partLine(const EditorState& s, int part) {
  std::istringstream in(dump(s));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(partLabel(part), 0) == 0) return line.substr(line.find(':') + 1);
  }
  return "?";
}

LoadResult importBytes(EditorState& s, const Bytes& bytes, const std::string& name = "in.mid") {
  return decodeMidiImport(s, bytes, name);
}

// A random score as a user might write it: every part, chords, rests,
// velocities and voices, bar by bar; with `triplets`, eighth, quarter and
// half triplets on their beats, holding notes and rests.
void randomScore(EditorState& s, std::mt19937& rng, bool triplets) {
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr int32_t kTimes[][2] = {{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}};
  const auto& time = kTimes[pick(0, 6)];
  s.TimeNum = time[0];
  s.TimeDen = time[1];
  s.KeySig = pick(0, 14);
  s.Major = static_cast<uint8_t>(pick(0, 1));
  s.Tempo = pick(30, 300);
  const int32_t barLen = s.BarLen();
  for (int p = 0; p < kPartCount; ++p) {
    if (p != kPercussionPart) s.PartProgram[p] = pick(0, 127);
    s.PartVolume[p] = pick(0, 127);
    s.PartPan[p] = pick(0, 20);
    if (pick(0, 3) == 0) continue;  // some parts stay empty
    auto note = [&](int32_t length, bool mayRest) {
      if (mayRest && pick(0, 4) == 0) return appendTo(s, kRestPitch, length, p);
      const int lowest = p == kPercussionPart ? 35 : 30;
      std::vector<int32_t> pitches;
      for (int n = pick(1, 4); static_cast<int>(pitches.size()) < n;) {
        const int32_t k = pick(lowest, lowest + 50);
        if (std::find(pitches.begin(), pitches.end(), k) == pitches.end()) pitches.push_back(k);
      }
      std::sort(pitches.begin(), pitches.end(), std::greater<>());
      TOnpu* r = appendTo(s, pitches[0], length, p);
      for (size_t k = 0; k < pitches.size(); ++k) r->Pitch[k] = pitches[k];
      r->LastIndex = static_cast<int32_t>(pitches.size()) - 1;
      r->Velocity = pick(1, 127);
      return r;
    };
    for (int bar = pick(1, 5); bar > 0; --bar) {
      for (int32_t pos = 0; pos < barLen;) {
        const int32_t span = 8 << pick(0, 2);
        if (triplets && pick(0, 2) == 0 && pos % span == 0 && pos + span <= barLen) {
          // At least two notes, one of them after the first step.
          const int restAt = pick(-1, 2);
          for (int k = 0; k < 3; ++k) {
            TOnpu* r = k == restAt ? appendTo(s, kRestPitch, span / 2, p) : note(span / 2, false);
            r->RenIndex = k + 1;
            r->RenCount = 3;
            r->RenLength = span;
          }
          pos += span;
          continue;
        }
        constexpr int32_t kLengths[] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64};
        int32_t length = kLengths[pick(0, 11)];
        while (pos + length > barLen) length /= 2;
        note(length, true);
        pos += length;
      }
    }
  }
}

TEST_F(MidiImport, OwnExportOfRandomScoresComesBackAsItWas) {
  std::mt19937 rng(2112);
  for (const bool triplets : {false, true}) {
    for (int round = 0; round < 60; ++round) {
      EditorState original;
      original.createLists();
      randomScore(original, rng, triplets);
      Bytes bytes;
      ASSERT_TRUE(encodeMidiExport(original, 0, -1, "out.mid", bytes).ok());
      EditorState back;
      back.createLists();
      const LoadResult r = importBytes(back, bytes);
      ASSERT_TRUE(r.ok()) << r.message;
      ASSERT_EQ(dump(back), dump(original)) << "round " << round << " triplets " << triplets;
      EXPECT_EQ(r.notice, "") << "nothing was approximated";
    }
  }
}

TEST_F(MidiImport, SmallFilesComeInWithTheirNotesAndANoticeOfWhatWasApproximated) {
  // 96 ticks a quarter: a 64th is 6 ticks.
  struct Case {
    const char* what;
    std::string events;
    const char* part1;
    const char* notice;  // a line the notice holds ("" for none at all)
  };
  std::string eleven = "00 90 3C 40";
  for (int k = 1; k <= 10; ++k) eleven += " 00 " + toHex({static_cast<uint8_t>(0x3C + k), 0x40});
  eleven += " 00 3C 50 60 80 3C 00";  // a unison at the end (running status)
  const std::vector<Case> cases = {
      {"running status, note-on velocity 0 as note-off, a rest",
       "00 90 3C 40 60 3C 00 30 3E 7F 18 3E 00", " 60:16@64 r:8 62:4@127", ""},
      {"the same key struck again before its note-off: the first ends at the second",
       "00 90 3C 40 30 90 3C 50 30 80 3C 00 30 80 3C 00", " 60:8@64 60:16@80",
       "1 個の音符を次の音符か連符の区切りまでの長さに縮めました"},
      {"a chord of eleven pitches keeps the ten highest", eleven,
       " 70.69.68.67.66.65.64.63.62.61:16@80", "1 個の音を、和音が 10 音を超えるため省きました"},
      {"a note-off that ends nothing", "00 80 40 00 00 90 3C 40 60 80 3C 00", " 60:16@64",
       "1 個の対になる音符のない note-off を無視しました"},
  };
  for (const Case& c : cases) {
    EditorState t;
    t.createLists();
    const LoadResult r = importBytes(t, smf(0, 96, {c.events}));
    ASSERT_TRUE(r.ok()) << c.what << ": " << r.message;
    EXPECT_EQ(partLine(t, 0), c.part1) << c.what;
    if (std::string(c.notice).empty()) {
      EXPECT_EQ(r.notice, "") << c.what;
    } else {
      EXPECT_NE(r.notice.find(c.notice), std::string::npos) << c.what << ":\n" << r.notice;
    }
  }
}

TEST_F(MidiImport, MoreThanTenVoicesMergeTheSmallestIntoTheNearestPart) {
  // Twelve voices: channels 1-9 and 16 play two notes, channels 11 and 15
  // one each; those two join the part nearest in pitch. Channel 16 names no
  // part, so the kept voices take parts 1-10 in order.
  std::string events;
  for (int ch : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 14, 15}) {
    const auto key = static_cast<uint8_t>(40 + 3 * ch);
    events += " 00 " + toHex({static_cast<uint8_t>(0x90 + ch), key, 0x40});
    if (ch != 10 && ch != 14) {
      events +=
          " 00 " + toHex({static_cast<uint8_t>(0x90 + ch), static_cast<uint8_t>(key + 1), 0x40});
    }
  }
  events += " 60 FF 01 00";  // the notes last to the end of the track
  const LoadResult r = importBytes(s, smf(0, 96, {events}));
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_NE(r.notice.find("2 個の声部（2 音）を音域の近いパートの和音にまとめました"),
            std::string::npos)
      << r.notice;
  EXPECT_EQ(partLine(s, 0), " 41.40:16@64");
  EXPECT_EQ(partLine(s, 8), " 70.65.64:16@64") << "channel 9 took in channel 11";
  EXPECT_EQ(partLine(s, 10), " 86.85.82:16@64") << "channel 16 took in channel 15";
}

TEST_F(MidiImport, FilesBeyondReadingAreRefusedAndChangeNothing) {
  add(72, 16);
  const std::string before = snapshot(s);
  struct Case {
    const char* what;
    Bytes bytes;
    FileError error;
    const char* says;
  };
  Bytes cut = smf(1, 96, {"00 90 3C 40 60 80 3C 00"});
  cut.resize(cut.size() - 3);
  Bytes manyNotes = smf(0, 96, {""});
  {
    // 250 001 notes with rests between them: 500 002 records.
    std::string events;
    events.reserve(250001 * 12);
    for (int i = 0; i <= 250000; ++i) events += "06 90 3C 40 06 3C 00 ";
    manyNotes = smf(0, 96, {events});
  }
  const std::vector<Case> cases = {
      {"not MIDI", hex("52 49 46 46 00 00 00 04 57 41 56 45"), FileError::WrongKind, "MThd"},
      {"format 2", smf(2, 96, {""}), FileError::WrongKind, "フォーマット 2"},
      {"no ticks per quarter", smf(1, 0, {""}), FileError::BadValue, "分解能"},
      {"a track longer than the file", cut, FileError::Truncated, "チャンクの長さ"},
      {"a data byte before any status", smf(0, 96, {"00 3C 40"}), FileError::WrongKind,
       "ステータスのないデータバイト"},
      {"an undefined status", smf(0, 96, {"00 F4 00"}), FileError::WrongKind, "ステータスバイト"},
      {"no track", hex("4D 54 68 64 00 00 00 06 00 01 00 00 00 60"), FileError::WrongKind, "MTrk"},
      {"more records than a file may hold", manyNotes, FileError::BadValue, "500000"},
  };
  for (const Case& c : cases) {
    const LoadResult r = importBytes(s, c.bytes, "bad.mid");
    EXPECT_EQ(r.error, c.error) << c.what << ": " << r.message;
    EXPECT_NE(r.message.find("bad.mid"), std::string::npos) << c.what << ": " << r.message;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << c.what << ": " << r.message;
    EXPECT_EQ(snapshot(s), before) << c.what;
  }
}

TEST_F(MidiImport, ConvertReadsMidiFilesAndTellsTheNoticeOnStderr) {
  const std::filesystem::path in = std::filesystem::path(MIDI_CORPUS_DIR) / "format1_960_swing.mid";
  std::ostringstream out, err;
  // Other systems write the extension in capitals.
  std::filesystem::copy_file(in, path("SWING.MID"));
  ASSERT_EQ(runConvertCommand({path("SWING.MID"), path("swing.zqf3")}, out, err), kConvertOk)
      << err.str();
  EXPECT_NE(err.str().find("拍子 5/4 は扱えないため 4/4 にしました"), std::string::npos)
      << err.str();
  EditorState back;
  back.createLists();
  ASSERT_TRUE(loadScoreFile(back, path("swing.zqf3"), 0).ok());
  EXPECT_EQ(back.Tempo, 160);
  EXPECT_EQ(partLine(back, 0).substr(0, 23), " {3/16 60:8@90 r:8 62:8");
}

// The files other programs write, each with the import it must give in a
// text file beside it: made by midi_corpus/make_corpus.py (mido), by
// LilyPond from lilypond_384.ly and by MuseScore 3 (`mscore3 -o`) from
// musescore_480.musicxml.
class MidiCorpus : public ::testing::TestWithParam<const char*> {};

TEST_P(MidiCorpus, ImportsAsExpected) {
  const std::filesystem::path dir = MIDI_CORPUS_DIR;
  const std::string name = GetParam();
  EditorState s;
  s.createLists();
  const LoadResult r = importBytes(s, readBytes(dir / (name + ".mid")), name + ".mid");
  ASSERT_TRUE(r.ok()) << r.message;
  const std::string got = dump(s) + "--- notice\n" + r.notice + "\n";
  const std::filesystem::path expected = dir / (name + ".txt");
  std::ifstream in(expected);
  const std::string want((std::istreambuf_iterator<char>(in)), {});
  if (const char* update = std::getenv("KELVARA_UPDATE_GOLDEN"); update && *update == '1') {
    std::ofstream(expected) << got;
    return;
  }
  if (got != want) {
    std::ofstream(expected.string() + ".actual") << got;
    ADD_FAILURE() << name << ": the import differs; compare " << expected << " with " << expected
                  << ".actual (KELVARA_UPDATE_GOLDEN=1 rewrites it)";
  }
}

INSTANTIATE_TEST_SUITE_P(OtherPrograms, MidiCorpus,
                         ::testing::Values("format0_480", "format1_96", "format1_384_pickup",
                                           "format1_960_swing", "lilypond_384", "musescore_480"));

}  // namespace
}  // namespace kelvara::testing
