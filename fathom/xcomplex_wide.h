// Complex numbers of working floats, for the extended complex functions:
// each part of a result is formed at 192 bits and rounded once.
#pragma once

#include "fathom/xcomplex.h"
#include "fathom/xmath_kernels.h"

namespace fathom::detail {

struct WC {
  W re, im;
};

inline WC wcFromX(XComplexValue z) { return {wFromX0(z.re), wFromX0(z.im)}; }
inline XComplexValue wcToX(const WC &z) { return {wToX(z.re), wToX(z.im)}; }
inline WC wcMul(const WC &a, const WC &b) {
  return {wSub(wMul(a.re, b.re), wMul(a.im, b.im)), wAdd(wMul(a.re, b.im), wMul(a.im, b.re))};
}

// The principal square root; the sign of a zero imaginary part picks the
// side of the cut along the negative real axis.
WC wcSqrt(const WC &z);
// asinh of a working float, relative accuracy near 0.
W asinhW(const W &v);

// Signed zeros and the quadrant's zero: x with the sign of s.
inline XRealValue copySign(XRealValue x, bool negative) {
  return signBit(x) == negative ? x : neg(x);
}

} // namespace fathom::detail
