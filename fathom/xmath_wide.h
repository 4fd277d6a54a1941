// The working float of the elementary functions: a 192-bit significand and
// a 64-bit exponent, truncating arithmetic.  Each operation is within two
// units of 2^-191 relative (a few units after a cancelling addition of
// inexact operands), so a kernel of a few dozen operations keeps about 185
// good bits and the one final rounding to 128 bits is almost always correct.
// The exponent never overflows here: extreme results are judged only when
// they are rounded back into an extended real.
#pragma once

#include <cstdint>

#include "fathom/xreal.h"
#include "fathom/xreal_internal.h"

namespace fathom::detail {

// value = (-1)^neg * (hi:lo) * 2^(e - 191), hi having its top bit set; zero
// has hi = lo = 0.  So 1 <= |value| / 2^e < 2.
struct W {
  u128 hi;
  uint64_t lo;
  int64_t e;
  bool neg;
};

constexpr W wZero() { return {0, 0, 0, false}; }
constexpr bool wIsZero(const W &a) { return a.hi == 0; }
constexpr W wConst(uint64_t h, uint64_t m, uint64_t l, int64_t e, bool neg = false) {
  return {make128(h, m), l, e, neg};
}
inline W wNeg(W a) {
  a.neg = !a.neg;
  return a;
}
inline W wAbs(W a) {
  a.neg = false;
  return a;
}
inline W wLdexp(W a, int64_t k) {
  a.e += k;
  return a;
}
inline W wFromX(XRealValue x) {   // finite non-zero
  return {fieldOf(x) | kTop, 0, (int64_t)x.w0 - kBias, (bool)signBit(x)};
}
inline W wFromX0(XRealValue x) {  // finite, zero allowed
  return isZero(x) ? wZero() : wFromX(x);
}
inline W wFromInt(int64_t i) {
  if (i == 0) return wZero();
  uint64_t m = i < 0 ? 0 - (uint64_t)i : (uint64_t)i;
  int lz = __builtin_clzll(m);
  return {(u128)(m << lz) << 64, 0, 63 - lz, i < 0};
}
inline W wFromDouble(double d) { return d == 0 ? wZero() : wFromX(fromDouble(d)); }
// Rounded to 128 bits; zero keeps the given sign.
inline XRealValue wToX(const W &a, bool zeroNeg = false) {
  if (a.hi == 0) return zero(zeroNeg);
  int64_t e = a.e + kBias;
  if (e > INT64_MAX / 4) e = INT64_MAX / 4;
  if (e < INT64_MIN / 4) e = INT64_MIN / 4;
  return roundPack(a.neg, e, a.hi, a.lo);
}
// A double close to the value (for choosing reduction indices).
inline double wToDouble(const W &a) {
  if (a.hi == 0) return 0;
  int64_t e = a.e;
  if (e > 2000) e = 2000;
  if (e < -2000) e = -2000;
  double m = (double)hi64(a.hi) * 0x1p-63;
  m = __builtin_ldexp(m, (int)e);
  return a.neg ? -m : m;
}

// |a| < |b|, zeros smallest.
inline bool wMagLess(const W &a, const W &b) {
  if (b.hi == 0) return false;
  if (a.hi == 0) return true;
  if (a.e != b.e) return a.e < b.e;
  if (a.hi != b.hi) return a.hi < b.hi;
  return a.lo < b.lo;
}

W wAddSlow(W a, W b);

inline W wAdd(W a, W b) { return wAddSlow(a, b); }
inline W wSub(W a, W b) { return wAddSlow(a, wNeg(b)); }

// The top 192 bits of the 384-bit product; the three lowest partial
// products are left out (under three units of the last place).
inline W wMul(const W &a, const W &b) {
  uint64_t a2 = hi64(a.hi), a1 = lo64(a.hi), a0 = a.lo;
  uint64_t b2 = hi64(b.hi), b1 = lo64(b.hi), b0 = b.lo;
  u128 p02 = mul64(a0, b2), p11 = mul64(a1, b1), p20 = mul64(a2, b0);
  u128 p12 = mul64(a1, b2), p21 = mul64(a2, b1), p22 = mul64(a2, b2);
  u128 c2 = (u128)lo64(p02) + lo64(p11) + lo64(p20);
  u128 c3 = (u128)hi64(p02) + hi64(p11) + hi64(p20) + lo64(p12) + lo64(p21) + hi64(c2);
  u128 c4 = (u128)hi64(p12) + hi64(p21) + lo64(p22) + hi64(c3);
  uint64_t l5 = hi64(p22) + hi64(c4);
  W r;
  r.neg = a.neg != b.neg;
  if (l5 >> 63) {
    r.hi = make128(l5, lo64(c4));
    r.lo = lo64(c3);
    r.e = a.e + b.e + 1;
  } else {
    r.hi = make128(l5, lo64(c4)) << 1 | lo64(c3) >> 63;
    r.lo = lo64(c3) << 1 | lo64(c2) >> 63;
    r.e = a.e + b.e;
  }
  if (a.hi == 0 || b.hi == 0) r = wZero();
  return r;
}

inline W wSqr(const W &a) { return wMul(a, a); }

// a * m for a small integer m != 0 (at most 2^63).
inline W wMulInt(const W &a, int64_t m) { return wMul(a, wFromInt(m)); }

// Multiply-add and polynomial helpers.
inline W wFma(const W &a, const W &b, const W &c) { return wAdd(wMul(a, b), c); }

// Horner's rule: c[0] + x*(c[1] + x*(... + x*c[n-1])).
inline W wHorner(const W &x, const W *c, int n) {
  W s = c[n - 1];
  for (int i = n - 2; i >= 0; i--) s = wAdd(wMul(s, x), c[i]);
  return s;
}

W wRecip(const W &b);                 // 1/b, b != 0
W wDiv(const W &a, const W &b);       // a/b, b != 0
W wSqrt(const W &a);                  // a >= 0

} // namespace fathom::detail
