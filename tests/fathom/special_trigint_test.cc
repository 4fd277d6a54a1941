// Sine, cosine and Fresnel integrals against mpmath reference tables,
// plus special values.
#include "fathom/special.h"
#include "fathom/special_test_util.h"

#include <cmath>

namespace {
using namespace sftest;
#include "fathom/data/sf_ci.inc"
#include "fathom/data/sf_fresnelc.inc"
#include "fathom/data/sf_fresnels.inc"
#include "fathom/data/sf_si.inc"
// Up to 64 Ci keeps relative accuracy at its zeros; beyond, within about
// 2^-10 of a zero, its error is bounded in ulps of the amplitude 1/x.
double ciScale(double x, double) { return x >= 64 ? 1 / x : 0; }
} // namespace

TEST(SpecialTrigInt, ReferenceTables) {
  check1("si", kRef_si, fathom::sinInt);
  check1("ci", kRef_ci, fathom::cosInt, ciScale);
  check1("fresnelc", kRef_fresnelc, fathom::fresnelC);
  check1("fresnels", kRef_fresnels, fathom::fresnelS);
}

// The closest doubles to the first zeros of Ci, relative to the value.
TEST(SpecialTrigInt, CiRelativeAtZerosBelow64) {
  Worst w;
  for (const Ref1 &r : kRef_ci)
    if (r.x < 64) w.add(ulpError(fathom::cosInt(r.x), r.hi, r.lo), "x=" + fmt(r.x));
  report("ci<64", w);
  EXPECT_LE(w.max, sftol::tolerance("ci"));
}

TEST(SpecialTrigInt, LargestDouble) {
  constexpr double kMax = 0x1.fffffffffffffp+1023;
  EXPECT_NEAR(fathom::cosInt(kMax), 2.7601789721270171495e-311, 1e-322);   // subnormal
  EXPECT_DOUBLE_EQ(fathom::sinInt(kMax), fathom::kPi / 2);
  EXPECT_EQ(fathom::fresnelC(kMax), 0.5);
}

TEST(SpecialTrigInt, SpecialValues) {
  EXPECT_DOUBLE_EQ(fathom::sinInt(INFINITY), fathom::kPi / 2);
  EXPECT_DOUBLE_EQ(fathom::sinInt(-INFINITY), -fathom::kPi / 2);
  EXPECT_EQ(fathom::cosInt(INFINITY), 0.0);
  EXPECT_EQ(fathom::cosInt(0), -INFINITY);
  EXPECT_TRUE(std::isnan(fathom::cosInt(-2)));
  EXPECT_EQ(fathom::fresnelC(INFINITY), 0.5);
  EXPECT_EQ(fathom::fresnelS(-INFINITY), -0.5);
  EXPECT_EQ(fathom::fresnelC(0x1p70), 0.5);
  EXPECT_TRUE(std::signbit(fathom::fresnelS(-0.0)));
  for (double x : {0.5, 2.0, 7.0, 1e6}) {
    EXPECT_EQ(fathom::sinInt(-x), -fathom::sinInt(x));
    EXPECT_EQ(fathom::fresnelC(-x), -fathom::fresnelC(x));
    EXPECT_EQ(fathom::fresnelS(-x), -fathom::fresnelS(x));
  }
}
