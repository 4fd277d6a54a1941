#include "kor/Terminal.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "kor/Kernel.h"
#include "kor/KeyLearning.h"
#include "kor/ScreenText.h"
#include "kor/platform.h"

// The one place that includes curses.  Its function-like macros (move,
// refresh, clear, ...) would rewrite the surface's member names.
#define NCURSES_NOMACROS
#include <curses.h>

namespace KOR {

namespace {

chtype curses_attrs(int attrs) {
  chtype a = 0;
  if (attrs & ATTR_PAIR) a |= COLOR_PAIR(attrs & ATTR_PAIR);
  if (attrs & ATTR_BOLD) a |= A_BOLD;
  if (attrs & ATTR_REVERSE) a |= A_REVERSE;
  return a;
}

// The screen through curses' standard screen.  Attribute words arrive
// already adjusted for a screen without colours.
class CursesSurface : public Surface {
public:
  void move(int row, int col) override { wmove(stdscr, row, col); }
  bool add(unsigned char ch, int attrs) override {
    return waddch(stdscr, ch | curses_attrs(attrs)) != ERR;
  }
  void insert(unsigned char ch, int attrs) override { winsch(stdscr, ch | curses_attrs(attrs)); }
  void delete_char() override { wdelch(stdscr); }
  void clear_eol() override { wclrtoeol(stdscr); }
  void clear_bottom() override { wclrtobot(stdscr); }
  void clear_all() override {
    werase(stdscr);
    wmove(stdscr, 0, 0);
  }
  void cursor(int *row, int *col) const override {
    int r, c;
    getyx(stdscr, r, c);
    *row = r;
    *col = c;
  }
  void refresh() override { wrefresh(stdscr); }
  void beep() override { ::beep(); }
};

// An empty variable counts as unset, as everywhere in the shell's environment.
const char *env_value(const char *name) {
  const char *v = std::getenv(name);
  return v && *v ? v : nullptr;
}

} // namespace

// ---- Curses keys -----------------------------------------------------------------

#define NAMED(key, code) NamedKey{#key, key, code}

std::vector<NamedKey> curses_keypad_keys() {
  std::vector<NamedKey> keys = {
      NAMED(KEY_UP, IC_Up),
      NAMED(KEY_DOWN, IC_Down),
      NAMED(KEY_LEFT, IC_Left),
      NAMED(KEY_RIGHT, IC_Right),
      NAMED(KEY_HOME, IC_Home),
      NAMED(KEY_A1, IC_Home),          // keypad upper left
      NAMED(KEY_END, IC_End),
      NAMED(KEY_LL, IC_End),
      NAMED(KEY_C1, IC_End),           // keypad lower left
      NAMED(KEY_PPAGE, IC_PageUp),
      NAMED(KEY_A3, IC_PageUp),        // keypad upper right
      NAMED(KEY_NPAGE, IC_PageDown),
      NAMED(KEY_C3, IC_PageDown),      // keypad lower right
      NAMED(KEY_BACKSPACE, ctl('H')),
      NAMED(KEY_DC, IC_DEL),
      NAMED(KEY_IC, IC_Insert),
      NAMED(KEY_CLEAR, IC_Clear),
      NAMED(KEY_ENTER, ctl('M')),
      NAMED(KEY_HELP, IC_Help),
      NAMED(KEY_SDC, IC_ShiftDelete),
      NAMED(KEY_SLEFT, IC_ShiftLeft),
      NAMED(KEY_SRIGHT, IC_ShiftRight),
      // ncurses has no shifted up and down arrows of its own: xterm-like
      // terminals send them as the scroll keys.
      NAMED(KEY_SR, IC_ShiftUp),
      NAMED(KEY_SF, IC_ShiftDown),
      // ncurses reports a resize as a key; the editor hears it as WINCH.
      NAMED(KEY_RESIZE, IC_WINCH),
  };
  for (int n = 1; n <= 10; ++n) {
    keys.push_back({"KEY_F(" + std::to_string(n) + ")", KEY_F(n), fkey(n)});
    keys.push_back({"KEY_F(" + std::to_string(n + 12) + ")", KEY_F(n + 12), IC_ShiftF1 + n - 1});
  }
  return keys;
}

#undef NAMED

// ---- Set-up ----------------------------------------------------------------------

class Terminal::Guard {
public:
  explicit Guard(Terminal &t) : t_(t) { t_.lock(); }
  ~Guard() { t_.unlock(); }
  Guard(const Guard &) = delete;
  Guard &operator=(const Guard &) = delete;

private:
  Terminal &t_;
};

Terminal::Terminal()
    : stdinTty_(is_terminal(STDIN_FILENO)), stdoutTty_(is_terminal(STDOUT_FILENO)) {
  KOR_CHECK(kt_mutex_init(&mutex_), "../kor/Terminal", "mutex_init");
}

Terminal::~Terminal() = default;

void Terminal::restore_for_exit(bool fullScreen) {
  if (!started_) return;
  if (fullScreen) endwin();
  reset_shell_mode();
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

ScreenSize Terminal::open(const TermSettings &settings) {
  Guard g(*this);
  if (closed_) return size_;
  settings_ = settings;
  settings_.keys = settings.keys && stdinTty_;
  settings_.screen = settings.screen && stdoutTty_;
  size_ = ScreenSize{};
  if (settings_.keys || settings_.screen) start_curses();
  if (settings_.screen) {
    nonl();
    setup_colors();
    size_.rows = LINES;
    size_.cols = COLS;
  }
  if (settings_.keys) {
    keypad(stdscr, settings_.keypad);
    meta(stdscr, settings_.meta);
    setup_keypad();
  }
  if (!settings_.keypad) load_special(false);
  if (settings_.keys) set_key_modes();
  return size_;
}

void Terminal::start_curses() {
  if (started_) {
    endwin();
    wrefresh(stdscr);   // back in curses, at the new size after a resize
    return;
  }
  if (!newterm(nullptr, stdout, stdin)) {
    const char *type = env_value("TERM");
    std::fprintf(stderr, "Error opening terminal: %s.\n", type ? type : "unknown");
    std::exit(1);
  }
  started_ = true;
  curses_ = std::make_unique<CursesSurface>();
  surface_ = curses_.get();
}

void Terminal::setup_colors() {
  size_.colors = settings_.color && has_colors();
  if (!size_.colors) return;
  start_color();
  init_pair(PAIR_RED, COLOR_RED, COLOR_BLACK);
  init_pair(PAIR_GREEN, COLOR_GREEN, COLOR_BLACK);
  init_pair(PAIR_WHITE_ON_BLUE, COLOR_WHITE, COLOR_BLUE);
  init_pair(PAIR_YELLOW, COLOR_YELLOW, COLOR_BLACK);
  init_pair(PAIR_CYAN, COLOR_CYAN, COLOR_BLACK);
  init_pair(PAIR_MAGENTA, COLOR_MAGENTA, COLOR_BLACK);
}

void Terminal::setup_keypad() {
  keypad_ = KeypadMap();
  for (const NamedKey &k : curses_keypad_keys()) keypad_.add(k.key, k.code);
  for (const CapabilityKey &k : capability_keys()) {
    const char *seq = tigetstr(k.capability);
    if (!seq || seq == reinterpret_cast<char *>(-1)) continue;
    int key = key_defined(seq);
    if (key > 0) keypad_.add(key, k.code);
  }
}

// cbreak without echo, key reads that wait at most a tenth of a second, and
// an ESC that is not the start of a key sequence within that tenth comes out
// as ESC.  Ctl-S, Ctl-Q and Ctl-Z are editor keys (stop, continue and suspend
// the foreground job), so the tty must not take them for flow control or job
// control; Ctl-C and Ctl-\ keep their signals (interrupt and console break).
void Terminal::set_key_modes() {
  cbreak();
  noecho();
  if (settings_.keypad) {
    set_escdelay(100);
    wtimeout(stdscr, 100);
  }
  struct termios modes;
  if (tcgetattr(STDIN_FILENO, &modes) == 0) {
    modes.c_iflag &= ~static_cast<tcflag_t>(IXON);
    modes.c_cc[VSUSP] = _POSIX_VDISABLE;
    tcsetattr(STDIN_FILENO, TCSANOW, &modes);
  }
  def_prog_mode();   // curses restores these modes when it comes back
}

void Terminal::close() {
  Guard g(*this);
  if (closed_) return;
  closed_ = true;
  if (started_) endwin();
  if (stdoutTty_) {
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
}

// ---- Special keys ----------------------------------------------------------------

// Learning runs inside open(), under the mutex, on curses directly.
class Terminal::SetupIO : public KeySetupIO {
public:
  explicit SetupIO(Terminal &t) : t_(t) {}
  bool can_learn() const override {
    return t_.started_ && t_.settings_.keys && t_.settings_.screen;
  }
  void end_screen() override {
    if (t_.started_) endwin();
  }
  void clear() override { wclear(stdscr); }
  void show(int row, const std::string &text) override {
    wmove(stdscr, row, 0);
    waddnstr(stdscr, text.c_str(), static_cast<int>(text.size()));
    wclrtoeol(stdscr);
    wrefresh(stdscr);
  }
  int read_sequence(unsigned char *buf, int max) override {
    for (;;) {
      ssize_t n = read(STDIN_FILENO, buf, static_cast<size_t>(max));
      if (n >= 0) return static_cast<int>(n);
      if (errno != EINTR) kor_error(errno, "Terminal", __LINE__, "read");
    }
  }
  void pause() override { sleep(1); }
  FILE *messages() override { return stderr; }

private:
  Terminal &t_;
};

void Terminal::init_special(bool relearn) {
  Guard g(*this);
  load_special(relearn);
}

void Terminal::load_special(bool relearn) {
  KeySetupEnv env;
  env.kordir = kernel().kordir();
  env.korterm = env_value("KORTERM");
  env.term = env_value("TERM");
  env.debug = settings_.debug;
  SetupIO io(*this);
  special_ = load_special_keys(env, io, relearn, &termType_);
}

// ---- Drawing ---------------------------------------------------------------------

void Terminal::clear_screen() {
  Guard g(*this);
  if (Surface *s = drawing()) s->clear_all();
}

void Terminal::move_clear_eol(int row, int col) {
  Guard g(*this);
  if (Surface *s = drawing()) {
    s->move(row, col);
    s->clear_eol();
  }
}

void Terminal::move_clear_bottom(int row, int col) {
  Guard g(*this);
  if (Surface *s = drawing()) {
    s->move(row, col);
    s->clear_bottom();
  }
}

void Terminal::move_refresh(int row, int col) {
  Guard g(*this);
  if (Surface *s = drawing()) {
    s->move(row, col);
    s->refresh();
  }
}

void Terminal::clear_to_eol() {
  Guard g(*this);
  if (Surface *s = drawing()) s->clear_eol();
}

void Terminal::refresh() {
  Guard g(*this);
  if (Surface *s = drawing()) s->refresh();
}

void Terminal::delete_char(int row, int col) {
  Guard g(*this);
  if (Surface *s = drawing()) {
    s->move(row, col);
    s->delete_char();
  }
}

void Terminal::beep() {
  Guard g(*this);
  if (Surface *s = drawing()) s->beep();
}

void Terminal::put_text(int row, int col, const char *text, int length, int width, int attrs) {
  Guard g(*this);
  if (Surface *s = drawing())
    draw_text(*s, row, col, text, length, width, screen_attrs(attrs, size_.colors));
}

void Terminal::put_char(int row, int col, unsigned char ch, int attrs) {
  Guard g(*this);
  if (Surface *s = drawing()) draw_char(*s, row, col, ch, screen_attrs(attrs, size_.colors));
}

void Terminal::insert_char(int row, int col, unsigned char ch, int attrs) {
  Guard g(*this);
  if (Surface *s = drawing()) draw_insert(*s, row, col, ch, screen_attrs(attrs, size_.colors));
}

// ---- Keys ------------------------------------------------------------------------

int Terminal::get_key() {
  Guard g(*this);
  if (!started_ || closed_) return END;
  int key = wgetch(stdscr);
  return key == ERR ? NONE : key;
}

// Not a curses call: standard input is read directly, without the mutex.
int Terminal::read_byte() {
  if (!started_ || closed_) return END;
  pollfd in{STDIN_FILENO, POLLIN, 0};
  int ready = poll(&in, 1, rawWaitMs_);
  if (ready == 0 || (ready < 0 && errno == EINTR)) return NONE;
  if (ready < 0) kor_error(errno, "Terminal", __LINE__, "read");
  unsigned char b;
  ssize_t n = read(STDIN_FILENO, &b, 1);
  if (n == 1) return b;
  if (n == 0) return END;
  if (errno == EINTR || errno == EAGAIN) return NONE;
  kor_error(errno, "Terminal", __LINE__, "read");
}

void Terminal::set_wait(bool on) {
  if (!on) {
    set_timeout(1);
    return;
  }
  Guard g(*this);
  rawWaitMs_ = 0;
  if (started_ && !closed_ && settings_.keypad) wtimeout(stdscr, 0);
}

// Keypad mode waits the given tenths (the effect of curses' half-delay,
// without re-setting the tty modes on every keyboard poll); raw mode always
// waits its short byte timeout.
void Terminal::set_timeout(int tenths) {
  Guard g(*this);
  rawWaitMs_ = RAW_READ_MS;
  if (started_ && !closed_ && settings_.keypad) wtimeout(stdscr, tenths * 100);
}

} // namespace KOR
