// Extended logarithmic integral li(x) = Ei(log x).
//
// With t = log x:
//   t <= -15         -E1(-t) = -x / (u + 1/(1 + 1/(u + 2/(1 + 2/(u + ...))))),
//                    u = -t, the fraction summed backwards from a depth
//                    chosen by u as a ratio p/q of two recurrences
//   -15 < t < 100    gamma + log|t| + sum t^n / (n n!) (terms up to e^15
//                    times the result for t < 0: 47 of the working float's
//                    64 spare bits)
//   t >= 100         e^t / t sum k! / t^k to its smallest term (e^-100)
// Around the zero mu = 1.451... it is the zero-centred expansion of
// xsf_gamma_tables.
#include <array>
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xsf_gamma_tables.h"
#include "fathom/xspecial_gamma.h"

namespace fathom {
namespace xsf {
namespace {

constexpr int kTerms = 400;

const std::array<W, kTerms> &reciprocals() {
  static const std::array<W, kTerms> r = [] {
    std::array<W, kTerms> t;
    t[0] = wOne();
    for (int k = 1; k < kTerms; ++k) t[k] = wRecip(wFromInt(k));
    return t;
  }();
  return r;
}

// -E1(u) for u >= 15, given x = e^-u.
W minusE1(const W &u, const W &x) {
  int depth = 20 + (int)(800 / wToDouble(u));
  // t_k = u + k/(1 + k/t_(k+1)) as p/q: p' = u (p + k q) + k p, q' = p + k q.
  W p = u, q = wOne();
  for (int k = depth; k >= 1; --k) {
    W kw = wFromInt(k);
    W s = wAdd(p, wMul(kw, q));
    W np = wAdd(wMul(u, s), wMul(kw, p));
    q = s;
    p = np;
  }
  return wNeg(wDiv(wMul(x, q), p));
}

// gamma + log|t| + sum t^n / (n n!) for -15 < t < 100.
W eiSeries(const W &t) {
  const std::array<W, kTerms> &r = reciprocals();
  W b = t, sum = t;
  for (int n = 2; n < kTerms; ++n) {
    b = wMul(wMul(b, t), r[n]);
    W term = wMul(b, r[n]);
    sum = wAdd(sum, term);
    if (wIsZero(term) || wExp(term) < wExp(sum) - 190) break;
  }
  return wAdd(wAdd(kWEuler, logW(wAbs(t))), sum);
}

// e^t / t sum k! / t^k for t >= 100.
W eiAsymptotic(const W &t) {
  W h = wRecip(t);
  W c = wOne(), sum = wOne();
  for (int k = 1; k < 4 * kTerms; ++k) {
    W next = wMul(wMul(c, h), wFromInt(k));
    if (!detail::wMagLess(next, c)) break;
    c = next;
    sum = wAdd(sum, c);
    if (wExp(c) < wExp(sum) - 190) break;
  }
  return wMul(wMul(expSafe(t), h), sum);
}

} // namespace
} // namespace xsf

using namespace xsf;

XRealValue logInt(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (signBit(x)) return nan();
  if (isInf(x)) return x;
  if (equal(x, fromInt64(1))) return infinity(true);
  W r;
  if (zeroExpansion(kLiZero[0], x, &r)) return wToX(r);
  W w = wFromX(x);
  W t = logW(w);
  double td = wToDouble(t);
  if (td <= -15) return wToX(minusE1(wNeg(t), w));
  if (td < 100) return wToX(eiSeries(t));
  return wToX(eiAsymptotic(t));
}

} // namespace fathom
