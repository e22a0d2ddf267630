// Held keys as the window systems deliver them: repeats marked, unmarked
// release and press pairs of one time, and real releases.
#include <gtest/gtest.h>

#include "input/key_repeat.h"

namespace kelvara {
namespace {

constexpr int kC = 67;
constexpr int kV = 86;

KeyStroke stroke(bool press, int key) {
  KeyStroke k;
  k.press = press;
  k.key = key;
  return k;
}

// What reaches the key handler, written "+C" (press), "*C" (repeated press), "-C".
std::string seen(const std::vector<KeyStroke>& strokes) {
  std::string out;
  for (const KeyStroke& k : strokes) {
    out += k.press ? (k.repeat ? '*' : '+') : '-';
    out += static_cast<char>(k.key);
  }
  return out;
}

TEST(KeyRepeat, UnmarkedPairOfOneTimeIsARepeatAndTheLastReleaseGoesThrough) {
  KeyRepeatFilter f;
  std::string all = seen(f.take(stroke(true, kC), 100, false));
  for (uint64_t t = 700; t < 900; t += 40) {
    all += seen(f.take(stroke(false, kC), t, false));
    EXPECT_TRUE(f.holdingRelease());
    all += seen(f.take(stroke(true, kC), t, false));
    EXPECT_FALSE(f.holdingRelease());
  }
  all += seen(f.take(stroke(false, kC), 950, false));
  EXPECT_EQ(all, "+C*C*C*C*C*C") << "the release is held back";
  ASSERT_TRUE(f.flush().has_value());
  EXPECT_FALSE(f.flush().has_value()) << "given once";
}

TEST(KeyRepeat, MarkedRepeatsPassAsRepeatsAndTheirReleasesAreDropped) {
  KeyRepeatFilter f;
  std::string all = seen(f.take(stroke(true, kC), 100, false));
  all += seen(f.take(stroke(false, kC), 700, true));
  all += seen(f.take(stroke(true, kC), 700, true));
  EXPECT_EQ(all, "+C*C");
  EXPECT_FALSE(f.holdingRelease());
}

TEST(KeyRepeat, AReleaseGoesAheadOfAnyOtherEventInOrder) {
  KeyRepeatFilter f;
  f.take(stroke(true, kC), 100, false);
  EXPECT_EQ(seen(f.take(stroke(false, kC), 200, false)), "");
  // Another key at the same time, or the same key later, is no repeat.
  EXPECT_EQ(seen(f.take(stroke(true, kV), 200, false)), "-C+V");
  EXPECT_EQ(seen(f.take(stroke(false, kV), 300, false)), "");
  EXPECT_EQ(seen(f.take(stroke(true, kV), 301, false)), "-V+V");
  EXPECT_EQ(seen(f.take(stroke(false, kV), 400, false)), "");
  EXPECT_EQ(seen(f.take(stroke(false, kC), 400, false)), "-V") << "a stray release waits too";
  EXPECT_EQ(f.flush()->key, kC);

  // Events without a time (0) are never taken for a repeat.
  EXPECT_EQ(seen(f.take(stroke(false, kC), 0, false)), "");
  EXPECT_EQ(seen(f.take(stroke(true, kC), 0, false)), "-C+C");
}

}  // namespace
}  // namespace kelvara
