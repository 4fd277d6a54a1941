// The integer square root under the extended real's sqrt, against GMP: the
// Newton estimate stays within two units (so the exact correction is short)
// and the corrected root and its exactness flag are right.
#include <gtest/gtest.h>

#include <gmp.h>

#include <random>

#include "fathom/xreal_internal.h"
#include "xreal_mpfr.h"

namespace {

using namespace fathom::detail;

void toMpz(mpz_t z, u128 hi, uint64_t lo) {
  uint64_t limbs[3] = {lo, lo64(hi), hi64(hi)};
  mpz_import(z, 3, -1, sizeof(uint64_t), 0, 0, limbs);
}

// Radicand significands: random, and at both ends of [2^127, 2^128).
u128 significand(std::mt19937_64 &rng, int64_t i) {
  u128 r = make128(rng(), rng()) | kTop;
  if (i % 4 == 1) return kTop | (rng() & 0xFF);
  if (i % 4 == 2) return ~(u128)0 - (rng() & 0xFF);
  return r;
}

TEST(FathomXRealSqrt, EstimateAndCorrectionAgreeWithGmp) {
  std::mt19937_64 rng(51);
  mpz_t n, root, rem, got;
  mpz_inits(n, root, rem, got, (mpz_ptr)nullptr);
  for (int64_t i = 0; i < xrtest::scaled(400000); i++) {
    u128 x = significand(rng, i);
    bool shift256 = rng() & 1;
    uint64_t limbs[2] = {lo64(x), hi64(x)};
    mpz_import(n, 2, -1, sizeof(uint64_t), 0, 0, limbs);
    mpz_mul_2exp(n, n, shift256 ? 256 : 255);
    mpz_sqrtrem(root, rem, n);
    u128 hi;
    uint64_t lo;
    isqrtEstimate(x, shift256, &hi, &lo);
    toMpz(got, hi, lo);
    mpz_sub(got, got, root);
    ASSERT_LE(mpz_cmpabs_ui(got, 2), 0) << "estimate too far, case " << i;
    bool exact;
    isqrtScaled(x, shift256, &hi, &lo, &exact);
    toMpz(got, hi, lo);
    ASSERT_EQ(mpz_cmp(got, root), 0) << "case " << i;
    ASSERT_EQ(exact, mpz_sgn(rem) == 0) << "case " << i;
  }
  mpz_clears(n, root, rem, got, (mpz_ptr)nullptr);
}

TEST(FathomXRealSqrt, ExactSquares) {
  std::mt19937_64 rng(52);
  for (int i = 0; i < 20000; i++) {
    // s^2 with s of 64 bits fills the top of a 128-bit significand.
    uint64_t s = rng() | 1ull << 63;
    u128 sq = mul64(s, s);
    if (!(sq >> 127)) continue;                  // keep the significand normalised
    u128 hi;
    uint64_t lo;
    bool exact;
    isqrtScaled(sq, true, &hi, &lo, &exact);  // sqrt(s^2 * 2^256) = s * 2^128
    EXPECT_TRUE(exact);
    EXPECT_EQ(hi, (u128)s << 64);
    EXPECT_EQ(lo, 0u);
  }
}

} // namespace
