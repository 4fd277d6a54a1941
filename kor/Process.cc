#include "kor/Process.h"

#include <cerrno>

#include "kor/Kernel.h"
#include "kor/Options.h"
#include "kor/Sequence.h"

namespace KOR {

const char *signal_name(int code) {
  static const char *const names[] = {"NONE", "ABORT", "CONT", "KILL", "STOP", "TERM"};
  return code >= 0 && code <= SIG_TERM ? names[code] : "[INVALID]";
}

const char *signal_listing(int code) {
  static const char *const texts[] = {"   --  ", "  Abrt ", "  Cont ", "  Kill ", "  Stop ",
                                      "  Term "};
  return code >= 0 && code <= SIG_TERM ? texts[code] : "   ??  ";
}

Process::Process(std::vector<OBJ::Operand *> &elems, Kernel *k, Context *context, int parent,
                 int pid)
    : kernel(k), selfPid(pid), parentPid(parent), cx(context),
      stack(context ? &context->pool : nullptr) {
  program.elems.swap(elems);
  if (options().useSequences) EXEC::compile_program(program);
  if (options().useSequences && !program.code.empty()) {
    ip = program.code.data();
    dp = program.data.data();
  }
  sp = program.elems.data();
}

Process::~Process() { stack.clear(); }

void Process::verify() {
  if (status < READY || status > EXITED) kor_error(EINVAL, "Process", __LINE__, "bad status in verify");
  if (parentPid != 0) kor_error(ESRCH, "Process", __LINE__, "bad parentPid in verify");
  if (selfPid < 1 || selfPid > 96) kor_error(ESRCH, "Process", __LINE__, "bad selfPid in verify");
  if (signal < 0 || signal > SIG_TERM) kor_error(EINVAL, "Process", __LINE__, "bad signal in verify");
  if (execState < 0 || execState > EXEC::LOOP)
    kor_error(EINVAL, "Process", __LINE__, "bad execState in verify");
  program.verify();
  if (cx && cx != &main_context()) kor_error(EINVAL, "Process", __LINE__, "cx!=Main in verify");
  if (cx && cx->trylock() == 0) {
    cx->verify();
    cx->unlock();
  }
}

} // namespace KOR
