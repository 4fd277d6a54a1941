// The terminal: the only way to the screen and to the keyboard's special
// keys.  Every curses call is made through this object under its mutex;
// curses itself is included only in Terminal.cc.  Drawing goes through a
// Surface and key reads through the KeyInput interface, so the text rules
// and the key decoders are tested without a terminal.
#pragma once

#include <memory>
#include <string>

#include "kor/KeyInput.h"
#include "kor/KeypadMap.h"
#include "kor/SpecialKeys.h"
#include "kor/Surface.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace KOR {

struct TermSettings {
  bool keys = false;     // keys are read from the terminal (ttyInput)
  bool screen = false;   // the full screen is drawn (ttyOutput)
  bool keypad = true;    // curses decodes special keys; off: raw key mode
  bool meta = true;      // 8-bit input
  bool color = true;     // colours when the terminal has them
  bool debug = false;    // -@
};

struct ScreenSize {
  bool colors = false;
  int rows = -1;   // unknown without a screen
  int cols = 72;
};

class Terminal : public KeyInput {
public:
  // Raw-mode reads wait this long for a byte: the bytes of one key arrive
  // together, so a short wait keeps an escape key quick without splitting it.
  static constexpr int RAW_READ_MS = 50;

  Terminal();
  ~Terminal() override;
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

  // Starts curses (again, on a resize) when the shell reads keys from or
  // draws on the terminal, sets the input modes and, in raw key mode, loads
  // the special keys.  Curses stays off for a run that uses neither, so
  // that batch output to a terminal keeps its newline translation.
  ScreenSize open(const TermSettings &settings);
  // Marks the terminal closed (every later operation does nothing), ends
  // curses and ends the output line.
  void close();
  // Loads raw key mode's table for the terminal type (KORTERM, TERM or
  // "default"), learning it from the user when needed.
  void init_special(bool relearn);

  void clear_screen();
  void move_clear_eol(int row, int col);
  void move_clear_bottom(int row, int col);
  void move_refresh(int row, int col);
  void clear_to_eol();
  void refresh();
  void delete_char(int row, int col);
  void beep();
  void put_text(int row, int col, const char *text, int length, int width, int attrs);
  void put_char(int row, int col, unsigned char ch, int attrs);
  void insert_char(int row, int col, unsigned char ch, int attrs);

  // KeyInput: the keyboard.  Without curses started, reads give END.
  int get_key() override;
  int read_byte() override;
  void set_wait(bool on) override;
  void set_timeout(int tenths) override;
  const KeypadMap &keypad_map() const override { return keypad_; }
  const SpecialKeys &special_keys() const override { return special_; }

  const std::string &term_type() const { return termType_; }
  const ScreenSize &size() const { return size_; }
  bool started() const { return started_; }
  bool closed() const { return closed_; }
  bool stdin_tty() const { return stdinTty_; }
  bool stdout_tty() const { return stdoutTty_; }

  // Tests: drawing goes to `s` instead of curses; null detaches.
  void attach_surface(Surface *s) { surface_ = s; }

private:
  class Guard;
  class SetupIO;

  void start_curses();
  void setup_colors();
  void setup_keypad();
  void set_key_modes();
  void load_special(bool relearn);
  Surface *drawing() const { return closed_ ? nullptr : surface_; }

  kt_mutex_t mutex_;
  bool started_ = false;  // curses initialised
  bool closed_ = false;   // closed at shutdown; screen operations are no-ops
  bool stdinTty_;
  bool stdoutTty_;
  TermSettings settings_;
  ScreenSize size_;
  std::unique_ptr<Surface> curses_;
  Surface *surface_ = nullptr;
  KeypadMap keypad_;
  SpecialKeys special_;
  std::string termType_;
  int rawWaitMs_ = RAW_READ_MS;
};

Terminal &terminal();

} // namespace KOR
