// Extended modified Bessel functions I0, I1, K0, K1 (constants:
// scripts/gen_xsf_bessel.py).
//
//   I:  |x| <= 12: power series in y = x^2 (positive terms);
//       beyond: exp(|x|) G(|x|) / sqrt(|x|), G fitted on pieces up to
//       60.75, then in 1/x.
//   K:  0 < x <= 4: K0 = -log(x) I0 + S(y), K1 = 1/x + log(x) I1 + x S(y)
//       (the terms exceed K by at most 2^11);
//       beyond: exp(-x) G(x) / sqrt(x), G fitted on pieces up to 45.56,
//       then in 1/x.
// Everything runs in the 192-bit working float and is rounded once, so
// the ends of the range (overflow of I and underflow of K near
// x = 2.3026e8) are rounded correctly.  K of negative arguments is NaN.
#include <iterator>

#include "fathom/xmath_kernels.h"
#include "fathom/xsf_bessel_internal.h"
#include "fathom/xsf_fit_bessel.h"
#include "fathom/xspecial_bessel.h"

namespace fathom {
namespace detail::xsf {
namespace {

template <size_t N> constexpr int len(const XCoef (&)[N]) { return (int)N; }

// Beyond this, I overflows and K underflows every extended real (the
// largest binary exponent is 332192810: e^x / sqrt(2 pi x) passes it at
// x = 2.30258528e8).
constexpr double kExpLimit = 2.31e8;

// G(x) / sqrt(x) for x > 12 (I) or x > 4 (K): the scaled function.
template <size_t N1, size_t N2>
W scaledForm(const XPiece (&mid)[N1], const XCoef *midCoef, const XPiece (&asym)[N2],
             const XCoef *asymCoef, double asymStart, const W &x) {
  double xd = wToDouble(x);
  W g;
  if (xd < asymStart) g = evalPiece(findPiece(mid, (int)N1, xd), midCoef, x);
  else g = evalPiece(asym[0], asymCoef, wRecip(x));
  return wDiv(g, wSqrt(x));
}

W i0Series(const W &x) { return wPoly(kI0Series, len(kI0Series), wSqr(x)); }
W i1Series(const W &x) { return wMul(x, wPoly(kI1Series, len(kI1Series), wSqr(x))); }

// K0, K1 for 0 < x <= 4.
W k0Small(const W &x) {
  W i0, s;
  wPoly2(kI0Series, len(kI0Series), kK0Series, len(kK0Series), wSqr(x), &i0, &s);
  return wSub(s, wMul(logW(x), i0));
}

W k1Small(const W &x) {
  W i1, s;
  wPoly2(kI1Series, len(kI1Series), kK1Series, len(kK1Series), wSqr(x), &i1, &s);
  // 1/x + x (log(x) S1 + S)
  return wAdd(wRecip(x), wMul(x, wAdd(wMul(logW(x), i1), s)));
}

} // namespace

W besselI0ScaledW(const W &x) {
  if (wToDouble(x) <= kSeriesEnd) return wMul(i0Series(x), expW(wNeg(x)));
  return scaledForm(kI0Mid, kI0MidCoef, kI0Asym, kI0AsymCoef, kIAsym, x);
}

W besselI1ScaledW(const W &x) {
  if (wToDouble(x) <= kSeriesEnd) return wMul(i1Series(x), expW(wNeg(x)));
  return scaledForm(kI1Mid, kI1MidCoef, kI1Asym, kI1AsymCoef, kIAsym, x);
}

W besselK0ScaledW(const W &x) {
  if (wToDouble(x) <= kKSeriesEnd) return wMul(k0Small(x), expW(x));
  return scaledForm(kK0Mid, kK0MidCoef, kK0Asym, kK0AsymCoef, kKAsym, x);
}

W besselK1ScaledW(const W &x) {
  if (wToDouble(x) <= kKSeriesEnd) return wMul(k1Small(x), expW(x));
  return scaledForm(kK1Mid, kK1MidCoef, kK1Asym, kK1AsymCoef, kKAsym, x);
}

namespace {

// I0 or I1 of |x| > 0.
W iPos(int n, const W &x) {
  if (wToDouble(x) <= kSeriesEnd) return n ? i1Series(x) : i0Series(x);
  W g = n ? besselI1ScaledW(x) : besselI0ScaledW(x);
  return wMul(g, expW(x));
}

W kPos(int n, const W &x) {
  if (wToDouble(x) <= kKSeriesEnd) return n ? k1Small(x) : k0Small(x);
  W g = n ? besselK1ScaledW(x) : besselK0ScaledW(x);
  return wMul(g, expW(wNeg(x)));
}

} // namespace
} // namespace detail::xsf

using namespace detail;
using namespace detail::xsf;

XRealValue besselI0(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return infinity();
  if (isZero(x)) return fromInt64(1);
  W ax = wAbs(wFromX(x));
  if (wToDouble(ax) > kExpLimit) return infinity();
  return wToX(iPos(0, ax));
}

XRealValue besselI1(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x) || isZero(x)) return x;
  W ax = wAbs(wFromX(x));
  if (wToDouble(ax) > kExpLimit) return infinity(signBit(x));
  W r = iPos(1, ax);
  return wToX(signBit(x) ? wNeg(r) : r);     // odd
}

XRealValue besselK0(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity();
  if (signBit(x)) return nan();
  if (isInf(x)) return zero();
  W w = wFromX(x);
  if (wToDouble(w) > kExpLimit) return zero();
  return wToX(kPos(0, w));
}

XRealValue besselK1(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity();
  if (signBit(x)) return nan();
  if (isInf(x)) return zero();
  W w = wFromX(x);
  if (wToDouble(w) > kExpLimit) return zero();
  return wToX(kPos(1, w));
}

} // namespace fathom
