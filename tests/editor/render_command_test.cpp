#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/render_command.h"
#include "files/midi_export.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "render/glyph_table.h"
#include "render/page_renderer.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "support/source_glyphs.h"
#include "support/tuplets.h"

namespace kelvara {
namespace {

using testing::makeTuplet;

namespace fs = std::filesystem;

// One part typed into an editor of its own, drawn as the editor draws it, so
// that its page pictures are what the score view would show.
struct TypedPart {
  TypedPart(int32_t keySig, int32_t timeNum, int32_t timeDen)
      : renderer(s, view, testing::sourceGlyphs()), editor(s, renderer, view) {
    s.createLists();
    s.PageNode = endMarkerOf(s.PartHead[0]);
    s.KeySig = keySig;
    s.TimeNum = timeNum;
    s.TimeDen = timeDen;
    renderer.initPicture();
    renderer.PageDraw();
  }

  // Types a note (0: a rest) and moves past it, as a note key and Shift do.
  TOnpu* note(int32_t pitch, int32_t length) { return chord({pitch}, length); }
  TOnpu* chord(std::initializer_list<int32_t> pitches, int32_t length) {
    s.SingleInput = pitches.size() > 1 ? 0 : 1;
    for (int32_t pitch : pitches) {
      editor.InsertOnpu(pitch, length);
      editor.refreshAfterInput();
    }
    TOnpu* typed = s.CurNode[0];
    editor.rightshift();
    s.SingleInput = 1;
    return typed;
  }
  void repeat(int times, int32_t pitch, int32_t length) {
    for (int i = 0; i < times; ++i) note(pitch, length);
  }

  // The score picture with the page of `firstBar` shown, reached with the
  // page buttons from the page shown now.
  QImage page(int32_t firstBar) {
    while (s.PageFirstBar > firstBar) renderer.BitBtn9Click();
    while (s.PageFirstBar < firstBar) renderer.BitBtn10Click();
    EXPECT_EQ(s.PageFirstBar, firstBar);
    return renderer.picture().image().convertToFormat(QImage::Format_Grayscale8);
  }

  EditorState s;
  HeadlessScoreView view;
  PageRenderer renderer;
  ScoreEditor editor;
};

// Copies every record of part 0 of `from` into part `part` of `to`.
void copyPart(const EditorState& from, EditorState& to, int part) {
  TOnpu* end = endMarkerOf(to.PartHead[part]);
  for (const TOnpu* r = firstRecordOf(from.PartHead[0]); !isEndMarker(*r); r = r->Next) {
    auto* copy = new TOnpu(*r);
    linkBefore(end, copy);
  }
  to.CurNode[part] = firstRecordOf(to.PartHead[part]);
}

// Number of pixels in which two greyscale pictures differ; -1 when their
// sizes differ.
int differingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    const uchar* p = a.constScanLine(y);
    const uchar* q = b.constScanLine(y);
    for (int x = 0; x < a.width(); ++x) count += p[x] != q[x];
  }
  return count;
}

// The page of `firstBar` as the editor shows it, cut to the width the page
// itself needs: the editor's picture keeps the width of the widest page it
// has shown, a rendered page has its own.
QImage ownPage(TypedPart& t, int32_t firstBar) {
  const QImage shown = t.page(firstBar);
  int32_t width = 742;
  while (width < t.s.EndX + 80) width += 350;
  EXPECT_LE(width, shown.width());
  return shown.copy(0, 0, width, shown.height());
}

