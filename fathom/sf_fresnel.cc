// Fresnel integrals C(x) = int_0^x cos(pi t^2/2) dt, S(x) = int_0^x sin(pi t^2/2) dt
// (both odd).
//
//   |x| <= 1    C = x P(x^4), S = x^3 P(x^4)          (kFresnelCSmall, kFresnelSSmall)
//   1 < x < 4   C = P(x), S = P(x)                    (kFresnelCMid, kFresnelSMid)
//   x >= 4      C = 1/2 + f sin(pi x^2/2) - g cos(pi x^2/2)
//               S = 1/2 - f cos(pi x^2/2) - g sin(pi x^2/2)
//               pi x f = P(1/x^2), pi^2 x^3 g = P(1/x^2) (kFresnelF, kFresnelG);
//               x^2 is formed exactly and reduced modulo 4 exactly, so the
//               phase is exact for every x.
// C and S stay near 1/2 for x >= 4, so the error is that of the rounding
// of 1/2 + small terms.
#include "fathom/special.h"
#include "fathom/sf_fit_fresnel.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

// sin and cos of pi x^2 / 2 for x >= 4.
void phase(double x, long double *s, long double *c) {
  if (x >= 0x1p60) {                  // x a multiple of 2^8: x^2/2 = 0 mod 2
    *s = 0;
    *c = 1;
    return;
  }
  DD q = twoProd(x, x);               // x^2 = q.hi + q.lo exactly
  // x^2 / 2 modulo 2 = (q.hi mod 4 + q.lo) / 2; fmod is exact.
  double a = std::fmod(q.hi, 4.0);
  long double t = ((long double)a + q.lo) / 2;   // in [-0.5, 2.5)
  t -= 2 * std::nearbyint(t / 2);                // [-1, 1]
  long double ang = kPiL * t;
  *s = std::sin(ang);
  *c = std::cos(ang);
}

// The auxiliary f and g for x >= 4.
void aux(double x, double *f, double *g) {
  double u = x < 1e150 ? 1 / (x * x) : 0;
  *f = fitEval(kFresnelF, u) / (kPi * x);
  *g = x < 1e100 ? fitEval(kFresnelG, u) / (kPi * kPi * x * x * x) : 0;
}

double fresnel(double x, bool sine) {
  if (std::isnan(x)) return x;
  double ax = std::fabs(x), r;
  if (ax <= 1) {
    double v = (ax * ax) * (ax * ax);
    DD p = fitEvalDD(fitFind(sine ? kFresnelSSmall : kFresnelCSmall, v), v);
    r = sine ? ddValue(ddMul(ddMul(p, ax), ax * ax)) : ddValue(ddMul(p, ax));
    if (sine && ax < 0x1p-300) r = ax * ax * ax * (kPi / 6);   // underflow path
  } else if (ax < 4) {
    r = fitEval(sine ? kFresnelSMid : kFresnelCMid, ax);
  } else if (ax == INFINITY) {
    r = 0.5;
  } else {
    double f, g;
    long double s, c;
    aux(ax, &f, &g);
    phase(ax, &s, &c);
    r = sine ? (double)(0.5L - f * c - g * s) : (double)(0.5L + f * s - g * c);
  }
  return std::copysign(r, x);
}

} // namespace

double fresnelC(double x) { return fresnel(x, false); }
double fresnelS(double x) { return fresnel(x, true); }

} // namespace fathom
