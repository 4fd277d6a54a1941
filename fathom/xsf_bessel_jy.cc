// Extended Bessel functions J0, J1, Y0, Y1 (constants: scripts/gen_xsf_bessel.py).
//
//   x <= 12    power series in y = x^2 with exact Taylor coefficients:
//              J0 = S0(y), J1 = x S1(y), Y0 = (2/pi) log(x) J0 + R0(y),
//              Y1 = (2/pi) log(x) J1 - 2/(pi x) + x R1(y).  The terms reach
//              2^17 times the amplitude at x = 12, so the absolute error
//              stays near 2^-172 of it.
//   x > 12     Hankel's P and Q (fits on pieces up to 60.75, then in
//              1/x^2): with s = sin x, c = cos x (exact reduction),
//              J0 = ((P+Q) c + (P-Q) s) / sqrt(pi x),
//              Y0 = ((P+Q) s - (P-Q) c) / sqrt(pi x),
//              J1 = ((P+Q) s - (P-Q) c) / sqrt(pi x),
//              Y1 = -((P-Q) s + (P+Q) c) / sqrt(pi x)   (P, Q of order 1).
//   |x - z| <= 2^-32 around each zero z below 64: the zero's Taylor
//              patch, so the extended reals closest to the zeros keep
//              their relative accuracy.  From 64 on, the error near a zero
//              is bounded by about 2^-170 of the amplitude sqrt(2/(pi x)).
// Beyond 2^1048576 (where sin and cos are refused) the result is NaN.
#include <iterator>

#include "fathom/xmath_kernels.h"
#include "fathom/xsf_bessel_internal.h"
#include "fathom/xsf_fit_bessel.h"
#include "fathom/xspecial_bessel.h"

namespace fathom {
namespace detail::xsf {
namespace {

template <size_t N> constexpr int len(const XCoef (&)[N]) { return (int)N; }

// Hankel's P and Q of order n (0 or 1) at x > 12.
void hankelPQ(int n, const W &x, double xd, W *p, W *q) {
  if (xd < kPQAsym) {
    const XPiece *pt = n ? kP1Mid : kP0Mid, *qt = n ? kQ1Mid : kQ0Mid;
    const XCoef *pc = n ? kP1MidCoef : kP0MidCoef, *qc = n ? kQ1MidCoef : kQ0MidCoef;
    const XPiece &pp = findPiece(pt, (int)std::size(kP0Mid), xd);
    evalPiece2(pp, pc, qt[&pp - pt], qc, x, p, q);
    return;
  }
  W r = wRecip(x), xq;
  W u = wSqr(r);
  if (n) evalPiece2(kP1Asym[0], kP1AsymCoef, kQ1Asym[0], kQ1AsymCoef, u, p, &xq);
  else evalPiece2(kP0Asym[0], kP0AsymCoef, kQ0Asym[0], kQ0AsymCoef, u, p, &xq);
  *q = wMul(xq, r);
}

// a = P + Q, b = P - Q, s = sin x, c = cos x, r = 1/sqrt(pi x).
struct Osc {
  W a, b, s, c, r;
};

bool oscillating(int n, const W &x, double xd, Osc *o) {
  if (!sincosAnyW(x, &o->s, &o->c)) return false;
  W p, q;
  hankelPQ(n, x, xd, &p, &q);
  o->a = wAdd(p, q);
  o->b = wSub(p, q);
  o->r = wDiv(wc(kInvSqrtPi[0]), wSqrt(x));
  return true;
}

// The zero patch of the table for f, if x is within its radius.
template <size_t N> bool patch(const XZero (&t)[N], const W &x, double xd, W *out) {
  if (!out || xd > kZeroLimit + 1) return false;
  const XZero *z = findZero(t, (int)N, xd, kZeroPatchRadius);
  if (!z) return false;
  *out = evalZero(*z, x);
  return true;
}

} // namespace

bool besselJY0W(const W &x, W *j, W *y) {
  double xd = wToDouble(x);
  bool pj = patch(kJ0Zeros, x, xd, j), py = patch(kY0Zeros, x, xd, y);
  W *wj = pj ? nullptr : j, *wy = py ? nullptr : y;
  if (!wj && !wy) return true;
  if (xd <= kSeriesEnd) {
    W t = wSqr(x), s0, r0;
    if (!wy) {
      *wj = wPoly(kJ0Series, len(kJ0Series), t);
      return true;
    }
    wPoly2(kJ0Series, len(kJ0Series), kY0Series, len(kY0Series), t, &s0, &r0);
    *wy = wAdd(wMul(wMul(wc(kTwoOverPi[0]), logW(x)), s0), r0);
    if (wj) *wj = s0;
    return true;
  }
  Osc o;
  if (!oscillating(0, x, xd, &o)) return false;
  if (wj) *wj = wMul(o.r, wAdd(wMul(o.a, o.c), wMul(o.b, o.s)));
  if (wy) *wy = wMul(o.r, wSub(wMul(o.a, o.s), wMul(o.b, o.c)));
  return true;
}

bool besselJY1W(const W &x, W *j, W *y) {
  double xd = wToDouble(x);
  bool pj = patch(kJ1Zeros, x, xd, j), py = patch(kY1Zeros, x, xd, y);
  W *wj = pj ? nullptr : j, *wy = py ? nullptr : y;
  if (!wj && !wy) return true;
  if (xd <= kSeriesEnd) {
    W t = wSqr(x), s1, r1;
    if (!wy) {
      *wj = wMul(x, wPoly(kJ1Series, len(kJ1Series), t));
      return true;
    }
    wPoly2(kJ1Series, len(kJ1Series), kY1Series, len(kY1Series), t, &s1, &r1);
    W inner = wAdd(wMul(wMul(wc(kTwoOverPi[0]), logW(x)), s1), r1);
    *wy = wSub(wMul(x, inner), wDiv(wc(kTwoOverPi[0]), x));
    if (wj) *wj = wMul(x, s1);
    return true;
  }
  Osc o;
  if (!oscillating(1, x, xd, &o)) return false;
  if (wj) *wj = wMul(o.r, wSub(wMul(o.a, o.s), wMul(o.b, o.c)));
  if (wy) *wy = wNeg(wMul(o.r, wAdd(wMul(o.b, o.s), wMul(o.a, o.c))));
  return true;
}

} // namespace detail::xsf

using namespace detail;
using namespace detail::xsf;

XRealValue besselJ0(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return zero();
  if (isZero(x)) return fromInt64(1);
  W j;
  if (!besselJY0W(wAbs(wFromX(x)), &j, nullptr)) return nan();
  return wToX(j);
}

XRealValue besselJ1(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return zero(signBit(x));
  if (isZero(x)) return x;
  W j;
  if (!besselJY1W(wAbs(wFromX(x)), &j, nullptr)) return nan();
  return wToX(signBit(x) ? wNeg(j) : j);     // odd
}

XRealValue besselY0(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(true);
  if (signBit(x)) return nan();
  if (isInf(x)) return zero();
  W y;
  if (!besselJY0W(wFromX(x), nullptr, &y)) return nan();
  return wToX(y);
}

XRealValue besselY1(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(true);
  if (signBit(x)) return nan();
  if (isInf(x)) return zero();
  W y;
  if (!besselJY1W(wFromX(x), nullptr, &y)) return nan();
  return wToX(y);
}

} // namespace fathom
