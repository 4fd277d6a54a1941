#include "kor/HistoryView.h"

#include <iterator>

#include "kor/Display.h"
#include "kor/KeyMap.h"
#include "kor/Parser.h"

namespace KOR {

HistoryView::HistoryView(Editor &commandLine) {
  ed_.view = this;
  ed_.parent = &commandLine;
  ed_.readOnly = true;
  ed_.fixedColumn = true;
  ed_.protectedTop = 1;   // the header line
  ed_.menu = commandLine.menu;
}

bool HistoryView::load() {
  const size_t keep = ed_.line_index();
  const int cols = display().geom().cols;
  const size_t width = cols > 2 ? static_cast<size_t>(cols - 2) : 1;
  OBJ::Buffer listing;
  parser().listQueue(listing, width, true);
  if (listing.lines.size() < 2) return false;   // no entries: listQueue wrote nothing
  ed_.lines = std::move(listing.lines);
  // The cursor stays on its line when the list is reloaded, else the newest entry.
  size_t at = keep >= 1 && keep < ed_.lines.size() ? keep : 1;
  ed_.line = std::next(ed_.lines.begin(), static_cast<long>(at));
  ed_.col = 1;
  ed_.left = 0;
  return true;
}

std::unique_ptr<OBJ::Buffer> HistoryView::entry_at_cursor() const {
  size_t index = ed_.line_index();
  if (index < 1) return nullptr;
  --index;   // the listing's first entry is the history's front
  Parser &q = parser();
  q.lock();
  std::unique_ptr<OBJ::Buffer> chosen;
  for (Editor *e : q.history) {
    if (!e) continue;
    if (index-- == 0) {
      chosen = std::make_unique<OBJ::Buffer>();
      chosen->lines = e->lines;
      chosen->move_to_start();
      break;
    }
  }
  q.unlock(false);
  return chosen;
}

Editor::Result HistoryView::keys(Editor &ed, InputCode action, bool meta) {
  HistoryView &v = *static_cast<HistoryView *>(ed.view);
  if (meta) return Editor::NOT_HANDLED;
  switch (action) {
  case IC_REDRAW:
    v.load();
    return Editor::NOT_HANDLED;   // the screen is repainted as for any editor
  case IC_COMP: case 25:          // a new line in the history, Ctl-Y
    v.load();
    ed.draw();
    return Editor::HANDLED;
  case IC_EVAL:
    return Editor::ENDS;
  default:
    return Editor::NOT_HANDLED;
  }
}

std::unique_ptr<OBJ::Buffer> HistoryView::run() {
  display().show_labels(ed_.menu, true);
  InputCode end = ed_.run(&view_map(), &HistoryView::keys, false);
  if (end != IC_EVAL) return nullptr;
  return entry_at_cursor();
}

} // namespace KOR
