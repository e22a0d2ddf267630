#pragma once

#include "score/editor_state.h"

namespace kelvara {

// Copies every field of src into dst but its Next link, which becomes
// src->Next; dst is closed. Returns src->Next.
TOnpu* Copyonpu(TOnpu* dst, const TOnpu* src);

// Empties the clipboard list. Its records are chained through Next, the last
// one has Closed = 0; ClipHead->Closed tells whether any are there.
void DisposeClip(EditorState& s);

}  // namespace kelvara
