#include "files/loaded_score.h"

#include "score/part_list.h"
#include "score/ui_text.h"

namespace kelvara {

void handOver(EditorState& s, LoadedScore& loaded, LoadResult& result) {
  if (loaded.keySig) s.KeySig = *loaded.keySig;
  if (loaded.major) s.Major = *loaded.major;
  if (loaded.timeNum) s.TimeNum = *loaded.timeNum;
  if (loaded.timeDen) s.TimeDen = *loaded.timeDen;
  if (loaded.tempo) s.Tempo = *loaded.tempo;

  for (LoadedPart& lp : loaded.parts) {
    const int p = lp.part;
    if (lp.program) s.PartProgram[p] = *lp.program;
    if (lp.volume) s.PartVolume[p] = *lp.volume;
    if (lp.pan) s.PartPan[p] = *lp.pan;

    TOnpu* start = startMarkerOf(s.PartHead[p]);
    TOnpu* oldFirst = start->Next;
    TOnpu* at = start;
    for (RecordPtr& rec : lp.records) {
      linkAfter(at, rec.get());
      at = rec.release();
    }
    s.CurNode[p] = start->Next;
    s.BarNo[p] = 1;
    s.BarFill[p] = 0;
    s.CursorX[p] = kMusicLeft;
    if (s.PageNode == oldFirst) s.PageNode = start->Next;
    result.partsRead[p] = 1;
  }
}

std::string readFaultMessage(const std::string& path, const std::string& detail) {
  return fillText(uiText("kelvara::Files", "ファイル %1 を読み込めません: %2"), {path, detail});
}

std::string outOfMemoryMessage(const std::string& path) {
  return readFaultMessage(path, uiText("kelvara::Files", "メモリが足りません"));
}

}  // namespace kelvara
