// Extended Bessel functions.  J0, J1, Y0, Y1, Jn and Yn against MPFR's
// (computed at 320 bits) on random arguments over their whole domains and
// at the extended reals nearest their zeros; I0, I1, K0, K1, In and Kn
// against the mpmath tables of scripts/gen_xsf_bessel_ref.py; special
// values, symmetries and the limits of the ranges.
//
// Error measure: ulps of the 128-bit reference, or, near a zero where
// the method carries an absolute error, ulps of a fixed fraction of the
// local amplitude sqrt(2/(pi x)) (the same treatment as the double tests):
//   J0, J1, Y0, Y1 below 64 are relative everywhere (zero expansions);
//   from 64 on, within 2^-24 (relative to the amplitude) of a zero;
//   Jn, Yn (|n| >= 2) where they oscillate (x > |n|), as the doubles.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "fathom/special.h"
#include "fathom/xmath.h"
#include "fathom/xspecial_bessel.h"
#include "xmath_accuracy.h"
#include "xreal_mpfr.h"
#include "xreal_random.h"

namespace {

using fathom::XRealValue;
using xrtest::Mp;

// The accuracy bounds, in ulps.  Every kernel measures at most 0.5 ulp
// (docs/special-functions.md): its working error is far below the final
// rounding, so one ulp is a bound that other samples keep too.
constexpr double kTolJY = 1;       // J0, J1, Y0, Y1
constexpr double kTolJYn = 1;      // Jn, Yn
constexpr double kTolIK = 1;       // I0, I1, K0, K1
constexpr double kTolIKn = 1;      // In, Kn

// ---- reference tables (mpmath) --------------------------------------------

struct XsfRef1 { const char *x, *v; };
struct XsfRef2 { const char *a, *x, *v; };

#include "fathom/data/xsf_besseli0.inc"
#include "fathom/data/xsf_besseli1.inc"
#include "fathom/data/xsf_besselin.inc"
#include "fathom/data/xsf_besselk0.inc"
#include "fathom/data/xsf_besselk1.inc"
#include "fathom/data/xsf_besselkn.inc"

XRealValue hexArg(const char *s) {
  Mp m(128);
  if (mpfr_set_str(m.v, s, 0, MPFR_RNDN) != 0) ADD_FAILURE() << "bad argument text " << s;
  return xrtest::fromMpfr(m.v);
}

void refValue(mpfr_t r, const char *s) {
  if (!std::strcmp(s, "nan")) mpfr_set_nan(r);
  else if (!std::strcmp(s, "inf")) mpfr_set_inf(r, 1);
  else if (!std::strcmp(s, "-inf")) mpfr_set_inf(r, -1);
  else if (mpfr_set_str(r, s, 10, MPFR_RNDN) != 0) ADD_FAILURE() << "bad value text " << s;
}

// ---- error measure ----------------------------------------------------------

// ulps of ref's 128-bit rounding, or of `scale` (a double) when that is
// larger than |ref|.
double errorUlps(XRealValue got, const mpfr_t ref, double scale) {
  if (scale <= 0 || mpfr_nan_p(ref) || mpfr_inf_p(ref) || std::fabs(mpfr_get_d(ref, MPFR_RNDN)) >= scale)
    return xrtest::ulpError(got, ref);
  if (!fathom::isFinite(got)) return 1e9;
  int e;
  std::frexp(scale, &e);   // scale in [2^(e-1), 2^e): its 128-bit ulp is 2^(e-128)
  Mp g(128), diff(600);
  xrtest::toMpfr(g.v, got);
  mpfr_sub(diff.v, g.v, ref, MPFR_RNDN);
  mpfr_mul_2si(diff.v, diff.v, 128 - e, MPFR_RNDN);
  return std::fabs(mpfr_get_d(diff.v, MPFR_RNDN));
}

double amplitude(double x) { return std::sqrt(2 / (M_PI * std::fabs(x))); }

// J0, J1, Y0, Y1: relative below 64, 2^-24 of the amplitude beyond.
double scaleOrder01(double x) { return std::fabs(x) >= 64 ? 0x1p-24 * amplitude(x) : 0; }

// Jn, Yn: the amplitude where they oscillate.
double scaleOrderN(double n, double x) {
  return std::fabs(x) > std::fabs(n) ? amplitude(x) : 0;
}

std::string show(XRealValue x) {
  Mp m(128);
  xrtest::toMpfr(m.v, x);
  char buf[96];
  mpfr_snprintf(buf, sizeof buf, "%.40Rg", m.v);
  return buf;
}

struct Stats {
  double max = 0, sum = 0;
  int n = 0;
  std::string worst;
  void add(double e, const std::string &where) {
    if (!(e <= max)) {
      max = e;
      worst = where;
    }
    sum += std::isfinite(e) ? e : 0;
    ++n;
  }
};

void report(const char *name, const Stats &s, double tol, int minimum = 40) {
  std::printf("[ accuracy ] %-18s n=%-5d max=%7.3f ulp  mean=%7.4f  worst at %s\n", name, s.n, s.max,
              s.n ? s.sum / s.n : 0.0, s.worst.c_str());
  std::fflush(stdout);
  EXPECT_LE(s.max, tol) << name << ": worst " << s.max << " ulp at " << s.worst;
  EXPECT_GE(s.n, minimum) << name << ": too few samples";
}

// Every row normally, every fourth under KOR_TEST_SCALE=quick.
size_t stride() { return xrtest::scaled(20) == 20 ? 1 : 4; }

template <size_t N>
Stats table1(const XsfRef1 (&t)[N], XRealValue (*f)(XRealValue)) {
  Stats s;
  Mp ref(400);
  for (size_t i = 0; i < N; i += stride()) {
    XRealValue x = hexArg(t[i].x);
    refValue(ref.v, t[i].v);
    s.add(errorUlps(f(x), ref.v, 0), t[i].x);
  }
  return s;
}

template <size_t N>
Stats table2(const XsfRef2 (&t)[N], XRealValue (*f)(XRealValue, XRealValue)) {
  Stats s;
  Mp ref(400);
  for (size_t i = 0; i < N; i += stride()) {
    XRealValue a = hexArg(t[i].a), x = hexArg(t[i].x);
    refValue(ref.v, t[i].v);
    s.add(errorUlps(f(a, x), ref.v, 0), std::string("(") + t[i].a + ", " + t[i].x + ")");
  }
  return s;
}

// ---- MPFR references --------------------------------------------------------

using XF1 = XRealValue (*)(XRealValue);
using XF2 = XRealValue (*)(XRealValue, XRealValue);
using MpF1 = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

struct Fn01 {
  const char *name;
  XF1 f;
  MpF1 m;
  bool odd, positiveOnly;
};

const Fn01 kOrder01[] = {
    {"J0", fathom::besselJ0, mpfr_j0, false, false},
    {"J1", fathom::besselJ1, mpfr_j1, true, false},
    {"Y0", fathom::besselY0, mpfr_y0, false, true},
    {"Y1", fathom::besselY1, mpfr_y1, false, true},
};

// A value uniform in [lo, hi) with a full random 128-bit significand.
XRealValue uniformIn(xrtest::RandomXReal &r, double lo, double hi) {
  Mp u(128), m(192);
  mpfr_set_ui_2exp(u.v, r.bits() >> 1, -63, MPFR_RNDN);
  Mp low(128);
  mpfr_set_ui_2exp(low.v, r.bits() >> 1, -126, MPFR_RNDN);
  mpfr_add(u.v, u.v, low.v, MPFR_RNDN);                   // u in [0, 1)
  mpfr_mul_d(m.v, u.v, hi - lo, MPFR_RNDN);
  mpfr_add_d(m.v, m.v, lo, MPFR_RNDN);
  XRealValue x = xrtest::xrFromMpfr(m.v);
  return fathom::toDouble(x) >= hi ? xrtest::xr(lo) : x;
}

XRealValue mpfrAt(MpF1 m, XRealValue x, mpfr_t out) {
  Mp a(128);
  xrtest::toMpfr(a.v, x);
  m(out, a.v, MPFR_RNDN);
  return x;
}

// Zeros of J0, J1, Y0, Y1 at 320 bits by Newton's method from a bracket
// found with the double kernels: J0' = -J1, Y0' = -Y1, J1' = J0 - J1/x,
// Y1' = Y0 - Y1/x.
void refineZero(int which, double guess, mpfr_t z) {
  Mp f(xrtest::kRefPrec), g(xrtest::kRefPrec), h(xrtest::kRefPrec), t(xrtest::kRefPrec);
  mpfr_set_d(z, guess, MPFR_RNDN);
  for (int it = 0; it < 12; ++it) {
    switch (which) {
    case 0: mpfr_j0(f.v, z, MPFR_RNDN); mpfr_j1(g.v, z, MPFR_RNDN); mpfr_neg(g.v, g.v, MPFR_RNDN); break;
    case 2: mpfr_y0(f.v, z, MPFR_RNDN); mpfr_y1(g.v, z, MPFR_RNDN); mpfr_neg(g.v, g.v, MPFR_RNDN); break;
    case 1:
    case 3:
      if (which == 1) { mpfr_j1(f.v, z, MPFR_RNDN); mpfr_j0(h.v, z, MPFR_RNDN); }
      else { mpfr_y1(f.v, z, MPFR_RNDN); mpfr_y0(h.v, z, MPFR_RNDN); }
      mpfr_div(t.v, f.v, z, MPFR_RNDN);
      mpfr_sub(g.v, h.v, t.v, MPFR_RNDN);
      break;
    }
    mpfr_div(t.v, f.v, g.v, MPFR_RNDN);
    mpfr_sub(z, z, t.v, MPFR_RNDN);
  }
}

double doubleKernel(int which, double x) {
  switch (which) {
  case 0: return fathom::besselJ0(x);
  case 1: return fathom::besselJ1(x);
  case 2: return fathom::besselY0(x);
  default: return fathom::besselY1(x);
  }
}

// The zeros of kernel `which` in [a, b), by sign changes on a grid of 0.05
// (the zeros are about pi apart).
std::vector<double> zerosIn(int which, double a, double b) {
  std::vector<double> out;
  double step = 0.05, prev = doubleKernel(which, a);
  for (double x = a + step; x < b; x += step) {
    double v = doubleKernel(which, x);
    if ((prev < 0) != (v < 0)) {
      double lo = x - step, hi = x;   // bisect in doubles, then Newton in MPFR
      for (int i = 0; i < 60; ++i) {
        double mid = (lo + hi) / 2;
        if ((doubleKernel(which, mid) < 0) == (doubleKernel(which, lo) < 0)) lo = mid;
        else hi = mid;
      }
      out.push_back((lo + hi) / 2);
    }
    prev = v;
  }
  return out;
}

// The 128-bit value next to x, k steps up (k may be negative); x > 0.
XRealValue stepUlps(XRealValue x, int k) {
  int e;
  fathom::frexp(x, &e);   // x in [2^(e-1), 2^e)
  return fathom::add(x, fathom::ldexp(fathom::fromInt64(k), e - 128));
}

} // namespace

