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

void install_handler(int sig, void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_NODEFER;
  sigaction(sig, &sa, nullptr);
}

} // namespace KOR
