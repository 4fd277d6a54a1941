// Layout, classification, conversions with doubles and integers, frexp,
// ldexp, comparison and the debug dump of the extended real.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "fathom/xreal.h"
#include "xreal_build.h"
#include "xreal_mpfr.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

const unsigned __int128 kAllOnes = ~(unsigned __int128)0 >> 1;   // 127 fraction bits

TEST(FathomXRealLayout, OneAndFrexpOfOne) {
  XRealValue one = fathom::fromDouble(1.0);
  EXPECT_EQ(one.w0, 0x8000004Fu);
  EXPECT_EQ(one.w1, 0u);
  EXPECT_EQ(one.w2 | one.w3 | one.w4 | one.w5, 0u);
  int e = 0;
  XRealValue m = fathom::frexp(one, &e);
  EXPECT_EQ(m.w0, 0x8000004Eu);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(m.w2 | m.w3 | m.w4 | m.w5, 0u);
}

TEST(FathomXRealLayout, SpecialValuesCarryClassAndSign) {
  XRealValue nz = fathom::zero(true), pinf = fathom::infinity(false), nn = fathom::nan(true);
  EXPECT_EQ(nz.w0, 0u);
  EXPECT_EQ(nz.w1, (uint32_t)fathom::XR_ZERO);
  EXPECT_EQ(nz.w5, 0x80000000u);
  EXPECT_EQ(pinf.w1, (uint32_t)fathom::XR_INF);
  EXPECT_EQ(pinf.w5, 0u);
  EXPECT_EQ(nn.w1, (uint32_t)fathom::XR_NAN);
  EXPECT_EQ(nn.w5, 0x80000000u);
  EXPECT_TRUE(fathom::isFinite(nz));
  EXPECT_FALSE(fathom::isFinite(pinf));
  EXPECT_FALSE(fathom::isFinite(nn));
  EXPECT_TRUE(fathom::isNaN(nn));
  XRealValue snan = nn;
  snan.w1 = 7;                                   // any other class is a signalling NaN
  EXPECT_TRUE(fathom::isNaN(snan));
  EXPECT_FALSE(fathom::isInf(snan));
  EXPECT_TRUE(fathom::isInf(pinf));
  EXPECT_TRUE(fathom::isZero(nz));
  EXPECT_TRUE(fathom::signBit(nz));
  EXPECT_FALSE(fathom::signBit(pinf));
}

TEST(FathomXRealDouble, NormalAndSubnormalDoublesAreExact) {
  XRealValue x = fathom::fromDouble(-0.75);
  EXPECT_EQ(x.w0, 0x8000004Eu);
  EXPECT_EQ(x.w5, 0xC0000000u);                  // sign and the fraction bit 2^-1
  XRealValue tiny = fathom::fromDouble(std::numeric_limits<double>::denorm_min());
  EXPECT_EQ((int64_t)tiny.w0 - fathom::XR_BIAS, -1074);
  EXPECT_EQ(fieldBits(tiny), 0u);
  XRealValue sub = fathom::fromDouble(std::bit_cast<double>(0x000C000000000000ull));
  EXPECT_EQ((int64_t)sub.w0 - fathom::XR_BIAS, -1023);
  EXPECT_EQ(fieldBits(sub), fractionBit(1));
  XRealValue big = fathom::fromDouble(DBL_MAX);
  EXPECT_EQ((int64_t)big.w0 - fathom::XR_BIAS, 1023);
  EXPECT_EQ(fieldBits(big), (unsigned __int128)((1ull << 52) - 1) << 75);
}

TEST(FathomXRealDouble, SpecialDoubles) {
  EXPECT_TRUE(fathom::isZero(fathom::fromDouble(-0.0)));
  EXPECT_TRUE(fathom::signBit(fathom::fromDouble(-0.0)));
  XRealValue inf = fathom::fromDouble(-HUGE_VAL);
  EXPECT_TRUE(fathom::isInf(inf) && fathom::signBit(inf));
  XRealValue n = fathom::fromDouble(std::bit_cast<double>(0x7FF0000000000123ull));
  EXPECT_EQ(n.w1, (uint32_t)fathom::XR_NAN);     // the payload is not kept
  EXPECT_EQ(std::bit_cast<uint64_t>(fathom::toDouble(fathom::nan(true))), 0xFFF8000000000000ull);
  EXPECT_EQ(std::bit_cast<uint64_t>(fathom::toDouble(fathom::nan(false))), 0x7FF8000000000000ull);
  EXPECT_EQ(std::bit_cast<uint64_t>(fathom::toDouble(fathom::zero(true))), 0x8000000000000000ull);
  EXPECT_EQ(fathom::toDouble(fathom::infinity(true)), -HUGE_VAL);
}

