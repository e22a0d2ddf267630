#include "app/score_commands.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "dialogs/credit_dialog.h"
#include "dialogs/part_choice_dialog.h"
#include "dialogs/save_parts_dialog.h"
#include "dialogs/score_settings_dialog.h"
#include "render/page_renderer.h"
#include "score/headless_score_view.h"
#include "score/part_list.h"
#include "score/score_editor.h"
#include "sound/audio_export.h"

namespace kelvara {

namespace {

// File names go to the engine as the bytes the file system uses.
std::string toEngine(const QString& path) {
  return QFile::encodeName(path).toStdString();
}
QString fromEngine(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// A file kind as the file dialogs list it: the caption the user sees and the
// patterns the dialog matches.
struct FileKind {
  const char* caption;
  const char* patterns;
};

constexpr FileKind kSaveKinds[] = {
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "midiファイル (*.mid *.smf)"), "*.mid *.smf"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "zq3ファイル (*.zqf3)"), "*.zqf3"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "zq2ファイル (*.zqf2)"), "*.zqf2"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "zqファイル (*.zqf)"), "*.zqf"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "WAVファイル (*.wav)"), "*.wav"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "MusicXMLファイル (*.musicxml *.mxl *.xml)"),
     "*.musicxml *.mxl *.xml"}};
constexpr FileKind kOpenKinds[] = {
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "zqファイル（*.zqf3）"), "*.zqf3"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "zqファイル（*.zqf2）"), "*.zqf2"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "zqファイル (*.zqf)"), "*.zqf"},
    // Files from other systems often end in capitals.
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "midiファイル (*.mid *.smf)"),
     "*.mid *.smf *.MID *.SMF"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "MusicXMLファイル (*.musicxml *.mxl *.xml)"),
     "*.musicxml *.mxl *.xml"},
    {QT_TRANSLATE_NOOP("kelvara::ScoreCommands", "すべてのファイル (*.*)"), "*"}};

// The dialog's filters: each shows its caption alone (the dialog hides the
// patterns in the ASCII parentheses after it).
template <size_t N>
QStringList filtersOf(const FileKind (&kinds)[N]) {
  QStringList filters;
  for (const FileKind& kind : kinds) {
    filters << ScoreCommands::tr(kind.caption) + " (" + QString::fromLatin1(kind.patterns) + ")";
  }
  return filters;
}

