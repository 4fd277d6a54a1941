// Special functions and numerical integration.  The handlers dispatch as
// the arithmetic does and call Fathom's kernels; the integration commands
// hand the library a callback that evaluates the user's function.
#include <cerrno>
#include <cmath>

#include "fathom/integrate.h"
#include "fathom/special.h"
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

// One-argument functions: REAL now, XREAL with the extended kernels.
template <double (*F)(double)> Status fn1(Context &cx) {
  static const Unary k = [] {
    Unary u;
    u.real = [](double x, const Context &) { return F(x); };
    u.extendedPending = true;
    return u;
  }();
  return unary(cx, k);
}

// Two-argument functions with numeric promotion (Beta, IGamma, elliptic).
template <double (*F)(double, double)> Status fn2(Context &cx) {
  static const Binary k = [] {
    Binary b;
    b.real = [](double y, double x, const Context &) { return F(y, x); };
    b.extendedPending = true;
    return b;
  }();
  return binary(cx, k, Promotion::NUMERIC);
}

// Bessel functions of integer order and En: both arguments of one type.
template <double (*F)(double, double)> Status fn2_same(Context &cx) {
  static const Binary k = [] {
    Binary b;
    b.real = [](double y, double x, const Context &) { return F(y, x); };
    b.extendedPending = true;
    return b;
  }();
  return binary(cx, k, Promotion::NONE);
}

template <double (*F)(double, double, double)> Status fn3(Context &cx) {
  static const Ternary k = [] {
    Ternary t;
    t.real = [](double z, double y, double x, const Context &) { return F(z, y, x); };
    t.extendedPending = true;
    return t;
  }();
  return ternary(cx, k);
}

// ---- Integration ----

enum Which { INTEG, KGAUSS, SQKGAUSS };

// The state that the integrand callback shares with the command.
struct Integrand {
  Context *cx;
  KOR::Entry fn;         // a number stands for the constant function
  size_t depth;          // stack depth while the integration runs
  Status status = EXEC::NORMAL;
};

