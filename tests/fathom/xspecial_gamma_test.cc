// Extended gamma-family kernels, error functions, zeta, the dilogarithm and
// the logarithmic integral: random samples over their whole domains against
// MPFR at 320 bits (or more where the reference itself cancels), mpmath
// tables for the functions MPFR lacks (trigamma, Dawson's integral, the
// incomplete beta function), then special values, poles and identities.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "fathom/special.h"
#include "fathom/xmath.h"
#include "fathom/xspecial_gamma.h"
#include "xsf_test_util.h"

namespace {

using fathom::XRealValue;
using xrtest::Mp;
using xrtest::RandomXReal;
using xsftest::XsfRef1;
using xsftest::XsfRef3;

#include "data/xsf_betalower.inc"
#include "data/xsf_dawson.inc"
#include "data/xsf_trigamma.inc"

constexpr mpfr_prec_t kPrec = 320;

// Every kernel is correctly rounded in every sample below; the bound leaves
// a little room and still catches a lost bit or two.
constexpr double kBound = 0.6;

XRealValue xd(double d) { return fathom::fromDouble(d); }

// A value with all 128 bits random, uniform in [lo, hi).
XRealValue uniform(RandomXReal &r, double lo, double hi) {
  Mp u(256), m(256);
  mpfr_set_ui(u.v, 0, MPFR_RNDN);
  mpfr_set_ui_2exp(u.v, r.bits(), -64, MPFR_RNDN);
  Mp low(256);
  mpfr_set_ui_2exp(low.v, r.bits(), -128, MPFR_RNDN);
  mpfr_add(u.v, u.v, low.v, MPFR_RNDN);   // u in [0, 1)
  mpfr_set_d(m.v, hi - lo, MPFR_RNDN);
  mpfr_mul(m.v, m.v, u.v, MPFR_RNDN);
  mpfr_add_d(m.v, m.v, lo, MPFR_RNDN);
  XRealValue x = xrtest::xrFromMpfr(m.v);
  return fathom::toDouble(x) >= hi ? xd(lo) : x;
}

// Log-uniform in [lo, hi) (both positive), or its negation.
XRealValue logUniform(RandomXReal &r, double lo, double hi, bool negative = false) {
  XRealValue x = xrtest::randomIn(r, lo, hi);
  return negative ? fathom::neg(x) : x;
}

using RefFn1 = std::function<void(mpfr_t, const mpfr_t)>;
using RefFn2 = std::function<void(mpfr_t, const mpfr_t, const mpfr_t)>;
using Sampler1 = std::function<XRealValue(RandomXReal &)>;

// Error in ulps of the 128-bit rounding of max(|ref|, scale) (scale: the
// size of the terms that cancel at a function's zeros).
double errUlps(XRealValue got, const mpfr_t ref, double scale) {
  if (scale <= 0 || mpfr_nan_p(ref) || mpfr_inf_p(ref) || std::fabs(mpfr_get_d(ref, MPFR_RNDN)) >= scale)
    return xrtest::ulpError(got, ref);
  if (!fathom::isFinite(got)) return xsftest::kMismatch;
  int e;
  std::frexp(scale, &e);
  Mp g(128), diff(512);
  xrtest::toMpfr(g.v, got);
  mpfr_sub(diff.v, g.v, ref, MPFR_RNDN);
  mpfr_mul_2si(diff.v, diff.v, 128 - e, MPFR_RNDN);
  return std::fabs(mpfr_get_d(diff.v, MPFR_RNDN));
}

// Accumulates the worst error per function over its regions and prints one
// line per region.
struct Measured {
  Measured(const char *n, double b) : name(n), bound(b) {}
  Measured(const Measured &) = delete;
  Measured &operator=(const Measured &) = delete;
  const char *name;
  double bound;
  xrtest::UlpStats all;
  ~Measured() {
    std::printf("[ accuracy ] %-12s n=%-6lld max=%7.3f ulp  mean=%6.4f  worst at %s\n", name,
                (long long)all.count, all.max, all.mean(), all.worst.c_str());
    EXPECT_LE(all.max, bound) << name << ": worst at " << all.worst;
  }
};

void region1(Measured &m, XRealValue (*f)(XRealValue), const RefFn1 &ref, const Sampler1 &gen, int n,
             uint64_t seed, double (*scale)(double) = nullptr) {
  RandomXReal rng(seed);
  Mp x(128), r(kPrec);
  for (int64_t i = 0, count = xrtest::scaled(n); i < count; ++i) {
    XRealValue a = gen(rng);
    xrtest::toMpfr(x.v, a);
    ref(r.v, x.v);
    double sc = scale ? scale(fathom::toDouble(a)) : 0;
    m.all.add(errUlps(f(a), r.v, sc), xrtest::describe(a));
  }
}

using Sampler2 = std::function<void(RandomXReal &, XRealValue *, XRealValue *)>;

void region2(Measured &m, XRealValue (*f)(XRealValue, XRealValue), const RefFn2 &ref, const Sampler2 &gen,
             int n, uint64_t seed) {
  RandomXReal rng(seed);
  Mp x(128), y(128), r(kPrec);
  for (int64_t i = 0, count = xrtest::scaled(n); i < count; ++i) {
    XRealValue a, b;
    gen(rng, &a, &b);
    xrtest::toMpfr(x.v, a);
    xrtest::toMpfr(y.v, b);
    ref(r.v, x.v, y.v);
    m.all.add(errUlps(f(a, b), r.v, 0), xrtest::describe(a) + " " + xrtest::describe(b));
  }
}

RefFn1 mp1(int (*g)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)) {
  return [g](mpfr_t r, const mpfr_t x) { g(r, x, MPFR_RNDN); };
}

