// carg, cexp, clog, cpow, cexp10, clog10 and ccbrt of extended complex numbers.
//
// cexp = e^x (cos y + i sin y), each part a product of working floats
// rounded once (within 0.5 + 2^-30 ulp per part).  clog = log|z| + i arg z
// with log|z| = log(x^2 + y^2)/2, or log1p((a - 1)(a + 1) + b^2)/2 when
// |z| is near 1 (a = max(|x|, |y|): the factors are exact, so only a
// cancellation of more than 60 bits in x^2 + y^2 - 1 costs accuracy).
// cpow: integral real exponents |n| <= 2^16 by binary powering in the
// working float (exact whenever every power is representable, else within
// n 2^-188 relative), otherwise e^(x log y) in the working float.
#include <cmath>

#include "fathom/xcomplex_wide.h"
#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

XRealValue carg(XComplexValue a) { return atan2(a.im, a.re); }

namespace {

constexpr double kExpLimit = 230260000.0;

// e^t (cos y + i sin y) for finite t (working float) and y; false when y
// is beyond the reduction's table.
bool expCis(const W &t, const W &y, WC *out) {
  W s, c;
  if (wIsZero(y)) {
    s = y;
    c = wFromInt(1);
  } else if (!sincosAnyW(y, &s, &c)) {
    return false;
  }
  double td = wToDouble(t);
  if (td > kExpLimit) {                        // overflow, keeping the signs of cos and sin
    W big = {kTop, 0, INT64_MAX / 8, false};
    *out = {wMul(big, c), wMul(big, s)};
    return true;
  }
  if (td < -kExpLimit - 200) {
    W tiny = {kTop, 0, INT64_MIN / 8, false};
    *out = {wMul(tiny, c), wMul(tiny, s)};
    return true;
  }
  W e = expW(t);
  *out = {wMul(e, c), wMul(e, s)};
  return true;
}

XComplexValue cexpSpecial(XComplexValue a) {
  XRealValue x = a.re, y = a.im;
  XRealValue nanv = nan();
  if (isNaN(x)) return {nanv, isZero(y) ? y : nanv};
  if (isInf(x) && !signBit(x)) {
    if (isZero(y)) return {x, y};
    if (!isFinite(y)) return {x, nanv};
    return {copySign(x, signBit(cos(y))), copySign(x, signBit(sin(y)))};
  }
  if (isInf(x)) {                               // -inf
    if (!isFinite(y)) return {zero(), zero()};
    return {zero(signBit(cos(y))), zero(signBit(sin(y)))};
  }
  return {nanv, nanv};                          // finite x, y infinite or NaN
}

} // namespace

XComplexValue cexp(XComplexValue a) {
  if (!isFinite(a.re) || !isFinite(a.im)) return cexpSpecial(a);
  if (isZero(a.im)) return {exp(a.re), a.im};
  WC r;
  if (!expCis(wFromX0(a.re), wFromX(a.im), &r)) return {nan(), nan()};
  return wcToX(r);
}

namespace detail {

// log|z| for finite z, not zero.
static W logAbs(const WC &z) {
  W a = wAbs(z.re), b = wAbs(z.im);
  if (wMagLess(a, b)) std::swap(a, b);
  W one = wFromInt(1);
  if (a.e == 0 || a.e == -1) {                  // |z|^2 may be near 1
    W s = wAdd(wMul(wSub(a, one), wAdd(a, one)), wSqr(b));
    if (s.e < -1) return wLdexp(log1pW(s), -1);
  }
  return wLdexp(logW(wAdd(wSqr(a), wSqr(b))), -1);
}

} // namespace detail

XComplexValue clog(XComplexValue a) {
  XRealValue x = a.re, y = a.im;
  if (isNaN(x) || isNaN(y)) {
    if (isInf(x) || isInf(y)) return {infinity(), nan()};
    return {nan(), nan()};
  }
  XRealValue im = atan2(y, x);
  if (isInf(x) || isInf(y)) return {infinity(), im};
  if (isZero(x) && isZero(y)) return {infinity(true), im};
  return {wToX(logAbs(wcFromX(a))), im};
}

namespace {

// z^n by binary powering in the working float, n != 0.
WC powInt(const WC &z, int64_t n) {
  uint64_t m = n < 0 ? 0 - (uint64_t)n : (uint64_t)n;
  WC r = {wFromInt(1), wZero()}, p = z;
  for (; m; m >>= 1) {
    if (m & 1) r = wcMul(r, p);
    if (m > 1) p = wcMul(p, p);
  }
  if (n > 0) return r;
  // 1/r = conj(r)/|r|^2, the square kept from overflowing by the wide exponent.
  W d = wAdd(wSqr(r.re), wSqr(r.im));
  return {wDiv(r.re, d), wNeg(wDiv(r.im, d))};
}

bool integralSmall(XRealValue x, int64_t *n) {
  if (!isFinite(x) || isZero(x)) return false;
  double d = toDouble(x);
  if (!(std::fabs(d) <= 65536) || d != std::nearbyint(d) || compare(x, fromDouble(d)) != 0) return false;
  *n = (int64_t)d;
  return true;
}

} // namespace

