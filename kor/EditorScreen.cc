// The editor on the screen: its window of lines (scrolled to keep the
// cursor in view), the status line with the lexical modes, and repainting.
#include <algorithm>
#include <iterator>

#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/Surface.h"
#include "kor/Terminal.h"

namespace KOR {

namespace {

struct Window {
  int row, height;
};

Window window_of(Editor::Area area, const Geometry &g) {
  switch (area) {
  case Editor::Area::PROMPT: return {g.message_row(), 1};
  case Editor::Area::VIEW: return {g.stack_top(), g.main};
  default: return {g.edit_top(), g.edit};
  }
}

// A mark's attribute word: the colour pair 7 that syntax errors carry is
// not one of the six defined, so it is drawn in the error colour.
int mark_attr(uint32_t attr) {
  int a = static_cast<int>(attr) & (ATTR_PAIR | ATTR_BOLD | ATTR_REVERSE);
  return (a & ATTR_PAIR) == ATTR_PAIR ? (a & ~ATTR_PAIR) | PAIR_RED : a;
}

void draw_line(int row, const OBJ::Line &l, size_t left, int width) {
  Terminal &t = terminal();
  const std::string &text = l.text;
  if (left >= text.size()) {
    t.put_text(row, 0, "", 0, width, 0);
    return;
  }
  t.put_text(row, 0, text.data() + left, static_cast<int>(text.size() - left), width, 0);
  for (const OBJ::Mark &m : l.marks) {
    size_t from = std::max<size_t>(m.start, left), to = std::min<size_t>(m.start + m.length, text.size());
    if (from >= to) continue;
    int col = static_cast<int>(from - left);
    if (col >= width) continue;
    t.put_text(row, col, text.data() + from, static_cast<int>(to - from),
               std::min(width, col + static_cast<int>(to - from)), mark_attr(m.attr));
  }
}

} // namespace

void Editor::draw() {
  Display &d = display();
  const Geometry g = d.geom();
  const Window w = window_of(area(), g);
  windowHeight = w.height;
  if (!d.drawing()) return;
  // Scroll so that the cursor line is in the window and its column on screen.
  const size_t here = line_index(), h = static_cast<size_t>(w.height);
  if (here < top) top = here;
  if (here >= top + h) top = here - h + 1;
  const size_t width = static_cast<size_t>(g.cols);
  if (col < left + 1 || col - left >= width - 1) left = col > width / 2 ? col - width / 2 : 0;
  auto it = std::next(lines.begin(), static_cast<long>(std::min(top, lines.size())));
  for (int r = 0; r < w.height; ++r) {
    if (it != lines.end()) draw_line(w.row + r, *it++, left, g.cols);
    else d.clear_row(w.row + r);
  }
  if (area() == Area::COMMAND_LINE) draw_status_line();
  terminal().move_refresh(w.row + static_cast<int>(here - top), static_cast<int>(col - left));
}

namespace {

std::vector<Piece> status_line_pieces(const Editor &ed, int row, bool colors) {
  std::vector<Piece> out;
  if (ed.nquote >= 0) {
    std::string q = "\\" + std::string(ed.quote, static_cast<size_t>(ed.nquote));
    q.resize(4, '_');
    out.push_back({row, 1, q, role_attr(Role::Info, colors)});
  }
  if (ed.Pgm) out.push_back({row, 7, "Pgm", role_attr(Role::Mode, colors)});
  if (ed.Alg) out.push_back({row, 11, "Alg", role_attr(Role::Mode, colors)});
  if (ed.Str) out.push_back({row, 15, "Str", role_attr(Role::Mode, colors)});
  if (!ed.insertMode) {
    out.push_back({row, 20, "[", 0});
    out.push_back({row, 21, "Replace", role_attr(Role::Info, colors)});
    out.push_back({row, 28, "]", 0});
  }
  return out;
}

} // namespace

std::string Editor::status_text() const {
  std::string text;
  for (const Piece &p : status_line_pieces(*this, 0, false)) {
    size_t end = static_cast<size_t>(p.col) + p.text.size();
    if (text.size() < end) text.resize(end, ' ');
    text.replace(static_cast<size_t>(p.col), p.text.size(), p.text);
  }
  return text;
}

void Editor::draw_status_line() {
  Display &d = display();
  // An error shown on this row stays until the next key.
  if (!d.drawing() || d.error_shown(1)) return;
  const int row = d.geom().edit_status_row();
  d.clear_row(row);
  d.draw_pieces(status_line_pieces(*this, row, d.color));
}

void Editor::repaint() {
  Display &d = display();
  if (area() == Area::PROMPT && parent) {
    d.repaint(parent->menu);
    parent->draw();
  } else {
    d.repaint(menu);
    if (area() == Area::VIEW && parent) parent->draw();
  }
  draw();
}

} // namespace KOR
