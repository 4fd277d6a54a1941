#include "kor/InputCoder.h"

#include <unistd.h>

#include <cerrno>

#include "kor/Kernel.h"
#include "kor/Scheduler.h"
#include "kor/Terminal.h"
#include "kor/charsets.h"
#include "kor/platform.h"

namespace KOR {

namespace {

void stop_foreground() { scheduler().fg_stop(); }
void kill_foreground() { scheduler().fg_kill(); }
[[noreturn]] void quit_shell() { kor_error(4, "InputCoder", __LINE__, nullptr); }

} // namespace

InputCoder::InputCoder()
    : pollActions{stop_foreground, kill_foreground, quit_shell},
      ttyInput(is_terminal(STDIN_FILENO)), ttyOutput(is_terminal(STDOUT_FILENO)) {
  KOR_CHECK(kt_mutex_init(&mutex_), "InputCoder", "mutex_init");
}

void InputCoder::settle_mode(const Options &settings) {
  opts = settings;
  bool scripted = opts.expr || opts.script;
  if (opts.interactive) {
    if (!scripted) ttyOutput = true;
  } else if (scripted) {
    readStdin = ttyInput = ttyOutput = false;
  } else if (!ttyInput) {
    ttyOutput = false;
  }
}

void InputCoder::poll_keyboard() {
  if (!ttyInput) return;
  KeyInput &in = keys();
  KeyMode mode = key_mode();
  for (;;) {
    // Again before each read: a key after an ESC restores the usual wait.
    in.set_wait(true);
    InputCode c = decoder_.read_code(in, mode);
    if (c == IC_NULL || c == IC_EOF) break;
    if (c == ctl('S')) {
      pollActions.stop();
    } else if (c == ctl('C')) {
      pollActions.kill();
      break;
    } else if (c == 28) {   // Ctl-backslash
      pollActions.quit();
    } else if (c == IC_WINCH) {
      post_event(IC_WINCH);   // the screen is redrawn once the program is done
    }
  }
  in.set_timeout(1);
}

KeyInput &InputCoder::keys() { return keys_ ? *keys_ : terminal(); }

KeyMode InputCoder::key_mode() const {
  return KeyMode{opts.keypad, opts.meta, opts.keytest ? debugOut : nullptr};
}

InputCode InputCoder::next_code() {
  for (;;) {
    if (!pushedCodes_.empty()) {
      InputCode c = pushedCodes_.back();
      pushedCodes_.pop_back();
      if (c != IC_EOF && traceFd >= 0) write_trace_code(traceFd, c);
      return c;
    }
    if (inputFd == -1 && !open_next_input()) return IC_EOF;
    InputCode c = read_source();
    if (c == IC_EOF) {
      // The end of a script or of the expression evaluates what was read;
      // the end of standard input is the end of input.
      if (inputFd > 0) {
        close(inputFd);
        c = IC_EVAL;
      } else if (inputFd == -2) {
        expression.clear();
        c = IC_EVAL;
      }
      inputFd = -1;
    }
    if (c == IC_NULL || c == IC_EXT) continue;
    if (c != IC_EOF && traceFd >= 0) write_trace_code(traceFd, c);
    return c;
  }
}

InputCode InputCoder::read_source() {
  if (inputFd == -2) {
    if (expressionPos >= expression.size()) return IC_EOF;
    unsigned char ch = static_cast<unsigned char>(expression[expressionPos++]);
    return ch == ';' ? InputCode(IC_EVAL) : InputCode(ch);
  }
  return read_key(inputFd);
}

// Events first, then a key; ExtPrefix and ESC prefixes modify the key after them.
InputCode InputCoder::read_key(int fd) {
  for (;;) {
    InputCode event;
    if (take_event(&event)) return event;
    InputCode c = fd == 0 && ttyInput ? read_terminal() : read_raw(fd);
    if (c == IC_NULL) {
      if (kernel().interrupt != SIG_NONE) {
        kernel().interrupt = SIG_NONE;
        return apply_prefixes(IC_INT);
      }
      if (onIdle) onIdle();
      continue;
    }
    if (c == IC_EXT) {
      extPending_ = 1;
      continue;
    }
    return apply_prefixes(c);
  }
}

// Each ESC prefix toggles the pending Meta flag and the next code is read at
// once, so ESC x gives Meta-x.  ESC ESC toggles Meta back off: a second ESC
// cancels the first and the key after it comes plain (0x8000, two prefixes
// added up, is no input code).
InputCode InputCoder::read_terminal() {
  KeyInput &in = keys();
  KeyMode mode = key_mode();
  InputCode c = decoder_.read_code(in, mode);
  while (c == IC_ESC_PREFIX) {
    metaPending_ ^= IC_META_BIT;
    c = decoder_.read_code(in, mode);
  }
  return c;
}

InputCode InputCoder::apply_prefixes(InputCode code) {
  if (extPending_) {
    extPending_ = 0;
    code = ext_code(code);
  }
  code |= metaPending_;
  metaPending_ = 0;
  return code;
}

InputCode InputCoder::read_raw(int fd) {
  if (opts.interactive) {
    // A keystroke trace, as written by -t.
    unsigned char b, c;
    if (!read_byte(fd, &b)) return IC_EOF;
    if (b != 0x00 && b != 0x80) return b;
    if (!read_byte(fd, &c)) return IC_EOF;
    if (b == 0x80) return c + IC_META_BIT;
    if (c == 0x00 || c == 0x80) return c;
    return 0x100 + (c & 0x7f) + ((c & 0x80) ? IC_META_BIT : 0);
  }
  unsigned char b;
  if (!read_byte(fd, &b)) return IC_EOF;
  if (b == '\n') {
    lineStart = true;
    return IC_NewLine;
  }
  if (b == ';' && lineStart) return IC_EVAL;
  lineStart = false;
  if (b < 32 || b == 127) return is_control_space(b) ? InputCode(' ') : InputCode(IC_NULL);
  return b;
}

bool InputCoder::read_byte(int fd, unsigned char *b) {
  for (;;) {
    ssize_t n = read(fd, b, 1);
    if (n == 1) return true;
    if (n == 0) return false;
    if (errno == EINTR || errno == EAGAIN) continue;
    kor_error(errno, "InputCoder", __LINE__, "read");
  }
}

InputCode ext_code(InputCode code) {
  InputCode k = code & IC_MASK;
  InputCode meta = code & IC_META_BIT;
  InputCode r;
  if (k >= IC_Up && k <= IC_Left) r = k + 4;
  else if (k == IC_BackSpace || k == ctl('H')) r = IC_ShiftBackSpace;
  else if (k == IC_Delete || k == IC_DEL) r = IC_ShiftDelete;
  else if (k == ctl('M')) r = IC_NewLine;
  else if (k == ' ') r = IC_Insert;
  else if (k == '?') r = IC_Help;
  else if (k == '>') r = IC_Local;
  else if (k >= '1' && k <= '9') r = fkey(k - '0');
  else if (k == '0') r = fkey(10);
  else if (k >= IC_F1 && k < IC_ShiftF1) r = k + 10;
  else if (k >= 'A' && k <= 'Z') r = menu_key(static_cast<char>(k));
  else if (k >= 'a' && k <= 'z') r = menu_key(static_cast<char>(k - 32));
  else return code | IC_META_BIT;
  return r | meta;
}

void InputCoder::post_event(InputCode code) {
  lock();
  events_.push_back(static_cast<unsigned char>(code - 256));
  unlock();
}

bool InputCoder::take_event(InputCode *code) {
  lock();
  bool any = !events_.empty();
  if (any) {
    *code = events_.front() + 256;
    events_.pop_front();
  }
  unlock();
  return any;
}

void write_trace_code(int fd, InputCode code) {
  unsigned char bytes[2];
  int n = encode_trace_code(code, bytes);
  if (write(fd, &bytes[0], 1) != 1) kor_error(errno, "InputCoder", __LINE__, "write");
  if (n == 2 && write(fd, &bytes[1], 1) != 1) kor_error(errno, "InputCoder", __LINE__, "write");
}

} // namespace KOR
