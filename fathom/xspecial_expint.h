// Fathom's extended-precision exponential, sine and cosine integrals and
// Fresnel integrals: the functions of fathom/special.h on extended reals,
// with the same domains and special values (NaN outside the real domain,
// infinities at the logarithmic poles).  Each kernel computes in the 192-bit
// working float and rounds once (docs/special-functions.md lists the
// measured accuracy).
#pragma once

#include "fathom/xreal.h"

namespace fathom {

XRealValue expIntE1(XRealValue x);               // E1(x), x >= 0 (NaN below)
XRealValue expIntEi(XRealValue x);               // Ei(x); Ei(-x) = -E1(x)
XRealValue expIntEn(XRealValue nu, XRealValue x);   // E_nu(x), real nu, x >= 0
XRealValue sinInt(XRealValue x);                 // Si(x)
XRealValue cosInt(XRealValue x);                 // Ci(x), x >= 0 (NaN below)
XRealValue sinhInt(XRealValue x);                // Shi(x)
XRealValue coshInt(XRealValue x);                // Chi(x), x >= 0 (NaN below)
XRealValue fresnelC(XRealValue x);               // integral_0^x cos(pi t^2 / 2) dt
XRealValue fresnelS(XRealValue x);               // integral_0^x sin(pi t^2 / 2) dt

} // namespace fathom
