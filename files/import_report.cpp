#include "files/import_report.h"

namespace kelvara {

namespace {

void line(std::string& out, int64_t count, const std::string& text) {
  if (count <= 0) return;
  out += "\n・" + std::to_string(count) + " " + text;
}

}  // namespace

std::string ImportReport::text(const std::string& fileName) const {
  std::string out;
  if (!timeReplaced.empty()) {
    out += "\n・拍子 " + timeReplaced + " は扱えないため " + timeUsed + " にしました";
  }
  if (pickupFilled > 0) {
    out += "\n・弱起の小節の前を " + std::to_string(pickupFilled) +
           "（64 分音符単位）の休符で補いました";
  }
  if (tempoClamped) out += "\n・テンポが範囲外のため 65535 にしました";
  line(out, notesRounded, "個の音符の始まりか終わりを 64 分音符か連符の位置に丸めました");
  line(out, notesLengthened, "個の 64 分音符より短い音符を 64 分音符にしました");
  line(out, notesShortened, "個の音符を次の音符か連符の区切りまでの長さに縮めました");
  line(out, notesTooLong, "個の長すぎる音符を 65535（64 分音符単位）に縮めました");
  line(out, unisonsMerged, "個の同じ時刻・同じ高さの音符を一つにまとめました");
  line(out, chordNotesDropped, "個の音を、和音が 10 音を超えるため省きました");
  if (voicesMerged > 0) {
    out += "\n・声部が 10 を超えるため、" + std::to_string(voicesMerged) + " 個の声部（" +
           std::to_string(notesInMergedVoices) + " 音）を音域の近いパートの和音にまとめました";
  }
  line(out, laterTempos, "個の途中のテンポ変更を無視しました（最初のテンポを使います）");
  line(out, laterTimeSignatures, "個の途中の拍子変更を無視しました（最初の拍子を使います）");
  line(out, laterKeySignatures, "個の途中の調号変更を無視しました（最初の調号を使います）");
  line(out, badKeySignatures, "個の範囲外の調号を無視しました");
  line(out, laterPrograms, "個の途中の音色変更を無視しました（最初の音色を使います）");
  line(out, pitchBendsDropped, "個のピッチベンドを読み込みませんでした");
  line(out, controllersDropped, "個のコントロールチェンジ（音量・パン以外）を読み込みませんでした");
  line(out, aftertouchDropped, "個のアフタータッチを読み込みませんでした");
  line(out, unmatchedNoteOns, "個の終わりのない音符をトラックの終わりまでの長さにしました");
  line(out, unmatchedNoteOffs, "個の対になる音符のない note-off を無視しました");
  if (out.empty()) return out;
  return "ファイル " + fileName + " を読み込みました。次の点は近似です:" + out;
}

}  // namespace kelvara
