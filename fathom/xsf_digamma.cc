// Extended digamma and trigamma functions.
//
//   x >= X0 (24)      Stirling's series: psi(x) = log x - 1/(2x) - sum
//                     c_k x^-2k, psi'(x) = 1/x + 1/(2x^2) + sum c_k x^-(2k+1)
//   -X0 < x < X0      the upward recurrence psi(x) = psi(x + n) -
//                     sum 1/(x + k), psi'(x) = psi'(x + n) + sum 1/(x + k)^2,
//                     the sums kept as one fraction (one division)
//   x <= -X0          reflection: psi(x) = psi(1 - x) - pi cot(pi x),
//                     psi'(x) = pi^2 / sin^2(pi x) - psi'(1 - x), with
//                     sin and cos of pi times the exact fraction of x
// psi cancels at its zeros: around the positive one and the one in each
// (-n-1, -n) for n < 100 it is the zero-centred expansion of
// xsf_gamma_tables (relative accuracy up to the zero itself).  Below -100
// the result keeps its accuracy relative to log|x|, the size of the terms.
// psi' has no zeros and its terms never cancel.
#include <cmath>
#include <iterator>

#include "fathom/xmath_tables.h"
#include "fathom/xsf_gamma_tables.h"
#include "fathom/xspecial_gamma.h"
#include "fathom/xmath.h"

namespace fathom {
namespace xsf {

namespace {

// Stirling's psi for x >= X0.
W psiStirling(const W &x) {
  W r = wRecip(x);
  W u = wMul(r, r);
  W s = wMul(u, horner(kStirlingPsi, (int)std::size(kStirlingPsi), u));
  return wSub(wSub(logW(x), wLdexp(r, -1)), s);
}

// Stirling's psi' for x >= X0.
W psi1Stirling(const W &x) {
  W r = wRecip(x);
  W u = wMul(r, r);
  W s = wMul(wMul(u, r), horner(kStirlingPsi1, (int)std::size(kStirlingPsi1), u));
  return wAdd(wAdd(r, wLdexp(u, -1)), s);
}

// The number of steps that lift x to X0 or beyond (0 when x >= X0).
int liftSteps(const W &x) {
  double xd = wToDouble(x);
  if (xd >= kStirlingX0) return 0;
  return (int)std::ceil(kStirlingX0 - xd);
}

} // namespace

W digammaW(const W &x) {
  double xd = wToDouble(x);
  if (xd > -kStirlingX0) {
    int n = liftSteps(x);
    if (n == 0) return psiStirling(x);
    // sum_{k<n} 1/(x + k) = p / q.
    W p = wOne(), q = x;
    for (int k = 1; k < n; ++k) {
      W y = wAdd(x, wFromInt(k));
      p = wAdd(wMul(p, y), q);
      q = wMul(q, y);
    }
    return wSub(psiStirling(wAdd(x, wFromInt(n))), wDiv(p, q));
  }
  int64_t n;
  bool big;
  W f = nearestFracW(x, &n, &big);
  W s, c;
  sinCosPi(f, &s, &c);
  W cot = wMul(detail::kWPi, wDiv(c, s));
  return wSub(digammaW(wSub(wOne(), x)), cot);
}

namespace {

W trigammaW(const W &x) {
  double xd = wToDouble(x);
  if (xd > -kStirlingX0) {
    int n = liftSteps(x);
    if (n == 0) return psi1Stirling(x);
    // sum_{k<n} 1/(x + k)^2 = p / q.
    W p = wOne(), q = wMul(x, x);
    for (int k = 1; k < n; ++k) {
      W y = wAdd(x, wFromInt(k));
      W y2 = wMul(y, y);
      p = wAdd(wMul(p, y2), q);
      q = wMul(q, y2);
    }
    return wAdd(psi1Stirling(wAdd(x, wFromInt(n))), wDiv(p, q));
  }
  int64_t n;
  bool big;
  W f = nearestFracW(x, &n, &big);
  W s, c;
  sinCosPi(f, &s, &c);
  W refl = wDiv(kWPiSq, wMul(s, s));
  return wSub(refl, trigammaW(wSub(wOne(), x)));
}

bool isInteger(XRealValue x) { return equal(rint(x), x); }

} // namespace
} // namespace xsf

using namespace xsf;

XRealValue digamma(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(!signBit(x));   // -1/x
  if (isInf(x)) return signBit(x) ? nan() : x;
  if (signBit(x) && isInteger(x)) return nan();
  W r;
  if (!signBit(x)) {
    if (zeroExpansion(kDigammaPos[0], x, &r)) return wToX(r);
  } else {
    double xd = toDouble(x);
    if (xd > -100) {
      int n = (int)std::floor(-xd);   // x in (-n-1, -n)
      if (n >= 0 && n < 100 && zeroExpansion(kDigammaNeg[n], x, &r)) return wToX(r);
    }
  }
  return wToX(digammaW(wFromX(x)));
}

XRealValue trigamma(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity();
  if (isInf(x)) return signBit(x) ? nan() : zero();
  if (signBit(x) && isInteger(x)) return infinity();
  return wToX(trigammaW(wFromX(x)));
}

} // namespace fathom
