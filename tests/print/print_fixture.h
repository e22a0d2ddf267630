#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <initializer_list>
#include <string>

#include "render/page_renderer.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "support/source_glyphs.h"

namespace kelvara::testing {

// A score whose parts are filled record by record, with the editor's own
// renderer and view as the editor window holds them.
class PrintTest : public ::testing::Test {
 protected:
  PrintTest() : renderer(s, view, sourceGlyphs()) {
    s.createLists();
    s.PageNode = endMarkerOf(s.PartHead[0]);
    renderer.initPicture();
    renderer.PageDraw();
  }

  // Appends a record to `part`: a note of `pitch` (0: a rest) lasting `length` 64ths.
  TOnpu* add(int part, int32_t pitch, int32_t length) {
    TOnpu* r = makeRecord(pitch, length, 1);
    linkBefore(endMarkerOf(s.PartHead[part]), r);
    return r;
  }
  // Appends `bars` bars of four quarter notes, each bar a step higher.
  void quarterBars(int part, int bars, int32_t lowest = 60) {
    for (int b = 0; b < bars; ++b) {
      for (int q = 0; q < 4; ++q) add(part, lowest + (b + q) % 12, 16);
    }
  }
  // Puts the cursor of the work part at its start and draws its page as the
  // editor does after a load.
  void showPart(int part) {
    s.WorkPart = part;
    s.CurNode[part] = firstRecordOf(s.PartHead[part]);
    s.BarNo[part] = 1;
    s.BarFill[part] = 0;
    s.CursorX[part] = kMusicLeft;
    renderer.PageDraw();
  }

  EditorState s;
  HeadlessScoreView view;
  PageRenderer renderer;
};

// Compares a picture with tests/print/golden/<name>.png pixel for pixel. On
// a mismatch the picture is written beside it as <name>.actual.png. With
// KELVARA_UPDATE_GOLDEN=1 in the environment the reference is rewritten.
void expectGolden(const std::string& name, const QImage& picture);

// Number of pixels of `picture` inside `area` that are not white.
int inkIn(const QImage& picture, const QRect& area);

}  // namespace kelvara::testing
