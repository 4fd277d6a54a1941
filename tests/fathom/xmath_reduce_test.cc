// The Payne-Hanek reduction's table and its use at the top of its range:
// every word of the 2/pi table against MPFR, sin, cos and tan of the
// largest reduced arguments (below 2^1048576) against MPFR's correctly
// rounded values (precomputed: scripts/gen_xmath_huge_trig_ref.py), and NaN
// from the limit up.
#include <gtest/gtest.h>
#include <gmp.h>

#include "fathom/xcomplex.h"
#include "fathom/xmath.h"
#include "fathom/xmath_reduce.h"
#include "xreal_mpfr.h"

namespace {

using fathom::XComplexValue;
using fathom::XRealValue;
using xrtest::describe;
using xrtest::sameValue;

// The value 1.fraction * 2^e with the fraction's top 32 bits given.
XRealValue powerOfTwoTimes(int64_t e, uint32_t top, bool negative = false) {
  return {(uint32_t)(fathom::XR_BIAS + e), 0, 0, 0, 0, (top & 0x7fffffffu) | (negative ? 0x80000000u : 0)};
}

TEST(FathomXMathReduce, TableWordsAreTheBitsOfTwoOverPi) {
  constexpr int64_t kWords = fathom::detail::kTwoOverPiWords;
  // Enough for the window of the largest exponent below the limit.
  ASSERT_GE(kWords, (fathom::detail::kReduceExponentLimit - 1 - 257) / 64 + 1 + 10);
  mpfr_t v;
  mpfr_init2(v, 64 * kWords + 128);
  mpfr_const_pi(v, MPFR_RNDN);
  mpfr_ui_div(v, 2, v, MPFR_RNDN);
  mpfr_mul_2ui(v, v, 64 * kWords, MPFR_RNDN);
  mpz_t z, w;
  mpz_inits(z, w, (mpz_ptr)nullptr);
  mpfr_get_z(z, v, MPFR_RNDZ);
  for (int64_t k = kWords - 1; k >= 0; k--) {
    mpz_tdiv_r_2exp(w, z, 64);
    uint64_t word = 0;
    mpz_export(&word, nullptr, -1, sizeof word, 0, 0, w);
    ASSERT_EQ(fathom::detail::kTwoOverPi[k], word) << "word " << k;
    mpz_tdiv_q_2exp(z, z, 64);
  }
  mpz_clears(z, w, (mpz_ptr)nullptr);
  mpfr_clear(v);
}

struct HugeRow {
  XRealValue x, s, c, t;
};

const HugeRow kHuge[] = {
#include "fathom/data/xmath_huge_trig.inc"
};

TEST(FathomXMathReduce, LargestReducedArgumentsAgreeWithMpfr) {
  ASSERT_GE(sizeof kHuge / sizeof kHuge[0], 10u);
  for (const HugeRow &r : kHuge) {
    EXPECT_TRUE(sameValue(fathom::sin(r.x), r.s)) << describe(r.x) << describe(fathom::sin(r.x));
    EXPECT_TRUE(sameValue(fathom::cos(r.x), r.c)) << describe(r.x) << describe(fathom::cos(r.x));
    EXPECT_TRUE(sameValue(fathom::tan(r.x), r.t)) << describe(r.x) << describe(fathom::tan(r.x));
  }
}

// From 2^1048576 up, no angle is left in the argument: NaN, for either sign,
// from the limit itself to the largest extended real.
TEST(FathomXMathReduce, BeyondTheLimitGivesNaN) {
  const int64_t limit = fathom::detail::kReduceExponentLimit;
  const XRealValue largest{fathom::XR_EMAX, 0, ~0u, ~0u, ~0u, 0x7fffffffu};
  const XRealValue beyond[] = {
      powerOfTwoTimes(limit, 0), powerOfTwoTimes(limit, 0, true), powerOfTwoTimes(limit, 0x12345678),
      powerOfTwoTimes(limit + 1, 0), powerOfTwoTimes(limit + 64, 0x7fffffff, true),
      powerOfTwoTimes(99999999, 0x5555), largest, fathom::neg(largest)};
  for (XRealValue x : beyond) {
    EXPECT_TRUE(fathom::isNaN(fathom::sin(x))) << describe(x);
    EXPECT_TRUE(fathom::isNaN(fathom::cos(x))) << describe(x);
    EXPECT_TRUE(fathom::isNaN(fathom::tan(x))) << describe(x);
    // The complex functions that need sin and cos of a part that large.
    const XRealValue one = fathom::fromInt64(1);
    XComplexValue e = fathom::cexp({one, x});
    EXPECT_TRUE(fathom::isNaN(e.re) && fathom::isNaN(e.im)) << describe(x);
    XComplexValue s = fathom::csin({x, one});
    EXPECT_TRUE(fathom::isNaN(s.re) && fathom::isNaN(s.im)) << describe(x);
  }
}

} // namespace
