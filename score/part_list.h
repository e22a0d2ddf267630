#pragma once

#include "score/onpu.h"

namespace kelvara {

// A part list is head (-5), start marker (-7), notes and rests, end marker (-10).

// Creates the three markers of an empty part and returns the head.
TOnpu* createPartSkeleton();

inline TOnpu* startMarkerOf(TOnpu* head) {
  return head->Next;
}
inline TOnpu* firstRecordOf(TOnpu* head) {
  return head->Next->Next;
}
TOnpu* endMarkerOf(TOnpu* head);
inline bool isPartEmpty(TOnpu* head) {
  return isEndMarker(*firstRecordOf(head));
}

// Frees every note and rest of the part and links the start marker to the end
// marker again. Returns the end marker.
TOnpu* clearPart(TOnpu* head);

// Frees the whole list, markers included.
void freePart(TOnpu* head);

}  // namespace kelvara
