// Keypad mode: the input codes of the keys that curses decodes.  The map is
// curses-free; the key numbers come from Terminal.cc, the one place that
// knows curses.
//
// ncurses has no keys of its own for Alt with a letter or digit: terminals
// send ESC and the character, which the ESC prefix makes Meta-letter or
// Meta-digit, and the key map turns those into menu and function keys.  An
// Alt that sets bit 7 instead gives an 8-bit character, which stays itself.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "kor/InputCode.h"

namespace KOR {

class KeypadMap {
public:
  void add(int key, InputCode code) { keys_[key] = code; }

  // ESC is the ESC prefix (0x4000); key 0 is no key; any other value below
  // 256 is that character; a mapped curses key its code; anything else no key.
  InputCode code(int key) const;

private:
  std::unordered_map<int, InputCode> keys_;
};

// A curses key by the name of its constant ("KEY_UP", "KEY_F(13)").
struct NamedKey {
  std::string name;
  int key;
  InputCode code;
};

// The curses keys that keypad mode maps, with their codes (Terminal.cc).
std::vector<NamedKey> curses_keypad_keys();

// Keys that ncurses defines only from a terminal description's extended
// capabilities (the shifted and Alt-modified cursor keys); their key numbers
// are found when the terminal is opened.
struct CapabilityKey {
  const char *capability;
  InputCode code;
};
const std::vector<CapabilityKey> &capability_keys();

} // namespace KOR