// Random arguments over the domains: dense on [0, 80] where the methods
// change (series to 12, fitted Hankel forms to 60.75, their asymptotic
// fits beyond, zero expansions below 64), logarithmic from 2^-1000 to
// 2^60, and a few huge ones (the reduction of x by pi/2 at full length).
TEST(XSpecialBessel, OrderZeroAndOneAgainstMpfr) {
  xrtest::MpfrModel model;
  for (const Fn01 &fn : kOrder01) {
    xrtest::RandomXReal r(0xB0E55E1 + (uint64_t)fn.name[0] * 7 + (uint64_t)fn.name[1]);
    Stats s;
    Mp ref(xrtest::kRefPrec);
    auto one = [&](XRealValue x) {
      if (!fn.positiveOnly && r.coin()) x = fathom::neg(x);
      mpfrAt(fn.m, x, ref.v);
      s.add(errorUlps(fn.f(x), ref.v, scaleOrder01(fathom::toDouble(x))), show(x));
    };
    for (int64_t i = 0; i < xrtest::scaled(1500); ++i) one(uniformIn(r, 0, 80));
    for (int64_t i = 0; i < xrtest::scaled(600); ++i) one(xrtest::randomIn(r, 0x1p-1000, 0x1p60));
    for (int64_t i = 0; i < xrtest::scaled(100); ++i) one(r.withExponent(r.uniform(-30000, -1000), false));
    for (int64_t i = 0; i < xrtest::scaled(40); ++i) one(xrtest::randomIn(r, 0x1p60, 0x1p400));
    report((std::string("x") + fn.name + " random").c_str(), s, kTolJY);
  }
}

