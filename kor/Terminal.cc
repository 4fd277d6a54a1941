#include "kor/Terminal.h"

#include <curses.h>
#include <unistd.h>

#include <cstdio>

#include "kor/platform.h"

namespace KOR {

Terminal::Terminal()
    : stdinTty_(is_terminal(STDIN_FILENO)), stdoutTty_(is_terminal(STDOUT_FILENO)) {
  KOR_CHECK(kt_mutex_init(&mutex_), "../kor/Terminal", "mutex_init");
}

void Terminal::restore_for_exit(bool fullScreen) {
  if (!started_) return;
  if (fullScreen) endwin();
  reset_shell_mode();
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

} // namespace KOR
