// Extended Jacobi elliptic functions sn, cn, dn(u | kc), kc the
// complementary modulus (m = 1 - kc^2), in the 192-bit working float.
//
//   kc = 0       sn = tanh u, cn = dn = sech u
//   kc = 1       sin u, cos u, 1
//   |kc| > 1     (m < 0) sn = sd(kc u | 1/kc)/kc, cn = cd, dn = nd
//   0 < kc < 1   u = q K + v with |v| <= K/2, then the descending Gauss
//                transformation (R. Bulirsch, Numer. Math. 7, 1965): the
//                arithmetic-geometric mean of 1 and kc gives M and the
//                a_j, b_j; from sin and cos of M v (|M v| <= pi/4) the
//                ratio c = cn/sn climbs back through
//                  a <- a c, c <- c dn, dn <- (b_j + a)/(a_j + a), a <- c/a_j
//                and sn = 1/sqrt(1 + c^2), cn = c sn.  Every quantity is
//                positive for v > 0 (the sign of sn is restored at the end),
//                so nothing cancels.  The quarter-period shifts map
//                (sn, cn, dn)(v) to (cn/dn, -kc sn/dn, kc/dn): every zero of
//                sn and cn is a zero of sn(v) and keeps relative accuracy.
// K and the a_j, b_j come from one mean; the reduction u - q K is carried in
// the working float, exact while |q| K 2^-186 stays under an ulp.
#include "fathom/xspecial_elliptic.h"
#include "fathom/xsf_elliptic_wide.h"
#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"

namespace fathom {
namespace {

using detail::W;

W one() { return detail::wFromInt(1); }

struct Snd {
  W sn, cn, dn;
};

// sn, cn, dn of 0 <= v (M v <= pi/4 + a little) by the descent.
Snd descent(const xsf::AgmW &g, const W &v) {
  if (v.hi == 0) return {v, one(), one()};
  W s, c;
  detail::sincosW(detail::wMul(g.mean, v), &s, &c);
  W a = detail::wDiv(c, s);                       // cot(M v)
  W r = detail::wMul(g.mean, a);
  W dn = one();
  for (int j = g.n; j >= 0; --j) {
    a = detail::wMul(a, r);
    r = detail::wMul(r, dn);
    dn = detail::wDiv(detail::wAdd(g.b[j], a), detail::wAdd(g.a[j], a));
    a = detail::wDiv(r, g.a[j]);
  }
  W sn = detail::wDiv(one(), detail::wSqrt(detail::wAdd(one(), detail::wMul(r, r))));
  return {sn, detail::wMul(r, sn), dn};
}

// 0 < kc < 1 (or kc = 1 through the mean); false when |u| / K >= 2^180.
bool snCnDnUnit(const W &u, const W &kc, Snd *out) {
  xsf::AgmW g(kc);
  W k = g.quarterPeriod();
  W t = detail::wDiv(u, k);
  if (t.hi != 0 && t.e >= 180) return false;
  // q = u / K rounded to an integer, in two passes when it exceeds a double.
  int qmod = 0;
  W v = u;
  for (int pass = 0; pass < 3; ++pass) {
    W tv = detail::wDiv(v, k);
    if (tv.hi == 0 || tv.e < -1) break;          // |v| < K/2
    XRealValue q = rint(detail::wToX(tv));
    if (isZero(q)) break;
    XRealValue q4 = fmod(q, fromDouble(4));
    qmod += (int)toDouble(q4);
    v = detail::wSub(v, detail::wMul(detail::wFromX(q), k));
  }
  bool negative = v.neg && v.hi != 0;
  Snd r = descent(g, detail::wAbs(v));
  if (negative) r.sn = detail::wNeg(r.sn);
  switch (qmod & 3) {                              // two's complement: -1 & 3 = 3
    case 0: *out = r; break;
    case 1: *out = {detail::wDiv(r.cn, r.dn), detail::wNeg(detail::wDiv(detail::wMul(kc, r.sn), r.dn)),
                    detail::wDiv(kc, r.dn)}; break;
    case 2: *out = {detail::wNeg(r.sn), detail::wNeg(r.cn), r.dn}; break;
    default: *out = {detail::wNeg(detail::wDiv(r.cn, r.dn)), detail::wDiv(detail::wMul(kc, r.sn), r.dn),
                     detail::wDiv(kc, r.dn)}; break;
  }
  return true;
}

} // namespace

void jacobiSnCnDn(XRealValue u, XRealValue kc, XRealValue *sn, XRealValue *cn, XRealValue *dn) {
  if (isNaN(u) || isNaN(kc) || isInf(u) || isInf(kc)) {
    *sn = *cn = *dn = nan();
    return;
  }
  if (isZero(u)) {
    *sn = u;
    *cn = *dn = fromDouble(1);
    return;
  }
  W wu = detail::wFromX(u);
  if (isZero(kc)) {                                // m = 1
    if (wu.e >= 40) {                              // sech underflows
      *sn = fromDouble(signBit(u) ? -1 : 1);
      *cn = *dn = zero();
      return;
    }
    W sh, ch;
    detail::sinhcoshW(wu, &sh, &ch);
    *sn = detail::wToX(detail::wDiv(sh, ch));
    *cn = *dn = detail::wToX(detail::wDiv(one(), ch));
    return;
  }
  W k = detail::wAbs(detail::wFromX(kc));
  if (k.e == 0 && k.hi == detail::kTop && k.lo == 0) {   // m = 0
    W s, c;
    if (!detail::sincosAnyW(wu, &s, &c)) {
      *sn = *cn = *dn = nan();
      return;
    }
    *sn = detail::wToX(s);
    *cn = detail::wToX(c);
    *dn = fromDouble(1);
    return;
  }
  Snd r;
  if (k.e < 0) {
    if (!snCnDnUnit(wu, k, &r)) {
      *sn = *cn = *dn = nan();
      return;
    }
  } else {
    W rk = detail::wDiv(one(), k);
    if (!snCnDnUnit(detail::wMul(wu, k), rk, &r)) {
      *sn = *cn = *dn = nan();
      return;
    }
    r = {detail::wDiv(r.sn, detail::wMul(r.dn, k)), detail::wDiv(r.cn, r.dn), detail::wDiv(one(), r.dn)};
  }
  *sn = detail::wToX(r.sn);
  *cn = detail::wToX(r.cn);
  *dn = detail::wToX(r.dn);
}

XRealValue jacobiSn(XRealValue u, XRealValue kc) {
  XRealValue s, c, d;
  jacobiSnCnDn(u, kc, &s, &c, &d);
  return s;
}
XRealValue jacobiCn(XRealValue u, XRealValue kc) {
  XRealValue s, c, d;
  jacobiSnCnDn(u, kc, &s, &c, &d);
  return c;
}
XRealValue jacobiDn(XRealValue u, XRealValue kc) {
  XRealValue s, c, d;
  jacobiSnCnDn(u, kc, &s, &c, &d);
  return d;
}

} // namespace fathom
