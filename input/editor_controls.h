#pragma once

namespace kelvara {

// The controls around note entry, as the input code sees them: the lower tab
// control, Timer1, the length and mode buttons and the keyboard picture's
// bar. The window implements it; tests use a recording double.
class EditorControls {
 public:
  virtual ~EditorControls() = default;

  // The "仮想キーボード" page of the lower tab control is the active page.
  virtual bool keyboardPageActive() const = 0;

  virtual void startTimer1(int intervalMs) = 0;
  virtual void stopTimer1() = 0;
  virtual bool timer1Running() const = 0;

  // Shows length button 1..7 pressed (64th note .. whole note).
  virtual void showInputUnit(int button) = 0;
  // Shows "単音入力式" (single) or "和音入力式" pressed.
  virtual void showSingleInput(bool single) = 0;
  virtual void setSingleInputEnabled(bool enabled) = 0;
  virtual bool singleInputEnabled() const = 0;
  // Shows "挿入" (insert) or "重ね書き" pressed.
  virtual void showInsertMode(bool insert) = 0;

  // Moves the bar under the keyboard picture by dx pixels.
  virtual void moveKeyboardBar(int dx) = 0;
  // The keyboard picture has changed and must be shown again.
  virtual void keyboardPictureChanged() = 0;
};

}  // namespace kelvara
