#include "input/key_map.h"

namespace kelvara {

int keyIndex(int code) {
  for (int i = 0; i < static_cast<int>(kKeyMap.size()); ++i) {
    if (kKeyMap[i].code == code) return i;
  }
  return -1;
}

}  // namespace kelvara
