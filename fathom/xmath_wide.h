// The working float of the elementary functions: a 192-bit significand and
// a 64-bit exponent, truncating arithmetic.  Each operation is within two
// units of 2^-191 relative (a few units after a cancelling addition of
// inexact operands), so a kernel of a few dozen operations keeps about 185
// good bits and the one final rounding to 128 bits is almost always correct.
// The exponent never overflows here: extreme results are judged only when
// they are rounded back into an extended real.
#pragma once

#include <cstdint>
#include <utility>

#include "fathom/xreal.h"
#include "fathom/xreal_internal.h"

namespace fathom::detail {

// value = (-1)^neg * (hi:lo) * 2^(e - 191), hi having its top bit set; zero
// has hi = lo = 0 and keeps a sign through negation, multiplication and
// division (the complex functions' branch cuts read it).  So
// 1 <= |value| / 2^e < 2.
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
inline W wFromX0(XRealValue x) {  // finite, zero allowed (keeping its sign)
  return isZero(x) ? W{0, 0, 0, (bool)signBit(x)} : wFromX(x);
}
inline W wFromInt(int64_t i) {
  if (i == 0) return wZero();
  uint64_t m = i < 0 ? 0 - (uint64_t)i : (uint64_t)i;
  int lz = __builtin_clzll(m);
  return {(u128)(m << lz) << 64, 0, 63 - lz, i < 0};
}
inline W wFromDouble(double d) { return d == 0 ? wZero() : wFromX(fromDouble(d)); }
// Rounded to 128 bits; zero keeps its sign.
inline XRealValue wToX(const W &a) {
  if (a.hi == 0) return zero(a.neg);
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

// Shifts hi:lo right by n < 192, dropping the bits shifted out.
inline void wShr192(u128 &hi, uint64_t &lo, unsigned n) {
  if (n == 0) return;
  if (n < 64) {
    lo = (lo >> n) | (uint64_t)(hi << (64 - n));
    hi >>= n;
  } else if (n < 128) {
    lo = (uint64_t)(hi >> (n - 64));
    hi >>= n;
  } else {
    lo = (uint64_t)(hi >> (n - 64));
    hi = 0;
  }
}

inline W wAdd(W a, W b) {
  if (b.hi == 0) return a;
  if (a.hi == 0) return b;
  if (wMagLess(a, b)) std::swap(a, b);
  int64_t d = a.e - b.e;
  if (d >= 192) return a;
  u128 bh = b.hi;
  uint64_t bl = b.lo;
  wShr192(bh, bl, (unsigned)d);
  W r = a;
  if (a.neg == b.neg) {
    uint64_t lo = a.lo + bl;
    uint64_t c = lo < bl;
    u128 t = a.hi + bh;
    bool over = t < bh;
    u128 hi = t + c;
    over |= hi < t;
    if (over) {
      lo = lo >> 1 | (uint64_t)hi << 63;
      hi = hi >> 1 | kTop;
      r.e++;
    }
    r.hi = hi;
    r.lo = lo;
    return r;
  }
  uint64_t lo = a.lo - bl;
  u128 hi = a.hi - bh - (a.lo < bl);
  if (hi == 0 && lo == 0) return wZero();
  int lz = hi ? clz128(hi) : 128 + __builtin_clzll(lo);
  shl192(hi, lo, (unsigned)lz);
  r.hi = hi;
  r.lo = lo;
  r.e -= lz;
  return r;
}

inline W wSub(W a, W b) { return wAdd(a, wNeg(b)); }


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
  if (a.hi == 0 || b.hi == 0) r = {0, 0, 0, a.neg != b.neg};   // signed zero
  return r;
}

inline W wSqr(const W &a) { return wMul(a, a); }

// a * m for a small integer m != 0 (at most 2^63).
inline W wMulInt(const W &a, int64_t m) { return wMul(a, wFromInt(m)); }

// Multiply-add and polynomial helpers.
inline W wFma(const W &a, const W &b, const W &c) { return wAdd(wMul(a, b), c); }

// Series are summed in fixed point: a 192-bit two's complement F standing
// for F 2^-190 (|value| < 2), limbs least significant first.  The argument
// x (|x| < 2^-7) enters as |x| 2^199, exact to 2^-199; each step of
// Horner's rule costs one truncated product (error under 2^-197) and an
// addition, with no normalisation.
struct Fixed {
  uint64_t l0, l1, l2;
};

struct FixedArg {
  uint64_t a0, a1, a2;
  bool neg;
};

// x with x.e <= -8 (|x| < 2^-7).
inline FixedArg fixedArg(const W &x) {
  uint64_t a0 = x.lo, a1 = lo64(x.hi), a2 = hi64(x.hi);
  int64_t sh = -8 - x.e;
  if (x.hi == 0 || sh >= 192) return {0, 0, 0, false};
  u128 hi = x.hi;
  uint64_t lo = x.lo;
  wShr192(hi, lo, (unsigned)sh);
  a0 = lo, a1 = lo64(hi), a2 = hi64(hi);
  return {a0, a1, a2, x.neg};
}

inline Fixed fixedNeg(Fixed f) {
  uint64_t l0 = 0 - f.l0;
  uint64_t b0 = f.l0 != 0;
  uint64_t l1 = 0 - f.l1 - b0;
  uint64_t b1 = (f.l1 | b0) != 0;
  uint64_t l2 = 0 - f.l2 - b1;
  return {l0, l1, l2};
}

inline Fixed fixedAdd(Fixed a, Fixed b) {
  u128 s0 = (u128)a.l0 + b.l0;
  u128 s1 = (u128)a.l1 + b.l1 + hi64(s0);
  uint64_t s2 = a.l2 + b.l2 + hi64(s1);
  return {lo64(s0), lo64(s1), s2};
}

// s * x.
inline Fixed fixedMul(Fixed s, const FixedArg &x) {
  bool sneg = s.l2 >> 63;
  if (sneg) s = fixedNeg(s);
  u128 p02 = mul64(s.l0, x.a2), p11 = mul64(s.l1, x.a1), p20 = mul64(s.l2, x.a0);
  u128 p12 = mul64(s.l1, x.a2), p21 = mul64(s.l2, x.a1), p22 = mul64(s.l2, x.a2);
  u128 c2 = (u128)lo64(p02) + lo64(p11) + lo64(p20);
  u128 c3 = (u128)hi64(p02) + hi64(p11) + hi64(p20) + lo64(p12) + lo64(p21) + hi64(c2);
  u128 c4 = (u128)hi64(p12) + hi64(p21) + lo64(p22) + hi64(c3);
  uint64_t p5 = hi64(p22) + hi64(c4), p4 = lo64(c4), p3 = lo64(c3);
  Fixed r = {p3 >> 7 | p4 << 57, p4 >> 7 | p5 << 57, p5 >> 7};   // bits 199 and up
  return sneg != x.neg ? fixedNeg(r) : r;
}

inline W fixedToW(Fixed f) {
  bool negative = f.l2 >> 63;
  if (negative) f = fixedNeg(f);
  u128 hi = make128(f.l2, f.l1);
  uint64_t lo = f.l0;
  if (hi == 0 && lo == 0) return wZero();
  int lz = hi ? clz128(hi) : 128 + __builtin_clzll(lo);
  shl192(hi, lo, (unsigned)lz);
  return {hi, lo, 1 - (int64_t)lz, negative};
}

// Horner's rule: c[0] + x*(c[1] + x*(... + x*c[n-1])), |x| < 2^-7.
inline W wHorner(const W &x, const Fixed *c, int n) {
  FixedArg a = fixedArg(x);
  Fixed s = c[n - 1];
  for (int i = n - 2; i >= 0; i--) s = fixedAdd(fixedMul(s, a), c[i]);
  return fixedToW(s);
}

W wRecip(const W &b);                 // 1/b, b != 0
W wDiv(const W &a, const W &b);       // a/b, b != 0
W wSqrt(const W &a);                  // a >= 0

} // namespace fathom::detail
