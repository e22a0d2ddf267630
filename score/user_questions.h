#pragma once

#include <string>

namespace kelvara {

// Questions and messages for the user. The dialogs implement it; tests
// script the answers.
class UserQuestions {
 public:
  virtual ~UserQuestions() = default;

  // A plain message with an OK button.
  virtual void inform(const std::string& text) = 0;
  // An error message with an OK button.
  virtual void error(const std::string& text) = 0;
  // OK / Cancel; true for OK.
  virtual bool confirm(const std::string& caption, const std::string& text) = 0;
  // Yes / No; true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
};

}  // namespace kelvara