// The extended reals nearest every zero below 80 and the first zeros past
// 100, 1e3, 1e5 and 1e7, with two neighbours on each side: below 64 the
// error is relative there too.
TEST(XSpecialBessel, OrderZeroAndOneAtTheirZeros) {
  xrtest::MpfrModel model;
  for (int which = 0; which < 4; ++which) {
    const Fn01 &fn = kOrder01[which];
    std::vector<double> guesses = zerosIn(which, 0.5, 80);
    for (double a : {100.0, 1e3, 1e5, 1e7}) guesses.push_back(zerosIn(which, a, a + 4).at(0));
    Stats s;
    Mp z(xrtest::kRefPrec), zr(128), ref(xrtest::kRefPrec);
    for (double g : guesses) {
      refineZero(which, g, z.v);
      mpfr_set(zr.v, z.v, MPFR_RNDN);
      XRealValue c = xrtest::fromMpfr(zr.v);
      for (int k = -2; k <= 2; ++k) {
        XRealValue x = stepUlps(c, k);
        mpfrAt(fn.m, x, ref.v);
        s.add(errorUlps(fn.f(x), ref.v, scaleOrder01(fathom::toDouble(x))), show(x));
      }
    }
    EXPECT_GE(guesses.size(), 27u) << fn.name;   // at least 23 zeros below 80
    report((std::string("x") + fn.name + " zeros").c_str(), s, kTolJY);
  }
}

