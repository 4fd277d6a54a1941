#include "kor/InputCoder.h"

#include <unistd.h>

#include <cerrno>

#include "kor/platform.h"

namespace KOR {

InputCoder::InputCoder()
    : ttyInput(is_terminal(STDIN_FILENO)), ttyOutput(is_terminal(STDOUT_FILENO)) {
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
