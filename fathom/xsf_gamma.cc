// Extended gamma function, log-gamma and factorial, and the working-float
// kernels that the rest of the family shares.
//
// Regimes (X0 = kStirlingX0 = 24):
//   x >= X0          Stirling: (x - 1/2) log x - x + log(2 pi)/2 + S(x),
//                    S = sum B_2k/(2k(2k-1) x^(2k-1)) (28 terms, 2^-165 at X0)
//   -X0 < x < X0     the upward shift Gamma(x) = Gamma(x + n) / (x (x+1) ...
//                    (x+n-1)) with x + n >= X0; every factor x + k is exact
//                    in the working float, so even x next to a pole keeps
//                    its relative accuracy
//   x <= -X0         the reflection pi / (sin(pi x) Gamma(1 - x)) in
//                    logarithms, sin(pi x) after an exact reduction
// log|Gamma| cancels at its zeros: around 1 and 2 and around every zero in
// (-41, -2) (where extended reals can lie near them) it is the zero-centred
// expansion of xsf_gamma_tables (relative accuracy up to the zero itself);
// outside those windows the result is at least 2^-16 times the terms that
// cancel, well inside the working float's 64 spare bits.
#include "fathom/xspecial_gamma.h"

#include <cmath>
#include <iterator>

#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"
#include "fathom/xsf_gamma_tables.h"

