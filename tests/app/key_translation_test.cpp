// Key events to the editor's key codes: by the key's place when the window
// system names it, by the key's meaning otherwise.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "app/key_translation.h"

namespace kelvara {
namespace {

constexpr quint32 kX11 = 8;  // X11 key codes are evdev codes + 8

// A press of the key at evdev place `evdev` that the layout reads as `key`.
int placed(quint32 evdev, int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
  const QKeyEvent e(QEvent::KeyPress, key, m, evdev + kX11, 0, 0);
  return virtualKeyOf(e);
}
// A press with no key code from the window system.
int unplaced(int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
  const QKeyEvent e(QEvent::KeyPress, key, m);
  return virtualKeyOf(e);
}

TEST(KeyTranslation, PianoRowsGoByPlaceWhateverTheCapsSay) {
  // JIS: "\ろ" left of the right Shift; US and ISO reach that note with the
  // key right of "[".
  EXPECT_EQ(placed(89, Qt::Key_Backslash), 226);
  EXPECT_EQ(placed(27, Qt::Key_BracketRight), 226);  // US "]"
  EXPECT_EQ(placed(27, Qt::Key_BracketLeft), 226);   // JIS "["
  EXPECT_EQ(placed(43, Qt::Key_Backslash), 221);     // US "\", JIS "]"
  EXPECT_EQ(placed(40, Qt::Key_Apostrophe), 186);    // US "'", JIS ":"
  EXPECT_EQ(placed(40, Qt::Key_Colon), 186);
  EXPECT_EQ(placed(39, Qt::Key_Semicolon), 187);
  EXPECT_EQ(placed(51, Qt::Key_Comma), 188);
  EXPECT_EQ(placed(53, Qt::Key_Slash), 191);
  EXPECT_EQ(placed(53, Qt::Key_Minus), 191);  // German "-" in the "/" place
  EXPECT_EQ(placed(44, Qt::Key_Y), 90);       // German "y" in the "z" place
  EXPECT_EQ(placed(30, Qt::Key_Q), 65);       // French "q" in the "a" place
  EXPECT_EQ(placed(50, Qt::Key_Comma), 77);   // French "," in the "m" place
}

TEST(KeyTranslation, DigitRowGoesByPlaceAndKeypadDigitsByMeaning) {
  EXPECT_EQ(placed(2, Qt::Key_1), '1');
  EXPECT_EQ(placed(2, Qt::Key_Ampersand), '1');  // French digit row
  EXPECT_EQ(placed(8, Qt::Key_Egrave), '7');
  EXPECT_EQ(placed(10, Qt::Key_Ccedilla), '9');
  EXPECT_EQ(placed(79, Qt::Key_1, Qt::KeypadModifier), '1');
  EXPECT_EQ(unplaced(Qt::Key_5, Qt::KeypadModifier), '5');
}

TEST(KeyTranslation, EditingKeysGoByMeaningEvenWithAPlace) {
  EXPECT_EQ(placed(103, Qt::Key_Up), 38);
  EXPECT_EQ(placed(105, Qt::Key_Left), 37);
  EXPECT_EQ(placed(57, Qt::Key_Space), 32);
  EXPECT_EQ(placed(111, Qt::Key_Delete), 46);
  EXPECT_EQ(placed(42, Qt::Key_Shift), 16);
  EXPECT_EQ(placed(28, Qt::Key_Return), 0) << "a key the editor does not know";
}

TEST(KeyTranslation, KeysOutsideTheRowsDoNotPlayByTheirCaps) {
  EXPECT_EQ(placed(16, Qt::Key_A), 0);  // French "a" in the US "q" place
  EXPECT_EQ(placed(17, Qt::Key_Z), 0);  // French "z" in the US "w" place
  EXPECT_EQ(placed(21, Qt::Key_Z), 0);  // German "z" in the US "y" place
  EXPECT_EQ(placed(12, Qt::Key_Minus), 0);
}

TEST(KeyTranslation, CtrlLettersGoByTheLetterTheLayoutGives) {
  // Regression: Ctrl+Y was read by its place, which the rows do not hold.
  EXPECT_EQ(placed(21, Qt::Key_Y, Qt::ControlModifier), 'Y');
  EXPECT_EQ(placed(21, Qt::Key_Z, Qt::ControlModifier), 'Z');  // German "z"
  EXPECT_EQ(placed(44, Qt::Key_Y, Qt::ControlModifier), 'Y');  // German "y"
  EXPECT_EQ(placed(31, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier), 'S');
  EXPECT_EQ(placed(21, 0x043D, Qt::ControlModifier), 'Y');  // Cyrillic: by the US place
  EXPECT_EQ(placed(44, Qt::Key_Y), 90) << "without Ctrl the place plays";
}

TEST(KeyTranslation, WithoutAPlaceKeysGoByMeaning) {
  const std::pair<int, int> cases[] = {
      {Qt::Key_C, 67},
      {Qt::Key_Comma, 188},
      {Qt::Key_Backslash, 226},
      {Qt::Key_Semicolon, 187},
      {Qt::Key_Colon, 186},
      {Qt::Key_Apostrophe, 186},
      {Qt::Key_BracketRight, 221},
      {Qt::Key_7, '7'},
      {Qt::Key_Tab, 0},
  };
  for (const auto& [key, code] : cases) EXPECT_EQ(unplaced(key), code) << std::hex << key;
}

}  // namespace
}  // namespace kelvara
