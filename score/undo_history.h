#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "score/editor_state.h"

namespace kelvara {

// Undo and redo of score changes.
//
// A local step covers one run of records of one part: the records strictly
// between two untouched neighbours. It keeps the records themselves, not
// copies, so every record any step points to keeps its identity through any
// sequence of undos and redos; records a command frees while its step is open
// are held by the step instead. Recording a key press copies only the few
// records around the cursor.
//
// A whole-score step (load, new score, score settings) keeps the other
// version of the eleven lists and the score-wide values.
class UndoHistory {
 public:
  static constexpr size_t kMaxSteps = 1000;
  // Records held by steps (not in the score) before the oldest steps go.
  static constexpr size_t kMaxHeldRecords = 2'000'000;

  explicit UndoHistory(EditorState& state);
  ~UndoHistory();
  UndoHistory(const UndoHistory&) = delete;
  UndoHistory& operator=(const UndoHistory&) = delete;

  // Opens a step for a change of `part` that touches only the records from
  // `first` to `last` (inclusive, in list order; either may be the end
  // marker) and inserts records only between them or just before `first`.
  // The step widens itself to whole tuplet groups and a margin on each side.
  // Steps nest: inside an open step (a command calling another) a begin
  // only counts, and the matching commit closes nothing.
  void beginLocal(int part, TOnpu* first, TOnpu* last);
  // As beginLocal, but the change joins the last step when that step is the
  // newest, of the same part, and its run holds `first` to `last` (further
  // pitches of a chord entered key by key are one step with the chord).
  void beginJoined(int part, TOnpu* first, TOnpu* last);
  // Opens a step for the whole score. With listsChange the command is handed
  // fresh copies of the lists, and the step keeps the originals; parts marked
  // in `replaced` (the command fills them anew) get empty lists instead of
  // copies.
  void beginScore(bool listsChange, const PerPart<uint8_t>& replaced = {});
  // Closes the open step (the outermost one); a step that changed nothing is
  // dropped. Returns true when a step was recorded.
  bool commit();
  bool stepOpen() const { return open_.has_value(); }

  bool canUndo() const;
  bool canRedo() const;
  // Takes back the last step (committing an open one first). Returns the
  // part whose cursor it moved, or -1 after a whole-score step; nothing when
  // there was nothing to undo. The caller recounts bar positions and redraws.
  std::optional<int> undo();
  // Does the last undone step again; same result as undo().
  std::optional<int> redo();

  // The record `r` is closed outside any step (its entry finished while
  // steps wait to be done again): the two steps beside the current state
  // take it as closed, so undo and redo come back to it as it is now.
  void noteClosed(const TOnpu* r);
  // Forgets every step and frees what they hold; for changes made outside
  // the history. An open step is committed and dropped with the rest.
  void clear();

  size_t undoCount() const { return done_; }
  size_t redoCount() const { return steps_.size() - done_; }
  size_t heldRecords() const { return held_; }

 private:
  struct Step {
    bool score = false;  // a whole-score step
    int part = 0;
    // Local: the untouched neighbours, the run between them before and after
    // the command (records and their values), and what each side alone holds.
    TOnpu* left = nullptr;
    TOnpu* right = nullptr;
    std::vector<TOnpu*> beforeNodes, afterNodes;
    std::vector<TOnpu> beforeValues, afterValues;
    std::vector<TOnpu*> removed;  // in beforeNodes only: held while done
    std::vector<TOnpu*> created;  // in afterNodes only: held while undone
    // Whole score: the lists and values not in the score now.
    PerPart<TOnpu*> otherHeads{};
    PerPart<TOnpu*> otherCursors{};
    ScoreValues otherValues;
    size_t otherRecords = 0;
    // Cursor of the part before and after the command.
    TOnpu* cursorBefore = nullptr;
    TOnpu* cursorAfter = nullptr;
    int workPartBefore = 0;
    int workPartAfter = 0;
  };
  struct Open {
    Step step;
    ScoreValues valuesBefore;
  };

  void push(Step&& step);
  void dropOldest();
  void dropRedo();
  void freeStep(Step& step, bool asDone);
  void applyLocal(Step& step, bool forward);
  void applyScore(Step& step);
  void dropSelection();
  void commitAll();

  EditorState& s_;
  std::deque<Step> steps_;  // oldest first; steps_[done_..] are undone
  size_t done_ = 0;
  size_t held_ = 0;
  int depth_ = 0;
  std::optional<Open> open_;
  std::vector<TOnpu*> freed_;  // records freed while a step is open
};

}  // namespace kelvara
