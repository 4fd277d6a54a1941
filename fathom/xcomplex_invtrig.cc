// casinh, cacosh, catanh, cacos and, through casin(z) = -i casinh(iz),
// catan(z) = -i catanh(iz), casin and catan of extended complex numbers.
//
// Kahan's forms ("Branch cuts for complex elementary functions", 1987), in
// the working float:
//   asin z = atan(x / Re(s1 s2)) + i asinh(Im(conj(s1) s2)),
//   acos z = 2 atan(Re s1 / Re s2) + i asinh(Im(conj(s2) s1)),
//     with s1 = sqrt(1 - z), s2 = sqrt(1 + z);
//   acosh z = asinh(Re(conj(t1) t2)) + 2i atan(Im t1 / Re t2),
//     with t1 = sqrt(z - 1), t2 = sqrt(z + 1);
//   atanh z = log1p(4x / ((1 - x)^2 + y^2))/4 + i atan2(2y, (1 - x)(1 + x) - y^2)/2.
// In the first three every sum adds terms of one sign, and the signed zero
// of Im z carries through 1 -+ z and the square roots to the side of the
// cut.  atanh's imaginary part cancels near the unit circle (about 60
// bits in hand).  Special values as C99's Annex G.
#include <cmath>

#include "fathom/xcomplex_wide.h"
#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

namespace detail {

WC wcSqrt(const WC &z) {
  if (wIsZero(z.re) && wIsZero(z.im)) return {wZero(), z.im};
  W mod = wSqrt(wAdd(wSqr(z.re), wSqr(z.im)));
  W t = wSqrt(wLdexp(wAdd(wAbs(z.re), mod), -1));
  W twoT = wLdexp(t, 1);
  if (!z.re.neg) return {t, wDiv(z.im, twoT)};
  W im = t;
  im.neg = z.im.neg;
  return {wDiv(wAbs(z.im), twoT), im};
}

W asinhW(const W &v) {
  W a = wAbs(v), one = wFromInt(1);
  W a2 = wSqr(a);
  W r = log1pW(wAdd(a, wDiv(a2, wAdd(one, wSqrt(wAdd(one, a2))))));
  r.neg = v.neg;
  return r;
}

} // namespace detail

namespace {

bool finite(XComplexValue a) { return isFinite(a.re) && isFinite(a.im); }
XComplexValue mulI(XComplexValue a) { return {neg(a.im), a.re}; }
XComplexValue mulMinusI(XComplexValue a) { return {a.im, neg(a.re)}; }

// 1 + s z (s = +-1), keeping the sign of a zero imaginary part.
WC onePlus(const WC &z, bool minus) {
  W one = wFromInt(1);
  if (minus) return {wSub(one, z.re), wNeg(z.im)};
  return {wAdd(one, z.re), z.im};
}

// atan(p/q) with the sign of p, q >= 0.
W atanSigned(const W &p, const W &q) {
  W r = atanRatioW(wAbs(p), wAbs(q));
  r.neg = p.neg;
  return r;
}

XRealValue piFraction(double f) { return wToX(wMul(kWPi, wFromDouble(f))); }

// asinh with an infinite or NaN part (C99 G.6.2.2).
XComplexValue casinhSpecial(XComplexValue a) {
  XRealValue x = a.re, y = a.im, nanv = nan();
  bool sx = signBit(x), sy = signBit(y);
  if (isNaN(x)) {
    if (isInf(y)) return {infinity(sx), nanv};
    if (isZero(y)) return {nanv, y};
    return {nanv, nanv};
  }
  if (isNaN(y)) return isInf(x) ? XComplexValue{x, nanv} : XComplexValue{nanv, nanv};
  if (isInf(x) && isInf(y)) return {x, copySign(piFraction(0.25), sy)};
  if (isInf(x)) return {x, zero(sy)};
  return {infinity(sx), copySign(piFraction(0.5), sy)};          // y infinite
}

// acosh with an infinite or NaN part (C99 G.6.2.1).
XComplexValue cacoshSpecial(XComplexValue a) {
  XRealValue x = a.re, y = a.im, nanv = nan(), inf = infinity();
  bool sy = signBit(y);
  if (isNaN(x)) return {isInf(y) ? inf : nanv, nanv};
  if (isNaN(y)) return {isInf(x) ? inf : nanv, nanv};
  if (isInf(y)) {
    if (isInf(x)) return {inf, copySign(piFraction(signBit(x) ? 0.75 : 0.25), sy)};
    return {inf, copySign(piFraction(0.5), sy)};
  }
  return {inf, signBit(x) ? copySign(xpi(), sy) : zero(sy)};     // x infinite, y finite
}

// atanh with an infinite or NaN part (C99 G.6.2.3).
XComplexValue catanhSpecial(XComplexValue a) {
  XRealValue x = a.re, y = a.im, nanv = nan();
  bool sx = signBit(x), sy = signBit(y);
  if (isNaN(x)) {
    if (isInf(y)) return {zero(sx), copySign(piFraction(0.5), sy)};
    return {nanv, nanv};
  }
  if (isNaN(y)) {
    if (isInf(x)) return {zero(sx), nanv};
    if (isZero(x)) return {x, nanv};
    return {nanv, nanv};
  }
  return {zero(sx), copySign(piFraction(0.5), sy)};              // an infinite part
}

} // namespace

