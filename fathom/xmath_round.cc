// floor, ceil, trunc and rint (ties to even) of the extended real: the
// fraction bits below the binary point are cleared, and the integer part is
// stepped by one where the direction asks for it.  Exact; zeros keep their
// sign, and results of magnitude below one keep the argument's sign.
#include "fathom/xmath.h"
#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

namespace {

enum class Dir { Trunc, Floor, Ceil, Nearest };

// Whether the magnitude goes up to the next integer, given the dropped
// fraction (non-zero), its half point and the parity of the integer part.
bool stepUp(Dir dir, bool negative, u128 frac, u128 half, bool odd) {
  switch (dir) {
  case Dir::Trunc: return false;
  case Dir::Floor: return negative;
  case Dir::Ceil: return !negative;
  default: return frac > half || (frac == half && odd);
  }
}

XRealValue roundToInteger(XRealValue x, Dir dir) {
  if (x.w0 == 0) return x;
  int64_t e = (int64_t)x.w0 - kBias;
  if (e >= 127) return x;                      // no fraction bits
  bool negative = signBit(x);
  u128 sig = fieldOf(x) | kTop;
  if (e < 0) {                                 // 0 < |x| < 1
    u128 half = e == -1 ? kTop : ~(u128)0;     // |x| against 1/2 (only e = -1 reaches it)
    bool up = stepUp(dir, negative, sig, half, false);
    return up ? fromInt64(negative ? -1 : 1) : zero(negative);
  }
  int fracBits = (int)(127 - e);
  u128 mask = ((u128)1 << fracBits) - 1;
  u128 frac = sig & mask, ip = sig & ~mask;
  if (frac == 0) return x;
  bool odd = (ip >> fracBits) & 1;
  if (stepUp(dir, negative, frac, (u128)1 << (fracBits - 1), odd)) {
    ip += (u128)1 << fracBits;
    if (ip == 0) return packFinite(negative, x.w0 + 1, kTop);   // carried to the next power of two
  }
  return packFinite(negative, x.w0, ip);
}

} // namespace

XRealValue trunc(XRealValue x) { return roundToInteger(x, Dir::Trunc); }
XRealValue floor(XRealValue x) { return roundToInteger(x, Dir::Floor); }
XRealValue ceil(XRealValue x) { return roundToInteger(x, Dir::Ceil); }
XRealValue rint(XRealValue x) { return roundToInteger(x, Dir::Nearest); }

} // namespace fathom
