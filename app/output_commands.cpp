#include "app/output_commands.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QProgressDialog>

#include "dialogs/output_file_dialogs.h"
#include "dialogs/output_layout_dialog.h"
#include "dialogs/output_parts_dialog.h"
#include "print/picture_pages.h"
#include "print/printer_pages.h"
#include "render/drawing_threads.h"

namespace kelvara {

namespace {

// A progress dialog over the editor window; it appears only when the output
// takes a while, and its button stops the output before the next page.
class ProgressDialog : public OutputProgress {
 public:
  explicit ProgressDialog(QWidget* window)
      : dialog_(QCoreApplication::translate("kelvara::OutputCommands", "出力しています…"),
                QCoreApplication::translate("kelvara::OutputCommands", "中止"), 0, 1, window) {
    dialog_.setWindowTitle(QCoreApplication::translate("kelvara::OutputCommands", "出力"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
  }
  ~ProgressDialog() override {
    // Also stops the timer that would show it after the minimum duration.
    dialog_.reset();
    dialog_.close();
  }

  bool pagesDone(int done, int total) override {
    dialog_.setMaximum(std::max(total, 1));
    dialog_.setValue(done);
    dialog_.setLabelText(
        QCoreApplication::translate("kelvara::OutputCommands", "出力しています… %1 / %2 ページ")
            .arg(done)
            .arg(total));
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
};

}  // namespace

OutputCommands::OutputCommands(QWidget* window, Editor& editor, UserQuestions& questions)
    : window_(window),
      editor_(editor),
      questions_(questions),
      form13_(std::make_unique<TForm13>(window, &questions)),
      form12_(std::make_unique<TForm12>(window, &questions)),
      fileDialogs_(std::make_unique<OutputFileDialogs>(window)),
      dialogs_(fileDialogs_.get()) {}

OutputCommands::~OutputCommands() = default;

void OutputCommands::BitBtn12Click() {
  if (form13_->exec() == QDialog::Accepted) {
    if (form13_->wholeRange()) {
      Printdata(1, -1);
    } else {
      Printdata(form13_->firstBar(), form13_->lastBar());
    }
  }
  editor_.view().focusNoteEntry();
}

void OutputCommands::Printdata(int32_t firstBar, int32_t lastBar) {
  EditorState& s = editor_.state();
  OutputRequest request;
  request.parts = form13_->parts();
  request.firstBar = firstBar;
  request.lastBar = lastBar;

  form12_->load(s.PrintBarsPerLine, s.PrintLinesPerPage);
  if (form12_->exec() != QDialog::Accepted) return;
  s.PrintBarsPerLine = form12_->barsPerLine();
  s.PrintLinesPerPage = form12_->linesPerPage();
  request.barsPerLine = s.PrintBarsPerLine;
  request.linesPerPage = s.PrintLinesPerPage;

  // Under a tight memory limit the system may refuse the threads Qt draws
  // large pictures on, and the drawing would wait for them for ever.
  if (const std::string error = reserveDrawingThread(); !error.empty()) {
    questions_.error(error);
    return;
  }
  ScorePages pages(s, editor_.glyphs());
  if (form12_->OutputKind == 1) {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_->choosePrinter(printer)) return;
    const std::unique_ptr<PageTarget> target = printTargetFor(printer);
    report(outputWithProgress(pages, request, *target));
    return;
  }
  const std::optional<OutputDialogs::ChosenPicture> chosen = dialogs_->choosePicture();
  if (!chosen) return;
  const PictureName name = splitPictureName(chosen->name, chosen->jpegFilter, chosen->pngFilter);
  PicturePages target(name.base, name.extension);
  report(outputWithProgress(pages, request, target));
}

OutputResult OutputCommands::outputWithProgress(ScorePages& pages, const OutputRequest& request,
                                                PageTarget& target) {
  // The progress box is gone before anything is reported: left open, it
  // would come up over the message and take its clicks.
  ProgressDialog progress(window_);
  return pages.output(request, target, &progress);
}

void OutputCommands::report(const OutputResult& result) {
  if (!result.ok()) {
    questions_.error(result.error);
  } else if (result.cancelled) {
    questions_.inform(QCoreApplication::translate("kelvara::OutputCommands",
                                                  "出力を中止しました。%1 ページは出力済みです。")
                          .arg(result.pages)
                          .toStdString());
  } else if (result.pages == 0) {
    questions_.inform(
        QCoreApplication::translate("kelvara::OutputCommands",
                                    "出力するページがありません。パートと範囲を確かめてください。")
            .toStdString());
  }
}

}  // namespace kelvara
