// The rows of the accuracy table: each function over the regions of its
// domain, the hard ones included (near zeros, poles, overflow, underflow,
// branch points and the largest arguments the reduction handles).
#include <cmath>

#include "fathom/xmath.h"
#include "xmath_accuracy.h"
#include "xreal_mpfr.h"

namespace xrtest {

using fathom::XRealValue;

namespace {

// Random binary exponent in [lo, hi].
Gen1 byExponent(int64_t lo, int64_t hi, bool anySign) {
  return [=](RandomXReal &r) { return randomWithExponent(r, r.uniform(lo, hi), anySign); };
}

// Uniform in log between lo and hi; either sign when asked.
Gen1 inRange(double lo, double hi, bool anySign) {
  return [=](RandomXReal &r) {
    XRealValue x = randomIn(r, lo, hi);
    return anySign && r.coin() ? fathom::neg(x) : x;
  };
}

// c + s 2^-k for k in [kLo, kHi], s random of either sign (or of one sign).
Gen1 near(double c, int kLo, int kHi, int sign) {
  return [=](RandomXReal &r) {
    bool negative = sign == 0 ? r.coin() : sign < 0;
    XRealValue d = randomWithExponent(r, -r.uniform(kLo, kHi), false);
    return fathom::add(xr(c), negative ? fathom::neg(d) : d);
  };
}

// The extended real nearest to k pi/2 (k of up to `bits` bits), moved by
// up to 3 ulps.
Gen1 nearHalfPiMultiple(int bits) {
  return [=](RandomXReal &r) {
    int b = (int)r.uniform(1, bits);
    Mp k(bits + 64), x(bits + 400);
    mpfr_set_ui(k.v, 0, MPFR_RNDN);
    for (int done = 0; done < b; done += 64) {
      mpfr_mul_2ui(k.v, k.v, 64, MPFR_RNDN);
      mpfr_add_ui(k.v, k.v, (unsigned long)r.bits(), MPFR_RNDN);
    }
    mpfr_div_2ui(k.v, k.v, (unsigned long)((b + 63) / 64 * 64 - b), MPFR_RNDZ);
    mpfr_floor(k.v, k.v);
    if (mpfr_zero_p(k.v)) mpfr_set_ui(k.v, 1, MPFR_RNDN);
    mpfr_const_pi(x.v, MPFR_RNDN);
    mpfr_mul(x.v, x.v, k.v, MPFR_RNDN);
    mpfr_div_2ui(x.v, x.v, 1, MPFR_RNDN);
    XRealValue v = xrFromMpfr(x.v);
    int e;
    fathom::frexp(v, &e);
    XRealValue ulp = fathom::ldexp(xr(1), e - 128);
    v = fathom::add(v, fathom::mul(xr((double)r.uniform(-3, 3)), ulp));
    return r.coin() ? fathom::neg(v) : v;
  };
}

Gen2 pair(Gen1 gy, Gen1 gx) {
  return [=](RandomXReal &r, XRealValue *y, XRealValue *x) {
    *y = gy(r);
    *x = gx(r);
  };
}

// y > 0 of any exponent and x with |x log2 y| below 2^(28.3 - s), s random.
void powAnyBase(RandomXReal &r, XRealValue *y, XRealValue *x) {
  int64_t e = r.uniform(-3000000, 3000000) / (r.coin() ? 1 : 10000);
  *y = randomWithExponent(r, e, false);
  double l2 = (double)e + 0.5;
  double t = std::ldexp((double)(r.bits() >> 11) * 0x1p-53, 28 - (int)r.uniform(0, 40));
  *x = xr((r.coin() ? t : -t) / l2);
}

// y < 0 with integral x.
void powNegativeBase(RandomXReal &r, XRealValue *y, XRealValue *x) {
  *y = fathom::neg(randomWithExponent(r, r.uniform(-40, 40), false));
  *x = xr((double)r.uniform(-2000, 2000));
}

// y = 1 + d with |d| = 2^-k, x up to 2^(k + 20).
void powNearOne(RandomXReal &r, XRealValue *y, XRealValue *x) {
  int k = (int)r.uniform(5, 120);
  *y = near(1, k, k, 0)(r);
  *x = randomWithExponent(r, r.uniform(0, k + 20), true);
}

AccuracyCase one(const char *f, const char *domain, fathom::XRealValue (*fn)(XRealValue), MpFn1 m,
                 Gen1 g, int64_t n) {
  AccuracyCase c;
  c.function = f;
  c.domain = domain;
  c.f1 = fn;
  c.m1 = m;
  c.g1 = std::move(g);
  c.samples = n;
  return c;
}

AccuracyCase two(const char *f, const char *domain, XFn2 fn, MpFn2 m, Gen2 g, int64_t n) {
  AccuracyCase c;
  c.function = f;
  c.domain = domain;
  c.f2 = fn;
  c.m2 = m;
  c.g2 = std::move(g);
  c.samples = n;
  return c;
}

int mpfrExp10(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_exp10(r, x, m); }

// Degrees: MPFR's functions of the angle 2 pi x / u with u = 360.
int mpfrSinDeg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_sinu(r, x, 360, m); }
int mpfrCosDeg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_cosu(r, x, 360, m); }
int mpfrTanDeg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_tanu(r, x, 360, m); }
int mpfrAsinDeg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_asinu(r, x, 360, m); }
int mpfrAcosDeg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_acosu(r, x, 360, m); }
int mpfrAtanDeg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_atanu(r, x, 360, m); }
int mpfrAtan2Deg(mpfr_ptr r, mpfr_srcptr y, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_atan2u(r, y, x, 360, m); }

