#pragma once

#include <QString>

namespace kelvara {

// A part's name as the lists and check boxes show it, in the interface's
// language: " 1パート" .. " 9パート", "10パート", "パーカッション" (a number
// below 10 is set off by a space when it leads, lining it up with "10").
QString partCaption(int part);

}  // namespace kelvara
