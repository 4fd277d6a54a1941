// atan, atan2, asin and acos of the extended real.
//
// atan(y/x) for 0 <= y <= x: c = j/128 nearest to y/x, t = (y - cx)/(x + cy)
// with |t| <= 2^-8 (the numerator and denominator are exact for extended
// real operands), atan(y/x) = atan(c) + atan(t), the table value at 192 bits
// and atan t from 13 terms of its series (truncation error 2^-212).  For
// y > x the result is pi/2 - atan(x/y), which never cancels.  asin and acos
// go through atan2 with sqrt((1 - x)(1 + x)), whose factors are exact.
// Results: within 0.5 + 2^-40 ulp.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

namespace detail {

// atan(y/x) for 0 <= y <= x, x > 0.
static W atanSmallRatio(const W &y, const W &x) {
  if (wIsZero(y)) return wZero();
  int64_t de = y.e - x.e;
  double rho = de < -60 ? 0 : std::ldexp((double)hi64(y.hi) / (double)hi64(x.hi), (int)de);
  int j = (int)std::nearbyint(rho * 128);
  if (j > 128) j = 128;
  W t;
  if (j == 0) {
    t = wDiv(y, x);
  } else {
    W c = wLdexp(wFromInt(j), -7);
    t = wDiv(wSub(y, wMul(c, x)), wAdd(x, wMul(c, y)));
  }
  W a = wMul(t, wHorner(wSqr(t), kAtanCoef, 13));
  return j ? wAdd(kAtanTab[j], a) : a;
}

W atanRatioW(const W &y, const W &x) {
  if (wIsZero(x)) return kWPiHalf;
  if (wMagLess(x, y)) return wSub(kWPiHalf, atanSmallRatio(x, y));
  return atanSmallRatio(y, x);
}

} // namespace detail

XRealValue atan(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (isInf(x)) return signBit(x) ? neg(kXPi * fromDouble(0.5)) : kXPi * fromDouble(0.5);
  W a = atanRatioW(wAbs(wFromX(x)), wFromInt(1));
  a.neg = signBit(x);
  return wToX(a);
}

// C99's special values: signed zeros and infinities pick the quadrant.
static XRealValue atan2Special(XRealValue y, XRealValue x) {
  bool sy = signBit(y);
  W a;
  if (isInf(y)) {
    if (isInf(x)) a = signBit(x) ? wMul(kWPi, wFromDouble(0.75)) : wLdexp(kWPi, -2);
    else a = kWPiHalf;
  } else if (isZero(y)) {
    if (!signBit(x)) return zero(sy);                 // +0, x > 0 or +inf
    a = kWPi;
  } else if (isZero(x)) {
    a = kWPiHalf;
  } else {                                            // x infinite, y finite
    if (!signBit(x)) return zero(sy);
    a = kWPi;
  }
  a.neg = sy;
  return wToX(a);
}

XRealValue atan2(XRealValue y, XRealValue x) {
  if (isNaN(y) || isNaN(x)) return isNaN(y) ? y : x;
  if (y.w0 == 0 || x.w0 == 0) return atan2Special(y, x);
  W a = atanRatioW(wAbs(wFromX(y)), wAbs(wFromX(x)));
  if (signBit(x)) a = wSub(kWPi, a);
  a.neg = signBit(y);
  return wToX(a);
}

// sqrt(1 - a^2) for 0 <= a <= 1 from its exact factors.
static W cosOfAsin(const W &a) {
  W one = wFromInt(1);
  return wSqrt(wMul(wSub(one, a), wAdd(one, a)));
}

// NaN outside [-1, 1].
static bool invTrigDomain(XRealValue x) {
  return !isNaN(x) && compare(fabs(x), fromInt64(1)) <= 0;
}

XRealValue asin(XRealValue x) {
  if (isZero(x) || isNaN(x)) return x;
  if (!invTrigDomain(x)) return nan();
  W a = wAbs(wFromX(x));
  W r = atanRatioW(a, cosOfAsin(a));
  r.neg = signBit(x);
  return wToX(r);
}

XRealValue acos(XRealValue x) {
  if (isNaN(x)) return x;
  if (!invTrigDomain(x)) return nan();
  if (isZero(x)) return wToX(kWPiHalf);
  W a = wAbs(wFromX(x));
  W r = atanRatioW(cosOfAsin(a), a);
  if (signBit(x)) r = wSub(kWPi, r);
  return wToX(r);
}

} // namespace fathom
