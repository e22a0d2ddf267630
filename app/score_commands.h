#pragma once

#include <QObject>
#include <QString>

#include "editor/command_dialogs.h"
#include "editor/file_commands.h"
#include "editor/recovery_store.h"
#include "editor/settings_commands.h"

class QPushButton;
class QWidget;

namespace kelvara {

class TForm3;
class TForm5;
class TForm7;
class TForm8;

// The editor window's file and settings commands: "保存", "読込", "上書",
// "新規", "設定" and "Credit＆補助設定 ", Ctrl+S, and the window caption. It
// answers the commands' questions with the dialogs, made once and kept, and
// the file dialogs.
class ScoreCommands : public QObject, public CommandDialogs {
  Q_OBJECT

 public:
  // `overwrite` is the "上書" button.
  ScoreCommands(QWidget& window, Editor& editor, QPushButton& overwrite);
  ~ScoreCommands() override;

  void BitBtn5Click();   // save
  void BitBtn7Click();   // load
  void BitBtn11Click();  // overwrite
  void BitBtn8Click();   // new score
  void BitBtn3Click();   // score settings
  void BitBtn6Click();   // credit and auxiliary settings
  void saveShortcut();   // Ctrl+S

  // Opens a score named on the command line.
  void openAtStart(const std::string& fileName);
  // Offers the recovery copies that runs which did not end cleanly left, the
  // newest first: "復元" loads one as unsaved work, "破棄" removes it.
  void offerRecovery(RecoveryStore& store);
  // Before the window closes: false when the user keeps it open.
  bool mayClose();
  // Shows the file's name and the unsaved-changes mark in the caption, and
  // "上書" enabled when that file is a whole-score file.
  void refreshCaption();

  FileCommands& files() { return files_; }
  // The credit and auxiliary settings dialog.
  TForm5& creditDialog() { return *form5_; }

  // CommandDialogs.
  std::optional<PerPart<uint8_t>> chooseSaveParts(const PerPart<uint8_t>& selected) override;
  std::optional<SaveDialogAnswer> saveDialog(const std::string& fileName, int filterIndex) override;
  std::optional<std::string> openDialog(const std::string& fileName) override;
  int chooseOnePart(const std::string& line1, const std::string& line2) override;
  std::optional<ScoreSettingsForm> editScoreSettings(const ScoreSettingsForm& shown) override;
  AuxiliaryOptions showCredit(const AuxiliaryOptions& shown,
                              const std::function<void(const AuxiliaryOptions&)>& changed) override;
  UnsavedAnswer askUnsavedChanges(const std::string& text) override;
  void setOverwriteEnabled(bool enabled) override;

 private:
  QString startFolder(const std::string& fileName) const;

  QWidget& window_;
  Editor& editor_;
  QPushButton& overwrite_;
  FileCommands files_;
  SettingsCommands settings_;
  // The dialogs belong to the window.
  kelvara::TForm3* form3_ = nullptr;
  kelvara::TForm5* form5_ = nullptr;
  kelvara::TForm7* form7_ = nullptr;
  kelvara::TForm8* form8_ = nullptr;
  QString lastFolder_;  // where the last file dialog ended
};

// The credit dialog's picture: a short phrase drawn as the score view draws it.
QImage creditPicture(const GlyphTable& glyphs);

}  // namespace kelvara
