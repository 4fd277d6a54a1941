// Extended beta function and the lower incomplete gamma and beta functions.
//
// beta(a, b), with a >= b after a swap and c = a + b:
//   a, b >= X0 (24)   exp of Stirling's difference
//                     log(2 pi)/2 - log(c)/2 + (a - 1/2) log(a/c)
//                     + (b - 1/2) log(b/c) + S(a) + S(b) - S(c),
//                     whose terms stay near the size of the result
//   a >= X0 > b, c >= X0   Gamma(b) times Gamma(a)/Gamma(c) from
//                     (a - 1/2) log(a/c) - b log c + b + S(a) - S(c)
//   otherwise         the three gamma functions (through logarithms when an
//                     argument is below -X0)
// gamma(a, x) = int_0^x t^(a-1) e^-t dt:
//   x < a + 1         x^a e^-x sum x^k / (a (a+1) ... (a+k)), the sum kept
//                     as one fraction p/q (no division per term)
//   x >= a + 1        Gamma(a) - x^a e^-x CF, Legendre's continued fraction
//                     for the upper function by its convergents
// B(a, b, x) = int_0^x t^(a-1) (1-t)^(b-1) dt: x^a (1-x)^b / a CF(a, b, x)
// (the continued fraction 26.5.8 of Abramowitz and Stegun by its
// convergents), or B(a, b) minus the same at (b, a, 1-x) where x lies above
// (a+1)/(a+b+2) (kept below for b < 1 up to x = 0.999, for b < 0.01 up to
// 1 - 1e-4, as the complement cancels there).  The gamma series and
// fraction stop after 10^6 steps at the latest, the beta fraction after
// 2 10^5; results beyond the extended range are settled before either runs.
#include <cmath>
#include <iterator>

#include "fathom/xmath.h"
#include "fathom/xsf_gamma_tables.h"
#include "fathom/xspecial_gamma.h"

