#include "score/undo_history.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "score/part_list.h"

namespace kelvara {

namespace {

// Records on each side of a local step's run that it copies besides the ones
// the command names, so a command that looks one record further (the record
// before the cursor, the next one) stays inside its step.
constexpr int kMargin = 2;

bool isStartSide(const TOnpu& r) {
  return r.Pitch[0] == kListHead || r.Pitch[0] == kStartMarker;
}

// Every field but the links.
bool sameValues(const TOnpu& a, const TOnpu& b) {
  return a.Pitch == b.Pitch && a.LastIndex == b.LastIndex && a.Length == b.Length &&
         a.AccDelta == b.AccDelta && a.Velocity == b.Velocity && a.LenNum == b.LenNum &&
         a.LenDen == b.LenDen && a.YoinType == b.YoinType && a.YoinStartNum == b.YoinStartNum &&
         a.YoinStartDen == b.YoinStartDen && a.YoinAmount == b.YoinAmount &&
         a.YoinPeriod == b.YoinPeriod && a.RenIndex == b.RenIndex && a.RenCount == b.RenCount &&
         a.RenLength == b.RenLength && a.Closed == b.Closed;
}

void setValues(TOnpu& dst, const TOnpu& src) {
  TOnpu* prev = dst.Prev;
  TOnpu* next = dst.Next;
  dst = src;
  dst.Prev = prev;
  dst.Next = next;
}

// Copies the list of head, mapping `cursor` to its copy.
TOnpu* cloneList(const TOnpu* head, const TOnpu* cursor, TOnpu*& cursorCopy, size_t& count) {
  TOnpu* copyHead = nullptr;
  TOnpu* last = nullptr;
  cursorCopy = nullptr;
  for (const TOnpu* r = head; r != nullptr; r = r->Next) {
    auto* c = new TOnpu(*r);
    c->Prev = last;
    c->Next = nullptr;
    if (last != nullptr) {
      last->Next = c;
    } else {
      copyHead = c;
    }
    last = c;
    if (r == cursor) cursorCopy = c;
    ++count;
  }
  if (cursorCopy == nullptr && last != nullptr) cursorCopy = last;
  return copyHead;
}

// A set of records for membership tests: runs are short, so a sorted vector.
class SortedRecords {
 public:
  explicit SortedRecords(const std::vector<TOnpu*>& records) : v_(records) {
    std::sort(v_.begin(), v_.end());
  }
  size_t count(TOnpu* r) const { return std::binary_search(v_.begin(), v_.end(), r) ? 1 : 0; }

