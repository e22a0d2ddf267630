#include "editor/file_commands.h"

#include <algorithm>
#include <filesystem>
#include <new>

#include "editor/focus_back.h"
#include "files/midi_export.h"
#include "files/musicxml_export.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "score/part_list.h"
#include "score/ui_text.h"
#include "score/undo_history.h"
#include "sound/part_voices.h"

namespace kelvara {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSaveExtensions[] = {"",     ".mid", ".zqf3",    ".zqf2",
                                           ".zqf", ".wav", ".musicxml"};

bool extensionFits(int filter, const std::string& extension) {
  if (filter == kFilterMidi) return extension == ".mid" || extension == ".smf";
  if (filter == kFilterMusicXml) return isMusicXmlKind(extension);
  return extension == kSaveExtensions[filter];
}

// The part of an item of TForm8's list; an answer outside the list counts as
// its first item, so the choice always names one of the ten melodic parts.
int partOfTenPartItem(int item) {
  return partForListItem(item >= 0 && item <= 9 ? item : 0);
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::path(path), ec);
}

}  // namespace

std::string fileBaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withExtension(const std::string& path, const std::string& extension) {
  const std::string old = fileExtension(path);
  return path.substr(0, path.size() - old.size()) + extension;
}

int saveFilterFor(const std::string& extension, int otherwise) {
  if (extension == ".mid" || extension == ".smf") return kFilterMidi;
  if (extension == ".zqf3") return kFilterZqf3;
  if (extension == ".zqf2") return kFilterZqf2;
  if (extension == ".zqf") return kFilterZqf;
  if (isMusicXmlKind(extension)) return kFilterMusicXml;
  return otherwise;
}

std::string windowCaption(const EditorState& s) {
  std::string caption = kWindowCaption;
  if (!s.FileName.empty()) caption += " - " + fileBaseName(s.FileName);
  if (s.Modified) caption += " *";
  return caption;
}

FileCommands::FileCommands(Editor& editor, CommandDialogs& dialogs)
    : editor_(editor), s_(editor.state()), dialogs_(dialogs) {}

bool FileCommands::overwriteEnabled() const {
  return fileExtension(s_.FileName) == ".zqf3";
}

void FileCommands::showOverwriteState() {
  dialogs_.setOverwriteEnabled(overwriteEnabled());
}

FileResult FileCommands::write(int filter, const std::string& fileName, bool everyPart) {
  // The ticks stay as the user left them; a whole-score save reads past them.
  const PerPart<uint8_t> ticked = s_.PartSelected;
  if (everyPart && filter != kFilterZqf) s_.PartSelected.fill(1);
  FileResult result;
  try {
    if (filter == kFilterMidi) {
      result = savedataplus3(s_, fileName, 0, -1);
    } else if (filter == kFilterZqf3) {
      result = savedataplus2(s_, fileName, 0, -1);
    } else if (filter == kFilterWav && audioExport_) {
      result = audioExport_(s_, 0, -1, fileName, "");
    } else if (filter == kFilterMusicXml) {
      result = saveMusicXml(s_, fileName);
    } else {
      result = savedataplus(s_, fileName, 0, -1);
    }
  } catch (const std::bad_alloc&) {
    result = FileResult::failure(
        FileError::CannotCreate,
        fillText(uiText("kelvara::Editor", "ファイル %1 を書くためのメモリが足りません。"),
                 {fileName}));
  }
  if (everyPart && filter != kFilterZqf) s_.PartSelected = ticked;
  return result;
}

void FileCommands::savedWholeScoreFile(bool everyPart) {
  for (int p = 0; p < kPartCount && !everyPart; ++p) {
    if (s_.PartSelected[p] == 0 && !isPartEmpty(s_.PartHead[p])) return;
  }
  s_.markSaved();
}

bool FileCommands::BitBtn5Click() {
  FocusBack focus(editor_.view());
  const std::optional<PerPart<uint8_t>> parts = dialogs_.chooseSaveParts(s_.PartSelected);
  if (!parts) return false;
  s_.PartSelected = *parts;
  saveFilter_ = saveFilterFor(fileExtension(s_.FileName), saveFilter_);
  return saveThroughDialog(s_.FileName, saveFilter_, false);
}

bool FileCommands::saveWholeScore() {
  // The file the score came from (or was last kept in) takes it again: the
  // question that led here named it.
  if (overwriteEnabled()) {
    const FileResult result = write(kFilterZqf3, s_.FileName, true);
    if (!result.ok()) {
      editor_.questions().error(result.message);
      return false;
    }
    savedWholeScoreFile(true);
    return true;
  }
  const std::string offered = s_.FileName.empty() ? "" : withExtension(s_.FileName, ".zqf3");
  if (!saveThroughDialog(offered, kFilterZqf3, true)) return false;
  if (s_.Modified) {
    editor_.questions().inform(
        uiText("kelvara::Editor",
               "この形式のファイルには楽譜全体は残りません。変更はまだ保存されていません。"));
    return false;
  }
  return true;
}

