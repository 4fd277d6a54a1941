// Shared helpers of the extended special-function tests: the reference rows of
// tests/fathom/data/xsf_*.inc (exact hex arguments, 50-digit values), the
// error of a result in ulps of 128 bits, and the table check that prints a
// measured max/mean line per function.
#pragma once

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fathom/xreal.h"
#include "xmath_accuracy.h"
#include "xreal_mpfr.h"

namespace xsftest {

using fathom::XRealValue;

struct XsfRef1 { const char *x, *v; };
struct XsfRef2 { const char *a, *x, *v; };
struct XsfRef3 { const char *a, *b, *x, *v; };

// An exact argument from its hex text.
inline XRealValue arg(const char *s) {
  xrtest::Mp m(128);
  if (mpfr_set_str(m.v, s, 0, MPFR_RNDN) != 0) ADD_FAILURE() << "bad argument text " << s;
  return xrtest::fromMpfr(m.v);
}

// A reference value ("nan", "inf", "-inf" or decimal) at 256 bits.
inline void refValue(mpfr_t r, const char *s) {
  if (!std::strcmp(s, "nan")) mpfr_set_nan(r);
  else if (!std::strcmp(s, "inf")) mpfr_set_inf(r, 1);
  else if (!std::strcmp(s, "-inf")) mpfr_set_inf(r, -1);
  else if (mpfr_set_str(r, s, 10, MPFR_RNDN) != 0) ADD_FAILURE() << "bad value text " << s;
}

constexpr double kMismatch = 1e9;

// The error of got in ulps of the 128-bit rounding of max(|ref|, scale)
// (scale: an amplitude, for oscillating functions near their zeros).
// Special values must match; a mismatch counts as 1e9.
inline double ulps(XRealValue got, const char *refText, double scale = 0) {
  xrtest::Mp ref(256);
  refValue(ref.v, refText);
  if (mpfr_nan_p(ref.v)) return fathom::isNaN(got) ? 0 : kMismatch;
  if (fathom::isNaN(got)) return kMismatch;
  if (mpfr_inf_p(ref.v))
    return fathom::isInf(got) && fathom::signBit(got) == (mpfr_sgn(ref.v) < 0) ? 0 : kMismatch;
  if (scale <= 0 || std::fabs(mpfr_get_d(ref.v, MPFR_RNDN)) >= scale) return xrtest::ulpError(got, ref.v);
  if (!fathom::isFinite(got)) return kMismatch;
  int e;
  std::frexp(scale, &e);   // scale in [2^(e-1), 2^e): its ulp is 2^(e-128)
  xrtest::Mp g(128), diff(512);
  xrtest::toMpfr(g.v, got);
  mpfr_sub(diff.v, g.v, ref.v, MPFR_RNDN);
  mpfr_mul_2si(diff.v, diff.v, 128 - e, MPFR_RNDN);
  return std::fabs(mpfr_get_d(diff.v, MPFR_RNDN));
}

inline std::string show(const char *s) { return s; }

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
  double mean() const { return n ? sum / n : 0; }
};

// Every row under normal runs; every fourth under KOR_TEST_SCALE=quick
// (the sanitizer build).
inline int stride() { return xrtest::scaled(20) == 20 ? 1 : 4; }

inline void report(const char *name, const Stats &s, double tol) {
  std::printf("[ accuracy ] %-14s n=%-5d max=%8.3f ulp  mean=%7.4f  (bound %g)  worst at %s\n", name,
              s.n, s.max, s.mean(), tol, s.worst.c_str());
  std::fflush(stdout);
  EXPECT_LE(s.max, tol) << name << ": worst " << s.max << " ulp at " << s.worst;
  EXPECT_GT(s.n, 40) << name << ": reference table too small";
}

using XFn1 = XRealValue (*)(XRealValue);
using XFn2 = XRealValue (*)(XRealValue, XRealValue);
using XFn3 = XRealValue (*)(XRealValue, XRealValue, XRealValue);

// scale(x) in doubles, 0 for the plain relative error.
template <size_t N>
Stats run1(const XsfRef1 (&t)[N], XFn1 f, double (*scale)(double) = nullptr) {
  Stats s;
  for (size_t i = 0; i < N; i += stride()) {
    XRealValue x = arg(t[i].x);
    double sc = scale ? scale(fathom::toDouble(x)) : 0;
    s.add(ulps(f(x), t[i].v, sc), show(t[i].x));
  }
  return s;
}

template <size_t N>
Stats run2(const XsfRef2 (&t)[N], XFn2 f, double (*scale)(double, double) = nullptr) {
  Stats s;
  for (size_t i = 0; i < N; i += stride()) {
    XRealValue a = arg(t[i].a), x = arg(t[i].x);
    double sc = scale ? scale(fathom::toDouble(a), fathom::toDouble(x)) : 0;
    s.add(ulps(f(a, x), t[i].v, sc), "(" + show(t[i].a) + ", " + show(t[i].x) + ")");
  }
  return s;
}

template <size_t N>
Stats run3(const XsfRef3 (&t)[N], XFn3 f) {
  Stats s;
  for (size_t i = 0; i < N; i += stride()) {
    XRealValue a = arg(t[i].a), b = arg(t[i].b), x = arg(t[i].x);
    s.add(ulps(f(a, b, x), t[i].v),
          "(" + show(t[i].a) + ", " + show(t[i].b) + ", " + show(t[i].x) + ")");
  }
  return s;
}

inline XRealValue xd(double d) { return fathom::fromDouble(d); }

} // namespace xsftest
