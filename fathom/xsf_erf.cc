// Extended error functions and Dawson's integral.
//
// erf(x), |x| < 1     2/sqrt(pi) sum (-1)^n x^(2n+1) / (n! (2n+1))
// erf(x), |x| < 4     2/sqrt(pi) e^-x^2 sum 2^n x^(2n+1) / (1 3 5 ... (2n+1)),
//                     a series of positive terms
// erfc(x), x >= 4     e^-x^2 / sqrt(pi) / (x + (1/2)/(x + 1/(x + (3/2)/(x + ...)))),
//                     the continued fraction summed backwards from a depth
//                     chosen by x (2^-140 or better), as a ratio p/q of two
//                     recurrences, so one division in all
// erfc(x), x < 4      1 - erf(x) (erfc(4) = 1.5e-8: at most 27 bits of the
//                     working float's 64 spare ones cancel); 1 + erf(-x)
//                     for x < 0
// log erfc(x)         log1p(-erf x) below 1/2, so relative accuracy near 0;
//                     from x >= 4 the logarithm of the fraction above minus
//                     x^2, finite far beyond erfc's underflow
// F(x), |x| < 1       sum (-1)^n 2^n x^(2n+1) / (1 3 5 ... (2n+1))
// F(x), |x| < 10      e^-x^2 sum x^(2n+1) / (n! (2n+1)), positive terms
// F(x), |x| >= 10     1/(2x) sum (2n-1)!! / (2x^2)^n, to its smallest term
//                     (e^-100 at x = 10)
#include <array>
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"
#include "fathom/xsf_internal.h"
#include "fathom/xspecial_gamma.h"

