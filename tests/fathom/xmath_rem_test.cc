// fmod and remquo of extended reals against MPFR's mpfr_fmod and
// mpfr_remquo at 128 bits: remainders bit for bit and the low quotient bits,
// over operands across the whole exponent range, close exponents, exact
// multiples, ties, gradual underflow and the special values.
#include <gtest/gtest.h>

#include <functional>

#include "fathom/xdecimal.h"
#include "fathom/xmath.h"
#include "xreal_mpfr.h"
#include "xreal_random.h"

namespace {

using fathom::XRealValue;
using namespace xrtest;

using PairSource = std::function<void(RandomXReal &, XRealValue &, XRealValue &)>;

XRealValue xr(double d) { return fathom::fromDouble(d); }

// m 2^e, exact for |m| < 2^53.
XRealValue scaledInt(int64_t m, int64_t e) { return fathom::ldexp(fathom::fromInt64(m), (int)e); }

XRealValue withExponentClamped(RandomXReal &r, int64_t e, bool negative) {
  if (e < kEminBinary - 127) e = kEminBinary - 127;
  if (e > kEmaxBinary) e = kEmaxBinary;
  return r.withExponent(e, negative);
}

// Operand pairs: anything, exponent gaps from 0 to a few hundred (real work
// for the doubling loop) and up to the whole range (the modular powers),
// small moduli such as 90 and 360, exact multiples, exact ties at a half,
// and the underflow grid.
const PairSource kPairs = [](RandomXReal &r, XRealValue &y, XRealValue &x) {
  switch (r.uniform(0, 8)) {
  case 0:
    y = r.any();
    x = r.any();
    break;
  case 1: {
    y = r.any();
    int64_t ey = (int64_t)y.w0 - fathom::XR_BIAS;
    x = withExponentClamped(r, ey - r.uniform(-1, 300), r.coin());
    break;
  }
  case 2:
    y = r.withExponent(r.uniform(-200, 20000), r.coin());
    x = withExponentClamped(r, r.uniform(-200, 200), r.coin());
    break;
  case 3: {
    static const double kModuli[] = {90, 360, 1, 3, 0.1, 2.5, 1e-300};
    y = r.any();
    x = xr(kModuli[r.uniform(0, 6)]);
    if (r.coin()) x = fathom::neg(x);
    break;
  }
  case 4: {   // y = k x exactly: a zero remainder with the sign of y
    int64_t m = r.uniform(1, 1 << 20), k = r.uniform(1, 1 << 30);
    int64_t e = r.uniform(-1000, 1000);
    x = scaledInt(r.coin() ? m : -m, e);
    y = scaledInt(r.coin() ? m * k : -m * k, e);
    break;
  }
  case 5: {   // y = (k + 1/2) x exactly: remquo's ties go to the even quotient
    int64_t m = r.uniform(1, 1 << 20), k = r.uniform(0, 1 << 30);
    int64_t e = r.uniform(-1000, 1000);
    x = scaledInt(r.coin() ? m : -m, e);
    y = scaledInt(r.coin() ? m * (2 * k + 1) : -m * (2 * k + 1), e - 1);
    break;
  }
  case 6: {   // gradual underflow: remainders on the grid below EMIN
    y = withExponentClamped(r, kEminBinary + r.uniform(-127, 200), r.coin());
    x = withExponentClamped(r, kEminBinary + r.uniform(-127, 60), r.coin());
    break;
  }
  case 7: {   // y a little above or below x or x/2
    x = r.any();
    int64_t ex = (int64_t)x.w0 - fathom::XR_BIAS;
    y = withExponentClamped(r, ex - r.uniform(0, 1), r.coin());
    break;
  }
  default:    // the largest exponent gaps
    y = r.withExponent(kEmaxBinary - r.uniform(0, 1000), r.coin());
    x = withExponentClamped(r, kEminBinary + r.uniform(-127, 1000), r.coin());
    break;
  }
};

TEST(FathomXMathRem, FmodAgreesWithMpfrBitForBit) {
  MpfrModel model;
  RandomXReal rnd(4242);
  Mp my, mx, mr;
  int failures = 0;
  for (int64_t i = 0; i < scaled(60000) && failures < 5; i++) {
    XRealValue y, x;
    kPairs(rnd, y, x);
    toMpfr(my.v, y);
    toMpfr(mx.v, x);
    finish(mr.v, mpfr_fmod(mr.v, my.v, mx.v, MPFR_RNDN));
    XRealValue got = fathom::fmod(y, x), want = fromMpfr(mr.v);
    if (!sameValue(got, want)) {
      failures++;
      ADD_FAILURE() << "y    " << describe(y) << "x    " << describe(x) << "got  " << describe(got)
                    << "want " << describe(want);
    }
  }
}

// MPFR keeps the low 63 bits of the quotient, fathom the low 31: the
// signs and the common bits must agree.
TEST(FathomXMathRem, RemquoAgreesWithMpfrBitForBit) {
  MpfrModel model;
  RandomXReal rnd(4343);
  Mp my, mx, mr;
  int failures = 0;
  for (int64_t i = 0; i < scaled(60000) && failures < 5; i++) {
    XRealValue y, x;
    kPairs(rnd, y, x);
    toMpfr(my.v, y);
    toMpfr(mx.v, x);
    long mq = 0;
    finish(mr.v, mpfr_remquo(mr.v, &mq, my.v, mx.v, MPFR_RNDN));
    int q = 12345;
    XRealValue got = fathom::remquo(y, x, &q), want = fromMpfr(mr.v);
    // |mq| taken in unsigned arithmetic: MPFR may return LONG_MIN.
    unsigned long magnitude = mq < 0 ? 0ul - (unsigned long)mq : (unsigned long)mq;
    long wantLow = (long)(magnitude & 0x7fffffff) * (mq < 0 ? -1 : 1);
    if (!sameValue(got, want) || q != wantLow) {
      failures++;
      ADD_FAILURE() << "y    " << describe(y) << "x    " << describe(x) << "got  " << describe(got)
                    << "want " << describe(want) << "quotient " << q << ", MPFR " << mq;
    }
  }
}

TEST(FathomXMathRem, SpecialOperandsAndKnownValues) {
  const XRealValue inf = fathom::infinity(), nanv = fathom::nan(), z = fathom::zero(), nz = fathom::zero(true);
  int q = 7;
  // NaN for NaN, an infinite dividend or a zero divisor; quotient 0.
  EXPECT_TRUE(fathom::isNaN(fathom::remquo(inf, xr(3), &q)));
  EXPECT_EQ(q, 0);
  EXPECT_TRUE(fathom::isNaN(fathom::fmod(xr(3), z)));
  EXPECT_TRUE(fathom::isNaN(fathom::fmod(nanv, xr(3))));
  EXPECT_TRUE(fathom::isNaN(fathom::fmod(xr(3), nanv)));
  // y itself for a zero y or an infinite x.
  EXPECT_TRUE(sameValue(fathom::fmod(nz, xr(3)), nz));
  EXPECT_TRUE(sameValue(fathom::fmod(xr(-5), inf), xr(-5)));
  q = 7;
  EXPECT_TRUE(sameValue(fathom::remquo(xr(-5), fathom::neg(inf), &q), xr(-5)));
  EXPECT_EQ(q, 0);
  // Worked by hand: 7 = 2*3 + 1; -7 = -2*3 - 1; 7 = 3*2.5 - 0.5 (7/2.5 = 2.8).
  EXPECT_TRUE(sameValue(fathom::fmod(xr(7), xr(3)), xr(1)));
  EXPECT_TRUE(sameValue(fathom::fmod(xr(-7), xr(3)), xr(-1)));
  EXPECT_TRUE(sameValue(fathom::remquo(xr(7), xr(2.5), &q), xr(-0.5)));
  EXPECT_EQ(q, 3);
  EXPECT_TRUE(sameValue(fathom::remquo(xr(7), xr(-2.5), &q), xr(-0.5)));
  EXPECT_EQ(q, -3);
  // Ties: 5 = 2*2 + 1 rounds 2.5 to 2; 7 = 4*2 - 1 rounds 3.5 to 4.
  EXPECT_TRUE(sameValue(fathom::remquo(xr(5), xr(2), &q), xr(1)));
  EXPECT_EQ(q, 2);
  EXPECT_TRUE(sameValue(fathom::remquo(xr(7), xr(2), &q), xr(-1)));
  EXPECT_EQ(q, 4);
  // Exact multiples keep the sign of y in the zero remainder.
  EXPECT_TRUE(sameValue(fathom::remquo(xr(-180), xr(90), &q), nz));
  EXPECT_EQ(q, -2);
  EXPECT_TRUE(sameValue(fathom::fmod(xr(270), xr(-90)), z));
  // 10^30 = 11111111111111111111111111111 * 90 + 10 (10^30 - 10 is 9 times
  // 111...10, and 10^30 is exact in 128 bits); quotient mod 2^31 from it.
  XRealValue e30 = fathom::strtox("1e30", nullptr);
  EXPECT_TRUE(sameValue(fathom::remquo(e30, xr(90), &q), xr(10)));
  // 11111111111111111111111111111 mod 2^31, computed by the same digits.
  unsigned long long n = 0;
  for (int i = 0; i < 29; i++) n = (n * 10 + 1) & 0x7fffffff;
  EXPECT_EQ(q, (int)n);
}

} // namespace
