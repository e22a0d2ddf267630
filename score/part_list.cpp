#include "score/part_list.h"

namespace kelvara {

TOnpu* createPartSkeleton() {
  TOnpu* head = makeRecord(kListHead, 0, 1);
  head->Width = 0;
  TOnpu* start = makeRecord(kStartMarker, 0, 1);
  start->Width = kStartMarkerWidth;
  TOnpu* end = makeRecord(kEndMarker, 0, 1);
  end->Width = 0;
  head->Next = start;
  start->Prev = head;
  start->Next = end;
  end->Prev = start;
  return head;
}

TOnpu* endMarkerOf(TOnpu* head) {
  TOnpu* r = head;
  while (!isEndMarker(*r)) r = r->Next;
  return r;
}

TOnpu* clearPart(TOnpu* head) {
  TOnpu* start = startMarkerOf(head);
  TOnpu* r = start->Next;
  while (!isEndMarker(*r)) {
    TOnpu* next = r->Next;
    freeRecord(r);
    r = next;
  }
  start->Next = r;
  r->Prev = start;
  return r;
}

void freePart(TOnpu* head) {
  TOnpu* r = head;
  while (r != nullptr && !isEndMarker(*r)) {
    TOnpu* next = r->Next;
    freeRecord(r);
    r = next;
  }
  freeRecord(r);
}

}  // namespace kelvara
