// Trigonometric functions of the extended real with angles in degrees.
//
// x = 90 n + r exactly (remquo: the remainder of an extended real by 90 is
// itself an extended real), |r| <= 45, so multiples of 90 reduce to an exact
// zero and n mod 4 picks the quadrant whatever the magnitude of x.  r goes to
// radians as r pi/180 at 192 bits (below 2^-188 relative), whose sine and
// cosine the kernel of sin and cos gives at about 185 bits; one rounding
// ends each function.  So sin 30 is 0.5 exactly: the 192-bit value lies
// within 2^-180 of 0.5, far inside the rounding interval.  The inverse
// functions form their angle in radians at 192 bits, as atan2 does, and
// multiply by 180/pi before the one rounding, which makes integer results
// (asin 0.5 = 30, atan 1 = 45, acos -1 = 180) exact.
//
// Zeros and poles take the signs that IEEE 754-2019 recommends for sinPi,
// cosPi and tanPi (and MPFR's sinu, cosu and tanu give): sin(180 k) is a
// zero with the sign of x, cos's zeros are +0, tan(180 k) is the zero of
// sin/cos (-0 at 180, +0 at -180), and tan(180 k + 90) is +inf for even k
// and -inf for odd k (+inf at 90 and -270, -inf at -90 and 270).
#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

namespace {

// pi/180 and 180/pi rounded to 192 bits.
constexpr W kWPiOver180 = wConst(0x8efa351294e9c8aeull, 0x0ec5f66e9485c4d9ull, 0x00b7aef501b5e6b9ull, -6);
constexpr W kW180OverPi = wConst(0xe52ee0d31e0fbdc3ull, 0x0a97537f40d257d7ull, 0x3482a25f7cbf02ddull, 5);

// sin and cos of the reduced angle r (radians, |r| <= pi/4) and the
// quadrant n mod 4, for finite x.
void reduceDegrees(XRealValue x, W *s, W *c, int *quadrant) {
  int n;
  XRealValue r = remquo(x, fromInt64(90), &n);
  *quadrant = n & 3;   // two's complement: n mod 4 for negative n too
  sincosW(wMul(wFromX0(r), kWPiOver180), s, c);
}

// Degrees from a working angle in radians, with its one rounding.
XRealValue toDegrees(const W &radians) { return wToX(wMul(radians, kW180OverPi)); }

// 180 - a, a in radians (a <= pi), in degrees.
XRealValue supplementDegrees(const W &a) {
  return wToX(wSub(wFromInt(180), wMul(a, kW180OverPi)));
}

// sqrt(1 - a^2) for 0 <= a <= 1 from its exact factors.
W cosOfAsin(const W &a) {
  W one = wFromInt(1);
  return wSqrt(wMul(wSub(one, a), wAdd(one, a)));
}

bool inUnitInterval(XRealValue x) { return compare(fabs(x), fromInt64(1)) <= 0; }

} // namespace

XRealValue sinDeg(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return nan();
  W s, c;
  int q;
  reduceDegrees(x, &s, &c, &q);
  if (wIsZero(s) && !(q & 1)) return zero(signBit(x));   // 180 k
  switch (q) {
  case 0: return wToX(s);
  case 1: return wToX(c);
  case 2: return wToX(wNeg(s));
  default: return wToX(wNeg(c));
  }
}

XRealValue cosDeg(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return nan();
  W s, c;
  int q;
  reduceDegrees(x, &s, &c, &q);
  W v = q == 0 ? c : q == 1 ? wNeg(s) : q == 2 ? wNeg(c) : s;
  if (wIsZero(v)) return zero();
  return wToX(v);
}

XRealValue tanDeg(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return nan();
  W s, c;
  int q;
  reduceDegrees(x, &s, &c, &q);
  if (wIsZero(s)) {
    if (q & 1) return infinity(q == 3);           // 90 + 180 k: + for even k
    return zero(signBit(x) != (q == 2));          // sin(180 k) / cos(180 k)
  }
  if (!(q & 1)) return wToX(wDiv(s, c));          // |c| >= sqrt(1/2)
  return wToX(wNeg(wDiv(c, s)));
}

XRealValue asinDeg(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (!inUnitInterval(x)) return nan();
  W a = wAbs(wFromX(x));
  W r = atanRatioW(a, cosOfAsin(a));
  r.neg = signBit(x);
  return toDegrees(r);
}

XRealValue acosDeg(XRealValue x) {
  if (isNaN(x)) return x;
  if (!inUnitInterval(x)) return nan();
  if (isZero(x)) return fromInt64(90);
  W a = wAbs(wFromX(x));
  W r = atanRatioW(cosOfAsin(a), a);
  return signBit(x) ? supplementDegrees(r) : toDegrees(r);
}

XRealValue atanDeg(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (isInf(x)) return fromInt64(signBit(x) ? -90 : 90);
  W r = atanRatioW(wAbs(wFromX(x)), wFromInt(1));
  r.neg = signBit(x);
  return toDegrees(r);
}

// atan2's special values (C99), which are all whole degrees.
XRealValue atan2Deg(XRealValue y, XRealValue x) {
  if (isNaN(y) || isNaN(x)) return isNaN(y) ? y : x;
  bool sy = signBit(y);
  if (y.w0 == 0 || x.w0 == 0) {
    int64_t a;
    if (isInf(y)) a = isInf(x) ? (signBit(x) ? 135 : 45) : 90;
    else if (isZero(y) || isInf(x)) a = signBit(x) ? 180 : 0;
    else a = 90;                                  // x zero, y finite
    if (a == 0) return zero(sy);
    return fromInt64(sy ? -a : a);
  }
  W r = atanRatioW(wAbs(wFromX(y)), wAbs(wFromX(x)));
  XRealValue d = signBit(x) ? supplementDegrees(r) : toDegrees(r);
  return sy ? neg(d) : d;
}

} // namespace fathom
