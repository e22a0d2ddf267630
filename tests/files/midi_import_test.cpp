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

// The files other programs write (made by midi_corpus/make_corpus.py),
// each with the import it must give in a text file beside it.
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
                                           "format1_960_swing"));

}  // namespace
}  // namespace kelvara::testing
