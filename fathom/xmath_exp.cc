// exp, expm1 and exp10 of the extended real.
//
// t = k*ln2/256 + r with |r| <= ln2/512, k = 256n + j:
// e^t = 2^n * 2^(j/256) * e^r, the table value at 192 bits and e^r from its
// Taylor series (16 terms, truncation error 2^-196).  The reduction loses
// |k|*2^-199 absolutely, under 2^-160 relative to the result for every t
// that does not overflow.  Result: within 0.5 + 2^-30 ulp.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

namespace detail {

// The reduction; returns r, sets k.
static W expReduce(const W &t, int64_t *k) {
  double kd = std::nearbyint(wToDouble(t) * (256 / 0.69314718055994530942));
  *k = (int64_t)kd;
  if (*k == 0) return t;
  return wSub(t, wMul(wFromInt(*k), wLdexp(kWLn2, -8)));
}

W expW(const W &t) {
  int64_t k;
  W r = expReduce(t, &k);
  W p = wHorner(r, kExpCoef, 16);
  W s = wMul(p, kExp2Frac[k & 255]);
  s.e += k >> 8;
  return s;
}

W expm1W(const W &t) {
  int64_t k;
  W r = expReduce(t, &k);
  if (k != 0) return wSub(expW(t), wFromInt(1));   // |result| >= 2^-9.6: no large cancellation
  return wMul(r, wHorner(r, kExpCoef + 1, 15));
}

} // namespace detail

// Beyond these |x| the result overflows or underflows to zero (the binary
// exponent range is +-332 million, times ln 2).
static const double kExpOver = 230260000.0;     // > (EMAX - BIAS + 1) ln2 = 230258509.9
static const double kExpUnder = -230260100.0;   // < (EMIN - BIAS - 128) ln2

static XRealValue expSpecial(XRealValue x, bool minus1) {
  if (isNaN(x)) return x;
  if (isInf(x)) return signBit(x) ? (minus1 ? fromInt64(-1) : zero()) : x;
  return minus1 ? x : fromInt64(1);             // zero: e^0 = 1, expm1(+-0) = +-0
}

XRealValue exp(XRealValue x) {
  if (x.w0 == 0) return expSpecial(x, false);
  double d = toDouble(x);
  if (d > kExpOver) return infinity();
  if (d < kExpUnder) return zero();
  return wToX(expW(wFromX(x)));
}

XRealValue expm1(XRealValue x) {
  if (x.w0 == 0) return expSpecial(x, true);
  double d = toDouble(x);
  if (d > kExpOver) return infinity();
  if (d < -400) return fromInt64(-1);           // e^x < 2^-577: -1 + e^x rounds to -1
  return wToX(expm1W(wFromX(x)));
}

// Integral x with 10^x exact (0 <= x <= 55: 5^55 < 2^128) or its correctly
// rounded reciprocal (-55 <= x < 0).
static bool exp10Exact(XRealValue x, XRealValue *out) {
  double d = toDouble(x);
  if (!(std::fabs(d) <= 55) || d != std::nearbyint(d) || compare(x, fromDouble(d)) != 0) return false;
  int n = (int)std::fabs(d);
  XRealValue p = fromInt64(1), ten = fromInt64(10);
  for (int i = 0; i < n; i++) p = p * ten;       // every partial power is exact
  *out = d < 0 ? fromInt64(1) / p : p;
  return true;
}

XRealValue exp10(XRealValue x) {
  if (x.w0 == 0) return expSpecial(x, false);
  XRealValue exact;
  if (exp10Exact(x, &exact)) return exact;
  double d = toDouble(x);
  if (d > kExpOver / 2.302585092994046) return infinity();
  if (d < kExpUnder / 2.302585092994046) return zero();
  return wToX(expW(wMul(wFromX(x), kWLn10)));
}

} // namespace fathom
