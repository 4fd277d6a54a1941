// korsh: the KOR shell.
#include <cstdio>
#include <cstdlib>

#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Options.h"
#include "kor/signals.h"
#include "kor/version.h"

using namespace KOR;

namespace {

[[noreturn]] void usage_exit(const char *progname, int status) {
  show_version(false);
  print_usage(stdout, progname);
  std::fflush(stdout);
  std::exit(status);
}

// Keyboard test mode: every code the decoder delivers, by number and name,
// until Q (or the end of the input).
[[noreturn]] void keytest() {
  std::fputs("\rEntering keyboard debug mode; test keys:\n\r\n", stderr);
  for (;;) {
    InputCode code = coder().next_code();
    std::fprintf(stderr, "ic: %04x (%s)\n\r\n", static_cast<unsigned>(code), key_name(code));
    if (code == 'Q' || code == IC_EOF) std::exit(0);
  }
}

} // namespace

int main(int argc, char *argv[]) {
  Options &opts = options();
  InputCoder &ic = coder();
  read_options_file(opts);
  ic.opts = opts;

  switch (parse_command_line(argc, argv, opts, &ic.logFd, &ic.traceFd)) {
  case StartMode::ShowHelp: usage_exit(argv[0], 0);
  case StartMode::ShowVersion: show_version(true); break;
  case StartMode::BadUsage: usage_exit(argv[0], 1);
  case StartMode::Run: break;
  }
  ic.settle_mode(opts);

  install_signals();
  Kernel &k = kernel();
  k.lock();
  k.cpuTotal = k.cpuAtPulse = 0.0;
  k.interrupt = SIG_NONE;
  k.unlock();
  open_next_input();

  if (opts.keytest) keytest();
  if (ic.ttyOutput) {
    std::fprintf(stderr, "%s: the full-screen shell is not available in this build yet; "
                         "use -e EXPR, a SCRIPT or standard input.\n", argv[0]);
    return 1;
  }
  k.input_stage();
  std::fflush(stdout);
  std::exit(0);
}
