// A picture wider than the memory there is: an error the caller can report,
// never a copy into a picture that was not made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "render/score_picture.h"

namespace kelvara {
namespace {

// Under AddressSanitizer a failed allocation ends the process unless it is
// told to return null as the system allocator does; the ctest entry
// ScorePictureMemory.NoMemory runs this with that option.
bool allocationsCanFail() {
#if defined(__SANITIZE_ADDRESS__)
  const char* options = std::getenv("ASAN_OPTIONS");
  return options != nullptr &&
         std::string(options).find("allocator_may_return_null=1") != std::string::npos;
#else
  return true;
#endif
}

TEST(ScorePictureMemory, WideningBeyondMemoryKeepsThePictureAndSaysSo) {
  if (!allocationsCanFail()) GTEST_SKIP() << "run through ctest -R ScorePictureMemory.NoMemory";
  ScorePicture picture;
  picture.reset(QImage());
  ASSERT_TRUE(picture.setWidth(1050));
  picture.line(0, 0, 100, 0);
  EXPECT_FALSE(picture.allocationFailed());
  // About 770 GB.
  EXPECT_FALSE(picture.setWidth(2000000000));
  EXPECT_TRUE(picture.allocationFailed());
  EXPECT_EQ(picture.width(), 1050);
  EXPECT_EQ(picture.image().pixelColor(50, 0).value(), 0);
  picture.clearAllocationFailure();
  EXPECT_TRUE(picture.setWidth(1400));
  EXPECT_FALSE(picture.allocationFailed());
}

}  // namespace
}  // namespace kelvara
