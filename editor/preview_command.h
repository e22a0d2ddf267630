#pragma once

#include <optional>
#include <string>

#include "score/editor_state.h"
#include "score/user_questions.h"
#include "sound/midi_output.h"
#include "sound/preview_range.h"

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

// What the preview dialog gives back on OK: the parts to hear and the bars.
struct PreviewChoice {
  PerPart<uint8_t> parts{};
  PreviewRange range;
};

// The two windows of the preview command. The shell shows them; tests
// script them.
class PreviewDialogs {
 public:
  virtual ~PreviewDialogs() = default;

  // TForm6 ("試聴－準備") with the parts `selected` ticked: the parts and bars
  // chosen, nothing on Cancel.
  virtual std::optional<PreviewChoice> choosePreview(const PerPart<uint8_t>& selected) = 0;
  // TForm4 ("試聴"): plays `file` on `midi`, which is closed, numbering its
  // first bar `firstBar`; returns once the window has closed and let the
  // output go.
  virtual void playPreview(MidiOutput& midi, int device, const std::string& file,
                           int32_t firstBar) = 0;
};

// The preview command (the "試聴" button, BitBtn4Click): asks for the parts
// and bars (from and back into PartSelected), writes them with the MIDI
// export to `file`, hands the output to the player window and, once it has
// closed, opens the output again with the voices of channels 0..8 and 10. A
// file that cannot be written is reported and the output is left as it was.
// True when the player window was shown.
bool runPreviewCommand(EditorState& s, MidiOutput& midi, UserQuestions& questions,
                       PreviewDialogs& dialogs, const PreviewFile& file);

}  // namespace kelvara
