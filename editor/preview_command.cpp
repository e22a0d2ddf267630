#include "editor/preview_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#include "files/midi_export.h"
#include "score/ui_text.h"
#include "sound/part_voices.h"

namespace kelvara {

PreviewFile previewFilePath() {
  const std::string temp =
      QStandardPaths::writableLocation(QStandardPaths::TempLocation).toStdString();
  const std::string folder = temp + "/kelvara-" + std::to_string(::getuid());
  PreviewFile out;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    out.error = fillText(uiText("kelvara::Editor", "フォルダ %1 を作成できません（%2）"),
                         {folder, std::strerror(errno)});
    return out;
  }
  // Somebody else's folder, or a link to one, is not ours to write into.
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
    out.error = fillText(
        uiText("kelvara::Editor", "フォルダ %1 はほかの利用者のものなので使えません"), {folder});
    return out;
  }
  out.path = folder + "/tt.mid";
  return out;
}

bool runPreviewCommand(EditorState& s, MidiOutput& midi, UserQuestions& questions,
                       PreviewDialogs& dialogs, const PreviewFile& file) {
  const std::optional<PreviewChoice> choice = dialogs.choosePreview(s.PartSelected);
  if (!choice) return false;
  s.PartSelected = choice->parts;
  const PreviewRange range = choice->range;

  if (!file.error.empty()) {
    questions.error(file.error);
    return false;
  }
  const FileResult written = savedataplus3(s, file.path, range.fromBar, range.toBar);
  if (!written.ok()) {
    questions.error(written.message);
    return false;
  }

  midi.midiOutClose();
  dialogs.playPreview(midi, s.MidiDevice, file.path, range.toBar < 0 ? 1 : range.fromBar);
  reopenMidiOutput(midi, s.MidiDevice, s.PartProgram, ProgramChanges::MelodicChannels,
                   /*closeFirst=*/false);
  return true;
}

}  // namespace kelvara
