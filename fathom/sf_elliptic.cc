// Elliptic integrals in the complementary modulus kc (kc^2 = 1 - m); the
// amplitude is given as x = tan(phi), the characteristic n enters as
// 1/(1 - n sin^2 phi).  Only kc^2 matters; |kc| > 1 (m < 0) is allowed.
//
// Complete K and E:
//   kc^2 <= 0.25    K = A(kc^2) - log(kc^2) B(kc^2), E = C - log(kc^2) D
//                   (kEllKLogA/B, kEllELogC/D: the logarithmic singularity
//                   at kc = 0 is explicit)
//   0.5 < kc <= 1   K = P(kc), E = P(kc) (kEllKMid, kEllEMid)
//   kc > 1          K(kc) = K(1/kc)/kc, E(kc) = kc E(1/kc)
// Pi and the incomplete integrals use Carlson's forms, scaled by 1 + x^2
// (or by 1/x^2 for |x| > 1 so that nothing overflows):
//   F  = x RF(1, 1 + kc^2 x^2, 1 + x^2)
//   E  = F - (m/3) x^3 RD(1, 1 + kc^2 x^2, 1 + x^2)
//   Pi = F + (n/3) x^3 RJ(1, 1 + kc^2 x^2, 1 + x^2, 1 + (1 - n) x^2)
// For n sin^2 phi > 1 Pi is the Cauchy principal value; n = 1 with the
// complete integral, or 1 + (1 - n) x^2 = 0, is a pole (+inf).
#include "fathom/special.h"
#include "fathom/sf_carlson.h"
#include "fathom/sf_fit_elliptic.h"

#include <cmath>

namespace fathom {

double carlsonRF(double x, double y, double z) { return sf::carlsonRFT(x, y, z); }
double carlsonRD(double x, double y, double z) { return sf::carlsonRDT(x, y, z); }
double carlsonRJ(double x, double y, double z, double p) { return sf::carlsonRJT(x, y, z, p); }
double carlsonRC(double x, double y) { return sf::carlsonRCT(x, y); }

namespace {

using namespace sf;

// K (second = false) or E for 0 <= kc <= 1.
double completeUnit(double kc, bool second) {
  if (kc > 0.5) return fitEval(second ? kEllEMid : kEllKMid, kc);
  double m1 = kc * kc;
  double l = 2 * std::log(kc);
  DD a = fitEvalDD(fitFind(second ? kEllELogC : kEllKLogA, m1), m1);
  DD b = fitEvalDD(fitFind(second ? kEllELogD : kEllKLogB, m1), m1);
  return ddValue(ddAdd(a, ddMul(b, -l)));
}

// The three arguments after scaling, and the factor x^3 (or 1).
struct Scaled {
  double x, y, z, t2, sign;
};

Scaled scale(double x, double kc) {
  double ax = std::fabs(x), k2 = kc * kc;
  Scaled s;
  s.sign = std::copysign(1.0, x);
  if (ax <= 1) {
    double x2 = ax * ax;
    s = {1, 1 + k2 * x2, 1 + x2, x2, s.sign};
    s.x = 1;
  } else {
    double t = 1 / ax, t2 = t * t;
    s = {t2, k2 + t2, 1 + t2, t2, s.sign};
  }
  return s;
}

double mOf(double kc) { return (1 - kc) * (1 + kc); }

} // namespace

double ellipticK(double kc) {
  if (std::isnan(kc)) return kc;
  kc = std::fabs(kc);
  if (kc == 0) return INFINITY;
  if (kc == INFINITY) return 0;
  if (kc > 1) return completeUnit(1 / kc, false) / kc;
  return completeUnit(kc, false);
}

double ellipticE(double kc) {
  if (std::isnan(kc)) return kc;
  kc = std::fabs(kc);
  if (kc == 0) return 1;
  if (kc == INFINITY) return INFINITY;
  if (kc > 1) return kc * completeUnit(1 / kc, true);
  return completeUnit(kc, true);
}

double ellipticPi(double n, double kc) {
  if (std::isnan(n) || std::isnan(kc)) return NAN;
  if (n == 1 || kc == 0) return INFINITY;
  double k2 = kc * kc;
  return carlsonRF(0, k2, 1) + n / 3 * carlsonRJ(0, k2, 1, 1 - n);
}

double ellipticF(double x, double kc) {
  if (std::isnan(x) || std::isnan(kc)) return NAN;
  if (std::isinf(x)) return std::copysign(ellipticK(kc), x);
  if (x == 0) return x;
  Scaled s = scale(x, kc);
  double ax = std::fabs(x);
  double f = carlsonRF(s.x, s.y, s.z);
  return s.sign * (ax <= 1 ? ax * f : f);
}

double ellipticEInc(double x, double kc) {
  if (std::isnan(x) || std::isnan(kc)) return NAN;
  if (std::isinf(x)) return std::copysign(ellipticE(kc), x);
  if (x == 0) return x;
  Scaled s = scale(x, kc);
  double ax = std::fabs(x);
  double c = ax <= 1 ? ax : 1, c3 = ax <= 1 ? ax * ax * ax : 1;
  double f = carlsonRF(s.x, s.y, s.z), d = carlsonRD(s.x, s.y, s.z);
  return s.sign * (c * f - mOf(kc) / 3 * c3 * d);
}

double ellipticPiInc(double n, double x, double kc) {
  if (std::isnan(n) || std::isnan(x) || std::isnan(kc)) return NAN;
  if (std::isinf(x)) return x > 0 ? ellipticPi(n, kc) : -ellipticPi(n, kc);   // may be < 0
  if (x == 0) return x;
  Scaled s = scale(x, kc);
  double ax = std::fabs(x);
  double c = ax <= 1 ? ax : 1, c3 = ax <= 1 ? ax * ax * ax : 1;
  double p = ax <= 1 ? 1 + (1 - n) * ax * ax : s.t2 + (1 - n);
  if (p == 0) return INFINITY;
  double f = carlsonRF(s.x, s.y, s.z), j = carlsonRJ(s.x, s.y, s.z, p);
  return s.sign * (c * f + n / 3 * c3 * j);
}

} // namespace fathom
