// sinc, sincm1 and sqrt1pm1 at their special and exact values (random
// arguments are in the accuracy table, xmath_accuracy_cases.cc).
#include <gtest/gtest.h>

#include "fathom/xmath.h"
#include "fathom/xmath_reduce.h"
#include "xreal_mpfr.h"

namespace {

using fathom::XRealValue;
using xrtest::describe;
using xrtest::sameValue;

XRealValue xr(double d) { return fathom::fromDouble(d); }

TEST(FathomXMathSinc, SpecialValues) {
  const XRealValue z = fathom::zero(), nz = fathom::zero(true), inf = fathom::infinity();
  EXPECT_TRUE(sameValue(fathom::sinc(z), xr(1)));
  EXPECT_TRUE(sameValue(fathom::sinc(nz), xr(1)));
  EXPECT_TRUE(sameValue(fathom::sincm1(z), z));
  EXPECT_TRUE(sameValue(fathom::sincm1(nz), z));
  // The smallest arguments: sinc rounds to 1, sincm1 keeps -x^2/6.
  XRealValue tiny = fathom::ldexp(xr(3), -1000);
  EXPECT_TRUE(sameValue(fathom::sinc(tiny), xr(1)));
  EXPECT_TRUE(sameValue(fathom::sincm1(tiny), fathom::ldexp(xr(-1.5), -2000)));
  // Even functions.
  EXPECT_TRUE(sameValue(fathom::sinc(xr(-2.5)), fathom::sinc(xr(2.5))));
  EXPECT_TRUE(sameValue(fathom::sincm1(xr(-0.75)), fathom::sincm1(xr(0.75))));
  for (XRealValue bad : {inf, -inf, fathom::nan()}) {
    EXPECT_TRUE(fathom::isNaN(fathom::sinc(bad))) << describe(bad);
    EXPECT_TRUE(fathom::isNaN(fathom::sincm1(bad))) << describe(bad);
  }
  // Beyond the reduction's limit sin, and with it sinc, is NaN.
  XRealValue huge = fathom::ldexp(xr(1), (int)fathom::detail::kReduceExponentLimit);
  EXPECT_TRUE(fathom::isNaN(fathom::sinc(huge)));
  EXPECT_TRUE(fathom::isNaN(fathom::sincm1(huge)));
}

TEST(FathomXMathSqrt1pm1, SpecialAndExactValues) {
  const XRealValue z = fathom::zero(), nz = fathom::zero(true), inf = fathom::infinity();
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(z), z));
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(nz), nz));
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(xr(-1)), xr(-1)));
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(xr(3)), xr(1)));
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(xr(-0.75)), xr(-0.5)));
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(xr(0.5625)), xr(0.25)));
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(inf), inf));
  EXPECT_TRUE(fathom::isNaN(fathom::sqrt1pm1(xr(-1.5))));
  EXPECT_TRUE(fathom::isNaN(fathom::sqrt1pm1(-inf)));
  EXPECT_TRUE(fathom::isNaN(fathom::sqrt1pm1(fathom::nan())));
  // x/2 - x^2/8 for a tiny x: the result keeps the half exactly.
  XRealValue tiny = fathom::ldexp(xr(1), -500);
  EXPECT_TRUE(sameValue(fathom::sqrt1pm1(tiny), fathom::ldexp(xr(1), -501)));
}

} // namespace
