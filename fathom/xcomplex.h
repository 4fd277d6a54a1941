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
