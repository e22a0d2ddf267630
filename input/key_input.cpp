#include "input/key_input.h"

#include "sound/part_voices.h"

namespace kelvara {

namespace {
constexpr int32_t kKeyVelocity = 100;
constexpr int32_t kLowestBaseForDown = 27;  // Down is refused at 26 and below
constexpr int32_t kHighestBaseForUp = 79;   // Up is refused at 80 and above
constexpr int kOctaveTickMs = 50;
constexpr int kSlideTickMs = 200;
constexpr std::array<int32_t, 7> kUnits = {1, 2, 4, 8, 16, 32, 64};
}  // namespace

KeyInput::KeyInput(EditorState& state, ScoreEditor& score, PageRenderer& renderer, MidiOutput& midi,
                   KeyboardPicture& keyboard, const GlyphTable& glyphs, EditorControls& controls,
                   ScoreView& view)
    : s_(state),
      score_(score),
      renderer_(renderer),
      midi_(midi),
      keyboard_(keyboard),
      glyphs_(glyphs),
      controls_(controls),
      view_(view) {}

void KeyInput::sendNote(int32_t key, int32_t velocity) {
  midi_.midiOutShortMsg(noteOnMessage(s_.WorkPart, key, velocity));
}

int32_t KeyInput::keycode(int key, int direction, int& markX, int& markY) {
  const int index = keyIndex(key);
  if (index < 0) return -1;
  const MappedKey& k = kKeyMap[index];
  const int offset = s_.Major == 1 ? k.majorOffset : k.minorOffset;
  if (offset == kNotMapped) return -1;
  const int32_t pitch = s_.PartBaseKey[s_.WorkPart] + offset;
  markX = k.markX;
  markY = k.markY;
  uint8_t& held = s_.KeyHeld[index];
  if (direction == 0) {
    if (held == 1) {
      markX = -1;  // auto-repeat: nothing happens
    } else {
      held = 1;
    }
  } else if (held == 1) {
    held = 0;
  } else {
    markX = -1;  // a release without a registered press
  }
  return pitch;
}

void KeyInput::FormKeyDown(int key, Modifiers modifiers) {
  if (s_.Busy) return;
  if (modifiers.ctrl && (key == vk::kZ || key == vk::kY)) {
    if (historyKeys_) historyKeys_(key == vk::kY || modifiers.shift);
    return;
  }
  s_.Busy = 1;
  if (modifiers.shift) {
    if (key == vk::kShift) {
      score_.rightshift();
    } else {
      extendSelection(key);
    }
  } else if (modifiers.ctrl) {
    if (key == vk::kV) score_.Paste1Click();
    if (key == vk::kC) score_.Copy1Click();
    if (key == vk::kX) score_.Cut1Click();
  } else if (s_.SelActive && key == vk::kDelete) {
    score_.Delete1Click();
  } else {
    score_.selection().drop();
    const int32_t base = s_.PartBaseKey[s_.WorkPart];
    if (key == vk::kDown) {
      if (base >= kLowestBaseForDown && !controls_.timer1Running() &&
          controls_.keyboardPageActive()) {
        s_.SlideStep = slide::kOctaveDown;
        controls_.startTimer1(kOctaveTickMs);
      }
    } else if (key == vk::kUp) {
      if (base <= kHighestBaseForUp && !controls_.timer1Running() &&
          controls_.keyboardPageActive()) {
        s_.SlideStep = slide::kOctaveUp;
        controls_.startTimer1(kOctaveTickMs);
      }
    } else if (key == vk::kEscape) {
      score_.EscapeOnpu();
    } else if (key == vk::kDelete) {
      score_.DeleteOnpu();
    } else if (key == vk::kBack) {
      score_.BSOnpu();
    } else if (key == vk::kLeft) {
      score_.left();
    } else if (key == vk::kRight) {
      score_.right();
    } else if (key == vk::kSpace) {
      score_.InsertOnpu(0, s_.InputUnit);
      score_.refreshAfterInput(/*alwaysRedraw=*/true);
    } else if (key >= vk::kDigit1 && key <= vk::kDigit7) {
      setInputUnit(key - vk::kDigit1 + 1);
    } else if (key == vk::kDigit8) {
      if (s_.InsertMode == 1 && controls_.singleInputEnabled()) {
        s_.SingleInput = 1;
        controls_.showSingleInput(true);
      }
    } else if (key == vk::kDigit9) {
      s_.SingleInput = 0;
      controls_.showSingleInput(false);
    } else if (controls_.keyboardPageActive()) {
      playAndEnter(key);
    }
  }
  s_.Busy = 0;
}

void KeyInput::playAndEnter(int key) {
  int markX = -1;
  int markY = -1;
  const int32_t pitch = keycode(key, 0, markX, markY);
  if (markX <= 0) return;
  // The note sounds before the score is touched.
  sendNote(pitch, kKeyVelocity);
  const int index = keyIndex(key);
  heldPitch_[index] = pitch;
  heldChannel_[index] = s_.WorkPart;
  keyboard_.toggleKeyMark(markX, markY);
  controls_.keyboardPictureChanged();
  score_.InsertOnpu(pitch, s_.InputUnit);
  score_.refreshAfterInput();
}

void KeyInput::FormKeyUp(int key, Modifiers /*modifiers*/) {
  // A release ends exactly the note its press started; a key that was not
  // registered as held (a Ctrl chord, the percussion page) does nothing.
  const int index = keyIndex(key);
  if (index < 0 || s_.KeyHeld[index] != 1) return;
  s_.KeyHeld[index] = 0;
  midi_.midiOutShortMsg(noteOnMessage(heldChannel_[index], heldPitch_[index], 0));
  keyboard_.toggleKeyMark(kKeyMap[index].markX, kKeyMap[index].markY);
  controls_.keyboardPictureChanged();
}

void KeyInput::extendSelection(int key) {
  SelectionModel& selection = score_.selection();
  selection.grab();
  if (key == vk::kLeft) score_.left();
  if (key == vk::kRight) score_.right();
  selection.extendToCursor();
}

void KeyInput::setInputUnit(int button) {
  s_.InputUnit = kUnits[button - 1];
  controls_.showInputUnit(button);
}

void KeyInput::SpeedButtonClick(int button) {
  if (button >= 1 && button <= 7) {
    setInputUnit(button);
  } else if (button == 8) {
    s_.SingleInput = 1;
    controls_.showSingleInput(true);
  } else if (button == 9) {
    s_.SingleInput = 0;
    controls_.showSingleInput(false);
  } else if (button == 10) {
    s_.InsertMode = 1;
    controls_.showInsertMode(true);
    controls_.setSingleInputEnabled(true);
  } else if (button == 11) {
    // Overlay always works with chord input.
    s_.InsertMode = 0;
    controls_.showInsertMode(false);
    s_.SingleInput = 0;
    controls_.showSingleInput(false);
    controls_.setSingleInputEnabled(false);
  }
  view_.focusNoteEntry();
}

void KeyInput::percussionButtonClick(int pad) {
  const int32_t key = 35 + s_.PadChoice[pad];
  // Entering a note drops the selection, as every other entry key does.
  score_.selection().drop();
  sendNote(key, kKeyVelocity);
  score_.InsertOnpu(key, s_.InputUnit);
  score_.refreshAfterInput();
  score_.rightshift();
  view_.focusNoteEntry();
}

void KeyInput::showStartupKeyboard() {
  showKeyboardFrame(1);
  keyboard_.DrawKeyboard(s_.Major == 1);
  controls_.keyboardPictureChanged();
}

void KeyInput::showKeyboardFrame(int frame) {
  keyboard_.showFrame(glyphs_[static_cast<Glyph>(static_cast<int>(Glyph::Keyboard1) + frame - 1)]);
  controls_.keyboardPictureChanged();
}

void KeyInput::slide(bool major) {
  s_.SlideStep = major ? slide::kToMajor : slide::kToMinor;
  controls_.startTimer1(kSlideTickMs);
}

}  // namespace kelvara
