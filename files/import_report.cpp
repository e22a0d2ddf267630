#include "files/import_report.h"

#include "score/ui_text.h"

namespace kelvara {

namespace {

// One line of the notice for `count` approximations; `text` holds the count
// as %1.
void line(std::string& out, int64_t count, const std::string& text) {
  if (count <= 0) return;
  out += "\n" + fillText(text, {std::to_string(count)});
}

}  // namespace

std::string ImportReport::text(const std::string& fileName) const {
  std::string out;
  if (!timeReplaced.empty()) {
    out += "\n" + fillText(uiText("kelvara::Files", "・拍子 %1 は扱えないため %2 にしました"),
                           {timeReplaced, timeUsed});
  }
  if (pickupFilled > 0) {
    out += "\n" + fillText(uiText("kelvara::Files",
                                  "・弱起の小節の前を %1（64 分音符単位）の休符で補いました"),
                           {std::to_string(pickupFilled)});
  }
  if (tempoClamped)
    out += "\n" + uiText("kelvara::Files", "・テンポが範囲外のため 65535 にしました");
  line(out, notesRounded,
       uiText("kelvara::Files",
              "・%1 個の音符の始まりか終わりを 64 分音符か連符の位置に丸めました"));
  line(out, notesLengthened,
       uiText("kelvara::Files", "・%1 個の 64 分音符より短い音符を 64 分音符にしました"));
  line(out, notesShortened,
       uiText("kelvara::Files", "・%1 個の音符を次の音符か連符の区切りまでの長さに縮めました"));
  line(out, notesTooLong,
       uiText("kelvara::Files", "・%1 個の長すぎる音符を 65535（64 分音符単位）に縮めました"));
  line(out, unisonsMerged,
       uiText("kelvara::Files", "・%1 個の同じ時刻・同じ高さの音符を一つにまとめました"));
  line(out, chordNotesDropped,
       uiText("kelvara::Files", "・%1 個の音を、和音が 10 音を超えるため省きました"));
  if (voicesMerged > 0) {
    out += "\n" + fillText(uiText("kelvara::Files",
                                  "・声部が 10 を超えるため、%1 個の声部（%2 音）を"
                                  "音域の近いパートの和音にまとめました"),
                           {std::to_string(voicesMerged), std::to_string(notesInMergedVoices)});
  }
  line(out, laterTempos,
       uiText("kelvara::Files",
              "・%1 個の途中のテンポ変更を無視しました（最初のテンポを使います）"));
  line(out, laterTimeSignatures,
       uiText("kelvara::Files", "・%1 個の途中の拍子変更を無視しました（最初の拍子を使います）"));
  line(out, laterKeySignatures,
       uiText("kelvara::Files", "・%1 個の途中の調号変更を無視しました（最初の調号を使います）"));
  line(out, badKeySignatures, uiText("kelvara::Files", "・%1 個の範囲外の調号を無視しました"));
  line(out, laterPrograms,
       uiText("kelvara::Files", "・%1 個の途中の音色変更を無視しました（最初の音色を使います）"));
  line(out, pitchBendsDropped,
       uiText("kelvara::Files", "・%1 個のピッチベンドを読み込みませんでした"));
  line(out, controllersDropped,
       uiText("kelvara::Files",
              "・%1 個のコントロールチェンジ（音量・パン以外）を読み込みませんでした"));
  line(out, aftertouchDropped,
       uiText("kelvara::Files", "・%1 個のアフタータッチを読み込みませんでした"));
  line(out, unmatchedNoteOns,
       uiText("kelvara::Files", "・%1 個の終わりのない音符をトラックの終わりまでの長さにしました"));
  line(out, unmatchedNoteOffs,
       uiText("kelvara::Files", "・%1 個の対になる音符のない note-off を無視しました"));
  if (out.empty()) return out;
  return fillText(uiText("kelvara::Files", "ファイル %1 を読み込みました。次の点は近似です:%2"),
                  {fileName, out});
}

}  // namespace kelvara
