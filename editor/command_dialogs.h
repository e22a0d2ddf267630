#pragma once

#include <functional>
#include <optional>
#include <string>

#include "score/editor_state.h"

namespace kelvara {

// The save dialog's file kinds, numbered as its filter list.
enum SaveFilter : int {
  kFilterMidi = 1,      // ".mid" / ".smf": the MIDI export
  kFilterZqf3 = 2,      // the whole score
  kFilterZqf2 = 3,      // track file of several parts
  kFilterZqf = 4,       // track file of one part
  kFilterWav = 5,       // audio of the chosen parts (offered where a synthesizer is)
  kFilterMusicXml = 6,  // ".musicxml" / ".xml" / ".mxl": for notation programs
};

// What the user chose in the save dialog.
struct SaveDialogAnswer {
  std::string fileName;
  int filterIndex = kFilterMidi;  // 1..6; 5 only where audio is offered
};

// The controls of the score settings dialog.
struct ScoreSettingsForm {
  int keyIndex = 7;       // key list: the item index is KeySig
  int timeIndex = 0;      // time list; -1 when no item is chosen
  std::string tempoText;  // the tempo box as typed
  bool major = true;      // key layout: "長調" (else "短調")
};

// The two auxiliary options of the credit dialog.
struct AuxiliaryOptions {
  bool blinkCursor = true;
  bool upDownAction = true;
  bool standardNotation = false;
  friend bool operator==(const AuxiliaryOptions&, const AuxiliaryOptions&) = default;
};

// The answer to "there are unsaved changes".
enum class UnsavedAnswer { Save, Discard, Cancel };

// The dialogs the save, load, new-score, settings and credit commands show,
// and the one control they change. The shell implements them with its
// dialogs; tests script the answers.
class CommandDialogs {
 public:
  virtual ~CommandDialogs() = default;

  // TForm7 ("保存－準備"): which parts to save, shown ticked as `selected`; nothing on Cancel.
  virtual std::optional<PerPart<uint8_t>> chooseSaveParts(const PerPart<uint8_t>& selected) = 0;
  // The save dialog, opened on `fileName` with filter `filterIndex` chosen;
  // nothing when the user cancels. The dialog does not ask about existing
  // files: the command does.
  virtual std::optional<SaveDialogAnswer> saveDialog(const std::string& fileName,
                                                     int filterIndex) = 0;
  // The open dialog, opened on `fileName`; nothing when the user cancels.
  virtual std::optional<std::string> openDialog(const std::string& fileName) = 0;
  // TForm8 ("保存－選択") with its two lines: the chosen item of the list of the ten melodic
  // parts (0..9; item 9 is part 10). It has no way to cancel.
  virtual int chooseOnePart(const std::string& line1, const std::string& line2) = 0;
  // TForm3 ("設定") shown with `shown`; what the controls hold after OK, nothing on
  // Cancel.
  virtual std::optional<ScoreSettingsForm> editScoreSettings(const ScoreSettingsForm& shown) = 0;
  // TForm5 ("Credit") shown with `shown`; `changed` is called whenever a box is ticked
  // or cleared while it is open. Returns the boxes as the dialog closed.
  virtual AuxiliaryOptions showCredit(
      const AuxiliaryOptions& shown,
      const std::function<void(const AuxiliaryOptions&)>& changed) = 0;
  // Save, discard or cancel, for a score with unsaved changes.
  virtual UnsavedAnswer askUnsavedChanges(const std::string& text) = 0;
  // The overwrite button "上書".
  virtual void setOverwriteEnabled(bool enabled) = 0;
};

}  // namespace kelvara
