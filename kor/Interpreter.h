// The threaded interpreter: runs compiled code against the main stack of a
// context, with up to four reals of the stack top held in registers.
#pragma once

#include "kor/Context.h"
#include "kor/ExecStatus.h"
#include "kor/Sequence.h"

namespace OBJ { class Program; }

namespace EXEC {

// Runs compiled code from the context's IP and DP.  Frames opened before
// the call are left alone; errors unwind to the nearest Try, an EXIT to the
// nearest subroutine call.  Returns the status that ended the run.
Status run(KOR::Context &cx, size_t frameBase = 0);

// Runs operands one by one from the operand after SP (operand mode), with
// the same frame handling as run().
Status run_operands(KOR::Context &cx, size_t frameBase = 0);

// Runs a program to its end as a subroutine, compiled or operand by operand,
// restoring the caller's place afterwards; its EXIT comes back as NORMAL.
Status call(KOR::Context &cx, const OBJ::Program &prog);

// Takes off every frame, releasing the subroutines they hold.
void clear_frames(KOR::Context &cx);

// Positions in compiled code, "last consumed" style: the code word and the
// data element before the instruction that is to run next.
inline KOR::Pos before(const CodeWord *firstWord, const Datum *firstDatum) {
  return {firstWord - 1, firstDatum - 1, nullptr};
}

// The jump of a handler-path instruction (IP at its second word, DP at its
// consumed datum) by the distances in `j`.
inline void jump(KOR::Context &cx, Datum j) {
  cx.IP += j.ipair.code - 2;
  cx.DP += j.ipair.data - 1;
}

} // namespace EXEC
