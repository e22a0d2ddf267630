#pragma once

#include <gtest/gtest.h>

#include <string>

#include "score/bar_math.h"
#include "score/editor_state.h"
#include "score/part_list.h"

namespace kelvara::testing {

// Whether `r` is a record of the part's list, markers included.
inline bool inPart(const EditorState& s, int part, const TOnpu* r) {
  for (const TOnpu* n = s.PartHead[part]; n != nullptr; n = n->Next) {
    if (n == r) return true;
    if (isEndMarker(*n)) break;
  }
  return false;
}

// The part's list is a well-formed chain: head, start marker, notes and
// rests, end marker, with Prev and Next agreeing; the cursor, the page start
// and a selection's ends are records of it; the cursor's bar position equals
// a count from the part's start.
inline ::testing::AssertionResult scoreIntact(const EditorState& s, int part) {
  const TOnpu* head = s.PartHead[part];
  if (head == nullptr || head->Pitch[0] != kListHead) {
    return ::testing::AssertionFailure() << "no list head";
  }
  const TOnpu* start = head->Next;
  if (start == nullptr || start->Pitch[0] != kStartMarker || start->Prev != head) {
    return ::testing::AssertionFailure() << "start marker broken";
  }
  int count = 0;
  const TOnpu* r = start->Next;
  const TOnpu* prev = start;
  int32_t bar = 1;
  int32_t fill = 0;
  bool cursorSeen = false;
  for (; r != nullptr && !isEndMarker(*r); prev = r, r = r->Next) {
    if (r->Prev != prev) return ::testing::AssertionFailure() << "Prev broken at record " << count;
    if (r->Pitch[0] < 0) return ::testing::AssertionFailure() << "marker inside the list";
    if (r->Length < 0) return ::testing::AssertionFailure() << "negative length";
    if (r == s.CurNode[part]) cursorSeen = true;
    if (!cursorSeen) advanceBar(bar, fill, barContribution(*r), s.BarLen());
    if (++count > 10'000'000) return ::testing::AssertionFailure() << "list does not end";
  }
  if (r == nullptr || r->Prev != prev || r->Next != nullptr) {
    return ::testing::AssertionFailure() << "end marker broken";
  }
  if (r == s.CurNode[part]) cursorSeen = true;
  if (!cursorSeen) return ::testing::AssertionFailure() << "cursor not in the list";
  if (s.BarNo[part] != bar || s.BarFill[part] != fill) {
    return ::testing::AssertionFailure() << "bar position " << s.BarNo[part] << "/"
                                         << s.BarFill[part] << ", counted " << bar << "/" << fill;
  }
  if (part == s.WorkPart) {
    if (!inPart(s, part, s.PageNode) || s.PageNode == head || s.PageNode == start) {
      return ::testing::AssertionFailure() << "page start not a record of the part";
    }
    if (s.SelActive && (!inPart(s, part, s.SelAnchorNode) || !inPart(s, part, s.SelEndNode))) {
      return ::testing::AssertionFailure() << "selection end not a record of the part";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kelvara::testing