TEST(FathomXRealDouble, RoundTripOfRandomDoubles) {
  std::mt19937_64 rng(11);
  for (int64_t i = 0; i < scaled(1000000); i++) {
    uint64_t b = rng();
    if (i % 4 == 1) b &= 0x800FFFFFFFFFFFFFull;     // subnormals
    double d = std::bit_cast<double>(b);
    if (std::isnan(d)) continue;
    double back = fathom::toDouble(fathom::fromDouble(d));
    ASSERT_EQ(std::bit_cast<uint64_t>(back), b) << std::hexfloat << d;
  }
}

// toDouble against MPFR rounding to 53 bits with IEEE double's range.
double referenceToDouble(XRealValue x) {
  Mp m;
  toMpfr(m.v, x);
  return mpfr_get_d(m.v, MPFR_RNDN);
}

TEST(FathomXRealDouble, ToDoubleRoundsCorrectly) {
  std::mt19937_64 rng(12);
  MpfrModel model;
  for (int64_t i = 0; i < scaled(300000); i++) {
    int64_t e = (int64_t)(rng() % 2300) - 1150;
    unsigned __int128 f = ((unsigned __int128)rng() << 64 | rng()) & kAllOnes;
    if (i % 3 == 1) f = (f >> 75 << 75) | ((unsigned __int128)1 << 74);   // exact ties
    if (i % 3 == 2) f |= ((unsigned __int128)1 << 75) - 1;                 // just below ties
    XRealValue x = bits(rng() & 1, e, f);
    double got = fathom::toDouble(x), want = referenceToDouble(x);
    ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want)) << describe(x);
  }
}

