// Jacobi elliptic functions sn, cn, dn(u | kc), kc the complementary
// modulus (m = 1 - kc^2), like the elliptic integrals.
//
//   kc = 0       sn = tanh u, cn = dn = sech u
//   kc = 1       sin u, cos u, 1
//   |kc| > 1     (m < 0) sn = sd(kc u | 1/kc)/kc, cn = cd, dn = nd
//   0 < kc < 1   u reduced modulo 4K, then the arithmetic-geometric mean
//                descent (Abramowitz & Stegun 16.4): phi_N = 2^N a_N u,
//                phi_(j-1) = (phi_j + asin(c_j/a_j sin phi_j))/2,
//                sn = sin phi_0, cn = cos phi_0, dn = cn / cos(phi_1 - phi_0),
//                all in long double (at most 16 AGM steps).
// The error grows with |u| as the reduction modulo 4K (K in long double)
// loses about log2(|u|/K) bits of the 64.
#include "fathom/special.h"

#include <cmath>

namespace fathom {
namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;

void agmDescent(long double u, long double kc, long double *sn, long double *cn,
                long double *dn) {
  long double a[17], c[17];
  long double b = kc;
  a[0] = 1;
  c[0] = std::sqrt((1 - kc) * (1 + kc));
  int n = 0;
  while (n < 16 && std::fabs(c[n]) > 1e-19L * a[n]) {
    a[n + 1] = (a[n] + b) / 2;
    c[n + 1] = (a[n] - b) / 2;
    b = std::sqrt(a[n] * b);
    ++n;
  }
  // Reduce u modulo 4K, K = pi / (2 a_n).
  long double four_k = 2 * kPiL / a[n];
  u -= four_k * std::nearbyint(u / four_k);
  long double phi = std::ldexp(a[n] * u, n), prev = phi;
  for (int j = n; j >= 1; --j) {
    prev = phi;
    phi = (phi + std::asin(c[j] / a[j] * std::sin(phi))) / 2;
  }
  *sn = std::sin(phi);
  *cn = std::cos(phi);
  *dn = n == 0 ? 1 : *cn / std::cos(prev - phi);
}

} // namespace

void jacobiSnCnDn(double u, double kc, double *sn, double *cn, double *dn) {
  if (std::isnan(u) || std::isnan(kc) || std::isinf(u)) {
    *sn = *cn = *dn = NAN;
    return;
  }
  kc = std::fabs(kc);
  if (kc == 0) {
    *sn = std::tanh(u);
    *cn = *dn = 1 / std::cosh(u);
    return;
  }
  long double s, c, d;
  if (kc <= 1) {
    agmDescent(u, kc, &s, &c, &d);
  } else if (kc == INFINITY) {
    *sn = *cn = *dn = NAN;
    return;
  } else {
    agmDescent((long double)u * kc, 1 / (long double)kc, &s, &c, &d);
    s = s / (d * kc);
    c = c / d;
    d = 1 / d;
  }
  *sn = (double)s;
  *cn = (double)c;
  *dn = (double)d;
}

double jacobiSn(double u, double kc) { double s, c, d; jacobiSnCnDn(u, kc, &s, &c, &d); return s; }
double jacobiCn(double u, double kc) { double s, c, d; jacobiSnCnDn(u, kc, &s, &c, &d); return c; }
double jacobiDn(double u, double kc) { double s, c, d; jacobiSnCnDn(u, kc, &s, &c, &d); return d; }

} // namespace fathom
