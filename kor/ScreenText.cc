#include "kor/ScreenText.h"

namespace KOR {

int screen_attrs(int attrs, bool colors) {
  if (colors || (attrs & ATTR_PAIR) == 0) return attrs;
  return (attrs & ~ATTR_PAIR) | ATTR_BOLD;
}

Cell shown_cell(unsigned char ch, int attrs) {
  if (ch >= 32 && ch <= 126) return {ch, attrs};
  static const char letters[] = "abtnvfr";   // 7 to 13
  unsigned char letter = ch >= 7 && ch <= 13 ? static_cast<unsigned char>(letters[ch - 7]) : '?';
  return {letter, attrs ^ (ATTR_BOLD | ATTR_REVERSE)};
}

void draw_text(Surface &s, int row, int col, const char *text, int length, int width, int attrs) {
  int oldRow, oldCol;
  s.cursor(&oldRow, &oldCol);
  s.move(row, col);
  int room = width - col;
  int n = length < room ? length : room;
  bool whole = true;
  for (int i = 0; i < n && whole; ++i) {
    Cell c = shown_cell(static_cast<unsigned char>(text[i]), attrs);
    whole = s.add(c.ch, c.attrs);
  }
  // After a refused cell the screen has ended: there is no rest to clear.
  if (whole && length < room) s.clear_eol();
  s.move(oldRow, oldCol);
}

void draw_char(Surface &s, int row, int col, unsigned char ch, int attrs) {
  Cell c = shown_cell(ch, attrs);
  s.move(row, col);
  s.add(c.ch, c.attrs);
}

void draw_insert(Surface &s, int row, int col, unsigned char ch, int attrs) {
  Cell c = shown_cell(ch, attrs);
  s.move(row, col);
  s.insert(c.ch, c.attrs);
}

} // namespace KOR
