// The rounding step seen through the operations: ties, carries, overflow,
// gradual underflow with its reduced precision, signed zeros and the IEEE
// rules for infinities and NaNs.
#include <gtest/gtest.h>

#include "fathom/xreal.h"
#include "xreal_build.h"
#include "xreal_mpfr.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

using U = unsigned __int128;
const U kAllOnes = ~(U)0 >> 1;
const XRealValue kOne = bits(false, 0, 0);

#define EXPECT_SAME(got, want) EXPECT_PRED2(sameValue, got, want) << describe(got) << describe(want)

XRealValue referenceAdd(XRealValue a, XRealValue b) {
  MpfrModel model;
  Mp ma, mb, r;
  toMpfr(ma.v, a);
  toMpfr(mb.v, b);
  finish(r.v, mpfr_add(r.v, ma.v, mb.v, MPFR_RNDN));
  return fromMpfr(r.v);
}

XRealValue referenceMul(XRealValue a, XRealValue b) {
  MpfrModel model;
  Mp ma, mb, r;
  toMpfr(ma.v, a);
  toMpfr(mb.v, b);
  finish(r.v, mpfr_mul(r.v, ma.v, mb.v, MPFR_RNDN));
  return fromMpfr(r.v);
}

TEST(FathomXRealRound, TiesAndCarriesInAddition) {
  EXPECT_SAME(kOne + bits(false, -200, 0), kOne);
  EXPECT_SAME(kOne + bits(false, -128, 0), kOne);                    // tie, 1 is even
  EXPECT_SAME(bits(false, 0, 1) + bits(false, -128, 0), bits(false, 0, 2));   // tie, odd: up
  EXPECT_SAME(bits(false, 0, kAllOnes) + bits(false, -128, 0), bits(false, 1, 0));  // carry
  EXPECT_SAME(bits(false, 0, kAllOnes) + bits(false, -129, 1), bits(false, 0, kAllOnes));
  EXPECT_SAME(bits(false, 1, 0) - bits(false, -127, 0), bits(false, 0, kAllOnes));  // exact
  EXPECT_SAME(bits(false, 1, 0) - bits(false, -128, 0), bits(false, 1, 0));   // tie: 2 is even
  EXPECT_SAME(bits(false, 1, 0) - bits(false, -128, 1), bits(false, 0, kAllOnes));
}

TEST(FathomXRealRound, StickyBitDecidesNearTies) {
  // The carry shift keeps the sticky bit: 2 - 3*2^-127 + 2^-64 + 2^-191 lies
  // just above a tie whose even neighbour is below.
  XRealValue a = bits(false, 0, kAllOnes - 2), b = bits(false, -64, 1);
  XRealValue want = bits(false, 1, ((U)1 << 62) - 1);
  EXPECT_SAME(a + b, want);
  EXPECT_SAME(referenceAdd(a, b), want);
  // A product in [1, 2) whose guard is exactly one half in its upper bits
  // and whose lowest bits are not zero: it must round up.
  XRealValue x = bits(false, 0, (U)1 << 61), y = bits(false, 0, (U)1 << 65 | 2);
  XRealValue p = x * y;
  EXPECT_SAME(p, referenceMul(x, y));
  EXPECT_EQ(p.w2 & 1, 1u);
  // (1 + 2^-64)^2 = 1 + 2^-63 + 2^-128 is an exact tie that stays even.
  XRealValue z = bits(false, 0, fractionBit(64));
  EXPECT_SAME(z * z, bits(false, 0, fractionBit(63)));
}

TEST(FathomXRealRound, OverflowToInfinity) {
  XRealValue largest = bits(false, kEmaxBinary, kAllOnes);
  EXPECT_TRUE(fathom::isFinite(largest));
  EXPECT_SAME(largest + bits(false, kEmaxBinary - 129, kAllOnes), largest);
  EXPECT_SAME(largest + bits(false, kEmaxBinary - 128, 0), fathom::infinity(false));  // tie, odd
  EXPECT_SAME(fathom::neg(largest) * bits(false, 1, 0), fathom::infinity(true));
  EXPECT_SAME(largest / bits(false, -1, kAllOnes), fathom::infinity(false));
  EXPECT_SAME(largest * bits(false, 0, 0), largest);
  EXPECT_SAME(largest * largest, fathom::infinity(false));
}

