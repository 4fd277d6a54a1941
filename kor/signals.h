// Handlers of the operating-system signals.
#pragma once

namespace KOR {

// Installs on_signal for the arithmetic fault, the illegal instruction, the
// segmentation fault, the interactive interrupt, the console break and the
// termination request, in that order.
void install_signals();

// The one handler.  A fault while a program executes jumps back to that
// program's recovery point; otherwise faults are fatal, SIGINT asks the
// running program to stop, SIGTERM ends the input stage and the console
// break exits with status 4.
void on_signal(int sig);

} // namespace KOR
