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

// sin and cos of pi x^2 / 2 for x >= 4.  They enter the result scaled by
// f, g < 0.08 against 1/2, so double sine and cosine of an exactly reduced
// argument suffice.
void phase(double x, double *s, double *c) {
  if (x >= 0x1p60) {                  // x a multiple of 2^8: x^2/2 = 0 mod 2
    *s = 0;
    *c = 1;
    return;
  }
  DD q = twoProd(x, x);               // x^2 = q.hi + q.lo exactly
  // x^2 / 2 modulo 2 = (q.hi mod 4 + q.lo mod 4) / 2; fmod is exact, and
  // q.lo exceeds 4 once x^2 passes 2^55.
  DD t = twoSum(std::fmod(q.hi, 4.0), std::fmod(q.lo, 4.0));
  t.hi *= 0.5;
  t.lo *= 0.5;                        // t in (-2, 4), exact
  double k = (2 * t.hi + 0x1.8p52) - 0x1.8p52;   // nearest quarter turn
  double r = (t.hi - 0.5 * k) + t.lo; // |r| <= 1/4 + 2^-52, t.hi - k/2 exact
  double sr = std::sin(kPi * r), cr = std::cos(kPi * r);
  switch ((int)k & 3) {
    case 0: *s = sr; *c = cr; break;
    case 1: *s = cr; *c = -sr; break;
    case 2: *s = -sr; *c = -cr; break;
    default: *s = -cr; *c = sr; break;
  }
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
    double f, g, s, c;
    aux(ax, &f, &g);
    phase(ax, &s, &c);
    long double fs = (long double)f * s, fc = (long double)f * c;   // exact products
    long double gs = (long double)g * s, gc = (long double)g * c;
    r = sine ? (double)(0.5L - fc - gs) : (double)(0.5L + fs - gc);
  }
  return std::copysign(r, x);
}

} // namespace

double fresnelC(double x) { return fresnel(x, false); }
double fresnelS(double x) { return fresnel(x, true); }

} // namespace fathom
