// The working float's addition, reciprocal, division and square root.
#include "fathom/xmath_wide.h"

#include <cmath>
#include <utility>

namespace fathom::detail {

// 1/m for the significand m in [1, 2): a double estimate, then one Newton
// step in the working float (about 104 good bits).
static W recipStep(const W &m) {
  double d = (double)hi64(m.hi) * 0x1p-63;
  W y = wFromDouble(1.0 / d);
  W one = wFromInt(1);
  W err = wSub(one, wMul(m, y));
  return wAdd(y, wMul(y, err));
}

W wRecip(const W &b) {
  W m = b;
  m.e = 0;
  m.neg = false;
  W y = recipStep(m);
  W one = wFromInt(1);
  y = wAdd(y, wMul(y, wSub(one, wMul(m, y))));
  y.e -= b.e;
  y.neg = b.neg;
  return y;
}

// Markstein's correction: q0 = a*y, q = q0 + (a - b*q0)*y.
W wDiv(const W &a, const W &b) {
  if (a.hi == 0) return {0, 0, 0, a.neg != b.neg};
  W m = b;
  m.e = 0;
  m.neg = false;
  W y = recipStep(m);
  W an = a;
  an.e = 0;
  an.neg = false;
  W q0 = wMul(an, y);
  W r = wSub(an, wMul(m, q0));
  W q = wAdd(q0, wMul(r, y));
  q.e += a.e - b.e;
  q.neg = a.neg != b.neg;
  return q;
}

// y ~ 1/sqrt(m) from a double and one Newton step, then s = m*y corrected
// by y*(m - s^2)/2.
W wSqrt(const W &a) {
  if (a.hi == 0) return a;                    // sqrt(-0) = -0
  W m = a;
  m.neg = false;
  m.e = a.e & 1;                              // m in [1, 4)
  int64_t half = (a.e - m.e) / 2;
  double d = std::ldexp((double)hi64(m.hi) * 0x1p-63, (int)m.e);
  W y = wFromDouble(1.0 / std::sqrt(d));
  W one = wFromInt(1);
  W t = wSub(one, wMul(m, wSqr(y)));
  y = wAdd(y, wLdexp(wMul(y, t), -1));
  W s = wMul(m, y);
  W c = wMul(y, wSub(m, wSqr(s)));
  s = wAdd(s, wLdexp(c, -1));
  s.e += half;
  return s;
}

} // namespace fathom::detail
