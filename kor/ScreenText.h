// How text reaches the screen: attribute words without colours, the
// letters that stand for unprintable characters, and the clipped writes of
// put_text, put_char and insert_char.  Curses-free; the terminal calls these
// on its surface under its mutex.
#pragma once

#include "kor/Surface.h"

namespace KOR {

struct Cell {
  unsigned char ch;
  int attrs;
};

// Without colours a colour pair becomes bold: everything highlighted stays
// visible on a monochrome screen.
int screen_attrs(int attrs, bool colors);

// What a character looks like on the screen.  Printable ASCII is itself;
// anything else is one letter (BEL a, BS b, TAB t, LF n, VT v, FF f, CR r,
// others ?) with bold and reverse toggled, so it stands out from text in
// either attribute.
Cell shown_cell(unsigned char ch, int attrs);

// Writes at most width - col characters of text from (row, col), stopping
// at the first cell the screen refuses; clears the rest of the line when the
// whole text was shorter than the room; puts the cursor back where it was.
void draw_text(Surface &s, int row, int col, const char *text, int length, int width, int attrs);

void draw_char(Surface &s, int row, int col, unsigned char ch, int attrs);
void draw_insert(Surface &s, int row, int col, unsigned char ch, int attrs);

} // namespace KOR
