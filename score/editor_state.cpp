#include "score/editor_state.h"

#include <cmath>

#include "score/bar_math.h"
#include "score/clipboard.h"
#include "score/part_list.h"

namespace kelvara {

EditorState::EditorState() {
  CursorX.fill(kMusicLeft);
  BarNo.fill(1);
  BarFill.fill(0);
  PartProgram.fill(0);
  PartVolume.fill(100);
  PartPan.fill(10);
  PartSelected.fill(1);
  PartBaseKey.fill(60);
  for (int i = 0; i < kPadCount; ++i) PadChoice[i] = i;
}

EditorState::~EditorState() {
  releaseLists();
}

void EditorState::createLists() {
  if (ClipHead == nullptr) {
    ClipHead = makeRecord(kListHead, 0, 0);
    ClipHead->Width = 0;
  }
  for (int p = 0; p < kPartCount; ++p) {
    if (PartHead[p] != nullptr) continue;
    PartHead[p] = createPartSkeleton();
    CurNode[p] = endMarkerOf(PartHead[p]);
  }
}

void EditorState::releaseLists() {
  for (int p = 0; p < kPartCount; ++p) {
    if (PartHead[p] == nullptr) continue;
    freePart(PartHead[p]);
    PartHead[p] = nullptr;
    CurNode[p] = nullptr;
    PageEndNode[p] = nullptr;
  }
  if (ClipHead != nullptr) {
    DisposeClip(*this);
    freeRecord(ClipHead);
    ClipHead = nullptr;
  }
  PageNode = nullptr;
  SelAnchorNode = nullptr;
  SelEndNode = nullptr;
  SelActive = 0;
}

int32_t EditorState::BarLen() const {
  if (TimeDen <= 0 || TimeNum <= 0) return 64;
  const auto len = static_cast<int64_t>(TimeNum * 64.0 / TimeDen);
  return len < 1 ? 1 : static_cast<int32_t>(len);
}

void EditorState::recountBarPosition(int part) {
  BarNo[part] = 1;
  BarFill[part] = 0;
  for (TOnpu* r = firstRecordOf(PartHead[part]); r != CurNode[part] && !isEndMarker(*r);
       r = r->Next) {
    advanceBar(BarNo[part], BarFill[part], barContribution(*r), BarLen());
  }
}

std::string partLabel(int part) {
  if (part == kPercussionPart) return "パーカッション";
  if (part == 10) return "10パート";
  std::string label(1, ' ');
  label.append(std::to_string(part + 1)).append("パート");
  return label;
}

std::optional<int> partFromUserLabel(const std::string& label) {
  if (label == "perc") return kPercussionPart;
  if (label.empty() || label.size() > 2) return std::nullopt;
  int n = 0;
  for (char c : label) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 10) return std::nullopt;
  return partForListItem(n - 1);
}

int octaveNumber(int32_t baseKey) {
  return static_cast<int>(std::nearbyint(baseKey / 12.0 - 1.0));
}

std::string octaveLabelText(int32_t baseKey) {
  std::string text("[↓キ－]　←");
  text.append(25, ' ').append(std::to_string(octaveNumber(baseKey))).append(23, ' ');
  text.append("→ [↑キ－]");
  return text;
}

}  // namespace kelvara
