// The kernel: the environment, the interrupt word, the CPU-time totals, the
// stage roles and the start-up helpers for the KOR directory.
#pragma once

#include <csignal>
#include <string>

#include "kor/kor_error.h"
#include "kor/threads.h"

namespace KOR {

class Editor;

// Process signal codes, also the values of the interrupt word.
enum SignalCode { SIG_NONE = 0, SIG_ABORT = 1, SIG_CONT = 2, SIG_KILL = 3, SIG_STOP = 4, SIG_TERM = 5 };

class Kernel {
public:
  Kernel();
  ~Kernel();
  Kernel(const Kernel &) = delete;
  Kernel &operator=(const Kernel &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "Kernel", "lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "Kernel", "unlock"); }

  // Reads HOME, KORDIR, KORTERM/TERM and VISUAL/EDITOR.  An empty variable
  // counts as unset, so that an empty HOME never puts the KOR directory at
  // the file-system root.
  void read_environment();

  // Opens the "errors" log for appending.  Unlike kor_open it never ends the
  // shell: when the KOR directory cannot be made the result is -1.
  int open_error_log();

  // Reports a fault that no running program can absorb, then aborts.
  [[noreturn]] void fatal(const char *message);

  // Ends the input stage at its next key (the SIGTERM path): posts TERM.
  void quit();
  // Ends the input stage on TERM: closes the decoder and the trace, restores
  // the terminal, deletes the buffer.
  void quit(Editor *buffer);

  // The input stage: edits command lines and hands them to the compile
  // queue until the end of input.
  void input_stage();

  // Adds the CPU time since `startTime` to the total and restarts the slice
  // there; moves the busy indicator every quarter second of CPU time.
  void account(double &startTime, bool locked);
  // Advances the busy indicator; set by the display when it exists.
  void (*onPulse)() = nullptr;

  const char *home() const { return home_; }
  const char *kordir() const { return kordir_.c_str(); }
  const char *term_name() const { return term_; }
  const char *editor() const { return editor_; }

  double cpuTotal = 0.0;       // CPU seconds charged to programs
  double cpuAtPulse = 0.0;     // the total when the busy indicator last moved
  volatile std::sig_atomic_t interrupt = SIG_NONE;
  kt_t roleSignal = 0, roleInput = 0, roleCompile = 0, roleFgProc = 0;
  kt_key_t execKey = -1;       // the running program's recovery point

private:
  kt_mutex_t mutex_;
  const char *home_ = ".";
  std::string kordir_;
  const char *term_ = nullptr;
  const char *editor_ = "vi";
};

Kernel &kernel();

// Makes sure that "<KOR directory>/<name>" exists as a directory ("" is the
// KOR directory itself); failures end the shell.
void kormkdir(const char *name);

// Opens "<KOR directory>/<name>" with permission 0644.  Creation first makes
// the KOR directory and its "init" and "term" subdirectories.  Returns -1
// with errno set, ENAMETOOLONG when the path would exceed 254 characters.
int kor_open(const char *name, int flags);

// Selects the next input source of the decoder: the rc file, SCRIPT, the
// expression, then standard input.  False when none is left.
bool open_next_input();

} // namespace KOR
