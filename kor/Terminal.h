// The terminal: the only way to the screen.  Every curses call is made
// through this object under its mutex; curses itself is included only in
// Terminal.cc.
#pragma once

#include "kor/kor_error.h"
#include "kor/threads.h"

namespace KOR {

class Terminal {
public:
  Terminal();
  Terminal(const Terminal &) = delete;
  Terminal &operator=(const Terminal &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "../kor/Terminal", "lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "../kor/Terminal", "unlock"); }
  int trylock() { return kt_mutex_trylock(&mutex_); }
  int unlock_result() { return kt_mutex_unlock(&mutex_); }

  // Leaves the full screen before the shell exits: ends curses when the
  // full-screen interface is active, resets the terminal mode and writes a
  // newline when curses was set up.  Called with the mutex held.
  void restore_for_exit(bool fullScreen);

  bool started() const { return started_; }
  bool closed() const { return closed_; }
  bool stdin_tty() const { return stdinTty_; }
  bool stdout_tty() const { return stdoutTty_; }

private:
  kt_mutex_t mutex_;
  bool started_ = false;  // curses initialised
  bool closed_ = false;   // closed at shutdown; screen operations are no-ops
  bool stdinTty_;
  bool stdoutTty_;
};

Terminal &terminal();

} // namespace KOR
