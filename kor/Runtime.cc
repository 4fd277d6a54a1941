#include "kor/Runtime.h"

#include <cmath>

#include "kor/Real.h"
#include "kor/XReal.h"

namespace EXEC {

using KOR::Entry;

Status raise(KOR::Context &cx, int code) {
  return cx.fail(compiled(cx) || !cx.SP ? nullptr : *cx.SP, code, 0, false);
}

Status charge(KOR::Context &cx, Status pending) {
  uint32_t count = 1;
  if (compiled(cx)) count = std::max<uint32_t>(1, cx.DP->upair.u1);
  cx.ICOUNT += count;
  if (cx.ICOUNT < KOR::TIMESLICE_COUNT) return pending;
  Status t = cx.timeslice(pending);
  return t == HALT || t == CANCEL ? t : pending;
}

namespace {

// The real value of a numeric entry; false for other types.
bool real_of(const Entry &e, double *x) {
  switch (e.tag) {
  case OBJ::REAL: *x = e.v.r; return true;
  case OBJ::BINARY: *x = OBJ::binary_to_real(e.v.b); return true;
  case OBJ::XREAL: *x = fathom::toDouble(static_cast<OBJ::XReal *>(e.v.p)->num); return true;
  case OBJ::COMPLEX: *x = static_cast<OBJ::Complex *>(e.v.p)->re; return true;
  case OBJ::XCOMPLEX: *x = fathom::toDouble(static_cast<OBJ::XComplex *>(e.v.p)->re); return true;
  default: return false;
  }
}

} // namespace

Status pop_real(KOR::Context &cx, double *x) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return raise(cx, KOR::ERR_TOO_FEW_ARGS);
  const Entry &e = s.cache[s.top];
  const Entry v = e.tag == OBJ::VARIABLE && e.v.p->value()
                      ? Entry::object(const_cast<OBJ::Operand *>(e.v.p->value()))
                      : e;
  if (!real_of(v, x)) return raise(cx, KOR::ERR_BAD_TYPE);
  s.drop_entry(s.pop());
  return NORMAL;
}

Status pop_integer(KOR::Context &cx, long *n) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return raise(cx, KOR::ERR_TOO_FEW_ARGS);
  double x;
  const Entry &e = s.cache[s.top];
  if (!real_of(e, &x)) return raise(cx, KOR::ERR_BAD_TYPE);
  if (std::isnan(x)) return raise(cx, KOR::ERR_BAD_VALUE);
  x = std::trunc(x);
  if (x > 2147483647.0) x = 2147483647.0;
  if (x < -2147483647.0) x = -2147483647.0;
  *n = static_cast<long>(x);
  s.drop_entry(s.pop());
  return NORMAL;
}

Status pop_test(KOR::Context &cx, bool *truth) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return raise(cx, KOR::ERR_TOO_FEW_ARGS);
  if (s.cache[s.top].tag == OBJ::REAL) {
    *truth = s.pop().v.r != 0.0;
    return NORMAL;
  }
  long n;
  Status st = pop_integer(cx, &n);
  *truth = n != 0;
  return st;
}

void enter(KOR::Context &cx, const OBJ::Program &prog, bool linkGiven) {
  KOR::Frame f;
  f.kind = KOR::Frame::CALL;
  f.start = here(cx);
  f.program = linkGiven ? &prog : static_cast<const OBJ::Program *>(prog.clone(&cx.pool));
  f.caller = cx.program;
  cx.frames->push_back(f);
  cx.program = &prog;
  cx.IP = prog.code.data();
  cx.DP = prog.data.data();
  cx.SP = nullptr;
}

} // namespace EXEC