Sampler1 uni(double lo, double hi) {
  return [lo, hi](RandomXReal &r) { return uniform(r, lo, hi); };
}
Sampler1 logu(double lo, double hi, bool negative = false) {
  return [lo, hi, negative](RandomXReal &r) { return logUniform(r, lo, hi, negative); };
}
// c + d, |d| log-uniform in [lo, hi), either sign.
Sampler1 near(double c, double lo, double hi) {
  return [c, lo, hi](RandomXReal &r) {
    XRealValue d = logUniform(r, lo, hi, r.coin());
    return fathom::add(xd(c), d);
  };
}

// log|Gamma(x)| at a precision that keeps its value to 320 bits.
void lgammaAbs(mpfr_t r, const mpfr_t x) {
  int sign;
  mpfr_lgamma(r, &sign, x, MPFR_RNDN);
}

// Sets MPFR's widest exponent range for the references whose values leave
// the default one (erfc of large arguments).
struct WideExponents {
  mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  WideExponents() {
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
  }
  ~WideExponents() {
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
  }
};

} // namespace

TEST(XSpecialGamma, GammaAgainstMpfr) {
  Measured m{"gamma", kBound};
  RefFn1 g = mp1(mpfr_gamma);
  region1(m, fathom::gamma, g, logu(1e-40, 0.5), 300, 1);
  region1(m, fathom::gamma, g, uni(0.5, 3), 600, 2);
  region1(m, fathom::gamma, g, uni(3, 40), 600, 3);
  region1(m, fathom::gamma, g, logu(40, 1e7), 400, 4);
  region1(m, fathom::gamma, g, uni(-20, 0), 800, 5);
  region1(m, fathom::gamma, g, uni(-200, -20), 400, 6);
  region1(m, fathom::gamma, g, logu(200, 1e6, true), 200, 7);
  region1(m, fathom::gamma, g, near(-7, 1e-30, 1e-3), 200, 8);
  region1(m, fathom::gamma, g, near(-33, 1e-30, 1e-3), 200, 9);
}

