#include "kor/kor_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Terminal.h"
#include "kor/platform.h"

namespace {

KOR::kt_mutex_t strerror_mutex;
KOR::kt_mutex_t bell_mutex;
double last_bell = -1.0;   // wall-clock seconds of the last bell; < 0 before the first call

void write_report(int status, const char *file, int line, const char *what) {
  std::string reason;
  sys_strerror(reason, status);
  const char *where = file ? file : "??";
  std::fprintf(stderr, "\rKORsh Error: %s in %s:%d [%s]\r\n", reason.c_str(), where, line, what);
  std::fflush(stderr);
  int fd = KOR::kernel().open_error_log();
  if (fd < 0) return;
  if (FILE *log = fdopen(fd, "a")) {
    std::fprintf(log, "KORsh Error: %s in %s:%d [%s]\n", reason.c_str(), where, line, what);
    std::fclose(log);
  } else {
    close(fd);
  }
}

} // namespace

void kor_error(int status, const char *file, int line, const char *what) {
  KOR::Terminal &term = KOR::terminal();
  if (term.trylock() == 0) {
    term.restore_for_exit(KOR::coder().ttyInput);
    if (what) write_report(status, file, line, what);
    if (term.unlock_result() != 0) kor_error(EPERM, "Terminal", __LINE__, "unlock");
  }
  std::exit(status);
}

void kor_bell() {
  KOR_CHECK(KOR::kt_mutex_lock(&bell_mutex), "kor_error", "lock");
  double now = KOR::wall_seconds();
  if (last_bell < 0.0) {
    last_bell = now;
  } else if (now - last_bell > 0.2) {
    const char bel = 7;
    ssize_t ignored = write(STDERR_FILENO, &bel, 1);
    (void)ignored;
    last_bell = now;
  }
  KOR_CHECK(KOR::kt_mutex_unlock(&bell_mutex), "kor_error", "unlock");
}

namespace KOR {

const char *strerror(int code) {
  static const char *const messages[ERR_CODE_COUNT] = {
      "No Error",
      "Arithmetic Exception",
      "Bad Argument Type",
      "Bad Argument Value",
      "Illegal Instruction",
      "Main Stack In Use",
      "Undo Stack In Use",
      "Insufficient Memory",
      "Segmentation Violation",
      "Syntax Error",
      "Too Few Arguments",
      "Routine Under Construction...",
      "User Exception",
  };
  if (code < 0 || code >= ERR_CODE_COUNT) kor_error(EINVAL, "kor_error", __LINE__, "KOR::strerror");
  return messages[code];
}

} // namespace KOR

std::string &sys_strerror(std::string &out, int status) {
  KOR_CHECK(KOR::kt_mutex_lock(&strerror_mutex), "kor_error", "lock");
  out = status > 0 ? std::strerror(status) : "??";
  KOR_CHECK(KOR::kt_mutex_unlock(&strerror_mutex), "kor_error", "unlock");
  return out;
}
