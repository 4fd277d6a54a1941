// log, log1p and log10 of the extended real.
//
// a = 2^E * m with sqrt(1/2) <= m < sqrt(2), u = m - 1 exactly.  Two
// reciprocal stages (c1 ~ 1/(1 + j/256), 21 bits; c2 ~ 1/(1 + j/2^16),
// 29 bits) bring u to |u2| <= 2^-17 (1 + 2^-7);
// log(a) = E ln2 - log c1 - log c2 + log1p(u2), the last from 12 terms of
// its series (truncation error 2^-207).  Near a = 1 the stages pick c = 1
// and add nothing, so small results keep their relative accuracy.  Result:
// within 0.5 + 2^-40 ulp.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_tables.h"

namespace fathom {

using namespace detail;

namespace detail {

// One reciprocal stage: u <- (1 + u) c - 1, sum += -log c.
static W logStage(const W &u, const LogEntry &entry, W *sum) {
  *sum = wAdd(*sum, entry.mlog);
  return wAdd(wMul(u, entry.c), entry.cm1);
}

// E ln2 + log(1 + u) for -0.3 < u < 0.42.
static W logCore(W u, int64_t E) {
  W sum = wZero();
  if (wIsZero(u)) return wMul(wFromInt(E), kWLn2);
  int j = (int)std::nearbyint(wToDouble(u) * 256);
  if (j != 0) u = logStage(u, kLogStage1[j - kLogStage1Lo], &sum);
  int j2 = (int)std::nearbyint(wToDouble(u) * 65536);
  if (j2 != 0) u = logStage(u, kLogStage2[j2 + kLogStage2R], &sum);
  W p = wMul(u, wHorner(u, kLogCoef, 12));
  sum = wAdd(p, sum);
  if (E != 0) sum = wAdd(sum, wMul(wFromInt(E), kWLn2));
  return sum;
}

W logW(const W &a) {
  // sqrt(1/2) <= m < sqrt(2): split at the significand of sqrt(2).
  const u128 kSqrt2 = make128(0xB504F333F9DE6484ull, 0x597D89B3754ABE9Full);
  W m = a;
  m.e = 0;
  int64_t E = a.e;
  if (m.hi >= kSqrt2) {
    m.e = -1;
    E++;
  }
  return logCore(wSub(m, wFromInt(1)), E);
}

W log1pW(const W &u) {
  double d = wToDouble(u);
  if (d > -0.29 && d < 0.41) return logCore(u, 0);
  return logW(wAdd(wFromInt(1), u));
}

} // namespace detail

// NaN, infinities, zeros and negative arguments; 0 otherwise.
static bool logSpecial(XRealValue x, XRealValue *out) {
  if (isNaN(x)) return *out = x, true;
  if (isZero(x)) return *out = infinity(true), true;
  if (signBit(x)) return *out = nan(), true;
  if (isInf(x)) return *out = x, true;
  return false;
}

XRealValue log(XRealValue x) {
  XRealValue r;
  if (logSpecial(x, &r)) return r;
  return wToX(logW(wFromX(x)));
}

XRealValue log10(XRealValue x) {
  XRealValue r;
  if (logSpecial(x, &r)) return r;
  return wToX(wMul(logW(wFromX(x)), kWInvLn10));
}

XRealValue log1p(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  int c = compare(x, fromInt64(-1));
  if (c == 0) return infinity(true);
  if (c < 0) return nan();
  if (isInf(x)) return x;
  return wToX(log1pW(wFromX(x)));
}

} // namespace fathom
