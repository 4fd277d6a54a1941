// Any text as a command line, parsed, compiled and run in a private context
// with a bounded instruction budget: programs that never end are cancelled
// at their first timeslice.  No crash, no leak, and the stack verifies.
#include <cstdlib>
#include <string>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/HardLink.h"
#include "kor/Interpreter.h"
#include "kor/Kernel.h"
#include "kor/Sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  KOR::Context cx("Fuzz");
  if (data[0] & 1) cx.format.setXprec(true);
  bool operandMode = data[0] & 2;
  OBJ::Buffer buf;
  buf.set_text(std::string(reinterpret_cast<const char *>(data + 1), size - 1));
  auto *prog = new OBJ::Program;
  Sequence::parse(prog->elems, nullptr, buf, cx.format, nullptr, true);
  if (!prog->elems.empty()) {
    if (!operandMode) EXEC::compile_program(*prog);
    cx.program = prog;
    KOR::kernel().interrupt = KOR::SIG_KILL;   // the first timeslice cancels
    if (!prog->code.empty()) {
      cx.IP = prog->code.data();
      cx.DP = prog->data.data();
      EXEC::run(cx);
    } else {
      cx.SP = prog->elems.data();
      EXEC::run_operands(cx);
    }
    KOR::kernel().interrupt = KOR::SIG_NONE;
    cx.main.verify();
    cx.last.verify();
  }
  EXEC::clear_frames(cx);
  prog->release(nullptr);
  return 0;
}
