#include "kor/platform.h"

#include <time.h>
#include <unistd.h>

#include <ctime>

namespace KOR {

double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double wall_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec / 1000000) / 1000.0;
}

bool is_terminal(int fd) { return isatty(fd) == 1; }

namespace {

// Handlers run on a stack of their own, so that a fault from an exhausted
// program stack still reaches the handler (and becomes a program error).
void use_signal_stack() {
  static bool done = false;
  if (done) return;
  alignas(16) static char area[64 * 1024];
  stack_t ss{};
  ss.ss_sp = area;
  ss.ss_size = sizeof area;
  done = sigaltstack(&ss, nullptr) == 0;
}

} // namespace

void install_handler(int sig, void (*handler)(int)) {
  use_signal_stack();
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_NODEFER | SA_ONSTACK;
  sigaction(sig, &sa, nullptr);
}

} // namespace KOR