double evaluate_at(double x, void *p) {
  Integrand &in = *static_cast<Integrand *>(p);
  if (in.status != EXEC::NORMAL) return NAN;
  Context &cx = *in.cx;
  KOR::Stack &s = cx.main;
  EXEC::push_real(cx, x);
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
  double y = NAN;
  if (st == EXEC::NORMAL || st == EXEC::EXIT) {
    s.refill(1);
    if (s.depth() <= in.depth) {
      // The function took more than its argument: levels below it are gone.
      EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
      st = EXEC::ERROR;
    } else if (s.cache[s.top].tag == OBJ::REAL) {
      y = s.cache[s.top].v.r;
    } else {
      EXEC::raise(cx, KOR::ERR_BAD_TYPE);
      st = EXEC::ERROR;
    }
  }
  // Whatever the function left goes: the integration sees only its value.
  if (s.depth() > in.depth) s.drop_n(s.depth() - in.depth);
  if (st != EXEC::NORMAL && st != EXEC::EXIT) in.status = st;
  return y;
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

// Reads the range list: 2 elements (3 for SqKGauss), reals after variables.
Status read_range(Context &cx, const KOR::Entry &e, size_t count, double *v, bool *extended) {
  if (e.tag != OBJ::LIST) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  const OBJ::List &list = *static_cast<const OBJ::List *>(e.v.p);
  if (list.elems.size() != count) return EXEC::raise(cx, KOR::ERR_BAD_VALUE);
  *extended = false;
  for (size_t i = 0; i < count; ++i) {
    const OBJ::Operand *op = list.elems[i]->value();
    if (!op || (op->type_ != OBJ::REAL && op->type_ != OBJ::XREAL))
      return EXEC::raise(cx, KOR::ERR_BAD_VALUE);
    Num n;
    read_operand(op, &n);
    if (n.tag == OBJ::XREAL) *extended = true;
    convert(n, OBJ::REAL);
    v[i] = n.r;
  }
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
  double range[3];
  bool extended = false;
  Status st = read_range(cx, s.cache[s.top - 1], which == SQKGAUSS ? 3 : 2, range, &extended);
  if (st != EXEC::NORMAL) return st;
  if (extended) return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);
  // The whole stack is kept until the end: a failing function may have taken
  // levels below its argument, and a failure puts everything back as it was.
  KOR::Stack backup(&cx.pool);
  backup.copy_from(s);
  KOR::Entry fn = s.copy_entry(s.cache[s.top - 2]);
  s.drop_n(3);
  EXEC::push_real(cx, 0.0);   // the placeholder result
  Integrand in{&cx, fn, s.depth()};
  int criterion = which == INTEG ? 1 : 0;
  fm::IntegResult r =
      which == SQKGAUSS
          ? fm::sqkgauss(evaluate_at, &in, range[0], range[1], range[2], err.r, 100, criterion, interrupted)
          : fm::kgauss(evaluate_at, &in, range[0], range[1], err.r, 100, criterion, interrupted);
  s.drop_entry(fn);
  if (in.status == EXEC::NORMAL) {
    s.refill(1);
    s.cache[s.top] = KOR::Entry::real(r.value);
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

Status h_BessI0(Context &cx) { return fn1<fm::besselI0>(cx); }
Status h_BessI1(Context &cx) { return fn1<fm::besselI1>(cx); }
Status h_BessJ0(Context &cx) { return fn1<fm::besselJ0>(cx); }
Status h_BessJ1(Context &cx) { return fn1<fm::besselJ1>(cx); }
Status h_BessK0(Context &cx) { return fn1<fm::besselK0>(cx); }
Status h_BessK1(Context &cx) { return fn1<fm::besselK1>(cx); }
Status h_BessY0(Context &cx) { return fn1<fm::besselY0>(cx); }
Status h_BessY1(Context &cx) { return fn1<fm::besselY1>(cx); }
Status h_CellE(Context &cx) { return fn1<fm::ellipticE>(cx); }
Status h_CellK(Context &cx) { return fn1<fm::ellipticK>(cx); }
Status h_CosICi(Context &cx) { return fn1<fm::cosInt>(cx); }
Status h_SinISi(Context &cx) { return fn1<fm::sinInt>(cx); }
Status h_CoshIChi(Context &cx) { return fn1<fm::coshInt>(cx); }
Status h_SinhIShi(Context &cx) { return fn1<fm::sinhInt>(cx); }
Status h_DawsF(Context &cx) { return fn1<fm::dawson>(cx); }
Status h_DiGamma(Context &cx) { return fn1<fm::digamma>(cx); }
Status h_TriGamma(Context &cx) { return fn1<fm::trigamma>(cx); }
Status h_DiLog(Context &cx) { return fn1<fm::dilog>(cx); }
Status h_Erf(Context &cx) { return fn1<fm::erf>(cx); }
Status h_Erfc(Context &cx) { return fn1<fm::erfc>(cx); }
Status h_LnErfc(Context &cx) { return fn1<fm::lnErfc>(cx); }
Status h_ExpIE1(Context &cx) { return fn1<fm::expIntE1>(cx); }
Status h_ExpIEi(Context &cx) { return fn1<fm::expIntEi>(cx); }
Status h_FresnC(Context &cx) { return fn1<fm::fresnelC>(cx); }
Status h_FresnS(Context &cx) { return fn1<fm::fresnelS>(cx); }
Status h_Gamma(Context &cx) { return fn1<fm::gamma>(cx); }
Status h_LnGamma(Context &cx) { return fn1<fm::lnGamma>(cx); }
Status h_Fact(Context &cx) { return fn1<fm::factorial>(cx); }
Status h_LogIli(Context &cx) { return fn1<fm::logInt>(cx); }
Status h_Zeta(Context &cx) { return fn1<fm::zeta>(cx); }

Status h_BessIn(Context &cx) { return fn2_same<fm::besselIn>(cx); }
Status h_BessJn(Context &cx) { return fn2_same<fm::besselJn>(cx); }
Status h_BessKn(Context &cx) { return fn2_same<fm::besselKn>(cx); }
Status h_BessYn(Context &cx) { return fn2_same<fm::besselYn>(cx); }
Status h_ExpIEn(Context &cx) { return fn2_same<fm::expIntEn>(cx); }
Status h_Beta(Context &cx) { return fn2<fm::beta>(cx); }
Status h_IGamma(Context &cx) { return fn2<fm::gammaLower>(cx); }
Status h_CellPi(Context &cx) { return fn2<fm::ellipticPi>(cx); }
Status h_EllE(Context &cx) { return fn2<fm::ellipticEInc>(cx); }
Status h_EllF(Context &cx) { return fn2<fm::ellipticF>(cx); }
Status h_JellCn(Context &cx) { return fn2<fm::jacobiCn>(cx); }
Status h_JellDn(Context &cx) { return fn2<fm::jacobiDn>(cx); }
Status h_JellSn(Context &cx) { return fn2<fm::jacobiSn>(cx); }
Status h_EllPi(Context &cx) { return fn3<fm::ellipticPiInc>(cx); }
Status h_IBeta(Context &cx) { return fn3<fm::betaLower>(cx); }

Status h_Integ(Context &cx) { return integrate(cx, INTEG); }
Status h_KGauss(Context &cx) { return integrate(cx, KGAUSS); }
Status h_SqKGauss(Context &cx) { return integrate(cx, SQKGAUSS); }

} // namespace OP
