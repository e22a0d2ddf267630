#include "editor/settings_commands.h"

#include "score/undo_history.h"

#include "editor/focus_back.h"
#include "files/load_limits.h"
#include "score/bar_math.h"
#include "score/part_list.h"
#include "score/ui_text.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {

std::string trimmed(const std::string& text) {
  const size_t from = text.find_first_not_of(" \t");
  if (from == std::string::npos) return {};
  const size_t to = text.find_last_not_of(" \t");
  return text.substr(from, to - from + 1);
}

}  // namespace

int timeListItemFor(int32_t timeNum, int32_t timeDen) {
  for (size_t i = 0; i < kTimeListItems.size(); ++i) {
    if (kTimeListItems[i].num == timeNum && kTimeListItems[i].den == timeDen) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::optional<std::string> checkTempoText(const std::string& text, int32_t& tempo) {
  if (!isWholeNumberText(text))
    return fillText(uiText("kelvara::Editor", "'%1' は整数ではありません"), {text});
  const std::optional<int32_t> value = parseWholeNumber(text, kLowestTempo, kHighestTempo);
  if (!value) {
    return fillText(uiText("kelvara::Editor",
                           "テンポ %1 は使えません。%2 から %3 までの整数を入れてください。"),
                    {trimmed(text), std::to_string(kLowestTempo), std::to_string(kHighestTempo)});
  }
  tempo = *value;
  return std::nullopt;
}

SettingsCommands::SettingsCommands(Editor& editor, CommandDialogs& dialogs)
    : editor_(editor), s_(editor.state()), dialogs_(dialogs) {}

namespace {

// Why the score cannot take the time signature timeNum/timeDen: a record
// that would then be drawn wider than the whole-score file keeps (its width
// is stored in 16 bits), named by part and bar. Nothing when every record fits.
std::optional<std::string> recordTooWideFor(const EditorState& s, int32_t timeNum,
                                            int32_t timeDen) {
  const auto barLen = static_cast<int32_t>(timeNum * 64 / timeDen);
  constexpr int64_t kMostCells = kMaxFileWidth / kCellWidth;
  for (int p = 0; p < kPartCount; ++p) {
    int32_t bar = 1, fill = 0;
    for (const TOnpu* r = firstRecordOf(s.PartHead[p]); !isEndMarker(*r); r = r->Next) {
      if (recordCells(*r, fill, barLen) > kMostCells) {
        return fillText(
            uiText("kelvara::Editor",
                   "拍子を %1/%2 にすると、%5%3 の %4 小節目からの音符（休符）が"
                   "楽譜ファイルに保存できない幅になります。"
                   "先にその音符を短くしてください。"),
            {std::to_string(timeNum), std::to_string(timeDen), partText(p), std::to_string(bar),
             // lined up as the part lists show it: " 3パート"
             p < kPercussionPart ? " " : ""});
      }
      advanceBar(bar, fill, barContribution(*r), barLen);
    }
  }
  return std::nullopt;
}

}  // namespace

void SettingsCommands::BitBtn3Click() {
  FocusBack focus(editor_.view());

  ScoreSettingsForm shown;
  shown.keyIndex = s_.KeySig >= 0 && s_.KeySig < static_cast<int>(kKeyListItems.size())
                       ? static_cast<int>(s_.KeySig)
                       : -1;
  shown.timeIndex = timeListItemFor(s_.TimeNum, s_.TimeDen);
  shown.tempoText = std::to_string(s_.Tempo);
  shown.major = s_.Major == 1;
  const std::optional<ScoreSettingsForm> answer = dialogs_.editScoreSettings(shown);
  if (!answer) return;

  // Every value is checked before any is applied.
  int32_t tempo = s_.Tempo;
  if (const std::optional<std::string> problem = checkTempoText(answer->tempoText, tempo)) {
    editor_.questions().error(*problem);
    return;
  }
  const bool keyChosen =
      answer->keyIndex >= 0 && answer->keyIndex < static_cast<int>(kKeyListItems.size());
  const bool timeChosen =
      answer->timeIndex >= 0 && answer->timeIndex < static_cast<int>(kTimeListItems.size());

  // A list with nothing chosen (a key or time from a file that the list
  // does not hold) keeps the score's value.
  const int32_t keySig = keyChosen ? answer->keyIndex : s_.KeySig;
  const int32_t timeNum = timeChosen ? kTimeListItems[answer->timeIndex].num : s_.TimeNum;
  const int32_t timeDen = timeChosen ? kTimeListItems[answer->timeIndex].den : s_.TimeDen;
  const uint8_t major = answer->major ? 1 : 0;
  const bool keyChanged = keySig != s_.KeySig;
  const bool timeChanged = timeNum != s_.TimeNum || timeDen != s_.TimeDen;
  const bool majorChanged = major != s_.Major;
  // A record the new bars would draw too wide for the score file is never made.
  if (timeChanged) {
    if (const std::optional<std::string> problem = recordTooWideFor(s_, timeNum, timeDen)) {
      editor_.questions().error(*problem);
      return;
    }
  }
  if (keyChanged || timeChanged || majorChanged || tempo != s_.Tempo) s_.markChanged();

  // The new values are one undo step (none when nothing changed).
  if (s_.Undo != nullptr) s_.Undo->beginScore(false);
  s_.Major = major;
  s_.KeySig = keySig;
  s_.Tempo = tempo;
  s_.TimeNum = timeNum;
  s_.TimeDen = timeDen;
  if (s_.Undo != nullptr) s_.Undo->commit();
  if (keyChanged || timeChanged) {
    s_.Busy = 1;
    eraseCursorMark(s_, editor_.view());
    if (timeChanged) {
      // Bar lines move: the selection's places on the page no longer hold,
      // and every part's bar position is counted again.
      if (s_.SelActive) {
        s_.SelActive = 0;
        s_.SelAnchorNode = nullptr;
        s_.SelEndNode = nullptr;
      }
      for (int p = 0; p < kPartCount; ++p) s_.recountBarPosition(p);
    }
    editor_.renderer().PageDraw();
    s_.Busy = 0;
  }
  if (majorChanged) editor_.input().slide(s_.Major == 1);
}

void SettingsCommands::BitBtn6Click() {
  FocusBack focus(editor_.view());

  const auto apply = [this](const AuxiliaryOptions& o) {
    s_.BlinkCursor = o.blinkCursor ? 1 : 0;
    s_.UpDownAction = o.upDownAction ? 1 : 0;
    if (o.standardNotation != s_.StandardNotation) {
      // Only what is drawn inside the cells changes: the page is drawn again
      // at once, the cursor and the selection stay where they are.
      s_.StandardNotation = o.standardNotation;
      s_.Busy = 1;
      editor_.renderer().PageDraw();
      s_.Busy = 0;
    }
  };
  const AuxiliaryOptions shown{s_.BlinkCursor == 1, s_.UpDownAction == 1, s_.StandardNotation};
  apply(dialogs_.showCredit(shown, apply));
}

}  // namespace kelvara