namespace fathom {
namespace xsf {

using detail::u128;

void sinCosPi(const W &f, W *s, W *c) {
  double fd = wToDouble(f);
  W pi = detail::kWPi;
  if (fd <= 0.25 && fd >= -0.25) {
    detail::sincosW(wMul(pi, f), s, c);
    return;
  }
  bool negative = fd < 0;
  W g = wSub(f, negative ? wNeg(wHalf()) : wHalf());   // exact, |g| <= 1/4
  W sg, cg;
  detail::sincosW(wMul(pi, g), &sg, &cg);
  *s = negative ? wNeg(cg) : cg;
  *c = negative ? sg : wNeg(sg);
}

W nearestFracW(const W &x, int64_t *nmod, bool *big) {
  *big = x.hi != 0 && x.e >= 62;
  *nmod = 0;
  if (x.hi == 0 || x.e < -1) return x;                // |x| < 1/2
  if (x.e == -1) {                                     // 1/2 <= |x| < 1: n = +-1
    *nmod = x.neg ? -1 : 1;
    return wSub(x, x.neg ? wNeg(wOne()) : wOne());
  }
  if (x.e >= 191) {                                    // an integer
    int64_t sh = x.e - 191;
    *nmod = sh >= 62 ? 0 : (int64_t)((x.lo << sh) & ((1ull << 62) - 1));
    if (x.neg) *nmod = -*nmod;
    return {0, 0, 0, x.neg};
  }
  // value = S 2^(e - 191), S = hi:lo; k = 191 - e fraction bits (1..192).
  unsigned k = (unsigned)(191 - x.e);
  u128 ihi = x.hi;
  uint64_t ilo = x.lo;
  detail::wShr192(ihi, ilo, k);                        // integer part of |x|
  bool half;
  if (k <= 64) half = (x.lo >> (k - 1)) & 1;
  else half = (unsigned)((x.hi >> (k - 65)) & 1);
  uint64_t m = ilo + (half ? 1 : 0);                    // |n| mod 2^64
  *nmod = (int64_t)(m & ((1ull << 62) - 1));
  if (x.neg) *nmod = -*nmod;
  // n as a working float: the integer part, plus one when rounding up.
  u128 nhi = ihi;
  uint64_t nlo = ilo;
  W n;
  if (nhi == 0 && nlo == 0) {
    n = detail::wZero();
  } else {
    int lz = nhi ? detail::clz128(nhi) : 128 + __builtin_clzll(nlo);
    detail::shl192(nhi, nlo, (unsigned)lz);
    n = {nhi, nlo, 191 - (int64_t)lz, x.neg};
  }
  if (half) n = wAdd(n, x.neg ? wNeg(wOne()) : wOne());
  return wSub(x, n);
}

namespace {

// y = x + n >= X0 and the product x (x+1) ... (x+n-1) (1 when x >= X0).
W shiftUp(const W &x, W *y) {
  double xd = wToDouble(x);
  if (xd >= kStirlingX0) {
    *y = x;
    return wOne();
  }
  int n = (int)std::ceil(kStirlingX0 - xd);
  W prod = x;
  for (int k = 1; k < n; ++k) prod = wMul(prod, wAdd(x, wFromInt(k)));
  *y = wAdd(x, wFromInt(n));
  return prod;
}

} // namespace

W nearestFrac(XRealValue x, int64_t *n, bool *big) { return nearestFracW(wFromX(x), n, big); }

W stirlingRest(const W &x) {
  W r = detail::wRecip(x);
  W u = wMul(r, r);
  return wMul(r, horner(kStirlingLnGamma, (int)std::size(kStirlingLnGamma), u));
}

W lnGammaStirling(const W &x) {
  W t = wMul(wSub(x, wHalf()), logW(x));
  return wAdd(wAdd(wSub(t, x), kWHalfLog2Pi), stirlingRest(x));
}

W lnGammaPos(const W &x) {
  W y;
  W prod = shiftUp(x, &y);
  W s = lnGammaStirling(y);
  if (y.e == x.e && y.hi == x.hi && y.lo == x.lo) return s;
  return wSub(s, logW(prod));
}

W lnGammaSigned(const W &x, int *sign) {
  *sign = 1;
  if (!wNegative(x)) return lnGammaPos(x);
  double xd = wToDouble(x);
  if (xd > -kStirlingX0) {
    W y;
    W prod = shiftUp(x, &y);
    if (wNegative(prod)) *sign = -1;
    return wSub(lnGammaStirling(y), logW(detail::wAbs(prod)));
  }
  // Gamma(x) = pi / (sin(pi x) Gamma(1 - x)).
  int64_t n;
  bool big;
  W f = nearestFracW(x, &n, &big);
  W s, c;
  sinCosPi(f, &s, &c);
  bool negative = wNegative(s) != ((n & 1) != 0);
  *sign = negative ? -1 : 1;
  W l = wSub(kWLogPi, logW(detail::wAbs(s)));
  return wSub(l, lnGammaPos(wSub(wOne(), x)));
}

W gammaW(const W &x) {
  double xd = wToDouble(x);
  if (xd >= kStirlingX0) return expSafe(lnGammaStirling(x));
  if (xd > -kStirlingX0) {
    W y;
    W prod = shiftUp(x, &y);
    return wDiv(expSafe(lnGammaStirling(y)), prod);
  }
  int sign;
  W l = lnGammaSigned(x, &sign);
  W g = expSafe(l);
  return sign < 0 ? wNeg(g) : g;
}

} // namespace xsf

namespace {

using namespace xsf;

bool isInteger(XRealValue x) { return equal(rint(x), x); }
bool isNegInteger(XRealValue x) { return signBit(x) && !isZero(x) && isInteger(x); }

} // namespace

XRealValue gamma(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(signBit(x));
  if (isInf(x)) return signBit(x) ? nan() : x;
  if (isNegInteger(x)) return nan();
  return wToX(gammaW(wFromX(x)));
}

XRealValue lnGamma(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x) || isZero(x) || isNegInteger(x)) return infinity();
  W r;
  if (!signBit(x)) {
    if (zeroExpansion(kLnGammaOne[0], x, &r) || zeroExpansion(kLnGammaTwo[0], x, &r))
      return wToX(r);
    return wToX(lnGammaPos(wFromX(x)));
  }
  double xd = toDouble(x);
  if (xd > -41 && xd < -2) {
    int n = (int)std::floor(-xd);   // x in (-n-1, -n)
    const ZeroExp *z = kLnGammaNeg + 2 * (n - 2);
    if (n >= 2 && n <= 40 && (zeroExpansion(z[0], x, &r) || zeroExpansion(z[1], x, &r)))
      return wToX(r);
  }
  int sign;
  return wToX(lnGammaSigned(wFromX(x), &sign));
}

XRealValue factorial(XRealValue x) {
  if (isNaN(x)) return x;
  if (isInf(x)) return signBit(x) ? nan() : x;
  if (isNegInteger(x)) return nan();
  if (!signBit(x) && isInteger(x) && toDouble(x) <= 100) {
    // The product is exact while it fits 192 bits (up to 57!), so n! is
    // exact wherever it is representable; beyond, within 2^-184.
    int n = (int)toDouble(x);
    W p = wOne();
    for (int k = 2; k <= n; ++k) p = wMul(p, wFromInt(k));
    return wToX(p);
  }
  W w = wAdd(wFromX0(x), wOne());
  return wToX(gammaW(w));
}

} // namespace fathom
