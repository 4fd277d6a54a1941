// Beta, incomplete gamma and incomplete beta functions against mpmath
// reference tables, plus domains and identities.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_beta.inc"
#include "fathom/data/sf_betai.inc"
#include "fathom/data/sf_betalower.inc"
#include "fathom/data/sf_gammalower.inc"
#include "fathom/data/sf_gammap.inc"
} // namespace

TEST(SpecialBeta, ReferenceTables) {
  check2("beta", kRef_beta, fathom::beta);
  check2("gammalower", kRef_gammalower, fathom::gammaLower);
  check2("gammap", kRef_gammap, fathom::gammaP);
  check3("betalower", kRef_betalower, fathom::betaLower);
  check3("betai", kRef_betai, fathom::betaI);
}

TEST(SpecialBeta, DomainsAndSpecialValues) {
  EXPECT_TRUE(std::isnan(fathom::gammaLower(-1, 1)));
  EXPECT_TRUE(std::isnan(fathom::gammaLower(1, -1)));
  EXPECT_EQ(fathom::gammaLower(2, 0), 0.0);
  EXPECT_DOUBLE_EQ(fathom::gammaLower(3, INFINITY), 2.0);
  EXPECT_DOUBLE_EQ(fathom::gammaP(3, INFINITY), 1.0);
  EXPECT_TRUE(std::isnan(fathom::betaLower(1, 1, 1.5)));
  EXPECT_TRUE(std::isnan(fathom::betaI(0, 1, 0.5)));
  EXPECT_EQ(fathom::betaLower(2, 3, 0), 0.0);
  EXPECT_DOUBLE_EQ(fathom::betaLower(2, 3, 1), fathom::beta(2, 3));
  EXPECT_EQ(fathom::betaI(2, 3, 1), 1.0);
  EXPECT_TRUE(std::isnan(fathom::beta(-2, 0.5)));
  EXPECT_EQ(fathom::beta(-1.5, -0.5), 0.0);                  // a + b = -2 is a pole of Gamma
  EXPECT_EQ(fathom::beta(INFINITY, 2), 0.0);
  // B(a, b) and Gamma(a) beyond the long double range.
  EXPECT_NEAR(fathom::betaI(1e4, 1e4, 0.499), 0.38864995214253755, 1.2e-16);   // by quadrature
  EXPECT_EQ(fathom::betaI(1e4, 1e4, 0.999), 1.0);
  EXPECT_EQ(fathom::gammaLower(1e4, 1e5), INFINITY);
}

// The recurrence's right side cancels (by about (a + 1)/x for small x), so
// its bound is in ulps of the terms, not of the result.
TEST(SpecialBeta, Identities) {
  constexpr double kU = 0x1p-52;
  for (double a : {0.5, 2.0, 7.5}) {
    for (double x : {0.1, 1.0, 5.0, 20.0}) {
      // gamma(a + 1, x) = a gamma(a, x) - x^a e^-x
      double l = fathom::gammaLower(a + 1, x);
      double t1 = a * fathom::gammaLower(a, x), t2 = std::pow(x, a) * std::exp(-x);
      EXPECT_NEAR(l, t1 - t2, 4 * kU * (std::fabs(l) + t1 + t2)) << a << " " << x;
    }
    for (double x : {0.2, 0.5, 0.9}) {
      EXPECT_NEAR(fathom::betaI(a, 3, x) + fathom::betaI(3, a, 1 - x), 1.0, 1e-15) << a;
    }
  }
  EXPECT_NEAR(fathom::beta(2, 3), 1.0 / 12, 1e-17);
  EXPECT_NEAR(fathom::gammaP(1, 2), 1 - std::exp(-2.0), 1e-16);
}
