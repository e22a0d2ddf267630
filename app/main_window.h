#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "editor/editor.h"
#include "input/editor_controls.h"
#include "render/drawing_log.h"
#include "render/glyph_outlines.h"
#include "score/score_view.h"
#include "score/user_questions.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTimer;
class QToolButton;

namespace kelvara {

class ScoreCanvas;
class KeyboardCanvas;
class ModifierPrompts;
class OutputCommands;
class ScoreCommands;
class RecoveryKeeper;
class RecoveryStore;
class KeyRepeatFilter;
class NoticePanel;

// The editor window. It turns window events into engine calls and answers
// what the engine asks of the window: the score view, the controls around
// note entry and the user's questions.
class TForm1 : public QWidget, public ScoreView, public EditorControls, public UserQuestions {
  Q_OBJECT

 public:
  struct Options {
    std::string settingsPath;
    bool explicitSettings = false;
    std::string glyphFolder;
    std::string earlierSettingsPath;
    // Folder of the recovery copies of unsaved work; empty keeps none.
    std::string recoveryFolder;
  };

  TForm1(MidiOutput& midi, const Options& options);
  ~TForm1() override;

  // Runs the start-up sequence; false when it cannot go on (the message has
  // been shown).
  bool FormCreate();

  Editor& editor() { return editor_; }
  // The "出力" command with its dialogs.
  OutputCommands& output() { return *output_; }
  // The file and settings commands.
  ScoreCommands& scoreCommands() { return *commands_; }
  // A key release is held back to see whether it is half of a key repeat.
  bool keyReleaseHeldBack() const;

  // ScoreView.
  void invertLine(const Line& line) override;
  void showScorePicture() override;
  int32_t scrollX() const override;
  void setScrollX(int32_t x) override;
  int32_t viewWidth() const override;
  void setViewWidth(int32_t width) override;
  void setPageButtons(bool previousEnabled, bool nextEnabled) override;
  void setOctaveLabel(const std::string& text) override;
  void focusNoteEntry() override;

  // EditorControls.
  bool keyboardPageActive() const override;
  void startTimer1(int intervalMs) override;
  void stopTimer1() override;
  bool timer1Running() const override;
  void showInputUnit(int button) override;
  void showSingleInput(bool single) override;
  void setSingleInputEnabled(bool enabled) override;
  bool singleInputEnabled() const override;
  void showInsertMode(bool insert) override;
  void moveKeyboardBar(int dx) override;
  void keyboardPictureChanged() override;

  // UserQuestions.
  void inform(const std::string& text) override;
  void error(const std::string& text) override;
  bool confirm(const std::string& caption, const std::string& text) override;
  bool askYesNo(const std::string& text) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void buildTopRow();
  void buildScoreView();
  void buildLowerTabs();
  void buildCommandButtons();
  void buildEditMenu();
  void connectScoreMouse();
  // Claims this run's recovery copy, offers earlier ones, keeps it current.
  void startRecovery();
  // Undo (redo false) or redo from the keys or the edit menu.
  void runHistory(bool redo);
  QPushButton* commandButton(const QString& caption, int x, int y, void (TForm1::*slot)());
  void showSoundNotices();
  // Connects the file and settings buttons and Ctrl+S to their commands.
  void connectScoreCommands();
  // Shows them now and, while the output gets ready, as they come.
  void showSoundNoticesWhenReady();
  // Lets a held-back key release go to the key handler.
  void deliverHeldRelease();

  void BitBtn1Click();   // quit
  void BitBtn2Click();   // sound source
  void BitBtn4Click();   // preview: choose parts and bars, then play them
  void BitBtn12Click();  // output: print or pictures
  void notYetAvailable();
  void ComboBox1Change(int index);

  MidiOutput& midi_;
  Options options_;
  // Before the editor, so they outlive its picture, which writes to the log.
  DrawingLog viewLog_;          // what the score picture was drawn from
  GlyphOutlines viewOutlines_;  // the glyphs' shapes, for sharp drawing at 2x
  Editor editor_;
  std::unique_ptr<OutputCommands> output_;

  QLineEdit* edit1_ = nullptr;
  std::array<QToolButton*, 12> speedButtons_{};  // SpeedButton1..11 at [1..11]
  QScrollArea* scrollBox1_ = nullptr;
  ScoreCanvas* image1_ = nullptr;
  QMenu* editMenu_ = nullptr;
  std::unique_ptr<ModifierPrompts> modifierPrompts_;  // TForm9, TForm10, TForm11
  QPushButton* bitBtn9_ = nullptr;
  QPushButton* bitBtn10_ = nullptr;
  QPushButton* bitBtn11_ = nullptr;
  QComboBox* comboBox1_ = nullptr;
  QTabWidget* pageControl1_ = nullptr;
  KeyboardCanvas* image2_ = nullptr;
  QWidget* shape1_ = nullptr;
  QLabel* label2_ = nullptr;
  std::array<QComboBox*, 12> padLists_{};
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;
  std::unique_ptr<KeyRepeatFilter> keyRepeat_;
  QTimer* releaseTimer_ = nullptr;
  NoticePanel* notice_ = nullptr;
  bool created_ = false;
  ScoreCommands* commands_ = nullptr;
  std::unique_ptr<RecoveryStore> recoveryStore_;
  std::unique_ptr<RecoveryKeeper> recovery_;
};

}  // namespace kelvara