TEST(XSpecialGamma, LnGammaAgainstMpfr) {
  Measured m{"lnGamma", kBound};
  region1(m, fathom::lnGamma, lgammaAbs, logu(1e-40, 0.5), 300, 11);
  region1(m, fathom::lnGamma, lgammaAbs, uni(0.5, 3), 600, 12);
  region1(m, fathom::lnGamma, lgammaAbs, near(1, 1e-35, 0.1), 300, 13);
  region1(m, fathom::lnGamma, lgammaAbs, near(2, 1e-35, 0.1), 300, 14);
  // Just outside the zero expansions at 1 and 2, where the result is 2^-16
  // of the terms that cancel.
  region1(m, fathom::lnGamma, lgammaAbs, near(1, 4e-4, 0.05), 300, 19);
  region1(m, fathom::lnGamma, lgammaAbs, near(2, 4e-4, 0.05), 300, 20);
  region1(m, fathom::lnGamma, lgammaAbs, uni(3, 40), 400, 15);
  region1(m, fathom::lnGamma, lgammaAbs, logu(40, 1e300), 600, 16);
  region1(m, fathom::lnGamma, lgammaAbs, uni(-41, 0), 1500, 17);
  region1(m, fathom::lnGamma, lgammaAbs, logu(41, 1e30, true), 600, 18);
}

TEST(XSpecialGamma, FactorialAgainstMpfr) {
  Measured m{"factorial", kBound};
  auto ref = [](mpfr_t r, const mpfr_t x) {
    Mp t(kPrec + 128);
    mpfr_add_ui(t.v, x, 1, MPFR_RNDN);
    mpfr_gamma(r, t.v, MPFR_RNDN);
  };
  region1(m, fathom::factorial, ref, uni(-20, 0), 400, 21);
  region1(m, fathom::factorial, ref, uni(0, 200), 400, 22);
  region1(m, fathom::factorial, ref, logu(200, 1e6), 200, 23);
  // Integers: n! correctly rounded, so exact as long as it fits 128 bits.
  Mp f(kPrec);
  for (unsigned n = 0; n <= 400; ++n) {
    mpfr_fac_ui(f.v, n, MPFR_RNDN);
    XRealValue got = fathom::factorial(fathom::fromInt64(n));
    double e = xrtest::ulpError(got, f.v);
    m.all.add(e, std::to_string(n) + "!");
    if (n <= 34) {   // 34! < 2^128: exact
      EXPECT_EQ(e, 0) << n << "!";
    }
  }
}

namespace {
// Below -100, beyond the zero expansions, psi keeps its accuracy relative to
// log|x|, the size of the terms that cancel at its zeros.
double digammaScale(double x) { return x < -100 ? std::log(-x) : 0; }
} // namespace

TEST(XSpecialGamma, DigammaAgainstMpfr) {
  Measured m{"digamma", kBound};
  RefFn1 g = mp1(mpfr_digamma);
  region1(m, fathom::digamma, g, logu(1e-40, 0.5), 300, 31);
  region1(m, fathom::digamma, g, uni(0.5, 3), 600, 32);
  region1(m, fathom::digamma, g, near(1.4616321449683623, 1e-35, 1e-2), 300, 33);
  region1(m, fathom::digamma, g, logu(3, 1e300), 600, 34);
  region1(m, fathom::digamma, g, uni(-20, 0), 1000, 35);
  region1(m, fathom::digamma, g, uni(-100, -20), 400, 36);
  region1(m, fathom::digamma, g, logu(100, 1e30, true), 400, 37, digammaScale);
  // Next to the negative zeros (from the double kernel, within 1e-15).
  for (int n : {0, 1, 5, 22, 60, 99}) {
    double lo = -n - 1 + 1e-3, hi = -n - 1e-3, zd = -n - 0.5;
    for (int it = 0; it < 60; ++it) {   // bisection on the double kernel
      zd = (lo + hi) / 2;
      if ((fathom::digamma(zd) < 0) == (fathom::digamma(lo) < 0)) lo = zd;
      else hi = zd;
    }
    region1(m, fathom::digamma, g, near(zd, 1e-34, 1e-5), 60, 38 + n);
  }
}

TEST(XSpecialGamma, TrigammaAgainstMpmath) {
  xsftest::Stats s = xsftest::run1(kXsf_trigamma, fathom::trigamma);
  xsftest::report("trigamma", s, kBound);
}

