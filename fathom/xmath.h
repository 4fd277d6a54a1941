// Elementary functions of the extended real, each within a few units in the
// last of the 128 bits over its whole domain, with IEEE-style special values
// (NaN for arguments outside the real domain, signed zeros and infinities
// where the functions have them).
#pragma once

#include "fathom/xreal.h"

namespace fathom {

// Constants, correctly rounded to 128 bits.
XRealValue xpi();
XRealValue xe();
XRealValue xeuler();     // Euler's gamma
XRealValue xcatalan();
XRealValue xln2();
XRealValue xln10();

XRealValue cbrt(XRealValue x);
XRealValue exp(XRealValue x);
XRealValue expm1(XRealValue x);
XRealValue exp10(XRealValue x);          // 10^x, exact for integer x where representable
XRealValue log(XRealValue x);
XRealValue log1p(XRealValue x);
XRealValue log10(XRealValue x);
XRealValue pow(XRealValue y, XRealValue x);   // y^x; exact integer powers where representable
// sin, cos, tan: exact argument reduction below 2^1048576, NaN from there up.
XRealValue sin(XRealValue x);
XRealValue cos(XRealValue x);
XRealValue tan(XRealValue x);
XRealValue asin(XRealValue x);
XRealValue acos(XRealValue x);
XRealValue atan(XRealValue x);
XRealValue atan2(XRealValue y, XRealValue x);
XRealValue sinh(XRealValue x);
XRealValue cosh(XRealValue x);
XRealValue tanh(XRealValue x);
XRealValue asinh(XRealValue x);
XRealValue acosh(XRealValue x);
XRealValue atanh(XRealValue x);
XRealValue floor(XRealValue x);
XRealValue ceil(XRealValue x);
XRealValue rint(XRealValue x);           // nearest integer, ties to even
XRealValue trunc(XRealValue x);

} // namespace fathom
