// Extended elliptic integrals in the complementary modulus kc, in the
// 192-bit working float, rounded once at the end.
//
// Complete K and E by the arithmetic-geometric mean of 1 and kc:
//   K = pi / (2 M),  E = K (1 - sum_j 2^(j-1) c_j^2),
//   c_0^2 = m = (1 - kc)(1 + kc), c_(j+1) = (a_j - b_j) / 2,
// with E(kc) = kc E(1/kc) for kc > 1 (the sum then has no terms of both
// signs).  As kc -> 0 the sum tends to 1 and the difference is about
// 1 / log(4/kc): the working float's 64 spare bits absorb that.
// The complete Pi by Bulirsch's cel (see below), for n > 1 (the Cauchy
// principal value) as K - Pi(m/n): a single cel of terms of one sign.
// The incomplete integrals use Carlson's forms, the same template as the
// doubles (fathom/sf_carlson.h) on the working float (RF from the RD or RJ
// duplication), with the arguments scaled by 1/x^2 for |x| > 1 so that
// nothing grows with x:
//   F  = x RF(1, 1 + kc^2 x^2, 1 + x^2)
//   E  = F - (m/3) x^3 RD(1, 1 + kc^2 x^2, 1 + x^2)
//   Pi = F + (n/3) x^3 RJ(1, 1 + kc^2 x^2, 1 + x^2, 1 + (1 - n) x^2)
// and for n < 0 or a large principal value Pi rewritten without the
// cancellation of that sum (see ellipticPiInc).  For n sin^2 phi > 1 Pi is
// the Cauchy principal value; n = 1 with the complete integral, or
// 1 + (1 - n) x^2 = 0, is a pole (+inf).
#include "fathom/xspecial_elliptic.h"
#include "fathom/xsf_elliptic_wide.h"
#include "fathom/xmath_tables.h"

