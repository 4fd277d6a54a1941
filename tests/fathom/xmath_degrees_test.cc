// The trigonometric functions in degrees at the values that must be exact
// (multiples of 30 and 45 at every magnitude, the integer results of the
// inverse functions), their signed zeros and infinities, and huge arguments
// against MPFR's sinu, cosu and tanu (which reduce exactly too).  Random
// arguments are in the accuracy table (xmath_accuracy_cases.cc).
#include <gtest/gtest.h>

#include "fathom/xdecimal.h"
#include "fathom/xmath.h"
#include "xreal_mpfr.h"
#include "xreal_random.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

XRealValue xr(double d) { return fathom::fromDouble(d); }
XRealValue dec(const char *s) { return fathom::strtox(s, nullptr); }

TEST(FathomXMathDegrees, MultiplesOfThirtyAndFortyFiveAreExact) {
  const XRealValue half = xr(0.5), one = xr(1);
  for (int k = -40; k <= 40; k++) {
    // 360 k + a for a = 30, 150 (sin 0.5), 210, 330 (sin -0.5), and cos
    // at 360 k + 60, 300 (0.5), 120, 240 (-0.5).
    XRealValue base = xr(360.0 * k);
    EXPECT_TRUE(sameValue(fathom::sinDeg(base + xr(30)), half)) << k;
    EXPECT_TRUE(sameValue(fathom::sinDeg(base + xr(150)), half)) << k;
    EXPECT_TRUE(sameValue(fathom::sinDeg(base + xr(210)), -half)) << k;
    EXPECT_TRUE(sameValue(fathom::sinDeg(base + xr(330)), -half)) << k;
    EXPECT_TRUE(sameValue(fathom::cosDeg(base + xr(60)), half)) << k;
    EXPECT_TRUE(sameValue(fathom::cosDeg(base + xr(300)), half)) << k;
    EXPECT_TRUE(sameValue(fathom::cosDeg(base + xr(120)), -half)) << k;
    EXPECT_TRUE(sameValue(fathom::cosDeg(base + xr(240)), -half)) << k;
    EXPECT_TRUE(sameValue(fathom::sinDeg(base + xr(90)), one)) << k;
    EXPECT_TRUE(sameValue(fathom::sinDeg(base + xr(270)), -one)) << k;
    EXPECT_TRUE(sameValue(fathom::cosDeg(base), one)) << k;
    EXPECT_TRUE(sameValue(fathom::cosDeg(base + xr(180)), -one)) << k;
    EXPECT_TRUE(sameValue(fathom::tanDeg(base + xr(45)), one)) << k;
    EXPECT_TRUE(sameValue(fathom::tanDeg(base + xr(135)), -one)) << k;
    EXPECT_TRUE(sameValue(fathom::tanDeg(base + xr(225)), one)) << k;
    EXPECT_TRUE(sameValue(fathom::tanDeg(base + xr(315)), -one)) << k;
  }
  // At magnitudes far beyond any double's exactness, all exact in 128 bits:
  // 90 2^100 = 45 2^101 is 0 mod 360; 10^30 and 10^38 are 280 mod 360 (0
  // mod 8, and 10^k = 10 mod 45); 2^3000 is 136 mod 360 (0 mod 8, and 1 mod
  // 45 since 2^12 = 4096 = 1 mod 45).
  XRealValue big = fathom::ldexp(xr(90), 100);
  EXPECT_TRUE(sameValue(fathom::sinDeg(big + xr(30)), half));
  EXPECT_TRUE(sameValue(fathom::cosDeg(big + xr(240)), -half));
  EXPECT_TRUE(sameValue(fathom::tanDeg(big - xr(45)), -one));
  EXPECT_TRUE(sameValue(fathom::sinDeg(dec("1e38") + xr(30)), fathom::sinDeg(xr(310))));
  EXPECT_TRUE(sameValue(fathom::tanDeg(dec("1e30") + xr(125)), one));    // 405 = 45 mod 360
  EXPECT_TRUE(sameValue(fathom::cosDeg(dec("1e30") + xr(20)), half));    // 300 mod 360
  EXPECT_TRUE(sameValue(fathom::sinDeg(fathom::ldexp(xr(1), 3000)), fathom::sinDeg(xr(136))));
}

