// Exponential, logarithmic and hyperbolic integrals against mpmath
// reference tables, plus special values.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_chi.inc"
#include "fathom/data/sf_e1.inc"
#include "fathom/data/sf_ei.inc"
#include "fathom/data/sf_expinten.inc"
#include "fathom/data/sf_li.inc"
#include "fathom/data/sf_shi.inc"
} // namespace

TEST(SpecialExpInt, ReferenceTables) {
  check1("e1", kRef_e1, fathom::expIntE1);
  check1("ei", kRef_ei, fathom::expIntEi);
  check1("li", kRef_li, fathom::logInt);
  check1("shi", kRef_shi, fathom::sinhInt);
  check1("chi", kRef_chi, fathom::coshInt);
  check2("expinten", kRef_expinten, fathom::expIntEn);
}

TEST(SpecialExpInt, SpecialValues) {
  EXPECT_EQ(fathom::expIntE1(0), INFINITY);
  EXPECT_TRUE(std::isnan(fathom::expIntE1(-1)));
  EXPECT_EQ(fathom::expIntE1(INFINITY), 0.0);
  EXPECT_EQ(fathom::expIntE1(800), 0.0);
  EXPECT_EQ(fathom::expIntEi(0), -INFINITY);
  EXPECT_EQ(fathom::expIntEi(800), INFINITY);
  EXPECT_EQ(fathom::expIntEi(-INFINITY), -0.0);
  EXPECT_EQ(fathom::logInt(0), 0.0);
  EXPECT_EQ(fathom::logInt(1), -INFINITY);
  EXPECT_TRUE(std::isnan(fathom::logInt(-1)));
  EXPECT_TRUE(std::isnan(fathom::coshInt(-1)));
  EXPECT_EQ(fathom::coshInt(0), -INFINITY);
  EXPECT_EQ(fathom::sinhInt(-2.5), -fathom::sinhInt(2.5));
  EXPECT_DOUBLE_EQ(fathom::expIntEn(2, 0), 1.0);       // 1/(n - 1)
  EXPECT_EQ(fathom::expIntEn(0.5, 0), INFINITY);
  EXPECT_TRUE(std::isnan(fathom::expIntEn(2, -1)));
  EXPECT_TRUE(std::isnan(fathom::expIntEn(NAN, 1)));
}

TEST(SpecialExpInt, Relations) {
  for (double x : {0.01, 0.3, 1.0, 2.5, 10.0, 40.0}) {
    EXPECT_DOUBLE_EQ(fathom::expIntEn(1, x), fathom::expIntE1(x)) << x;
    EXPECT_NEAR(fathom::expIntEn(0, x), std::exp(-x) / x, 1e-15 * std::exp(-x) / x) << x;
    // n E_(n+1)(x) = e^-x - x E_n(x)
    double l = 3 * fathom::expIntEn(4, x), r = std::exp(-x) - x * fathom::expIntEn(3, x);
    EXPECT_NEAR(l, r, 1e-13 * std::fabs(l)) << x;
    EXPECT_EQ(fathom::expIntEi(-x), -fathom::expIntE1(x)) << x;
  }
}
