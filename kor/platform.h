// Platform services in one small layer: clocks, terminal tests and signals.
#pragma once

#include <csetjmp>
#include <csignal>

namespace KOR {

// Processor time used by the shell, in seconds.
double cpu_seconds();
// Wall-clock time since the epoch, in seconds with millisecond resolution.
double wall_seconds();

bool is_terminal(int fd);

// Linux has no console-break signal of its own; the quit signal stands for
// it, since it is what the terminal sends for Ctl-\ outside raw mode.
constexpr int SIG_CONSOLE_BREAK = SIGQUIT;

// Installs `handler` for `sig` with SysV re-entry semantics (the handler
// re-installs itself) and without blocking `sig` while it runs, so that a
// fault handler that jumps out leaves the signal usable.
void install_handler(int sig, void (*handler)(int));

// A fault-recovery point: a running program's executor sets one, and the
// fault handler jumps back to it with the signal number.
struct RecoveryPoint {
  sigjmp_buf env;
};

} // namespace KOR
