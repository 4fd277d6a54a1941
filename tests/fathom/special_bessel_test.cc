// Bessel functions against mpmath reference tables (which sample the
// neighbourhood of the zeros), plus parities, orders and special values.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_besseli0.inc"
#include "fathom/data/sf_besseli1.inc"
#include "fathom/data/sf_besselin.inc"
#include "fathom/data/sf_besselj0.inc"
#include "fathom/data/sf_besselj1.inc"
#include "fathom/data/sf_besseljn.inc"
#include "fathom/data/sf_besselk0.inc"
#include "fathom/data/sf_besselk1.inc"
#include "fathom/data/sf_besselkn.inc"
#include "fathom/data/sf_bessely0.inc"
#include "fathom/data/sf_bessely1.inc"
#include "fathom/data/sf_besselyn.inc"

// J0, J1, Y0, Y1 for x >= 64: the phase is fitted to 2^-58 and carried in
// double-double, so within about 2^-15 (relative) of a zero the error is
// bounded by ulps of 2^-15 times the local amplitude sqrt(2/(pi x))
// instead of the value.  Below 64 the bound is relative everywhere.
double amplitude1(double x, double) {
  x = std::fabs(x);
  return x >= 64 ? 0x1p-15 * std::sqrt(2 / (fathom::kPi * x)) : 0;
}

// J_n and Y_n (n >= 2) by recurrence: ulps of the local amplitude
// sqrt(2/(pi x)) where they oscillate (x > |n|).
double amplitude(double n, double x, double) {
  x = std::fabs(x);
  return x > std::fabs(n) ? std::sqrt(2 / (fathom::kPi * x)) : 0;
}
} // namespace

TEST(SpecialBessel, ReferenceTablesOrderZeroOne) {
  check1("besseli0", kRef_besseli0, fathom::besselI0);
  check1("besseli1", kRef_besseli1, fathom::besselI1);
  check1("besselk0", kRef_besselk0, fathom::besselK0);
  check1("besselk1", kRef_besselk1, fathom::besselK1);
  check1("besselj0", kRef_besselj0, fathom::besselJ0, amplitude1);
  check1("besselj1", kRef_besselj1, fathom::besselJ1, amplitude1);
  check1("bessely0", kRef_bessely0, fathom::besselY0, amplitude1);
  check1("bessely1", kRef_bessely1, fathom::besselY1, amplitude1);
}

TEST(SpecialBessel, ReferenceTablesIntegerOrder) {
  check2("besseljn", kRef_besseljn, fathom::besselJn, amplitude);
  check2("besselyn", kRef_besselyn, fathom::besselYn, amplitude);
  check2("besselin", kRef_besselin, fathom::besselIn);
  check2("besselkn", kRef_besselkn, fathom::besselKn);
}

TEST(SpecialBessel, SpecialValuesAndParity) {
  EXPECT_EQ(fathom::besselJ0(0), 1.0);
  EXPECT_EQ(fathom::besselJ1(0), 0.0);
  EXPECT_EQ(fathom::besselY0(0), -INFINITY);
  EXPECT_TRUE(std::isnan(fathom::besselY1(-1)));
  EXPECT_EQ(fathom::besselK0(0), INFINITY);
  EXPECT_TRUE(std::isnan(fathom::besselK1(-1)));
  EXPECT_EQ(fathom::besselI0(800), INFINITY);
  EXPECT_EQ(fathom::besselK1(800), 0.0);
  EXPECT_EQ(fathom::besselJ0(INFINITY), 0.0);
  for (double x : {0.3, 2.404825557695773, 9.0, 123.4}) {
    EXPECT_EQ(fathom::besselJ0(-x), fathom::besselJ0(x));
    EXPECT_EQ(fathom::besselJ1(-x), -fathom::besselJ1(x));
    EXPECT_EQ(fathom::besselI1(-x), -fathom::besselI1(x));
    EXPECT_EQ(fathom::besselJn(0, x), fathom::besselJ0(x));
    EXPECT_EQ(fathom::besselYn(1, x), fathom::besselY1(x));
    EXPECT_EQ(fathom::besselJn(-3, x), -fathom::besselJn(3, x));
    EXPECT_EQ(fathom::besselJn(3, -x), -fathom::besselJn(3, x));
    EXPECT_EQ(fathom::besselYn(-2, x), fathom::besselYn(2, x));
    EXPECT_EQ(fathom::besselIn(-4, x), fathom::besselIn(4, x));
    EXPECT_EQ(fathom::besselKn(-5, x), fathom::besselKn(5, x));
    EXPECT_EQ(fathom::besselJn(2.9, x), fathom::besselJn(2, x));   // order truncated
  }
  EXPECT_EQ(fathom::besselJn(5, 0), 0.0);
  EXPECT_EQ(fathom::besselYn(5, 0), -INFINITY);
  EXPECT_EQ(fathom::besselJn(3e6, 10), 0.0);
  EXPECT_TRUE(std::isnan(fathom::besselJn(NAN, 1)));
}

// The ends of the double range: the largest double (mpmath's values) and
// the least subnormal, where 2/(pi x) overflows.
TEST(SpecialBessel, EndsOfTheRange) {
  constexpr double kMax = 0x1.fffffffffffffp+1023;
  EXPECT_NEAR(fathom::besselJ0(kMax), -4.1869868495853731728e-155, 1e-169);
  EXPECT_NEAR(fathom::besselY1(kMax), 4.1869868495853731728e-155, 1e-169);
  EXPECT_TRUE(std::isfinite(fathom::besselJ1(kMax)));
  EXPECT_TRUE(std::isfinite(fathom::besselY0(kMax)));
  EXPECT_EQ(fathom::besselY1(0x1p-1074), -INFINITY);
  EXPECT_EQ(fathom::besselYn(5, 0x1p-1074), -INFINITY);
  EXPECT_EQ(fathom::besselYn(-3, 0x1p-1074), INFINITY);
  EXPECT_EQ(fathom::besselK1(1e-310), INFINITY);
  EXPECT_EQ(fathom::besselKn(4, 1e-310), INFINITY);
  EXPECT_EQ(fathom::besselJn(1000, 1e-310), 0.0);     // (x/2)^n/n! underflows
  EXPECT_EQ(fathom::besselIn(1000, 0x1p-1074), 0.0);
  EXPECT_EQ(fathom::besselIn(2, 1e20), INFINITY);
  EXPECT_EQ(fathom::besselIn(3, -1e20), -INFINITY);
}

// J1 is odd but changes sign itself: its sign past each zero.
TEST(SpecialBessel, SignsBetweenZeros) {
  EXPECT_GT(fathom::besselJ1(3.7), 0);
  EXPECT_LT(fathom::besselJ1(3.9), 0);
  EXPECT_GT(fathom::besselJ1(-3.9), 0);
  EXPECT_LT(fathom::besselJ1(12.0), 0);
  EXPECT_GT(fathom::besselJ1(-12.0), 0);
  EXPECT_LT(fathom::besselJn(2, 6.0), 0);
  EXPECT_LT(fathom::besselJn(3, 8.0), 0);
}

TEST(SpecialBessel, WronskianNearZeros) {
  // J1 Y0 - J0 Y1 = 2/(pi x), checked where J0 or Y0 vanish.
  for (double x : {2.404825557695773, 5.520078110286311, 0.8935769662791675, 100.5, 1e5}) {
    double w = fathom::besselJ1(x) * fathom::besselY0(x) - fathom::besselJ0(x) * fathom::besselY1(x);
    EXPECT_NEAR(w * fathom::kPi * x / 2, 1.0, 1e-14) << x;
  }
}
