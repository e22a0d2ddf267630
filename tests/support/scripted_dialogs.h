#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/command_dialogs.h"

namespace kelvara::testing {

// Answers the command dialogs from a script and keeps what each was shown.
// A dialog asked with no answer left is cancelled (TForm8: its first item).
class ScriptedDialogs : public CommandDialogs {
 public:
  std::optional<PerPart<uint8_t>> chooseSaveParts(const PerPart<uint8_t>& selected) override {
    shownTForm7.push_back(selected);
    if (form7.empty()) return std::nullopt;
    auto answer = form7.front();
    form7.pop_front();
    return answer;
  }
  std::optional<SaveDialogAnswer> saveDialog(const std::string& fileName,
                                             int filterIndex) override {
    shownSave.push_back({fileName, filterIndex});
    return next(save);
  }
  std::optional<std::string> openDialog(const std::string& fileName) override {
    shownOpen.push_back(fileName);
    return next(open);
  }
  int chooseOnePart(const std::string& line1, const std::string& line2) override {
    shownTForm8.push_back(line1 + " / " + line2);
    if (form8.empty()) return 0;
    const int item = form8.front();
    form8.pop_front();
    return item;
  }
  std::optional<ScoreSettingsForm> editScoreSettings(const ScoreSettingsForm& shown) override {
    shownTForm3.push_back(shown);
    if (!form3) return std::nullopt;
    return form3(shown);
  }
  AuxiliaryOptions showCredit(
      const AuxiliaryOptions& shown,
      const std::function<void(const AuxiliaryOptions&)>& changed) override {
    shownTForm5.push_back(shown);
    return form5 ? form5(shown, changed) : shown;
  }
  UnsavedAnswer askUnsavedChanges(const std::string& text) override {
    unsavedAsked.push_back(text);
    if (unsaved.empty()) return UnsavedAnswer::Cancel;
    const UnsavedAnswer answer = unsaved.front();
    unsaved.pop_front();
    return answer;
  }
  void setOverwriteEnabled(bool enabled) override { overwriteButton = enabled; }

  static PerPart<uint8_t> allParts() {
    PerPart<uint8_t> all;
    all.fill(1);
    return all;
  }

  // Answers; std::nullopt is Cancel.
  std::deque<std::optional<PerPart<uint8_t>>> form7;
  std::deque<std::optional<SaveDialogAnswer>> save;
  std::deque<std::optional<std::string>> open;
  std::deque<int> form8;
  std::function<std::optional<ScoreSettingsForm>(const ScoreSettingsForm&)> form3;
  std::function<AuxiliaryOptions(const AuxiliaryOptions&,
                                 const std::function<void(const AuxiliaryOptions&)>&)>
      form5;
  std::deque<UnsavedAnswer> unsaved;

  // What was shown.
  std::vector<PerPart<uint8_t>> shownTForm7;
  std::vector<SaveDialogAnswer> shownSave;
  std::vector<std::string> shownOpen;
  std::vector<std::string> shownTForm8;
  std::vector<ScoreSettingsForm> shownTForm3;
  std::vector<AuxiliaryOptions> shownTForm5;
  std::vector<std::string> unsavedAsked;
  bool overwriteButton = false;

 private:
  template <typename T>
  static std::optional<T> next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace kelvara::testing
