// Bessel functions J0, J1, Y0, Y1, keeping relative accuracy near zeros.
//
//   J0: |x| <= 1.25: P(x^2) (kJ0Small); 1.25 < |x| < 64: P(x) (kJ0Mid)
//   J1: |x| <= 2: x P(x^2) (kJ1Small); 2 < |x| < 64: P(x) (kJ1Mid)
//   Y0: 0 < x <= 0.5: 2/pi log(x) J0(x) + P(x^2); 0.5 < x < 64: P(x)
//   Y1: 0 < x <= 0.5: 2/pi log(x) J1(x) - 2/(pi x) + x P(x^2); then as Y0
//   The P(x) pieces are centred on every zero below 64 (the zero a
//   double-double), so the doubles nearest the zeros keep relative accuracy.
//   x >= 64 (all four): J = M cos(theta), Y = M sin(theta), with
//       sqrt(x) M = P(1/x) and x (theta - x + (2n+1) pi/4) = P(1/x)
//       (kBesselModN, kBesselPhaseN); the phase (fitted to 2^-58) is
//       carried and reduced in double-double (sinCosShift), so the result
//       keeps relative accuracy except within about 2^-15 (relative to
//       the local amplitude M) of a zero, where the error is bounded by
//       2^-15 M.
// Y0, Y1 of negative arguments are NaN; Y(0) = -inf.
#include "fathom/special.h"
#include "fathom/sf_fit_bessel_jy.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr double kTwoOverPi = 0.636619772367581343075535053490057448;
constexpr double kFitEnd = 64;   // the end of the kJ0Mid, kJ1Mid, kY0Mid, kY1Mid fits

// sqrt(x) M(x) and the phase shift (theta - x) for order n (0 or 1),
// x >= 64, as double-doubles.
template <int N1, int N2>
void modPhase(const FitPiece (&mt)[N1], const FitPiece (&pt)[N2], int n, double x,
              DD *m, DD *shift) {
  constexpr DD kMinusQuarterPi[2] = {{-0x1.921fb54442d18p-1, -0x1.1a62633145c07p-55},
                                     {-0x1.2d97c7f3321d2p+1, -0x1.a79394c9e8a0ap-54}};
  DD w = ddRecip(x);
  *m = fitEvalDD(fitFind(mt, w.hi), w.hi);   // sqrt(x) M
  DD p = ddMul(fitEvalDD(fitFind(pt, w.hi), w.hi), w);
  *shift = ddAdd(p, kMinusQuarterPi[n]);
}

// M cos(theta) (cosine) or M sin(theta), x >= 64.
template <int N1, int N2>
double oscillating(const FitPiece (&mt)[N1], const FitPiece (&pt)[N2], int n, double x,
                   bool cosine) {
  DD m, sh, s, c;
  modPhase(mt, pt, n, x, &m, &sh);
  sinCosShift(x, sh, &s, &c);
  return ddValue(ddDiv(ddMul(cosine ? c : s, m), ddSqrt(x)));
}

double j0Pos(double ax) {
  if (ax <= 1.25) return fitEval(kJ0Small, ax * ax);
  if (ax < kFitEnd) return fitEval(kJ0Mid, ax);
  if (ax == INFINITY) return 0;
  return oscillating(kBesselMod0, kBesselPhase0, 0, ax, true);
}

double j1Pos(double ax) {
  if (ax <= 2) return ddValue(ddMul(fitEvalDD(fitFind(kJ1Small, ax * ax), ax * ax), ax));
  if (ax < kFitEnd) return fitEval(kJ1Mid, ax);
  if (ax == INFINITY) return 0;
  return oscillating(kBesselMod1, kBesselPhase1, 1, ax, true);
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
  if (x < kFitEnd) return fitEval(kY0Mid, x);
  if (x == INFINITY) return 0;
  return oscillating(kBesselMod0, kBesselPhase0, 0, x, false);
}

double besselY1(double x) {
  if (std::isnan(x)) return x;
  if (x < 0) return NAN;
  if (x == 0) return -INFINITY;
  if (x <= 0.5) {
    DD j = ddMul(fitEvalDD(fitFind(kJ1Small, x * x), x * x), x);
    DD p = ddMul(fitEvalDD(fitFind(kY1Small, x * x), x * x), x);
    double t = -kTwoOverPi / x;
    if (std::isinf(t)) return t;                    // x < 3.6e-309: overflows
    DD r = ddAdd(ddAdd(t, ddMul(j, kTwoOverPi * std::log(x))), p);
    return ddValue(r);
  }
  if (x < kFitEnd) return fitEval(kY1Mid, x);
  if (x == INFINITY) return 0;
  return oscillating(kBesselMod1, kBesselPhase1, 1, x, false);
}

} // namespace fathom