TEST(FathomXRealDouble, ToDoubleEdges) {
  EXPECT_EQ(fathom::toDouble(bits(false, 1024, 0)), HUGE_VAL);
  EXPECT_EQ(fathom::toDouble(bits(true, 1023, kAllOnes)), -HUGE_VAL);     // rounds up to 2^1024
  const unsigned __int128 topBits = (unsigned __int128)((1ull << 52) - 1) << 75;
  EXPECT_EQ(fathom::toDouble(bits(false, 1023, topBits)), DBL_MAX);
  EXPECT_EQ(fathom::toDouble(bits(false, 1023, kAllOnes & ~((unsigned __int128)1 << 74))), DBL_MAX);
  EXPECT_EQ(fathom::toDouble(bits(false, -1075, 0)), 0.0);                // half the least: even
  EXPECT_EQ(fathom::toDouble(bits(false, -1075, 1)), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(fathom::toDouble(bits(false, -1023, kAllOnes)), DBL_MIN);     // carry into normal
  EXPECT_EQ(fathom::toDouble(bits(false, -5000, 0)), 0.0);
  XRealValue largest = bits(false, kEmaxBinary, kAllOnes);
  EXPECT_TRUE(fathom::isFinite(largest));
  EXPECT_EQ(fathom::toDouble(largest), HUGE_VAL);
}

TEST(FathomXRealInteger, Int64AndUint64AreExact) {
  EXPECT_TRUE(fathom::isZero(fathom::fromInt64(0)));
  XRealValue m = fathom::fromInt64(INT64_MIN);
  EXPECT_EQ((int64_t)m.w0 - fathom::XR_BIAS, 63);
  EXPECT_EQ(fieldBits(m), (unsigned __int128)1 << 127);            // sign only
  XRealValue u = fathom::fromUint64(UINT64_MAX);
  EXPECT_EQ((int64_t)u.w0 - fathom::XR_BIAS, 63);
  EXPECT_EQ(fieldBits(u), (unsigned __int128)(UINT64_MAX >> 1) << 64);
  std::mt19937_64 rng(13);
  for (int i = 0; i < 10000; i++) {
    int64_t v = (int64_t)(rng() >> (rng() % 63));
    double d = (double)v;
    if (std::fabs(d) < 0x1p63 && (int64_t)d == v) {
      EXPECT_TRUE(fathom::fromInt64(v) == fathom::fromDouble(d));
    }
    EXPECT_TRUE(fathom::fromInt64(-v) == fathom::neg(fathom::fromInt64(v)));
  }
}

TEST(FathomXRealExponent, FrexpOfSpecialsAndTinyValues) {
  int e = 99;
  XRealValue n = fathom::frexp(fathom::nan(true), &e);
  EXPECT_TRUE(fathom::isNaN(n));
  EXPECT_EQ(e, 0);
  XRealValue tiny = bits(true, kEminBinary - 100, fractionBit(1));
  XRealValue m = fathom::frexp(tiny, &e);
  EXPECT_EQ(e, kEminBinary - 99);
  EXPECT_EQ(m.w0, 0x8000004Eu);
  EXPECT_EQ(fieldBits(m), fieldBits(tiny));
}

TEST(FathomXRealExponent, LdexpAtTheEnds) {
  XRealValue one = fathom::fromDouble(1.0);
  XRealValue over = fathom::ldexp(one, 332192811);
  EXPECT_TRUE(fathom::isInf(over) && !fathom::signBit(over));
  XRealValue top = fathom::ldexp(one, 332192810);
  EXPECT_EQ(top.w0, fathom::XR_EMAX);
  XRealValue low = fathom::ldexp(one, -332192810);
  EXPECT_EQ(low.w0, fathom::XR_EMIN - 1);        // 127 significant bits, own exponent
  EXPECT_EQ(fieldBits(low), 0u);
  XRealValue gone = fathom::ldexp(one, -332193001);
  EXPECT_TRUE(fathom::isZero(gone) && !fathom::signBit(gone));
  // The last bit of a 128-bit value is lost at d = 1: ties to even.
  XRealValue odd = bits(false, 0, 1), even = bits(false, 0, 3);
  EXPECT_EQ(fieldBits(fathom::ldexp(odd, kEminBinary - 1)), 0u);
  EXPECT_EQ(fieldBits(fathom::ldexp(even, kEminBinary - 1)), (unsigned __int128)4);
  EXPECT_TRUE(fathom::isInf(fathom::ldexp(fathom::infinity(true), -5)));
  EXPECT_TRUE(fathom::isZero(fathom::ldexp(fathom::zero(true), 5)));
}

TEST(FathomXRealCompare, OrderZerosAndNaN) {
  XRealValue a = fathom::fromDouble(1.5), b = fathom::fromDouble(-2.0);
  XRealValue nz = fathom::zero(true), pz = fathom::zero(false);
  EXPECT_EQ(fathom::compare(a, b), 1);
  EXPECT_EQ(fathom::compare(b, a), -1);
  EXPECT_EQ(fathom::compare(nz, pz), 0);
  EXPECT_EQ(fathom::compare(nz, a), -1);
  EXPECT_EQ(fathom::compare(b, nz), -1);
  EXPECT_EQ(fathom::compare(fathom::nan(false), a), 2);
  EXPECT_EQ(fathom::compare(a, fathom::nan(true)), 2);
  EXPECT_EQ(fathom::compare(fathom::infinity(true), b), -1);
  EXPECT_EQ(fathom::compare(fathom::infinity(false), fathom::infinity(false)), 0);
  EXPECT_FALSE(fathom::nan(false) == fathom::nan(false));
  // Same exponent, fractions differ in the last bit; negative values reverse.
  EXPECT_EQ(fathom::compare(bits(true, 7, 2), bits(true, 7, 1)), -1);
  EXPECT_EQ(fathom::compare(bits(false, 8, 0), bits(false, 7, kAllOnes)), 1);
  EXPECT_EQ(fathom::compare(bits(false, kEminBinary - 3, 0), pz), 1);
}

TEST(FathomXRealCompare, AgreesWithDoubles) {
  std::mt19937_64 rng(14);
  for (int i = 0; i < 100000; i++) {
    double x = std::ldexp((double)(int64_t)rng(), (int)(rng() % 200) - 100);
    double y = i % 3 ? std::ldexp((double)(int64_t)rng(), (int)(rng() % 200) - 100) : -x;
    int want = x < y ? -1 : (x > y ? 1 : 0);
    ASSERT_EQ(fathom::compare(fathom::fromDouble(x), fathom::fromDouble(y)), want) << x << " " << y;
  }
}

std::string dumpOf(const char *label, XRealValue x) {
  char buf[160];
  FILE *f = fmemopen(buf, sizeof buf, "w");
  fathom::dump(f, label, x);
  std::fclose(f);
  return buf;
}

TEST(FathomXRealDump, Format) {
  EXPECT_EQ(dumpOf("one", fathom::fromDouble(1.0)),
            "     one 0000000000000000 0000000000000000 00000000 8000004f [  E0+0  ]\n");
  EXPECT_EQ(dumpOf("x", fathom::fromDouble(-3.0)),
            "       x c000000000000000 0000000000000000 00000000 80000050 [  E0+1  ]\n");
  std::string nz = dumpOf("z", fathom::zero(true));
  EXPECT_EQ(nz, "       z 8000000000000000 0000000000000000 00000000 00000000 [   -0   ]\n");
  EXPECT_EQ(dumpOf("", fathom::infinity(false)).substr(61), "[  +Inf  ]\n");
  EXPECT_EQ(dumpOf("", fathom::nan(true)).substr(61), "[  -NaN  ]\n");
  XRealValue snan = fathom::nan(false);
  snan.w1 = 3;
  EXPECT_EQ(dumpOf("", snan).substr(61), "[  SNAN  ]\n");
  EXPECT_EQ(dumpOf("", bits(false, kEminBinary - 127, 0)).substr(61), "[EMIN-127]\n");
  EXPECT_EQ(dumpOf("", bits(false, kEmaxBinary, 0)).substr(61), "[EMAX+0  ]\n");
  EXPECT_EQ(dumpOf("", bits(false, kEmaxBinary - 999, 0)).substr(61), "[EMAX-999]\n");
  EXPECT_EQ(dumpOf("", bits(false, 999, 0)).substr(61), "[  E0+999]\n");
  EXPECT_EQ(dumpOf("", bits(false, 1000, 0)).substr(61), "\n");      // no marker
}

} // namespace
