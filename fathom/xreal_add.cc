// Addition and subtraction of extended reals, exactly rounded: the smaller
// operand is aligned inside the 192-bit working significand with a sticky
// bit, so the guard word always knows where the lost part lies.
#include <utility>

#include "fathom/xreal.h"
#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

// At least one operand is zero, infinite or NaN.
static XRealValue addSpecial(XRealValue a, XRealValue b) {
  if (isNaN(a) || isNaN(b)) return nan(isNaN(a) ? signBit(a) : signBit(b));
  if (isInf(a) && isInf(b))
    return signBit(a) == signBit(b) ? a : nan(false);
  if (isInf(a)) return a;
  if (isInf(b)) return b;
  if (isZero(a) && isZero(b)) return zero(signBit(a) && signBit(b));
  return isZero(a) ? b : a;
}

XRealValue add(XRealValue a, XRealValue b) {
  if (a.w0 == 0 || b.w0 == 0) [[unlikely]] return addSpecial(a, b);
  int64_t ea = a.w0, eb = b.w0;
  u128 fa = fieldOf(a), fb = fieldOf(b);
  // Order by magnitude (the sign bit shifted out of the comparison).
  if (ea < eb || (ea == eb && (fa << 1) < (fb << 1))) {
    std::swap(ea, eb);
    std::swap(fa, fb);
  }
  bool sa = fa >> 127, sb = fb >> 127;
  u128 ma = fa | kTop;
  int64_t diff = ea - eb;
  if (diff >= 192) return packFinite(sa, ea, ma);   // b lies below every guard bit
  u128 hi = fb | kTop;
  uint64_t lo = 0;
  shr192Sticky(hi, lo, (unsigned)diff);
  if (sa == sb) {
    u128 s = ma + hi;
    if (s < ma) {                                   // carry: one more bit on top
      lo = (lo >> 1) | (lo & 1) | (uint64_t)s << 63;
      s = (s >> 1) | kTop;
      ea++;
    }
    return roundPack(sa, ea, s, lo);
  }
  uint64_t rlo = 0 - lo;
  u128 rhi = ma - hi - (lo != 0);
  if (rhi == 0 && rlo == 0) return zero(false);    // x + -x is +0 when rounding to nearest
  int lz = rhi ? clz128(rhi) : 128 + __builtin_clzll(rlo);
  shl192(rhi, rlo, (unsigned)lz);
  return roundPack(sa, ea - lz, rhi, rlo);
}

XRealValue sub(XRealValue a, XRealValue b) { return add(a, neg(b)); }

} // namespace fathom
