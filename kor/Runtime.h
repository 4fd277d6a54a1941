// What handlers share at run time: reading data elements and the current
// keyword in either execution mode, moving to places in the program, the
// integer-argument reader, and raising errors.
#pragma once

#include <cstdint>

#include "kor/Context.h"
#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Interpreter.h"
#include "kor/Stack.h"

namespace EXEC {

// Compiled code runs (IP set), or operands run one by one (IP null).
inline bool compiled(const KOR::Context &cx) { return cx.IP != nullptr; }

// The instruction's next data element (compiled code).
inline Datum take_datum(KOR::Context &cx) { return *++cx.DP; }

// The keyword operand being executed (operand mode).
inline const OBJ::Structure &current_keyword(const KOR::Context &cx) {
  return *static_cast<const OBJ::Structure *>(*cx.SP);
}

// Where the program goes on from: `pos` is the place before the next step.
inline void go(KOR::Context &cx, const KOR::Pos &pos) {
  cx.IP = pos.ip;
  cx.DP = pos.dp;
  cx.SP = pos.sp;
}

// The current place (after the instruction or operand being executed).
inline KOR::Pos here(const KOR::Context &cx) { return {cx.IP, cx.DP, cx.SP}; }

// Places around the instruction that a compiled jump of a handler-path
// instruction (IP at its second word, DP at its datum) lands on.
inline KOR::Pos before_target(const KOR::Context &cx, Datum j) {
  return {cx.IP + j.ipair.code - 2, cx.DP + j.ipair.data - 1, nullptr};
}
// After the target instruction, which consumes `data` elements.
inline KOR::Pos after_target(const KOR::Context &cx, Datum j, uint32_t data) {
  return {cx.IP + j.ipair.code, cx.DP + j.ipair.data - 1 + data, nullptr};
}

// Operand mode: the place just before / after the operand `distance` away.
inline KOR::Pos before_operand(const KOR::Context &cx, long distance) {
  return {nullptr, nullptr, cx.SP + distance - 1};
}
inline KOR::Pos after_operand(const KOR::Context &cx, long distance) {
  return {nullptr, nullptr, cx.SP + distance};
}

// Raises a language error at the current place.
Status raise(KOR::Context &cx, int code);

// Charges a block end's instruction count; once per timeslice the context
// looks at interrupts.  Returns `pending`, or HALT/CANCEL when interrupted.
Status charge(KOR::Context &cx, Status pending);

// Reads an integer argument from level 1 (it pops it): a REAL truncated
// toward zero and clamped to +-2147483647, other numeric types as reals; a
// NaN is "Bad Argument Value" and a non-numeric object "Bad Argument Type",
// both leaving the argument in place.  Too few levels: "Too Few Arguments".
Status pop_integer(KOR::Context &cx, long *n);

// Reads a real from level 1 (numeric types converted), popping it.
Status pop_real(KOR::Context &cx, double *x);

// A test value of Then and the loop tests: a REAL is false only when 0.0;
// anything else is read as an integer argument.
Status pop_test(KOR::Context &cx, bool *truth);

// Pushes a real with the push spill rule.
inline void push_real(KOR::Context &cx, double x) { cx.main.push(KOR::Entry::real(x)); }

// Enters a compiled program as a subroutine: a call frame holds one link of
// it and the caller's place, and execution goes on at its start.  With
// `linkGiven` the caller hands over a link it holds instead of a new one
// being taken.
void enter(KOR::Context &cx, const OBJ::Program &prog, bool linkGiven = false);

} // namespace EXEC
