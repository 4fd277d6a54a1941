// The keys of the command line that open a view or act on the stacks
// themselves, and the interactive commands of the menus.  Each view opens
// from one function here; the views' own screens and keys live with them.
#include "kor/Command.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/Parser.h"
#include "kor/Scheduler.h"

namespace KOR {

namespace {

const char NOT_HERE[] = " Not permitted in this context.";

// The main context, when no program holds it; otherwise the error under
// `title` and false.
bool main_is_free(const char *title, int kind) {
  Context &m = main_context();
  if (m.trylock() != 0) {
    display().show_error(kind, title, 0, ERR_MAIN_IN_USE, nullptr, -1, -1);
    return false;
  }
  m.unlock();
  return true;
}

} // namespace

void Editor::browse() {
  if (area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  if (!main_is_free("Browse", 0)) return;
  if (main_context().main.depth() == 0) return;   // nothing to browse
  show_message(NOT_HERE, true);                    // the stack-browsing view opens here
}

void Editor::visit() {
  if (area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  if (!main_is_free("Visit", 0)) return;
  show_message(NOT_HERE, true);   // the object-editing view opens here
}

void Editor::history() {
  if (readOnly || area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  Parser &q = parser();
  q.lock();
  bool empty = q.history.empty();
  q.unlock(false);
  if (empty) {
    show_message(" Command history is empty.", false);
    return;
  }
  show_message(NOT_HERE, true);   // the history view opens here
}

void Editor::process_view() {
  if (area() != Area::COMMAND_LINE) {
    show_message(NOT_HERE, true);
    return;
  }
  show_message(NOT_HERE, true);   // the process view opens here
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
  case OP::ifn_DEBUG: case OP::ifn_PROCDEBUG:
    display().show_error(2, cmd.name, 0, ERR_UNDER_CONSTRUCTION, nullptr, -1, -1);
    return true;
  default:   // the keys of the process and stack views act only there
    show_message(NOT_HERE, true);
    return true;
  }
}

} // namespace KOR
