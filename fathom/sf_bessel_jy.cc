// Bessel functions J0, J1, Y0, Y1, keeping relative accuracy near zeros.
//
//   J0: |x| <= 1.25: P(x^2); 1.25 < |x| < 8: P(x) zero-centred at the
//       zeros 2.4048.., 5.5201.. (kJ0Small, kJ0Mid)
//   J1: |x| <= 2: x P(x^2); 2 < |x| < 8: zero-centred at 3.8317.., 7.0156..
//   Y0: 0 < x <= 0.5: 2/pi log(x) J0(x) + P(x^2); 0.5 < x < 8: zero-centred
//       at 0.8936.., 3.9577.., 7.0861..
//   Y1: 0 < x <= 0.5: 2/pi log(x) J1(x) - 2/(pi x) + x P(x^2); then as Y0
//   x >= 8 (all four): J = M cos(theta), Y = M sin(theta), with
//       sqrt(x) M = P(1/x) and x (theta - x + (2n+1) pi/4) = P(1/x)
//       (kBesselModN, kBesselPhaseN); the phase is reduced with
//       sinCosShiftL, so zeros keep relative accuracy for x < 2^30 and
//       beyond the error is bounded by 2^-63 M (the local amplitude).
// Y0, Y1 of negative arguments are NaN; Y(0) = -inf.
#include "fathom/special.h"
#include "fathom/sf_fit_bessel_jy.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr double kTwoOverPi = 0.636619772367581343075535053490057448;

// M(x) and the phase shift (theta - x) for order n, x >= 8.
template <int N1, int N2>
void modPhase(const FitPiece (&mt)[N1], const FitPiece (&pt)[N2], int n, double x,
              double *m, long double *shift) {
  double w = 1 / x;
  *m = fitEval(mt, w) / std::sqrt(x);
  DD p = fitEvalDD(fitFind(pt, w), w);   // the phase keeps ~64 bits: see sinCosShiftL
  *shift = ((long double)p.hi + p.lo) / x - (2 * n + 1) * (kPiL / 4);
}

double j0Pos(double ax) {
  if (ax <= 1.25) return fitEval(kJ0Small, ax * ax);
  if (ax < 8) return fitEval(kJ0Mid, ax);
  if (ax == INFINITY) return 0;
  double m;
  long double sh, s, c;
  modPhase(kBesselMod0, kBesselPhase0, 0, ax, &m, &sh);
  sinCosShiftL(ax, sh, &s, &c);
  return (double)(m * c);
}

double j1Pos(double ax) {
  if (ax <= 2) return ddValue(ddMul(fitEvalDD(fitFind(kJ1Small, ax * ax), ax * ax), ax));
  if (ax < 8) return fitEval(kJ1Mid, ax);
  if (ax == INFINITY) return 0;
  double m;
  long double sh, s, c;
  modPhase(kBesselMod1, kBesselPhase1, 1, ax, &m, &sh);
  sinCosShiftL(ax, sh, &s, &c);
  return (double)(m * c);
}

} // namespace

double besselJ0(double x) {
  if (std::isnan(x)) return x;
  return j0Pos(std::fabs(x));
}

double besselJ1(double x) {
  if (std::isnan(x)) return x;
  return x < 0 ? -j1Pos(-x) : j1Pos(x);   // odd; j1Pos itself changes sign
}

double besselY0(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return -INFINITY;
  if (x <= 0.5) {
    DD j = fitEvalDD(fitFind(kJ0Small, x * x), x * x);
    DD p = fitEvalDD(fitFind(kY0Small, x * x), x * x);
    return ddValue(ddAdd(p, ddMul(j, kTwoOverPi * std::log(x))));
  }
  if (x < 8) return fitEval(kY0Mid, x);
  if (x == INFINITY) return 0;
  double m;
  long double sh, s, c;
  modPhase(kBesselMod0, kBesselPhase0, 0, x, &m, &sh);
  sinCosShiftL(x, sh, &s, &c);
  return (double)(m * s);
}

double besselY1(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return -INFINITY;
  if (x <= 0.5) {
    DD j = ddMul(fitEvalDD(fitFind(kJ1Small, x * x), x * x), x);
    DD p = ddMul(fitEvalDD(fitFind(kY1Small, x * x), x * x), x);
    DD r = ddAdd(ddAdd(-kTwoOverPi / x, ddMul(j, kTwoOverPi * std::log(x))), p);
    return ddValue(r);
  }
  if (x < 8) return fitEval(kY1Mid, x);
  if (x == INFINITY) return 0;
  double m;
  long double sh, s, c;
  modPhase(kBesselMod1, kBesselPhase1, 1, x, &m, &sh);
  sinCosShiftL(x, sh, &s, &c);
  return (double)(m * s);
}

} // namespace fathom
