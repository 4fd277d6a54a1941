// Error functions and Dawson's integral against mpmath reference tables,
// plus special values.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_dawson.inc"
#include "fathom/data/sf_erf.inc"
#include "fathom/data/sf_erfc.inc"
#include "fathom/data/sf_lnerfc.inc"
} // namespace

TEST(SpecialErf, ReferenceTables) {
  check1("erf", kRef_erf, fathom::erf);
  check1("erfc", kRef_erfc, fathom::erfc);
  check1("lnerfc", kRef_lnerfc, fathom::lnErfc);
  check1("dawson", kRef_dawson, fathom::dawson);
}

TEST(SpecialErf, SpecialValues) {
  EXPECT_TRUE(std::isnan(fathom::erf(NAN)));
  EXPECT_TRUE(std::isnan(fathom::erfc(NAN)));
  EXPECT_TRUE(std::isnan(fathom::lnErfc(NAN)));
  EXPECT_EQ(fathom::erf(INFINITY), 1.0);
  EXPECT_EQ(fathom::erf(-INFINITY), -1.0);
  EXPECT_TRUE(std::signbit(fathom::erf(-0.0)));
  EXPECT_EQ(fathom::erfc(INFINITY), 0.0);
  EXPECT_EQ(fathom::erfc(-INFINITY), 2.0);
  EXPECT_EQ(fathom::erfc(30.0), 0.0);                // below the least subnormal
  EXPECT_GT(fathom::erfc(27.0), 0.0);                // subnormal, not flushed
  EXPECT_EQ(fathom::lnErfc(INFINITY), -INFINITY);
  EXPECT_EQ(fathom::lnErfc(0.0), 0.0);
  EXPECT_FALSE(std::signbit(fathom::lnErfc(0.0)));   // ln(erfc(+-0)) = ln 1 = +0
  EXPECT_FALSE(std::signbit(fathom::lnErfc(-0.0)));
  EXPECT_NEAR(fathom::lnErfc(-INFINITY), std::log(2.0), 1e-16);
  EXPECT_EQ(fathom::dawson(INFINITY), 0.0);
  EXPECT_DOUBLE_EQ(fathom::dawson(1e300), 5e-301);     // 1/(2x)
  EXPECT_DOUBLE_EQ(fathom::dawson(-0x1.fffffffffffffp+1023), -0x1p-1025);
  EXPECT_EQ(fathom::lnErfc(1e300), -INFINITY);         // -x^2 overflows
  EXPECT_EQ(fathom::dawson(-0.0), 0.0);
  EXPECT_TRUE(std::signbit(fathom::dawson(-0.0)));
}

TEST(SpecialErf, SymmetriesAndComplements) {
  for (double x : {1e-300, 0.1, 0.5, 0.74, 0.76, 1.5, 3.0, 5.9}) {
    EXPECT_EQ(fathom::erf(-x), -fathom::erf(x)) << x;
    EXPECT_EQ(fathom::dawson(-x), -fathom::dawson(x)) << x;
    EXPECT_NEAR(fathom::erf(x) + fathom::erfc(x), 1.0, 2e-16) << x;
    EXPECT_NEAR(fathom::erfc(-x), 2 - fathom::erfc(x), 4e-16) << x;
  }
  // Where erfc underflows, lnErfc stays finite and close to -x^2 - log(x sqrt(pi)).
  double x = 1e5;
  EXPECT_NEAR(fathom::lnErfc(x), -x * x - std::log(x * std::sqrt(fathom::kPi)), 1e-6);
}
