// Gamma, log-gamma, factorial, digamma and trigamma against mpmath
// reference tables, plus poles and special values.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_digamma.inc"
#include "fathom/data/sf_factorial.inc"
#include "fathom/data/sf_gamma.inc"
#include "fathom/data/sf_lngamma.inc"
#include "fathom/data/sf_trigamma.inc"

// Below -40 digamma is accurate to ulps of log|x|, its local amplitude.
double digammaScale(double x, double) { return x < -40 ? std::log(-x) : 0; }
} // namespace

TEST(SpecialGamma, ReferenceTables) {
  check1("gamma", kRef_gamma, fathom::gamma);
  check1("lngamma", kRef_lngamma, fathom::lnGamma);
  check1("factorial", kRef_factorial, fathom::factorial);
  check1("digamma", kRef_digamma, fathom::digamma, digammaScale);
  check1("trigamma", kRef_trigamma, fathom::trigamma);
}

TEST(SpecialGamma, PolesAndSpecialValues) {
  EXPECT_EQ(fathom::gamma(0.0), INFINITY);
  EXPECT_EQ(fathom::gamma(-0.0), -INFINITY);
  EXPECT_TRUE(std::isnan(fathom::gamma(-3.0)));
  EXPECT_TRUE(std::isnan(fathom::gamma(-INFINITY)));
  EXPECT_EQ(fathom::gamma(INFINITY), INFINITY);
  EXPECT_EQ(fathom::gamma(172.0), INFINITY);
  EXPECT_EQ(fathom::gamma(-200.5), 0.0);
  EXPECT_EQ(fathom::lnGamma(-3.0), INFINITY);
  EXPECT_EQ(fathom::lnGamma(0.0), INFINITY);
  EXPECT_EQ(fathom::lnGamma(-INFINITY), INFINITY);
  EXPECT_EQ(fathom::lnGamma(1.0), 0.0);
  EXPECT_EQ(fathom::lnGamma(2.0), 0.0);
  EXPECT_EQ(fathom::lnGamma(1e306), INFINITY);
  EXPECT_TRUE(std::isnan(fathom::digamma(-2.0)));
  EXPECT_EQ(fathom::digamma(0.0), -INFINITY);
  EXPECT_EQ(fathom::digamma(1e-310), -INFINITY);      // -1/x overflows
  EXPECT_DOUBLE_EQ(fathom::digamma(1e-20), -1e20);
  EXPECT_EQ(fathom::trigamma(-2.0), INFINITY);
  EXPECT_EQ(fathom::trigamma(INFINITY), 0.0);
  for (double f : {NAN}) {
    EXPECT_TRUE(std::isnan(fathom::gamma(f)));
    EXPECT_TRUE(std::isnan(fathom::lnGamma(f)));
    EXPECT_TRUE(std::isnan(fathom::factorial(f)));
    EXPECT_TRUE(std::isnan(fathom::digamma(f)));
    EXPECT_TRUE(std::isnan(fathom::trigamma(f)));
  }
}

TEST(SpecialGamma, FactorialIsExactOnIntegers) {
  EXPECT_EQ(fathom::factorial(0), 1.0);
  EXPECT_EQ(fathom::factorial(5), 120.0);
  EXPECT_EQ(fathom::factorial(20), 2432902008176640000.0);
  double f = 1;
  for (int n = 1; n <= 22; ++n) {   // n! is exact in a double up to 22
    f *= n;
    EXPECT_EQ(fathom::factorial(n), f) << n;
  }
  EXPECT_EQ(fathom::factorial(171), INFINITY);
  EXPECT_TRUE(std::isnan(fathom::factorial(-1)));
  EXPECT_DOUBLE_EQ(fathom::factorial(0.5), fathom::gamma(1.5));
}

// Recurrences and reflection.  The digamma difference cancels: each value
// carries up to an ulp of its own size, so the bound is in ulps of psi.
TEST(SpecialGamma, Identities) {
  constexpr double kU = 0x1p-52;
  for (double x : {0.3, 1.7, 4.2, 9.9, 25.5, 100.25}) {
    EXPECT_NEAR(fathom::gamma(x + 1) / (x * fathom::gamma(x)), 1.0, 4e-16) << x;
    double p1 = fathom::digamma(x + 1), p0 = fathom::digamma(x);
    EXPECT_NEAR(p1 - p0, 1 / x, 2 * kU * (std::fabs(p1) + std::fabs(p0) + 1 / x)) << x;
    double r = fathom::gamma(-x) * fathom::gamma(x) * -x * std::sin(fathom::kPi * x);
    if (x != std::floor(x)) {
      EXPECT_NEAR(r, fathom::kPi, 1e-13 * fathom::kPi) << x;
    }
  }
}
