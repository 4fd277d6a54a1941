// Riemann zeta and the dilogarithm against mpmath reference tables, plus
// special values.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_dilog.inc"
#include "fathom/data/sf_zeta.inc"
} // namespace

TEST(SpecialZeta, ReferenceTables) {
  check1("zeta", kRef_zeta, fathom::zeta);
  check1("dilog", kRef_dilog, fathom::dilog);
}

TEST(SpecialZeta, SpecialValues) {
  EXPECT_EQ(fathom::zeta(1), INFINITY);
  EXPECT_EQ(fathom::zeta(-2), 0.0);
  EXPECT_EQ(fathom::zeta(-100), 0.0);
  EXPECT_EQ(fathom::zeta(INFINITY), 1.0);
  EXPECT_TRUE(std::isnan(fathom::zeta(-INFINITY)));
  EXPECT_DOUBLE_EQ(fathom::zeta(2), fathom::kPi * fathom::kPi / 6);
  EXPECT_DOUBLE_EQ(fathom::zeta(0), -0.5);
  EXPECT_DOUBLE_EQ(fathom::zeta(-1), -1.0 / 12);
  EXPECT_DOUBLE_EQ(fathom::dilog(1), fathom::kPi * fathom::kPi / 6);
  EXPECT_DOUBLE_EQ(fathom::dilog(-1), -fathom::kPi * fathom::kPi / 12);
  EXPECT_EQ(fathom::dilog(0), 0.0);
  EXPECT_EQ(fathom::dilog(-INFINITY), -INFINITY);
  EXPECT_TRUE(std::isnan(fathom::dilog(NAN)));
}
