// Extended complex elementary functions: accuracy of each part against the
// MPFR formulas at 640 bits over several regions, the sides of every branch
// cut chosen by the sign of a zero imaginary part, conjugate symmetry, C99's
// special values, and exact integral powers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "fathom/xcomplex.h"
#include "fathom/xmath.h"
#include "xcomplex_reference.h"
#include "xmath_accuracy.h"
#include "xreal_mpfr.h"

namespace {

using namespace xrtest;
using fathom::XComplexValue;
using fathom::XRealValue;

constexpr double kComplexMaxUlps = 2.0;

using XCFn = XComplexValue (*)(XComplexValue);

struct ComplexCase {
  const char *name;
  XCFn f;
  RefFn ref;
};

const ComplexCase kFunctions[] = {
    {"cexp", fathom::cexp, refExp},       {"clog", fathom::clog, refLog},
    {"csin", fathom::csin, refSin},       {"ccos", fathom::ccos, refCos},
    {"ctan", fathom::ctan, refTan},       {"csinh", fathom::csinh, refSinh},
    {"ccosh", fathom::ccosh, refCosh},    {"ctanh", fathom::ctanh, refTanh},
    {"casin", fathom::casin, refAsin},    {"cacos", fathom::cacos, refAcos},
    {"catan", fathom::catan, refAtan},    {"casinh", fathom::casinh, refAsinh},
    {"cacosh", fathom::cacosh, refAcosh}, {"catanh", fathom::catanh, refAtanh},
    {"cexp10", fathom::cexp10, refExp10}, {"clog10", fathom::clog10, refLog10},
    {"ccbrt", fathom::ccbrt, refCbrt},
};

// A part with a random significand and exponent in [lo, hi], random sign.
XRealValue part(RandomXReal &r, int64_t lo, int64_t hi) {
  return randomWithExponent(r, r.uniform(lo, hi), true);
}

struct Region {
  const char *name;
  int64_t reLo, reHi, imLo, imHi;
};

// Regions with both parts non-zero; the exponential family keeps |Re| or
// |Im| (whichever feeds exp, sinh, cosh) below 2^20.
const Region kRegions[] = {
    {"|x|, |y| in [2^-8, 2^8)", -8, 7, -8, 7},
    {"|x|, |y| in [2^-60, 2^-8)", -60, -9, -60, -9},
    {"|x| small, |y| moderate", -60, -9, -4, 4},
    {"|x| moderate, |y| small", -4, 4, -60, -9},
    {"|x|, |y| in [2^8, 2^19)", 8, 18, 8, 18},
};

struct PartStats {
  UlpStats re, im;
};

PartStats measureComplex(const ComplexCase &c, const Region &g, int64_t n, uint64_t seed) {
  RandomXReal rng(seed);
  PartStats s;
  MpC z, ref;
  for (int64_t i = 0; i < scaled(n); i++) {
    XComplexValue a = {part(rng, g.reLo, g.reHi), part(rng, g.imLo, g.imHi)};
    set(z, a);
    c.ref(ref, z);
    XComplexValue got = c.f(a);
    std::string where = describe(a.re) + describe(a.im);
    s.re.add(ulpError(got.re, ref.re), where);
    s.im.add(ulpError(got.im, ref.im), where);
  }
  return s;
}

TEST(FathomXComplexElem, AccuracyPerPart) {
  uint64_t seed = 500;
  for (const ComplexCase &c : kFunctions) {
    for (const Region &g : kRegions) {
      PartStats s = measureComplex(c, g, 1000, seed++);
      std::printf("| %-6s | %-28s | %6.4f | %6.4f | %6.4f | %6.4f |\n", c.name, g.name, s.re.max,
                  s.im.max, s.re.mean(), s.im.mean());
      EXPECT_LE(s.re.max, kComplexMaxUlps) << c.name << " real part on " << g.name << " at " << s.re.worst;
      EXPECT_LE(s.im.max, kComplexMaxUlps) << c.name << " imaginary part on " << g.name << " at " << s.im.worst;
    }
  }
}

// Near the branch points +-1 and +-i of the inverse functions.
TEST(FathomXComplexElem, AccuracyNearBranchPoints) {
  RandomXReal rng(77);
  MpC z, ref;
  for (const ComplexCase &c : kFunctions) {
    std::string name = c.name;
    if (name.size() < 5 || name[1] != 'a') continue;            // casin ... catanh
    UlpStats re, im;
    for (int64_t i = 0; i < scaled(1500); i++) {
      XRealValue one = xr(rng.coin() ? 1 : -1);
      XRealValue d1 = part(rng, -120, -2), d2 = part(rng, -120, -2);
      XComplexValue a = rng.coin() ? XComplexValue{one + d1, d2} : XComplexValue{d1, one + d2};
      set(z, a);
      c.ref(ref, z);
      XComplexValue got = c.f(a);
      std::string where = describe(a.re) + describe(a.im);
      re.add(ulpError(got.re, ref.re), where);
      im.add(ulpError(got.im, ref.im), where);
    }
    std::printf("| %-6s | %-28s | %6.4f | %6.4f | %6.4f | %6.4f |\n", c.name, "near +-1, +-i", re.max,
                im.max, re.mean(), im.mean());
    EXPECT_LE(re.max, kComplexMaxUlps) << c.name << " real part at " << re.worst;
    EXPECT_LE(im.max, kComplexMaxUlps) << c.name << " imaginary part at " << im.worst;
  }
}

TEST(FathomXComplexElem, PowAccuracy) {
  RandomXReal rng(78);
  MpC y, x, ref;
  UlpStats re, im;
  for (int64_t i = 0; i < scaled(4000); i++) {
    XComplexValue b = {part(rng, -20, 20), part(rng, -20, 20)};
    XComplexValue e = {part(rng, -20, 4), part(rng, -20, 4)};
    set(y, b);
    set(x, e);
    refPow(ref, y, x);
    XComplexValue got = fathom::cpow(b, e);
    std::string where = describe(b.re) + describe(b.im) + describe(e.re) + describe(e.im);
    re.add(ulpError(got.re, ref.re), where);
    im.add(ulpError(got.im, ref.im), where);
  }
  std::printf("| cpow   | %-28s | %6.4f | %6.4f | %6.4f | %6.4f |\n", "|y| in 2^+-20, |x| < 2^5", re.max,
              im.max, re.mean(), im.mean());
  EXPECT_LE(re.max, kComplexMaxUlps) << re.worst;
  EXPECT_LE(im.max, kComplexMaxUlps) << im.worst;
}

XComplexValue cx(double re, double im) { return {xr(re), xr(im)}; }

bool same(XRealValue a, XRealValue b) { return sameValue(a, b); }

// |got - want| within `ulps` of want (want finite, non-zero).
bool close(XRealValue got, XRealValue want, double ulps = 1) {
  Mp w(128);
  toMpfr(w.v, want);
  return ulpError(got, w.v) <= ulps;
}

// The sign of a zero imaginary part picks the side of each cut.
TEST(FathomXComplexElem, BranchCutSides) {
  XRealValue pi = fathom::xpi(), half = xr(0.5), two = xr(2), three = xr(3);
  XRealValue acosh2 = fathom::acosh(two), acosh3 = fathom::acosh(three);
  for (int s = 0; s < 2; s++) {
    bool negSide = s == 1;
    XRealValue z0 = fathom::zero(negSide);
    XRealValue sg = xr(negSide ? -1 : 1);
    // log and sqrt-like cuts on the negative real axis.
    XComplexValue l = fathom::clog({xr(-2), z0});
    EXPECT_TRUE(close(l.re, fathom::log(two)));
    EXPECT_TRUE(same(l.im, negSide ? -pi : pi));
    EXPECT_TRUE(same(fathom::carg({xr(-1), z0}), negSide ? -pi : pi));
    // asin, acos: cuts beyond +-1 on the real axis.
    XComplexValue as = fathom::casin({two, z0});
    EXPECT_TRUE(close(as.re, pi * half));
    EXPECT_TRUE(close(as.im, sg * acosh2)) << negSide;
    XComplexValue ac = fathom::cacos({two, z0});
    EXPECT_TRUE(fathom::isZero(ac.re));
    EXPECT_TRUE(close(ac.im, fathom::neg(sg) * acosh2)) << negSide;
    XComplexValue ac2 = fathom::cacos({-two, z0});
    EXPECT_TRUE(close(ac2.re, pi));
    EXPECT_TRUE(close(ac2.im, fathom::neg(sg) * acosh2)) << negSide;
    // atanh: beyond +-1 on the real axis; atan: beyond +-i on the imaginary axis.
    XComplexValue at = fathom::catanh({three, z0});
    EXPECT_TRUE(close(at.re, fathom::atanh(xr(1) / three)));
    EXPECT_TRUE(close(at.im, sg * pi * half)) << negSide;
    XComplexValue atn = fathom::catan({z0, three});
    EXPECT_TRUE(close(atn.re, sg * pi * half)) << negSide;
    EXPECT_TRUE(close(atn.im, fathom::atanh(xr(1) / three)));
    // asinh: beyond +-i on the imaginary axis, the real part's zero picks.
    XComplexValue ash = fathom::casinh({z0, three});
    EXPECT_TRUE(close(ash.re, sg * acosh3)) << negSide;
    EXPECT_TRUE(close(ash.im, pi * half));
    // acosh: below 1 on the real axis.
    XComplexValue ach = fathom::cacosh({-two, z0});
    EXPECT_TRUE(close(ach.re, acosh2));
    EXPECT_TRUE(close(ach.im, sg * pi)) << negSide;
    XComplexValue ach2 = fathom::cacosh({half, z0});
    EXPECT_TRUE(fathom::isZero(ach2.re));
    EXPECT_TRUE(close(ach2.im, sg * pi / three)) << negSide;
    // pow: the cut of log.
    XComplexValue p = fathom::cpow({xr(-8), z0}, {xr(1) / three, xr(0)});
    EXPECT_TRUE(close(p.re, xr(1), 2));
    EXPECT_TRUE(close(p.im, sg * fathom::sqrt(three), 2)) << negSide;
  }
}

// f(conj z) = conj f(z), bit for bit, on and off the axes.
TEST(FathomXComplexElem, ConjugateSymmetry) {
  RandomXReal rng(79);
  for (const ComplexCase &c : kFunctions) {
    for (int i = 0; i < 300; i++) {
      XComplexValue a = {part(rng, -6, 6), part(rng, -6, 6)};
      if (i % 3 == 1) a.im = fathom::zero(rng.coin());
      if (i % 3 == 2) a.re = fathom::zero(rng.coin());
      XComplexValue f = c.f(a), g = c.f(fathom::cconj(a));
      ASSERT_TRUE(same(g.re, f.re) && same(g.im, fathom::neg(f.im)))
          << c.name << " at " << describe(a.re) << describe(a.im);
    }
  }
}

TEST(FathomXComplexElem, SpecialValues) {
  XRealValue inf = fathom::infinity(), nanv = fathom::nan(), z = fathom::zero();
  XRealValue pi = fathom::xpi(), one = xr(1);
  // exp
  XComplexValue e = fathom::cexp({inf, z});
  EXPECT_TRUE(same(e.re, inf) && same(e.im, z));
  e = fathom::cexp({-inf, xr(2)});
  EXPECT_TRUE(fathom::isZero(e.re) && fathom::signBit(e.re) && fathom::isZero(e.im) && !fathom::signBit(e.im));
  e = fathom::cexp({xr(1), inf});
  EXPECT_TRUE(fathom::isNaN(e.re) && fathom::isNaN(e.im));
  e = fathom::cexp({xr(3), fathom::zero(true)});
  EXPECT_TRUE(same(e.im, fathom::zero(true)));
  e = fathom::cexp({xr(1e9), xr(1)});                    // overflow in both parts
  EXPECT_TRUE(same(e.re, inf) && same(e.im, inf));
  // log
  XComplexValue l = fathom::clog({fathom::zero(true), z});
  EXPECT_TRUE(same(l.re, -inf) && same(l.im, pi));
  l = fathom::clog({-inf, inf});
  EXPECT_TRUE(same(l.re, inf) && close(l.im, pi * xr(0.75)));
  l = fathom::clog({nanv, inf});
  EXPECT_TRUE(same(l.re, inf) && fathom::isNaN(l.im));
  // hyperbolic and circular
  XComplexValue t = fathom::ctanh({inf, xr(1)});
  EXPECT_TRUE(same(t.re, one) && fathom::isZero(t.im) && !fathom::signBit(t.im));
  t = fathom::ctanh({xr(-1e9), xr(2)});                   // sin 4 < 0
  EXPECT_TRUE(same(t.re, -one) && fathom::isZero(t.im) && fathom::signBit(t.im));
  t = fathom::ctan({xr(1), inf});
  EXPECT_TRUE(fathom::isZero(t.re) && same(t.im, one));
  XComplexValue s = fathom::csinh({inf, z});
  EXPECT_TRUE(same(s.re, inf) && same(s.im, z));
  XComplexValue ch = fathom::ccosh({z, inf});
  EXPECT_TRUE(fathom::isNaN(ch.re) && fathom::isZero(ch.im));
  ch = fathom::ccosh({inf, xr(2)});                       // cos 2 < 0, sin 2 > 0
  EXPECT_TRUE(same(ch.re, -inf) && same(ch.im, inf));
  // inverse functions
  XComplexValue a = fathom::casinh({inf, inf});
  EXPECT_TRUE(same(a.re, inf) && close(a.im, pi * xr(0.25)));
  a = fathom::cacosh({-inf, xr(1)});
  EXPECT_TRUE(same(a.re, inf) && same(a.im, pi));
  a = fathom::cacosh({z, z});
  EXPECT_TRUE(fathom::isZero(a.re) && close(a.im, pi * xr(0.5)));
  a = fathom::catanh({one, z});
  EXPECT_TRUE(same(a.re, inf) && same(a.im, z));
  a = fathom::catanh({xr(2), inf});
  EXPECT_TRUE(same(a.re, z) && close(a.im, pi * xr(0.5)));
  a = fathom::cacos({inf, xr(1)});
  EXPECT_TRUE(fathom::isZero(a.re) && same(a.im, -inf));
  a = fathom::cacos({z, z});
  EXPECT_TRUE(close(a.re, pi * xr(0.5)) && same(a.im, fathom::zero(true)));
  a = fathom::casin({nanv, xr(1)});
  EXPECT_TRUE(fathom::isNaN(a.re) && fathom::isNaN(a.im));
}

// Exact results of the decimal exponential and logarithm on the real axis
// and of cube roots of exact cubes; the special values they share with
// exp and log.
TEST(FathomXComplexElem, DecimalExponentialLogarithmAndCubeRoot) {
  XRealValue z = fathom::zero(), nz = fathom::zero(true), inf = fathom::infinity();
  XComplexValue r = fathom::cexp10({xr(3), nz});
  EXPECT_TRUE(same(r.re, xr(1000)) && same(r.im, nz));
  r = fathom::cexp10({xr(-2), z});
  EXPECT_TRUE(same(r.re, xr(1) / xr(100)) && same(r.im, z));   // correctly rounded
  r = fathom::cexp10({z, fathom::xpi() / fathom::xln10()});   // 10^(i pi/ln 10) = -1
  EXPECT_TRUE(close(r.re, xr(-1), 1));
  r = fathom::cexp10({-inf, xr(1)});
  EXPECT_TRUE(fathom::isZero(r.re) && fathom::isZero(r.im));
  r = fathom::clog10({xr(1000), z});
  EXPECT_TRUE(same(r.re, xr(3)) && same(r.im, z));
  r = fathom::clog10({xr(100), nz});
  EXPECT_TRUE(same(r.re, xr(2)) && same(r.im, nz));
  r = fathom::clog10({xr(-100), nz});                        // below the cut: -pi/ln 10
  EXPECT_TRUE(same(r.re, xr(2)) && close(r.im, fathom::neg(fathom::xpi()) / fathom::xln10(), 1));
  r = fathom::clog10({nz, z});
  EXPECT_TRUE(same(r.re, -inf));
  // (2 + i)^3 = 2 + 11i, (1 + i sqrt 3) / 2 the cube root of -1, and the
  // real cube roots on the positive axis.
  r = fathom::ccbrt(cx(2, 11));
  EXPECT_TRUE(same(r.re, xr(2)) && same(r.im, xr(1)));
  r = fathom::ccbrt(cx(-8, 0));
  EXPECT_TRUE(same(r.re, xr(1)) && close(r.im, fathom::sqrt(xr(3)), 0.5));
  r = fathom::ccbrt({xr(-8), nz});
  EXPECT_TRUE(same(r.re, xr(1)) && close(r.im, fathom::neg(fathom::sqrt(xr(3))), 0.5));
  r = fathom::ccbrt({xr(27), nz});
  EXPECT_TRUE(same(r.re, xr(3)) && same(r.im, nz));
  r = fathom::ccbrt(cx(0, 8));                                // 2 e^(i pi/6)
  EXPECT_TRUE(close(r.re, fathom::sqrt(xr(3)), 0.5) && same(r.im, xr(1)));
  r = fathom::ccbrt({nz, nz});
  EXPECT_TRUE(same(r.re, nz) && same(r.im, nz));
  r = fathom::ccbrt({inf, xr(1)});
  EXPECT_TRUE(same(r.re, inf) && fathom::isZero(r.im));
}

TEST(FathomXComplexElem, ExactIntegralPowers) {
  auto pw = [](XComplexValue y, double n) { return fathom::cpow(y, {xr(n), fathom::zero()}); };
  XComplexValue r = pw(cx(1, 1), 2);
  EXPECT_TRUE(fathom::isZero(r.re) && same(r.im, xr(2)));
  r = pw(cx(2, 3), 3);                                     // -46 + 9i
  EXPECT_TRUE(same(r.re, xr(-46)) && same(r.im, xr(9)));
  r = pw(cx(1, 1), 64);                                    // 2^32
  EXPECT_TRUE(same(r.re, xr(4294967296.0)) && fathom::isZero(r.im));
  r = pw(cx(3, -5), 20);
  Mp re(128), im(128);
  // (3 - 5i)^20 has parts below 2^101: exact.
  mpz_t zr, zi, tr, ti;
  mpz_inits(zr, zi, tr, ti, (mpz_ptr)nullptr);
  mpz_set_si(zr, 1);
  mpz_set_si(zi, 0);
  for (int k = 0; k < 20; k++) {                           // (zr + i zi)(3 - 5i)
    mpz_mul_si(tr, zr, 3);
    mpz_addmul_ui(tr, zi, 5);
    mpz_mul_si(ti, zi, 3);
    mpz_submul_ui(ti, zr, 5);
    mpz_set(zr, tr);
    mpz_set(zi, ti);
  }
  mpfr_set_z(re.v, zr, MPFR_RNDN);
  mpfr_set_z(im.v, zi, MPFR_RNDN);
  EXPECT_TRUE(same(r.re, fromMpfr(re.v)) && same(r.im, fromMpfr(im.v)));
  mpz_clears(zr, zi, tr, ti, (mpz_ptr)nullptr);
  r = pw(cx(0, 2), -2);                                    // 1/(2i)^2 = -1/4
  EXPECT_TRUE(same(r.re, xr(-0.25)) && fathom::isZero(r.im));
  r = pw(cx(5, 7), 0);
  EXPECT_TRUE(same(r.re, xr(1)) && fathom::isZero(r.im));
}

} // namespace
