// Execution contexts: the state that a user sees and commands change (the
// main and last-argument stacks, the display format, the last error, the
// program counter and the execution status).  Two live for the whole run:
// "Main", whose main stack is the one on the screen, and "Undo".
#pragma once

#include <cstdint>
#include <vector>
#include <string>

#include "kor/DisplayFormat.h"
#include "kor/ExecStatus.h"
#include "kor/Operand.h"
#include "kor/Sequence.h"
#include "kor/Stack.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace OBJ { class Program; }

namespace KOR {

// A place in a running program: the code word and data element last
// consumed (compiled code), or the operand last executed (operand mode).
struct Pos {
  const EXEC::CodeWord *ip = nullptr;
  const EXEC::Datum *dp = nullptr;
  OBJ::Operand *const *sp = nullptr;
};

// A frame of the running process: a subroutine's return point, an open
// loop with its targets and counter, or an open Try with its catch block.
// Frames live in the process, so a halted program resumes with them intact.
struct Frame {
  enum Kind : uint8_t { CALL, LOOP_START, LOOP_REAL, LOOP_DO, LOOP_WHILE, TRY };
  Kind kind;
  bool stepForm = false;        // Start ... Step: the body runs at least once
  Pos start;                    // loop body start; CALL: where the caller resumes
  Pos cont;                     // where Continue goes (the loop's end test)
  Pos end;                      // after the loop; TRY: the catch block
  double counter = 0, limit = 0, step = 1;
  const OBJ::Program *program = nullptr;   // CALL: the running subroutine (one link held)
  const OBJ::Program *caller = nullptr;    // CALL: the program that called it
  size_t level = 0;             // operand mode: the nesting level that owns the frame
};

// Frames are taken from the top only, so a vector serves: the newest frame is
// one subtraction away, and its capacity stays after a loop ends (no
// allocation when the loop is entered again).
using FrameStack = std::vector<Frame>;

constexpr uint32_t TIMESLICE_COUNT = 200000;   // charged instructions between checks
// Runaway recursion ends in "Insufficient Memory" instead of exhausting the
// heap (subroutine frames) or the machine stack (nested runs, such as an
// integrand that integrates).
constexpr size_t MAX_CALL_FRAMES = 100000;
constexpr int MAX_NESTED_RUNS = 16;
constexpr size_t CONTEXT_POOL_LIMIT = 128;

class Context {
public:
  explicit Context(const char *name);
  ~Context();
  Context(const Context &) = delete;
  Context &operator=(const Context &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "Context", "lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "Context", "unlock"); }
  int trylock() { return kt_mutex_trylock(&mutex_); }

  // Called every TIMESLICE_COUNT charged instructions: polls the keyboard,
  // accounts CPU time and turns a pending interrupt into HALT or CANCEL.
  EXEC::Status timeslice(EXEC::Status status);

  // Records a failure (code, errno, the failed operand or action) and
  // returns ERROR; with `restore` the failed command's arguments go back.
  EXEC::Status fail(const OBJ::Operand *op, int code, int sysErrno, bool restore);

  // Copies the top n levels of the main stack to the last-argument stack.
  void save_last_args(size_t n);

  // Runs a program's operands one by one (operand mode) and returns the status.
  EXEC::Status run_operands(const OBJ::Program &program);

  void copy_from(Context &other);   // under this context's lock
  void swap(Context &other);
  void verify();
  void trace();

  const char *name() const { return name_; }

  double startTime = 0.0;                  // CPU seconds when the run slice began
  const OBJ::Program *program = nullptr;   // the program of the running process
  DisplayFormat format;
  int err_ = ERR_NONE;                     // language error of the last failure
  int sysErr = 0;                          // its errno, or 0
  std::string failedOperand;
  OBJ::OperandPool pool{CONTEXT_POOL_LIMIT};
  Stack last{&pool};                       // arguments of the command being executed
  Stack main{&pool};                       // the user's stack
  // Program counter of the current execution.
  const EXEC::CodeWord *IP = nullptr;
  const EXEC::Datum *DP = nullptr;
  OBJ::Operand *const *SP = nullptr;
  uint32_t ICOUNT = 0;
  FrameStack *frames = &ownFrames;   // the running process's frames
  FrameStack ownFrames;              // frames when no process runs (direct calls)
  Stack *procStack = nullptr;        // the running process's own stack
  int status_ = EXEC::NORMAL;

private:
  kt_mutex_t mutex_;
  const char *name_;
};

Context &main_context();   // KOR::Main
Context &undo_context();   // KOR::Undo

} // namespace KOR
