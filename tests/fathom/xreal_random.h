// Random extended reals for the MPFR comparisons: whole-range exponents,
// tiny values on the underflow grid, and significands near powers of two.
#pragma once

#include <cstdint>
#include <random>

#include "fathom/xreal.h"
#include "xreal_mpfr.h"

namespace xrtest {

class RandomXReal {
public:
  explicit RandomXReal(uint64_t seed) : rng_(seed) {}

  uint64_t bits() { return rng_(); }
  int64_t uniform(int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng_);
  }
  bool coin() { return rng_() & 1; }

  // A random 127-bit fraction: uniform, or close to all zeros / all ones.
  unsigned __int128 fraction() {
    unsigned __int128 f = (unsigned __int128)bits() << 64 | bits();
    switch (uniform(0, 9)) {
    case 0: f >>= uniform(1, 127); break;                     // just above a power of two
    case 1: f = ~(f >> uniform(1, 127)); break;               // just below a power of two
    case 2: f &= ~(((unsigned __int128)1 << uniform(1, 127)) - 1); break;   // short significand
    case 3: f |= ((unsigned __int128)1 << uniform(1, 127)) - 1; break;      // trailing ones
    case 4: f = sparse(); break;                                // ties and exact results
    case 5: f = 0; break;                                       // a power of two
    default: break;
    }
    return f & ~((unsigned __int128)1 << 127);
  }

  // A few set bits, so that sums and products often end exactly at a half.
  unsigned __int128 sparse() {
    unsigned __int128 f = 0;
    for (int64_t n = uniform(1, 4); n > 0; n--) f |= (unsigned __int128)1 << uniform(0, 126);
    return f;
  }

  // A finite non-zero value with the given binary exponent; below the normal
  // range its fraction is cut to the underflow grid.
  XRealValue withExponent(int64_t e, bool negative) {
    unsigned __int128 f = fraction();
    int64_t d = kEminBinary - e;
    if (d > 127) d = 127, e = kEminBinary - 127;
    if (d > 0) f &= ~(((unsigned __int128)1 << d) - 1);
    XRealValue x;
    x.w0 = (uint32_t)(fathom::XR_BIAS + e);
    x.w1 = 0;
    x.w2 = (uint32_t)f;
    x.w3 = (uint32_t)(f >> 32);
    x.w4 = (uint32_t)(f >> 64);
    x.w5 = (uint32_t)(f >> 96) | (negative ? 0x80000000u : 0);
    return x;
  }

  // A binary exponent: anywhere in the range, near its ends, or moderate.
  int64_t exponent() {
    switch (uniform(0, 5)) {
    case 0: return uniform(kEminBinary - 127, kEminBinary + 300);
    case 1: return uniform(kEmaxBinary - 300, kEmaxBinary);
    case 2: return uniform(-300, 300);
    default: return uniform(kEminBinary - 127, kEmaxBinary);
    }
  }

  XRealValue any() { return withExponent(exponent(), coin()); }

private:
  std::mt19937_64 rng_;
};

} // namespace xrtest
