// Accuracy measurement of the extended elementary functions against MPFR:
// the error of a result in units of the last place of its 128-bit rounding,
// measured against the exact value computed by MPFR at 320 bits.
#pragma once

#include <mpfr.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fathom/xreal.h"
#include "xreal_random.h"

namespace xrtest {

constexpr mpfr_prec_t kRefPrec = 320;

// The error of got against ref in ulps of ref's 128-bit rounding (the ulp
// of the smallest normal for results below it).  Special values must match
// exactly: a mismatch (NaN, infinity or zero where the rounded reference is
// something else, or the reverse) counts as 1e9.
double ulpError(fathom::XRealValue got, const mpfr_t ref);

struct UlpStats {
  double max = 0, sum = 0;
  int64_t count = 0;
  std::string worst;                // the argument(s) of the maximum
  void add(double ulps, const std::string &where);
  double mean() const { return count ? sum / (double)count : 0; }
};

using XFn1 = fathom::XRealValue (*)(fathom::XRealValue);
using XFn2 = fathom::XRealValue (*)(fathom::XRealValue, fathom::XRealValue);
using MpFn1 = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using MpFn2 = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
using Gen1 = std::function<fathom::XRealValue(RandomXReal &)>;
using Gen2 = std::function<void(RandomXReal &, fathom::XRealValue *, fathom::XRealValue *)>;

// One row of the accuracy table: a function over one region of its domain.
struct AccuracyCase {
  std::string function, domain;
  XFn1 f1 = nullptr;
  MpFn1 m1 = nullptr;
  Gen1 g1;
  XFn2 f2 = nullptr;
  MpFn2 m2 = nullptr;
  Gen2 g2;
  int64_t samples = 0;
};

UlpStats measure(const AccuracyCase &c, uint64_t seed);
// Every row, grouped by function (see xmath_accuracy_cases.cc).
const std::vector<AccuracyCase> &accuracyCases();
std::string formatRow(const AccuracyCase &c, const UlpStats &s);

// Values for the samplers.
fathom::XRealValue xr(double d);
fathom::XRealValue xrFromMpfr(const mpfr_t m);   // rounded to nearest 128 bits
// A value with a random significand in [2^e, 2^(e+1)), either sign when
// asked.
fathom::XRealValue randomWithExponent(RandomXReal &r, int64_t e, bool anySign);
// A random value of magnitude in [lo, hi) (doubles), positive.
fathom::XRealValue randomIn(RandomXReal &r, double lo, double hi);

} // namespace xrtest
