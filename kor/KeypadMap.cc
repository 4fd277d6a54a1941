#include "kor/KeypadMap.h"

namespace KOR {

InputCode KeypadMap::code(int key) const {
  if (key == IC_ESC) return IC_META_BIT;
  if (key == 0) return IC_NULL;
  if (key > 0 && key < 256) return key;
  auto it = keys_.find(key);
  return it == keys_.end() ? InputCode(IC_NULL) : it->second;
}

const std::vector<CapabilityKey> &capability_keys() {
  // ncurses names the modified keys kUP (shift), kUP3 (Alt) and so on.  Alt
  // is Meta, the same as an ESC typed before the key.
  const InputCode M = IC_META_BIT;
  static const std::vector<CapabilityKey> keys = {
      {"kUP", IC_ShiftUp},       {"kDN", IC_ShiftDown},
      {"kUP3", M | IC_Up},       {"kDN3", M | IC_Down},
      {"kRIT3", M | IC_Right},   {"kLFT3", M | IC_Left},
      {"kHOM3", M | IC_Home},    {"kEND3", M | IC_End},
      {"kPRV3", M | IC_PageUp},  {"kNXT3", M | IC_PageDown},
      {"kIC3", M | IC_Insert},   {"kDC3", M | IC_DEL},
  };
  return keys;
}

} // namespace KOR
