#include <filesystem>

#include "render_fixture.h"
#include "support/golden_picture.h"

namespace kelvara::testing {

void expectGolden(const std::string& name, const QImage& picture) {
  expectGoldenIn(std::filesystem::path(SOURCE_DIR) / "tests" / "render" / "golden", name, picture);
}

}  // namespace kelvara::testing
