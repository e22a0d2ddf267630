#pragma once

#include <gtest/gtest.h>

#include <string>

#include "render/glyph_table.h"

namespace kelvara::testing {

// The glyph pictures of the source tree, loaded once for all tests.
inline const GlyphTable& sourceGlyphs() {
  static const GlyphTable table = [] {
    GlyphTable t;
    const std::string error = t.load(SOURCE_DIR "/onpu");
    if (!error.empty()) ADD_FAILURE() << error;
    return t;
  }();
  return table;
}

}  // namespace kelvara::testing
