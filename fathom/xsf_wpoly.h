// Polynomial fits and zero patches of the extended special functions
// (Bessel, elliptic and exponential-integral families), evaluated in the
// 192-bit working float of fathom/xmath_wide.h.
//
// The generated tables (fathom/xsf_fit_*.h) hold their constants as XCoef:
// a 192-bit significand and an exponent, so that a fit's coefficients add
// nothing visible to a 128-bit result.  A fit is a piece [a, b] with a
// centre c and the reciprocal half-width s, evaluated as a polynomial in
// t = (x - c) s; the piece is found from a double close to x (a boundary
// crossed by the double's rounding only extrapolates a fit by 2^-52).
#pragma once

#include <cstdint>

#include "fathom/xmath_wide.h"

namespace fathom::detail {

// value = (h:m:l) * 2^(e - 191), top bit of h set; zero has h = 0.
struct XCoef {
  uint64_t h, m, l;
  int32_t e;
  uint32_t neg;
};

struct XPiece {
  double a, b;      // the piece's range (in the fit's variable)
  XCoef c, s;       // centre and 1 / half-width
  int off, n;       // coefficients pool[off .. off + n - 1], constant term first
};

inline W wc(const XCoef &c) { return {make128(c.h, c.m), c.l, c.e, c.neg != 0}; }

// sum pool[k] t^k, k < n, by Horner's rule.
inline W wPoly(const XCoef *pool, int n, const W &t) {
  W s = wc(pool[n - 1]);
  for (int k = n - 2; k >= 0; --k) s = wAdd(wMul(s, t), wc(pool[k]));
  return s;
}

// Two polynomials in the same variable, their Horner chains interleaved.
inline void wPoly2(const XCoef *p1, int n1, const XCoef *p2, int n2, const W &t, W *r1, W *r2) {
  W s1 = wc(p1[n1 - 1]), s2 = wc(p2[n2 - 1]);
  int k1 = n1 - 2, k2 = n2 - 2;
  while (k1 > k2) s1 = wAdd(wMul(s1, t), wc(p1[k1--]));
  while (k2 > k1) s2 = wAdd(wMul(s2, t), wc(p2[k2--]));
  for (; k1 >= 0; --k1) {
    s1 = wAdd(wMul(s1, t), wc(p1[k1]));
    s2 = wAdd(wMul(s2, t), wc(p2[k1]));
  }
  *r1 = s1;
  *r2 = s2;
}

// The piece of table[0 .. n-1] (sorted, contiguous) holding xd; the first
// or last piece outside their range.
inline const XPiece &findPiece(const XPiece *table, int n, double xd) {
  int lo = 0, hi = n - 1;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (xd > table[mid].b) lo = mid + 1;
    else hi = mid;
  }
  return table[lo];
}

inline W pieceVar(const XPiece &p, const W &x) { return wMul(wSub(x, wc(p.c)), wc(p.s)); }

inline W evalPiece(const XPiece &p, const XCoef *pool, const W &x) {
  return wPoly(pool + p.off, p.n, pieceVar(p, x));
}

// Two fits of one variable on the same piece layout (same ranges).
inline void evalPiece2(const XPiece &p1, const XCoef *pool1, const XPiece &p2, const XCoef *pool2,
                       const W &x, W *r1, W *r2) {
  W t = pieceVar(p1, x);
  wPoly2(pool1 + p1.off, p1.n, pool2 + p2.off, p2.n, t, r1, r2);
}

// A zero z of an oscillating function (z = zhi + zlo to about 380 bits)
// and its Taylor coefficients a1..a5 there: near z, f(x) = t (a1 + a2 t +
// ... + a5 t^4) with t = x - z formed without cancellation, which keeps the
// relative accuracy at the extended reals closest to the zero.  Within
// |t| <= 2^-32 the truncation is below 2^-155 relative.
struct XZero {
  double z;         // the zero, rounded
  XCoef zhi, zlo, a[5];
};

constexpr double kZeroPatchRadius = 0x1p-32;

// The patch of table[0 .. n-1] (sorted by z) within radius of xd, or null.
inline const XZero *findZero(const XZero *table, int n, double xd, double radius) {
  int lo = 0, hi = n - 1;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (xd > table[mid].z) lo = mid + 1;
    else hi = mid;
  }
  for (int i = lo - 1; i <= lo; ++i)
    if (i >= 0 && i < n && __builtin_fabs(xd - table[i].z) <= radius) return &table[i];
  return nullptr;
}

inline W evalZero(const XZero &zp, const W &x) {
  W t = wSub(wSub(x, wc(zp.zhi)), wc(zp.zlo));
  W s = wc(zp.a[4]);
  for (int k = 3; k >= 0; --k) s = wAdd(wMul(s, t), wc(zp.a[k]));
  return wMul(s, t);
}

} // namespace fathom::detail
