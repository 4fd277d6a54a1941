// Fathom's extended-precision (128-bit) Bessel functions.
//
// The same functions, conventions and special values as the double ones of
// fathom/special.h: integer orders are the order argument truncated toward
// zero (J[-n] = (-1)^n J[n], Y likewise, I[-n] = I[n], K[-n] = K[n]);
// Y and K of negative arguments are NaN, Y(0) = -inf, K(0) = +inf; NaN
// arguments give NaN.  Accuracies are in docs/special-functions.md.
#pragma once

#include "fathom/xreal.h"

namespace fathom {

XRealValue besselI0(XRealValue x);
XRealValue besselI1(XRealValue x);
XRealValue besselK0(XRealValue x);
XRealValue besselK1(XRealValue x);
XRealValue besselJ0(XRealValue x);
XRealValue besselJ1(XRealValue x);
XRealValue besselY0(XRealValue x);
XRealValue besselY1(XRealValue x);
XRealValue besselIn(XRealValue n, XRealValue x);
XRealValue besselJn(XRealValue n, XRealValue x);
XRealValue besselKn(XRealValue n, XRealValue x);
XRealValue besselYn(XRealValue n, XRealValue x);

} // namespace fathom