// Zeros and poles as IEEE 754-2019 recommends for sinPi, cosPi and tanPi:
// sin(180 k) with the sign of the argument, +0 from cos, tan(180 k) the
// zero of sin/cos, tan(90 + 180 k) +inf for even k and -inf for odd k.
TEST(FathomXMathDegrees, SignedZerosAndInfinities) {
  const XRealValue z = fathom::zero(), nz = fathom::zero(true), inf = fathom::infinity();
  for (double a : {0.0, 180.0, 360.0, 540.0, 1.8e20}) {
    EXPECT_TRUE(sameValue(fathom::sinDeg(xr(a)), z)) << a;
    EXPECT_TRUE(sameValue(fathom::sinDeg(xr(-a)), nz)) << a;
  }
  for (double a : {90.0, -90.0, 270.0, -270.0, 450.0}) EXPECT_TRUE(sameValue(fathom::cosDeg(xr(a)), z)) << a;
  struct Case { double a; XRealValue want; } tans[] = {
      {90, inf},   {-270, inf}, {450, inf},  {-90, -inf}, {270, -inf}, {-450, -inf},
      {0, z},      {-0.0, nz},  {180, nz},   {-180, z},   {360, z},    {-360, nz},
      {540, nz},   {-540, z},
  };
  for (const Case &c : tans) EXPECT_TRUE(sameValue(fathom::tanDeg(xr(c.a)), c.want)) << c.a;
  for (XRealValue bad : {inf, -inf, fathom::nan()}) {
    EXPECT_TRUE(fathom::isNaN(fathom::sinDeg(bad)));
    EXPECT_TRUE(fathom::isNaN(fathom::cosDeg(bad)));
    EXPECT_TRUE(fathom::isNaN(fathom::tanDeg(bad)));
  }
}

TEST(FathomXMathDegrees, InverseFunctionsGiveWholeDegreesExactly) {
  struct Case { XRealValue (*f)(XRealValue); double x, want; } cases[] = {
      {fathom::asinDeg, 0.5, 30},   {fathom::asinDeg, -0.5, -30}, {fathom::asinDeg, 1, 90},
      {fathom::asinDeg, -1, -90},   {fathom::acosDeg, 0.5, 60},   {fathom::acosDeg, -0.5, 120},
      {fathom::acosDeg, 0, 90},     {fathom::acosDeg, -1, 180},   {fathom::acosDeg, 1, 0},
      {fathom::atanDeg, 1, 45},     {fathom::atanDeg, -1, -45},
  };
  for (const Case &c : cases) EXPECT_TRUE(sameValue(c.f(xr(c.x)), xr(c.want))) << c.x << " " << c.want;
  const XRealValue z = fathom::zero(), nz = fathom::zero(true), inf = fathom::infinity();
  EXPECT_TRUE(sameValue(fathom::asinDeg(nz), nz));
  EXPECT_TRUE(sameValue(fathom::atanDeg(inf), xr(90)));
  EXPECT_TRUE(sameValue(fathom::atanDeg(-inf), xr(-90)));
  EXPECT_TRUE(fathom::isNaN(fathom::asinDeg(xr(1) + fathom::ldexp(xr(1), -127))));
  EXPECT_TRUE(fathom::isNaN(fathom::acosDeg(xr(-2))));
  // atan2 in degrees: quadrants, axes and C99's special values, all whole.
  struct Case2 { XRealValue y, x, want; } cases2[] = {
      {xr(1), xr(1), xr(45)},     {xr(1), xr(-1), xr(135)},   {xr(-1), xr(-1), xr(-135)},
      {xr(-1), xr(1), xr(-45)},   {xr(2), z, xr(90)},         {xr(-2), nz, xr(-90)},
      {z, xr(-3), xr(180)},       {nz, xr(-3), xr(-180)},     {nz, xr(3), nz},
      {z, nz, xr(180)},           {nz, z, nz},                {inf, inf, xr(45)},
      {inf, -inf, xr(135)},       {-inf, xr(1), xr(-90)},     {xr(5), -inf, xr(180)},
      {xr(-5), inf, nz},
  };
  for (const Case2 &c : cases2)
    EXPECT_TRUE(sameValue(fathom::atan2Deg(c.y, c.x), c.want)) << describe(c.y) << describe(c.x);
}

// Huge arguments, up to the largest extended real, against MPFR, whose
// sinu, cosu and tanu reduce modulo 360 exactly as well.
TEST(FathomXMathDegrees, HugeArgumentsAgreeWithMpfr) {
  MpfrModel model;
  RandomXReal rnd(99);
  Mp x, r;
  for (int i = 0; i < 60; i++) {
    int64_t e = i < 20 ? rnd.uniform(100, 2000) : i < 40 ? rnd.uniform(2000, 2000000) : kEmaxBinary - rnd.uniform(0, 100);
    XRealValue a = rnd.withExponent(e, rnd.coin());
    toMpfr(x.v, a);
    finish(r.v, mpfr_sinu(r.v, x.v, 360, MPFR_RNDN));
    EXPECT_TRUE(sameValue(fathom::sinDeg(a), fromMpfr(r.v))) << describe(a);
    finish(r.v, mpfr_cosu(r.v, x.v, 360, MPFR_RNDN));
    EXPECT_TRUE(sameValue(fathom::cosDeg(a), fromMpfr(r.v))) << describe(a);
    finish(r.v, mpfr_tanu(r.v, x.v, 360, MPFR_RNDN));
    EXPECT_TRUE(sameValue(fathom::tanDeg(a), fromMpfr(r.v))) << describe(a);
  }
}

} // namespace
