// The decimal conversions' private machinery: the power-of-ten table, the
// error bound of pow10, and the big-integer bounds and comparisons, all
// checked against MPFR and GMP.
#include <gtest/gtest.h>

#include <gmp.h>
#include <mpfr.h>

#include <random>

#include "fathom/xdecimal_bignum.h"
#include "fathom/xdecimal_pow10.h"
#include "xreal_mpfr.h"

namespace {

using namespace fathom::detail;
using xrtest::Mp;

void toMpz(mpz_t z, const BigInt &x) {
  mpz_import(z, (size_t)x.size, -1, sizeof(uint64_t), 0, 0, x.limb);
}

void fromMpz(BigInt &x, const mpz_t z) {
  size_t n = 0;
  mpz_export(x.limb, &n, -1, sizeof(uint64_t), 0, 0, z);
  x.size = (int)n;
}

// m * 2^e as an MPFR number of enough precision to hold it.
void approxToMpfr(mpfr_t r, const Approx &a) {
  mpz_t z;
  mpz_init(z);
  mpz_import(z, 3, -1, sizeof(uint64_t), 0, 0, a.m.w);
  mpfr_set_z_2exp(r, z, a.e, MPFR_RNDN);
  mpz_clear(z);
}

TEST(FathomXDecimalTable, EntriesAreCorrectlyRounded) {
  mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  mpfr_set_emin(mpfr_get_emin_min());
  mpfr_set_emax(mpfr_get_emax_max());
  Mp want(192), got(192), ten(8);
  mpfr_set_ui(ten.v, 10, MPFR_RNDN);
  for (int sign = 0; sign < 2; sign++)
    for (int level = 0; level < kPow10Levels; level++)
      for (int d = 1; d < kPow10Base; d++) {
        const Pow10Entry &t = kPow10Table[sign][level][d];
        long k = d * (1L << (7 * level)) * (sign ? -1 : 1);
        mpfr_pow_si(want.v, ten.v, k, MPFR_RNDN);
        approxToMpfr(got.v, {{{t.m0, t.m1, t.m2}}, t.e});
        ASSERT_TRUE(mpfr_equal_p(want.v, got.v)) << "10^" << k;
        ASSERT_TRUE(t.m2 >> 63) << "10^" << k;
      }
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
}

TEST(FathomXDecimalTable, Pow10StaysWithinItsErrorBound) {
  mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  mpfr_set_emin(mpfr_get_emin_min());
  mpfr_set_emax(mpfr_get_emax_max());
  std::mt19937_64 rng(41);
  Mp exact(400), got(400), diff(400), ten(8);
  mpfr_set_ui(ten.v, 10, MPFR_RNDN);
  for (int i = 0; i < 3000; i++) {
    int64_t k = (int64_t)(rng() % (2 * 100000100ull)) - 100000100;
    if (i % 3 == 0) k %= 300;
    int err;
    Approx p = pow10(k, &err);
    mpfr_pow_si(exact.v, ten.v, k, MPFR_RNDN);     // 400 bits: error far below a unit
    approxToMpfr(got.v, p);
    mpfr_sub(diff.v, got.v, exact.v, MPFR_RNDN);
    mpfr_abs(diff.v, diff.v, MPFR_RNDN);
    mpfr_mul_2si(diff.v, diff.v, -p.e, MPFR_RNDN); // in units of the last bit
    ASSERT_LE(mpfr_get_d(diff.v, MPFR_RNDU), err == 0 ? 0.0 : err) << "10^" << k;
    if (k >= 0 && k <= 82) {
      EXPECT_EQ(err, 0) << "10^" << k;
    }
  }
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
}

TEST(FathomXDecimalBig, Pow5BoundsEncloseThePower) {
  static BigFloat lo, hi;
  std::mt19937_64 rng(42);
  mpz_t p5, a, b;
  mpz_inits(p5, a, b, (mpz_ptr)nullptr);
  for (int i = 0; i < 300; i++) {
    int64_t t = (int64_t)(rng() % 3000) - 1500;
    int64_t p = 64 + (int64_t)(rng() % 2000);
    bool exact = pow5Bounds(t, p, lo, hi);
    EXPECT_LE(bitLength(lo.m), p + 1);
    // lo * 2^elo <= 5^t <= hi * 2^ehi, checked in integers.
    mpz_ui_pow_ui(p5, 5, (unsigned long)(t < 0 ? -t : t));
    for (int side = 0; side < 2; side++) {
      const BigFloat &f = side ? hi : lo;
      toMpz(a, f.m);
      mpz_set(b, p5);
      if (t >= 0) {                               // a * 2^e vs 5^t
        if (f.e >= 0) mpz_mul_2exp(a, a, (mp_bitcnt_t)f.e);
        else mpz_mul_2exp(b, b, (mp_bitcnt_t)-f.e);
      } else {                                    // a * 2^e * 5^|t| vs 1
        mpz_mul(a, a, p5);
        mpz_set_ui(b, 1);
        if (f.e >= 0) mpz_mul_2exp(a, a, (mp_bitcnt_t)f.e);
        else mpz_mul_2exp(b, b, (mp_bitcnt_t)-f.e);
      }
      int c = mpz_cmp(a, b);
      EXPECT_TRUE(side == 0 ? c <= 0 : c >= 0) << "t=" << t << " p=" << p;
      EXPECT_TRUE(!exact || c == 0) << "t=" << t << " p=" << p;
    }
    EXPECT_EQ(exact, t >= 0 && (int64_t)mpz_sizeinbase(p5, 2) <= p) << "t=" << t << " p=" << p;
  }
  mpz_clears(p5, a, b, (mpz_ptr)nullptr);
}

// compareWithPow5 on A * 5^t against B = the top `keep` bits of A * 5^t
// (or one more): the difference is far below the first bits, so large t
// needs the bounded path at growing precision.
TEST(FathomXDecimalBig, CompareDecidesNearEqualValues) {
  static BigInt A, B;
  std::mt19937_64 rng(43);
  mpz_t full, top;
  mpz_inits(full, top, (mpz_ptr)nullptr);
  for (int i = 0; i < 60; i++) {
    unsigned long t = i < 20 ? 1 + rng() % 5000 : 20000 + rng() % (i < 50 ? 200000 : 2000000);
    uint64_t a = rng() | 1;
    setSmall(A, a);
    mpz_ui_pow_ui(full, 5, t);
    mpz_mul_ui(full, full, a);
    size_t bits = mpz_sizeinbase(full, 2);
    size_t keep = 64 + rng() % (i % 3 == 0 ? 9000 : 400);
    if (keep > bits) keep = bits;
    int64_t shift = (int64_t)(bits - keep);
    mpz_tdiv_q_2exp(top, full, (mp_bitcnt_t)shift);
    bool exactTop = mpz_scan1(full, 0) >= (mp_bitcnt_t)shift;   // nothing below the kept bits
    for (int plusOne = 0; plusOne < 2; plusOne++) {
      if (plusOne) mpz_add_ui(top, top, 1);
      fromMpz(B, top);
      int64_t a2 = (int64_t)(rng() % 200) - 100;
      bool decided;
      int c = compareWithPow5(A, (int64_t)t, a2, B, shift + a2, &decided);
      int want = plusOne ? -1 : (exactTop ? 0 : 1);
      ASSERT_TRUE(decided) << "t=" << t << " keep=" << keep;
      ASSERT_EQ(c, want) << "t=" << t << " keep=" << keep;
    }
  }
  mpz_clears(full, top, (mpz_ptr)nullptr);
}

TEST(FathomXDecimalBig, ShiftsDivisionAndComparison) {
  static BigInt x, y;
  mpz_t zx, zy, q;
  mpz_inits(zx, zy, q, (mpz_ptr)nullptr);
  std::mt19937_64 rng(44);
  for (int i = 0; i < 2000; i++) {
    mpz_set_ui(zx, rng());
    mpz_mul_2exp(zx, zx, rng() % 3000);
    mpz_add_ui(zx, zx, rng() % 3);
    fromMpz(x, zx);
    int64_t s = (int64_t)(rng() % 3100);
    bool lost = shiftRight(x, s);
    mpz_tdiv_q_2exp(q, zx, (mp_bitcnt_t)s);
    toMpz(zy, x);
    ASSERT_EQ(mpz_cmp(zy, q), 0);
    ASSERT_EQ(lost, mpz_scan1(zx, 0) < (mp_bitcnt_t)s);
    ASSERT_TRUE(shiftLeft(x, s));
    toMpz(zy, x);
    mpz_mul_2exp(q, q, (mp_bitcnt_t)s);
    ASSERT_EQ(mpz_cmp(zy, q), 0);
    uint64_t d = rng() | 1;
    fromMpz(y, zx);
    uint64_t r = divSmall(y, d);
    ASSERT_EQ(r, mpz_fdiv_q_ui(q, zx, d));
    toMpz(zy, y);
    ASSERT_EQ(mpz_cmp(zy, q), 0);
    // x * 2^ea against y * 2^eb, with x and y of similar size.
    int64_t ea = (int64_t)(rng() % 100), eb = (int64_t)(rng() % 100);
    toMpz(zx, x);
    mpz_mul_2exp(zx, zx, (mp_bitcnt_t)ea);
    mpz_mul_2exp(zy, zy, (mp_bitcnt_t)eb);
    int want = mpz_cmp(zx, zy);
    ASSERT_EQ(compareScaledPow2(x, ea, y, eb), (want > 0) - (want < 0));
    ASSERT_EQ(compareScaledPow2(x, ea, x, ea), 0);
  }
  mpz_clears(zx, zy, q, (mpz_ptr)nullptr);
}

} // namespace
