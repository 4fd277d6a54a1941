// pow of the extended real: y^x.
//
// IEEE 754 / C99 special values first.  An integral exponent |n| < 2^31 with
// y = m 2^k (m odd) and m^|n| < 2^191 gives the exact power, rounded once
// (a negative n divides once, in the working float).
// Otherwise y^x = e^(x log|y|): log|y| to 2^-188 relative, the product in
// the working float, so that its absolute error stays below 2^-159 wherever
// the result is finite and non-zero.  Result: within 0.5 + 2^-30 ulp.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"

namespace fathom {

using namespace detail;

namespace {

// Finite x: integral, and odd.
bool isIntegral(XRealValue x) {
  if (isZero(x)) return true;
  int64_t e = (int64_t)x.w0 - kBias;
  if (e >= 127) return true;
  if (e < 0) return false;
  u128 mask = ((u128)1 << (127 - e)) - 1;
  return ((fieldOf(x) | kTop) & mask) == 0;
}

bool isOddIntegral(XRealValue x) {
  if (isZero(x) || !isIntegral(x)) return false;
  int64_t e = (int64_t)x.w0 - kBias;
  if (e > 127) return false;
  return ((fieldOf(x) | kTop) >> (127 - e)) & 1;
}

bool isInfOrNaNCase(XRealValue y, XRealValue x, XRealValue *out) {
  bool xOdd = isFinite(x) && isOddIntegral(x), xNeg = signBit(x);
  if (isZero(y)) {
    if (xNeg) *out = infinity(xOdd && signBit(y));
    else *out = xOdd ? y : zero();
    return true;
  }
  if (isInf(x)) {
    int c = compare(fabs(y), fromInt64(1));
    if (c == 0) *out = fromInt64(1);
    else *out = (c < 0) == xNeg ? infinity() : zero();
    return true;
  }
  if (isInf(y)) {
    bool negative = signBit(y) && xOdd;
    *out = xNeg ? zero(negative) : infinity(negative);
    return true;
  }
  return false;
}

// The exact power for integral n, or false: y = m 2^k with m odd, and m^|n|
// formed exactly in the working float while it fits in its 192 bits, so
// that the one rounding is right even for ties.
bool exactPower(XRealValue y, int64_t n, XRealValue *out) {
  u128 sig = fieldOf(y) | kTop;
  int tz = lo64(sig) ? __builtin_ctzll(lo64(sig)) : 64 + __builtin_ctzll(hi64(sig));
  u128 m = sig >> tz;                           // odd
  int64_t k = (int64_t)y.w0 - kBias - 127 + tz;
  uint64_t an = n < 0 ? 0 - (uint64_t)n : (uint64_t)n;
  int bits = 128 - clz128(m);
  if (m != 1 && (uint64_t)bits * an > 191) return false;
  W base = {m << (128 - bits), 0, bits - 1, false}, p = wFromInt(1);
  for (uint64_t e = an; e; e >>= 1) {           // every product exact
    if (e & 1) p = wMul(p, base);
    if (e > 1) base = wSqr(base);
  }
  p.e += k * (int64_t)an;
  p.neg = signBit(y) && (an & 1);
  if (n < 0) p = wRecip(p);
  *out = wToX(p);
  return true;
}

} // namespace

XRealValue pow(XRealValue y, XRealValue x) {
  if (isZero(x) || compare(y, fromInt64(1)) == 0) return fromInt64(1);
  if (isNaN(y) || isNaN(x)) return nan();
  XRealValue r;
  if (isInfOrNaNCase(y, x, &r)) return r;
  bool integral = isIntegral(x);
  if (signBit(y) && !integral) return nan();
  if (integral && fabs(x) < fromDouble(0x1p31)) {
    if (exactPower(y, (int64_t)toDouble(x), &r)) return r;
  }
  bool negative = signBit(y) && isOddIntegral(x);
  W t = wMul(wFromX(x), logW(wAbs(wFromX(y))));
  double td = wToDouble(t);
  if (td > 230260000.0) return infinity(negative);
  if (td < -230260100.0) return zero(negative);
  W e = expW(t);
  e.neg = negative;
  return wToX(e);
}

} // namespace fathom

namespace fathom {

using namespace detail;

// y^(1/x) with the reciprocal never rounded: e^(log y / x) at 192 bits, so
// that exact roots come out exact (root(32, 5) = 2).  x = 2 and 3 are sqrt
// and cbrt.  A negative y (-0 included) has the negative root for an odd
// integral x, else NaN; zeros, infinities and the exponents 0, infinity and
// NaN give what pow(y, 1/x) gives.
XRealValue root(XRealValue y, XRealValue x) {
  XRealValue one = fromInt64(1);
  if (!isFinite(x) || isZero(x) || isNaN(y)) return pow(y, div(one, x));
  if (compare(x, fromInt64(2)) == 0) return sqrt(y);
  if (compare(x, fromInt64(3)) == 0) return cbrt(y);
  if (signBit(y)) {
    if (!isOddIntegral(x)) return isZero(y) ? pow(y, div(one, x)) : nan();
    return neg(root(neg(y), x));
  }
  if (isZero(y) || isInf(y)) return pow(y, div(one, x));
  W t = wDiv(logW(wFromX(y)), wFromX(x));
  double td = wToDouble(t);
  if (td > 230260000.0) return infinity();
  if (td < -230260100.0) return zero();
  return wToX(expW(t));
}

} // namespace fathom
