// Adaptive Gauss-Kronrod integration of a user function.
//
// kgauss integrates f over [x1, x2] (either bound may be infinite) to a
// relative error relerr with the 21-point Gauss-Kronrod rule, bisecting
// the subinterval of largest error estimate, and accelerates the sequence
// of sums with Wynn's epsilon algorithm when bisection concentrates on one
// point (endpoint singularities such as 1/sqrt(x), log x), as QUADPACK's
// QAGS does.  sqkgauss integrates f(x)/sqrt(|x - c|) by the substitution
// x = c +- t^2, which removes the singularity at c (c may be an endpoint,
// outside the interval, or inside it: the integral is then split at c).
//
// limit is the largest number of subintervals (clamped to [1, 1000]).
// criterion selects the per-interval error estimate:
//   0 (balanced)      QUADPACK's |K21 - G10| scaled by
//                     min(1, (200 |K21 - G10| / resasc)^1.5): realistic,
//                     so smooth integrands stop after one rule;
//   1 (conservative)  the larger of that and the raw |K21 - G10| (the error
//                     of the 10-point Gauss rule, an overestimate of the
//                     21-point result's error on smooth integrands);
//                     extrapolated results are accepted only when also the
//                     raw sum error agrees within 10 times.
// An extrapolated estimate's error is the spread of the last three
// extrapolations, at least its distance to the estimate it replaces, plus
// the error left on the intervals that extrapolation does not refine (the
// large ones away from the singularity), which every sum in the table
// carries.
// The request is met when the error estimate is at most
// max(relerr, 50 eps) * |result|, or below the rounding floor
// 50 eps * integral of |f|.
//
// stop (optional) is polled after every evaluation batch (one rule on one
// subinterval, 21 points); when it returns true the integration ends at
// once with status Stopped and the best estimate so far.
// When the request is not met the best estimate is returned with status
// PrecisionNotMet and the line
//   "Precision not met in kgauss (%.1e/%.1e) in [%.12g,%.12g]\n"
// (achieved error, requested error, x1, x2) is written to stderr.
// No heap allocation: the subinterval list lives on the stack.
// xintegrate.h has the same integrators for extended reals.
#pragma once

namespace fathom {

using Integrand = double (*)(double x, void *ctx);
using StopCheck = bool (*)(void *ctx);

enum class IntegStatus { Ok, PrecisionNotMet, Stopped };

template <class T> struct BasicIntegResult {
  T value;             // best estimate of the integral
  T error;             // estimate of |value - integral|
  int evaluations;     // calls of f
  int intervals;       // subintervals used
  IntegStatus status;
};
using IntegResult = BasicIntegResult<double>;

IntegResult kgauss(Integrand f, void *ctx, double x1, double x2, double relerr, int limit,
                   int criterion, StopCheck stop = nullptr);

IntegResult sqkgauss(Integrand f, void *ctx, double x1, double x2, double c, double relerr,
                     int limit, int criterion, StopCheck stop = nullptr);

} // namespace fathom