bool FileCommands::saveThroughDialog(const std::string& offered, int filterIndex, bool everyPart) {
  const std::optional<SaveDialogAnswer> answer = dialogs_.saveDialog(offered, filterIndex);
  if (!answer || answer->fileName.empty()) return false;
  // Audio only where a synthesizer writes it; an unknown kind is the nearest known one.
  int filter = std::clamp<int>(answer->filterIndex, 1, kFilterMusicXml);
  if (filter == kFilterWav && !audioExport_) filter = kFilterZqf;
  saveFilter_ = filter;

  std::string name = answer->fileName;
  if (!extensionFits(filter, fileExtension(name))) {
    name = withExtension(name, kSaveExtensions[filter]);
    editor_.questions().inform(fillText(
        uiText("kelvara::Editor", "ファイルは %1 という名で保存されます。"), {fileBaseName(name)}));
  }

  // A one-part file: exactly one part is selected while it is written, and
  // the user's choice comes back afterwards whatever happens.
  const PerPart<uint8_t> selectedBefore = s_.PartSelected;
  if (filter == kFilterZqf) {
    int count = 0;
    int only = 0;
    for (int p = 0; p < kPartCount; ++p) {
      if (s_.PartSelected[p] == 0) continue;
      ++count;
      only = p;
    }
    s_.PartSelected.fill(0);
    const int part = count == 1
                         ? only
                         : partOfTenPartItem(dialogs_.chooseOnePart(
                               uiText("kelvara::Editor", "Zqファイルは1パートしか保存できません。"),
                               uiText("kelvara::Editor", "どのパートを保存しますか？")));
    s_.PartSelected[part] = 1;
  }

  bool written = false;
  if (!fileExists(name) || editor_.questions().askYesNo(uiText(
                               "kelvara::Editor", "既存のファイルが存在します．上書きしますか?"))) {
    const FileResult result = write(filter, name, everyPart);
    if (!result.ok()) {
      editor_.questions().error(result.message);
    } else {
      written = true;
      // An export or a track file leaves the score's own file as it was.
      if (filter == kFilterZqf3) {
        s_.FileName = name;
        savedWholeScoreFile(everyPart);
      }
      showOverwriteState();
    }
  }
  if (filter == kFilterZqf) s_.PartSelected = selectedBefore;
  return written;
}

void FileCommands::BitBtn11Click() {
  FocusBack focus(editor_.view());
  if (fileExtension(s_.FileName) != ".zqf3") return;
  if (!editor_.questions().askYesNo(
          fillText(uiText("kelvara::Editor", "%1 を上書きします。よろしいですね?"),
                   {fileBaseName(s_.FileName)}))) {
    return;
  }
  // The whole-score file keeps every part, whatever was last ticked.
  const FileResult result = write(kFilterZqf3, s_.FileName, true);
  if (!result.ok()) {
    editor_.questions().error(result.message);
    return;
  }
  savedWholeScoreFile(true);
}

void FileCommands::saveShortcut() {
  if (fileExtension(s_.FileName) == ".zqf3") {
    BitBtn11Click();
  } else {
    BitBtn5Click();
  }
}

bool FileCommands::settleUnsavedChanges() {
  if (!s_.Modified) return true;
  const std::string question =
      s_.FileName.empty()
          ? uiText("kelvara::Editor",
                   "現在のデータには保存されていない変更があります。保存しますか？")
          : fillText(uiText("kelvara::Editor",
                            "「%1」には保存されていない変更があります。保存しますか？"),
                     {fileBaseName(s_.FileName)});
  switch (dialogs_.askUnsavedChanges(question)) {
    case UnsavedAnswer::Save: {
      FocusBack focus(editor_.view());
      return saveWholeScore();
    }
    case UnsavedAnswer::Discard:
      return true;
    case UnsavedAnswer::Cancel:
      break;
  }
  return false;
}

void FileCommands::BitBtn7Click() {
  FocusBack focus(editor_.view());
  if (!settleUnsavedChanges()) return;
  const std::optional<std::string> name = dialogs_.openDialog(s_.FileName);
  if (!name || name->empty()) return;
  openFile(*name);
}

