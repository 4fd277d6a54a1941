// The process view: the scheduler's listing in a read-only view, whose keys
// and menu entries stop, continue and kill the process of the cursor line,
// or the whole foreground stream from the header lines.
#pragma once

#include <vector>

#include "kor/Editor.h"

namespace OP { struct Command; }

namespace KOR {

class ProcessView {
public:
  // The view over `caller`, filled with the listing and the menu "p".
  explicit ProcessView(Editor &caller);

  // Opens the view from `caller` and runs its keys until INT ("q", "Q",
  // Ctl-C); then the caller's screen is painted again.
  static void open(Editor &caller);

  // Loads the listing again, keeping the cursor on the same process when
  // it is still there.
  void reload();
  // The pid of the cursor line, or 0 on the header, stream and empty lines.
  int selected_pid() const;
  // Puts the cursor on the line of `pid`; false when no line shows it.
  bool select_pid(int pid);

  // Ctl-S, Ctl-Q and BackSpace or Delete on the cursor line: STOP, CONT and
  // then the stream goes on, KILL.  On a line without a process they act as
  // FGSTOP, FGCONT and FGKILL.
  void stop();
  void cont();
  void kill();
  // A command of the menu "p" (PROCDEBUG, PROCCONT, PROCSTOP, PROCKILL,
  // PROCJOIN); false for any other command.
  bool run_command(const OP::Command &cmd);

  // The view's key handler, offered every key before the editor's own.
  static Editor::Result keys(Editor &ed, InputCode action, bool meta);

  Editor ed;

private:
  // Sends `sig` to the cursor line's process; false when it has gone.
  bool signal_selected(int sig);
  void after_change();   // the listing follows the table and is redrawn

  std::vector<int> pids_;   // the pid of each listing line, 0 for none
};

} // namespace KOR
