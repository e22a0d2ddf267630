#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/editor.h"
#include "print/output_dialogs.h"
#include "print/score_pages.h"
#include "score/user_questions.h"

class QWidget;

namespace kelvara {

class TForm12;
class TForm13;

// The "出力" command: the two output dialogs, then the printer or picture
// files, with a progress dialog that can stop between pages. The dialogs are
// made once, so they keep their settings for the run.
class OutputCommands {
 public:
  OutputCommands(QWidget* window, Editor& editor, UserQuestions& questions);
  ~OutputCommands();
  OutputCommands(const OutputCommands&) = delete;
  OutputCommands& operator=(const OutputCommands&) = delete;

  // The "出力" button: asks for the parts and the range of bars, then Printdata.
  void BitBtn12Click();
  // Asks for the layout and the output kind, then prints or writes the
  // pictures of bars firstBar..lastBar (lastBar < 0: to the end of each part).
  void Printdata(int32_t firstBar, int32_t lastBar);

  TForm13& form13() { return *form13_; }
  TForm12& form12() { return *form12_; }

  // Where the save-picture and print questions go: the file and print
  // dialogs over the window unless a test scripts them.
  void setDialogs(OutputDialogs& dialogs) { dialogs_ = &dialogs; }

 private:
  void report(const OutputResult& result);
  // Puts the pages out under a progress box, closed when this returns.
  OutputResult outputWithProgress(ScorePages& pages, const OutputRequest& request,
                                  PageTarget& target);

  QWidget* window_;
  Editor& editor_;
  UserQuestions& questions_;
  std::unique_ptr<TForm13> form13_;
  std::unique_ptr<TForm12> form12_;
  std::unique_ptr<OutputDialogs> fileDialogs_;
  OutputDialogs* dialogs_;
};

}  // namespace kelvara
