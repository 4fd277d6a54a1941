// The one error funnel for internal failures, the language error messages,
// and the checked lock operations that every class uses.
#pragma once

#include <string>

#include "kor/threads.h"

// Restores the terminal, reports "KORsh Error: <reason> in <file>:<line> [<what>]"
// on standard error and in the "errors" log of the KOR directory, and exits
// with `status`.  A null `what` exits silently.
[[noreturn]] void kor_error(int status, const char *file, int line, const char *what);

// Writes one BEL to standard error at most every 0.2 seconds of wall time.
void kor_bell();

namespace KOR {

// Language error codes carried by failing commands and programs.
enum ErrorCode {
  ERR_NONE = 0,
  ERR_ARITHMETIC = 1,
  ERR_BAD_TYPE = 2,
  ERR_BAD_VALUE = 3,
  ERR_ILLEGAL_INSTRUCTION = 4,
  ERR_MAIN_IN_USE = 5,
  ERR_UNDO_IN_USE = 6,
  ERR_NO_MEMORY = 7,
  ERR_SEGV = 8,
  ERR_SYNTAX = 9,
  ERR_TOO_FEW_ARGS = 10,
  ERR_UNDER_CONSTRUCTION = 11,
  ERR_USER_EXCEPTION = 12,
};
constexpr int ERR_CODE_COUNT = 13;

// Message of a language error code; any other code ends the shell.
const char *strerror(int code);

} // namespace KOR

// The runtime library's text for a positive status, "??" otherwise.
std::string &sys_strerror(std::string &out, int status);

// Tests the result of a thread primitive: a non-zero result is fatal and is
// reported with the header that owns the lock, so class lock helpers call
// this from their headers.
inline void kor_check(int result, const char *file, int line, const char *what) {
  if (result != 0) kor_error(result, file, line, what);
}

#define KOR_CHECK(call, file, what) kor_check((call), (file), __LINE__, (what))
