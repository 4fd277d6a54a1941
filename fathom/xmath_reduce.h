// The bits of 2/pi for the Payne-Hanek reduction (generated: see
// scripts/gen_xmath_2overpi.py).
#pragma once

#include <cstdint>

namespace fathom::detail {

// Arguments with binary exponents below this (|x| < 2^1048576, about
// 1e315652) are reduced exactly; sin, cos and tan of larger ones are NaN.
// There the argument's last unit is more than 10^315613 turns, so no angle
// is left to reduce, and the table stays near 128 kB instead of the 41.5 MB
// that the top of the extended range would need.
constexpr int64_t kReduceExponentLimit = int64_t(1) << 20;

// Word k: floor(2/pi * 2^(64(k+1))) mod 2^64.  The reduction of exponent e
// reads the 10 words from (e - 257) / 64 + 1 on.
constexpr int64_t kTwoOverPiWords = (kReduceExponentLimit - 1 - 257) / 64 + 1 + 10;
extern const uint64_t kTwoOverPi[kTwoOverPiWords];

} // namespace fathom::detail
