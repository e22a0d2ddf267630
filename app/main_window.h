#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "editor/editor.h"
#include "input/editor_controls.h"
#include "render/drawing_log.h"
#include "render/glyph_outlines.h"
#include "score/score_view.h"
#include "score/user_questions.h"
#include "sound/locked_midi_output.h"
#include "sound/midi_input_choice.h"

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
struct Anchor;

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
    // The system's MIDI input ports; null offers none.
    MidiInput* midiInput = nullptr;
    // The interface language in effect ("ja" or "en").
    QString language = QStringLiteral("ja");
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
  // The MIDI input chosen under "MIDI音源".
  MidiInputChoice& midiInput() { return *midiInput_; }
  // Runs `then` once the window is on the screen (or after two seconds).
  void whenOnScreen(std::function<void()> then, int triesLeft = 100);
  // Ends the editor without a question (a termination signal): held notes
  // end, the settings are written, unsaved work keeps its recovery copy for
  // the next start, the lock and the preview file go, and the event loops
  // (open dialogs too) return.
  void endWithoutQuestions();

  // ScoreView.
  void invertLine(const Line& line) override;
  void showScorePicture() override;
  int32_t scrollX() const override;
  void setScrollX(int32_t x) override;
  int32_t viewWidth() const override;
  void setViewWidth(int32_t width) override;
  int32_t viewportWidth() const override;
  void setPageButtons(bool previousEnabled, bool nextEnabled) override;
  void setOctaveLabel(const std::string& text) override;
  void focusNoteEntry() override;
  void refuse() override;

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
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildControls();
  void buildTopRow();
  void buildScoreView();
  void buildLowerTabs();
  void buildCommandButtons();
  void buildEditMenu();
  // The length buttons' note pictures in the theme's text colour.
  void drawLengthIcons();
  // The program's icon for the window.
  QIcon appIcon() const;
  // Notes how each control follows the window's size.
  void anchorControls();
  void anchor(QWidget* control, const Anchor& how);
  // The size of the score view inside its scroll bars.
  QSize scoreViewportSize() const;
  // The window's size and place as the last run left them.
  void restoreWindowGeometry();
  void keepWindowGeometry();
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
  // Enters what the MIDI keyboard played since the last call (UI thread).
  void drainMidiInput();
  // A chosen MIDI input that has gone is reported and dropped.
  void checkMidiInput();
  // Tells what the MIDI input has to say (in the window, asking nothing).
  void showMidiInputNotices();
  // The MIDI keyboard sounds on the work part's channel, and not at all while
  // a dialog blocks the window.
  void followWorkPart();
  // The MIDI keyboard's held keys and pedal are forgotten (the input changed).
  void resetMidiKeys();
  // The preview's MIDI file is of no use once the editor ends.
  static void removePreviewFile();

  void BitBtn1Click();   // quit
  void BitBtn2Click();   // sound source
  void BitBtn4Click();   // preview: choose parts and bars, then play them
  void BitBtn12Click();  // output: print or pictures
  void notYetAvailable();
  void ComboBox1Change(int index);

  // The MIDI keyboard's notes reach the output from the input's thread.
  LockedMidiOutput midi_;
  Options options_;
  // Before the editor, so they outlive its picture, which writes to the log.
  DrawingLog viewLog_;          // what the score picture was drawn from
  GlyphOutlines viewOutlines_;  // the glyphs' shapes, for sharp drawing at 2x
  Editor editor_;
  NullMidiInput noMidiInput_;
  std::unique_ptr<MidiInputQueue> midiQueue_;
  std::unique_ptr<MidiInputChoice> midiInput_;
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
  bool blocked_ = false;  // a modal dialog blocks the window
  bool ending_ = false;  // ending on a signal: nothing more is asked
  ScoreCommands* commands_ = nullptr;
  std::unique_ptr<RecoveryStore> recoveryStore_;
  std::unique_ptr<RecoveryKeeper> recovery_;
  struct AnchoredControl;
  std::vector<AnchoredControl> anchored_;
};

}  // namespace kelvara
