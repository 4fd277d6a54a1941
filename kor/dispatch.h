// The type dispatch of the arithmetic and function commands: arguments are
// read from the stack as numbers of the five types, promoted to a common
// type, handed to the kernel of that type, and replaced by the result only
// when the command succeeds, so that a refused command leaves its arguments
// where they were.
#pragma once

#include <complex>
#include <cstdint>

#include "fathom/xcomplex.h"
#include "fathom/xreal.h"
#include "kor/Context.h"
#include "kor/ExecStatus.h"

namespace OP::dispatch {

using fathom::XComplexValue;
using fathom::XRealValue;
using Cplx = std::complex<double>;
using KOR::Context;

// A number read from a stack entry (a Variable stands for its value).
struct Num {
  uint32_t tag = OBJ::INVALID;   // REAL, XREAL, BINARY, COMPLEX or XCOMPLEX
  double r = 0;
  XRealValue x{};
  uint64_t b = 0;
  Cplx c;
  XComplexValue xc{};
};

// False when the entry holds no number.
bool read(const KOR::Entry &e, Num *n);
// The same for an operand object (an element of a list, say).
bool read_operand(const OBJ::Operand *op, Num *n);
// Converts among the numeric types (binary integers to and from reals only).
void convert(Num &n, uint32_t tag);
// A stack entry holding the number: reals and binaries inline, the others
// drawn from the context's pool.
KOR::Entry entry_of(const Num &n, Context &cx);

enum class Promotion { NONE, ARITHMETIC, NUMERIC, LOGICAL };
// Brings two numbers to a common type; their tags may still differ after it
// when the promotion does not allow the pair.
void promote(Num &y, Num &x, Promotion p);

// Extended operations and complex ones cost more of a timeslice.
void charge_for(Context &cx, uint32_t tag);

struct Unary {
  double (*real)(double, const Context &) = nullptr;
  XRealValue (*xreal)(XRealValue, const Context &) = nullptr;
  uint64_t (*bint)(uint64_t, const Context &) = nullptr;
  Cplx (*complex)(Cplx, const Context &) = nullptr;
  XComplexValue (*xcomplex)(XComplexValue, const Context &) = nullptr;
  void (*pre)(Num &, const Context &) = nullptr;    // domain extension before dispatch
  void (*post)(Num &, const Context &) = nullptr;   // the result's final type
  // Set by the special functions whose extended kernel is still to come:
  // extended arguments then raise "Routine Under Construction..." rather
  // than "Bad Argument Type".
  bool extendedPending = false;
};

struct Binary {
  double (*real)(double, double, const Context &) = nullptr;
  XRealValue (*xreal)(XRealValue, XRealValue, const Context &) = nullptr;
  // Binary integers come masked; a kernel returns false for an arithmetic fault.
  bool (*bint)(uint64_t, uint64_t, const Context &, uint64_t *) = nullptr;
  Cplx (*complex)(Cplx, Cplx, const Context &) = nullptr;
  XComplexValue (*xcomplex)(XComplexValue, XComplexValue, const Context &) = nullptr;
  void (*pre)(Num &y, Num &x, const Context &) = nullptr;
  void (*post)(Num &, const Context &) = nullptr;
  bool extendedPending = false;
};

// Three arguments (Z, Y, X) of the special functions: reals only.
struct Ternary {
  double (*real)(double, double, double, const Context &) = nullptr;
  XRealValue (*xreal)(XRealValue, XRealValue, XRealValue, const Context &) = nullptr;
  bool extendedPending = false;
};

// Arguments of one numeric type, with no post-function (and for unary
// commands a pre-function that keeps the type), are computed in place on the
// stack entries; every other case goes through the general path below.
EXEC::Status unary(Context &cx, const Unary &k);
EXEC::Status binary(Context &cx, const Binary &k, Promotion p);
// The general path alone: read, promote, dispatch, replace.  The in-place
// forms give the same stack, charges and errors.
EXEC::Status unary_general(Context &cx, const Unary &k);
EXEC::Status binary_general(Context &cx, const Binary &k, Promotion p);
// Numeric promotion over all three, Z and Y first.
EXEC::Status ternary(Context &cx, const Ternary &k);

// Replaces the top `n` levels by `result` (the command succeeded).
void replace(Context &cx, size_t n, const Num &result);

} // namespace OP::dispatch