bool FileCommands::openFile(const std::string& fileName) {
  FocusBack focus(editor_.view());
  const std::string extension = fileExtension(fileName);
  const bool onePart = extension == ".zqf";
  const int intoPart = onePart
                           ? partOfTenPartItem(dialogs_.chooseOnePart(
                                 uiText("kelvara::Editor", "Zqファイルは1パートしかありません。"),
                                 uiText("kelvara::Editor", "どのパートに読み込みますか？")))
                           : 0;

  // The file is read completely into a score of its own first; the editor's
  // score changes only once that has worked. What the file does not say
  // keeps the editor's values.
  EditorState loaded;
  LoadResult result;
  try {
    loaded.createLists();
    static_cast<ScoreValues&>(loaded) = s_;
    result = loadScoreFile(loaded, fileName, intoPart);
  } catch (const std::bad_alloc&) {
    result = FileResult::failure(
        FileError::CannotOpen,
        fillText(uiText("kelvara::Editor", "ファイル %1 を読み込むためのメモリが足りません。"),
                 {fileName}));
  }
  if (!result.ok()) {
    editor_.questions().error(result.message);
    return false;
  }

  s_.Busy = 1;
  eraseCursorMark(s_, editor_.view());
  // The score before the load is one undo step away; the parts the file
  // fills start empty instead of as copies.
  PerPart<uint8_t> replaced{};
  for (int p = 0; p < kPartCount; ++p) replaced[p] = !onePart || p == intoPart ? 1 : 0;
  if (s_.Undo != nullptr) s_.Undo->beginScore(true, replaced);
  // The selection names records that are about to go.
  s_.SelActive = 0;
  s_.SelAnchorNode = nullptr;
  s_.SelEndNode = nullptr;

  const uint8_t majorBefore = s_.Major;
  // A one-part file changes only its part's voice; the other parts' values
  // came in with the editor's own above.
  static_cast<ScoreValues&>(s_) = loaded;
  for (int p = 0; p < kPartCount; ++p) {
    if (onePart && p != intoPart) continue;
    // The parts trade lists: the old records go with `loaded`.
    std::swap(s_.PartHead[p], loaded.PartHead[p]);
    s_.CurNode[p] = firstRecordOf(s_.PartHead[p]);
    s_.PartSelected[p] = 1;
    s_.PageEndNode[p] = nullptr;
    s_.CursorX[p] = kMusicLeft;
  }
  // The time signature may have changed: every part's bar position is
  // counted again, not only those of the parts read.
  for (int p = 0; p < kPartCount; ++p) s_.recountBarPosition(p);

  if (onePart) {
    // One part of the score came from elsewhere: the score as a whole is kept nowhere.
    s_.markChanged();
  } else {
    s_.FileName = fileName;
    s_.markSaved();
  }
  showOverwriteState();
  if (s_.Undo != nullptr) s_.Undo->commit();

  rebuildView();
  reopenMidiOutput(editor_.midi(), s_.MidiDevice, s_.PartProgram, ProgramChanges::AllChannels);
  // How the file was read (its timing rounded to 64ths), told once.
  if (!result.notice.empty()) editor_.questions().inform(result.notice);
  // The keys play the file's major or minor arrangement; the keyboard
  // picture follows, as it does when the settings change it.
  if (s_.Major != majorBefore) editor_.input().slide(s_.Major == 1);
  s_.Busy = 0;
  return true;
}

bool FileCommands::restoreRecoveryCopy(const std::string& copyPath,
                                       const std::string& originalName) {
  if (!openFile(copyPath)) return false;
  s_.FileName = originalName;
  showOverwriteState();
  s_.markChanged();
  editor_.history().clear();
  return true;
}

void FileCommands::BitBtn8Click() {
  FocusBack focus(editor_.view());
  if (s_.Modified) {
    // The question about the changes is the confirmation.
    if (!settleUnsavedChanges()) return;
  } else if (!editor_.questions().confirm(uiText("kelvara::Editor", "確認"),
                                          uiText("kelvara::Editor", "現在のデータを破棄します"))) {
    return;
  }

  s_.Busy = 1;
  eraseCursorMark(s_, editor_.view());
  // The emptied score is one undo step away from the one it replaces.
  PerPart<uint8_t> everyPart;
  everyPart.fill(1);
  if (s_.Undo != nullptr) s_.Undo->beginScore(true, everyPart);
  s_.SelActive = 0;
  s_.SelAnchorNode = nullptr;
  s_.SelEndNode = nullptr;
  for (int p = 0; p < kPartCount; ++p) {
    s_.CurNode[p] = clearPart(s_.PartHead[p]);
    s_.BarNo[p] = 1;
    s_.BarFill[p] = 0;
    s_.CursorX[p] = kMusicLeft;
    s_.PartSelected[p] = 1;
    s_.PageEndNode[p] = nullptr;
  }
  // A new score is kept in no file yet: nothing may overwrite the old one
  // with it.
  s_.FileName.clear();
  s_.markSaved();
  if (s_.Undo != nullptr) s_.Undo->commit();
  showOverwriteState();
  rebuildView();
  s_.Busy = 0;
}

void FileCommands::rebuildView() {
  PageRenderer& renderer = editor_.renderer();
  s_.PageNode = s_.CurNode[s_.WorkPart];
  s_.PageFirstBar = 1;
  renderer.resetPictureWidth();
  editor_.view().setScrollX(0);
  renderer.PageDraw();
}

}  // namespace kelvara
