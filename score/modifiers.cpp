#include "score/modifiers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "score/score_changes.h"
#include "score/ui_text.h"
#include "score/undo_scope.h"
#include "score/whole_number.h"

namespace kelvara {

namespace {

constexpr int32_t kMaxLengthNum = 127;
constexpr int32_t kMaxDen = 255;
constexpr int32_t kMaxDelayNum = 255;
constexpr int32_t kMaxVelocity = 127;
constexpr double kMaxTones = 6.0;
constexpr int32_t kMinPeriod = 2;
constexpr int32_t kMaxPeriod = 255;
constexpr int32_t kNeutralPeriod = 4;

std::string_view trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

// A decimal number of tones, at most kMaxTones either way, as hundredths.
std::optional<int32_t> tones(std::string_view text) {
  const std::string s(trimmed(text));
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(value) || std::fabs(value) > kMaxTones) {
    return std::nullopt;
  }
  // 0.57 tones is 57 hundredths, not 56.999...
  return static_cast<int32_t>(std::trunc(value * 100.0 + (value < 0 ? -1e-6 : 1e-6)));
}

struct Fraction {
  int32_t num;
  int32_t den;
  bool hadSlash;
};

// "n/d" split at the first "/"; without "/" (blank or a whole number) there
// is no adjustment: 0 / 4.
std::optional<Fraction> fraction(std::string_view text, int32_t maxNum) {
  const auto slash = text.find('/');
  if (slash == std::string_view::npos) {
    if (!trimmed(text).empty() && !parseWholeNumber(text, INT32_MIN, INT32_MAX))
      return std::nullopt;
    return Fraction{0, 4, false};
  }
  const auto num = parseWholeNumber(text.substr(0, slash), 0, maxNum);
  const auto den = parseWholeNumber(text.substr(slash + 1), 1, kMaxDen);
  if (!num || !den) return std::nullopt;
  return Fraction{*num, *den, true};
}

template <typename Values>
std::optional<FormError> errorOf(const Checked<Values>& read) {
  if (const auto* e = std::get_if<FormError>(&read)) return *e;
  return std::nullopt;
}

FormError refuse(FormBox box, std::string message) {
  return {box, std::move(message)};
}

std::string fractionText(int32_t num, int32_t den) {
  return std::to_string(num) + "/" + std::to_string(den);
}

}  // namespace

Checked<LengthValues> readLengthForm(const LengthForm& form) {
  const auto f = fraction(form.amount, kMaxLengthNum);
  if (!f) {
    return refuse(
        FormBox::LengthAmount,
        uiText("kelvara::Score",
               "長さ調整: 「全音符の … 分だけ」の値は「1/16」のように 分子/分母 で入力して"
               "ください（分子は 0〜127、分母は 1〜255）。"));
  }
  const int32_t num = f->hadSlash && form.shorter ? -f->num : f->num;
  return LengthValues{num, f->den};
}

Checked<VelocityValues> readVelocityForm(const VelocityForm& form) {
  const auto from = parseWholeNumber(form.from, 0, kMaxVelocity);
  if (!from) {
    return refuse(
        FormBox::VelocityFrom,
        uiText("kelvara::Score", "強弱調整: 「→」の左の値は 0〜127 の整数で入力してください。"));
  }
  const auto to = parseWholeNumber(form.to, 0, kMaxVelocity);
  if (!to) {
    return refuse(
        FormBox::VelocityTo,
        uiText("kelvara::Score", "強弱調整: 「→」の右の値は 0〜127 の整数で入力してください。"));
  }
  return VelocityValues{*from, *to};
}

Checked<TailValues> readTailForm(const TailForm& form) {
  TailValues v{static_cast<int32_t>(form.kind), 0, 4, 0, kNeutralPeriod};
  if (form.kind == TailKind::Shift) {
    const auto delay = fraction(form.shiftDelay, kMaxDelayNum);
    if (!delay)
      return refuse(FormBox::ShiftDelay,
                    uiText("kelvara::Score",
                           "余韻調整: シフトの開始位置は「1/16」のように 分子/分母 "
                           "で入力してください（分子は 0〜255、分母は 1〜255）。"));
    const auto amount = tones(form.shiftAmount);
    if (!amount)
      return refuse(
          FormBox::ShiftAmount,
          uiText("kelvara::Score",
                 "余韻調整: シフト量は 0〜6 の数で入力してください（全音は 1、半音は 0.5）。"));
    v.startNum = delay->num;
    v.startDen = delay->den;
    v.amount = form.lower ? -*amount : *amount;
  } else {
    const bool vibrato = form.kind == TailKind::Vibrato;
    if (vibrato) {
      const auto delay = fraction(form.vibratoDelay, kMaxDelayNum);
      if (!delay) {
        return refuse(FormBox::VibratoDelay,
                      uiText("kelvara::Score",
                             "余韻調整: 振動の開始位置は「1/16」のように 分子/分母 "
                             "で入力してください（分子は 0〜255、分母は 1〜255）。"));
      }
      v.startNum = delay->num;
      v.startDen = delay->den;
    }
    // The amplitude box is stored for every kind but shift; only a vibrato
    // needs it to be right, the greyed box of "一定" stores 0 when it is not.
    const auto amount = tones(form.vibratoAmount);
    if (!amount && vibrato) {
      return refuse(
          FormBox::VibratoAmount,
          uiText("kelvara::Score",
                 "余韻調整: 振幅は 0〜6 の数で入力してください（全音は 1、半音は 0.5）。"));
    }
    v.amount = amount.value_or(0);
  }
  const auto period = parseWholeNumber(form.vibratoPeriod, kMinPeriod, kMaxPeriod);
  if (!period && form.kind == TailKind::Vibrato) {
    return refuse(FormBox::VibratoPeriod,
                  uiText("kelvara::Score",
                         "余韻調整: 周期は 2〜255 の整数で入力してください（4 で 16分音符分）。"));
  }
  // Outside a vibrato the period box is greyed and means nothing.
  v.period = period.value_or(kNeutralPeriod);
  return v;
}

