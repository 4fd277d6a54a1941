// The input seam: what the key decoder needs from a terminal.  The Terminal
// implements it on curses and standard input; tests feed scripted keys.
#pragma once

#include "kor/KeypadMap.h"
#include "kor/SpecialKeys.h"

namespace KOR {

class KeyInput {
public:
  static constexpr int NONE = -1;   // nothing arrived within the read timeout
  static constexpr int END = -2;    // the terminal is gone

  virtual ~KeyInput() = default;
  // Keypad mode: the next curses key number, or NONE / END.
  virtual int get_key() = 0;
  // Raw mode: the next byte of standard input, or NONE / END.
  virtual int read_byte() = 0;
  // On: the next read does not wait at all.
  virtual void set_wait(bool on) = 0;
  // Reads wait at most this many tenths of a second.
  virtual void set_timeout(int tenths) = 0;
  virtual const KeypadMap &keypad_map() const = 0;
  virtual const SpecialKeys &special_keys() const = 0;
};

} // namespace KOR