XComplexValue cpow(XComplexValue y, XComplexValue x) {
  XRealValue one = fromInt64(1), nanv = nan();
  if (isZero(x.re) && isZero(x.im)) return {one, zero()};
  bool finite = isFinite(y.re) && isFinite(y.im) && isFinite(x.re) && isFinite(x.im);
  if (!finite) return cexp(cmul(x, clog(y)));
  bool yZero = isZero(y.re) && isZero(y.im);
  if (yZero) {
    if (isZero(x.im) && !signBit(x.re)) return {zero(), zero()};
    return {nanv, nanv};
  }
  int64_t n;
  if (isZero(x.im) && integralSmall(x.re, &n)) return wcToX(powInt(wcFromX(y), n));
  // log y at 192 bits: log|y| and the argument atan2(Im y, Re y).
  W arg = atanRatioW(wAbs(wFromX0(y.im)), wAbs(wFromX0(y.re)));
  if (signBit(y.re)) arg = wSub(kWPi, arg);
  arg.neg = signBit(y.im);
  WC l = {logAbs(wcFromX(y)), arg};
  WC t = wcMul(wcFromX(x), l);
  WC r;
  if (!expCis(t.re, t.im, &r)) return {nanv, nanv};
  return wcToX(r);
}

} // namespace fathom

namespace fathom {

using namespace detail;

namespace {

// atan2(Im z, Re z) at 192 bits for a finite z that is not zero.
W argW(XComplexValue z) {
  W a = atanRatioW(wAbs(wFromX0(z.im)), wAbs(wFromX0(z.re)));
  if (signBit(z.re)) a = wSub(kWPi, a);
  a.neg = signBit(z.im);
  return a;
}

bool finiteParts(XComplexValue z) { return isFinite(z.re) && isFinite(z.im); }
bool isZeroC(XComplexValue z) { return isZero(z.re) && isZero(z.im); }

XComplexValue scaleParts(XComplexValue z, XRealValue f) { return {mul(z.re, f), mul(z.im, f)}; }

} // namespace

// e^(a ln 10) with the product formed at 192 bits, so that the angle
// Im(a) ln 10 keeps its accuracy; a real a gives exp10 of it, exact for
// integers.
XComplexValue cexp10(XComplexValue a) {
  if (!finiteParts(a)) return cexp(scaleParts(a, xln10()));
  if (isZero(a.im)) return {exp10(a.re), a.im};
  WC r;
  if (!expCis(wMul(wFromX0(a.re), kWLn10), wMul(wFromX(a.im), kWLn10), &r)) return {nan(), nan()};
  return wcToX(r);
}

// (log|a| + i arg a) / ln 10, both parts divided at 192 bits; on the
// positive real axis log10 of the real part, exact for powers of 10.
XComplexValue clog10(XComplexValue a) {
  if (!finiteParts(a) || isZeroC(a))
    return scaleParts(clog(a), wToX(kWInvLn10));
  if (isZero(a.im) && !signBit(a.re)) return {log10(a.re), a.im};
  return {wToX(wMul(logAbs(wcFromX(a)), kWInvLn10)), wToX(wMul(argW(a), kWInvLn10))};
}

// |a|^(1/3) (cos(t/3) + i sin(t/3)), t = arg a, with |a|^(1/3) =
// e^(log|a| / 3): every factor at 192 bits, so that exact roots of exact
// cubes come out exact (cbrt(-8) = 1 + i sqrt 3 rounded once per part).
XComplexValue ccbrt(XComplexValue a) {
  if (isZeroC(a)) return a;
  if (!finiteParts(a)) {
    XComplexValue l = clog(a);
    return cexp({div(l.re, fromInt64(3)), div(l.im, fromInt64(3))});
  }
  W third = wDiv(wFromInt(1), wFromInt(3));
  W m = expW(wMul(logAbs(wcFromX(a)), third));
  W t = wMul(argW(a), third);
  W s = t, c = wFromInt(1);   // a zero angle keeps its sign in the imaginary part
  if (!wIsZero(t)) sincosAnyW(t, &s, &c);   // |t| <= pi/3: always reduced
  return wcToX({wMul(m, c), wMul(m, s)});
}

} // namespace fathom
