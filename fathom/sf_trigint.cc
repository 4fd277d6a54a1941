// Sine and cosine integrals Si and Ci.
//
// Si (odd):   |x| <= 4: x P(x^2) (kSiSmall);
//             x > 4: pi/2 - R(x) cos(x - phi(x)), where f cos x + g sin x
//             = R cos(x - phi) with the auxiliary functions f, g:
//             x R = P(1/x) (kTrigModulus), x phi = P(1/x) (kTrigPhase).
// Ci (x > 0): x <= 0.4: log x + P(x^2) (kCiSmall); 0.4 < x < 4: P(x),
//             zero-centred at its zeros 0.6165.. and 3.3842.. (kCiMid);
//             x >= 4: R sin(x - phi) with the reduction of sinCosShiftL,
//             which keeps relative accuracy near the zeros.
// Ci of a negative argument is complex: NaN.
#include "fathom/special.h"
#include "fathom/sf_fit_trigint.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

// R and phi for x >= 4.
void modulusPhase(double x, double *r, double *phi) {
  double w = 1 / x;
  *r = fitEval(kTrigModulus, w) * w;
  *phi = fitEval(kTrigPhase, w) * w;
}

} // namespace

double sinInt(double x) {
  if (std::isnan(x)) return x;
  double ax = std::fabs(x), res;
  if (ax <= 4) {
    res = ddValue(ddMul(fitEvalDD(fitFind(kSiSmall, ax * ax), ax * ax), ax));
  } else if (ax == INFINITY) {
    res = kPi / 2;
  } else {
    double r, phi;
    modulusPhase(ax, &r, &phi);
    long double s, c;
    sinCosShiftL(ax, -phi, &s, &c);
    res = (double)(kPiL / 2 - r * c);
  }
  return std::copysign(res, x);
}

double cosInt(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return -INFINITY;
  if (x == INFINITY) return 0;
  if (x <= 0.4) return ddValue(ddAdd(std::log(x), fitEvalDD(fitFind(kCiSmall, x * x), x * x)));
  if (x < 4) return fitEval(kCiMid, x);
  double r, phi;
  modulusPhase(x, &r, &phi);
  long double s, c;
  sinCosShiftL(x, -phi, &s, &c);
  return (double)(r * s);
}

} // namespace fathom
