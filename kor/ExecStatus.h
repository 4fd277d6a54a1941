// Execution statuses returned by handlers and by the interpreter.
#pragma once

namespace EXEC {

enum Status : int {
  NORMAL = 0,   // continue with the next instruction
  CANCEL = 1,   // terminate the process; nothing catches it
  ERROR = 2,    // an error was raised and recorded in the context; Try catches it
  EXIT = 3,     // the sequence completed (SYSEXIT, Return)
  HALT = 4,     // stop; the process can be continued later
  BREAK = 5,    // leave the innermost loop
  LOOP = 6,     // end of one loop iteration
};

// "NORMAL" ... "LOOP", "[INVALID]" for any other value.
const char *status_name(int status);

} // namespace EXEC
