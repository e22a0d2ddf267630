#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "score/modifier_dialogs.h"

namespace kelvara::testing {

// Answers the modifier dialogs from a script: each answer is typed into the
// dialog and OK pressed; a refused answer leaves the dialog open for the
// next one, as a user correcting the box would. An exhausted script cancels.
class ScriptedModifierDialogs : public ModifierDialogs {
 public:
  bool askLength(LengthForm& form, const FormCheck<LengthForm>& check) override {
    shownLength.push_back(form);
    return answer(form, lengths, check);
  }
  bool askVelocity(VelocityForm& form, const FormCheck<VelocityForm>& check) override {
    shownVelocity.push_back(form);
    return answer(form, velocities, check);
  }
  bool askTail(TailForm& form, const FormCheck<TailForm>& check) override {
    shownTail.push_back(form);
    return answer(form, tails, check);
  }

  std::deque<LengthForm> lengths;
  std::deque<VelocityForm> velocities;
  std::deque<TailForm> tails;
  // What the dialogs showed when they opened, and every refusal.
  std::vector<LengthForm> shownLength;
  std::vector<VelocityForm> shownVelocity;
  std::vector<TailForm> shownTail;
  std::vector<FormError> refusals;

 private:
  template <typename Form>
  bool answer(Form& form, std::deque<Form>& script, const FormCheck<Form>& check) {
    while (!script.empty()) {
      Form typed = script.front();
      script.pop_front();
      if (const auto error = check(typed)) {
        refusals.push_back(*error);
        continue;
      }
      form = typed;
      return true;
    }
    return false;
  }
};

}  // namespace kelvara::testing
