// Helpers shared by the extended special-function kernels (not part of the
// API).  The kernels compute in the 192-bit working float of
// fathom/xmath_wide.h and round to an extended real once at the end; its
// 64 extra bits absorb the cancellation of reflection and recurrence
// formulas, and its 64-bit exponent lets products, powers and continued-
// fraction recurrences run without rescaling.
#pragma once

#include <cstdint>

#include "fathom/xmath_kernels.h"
#include "fathom/xmath_wide.h"
#include "fathom/xreal.h"

namespace fathom::xsf {

using detail::expW;
using detail::log1pW;
using detail::logW;
using detail::W;
using detail::wAdd;
using detail::wConst;
using detail::wDiv;
using detail::wFromDouble;
using detail::wFromInt;
using detail::wFromX;
using detail::wFromX0;
using detail::wAbs;
using detail::wRecip;
using detail::wSqrt;
using detail::wIsZero;
using detail::wLdexp;
using detail::wMul;
using detail::wNeg;
using detail::wSub;
using detail::wToDouble;
using detail::wToX;

// Polynomial piece: value = sum c[k] (v - center)^k, k < n, on lo <= v < hi.
struct Piece {
  double lo, hi;
  W center;
  int n;
  const W *c;
};

// Expansion around a zero z = zhi + zlo of a function f:
// f(z + d) = d (c[0] + c[1] d + ... + c[n-1] d^(n-1)) for |d| < window.
struct ZeroExp {
  XRealValue zhi;
  W zlo;
  double window;
  int n;
  const W *c;
};

// ---- Working-float helpers ----

inline W wOne() { return wFromInt(1); }
inline W wHalf() { return wLdexp(wFromInt(1), -1); }
inline bool wNegative(const W &a) { return a.neg && a.hi != 0; }
// log2 |a| rounded down (a != 0), -huge for zero.
inline int64_t wExp(const W &a) { return a.hi == 0 ? INT64_MIN / 2 : a.e; }

// Signed comparison a < b.
inline bool wLess(const W &a, const W &b) {
  bool na = wNegative(a), nb = wNegative(b);
  if (na != nb) return na;
  if (na) return detail::wMagLess(b, a);
  return detail::wMagLess(a, b);
}

// Horner's rule: c[0] + x (c[1] + ... + x c[n-1]).
inline W horner(const W *c, int n, const W &x) {
  W s = c[n - 1];
  for (int i = n - 2; i >= 0; --i) s = wAdd(wMul(s, x), c[i]);
  return s;
}

inline W evalPiece(const Piece &p, const W &v) { return horner(p.c, p.n, wSub(v, p.center)); }

// The piece holding v (by its double approximation); the last one beyond.
inline const Piece &findPiece(const Piece *t, int n, double v) {
  int lo = 0, hi = n - 1;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (v < t[mid].hi) hi = mid;
    else lo = mid + 1;
  }
  return t[lo];
}

// f(x) from the zero expansion e when x lies in its window.
inline bool zeroExpansion(const ZeroExp &e, XRealValue x, W *out) {
  W d = wSub(wSub(wFromX(x), wFromX(e.zhi)), e.zlo);
  double ad = wToDouble(d);
  if (!(ad < e.window && ad > -e.window)) return false;
  *out = wIsZero(d) ? detail::wZero() : wMul(d, horner(e.c, e.n, d));   // +0 at the zero itself
  return true;
}

// e^t, with arguments beyond the working range (|t| >= 2^40) giving a value
// that the final rounding turns into an infinity or a zero.
inline W expSafe(const W &t) {
  if (wExp(t) >= 40) {
    if (wNegative(t)) return detail::wZero();
    W big = wOne();
    big.e = INT64_MAX / 8;
    return big;
  }
  return expW(t);
}


// sin(pi f) and cos(pi f) for |f| <= 1/2 (f exact), relative accuracy near
// the zeros f = 0 and f = +-1/2.
void sinCosPi(const W &f, W *s, W *c);

// x = n + f with n = x rounded to the nearest integer (ties to even) and f
// exact, |f| <= 1/2; n is returned modulo 2^62 (its parity and small values
// are what the callers need) and *big is set when |x| >= 2^62.
W nearestFrac(XRealValue x, int64_t *n, bool *big);
// The same for a finite working float.
W nearestFracW(const W &x, int64_t *n, bool *big);

// ---- Kernels shared among the families (xsf_gamma.cc) ----

// log Gamma(x) - ((x - 1/2) log x - x + log(2 pi)/2) for x >= kStirlingX0.
W stirlingRest(const W &x);
// log Gamma(x) for x >= kStirlingX0 by Stirling's formula.
W lnGammaStirling(const W &x);
// log |Gamma(x)| for finite x > 0 (absolute error near 2^-185 max(1, |result|);
// no zero expansions).
W lnGammaPos(const W &x);
// Gamma(x) for finite non-pole x (relative error near 2^-180; the
// exponent may exceed the extended range).  For x below -kStirlingX0 it is
// sign * exp(lnGammaNeg), see below.
W gammaW(const W &x);
// log |Gamma(x)| for any finite non-pole x, and the sign of Gamma(x).
W lnGammaSigned(const W &x, int *sign);
// psi(x) for finite non-pole x, without the zero expansions.
W digammaW(const W &x);

} // namespace fathom::xsf
