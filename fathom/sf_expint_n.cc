// Generalised exponential integral E_nu(x) = integral_1^inf e^(-x t) t^-nu dt
// for real nu and x >= 0.
//
//   x = 0            1/(nu - 1) for nu > 1, else +inf
//   nu < 0           upward shift E_nu = (e^-x - nu E_(nu+1)) / x, whose
//                    terms are all positive (at most 2^20 steps, then NaN)
//   x >= 1 or nu > 30 continued fraction (modified Lentz), at most 10000 terms
//   x < 1            power series
//                    E_nu = Gamma(1-nu) x^(nu-1) - sum_k (-x)^k / (k! (k+1-nu)),
//                    with the term k = m nearest the pole of Gamma(1 - nu)
//                    combined with it: for nu = m + 1 + e, |e| < 0.1,
//                    (-x)^m/m! (-expm1(L)/e), L = e (log x - psi(m+1)) +
//                    sum_k c_k e^k from the series of log Gamma and
//                    log(pi e / sin(pi e)) (at most 40 terms).
#include "fathom/special.h"
#include "fathom/sf_expint_internal.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

// E_nu(x) by the continued fraction, x > 0, nu >= 0.
double enContinuedFraction(double nu, double x) {
  const double tiny = 1e-300, eps = 0x1p-54;
  double b = x + nu, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i <= 10000; ++i) {
    double a = -i * (nu - 1 + i);
    b += 2;
    d = 1 / (a * d + b);
    c = b + a / c;
    double del = c * d;
    h *= del;
    if (std::fabs(del - 1) < eps) break;
  }
  return h * std::exp(-x);
}

// Gamma(1 - nu) x^(nu - 1) - (-x)^m / (m! (m + 1 - nu)), nu = m + 1 + e.
double enPoleTerm(int m, double e, double x) {
  double lx = std::log(x);
  double hm = 0;                                  // H_m = sum 1/j
  for (int j = 1; j <= m; ++j) hm += 1.0 / j;
  double l = lx - (hm - kEulerGamma);             // log x - psi(m + 1)
  double ek = 1;
  for (int k = 2; k <= 40; ++k) {
    double hk = 0;                                // H_m^(k)
    for (int j = 1; j <= m; ++j) hk += std::pow(j, -k);
    double z = zeta(k);
    double ck = ((k & 1) ? (z - hk) : -(z - hk) + 2 * z) / k;
    ek *= e;
    double t = ck * ek;
    l += t;
    if (std::fabs(t) < 0x1p-60 * std::fabs(l)) break;
  }
  double z = e * l;
  double em1 = z == 0 ? 1 : std::expm1(z) / z;    // expm1(z)/z
  double sign = (m & 1) ? -1 : 1;
  return sign * std::pow(x, m) / std::tgamma(m + 1.0) * (-l * em1);
}

// E_nu(x) by the power series, 0 < x < 1, 0 <= nu <= 30.
double enSeries(double nu, double x) {
  int m = (int)std::nearbyint(nu - 1);
  double e = nu - 1 - m;
  bool combine = m >= 0 && std::fabs(e) < 0.1;
  double sum = 0, term = 1;                       // term = (-x)^k / k!
  for (int k = 0; k < 200; ++k) {
    if (k > 0) term *= -x / k;
    if (combine && k == m) continue;
    double t = term / (k + 1 - nu);
    sum -= t;
    if (k > m + 1 && std::fabs(t) < 0x1p-60 * std::fabs(sum)) break;
  }
  if (combine) return sum + enPoleTerm(m, e, x);
  return sum + (double)(sf::gammaL(1 - nu) * std::pow((long double)x, nu - 1));
}

double enNonNegative(double nu, double x) {
  if (nu == 1) return expIntE1(x);
  if (nu == 0) return std::exp(-x) / x;
  if (x >= 1 || nu > 30) return enContinuedFraction(nu, x);
  return enSeries(nu, x);
}

} // namespace

double expIntEn(double nu, double x) {
  if (std::isnan(nu) || std::isnan(x) || x < 0) return NAN;
  if (x == 0) return nu > 1 ? 1 / (nu - 1) : INFINITY;
  if (x == INFINITY) return 0;
  if (nu == INFINITY) return 0;
  if (nu >= 0) return enNonNegative(nu, x);
  if (nu < -0x1p20) return NAN;
  // Shift up to the fractional order in [0, 1), then come back down.
  double k = std::ceil(-nu);
  double top = nu + k;
  double e = enNonNegative(top, x);
  double ex = std::exp(-x);
  for (double v = top - 1; v >= nu; v -= 1) e = (ex - v * e) / x;
  return e;
}

} // namespace fathom
