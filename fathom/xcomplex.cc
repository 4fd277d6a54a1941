#include "fathom/xcomplex.h"

namespace fathom {

XComplexValue cadd(XComplexValue a, XComplexValue b) { return {a.re + b.re, a.im + b.im}; }
XComplexValue csub(XComplexValue a, XComplexValue b) { return {a.re - b.re, a.im - b.im}; }
XComplexValue cneg(XComplexValue a) { return {neg(a.re), neg(a.im)}; }
XComplexValue cconj(XComplexValue a) { return {a.re, neg(a.im)}; }

XComplexValue cmul(XComplexValue a, XComplexValue b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

XComplexValue cdiv(XComplexValue a, XComplexValue b) {
  if (fabs(b.re) >= fabs(b.im)) {
    if (isZero(b.re) && isZero(b.im)) return {a.re / b.re, a.im / b.re};   // IEEE results
    XRealValue r = b.im / b.re, d = b.re + b.im * r;
    return {(a.re + a.im * r) / d, (a.im - a.re * r) / d};
  }
  XRealValue r = b.re / b.im, d = b.im + b.re * r;
  return {(a.re * r + a.im) / d, (a.im * r - a.re) / d};
}

XRealValue hypot(XRealValue x, XRealValue y) {
  if (isInf(x) || isInf(y)) return infinity();
  if (isNaN(x) || isNaN(y)) return nan();
  x = fabs(x);
  y = fabs(y);
  if (x < y) {
    XRealValue t = x;
    x = y;
    y = t;
  }
  if (isZero(x)) return x;
  // Scale by the larger exponent so the squares stay in range.
  int e;
  frexp(x, &e);
  XRealValue xs = ldexp(x, -e), ys = ldexp(y, -e);
  return ldexp(sqrt(xs * xs + ys * ys), e);
}

XRealValue cabs(XComplexValue a) { return hypot(a.re, a.im); }

XComplexValue csqrt(XComplexValue a) {
  XRealValue zero = fathom::zero();
  if (isZero(a.re) && isZero(a.im)) return {zero, a.im};
  XRealValue half = fromDouble(0.5);
  XRealValue t = sqrt((fabs(a.re) + cabs(a)) * half);
  if (!signBit(a.re)) return {t, a.im / (t + t)};
  XRealValue im = signBit(a.im) ? neg(t) : t;
  return {fabs(a.im) / (t + t), im};
}

} // namespace fathom
