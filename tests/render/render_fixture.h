#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "render/view_overlay.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "support/source_glyphs.h"

namespace kelvara::testing {

// A work part being typed into, drawn as the editor draws it.
class RenderTest : public ::testing::Test {
 protected:
  RenderTest() : renderer(s, view, sourceGlyphs()), editor(s, renderer, view) {
    s.createLists();
    s.PageNode = endMarkerOf(s.PartHead[0]);
    renderer.initPicture();
    renderer.drawStartupFurniture();
  }

  // Types a pitch (0: rest) and moves past it, as the keyboard and Shift do.
  TOnpu* enter(int32_t pitch, int32_t length) {
    editor.InsertOnpu(pitch, length);
    editor.refreshAfterInput();
    TOnpu* r = cur();
    editor.rightshift();
    return r;
  }
  // Adds a pitch to the open chord (chord input).
  void chord(std::initializer_list<int32_t> pitches, int32_t length) {
    s.SingleInput = 0;
    for (int32_t p : pitches) {
      editor.InsertOnpu(p, length);
      editor.refreshAfterInput();
    }
    editor.rightshift();
    s.SingleInput = 1;
  }
  // Sets key and time and redraws the empty page.
  void setSignature(int32_t keySig, int32_t num, int32_t den) {
    s.KeySig = keySig;
    s.TimeNum = num;
    s.TimeDen = den;
    renderer.PageDraw();
  }
  TOnpu* cur() { return s.CurNode[s.WorkPart]; }
  TOnpu* first() { return firstRecordOf(s.PartHead[s.WorkPart]); }

  // The view as the user sees it: the score picture with the inverted marks.
  QImage viewPicture() const {
    QImage rgb = renderer.picture().image().convertToFormat(QImage::Format_RGB32);
    invertLines(rgb, view.invertedLines());
    return rgb;
  }

  EditorState s;
  HeadlessScoreView view;
  PageRenderer renderer;
  ScoreEditor editor;
};

// Compares a picture with tests/render/golden/<name>.png pixel for pixel. On
// a mismatch the picture is written beside it as <name>.actual.png. With
// KELVARA_UPDATE_GOLDEN=1 in the environment the reference is rewritten.
void expectGolden(const std::string& name, const QImage& picture);

}  // namespace kelvara::testing