namespace fathom {
namespace xsf {
namespace {

constexpr int kMaxSteps = 1000000;
// The beta fraction converges in some sqrt(a + b) steps; beyond a, b ~ 1e10
// near its switch point it is stopped here (about 0.2 s) rather than run on.
constexpr int kMaxBetaSteps = 200000;

bool settled(const W &next, const W &prev) {
  W d = wSub(next, prev);
  return wIsZero(d) || wExp(d) < wExp(next) - 186;
}

// log(Gamma(a) Gamma(b) / Gamma(a + b)) for a >= b >= X0.  log(a/c) is
// log1p(-b/c), which keeps its relative accuracy when b << a (a times it
// is then about -b).
W lnBetaStirling(const W &a, const W &b) {
  W c = wAdd(a, b);
  W half = wHalf();
  W lc = logW(c);
  W r = wSub(wLdexp(kWLog2Pi, -1), wLdexp(lc, -1));
  r = wAdd(r, wMul(wSub(a, half), log1pW(wNeg(wDiv(b, c)))));
  r = wAdd(r, wMul(wSub(b, half), logW(wDiv(b, c))));
  return wAdd(r, wSub(wAdd(stirlingRest(a), stirlingRest(b)), stirlingRest(c)));
}

// log(Gamma(a) / Gamma(a + b)) for a >= X0, a + b >= X0.
W lnGammaRatio(const W &a, const W &b) {
  W c = wAdd(a, b);
  W r = wMul(wSub(a, wHalf()), wNeg(log1pW(wDiv(b, a))));
  r = wSub(r, wMul(b, logW(c)));
  r = wAdd(r, b);
  return wAdd(r, wSub(stirlingRest(a), stirlingRest(c)));
}

bool atLeastX0(const W &v) { return wToDouble(v) >= kStirlingX0; }

W betaW(W a, W b) {
  if (wLess(a, b)) std::swap(a, b);
  W c = wAdd(a, b);
  if (atLeastX0(b)) return expSafe(lnBetaStirling(a, b));
  if (atLeastX0(a) && atLeastX0(c)) return wMul(gammaW(b), expSafe(lnGammaRatio(a, b)));
  double lo = -kStirlingX0;
  if (wToDouble(a) > lo && wToDouble(b) > lo && wToDouble(c) > lo)
    return wDiv(wMul(gammaW(a), gammaW(b)), gammaW(c));
  int sa, sb, sc;
  W l = wSub(wAdd(lnGammaSigned(a, &sa), lnGammaSigned(b, &sb)), lnGammaSigned(c, &sc));
  W r = expSafe(l);
  return sa * sb * sc < 0 ? wNeg(r) : r;
}

// sum_k x^k / ((a+1) ... (a+k)) = p/q: p_k = p_(k-1) (a+k) + x^k, q_k = q_(k-1) (a+k).
W lowerSeries(const W &a, const W &x) {
  W p = wOne(), q = wOne(), xk = wOne(), ak = a;
  for (int k = 1; k < kMaxSteps; ++k) {
    ak = wAdd(ak, wOne());
    xk = wMul(xk, x);
    p = wAdd(wMul(p, ak), xk);
    q = wMul(q, ak);
    if (wExp(xk) < wExp(p) - 190) break;
  }
  return wDiv(p, q);
}

// 1/(b1 + a2/(b2 + a3/(b3 + ...))), b_n = x + 2n - 1 - a, a_(n+1) = -n (n - a):
// Gamma(a, x) = x^a e^-x times this.
W upperFraction(const W &a, const W &x) {
  W am1 = wSub(x, wSub(a, wOne()));   // b1 = x + 1 - a
  W A2 = detail::wZero(), B2 = wOne();   // A_0, B_0
  W A1 = wOne(), B1 = am1;               // A_1 = 1, B_1 = b1
  W prev = wDiv(A1, B1);
  for (int n = 2; n < kMaxSteps; ++n) {
    W bn = wAdd(am1, wFromInt(2 * (n - 1)));
    W an = wNeg(wMul(wFromInt(n - 1), wSub(wFromInt(n - 1), a)));
    W A = wAdd(wMul(bn, A1), wMul(an, A2));
    W B = wAdd(wMul(bn, B1), wMul(an, B2));
    A2 = A1, B2 = B1, A1 = A, B1 = B;
    if ((n & 3) == 0) {
      W f = wDiv(A1, B1);
      if (settled(f, prev)) return f;
      prev = f;
    }
  }
  return wDiv(A1, B1);
}

// Natural logarithms beyond which a result overflows, or underflows below
// the smallest subnormal extended real.
constexpr double kMaxLog = 2.3026e8, kMinLog = -2.3027e8;

W overflowed() {
  W big = wOne();
  big.e = INT64_MAX / 8;
  return big;
}

// The results that leave the range are settled before any summation, so
// the series and fractions only run where they converge in at most some
// 10^5 steps (a up to about 2e7, where Gamma(a) overflows).
W gammaLowerW(const W &a, const W &x) {
  W lp = wSub(wMul(a, logW(x)), x);
  if (wLess(x, wAdd(a, wOne()))) {
    // x^a e^-x / a <= gamma(a, x) <= x^a / a (the sum is at most e^x).
    double l = wToDouble(wSub(lp, logW(a)));
    if (l > kMaxLog + 1) return overflowed();
    if (l + wToDouble(x) < kMinLog - 1) return detail::wZero();
    return wMul(wDiv(expSafe(lp), a), lowerSeries(a, x));
  }
  // x >= a + 1: gamma(a, x) > Gamma(a) / 3.
  if (wToDouble(lnGammaPos(a)) > kMaxLog + 2) return overflowed();
  W upper = wMul(expSafe(lp), upperFraction(a, x));
  return wSub(gammaW(a), upper);
}

// 1/(1 + d1/(1 + d2/(1 + ...))) with
// d_(2m+1) = -(a+m)(a+b+m) x / ((a+2m)(a+2m+1)), d_(2m) = m (b-m) x / ((a+2m-1)(a+2m)).
// Each step scales the last two convergents by the denominator of d, which
// leaves their ratio alone and saves a division.
W betaFraction(const W &a, const W &b, const W &x) {
  W A2 = detail::wZero(), B2 = wOne();   // A_0, B_0
  W A1 = wOne(), B1 = wOne();            // A_1 = 1, B_1 = 1
  W ab = wAdd(a, b);
  W prev = wOne();
  for (int n = 1; n < kMaxBetaSteps; ++n) {
    W num, den;
    int m = n / 2;
    if (n & 1) {
      W am = wAdd(a, wFromInt(m));
      num = wNeg(wMul(wMul(am, wAdd(ab, wFromInt(m))), x));
      W a2m = wAdd(a, wFromInt(2 * m));
      den = wMul(a2m, wAdd(a2m, wOne()));
    } else {
      W mw = wFromInt(m);
      num = wMul(wMul(mw, wSub(b, mw)), x);
      W a2m = wAdd(a, wFromInt(2 * m));
      den = wMul(wSub(a2m, wOne()), a2m);
    }
    W A = wAdd(wMul(den, A1), wMul(num, A2));
    W B = wAdd(wMul(den, B1), wMul(num, B2));
    A2 = wMul(den, A1), B2 = wMul(den, B1);
    A1 = A, B1 = B;
    if ((n & 3) == 0) {
      W f = wDiv(A1, B1);
      if (settled(f, prev)) return f;
      prev = f;
    }
  }
  return wDiv(A1, B1);
}

// Whether the fraction runs in x rather than in 1 - x: x (a + b + 2) < a + 1
// exactly (the parameters may be beyond the doubles' range).
bool direct(const W &a, const W &b, const W &x) {
  if (wLess(wMul(x, wAdd(wAdd(a, b), wFromInt(2))), wAdd(a, wOne()))) return true;
  double bd = wToDouble(b), xd = wToDouble(x);
  return (bd < 1 && xd < 0.999) || (bd < 0.01 && xd < 1 - 1e-4);
}

// log B(a, b) for a, b > 0.
W lnBetaPos(W a, W b) {
  if (wLess(a, b)) std::swap(a, b);
  if (atLeastX0(b)) return lnBetaStirling(a, b);
  if (atLeastX0(a)) return wAdd(lnGammaPos(b), lnGammaRatio(a, b));
  return logW(betaW(a, b));
}

W betaLowerW(const W &a, const W &b, const W &x) {
  // B(a, b, x) <= B(a, b): nothing to sum when B underflows, which takes
  // a + b beyond 1e7 (B(a, b) is near 2^-(a+b) at its smallest).
  if (wToDouble(a) + wToDouble(b) > 1e7 && wToDouble(lnBetaPos(a, b)) < kMinLog - 1)
    return detail::wZero();
  W y = wSub(wOne(), x);
  W lp = wAdd(wMul(a, logW(x)), wMul(b, logW(y)));
  W pre = expSafe(lp);
  if (direct(a, b, x)) return wMul(wDiv(pre, a), betaFraction(a, b, x));
  return wSub(betaW(a, b), wMul(wDiv(pre, b), betaFraction(b, a, y)));
}

bool isInteger(XRealValue x) { return equal(rint(x), x); }
bool isNonPositiveInteger(XRealValue x) { return isZero(x) || (signBit(x) && isInteger(x)); }

} // namespace
} // namespace xsf

using namespace xsf;

XRealValue beta(XRealValue a, XRealValue b) {
  if (isNaN(a)) return a;
  if (isNaN(b)) return b;
  bool pa = !signBit(a) && !isZero(a), pb = !signBit(b) && !isZero(b);
  if (isInf(a) || isInf(b)) return pa && pb ? zero() : nan();
  if (isNonPositiveInteger(a) || isNonPositiveInteger(b)) return nan();
  XRealValue c = add(a, b);
  if (!(pa && pb) && isNonPositiveInteger(c)) return zero();
  return wToX(betaW(wFromX(a), wFromX(b)));
}

XRealValue gammaLower(XRealValue a, XRealValue x) {
  if (isNaN(a)) return a;
  if (isNaN(x)) return x;
  if (signBit(a) || isZero(a) || (signBit(x) && !isZero(x))) return nan();
  if (isZero(x)) return zero();
  if (isInf(a)) return isInf(x) ? nan() : zero();
  if (isInf(x)) return gamma(a);
  return wToX(gammaLowerW(wFromX(a), wFromX(x)));
}

XRealValue betaLower(XRealValue a, XRealValue b, XRealValue x) {
  if (isNaN(a)) return a;
  if (isNaN(b)) return b;
  if (isNaN(x)) return x;
  if (signBit(a) || isZero(a) || signBit(b) || isZero(b) || isInf(a) || isInf(b)) return nan();
  if (signBit(x) && !isZero(x)) return nan();
  XRealValue one = fromInt64(1);
  if (x > one) return nan();
  if (isZero(x)) return zero();
  if (equal(x, one)) return beta(a, b);
  return wToX(betaLowerW(wFromX(a), wFromX(b), wFromX(x)));
}

} // namespace fathom