class RenderCommand : public ::testing::Test {
 protected:
  RenderCommand() {
    folder = fs::temp_directory_path() /
             ("kelvara-render-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~RenderCommand() override { fs::remove_all(folder); }

  std::string path(const std::string& name) const { return (folder / name).string(); }

  int render(std::vector<std::string> args, const std::string& glyphFolder = SOURCE_DIR "/onpu") {
    out.str("");
    err.str("");
    return runRenderCommand(args, glyphFolder, out, err);
  }
  QImage rendered(const std::string& name) const {
    return QImage(QString::fromStdString(path(name)), "PNG")
        .convertToFormat(QImage::Format_Grayscale8);
  }

  // Names and contents of every file in the folder.
  std::vector<std::pair<std::string, std::string>> folderContents() const {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream bytes;
      if (entry.is_regular_file()) bytes << in.rdbuf();
      files.emplace_back(entry.path().filename().string(), bytes.str());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  // A part that shows most of what a page can hold, in B flat major and 3/4:
  // accidentals, chords with seconds, a triplet, length marks, sixteenths on
  // the first page (the widest), a note from bar 16 into bar 17, quarter
  // notes on the second page, and a few notes on the third up to bar 35.
  static std::unique_ptr<TypedPart> richPart() {
    auto part = std::make_unique<TypedPart>(9, 3, 4);
    TypedPart& t = *part;
    for (int32_t pitch : {66, 64, 63, 70, 71, 61}) t.note(pitch, 8);
    t.chord({79, 77, 76, 72}, 16);
    t.chord({65, 64, 60}, 16);
    TOnpu* triplet = t.note(67, 8);
    t.note(0, 8);
    t.note(69, 8);
    makeTuplet(t.s, triplet, 3, 16);
    t.renderer.PageDraw();  // as making a tuplet does: the bar position follows
    t.note(62, 16)->LenNum = 1;
    t.note(81, 16)->LenNum = -1;
    t.note(57, 16);
    t.repeat(10 * 12, 74, 4);  // bars 4 to 13
    t.repeat(2 * 3, 0, 16);    // bars 14 and 15
    t.note(60, 96);            // bars 16 and 17
    t.repeat(15 * 3, 69, 16);  // bars 18 to 32
    t.repeat(3 * 3, 72, 16);   // bars 33 to 35
    t.renderer.PageDraw();     // as changing a length mark does
    return part;
  }

  fs::path folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(RenderCommand, WritesThePageHoldingTheBarAsTheEditorShowsIt) {
  std::unique_ptr<TypedPart> typed = richPart();
  ASSERT_TRUE(savedataplus2(typed->s, path("score.zqf3")).ok());

  const std::pair<int, int32_t> bars[] = {{1, 1},   {16, 1},  {17, 17}, {20, 17},
                                          {32, 17}, {34, 33}, {48, 33}};
  QImage firstPage;
  for (const auto& [bar, firstBar] : bars) {
    SCOPED_TRACE("bar " + std::to_string(bar));
    ASSERT_EQ(render({path("score.zqf3"), path("page.png"), "--bar", std::to_string(bar)}), 0)
        << err.str();
    EXPECT_EQ(out.str(), path("page.png") + ": page of bars " + std::to_string(firstBar) + " to " +
                             std::to_string(firstBar + 15) + "\n");
    EXPECT_EQ(differingPixels(rendered("page.png"), ownPage(*typed, firstBar)), 0);
    if (bar == 1) firstPage = rendered("page.png");
  }
  // The comparison tells pages apart; a page after the wide first one is
  // written with its own width, not the widest page's.
  EXPECT_EQ(differingPixels(rendered("page.png"), firstPage), -1);
  EXPECT_LT(rendered("page.png").width(), firstPage.width());
  EXPECT_FALSE(fs::exists(path("page.png.part")));
}

TEST_F(RenderCommand, PartLabelChoosesThePartAndATrackFileIsReadIntoIt) {
  // Pitches and lengths only, as a track file keeps them (no two rests in a
  // row: it merges them into one). The note from bar 32 into bar 33 begins
  // the third page, where its width, which a track file does not keep, is
  // laid out from its length and bar position.
  TypedPart melody(7, 4, 4);
  for (int32_t pitch : {60, 62, 64, 65, 67, 69, 71, 72}) melody.note(pitch, 8);
  melody.chord({72, 67, 64}, 32);
  melody.note(0, 32);
  melody.repeat(29, 59, 64);  // bars 3 to 31
  melody.note(0, 32);
  melody.note(67, 64);
  melody.note(69, 16);
  TypedPart drums(7, 4, 4);
  for (int i = 0; i < 12; ++i) drums.note(35 + i * 3, 4);

  EditorState score;
  score.createLists();
  copyPart(melody.s, score, 1);
  copyPart(drums.s, score, kPercussionPart);
  ASSERT_TRUE(savedataplus2(score, path("two.zqf3")).ok());
  score.PartSelected.fill(0);
  score.PartSelected[1] = 1;
  ASSERT_TRUE(savedataplus(score, path("one.zqf")).ok());

  ASSERT_EQ(render({path("two.zqf3"), path("melody.png"), "--part", "2"}), 0) << err.str();
  EXPECT_EQ(differingPixels(rendered("melody.png"), ownPage(melody, 1)), 0);
  ASSERT_EQ(render({path("two.zqf3"), path("drums.png"), "--part", "perc"}), 0) << err.str();
  EXPECT_EQ(differingPixels(rendered("drums.png"), ownPage(drums, 1)), 0);
  // A .zqf file holds one part, read into the part named.
  for (int32_t bar : {1, 33}) {
    ASSERT_EQ(
        render({path("one.zqf"), path("track.png"), "--part", "10", "--bar", std::to_string(bar)}),
        0)
        << err.str();
    EXPECT_EQ(differingPixels(rendered("track.png"), ownPage(melody, bar)), 0) << "bar " << bar;
  }
  // A MIDI file is read as the load command reads it.
  ASSERT_TRUE(savedataplus3(score, path("one.mid")).ok());
  ASSERT_EQ(render({path("one.mid"), path("midi.png"), "--part", "2"}), 0) << err.str();
  EXPECT_FALSE(rendered("midi.png").isNull());
  // Part 1 of the score is empty: the empty page.
  ASSERT_EQ(render({path("two.zqf3"), path("empty.png")}), 0) << err.str();
  TypedPart empty(7, 4, 4);
  EXPECT_EQ(differingPixels(rendered("empty.png"), ownPage(empty, 1)), 0);
}

TEST_F(RenderCommand, StandardNotationSwitchDrawsThePageAsTheOptionDoes) {
  TypedPart typed(7, 4, 4);
  typed.repeat(8, 66, 16);  // F sharp in two bars: the sharp is drawn again
  ASSERT_TRUE(savedataplus2(typed.s, path("in.zqf3")).ok());
  ASSERT_EQ(render({path("in.zqf3"), path("standard.png"), "--standard-notation"}), 0) << err.str();
  ASSERT_EQ(render({path("in.zqf3"), path("usual.png")}), 0) << err.str();
  EXPECT_GT(differingPixels(rendered("standard.png"), rendered("usual.png")), 0);
  typed.s.StandardNotation = true;
  typed.renderer.PageDraw();
  EXPECT_EQ(differingPixels(rendered("standard.png"), ownPage(typed, 1)), 0);
  EXPECT_EQ(render({path("in.zqf3"), path("x.png"), "--standard-notation=1"}), 2);
  EXPECT_NE(err.str().find("--standard-notation takes no value"), std::string::npos) << err.str();
}

TEST_F(RenderCommand, WrongCommandLinesExitWithTwoAndTouchNoFile) {
  TypedPart typed(7, 4, 4);
  typed.repeat(20, 60, 64);  // bars 1 to 20
  ASSERT_TRUE(savedataplus2(typed.s, path("in.zqf3")).ok());
  std::ofstream(path("old.png")) << "an earlier picture";
  std::ofstream(path("score.txt")) << "not a score";
  const auto before = folderContents();

  const std::string in = path("in.zqf3");
  const std::string old = path("old.png");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {in},
      {in, old, path("extra.png")},
      {in, path("page.jpg")},
      {in, path("page")},
      {in, old, "--part", "11"},
      {in, old, "--part", "0"},
      {in, old, "--part", "percussion"},
      {in, old, "--part"},
      {in, old, "--bar", "0"},
      {in, old, "--bar", "-3"},
      {in, old, "--bar", "2x"},
      {in, old, "--bar"},
      {in, old, "--zoom", "2"},
      {path("score.txt"), old},
      {in, old, "--bar", "33"},  // the part ends in bar 21, on the second page
      {in, old, "--part", "3", "--bar", "17"},
  };
  for (const auto& args : cases) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    SCOPED_TRACE(line);
    EXPECT_EQ(render(args), 2);
    EXPECT_NE(err.str().find("kelvara render: "), std::string::npos);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(folderContents(), before);
  }
  // The last page holds bars the part does not reach.
  EXPECT_EQ(render({in, path("last.png"), "--bar", "32"}), 0) << err.str();
}

TEST_F(RenderCommand, UnreadableInputOrGlyphsExitWithOneAndTouchNoFile) {
  TypedPart typed(7, 4, 4);
  typed.repeat(4, 64, 16);
  ASSERT_TRUE(savedataplus2(typed.s, path("good.zqf3")).ok());
  std::ifstream good(path("good.zqf3"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(good)), std::istreambuf_iterator<char>());
  std::ofstream(path("cut.zqf3"), std::ios::binary) << bytes.substr(0, bytes.size() - 5);
  std::ofstream(path("foreign.zqf2"), std::ios::binary) << "MThd, but not really";
  fs::create_directory(path("folder.zqf3"));
  fs::create_directory(path("taken.png"));  // the output name is a folder
  std::ofstream(path("old.png")) << "an earlier picture";
  const auto before = folderContents();

  const std::string old = path("old.png");
  const std::vector<std::vector<std::string>> inputs = {
      {path("missing.zqf3"), old},
      {path("cut.zqf3"), old},
      {path("foreign.zqf2"), old},
      {path("folder.zqf3"), old},
      {path("good.zqf3"), path("no/such/folder/page.png")},
      {path("good.zqf3"), path("taken.png")},
  };
  for (const auto& args : inputs) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    EXPECT_EQ(render(args), 1);
    EXPECT_NE(err.str().find("kelvara render: "), std::string::npos);
    EXPECT_EQ(folderContents(), before);
  }
  EXPECT_EQ(render({path("good.zqf3"), old}, path("no-glyphs")), 1);
  EXPECT_NE(err.str().find("1bu.bmp"), std::string::npos) << err.str();
  EXPECT_EQ(folderContents(), before);

  // The same command with what it needs replaces the earlier picture.
  ASSERT_EQ(render({path("good.zqf3"), old}), 0) << err.str();
  EXPECT_EQ(differingPixels(rendered("old.png"), ownPage(typed, 1)), 0);
}

}  // namespace
}  // namespace kelvara
