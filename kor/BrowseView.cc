#include "kor/BrowseView.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "kor/Command.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/KeyMap.h"
#include "kor/Menu.h"
#include "kor/VisitView.h"

namespace KOR {

namespace {

BrowseView *active_view = nullptr;

const char READ_ONLY[] = " Buffer is read-only.";

// The level that starts a listing line ("  3: ..."), or 0.
size_t level_of(const std::string &text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos || !std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
  size_t n = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    n = n * 10 + static_cast<size_t>(text[i] - '0');
  return i < text.size() && text[i] == ':' ? n : 0;
}

bool is_event(InputCode a) { return a == IC_Clear || (a >= IC_EOF && a <= IC_COMP); }

} // namespace

BrowseView::BrowseView(Editor &commandLine, Context &cx)
    : cmd_(commandLine), cx_(cx), outer_(active_view) {
  ed_.view = this;
  ed_.parent = &commandLine;
  ed_.readOnly = true;
  ed_.fixedColumn = true;
  active_view = this;
}

BrowseView::~BrowseView() { active_view = outer_; }

BrowseView *BrowseView::active() { return active_view; }

size_t BrowseView::selected() const {
  for (auto it = OBJ::Buffer::Lines::const_iterator(ed_.line);; --it) {
    if (size_t n = level_of(it->text)) return n - 1;
    if (it == ed_.lines.begin()) return 0;
  }
}

void BrowseView::reload(size_t level) {
  const Geometry g = display().geom();
  const size_t depth = cx_.main.depth();
  OBJ::Buffer listing;
  if (depth > 0) {
    unsigned width = static_cast<unsigned>(g.cols - 1);
    cx_.main.list(listing, cx_.format, width, width, -1, -1, true);
  }
  const size_t rows = static_cast<size_t>(g.main);
  pad_ = depth < rows ? rows - depth : 0;
  ed_.lines.clear();
  for (size_t i = 0; i < pad_; ++i) ed_.lines.emplace_back();
  if (depth > 0) ed_.lines.splice(ed_.lines.end(), listing.lines);
  if (ed_.lines.empty()) ed_.lines.emplace_back();
  ed_.protectedTop = depth > 0 ? pad_ : 0;
  ed_.line = ed_.lines.begin();
  ed_.col = 1;
  ed_.top = 0;
  ed_.left = 0;
  if (depth > 0) select_level(std::clamp<size_t>(level, 1, depth));
}

void BrowseView::select_level(size_t level) {
  const size_t depth = cx_.main.depth();
  if (level < 1 || level > depth) return;
  // Level L stands on line pad + depth - L: the deepest first, level 1 last.
  ed_.line = std::next(ed_.lines.begin(), static_cast<long>(pad_ + depth - level));
  ed_.col = 1;
}

void BrowseView::before_change() {
  if (undoSaved_) return;
  VisitView::save_for_undo(cx_);
  undoSaved_ = true;
}

void BrowseView::swap_up() {
  const size_t k = selected();
  if (k == 0) {
    display().show_error(0, "Swap", 0, ERR_TOO_FEW_ARGS, nullptr, -1, -1);
    return;
  }
  before_change();
  cx_.main.swap_levels(k - 1);
  reload(k);   // the cursor follows the object one level up
}

bool BrowseView::copy_out(bool move) {
  if (cmd_.readOnly) {
    ed_.show_message(READ_ONLY, true);
    return false;
  }
  const size_t k = selected();
  std::string text = VisitView::edit_text(cx_, k + 1);
  Editor &c = cmd_;
  if (c.col > 1 && c.line->text[c.col - 1] != ' ') c.insert_char(' ');
  for (char ch : text) {
    if (ch == '\n') c.split_line();
    else c.insert_char(ch);
  }
  c.insert_char(' ');
  if (move) {
    before_change();
    cx_.main.drop_level(k);
    reload(k + 1);
  }
  c.draw();
  return true;
}

void BrowseView::drop() {
  const size_t k = selected();
  before_change();
  cx_.main.drop_level(k);
  reload(k + 1);
}

void BrowseView::keep_through() {
  const size_t k = selected();
  if (k + 1 >= cx_.main.depth()) return;   // nothing deeper
  before_change();
  cx_.main.keep_top(k + 1);
  reload(k + 1);
}

void BrowseView::drop_through() {
  const size_t k = selected();
  before_change();
  cx_.main.drop_n(k + 1);
  reload(1);
}

void BrowseView::roll_to_top() {
  const size_t k = selected();
  if (k == 0) return;
  before_change();
  cx_.main.roll(k);
  reload(1);
}

void BrowseView::dup() {
  const size_t k = selected();
  before_change();
  cx_.main.dup_level(k);
  reload(k + 1);   // the copy, directly above the original
}

void BrowseView::clear() {
  before_change();
  cx_.main.clear();
  reload(1);
}

void BrowseView::visit() {
  const size_t level = selected() + 1;
  bool stored;
  {
    VisitView v(cmd_, cx_, level, !undoSaved_);
    stored = v.run();
  }
  if (stored) undoSaved_ = true;
  reload(level);
  ed_.repaint();
}

bool BrowseView::menu_command(int index) {
  if (cx_.main.depth() == 0) return index == OP::ifn_STACKDUP || index == OP::ifn_STACKDROP ||
                                    index == OP::ifn_STACKSWAP || index == OP::ifn_STACKCLEAR;
  switch (index) {
  case OP::ifn_STACKDUP: dup(); return true;
  case OP::ifn_STACKDROP: drop(); return true;
  case OP::ifn_STACKSWAP: swap_up(); return true;
  case OP::ifn_STACKCLEAR: clear(); return true;
  default: return false;
  }
}

Editor::Result BrowseView::keys(Editor &ed, InputCode action, bool meta) {
  BrowseView &v = *static_cast<BrowseView *>(ed.view);
  if (is_event(action)) {
    if (action == IC_REDRAW) v.reload(v.selected() + 1);
    return Editor::NOT_HANDLED;   // the events as in every editor
  }
  if (v.cx_.main.depth() == 0) return Editor::ENDS;   // nothing left: any key leaves
  if (meta) {
    if (action != IC_BackSpace) return Editor::NOT_HANDLED;
    v.keep_through();
    return Editor::HANDLED;
  }
  switch (action) {
  case 22: v.visit(); return Editor::HANDLED;     // Ctl-V
  case 23: v.swap_up(); return Editor::HANDLED;   // Ctl-W
  case '\'': v.copy_out(false); return Editor::HANDLED;
  case '`': v.copy_out(true); return Editor::HANDLED;
  case IC_BackSpace: v.drop(); return Editor::HANDLED;
  case IC_Delete: v.drop_through(); return Editor::HANDLED;
  case IC_EVAL: v.roll_to_top(); return Editor::HANDLED;
  case IC_Home:
    // The deepest level, without scrolling the blank rows above it away.
    v.select_level(v.cx_.main.depth());
    ed.top = 0;
    return Editor::HANDLED;
  default: return Editor::NOT_HANDLED;
  }
}

void BrowseView::run() {
  Display &d = display();
  d.browsing = true;
  OP::select_menu(ed_.menu, 'b', false);
  reload(1);
  d.show_labels(ed_.menu, true);
  ed_.run(&view_map(), &BrowseView::keys, false);
  d.browsing = false;
}

} // namespace KOR
