#pragma once

#include <string>
#include <vector>

#include "sound/midi_input.h"
#include "sound/notices.h"

namespace kelvara {

// The MIDI input the player chose ("MIDI入力"): none, or one port, known by
// its id so that ports coming and going do not shift the choice onto another.
// A chosen port that is gone, or that will not open, is reported once and the
// choice falls back to none.
class MidiInputChoice {
 public:
  MidiInputChoice(MidiInput& input, MidiInputQueue& queue) : input_(input), queue_(queue) {}
  ~MidiInputChoice() { close(); }
  MidiInputChoice(const MidiInputChoice&) = delete;
  MidiInputChoice& operator=(const MidiInputChoice&) = delete;

  // The input ports present now.
  std::vector<MidiPortInfo> ports() { return input_.midiInPorts(); }
  // Opens the port with this id, closing the one open; an empty id chooses
  // none. A port of the same name at another address (plugged in anew) is
  // the same port. True when the choice is now what was asked. A port whose label is
  // `outputLabel` (the MIDI output's open device) is refused: what the editor
  // sends there would come back in and be entered again without end.
  bool choose(const std::string& id, const std::string& outputLabel = {});
  // The id of the open port; empty for none.
  const std::string& chosen() const { return chosen_; }
  // Its label as the device lists show it; empty for none.
  const std::string& chosenLabel() const { return chosenLabel_; }
  // Checks that the open port is still present; when it has gone, closes it,
  // reports it and falls back to none (or opens it again where it came back
  // at another address). True when the port open changed.
  bool checkStillPresent();
  // Closes the open port; the choice becomes none.
  void close();

  // What the user is to be told (a port gone or refused), one per line; empty
  // when there is nothing. Forgets what it returns.
  std::string takeNotice() { return notices_.take(); }

 private:
  std::string labelOf(const std::string& id, const std::vector<MidiPortInfo>& present) const;

  MidiInput& input_;
  MidiInputQueue& queue_;
  std::string chosen_;
  std::string chosenLabel_;
  NoticeBoard notices_;
};

}  // namespace kelvara
