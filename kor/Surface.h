// The screen seam: the few drawing primitives the terminal needs from
// curses.  Terminal.cc implements it on curses; tests draw on a cell grid.
#pragma once

namespace KOR {

// The shell's attribute word: colour pair in bits 0 to 2 (0 is the
// terminal's default), bold in bit 3, reverse video in bit 4.
constexpr int ATTR_PAIR = 7;
constexpr int ATTR_BOLD = 8;
constexpr int ATTR_REVERSE = 16;

// The six colour pairs defined when the terminal has colours.
constexpr int PAIR_RED = 1;            // red on black
constexpr int PAIR_GREEN = 2;          // green on black
constexpr int PAIR_WHITE_ON_BLUE = 3;  // white on blue
constexpr int PAIR_YELLOW = 4;         // yellow on black
constexpr int PAIR_CYAN = 5;           // cyan on black
constexpr int PAIR_MAGENTA = 6;        // magenta on black

class Surface {
public:
  virtual ~Surface() = default;
  virtual void move(int row, int col) = 0;
  // Writes one cell at the cursor and advances; false when nothing could be
  // written (the end of the screen).
  virtual bool add(unsigned char ch, int attrs) = 0;
  // Inserts one cell at the cursor, shifting the rest of the line right.
  virtual void insert(unsigned char ch, int attrs) = 0;
  // Deletes the cell at the cursor, shifting the rest of the line left.
  virtual void delete_char() = 0;
  virtual void clear_eol() = 0;
  virtual void clear_bottom() = 0;   // from the cursor to the end of the screen
  virtual void clear_all() = 0;      // the whole screen, cursor home
  virtual void cursor(int *row, int *col) const = 0;
  virtual void refresh() = 0;
  virtual void beep() = 0;
};

} // namespace KOR