// Jn and Yn against mpfr_jn and mpfr_yn: orders to +-60 on [0, 150]
// (forward and backward recurrences and their switch at x = n), orders
// to 20000 near their turning point x = n, and small and large x.
TEST(XSpecialBessel, IntegerOrderJYAgainstMpfr) {
  xrtest::MpfrModel model;
  struct Fn {
    const char *name;
    XF2 f;
    int (*m)(mpfr_ptr, long, mpfr_srcptr, mpfr_rnd_t);
    bool positiveOnly;
  } fns[] = {{"Jn", fathom::besselJn, mpfr_jn, false}, {"Yn", fathom::besselYn, mpfr_yn, true}};
  for (const Fn &fn : fns) {
    xrtest::RandomXReal r(0x5EED0 + (uint64_t)fn.name[0]);
    Stats s;
    Mp ref(xrtest::kRefPrec), a(128);
    auto one = [&](long n, XRealValue x) {
      if (!fn.positiveOnly && r.coin()) x = fathom::neg(x);
      XRealValue order = fathom::fromInt64(n);
      if (r.uniform(0, 3) == 0) {   // the order is truncated toward zero
        XRealValue frac = uniformIn(r, 0.01, 0.99);
        order = n < 0 ? fathom::sub(order, frac) : fathom::add(order, frac);
      }
      xrtest::toMpfr(a.v, x);
      fn.m(ref.v, n, a.v, MPFR_RNDN);
      s.add(errorUlps(fn.f(order, x), ref.v, scaleOrderN((double)n, fathom::toDouble(x))),
            std::to_string(n) + ", " + show(x));
    };
    for (int64_t i = 0; i < xrtest::scaled(1200); ++i) one(r.uniform(-60, 60), uniformIn(r, 0, 150));
    for (int64_t i = 0; i < xrtest::scaled(200); ++i) {
      long n = r.uniform(60, 400);
      one(n, uniformIn(r, 0.8 * n, 1.2 * n));
    }
    for (int64_t i = 0; i < xrtest::scaled(200); ++i) one(r.uniform(2, 30), xrtest::randomIn(r, 0x1p-200, 0x1p30));
    // Thousands of steps of recurrence (J only: MPFR's Y_n takes seconds there).
    for (int64_t i = 0; !fn.positiveOnly && i < xrtest::scaled(20); ++i) {
      long n = r.uniform(1000, 20000);
      one(n, uniformIn(r, 0.9 * n, 1.1 * n));
    }
    report((std::string("x") + fn.name).c_str(), s, kTolJYn, 60);
  }
}

