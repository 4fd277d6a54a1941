// sin, cos and tan of the extended real.
//
// x = q pi/2 + r, |r| <= pi/4 (exact Payne-Hanek reduction, see
// xmath_reduce.cc); r = a + t with a = j/256 and |t| <= 2^-9;
// sin r = sin a cos t + cos a sin t, cos r = cos a cos t - sin a sin t, the
// table values at 192 bits and sin t, cos t from 9 terms of their series
// (truncation errors 2^-218 and 2^-214).  For j = 0 the series alone give
// sin r with its relative accuracy; otherwise both sums stay above half
// their larger term.  tan = sin/cos or -cos/sin.  Results: within
// 0.5 + 2^-40 ulp, including the neighbourhoods of every zero.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

namespace detail {

void sincosW(const W &r, W *s, W *c) {
  W ar = wAbs(r);
  int j = (int)std::nearbyint(wToDouble(ar) * 256);
  if (j >= kSinCosTabSize) j = kSinCosTabSize - 1;
  W t = j ? wSub(ar, wLdexp(wFromInt(j), -8)) : ar;
  W t2 = wSqr(t);
  W st = wMul(t, wHorner(t2, kSinCoef, 9));
  W ct = wHorner(t2, kCosCoef, 9);
  if (j == 0) {
    *s = st;
    *c = ct;
  } else {
    *s = wAdd(wMul(kSinTab[j], ct), wMul(kCosTab[j], st));
    *c = wSub(wMul(kCosTab[j], ct), wMul(kSinTab[j], st));
  }
  if (r.neg) *s = wNeg(*s);
}

bool sincosAnyW(const W &x, W *s, W *c) {
  HalfPiReduced red = reduceHalfPi(x);
  if (!red.ok) return false;
  W sr, cr;
  sincosW(red.r, &sr, &cr);
  switch (red.q) {
  case 0: *s = sr, *c = cr; break;
  case 1: *s = cr, *c = wNeg(sr); break;
  case 2: *s = wNeg(sr), *c = wNeg(cr); break;
  default: *s = wNeg(cr), *c = sr; break;
  }
  return true;
}

} // namespace detail

// NaN for NaN and infinities; zeros give themselves (sin, tan) or 1 (cos).
static XRealValue trigSpecial(XRealValue x, bool isCos) {
  if (isNaN(x)) return x;
  if (isInf(x)) return nan();
  return isCos ? fromInt64(1) : x;
}

XRealValue sin(XRealValue x) {
  if (x.w0 == 0) return trigSpecial(x, false);
  W s, c;
  if (!sincosAnyW(wFromX(x), &s, &c)) return nan();
  return wToX(s);
}

XRealValue cos(XRealValue x) {
  if (x.w0 == 0) return trigSpecial(x, true);
  W s, c;
  if (!sincosAnyW(wFromX(x), &s, &c)) return nan();
  return wToX(c);
}

XRealValue tan(XRealValue x) {
  if (x.w0 == 0) return trigSpecial(x, false);
  W s, c;
  if (!sincosAnyW(wFromX(x), &s, &c)) return nan();
  return wToX(wDiv(s, c));
}

} // namespace fathom
