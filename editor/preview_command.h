#pragma once

#include <QWidget>
#include <string>

#include "score/editor_state.h"
#include "score/user_questions.h"
#include "sound/midi_output.h"
#include "sound/midi_player.h"

namespace kelvara {

// Where the preview file goes: "tt.mid" in a folder of the user's own
// ("kelvara-<user id>", readable by the user alone) in the temporary folder,
// so that users of one machine never meet each other's file. `error` says
// why no such folder could be made; the path is then empty.
struct PreviewFile {
  std::string path;
  std::string error;
};
PreviewFile previewFilePath();

// The preview command (the "試聴" button, BitBtn4Click): asks for the parts
// and bars (TForm6, from and back into PartSelected), writes them with the
// MIDI export to `file`, hands the output to the player window (TForm4) and,
// once it has closed, opens the output again with the voices of channels
// 0..8 and 10. A file that cannot be written is reported and the output is
// left as it was. True when the player window was shown.
bool runPreviewCommand(QWidget* parent, EditorState& s, MidiOutput& midi, UserQuestions& questions,
                       const PreviewFile& file, PlayerClock* clock = nullptr);

}  // namespace kelvara