TEST(FathomXRealRound, GradualUnderflowHasReducedPrecision) {
  const int64_t e = kEminBinary;
  XRealValue minNormal = bits(false, e, 0);
  // 2^-1 of the smallest normal keeps exponent EMIN-1 and 127 bits: the last
  // fraction bit of the halved value is rounded away (ties to even).
  XRealValue halfOdd = bits(false, e, 3) * bits(false, -1, 0);
  EXPECT_EQ(halfOdd.w0, fathom::XR_EMIN - 1);
  EXPECT_EQ(fieldBits(halfOdd), (U)4);
  for (int d = 1; d <= 127; d += 7) {
    XRealValue v = bits(true, e, kAllOnes) * bits(false, -d, 0x5555);
    XRealValue want = referenceMul(bits(true, e, kAllOnes), bits(false, -d, 0x5555));
    EXPECT_SAME(v, want) << "d=" << d;
    EXPECT_EQ(fieldBits(v) & (((U)1 << (d - 1)) - 1), 0u) << "d=" << d;   // exponent EMIN-d+1
  }
  XRealValue smallest = bits(false, e - 127, 0);
  EXPECT_SAME(smallest * bits(false, -1, 0), fathom::zero(false));   // exactly half: even is 0
  EXPECT_SAME(smallest * bits(false, -1, 1), smallest);              // above half
  EXPECT_SAME(smallest * bits(true, -1, kAllOnes), fathom::neg(smallest));
  EXPECT_SAME(smallest / bits(false, 0, 1), smallest);
  EXPECT_SAME(minNormal - bits(false, e, 1), fathom::neg(bits(false, e - 127, 0)));
  EXPECT_SAME(smallest * bits(true, -70, 0), fathom::zero(true));    // d far above 191
}

TEST(FathomXRealRound, SignedZeros) {
  XRealValue x = bits(true, 10, 12345), pz = fathom::zero(false), nz = fathom::zero(true);
  EXPECT_SAME(x + fathom::neg(x), pz);
  EXPECT_SAME(fathom::neg(x) + x, pz);
  EXPECT_SAME(x - x, pz);
  EXPECT_SAME(nz + nz, nz);
  EXPECT_SAME(nz + pz, pz);
  EXPECT_SAME(pz - pz, pz);
  EXPECT_SAME(nz - pz, nz);
  EXPECT_SAME(x + nz, x);
  EXPECT_SAME(pz + x, x);
  EXPECT_SAME(x * pz, nz);
  EXPECT_SAME(nz * nz, pz);
  EXPECT_SAME(pz / x, nz);
  EXPECT_SAME(x / fathom::infinity(false), nz);
  EXPECT_SAME(fathom::sqrt(nz), nz);
  EXPECT_SAME(fathom::sqrt(pz), pz);
}

TEST(FathomXRealRound, InfinitiesAndNaNs) {
  XRealValue inf = fathom::infinity(false), ninf = fathom::infinity(true);
  XRealValue x = bits(false, 3, 77), pz = fathom::zero(false), nz = fathom::zero(true);
  XRealValue snan = fathom::nan(false);
  snan.w1 = 9;
  EXPECT_TRUE(fathom::isNaN(inf - inf));
  EXPECT_TRUE(fathom::isNaN(inf + ninf));
  EXPECT_SAME(inf + inf, inf);
  EXPECT_SAME(ninf - x, ninf);
  EXPECT_TRUE(fathom::isNaN(pz * inf));
  EXPECT_TRUE(fathom::isNaN(ninf * nz));
  EXPECT_SAME(ninf * fathom::neg(x), inf);
  EXPECT_SAME(x / pz, inf);
  EXPECT_SAME(x / nz, ninf);
  EXPECT_SAME(fathom::neg(x) / pz, ninf);
  EXPECT_TRUE(fathom::isNaN(pz / nz));
  EXPECT_TRUE(fathom::isNaN(inf / ninf));
  EXPECT_SAME(inf / x, inf);
  EXPECT_TRUE(fathom::isNaN(fathom::sqrt(fathom::neg(x))));
  EXPECT_TRUE(fathom::isNaN(fathom::sqrt(ninf)));
  EXPECT_SAME(fathom::sqrt(inf), inf);
  // Every NaN input, signalling ones included, gives the quiet class.
  for (XRealValue n : {fathom::nan(true), snan}) {
    EXPECT_EQ((n + x).w1, (uint32_t)fathom::XR_NAN);
    EXPECT_EQ((x - n).w1, (uint32_t)fathom::XR_NAN);
    EXPECT_EQ((n * inf).w1, (uint32_t)fathom::XR_NAN);
    EXPECT_EQ((pz / n).w1, (uint32_t)fathom::XR_NAN);
    EXPECT_EQ(fathom::sqrt(n).w1, (uint32_t)fathom::XR_NAN);
  }
}

TEST(FathomXRealRound, ExactSquareRootsAndDivision) {
  EXPECT_SAME(fathom::sqrt(bits(false, 2, 0)), bits(false, 1, 0));
  EXPECT_SAME(fathom::sqrt(bits(false, 3, fractionBit(3))), bits(false, 1, fractionBit(1)));  // sqrt(9) = 3
  EXPECT_SAME(fathom::sqrt(bits(false, kEminBinary - 127, 0)), bits(false, (kEminBinary - 127) / 2, 0));
  // sqrt((4 - 2^-126) * 4^k) lies just below a tie and rounds down to all ones.
  const int64_t k = (kEmaxBinary - 2) / 2;
  EXPECT_SAME(fathom::sqrt(bits(false, 2 * k + 1, kAllOnes)), bits(false, k, kAllOnes));
  EXPECT_SAME(bits(false, 5, fractionBit(2)) / bits(false, 2, fractionBit(2)), bits(false, 3, 0));
  EXPECT_SAME(bits(true, 0, 0) / bits(false, 1, fractionBit(1)),
              fathom::neg(bits(false, -2, (kAllOnes / 3) | 1)));      // -1/3, rounded up
}

} // namespace
