#include "kor/ProcessView.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "kor/Command.h"
#include "kor/Display.h"
#include "kor/InputCoder.h"
#include "kor/KeyMap.h"
#include "kor/Menu.h"
#include "kor/Scheduler.h"

namespace KOR {

namespace {

// The listing's first two lines are the column header and the stream line.
constexpr size_t FIRST_PROCESS_LINE = 2;

// The pid at the start of a process line ("%3d%5d" pid and parent pid).
int pid_of(const OBJ::Line &l) {
  int pid = 0, ppid = 0;
  return std::sscanf(l.text.c_str(), "%d%d", &pid, &ppid) == 2 && pid > 0 ? pid : 0;
}

} // namespace

ProcessView::ProcessView(Editor &caller) {
  ed.parent = &caller;
  ed.menu = caller.menu;
  OP::select_menu(ed.menu, 'p', false);
  ed.view = this;
  ed.readOnly = true;
  ed.fixedColumn = true;
  reload();
  // Start on the first process, where the keys have something to act on.
  if (ed.lines.size() > FIRST_PROCESS_LINE && pids_[FIRST_PROCESS_LINE] != 0)
    ed.line = std::next(ed.lines.begin(), FIRST_PROCESS_LINE);
}

void ProcessView::reload() {
  const int keep = ed.lines.empty() ? 0 : selected_pid();
  const size_t index = ed.lines.empty() ? 0 : ed.line_index();
  scheduler().list(ed);
  pids_.clear();
  size_t i = 0;
  for (const OBJ::Line &l : ed.lines) pids_.push_back(i++ >= FIRST_PROCESS_LINE ? pid_of(l) : 0);
  if (keep != 0 && select_pid(keep)) return;
  // The process has gone: the cursor stays on the same line, or the last.
  ed.line = std::next(ed.lines.begin(), static_cast<long>(std::min(index, ed.lines.size() - 1)));
  ed.col = 1;
}

int ProcessView::selected_pid() const {
  size_t i = ed.line_index();
  return i < pids_.size() ? pids_[i] : 0;
}

bool ProcessView::select_pid(int pid) {
  for (size_t i = 0; i < pids_.size(); ++i)
    if (pids_[i] == pid && pid != 0) {
      ed.line = std::next(ed.lines.begin(), static_cast<long>(i));
      ed.col = 1;
      return true;
    }
  return false;
}

bool ProcessView::signal_selected(int sig) {
  Scheduler &s = scheduler();
  s.lock();
  Process *p = s.find(selected_pid(), true, false);
  if (p) s.kill(p, sig);
  s.unlock();
  coder().post_event(IC_PROC);
  return p != nullptr;
}

void ProcessView::after_change() {
  reload();
  ed.draw();
}

void ProcessView::stop() {
  if (selected_pid() == 0) scheduler().fg_stop();
  else if (!signal_selected(SIG_STOP)) ed.show_message(" Process has ended.", true);
  after_change();
}

void ProcessView::cont() {
  if (selected_pid() == 0) {
    scheduler().fg_cont();
  } else if (signal_selected(SIG_CONT)) {
    // The process goes first; the rest of the stream follows it.
    scheduler().fg_cont();
  } else {
    ed.show_message(" Process has ended.", true);
  }
  // A run draws the stack pane where the view stands.
  after_change();
}

void ProcessView::kill() {
  if (selected_pid() == 0) scheduler().fg_kill();
  else if (!signal_selected(SIG_KILL)) ed.show_message(" Process has ended.", true);
  after_change();
}

bool ProcessView::run_command(const OP::Command &cmd) {
  switch (cmd.index) {
  case OP::ifn_PROCSTOP: stop(); return true;
  case OP::ifn_PROCCONT: cont(); return true;
  case OP::ifn_PROCKILL: kill(); return true;
  case OP::ifn_PROCDEBUG:
    display().show_error(2, cmd.name, 0, ERR_UNDER_CONSTRUCTION, nullptr, -1, -1);
    return true;
  case OP::ifn_PROCJOIN: {
    // Only a background process can be joined, and the shell starts none.
    Scheduler &s = scheduler();
    s.lock();
    Process *p = s.find(selected_pid(), true, false);
    bool background = p && p->parentPid != 0;
    s.unlock();
    if (background) display().show_error(2, cmd.name, 0, ERR_UNDER_CONSTRUCTION, nullptr, -1, -1);
    else ed.show_message(" Not a background process.", true);
    return true;
  }
  default:
    return false;
  }
}

Editor::Result ProcessView::keys(Editor &ed, InputCode action, bool meta) {
  ProcessView &v = *static_cast<ProcessView *>(ed.view);
  if (meta) return Editor::NOT_HANDLED;
  switch (action) {
  case ctl('S'): v.stop(); return Editor::HANDLED;
  case ctl('Q'): v.cont(); return Editor::HANDLED;
  case IC_BackSpace: case IC_Delete: v.kill(); return Editor::HANDLED;
  case IC_REDRAW:
    v.reload();
    return Editor::NOT_HANDLED;   // the event handler repaints the screen
  case IC_PROC:
    v.after_change();
    return Editor::HANDLED;
  default:
    break;
  }
  if (action >= IC_F1 && action < IC_MenuA) {
    int position = action < IC_ShiftF1 ? action - IC_F1 : action - IC_ShiftF1;
    if (ed.menu.pageSize == 0) display().show_labels(ed.menu, false);
    size_t index = ed.menu.pageStart + static_cast<size_t>(position);
    if (position >= ed.menu.pageSize || index >= ed.menu.size()) return Editor::HANDLED;
    const OP::Command *cmd = OP::entry_command((*ed.menu.entries)[index]);
    return cmd && v.run_command(*cmd) ? Editor::HANDLED : Editor::NOT_HANDLED;
  }
  // Text typed into the listing, and the command line's own control keys,
  // are refused as in any read-only buffer; the menu keeps its paging.
  if (!(action & 0x100) && action != ctl('N') && action != ctl('P')) {
    ed.insert_char(static_cast<char>(action));
    return Editor::HANDLED;
  }
  return Editor::NOT_HANDLED;
}

void ProcessView::open(Editor &caller) {
  ProcessView v(caller);
  Display &d = display();
  d.clear_message(true);
  d.show_labels(v.ed.menu, true);
  v.ed.run(&view_map(), keys, false);
  if (d.drawing()) {
    d.repaint(caller.menu);
    caller.draw();
  }
}

} // namespace KOR
