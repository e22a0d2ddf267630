#include "score/clipboard.h"

namespace kelvara {

TOnpu* Copyonpu(TOnpu* dst, const TOnpu* src) {
  *dst = *src;
  dst->Closed = 1;
  return src->Next;
}

void DisposeClip(EditorState& s) {
  if (s.ClipHead == nullptr || s.ClipHead->Closed != 1) return;
  TOnpu* r = s.ClipHead->Next;
  while (r != nullptr && r->Closed == 1) {
    TOnpu* next = r->Next;
    freeRecord(r);
    r = next;
  }
  freeRecord(r);
  s.ClipHead->Next = nullptr;
  s.ClipHead->Closed = 0;
}

}  // namespace kelvara
