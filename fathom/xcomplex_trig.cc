// csinh, ccosh, ctanh and, through csin(z) = -i csinh(iz), ccos(z) =
// ccosh(iz), ctan(z) = -i ctanh(iz), the circular functions of extended
// complex numbers.
//
// csinh = sinh x cos y + i cosh x sin y, ccosh = cosh x cos y + i sinh x sin y:
// products of working floats rounded once (within 0.5 + 2^-30 ulp per part).
// ctanh by Kahan's form ("Branch cuts for complex elementary functions",
// 1987): t = tan y, b = 1 + t^2, s = sinh x, r = cosh x,
// ctanh = (b r s + i t)/(1 + b s^2), whose terms never cancel.  Special
// values as C99's Annex G.
#include <cmath>

#include "fathom/xcomplex_wide.h"
#include "fathom/xmath.h"

namespace fathom {

using namespace detail;

namespace {

constexpr double kHyperLimit = 230260000.0;

bool finite(XComplexValue a) { return isFinite(a.re) && isFinite(a.im); }

// sinh x, cosh x, sin y, cos y for finite |x| <= the limit; false when y is
// beyond the reduction's table.
bool parts(XComplexValue a, W *sh, W *ch, W *s, W *c) {
  sinhcoshW(wFromX0(a.re), sh, ch);
  if (isZero(a.re)) *sh = wFromX0(a.re);
  if (isZero(a.im)) {
    *s = wFromX0(a.im);
    *c = wFromInt(1);
    return true;
  }
  return sincosAnyW(wFromX(a.im), s, c);
}

// x infinite or beyond the limit, or y not finite (C99 G.6.2.5 and G.6.2.4).
XComplexValue csinhcoshSpecial(XComplexValue a, bool isCosh) {
  XRealValue x = a.re, y = a.im, nanv = nan(), inf = infinity();
  bool xBig = isInf(x) || (isFinite(x) && std::fabs(toDouble(x)) > kHyperLimit);
  if (isNaN(x)) {
    if (isZero(y)) return isCosh ? XComplexValue{nanv, y} : XComplexValue{nanv, y};
    return {nanv, nanv};
  }
  if (!xBig) {                                  // finite x, y infinite or NaN
    if (isZero(x)) return isCosh ? XComplexValue{nanv, zero()} : XComplexValue{x, nanv};
    return {nanv, nanv};
  }
  bool sx = signBit(x);
  if (isZero(y)) {
    if (isCosh) return {inf, zero(sx != signBit(y))};
    return {infinity(sx), y};
  }
  if (!isFinite(y)) return {isCosh ? inf : infinity(sx), nanv};
  XRealValue c = cos(y), s = sin(y);
  XRealValue re = infinity(isCosh ? signBit(c) : sx != signBit(c));
  XRealValue im = infinity(isCosh ? sx != signBit(s) : signBit(s));
  return {re, im};
}

bool hyperSpecial(XComplexValue a) {
  return !finite(a) || std::fabs(toDouble(a.re)) > kHyperLimit;
}

XComplexValue mulI(XComplexValue a) { return {neg(a.im), a.re}; }      // i a
XComplexValue mulMinusI(XComplexValue a) { return {a.im, neg(a.re)}; } // -i a

} // namespace

XComplexValue csinh(XComplexValue a) {
  if (hyperSpecial(a)) return csinhcoshSpecial(a, false);
  W sh, ch, s, c;
  if (!parts(a, &sh, &ch, &s, &c)) return {nan(), nan()};
  return {wToX(wMul(sh, c)), wToX(wMul(ch, s))};
}

XComplexValue ccosh(XComplexValue a) {
  if (hyperSpecial(a)) return csinhcoshSpecial(a, true);
  W sh, ch, s, c;
  if (!parts(a, &sh, &ch, &s, &c)) return {nan(), nan()};
  return {wToX(wMul(ch, c)), wToX(wMul(sh, s))};
}

namespace {

XComplexValue ctanhSpecial(XComplexValue a) {
  XRealValue x = a.re, y = a.im, nanv = nan();
  if (isNaN(x)) return {nanv, isZero(y) ? y : nanv};
  if (isInf(x) || std::fabs(toDouble(x)) > kHyperLimit) {   // 1 + i 4t e^-2|x|/(1 + t^2) underflows
    XRealValue one = fromInt64(signBit(x) ? -1 : 1);
    if (!isFinite(y)) return {one, zero(signBit(y))};
    bool negIm = isZero(y) ? signBit(y) : signBit(sin(y + y));
    return {one, zero(negIm)};
  }
  if (isZero(x) && isNaN(y)) return {x, nanv};
  return {nanv, nanv};                          // finite x, y infinite or NaN
}

} // namespace

XComplexValue ctanh(XComplexValue a) {
  if (hyperSpecial(a)) return ctanhSpecial(a);
  if (isZero(a.im)) return {tanh(a.re), a.im};
  W s, c;
  if (!sincosAnyW(wFromX(a.im), &s, &c)) return {nan(), nan()};
  W one = wFromInt(1);
  W t = wDiv(s, c);
  W b = wAdd(one, wSqr(t));
  W sh, ch;
  sinhcoshW(wFromX0(a.re), &sh, &ch);
  if (isZero(a.re)) sh = wFromX0(a.re);
  W den = wAdd(one, wMul(b, wSqr(sh)));
  return {wToX(wDiv(wMul(wMul(b, ch), sh), den)), wToX(wDiv(t, den))};
}

XComplexValue csin(XComplexValue a) { return mulMinusI(csinh(mulI(a))); }
XComplexValue ccos(XComplexValue a) { return ccosh(mulI(a)); }
XComplexValue ctan(XComplexValue a) { return mulMinusI(ctanh(mulI(a))); }

} // namespace fathom
