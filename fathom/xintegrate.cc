// The extended-precision integrators: the algorithm of integrate_adaptive.h
// on extended reals, with the generated 128-bit 21-point constants.
#include "fathom/xintegrate.h"

#include <cstdio>

#include "fathom/integrate_adaptive.h"
#include "fathom/integrate_gk21_x.h"
#include "fathom/xdecimal.h"

namespace fathom {
namespace {

struct XOps {
  static XRealValue of(double d) { return fromDouble(d); }
  static XRealValue abs(XRealValue x) { return fabs(x); }
  static XRealValue sqrt(XRealValue x) { return fathom::sqrt(x); }
  // The 21-point result's error against the 10-point rule's error E: about
  // E^1.6 for integrands analytic near the interval (degrees 31 and 19), and
  // much less for entire ones, so x^1.75 with QUADPACK's factor 200 stays
  // above the actual error wherever it is above the rounding floor.
  static XRealValue errorPower(XRealValue x) {
    XRealValue s = fathom::sqrt(x);
    return x * s * fathom::sqrt(s);
  }
  static bool isFinite(XRealValue x) { return fathom::isFinite(x); }
  static bool isInf(XRealValue x) { return fathom::isInf(x); }
  static bool isNaN(XRealValue x) { return fathom::isNaN(x); }
  static XRealValue inf() { return infinity(); }
  static XRealValue nan() { return fathom::nan(); }
  static XRealValue eps() { return fromDouble(0x1p-127); }
  static double epsDouble() { return 0x1p-127; }
  static XRealValue tiny() { return {XR_EMIN, 0, 0, 0, 0, 0}; }
  static const XRealValue *xgk() { return quad::kXgkX; }
  static const XRealValue *wgk() { return quad::kWgkX; }
  static const XRealValue *wg() { return quad::kWgX; }
  static void warn(XRealValue err, XRealValue requested, XRealValue x1, XRealValue x2) {
    char a[64], b[64];
    formatShortest(a, x1);
    formatShortest(b, x2);
    std::fprintf(stderr, "Precision not met in eld_kgauss (%.1e/%.1e) in [%s, %s]\n",
                 toDouble(err), toDouble(requested), a, b);
  }
};

} // namespace

int formatShortest(char *out, XRealValue x) {
  if (!isFinite(x) || isZero(x)) return formatF(out, 64, x, 0);
  char digits[48];
  int e10 = 0, n = 1;
  for (; n < 40; ++n) {
    toDigits(x, n, digits, &e10);
    char text[64];
    formatE(text, sizeof text, x, n - 1);
    if (strtox(text, nullptr) == x) break;
  }
  if (e10 < -5 || e10 > 33) return formatE(out, 64, x, n - 1);
  int decimals = n - 1 - e10;
  return formatF(out, 64, x, decimals < 0 ? 0 : decimals);
}

XIntegResult xkgauss(XIntegrand f, void *ctx, XRealValue x1, XRealValue x2, double relerr,
                     int limit, int criterion, StopCheck stop) {
  return quad::kgauss<XOps, XRealValue>(f, ctx, x1, x2, relerr, limit, criterion, stop);
}

XIntegResult xsqkgauss(XIntegrand f, void *ctx, XRealValue x1, XRealValue x2, XRealValue c,
                       double relerr, int limit, int criterion, StopCheck stop) {
  return quad::sqkgauss<XOps, XRealValue>(f, ctx, x1, x2, c, relerr, limit, criterion, stop);
}

} // namespace fathom
