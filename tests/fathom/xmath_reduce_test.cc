// The Payne-Hanek reduction's table and its use at the top of the range:
// the leading words of the 2/pi table against MPFR, and sin, cos, tan of
// the largest extended reals against MPFR's correctly rounded values
// (precomputed: scripts/gen_xmath_huge_trig_ref.py).
#include <gtest/gtest.h>
#include <gmp.h>

#include "fathom/xmath.h"
#include "fathom/xmath_reduce.h"
#include "xreal_mpfr.h"

namespace {

using fathom::XRealValue;
using xrtest::describe;
using xrtest::sameValue;

TEST(FathomXMathReduce, LeadingTableWordsAreTheBitsOfTwoOverPi) {
  constexpr int kWords = 4096;
  ASSERT_GE(fathom::detail::kTwoOverPiWords, 5190518);   // the largest exponent's window
  mpfr_t v;
  mpfr_init2(v, 64 * kWords + 128);
  mpfr_const_pi(v, MPFR_RNDN);
  mpfr_ui_div(v, 2, v, MPFR_RNDN);
  mpfr_mul_2ui(v, v, 64 * kWords, MPFR_RNDN);
  mpz_t z, w;
  mpz_inits(z, w, (mpz_ptr)nullptr);
  mpfr_get_z(z, v, MPFR_RNDZ);
  for (int k = kWords - 1; k >= 0; k--) {
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

TEST(FathomXMathReduce, LargestArgumentsAgreeWithMpfr) {
  for (const HugeRow &r : kHuge) {
    EXPECT_TRUE(sameValue(fathom::sin(r.x), r.s)) << describe(r.x) << describe(fathom::sin(r.x));
    EXPECT_TRUE(sameValue(fathom::cos(r.x), r.c)) << describe(r.x) << describe(fathom::cos(r.x));
    EXPECT_TRUE(sameValue(fathom::tan(r.x), r.t)) << describe(r.x) << describe(fathom::tan(r.x));
  }
}

} // namespace
