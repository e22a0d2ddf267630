#pragma once

#include <QWidget>

#include "editor/preview_command.h"
#include "sound/midi_player.h"

namespace kelvara {

// The preview command's windows over `parent`: TForm6 and TForm4.
class PreviewWindows : public PreviewDialogs {
 public:
  // Problems with the bar boxes go to `questions`. `clock`: the player's
  // clock, the machine's when not given.
  PreviewWindows(QWidget* parent, UserQuestions& questions, PlayerClock* clock = nullptr);

  std::optional<PreviewChoice> choosePreview(const PerPart<uint8_t>& selected) override;
  void playPreview(MidiOutput& midi, int device, const std::string& file,
                   int32_t firstBar) override;

 private:
  QWidget* parent_;
  UserQuestions& questions_;
  PlayerClock* clock_;
};

// The preview command with its windows over `parent`.
bool runPreviewCommand(QWidget* parent, EditorState& s, MidiOutput& midi, UserQuestions& questions,
                       const PreviewFile& file, PlayerClock* clock = nullptr);

}  // namespace kelvara