TEST(XSpecialBessel, ModifiedAgainstReferenceTables) {
  xrtest::MpfrModel model;
  report("xI0", table1(kXsf_besseli0, fathom::besselI0), kTolIK);
  report("xI1", table1(kXsf_besseli1, fathom::besselI1), kTolIK);
  report("xK0", table1(kXsf_besselk0, fathom::besselK0), kTolIK);
  report("xK1", table1(kXsf_besselk1, fathom::besselK1), kTolIK);
  report("xIn", table2(kXsf_besselin, fathom::besselIn), kTolIKn);
  report("xKn", table2(kXsf_besselkn, fathom::besselKn), kTolIKn);
}

namespace {

XRealValue x(double d) { return fathom::fromDouble(d); }
bool same(XRealValue a, XRealValue b) { return xrtest::sameValue(a, b); }

} // namespace

TEST(XSpecialBessel, SpecialValues) {
  using namespace fathom;
  XRealValue inf = infinity(), ninf = infinity(true), qnan = nan();
  EXPECT_TRUE(same(besselJ0(zero()), x(1)));
  EXPECT_TRUE(same(besselI0(zero(true)), x(1)));
  EXPECT_TRUE(same(besselJ1(zero(true)), zero(true)));   // odd: the zero keeps its sign
  EXPECT_TRUE(same(besselI1(zero()), zero()));
  EXPECT_TRUE(same(besselY0(zero()), ninf));
  EXPECT_TRUE(same(besselY1(zero()), ninf));
  EXPECT_TRUE(same(besselK0(zero()), inf));
  EXPECT_TRUE(same(besselK1(zero()), inf));
  for (XF1 f : std::initializer_list<XF1>{besselY0, besselY1, besselK0, besselK1}) {
    EXPECT_TRUE(isNaN(f(x(-1))));
    EXPECT_TRUE(isNaN(f(ninf)));
  }
  for (XF1 f : std::initializer_list<XF1>{besselJ0, besselJ1, besselY0, besselY1, besselI0, besselI1,
                                          besselK0, besselK1})
    EXPECT_TRUE(isNaN(f(qnan)));
  EXPECT_TRUE(isZero(besselJ0(inf)) && isZero(besselJ1(ninf)) && isZero(besselY0(inf)));
  EXPECT_TRUE(isZero(besselK0(inf)) && isZero(besselK1(inf)));
  EXPECT_TRUE(same(besselI0(ninf), inf));
  EXPECT_TRUE(same(besselI1(ninf), ninf));
  for (XF2 f : std::initializer_list<XF2>{besselJn, besselYn, besselIn, besselKn}) {
    EXPECT_TRUE(isNaN(f(qnan, x(1))));
    EXPECT_TRUE(isNaN(f(x(2), qnan)));
    EXPECT_TRUE(isNaN(f(x(3e9), x(1))));   // orders beyond 2e9
  }
  EXPECT_TRUE(same(besselYn(x(2), zero()), ninf));
  EXPECT_TRUE(same(besselYn(x(-3), zero()), inf));          // Y_-3 = -Y_3
  EXPECT_TRUE(same(besselKn(x(4), zero()), inf));
  EXPECT_TRUE(isNaN(besselYn(x(2), x(-1))) && isNaN(besselKn(x(2), x(-1))));
  EXPECT_TRUE(isZero(besselJn(x(5), zero())) && isZero(besselIn(x(5), zero())));
  EXPECT_TRUE(isZero(besselJn(x(5), inf)) && isZero(besselYn(x(5), inf)) && isZero(besselKn(x(5), inf)));
  EXPECT_TRUE(same(besselIn(x(5), inf), inf));
  EXPECT_TRUE(same(besselIn(x(5), ninf), ninf));            // odd order
  EXPECT_TRUE(same(besselIn(x(4), ninf), inf));
  // Orders beyond 2^20: the certain underflow or overflow below x = n/4,
  // NaN above it.
  XRealValue big = x(0x1p21);
  EXPECT_TRUE(isZero(besselJn(big, x(1e5))) && isZero(besselIn(big, x(1e5))));
  EXPECT_TRUE(same(besselYn(big, x(1e5)), ninf));
  EXPECT_TRUE(same(besselKn(big, x(1e5)), inf));
  for (XF2 f : std::initializer_list<XF2>{besselJn, besselYn, besselIn, besselKn})
    EXPECT_TRUE(isNaN(f(big, x(1e7))));
  // Beyond 2^1048576 the reduction of x by pi/2 stops: J and Y are NaN
  // (their signs are out of reach), I and K overflow and underflow.
  XRealValue huge = ldexp(x(1.5), 1048576);
  for (XF1 f : std::initializer_list<XF1>{besselJ0, besselJ1, besselY0, besselY1})
    EXPECT_TRUE(isNaN(f(huge)));
  EXPECT_TRUE(isNaN(besselJn(x(3), huge)) && isNaN(besselYn(x(3), huge)));
  EXPECT_TRUE(same(besselI0(huge), inf) && isZero(besselK1(huge)) && isZero(besselKn(x(3), huge)));
  EXPECT_TRUE(same(besselIn(x(3), neg(huge)), ninf));
}

