#include "kor/Display.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/InputCoder.h"
#include "kor/Terminal.h"

namespace KOR {

Display::Display() { KOR_CHECK(kt_mutex_init(&mutex_), "../kor/Display", "mutex_init"); }

void Display::start(const ScreenSize &size) {
  color = size.colors;
  active = true;
  set_geom(size.rows, size.cols, 0, 0);
}

void Display::set_geom(int r, int c, int mHint, int eHint) {
  lock();
  if (r == 0) r = rows > 0 ? rows : 24;
  if (c == 0) c = columns > 0 ? columns : 80;
  Geometry g;
  if (!make_geometry(r, c, mHint, eHint, &g)) {
    unlock();
    kor_error(EINVAL, "Display", __LINE__, "set_geom");
  }
  geom_ = g;
  rows = r;
  columns = c;
  unlock();
}

TermSettings screen_settings() {
  const InputCoder &ic = coder();
  TermSettings s;
  s.keys = ic.ttyInput;
  s.screen = ic.ttyOutput;
  s.keypad = ic.opts.keypad;
  s.meta = ic.opts.meta;
  s.color = ic.opts.color;
  s.debug = ic.opts.keytest;
  return s;
}

void Display::resize() { resize_to(terminal().open(screen_settings())); }

void Display::resize_to(const ScreenSize &size) {
  color = size.colors;
  Geometry probe;
  tooSmall_ = !make_geometry(size.rows, size.cols, 0, 0, &probe);
  if (tooSmall_) {
    show_notice(size.cols);
    return;
  }
  set_geom(size.rows, size.cols, mainHint, editHint);
}

void Display::show_notice(int width) {
  Terminal &t = terminal();
  t.clear_screen();
  const std::string lines[] = {"Window too small:", "korsh needs", "40 x 12."};
  for (int row = 0; row < 3; ++row)
    t.put_text(row, 0, lines[row].data(), static_cast<int>(lines[row].size()), width,
               role_attr(Role::Error, color));
  t.refresh();
}

void Display::draw_pieces(const std::vector<Piece> &pieces) {
  if (!drawing()) return;
  const int width = geom_.cols;
  for (const Piece &p : pieces) {
    if (p.col >= width || p.text.empty()) continue;
    int len = static_cast<int>(p.text.size());
    terminal().put_text(p.row, p.col, p.text.data(), len, std::min(width, p.col + len), p.attr);
  }
}

void Display::clear_row(int row) {
  if (drawing()) terminal().put_text(row, 0, "", 0, geom_.cols, 0);
}

void Display::repaint(OP::Menu &menu) {
  if (!drawing()) return;
  terminal().clear_screen();
  for (bool &shown : errorShown_) shown = false;
  show_status(main_context().main, 0);
  show_pane();
  show_labels(menu, true);
  show_legend(false);
}

void Display::show_legend(bool partial) {
  if (!drawing()) return;
  const Geometry g = geom_;
  for (int row = g.legend_top(); row < g.rows; ++row)
    if (!partial || row == g.legend_top()) clear_row(row);
  draw_pieces(legend_pieces(g.rows, g.cols, partial, color));
  terminal().refresh();
}

// ---- Stack pane ---------------------------------------------------------------------

void Display::show_pane() {
  if (!drawing() || browsing) return;
  const Geometry g = geom_;
  Context &cx = main_context();
  OBJ::Buffer buf;
  long shown = std::min(static_cast<long>(cx.main.depth()), static_cast<long>(g.main));
  if (shown > 0) {
    unsigned width = static_cast<unsigned>(g.cols - 1);
    cx.main.list(buf, cx.format, width, width, shown, -1, true);
  }
  std::vector<const OBJ::Line *> lines;
  if (shown > 0)
    for (const OBJ::Line &l : buf.lines) lines.push_back(&l);
  // Level 1 on the pane's bottom row; a deep listing keeps its last lines.
  const size_t m = static_cast<size_t>(g.main);
  size_t skip = lines.size() > m ? lines.size() - m : 0;
  size_t blank = m - (lines.size() - skip);
  for (size_t r = 0; r < m; ++r) {
    int row = g.stack_top() + static_cast<int>(r);
    if (r < blank) {
      clear_row(row);
      continue;
    }
    const std::string &text = lines[skip + r - blank]->text;
    terminal().put_text(row, 0, text.data(), static_cast<int>(text.size()), g.cols, 0);
  }
  terminal().refresh();
}

void Display::batch_stack(Context &cx) {
  lock();
  bool empty = cx.main.depth() == 0;
  if (lastNonEmpty_) std::fputs(";\n", stdout);
  lastNonEmpty_ = !empty;
  unlock();
  if (empty) return;
  OBJ::Buffer buf;
  unsigned width = static_cast<unsigned>(columns - 1);
  cx.main.list(buf, cx.format, width, width, -1, -1, true);
  for (const OBJ::Line &l : buf.lines) std::printf("%s\n", l.text.c_str() + 1);
  std::fflush(stdout);
}

void Display::show_stack(Context &cx, bool failed) {
  if (!active) {
    batch_stack(cx);
  } else if (drawing()) {
    show_pane();
    show_status(cx.main, 0);
  }
  if (failed) show_error(0, cx.failedOperand.c_str(), cx.sysErr, cx.err_, nullptr, -1, -1);
}

// ---- Syntax errors ------------------------------------------------------------------

void Display::syntax_error(OBJ::Buffer &line, const char *message, const std::string &token) {
  if (!active) {
    std::string detail = std::string(message ? message : "") + (token.empty() ? "" : ": " + token);
    show_error(2, "Syntax", 0, 0, detail.c_str(), -1, -1);
  }
  // The offending token is marked in the line; the cursor goes to its start.
  line.line = line.prevLine;
  line.col = line.prevCol;
  show_error(2, "Syntax", 0, 0, message, -1, -1);
  lock();
  returned_ = &line;
  unlock();
}

OBJ::Buffer *Display::take_returned_line() {
  lock();
  OBJ::Buffer *line = returned_;
  returned_ = nullptr;
  unlock();
  return line;
}

} // namespace KOR
