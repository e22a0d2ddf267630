#pragma once

#include "input/editor_controls.h"

namespace kelvara {

// Controls without a window: Timer1 is driven by calling its tick by hand.
class HeadlessControls : public EditorControls {
 public:
  bool keyboardPageActive() const override { return keyboardPage; }
  void startTimer1(int intervalMs) override {
    timer1Interval = intervalMs;
    timer1On = true;
  }
  void stopTimer1() override { timer1On = false; }
  bool timer1Running() const override { return timer1On; }
  void showInputUnit(int button) override { inputUnitButton = button; }
  void showSingleInput(bool single) override { singleShown = single; }
  void setSingleInputEnabled(bool enabled) override { singleEnabled = enabled; }
  bool singleInputEnabled() const override { return singleEnabled; }
  void showInsertMode(bool insert) override { insertShown = insert; }
  void moveKeyboardBar(int dx) override { keyboardBarX += dx; }
  void keyboardPictureChanged() override { ++keyboardChanges; }

  bool keyboardPage = true;
  bool timer1On = false;
  int timer1Interval = 200;
  int inputUnitButton = 4;
  bool singleShown = true;
  bool singleEnabled = true;
  bool insertShown = true;
  int keyboardBarX = 0;
  int keyboardChanges = 0;
};

}  // namespace kelvara
