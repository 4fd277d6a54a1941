// The terminal layer of the input decoder: one code per call, read through
// curses (keypad mode) or decoded from escape sequences (raw mode), with the
// short no-wait read after an ESC prefix and the -@ debug traces.
#pragma once

#include <cstdio>
#include <vector>

#include "kor/InputCode.h"
#include "kor/KeyInput.h"

namespace KOR {

struct KeyMode {
  bool keypad = true;      // curses decodes special keys; else the escape decoder
  bool meta = true;        // 8-bit input; off strips bit 7 of raw bytes
  FILE *trace = nullptr;   // where the -@ decoding traces go, null for none
};

class KeyDecoder {
public:
  // One terminal code: a key, IC_ESC_PREFIX, IC_EXT (ExtPrefix), IC_NULL when
  // no key came in time, or IC_EOF when the terminal is gone.  Right after an
  // ESC prefix the read does not wait: a key typed with the ESC arrives now,
  // a key typed later is read by a later call.
  InputCode read_code(KeyInput &in, const KeyMode &mode);

  // Raw mode: a pushed-back byte first, else one byte from the terminal;
  // IC_NULL when none came in time, IC_EOF when the terminal is gone.
  int tty_read(KeyInput &in, const KeyMode &mode);
  // Returns a byte to be read again (LIFO).
  void push_byte(unsigned char b) { pushed_.push_back(b); }
  bool has_pushed() const { return !pushed_.empty(); }

  InputCode last_code() const { return last_; }

private:
  InputCode keypad_code(KeyInput &in, const KeyMode &mode);
  InputCode raw_code(KeyInput &in, const KeyMode &mode);
  InputCode decode_escape(KeyInput &in, const KeyMode &mode);

  std::vector<unsigned char> pushed_;
  InputCode last_ = IC_NULL;
  bool announced_ = false;   // "Entering tty_read" written for the current wait
};

// The code of the ESC prefix: the Meta bit alone.
constexpr InputCode IC_ESC_PREFIX = IC_META_BIT;

} // namespace KOR
