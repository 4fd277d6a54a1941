// Arithmetic, comparison, logic and the functions with register forms: the
// handlers that the register forms fall back to.  Reals are computed here
// with the same kernels as the register forms; the other number types come
// with the type dispatch.
#include <cmath>

#include "kor/Runtime.h"
#include "kor/handlers.h"
#include "kor/realmath.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using KOR::Entry;
namespace rm = KOR::realmath;

namespace {

Status type_error(Context &cx, const Entry &e) {
  return EXEC::raise(cx, OBJ::isNumeric(e.tag) ? KOR::ERR_UNDER_CONSTRUCTION : KOR::ERR_BAD_TYPE);
}

template <class F> Status real_unary(Context &cx, F f) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Entry &x = s.cache[s.top];
  if (x.tag != OBJ::REAL) return type_error(cx, x);
  double r;
  if (!f(x.v.r, &r)) return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);   // complex results
  x.v.r = r;
  return EXEC::NORMAL;
}

template <class F> Status real_binary(Context &cx, F f) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Entry &x = s.cache[s.top], &y = s.cache[s.top - 1];
  if (y.tag != OBJ::REAL) return type_error(cx, y);
  if (x.tag != OBJ::REAL) return type_error(cx, x);
  y.v.r = f(y.v.r, x.v.r);
  --s.top;
  return EXEC::NORMAL;
}

#define KOR_REAL1(NAME, expr) \
  Status h_##NAME(Context &cx) { return real_unary(cx, [&](double x, double *r) { *r = (expr); return true; }); }
#define KOR_REAL1_IF(NAME, ok, expr) \
  Status h_##NAME(Context &cx) { \
    return real_unary(cx, [&](double x, double *r) { if (!(ok)) return false; *r = (expr); return true; }); \
  }
#define KOR_REAL2(NAME, expr) \
  Status h_##NAME(Context &cx) { return real_binary(cx, [](double y, double x) { return (expr); }); }

// Folded constant forms: the constant is pushed and the general word runs;
// a failure takes the constant off again.
Status with_constant(Context &cx, Status (*general)(Context &), bool constantFirst) {
  double c = EXEC::take_datum(cx).real;
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  EXEC::push_real(cx, c);
  if (constantFirst) s.swap_levels(0);
  Status st = general(cx);
  if (st == EXEC::ERROR) {
    s.refill(2);
    if (constantFirst) s.swap_levels(0);
    s.drop_n(1);
  }
  return st;
}

} // namespace

KOR_REAL2(ADD, y + x)
KOR_REAL2(SUB, y - x)
KOR_REAL2(MUL, y * x)
KOR_REAL2(DIV, y / x)
KOR_REAL2(EQ, rm::truth(y == x))
KOR_REAL2(NE, rm::truth(y != x))
KOR_REAL2(LT, rm::truth(y < x))
KOR_REAL2(LE, rm::truth(y <= x))
KOR_REAL2(GT, rm::truth(y > x))
KOR_REAL2(GE, rm::truth(y >= x))
KOR_REAL2(And, rm::truth(rm::is_true(y) && rm::is_true(x)))
KOR_REAL2(Or, rm::truth(rm::is_true(y) || rm::is_true(x)))
KOR_REAL2(Xor, rm::truth(rm::is_true(y) != rm::is_true(x)))
KOR_REAL2(SWAPSUB, x - y)
KOR_REAL2(SWAPDIV, x / y)
KOR_REAL1(Abs, std::fabs(x))
KOR_REAL1(Neg, -x)
KOR_REAL1(Inv, 1.0 / x)
KOR_REAL1(Sq, x * x)
KOR_REAL1(Not, rm::truth(x == 0.0))
KOR_REAL1(Sign, rm::sign(x))
KOR_REAL1(Exp, std::exp(x))
KOR_REAL1(Expm1, std::expm1(x))
KOR_REAL1(Alog, rm::alog(x))
KOR_REAL1(Cbrt, std::cbrt(x))
KOR_REAL1(Ceil, std::ceil(x))
KOR_REAL1(Floor, std::floor(x))
KOR_REAL1(Rint, std::nearbyint(x))
KOR_REAL1(Sinh, std::sinh(x))
KOR_REAL1(Cosh, std::cosh(x))
KOR_REAL1(Tanh, std::tanh(x))
KOR_REAL1(Asinh, std::asinh(x))
KOR_REAL1(Sin, cx.format.degrees() ? rm::sin_deg(x) : std::sin(x))
KOR_REAL1(Cos, cx.format.degrees() ? rm::cos_deg(x) : std::cos(x))
KOR_REAL1(Tan, cx.format.degrees() ? rm::tan_deg(x) : std::tan(x))
KOR_REAL1(Atan, cx.format.degrees() ? rm::atan_deg(x) : std::atan(x))
KOR_REAL1_IF(Sqrt, !(x < 0.0), std::sqrt(x))
KOR_REAL1_IF(Asin, std::isnan(x) || (x >= -1 && x <= 1), cx.format.degrees() ? rm::asin_deg(x) : std::asin(x))
KOR_REAL1_IF(Acos, std::isnan(x) || (x >= -1 && x <= 1), cx.format.degrees() ? rm::acos_deg(x) : std::acos(x))
KOR_REAL1_IF(Atanh, std::isnan(x) || (x >= -1 && x <= 1), std::atanh(x))
KOR_REAL1_IF(Acosh, std::isnan(x) || x >= 1, std::acosh(x))
KOR_REAL1_IF(Ln, std::isnan(x) || x >= 0, std::log(x))
KOR_REAL1_IF(Log, std::isnan(x) || x >= 0, std::log10(x))
KOR_REAL1_IF(Ln1p, std::isnan(x) || x >= -1, std::log1p(x))
KOR_REAL1_IF(Sqrt1pm1, std::isnan(x) || x >= -1, rm::sqrt1pm1(x))

Status h_REALADD(Context &cx) { return with_constant(cx, h_ADD, false); }
Status h_REALSUB(Context &cx) { return with_constant(cx, h_SUB, false); }
Status h_REALMUL(Context &cx) { return with_constant(cx, h_MUL, false); }
Status h_REALDIV(Context &cx) { return with_constant(cx, h_DIV, false); }
Status h_REALNEG(Context &cx) { return with_constant(cx, h_SUB, true); }
Status h_REALINV(Context &cx) { return with_constant(cx, h_DIV, true); }

} // namespace OP
