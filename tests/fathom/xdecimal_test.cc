// Decimal text to extended real: the syntax, and correct rounding checked
// against mpfr_strtofr at 128 bits with the model's exponent range.
#include <gtest/gtest.h>

#include <gmp.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "fathom/xdecimal.h"
#include "xreal_build.h"
#include "xreal_mpfr.h"
#include "xreal_random.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

XRealValue referenceParse(const std::string &s) {
  MpfrModel model;
  Mp r;
  char *end;
  finish(r.v, mpfr_strtofr(r.v, s.c_str(), &end, 10, MPFR_RNDN));
  return fromMpfr(r.v);
}

XRealValue parse(const std::string &s, size_t *consumed = nullptr) {
  const char *end;
  XRealValue x = fathom::strtox(s.c_str(), &end);
  if (consumed) *consumed = (size_t)(end - s.c_str());
  return x;
}

void expectAgrees(const std::string &s) {
  XRealValue got = parse(s), want = referenceParse(s);
  EXPECT_PRED2(sameValue, got, want) << s.substr(0, 200) << "\ngot  " << describe(got)
                                     << "want " << describe(want);
}

TEST(FathomXDecimalSyntax, SpecialWordsAndEnd) {
  size_t n;
  XRealValue x = parse("  -nAn(1)", &n);
  EXPECT_TRUE(fathom::isNaN(x) && fathom::signBit(x));
  EXPECT_EQ(n, 6u);
  x = parse("INFINITYx", &n);
  EXPECT_TRUE(fathom::isInf(x) && !fathom::signBit(x));
  EXPECT_EQ(n, 8u);
  x = parse("-1/0", &n);
  EXPECT_TRUE(fathom::isInf(x) && fathom::signBit(x));
  EXPECT_EQ(n, 4u);
  x = parse("+1/00", &n);
  EXPECT_TRUE(fathom::isInf(x));
  EXPECT_EQ(n, 4u);
  for (const char *none : {"", "  ", "inf", "-", "+.", ".e5", "e5", "x1", "- 1"}) {
    x = parse(none, &n);
    EXPECT_EQ(n, 0u) << none;
    EXPECT_TRUE(fathom::isZero(x)) << none;
  }
}

TEST(FathomXDecimalSyntax, NumbersAndTheirEnd) {
  struct Case {
    const char *text;
    size_t end;
    double value;
  } cases[] = {
      {" \t\n+1.5e+3xyz", 10, 1500},
      {"1e", 1, 1},
      {"1e+", 1, 1},
      {"2E-1", 4, 0.2},
      {"5.", 2, 5},
      {".5", 2, 0.5},
      {"-.5E-1", 6, -0.05},
      {"0x10", 1, 0},
      {"007", 3, 7},
      {"1.2.3", 3, 1.2},
      {"-0", 2, -0.0},
      {"0.000e999999999999", 18, 0},
  };
  for (const Case &c : cases) {
    size_t n;
    XRealValue x = parse(c.text, &n);
    EXPECT_EQ(n, c.end) << c.text;
    EXPECT_EQ(fathom::toDouble(x), c.value) << c.text;
    EXPECT_EQ(fathom::signBit(x), std::signbit(c.value)) << c.text;
  }
}

TEST(FathomXDecimalSyntax, ExponentIsClamped) {
  EXPECT_TRUE(fathom::isInf(parse("1e2147483648")));
  EXPECT_TRUE(fathom::isInf(parse("1e99999999999999999999")));
  EXPECT_TRUE(fathom::isZero(parse("1e-2147483649")));
  EXPECT_TRUE(fathom::isZero(parse("-1e-200000000")));
  EXPECT_TRUE(fathom::signBit(parse("-1e-200000000")));
  // The clamp applies to the written exponent, before the digits shift it:
  // 10^100000000 more digits than these would be needed to undo it.
  std::string many(1000, '0');
  EXPECT_TRUE(fathom::isInf(parse("0." + many + "1e200000001")));
  EXPECT_TRUE(fathom::isZero(parse("1" + many + "e-200000001")));
}