// Symmetries and the order argument: exact identities of the definitions,
// so the results must agree bit for bit.
TEST(XSpecialBessel, SymmetriesAndOrders) {
  using namespace fathom;
  for (double d : {0.3, 2.404825557695773, 9.0, 33.3, 123.4, 5e4}) {
    XRealValue v = div(x(d), x(3));   // a full 128-bit significand
    XRealValue m = neg(v);
    EXPECT_TRUE(same(besselJ0(m), besselJ0(v))) << d;
    EXPECT_TRUE(same(besselJ1(m), neg(besselJ1(v)))) << d;
    EXPECT_TRUE(same(besselI0(m), besselI0(v))) << d;
    EXPECT_TRUE(same(besselI1(m), neg(besselI1(v)))) << d;
    EXPECT_TRUE(same(besselJn(zero(), v), besselJ0(v))) << d;
    EXPECT_TRUE(same(besselJn(x(1), v), besselJ1(v))) << d;
    EXPECT_TRUE(same(besselYn(x(0.7), v), besselY0(v))) << d;
    EXPECT_TRUE(same(besselYn(x(-1), v), neg(besselY1(v)))) << d;
    EXPECT_TRUE(same(besselIn(x(-1), v), besselI1(v))) << d;
    EXPECT_TRUE(same(besselKn(x(1.9), v), besselK1(v))) << d;
    EXPECT_TRUE(same(besselKn(x(-0.5), v), besselK0(v))) << d;
    EXPECT_TRUE(same(besselJn(x(-3), v), neg(besselJn(x(3), v)))) << d;
    EXPECT_TRUE(same(besselJn(x(3), m), neg(besselJn(x(3), v)))) << d;
    EXPECT_TRUE(same(besselJn(x(4), m), besselJn(x(4), v))) << d;
    EXPECT_TRUE(same(besselYn(x(-2), v), besselYn(x(2), v))) << d;
    EXPECT_TRUE(same(besselYn(x(-5), v), neg(besselYn(x(5), v)))) << d;
    EXPECT_TRUE(same(besselIn(x(-4), v), besselIn(x(4), v))) << d;
    EXPECT_TRUE(same(besselIn(x(5), m), neg(besselIn(x(5), v)))) << d;
    EXPECT_TRUE(same(besselKn(x(-5), v), besselKn(x(5), v))) << d;
    EXPECT_TRUE(same(besselJn(x(2.9), v), besselJn(x(2), v))) << d;   // truncated
    EXPECT_TRUE(same(besselKn(x(-6.5), v), besselKn(x(6), v))) << d;
  }
}

