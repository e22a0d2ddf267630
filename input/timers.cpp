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
  // Nothing sounds before the first step of an animation.
  const bool sounding = step != slide::kToMajor && step != slide::kToMinor &&
                        step != slide::kOctaveDown && step != slide::kOctaveUp;
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
  if ((step == slide::kOctaveDown || step == slide::kOctaveUp) && s_.UpDownAction == 0) {
    const bool down = step == slide::kOctaveDown;
    base += down ? -12 : 12;
    sendBase(base, kSlideVelocity);
    s_.SlideStep = down ? slide::kOctaveDownEnd : slide::kOctaveUpEnd;
    return;
  }

  switch (step) {
    case slide::kToMajor:
      sendBase(base, kSlideVelocity);
      showKeyboardFrame(3);
      s_.SlideStep = step + 1;
      return;
    case slide::kToMajor + 1:
      stepBase(2);
      showKeyboardFrame(2);
      s_.SlideStep = step + 1;
      return;
    case slide::kToMajor + 2:
      stepBase(1);
      showKeyboardFrame(1);
      s_.SlideStep = slide::kToMajorLast;
      return;
    case slide::kToMajorLast:
      sendBase(base, 0);
      finishSlide();
      controls_.moveKeyboardBar(-kBarShift);
      controls_.stopTimer1();
      return;
    case slide::kToMinor:
      sendBase(base, kSlideVelocity);
      showKeyboardFrame(1);
      s_.SlideStep = step + 1;
      return;
    case slide::kToMinor + 1:
      stepBase(-1);
      showKeyboardFrame(2);
      s_.SlideStep = step + 1;
      return;
    case slide::kToMinor + 2:
      stepBase(-2);
      showKeyboardFrame(3);
      s_.SlideStep = slide::kToMinorLast;
      return;
    case slide::kToMinorLast:
      sendBase(base, 0);
      finishSlide();
      controls_.moveKeyboardBar(kBarShift);
      controls_.stopTimer1();
      return;
    case slide::kOctaveDownEnd:
    case slide::kOctaveUpEnd:
      sendBase(base, 0);
      finishSlide();
      view_.setOctaveLabel(octaveLabelText(base));
      controls_.stopTimer1();
      return;
    default:
      break;
  }

  const bool down = step >= slide::kOctaveDown && step < slide::kOctaveDownEnd;
  const bool up = step >= slide::kOctaveUp && step < slide::kOctaveUpEnd;
  if (!down && !up) {
    controls_.stopTimer1();
    return;
  }
  const OctaveStep& o =
      down ? kOctaveDown[step - slide::kOctaveDown] : kOctaveUp[step - slide::kOctaveUp];
  const int32_t delta = major ? o.majorDelta : o.minorDelta;
  if (step == slide::kOctaveDown || step == slide::kOctaveUp) {
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
