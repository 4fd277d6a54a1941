// The bits of 2/pi for the Payne-Hanek reduction (generated: see
// scripts/gen_xmath_2overpi.py).
#pragma once

#include <cstdint>

namespace fathom::detail {

// Word k: floor(2/pi * 2^(64(k+1))) mod 2^64, k < kTwoOverPiWords.
extern const uint64_t *const kTwoOverPi;
extern const int64_t kTwoOverPiWords;

} // namespace fathom::detail
