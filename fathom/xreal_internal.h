// Private helpers of the extended real: the working form (sign, biased
// exponent, explicit 128-bit significand, 64-bit guard word with a sticky
// bit), wide-integer primitives and the one rounding step.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "fathom/xreal.h"

namespace fathom::detail {

using u128 = unsigned __int128;
using i128 = __int128;

constexpr u128 kTop = (u128)1 << 127;         // explicit leading 1 / sign bit
constexpr uint64_t kHalf = 1ull << 63;        // guard word exactly one half
constexpr int64_t kBias = XR_BIAS;
constexpr int64_t kEmin = XR_EMIN;
constexpr int64_t kEmax = XR_EMAX;

constexpr uint64_t lo64(u128 x) { return (uint64_t)x; }
constexpr uint64_t hi64(u128 x) { return (uint64_t)(x >> 64); }
constexpr u128 make128(uint64_t hi, uint64_t lo) { return (u128)hi << 64 | lo; }
constexpr u128 mul64(uint64_t a, uint64_t b) { return (u128)a * b; }

// Leading zeros of a non-zero 128-bit value.
inline int clz128(u128 x) {
  uint64_t h = hi64(x);
  return h ? __builtin_clzll(h) : 64 + __builtin_clzll(lo64(x));
}

// The 128-bit field w2..w5 (sign and fraction).
inline u128 fieldOf(XRealValue x) {
  if constexpr (std::endian::native == std::endian::little) {
    u128 f;
    std::memcpy(&f, &x.w2, sizeof f);
    return f;
  } else {
    return (u128)x.w5 << 96 | (u128)x.w4 << 64 | (u128)x.w3 << 32 | x.w2;
  }
}

// The first 16 bytes go out in one store: callers copy results with a
// 16-byte load, which stalls when it has to gather several smaller stores.
inline XRealValue makeValue(uint32_t w0, uint32_t w1, u128 field) {
  XRealValue r;
#if defined(__SSE2__)
  __m128i head = _mm_unpacklo_epi64(_mm_cvtsi64_si128((long long)(w0 | (uint64_t)w1 << 32)),
                                    _mm_cvtsi64_si128((long long)lo64(field)));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(&r), head);
  uint64_t tail = hi64(field);
  std::memcpy(&r.w4, &tail, sizeof tail);
#else
  r.w0 = w0;
  r.w1 = w1;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&r.w2, &field, sizeof field);
  } else {
    r.w2 = (uint32_t)field;
    r.w3 = (uint32_t)(field >> 32);
    r.w4 = (uint32_t)(field >> 64);
    r.w5 = (uint32_t)(field >> 96);
  }
#endif
  return r;
}

inline XRealValue makeSpecial(bool neg, uint32_t cls) {
  return makeValue(0, cls, (u128)neg << 127);
}

// A finite non-zero value from a normalised significand (top bit set).
inline XRealValue packFinite(bool neg, int64_t e, u128 sig) {
  return makeValue((uint32_t)e, 0, (sig & ~kTop) | ((u128)neg << 127));
}

// Shifts the 192-bit hi:lo right by n (0..191); every bit shifted out is
// ORed into bit 0 of lo.
inline void shr192Sticky(u128 &hi, uint64_t &lo, unsigned n) {
  if (n == 0) return;
  bool lost;
  if (n < 64) {
    lost = (lo << (64 - n)) != 0;
    lo = (lo >> n) | (uint64_t)(hi << (64 - n));
    hi >>= n;
  } else if (n < 128) {
    unsigned m = n - 64;
    lost = lo != 0 || (m && (hi << (128 - m)) != 0);
    lo = (uint64_t)(hi >> m);
    hi >>= n;
  } else {
    unsigned m = n - 64;
    lost = lo != 0 || (hi << (128 - m)) != 0;
    lo = (uint64_t)(hi >> m);
    hi = 0;
  }
  lo |= lost;
}

// Shifts the 192-bit hi:lo left by n (0..191).
inline void shl192(u128 &hi, uint64_t &lo, unsigned n) {
  if (n == 0) return;
  if (n < 64) {
    hi = (hi << n) | (lo >> (64 - n));
    lo <<= n;
  } else if (n < 128) {
    hi = (hi << n) | ((u128)lo << (n - 64));
    lo = 0;
  } else {
    hi = (u128)lo << (n - 64);
    lo = 0;
  }
}

// The gradual-underflow part of the rounding step (e < EMIN).
XRealValue roundUnderflow(bool neg, int64_t e, u128 sig, uint64_t guard);

// The rounding step: sig has its top bit set, e is the biased exponent
// (w0 semantics, any int64), guard holds the next 64 bits with a sticky bit.
inline XRealValue roundPack(bool neg, int64_t e, u128 sig, uint64_t guard) {
  bool up = guard > kHalf || (guard == kHalf && (sig & 1));
  u128 s = sig + up;
  int64_t ee = e;
  if (s == 0) {                                // carry out of the top
    s = kTop;
    ee++;
  }
  if (ee >= kEmin && ee <= kEmax) [[likely]] return packFinite(neg, ee, s);
  if (ee > kEmax) return makeSpecial(neg, XR_INF);
  return roundUnderflow(neg, e, sig, guard);
}

// Full 128x128 -> 256-bit product, as four 64-bit limbs, least significant first.
inline void mul128x128(u128 a, u128 b, uint64_t p[4]) {
  u128 ll = mul64(lo64(a), lo64(b));
  u128 lh = mul64(lo64(a), hi64(b));
  u128 hl = mul64(hi64(a), lo64(b));
  u128 hh = mul64(hi64(a), hi64(b));
  u128 mid = (u128)hi64(ll) + lo64(lh) + lo64(hl);
  u128 top = (u128)hi64(mid) + hi64(lh) + hi64(hl) + lo64(hh);
  p[0] = lo64(ll);
  p[1] = lo64(mid);
  p[2] = lo64(top);
  p[3] = hi64(hh) + hi64(top);
}

// floor((hi:lo) / d) for hi < d (the quotient fits in 64 bits); *rem gets the remainder.
inline uint64_t div128by64(uint64_t hi, uint64_t lo, uint64_t d, uint64_t *rem) {
#if defined(__x86_64__)
  uint64_t q, r;
  __asm__("divq %4" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), "rm"(d) : "cc");
  *rem = r;
  return q;
#else
  u128 n = make128(hi, lo);
  uint64_t q = (uint64_t)(n / d);
  *rem = (uint64_t)(n - (u128)q * d);
  return q;
#endif
}

// Square root of the 128-bit significand x scaled by 2^s (s = 255 or 256):
// floor(sqrt(x * 2^s)) as a 192-bit value hi:lo, *exact when it is exact.
void isqrtScaled(u128 x, bool shift256, u128 *hi, uint64_t *lo, bool *exact);
// The same root before its exact correction, within a few units.
void isqrtEstimate(u128 x, bool shift256, u128 *hi, uint64_t *lo);

} // namespace fathom::detail
