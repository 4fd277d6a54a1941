// The extended real: classification, special values, exponent handling,
// comparison, the underflow half of the rounding step and the debug dump.
#include "fathom/xreal.h"

#include <cstdlib>

#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

bool isFinite(XRealValue x) { return x.w0 != 0 || x.w1 == XR_ZERO; }
bool isNaN(XRealValue x) { return x.w0 == 0 && x.w1 != XR_ZERO && x.w1 != XR_INF; }
bool isInf(XRealValue x) { return x.w0 == 0 && x.w1 == XR_INF; }
bool isZero(XRealValue x) { return x.w0 == 0 && x.w1 == XR_ZERO; }
bool signBit(XRealValue x) { return x.w5 >> 31; }

XRealValue zero(bool negative) { return makeSpecial(negative, XR_ZERO); }
XRealValue infinity(bool negative) { return makeSpecial(negative, XR_INF); }
XRealValue nan(bool negative) { return makeSpecial(negative, XR_NAN); }

XRealValue neg(XRealValue x) {
  x.w5 ^= 0x80000000u;
  return x;
}

XRealValue fabs(XRealValue x) {
  x.w5 &= 0x7FFFFFFFu;
  return x;
}

XRealValue frexp(XRealValue x, int *e) {
  if (x.w0 == 0) {
    *e = 0;
    return x;
  }
  *e = (int)((int64_t)x.w0 - (kBias - 1));
  x.w0 = (uint32_t)(kBias - 1);
  return x;
}

XRealValue ldexp(XRealValue x, int k) {
  if (x.w0 == 0) return x;
  int64_t e = (int64_t)x.w0 + k;
  u128 f = fieldOf(x);
  bool negative = f >> 127;
  if (e > kEmax) return makeSpecial(negative, XR_INF);
  if (e >= kEmin) return packFinite(negative, e, f | kTop);
  return roundUnderflow(negative, e, f | kTop, 0);
}

namespace detail {

// Below EMIN the value is rounded once more, at bit d = EMIN - e of the
// significand, so that every tiny result lies on the grid 2^(EMIN-BIAS-127);
// it keeps its own exponent and 128 - d significant bits.
XRealValue roundUnderflow(bool negative, int64_t e, u128 sig, uint64_t guard) {
  int64_t d = kEmin - e;
  if (d > 191) return makeSpecial(negative, XR_ZERO);
  shr192Sticky(sig, guard, (unsigned)d);
  bool up = guard > kHalf || (guard == kHalf && (sig & 1));
  u128 r = sig + up;
  if (r == 0) return makeSpecial(negative, XR_ZERO);
  int lz = clz128(r);
  return packFinite(negative, kEmin - lz, r << lz);
}

} // namespace detail

// Magnitude order: zero < finite < infinity; NaNs are excluded by the caller.
static int compareMagnitude(XRealValue a, XRealValue b) {
  int ra = a.w0 ? 1 : (a.w1 == XR_ZERO ? 0 : 2);
  int rb = b.w0 ? 1 : (b.w1 == XR_ZERO ? 0 : 2);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra != 1) return 0;
  if (a.w0 != b.w0) return a.w0 < b.w0 ? -1 : 1;
  u128 fa = fieldOf(a) & ~kTop, fb = fieldOf(b) & ~kTop;
  return fa == fb ? 0 : (fa < fb ? -1 : 1);
}

int compare(XRealValue a, XRealValue b) {
  if (isNaN(a) || isNaN(b)) return 2;
  if (isZero(a) && isZero(b)) return 0;
  bool sa = signBit(a), sb = signBit(b);
  if (sa != sb) return sa ? -1 : 1;
  int c = compareMagnitude(a, b);
  return sa ? -c : c;
}

static const char *specialName(XRealValue x) {
  bool negative = signBit(x);
  switch (x.w1) {
  case XR_ZERO: return negative ? "   -0" : "   +0";
  case XR_INF: return negative ? "  -Inf" : "  +Inf";
  case XR_NAN: return negative ? "  -NaN" : "  +NaN";
  default: return "  SNAN";
  }
}

void dump(FILE *out, const char *label, XRealValue x) {
  std::fprintf(out, "%8s %08x%08x %08x%08x %08x %08x ", label, x.w5, x.w4, x.w3, x.w2,
               x.w1, x.w0);
  int64_t e = x.w0;
  if (x.w0 == 0)
    std::fprintf(out, "[%-8s]", specialName(x));
  else if (std::llabs(e - kEmin) <= 999)
    std::fprintf(out, "[EMIN%+-4d]", (int)(e - kEmin));
  else if (std::llabs(e - kBias) <= 999)
    std::fprintf(out, "[  E0%+-4d]", (int)(e - kBias));
  else if (std::llabs(e - kEmax) <= 999)
    std::fprintf(out, "[EMAX%+-4d]", (int)(e - kEmax));
  std::fputc('\n', out);
}

} // namespace fathom
