#include "kor/Display.h"

#include <cstdio>
#include <cstdlib>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/InputCoder.h"
#include "kor/Operand.h"

namespace KOR {

Display::Display() { KOR_CHECK(kt_mutex_init(&mutex_), "../kor/Display", "mutex_init"); }

std::string Display::error_text(const char *name, int systemError, int errorCode,
                                const char *detail) {
  std::string text;
  if (name && *name) text = std::string(name) + " Error: ";
  else if (systemError) text = "System Error: ";
  else text = "KOR Error: ";
  bool coded = false;
  if (systemError) {
    std::string reason;
    text += sys_strerror(reason, systemError) + ".";
    coded = true;
  } else if (errorCode > 0 && errorCode < ERR_CODE_COUNT) {
    text += KOR::strerror(errorCode);
    coded = true;
  }
  if (detail && *detail) text += coded ? std::string("  [") + detail + "]" : std::string(detail);
  return text;
}

void Display::show_error(int, const char *name, int systemError, int errorCode, const char *detail,
                         int, int) {
  std::string text = error_text(name, systemError, errorCode, detail);
  if (!active) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    std::exit(1);
  }
}

void Display::syntax_error(OBJ::Buffer &, const char *message, const std::string &token) {
  if (!active) {
    std::string detail = std::string(message ? message : "") + (token.empty() ? "" : ": " + token);
    show_error(2, "Syntax", 0, 0, detail.c_str(), -1, -1);
  }
}

void Display::batch_stack(Context &cx) {
  lock();
  bool empty = cx.main.depth() == 0;
  if (lastNonEmpty_) std::fputs(";\n", stdout);
  lastNonEmpty_ = !empty;
  unlock();
  if (empty) return;
  OBJ::Buffer buf;
  unsigned width = static_cast<unsigned>(columns - 1);
  cx.main.list(buf, cx.format, width, width, -1, -1, true);
  for (const OBJ::Line &l : buf.lines) std::printf("%s\n", l.text.c_str() + 1);
  std::fflush(stdout);
}

void Display::show_stack(Context &cx, bool failed) {
  if (!active) batch_stack(cx);
  if (failed) show_error(0, cx.failedOperand.c_str(), cx.sysErr, cx.err_, nullptr, -1, -1);
}

} // namespace KOR
