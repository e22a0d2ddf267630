#pragma once

class QKeyEvent;

namespace kelvara {

// The virtual-key code (Japanese keyboard layout) of a key event, or 0 for a
// key the editor does not know. The two piano rows and the digits are taken
// by their place on the keyboard, not by what their caps say, so that they
// play the same on JIS, US and ISO keyboards.
int virtualKeyOf(const QKeyEvent& event);

}  // namespace kelvara
