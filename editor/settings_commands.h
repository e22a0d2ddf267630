#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "editor/command_dialogs.h"
#include "editor/editor.h"

namespace kelvara {

// The key list of the score settings dialog; the item index is KeySig.
constexpr std::array<const char*, 15> kKeyListItems = {
    "C#(#7)", "F#(#6)", "B (#5)", "E (#4)", "A (#3)", "D (#2)", "G (#1)", "C",
    "F (b1)", "B-(b2)", "E-(b3)", "A-(b4)", "D-(b5)", "G-(b6)", "C-(b7)"};

// The time list: its texts and the (TimeNum, TimeDen) of each item.
struct TimeListItem {
  const char* text;
  int32_t num;
  int32_t den;
};
constexpr std::array<TimeListItem, 7> kTimeListItems = {{{"4 / 4", 4, 4},
                                                         {"3 / 4", 3, 4},
                                                         {"2 / 4", 2, 4},
                                                         {"9 / 8", 9, 8},
                                                         {"6 / 8", 6, 8},
                                                         {"3 / 8", 3, 8},
                                                         {"2 / 2", 2, 2}}};

// The time list item of a time signature; -1 when the list has none.
int timeListItemFor(int32_t timeNum, int32_t timeDen);

// Tempos the MIDI tempo event and the whole-score file can both hold, in
// quarter notes per minute.
constexpr int32_t kLowestTempo = 4;
constexpr int32_t kHighestTempo = 65535;

// Reads the tempo box. Returns the message for the user when the text is not
// an integer or not a tempo that can be kept; otherwise sets `tempo`.
std::optional<std::string> checkTempoText(const std::string& text, int32_t& tempo);

// The commands "設定" (score settings) and "Credit＆補助設定 " (credit and the
// auxiliary options). Each ends with the focus back on note entry.
class SettingsCommands {
 public:
  SettingsCommands(Editor& editor, CommandDialogs& dialogs);

  // Score settings: key, time signature, tempo and major/minor. Nothing is
  // applied unless every value is right; the page is drawn again when the key
  // or the time signature changed, and the keyboard slides when major/minor did.
  void BitBtn3Click();
  // Credit dialog: its boxes switch the cursor blinking, the arrow-key
  // octave animation and standard notation, taking effect at once.
  void BitBtn6Click();

 private:
  Editor& editor_;
  EditorState& s_;
  CommandDialogs& dialogs_;
};

}  // namespace kelvara