TEST(FathomXDecimalRound, ShortStringsAgreeWithMpfr) {
  std::mt19937_64 rng(21);
  for (int64_t i = 0; i < scaled(300000); i++) {
    int len = 1 + (int)(rng() % 45);
    std::string s = rng() & 1 ? "-" : "";
    for (int j = 0; j < len; j++) s += (char)('0' + rng() % 10);
    if (rng() % 3 == 0) s.insert(s.size() - rng() % len, ".");
    int64_t e;
    switch (rng() % 4) {
    case 0: e = (int64_t)(rng() % 800) - 400; break;
    case 1: e = (int64_t)(rng() % 200000082) - 100000041; break;
    case 2: e = 99999960 + (int64_t)(rng() % 80); break;
    default: e = -100000000 - (int64_t)(rng() % 90); break;
    }
    s += "e" + std::to_string(e);
    expectAgrees(s);
    if (HasFailure()) return;
  }
}

TEST(FathomXDecimalRound, LongStringsAgreeWithMpfr) {
  std::mt19937_64 rng(22);
  for (int64_t i = 0; i < scaled(20000); i++) {
    int len = 58 + (int)(rng() % (i % 10 == 0 ? 3000 : 200));
    std::string s;
    for (int j = 0; j < len; j++) s += (char)('0' + rng() % 10);
    if (rng() & 1) {                             // long runs of zeros or nines after a prefix
      int from = 20 + (int)(rng() % 40);
      char fill = rng() & 1 ? '0' : '9';
      for (int j = from; j < len - 1; j++) s[j] = fill;
    }
    int64_t e = (int64_t)(rng() % 2000) - 1000 - len;
    if (i % 7 == 0) e = (int64_t)(rng() % 200000000) - 100000000;
    expectAgrees(s + "e" + std::to_string(e));
    if (HasFailure()) return;
  }
}

// The exact decimal expansion of (2V + 1) * 2^(q - 1), the point halfway
// between two neighbouring extended reals.
std::string halfwayText(unsigned __int128 V, int64_t q) {
  mpz_t z;
  mpz_init(z);
  uint64_t limbs[2] = {(uint64_t)V, (uint64_t)(V >> 64)};
  mpz_import(z, 2, -1, sizeof(uint64_t), 0, 0, limbs);
  mpz_mul_2exp(z, z, 1);
  mpz_add_ui(z, z, 1);
  int64_t e10 = 0;
  if (q - 1 >= 0) {
    mpz_mul_2exp(z, z, (mp_bitcnt_t)(q - 1));
  } else {                                       // (2V+1) * 5^(1-q) / 10^(1-q)
    mpz_t p;
    mpz_init(p);
    mpz_ui_pow_ui(p, 5, (unsigned long)(1 - q));
    mpz_mul(z, z, p);
    mpz_clear(p);
    e10 = q - 1;
  }
  char *digits = mpz_get_str(nullptr, 10, z);
  std::string s = std::string(digits) + "e" + std::to_string(e10);
  void (*freeFn)(void *, size_t);
  mp_get_memory_functions(nullptr, nullptr, &freeFn);
  freeFn(digits, std::strlen(digits) + 1);
  mpz_clear(z);
  return s;
}

TEST(FathomXDecimalRound, HalfwayPointsAndTheirNeighbours) {
  RandomXReal rnd(23);
  for (int64_t i = 0; i < scaled(4000); i++) {
    int64_t e = rnd.uniform(-600, 600);
    unsigned __int128 frac = rnd.fraction();
    unsigned __int128 V = frac | (unsigned __int128)1 << 127;
    std::string h = halfwayText(V, e - 127);
    size_t ePos = h.find('e');
    std::string digits = h.substr(0, ePos), exp = h.substr(ePos);
    expectAgrees(digits + exp);                  // the tie itself: to even
    expectAgrees(digits + "000000001" + "e" + std::to_string(std::stoll(exp.substr(1)) - 9));
    std::string below = digits;                  // one unit less in the last digit
    for (size_t j = below.size(); j-- > 0;) {
      if (below[j] != '0') {
        below[j]--;
        break;
      }
      below[j] = '9';
    }
    expectAgrees(below + "999999999999" + "e" + std::to_string(std::stoll(exp.substr(1)) - 12));
    expectAgrees(digits.substr(0, 60) + exp.substr(0, 1) +
                 std::to_string(std::stoll(exp.substr(1)) + (int64_t)digits.size() - 60));
    if (HasFailure()) return;
  }
}

