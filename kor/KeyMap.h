// Key maps: the editor translates every delivered code into an action
// before acting on it.  A map has a plain half and a Meta half.
#pragma once

#include <array>

#include "kor/InputCode.h"

namespace KOR {

class KeyMap {
public:
  static constexpr int HALF = 384;

  // The action for a code: its low 9 bits name the action, the Meta bit
  // says whether the action carries Meta.
  InputCode translate(InputCode code) const {
    int index = (code & 0x1ff) + ((code & IC_META_BIT) ? HALF : 0);
    return entries_[static_cast<size_t>(index)];
  }

  void set(InputCode key, InputCode action) {
    int index = (key & 0x1ff) + ((key & IC_META_BIT) ? HALF : 0);
    entries_[static_cast<size_t>(index)] = action;
  }

  static KeyMap identity();

private:
  std::array<InputCode, 2 * HALF> entries_{};
};

const KeyMap &main_map();   // the command line
const KeyMap &view_map();   // Browse and Visit: single letters move and page

} // namespace KOR
