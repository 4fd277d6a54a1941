// Accuracy measurement against MPFR (see xmath_accuracy.h).
#include "xmath_accuracy.h"

#include <cmath>
#include <cstdio>

#include "xreal_mpfr.h"

namespace xrtest {

using fathom::XRealValue;

double ulpError(XRealValue got, const mpfr_t ref) {
  constexpr double kMismatch = 1e9;
  if (mpfr_nan_p(ref)) return fathom::isNaN(got) ? 0 : kMismatch;
  if (fathom::isNaN(got)) return kMismatch;
  Mp rounded(128);
  {
    MpfrModel model;
    int t = mpfr_set(rounded.v, ref, MPFR_RNDN);
    finish(rounded.v, t);
  }
  if (mpfr_inf_p(rounded.v) || mpfr_zero_p(rounded.v)) {
    XRealValue expect = fromMpfr(rounded.v);
    if (sameValue(got, expect)) return 0;
    if (mpfr_inf_p(rounded.v) || !fathom::isFinite(got)) return kMismatch;
  } else if (!fathom::isFinite(got)) {
    return kMismatch;
  }
  // The ulp of ref at 128 bits: MPFR's exponent E has ref in [2^(E-1), 2^E).
  mpfr_exp_t e = mpfr_zero_p(ref) ? kEminBinary + 1 : mpfr_get_exp(ref);
  if (e < kEminBinary + 1) e = kEminBinary + 1;
  Mp g(128), diff(kRefPrec + 256);
  toMpfr(g.v, got);
  mpfr_sub(diff.v, g.v, ref, MPFR_RNDN);
  mpfr_mul_2si(diff.v, diff.v, -(long)(e - 128), MPFR_RNDN);
  return std::fabs(mpfr_get_d(diff.v, MPFR_RNDN));
}

void UlpStats::add(double ulps, const std::string &where) {
  if (ulps > max) {
    max = ulps;
    worst = where;
  }
  sum += ulps;
  count++;
}

UlpStats measure(const AccuracyCase &c, uint64_t seed) {
  RandomXReal rng(seed);
  UlpStats stats;
  Mp a(128), b(128), ref(kRefPrec);
  int64_t n = scaled(c.samples);
  for (int64_t i = 0; i < n; i++) {
    XRealValue x, y, got;
    if (c.f1) {
      x = c.g1(rng);
      toMpfr(a.v, x);
      c.m1(ref.v, a.v, MPFR_RNDN);
      got = c.f1(x);
      stats.add(ulpError(got, ref.v), describe(x));
    } else {
      c.g2(rng, &x, &y);
      toMpfr(a.v, x);
      toMpfr(b.v, y);
      c.m2(ref.v, a.v, b.v, MPFR_RNDN);
      got = c.f2(x, y);
      stats.add(ulpError(got, ref.v), describe(x) + " " + describe(y));
    }
  }
  return stats;
}

std::string formatRow(const AccuracyCase &c, const UlpStats &s) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "| %-7s | %-40s | %7lld | %8.4f | %8.4f |", c.function.c_str(),
                c.domain.c_str(), (long long)s.count, s.max, s.mean());
  return buf;
}

XRealValue xr(double d) { return fathom::fromDouble(d); }

XRealValue xrFromMpfr(const mpfr_t m) {
  Mp r(128);
  MpfrModel model;
  int t = mpfr_set(r.v, m, MPFR_RNDN);
  finish(r.v, t);
  return fromMpfr(r.v);
}

XRealValue randomWithExponent(RandomXReal &r, int64_t e, bool anySign) {
  return r.withExponent(e, anySign && r.coin());
}

XRealValue randomIn(RandomXReal &r, double lo, double hi) {
  // Uniform in the logarithm between lo and hi, full random significand.
  double l = std::log2(lo), h = std::log2(hi);
  double u = (double)(r.bits() >> 11) * 0x1p-53;
  double v = std::exp2(l + (h - l) * u);
  Mp m(128);
  mpfr_set_d(m.v, v, MPFR_RNDN);
  // 75 random low bits below the double's 53.
  Mp low(128);
  mpfr_set_ui_2exp(low.v, r.bits() >> 1, (mpfr_exp_t)(std::ilogb(v) - 53 - 63), MPFR_RNDN);
  mpfr_add(m.v, m.v, low.v, MPFR_RNDN);
  XRealValue x = xrFromMpfr(m.v);
  if (fathom::toDouble(x) >= hi) x = xr(v);
  return x;
}

} // namespace xrtest
