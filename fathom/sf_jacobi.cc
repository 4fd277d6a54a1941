// Jacobi elliptic functions sn, cn, dn(u | kc), kc the complementary
// modulus (m = 1 - kc^2), like the elliptic integrals.
//
//   kc = 0       sn = tanh u, cn = dn = sech u
//   kc = 1       sin u, cos u, 1
//   |kc| > 1     (m < 0) sn = sd(kc u | 1/kc)/kc, cn = cd, dn = nd
//   0 < kc < 1   u = q K + v, |v| <= K/2, then the arithmetic-geometric
//                mean descent for v (Abramowitz & Stegun 16.4):
//                phi_N = 2^N a_N v, phi_(j-1) = (phi_j + asin(c_j/a_j sin phi_j))/2,
//                sn = sin phi_0, cn = cos phi_0, dn = cn / cos(phi_1 - phi_0),
//                and the quarter-period shifts (16.8) back to u, all in
//                long double (at most 16 AGM steps).  The zeros of sn and
//                cn become zeros of sn(v), so they keep relative accuracy.
// The error grows with |u| as the reduction (K in long double) loses about
// log2(|u|/K) bits of the 64.
#include "fathom/special.h"

#include <cmath>

namespace fathom {
namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;

// The arithmetic-geometric mean of 1 and kc: a[j], c[j], j <= n.
struct Agm {
  long double a[17], c[17];
  int n = 0;

  explicit Agm(long double kc) {
    long double b = kc;
    a[0] = 1;
    c[0] = std::sqrt((1 - kc) * (1 + kc));
    while (n < 16 && std::fabs(c[n]) > 1e-19L * a[n]) {
      a[n + 1] = (a[n] + b) / 2;
      c[n + 1] = (a[n] - b) / 2;
      b = std::sqrt(a[n] * b);
      ++n;
    }
  }
  long double quarterPeriod() const { return kPiL / (2 * a[n]); }   // K
};

// sn, cn, dn of |v| <= K/2 by the descent.
void descent(const Agm &g, long double v, long double *sn, long double *cn, long double *dn) {
  long double phi = std::ldexp(g.a[g.n] * v, g.n), prev = phi;
  for (int j = g.n; j >= 1; --j) {
    prev = phi;
    phi = (phi + std::asin(g.c[j] / g.a[j] * std::sin(phi))) / 2;
  }
  *sn = std::sin(phi);
  *cn = std::cos(phi);
  *dn = g.n == 0 ? 1 : *cn / std::cos(prev - phi);
}

// u = q K + v with |v| <= K/2; the shift by K maps (sn, cn, dn)(v) to
// (cn/dn, -kc sn/dn, kc/dn), so each zero of sn and cn is a zero of the
// small-argument sn and keeps its relative accuracy.
void snCnDnL(long double u, long double kc, long double *sn, long double *cn, long double *dn) {
  Agm g(kc);
  long double k = g.quarterPeriod();
  long double q = std::nearbyint(u / k);
  long double s, c, d;
  descent(g, u - q * k, &s, &c, &d);
  switch (((long long)std::fmod(q, 4.0L) + 4) & 3) {
    case 0: *sn = s; *cn = c; *dn = d; break;
    case 1: *sn = c / d; *cn = -kc * s / d; *dn = kc / d; break;
    case 2: *sn = -s; *cn = -c; *dn = d; break;
    default: *sn = -c / d; *cn = kc * s / d; *dn = kc / d; break;
  }
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
    snCnDnL(u, kc, &s, &c, &d);
  } else if (kc == INFINITY) {
    *sn = *cn = *dn = NAN;
    return;
  } else {
    snCnDnL((long double)u * kc, 1 / (long double)kc, &s, &c, &d);
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
