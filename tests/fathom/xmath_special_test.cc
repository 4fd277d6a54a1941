// Extended elementary functions: special values (zeros, infinities, NaNs,
// domain edges) against MPFR, which follows C99's Annex F, bit for bit;
// the constants correctly rounded; exact results of pow, exp10, log10 and
// cbrt; the rounding functions against MPFR's.
#include <gtest/gtest.h>

#include <vector>

#include "fathom/xmath.h"
#include "xmath_accuracy.h"
#include "xreal_mpfr.h"

namespace {

using namespace xrtest;
using fathom::XRealValue;

std::vector<XRealValue> specialArguments() {
  XRealValue tiny = fathom::ldexp(xr(1), (int)(kEminBinary - 127));
  XRealValue huge = fathom::ldexp(fathom::sub(xr(2), fathom::ldexp(xr(1), -127)), (int)kEmaxBinary);
  std::vector<XRealValue> v = {fathom::zero(), fathom::infinity(), fathom::nan(), tiny, huge,
                               xr(1), xr(2), xr(0.5), xr(3), xr(0.75), xr(1e-30), xr(1e30), xr(100)};
  size_t n = v.size();
  for (size_t i = 0; i < n; i++)
    if (!fathom::isNaN(v[i])) v.push_back(fathom::neg(v[i]));
  return v;
}

struct Unary {
  const char *name;
  XFn1 f;
  MpFn1 m;
};

int mpfrExp10(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_exp10(r, x, m); }

// Values whose results are not exact are compared at half an ulp plus a
// little; special results (zeros with their signs, infinities, NaNs) bit
// for bit through ulpError.
TEST(FathomXMathSpecial, UnaryFunctionsOnSpecialArguments) {
  const Unary fns[] = {
      {"exp", fathom::exp, mpfr_exp},       {"expm1", fathom::expm1, mpfr_expm1},
      {"exp10", fathom::exp10, mpfrExp10},  {"log", fathom::log, mpfr_log},
      {"log1p", fathom::log1p, mpfr_log1p}, {"log10", fathom::log10, mpfr_log10},
      {"sin", fathom::sin, mpfr_sin},       {"cos", fathom::cos, mpfr_cos},
      {"tan", fathom::tan, mpfr_tan},       {"asin", fathom::asin, mpfr_asin},
      {"acos", fathom::acos, mpfr_acos},    {"atan", fathom::atan, mpfr_atan},
      {"sinh", fathom::sinh, mpfr_sinh},    {"cosh", fathom::cosh, mpfr_cosh},
      {"tanh", fathom::tanh, mpfr_tanh},    {"asinh", fathom::asinh, mpfr_asinh},
      {"acosh", fathom::acosh, mpfr_acosh}, {"atanh", fathom::atanh, mpfr_atanh},
      {"cbrt", fathom::cbrt, mpfr_cbrt},
  };
  Mp a(128), ref(kRefPrec);
  for (const Unary &u : fns) {
    for (XRealValue x : specialArguments()) {
      bool trig = u.m == mpfr_sin || u.m == mpfr_cos || u.m == mpfr_tan;
      if (trig && fathom::isFinite(x) && !fathom::isZero(x) && fathom::toDouble(fathom::fabs(x)) > 1e300)
        continue;                                   // MPFR's reduction of the largest values is slow
      toMpfr(a.v, x);
      u.m(ref.v, a.v, MPFR_RNDN);
      EXPECT_LE(ulpError(u.f(x), ref.v), 0.5001) << u.name << " at " << describe(x);
    }
  }
}

TEST(FathomXMathSpecial, Atan2AndPowOnSpecialArguments) {
  Mp a(128), b(128), ref(kRefPrec);
  for (XRealValue y : specialArguments()) {
    for (XRealValue x : specialArguments()) {
      toMpfr(a.v, y);
      toMpfr(b.v, x);
      mpfr_atan2(ref.v, a.v, b.v, MPFR_RNDN);
      EXPECT_LE(ulpError(fathom::atan2(y, x), ref.v), 0.5001) << "atan2 " << describe(y) << describe(x);
      mpfr_pow(ref.v, a.v, b.v, MPFR_RNDN);
      EXPECT_LE(ulpError(fathom::pow(y, x), ref.v), 0.5001) << "pow " << describe(y) << describe(x);
    }
  }
}

TEST(FathomXMathSpecial, PowIeeeCases) {
  XRealValue inf = fathom::infinity(), nanv = fathom::nan(), z = fathom::zero(), mz = fathom::zero(true);
  EXPECT_TRUE(sameValue(fathom::pow(nanv, mz), xr(1)));
  EXPECT_TRUE(sameValue(fathom::pow(xr(1), nanv), xr(1)));
  EXPECT_TRUE(sameValue(fathom::pow(xr(-1), inf), xr(1)));
  EXPECT_TRUE(sameValue(fathom::pow(xr(-1), fathom::neg(inf)), xr(1)));
  EXPECT_TRUE(sameValue(fathom::pow(mz, xr(-3)), fathom::neg(inf)));
  EXPECT_TRUE(sameValue(fathom::pow(mz, xr(-2)), inf));
  EXPECT_TRUE(sameValue(fathom::pow(mz, xr(3)), mz));
  EXPECT_TRUE(sameValue(fathom::pow(mz, xr(2)), z));
  EXPECT_TRUE(sameValue(fathom::pow(fathom::neg(inf), xr(3)), fathom::neg(inf)));
  EXPECT_TRUE(sameValue(fathom::pow(fathom::neg(inf), xr(-3)), mz));
  EXPECT_TRUE(fathom::isNaN(fathom::pow(xr(-2), xr(0.5))));
  EXPECT_TRUE(sameValue(fathom::pow(xr(0.5), inf), z));
  EXPECT_TRUE(sameValue(fathom::pow(xr(0.5), fathom::neg(inf)), inf));
  EXPECT_TRUE(sameValue(fathom::pow(xr(-8), xr(3)), xr(-512)));
}

TEST(FathomXMathSpecial, ConstantsCorrectlyRounded) {
  Mp r(128);
  mpfr_const_pi(r.v, MPFR_RNDN);
  EXPECT_TRUE(sameValue(fathom::xpi(), fromMpfr(r.v)));
  mpfr_set_ui(r.v, 1, MPFR_RNDN);
  mpfr_exp(r.v, r.v, MPFR_RNDN);
  EXPECT_TRUE(sameValue(fathom::xe(), fromMpfr(r.v)));
  mpfr_const_euler(r.v, MPFR_RNDN);
  EXPECT_TRUE(sameValue(fathom::xeuler(), fromMpfr(r.v)));
  mpfr_const_catalan(r.v, MPFR_RNDN);
  EXPECT_TRUE(sameValue(fathom::xcatalan(), fromMpfr(r.v)));
  mpfr_const_log2(r.v, MPFR_RNDN);
  EXPECT_TRUE(sameValue(fathom::xln2(), fromMpfr(r.v)));
  mpfr_set_ui(r.v, 10, MPFR_RNDN);
  mpfr_log(r.v, r.v, MPFR_RNDN);
  EXPECT_TRUE(sameValue(fathom::xln10(), fromMpfr(r.v)));
}

// Exact results, and correctly rounded ones where the exact value is not
// representable, against MPFR's rounding bit for bit.
TEST(FathomXMathSpecial, ExactPowersAndLogarithms) {
  Mp a(128), b(128), r(128);
  RandomXReal rng(90);
  for (int i = 0; i < 4000; i++) {
    // Small odd or even bases times powers of two, exponents that keep
    // m^n within 128 bits, or within the 192 of the exact path, or beyond.
    int64_t m = rng.uniform(1, 2000) * (rng.coin() ? 1 : -1);
    int shift = (int)rng.uniform(-100, 100);
    XRealValue y = fathom::ldexp(xr((double)m), shift);
    int bits = 64 - __builtin_clzll((uint64_t)(m < 0 ? -m : m));
    int64_t n = rng.uniform(-200 / bits - 2, 200 / bits + 2);
    XRealValue x = xr((double)n);
    toMpfr(a.v, y);
    toMpfr(b.v, x);
    int t;
    {
      MpfrModel model;
      t = mpfr_pow(r.v, a.v, b.v, MPFR_RNDN);
      finish(r.v, t);
    }
    XRealValue got = fathom::pow(y, x);
    if (t == 0) EXPECT_TRUE(sameValue(got, fromMpfr(r.v))) << describe(y) << describe(x);
    else EXPECT_LE(ulpError(got, r.v), 0.5001) << describe(y) << describe(x) << " mpfr " << describe(fromMpfr(r.v)) << " got " << describe(got);
  }
  // Powers of two far out, and exact powers of ten.
  EXPECT_TRUE(sameValue(fathom::pow(xr(2), xr(1000000)), fathom::ldexp(xr(1), 1000000)));
  EXPECT_TRUE(sameValue(fathom::pow(xr(0.5), xr(300000000)), fathom::ldexp(xr(1), -300000000)));
  XRealValue p = xr(1);
  for (int k = 0; k <= 55; k++) {
    EXPECT_TRUE(sameValue(fathom::exp10(xr(k)), p)) << k;
    EXPECT_TRUE(sameValue(fathom::pow(xr(10), xr(k)), p)) << k;
    EXPECT_TRUE(sameValue(fathom::log10(p), xr(k))) << k;
    EXPECT_TRUE(sameValue(fathom::exp10(xr(-k)), xr(1) / p)) << k;
    p = p * xr(10);
  }
  for (int64_t c = -3000; c <= 3000; c += 7) {
    XRealValue cube = xr((double)(c * c * c));
    EXPECT_TRUE(sameValue(fathom::cbrt(cube), xr((double)c))) << c;
  }
  EXPECT_TRUE(sameValue(fathom::cbrt(fathom::ldexp(xr(27), 3 * 100000)), fathom::ldexp(xr(3), 100000)));
  EXPECT_TRUE(sameValue(fathom::log(xr(1)), fathom::zero()));
  toMpfr(a.v, fathom::ldexp(xr(1), 1000));
  Mp ref(kRefPrec);
  mpfr_log(ref.v, a.v, MPFR_RNDN);
  EXPECT_LE(ulpError(fathom::log(fathom::ldexp(xr(1), 1000)), ref.v), 0.5001);
}

TEST(FathomXMathSpecial, RoundingFunctionsAgreeWithMpfr) {
  RandomXReal rng(91);
  Mp a(128), r(128);
  using MpRound = int (*)(mpfr_ptr, mpfr_srcptr);
  struct R {
    const char *name;
    XFn1 f;
    MpRound m;
  };
  const R fns[] = {{"floor", fathom::floor, mpfr_floor}, {"ceil", fathom::ceil, mpfr_ceil},
                   {"trunc", fathom::trunc, mpfr_trunc}, {"rint", fathom::rint, mpfr_roundeven}};
  for (int i = 0; i < scaled(40000); i++) {
    XRealValue x;
    switch (i % 4) {
    case 0: x = randomWithExponent(rng, rng.uniform(-3, 130), true); break;
    case 1: x = fathom::add(xr((double)rng.uniform(-1000, 1000)), xr(0.5)); break;   // ties
    case 2: x = randomWithExponent(rng, rng.uniform(-200, 200), true); break;
    default: x = fathom::ldexp(xr((double)rng.uniform(-(1 << 20), 1 << 20)), (int)rng.uniform(-25, 2)); break;
    }
    toMpfr(a.v, x);
    for (const R &f : fns) {
      f.m(r.v, a.v);
      ASSERT_TRUE(sameValue(f.f(x), fromMpfr(r.v))) << f.name << " at " << describe(x);
    }
  }
  for (const R &f : fns) {
    EXPECT_TRUE(sameValue(f.f(fathom::zero(true)), fathom::zero(true)));
    EXPECT_TRUE(sameValue(f.f(fathom::infinity(true)), fathom::infinity(true)));
    EXPECT_TRUE(fathom::isNaN(f.f(fathom::nan())));
  }
  EXPECT_TRUE(sameValue(fathom::rint(xr(-0.5)), fathom::zero(true)));
  EXPECT_TRUE(sameValue(fathom::rint(xr(2.5)), xr(2)));
  EXPECT_TRUE(sameValue(fathom::ceil(xr(-0.25)), fathom::zero(true)));
  EXPECT_TRUE(sameValue(fathom::floor(xr(-0.25)), xr(-1)));
}

} // namespace
