// A process: one compiled command line with its resume point, call frames,
// private stack and the context it runs in.
#pragma once

#include <vector>

#include "kor/Context.h"
#include "kor/HardLink.h"
#include "kor/Kernel.h"
#include "kor/Stack.h"
#include "kor/threads.h"

namespace KOR {

class Kernel;

enum ProcessState { READY = 0, RUNNING = 1, STOPPED = 2, EXITED = 3 };

// "NONE", "ABORT", "CONT", "KILL", "STOP", "TERM"; "[INVALID]" otherwise.
const char *signal_name(int code);
// The signal column of the process listing ("   --  ", "  Kill " ...).
const char *signal_listing(int code);

class Process {
public:
  // A Ready process that takes over `elems` (left empty) as its program.
  Process(std::vector<OBJ::Operand *> &elems, Kernel *kernel, Context *cx, int parentPid, int pid);
  ~Process();
  Process(const Process &) = delete;
  Process &operator=(const Process &) = delete;

  void verify();

  Kernel *kernel;
  kt_t thread = 0;
  int selfPid;
  int parentPid;                  // 0 in the foreground stream
  int signal = SIG_NONE;          // delivered, not yet acted on
  int execState = EXEC::NORMAL;   // result of the last run
  int status = READY;
  OBJ::Program program;           // the operands to run (one link)
  // The resume point.
  const EXEC::CodeWord *ip = nullptr;
  const EXEC::Datum *dp = nullptr;
  OBJ::Operand *const *sp = nullptr;
  Context *cx;
  KOR::FrameStack frames;
  Stack stack;
};

} // namespace KOR