TEST(XSpecialGamma, BetaAgainstMpfr) {
  Measured m{"beta", kBound};
  // Gamma(a) Gamma(b) / Gamma(a+b) through MPFR's log-gamma at 700 bits.
  auto ref = [](mpfr_t r, const mpfr_t a, const mpfr_t b) {
    Mp la(700), lb(700), lc(700), c(700);
    int sa, sb, sc;
    mpfr_add(c.v, a, b, MPFR_RNDN);
    mpfr_lgamma(la.v, &sa, a, MPFR_RNDN);
    mpfr_lgamma(lb.v, &sb, b, MPFR_RNDN);
    mpfr_lgamma(lc.v, &sc, c.v, MPFR_RNDN);
    mpfr_add(la.v, la.v, lb.v, MPFR_RNDN);
    mpfr_sub(la.v, la.v, lc.v, MPFR_RNDN);
    mpfr_exp(r, la.v, MPFR_RNDN);
    if (sa * sb * sc < 0) mpfr_neg(r, r, MPFR_RNDN);
  };
  auto pair = [](double alo, double ahi, double blo, double bhi, bool na, bool nb) -> Sampler2 {
    return [=](RandomXReal &r, XRealValue *a, XRealValue *b) {
      *a = logUniform(r, alo, ahi, na);
      *b = logUniform(r, blo, bhi, nb);
    };
  };
  region2(m, fathom::beta, ref, pair(1e-3, 30, 1e-3, 30, false, false), 600, 51);
  region2(m, fathom::beta, ref, pair(1e-3, 1e6, 1e-3, 1e6, false, false), 600, 52);
  region2(m, fathom::beta, ref, pair(20, 1e20, 20, 1e20, false, false), 300, 53);
  region2(m, fathom::beta, ref, pair(1e-3, 40, 1e-3, 40, true, false), 400, 54);
  region2(m, fathom::beta, ref, pair(20, 300, 1e-3, 10, false, true), 300, 55);
  region2(m, fathom::beta, ref, pair(1e-3, 60, 1e-3, 60, true, true), 300, 56);
}

TEST(XSpecialGamma, GammaLowerAgainstMpfr) {
  Measured m{"gammaLower", kBound};
  // Gamma(a) - Gamma(a, x), at a precision that covers the cancellation.
  auto ref = [](mpfr_t r, const mpfr_t a, const mpfr_t x) {
    mpfr_prec_t p = 400;
    for (int round = 0; round < 8; ++round) {
      Mp g(p), u(p);
      mpfr_gamma(g.v, a, MPFR_RNDN);
      mpfr_gamma_inc(u.v, a, x, MPFR_RNDN);
      mpfr_sub(u.v, g.v, u.v, MPFR_RNDN);
      mpfr_exp_t lost = mpfr_zero_p(u.v) ? p : mpfr_get_exp(g.v) - mpfr_get_exp(u.v);
      if (lost < (mpfr_exp_t)p - 340) {
        mpfr_set(r, u.v, MPFR_RNDN);
        return;
      }
      p = std::max<mpfr_prec_t>(2 * p, 400 + lost + 64);
    }
    mpfr_set_nan(r);
  };
  auto pair = [](double alo, double ahi, double xlo, double xhi) -> Sampler2 {
    return [=](RandomXReal &r, XRealValue *a, XRealValue *x) {
      *a = logUniform(r, alo, ahi);
      *x = logUniform(r, xlo, xhi);
    };
  };
  region2(m, fathom::gammaLower, ref, pair(1e-3, 150, 1e-4, 300), 800, 61);
  region2(m, fathom::gammaLower, ref, pair(1e-3, 2, 1e-30, 1), 200, 62);
  // Around the switch x = a + 1 and for larger a near x = a.
  region2(m, fathom::gammaLower, ref,
          [](RandomXReal &r, XRealValue *a, XRealValue *x) {
            *a = logUniform(r, 0.5, 2000);
            *x = fathom::mul(*a, uniform(r, 0.8, 1.25));
          },
          300, 63);
  // a to 1e5 with x within 4 sqrt(a) of a, where the series and the
  // fraction take longest.
  region2(m, fathom::gammaLower, ref,
          [](RandomXReal &r, XRealValue *a, XRealValue *x) {
            *a = logUniform(r, 1e3, 1e5);
            double ad = fathom::toDouble(*a);
            *x = fathom::mul(*a, uniform(r, 1 - 4 / std::sqrt(ad), 1 + 4 / std::sqrt(ad)));
          },
          60, 64);
}