// Halfway points with thousands of digits: exact ties and their neighbours
// below 1e-1000, and 3000-digit prefixes of halfway points above 1e12000.
TEST(FathomXDecimalRound, LongHalfwayExpansions) {
  RandomXReal rnd(25);
  for (int i = 0; i < 12; i++) {
    unsigned __int128 V = rnd.fraction() | (unsigned __int128)1 << 127;
    std::string h = halfwayText(V, i % 2 ? rnd.uniform(-17000, -3400) : rnd.uniform(40000, 60000));
    size_t ePos = h.find('e');
    std::string digits = h.substr(0, ePos);
    int64_t exp = std::stoll(h.substr(ePos + 1));
    if (i % 2) {
      expectAgrees(h);
      expectAgrees(digits + "1e" + std::to_string(exp - 1));
    } else {
      int64_t cut = (int64_t)digits.size() - 3000;
      expectAgrees(digits.substr(0, 3000) + "e" + std::to_string(exp + cut));
    }
    if (HasFailure()) return;
  }
}

TEST(FathomXDecimalRound, EdgesOfTheRange) {
  const char *cases[] = {
      "1e100000000", "2.3e100000000", "2.4e100000000", "9.9e100000001",
      "1e-100000038", "8.247e-100000039", "4.12368e-100000039", "4.1236872e-100000039",
      "4.1236871e-100000039", "1e-100000039", "1e-100000040", "-3e-100000030",
      "1.0000000000000000000000000000000000000000000000000000000000001e-100000000",
      "0.5", "1.00000000000000000000000000000000000000293873587705571876992184134305561419454666389193021880377187926569604314863681793212890625",
      "1.00000000000000000000000000000000000000293873587705571876992184134305561419454666389193021880377187926569604314863681793212890624",
      "1.00000000000000000000000000000000000000293873587705571876992184134305561419454666389193021880377187926569604314863681793212890626",
  };
  for (const char *s : cases) expectAgrees(s);
  // Just below and above the halfway point between the largest finite value
  // and 2^(EMAX+1), to 70 digits.
  Mp h(129);
  mpfr_set_ui_2exp(h.v, 1, kEmaxBinary + 1, MPFR_RNDN);
  mpfr_nextbelow(h.v);                           // 2^(EMAX+1) - 2^(EMAX-128)
  for (mpfr_rnd_t rnd : {MPFR_RNDD, MPFR_RNDU}) {
    char buf[80];
    mpfr_exp_t e;
    mpfr_get_str(buf, &e, 10, 70, h.v, rnd);
    std::string s = std::string("0.") + buf + "e" + std::to_string((long)e);
    expectAgrees(s);
    EXPECT_EQ(fathom::isInf(parse(s)), rnd == MPFR_RNDU) << s;
  }
}

TEST(FathomXDecimalRound, RoundTripOf40Digits) {
  RandomXReal rnd(24);
  char digits[48], text[80];
  for (int64_t i = 0; i < scaled(500000); i++) {
    XRealValue x = rnd.any();
    int e10;
    fathom::toDigits(x, 40, digits, &e10);
    std::snprintf(text, sizeof text, "%s%c.%se%d", fathom::signBit(x) ? "-" : "", digits[0],
                  digits + 1, e10);
    XRealValue back = parse(text);
    ASSERT_PRED2(sameValue, back, x) << text << "\n" << describe(x) << describe(back);
  }
}

} // namespace
