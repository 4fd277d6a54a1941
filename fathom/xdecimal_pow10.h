// Private: powers of ten as 192-bit binary approximations, and the small
// three-limb integer arithmetic that the decimal conversions use with them.
#pragma once

#include <cstdint>

#include "fathom/xreal_internal.h"

namespace fathom::detail {

// A 192-bit unsigned integer, least significant limb first.
struct U192 {
  uint64_t w[3];
};

// m * 2^e with the top bit of m set (or m == 0).
struct Approx {
  U192 m;
  int64_t e;
};

struct Pow10Entry {
  uint64_t m0, m1, m2;
  int64_t e;
};

constexpr int kPow10Levels = 4;
constexpr int kPow10Base = 128;
// [negative][level j][d]: 10^(+-d * 128^j); d = 0 is unused.
extern const Pow10Entry kPow10Table[2][kPow10Levels][kPow10Base];

// Largest |k| that pow10 accepts.
constexpr int64_t kPow10MaxExponent = 127 * (1 + 128 + 128 * 128 + 128 * 128 * 128);

// The top 192 bits of a * b (normalised, truncated); *inexact when bits were dropped.
Approx mulApprox(const Approx &a, const Approx &b, bool *inexact);

// 10^k within `*errUlps` units of its last bit (0 when exact); |k| <= kPow10MaxExponent.
Approx pow10(int64_t k, int *errUlps);

// Bits [pos, pos + 64) of m (zero beyond the top).
uint64_t bitsAt(const U192 &m, int pos);
// m >> n for 0 <= n, as the low 128 bits of the result.
u128 shiftRight128(const U192 &m, int n);
// (m mod 2^n) compared with 2^(n-1) +- err: -1 clearly below, +1 clearly
// above, 0 when the difference is within err (n in 1..192).
int compareHalf(const U192 &m, int n, uint64_t err);

} // namespace fathom::detail
