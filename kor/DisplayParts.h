// The fixed parts of the full screen as pieces of text with attributes at
// screen positions: the row layout, the status bar, the busy indicator, the
// menu labels and the legend.  Composed without drawing, so the layout is
// tested cell by cell; the display draws the pieces through the terminal.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "kor/DisplayFormat.h"
#include "kor/LabelLayout.h"

namespace KOR {

// What an element is; the attribute word follows from the role.
enum class Role {
  Plain,
  Error,      // error messages and the "*" marker: red
  Mode,       // display-mode fields, "xprec", "MAIN": green
  Label,      // menu label text: white on blue
  Info,       // date, clock, label numbers, "UNDO", headers: yellow
  Process,    // the "#" of a process header: cyan
  Legend,     // menu legend letters: magenta
  Separator,  // "-" and "/" inside fields
  Message,    // editor messages that are not errors: yellow
};

// The attribute word of a role.  Everything highlighted is bold; without
// colours only bold remains, and the label text is bold reverse video.
int role_attr(Role role, bool colors);

struct Piece {
  int row, col;
  std::string text;
  int attr;
};

// Rows of the screen for R rows, W columns, a stack pane of M rows and an
// editor area of U rows (M + U = R - 8).
struct Geometry {
  int rows = 24, cols = 80, main = 9, edit = 7;

  int stack_top() const { return 2; }                  // M rows from here
  int stack_message_row() const { return main + 2; }   // errors about the stack, from column 3
  int label_row() const { return main + 3; }
  int edit_status_row() const { return main + 4; }     // editor errors from column 1
  int edit_top() const { return main + 5; }            // U rows from here
  int message_row() const { return main + edit + 5; }  // lower messages, from column 1
  int legend_top() const { return rows - 3; }
};

// The split of R rows: no hints gives 60% of the rows left by the fixed
// parts to the stack; a stack hint or (alone) an editor hint sets that
// area, at most R - 9 rows.  False when the screen is below 12 x 40.
bool make_geometry(int rows, int cols, int mainHint, int editHint, Geometry *out);

// ---- Status bar -----------------------------------------------------------------

// The stack whose header the status bar shows.
struct StackHeader {
  enum Kind { MAIN, UNDO, PROCESS, OTHER } kind = MAIN;
  int pid = 0;   // PROCESS: shown as "#%03d"
};

struct StatusInfo {
  bool marker = false;   // the "*" in front of the header
  StackHeader header;
  DisplayFormat format;
  std::tm when{};        // local time for the date and the clock
};

// "Sun, Dec  6, 2026" and "12:00am".
std::string date_text(const std::tm &when);
std::string clock_text(const std::tm &when);

// The status bar on rows 0 (and 1 on screens narrower than 72 columns),
// without the busy indicator.
std::vector<Piece> status_pieces(const StatusInfo &info, int width, bool colors);
// Where the busy indicator stands (always on row 0).
int pulse_column(int width);
// Where the "*" marker, the date and the clock stand on this width.
Piece marker_place(int width);
Piece date_place(int width);
Piece clock_place(int width);

// The scheduler's state for the busy indicator: s = 0 idle, 1 a program
// runs, 2 the foreground stream is stopped, 3 it stopped after a failure;
// a: foreground jobs exist; b: background jobs exist.
struct PulseValues {
  int s = 0;
  bool a = false, b = false;
  bool operator==(const PulseValues &) const = default;
};

// The five characters of the indicator with `busy` in the middle.
std::vector<Piece> pulse_pieces(const PulseValues &v, char busy, int col, bool colors);

// ---- Labels and legend --------------------------------------------------------------

// The label row: each label's number and its text centred in its width.
std::vector<Piece> label_pieces(const LabelLayout &layout, const std::vector<std::string> &labels,
                                int row, int width, bool colors);

// The menu legend on the bottom rows; `partial` redraws only what shares
// row R - 3 with the message row.
std::vector<Piece> legend_pieces(int rows, int width, bool partial, bool colors);

// The letters that select a menu, in legend order, with their short and
// long names.
struct LegendItem {
  char letter;
  const char *shortName, *longName;
};
const std::vector<LegendItem> &legend_items();

} // namespace KOR
