#include "app/key_translation.h"

#include <QKeyEvent>

#include "input/key_map.h"

namespace kelvara {

namespace {

// X11 key codes are evdev codes + 8; they name the key's place, whatever
// layout is active.
constexpr quint32 kX11Offset = 8;

struct PlacedKey {
  quint32 evdev;
  int vk;
};

// The keys the editor reads by their place. The JIS-only key "\ろ" (left of
// the right Shift) has no place on US and ISO keyboards; there the key right
// of "[" (US "]", JIS "[") plays its note.
constexpr PlacedKey kPlacedKeys[] = {
    {44, 90},  {45, 88},  {46, 67},  {47, 86},  {48, 66},  {49, 78}, {50, 77},
    {51, 188}, {52, 190}, {53, 191}, {89, 226}, {27, 226}, {30, 65}, {31, 83},
    {32, 68},  {33, 70},  {34, 71},  {35, 72},  {36, 74},  {37, 75}, {38, 76},
    {39, 187}, {40, 186}, {43, 221}, {2, 49},   {3, 50},   {4, 51},  {5, 52},
    {6, 53},   {7, 54},   {8, 55},   {9, 56},   {10, 57},
};

// Where a layout without Latin letters has the shortcut letters: their
// places on a US keyboard.
constexpr PlacedKey kShortcutPlaces[] = {
    {44, 'Z'}, {45, 'X'}, {46, 'C'}, {47, 'V'}, {21, 'Y'}, {31, 'S'},
};

template <size_t N>
int lookUp(const PlacedKey (&table)[N], quint32 scanCode) {
  if (scanCode < kX11Offset) return 0;
  const quint32 evdev = scanCode - kX11Offset;
  for (const PlacedKey& k : table) {
    if (k.evdev == evdev) return k.vk;
  }
  return 0;
}

int byPlace(quint32 scanCode) {
  return lookUp(kPlacedKeys, scanCode);
}

// With Ctrl held a letter key is a shortcut (Ctrl+Z, Ctrl+Y, Ctrl+S ..): it
// goes by the letter the active layout gives it, as shortcuts do in every
// program, so Ctrl+Z is the key marked Z on German keyboards too.
int shortcutLetter(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  return lookUp(kShortcutPlaces, event.nativeScanCode());
}

// Without a key code from the window system (offscreen, other platforms):
// by the key's meaning.
int byMeaning(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Comma:
      return 188;
    case Qt::Key_Period:
      return 190;
    case Qt::Key_Slash:
      return 191;
    case Qt::Key_Backslash:
      return 226;
    case Qt::Key_Semicolon:
      return 187;
    case Qt::Key_Colon:
    case Qt::Key_Apostrophe:
      return 186;
    case Qt::Key_BracketRight:
      return 221;
    default:
      return 0;
  }
}

}  // namespace

int virtualKeyOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Shift:
      return vk::kShift;
    case Qt::Key_Control:
      return vk::kControl;
    case Qt::Key_Escape:
      return vk::kEscape;
    case Qt::Key_Space:
      return vk::kSpace;
    case Qt::Key_Left:
      return vk::kLeft;
    case Qt::Key_Up:
      return vk::kUp;
    case Qt::Key_Right:
      return vk::kRight;
    case Qt::Key_Down:
      return vk::kDown;
    case Qt::Key_Delete:
      return vk::kDelete;
    case Qt::Key_Backspace:
      return vk::kBack;
    default:
      break;
  }
  // Keypad digits are digits too.
  if ((event.modifiers() & Qt::KeypadModifier) && event.key() >= Qt::Key_0 &&
      event.key() <= Qt::Key_9) {
    return '0' + (event.key() - Qt::Key_0);
  }
  if ((event.modifiers() & Qt::ControlModifier) && !(event.modifiers() & Qt::AltModifier)) {
    if (const int letter = shortcutLetter(event); letter != 0) return letter;
  }
  // A key whose place is known is read by its place alone: read by its caps,
  // a key outside the two rows could play a note a key in the rows plays
  // already (French "a" sits where "q" is on US keyboards).
  if (event.nativeScanCode() >= kX11Offset) return byPlace(event.nativeScanCode());
  return byMeaning(event.key());
}

}  // namespace kelvara
