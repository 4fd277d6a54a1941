// Working-float kernels of the extended Bessel functions, shared by
// xsf_bessel_jy.cc, xsf_bessel_ik.cc and xsf_bessel_n.cc (not part of the
// API).  Arguments are positive and finite; results are 192-bit working
// floats, rounded once by the callers.
#pragma once

#include "fathom/xmath_wide.h"

namespace fathom::detail::xsf {

// J0, J1, Y0 and Y1 at x > 0 below 2^1048576 (the exact reduction's limit;
// false beyond).  j or y may be null.
bool besselJY0W(const W &x, W *j, W *y);
bool besselJY1W(const W &x, W *j, W *y);

// I0, I1 scaled by exp(-x), and K0, K1 scaled by exp(x), for 0 < x < 2^40.
W besselI0ScaledW(const W &x);
W besselI1ScaledW(const W &x);
W besselK0ScaledW(const W &x);
W besselK1ScaledW(const W &x);

} // namespace fathom::detail::xsf
