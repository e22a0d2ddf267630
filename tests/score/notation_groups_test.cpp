#include "score/notation_groups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "score/bar_math.h"
#include "score/editor_state.h"
#include "score/part_list.h"
#include "support/tuplets.h"

namespace kelvara {
namespace {

// Builds part 0 from tokens: "8" an eighth (length in 64ths) at E4, "8@72"
// at C5, "8@76+60" a chord, "r8" a rest, "(" ... ")16" a tuplet group
// spanning 16.
void buildPart(EditorState& s, const std::string& text) {
  std::istringstream in(text);
  std::string token;
  TOnpu* end = endMarkerOf(s.PartHead[0]);
  TOnpu* tupletFirst = nullptr;
  int tupletCount = 0;
  while (in >> token) {
    if (token == "(") {
      tupletFirst = nullptr;
      tupletCount = 0;
      continue;
    }
    if (token[0] == ')') {
      testing::makeTuplet(tupletFirst, tupletCount, std::stoi(token.substr(1)));
      continue;
    }
    const bool rest = token[0] == 'r';
    const size_t at = token.find('@');
    const int32_t length = std::stoi(token.substr(rest ? 1 : 0, at));
    TOnpu* r = makeRecord(rest ? 0 : 64, length, 1);
    if (at != std::string::npos) {
      std::istringstream pitches(token.substr(at + 1));
      int32_t pitch = 0;
      for (int i = 0; pitches >> pitch; ++i) {
        r->Pitch[i] = pitch;
        r->LastIndex = i;
        pitches.ignore(1);
      }
    }
    linkBefore(end, r);
    if (tupletFirst == nullptr) tupletFirst = r;
    ++tupletCount;
  }
}

std::string valueText(const std::vector<NoteValue>& values) {
  std::string out;
  for (const NoteValue& v : values) {
    if (!out.empty()) out += "~";
    out += std::to_string(v.size) + std::string(static_cast<size_t>(v.dots), '.');
  }
  return out;
}

// The part as standard notation writes it: values (64ths, dots, "~" a tie),
// beam groups in brackets with their stem direction (^ up, v down), "|" at
// every bar line.
std::string notation(int32_t num, int32_t den, const std::string& text) {
  EditorState s;
  s.createLists();
  s.TimeNum = num;
  s.TimeDen = den;
  buildPart(s, text);
  const NotationMeter meter{s.BarLen(), notationBeat(num, den)};
  std::string out;
  int32_t bar = 1;
  int32_t fill = 0;
  for (TOnpu* r = firstRecordOf(s.PartHead[0]); !isEndMarker(*r); r = r->Next) {
    const bool member = r->RenIndex > 0 && r->RenLength > 0;
    const BeamGroup g = beamGroupOf(*r, fill, meter);
    EXPECT_EQ(beamMembersBefore(*r, fill, meter), std::max(g.index, 0)) << text;
    if (!out.empty() && g.index <= 0) out += " ";
    if (g.index > 0) out += " ";
    if (g.index == 0) out += "[";
    if (isRest(*r)) out += "r";
    out += valueText(member ? ownValues(r->Length) : recordValues(*r, fill, meter));
    if (g.index >= 0 && g.index + 1 == static_cast<int>(g.members.size())) {
      out += g.down ? "]v" : "]^";
    }
    const int32_t before = bar;
    advanceBar(bar, fill, barContribution(*r), meter.barLen);
    if (bar != before) out += " |";
  }
  return out;
}

TEST(NotationGroups, DotsAndBeamsByTimeSignature) {
  struct Case {
    int32_t num, den;
    const char* part;
    const char* expected;
  };
  const Case cases[] = {
      // A dotted value stands inside a beat, or, longer, starts on one.
      {4, 4, "24 8 16 16", "16. 8 16 16 |"},
      {4, 4, "8 24 16 16", "8 16~8 16 16 |"},
      {4, 4, "16 24 8 16", "16 16. 8 16 |"},
      {4, 4, "28 4 32", "16.. 4 32 |"},
      {4, 4, "r24 8 32", "r16. 8 32 |"},
      {4, 4, "48 24 8", "32. 16~8 | 8"},
      {4, 4, "32 48", "32 32~16 |"},
      {3, 4, "8 24 16", "8 16~8 16 |"},
      {6, 8, "24 8 8 8", "16. [8 8 8]^ |"},
      {6, 8, "48", "32. |"},
      {6, 8, "28 4 16", "16.~4 4 16 |"},
      {12, 8, "8 8 8 8 8 8 48", "[8 8 8]^ [8 8 8]^ 32. |"},
      // Beams: within the beat, broken at rests and longer notes.
      {4, 4, "8 8 r8 8 4 4 4 4 16", "[8 8]^ r8 8 [4 4 4 4]^ 16 |"},
      {4, 4, "12 4 4 12 32", "[8. 4]^ [4 8.]^ 32 |"},
      {4, 4, "8 16 8 32", "8 16 8 32 |"},
      {2, 2, "8 8 8 8 32", "[8 8 8 8]^ 32 |"},
      {3, 8, "8 8 8 16 8", "[8 8 8]^ | 16 8 |"},
      {5, 8, "8 8 8 8 8", "[8 8]^ [8 8]^ 8 |"},
      // Tuplets beam within their group, never with their neighbours.
      {4, 4, "( 8 8 8 )16 8 8 32", "[8 8 8]^ [8 8]^ 32 |"},
      {4, 4, "( 8 r8 8 )16 48", "8 r8 8 32. |"},
      // One stem direction from the group's average pitch.
      {4, 4, "8@60 8@84 48", "[8 8]v 32. |"},
      {4, 4, "8@60 8@74 48", "[8 8]^ 32. |"},
      {4, 4, "8@76+60 8@62 48", "[8 8]^ 32. |"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(notation(c.num, c.den, c.part), c.expected)
        << c.num << "/" << c.den << ": " << c.part;
  }
}

TEST(NotationGroups, BeamLevelsAndHooks) {
  struct Case {
    std::vector<int32_t> sizes, starts;
    const char* expected;  // per note, one letter a level: B C E f(orward) b(ackward) -
  };
  const Case cases[] = {
      {{8, 8}, {0, 8}, "B--- E---"},
      {{8, 4, 4}, {0, 8, 12}, "B--- CB-- EE--"},
      {{8, 4}, {0, 12}, "B--- Eb--"},
      {{4, 8}, {0, 4}, "Bf-- E---"},
      {{4, 8, 4}, {0, 4, 12}, "Bf-- C--- Eb--"},
      {{2, 2, 4}, {0, 2, 4}, "BBB- CCE- EE--"},
      {{1, 1}, {0, 1}, "BBBB EEEE"},
      {{8}, {0}, "----"},
  };
  for (const Case& c : cases) {
    std::string out;
    for (const BeamLevels& levels : beamLevels(c.sizes, c.starts)) {
      if (!out.empty()) out += " ";
      for (BeamPart part : levels) out += "-BCEfb"[static_cast<int>(part)];
    }
    EXPECT_EQ(out, c.expected) << ::testing::PrintToString(c.sizes);
  }
}

TEST(NotationGroups, Beats) {
  EXPECT_EQ(notationBeat(4, 4), 16);
  EXPECT_EQ(notationBeat(2, 2), 32);
  EXPECT_EQ(notationBeat(6, 8), 24);
  EXPECT_EQ(notationBeat(9, 8), 24);
  EXPECT_EQ(notationBeat(7, 8), 16);
  EXPECT_EQ(notationBeat(4, 0), 16);  // a broken time signature still counts
}

// Lone stems point down from the middle line of each staff of the grand
// staff; a chord follows its head farther from the line, a black key its
// place in the key.
TEST(NotationGroups, LoneStemsFollowTheMiddleLineOfTheirStaff) {
  struct Case {
    std::vector<int32_t> pitches;  // highest first
    int32_t keySig;
    bool down;
  };
  const Case cases[] = {
      {{69}, 7, false},      // A4 under the upper staff's middle line
      {{71}, 7, true},       // B4 on it
      {{70}, 7, false},      // A sharp 4 in C major
      {{70}, 9, true},       // B flat 4 in a key with flats
      {{60}, 7, false},      // middle C
      {{59}, 7, true},       // B3 high on the lower staff
      {{50}, 7, true},       // D3 on its middle line
      {{48}, 7, false},      // C3
      {{72, 64}, 7, false},  // C5 over E4: E4 is farther from the line
      {{77, 69}, 7, true},   // F5 over A4: F5 is
  };
  for (const Case& c : cases) {
    TOnpu r{};
    r.Pitch.fill(-1);
    std::copy(c.pitches.begin(), c.pitches.end(), r.Pitch.begin());
    EXPECT_EQ(standardStemDown(r, c.keySig), c.down) << c.pitches.front() << " key " << c.keySig;
  }
}

}  // namespace
}  // namespace kelvara
