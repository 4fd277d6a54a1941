// Generalised exponential integral E_nu(x) = integral_1^inf e^(-x t) t^-nu dt
// for real nu and x >= 0.
//
//   x = 0            1/(nu - 1) for nu > 1, else +inf
//   nu < 0           upward shift E_nu = (e^-x - nu E_(nu+1)) / x, whose
//                    terms are all positive (at most 2^20 steps, then NaN)
//   x >= 1 or nu > 30 continued fraction (modified Lentz), at most 10000 terms
//   (every method runs in long double: the fraction's and the series'
//   rounding errors grow with the number of terms)
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

using LD = long double;

constexpr LD kEulerGammaL = 0.577215664901532860606512090082402431L;

// E_nu(x) by the continued fraction, x > 0, nu >= 0.
LD enContinuedFraction(double nu, double x) {
  const LD tiny = 1e-4000L, eps = 0x1p-64L;
  LD b = (LD)x + nu, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i <= 10000; ++i) {
    LD a = -i * (nu - 1 + (LD)i);
    b += 2;
    d = 1 / (a * d + b);
    c = b + a / c;
    LD del = c * d;
    h *= del;
    if (std::fabs(del - 1) < eps) break;
  }
  return h * std::exp(-(LD)x);
}

// Gamma(1 - nu) x^(nu - 1) - (-x)^m / (m! (m + 1 - nu)), nu = m + 1 + e.
LD enPoleTerm(int m, double e, double x) {
  LD hm = 0;                                      // H_m = sum 1/j
  for (int j = 1; j <= m; ++j) hm += 1.0L / j;
  LD l = std::log((LD)x) - (hm - kEulerGammaL);   // log x - psi(m + 1)
  LD ek = 1;
  for (int k = 2; k <= 40; ++k) {
    LD hk = 0;                                    // H_m^(k)
    for (int j = 1; j <= m; ++j) hk += std::pow((LD)j, (LD)-k);
    LD z = zeta(k);
    LD ck = ((k & 1) ? (z - hk) : -(z - hk) + 2 * z) / k;
    ek *= e;
    LD t = ck * ek;
    l += t;
    if (std::fabs(t) < 0x1p-66L * std::fabs(l)) break;
  }
  LD z = e * l;
  LD em1 = z == 0 ? 1 : std::expm1(z) / z;        // expm1(z)/z
  LD sign = (m & 1) ? -1 : 1;
  LD fact = 1;
  for (int j = 2; j <= m; ++j) fact *= j;
  return sign * std::pow((LD)x, (LD)m) / fact * (-l * em1);
}

// E_nu(x) by the power series, 0 < x < 1, 0 <= nu <= 30.
LD enSeries(double nu, double x) {
  int m = (int)std::nearbyint(nu - 1);
  double e = nu - 1 - m;
  bool combine = m >= 0 && std::fabs(e) < 0.1;
  LD sum = 0, term = 1;                           // term = (-x)^k / k!
  for (int k = 0; k < 200; ++k) {
    if (k > 0) term *= -(LD)x / k;
    if (combine && k == m) continue;
    LD t = term / (k + 1 - (LD)nu);
    sum -= t;
    if (k > m + 1 && std::fabs(t) < 0x1p-66L * std::fabs(sum)) break;
  }
  if (combine) return sum + enPoleTerm(m, e, x);
  return sum + sf::gammaL(1 - nu) * std::pow((LD)x, (LD)nu - 1);
}

LD enNonNegative(double nu, double x) {
  if (nu == 0) return std::exp(-(LD)x) / x;
  if (x >= 1 || nu > 30) return enContinuedFraction(nu, x);
  return enSeries(nu, x);
}

} // namespace

double expIntEn(double nu, double x) {
  if (std::isnan(nu) || std::isnan(x) || x < 0) return NAN;
  if (x == 0) return nu > 1 ? 1 / (nu - 1) : INFINITY;
  if (x == INFINITY) return 0;
  if (nu == INFINITY) return 0;
  if (nu == 1) return expIntE1(x);
  if (nu >= 0) return (double)enNonNegative(nu, x);
  if (nu < -0x1p20) return NAN;
  // Shift up to the fractional order in [0, 1), then come back down.
  double k = std::ceil(-nu);
  double top = nu + k;
  LD e = top == 1 ? (LD)expIntE1(x) : enNonNegative(top, x);
  LD ex = std::exp(-(LD)x);
  for (double v = top - 1; v >= nu; v -= 1) e = (ex - v * e) / x;
  return (double)e;
}

} // namespace fathom
