#pragma once

#include <string>

#include "editor/command_dialogs.h"
#include "editor/editor.h"
#include "files/convert_command.h"
#include "files/file_result.h"
#include "files/score_file.h"

namespace kelvara {

// The window caption before any file is named.
constexpr const char* kWindowCaption = "Kelvara ver 1.1b4";

// The file's name without its folder.
std::string fileBaseName(const std::string& path);
// `path` with its extension replaced by `extension` (added when it has none).
std::string withExtension(const std::string& path, const std::string& extension);
// The save dialog's filter for an extension; `otherwise` for any other.
int saveFilterFor(const std::string& extension, int otherwise);
// The window caption: the program's name, the file's name, and " *" while
// there are unsaved changes.
std::string windowCaption(const EditorState& s);

// The commands that move the score to and from disk and start a new score:
// "保存", "読込", "上書" and "新規". Each ends with the focus back on note entry.
class FileCommands {
 public:
  FileCommands(Editor& editor, CommandDialogs& dialogs);

  // Save: the parts, the file and its kind, then the writer of that kind.
  // True when a file was written.
  bool BitBtn5Click();
  // Load: asks about unsaved changes, then for the file, and loads it.
  void BitBtn7Click();
  // Overwrite the remembered whole-score file, after a confirmation.
  void BitBtn11Click();
  // New score: after a confirmation every part is emptied.
  void BitBtn8Click();
  // Ctrl+S: overwrite when the remembered file is a whole-score file, else save.
  void saveShortcut();

  // Loads `fileName` as the load command does once a file is chosen. A file
  // that cannot be read changes nothing and is reported. True when loaded.
  bool openFile(const std::string& fileName);
  // Loads a recovery copy as unsaved work that came from `originalName`
  // ("" when it had no file yet); nothing can be undone past it.
  bool restoreRecoveryCopy(const std::string& copyPath, const std::string& originalName);
  // Whether unsaved changes may go: true when there are none, or the user
  // saved the whole score or chose to discard them.
  bool settleUnsavedChanges();

  // "上書" and Ctrl+S overwrite the remembered file when it is a whole-score file.
  bool overwriteEnabled() const;
  // Offers audio as the save dialog's fifth kind, written by `audio` (the
  // program's synthesizer); without it the dialog has the four score kinds.
  void setAudioExport(AudioExport audio) { audioExport_ = std::move(audio); }

 private:
  // Writes the kind `filter`; with `everyPart` every part goes into it,
  // whatever the ticks say, and the ticks stay.
  FileResult write(int filter, const std::string& fileName, bool everyPart);
  // The save dialog opened on `offered` and `filterIndex`, then the writer of
  // the chosen kind. True when a file was written.
  bool saveThroughDialog(const std::string& offered, int filterIndex, bool everyPart);
  // The save the unsaved-changes question starts: every part into the
  // remembered whole-score file, or into one the user names. True only when
  // the whole score is kept.
  bool saveWholeScore();
  // Shows "上書" enabled exactly when it has a file to overwrite.
  void showOverwriteState();
  // After a whole-score save: the changes are kept when every part that
  // holds records was written (`everyPart`: all were).
  void savedWholeScoreFile(bool everyPart);
  // Makes the view show the work part from its cursor again, on a picture
  // one page wide.
  void rebuildView();

  Editor& editor_;
  EditorState& s_;
  CommandDialogs& dialogs_;
  AudioExport audioExport_;
  // The save dialog's filter as last used; the first save offers the whole
  // score, the one kind that keeps everything.
  int saveFilter_ = kFilterZqf3;
};

}  // namespace kelvara