XComplexValue casinh(XComplexValue a) {
  if (!finite(a)) return casinhSpecial(a);
  // asinh z = -i asin(iz); asin w with w = iz = (-y, x).
  WC w = {wNeg(wFromX0(a.im)), wFromX0(a.re)};
  WC s1 = wcSqrt(onePlus(w, true)), s2 = wcSqrt(onePlus(w, false));
  W reProd = wSub(wMul(s1.re, s2.re), wMul(s1.im, s2.im));         // Re(s1 s2) >= 0
  W imProd = wSub(wMul(s1.re, s2.im), wMul(s1.im, s2.re));         // Im(conj(s1) s2)
  W xi = atanSigned(w.re, reProd);
  if (wIsZero(w.re)) xi = w.re;
  W eta = asinhW(imProd);
  if (wIsZero(imProd)) eta = imProd;
  return {wToX(eta), wToX(wNeg(xi))};                                // -i (xi + i eta)
}

XComplexValue casin(XComplexValue a) { return mulMinusI(casinh(mulI(a))); }

XComplexValue cacos(XComplexValue a) {
  if (!finite(a)) {
    // acos z = pi/2 - asin z (exact for the special values' limits).
    XComplexValue s = casin(a);
    if (isNaN(s.re)) return {s.re, isInf(s.im) ? neg(s.im) : s.im};
    return {xpi() * fromDouble(0.5) - s.re, neg(s.im)};
  }
  WC z = wcFromX(a);
  WC s1 = wcSqrt(onePlus(z, true)), s2 = wcSqrt(onePlus(z, false));
  W xi = wLdexp(atanRatioW(s1.re, s2.re), 1);
  W imProd = wSub(wMul(s2.re, s1.im), wMul(s2.im, s1.re));         // Im(conj(s2) s1)
  W eta = wIsZero(imProd) ? imProd : asinhW(imProd);
  return {wToX(xi), wToX(eta)};
}

XComplexValue cacosh(XComplexValue a) {
  if (!finite(a)) return cacoshSpecial(a);
  WC z = wcFromX(a);
  W one = wFromInt(1);
  WC t1 = wcSqrt({wSub(z.re, one), z.im}), t2 = wcSqrt({wAdd(z.re, one), z.im});
  W reProd = wAdd(wMul(t1.re, t2.re), wMul(t1.im, t2.im));         // Re(conj(t1) t2) >= 0
  W xi = wIsZero(reProd) ? wZero() : asinhW(reProd);
  W eta = wIsZero(t1.im) ? t1.im : wLdexp(atanSigned(t1.im, t2.re), 1);
  return {wToX(xi), wToX(eta)};
}

namespace {

// atanh z for Re z >= 0 (or +-0): the argument of log1p is then positive.
XComplexValue catanhRight(XComplexValue a) {
  WC z = wcFromX(a);
  W one = wFromInt(1);
  W omx = wSub(one, z.re);
  W den = wAdd(wSqr(omx), wSqr(z.im));
  W re = wLdexp(log1pW(wDiv(wLdexp(z.re, 2), den)), -2);
  if (wIsZero(z.re)) re = z.re;
  // atan2(2y, (1 - x)(1 + x) - y^2) / 2.
  W q = wSub(wMul(omx, wAdd(one, z.re)), wSqr(z.im));
  W py = wLdexp(z.im, 1);
  W im;
  if (wIsZero(q) && wIsZero(py)) {
    im = py;
  } else {
    im = atanRatioW(wAbs(py), wAbs(q));
    if (q.neg && !wIsZero(q)) im = wSub(kWPi, im);
    im.neg = z.im.neg;
  }
  return {wToX(re), wToX(wLdexp(im, -1))};
}

} // namespace

// atanh(-z) = -atanh(z) keeps the real part's log1p from cancelling.
XComplexValue catanh(XComplexValue a) {
  if (!finite(a)) return catanhSpecial(a);
  XRealValue x = a.re, y = a.im;
  if (isZero(y) && compare(fabs(x), fromInt64(1)) == 0) return {infinity(signBit(x)), y};
  if (!signBit(x)) return catanhRight(a);
  return cneg(catanhRight(cneg(a)));
}

XComplexValue catan(XComplexValue a) { return mulMinusI(catanh(mulI(a))); }

} // namespace fathom
