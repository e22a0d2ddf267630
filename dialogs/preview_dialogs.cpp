#include "dialogs/preview_dialogs.h"

#include "dialogs/player_window.h"
#include "dialogs/preview_parts_dialog.h"

namespace kelvara {

PreviewWindows::PreviewWindows(QWidget* parent, UserQuestions& questions, PlayerClock* clock)
    : parent_(parent), questions_(questions), clock_(clock) {}

std::optional<PreviewChoice> PreviewWindows::choosePreview(const PerPart<uint8_t>& selected) {
  TForm6 form(parent_, &questions_);
  form.load(selected);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return PreviewChoice{form.selectedParts(), form.range()};
}

void PreviewWindows::playPreview(MidiOutput& midi, int device, const std::string& file,
                                 int32_t firstBar) {
  TForm4 player(midi, device, file, firstBar, parent_, clock_);
  player.exec();
}

bool runPreviewCommand(QWidget* parent, EditorState& s, MidiOutput& midi, UserQuestions& questions,
                       const PreviewFile& file, PlayerClock* clock) {
  PreviewWindows windows(parent, questions, clock);
  return runPreviewCommand(s, midi, questions, windows, file);
}

}  // namespace kelvara