// The number (from 1) of the kind the dialog reports as chosen, by its
// filter or by its caption alone; 0 when none matches.
template <size_t N>
int kindNumber(const FileKind (&kinds)[N], const QString& chosen) {
  const QStringList filters = filtersOf(kinds);
  for (size_t i = 0; i < N; ++i) {
    if (chosen == filters[static_cast<qsizetype>(i)] ||
        chosen == QString::fromUtf8(kinds[i].caption)) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

}  // namespace

ScoreCommands::ScoreCommands(QWidget& window, Editor& editor, QPushButton& overwrite)
    : QObject(&window),
      window_(window),
      editor_(editor),
      overwrite_(overwrite),
      files_(editor, *this),
      settings_(editor, *this),
      form3_(new kelvara::TForm3(&window, &editor.questions())),
      form5_(new kelvara::TForm5(&window)),
      form7_(new kelvara::TForm7(&window)),
      form8_(new kelvara::TForm8(&window)),
      lastFolder_(QDir::homePath()) {
  // The built-in synthesizer renders the save dialog's fifth kind, audio.
  files_.setAudioExport(exportWav);
  // Note entry, the clipboard, undo and the other commands mark changes as
  // they go; the caption and "上書" follow each at once.
  editor_.state().OnModifiedChange = [this] { refreshCaption(); };
}

ScoreCommands::~ScoreCommands() = default;

void ScoreCommands::BitBtn5Click() {
  files_.BitBtn5Click();
  refreshCaption();
}

void ScoreCommands::BitBtn7Click() {
  files_.BitBtn7Click();
  refreshCaption();
}

void ScoreCommands::BitBtn11Click() {
  files_.BitBtn11Click();
  refreshCaption();
}

void ScoreCommands::BitBtn8Click() {
  files_.BitBtn8Click();
  refreshCaption();
}

void ScoreCommands::saveShortcut() {
  files_.saveShortcut();
  refreshCaption();
}

void ScoreCommands::BitBtn3Click() {
  settings_.BitBtn3Click();
  refreshCaption();
}

void ScoreCommands::BitBtn6Click() {
  if (form5_->Picture->pixmap().isNull()) form5_->setPicture(creditPicture(editor_.glyphs()));
  settings_.BitBtn6Click();
}

void ScoreCommands::openAtStart(const std::string& fileName) {
  // A recovery copy restored meanwhile is unsaved work: asked about first.
  if (!files_.settleUnsavedChanges()) return;
  // The name is kept for overwriting, which must not depend on the folder
  // the program was started in.
  files_.openFile(toEngine(QFileInfo(fromEngine(fileName)).absoluteFilePath()));
  refreshCaption();
}

void ScoreCommands::offerRecovery(RecoveryStore& store) {
  for (const RecoveryStore::Orphan& orphan : store.orphans()) {
    const QString from =
        orphan.fileName.empty() ? tr("（名前のない楽譜）") : fromEngine(orphan.fileName);
    const QDateTime when = QDateTime::fromSecsSinceEpoch(orphan.modifiedSeconds);
    QMessageBox box(QMessageBox::Question, tr("復元"),
                    tr("前回は保存されていない変更を残したまま終了しました。\n%1 "
                       "（%2 の時点）を復元しますか？")
                        .arg(from, when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))),
                    QMessageBox::NoButton, &window_);
    QPushButton* restore = box.addButton(tr("復元"), QMessageBox::AcceptRole);
    box.addButton(tr("破棄"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    if (box.clickedButton() == restore) {
      // The copy stays until this run's own copy of the restored work is
      // written: a crash in between still finds it.
      if (files_.restoreRecoveryCopy(orphan.copyPath, orphan.fileName)) store.adopt(orphan);
      refreshCaption();
      return;  // older copies wait for a later start
    }
    store.discard(orphan);
  }
}

bool ScoreCommands::mayClose() {
  const bool close = files_.settleUnsavedChanges();
  refreshCaption();
  return close;
}

void ScoreCommands::refreshCaption() {
  const QString caption = QString::fromStdString(windowCaption(editor_.state()));
  if (window_.windowTitle() != caption) window_.setWindowTitle(caption);
  // An undo may bring back another file name: "上書" names the same file.
  overwrite_.setEnabled(files_.overwriteEnabled());
}

QString ScoreCommands::startFolder(const std::string& fileName) const {
  if (fileName.empty()) return lastFolder_;
  return QFileInfo(fromEngine(fileName)).absolutePath();
}

std::optional<PerPart<uint8_t>> ScoreCommands::chooseSaveParts(const PerPart<uint8_t>& selected) {
  form7_->load(selected);
  if (form7_->exec() != QDialog::Accepted) return std::nullopt;
  return form7_->values();
}

std::optional<SaveDialogAnswer> ScoreCommands::saveDialog(const std::string& fileName,
                                                          int filterIndex) {
  QFileDialog dialog(&window_, tr("名前を付けて保存"), startFolder(fileName));
  dialog.setObjectName(QStringLiteral("SaveDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The command asks about an existing file once the extension is settled.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  const QStringList filters = filtersOf(kSaveKinds);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(filterIndex - 1, filters.first()));
  if (!fileName.empty()) dialog.selectFile(fromEngine(fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastFolder_ = dialog.directory().absolutePath();
  const int kind = kindNumber(kSaveKinds, dialog.selectedNameFilter());
  return SaveDialogAnswer{toEngine(dialog.selectedFiles().first()), kind == 0 ? filterIndex : kind};
}

std::optional<std::string> ScoreCommands::openDialog(const std::string& fileName) {
  QFileDialog dialog(&window_, tr("開く"), startFolder(fileName));
  dialog.setObjectName(QStringLiteral("OpenDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(filtersOf(kOpenKinds));
  if (!fileName.empty()) dialog.selectFile(fromEngine(fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastFolder_ = dialog.directory().absolutePath();
  return toEngine(dialog.selectedFiles().first());
}

int ScoreCommands::chooseOnePart(const std::string& line1, const std::string& line2) {
  return form8_->choose(QString::fromStdString(line1), QString::fromStdString(line2));
}

std::optional<ScoreSettingsForm> ScoreCommands::editScoreSettings(const ScoreSettingsForm& shown) {
  form3_->load(shown);
  if (form3_->exec() != QDialog::Accepted) return std::nullopt;
  return form3_->values();
}

AuxiliaryOptions ScoreCommands::showCredit(
    const AuxiliaryOptions& shown, const std::function<void(const AuxiliaryOptions&)>& changed) {
  form5_->load(shown);
  form5_->setOnChange(changed);
  form5_->exec();
  form5_->setOnChange(nullptr);
  return form5_->values();
}

UnsavedAnswer ScoreCommands::askUnsavedChanges(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Kelvara"), QString::fromStdString(text),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window_);
  box.setObjectName(QStringLiteral("UnsavedChanges"));
  box.button(QMessageBox::Save)->setText(tr("保存する"));
  box.button(QMessageBox::Discard)->setText(tr("保存しない"));
  box.button(QMessageBox::Cancel)->setText(tr("キャンセル"));
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return UnsavedAnswer::Save;
    case QMessageBox::Discard:
      return UnsavedAnswer::Discard;
    default:
      return UnsavedAnswer::Cancel;
  }
}

void ScoreCommands::setOverwriteEnabled(bool enabled) {
  overwrite_.setEnabled(enabled);
}

QImage creditPicture(const GlyphTable& glyphs) {
  EditorState s;
  s.createLists();
  HeadlessScoreView view;
  PageRenderer renderer(s, view, glyphs);
  renderer.initPicture();
  ScoreEditor score(s, renderer, view);
  s.PageNode = endMarkerOf(s.PartHead[0]);
  renderer.PageDraw();
  // A rising phrase that ends on a long note.
  const std::pair<int32_t, int32_t> phrase[] = {{67, 8}, {72, 8}, {76, 8}, {79, 8}, {84, 32}};
  for (const auto& [pitch, length] : phrase) {
    score.InsertOnpu(pitch, length);
    score.refreshAfterInput();
    score.rightshift();
  }
  renderer.PageDraw();
  const QImage& page = renderer.picture().image();
  const int right = std::min(s.CursorX[0] + 20, page.width());
  // The treble staff and what stands above it.
  return page.copy(0, 40, right, 150).convertToFormat(QImage::Format_RGB32);
}

}  // namespace kelvara
