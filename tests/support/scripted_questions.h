#pragma once

#include <deque>
#include <string>
#include <vector>

#include "score/user_questions.h"

namespace kelvara::testing {

// Answers questions from a script and keeps every message shown.
class ScriptedQuestions : public UserQuestions {
 public:
  void inform(const std::string& text) override { informed.push_back(text); }
  void error(const std::string& text) override { errors.push_back(text); }
  bool confirm(const std::string& caption, const std::string& text) override {
    asked.push_back(caption + ": " + text);
    return next();
  }
  bool askYesNo(const std::string& text) override {
    asked.push_back(text);
    return next();
  }

  std::deque<bool> answers;  // true: OK / Yes
  std::vector<std::string> informed, errors, asked;

 private:
  bool next() {
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace kelvara::testing
