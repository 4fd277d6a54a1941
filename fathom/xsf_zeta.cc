// Extended Riemann zeta function and dilogarithm.
//
// zeta(s):
//   s >= 64          1 + 2^-s + 3^-s + 4^-s + 5^-s + 6^-s (the next term is
//                    below 2^-179)
//   -1/4 <= s < 64   Euler-Maclaurin with N = 18: the powers k^-s from those
//                    of the primes below 18, then the Bernoulli tail until
//                    its terms fall below 2^-150 of the sum
//   s < -1/4         the functional equation 2^s pi^(s-1) sin(pi s/2)
//                    Gamma(1-s) zeta(1-s), its magnitude in one exponent and
//                    sin(pi s/2) after an exact reduction (zero at the even
//                    negative integers, relative accuracy next to them)
// Li2(x) (the real part for x > 1):
//   -1 <= x <= 1/2   u - u^2/4 + u sum B_2k u^2k / (2k+1)!, u = -log(1 - x)
//   1/2 < x < 1      pi^2/6 - log(x) log(1-x) - Li2(1-x)
//   1 < x <= 2       pi^2/6 - log(x) log(x-1) - Li2(1-x)
//   x > 2            pi^2/3 - log^2(x)/2 - Li2(1/x), and around its zero
//                    12.595... the zero-centred expansion of xsf_gamma_tables
//   x < -1           -pi^2/6 - log^2(-x)/2 - Li2(1/x)
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"
#include "fathom/xsf_gamma_tables.h"
#include "fathom/xspecial_gamma.h"

namespace fathom {
namespace xsf {
namespace {

// p^-s = e^(-s log p).
W powNeg(const W &s, const W &logp) { return expSafe(wNeg(wMul(s, logp))); }

// zeta(s) for s >= 64.
W zetaLarge(const W &s) {
  W t2 = powNeg(s, kZetaLogPrime[0]), t3 = powNeg(s, kZetaLogPrime[1]);
  W t5 = powNeg(s, kZetaLogPrime[2]);
  W sum = wAdd(wAdd(t5, wMul(t2, t3)), wMul(t2, t2));
  return wAdd(wOne(), wAdd(wAdd(t2, t3), sum));
}

// zeta(s) for -1/4 <= s < 64, s != 1.
W zetaEulerMaclaurin(const W &s) {
  constexpr int N = kZetaN;
  W pw[N + 1];
  pw[1] = wOne();
  int np = 0;
  for (int k = 2; k <= N; ++k) {
    if (np < 7 && kZetaPrime[np] == k) {
      pw[k] = powNeg(s, kZetaLogPrime[np++]);
      continue;
    }
    int d = 2;
    while (k % d) ++d;
    pw[k] = wMul(pw[d], pw[k / d]);
  }
  W sum = detail::wZero();
  for (int k = N - 1; k >= 1; --k) sum = wAdd(sum, pw[k]);
  W nps = pw[N];   // N^-s
  W sm1 = wSub(s, wOne());
  sum = wAdd(sum, wDiv(wMul(nps, wFromInt(N)), sm1));
  sum = wAdd(sum, wLdexp(nps, -1));
  // The tail's terms, times N^-s, until they no longer show in the sum.
  int64_t stop = wExp(sum) - wExp(nps) - 150;
  W poch = s, tail = detail::wZero();
  for (int j = 0; j < 40; ++j) {
    W term = wMul(kZetaEM[j], poch);
    tail = wAdd(tail, term);
    if (wIsZero(term) || wExp(term) < stop) break;
    poch = wMul(poch, wMul(wAdd(s, wFromInt(2 * j + 1)), wAdd(s, wFromInt(2 * j + 2))));
  }
  return wAdd(sum, wMul(nps, tail));
}

W zetaPos(const W &s) {
  double sd = wToDouble(s);
  return sd >= 64 ? zetaLarge(s) : zetaEulerMaclaurin(s);
}

// zeta(s) for s < -1/4.
W zetaReflected(const W &s) {
  int64_t n;
  bool big;
  W f = nearestFracW(wLdexp(s, -1), &n, &big);
  if (wIsZero(f)) return detail::wZero();   // a trivial zero
  W sn, cs;
  sinCosPi(f, &sn, &cs);
  if (n & 1) sn = wNeg(sn);
  W t = wSub(wOne(), s);
  W l = wAdd(wMul(s, detail::kWLn2), wMul(wSub(s, wOne()), kWLogPi));
  l = wAdd(l, lnGammaPos(t));
  return wMul(wMul(expSafe(l), sn), zetaPos(t));
}

// Li2(x) for -1 <= x <= 1/2.
W li2Core(const W &x) {
  W u = wNeg(log1pW(wNeg(x)));
  W u2 = wMul(u, u);
  W s = wMul(u2, horner(kLi2Bernoulli, 21, u2));
  return wMul(u, wAdd(wSub(wOne(), wLdexp(u, -2)), s));
}

W li2W(const W &x) {
  double xd = wToDouble(x);
  if (xd >= -1 && xd <= 0.5) return li2Core(x);
  if (xd < -1) {
    W l = logW(wNeg(x));
    W r = wAdd(kWPiSqOver6, wLdexp(wMul(l, l), -1));
    return wNeg(wAdd(r, li2Core(wRecip(x))));
  }
  if (wLess(x, wOne())) {   // exactly: the double of x may round to 1
    W y = wSub(wOne(), x);
    return wSub(wSub(kWPiSqOver6, wMul(logW(x), logW(y))), li2Core(y));
  }
  if (xd <= 2) {
    W y = wSub(x, wOne());
    return wSub(wSub(kWPiSqOver6, wMul(logW(x), logW(y))), li2Core(wNeg(y)));
  }
  W l = logW(x);
  return wSub(wSub(kWPiSqOver3, wLdexp(wMul(l, l), -1)), li2Core(wRecip(x)));
}

} // namespace
} // namespace xsf

using namespace xsf;

XRealValue zeta(XRealValue s) {
  if (isNaN(s)) return s;
  if (isInf(s)) return signBit(s) ? nan() : fromInt64(1);
  if (isZero(s)) return ldexp(fromInt64(-1), -1);
  W w = wFromX(s);
  if (equal(s, fromInt64(1))) return infinity();
  if (toDouble(s) >= -0.25) return wToX(zetaPos(w));
  return wToX(zetaReflected(w));
}

XRealValue dilog(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return infinity(true);
  if (isZero(x)) return x;
  if (equal(x, fromInt64(1))) return wToX(kWPiSqOver6);
  W r;
  if (zeroExpansion(kLi2Zero[0], x, &r)) return wToX(r);
  return wToX(li2W(wFromX(x)));
}

} // namespace fathom
