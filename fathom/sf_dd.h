// Double-double arithmetic for the special-function kernels: a value is an
// unevaluated sum hi + lo with |lo| <= ulp(hi)/2, about 106 bits.  Used
// where a kernel must carry more than 53 bits through a few operations
// (cancellation near zeros, long products, argument reduction).
#pragma once

#include <cmath>

namespace fathom::sf {

struct DD {
  double hi, lo;
};

// a + b exactly (Knuth).
inline DD twoSum(double a, double b) {
  double s = a + b;
  double bb = s - a;
  double e = (a - (s - bb)) + (b - bb);
  return {s, e};
}

// a + b exactly, given |a| >= |b| (Dekker).
inline DD fastTwoSum(double a, double b) {
  double s = a + b;
  return {s, b - (s - a)};
}

// a * b exactly: the fused multiply-add when the target has one, else
// Dekker's splitting.
inline DD twoProd(double a, double b) {
  double p = a * b;
#if defined(__FMA__) || defined(__aarch64__)
  return {p, __builtin_fma(a, b, -p)};
#else
  constexpr double split = 134217729.0;   // 2^27 + 1
  double ca = split * a, cb = split * b;
  double ah = ca - (ca - a), al = a - ah;
  double bh = cb - (cb - b), bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
#endif
}

inline DD ddAdd(DD a, DD b) {
  DD s = twoSum(a.hi, b.hi);
  DD t = twoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = fastTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return fastTwoSum(s.hi, s.lo);
}

inline DD ddAdd(double a, DD b) {
  DD s = twoSum(a, b.hi);
  s.lo += b.lo;
  return fastTwoSum(s.hi, s.lo);
}

inline DD ddNeg(DD a) { return {-a.hi, -a.lo}; }

inline DD ddMul(DD a, DD b) {
  DD p = twoProd(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return fastTwoSum(p.hi, p.lo);
}

inline DD ddMul(DD a, double b) {
  DD p = twoProd(a.hi, b);
  p.lo += a.lo * b;
  return fastTwoSum(p.hi, p.lo);
}

// a / b with one correction of the double quotient q: a - q b is formed
// exactly in its leading part, which leaves an error near 2^-104.
inline DD ddDiv(DD a, DD b) {
  double q = a.hi / b.hi;
  DD p = twoProd(q, b.hi);
  double r = (((a.hi - p.hi) - p.lo) + a.lo - q * b.lo) / b.hi;
  return fastTwoSum(q, r);
}

// 1/x: w x = 1 + e exactly, so 1/x = w (1 - e) (cheaper than ddDiv).
inline DD ddRecip(double x) {
  double w = 1 / x;
  if (!(std::fabs(x) < 0x1p1000)) return {w, 0};   // w x would overflow the split; w <= 2^-1000
  DD wx = twoProd(w, x);
  return {w, ((1 - wx.hi) - wx.lo) * w};
}

// sqrt(x) for x > 0: s^2 = x - e exactly, so sqrt(x) = s + e/(2s).
inline DD ddSqrt(double x) {
  if (x > 0x1p1000) {                               // r^2 could round past the largest double
    DD r = ddSqrt(x * 0x1p-1000);
    return {r.hi * 0x1p500, r.lo * 0x1p500};
  }
  double r = std::sqrt(x);
  DD rr = twoProd(r, r);
  return {r, ((x - rr.hi) - rr.lo) / (2 * r)};
}

inline double ddValue(DD a) { return a.hi + a.lo; }

} // namespace fathom::sf
