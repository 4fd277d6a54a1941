// Runs program text against a private context in one of the three ways a
// program can run, for tests that compare them.
#pragma once

#include <string>
#include <vector>

#include "kor/Context.h"
#include "kor/HardLink.h"

namespace engine {

enum class Mode { Optimized, NoFolds, Operands };
constexpr Mode ALL_MODES[] = {Mode::Optimized, Mode::NoFolds, Mode::Operands};
const char *mode_name(Mode m);

struct Outcome {
  int status = -1;               // the execution status that ended the run
  int err = 0;                   // the context's error code
  std::string failed;            // the failed operand or action
  std::vector<std::string> stack;   // levels, deepest first, in edit form
  bool operator==(const Outcome &o) const {
    return status == o.status && err == o.err && failed == o.failed && stack == o.stack;
  }
};

std::string describe(const Outcome &o);

// Parses `src` as a command line and runs it to its end in a fresh context.
// `stops` > 0 interrupts the run with STOP at that many timeslices and
// continues it each time, as a user pressing Ctl-S and Cont would.
// With `budget`, a run still going at its first timeslice (200000 charged
// instructions) is cancelled, so that generated programs always end.
Outcome run(const std::string &src, Mode mode, int stops = 0, bool budget = false);

// A context with a parsed, compiled program, for tests that look inside.
struct Session {
  KOR::Context cx{"Test"};
  OBJ::Program *prog = nullptr;
  explicit Session(const std::string &src, Mode mode = Mode::Optimized, bool optimizeExit = false);
  ~Session();
  int start();   // runs from the beginning
  int resume();  // continues after HALT
  std::vector<std::string> stack() const;
};

} // namespace engine