TEST(XSpecialGamma, BetaLowerAgainstMpmath) {
  xsftest::Stats s = xsftest::run3(kXsf_betalower, fathom::betaLower);
  xsftest::report("betaLower", s, kBound);
}

TEST(XSpecialGamma, ErrorFunctionsAgainstMpfr) {
  {
    Measured m{"erf", kBound};
    RefFn1 g = mp1(mpfr_erf);
    region1(m, fathom::erf, g, uni(-6, 6), 1500, 71);
    region1(m, fathom::erf, g, logu(1e-40, 1), 300, 72);
    region1(m, fathom::erf, g, near(4, 1e-30, 1e-2), 100, 73);
    region1(m, fathom::erf, g, logu(6, 1e10), 100, 74);
  }
  {
    Measured m{"erfc", kBound};
    RefFn1 g = mp1(mpfr_erfc);
    region1(m, fathom::erfc, g, uni(-6, 6), 1200, 75);
    region1(m, fathom::erfc, g, logu(1e-40, 1), 200, 76);
    region1(m, fathom::erfc, g, uni(6, 30), 600, 77);
    region1(m, fathom::erfc, g, logu(30, 1e4), 150, 78);
    region1(m, fathom::erfc, g, near(4, 1e-30, 1e-2), 100, 79);
    region1(m, fathom::erfc, g, logu(4, 1e3, true), 100, 80);
  }
  {
    Measured m{"lnErfc", kBound};
    WideExponents wide;
    auto ref = [](mpfr_t r, const mpfr_t x) {
      Mp t(kPrec);
      mpfr_erfc(t.v, x, MPFR_RNDN);
      mpfr_log(r, t.v, MPFR_RNDN);
    };
    region1(m, fathom::lnErfc, ref, uni(-6, 30), 600, 81);
    region1(m, fathom::lnErfc, ref, logu(1e-40, 0.5), 300, 82);
    region1(m, fathom::lnErfc, ref, logu(1e-40, 0.5, true), 200, 83);
    region1(m, fathom::lnErfc, ref, logu(30, 1e8), 150, 84);
  }
}

TEST(XSpecialGamma, DawsonAgainstMpmath) {
  xsftest::Stats s = xsftest::run1(kXsf_dawson, fathom::dawson);
  xsftest::report("dawson", s, kBound);
}

// MPFR's zeta takes milliseconds at 320 bits: the regions are sampled more
// sparsely than the others.
TEST(XSpecialGamma, ZetaAgainstMpfr) {
  Measured m{"zeta", kBound};
  RefFn1 g = mp1(mpfr_zeta);
  region1(m, fathom::zeta, g, uni(-0.25, 64), 500, 91);
  region1(m, fathom::zeta, g, near(1, 1e-35, 0.1), 150, 92);
  region1(m, fathom::zeta, g, logu(64, 1e6), 200, 93);
  region1(m, fathom::zeta, g, uni(-60, -0.25), 300, 94);
  region1(m, fathom::zeta, g, uni(-300, -60), 100, 95);
  region1(m, fathom::zeta, g, near(-2, 1e-35, 1e-3), 50, 96);
  region1(m, fathom::zeta, g, near(-40, 1e-35, 1e-3), 50, 97);
  region1(m, fathom::zeta, g, logu(1e-40, 1e-2, false), 50, 98);
}

TEST(XSpecialGamma, DilogAgainstMpfr) {
  Measured m{"dilog", kBound};
  RefFn1 g = mp1(mpfr_li2);
  region1(m, fathom::dilog, g, uni(-1, 1), 1000, 101);
  region1(m, fathom::dilog, g, logu(1e-40, 1e-2), 200, 102);
  region1(m, fathom::dilog, g, uni(1, 20), 800, 103);
  region1(m, fathom::dilog, g, near(12.595170369845016, 1e-34, 1e-2), 300, 104);
  region1(m, fathom::dilog, g, logu(20, 1e300), 300, 105);
  region1(m, fathom::dilog, g, logu(1, 1e300, true), 500, 106);
  region1(m, fathom::dilog, g, near(1, 1e-35, 1e-2), 200, 107);
}

