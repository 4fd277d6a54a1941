// sinc, sincm1 and sqrt1pm1 of the extended real, each formed in the working
// float and rounded once.
//
// sincm1(x) = sin(x)/x - 1.  For |x| < 1 it is the series
// sum_{k>=1} (-x^2)^k / (2k+1)!, 23 terms (the first left out is below
// 6/49! < 2^-205 of the first kept); its terms fall by at least 20 each, so
// the sum never cancels and keeps its relative accuracy down to the smallest
// x.  Above, sin(x)/x - 1 cancels by less than 3 bits (sin(1) - 1 = -0.16).
// sinc = 1 + that series below 1, sin(x)/x above.
//
// sqrt1pm1(x) = sqrt(1 + x) - 1 = expm1(log1p(x) / 2): both kernels keep
// their relative accuracy near 0, and log1p(x)/2 is at most 1.2e8 over the
// whole range, well inside expm1's.
#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"

namespace fathom {

using namespace detail;

namespace {

constexpr int kSincTerms = 23;

// (-1)^k / (2k+1)!, k = 1 .. kSincTerms, at 192 bits.
struct SincCoefficients {
  W c[kSincTerms + 1];
  SincCoefficients() {
    c[0] = wFromInt(1);
    for (int k = 1; k <= kSincTerms; k++)
      c[k] = wNeg(wDiv(c[k - 1], wFromInt((int64_t)(2 * k) * (2 * k + 1))));
  }
};

// sin(x)/x - 1 for 0 < |x| < 1.
W sincm1Series(const W &x) {
  static const SincCoefficients coef;
  W u = wSqr(x);
  W p = coef.c[kSincTerms];
  for (int k = kSincTerms - 1; k >= 1; k--) p = wAdd(coef.c[k], wMul(u, p));
  return wMul(u, p);
}

bool belowOne(XRealValue x) { return compare(fabs(x), fromInt64(1)) < 0; }

} // namespace

XRealValue sincm1(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return nan();
  if (isZero(x)) return zero();
  W w = wFromX(x);
  if (belowOne(x)) return wToX(sincm1Series(w));
  W s, c;
  if (!sincosAnyW(w, &s, &c)) return nan();
  return wToX(wSub(wDiv(s, w), wFromInt(1)));
}

XRealValue sinc(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return nan();
  if (isZero(x)) return fromInt64(1);
  W w = wFromX(x);
  if (belowOne(x)) return wToX(wAdd(wFromInt(1), sincm1Series(w)));
  W s, c;
  if (!sincosAnyW(w, &s, &c)) return nan();
  return wToX(wDiv(s, w));
}

XRealValue sqrt1pm1(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  XRealValue minusOne = fromInt64(-1);
  int c = compare(x, minusOne);
  if (c < 0) return nan();
  if (c == 0) return minusOne;
  if (isInf(x)) return x;
  return wToX(expm1W(wLdexp(log1pW(wFromX(x)), -1)));
}

} // namespace fathom
