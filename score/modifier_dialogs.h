#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kelvara {

// The boxes of the three modifier dialogs, for naming the one at fault.
enum class FormBox {
  LengthAmount,   // TForm9 Edit1
  VelocityFrom,   // TForm10 Edit1
  VelocityTo,     // TForm10 Edit2
  ShiftDelay,     // TForm11 Edit1
  ShiftAmount,    // TForm11 Edit5
  VibratoDelay,   // TForm11 Edit2
  VibratoAmount,  // TForm11 Edit4
  VibratoPeriod,  // TForm11 Edit3
};

// A refused value: the box and the message that names it.
struct FormError {
  FormBox box;
  std::string message;
};

// TForm9 "長さ調整": a fraction of a whole note, longer or shorter.
struct LengthForm {
  std::string amount = "1/16";
  bool shorter = false;
};

// TForm10 "強弱調整": the velocity at the first and at the last record.
struct VelocityForm {
  std::string from = "0";
  std::string to = "10";
};

// TForm11 "余韻調整".
enum class TailKind { Constant = 0, Shift = 1, Vibrato = 2 };
struct TailForm {
  TailKind kind = TailKind::Constant;
  std::string shiftDelay = "1/16";
  std::string shiftAmount = "0";  // tones
  bool lower = false;
  std::string vibratoDelay = "1/16";
  std::string vibratoAmount = "0";  // tones
  std::string vibratoPeriod = "0";  // 4 = a 16th note per swing
};

template <typename Form>
using FormCheck = std::function<std::optional<FormError>(const Form&)>;

// The answers of the three modifier dialogs. The dialogs implement it;
// tests script it. Each shows its dialog preset with `form` and returns true
// on OK with `form` holding what was typed. OK is taken only once `check`
// finds nothing to refuse; otherwise its message is shown, the box it names
// gets the focus and the dialog stays open. Cancel returns false.
class ModifierDialogs {
 public:
  virtual ~ModifierDialogs() = default;

  virtual bool askLength(LengthForm& form, const FormCheck<LengthForm>& check) = 0;
  virtual bool askVelocity(VelocityForm& form, const FormCheck<VelocityForm>& check) = 0;
  virtual bool askTail(TailForm& form, const FormCheck<TailForm>& check) = 0;
};

}  // namespace kelvara