TEST(XSpecialGamma, LogIntAgainstMpfr) {
  Measured m{"logInt", kBound};
  // li(x) = Ei(log x), the logarithm kept to 600 bits.
  auto ref = [](mpfr_t r, const mpfr_t x) {
    Mp l(600);
    mpfr_log(l.v, x, MPFR_RNDN);
    mpfr_eint(r, l.v, MPFR_RNDN);
  };
  region1(m, fathom::logInt, ref, uni(0, 3), 800, 111);
  region1(m, fathom::logInt, ref, near(1.4513692348833810, 1e-34, 1e-2), 300, 112);
  region1(m, fathom::logInt, ref, near(1, 1e-35, 1e-2), 200, 113);
  region1(m, fathom::logInt, ref, logu(1e-300, 1), 400, 114);
  region1(m, fathom::logInt, ref, logu(3, 1e300), 600, 115);
}

TEST(XSpecialGamma, PolesAndSpecialValues) {
  using namespace fathom;
  XRealValue inf = infinity(), ninf = infinity(true), z = zero(), nz = zero(true), qnan = nan();
  XRealValue one = fromInt64(1), two = fromInt64(2);
  auto same = [](XRealValue a, XRealValue b) { return xrtest::sameValue(a, b); };
  EXPECT_TRUE(same(gamma(z), inf));
  EXPECT_TRUE(same(gamma(nz), ninf));
  EXPECT_TRUE(isNaN(gamma(fromInt64(-3))));
  EXPECT_TRUE(isNaN(gamma(ninf)));
  EXPECT_TRUE(same(gamma(inf), inf));
  EXPECT_TRUE(same(gamma(xd(1e9)), inf));            // e^(2e10) is beyond the range
  EXPECT_TRUE(same(lnGamma(fromInt64(-3)), inf));
  EXPECT_TRUE(same(lnGamma(one), z));
  EXPECT_TRUE(same(lnGamma(two), z));
  EXPECT_TRUE(isNaN(digamma(fromInt64(-2))));
  EXPECT_TRUE(same(digamma(z), ninf));
  EXPECT_TRUE(same(digamma(inf), inf));
  EXPECT_TRUE(same(trigamma(fromInt64(-2)), inf));
  EXPECT_TRUE(same(trigamma(inf), z));
  EXPECT_TRUE(same(factorial(fromInt64(5)), fromInt64(120)));
  EXPECT_TRUE(isNaN(factorial(fromInt64(-1))));
  EXPECT_TRUE(same(factorial(xd(0.5)), gamma(xd(1.5))));
  EXPECT_TRUE(same(erf(inf), one));
  EXPECT_TRUE(same(erf(ninf), fromInt64(-1)));
  EXPECT_TRUE(same(erf(nz), nz));
  EXPECT_TRUE(same(erfc(inf), z));
  EXPECT_TRUE(same(erfc(ninf), two));
  EXPECT_TRUE(same(erfc(xd(1e6)), z));                // e^-1e12 underflows
  EXPECT_TRUE(same(lnErfc(inf), ninf));
  EXPECT_TRUE(same(lnErfc(z), z));
  EXPECT_TRUE(same(dawson(inf), z));
  EXPECT_TRUE(same(zeta(one), inf));
  EXPECT_TRUE(same(zeta(inf), one));
  EXPECT_TRUE(isNaN(zeta(ninf)));
  EXPECT_TRUE(same(zeta(z), xd(-0.5)));
  EXPECT_TRUE(isZero(zeta(fromInt64(-20))));           // a trivial zero
  EXPECT_TRUE(same(dilog(z), z));
  EXPECT_TRUE(same(dilog(inf), ninf));
  EXPECT_TRUE(same(logInt(z), z));
  EXPECT_TRUE(same(logInt(one), ninf));
  EXPECT_TRUE(isNaN(logInt(fromInt64(-1))));
  EXPECT_TRUE(same(logInt(inf), inf));
  EXPECT_TRUE(isNaN(beta(fromInt64(-2), xd(0.5))));
  EXPECT_TRUE(same(beta(xd(-2.5), xd(0.5)), z));      // Gamma(a + b) has a pole
  EXPECT_TRUE(same(beta(inf, two), z));
  EXPECT_TRUE(isNaN(gammaLower(fromInt64(-1), one)));
  EXPECT_TRUE(isNaN(gammaLower(one, fromInt64(-1))));
  EXPECT_TRUE(same(gammaLower(two, z), z));
  EXPECT_TRUE(same(gammaLower(xd(3.5), inf), gamma(xd(3.5))));
  EXPECT_TRUE(isNaN(betaLower(one, one, xd(1.5))));
  EXPECT_TRUE(isNaN(betaLower(z, one, xd(0.5))));
  EXPECT_TRUE(same(betaLower(two, xd(3.5), one), beta(two, xd(3.5))));
  EXPECT_TRUE(same(betaLower(two, xd(3.5), z), z));
  XRealValue (*const unary[])(XRealValue) = {
      fathom::gamma, fathom::lnGamma, fathom::factorial, fathom::digamma, fathom::trigamma, fathom::erf,
      fathom::erfc,  fathom::lnErfc,  fathom::dawson,    fathom::zeta,    fathom::dilog,    fathom::logInt};
  for (auto f : unary) EXPECT_TRUE(isNaN(f(qnan)));
  EXPECT_TRUE(isNaN(beta(qnan, one)));
  EXPECT_TRUE(isNaN(gammaLower(one, qnan)));
  EXPECT_TRUE(isNaN(betaLower(one, one, qnan)));
}

