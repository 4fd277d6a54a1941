// The elliptic family's arithmetic in the 192-bit working float: a value
// type with operators, so that Carlson's duplication (fathom/sf_carlson.h)
// runs unchanged on it, and the arithmetic-geometric mean shared by the
// complete integrals and the Jacobi functions.
#pragma once

#include "fathom/sf_carlson.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_wide.h"

namespace fathom::xsf {

// A working float with the operators of a number type.  Division by a power
// of two is an exponent shift and division by 3 or 5 a product with the
// reciprocal (the duplication divides by 4 and by 3 or 5 at every step).
struct WV {
  detail::W w;
  WV() : w(detail::wZero()) {}
  WV(const detail::W &v) : w(v) {}   // NOLINT: implicit, like a number
  WV(int i) : w(detail::wFromInt(i)) {}
};

inline bool isZeroW(const WV &a) { return a.w.hi == 0; }
inline bool isNegW(const WV &a) { return a.w.neg && a.w.hi != 0; }

inline WV operator+(const WV &a, const WV &b) { return detail::wAdd(a.w, b.w); }
inline WV operator-(const WV &a, const WV &b) { return detail::wSub(a.w, b.w); }
inline WV operator-(const WV &a) { return detail::wNeg(a.w); }
inline WV operator*(const WV &a, const WV &b) { return detail::wMul(a.w, b.w); }
extern const detail::W kWThird, kWFifth;   // 1/3, 1/5 rounded to 192 bits
inline WV operator/(const WV &a, const WV &b) {
  if (b.w.lo == 0 && !b.w.neg) {
    if (b.w.hi == detail::kTop) return detail::wLdexp(a.w, -b.w.e);                      // 2^k
    if (b.w.hi == (detail::kTop | detail::kTop >> 1) && b.w.e == 1) return detail::wMul(a.w, kWThird);
    if (b.w.hi == (detail::kTop | detail::kTop >> 2) && b.w.e == 2) return detail::wMul(a.w, kWFifth);
  }
  return detail::wDiv(a.w, b.w);
}

// -1, 0, 1 (zeros of either sign equal).
inline int cmpW(const WV &a, const WV &b) {
  bool na = isNegW(a), nb = isNegW(b);
  if (na != nb) return na ? -1 : 1;
  if (detail::wMagLess(a.w, b.w)) return na ? 1 : -1;
  if (detail::wMagLess(b.w, a.w)) return na ? -1 : 1;
  return 0;
}
inline bool operator<(const WV &a, const WV &b) { return cmpW(a, b) < 0; }
inline bool operator>(const WV &a, const WV &b) { return cmpW(a, b) > 0; }
inline bool operator<=(const WV &a, const WV &b) { return cmpW(a, b) <= 0; }
inline bool operator>=(const WV &a, const WV &b) { return cmpW(a, b) >= 0; }

// RC(1, 1 + e) for -1 < e: atan(sqrt(e))/sqrt(e), or atanh(sqrt(-e))/sqrt(-e)
// below 0, by the series sum (-e)^k / (2k + 1) when |e| < 2^-8.
WV rcOnePlusW(const WV &e);

} // namespace fathom::xsf

namespace fathom::sf {

// Duplication to a spread of 2^-17, with the 7th-order series for all three
// integrals (spread^8 ~ 2^-136): the series then add under 2^-130.
template <> struct SfTraits<xsf::WV> {
  static xsf::WV sqrt(const xsf::WV &x) { return detail::wSqrt(x.w); }
  static xsf::WV fabs(const xsf::WV &x) { return detail::wAbs(x.w); }
  static inline const xsf::WV tol = detail::wLdexp(detail::wFromInt(1), -17);
  static inline const xsf::WV tolRF = tol;
  static constexpr bool highOrder = true;
  static xsf::WV rcOnePlus(const xsf::WV &e) { return xsf::rcOnePlusW(e); }
};

} // namespace fathom::sf

namespace fathom::xsf {

// The arithmetic-geometric mean of 1 and kc > 0: a[j], b[j] for j <= n
// (a[0] = 1, b[0] = kc) with |a[n] - b[n]| <= 2^-96 a[n], and the mean
// M = (a[n] + b[n]) / 2, correct to the working precision (the error after
// the next step is of order (a - b)^2 / a).  Up to 64 steps: kc down to
// 2^-(2^50) or up to 2^(2^50) converges in fewer.
struct AgmW {
  detail::W a[65], b[65];
  detail::W mean;
  int n = 0;
  explicit AgmW(const detail::W &kc);
  // K = pi / (2 M).
  detail::W quarterPeriod() const;
};

} // namespace fathom::xsf