// The ends of the range: I overflows and K underflows every extended real
// where e^x / sqrt(2 pi x) passes 2^332192810, at x = 2.302585e8; J_n and
// I_n of tiny arguments underflow to zero; Y_n and K_n of tiny arguments
// overflow to infinity.
TEST(XSpecialBessel, RangeLimits) {
  using namespace fathom;
  EXPECT_TRUE(isFinite(besselI0(x(2.3e8))));
  EXPECT_TRUE(isInf(besselI0(x(2.31e8))));
  EXPECT_TRUE(same(besselI1(x(-2.31e8)), infinity(true)));
  EXPECT_FALSE(isZero(besselK0(x(2.3e8))));
  EXPECT_TRUE(isZero(besselK1(x(2.31e8))));
  // Y1 and K1 grow as 1/x: they pass the largest extended real only for
  // arguments in the reduced-precision range below 2^-332192809.
  XRealValue tiny = ldexp(x(1), -300000000), tinier = ldexp(x(1), -332192900);
  EXPECT_TRUE(isZero(besselJn(x(3), tiny)));
  EXPECT_TRUE(isZero(besselIn(x(3), tiny)));
  EXPECT_TRUE(same(besselYn(x(3), tiny), infinity(true)));
  EXPECT_TRUE(same(besselKn(x(3), tiny), infinity()));
  EXPECT_TRUE(same(besselY1(tinier), infinity(true)));
  EXPECT_TRUE(same(besselK1(tinier), infinity()));
  // Small arguments keep relative accuracy: J_2(t) = t^2/8 (1 - t^2/12 + ...)
  // and I_2(t) = t^2/8 (1 + t^2/12 + ...) round to t^2/8.
  XRealValue t = ldexp(x(1), -1000);
  EXPECT_TRUE(same(besselJn(x(2), t), ldexp(x(1), -2003)));
  EXPECT_TRUE(same(besselIn(x(2), t), ldexp(x(1), -2003)));
  // J0 and J1 far out: the reduction by pi/2 carries the full argument.
  Mp ref(xrtest::kRefPrec), a(128);
  XRealValue big = ldexp(div(x(1), x(3)), 10000);
  xrtest::toMpfr(a.v, big);
  mpfr_j0(ref.v, a.v, MPFR_RNDN);
  EXPECT_LE(errorUlps(besselJ0(big), ref.v, 0x1p-24 * std::pow(2.0, -5000.0)), kTolJY);
}
