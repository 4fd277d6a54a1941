// Constants, reduction tables and series coefficients of the extended
// elementary functions (generated: see scripts/gen_xmath_tables.py).
#pragma once

#include "fathom/xmath_wide.h"

namespace fathom::detail {

extern const XRealValue kXPi, kXE, kXEuler, kXCatalan, kXLn2, kXLn10;
extern const W kWLn2, kWLn10, kWInvLn10, kWPi, kWPiHalf, kWLog2E;

extern const W kExp2Frac[256];   // 2^(j/256)
extern const Fixed kExpCoef[16];     // 1/n!

// A short reciprocal c (exact), c - 1 and -log(c).
struct LogEntry {
  W c, cm1, mlog;
};
constexpr int kLogStage1Lo = -76, kLogStage1Hi = 107;
constexpr int kLogStage2R = 190;
extern const LogEntry kLogStage1[184];   // c ~ 1/(1 + j/256)
extern const LogEntry kLogStage2[381];   // c ~ 1/(1 + j/2^16)
extern const Fixed kLogCoef[12];             // (-1)^k/(k+1)

constexpr int kSinCosTabSize = 203;
extern const W kSinTab[203];             // sin(j/256)
extern const W kCosTab[203];             // cos(j/256)
extern const Fixed kSinCoef[9];              // (-1)^k/(2k+1)!
extern const Fixed kCosCoef[9];              // (-1)^k/(2k)!

extern const W kAtanTab[129];            // atan(j/128)
extern const Fixed kAtanCoef[13];            // (-1)^k/(2k+1)

} // namespace fathom::detail
