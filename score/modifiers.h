#pragma once

#include <cstdint>
#include <variant>

#include "score/editor_state.h"
#include "score/modifier_dialogs.h"
#include "score/score_drawing.h"
#include "score/score_view.h"
#include "score/selection.h"

namespace kelvara {

// A dialog's values as the records store them, or the box that refuses.
template <typename Values>
using Checked = std::variant<Values, FormError>;

struct LengthValues {
  int32_t num;  // signed: negative shortens
  int32_t den;
};
struct VelocityValues {
  int32_t from;
  int32_t to;
};
struct TailValues {
  int32_t type;  // 0 constant, 1 shift, 2 vibrato
  int32_t startNum;
  int32_t startDen;
  int32_t amount;  // hundredths of a whole tone, signed
  int32_t period;
};

// Reading the dialogs. Values are bounded to what the score files keep: a
// length of up to 127 / 1..255 of a whole note, delays of 0..255 / 1..255,
// velocities 0..127, amounts up to 6 tones either way, vibrato periods
// 2..255. A fraction text without "/" means no adjustment (0 / 4).
Checked<LengthValues> readLengthForm(const LengthForm& form);
Checked<VelocityValues> readVelocityForm(const VelocityForm& form);
Checked<TailValues> readTailForm(const TailForm& form);

// The dialogs preset from the selection.
LengthForm lengthFormFor(const TOnpu& first);
VelocityForm velocityFormFor(const TOnpu& first, const TOnpu& last);
TailForm tailFormFor(const TOnpu& first);

// Which of TForm11's controls a kind enables (ConstantClick, shiftClick,
// vibeClick): the shift delay, amount and direction; the vibrato delay,
// amplitude and period.
struct TailControls {
  bool shift;
  bool vibrato;
};
constexpr TailControls tailControlsFor(TailKind kind) {
  return {kind == TailKind::Shift, kind == TailKind::Vibrato};
}

// Amounts in hundredths of a tone shown as tones, shortest form: 50 -> "0.5".
std::string tonesText(int32_t hundredths);

// How the selected records sound: length adjustment, velocity ramp and
// lingering tail, each asked in its dialog.
class NoteModifiers {
 public:
  NoteModifiers(EditorState& state, ScoreDrawing& drawing, ScoreView& view,
                SelectionModel& selection)
      : s_(state), drawing_(drawing), view_(view), selection_(selection) {}

  // Sets the sounding-length adjustment of the selected records (TForm9).
  void Change_dl(ModifierDialogs& dialogs);
  // Ramps the velocity from the first to the last selected record by their
  // start times (TForm10).
  void Change_vel(ModifierDialogs& dialogs);
  // Sets the lingering pitch tail of the selected records (TForm11).
  void Change_yoin(ModifierDialogs& dialogs);

 private:
  EditorState& s_;
  ScoreDrawing& drawing_;
  ScoreView& view_;
  SelectionModel& selection_;
};

}  // namespace kelvara
