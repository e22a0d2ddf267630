#include "editor/editor.h"

#include "editor/midi_input_setting.h"
#include "editor/notation_setting.h"
#include "editor/settings_file.h"
#include "score/part_list.h"
#include "score/ui_text.h"
#include "sound/part_voices.h"

namespace kelvara {

Editor::Editor(ScoreView& view, EditorControls& controls, MidiOutput& midi,
               UserQuestions& questions)
    : view_(view),
      controls_(controls),
      midi_(midi),
      questions_(questions),
      renderer_(state_, view, glyphs_),
      score_(state_, renderer_, view),
      input_(state_, score_, renderer_, midi, keyboard_, glyphs_, controls, view),
      midiSound_(midi),
      midiKeys_(state_, score_),
      tuplets_(state_, renderer_, view, score_.selection()),
      modifiers_(state_, renderer_, view, score_.selection()),
      mouse_(state_, score_, renderer_, view),
      editMenu_(state_, score_, tuplets_, modifiers_, view, questions) {
  state_.Undo = &history_;
  // The shell may take these keys over to show the part the step was in.
  input_.setHistoryKeys([this](bool redo) { redo ? undoCommands_.redo() : undoCommands_.undo(); });
}

Editor::~Editor() {
  FormDestroy();
}

std::string Editor::FormCreate(const StartOptions& options) {
  EditorState& s = state_;
  settingsPath_ = options.settingsPath;

  // A settings file that cannot be used never stops start-up: what cannot be
  // read takes its default and the user is told once.
  const SettingsReadResult settings =
      readSettingsFile(settingsFileToRead(settingsPath_, earlierSettingsPath_),
                       midi_.midiOutGetNumDevs(), options.explicitSettings);
  applySettings(settings.values, s);
  if (!settings.notice.empty()) questions_.inform(settings.notice);
  if (!settingsPath_.empty()) {
    const NotationSetting notation = readNotationSetting(notationSettingPath(settingsPath_));
    s.StandardNotation = notation.standard;
    if (!notation.notice.empty()) questions_.inform(notation.notice);
  }

  s.WorkPart = 0;
  s.PrintBarsPerLine = 3;
  s.PrintLinesPerPage = 5;
  s.BarsPerPage = 16;
  s.EndX = 300;
  s.SingleInput = 1;
  s.InsertMode = 1;
  s.FileName.clear();
  s.Major = 1;
  s.TimeDen = 4;
  s.TimeNum = 4;
  s.KeySig = 7;
  s.Tempo = 120;
  s.InputUnit = 8;
  s.SlideStep = 0;
  s.CursorOff = 1;
  for (int p = 0; p < kPartCount; ++p) {
    s.PartBaseKey[p] = 60;
    s.BarNo[p] = 1;
    s.BarFill[p] = 0;
    s.CursorX[p] = kMusicLeft;
  }
  s.SelActive = 0;
  s.MouseHeld = 0;
  s.Busy = 0;
  s.KeyHeld.fill(0);
  s.AccState.fill(0);
  for (int p = 0; p < kPartCount; ++p) {
    s.PartVolume[p] = 100;
    s.PartSelected[p] = 1;
    s.PartPan[p] = 10;
  }

  reopenMidiOutput(midi_, s.MidiDevice, s.PartProgram, ProgramChanges::AllChannels,
                   /*closeFirst=*/false);
  reopenMidiInput();

  if (!options.glyphFolder.empty()) {
    const std::string error = glyphs_.load(options.glyphFolder);
    if (!error.empty()) return error;
  }
  renderer_.initPicture();
  renderer_.drawStartupFurniture();
  input_.showStartupKeyboard();

  s.createLists();
  s.WorkPart = 0;
  s.PageNode = endMarkerOf(s.PartHead[0]);
  s.PageBar = 1;
  s.PageFirstBar = 1;
  s.PageFill = 0;
  s.PageX = kMusicLeft;
  view_.setOctaveLabel(octaveLabelText(s.PartBaseKey[0]));
  return {};
}

void Editor::reopenMidiInput() {
  if (midiInput_ == nullptr || settingsPath_.empty()) return;
  const MidiInputSetting kept = readMidiInputSetting(midiInputSettingPath(settingsPath_));
  if (!kept.notice.empty()) questions_.inform(kept.notice);
  midiInput_->choose(kept.port,
                     midi_.midiOutGetDevCaps(usableMidiDevice(midi_, state_.MidiDevice)));
  midiSound_.reset();
  midiKeys_.reset();
  if (const std::string notice = midiInput_->takeNotice(); !notice.empty()) {
    questions_.inform(notice);
  }
}

void Editor::FormClose() {
  if (settingsPath_.empty()) return;
  std::string error = writeSettingsFile(settingsPath_, settingsFromState(state_));
  if (error.empty() && midiInput_ != nullptr) {
    error = writeMidiInputSetting(midiInputSettingPath(settingsPath_), midiInput_->chosen());
  }
  if (error.empty()) {
    error = writeNotationSetting(notationSettingPath(settingsPath_), state_.StandardNotation);
  }
  if (!error.empty())
    questions_.error(
        fillText(uiText("kelvara::Editor", "設定を保存できませんでした。%1"), {error}));
}

void Editor::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  midi_.midiOutClose();
  // The steps hold records of their own: they go before the lists.
  state_.Undo = nullptr;
  history_.clear();
  state_.releaseLists();
}

}  // namespace kelvara