 private:
  std::vector<TOnpu*> v_;
};

size_t countList(const TOnpu* head) {
  size_t n = 0;
  for (const TOnpu* r = head; r != nullptr; r = r->Next) ++n;
  return n;
}

}  // namespace

UndoHistory::UndoHistory(EditorState& state) : s_(state) {}

UndoHistory::~UndoHistory() {
  clear();
}

void UndoHistory::beginLocal(int part, TOnpu* first, TOnpu* last) {
  if (depth_ > 0) {
    ++depth_;  // inside another command's step
    return;
  }
  ++depth_;
  if (part < 0 || part >= kPartCount || first == nullptr || last == nullptr) return;

  TOnpu* left = isStartSide(*first) ? first : first->Prev;
  for (int i = 0; i < kMargin && !isStartSide(*left); ++i) left = left->Prev;
  while (!isStartSide(*left) && left->RenIndex > 0) left = left->Prev;

  TOnpu* right = last;
  if (!isEndMarker(*right)) {
    right = right->Next;
    for (int i = 0; i < kMargin && !isEndMarker(*right); ++i) right = right->Next;
    while (!isEndMarker(*right) && right->RenIndex > 0) right = right->Next;
  }

  Open o;
  Step& st = o.step;
  st.part = part;
  st.left = left;
  st.right = right;
  for (TOnpu* r = left->Next; r != right; r = r->Next) {
    st.beforeNodes.push_back(r);
    st.beforeValues.push_back(*r);
  }
  st.cursorBefore = s_.CurNode[part];
  st.workPartBefore = s_.WorkPart;
  open_ = std::move(o);
  setFreedRecordSink(&freed_);
}

void UndoHistory::beginJoined(int part, TOnpu* first, TOnpu* last) {
  if (depth_ > 0) {
    ++depth_;
    return;
  }
  const bool joinable = done_ > 0 && done_ == steps_.size() && !steps_.back().score &&
                        steps_.back().part == part && first != nullptr && last != nullptr;
  if (joinable) {
    Step& top = steps_.back();
    const auto inRun = [&](TOnpu* r) {
      return r == top.right ||
             std::find(top.afterNodes.begin(), top.afterNodes.end(), r) != top.afterNodes.end();
    };
    if (inRun(first) && inRun(last)) {
      Open o;
      o.step = std::move(top);
      steps_.pop_back();
      --done_;
      Step& st = o.step;
      // What the step removed counts as freed by the joined command.
      held_ -= std::min(held_, st.removed.size());
      freed_ = std::move(st.removed);
      st.removed.clear();
      st.created.clear();
      st.afterNodes.clear();
      st.afterValues.clear();
      open_ = std::move(o);
      setFreedRecordSink(&freed_);
      ++depth_;
      return;
    }
  }
  beginLocal(part, first, last);
}

void UndoHistory::beginScore(bool listsChange, const PerPart<uint8_t>& replaced) {
  if (depth_ > 0) {
    ++depth_;
    return;
  }
  ++depth_;
  Open o;
  Step& st = o.step;
  st.score = true;
  st.part = -1;
  st.workPartBefore = s_.WorkPart;
  o.valuesBefore = s_;
  if (listsChange) {
    // The command works on copies; the originals stay untouched with the step.
    for (int p = 0; p < kPartCount; ++p) {
      st.otherHeads[p] = s_.PartHead[p];
      st.otherCursors[p] = s_.CurNode[p];
      if (replaced[p]) {
        st.otherRecords += countList(st.otherHeads[p]);
        s_.PartHead[p] = createPartSkeleton();
        s_.CurNode[p] = endMarkerOf(s_.PartHead[p]);
      } else {
        TOnpu* cursorCopy = nullptr;
        s_.PartHead[p] = cloneList(st.otherHeads[p], s_.CurNode[p], cursorCopy, st.otherRecords);
        s_.CurNode[p] = cursorCopy;
      }
      s_.PageEndNode[p] = nullptr;
    }
    s_.PageNode = s_.CurNode[s_.WorkPart];
    s_.SelActive = 0;
    s_.SelAnchorNode = nullptr;
    s_.SelEndNode = nullptr;
  }
  open_ = std::move(o);
}

bool UndoHistory::commit() {
  if (depth_ == 0) return false;
  if (--depth_ > 0) return false;
  if (!open_) return false;
  setFreedRecordSink(nullptr);
  Open o = std::move(*open_);
  open_.reset();
  Step& st = o.step;
  st.workPartAfter = s_.WorkPart;

  if (st.score) {
    const ScoreValues& after = s_;
    const bool listsHeld = st.otherHeads[0] != nullptr;
    if (!listsHeld && after == o.valuesBefore) return false;
    st.otherValues = o.valuesBefore;
    push(std::move(st));
    return true;
  }

  // Local: read the run between the neighbours again.
  bool intact = true;
  for (TOnpu* r = st.left->Next; r != st.right; r = r->Next) {
    if (r == nullptr) {
      intact = false;
      break;
    }
    st.afterNodes.push_back(r);
    st.afterValues.push_back(*r);
  }
  st.cursorAfter = s_.CurNode[st.part];

  const SortedRecords before(st.beforeNodes);
  const SortedRecords after(st.afterNodes);
  std::vector<TOnpu*> freed = std::move(freed_);
  freed_.clear();
  const SortedRecords freedSet(freed);
  if (intact) {
    for (TOnpu* r : st.beforeNodes) {
      if (after.count(r)) continue;
      // A record that left the run without being freed lives on elsewhere;
      // the step cannot hold it.
      if (!freedSet.count(r)) intact = false;
      st.removed.push_back(r);
    }
  }
  // Records freed by the command that were never part of the run (the old
  // clipboard, records made and dropped within the command) go for good.
  for (TOnpu* r : freed) {
    if (!before.count(r) || !intact) delete r;
  }
  if (!intact) {
    // The command reached past its run: the steps no longer describe the
    // score, so none of them can be trusted.
    assert(!"an undo step's run was left by its command");
    clear();
    return false;
  }

  bool changed = st.beforeNodes != st.afterNodes;
  for (size_t i = 0; !changed && i < st.beforeNodes.size(); ++i) {
    changed = !sameValues(st.beforeValues[i], st.afterValues[i]);
  }
  if (!changed) return false;

  for (TOnpu* r : st.afterNodes) {
    if (!before.count(r)) st.created.push_back(r);
  }
  push(std::move(st));
  return true;
}

void UndoHistory::noteClosed(const TOnpu* r) {
  const auto patch = [r](const std::vector<TOnpu*>& nodes, std::vector<TOnpu>& values) {
    for (size_t i = 0; i < nodes.size() && i < values.size(); ++i) {
      if (nodes[i] == r) values[i].Closed = 1;
    }
  };
  if (done_ > 0 && !steps_[done_ - 1].score) {
    patch(steps_[done_ - 1].afterNodes, steps_[done_ - 1].afterValues);
  }
  if (done_ < steps_.size() && !steps_[done_].score) {
    patch(steps_[done_].beforeNodes, steps_[done_].beforeValues);
  }
}

void UndoHistory::push(Step&& step) {
  dropRedo();
  held_ += step.score ? step.otherRecords : step.removed.size();
  steps_.push_back(std::move(step));
  done_ = steps_.size();
  while (steps_.size() > 1 && (steps_.size() > kMaxSteps || held_ > kMaxHeldRecords)) {
    dropOldest();
  }
}

void UndoHistory::dropOldest() {
  freeStep(steps_.front(), true);
  steps_.pop_front();
  --done_;
}

void UndoHistory::dropRedo() {
  // Newest first: a later step may hold records of an earlier one's lists.
  while (steps_.size() > done_) {
    freeStep(steps_.back(), false);
    steps_.pop_back();
  }
}

void UndoHistory::freeStep(Step& step, bool asDone) {
  if (step.score) {
    for (TOnpu*& head : step.otherHeads) {
      if (head != nullptr) freePart(head);
      head = nullptr;
    }
    held_ -= std::min(held_, step.otherRecords);
    return;
  }
  // A done step holds what the command removed; an undone one what it made.
  for (TOnpu* r : asDone ? step.removed : step.created) delete r;
  held_ -= std::min(held_, asDone ? step.removed.size() : step.created.size());
  step.removed.clear();
  step.created.clear();
}

bool UndoHistory::canUndo() const {
  return done_ > 0 || open_.has_value();
}

bool UndoHistory::canRedo() const {
  return !open_ && done_ < steps_.size();
}

std::optional<int> UndoHistory::undo() {
  commitAll();
  if (done_ == 0) return std::nullopt;
  Step& st = steps_[done_ - 1];
  --done_;
  if (st.score) {
    applyScore(st);
    s_.WorkPart = st.workPartBefore;
    return -1;
  }
  applyLocal(st, false);
  held_ += st.created.size();
  held_ -= std::min(held_, st.removed.size());
  return st.part;
}

std::optional<int> UndoHistory::redo() {
  commitAll();
  if (done_ >= steps_.size()) return std::nullopt;
  Step& st = steps_[done_];
  ++done_;
  if (st.score) {
    applyScore(st);
    s_.WorkPart = st.workPartAfter;
    return -1;
  }
  applyLocal(st, true);
  held_ += st.removed.size();
  held_ -= std::min(held_, st.created.size());
  return st.part;
}

void UndoHistory::applyLocal(Step& st, bool forward) {
  const auto& nodes = forward ? st.afterNodes : st.beforeNodes;
  const auto& values = forward ? st.afterValues : st.beforeValues;
  TOnpu* prev = st.left;
  for (size_t i = 0; i < nodes.size(); ++i) {
    TOnpu* r = nodes[i];
    setValues(*r, values[i]);
    prev->Next = r;
    r->Prev = prev;
    prev = r;
  }
  prev->Next = st.right;
  st.right->Prev = prev;
  s_.CurNode[st.part] = forward ? st.cursorAfter : st.cursorBefore;
  s_.WorkPart = forward ? st.workPartAfter : st.workPartBefore;
  s_.PageNode = s_.CurNode[s_.WorkPart];
  s_.PageEndNode[st.part] = nullptr;
  dropSelection();
}

void UndoHistory::applyScore(Step& st) {
  std::swap(static_cast<ScoreValues&>(s_), st.otherValues);
  if (st.otherHeads[0] != nullptr) {
    size_t current = 0;
    for (int p = 0; p < kPartCount; ++p) {
      current += countList(s_.PartHead[p]);
      std::swap(s_.PartHead[p], st.otherHeads[p]);
      std::swap(s_.CurNode[p], st.otherCursors[p]);
      s_.PageEndNode[p] = nullptr;
    }
    held_ -= std::min(held_, st.otherRecords);
    held_ += current;
    st.otherRecords = current;
  }
  s_.PageNode = s_.CurNode[s_.WorkPart];
  dropSelection();
}

void UndoHistory::dropSelection() {
  s_.SelActive = 0;
  s_.SelAnchorNode = nullptr;
  s_.SelEndNode = nullptr;
}

void UndoHistory::commitAll() {
  if (depth_ > 0) {
    depth_ = 1;
    commit();
  }
}

void UndoHistory::clear() {
  commitAll();
  dropRedo();
  while (!steps_.empty()) dropOldest();
  held_ = 0;
}

}  // namespace kelvara
