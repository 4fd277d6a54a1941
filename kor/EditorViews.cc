// The keys of the command line that open a view or act on the stacks
// themselves, and the interactive commands of the menus.  Each view opens
// from one function here; the views' own screens and keys live with them.
#include <memory>

#include "kor/BrowseView.h"
#include "kor/Command.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/ProcessView.h"
#include "kor/HistoryView.h"
#include "kor/Scheduler.h"
#include "kor/VisitView.h"

namespace KOR {

namespace {

const char NOT_HERE[] = " Not permitted in this context.";

} // namespace

// Ctl-B: the Browse view of the main stack, with the main context held
// until it closes.
void Editor::browse() {
  if (area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  Context &m = main_context();
  if (m.trylock() != 0) {
    display().show_error(0, "Browse", 0, ERR_MAIN_IN_USE, nullptr, -1, -1);
    return;
  }
  if (m.main.depth() == 0) {   // nothing to browse
    m.unlock();
    return;
  }
  {
    BrowseView view(*this, m);
    view.run();
  }
  m.unlock();
  repaint();
}

// Ctl-V on the command line: level 1 in the Visit view.
void Editor::visit() {
  if (area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  Context &m = main_context();
  if (m.trylock() != 0) {
    display().show_error(0, "Visit", 0, ERR_MAIN_IN_USE, nullptr, -1, -1);
    return;
  }
  if (m.main.depth() == 0) {
    m.unlock();
    display().show_error(0, "Visit", 0, ERR_TOO_FEW_ARGS, nullptr, -1, -1);
    return;
  }
  {
    VisitView view(*this, m, 1, true);
    view.run();
  }
  m.unlock();
  repaint();
}

// Ctl-Y: the command history.  A chosen line replaces the one being edited,
// which is put aside and comes back after it.
void Editor::history() {
  if (readOnly || area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  std::unique_ptr<OBJ::Buffer> chosen;
  {
    HistoryView view(*this);
    if (!view.load()) {
      show_message(" Command history is empty.", false);
      return;
    }
    chosen = view.run();
  }
  if (chosen) {
    if (!is_empty()) put_aside();
    lines = std::move(chosen->lines);
    move_to_start();
    Alg = Pgm = Str = false;
    nquote = -1;
    top = left = 0;
  }
  repaint();
}

void Editor::process_view() {
  if (area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  ProcessView::open(*this);
}

// Ctl-U: the main and undo contexts change places, stacks and modes
// together, when no program holds either.
void Editor::undo() {
  Context &m = main_context(), &u = undo_context();
  if (m.trylock() != 0) {
    display().show_error(0, "UNDO", 0, ERR_MAIN_IN_USE, nullptr, -1, -1);
    return;
  }
  if (u.trylock() != 0) {
    m.unlock();
    display().show_error(0, "UNDO", 0, ERR_UNDO_IN_USE, nullptr, -1, -1);
    return;
  }
  m.swap(u);
  u.unlock();
  m.unlock();
  display().show_pane();
  display().show_status(m.main, 0);
}

bool Editor::interactive_command(const OP::Command &cmd) {
  switch (cmd.index) {
  case OP::ifn_EDITPROC: process_view(); return true;
  case OP::ifn_HISTORY: history(); return true;
  case OP::ifn_UNDO: undo(); return true;
  case OP::ifn_FGSTOP: scheduler().fg_stop(); return true;
  case OP::ifn_FGCONT: scheduler().fg_cont(); return true;
  case OP::ifn_FGKILL: scheduler().fg_kill(); return true;
  case OP::ifn_DEBUG:
    display().show_error(2, cmd.name, 0, ERR_UNDER_CONSTRUCTION, nullptr, -1, -1);
    return true;
  case OP::ifn_STACKDUP: case OP::ifn_STACKDROP: case OP::ifn_STACKSWAP: case OP::ifn_STACKCLEAR:
    if (BrowseView *b = BrowseView::active(); b && &b->editor() == this) return b->menu_command(cmd.index);
    show_message(NOT_HERE, true);
    return true;
  default:   // the process view's commands act only there, on its cursor line
    show_message(NOT_HERE, true);
    return true;
  }
}

} // namespace KOR
