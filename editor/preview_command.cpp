#include "dialogs/preview_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#include "dialogs/player_window.h"
#include "dialogs/preview_parts_dialog.h"
#include "files/midi_export.h"
#include "sound/part_voices.h"

namespace kelvara {

PreviewFile previewFilePath() {
  const std::string temp =
      QStandardPaths::writableLocation(QStandardPaths::TempLocation).toStdString();
  const std::string folder = temp + "/kelvara-" + std::to_string(::getuid());
  PreviewFile out;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    out.error = "フォルダ " + folder + " を作成できません（" + std::strerror(errno) + "）";
    return out;
  }
  // Somebody else's folder, or a link to one, is not ours to write into.
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
    out.error = "フォルダ " + folder + " はほかの利用者のものなので使えません";
    return out;
  }
  out.path = folder + "/tt.mid";
  return out;
}

bool runPreviewCommand(QWidget* parent, EditorState& s, MidiOutput& midi, UserQuestions& questions,
                       const PreviewFile& file, PlayerClock* clock) {
  TForm6 form(parent, &questions);
  form.load(s.PartSelected);
  if (form.exec() != QDialog::Accepted) return false;
  s.PartSelected = form.selectedParts();
  const PreviewRange range = form.range();

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
  {
    TForm4 player(midi, s.MidiDevice, file.path, range.toBar < 0 ? 1 : range.fromBar, parent,
                  clock);
    player.exec();
  }  // the player has let the output go
  reopenMidiOutput(midi, s.MidiDevice, s.PartProgram, ProgramChanges::MelodicChannels,
                   /*closeFirst=*/false);
  return true;
}

}  // namespace kelvara
