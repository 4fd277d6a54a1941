// Shared helpers of the special-function tests: reference rows, error in
// ulps against a double-double reference, and the table check that reports
// the worst case with its argument.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "fathom/special_tolerances.h"

namespace sftest {

struct Ref1 { double x, hi, lo; };
struct Ref2 { double a, x, hi, lo; };
struct Ref3 { double a, b, x, hi, lo; };

// (got - (hi + lo)) in units of the last place of the reference, or of
// `scale` when that is larger (an amplitude for oscillating functions).
inline double ulpError(double got, double hi, double lo, double scale = 0) {
  if (std::isnan(got) || std::isnan(hi)) return std::isnan(got) && std::isnan(hi) ? 0 : INFINITY;
  if (std::isinf(hi) || std::isinf(got)) return got == hi ? 0 : INFINITY;
  double ref = std::fabs(hi) > scale ? std::fabs(hi) : scale;
  double ulp = ref < 0x1p-1022 ? 0x1p-1074 : std::ldexp(1.0, std::ilogb(ref) - 52);
  long double d = ((long double)got - hi) - lo;
  return (double)(std::fabs(d) / ulp);
}

struct Worst {
  double max = 0, sum = 0;
  int n = 0;
  std::string where;
  void add(double e, const std::string &args) {
    if (!(e <= max)) { max = e; where = args; }   // NaN counts as worst
    sum += std::isfinite(e) ? e : 0;
    ++n;
  }
};

inline std::string fmt(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

inline void report(const char *name, const Worst &w) {
  std::printf("[ accuracy ] %-12s n=%-5d max=%7.2f ulp  mean=%6.3f  worst at %s\n", name, w.n,
              w.max, w.n ? w.sum / w.n : 0.0, w.where.c_str());
}

inline void expectWithin(const char *name, const Worst &w) {
  report(name, w);
  double tol = sftol::tolerance(name);
  EXPECT_LE(w.max, tol) << name << ": worst " << w.max << " ulp at " << w.where;
  EXPECT_GT(w.n, 100) << name << ": reference table too small";
}

template <int N>
void check1(const char *name, const Ref1 (&t)[N], double (*f)(double),
            double (*scale)(double x, double ref) = nullptr) {
  Worst w;
  for (const Ref1 &r : t) {
    double s = scale ? scale(r.x, r.hi) : 0;
    w.add(ulpError(f(r.x), r.hi, r.lo, s), "x=" + fmt(r.x));
  }
  expectWithin(name, w);
}

template <int N>
void check2(const char *name, const Ref2 (&t)[N], double (*f)(double, double),
            double (*scale)(double a, double x, double ref) = nullptr) {
  Worst w;
  for (const Ref2 &r : t) {
    double s = scale ? scale(r.a, r.x, r.hi) : 0;
    w.add(ulpError(f(r.a, r.x), r.hi, r.lo, s), "(" + fmt(r.a) + ", " + fmt(r.x) + ")");
  }
  expectWithin(name, w);
}

template <int N>
void check3(const char *name, const Ref3 (&t)[N], double (*f)(double, double, double)) {
  Worst w;
  for (const Ref3 &r : t)
    w.add(ulpError(f(r.a, r.b, r.x), r.hi, r.lo),
          "(" + fmt(r.a) + ", " + fmt(r.b) + ", " + fmt(r.x) + ")");
  expectWithin(name, w);
}

} // namespace sftest