namespace fathom {
namespace xsf {
namespace {

constexpr int kTerms = 400;

struct Reciprocals {
  std::array<W, kTerms> n;     // 1/n (n[0] unused)
  std::array<W, kTerms> odd;   // 1/(2n+1)
  W twoOverSqrtPi, oneOverSqrtPi;
};

const Reciprocals &recips() {
  static const Reciprocals r = [] {
    Reciprocals t;
    t.n[0] = wOne();
    for (int k = 1; k < kTerms; ++k) t.n[k] = wRecip(wFromInt(k));
    for (int k = 0; k < kTerms; ++k) t.odd[k] = wRecip(wFromInt(2 * k + 1));
    t.oneOverSqrtPi = wRecip(wSqrt(detail::kWPi));
    t.twoOverSqrtPi = wLdexp(t.oneOverSqrtPi, 1);
    return t;
  }();
  return r;
}

// True once term no longer shows in sum.
bool negligible(const W &term, const W &sum) { return wIsZero(term) || wExp(term) < wExp(sum) - 194; }

// sum (-1)^n x^(2n+1) / (n! (2n+1)), |x| < 1.
W erfMaclaurin(const W &x) {
  const Reciprocals &r = recips();
  W mx2 = wNeg(wMul(x, x));
  W b = x, sum = x;
  for (int n = 1; n < kTerms; ++n) {
    b = wMul(wMul(b, mx2), r.n[n]);
    W term = wMul(b, r.odd[n]);
    sum = wAdd(sum, term);
    if (negligible(term, sum)) break;
  }
  return wMul(sum, r.twoOverSqrtPi);
}

// sum 2^n x^(2n+1) / (1 3 ... (2n+1)) for the given sign of the step
// (+2x^2 for erf, -2x^2 for Dawson's series).
W oddFactorialSeries(const W &x, const W &step) {
  const Reciprocals &r = recips();
  W a = x, sum = x;
  for (int n = 1; n < kTerms; ++n) {
    a = wMul(wMul(a, step), r.odd[n]);
    sum = wAdd(sum, a);
    if (negligible(a, sum)) break;
  }
  return sum;
}

// erf(x) for |x| < 4.
W erfSmall(const W &x) {
  double ax = std::fabs(wToDouble(x));
  if (ax < 1) return erfMaclaurin(x);
  W x2 = wMul(x, x);
  W s = oddFactorialSeries(x, wLdexp(x2, 1));
  return wMul(wMul(s, expW(wNeg(x2))), recips().twoOverSqrtPi);
}

// The continued fraction x + (1/2)/(x + 1/(x + ...)) for x >= 4.
W erfcFraction(const W &x) {
  double xd = wToDouble(x);
  double r = 47 / xd;
  int depth = (int)(0.75 * r * r) + 25;
  // t_k = x + (k/2)/t_(k+1) as p/q: p' = x p + (k/2) q, q' = p.
  W p = x, q = wOne();
  for (int k = depth; k >= 1; --k) {
    W np = wAdd(wMul(x, p), wLdexp(wMul(wFromInt(k), q), -1));
    q = p;
    p = np;
  }
  return wDiv(p, q);
}

// erfc(x) for x >= 4.
W erfcLarge(const W &x) {
  W t = erfcFraction(x);
  return wDiv(wMul(expSafe(wNeg(wMul(x, x))), recips().oneOverSqrtPi), t);
}

W erfcW(const W &x) {
  double xd = wToDouble(x);
  if (xd >= 4) return erfcLarge(x);
  if (xd > -4) return wSub(wOne(), erfSmall(x));
  return wSub(wFromInt(2), erfcLarge(wNeg(x)));
}

// Dawson's integral for finite x.
W dawsonW(const W &x) {
  double ax = std::fabs(wToDouble(x));
  const Reciprocals &r = recips();
  if (ax < 1) return oddFactorialSeries(x, wNeg(wLdexp(wMul(x, x), 1)));
  if (ax < 10) {
    W x2 = wMul(x, x);
    W b = x, sum = x;
    for (int n = 1; n < kTerms; ++n) {
      b = wMul(wMul(b, x2), r.n[n]);
      W term = wMul(b, r.odd[n]);
      sum = wAdd(sum, term);
      if (negligible(term, sum)) break;
    }
    return wMul(sum, expW(wNeg(x2)));
  }
  // Asymptotic series in 1/(2x^2), stopped at its smallest term.
  W h = wRecip(wLdexp(wMul(x, x), 1));
  W c = wOne(), sum = wOne();
  for (int n = 1; n < 4 * kTerms; ++n) {
    W next = wMul(wMul(c, h), wFromInt(2 * n - 1));
    if (!detail::wMagLess(next, c)) break;
    c = next;
    sum = wAdd(sum, c);
    if (negligible(c, sum)) break;
  }
  return wDiv(sum, wLdexp(x, 1));
}

} // namespace
} // namespace xsf

using namespace xsf;

XRealValue erf(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (isInf(x)) return fromInt64(signBit(x) ? -1 : 1);
  W w = wFromX(x);
  double ax = std::fabs(toDouble(x));
  if (ax < 4) return wToX(erfSmall(w));
  W c = erfcLarge(wAbs(w));
  W r = wSub(wOne(), c);
  return wToX(signBit(x) ? wNeg(r) : r);
}

XRealValue erfc(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return fromInt64(1);
  if (isInf(x)) return signBit(x) ? fromInt64(2) : zero();
  return wToX(erfcW(wFromX(x)));
}

XRealValue lnErfc(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return zero();
  if (isInf(x)) return signBit(x) ? log(fromInt64(2)) : infinity(true);
  W w = wFromX(x);
  double xd = toDouble(x);
  if (xd >= 4) {
    // log(e^-x^2 / (sqrt(pi) t)) = -x^2 - log(sqrt(pi) t)
    W t = erfcFraction(w);
    W l = logW(wDiv(t, recips().oneOverSqrtPi));
    return wToX(wNeg(wAdd(wMul(w, w), l)));
  }
  if (std::fabs(xd) < 0.5) return wToX(log1pW(wNeg(erfSmall(w))));
  return wToX(logW(erfcW(w)));
}

XRealValue dawson(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (isInf(x)) return zero(signBit(x));
  return wToX(dawsonW(wFromX(x)));
}

} // namespace fathom
