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
// The reduction takes K from the mean in double-double, so the error no
// longer grows with |u| (until |u|/K reaches 2^50, where no digit of the
// phase is left).
#include "fathom/special.h"
#include "fathom/sf_dd.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

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

// sqrt of a double-double: s = sqrt(x.hi), corrected by (x - s^2)/(2s).
DD ddSqrtOf(DD x) {
  double s = std::sqrt(x.hi);
  DD r = ddAdd(x, ddNeg(twoProd(s, s)));
  return fastTwoSum(s, r.hi / (2 * s));
}

// K = pi / (2 AGM(1, kc)) in double-double, about 2^-100: the reduction
// u - q K needs more bits than the descent.  The mean converges
// quadratically, so one more averaging after |a - b| < 2^-50 a suffices.
DD quarterPeriod(DD kc) {
  constexpr DD kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
  DD a{1, 0}, b = kc;
  for (int i = 0; i < 40 && std::fabs(a.hi - b.hi) > 0x1p-50 * a.hi; ++i) {
    DD m = ddMul(ddAdd(a, b), 0.5);
    b = ddSqrtOf(ddMul(a, b));
    a = m;
  }
  return ddDiv(kHalfPi, ddMul(ddAdd(a, b), 0.5));
}

// u = q K + v with |v| <= K/2 (v in double-double); the shift by K maps
// (sn, cn, dn)(v) to (cn/dn, -kc sn/dn, kc/dn), so each zero of sn and cn
// is a zero of the small-argument sn and keeps its relative accuracy.
void snCnDnL(DD u, DD kc, long double *sn, long double *cn, long double *dn) {
  long double kcl = (long double)kc.hi + kc.lo;
  Agm g(kcl);
  DD k = quarterPeriod(kc);
  double q = u.hi / k.hi;
  long double v;
  if (std::fabs(q) < 0x1p50) {
    q = (q + 0x1.8p52) - 0x1.8p52;                  // round to nearest
    DD r = ddAdd(u, ddMul(k, -q));
    v = (long double)r.hi + r.lo;
  } else {                                          // no digit of the phase is left
    long double period = 4 * ((long double)k.hi + k.lo);
    q = 0;
    v = std::fmod((long double)u.hi, period);
    if (std::fabs(v) > period / 2) v -= std::copysign(period, v);   // |v| <= 2K, as the descent wants
  }
  long double s, c, d;
  descent(g, v, &s, &c, &d);
  switch ((long long)q & 3) {                       // two's complement: -1 & 3 = 3
    case 0: *sn = s; *cn = c; *dn = d; break;
    case 1: *sn = c / d; *cn = -kcl * s / d; *dn = kcl / d; break;
    case 2: *sn = -s; *cn = -c; *dn = d; break;
    default: *sn = -c / d; *cn = kcl * s / d; *dn = kcl / d; break;
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
    snCnDnL(DD{u, 0}, DD{kc, 0}, &s, &c, &d);
  } else if (kc == INFINITY) {
    *sn = *cn = *dn = NAN;
    return;
  } else {
    snCnDnL(twoProd(u, kc), ddRecip(kc), &s, &c, &d);
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
