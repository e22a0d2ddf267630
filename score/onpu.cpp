#include "score/onpu.h"

namespace kelvara {

void initRecord(TOnpu& r, int32_t pitch, int32_t length, uint8_t closed) {
  r.Pitch.fill(kEmptySlot);
  r.Pitch[0] = pitch;
  r.LastIndex = 0;
  r.Width = kCellWidth;
  r.Length = length;
  r.AccDelta.fill(0);
  r.Velocity = 100;
  r.LenNum = 0;
  r.LenDen = 4;
  r.YoinType = 0;
  r.YoinStartNum = 0;
  r.YoinStartDen = 4;
  r.YoinAmount = 0;
  r.YoinPeriod = 4;
  r.RenIndex = 0;
  r.RenCount = 4;
  r.RenLength = 0;
  r.Prev = nullptr;
  r.Next = nullptr;
  r.Closed = closed;
}

TOnpu* makeRecord(int32_t pitch, int32_t length, uint8_t closed) {
  auto* r = new TOnpu;
  initRecord(*r, pitch, length, closed);
  return r;
}

namespace {
thread_local std::vector<TOnpu*>* freedRecordSink = nullptr;
}  // namespace

void freeRecord(TOnpu* r) {
  if (freedRecordSink != nullptr && r != nullptr) {
    freedRecordSink->push_back(r);
    return;
  }
  delete r;
}

void setFreedRecordSink(std::vector<TOnpu*>* sink) {
  freedRecordSink = sink;
}

void linkBefore(TOnpu* x, TOnpu* rec) {
  rec->Prev = x->Prev;
  rec->Next = x;
  x->Prev = rec;
  rec->Prev->Next = rec;
}

void linkAfter(TOnpu* x, TOnpu* rec) {
  linkBefore(x->Next, rec);
}

void unlinkRecord(TOnpu* x) {
  x->Next->Prev = x->Prev;
  x->Prev->Next = x->Next;
}

int32_t barContribution(const TOnpu& r) {
  if (r.RenIndex < 1) return r.Length;
  if (r.RenIndex == r.RenCount) return r.RenLength;
  return 0;
}

void clearTuplet(TOnpu& r) {
  r.RenLength = 0;
  r.RenIndex = 0;
  r.RenCount = 4;
}

bool followsInGroup(const TOnpu& prev, const TOnpu& r) {
  return r.RenIndex > 1 && prev.RenIndex == r.RenIndex - 1 && prev.RenCount == r.RenCount &&
         prev.RenLength == r.RenLength;
}

TOnpu* tupletStart(TOnpu* r) {
  while (r->Prev != nullptr && followsInGroup(*r->Prev, *r)) r = r->Prev;
  return r;
}

TOnpu* clearTupletFrom(TOnpu* r) {
  TOnpu* next = r->Next;
  while (next != nullptr && followsInGroup(*r, *next)) {
    clearTuplet(*r);
    r = next;
    next = r->Next;
  }
  clearTuplet(*r);
  return next;
}

void dissolveTuplet(TOnpu* r) {
  if (r->RenIndex < 1) return;
  clearTupletFrom(tupletStart(r));
}

}  // namespace kelvara
