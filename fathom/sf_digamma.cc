// Digamma psi(x) and trigamma psi'(x).
//
// Regimes for psi:
//   0 < x < 1      psi(1 + x) - 1/x, psi(1 + t) = P(t) (kDigamma1p)
//   1 <= x < 2     P(x - 1), zero-centred at the zero x0 = 1.4616...
//   2 <= x < 10    P(x) (kDigammaMid)
//   x >= 10        log x - 1/(2x) - u P(u), u = 1/x^2 (kDigammaAsym)
//   x < 0          near its zeros in (-40, 0): (x - z) P(x) with z a
//                  double-double (kDigammaNegZeros); elsewhere the
//                  reflection psi(|x|) + 1/|x| - pi cot(pi x) in long double.
//                  Below -40 the error is bounded by about 2 ulps of
//                  log|x|, the local amplitude, rather than of the result.
// psi'(x) uses the same reduction: P(t) + 1/x^2, P(x), and
// 1/x + 1/(2x^2) + P(u)/x^3; for x < 0, pi^2/sin^2(pi x) - psi'(1 - x).
// Poles: psi gives NaN at negative integers and -inf/+inf at +0/-0;
// psi' gives +inf.
#include "fathom/special.h"
#include "fathom/sf_fit_digamma.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

double digammaPos(double x) {
  if (x < 0x1p-60) return -1 / x - kEulerGamma;   // -1/x may overflow; psi(1 + x) = -gamma here
  if (x < 1) return ddValue(ddAdd(-1 / x, fitEvalDD(fitFind(kDigamma1p, x), x)));
  if (x < 2) return fitEval(kDigamma1p, x - 1);
  if (x < 10) return fitEval(kDigammaMid, x);
  double u = x < 1e150 ? 1 / (x * x) : 0;
  return std::log(x) - (0.5 / x + u * fitEval(kDigammaAsym, u));
}

double trigammaPos(double x) {
  if (x < 1) return 1 / (x * x) + fitEval(kTrigamma1p, x);
  if (x < 2) return fitEval(kTrigamma1p, x - 1);
  if (x < 10) return fitEval(kTrigammaMid, x);
  double r = 1 / x;
  double u = x < 1e150 ? r * r : 0;
  return r + (0.5 * u + u * r * fitEval(kTrigammaAsym, u));
}

} // namespace

double digamma(double x) {
  if (std::isnan(x) || x == INFINITY) return x;
  if (x == 0) return -std::copysign(INFINITY, x);
  if (x == -INFINITY || isNegInteger(x)) return NAN;
  if (x > 0) return digammaPos(x);
  if (x > -40) {
    const FitPiece &p = fitFind(kDigammaNegZeros, x);
    if (x >= p.lo && x < p.hi) return fitEval(p, x);
  }
  double ax = -x;
  long double base = ax < 1 ? (long double)fitEval(kDigamma1p, ax)
                            : (long double)digammaPos(ax) + 1.0L / ax;
  return (double)(base - kPiL * cotPiL(x));
}

double trigamma(double x) {
  if (std::isnan(x)) return x;
  if (x == INFINITY) return 0;
  if (x == 0 || isNegInteger(x)) return INFINITY;
  if (x == -INFINITY) return NAN;
  if (x > 0) return trigammaPos(x);
  double ax = -x;
  long double t1 = ax < 1 ? (long double)fitEval(kTrigamma1p, ax)
                          : (long double)trigammaPos(ax) - 1.0L / ((long double)ax * ax);
  long double s = sinPiL(x);
  return (double)(kPiL * kPiL / (s * s) - t1);
}

} // namespace fathom
