// Extended exponential, sine/cosine and Fresnel integrals: Ei and E1 against
// MPFR's eint over random arguments of the whole domain, Shi and Chi against
// MPFR through (Ei +- E1)/2 at 400 bits and against mpmath tables, Si, Ci,
// C, S and E_nu against mpmath tables (tests/fathom/data/xsf_*.inc, from
// scripts/gen_xsf_expint_ref.py), and the special values and symmetries.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <random>
#include <string>

#include "fathom/special.h"
#include "fathom/xmath.h"
#include "fathom/xspecial_expint.h"
#include "xsf_test_util.h"

namespace {

using fathom::XRealValue;
using namespace xsftest;

#include "fathom/data/xsf_cosint.inc"
#include "fathom/data/xsf_coshint.inc"
#include "fathom/data/xsf_expinten.inc"
#include "fathom/data/xsf_fresnelc.inc"
#include "fathom/data/xsf_fresnels.inc"
#include "fathom/data/xsf_sinhint.inc"
#include "fathom/data/xsf_sinint.inc"

constexpr double kTol = 8;   // ulps at 128 bits

// A random 128-bit x with log2|x| uniform in [lo, hi).
XRealValue randomLog(std::mt19937_64 &rng, double lo, double hi) {
  double l = std::uniform_real_distribution<double>(lo, hi)(rng);
  xrtest::Mp m(128), frac(128);
  mpfr_set_d(m.v, std::exp2(l), MPFR_RNDN);
  // Fill all 128 bits: multiply by 1 + (random 64-bit)/2^70.
  mpfr_set_ui(frac.v, (unsigned long)(rng() >> 1), MPFR_RNDN);
  mpfr_div_2ui(frac.v, frac.v, 70, MPFR_RNDN);
  mpfr_add_ui(frac.v, frac.v, 1, MPFR_RNDN);
  mpfr_mul(m.v, m.v, frac.v, MPFR_RNDN);
  return xrtest::fromMpfr(m.v);
}

enum class Ref { Ei, E1, Shi, Chi };

// The reference at 400 bits: eint(x) is Ei(x), and -E1(x) for x < 0.
void reference(mpfr_t r, XRealValue x, Ref which) {
  xrtest::Mp xv(128), a(400), b(400);
  xrtest::toMpfr(xv.v, x);
  switch (which) {
    case Ref::Ei: mpfr_eint(r, xv.v, MPFR_RNDN); break;
    case Ref::E1:
      mpfr_neg(xv.v, xv.v, MPFR_RNDN);
      mpfr_eint(r, xv.v, MPFR_RNDN);
      mpfr_neg(r, r, MPFR_RNDN);
      break;
    case Ref::Shi:
    case Ref::Chi:
      mpfr_eint(a.v, xv.v, MPFR_RNDN);            // Ei(x)
      mpfr_neg(xv.v, xv.v, MPFR_RNDN);
      mpfr_eint(b.v, xv.v, MPFR_RNDN);            // -E1(x)
      if (which == Ref::Shi) mpfr_sub(r, a.v, b.v, MPFR_RNDN);
      else mpfr_add(r, a.v, b.v, MPFR_RNDN);
      mpfr_div_2ui(r, r, 1, MPFR_RNDN);
      break;
  }
}

struct Range {
  double lo, hi;   // log2 |x|
  bool negative;
};

void sweep(const char *name, fathom::XRealValue (*f)(XRealValue), Ref which,
           std::initializer_list<Range> ranges, int perRange) {
  std::mt19937_64 rng(0x5eed0000u + (unsigned)which);
  Stats s;
  xrtest::MpfrModel model;
  for (const Range &r : ranges) {
    for (int i = 0; i < xrtest::scaled(perRange); ++i) {
      XRealValue x = randomLog(rng, r.lo, r.hi);
      if (r.negative) x = fathom::neg(x);
      xrtest::Mp ref(400);
      reference(ref.v, x, which);
      s.add(xrtest::ulpError(f(x), ref.v), xrtest::describe(x));
    }
  }
  report(name, s, kTol);
}

TEST(XExpIntAccuracy, EiAgainstMpfr) {
  // Positive arguments from 2^-100 to 2^20 (results up to e^(10^6)), the
  // neighbourhood of the zero 0.3725, and negative ones (-E1(-x)).
  sweep("Ei", fathom::expIntEi, Ref::Ei,
        {{-100, -2, false}, {-2, 0, false}, {-1.43, -1.41, false}, {0, 6.6, false},
         {6.6, 7, false}, {7, 20, false}, {-100, 4, true}, {4, 17, true}},
        400);
}

TEST(XExpIntAccuracy, E1AgainstMpfr) {
  sweep("E1", fathom::expIntE1, Ref::E1,
        {{-100, 0, false}, {0, 3.9, false}, {3.9, 4, false}, {4, 10, false}, {10, 27, false}},
        500);
}

TEST(XExpIntAccuracy, ShiChiAgainstMpfr) {
  sweep("Shi", fathom::sinhInt, Ref::Shi, {{-100, 0, false}, {0, 7, false}, {-60, 13, true}}, 400);
  sweep("Chi", fathom::coshInt, Ref::Chi,
        {{-100, -1, false}, {-1, 0, false}, {-0.94, -0.93, false}, {0, 7, false}, {7, 13, false}},
        400);
}

double ciScale(double x) { return 1 / std::fmax(std::fabs(x), 1); }

TEST(XExpIntAccuracy, Tables) {
  report("Shi (table)", run1(kXsf_sinhint, fathom::sinhInt), kTol);
  report("Chi (table)", run1(kXsf_coshint, fathom::coshInt), kTol);
  report("Si", run1(kXsf_sinint, fathom::sinInt), kTol);
  report("Ci", run1(kXsf_cosint, fathom::cosInt, ciScale), kTol);
  report("FresnelC", run1(kXsf_fresnelc, fathom::fresnelC), kTol);
  report("FresnelS", run1(kXsf_fresnels, fathom::fresnelS), kTol);
  report("En", run2(kXsf_expinten, fathom::expIntEn), kTol);
}

XRealValue Xd(double d) { return fathom::fromDouble(d); }
bool same(XRealValue a, XRealValue b) { return xrtest::sameValue(a, b); }

TEST(XExpIntSpecial, DomainsPolesAndLimits) {
  XRealValue inf = fathom::infinity(), ninf = fathom::infinity(true), nan = fathom::nan();
  XRealValue zero = fathom::zero(), nzero = fathom::zero(true), half = Xd(0.5);
  struct Case {
    const char *what;
    XRealValue got, want;
  } cases[] = {
      {"E1(0)", fathom::expIntE1(zero), inf},
      {"E1(-1)", fathom::expIntE1(Xd(-1)), nan},
      {"E1(inf)", fathom::expIntE1(inf), zero},
      {"Ei(0)", fathom::expIntEi(zero), ninf},
      {"Ei(inf)", fathom::expIntEi(inf), inf},
      {"Ei(-inf)", fathom::expIntEi(ninf), nzero},
      {"Ei(1e9) overflows", fathom::expIntEi(Xd(1e9)), inf},
      {"E1(1e9) underflows", fathom::expIntE1(Xd(1e9)), zero},
      {"Chi(0)", fathom::coshInt(zero), ninf},
      {"Chi(-1)", fathom::coshInt(Xd(-1)), nan},
      {"Chi(inf)", fathom::coshInt(inf), inf},
      {"Shi(-inf)", fathom::sinhInt(ninf), ninf},
      {"Shi(-0)", fathom::sinhInt(nzero), nzero},
      {"Ci(0)", fathom::cosInt(zero), ninf},
      {"Ci(-2)", fathom::cosInt(Xd(-2)), nan},
      {"Ci(inf)", fathom::cosInt(inf), zero},
      {"Si(-0)", fathom::sinInt(nzero), nzero},
      {"Si(inf)", fathom::sinInt(inf), fathom::xpi() / Xd(2)},
      {"Si(-inf)", fathom::sinInt(ninf), fathom::neg(fathom::xpi() / Xd(2))},
      {"C(inf)", fathom::fresnelC(inf), half},
      {"S(-inf)", fathom::fresnelS(ninf), fathom::neg(half)},
      {"C(-0)", fathom::fresnelC(nzero), nzero},
      {"En(2, 0)", fathom::expIntEn(Xd(2), zero), fathom::fromInt64(1)},
      {"En(0.5, 0)", fathom::expIntEn(half, zero), inf},
      {"En(3, inf)", fathom::expIntEn(Xd(3), inf), zero},
      {"En(1, -1)", fathom::expIntEn(Xd(1), Xd(-1)), nan},
      {"En(nan, 1)", fathom::expIntEn(nan, Xd(1)), nan},
      {"En(-2^21, 1)", fathom::expIntEn(Xd(-0x1p21), Xd(1)), nan},
      {"Ei(nan)", fathom::expIntEi(nan), nan},
      {"FresnelS(nan)", fathom::fresnelS(nan), nan},
  };
  for (const Case &c : cases)
    EXPECT_TRUE(same(c.got, c.want)) << c.what << ": got " << xrtest::describe(c.got);
}

// E_0(x) = e^-x/x and E_1 = E1 exactly as functions; E_nu satisfies the
// recurrence nu E_(nu+1)(x) = e^-x - x E_nu(x) (checked to a few ulps of
// the terms) across the series/fraction switch and negative orders.
TEST(XExpIntSpecial, OrderRelations) {
  for (double x : {0.001, 0.3, 0.99, 1.0, 2.5, 40.0}) {
    XRealValue xv = Xd(x);
    XRealValue e0 = fathom::exp(fathom::neg(xv)) / xv;
    EXPECT_LE(std::fabs(fathom::toDouble((fathom::expIntEn(Xd(0), xv) - e0) / e0)), 4e-38) << x;
    XRealValue e1 = fathom::expIntE1(xv);
    EXPECT_LE(std::fabs(fathom::toDouble((fathom::expIntEn(Xd(1), xv) - e1) / e1)), 4e-37) << x;
    for (double nu : {-7.25, -0.5, 0.75, 2.0, 3.5, 29.5, 31.0}) {
      XRealValue nv = Xd(nu);
      XRealValue lhs = nv * fathom::expIntEn(nv + Xd(1), xv);
      XRealValue rhs = fathom::exp(fathom::neg(xv)) - xv * fathom::expIntEn(nv, xv);
      XRealValue scale = fathom::fabs(fathom::exp(fathom::neg(xv))) + fathom::fabs(lhs);
      EXPECT_LE(fathom::toDouble(fathom::fabs(lhs - rhs) / scale), 1e-35) << nu << " " << x;
    }
  }
}

// The extended kernels agree with the double kernels to double precision.
TEST(XExpIntSpecial, AgreeWithDoubleKernels) {
  for (double x : {1e-5, 0.25, 0.6, 1.0, 3.0, 14.0, 16.0, 31.0, 33.0, 80.0, 120.0, 700.0}) {
    auto check = [&](const char *name, double d, XRealValue xr) {
      EXPECT_NEAR(fathom::toDouble(xr), d, 4e-16 * std::fmax(std::fabs(d), 1e-300))
          << name << "(" << x << ")";
    };
    XRealValue xv = Xd(x);
    check("Ei", fathom::expIntEi(x), fathom::expIntEi(xv));
    check("E1", fathom::expIntE1(x), fathom::expIntE1(xv));
    check("Si", fathom::sinInt(x), fathom::sinInt(xv));
    check("Shi", fathom::sinhInt(x), fathom::sinhInt(xv));
    check("Chi", fathom::coshInt(x), fathom::coshInt(xv));
    check("C", fathom::fresnelC(x), fathom::fresnelC(xv));
    check("S", fathom::fresnelS(x), fathom::fresnelS(xv));
    check("E_2.5", fathom::expIntEn(2.5, x), fathom::expIntEn(Xd(2.5), xv));
  }
}

TEST(XExpIntSpecial, Symmetries) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200; ++i) {
    XRealValue x = randomLog(rng, -40, 30);
    XRealValue m = fathom::neg(x);
    EXPECT_TRUE(same(fathom::sinInt(m), fathom::neg(fathom::sinInt(x)))) << xrtest::describe(x);
    EXPECT_TRUE(same(fathom::sinhInt(m), fathom::neg(fathom::sinhInt(x)))) << xrtest::describe(x);
    EXPECT_TRUE(same(fathom::fresnelC(m), fathom::neg(fathom::fresnelC(x)))) << xrtest::describe(x);
    EXPECT_TRUE(same(fathom::fresnelS(m), fathom::neg(fathom::fresnelS(x)))) << xrtest::describe(x);
    EXPECT_TRUE(same(fathom::expIntEi(m), fathom::neg(fathom::expIntE1(x)))) << xrtest::describe(x);
  }
}

} // namespace
