// Extended real to decimal: toDigits against mpfr_get_str, the fixed and
// exponent formats against mpfr_snprintf, decimal ties, and the limits.
#include <gtest/gtest.h>

#include <gmp.h>

#include <random>
#include <string>

#include "fathom/xdecimal.h"
#include "xreal_build.h"
#include "xreal_mpfr.h"
#include "xreal_random.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

std::string ourDigits(XRealValue x, int count, int *e10) {
  char buf[48];
  fathom::toDigits(x, count, buf, e10);
  return buf;
}

// MPFR's digits for |x| and the exponent of the first one.
std::string mpfrDigits(XRealValue x, int count, int *e10) {
  MpfrModel model;
  Mp m;
  toMpfr(m.v, fathom::fabs(x));
  char buf[96];                                  // up to 80 digits, sign and NUL
  mpfr_exp_t e;
  mpfr_get_str(buf, &e, 10, count, m.v, MPFR_RNDN);
  *e10 = (int)e - 1;
  return buf;
}

void expectDigits(XRealValue x, int count) {
  int e1, e2;
  std::string got = ourDigits(x, count, &e1), want = mpfrDigits(x, count, &e2);
  EXPECT_EQ(got, want) << describe(x) << "count " << count;
  EXPECT_EQ(e1, e2) << describe(x) << "count " << count;
}

TEST(FathomXDecimalPrint, DigitsAgreeWithMpfr) {
  RandomXReal rnd(31);
  for (int64_t i = 0; i < scaled(200000); i++) {
    XRealValue x = i % 4 ? rnd.withExponent(rnd.uniform(-500, 500), rnd.coin()) : rnd.any();
    expectDigits(x, 1 + (int)(i % 40));
    if (HasFailure()) return;
  }
}

// x = (10 d + 5) * 10^k exactly: one digit more than `count`, ending in 5.
XRealValue decimalTie(uint64_t d, int64_t k) {
  mpz_t z;
  mpz_init_set_ui(z, d);
  mpz_mul_ui(z, z, 10);
  mpz_add_ui(z, z, 5);
  mpz_t p;
  mpz_init(p);
  mpz_ui_pow_ui(p, 10, (unsigned long)k);
  mpz_mul(z, z, p);
  Mp m(256);
  mpfr_set_z(m.v, z, MPFR_RNDN);
  mpz_clears(z, p, (mpz_ptr)nullptr);
  return fromMpfr(m.v);
}

TEST(FathomXDecimalPrint, DecimalTiesGoToEven) {
  int e;
  EXPECT_EQ(ourDigits(bits(false, 1, fractionBit(2)), 1, &e), "2");      // 2.5
  EXPECT_EQ(ourDigits(bits(false, 1, fractionBit(1) | fractionBit(2)), 1, &e), "4");   // 3.5
  EXPECT_EQ(ourDigits(bits(false, -3, 0), 2, &e), "12");                 // 0.125
  EXPECT_EQ(e, -1);
  EXPECT_EQ(ourDigits(bits(false, -10, 0), 6, &e), "976562");            // 2^-10 = 0.0009765625
  EXPECT_EQ(ourDigits(decimalTie(2, 30), 1, &e), "2");                   // 2.5e31
  EXPECT_EQ(e, 31);
  std::mt19937_64 rng(32);
  for (int i = 0; i < 3000; i++) {                 // ties behind an inexact power of ten
    int digits = 1 + (int)(rng() % 15);
    uint64_t d = rng() % 1000000000000000ull;
    uint64_t limit = 1;
    for (int j = 0; j < digits; j++) limit *= 10;
    d %= limit;
    int64_t k = (int64_t)(rng() % 20);
    XRealValue x = decimalTie(d, k);
    int count = 1;
    for (uint64_t t = d; t >= 10; t /= 10) count++;
    expectDigits(x, count);
    if (HasFailure()) return;
  }
}

std::string ours(int (*format)(char *, int, XRealValue, int), XRealValue x, int decimals) {
  char buf[256];
  format(buf, sizeof buf, x, decimals);
  return buf;
}

std::string mpfrFormat(const char *conversion, XRealValue x, int decimals) {
  MpfrModel model;
  Mp m;
  toMpfr(m.v, x);
  char buf[256];
  std::string f = std::string("%.*RN") + conversion;
  mpfr_snprintf(buf, sizeof buf, f.c_str(), decimals, m.v);
  return buf;
}

TEST(FathomXDecimalPrint, FormatsAgreeWithMpfr) {
  RandomXReal rnd(33);
  for (int64_t i = 0; i < scaled(60000); i++) {
    XRealValue x = rnd.withExponent(rnd.uniform(-300, 200), rnd.coin());
    int decimals = (int)(i % 80);
    EXPECT_EQ(ours(fathom::formatE, x, decimals % 79), mpfrFormat("e", x, decimals % 79))
        << describe(x);
    if (rnd.uniform(0, 2) == 0) x = rnd.withExponent(rnd.uniform(-150, 120), rnd.coin());
    std::string want = mpfrFormat("f", x, decimals);
    size_t digitCount = want.size() - (want.find('.') != std::string::npos) - (want[0] == '-');
    if (digitCount <= 80) {                      // longer ones stop at 80 digits by design
      EXPECT_EQ(ours(fathom::formatF, x, decimals), want) << describe(x);
    }
    if (HasFailure()) return;
  }
}

