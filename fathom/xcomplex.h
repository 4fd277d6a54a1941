// Complex numbers of extended reals: the basic arithmetic.
#pragma once

#include "fathom/xreal.h"

namespace fathom {

struct XComplexValue {
  XRealValue re, im;
};

XComplexValue cadd(XComplexValue a, XComplexValue b);
XComplexValue csub(XComplexValue a, XComplexValue b);
XComplexValue cmul(XComplexValue a, XComplexValue b);
// Smith's division: no overflow from squaring the divisor.
XComplexValue cdiv(XComplexValue a, XComplexValue b);
XComplexValue cneg(XComplexValue a);
XComplexValue cconj(XComplexValue a);
// |a| without overflow or underflow in the intermediate squares.
XRealValue cabs(XComplexValue a);
// Hypotenuse sqrt(x^2 + y^2), scaled the same way.
XRealValue hypot(XRealValue x, XRealValue y);
// The principal square root (branch cut along the negative real axis).
XComplexValue csqrt(XComplexValue a);

} // namespace fathom

namespace fathom {

// Elementary functions of extended complex numbers: principal branches, with
// the sign of a zero imaginary part choosing the side of a branch cut (as C99
// does for doubles).
XRealValue carg(XComplexValue a);        // atan2(im, re)
XComplexValue cexp(XComplexValue a);
XComplexValue clog(XComplexValue a);
XComplexValue cpow(XComplexValue y, XComplexValue x);   // exact integer powers
XComplexValue csin(XComplexValue a);
XComplexValue ccos(XComplexValue a);
XComplexValue ctan(XComplexValue a);
XComplexValue casin(XComplexValue a);
XComplexValue cacos(XComplexValue a);
XComplexValue catan(XComplexValue a);
XComplexValue csinh(XComplexValue a);
XComplexValue ccosh(XComplexValue a);
XComplexValue ctanh(XComplexValue a);
XComplexValue casinh(XComplexValue a);
XComplexValue cacosh(XComplexValue a);
XComplexValue catanh(XComplexValue a);
// 10^a, with exact real results for a real a (exp10 of the real part).
XComplexValue cexp10(XComplexValue a);
// log10 a, on log's branch cut.
XComplexValue clog10(XComplexValue a);
// The principal cube root |a|^(1/3) e^(i arg(a)/3); zeros give themselves.
XComplexValue ccbrt(XComplexValue a);

} // namespace fathom
