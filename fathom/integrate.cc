// The double-precision integrators: the algorithm of integrate_adaptive.h
// on doubles, with the published 21-point constants.
#include "fathom/integrate.h"
#include "fathom/integrate_adaptive.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

namespace fathom {
namespace {

struct DoubleOps {
  static double of(double d) { return d; }
  static double abs(double x) { return std::fabs(x); }
  static double sqrt(double x) { return std::sqrt(x); }
  static double errorPower(double x) { return std::pow(x, 1.5); }
  static bool isFinite(double x) { return std::isfinite(x); }
  static bool isInf(double x) { return std::isinf(x); }
  static bool isNaN(double x) { return std::isnan(x); }
  static double inf() { return INFINITY; }
  static double nan() { return NAN; }
  static double eps() { return DBL_EPSILON; }
  static double epsDouble() { return DBL_EPSILON; }
  static double tiny() { return DBL_MIN; }
  static const double *xgk() { return quad::kXgk; }
  static const double *wgk() { return quad::kWgk; }
  static const double *wg() { return quad::kWg; }
  static void warn(double err, double requested, double x1, double x2) {
    std::fprintf(stderr, "Precision not met in kgauss (%.1e/%.1e) in [%.12g,%.12g]\n", err,
                 requested, x1, x2);
  }
};

} // namespace

IntegResult kgauss(Integrand f, void *ctx, double x1, double x2, double relerr, int limit,
                   int criterion, StopCheck stop) {
  return quad::kgauss<DoubleOps, double>(f, ctx, x1, x2, relerr, limit, criterion, stop);
}

IntegResult sqkgauss(Integrand f, void *ctx, double x1, double x2, double c, double relerr,
                     int limit, int criterion, StopCheck stop) {
  return quad::sqkgauss<DoubleOps, double>(f, ctx, x1, x2, c, relerr, limit, criterion, stop);
}

} // namespace fathom