namespace fathom {

namespace xsf {

using detail::W;

// 1/3 and 1/5 to 192 bits (0.0101... and 0.00110011... repeating).
const W kWThird = detail::wConst(0xaaaaaaaaaaaaaaaaull, 0xaaaaaaaaaaaaaaaaull, 0xaaaaaaaaaaaaaaabull, -2);
const W kWFifth = detail::wConst(0xccccccccccccccccull, 0xccccccccccccccccull, 0xcccccccccccccccdull, -3);

// 1 / (2k + 1), k < 24, for the series of RC.
static const W *oddReciprocals() {
  static const struct Table {
    W r[24];
    Table() {
      for (int k = 0; k < 24; ++k) r[k] = detail::wDiv(detail::wFromInt(1), detail::wFromInt(2 * k + 1));
    }
  } t;
  return t.r;
}

WV rcOnePlusW(const WV &e) {
  if (isZeroW(e)) return 1;
  if (e.w.e < -8) {
    // sum_k (-e)^k / (2k + 1) to |e|^k below 2^-192.
    int terms = (int)(192 / -e.w.e) + 1;
    if (terms > 24) terms = 24;
    const W *r = oddReciprocals();
    W me = detail::wNeg(e.w);
    W s = r[terms - 1];
    for (int k = terms - 2; k >= 0; --k) s = detail::wAdd(detail::wMul(s, me), r[k]);
    return s;
  }
  if (!e.w.neg) {
    W t = detail::wSqrt(e.w);
    return detail::wDiv(detail::atanRatioW(t, detail::wFromInt(1)), t);
  }
  // atanh(t) / t = log1p(2t / (1 - t)) / (2t), t = sqrt(-e) < 1.
  W t = detail::wSqrt(detail::wNeg(e.w));
  W q = detail::wDiv(detail::wLdexp(t, 1), detail::wSub(detail::wFromInt(1), t));
  return detail::wDiv(detail::log1pW(q), detail::wLdexp(t, 1));
}

AgmW::AgmW(const W &kc) {
  a[0] = detail::wFromInt(1);
  b[0] = kc;
  W tol = detail::wLdexp(detail::wFromInt(1), -96);
  while (n < 64) {
    W d = detail::wAbs(detail::wSub(a[n], b[n]));
    if (!detail::wMagLess(detail::wMul(tol, a[n]), d)) break;
    a[n + 1] = detail::wLdexp(detail::wAdd(a[n], b[n]), -1);
    b[n + 1] = detail::wSqrt(detail::wMul(a[n], b[n]));
    ++n;
  }
  mean = detail::wLdexp(detail::wAdd(a[n], b[n]), -1);
}

W AgmW::quarterPeriod() const { return detail::wDiv(detail::kWPiHalf, mean); }

} // namespace xsf

namespace {

using detail::W;
using xsf::WV;

bool anyNaN(XRealValue a, XRealValue b) { return isNaN(a) || isNaN(b); }

W one() { return detail::wFromInt(1); }

// m = 1 - kc^2 = (1 - kc)(1 + kc), without cancellation near kc = 1.
W mOf(const W &kc) { return detail::wMul(detail::wSub(one(), kc), detail::wAdd(one(), kc)); }

// K (second = false) or E for 0 < kc <= 1.
W completeUnit(const W &kc, bool second) {
  xsf::AgmW g(kc);
  W k = g.quarterPeriod();
  if (!second) return k;
  W s = detail::wLdexp(mOf(kc), -1);            // 2^-1 c_0^2
  for (int j = 0; j < g.n; ++j) {               // 2^j c_(j+1)^2 = 2^(j-2) (a_j - b_j)^2
    W c = detail::wSub(g.a[j], g.b[j]);
    s = detail::wAdd(s, detail::wLdexp(detail::wMul(c, c), j - 2));
  }
  W c = detail::wSub(g.a[g.n], g.b[g.n]);       // the last half step
  s = detail::wAdd(s, detail::wLdexp(detail::wMul(c, c), g.n - 2));
  return detail::wMul(k, detail::wSub(one(), s));
}

// K or E for finite kc > 0.
W complete(const W &kc, bool second) {
  if (kc.e >= 0 && !(kc.e == 0 && kc.hi == detail::kTop && kc.lo == 0)) {   // kc > 1
    W r = detail::wDiv(one(), kc);
    W v = completeUnit(r, second);
    return second ? detail::wMul(v, kc) : detail::wMul(v, r);
  }
  return completeUnit(kc, second);
}

// Bulirsch's general complete integral, for p > 0:
//   cel(kc, p, a, b) = int_0^(pi/2) (a cos^2 + b sin^2) dphi
//                      / ((cos^2 + p sin^2) sqrt(cos^2 + kc^2 sin^2)),
// by the Gauss transformation (R. Bulirsch, Numer. Math. 13, 1969), which
// converges quadratically like the mean of 1 and kc.  With a and b of one
// sign every term keeps that sign: nothing cancels.  Pi(n, kc) =
// cel(kc, 1 - n, 1, 1).
W cel(const W &kc, const W &p0, const W &a0, const W &b0) {
  W e = kc, qc = kc, em = one();
  W p = detail::wSqrt(p0);
  W a = a0, b = detail::wDiv(b0, p);
  W tol = detail::wLdexp(one(), -96);
  for (int i = 0; i < 80; ++i) {
    W f = a;
    a = detail::wAdd(a, detail::wDiv(b, p));
    W g = detail::wDiv(e, p);
    b = detail::wLdexp(detail::wAdd(b, detail::wMul(f, g)), 1);
    p = detail::wAdd(g, p);
    g = em;
    em = detail::wAdd(em, qc);
    if (!detail::wMagLess(detail::wMul(g, tol), detail::wAbs(detail::wSub(g, qc)))) break;
    qc = detail::wLdexp(detail::wSqrt(e), 1);
    e = detail::wMul(qc, em);
  }
  W num = detail::wMul(detail::kWPiHalf, detail::wAdd(b, detail::wMul(a, em)));
  return detail::wDiv(num, detail::wMul(em, detail::wAdd(em, p)));
}

// From |n| = 2^20 on, F + (n/3) x^3 RJ loses more than 10 of the working
// float's 64 spare bits (about log2 sqrt|n|), and Pi takes the form without
// the cancellation.
const XRealValue kLargeN = fromDouble(0x1p20);

// The Carlson arguments after scaling (see the top of the file): c = |x| or
// 1 is RF's factor, c3 = |x|^3 or 1 the factor of RD and RJ, t2 = x^2 or
// 1/x^2; u = x^2 or 1 is the scale of the differences a = y - x = kc^2 u
// and b = z - x = u.
struct Scaled {
  WV x, y, z, c, c3, t2, u, k2;
  bool small;   // |x| <= 1
};

Scaled scale(XRealValue x, XRealValue kc) {
  W ax = detail::wAbs(detail::wFromX(x)), k = detail::wFromX0(kc);
  W k2 = detail::wMul(k, k);
  if (compare(fabs(x), fromDouble(1)) <= 0) {
    W x2 = detail::wMul(ax, ax);
    return {1, one() + WV(detail::wMul(k2, x2)), one() + WV(x2), ax, detail::wMul(ax, x2), x2, x2, k2, true};
  }
  W t2 = detail::wDiv(one(), detail::wMul(ax, ax));
  return {t2, WV(k2) + WV(t2), one() + WV(t2), 1, 1, t2, 1, k2, false};
}

XRealValue signed_(const W &v, bool negative) { return detail::wToX(negative ? detail::wNeg(v) : v); }

} // namespace

XRealValue ellipticK(XRealValue kc) {
  if (isNaN(kc)) return kc;
  if (isZero(kc)) return infinity();
  if (isInf(kc)) return zero();
  return detail::wToX(complete(detail::wAbs(detail::wFromX(kc)), false));
}

XRealValue ellipticE(XRealValue kc) {
  if (isNaN(kc)) return kc;
  if (isZero(kc)) return fromDouble(1);
  if (isInf(kc)) return infinity();
  return detail::wToX(complete(detail::wAbs(detail::wFromX(kc)), true));
}

XRealValue ellipticPi(XRealValue n, XRealValue kc) {
  if (anyNaN(n, kc)) return nan();
  if (n == fromDouble(1) || isZero(kc)) return infinity();
  if (isInf(kc)) return isInf(n) ? nan() : zero();
  W k = detail::wAbs(detail::wFromX(kc));
  if (n > fromDouble(1)) {
    // The principal value: Pi(n) = K - Pi(m/n) = -cel(kc, 1 - m/n, 0, m/n).
    W m = mOf(k);
    if (isInf(n)) return zero(!m.neg && m.hi != 0);   // -0 for m > 0
    W mn = detail::wDiv(m, detail::wFromX(n));
    return detail::wToX(detail::wNeg(cel(k, detail::wSub(one(), mn), detail::wZero(), mn)));
  }
  if (isInf(n)) return zero();                   // n = -inf
  return detail::wToX(cel(k, detail::wSub(one(), detail::wFromX(n)), one(), one()));
}

XRealValue ellipticF(XRealValue x, XRealValue kc) {
  if (anyNaN(x, kc)) return nan();
  if (isInf(x)) { XRealValue k = ellipticK(kc); return signBit(x) ? neg(k) : k; }
  if (isZero(x)) return x;
  if (isInf(kc)) return zero(signBit(x));
  Scaled s = scale(x, kc);
  WV f = s.c * sf::carlsonRFT<WV>(s.x, s.y, s.z);
  return signed_(f.w, signBit(x));
}

XRealValue ellipticEInc(XRealValue x, XRealValue kc) {
  if (anyNaN(x, kc)) return nan();
  if (isInf(x)) { XRealValue e = ellipticE(kc); return signBit(x) ? neg(e) : e; }
  if (isZero(x)) return x;
  if (isInf(kc)) return infinity(signBit(x));
  Scaled s = scale(x, kc);
  WV f, d = sf::carlsonRDT<WV>(s.x, s.y, s.z, &f);
  WV m = mOf(detail::wAbs(detail::wFromX0(kc)));
  WV e = s.c * f - m / WV(3) * s.c3 * d;
  return signed_(e.w, signBit(x));
}

XRealValue ellipticPiInc(XRealValue n, XRealValue x, XRealValue kc) {
  if (isNaN(n) || anyNaN(x, kc)) return nan();
  if (isInf(x)) { XRealValue p = ellipticPi(n, kc); return signBit(x) ? neg(p) : p; }
  if (isZero(x)) return x;
  if (isInf(kc)) return isInf(n) ? nan() : zero(signBit(x));
  if (isInf(n)) return nan();
  Scaled s = scale(x, kc);
  WV omn = one() - WV(detail::wFromX(n));
  WV p = s.small ? one() + omn * s.t2 : s.t2 + omn;
  if (isZeroW(p)) return infinity();
  WV v = detail::wNeg(detail::wFromX(n));
  WV qx = s.k2 * s.u * s.u / ((one() + v) * s.u);
  if (fabs(n) > kLargeN && (signBit(n) || (isNegW(p) && s.x + qx + qx > 0))) {
    // n < -2^20, or a principal value (p < 0) with n > 2^20 and q > x/2 (n
    // above 1 + 2 kc^2 x^2): the form without cancellation (sf_carlson.h).
    WV r = sf::carlsonPiLargeN<WV>(s.x, s.y, s.z, s.c, s.u, s.k2, v, p);
    return signed_(r.w, signBit(x));
  }
  WV f, j = sf::carlsonRJT<WV>(s.x, s.y, s.z, p, &f);
  WV r = s.c * f + WV(detail::wFromX(n)) / WV(3) * s.c3 * j;
  return signed_(r.w, signBit(x));
}

} // namespace fathom
