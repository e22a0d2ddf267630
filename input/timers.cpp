#include "input/key_input.h"
#include "score/bar_math.h"
#include "sound/part_voices.h"

namespace kelvara {

namespace {

constexpr int32_t kSlideVelocity = 127;
constexpr int kBarShift = 80;  // pixels the bar under the keyboard moves per slide

// One step of the octave animations: the change of the base and the frame
// shown, for the major and the minor arrangement.
struct OctaveStep {
  int32_t majorDelta, minorDelta;
  int majorFrame, minorFrame;
};
constexpr OctaveStep kOctaveDown[] = {
    {0, 0, 1, 3},   {-1, -2, 2, 4}, {-2, -2, 3, 5}, {-2, -1, 4, 6},
    {-2, -2, 5, 7}, {-1, -2, 6, 1}, {-2, -1, 7, 2}, {-2, -2, 1, 3},
};
constexpr OctaveStep kOctaveUp[] = {
    {0, 0, 1, 3}, {2, 2, 7, 2}, {2, 1, 6, 1}, {1, 2, 5, 7},
    {2, 2, 4, 6}, {2, 1, 3, 5}, {2, 2, 2, 4}, {1, 2, 1, 3},
};

}  // namespace

void KeyInput::sendBase(int32_t key, int32_t velocity) {
  if (!silentSteps_) sendNote(key, velocity);
}

void KeyInput::stepBase(int32_t delta) {
  int32_t& base = s_.PartBaseKey[s_.WorkPart];
  sendBase(base, 0);
  base += delta;
  sendBase(base, kSlideVelocity);
}

void KeyInput::finishAnimation() {
  if (!controls_.timer1Running()) return;
  const int step = s_.SlideStep;
  // Steps 0, 4, 8 and 17 are first steps: nothing sounds before them.
  const bool sounding = step != 0 && step != 4 && step != 8 && step != 17;
  if (sounding) sendNote(s_.PartBaseKey[s_.WorkPart], 0);
  silentSteps_ = true;
  // Every animation ends within nine steps; the bound only guards the loop.
  for (int i = 0; i < 16 && controls_.timer1Running(); ++i) Timer1Timer();
  silentSteps_ = false;
  controls_.stopTimer1();
}

void KeyInput::finishSlide() {
  keyboard_.DrawKeyboard(s_.Major == 1);
  controls_.keyboardPictureChanged();
}

void KeyInput::Timer1Timer() {
  int32_t& base = s_.PartBaseKey[s_.WorkPart];
  const bool major = s_.Major == 1;
  const int step = s_.SlideStep;

  // Octave shift without the animation: the new base sounds for one tick.
  if ((step == 8 || step == 17) && s_.UpDownAction == 0) {
    base += step == 8 ? -12 : 12;
    sendBase(base, kSlideVelocity);
    s_.SlideStep = step == 8 ? 16 : 25;
    return;
  }

  switch (step) {
    case 0:
      sendBase(base, kSlideVelocity);
      showKeyboardFrame(3);
      s_.SlideStep = 1;
      return;
    case 1:
      stepBase(2);
      showKeyboardFrame(2);
      s_.SlideStep = 2;
      return;
    case 2:
      stepBase(1);
      showKeyboardFrame(1);
      s_.SlideStep = 3;
      return;
    case 3:
      sendBase(base, 0);
      finishSlide();
      controls_.moveKeyboardBar(-kBarShift);
      controls_.stopTimer1();
      return;
    case 4:
      sendBase(base, kSlideVelocity);
      showKeyboardFrame(1);
      s_.SlideStep = 5;
      return;
    case 5:
      stepBase(-1);
      showKeyboardFrame(2);
      s_.SlideStep = 6;
      return;
    case 6:
      stepBase(-2);
      showKeyboardFrame(3);
      s_.SlideStep = 7;
      return;
    case 7:
      sendBase(base, 0);
      finishSlide();
      controls_.moveKeyboardBar(kBarShift);
      controls_.stopTimer1();
      return;
    case 16:
    case 25:
      sendBase(base, 0);
      finishSlide();
      view_.setOctaveLabel(octaveLabelText(base));
      controls_.stopTimer1();
      return;
    default:
      break;
  }

  const bool down = step >= 8 && step < 16;
  const bool up = step >= 17 && step < 25;
  if (!down && !up) {
    controls_.stopTimer1();
    return;
  }
  const OctaveStep& o = down ? kOctaveDown[step - 8] : kOctaveUp[step - 17];
  const int32_t delta = major ? o.majorDelta : o.minorDelta;
  if (step == 8 || step == 17) {
    sendBase(base, kSlideVelocity);
  } else {
    stepBase(delta);
  }
  showKeyboardFrame(major ? o.majorFrame : o.minorFrame);
  s_.SlideStep = step + 1;
}

void KeyInput::Timer2Timer() {
  const int p = s_.WorkPart;
  const bool onPage = s_.PageFirstBar == pageFirstBarFor(s_.BarNo[p], s_.BarsPerPage) ||
                      (s_.BarNo[p] - s_.BarsPerPage == s_.PageFirstBar && s_.BarFill[p] == 0);
  if (!onPage || s_.Busy) return;
  if (s_.BlinkCursor != 1 && !(s_.CursorOff == 1 && s_.SelActive == 0)) return;
  s_.Busy = 1;
  s_.CursorPage = s_.PageFirstBar;
  score_.toggleCursorMark();
  s_.Busy = 0;
}

}  // namespace kelvara
