// The display: where everything stands on the full screen (status bar,
// stack pane, busy indicator, menu labels, legend and error messages), and
// the batch output that replaces it when the shell runs without a screen.
#pragma once

#include <string>
#include <vector>

#include "kor/DisplayParts.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace OBJ { class Buffer; }
namespace OP { class Menu; }

namespace KOR {

class Context;
class Stack;
struct ScreenSize;
struct TermSettings;

class Display {
public:
  Display();
  Display(const Display &) = delete;
  Display &operator=(const Display &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "../kor/Display", "lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "../kor/Display", "unlock"); }

  // Starts the full screen on a terminal of that size.
  void start(const ScreenSize &size);
  // Sets the rows and columns (0 keeps the current ones) and the split
  // between the stack pane and the editor area.  Below 12 rows or 40
  // columns the error routine ends the shell ("set_geom").
  void set_geom(int rows, int cols, int mainHint, int editHint);
  Geometry geom() const { return geom_; }
  // After a change of the window size: re-opens the terminal and takes its
  // size.  A window below 12 x 40 stops drawing (with a notice) until it
  // grows again, rather than ending the shell and losing its stacks.
  void resize();
  void resize_to(const ScreenSize &size);   // the same for a size already known
  bool too_small() const { return tooSmall_; }

  // Clears the screen and draws everything but the command line: status
  // bar, stack pane, labels of `menu` and the legend.
  void repaint(OP::Menu &menu);

  // Redraws the stack after a foreground run; with `failed` the context's
  // error is shown as well.  Without a screen: a ";" line between redraws,
  // then the stack listing, and an error ends the shell with status 1.
  void show_stack(Context &cx, bool failed);
  // The stack pane alone, for the main stack.
  void show_pane();
  // The status bar for `stack` (a process's private stack with its number),
  // then the busy indicator.
  void show_status(const Stack &stack, int processNumber);
  // Moves the busy indicator; with `force` it is drawn even when unchanged.
  // `locked`: the caller already holds the display mutex.
  void pulse(bool force, bool locked);
  // Redraws the date and the clock when the minute has changed.
  void tick();

  // Chooses how many labels of the menu's page fit, stores the count as
  // its page size and, with `draw`, draws the label row.
  void show_labels(OP::Menu &menu, bool draw);
  // The menu legend; `partial` after a message has left row R - 3.
  void show_legend(bool partial);

  // The error message: "<name> Error: ", "System Error: " or "KOR Error: ",
  // then the system text or the error code's message, then the detail.
  // Kind 1 on the editor status row, kind 2 on the lower message row, any
  // other below the stack.  A negative `beep` beeps and a negative `keep`
  // lets the next key remove it.  Without a screen it goes to standard
  // error and the shell exits with 1.
  void show_error(int kind, const char *name, int systemError, int errorCode, const char *detail,
                  int beep, int keep);
  // Removes the error messages shown (the next key after them arrived).
  void clear_errors();
  bool error_shown(int kind) const { return errorShown_[kind_index(kind)]; }
  // A one-line message of the editor: yellow, or red with a beep for an
  // error; at the lower message row, or below the stack for a view.
  void show_message(const std::string &text, bool isError, bool view);
  void clear_message(bool view);

  // A syntax error in a command line: shown under "Syntax"; the line goes
  // back to the editor (without a screen the shell ends, naming the token).
  void syntax_error(OBJ::Buffer &line, const char *message, const std::string &token);
  // The line a syntax error gave back, once; null when there is none.
  OBJ::Buffer *take_returned_line();

  // The error text of show_error.
  static std::string error_text(const char *name, int systemError, int errorCode,
                                const char *detail);

  // A foreground program runs: the stack pane may be out of date, which the
  // "*" in front of the header says.
  void set_busy(bool busy);
  void table_changed();   // the process table changed: the busy indicator follows

  // Draws pieces through the terminal, clipped to the screen width.
  void draw_pieces(const std::vector<Piece> &pieces);
  // Clears one row, leaving the cursor where it was.
  void clear_row(int row);
  // Whether screen output is wanted now.
  bool drawing() const { return active && !tooSmall_; }

  bool active = false;   // the full screen is in use
  bool browsing = false; // browse mode: the stack pane shows the Browse view, not the stack
  bool color = false;    // colours available and enabled
  int rows = -1, columns = 72;
  int mainHint = 0, editHint = 0;   // the split asked for with ~s or ~e

private:
  static int kind_index(int kind) { return kind == 1 || kind == 2 ? kind : 0; }
  void batch_stack(Context &cx);
  StatusInfo status_info(const Stack &stack, int processNumber) const;
  // The busy indicator drawn when it changed; `show` refreshes the screen.
  void update_pulse(bool force, bool locked, bool show);
  void show_notice(int width);

  kt_mutex_t mutex_;
  Geometry geom_;
  bool busy_ = false;
  bool lastNonEmpty_ = false;
  bool tooSmall_ = false;
  bool errorShown_[3] = {};       // kinds 0, 1, 2 on the screen
  // Busy indicator: what it shows, and the CPU total at its last blink.
  PulseValues pulseShown_;
  char busyShown_ = 0;
  bool star_ = true;
  double blinkCpu_ = 0.0;
  int clockMinute_ = -1;          // minute of the clock last drawn
  OBJ::Buffer *returned_ = nullptr;
};

Display &display();

// The terminal settings from the start-up options: what korsh opens the
// terminal with, at start-up and after a change of the window size.
TermSettings screen_settings();

// The busy indicator's values from the scheduler's table.
PulseValues scheduler_pulse_values();

} // namespace KOR