std::string tonesText(int32_t hundredths) {
  const double value = std::abs(hundredths) / 100.0;
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

LengthForm lengthFormFor(const TOnpu& first) {
  return {fractionText(std::abs(first.LenNum), first.LenDen), first.LenNum < 0};
}

VelocityForm velocityFormFor(const TOnpu& first, const TOnpu& last) {
  return {std::to_string(first.Velocity), std::to_string(last.Velocity)};
}

TailForm tailFormFor(const TOnpu& first) {
  TailForm form;
  form.kind = first.YoinType == 0   ? TailKind::Constant
              : first.YoinType == 1 ? TailKind::Shift
                                    : TailKind::Vibrato;
  form.lower = first.YoinAmount < 0;
  form.shiftDelay = form.vibratoDelay = fractionText(first.YoinStartNum, first.YoinStartDen);
  form.shiftAmount = form.vibratoAmount = tonesText(first.YoinAmount);
  form.vibratoPeriod = std::to_string(first.YoinPeriod);
  return form;
}

void NoteModifiers::Change_dl(ModifierDialogs& dialogs) {
  const auto range = selection_.ordered();
  if (!range) return;
  LengthForm form = lengthFormFor(*range->first);
  const bool ok =
      dialogs.askLength(form, [](const LengthForm& f) { return errorOf(readLengthForm(f)); });
  view_.focusNoteEntry();
  if (!ok) return;
  const Checked<LengthValues> read = readLengthForm(form);
  const auto* v = std::get_if<LengthValues>(&read);
  if (v == nullptr) return;
  const auto taken = selection_.take(view_);
  if (!taken) return;
  UndoScope undo(s_, s_.WorkPart, taken->first, taken->stop);
  for (TOnpu* r = taken->first; r != taken->stop; r = r->Next) {
    r->LenNum = v->num;
    r->LenDen = v->den;
  }
  markChanged(s_);
  drawing_.PageDraw();
}

void NoteModifiers::Change_vel(ModifierDialogs& dialogs) {
  const auto range = selection_.ordered();
  if (!range) return;
  VelocityForm form = velocityFormFor(*range->first, *range->stop->Prev);
  const bool ok =
      dialogs.askVelocity(form, [](const VelocityForm& f) { return errorOf(readVelocityForm(f)); });
  view_.focusNoteEntry();
  if (!ok) return;
  const Checked<VelocityValues> read = readVelocityForm(form);
  const auto* v = std::get_if<VelocityValues>(&read);
  if (v == nullptr) return;
  const auto taken = selection_.take(view_);
  if (!taken) return;
  UndoScope undo(s_, s_.WorkPart, taken->first, taken->stop);
  // Every record but the last spans its bar contribution; the ramp follows
  // the records' start times.
  int64_t total = 0;
  for (TOnpu* r = taken->first; r != taken->stop->Prev; r = r->Next) total += barContribution(*r);
  if (total == 0) total = 1;
  int64_t g = 0;
  for (TOnpu* r = taken->first; r != taken->stop; r = r->Next) {
    const double value =
        (static_cast<double>(total - g) * v->from + static_cast<double>(g) * v->to) / total;
    r->Velocity = static_cast<int32_t>(std::trunc(value));
    g += barContribution(*r);
  }
  markChanged(s_);
}

void NoteModifiers::Change_yoin(ModifierDialogs& dialogs) {
  const auto range = selection_.ordered();
  if (!range) return;
  TailForm form = tailFormFor(*range->first);
  const bool ok = dialogs.askTail(form, [](const TailForm& f) { return errorOf(readTailForm(f)); });
  view_.focusNoteEntry();
  if (!ok) return;
  const Checked<TailValues> read = readTailForm(form);
  const auto* v = std::get_if<TailValues>(&read);
  if (v == nullptr) return;
  const auto taken = selection_.take(view_);
  if (!taken) return;
  UndoScope undo(s_, s_.WorkPart, taken->first, taken->stop);
  for (TOnpu* r = taken->first; r != taken->stop; r = r->Next) {
    r->YoinType = v->type;
    r->YoinStartNum = v->startNum;
    r->YoinStartDen = v->startDen;
    r->YoinAmount = v->amount;
    r->YoinPeriod = v->period;
  }
  markChanged(s_);
}

}  // namespace kelvara
