// Builds extended reals bit by bit for the tests, independently of the
// library's own constructors.
#pragma once

#include <cstdint>

#include "fathom/xreal.h"

namespace xrtest {

// (-1)^negative * (1 + fraction / 2^127) * 2^binaryExponent.
inline fathom::XRealValue bits(bool negative, int64_t binaryExponent, unsigned __int128 fraction) {
  fathom::XRealValue x;
  x.w0 = (uint32_t)(fathom::XR_BIAS + binaryExponent);
  x.w1 = 0;
  x.w2 = (uint32_t)fraction;
  x.w3 = (uint32_t)(fraction >> 32);
  x.w4 = (uint32_t)(fraction >> 64);
  x.w5 = ((uint32_t)(fraction >> 96) & 0x7FFFFFFF) | (negative ? 0x80000000u : 0);
  return x;
}

// Fraction with the single bit that is worth 2^-k (1 <= k <= 127).
inline unsigned __int128 fractionBit(int k) { return (unsigned __int128)1 << (127 - k); }

inline unsigned __int128 fieldBits(fathom::XRealValue x) {
  return (unsigned __int128)x.w5 << 96 | (unsigned __int128)x.w4 << 64 |
         (unsigned __int128)x.w3 << 32 | x.w2;
}

} // namespace xrtest
