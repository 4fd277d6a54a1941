// Kernels of the extended elementary functions on the working float, shared
// by the real and complex functions.  Arguments are finite; no kernel checks
// for overflow, which the final rounding to an extended real decides.
#pragma once

#include "fathom/xmath_wide.h"

namespace fathom::detail {

// e^t for |t| < 2^40.
W expW(const W &t);
// e^t - 1 for |t| < 2^40, with relative accuracy near 0.
W expm1W(const W &t);
// log(a) for a > 0.
W logW(const W &a);
// log(1 + u) for u > -1, with relative accuracy near 0.
W log1pW(const W &u);

// x = q*pi/2 + r with |r| <= pi/4 (r relative-accurate), q mod 4.  ok is
// false when x is beyond the table of 2/pi bits.
struct HalfPiReduced {
  W r;
  int q;
  bool ok;
};
HalfPiReduced reduceHalfPi(const W &x);
// sin(r) and cos(r) for |r| <= pi/4 + 2^-20.
void sincosW(const W &r, W *s, W *c);
// sin and cos of any finite x (after the reduction); false beyond the table.
bool sincosAnyW(const W &x, W *s, W *c);

// atan(y/x) in [0, pi/2] for y >= 0, x >= 0, not both zero.
W atanRatioW(const W &y, const W &x);

// sinh and cosh of a working float (|t| < 2^40).
void sinhcoshW(const W &t, W *sh, W *ch);

} // namespace fathom::detail