// sin(x)/x, and sin(x)/x - 1 with 2|log2 x| more bits for the cancellation
// near 0.
int mpfrSinc(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {
  Mp t(mpfr_get_prec(r) + 64);
  mpfr_sin(t.v, x, MPFR_RNDN);
  return mpfr_div(r, t.v, x, m);
}
int mpfrSincm1(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {
  mpfr_exp_t e = mpfr_get_exp(x);
  Mp t(mpfr_get_prec(r) + 64 + (e < 0 ? -2 * e : 0));
  mpfr_sin(t.v, x, MPFR_RNDN);
  mpfr_div(t.v, t.v, x, MPFR_RNDN);
  return mpfr_sub_ui(r, t.v, 1, m);
}
// x / (sqrt(1 + x) + 1), which does not cancel.
int mpfrSqrt1pm1(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {
  Mp t(mpfr_get_prec(r) + 64);
  mpfr_add_ui(t.v, x, 1, MPFR_RNDN);
  mpfr_sqrt(t.v, t.v, MPFR_RNDN);
  mpfr_add_ui(t.v, t.v, 1, MPFR_RNDN);
  return mpfr_div(r, x, t.v, m);
}

// 90 k (k of up to `bits` bits, exact) moved by 1 to 3 of its ulps.
Gen1 nearNinetyMultiple(int bits) {
  return [=](RandomXReal &r) {
    uint64_t k = r.bits() >> (64 - r.uniform(1, bits));
    if (k == 0) k = 1;
    XRealValue v = fathom::mul(fathom::fromUint64(k), xr(90));
    int e;
    fathom::frexp(v, &e);
    XRealValue ulp = fathom::ldexp(xr(1), e - 128);
    int64_t j = r.uniform(1, 3);
    v = fathom::add(v, fathom::mul(xr((double)(r.coin() ? j : -j)), ulp));
    return r.coin() ? fathom::neg(v) : v;
  };
}

std::vector<AccuracyCase> buildCases() {
  const double kOver = 230258509.0, kUnder = -230258509.0;
  std::vector<AccuracyCase> v;
  auto add1 = [&](const char *f, const char *d, XFn1 fn, MpFn1 m, Gen1 g, int64_t n) {
    v.push_back(one(f, d, fn, m, std::move(g), n));
  };
  // Exponentials.
  add1("exp", "|x| < 2^-20 (down to 2^-400)", fathom::exp, mpfr_exp, byExponent(-400, -21, true), 3000);
  add1("exp", "2^-20 <= |x| < 2^8", fathom::exp, mpfr_exp, byExponent(-20, 7, true), 6000);
  add1("exp", "2^8 <= |x| < 2.3e8", fathom::exp, mpfr_exp, inRange(256, 2.3e8, true), 3000);
  add1("exp", "near overflow [2.30258e8, 2.302585e8]", fathom::exp, mpfr_exp, inRange(230258000, kOver + 0.9, false), 2000);
  add1("exp", "into underflow [-2.302586e8, -2.30258e8]", fathom::exp, mpfr_exp,
       [=](RandomXReal &r) { return fathom::neg(randomIn(r, 230258000, 230258598)); }, 2000);
  add1("expm1", "|x| < 2^-20", fathom::expm1, mpfr_expm1, byExponent(-400, -21, true), 3000);
  add1("expm1", "2^-20 <= |x| < 2^8", fathom::expm1, mpfr_expm1, byExponent(-20, 7, true), 6000);
  add1("expm1", "2^8 <= |x| < 2.3e8", fathom::expm1, mpfr_expm1, inRange(256, 2.3e8, true), 2000);
  add1("exp10", "|x| < 2^-20", fathom::exp10, mpfrExp10, byExponent(-400, -21, true), 2000);
  add1("exp10", "2^-20 <= |x| < 1e8", fathom::exp10, mpfrExp10, inRange(0x1p-20, 1e8, true), 5000);
  add1("exp10", "near overflow and underflow, |x| ~ 1e8", fathom::exp10, mpfrExp10,
       inRange(99999990, 100000039, true), 2000);
  // Logarithms.
  add1("log", "x > 0, whole exponent range", fathom::log, mpfr_log, byExponent(kEminBinary - 127, kEmaxBinary, false), 6000);
  add1("log", "[0.5, 2)", fathom::log, mpfr_log, inRange(0.5, 2, false), 6000);
  add1("log", "1 +- 2^-k, k in [1, 300]", fathom::log, mpfr_log, near(1, 1, 300, 0), 6000);
  add1("log1p", "|x| < 2^-20 (down to 2^-400)", fathom::log1p, mpfr_log1p, byExponent(-400, -21, true), 3000);
  add1("log1p", "2^-20 <= |x| < 1", fathom::log1p, mpfr_log1p, byExponent(-20, -1, true), 6000);
  add1("log1p", "-1 + 2^-k, k in [1, 300]", fathom::log1p, mpfr_log1p, near(-1, 1, 300, 1), 3000);
  add1("log1p", "x >= 1, whole exponent range", fathom::log1p, mpfr_log1p, byExponent(0, kEmaxBinary, false), 3000);
  add1("log10", "x > 0, whole exponent range", fathom::log10, mpfr_log10, byExponent(kEminBinary - 127, kEmaxBinary, false), 4000);
  add1("log10", "1 +- 2^-k, k in [1, 300]", fathom::log10, mpfr_log10, near(1, 1, 300, 0), 4000);
  // Trigonometric functions.
  struct Trig { const char *name; XFn1 fn; MpFn1 m; };
  for (Trig t : {Trig{"sin", fathom::sin, mpfr_sin}, Trig{"cos", fathom::cos, mpfr_cos},
                 Trig{"tan", fathom::tan, mpfr_tan}}) {
    add1(t.name, "|x| < 2^-1 (down to 2^-400)", t.fn, t.m, byExponent(-400, -2, true), 3000);
    add1(t.name, "2^-1 <= |x| < 2^20", t.fn, t.m, byExponent(-1, 19, true), 8000);
    add1(t.name, "2^20 <= |x| < 2^1100", t.fn, t.m, byExponent(20, 1099, true), 3000);
    add1(t.name, "2^1100 <= |x| < 2^60000", t.fn, t.m, byExponent(1100, 59999, true), 300);
    add1(t.name, "nearest to k pi/2 (+-3 ulp), k < 2^24", t.fn, t.m, nearHalfPiMultiple(24), 4000);
    add1(t.name, "nearest to k pi/2 (+-3 ulp), k < 2^1100", t.fn, t.m, nearHalfPiMultiple(1100), 3000);
  }
  // Inverse trigonometric functions.
  add1("asin", "|x| < 2^-20 (down to 2^-400)", fathom::asin, mpfr_asin, byExponent(-400, -21, true), 2000);
  add1("asin", "2^-20 <= |x| < 1", fathom::asin, mpfr_asin, byExponent(-20, -1, true), 6000);
  add1("asin", "+-(1 - 2^-k), k in [1, 300]", fathom::asin, mpfr_asin,
       [](RandomXReal &r) { XRealValue x = near(1, 1, 300, -1)(r); return r.coin() ? fathom::neg(x) : x; }, 4000);
  add1("acos", "|x| < 2^-20 (down to 2^-400)", fathom::acos, mpfr_acos, byExponent(-400, -21, true), 2000);
  add1("acos", "2^-20 <= |x| < 1", fathom::acos, mpfr_acos, byExponent(-20, -1, true), 6000);
  add1("acos", "+-(1 - 2^-k), k in [1, 300]", fathom::acos, mpfr_acos,
       [](RandomXReal &r) { XRealValue x = near(1, 1, 300, -1)(r); return r.coin() ? fathom::neg(x) : x; }, 4000);
  add1("atan", "whole exponent range", fathom::atan, mpfr_atan, byExponent(kEminBinary - 127, kEmaxBinary, true), 4000);
  add1("atan", "2^-20 <= |x| < 2^20", fathom::atan, mpfr_atan, byExponent(-20, 19, true), 8000);
  v.push_back(two("atan2", "all quadrants, exponents -300..300", fathom::atan2, mpfr_atan2,
                  pair(byExponent(-300, 300, true), byExponent(-300, 300, true)), 6000));
  v.push_back(two("atan2", "all quadrants, |y| ~ |x|", fathom::atan2, mpfr_atan2,
                  [](RandomXReal &r, XRealValue *y, XRealValue *x) {
                    int64_t e = r.uniform(-1000, 1000);
                    *y = randomWithExponent(r, e, true);
                    *x = randomWithExponent(r, e + r.uniform(-1, 1), true);
                  }, 6000));
  v.push_back(two("atan2", "whole exponent range", fathom::atan2, mpfr_atan2,
                  pair(byExponent(kEminBinary, kEmaxBinary, true), byExponent(kEminBinary, kEmaxBinary, true)), 3000));
  // Hyperbolic functions.
  add1("sinh", "|x| < 2^-20 (down to 2^-400)", fathom::sinh, mpfr_sinh, byExponent(-400, -21, true), 2000);
  add1("sinh", "2^-20 <= |x| < 2^7", fathom::sinh, mpfr_sinh, byExponent(-20, 6, true), 6000);
  add1("sinh", "2^7 <= |x| < overflow", fathom::sinh, mpfr_sinh, inRange(128, kOver + 0.6, true), 3000);
  add1("cosh", "|x| < 2^-20 (down to 2^-400)", fathom::cosh, mpfr_cosh, byExponent(-400, -21, true), 1000);
  add1("cosh", "2^-20 <= |x| < 2^7", fathom::cosh, mpfr_cosh, byExponent(-20, 6, true), 6000);
  add1("cosh", "2^7 <= |x| < overflow", fathom::cosh, mpfr_cosh, inRange(128, kOver + 0.6, true), 3000);
  add1("tanh", "|x| < 2^-20 (down to 2^-400)", fathom::tanh, mpfr_tanh, byExponent(-400, -21, true), 2000);
  add1("tanh", "2^-20 <= |x| < 128", fathom::tanh, mpfr_tanh, byExponent(-20, 6, true), 6000);
  add1("asinh", "whole exponent range", fathom::asinh, mpfr_asinh, byExponent(kEminBinary - 127, kEmaxBinary, true), 4000);
  add1("asinh", "2^-20 <= |x| < 2^20", fathom::asinh, mpfr_asinh, byExponent(-20, 19, true), 6000);
  add1("acosh", "1 + 2^-k, k in [1, 300]", fathom::acosh, mpfr_acosh, near(1, 1, 300, 1), 4000);
  add1("acosh", "x >= 2, whole exponent range", fathom::acosh, mpfr_acosh, byExponent(1, kEmaxBinary, false), 4000);
  add1("atanh", "|x| < 2^-20 (down to 2^-400)", fathom::atanh, mpfr_atanh, byExponent(-400, -21, true), 2000);
  add1("atanh", "2^-20 <= |x| < 1", fathom::atanh, mpfr_atanh, byExponent(-20, -1, true), 6000);
  add1("atanh", "+-(1 - 2^-k), k in [1, 300]", fathom::atanh, mpfr_atanh,
       [](RandomXReal &r) { XRealValue x = near(1, 1, 300, -1)(r); return r.coin() ? fathom::neg(x) : x; }, 3000);
  // Roots and powers.
  add1("cbrt", "whole exponent range", fathom::cbrt, mpfr_cbrt, byExponent(kEminBinary - 127, kEmaxBinary, true), 6000);
  v.push_back(two("pow", "y in [2^-8, 2^8), |x| < 2^8", fathom::pow, mpfr_pow,
                  pair(inRange(1.0 / 256, 256, false), inRange(0x1p-30, 256, true)), 6000));
  v.push_back(two("pow", "y > 0 any exponent, |x log y| < 2^28", fathom::pow, mpfr_pow, powAnyBase, 6000));
  v.push_back(two("pow", "y < 0, integral |x| <= 2000", fathom::pow, mpfr_pow, powNegativeBase, 4000));
  v.push_back(two("pow", "y = 1 +- 2^-k, |x| < 2^(k+20)", fathom::pow, mpfr_pow, powNearOne, 4000));
  // Degrees.
  struct TrigDeg { const char *name; XFn1 fn; MpFn1 m; };
  for (TrigDeg t : {TrigDeg{"sinDeg", fathom::sinDeg, mpfrSinDeg}, TrigDeg{"cosDeg", fathom::cosDeg, mpfrCosDeg},
                    TrigDeg{"tanDeg", fathom::tanDeg, mpfrTanDeg}}) {
    add1(t.name, "|x| < 2^9 (down to 2^-400)", t.fn, t.m, byExponent(-400, 8, true), 4000);
    add1(t.name, "2^9 <= |x| < 2^130", t.fn, t.m, byExponent(9, 129, true), 3000);
    add1(t.name, "2^130 <= |x|, whole exponent range", t.fn, t.m, byExponent(130, kEmaxBinary, true), 1000);
    add1(t.name, "90 k +- 1..3 ulps, k < 2^63", t.fn, t.m, nearNinetyMultiple(63), 3000);
  }
  add1("asinDeg", "|x| < 1 (down to 2^-400)", fathom::asinDeg, mpfrAsinDeg, byExponent(-400, -1, true), 4000);
  add1("asinDeg", "+-(1 - 2^-k), k in [1, 300]", fathom::asinDeg, mpfrAsinDeg,
       [](RandomXReal &r) { XRealValue x = near(1, 1, 300, -1)(r); return r.coin() ? fathom::neg(x) : x; }, 2000);
  add1("acosDeg", "|x| < 1 (down to 2^-400)", fathom::acosDeg, mpfrAcosDeg, byExponent(-400, -1, true), 4000);
  add1("acosDeg", "+-(1 - 2^-k), k in [1, 300]", fathom::acosDeg, mpfrAcosDeg,
       [](RandomXReal &r) { XRealValue x = near(1, 1, 300, -1)(r); return r.coin() ? fathom::neg(x) : x; }, 2000);
  add1("atanDeg", "whole exponent range", fathom::atanDeg, mpfrAtanDeg, byExponent(kEminBinary - 127, kEmaxBinary, true), 3000);
  add1("atanDeg", "2^-20 <= |x| < 2^20", fathom::atanDeg, mpfrAtanDeg, byExponent(-20, 19, true), 4000);
  v.push_back(two("atan2Deg", "all quadrants, exponents -300..300", fathom::atan2Deg, mpfrAtan2Deg,
                  pair(byExponent(-300, 300, true), byExponent(-300, 300, true)), 4000));
  // sinc, sincm1, sqrt1pm1.
  add1("sinc", "|x| < 1 (down to 2^-400)", fathom::sinc, mpfrSinc, byExponent(-400, -1, true), 3000);
  add1("sinc", "1 <= |x| < 2^20", fathom::sinc, mpfrSinc, byExponent(0, 19, true), 3000);
  add1("sinc", "2^20 <= |x| < 2^1100", fathom::sinc, mpfrSinc, byExponent(20, 1099, true), 1000);
  add1("sincm1", "|x| < 1 (down to 2^-400)", fathom::sincm1, mpfrSincm1, byExponent(-400, -1, true), 3000);
  add1("sincm1", "1 <= |x| < 2^20", fathom::sincm1, mpfrSincm1, byExponent(0, 19, true), 3000);
  add1("sincm1", "2^20 <= |x| < 2^1100", fathom::sincm1, mpfrSincm1, byExponent(20, 1099, true), 1000);
  add1("sqrt1pm1", "|x| < 2^-20 (down to 2^-400)", fathom::sqrt1pm1, mpfrSqrt1pm1, byExponent(-400, -21, true), 3000);
  add1("sqrt1pm1", "2^-20 <= |x| < 1", fathom::sqrt1pm1, mpfrSqrt1pm1, byExponent(-20, -1, true), 3000);
  add1("sqrt1pm1", "-1 + 2^-k, k in [1, 300]", fathom::sqrt1pm1, mpfrSqrt1pm1, near(-1, 1, 300, 1), 2000);
  add1("sqrt1pm1", "x >= 1, whole exponent range", fathom::sqrt1pm1, mpfrSqrt1pm1, byExponent(0, kEmaxBinary, false), 3000);
  (void)kUnder;
  return v;
}

} // namespace

const std::vector<AccuracyCase> &accuracyCases() {
  static const std::vector<AccuracyCase> cases = buildCases();
  return cases;
}

} // namespace xrtest
