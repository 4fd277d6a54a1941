// The display: where everything stands on the full screen, and the batch
// output that replaces it when the shell runs without a screen.
#pragma once

#include <string>

#include "kor/kor_error.h"
#include "kor/threads.h"

namespace OBJ { class Buffer; }

namespace KOR {

class Context;

class Display {
public:
  Display();
  Display(const Display &) = delete;
  Display &operator=(const Display &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "../kor/Display", "lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "../kor/Display", "unlock"); }

  // Redraws the stack after a foreground run; with `failed` the context's
  // error is shown as well.  Without a screen: a ";" line between redraws,
  // then the stack listing, and an error ends the shell with status 1.
  void show_stack(Context &cx, bool failed);

  // The error message: "<name> Error: ", "System Error: " or "KOR Error: ",
  // then the system text or the error code's message, then the detail.
  // Without a screen it goes to standard error and the shell exits with 1.
  void show_error(int kind, const char *name, int systemError, int errorCode, const char *detail,
                  int beep, int keep);

  // A syntax error in a command line: shown under "Syntax"; the line goes
  // back to the editor (without a screen the shell ends, naming the token).
  void syntax_error(OBJ::Buffer &line, const char *message, const std::string &token);

  // The error text of show_error.
  static std::string error_text(const char *name, int systemError, int errorCode,
                                const char *detail);

  void set_busy(bool busy) { busy_ = busy; }
  void table_changed() {}   // the process table changed: the status bar follows

  bool active = false;      // the full screen is in use
  int rows = -1, columns = 72;

private:
  void batch_stack(Context &cx);
  kt_mutex_t mutex_;
  bool busy_ = false;
  bool lastNonEmpty_ = false;
};

Display &display();

} // namespace KOR
