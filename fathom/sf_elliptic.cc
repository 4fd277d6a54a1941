// Elliptic integrals in the complementary modulus kc (kc^2 = 1 - m); the
// amplitude is given as x = tan(phi), the characteristic n enters as
// 1/(1 - n sin^2 phi).  Only kc^2 matters; |kc| > 1 (m < 0) is allowed.
//
// Complete K and E:
//   kc^2 <= 0.25    K = A(kc^2) - log(kc^2) B(kc^2), E = C - log(kc^2) D
//                   with D = kc^2 P(kc^2) (kEllKLogA/B, kEllELogC/D: the
//                   logarithmic singularity at kc = 0 is explicit)
//   0.5 < kc <= 1   K = P(kc), E = P(kc) (kEllKMid, kEllEMid)
//   kc > 1          K(kc) = K(1/kc)/kc, E(kc) = kc E(1/kc)
// Pi and the incomplete integrals use Carlson's forms in long double (the
// duplication's rounding and the cancellation of F against the RD and RJ
// terms then cost a tenth of an ulp), scaled by 1 + x^2 (or by 1/x^2 for
// |x| > 1 so that nothing overflows):
//   F  = x RF(1, 1 + kc^2 x^2, 1 + x^2)
//   E  = F - (m/3) x^3 RD(1, 1 + kc^2 x^2, 1 + x^2)
//   Pi = F + (n/3) x^3 RJ(1, 1 + kc^2 x^2, 1 + x^2, 1 + (1 - n) x^2)
// For n sin^2 phi > 1 Pi is the Cauchy principal value; n = 1 with the
// complete integral, or 1 + (1 - n) x^2 = 0, is a pole (+inf).  The
// complete Pi takes n < 0 to N = -n/(1 - n) in (0, 1) with the reciprocal
// modulus, and n > 1 to m/n (see ellipticPi), so that nothing cancels.
#include "fathom/special.h"
#include "fathom/sf_carlson.h"
#include "fathom/sf_fit_elliptic.h"

#include <cmath>

namespace fathom {

// The public Carlson integrals: long double inside, one final rounding.
double carlsonRF(double x, double y, double z) { return (double)sf::carlsonRFT<long double>(x, y, z); }
double carlsonRD(double x, double y, double z) { return (double)sf::carlsonRDT<long double>(x, y, z); }
double carlsonRJ(double x, double y, double z, double p) {
  return (double)sf::carlsonRJT<long double>(x, y, z, p);
}
double carlsonRC(double x, double y) { return (double)sf::carlsonRCT<long double>(x, y); }

namespace {

using namespace sf;

// K (second = false) or E for 0 <= kc <= 1.
double completeUnit(double kc, bool second) {
  if (kc > 0.5) return fitEval(second ? kEllEMid : kEllKMid, kc);
  double m1 = kc * kc;
  double l = 2 * std::log(kc);
  DD a = fitEvalDD(fitFind(second ? kEllELogC : kEllKLogA, m1), m1);
  DD b = fitEvalDD(fitFind(second ? kEllELogD : kEllKLogB, m1), m1);
  if (second) b = ddMul(b, m1);                    // D = kc^2 P(kc^2), exactly 0 at kc = 0
  return ddValue(ddAdd(a, ddMul(b, -l)));
}

// The Carlson arguments after scaling by 1/(1 + x^2) for |x| <= 1, or by
// 1/x^2 beyond (nothing overflows), in long double; c = x or 1 is the
// factor of RF, c3 = x^3 or 1 the factor of RD and RJ.
struct Scaled {
  long double x, y, z, c, c3, t2;
};

Scaled scale(double x, double kc) {
  long double ax = std::fabs(x), k2 = (long double)kc * kc;
  if (ax <= 1) {
    long double x2 = ax * ax;
    return {1, 1 + k2 * x2, 1 + x2, ax, ax * x2, x2};
  }
  long double t2 = 1 / (ax * ax);
  return {t2, k2 + t2, 1 + t2, 1, 1, t2};
}

long double mOf(double kc) { return (1 - (long double)kc) * (1 + (long double)kc); }

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
  long double k2 = (long double)kc * kc, m = mOf(kc);
  if (std::isinf(kc)) return std::isinf(n) ? NAN : 0;
  if (n < 0) {
    // Pi(n, kc) = Pi(N, 1/kc) / ((1 - n) kc), N = -n/(1 - n) in (0, 1): a
    // sum of positive terms, where K + (n/3) RJ cancels as n -> -inf.
    if (n == -INFINITY) return 0;
    long double w = 1 - (long double)n, nn = -n / w;
    return (double)((carlsonRFT<long double>(0, 1, k2) + nn / 3 * k2 * carlsonRJT<long double>(0, 1, k2, k2 / w)) / w);
  }
  if (n > 1) {
    // The principal value: Pi(n) = K - Pi(m/n) = -(m/(3n)) RJ(0, kc^2, 1, 1 - m/n).
    if (n == INFINITY) return m > 0 ? -0.0 : 0.0;
    return (double)(-m / (3 * (long double)n) * carlsonRJT<long double>(0, k2, 1, 1 - m / n));
  }
  return (double)(carlsonRFT<long double>(0, k2, 1) +
                  n / 3.0L * carlsonRJT<long double>(0, k2, 1, 1 - (long double)n));
}

double ellipticF(double x, double kc) {
  if (std::isnan(x) || std::isnan(kc)) return NAN;
  if (std::isinf(x)) return std::copysign(ellipticK(kc), x);
  if (x == 0) return x;
  Scaled s = scale(x, kc);
  double f = (double)(s.c * carlsonRFT(s.x, s.y, s.z));
  return x < 0 ? -f : f;
}

double ellipticEInc(double x, double kc) {
  if (std::isnan(x) || std::isnan(kc)) return NAN;
  if (std::isinf(x)) return std::copysign(ellipticE(kc), x);
  if (x == 0) return x;
  Scaled s = scale(x, kc);
  long double f = carlsonRFT(s.x, s.y, s.z), d = carlsonRDT(s.x, s.y, s.z);
  double e = (double)(s.c * f - mOf(kc) / 3 * s.c3 * d);
  return x < 0 ? -e : e;
}

double ellipticPiInc(double n, double x, double kc) {
  if (std::isnan(n) || std::isnan(x) || std::isnan(kc)) return NAN;
  if (std::isinf(x)) return x > 0 ? ellipticPi(n, kc) : -ellipticPi(n, kc);   // may be < 0
  if (x == 0) return x;
  Scaled s = scale(x, kc);
  long double p = std::fabs(x) <= 1 ? 1 + (1 - (long double)n) * s.t2 : s.t2 + (1 - (long double)n);
  if (p == 0) return INFINITY;
  // From |n| = 16 on (2 of long double's 11 spare bits lost to the sum) Pi
  // takes the form without cancellation (carlsonPiLargeN), for n < 0 and
  // for principal values with q > x/2.
  long double v = -(long double)n, k2 = (long double)kc * kc;
  long double u = std::fabs(x) <= 1 ? s.t2 : 1, qx = k2 * u * u / ((1 + v) * u);
  if (std::fabs(n) > 16 && (n < 0 || (p < 0 && s.x + 2 * qx > 0))) {
    double r = (double)carlsonPiLargeN<long double>(s.x, s.y, s.z, s.c, u, k2, v, p);
    return x < 0 ? -r : r;
  }
  long double f = carlsonRFT(s.x, s.y, s.z), j = carlsonRJT(s.x, s.y, s.z, p);
  double r = (double)(s.c * f + n / 3.0L * s.c3 * j);
  return x < 0 ? -r : r;
}

} // namespace fathom