TEST(FathomXDecimalPrint, FixedDigitsAtLargePlaces) {
  // Wide results whose power of five is only bounded, not exact.
  RandomXReal rnd(34);
  for (int i = 0; i < 2000; i++) {
    XRealValue x = rnd.withExponent(rnd.uniform(-1200, -300), false);
    char digits[96];
    int e10;
    int n = fathom::toFixedDigits(x, 0, digits, &e10);
    EXPECT_EQ(n, 0);
    int place = (int)rnd.uniform(40, 75);
    int want;
    std::string ref = mpfrDigits(x, place, &want);
    n = fathom::toFixedDigits(x, place - 1 - want, digits, &e10);
    ASSERT_EQ(n, place) << describe(x);
    EXPECT_EQ(std::string(digits), ref) << describe(x);
    EXPECT_EQ(e10, want);
  }
}

TEST(FathomXDecimalPrint, FixedDigitsLimits) {
  char digits[96];
  int e10;
  XRealValue half = bits(false, -1, 0), three = bits(false, 1, fractionBit(1));
  EXPECT_EQ(fathom::toFixedDigits(half, 0, digits, &e10), 0);           // 0.5 to even: 0
  EXPECT_EQ(fathom::toFixedDigits(bits(false, -1, 1), 0, digits, &e10), 1);
  EXPECT_STREQ(digits, "1");
  EXPECT_EQ(e10, 0);
  EXPECT_EQ(fathom::toFixedDigits(three, 3, digits, &e10), 4);
  EXPECT_STREQ(digits, "3000");
  EXPECT_EQ(e10, 0);
  // 2^300 has 91 digits: the result stops at 80, rounded there.
  XRealValue big = bits(false, 300, 0);
  EXPECT_EQ(fathom::toFixedDigits(big, 2, digits, &e10), 80);
  EXPECT_EQ(e10, 90);
  int e;
  EXPECT_EQ(std::string(digits).substr(0, 40), mpfrDigits(big, 80, &e).substr(0, 40));
  EXPECT_EQ(std::string(digits), mpfrDigits(big, 80, &e));
  // Rounding places far away from the value: nothing, or the 80-digit limit.
  EXPECT_EQ(fathom::toFixedDigits(three, -1000, digits, &e10), 0);
  EXPECT_EQ(fathom::toFixedDigits(three, -1, digits, &e10), 0);         // 3 to tens: 0
  EXPECT_EQ(fathom::toFixedDigits(bits(false, 2, fractionBit(2)), -1, digits, &e10), 0);   // 5: tie, 0 is even
  EXPECT_EQ(fathom::toFixedDigits(bits(false, 2, fractionBit(1)), -1, digits, &e10), 1);   // 6 -> 1e1
  EXPECT_STREQ(digits, "1");
  EXPECT_EQ(e10, 1);
  EXPECT_EQ(fathom::toFixedDigits(three, INT32_MIN, digits, &e10), 0);
  EXPECT_EQ(fathom::toFixedDigits(three, INT32_MAX, digits, &e10), 80);
  EXPECT_EQ(e10, 0);
  EXPECT_EQ(fathom::toFixedDigits(bits(false, kEminBinary - 127, 0), INT32_MAX, digits, &e10), 80);
}

TEST(FathomXDecimalPrint, SpecialValuesAndZeros) {
  EXPECT_EQ(ours(fathom::formatE, fathom::nan(true), 3), "NaN");
  EXPECT_EQ(ours(fathom::formatF, fathom::infinity(false), 3), "Infinity");
  EXPECT_EQ(ours(fathom::formatE, fathom::infinity(true), 3), "-Infinity");
  EXPECT_EQ(ours(fathom::formatE, fathom::zero(false), 3), "0.000e+00");
  EXPECT_EQ(ours(fathom::formatE, fathom::zero(true), 0), "-0e+00");
  EXPECT_EQ(ours(fathom::formatF, fathom::zero(true), 2), "-0.00");
  EXPECT_EQ(ours(fathom::formatF, bits(true, -20, 0), 2), "-0.00");
  EXPECT_EQ(ours(fathom::formatF, bits(false, 3, 0), 0), "8");
}

TEST(FathomXDecimalPrint, ExtremeExponentsAndTruncation) {
  RandomXReal rnd(35);
  for (int i = 0; i < 400; i++) {
    XRealValue x = rnd.withExponent(i % 2 ? rnd.uniform(kEmaxBinary - 2000, kEmaxBinary)
                                          : rnd.uniform(kEminBinary - 127, kEminBinary + 2000),
                                    rnd.coin());
    expectDigits(x, 1 + i % 40);
    EXPECT_EQ(ours(fathom::formatE, x, 39), mpfrFormat("e", x, 39));
  }
  char small[8];
  EXPECT_EQ(fathom::formatE(small, sizeof small, bits(false, 0, 0), 10), 7);
  EXPECT_STREQ(small, "1.00000");
  EXPECT_EQ(fathom::formatF(small, 1, bits(false, 0, 0), 10), 0);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(fathom::formatE(small, sizeof small, bits(true, 0, 0), INT32_MAX), 7);
  EXPECT_STREQ(small, "-1.0000");
  EXPECT_EQ(fathom::formatF(small, sizeof small, bits(false, kEmaxBinary, 0), INT32_MAX), 7);
  EXPECT_EQ(fathom::formatF(small, sizeof small, bits(false, 0, 0), INT32_MIN), 1);
  EXPECT_STREQ(small, "1");
}

} // namespace
