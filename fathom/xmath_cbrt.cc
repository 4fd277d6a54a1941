// cbrt of the extended real.
//
// x = a 2^(3q) with 1 <= a < 8; y0 = cbrt(a) in double (53 bits), then two
// Newton steps y <- y - (y^3 - a)/(3 y^2): the residual y^3 - a in the
// working float (exact for y0), the correction's division in double, which
// is all it needs (the correction is 2^-52 and 2^-104 of y).  Result: about
// 2^-155 relative before the final rounding, so exact cubes come out exact.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_wide.h"

namespace fathom {

using namespace detail;

XRealValue cbrt(XRealValue x) {
  if (x.w0 == 0) return x;
  W a = wAbs(wFromX(x));
  int64_t q = a.e >= 0 ? a.e / 3 : -((-a.e + 2) / 3);
  a.e -= 3 * q;                                 // 0, 1 or 2
  double ad = std::ldexp((double)hi64(a.hi) * 0x1p-63, (int)a.e);
  double y0 = std::cbrt(ad);
  double inv3y2 = 1.0 / (3 * y0 * y0);
  W y = wFromDouble(y0);
  for (int step = 0; step < 2; step++) {
    W r = wSub(wMul(wSqr(y), y), a);
    y = wSub(y, wMul(r, wFromDouble(inv3y2)));
  }
  y.e += q;
  y.neg = signBit(x);
  return wToX(y);
}

} // namespace fathom