// Closed forms that hold exactly: the extended results must round to the
// correctly rounded constants.
TEST(XSpecialGamma, ClosedForms) {
  using namespace fathom;
  XRealValue pi = xpi();
  auto within = [](XRealValue got, XRealValue want, double ulps) {
    Mp w(kPrec);
    xrtest::toMpfr(w.v, want);
    return xrtest::ulpError(got, w.v) <= ulps;
  };
  EXPECT_TRUE(within(gamma(xd(0.5)), sqrt(pi), 1));
  EXPECT_TRUE(within(zeta(fromInt64(2)), div(mul(pi, pi), fromInt64(6)), 1.5));
  EXPECT_TRUE(within(dilog(fromInt64(1)), div(mul(pi, pi), fromInt64(6)), 1));
  EXPECT_TRUE(within(dilog(fromInt64(-1)), neg(div(mul(pi, pi), fromInt64(12))), 1.5));
  EXPECT_TRUE(within(digamma(fromInt64(1)), neg(xeuler()), 1));
  EXPECT_TRUE(within(trigamma(fromInt64(1)), div(mul(pi, pi), fromInt64(6)), 1.5));
  EXPECT_TRUE(within(beta(xd(0.5), xd(0.5)), pi, 1.5));
  // gamma(1, x) = 1 - e^-x; B(1, 1, x) = x.
  EXPECT_TRUE(within(gammaLower(fromInt64(1), xd(0.75)), neg(expm1(xd(-0.75))), 1.5));
  EXPECT_TRUE(within(betaLower(fromInt64(1), fromInt64(1), xd(0.375)), xd(0.375), 1));
}

