// Numerical integration: Integ, KGauss and SqKGauss hand Fathom's
// adaptive integrators a callback that evaluates the user's function.
#include <cerrno>
#include <cmath>

#include "fathom/integrate.h"
#include "fathom/xintegrate.h"
#include "kor/HardLink.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Runtime.h"
#include "kor/dispatch.h"
#include "kor/handlers.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using namespace dispatch;
namespace fm = fathom;

namespace {

// ---- Integration ----

enum Which { INTEG, KGAUSS, SQKGAUSS };

// The state that the integrand callback shares with the command.
struct Integrand {
  Context *cx;
  KOR::Entry fn;         // a number stands for the constant function
  size_t depth;          // stack depth while the integration runs
  Status status = EXEC::NORMAL;
};

// Evaluates the function at the point already pushed; true with its value
// in *y when it left a number of an accepted type (REAL, and in extended
// integrations also XREAL).
bool evaluate_pushed(Integrand &in, bool extended, Num *y) {
  Context &cx = *in.cx;
  KOR::Stack &s = cx.main;
  Status st = EXEC::NORMAL;
  if (in.fn.isInline()) {
    s.push(in.fn);   // evaluating a number leaves it
  } else {
    const OBJ::Operand *fn = in.fn.v.p;
    const OBJ::Operand *v = fn->type_ == OBJ::VARIABLE ? fn->value() : fn;
    if (v && v->type_ == OBJ::PROGRAM) {
      st = EXEC::call(cx, *static_cast<const OBJ::Program *>(v));
    } else {
      OBJ::Operand *copy = fn->clone(&cx.pool);
      st = copy->evaluate(cx);
      OBJ::dispose(copy, &cx.pool);
    }
  }
  bool ok = false;
  if (st == EXEC::NORMAL || st == EXEC::EXIT) {
    s.refill(1);
    if (s.depth() <= in.depth) {
      // The function took more than its argument: levels below it are gone.
      EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
      st = EXEC::ERROR;
    } else if (read(s.cache[s.top], y) &&
               (y->tag == OBJ::REAL || (extended && y->tag == OBJ::XREAL))) {
      ok = true;
    } else {
      EXEC::raise(cx, KOR::ERR_BAD_TYPE);
      st = EXEC::ERROR;
    }
  }
  // Whatever the function left goes: the integration sees only its value.
  if (s.depth() > in.depth) s.drop_n(s.depth() - in.depth);
  if (st != EXEC::NORMAL && st != EXEC::EXIT) in.status = st;
  return ok;
}

double evaluate_at(double x, void *p) {
  Integrand &in = *static_cast<Integrand *>(p);
  if (in.status != EXEC::NORMAL) return NAN;
  EXEC::push_real(*in.cx, x);
  Num y;
  return evaluate_pushed(in, false, &y) ? y.r : NAN;
}

// The extended integrand: the point goes in as an XREAL; a REAL result
// (a constant function, say) converts exactly.
fm::XRealValue evaluate_at_x(fm::XRealValue x, void *p) {
  Integrand &in = *static_cast<Integrand *>(p);
  if (in.status != EXEC::NORMAL) return fm::nan();
  Num arg;
  arg.tag = OBJ::XREAL;
  arg.x = x;
  in.cx->main.push(entry_of(arg, *in.cx));
  Num y;
  if (!evaluate_pushed(in, true, &y)) return fm::nan();
  convert(y, OBJ::XREAL);
  return y.x;
}

// Ctl-C, Stop or a kill reach a long integration between two rules.
bool interrupted(void *p) {
  Integrand &in = *static_cast<Integrand *>(p);
  if (in.status != EXEC::NORMAL) return true;
  KOR::Kernel &k = KOR::kernel();
  if (KOR::coder().ttyInput) KOR::coder().poll_keyboard();
  if (k.interrupt == KOR::SIG_NONE) return false;
  in.status = k.interrupt == KOR::SIG_STOP || k.interrupt == KOR::SIG_TERM ? EXEC::HALT : EXEC::CANCEL;
  k.interrupt = KOR::SIG_NONE;
  return true;
}

// Reads the range list: 2 elements (3 for SqKGauss), reals after variables;
// all of them become XREALs when any is one.
Status read_range(Context &cx, const KOR::Entry &e, size_t count, Num *v, bool *extended) {
  if (e.tag != OBJ::LIST) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  const OBJ::List &list = *static_cast<const OBJ::List *>(e.v.p);
  if (list.elems.size() != count) return EXEC::raise(cx, KOR::ERR_BAD_VALUE);
  *extended = false;
  for (size_t i = 0; i < count; ++i) {
    const OBJ::Operand *op = list.elems[i]->value();
    if (!op || (op->type_ != OBJ::REAL && op->type_ != OBJ::XREAL))
      return EXEC::raise(cx, KOR::ERR_BAD_VALUE);
    read_operand(op, &v[i]);
    if (v[i].tag == OBJ::XREAL) *extended = true;
  }
  for (size_t i = 0; i < count; ++i) convert(v[i], *extended ? OBJ::XREAL : OBJ::REAL);
  return EXEC::NORMAL;
}

Status integrate(Context &cx, Which which) {
  KOR::Stack &s = cx.main;
  s.refill(3);
  if (s.depth() < 3) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num err;
  if (!read(s.cache[s.top], &err) || err.tag == OBJ::COMPLEX || err.tag == OBJ::XCOMPLEX)
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  convert(err, OBJ::REAL);
  Num range[3];
  bool extended = false;
  Status st = read_range(cx, s.cache[s.top - 1], which == SQKGAUSS ? 3 : 2, range, &extended);
  if (st != EXEC::NORMAL) return st;
  // The whole stack is kept until the end: a failing function may have taken
  // levels below its argument, and a failure puts everything back as it was.
  KOR::Stack backup(&cx.pool);
  backup.copy_from(s);
  KOR::Entry fn = s.copy_entry(s.cache[s.top - 2]);
  s.drop_n(3);
  EXEC::push_real(cx, 0.0);   // the placeholder result
  Integrand in{&cx, fn, s.depth()};
  int criterion = which == INTEG ? 1 : 0;
  Num result;
  if (extended) {
    fm::XIntegResult r =
        which == SQKGAUSS
            ? fm::xsqkgauss(evaluate_at_x, &in, range[0].x, range[1].x, range[2].x, err.r, 100,
                            criterion, interrupted)
            : fm::xkgauss(evaluate_at_x, &in, range[0].x, range[1].x, err.r, 100, criterion,
                          interrupted);
    result.tag = OBJ::XREAL;
    result.x = r.value;
  } else {
    fm::IntegResult r =
        which == SQKGAUSS
            ? fm::sqkgauss(evaluate_at, &in, range[0].r, range[1].r, range[2].r, err.r, 100,
                           criterion, interrupted)
            : fm::kgauss(evaluate_at, &in, range[0].r, range[1].r, err.r, 100, criterion,
                         interrupted);
    result.tag = OBJ::REAL;
    result.r = r.value;
  }
  s.drop_entry(fn);
  if (in.status == EXEC::NORMAL) {
    replace(cx, 1, result);
    return EXEC::NORMAL;
  }
  s.clear();
  s.move_from(backup);
  if (in.status == EXEC::HALT) {
    // Continuing runs the command again from the start.
    if (cx.IP) cx.IP -= 2;
    else cx.SP -= 1;
    return EXEC::HALT;
  }
  cx.status_ = in.status;
  return in.status;
}

} // namespace

Status h_Integ(Context &cx) { return integrate(cx, INTEG); }
Status h_KGauss(Context &cx) { return integrate(cx, KGAUSS); }
Status h_SqKGauss(Context &cx) { return integrate(cx, SQKGAUSS); }

} // namespace OP
