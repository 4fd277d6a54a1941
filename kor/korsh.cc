// korsh: the KOR shell.
#include <cstdio>
#include <cstdlib>

#include "kor/Display.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Menu.h"
#include "kor/Options.h"
#include "kor/Terminal.h"
#include "kor/signals.h"
#include "kor/version.h"

// Keypad mode (curses decodes special keys) is the shell's only mode; the
// test build korsh_raw compiles this file with KOR_KEYPAD=0 to run raw key
// mode and its key learning on a real terminal.
#ifndef KOR_KEYPAD
#define KOR_KEYPAD 1
#endif

using namespace KOR;

namespace {

[[noreturn]] void usage_exit(const char *progname, int status) {
  show_version(false);
  print_usage(stdout, progname);
  std::fflush(stdout);
  std::exit(status);
}

// Keyboard test mode: every code the decoder delivers, by number and name,
// until Q (or the end of the input).  The screen is cleared first so that
// curses' first refresh does not wipe the lines written meanwhile.
[[noreturn]] void keytest() {
  terminal().clear_screen();
  terminal().refresh();
  std::fputs("\rEntering keyboard debug mode; test keys:\n\r\n", stderr);
  for (;;) {
    InputCode code = coder().next_code();
    std::fprintf(stderr, "ic: %04x (%s)\n\r\n", static_cast<unsigned>(code), key_name(code));
    if (code == 'Q' || code == IC_EOF) {
      terminal().close();
      std::exit(0);
    }
  }
}

// The full screen: the display takes the terminal's size, the running
// programs move the busy indicator and the idle keyboard keeps the clock.
void start_screen(const ScreenSize &size) {
  display().start(size);
  kernel().onPulse = [] { display().pulse(false, false); };
  coder().onIdle = [] { display().tick(); };
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
  opts.keypad = KOR_KEYPAD;
  ic.settle_mode(opts);
  ScreenSize size = terminal().open(screen_settings());
  // The full screen needs a screen that curses could open.
  bool fullScreen = ic.ttyOutput && size.rows > 0;
  if (fullScreen) OP::build_menus();
  else display().columns = size.cols;

  install_signals();
  Kernel &k = kernel();
  k.lock();
  k.cpuTotal = k.cpuAtPulse = 0.0;
  k.interrupt = SIG_NONE;
  k.unlock();
  open_next_input();

  if (opts.keytest) keytest();
  if (fullScreen) start_screen(size);
  k.input_stage();
  std::fflush(stdout);
  std::exit(0);
}