// The extended kernels agree with the double ones to double precision (a
// check of the shared conventions: argument order, branches, signs).
TEST(XSpecialGamma, AgreeWithDoubleKernels) {
  const double xs[] = {-7.25, -0.5, 0.3, 1.5, 2.75, 9.5, 33.0};
  for (double x : xs) {
    auto near = [x](double dk, fathom::XRealValue xk, const char *what) {
      double v = fathom::toDouble(xk);
      if (std::isnan(dk)) {
        EXPECT_TRUE(std::isnan(v)) << what << " " << x;
        return;
      }
      EXPECT_NEAR(v, dk, 4e-15 * std::fabs(dk) + 1e-300) << what << " " << x;
    };
    near(fathom::gamma(x), fathom::gamma(xd(x)), "gamma");
    near(fathom::lnGamma(x), fathom::lnGamma(xd(x)), "lnGamma");
    near(fathom::digamma(x), fathom::digamma(xd(x)), "digamma");
    near(fathom::trigamma(x), fathom::trigamma(xd(x)), "trigamma");
    near(fathom::erf(x / 4), fathom::erf(xd(x / 4)), "erf");
    near(fathom::erfc(x / 4), fathom::erfc(xd(x / 4)), "erfc");
    near(fathom::lnErfc(x), fathom::lnErfc(xd(x)), "lnErfc");
    near(fathom::dawson(x), fathom::dawson(xd(x)), "dawson");
    near(fathom::zeta(x), fathom::zeta(xd(x)), "zeta");
    near(fathom::dilog(x), fathom::dilog(xd(x)), "dilog");
    near(fathom::logInt(std::fabs(x)), fathom::logInt(xd(std::fabs(x))), "logInt");
    near(fathom::beta(x, 1.25), fathom::beta(xd(x), xd(1.25)), "beta");
    if (x > 0) {
      near(fathom::gammaLower(x, 2.5), fathom::gammaLower(xd(x), xd(2.5)), "gammaLower");
      near(fathom::betaLower(x, 2.5, 0.375), fathom::betaLower(xd(x), xd(2.5), xd(0.375)), "betaLower");
    }
  }
}

// Arguments from the whole extended range (exponents to +-332 million):
// every kernel returns promptly with a value inside the function's range.
TEST(XSpecialGamma, WholeRangeArgumentsStayInRange) {
  using namespace fathom;
  RandomXReal rng(2027);
  XRealValue one = fromInt64(1), two = fromInt64(2), zero0 = zero();
  XRealValue dawsonMax = xd(0.5410442246);   // F's maximum, at x = 0.924
  for (int64_t i = 0, n = xrtest::scaled(1500); i < n; ++i) {
    XRealValue x = rng.any(), ax = fabs(x);
    std::string at = xrtest::describe(x);
    XRealValue e = erf(x), c = erfc(x);
    EXPECT_TRUE(e >= fromInt64(-1) && e <= one) << at;
    EXPECT_TRUE(c >= zero0 && c <= two) << at;
    EXPECT_TRUE(lnErfc(x) <= log(two)) << at;
    EXPECT_TRUE(fabs(dawson(x)) <= dawsonMax) << at;
    EXPECT_FALSE(isNaN(lnGamma(x))) << at;
    EXPECT_FALSE(isNaN(dilog(x))) << at;
    EXPECT_FALSE(isNaN(zeta(x))) << at;
    EXPECT_TRUE(gamma(ax) > zero0) << at;
    EXPECT_TRUE(trigamma(ax) > zero0) << at;
    EXPECT_FALSE(isNaN(digamma(ax))) << at;
    EXPECT_EQ(isNaN(logInt(x)), signBit(x)) << at;
    XRealValue a = fabs(rng.any()), b = fabs(rng.any());
    std::string at2 = at + " " + xrtest::describe(a) + " " + xrtest::describe(b);
    XRealValue bab = beta(a, b);
    EXPECT_TRUE(bab >= zero0) << at2;
    EXPECT_TRUE(gammaLower(a, ax) >= zero0) << at2;
    // The incomplete beta function for parameters within 2^+-60.
    XRealValue pa = rng.withExponent(rng.uniform(-60, 60), false);
    XRealValue pb = rng.withExponent(rng.uniform(-60, 60), false);
    at2 = xrtest::describe(pa) + " " + xrtest::describe(pb) + " " + at;
    bab = beta(pa, pb);
    XRealValue t = div(ax, add(ax, one));   // in [0, 1]
    XRealValue bl = betaLower(pa, pb, t);
    EXPECT_TRUE(bl >= zero0) << at2;
    EXPECT_TRUE(bl <= mul(bab, add(one, xd(0x1p-100)))) << at2;
  }
}
