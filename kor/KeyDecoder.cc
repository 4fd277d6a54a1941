#include "kor/KeyDecoder.h"

namespace KOR {

InputCode KeyDecoder::read_code(KeyInput &in, const KeyMode &mode) {
  bool afterPrefix = last_ == IC_ESC_PREFIX;
  if (afterPrefix) in.set_wait(true);
  InputCode c = mode.keypad ? keypad_code(in, mode) : raw_code(in, mode);
  if (afterPrefix) in.set_timeout(1);
  last_ = c;
  if (mode.trace && c != IC_NULL) std::fprintf(mode.trace, "ch: %04x (%d)\n\r", c, c);
  return c;
}

InputCode KeyDecoder::keypad_code(KeyInput &in, const KeyMode &mode) {
  int key = in.get_key();
  if (key == KeyInput::NONE) return IC_NULL;
  if (key == KeyInput::END) return IC_EOF;
  if (mode.trace) std::fprintf(mode.trace, "gc: %04x (%d)\n\r", key, key);
  return in.keypad_map().code(key);
}

int KeyDecoder::tty_read(KeyInput &in, const KeyMode &mode) {
  if (!pushed_.empty()) {
    int b = pushed_.back();
    pushed_.pop_back();
    return b;
  }
  // Announced once per wait, not on every timed-out poll of an idle keyboard.
  if (mode.trace && !announced_) std::fputs("Entering tty_read...\n\r", mode.trace);
  announced_ = true;
  int b = in.read_byte();
  if (b == KeyInput::NONE) return IC_NULL;
  if (b == KeyInput::END) return IC_EOF;
  announced_ = false;
  if (!mode.meta) b &= 0x7f;
  if (mode.trace) std::fprintf(mode.trace, "tr: %04x (%d)\n\r", b, b);
  return b;
}

InputCode KeyDecoder::raw_code(KeyInput &in, const KeyMode &mode) {
  int b = tty_read(in, mode);
  return b == IC_ESC ? decode_escape(in, mode) : b;
}

// Collects up to the longest table sequence after an ESC and looks for the
// longest key that matches; the bytes after it are read again.  Without a
// match of at least 3 bytes the ESC is the ESC prefix and the bytes after it
// are ordinary keys, so ESC x (Alt-x on many terminals) gives Meta-x.
InputCode KeyDecoder::decode_escape(KeyInput &in, const KeyMode &mode) {
  const SpecialKeys &keys = in.special_keys();
  int limit = keys.max_length();
  unsigned char buf[SpecialKeys::MAX_SEQUENCE] = {IC_ESC};
  int n = 1;
  while (n < limit) {
    int b = tty_read(in, mode);
    if (b == IC_NULL || b == IC_EOF) break;
    if (n == 1 && b == IC_ESC) {   // ESC ESC: two prefixes, one at a time
      push_byte(IC_ESC);
      break;
    }
    buf[n++] = static_cast<unsigned char>(b);
  }
  if (mode.trace)
    for (int i = 0; i < n; ++i) std::fprintf(mode.trace, "s%d: %04x (%d)\n\r", i, buf[i], buf[i]);
  for (int length = n; length >= 3; --length) {
    int index;
    InputCode code = keys.find(buf, length, &index);
    if (code == IC_NULL) continue;
    for (int i = n - 1; i >= length; --i) push_byte(buf[i]);
    if (mode.trace) std::fprintf(mode.trace, "spec: %s\n\r", keys[index].name);
    return code;
  }
  for (int i = n - 1; i >= 1; --i) push_byte(buf[i]);
  return IC_ESC_PREFIX;
}

} // namespace KOR
