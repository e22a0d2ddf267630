#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "score/onpu.h"

namespace kelvara {

constexpr int kPartCount = 11;
constexpr int kPercussionPart = 9;  // always sounds on MIDI channel 10
constexpr int kPadCount = 12;
constexpr int kMappedKeys = 23;

// x in pixels where the first column of a page begins.
constexpr int32_t kMusicLeft = 210;
// Height of the score picture; the cursor mark spans y 0..383.
constexpr int32_t kScoreHeight = 384;

class UndoHistory;

template <typename T>
using PerPart = std::array<T, kPartCount>;

// The score-wide values a score file keeps beside the records, and the file
// the score came from. A whole-score undo step brings them back together; a
// load starts from the editor's values where the file is silent.
struct ScoreValues {
  int32_t TimeNum = 4;
  int32_t TimeDen = 4;
  int32_t KeySig = 7;  // 7 - KeySig sharps (negative: flats)
  uint8_t Major = 1;
  int32_t Tempo = 120;
  PerPart<int32_t> PartProgram{};
  PerPart<int32_t> PartVolume{};
  PerPart<int32_t> PartPan{};  // 0..20, 10 = centre
  std::string FileName;

  bool operator==(const ScoreValues&) const = default;
};

// Where each part's cursor stands and which page of the work part the view
// shows: everything that drawing a page changes, so drawing pages for print
// keeps a copy and puts it back whole.
struct PageView {
  int32_t WorkPart = 0;
  PerPart<TOnpu*> CurNode{};
  PerPart<int32_t> CursorX{};                // x of the left edge of CurNode on the page picture
  PerPart<int32_t> BarNo{};                  // bar (from 1) in which CurNode begins
  PerPart<int32_t> BarFill{};                // 64ths of that bar before CurNode
  std::array<int32_t, kLetters> AccState{};  // -1 flat, 0 natural, 1 sharp
  uint8_t CursorOff = 1;                     // 1: the cursor mark is not drawn
  uint8_t Busy = 0;                          // 1 while a command or a redraw runs

  int32_t BarsPerPage = 16;
  int32_t PageFirstBar = 1;
  int32_t PageBar = 1;
  TOnpu* PageNode = nullptr;
  int32_t PageFill = 0;
  int32_t PageX = kMusicLeft;
  int32_t EndX = 300;
  PerPart<TOnpu*> PageEndNode{};
  int32_t LastBarLineX = 0;
};

// The selection: an anchor and a moving end, each a record, an x and the
// first bar of the page on which it was set.
struct Selection {
  uint8_t SelActive = 0;
  TOnpu* SelAnchorNode = nullptr;
  int32_t SelAnchorX = 0;
  int32_t SelAnchorPage = 1;
  TOnpu* SelEndNode = nullptr;
  int32_t SelEndX = 0;
  int32_t SelEndPage = 1;
  uint8_t MouseHeld = 0;
};

// How keys become notes: the input length and modes, each part's keyboard
// position, the keys held down and the keyboard's octave slide.
struct KeyboardInput {
  int32_t InputUnit = 8;
  uint8_t SingleInput = 1;
  uint8_t InsertMode = 1;
  PerPart<int32_t> PartBaseKey{};
  std::array<uint8_t, kMappedKeys> KeyHeld{};
  int32_t SlideStep = 0;  // step of the keyboard animation, one a Timer1 tick
  int32_t UpDownAction = 1;
  // Selected item of each percussion pad list; item i is drum key 35 + i.
  std::array<int32_t, kPadCount> PadChoice{};
};

// The whole editor state, under the names every subsystem uses for it, in
// named parts. One instance is owned by the editor; it owns the part lists
// and the clipboard list and frees them when released or destroyed.
struct EditorState : ScoreValues, PageView, Selection, KeyboardInput {
  EditorState();
  ~EditorState();
  EditorState(const EditorState&) = delete;
  EditorState& operator=(const EditorState&) = delete;

  // Creates the eleven part skeletons and the clipboard head (once).
  void createLists();
  // Frees every record of every part and the clipboard. Safe to call twice.
  void releaseLists();

  // Length of one bar in 64ths, trunc(TimeNum * 64 / TimeDen); never below 1
  // so that the bar carry loops always end.
  int32_t BarLen() const;

  // Counts BarNo and BarFill of `part` again from the part's start up to its
  // CurNode. The page redraw finds its page from the cursor's bar position, so
  // a command that changes the bar length or the lengths before the cursor
  // calls this before redrawing.
  void recountBarPosition(int part);

  // The records: each part's list and the clipboard.
  PerPart<TOnpu*> PartHead{};
  TOnpu* ClipHead = nullptr;
  uint8_t ClipCopied = 0;
  // Parts the save, preview and output commands take.
  PerPart<uint8_t> PartSelected{};

  int32_t MidiDevice = 0;
  int32_t BlinkCursor = 1;
  // Draw standard notation (dots, beams, accidentals that end at the bar line,
  // a drum staff) inside the same cells instead of the usual drawing.
  bool StandardNotation = false;
  int32_t CursorPage = 1;  // first bar of the page the cursor mark was last drawn on

  // The history commands record their changes in; null where none is kept
  // (the command-line modes, most tests).
  UndoHistory* Undo = nullptr;

  // Printing and picture export.
  int32_t PrintBarsPerLine = 3;
  int32_t PrintLinesPerPage = 5;

  // True while the score holds changes that no whole-score save has kept.
  // Every command that changes what such a save writes (records, score
  // settings, part voices) calls markChanged(); saving the whole score,
  // loading and starting a new score clear it.
  bool Modified = false;
  // Counts markChanged() calls, so a watcher sees every change, even one
  // made while Modified was already set (the recovery copy follows it).
  uint64_t ChangeCount = 0;
  // Told after every markChanged() and markSaved(): the window's caption
  // follows the unsaved mark at once. May be empty.
  std::function<void()> OnModifiedChange;
  void markChanged() {
    Modified = true;
    ++ChangeCount;
    if (OnModifiedChange) OnModifiedChange();
  }
  // The score as it stands is kept in a whole-score file (or it is new).
  void markSaved() {
    Modified = false;
    if (OnModifiedChange) OnModifiedChange();
  }
};

// The work-part list shows "10パート" before "パーカッション": item 9 is part 10
// and item 10 is part 9. The mapping is its own inverse.
constexpr int partForListItem(int item) {
  return item == 9 ? 10 : item == 10 ? kPercussionPart : item;
}
constexpr int listItemForPart(int part) {
  return partForListItem(part);
}

// The label users see for a part: " 1パート" .. " 9パート", "10パート", "パーカッション".
std::string partLabel(int part);

// The part of a label as users type it on the command line: 1 to 10 for the
// melodic parts (10 is part index 10), "perc" for the percussion part.
std::optional<int> partFromUserLabel(const std::string& label);

// Octave number shown under the on-screen keyboard: round(base / 12 - 1),
// halves to the even neighbour.
int octaveNumber(int32_t baseKey);
// The text of the octave label under the on-screen keyboard.
std::string octaveLabelText(int32_t baseKey);

}  // namespace kelvara
