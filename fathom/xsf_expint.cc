// Extended exponential, sine and cosine integrals and Fresnel integrals.
//
// Everything runs in the 192-bit working float and rounds once.
// Power series (x the argument; they lose at most ~46 of the 64 spare bits
// to cancellation inside their ranges):
//   E1     x < 15      -gamma - log x + sum (-1)^(n+1) x^n / (n n!)
//   Ei     0 < x < 16  gamma + log x + sum x^n / (n n!)
//   Shi    |x| < 16    sum x^(2n+1) / ((2n+1) (2n+1)!)
//   Chi    0 < x < 16  gamma + log x + sum x^(2n) / (2n (2n)!)
//   Si, Ci |x| < 32    the same with alternating signs
//   C, S   |x| < 4.5   x sum (-1)^n t^k / (k! (2k+1)), t = pi x^2 / 2,
//                      even k for C, odd k for S
// Beyond them:
//   E1     x >= 15     e^-x / (x + 1/(1 + 1/(x + 2/(1 + ...)))), summed
//                      backwards from a depth chosen by x
//   Ei     16 <= x < 100  Taylor series around the nearest of the centres
//                      16, 16.5, ..., 100 (tabulated Ei(c), e^c/c)
//   Ei, Shi, Chi x >= 100  e^x / x sum k! / x^k to its smallest term
//                      (below e^-100); E1 is then negligible
//   Shi, Chi 16 <= x < 100  (Ei +- E1)/2
//   Si, Ci |x| >= 32   E1(ix) = -Ci(x) + i (Si(x) - pi/2) by its continued
//                      fraction (complex working floats, summed backwards)
//   C, S   x >= 4.5    C + iS = (1+i)/2 (1 - erfc(z)), z = sqrt(pi)/2 (1-i) x,
//                      erfc(z) = e^(-z^2) / (sqrt(pi) (z + (1/2)/(z + 1/(z +
//                      (3/2)/(z + ...))))), e^(-z^2) = e^(i pi x^2/2) with x^2/2
//                      reduced modulo 2 exactly
// Ei and Chi use expansions around their positive zeros (generated); Ci's
// zeros keep absolute accuracy relative to the amplitude.
//
// E_nu(x), real nu, x >= 0:
//   nu < 0             upward recurrence E_nu = (e^-x - nu E_(nu+1)) / x
//                      (all terms positive) from nu + k in [0, 1)
//   x >= 8 or nu > 1000 continued fraction e^-x / (x + nu - 1 nu/(x + nu + 2
//                      - 2 (nu+1)/(x + nu + 4 - ...))), backwards from a fixed
//                      depth (x >= 8) or by modified Lentz
//   otherwise          Gamma(1-nu) x^(nu-1) - sum (-x)^k / (k! (k+1-nu));
//                      within 2^-48 of an integer nu = m + 1 + e the pole
//                      term k = m and Gamma's pole combine into
//                      (-x)^m/m! (-expm1(L)/e), L = e (log x - psi(m+1))
//                      + e^2 (pi^2/6 - psi'(m+1)/2) - e^3 psi''(m+1)/6.
#include "fathom/xspecial_expint.h"

#include <array>

#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"
#include "fathom/xsf_expint_tables.h"
#include "fathom/xsf_gamma_tables.h"
#include "fathom/xsf_internal.h"

namespace fathom {
namespace xsf {
namespace {

using detail::u128;

constexpr int kTerms = 400;

const std::array<W, kTerms> &recips() {
  static const std::array<W, kTerms> r = [] {
    std::array<W, kTerms> t;
    t[0] = wOne();
    for (int k = 1; k < kTerms; ++k) t[k] = wRecip(wFromInt(k));
    return t;
  }();
  return r;
}

bool below(const W &term, const W &ref, int bits) {
  return wIsZero(term) || wExp(term) < wExp(ref) - bits;
}

// sum_{n>=1} t^n / (n n!) split by the parity of n (t > 0, t < 100).
void powerSums(const W &t, W *odd, W *even) {
  const std::array<W, kTerms> &r = recips();
  W b = t, o = t, e = detail::wZero();
  for (int n = 2; n < kTerms; ++n) {
    b = wMul(wMul(b, t), r[n]);
    W term = wMul(b, r[n]);
    W &s = n & 1 ? o : e;
    s = wAdd(s, term);
    if (n > 2 && below(term, wAdd(o, e), 196)) break;
  }
  *odd = o;
  *even = e;
}

// e^t / t sum k! / t^k for t >= 100.
W eiAsymptotic(const W &t) {
  W h = wRecip(t);
  W c = wOne(), sum = wOne();
  for (int k = 1; k < 4 * kTerms; ++k) {
    W next = wMul(wMul(c, h), wFromInt(k));
    if (!detail::wMagLess(next, c)) break;
    c = next;
    sum = wAdd(sum, c);
    if (below(c, sum, 196)) break;
  }
  return wMul(wMul(expSafe(t), h), sum);
}

// Ei(x) for 16 <= x < 100 from the nearest tabulated centre c (|d| <= 1/4):
// Ei(c + d) = Ei(c) + e^c/c sum_k h_k d^(k+1)/(k+1), where
// e^s / (1 + s/c) = sum_k h_k s^k, h_k = -h_(k-1)/c + 1/k!.
W eiTaylor(const W &x) {
  const std::array<W, kTerms> &r = recips();
  int j = (int)((wToDouble(x) - kEiCentre0) / kEiCentreStep + 0.5);
  if (j < 0) j = 0;
  if (j > (int)(sizeof kEiCentre / sizeof kEiCentre[0]) - 1) j = (int)(sizeof kEiCentre / sizeof kEiCentre[0]) - 1;
  W d = wSub(x, wFromDouble(kEiCentre0 + j * kEiCentreStep));   // exact
  W mic = wNeg(wRecip(wFromDouble(kEiCentre0 + j * kEiCentreStep)));
  W h = wOne(), fact = wOne(), dp = d, sum = d;
  for (int k = 1; k + 1 < kTerms; ++k) {
    fact = wMul(fact, r[k]);
    h = wAdd(wMul(h, mic), fact);
    dp = wMul(dp, d);
    W term = wMul(wMul(h, dp), r[k + 1]);
    sum = wAdd(sum, term);
    if (below(term, sum, 196)) break;
  }
  return wAdd(kEiCentre[j][0], wMul(kEiCentre[j][1], sum));
}

// E1(u) for u >= 15 by the continued fraction, summed backwards.
W e1Fraction(const W &u) {
  double ud = wToDouble(u);
  int depth = ud > 1e6 ? 8 : 20 + (int)(1400 / ud);
  // t_k = u + k/(1 + k/t_(k+1)) as p/q: p' = u (p + k q) + k p, q' = p + k q.
  W p = u, q = wOne();
  for (int k = depth; k >= 1; --k) {
    W kw = wFromInt(k);
    W s = wAdd(p, wMul(kw, q));
    W np = wAdd(wMul(u, s), wMul(kw, p));
    q = s;
    p = np;
  }
  return wDiv(wMul(expSafe(wNeg(u)), q), p);
}

// E1(x), x > 0 finite.
W e1W(const W &x) {
  if (wToDouble(x) >= 15) return e1Fraction(x);
  W odd, even;
  powerSums(x, &odd, &even);
  // -gamma - log x + odd - even
  return wSub(wSub(odd, even), wAdd(kWEuler, logW(x)));
}

// ---- Complex working floats ----

struct CW {
  W re, im;
};
CW cadd(const CW &a, const CW &b) { return {wAdd(a.re, b.re), wAdd(a.im, b.im)}; }
CW cmul(const CW &a, const CW &b) {
  return {wSub(wMul(a.re, b.re), wMul(a.im, b.im)), wAdd(wMul(a.re, b.im), wMul(a.im, b.re))};
}
CW cscale(const CW &a, const W &s) { return {wMul(a.re, s), wMul(a.im, s)}; }
CW crecip(const CW &b) {
  W d = wAdd(wMul(b.re, b.re), wMul(b.im, b.im));
  W inv = wRecip(d);
  return {wMul(b.re, inv), wNeg(wMul(b.im, inv))};
}
// The continued fraction b0 + a1/(b1 + a2/(b2 + ...)) with real a_k,
// truncated after `depth` levels and summed backwards as a ratio p/q (one
// division at the end); next(k, &a, &b) gives a_k and b_k for k >= 1.
template <class Next> CW backward(const CW &b0, int depth, Next next) {
  CW a, b;
  next(depth, &a, &b);
  CW p = b, q = {wOne(), detail::wZero()};
  for (int k = depth - 1; k >= 0; --k) {
    CW ak1 = a;   // a_(k+1)
    if (k > 0) next(k, &a, &b);
    else b = b0;
    CW np = cadd(cmul(b, p), cscale(q, ak1.re));
    q = p;
    p = np;
  }
  return cmul(p, crecip(q));
}

// Si and Ci of x > 0 by the series (x < 32).
void sinCosIntSeries(const W &x, W *si, W *ci) {
  const std::array<W, kTerms> &r = recips();
  W b = x, s = x, c = detail::wZero();
  for (int k = 2; k < kTerms; ++k) {
    b = wMul(wMul(b, x), r[k]);
    W term = wMul(b, r[k]);
    switch (k & 3) {
      case 0: c = wAdd(c, term); break;
      case 1: s = wAdd(s, term); break;
      case 2: c = wSub(c, term); break;
      default: s = wSub(s, term); break;
    }
    // Si is near x below 1 and of order 1 above; Ci is dominated by its
    // logarithm: terms below 2^-196 of Si and 2^-200 absolute are negligible.
    if (k > 3 && below(term, wOne(), 200) && below(term, s, 196)) break;
  }
  *si = s;
  *ci = wAdd(wAdd(kWEuler, logW(x)), c);
}

// Si and Ci of x >= 32 from E1(ix); false when sin x is out of reach.
bool sinCosIntFraction(const W &x, W *si, W *ci) {
  W sn, cs;
  if (!detail::sincosAnyW(x, &sn, &cs)) return false;
  CW z = {detail::wZero(), x};
  // E1(z) = e^-z / (z + 1 - 1/(z + 3 - 4/(z + 5 - ...))); the depth covers
  // modified Lentz's step counts to 2^-190 (76 at x = 32, 13 at 1000) by a
  // quarter and 20 more.
  double xd = wToDouble(x);
  int depth = xd > 1e6 ? 20 : 20 + (int)(3250 / xd);
  CW g = backward(CW{wOne(), x}, depth, [&](int k, CW *a, CW *b) {
    *a = {wNeg(wFromInt((int64_t)k * k)), detail::wZero()};
    *b = {wFromInt(2 * k + 1), z.im};
  });
  CW e = cmul(CW{cs, wNeg(sn)}, crecip(g));   // e^-ix / g
  *ci = wNeg(e.re);
  *si = wAdd(detail::kWPiHalf, e.im);
  return true;
}

// x^2/2 = n + f with |f| <= 1/2 (f exact to 192 bits), for finite x with
// |x| >= 1; *odd is the parity of n.
W halfSquareFrac(XRealValue x, bool *odd) {
  W w = wFromX(x);
  // x = M 2^k with the 128-bit integer M = w.hi, k = w.e - 127;
  // x^2/2 = M^2 2^-s with s = 255 - 2 w.e.
  u128 m = w.hi;
  uint64_t m1 = (uint64_t)(m >> 64), m0 = (uint64_t)m;
  u128 p00 = (u128)m0 * m0, p01 = (u128)m0 * m1, p11 = (u128)m1 * m1;
  // P = p11 2^128 + 2 p01 2^64 + p00, as four 64-bit limbs (P < 2^256).
  uint64_t limb[4];
  u128 acc = (u128)(uint64_t)p00;
  limb[0] = (uint64_t)acc;
  acc = (acc >> 64) + (p00 >> 64) + (u128)(uint64_t)p01 * 2;
  limb[1] = (uint64_t)acc;
  acc = (acc >> 64) + (p01 >> 64) * 2 + (u128)(uint64_t)p11;
  limb[2] = (uint64_t)acc;
  acc = (acc >> 64) + (p11 >> 64);
  limb[3] = (uint64_t)acc;
  int64_t s = 255 - 2 * w.e;
  *odd = false;
  if (s <= 0) {   // an integer: odd only when s = 0 and M is odd
    *odd = s == 0 && (m0 & 1);
    return detail::wZero();
  }
  auto bit = [&](int64_t i) { return i < 256 ? (limb[i / 64] >> (i % 64)) & 1 : 0; };
  *odd = bit(s) != 0;
  bool half = bit(s - 1) != 0;   // f >= 1/2: take n + 1 and f - 1
  // The fraction's bits below s, as a 192-bit working float.
  uint64_t frac[4] = {limb[0], limb[1], limb[2], limb[3]};
  for (int i = 0; i < 4; ++i) {
    int64_t lo = 64 * i;
    if (lo >= s) frac[i] = 0;
    else if (lo + 64 > s) frac[i] &= (s - lo == 64) ? ~0ull : ((1ull << (s - lo)) - 1);
  }
  if (half) {   // f - 1 = -(2^s - frac)
    uint64_t borrow = 0;
    uint64_t neg[4];
    for (int i = 0; i < 4; ++i) {
      u128 v = (u128)0 - frac[i] - borrow;
      neg[i] = (uint64_t)v;
      borrow = frac[i] != 0 || borrow ? 1 : 0;
    }
    // 2^s - frac: add 2^s (only the bits below s matter: mask again).
    for (int i = 0; i < 4; ++i) {
      int64_t lo = 64 * i;
      if (lo >= s) neg[i] = 0;
      else if (lo + 64 > s) neg[i] &= (s - lo == 64) ? ~0ull : ((1ull << (s - lo)) - 1);
    }
    for (int i = 0; i < 4; ++i) frac[i] = neg[i];
    *odd = !*odd;
  }
  int top = -1;
  for (int i = 3; i >= 0 && top < 0; --i)
    if (frac[i]) top = 64 * i + 63 - __builtin_clzll(frac[i]);
  if (top < 0) return detail::wZero();
  // Shift the 256-bit fraction so that bit `top` lands at bit 191.
  uint64_t out[3] = {0, 0, 0};
  for (int j = 0; j < 192; ++j) {
    int64_t src = top - 191 + j;
    if (src >= 0 && ((frac[src / 64] >> (src % 64)) & 1)) out[j / 64] |= 1ull << (j % 64);
  }
  W f{((u128)out[2] << 64) | out[1], out[0], top - s, half};
  return f;
}

// C(x) and S(x) for x > 0.
void fresnelW(XRealValue xv, W *cOut, W *sOut) {
  W x = wFromX(xv);
  if (wToDouble(x) < 4.5) {
    const std::array<W, kTerms> &r = recips();
    W t = wLdexp(wMul(detail::kWPi, wMul(x, x)), -1);
    W b = wOne(), c = wOne(), s = detail::wZero();
    for (int k = 1; 2 * k + 1 < kTerms; ++k) {
      b = wMul(wMul(b, t), r[k]);
      W term = wMul(b, r[2 * k + 1]);
      switch (k & 3) {
        case 0: c = wAdd(c, term); break;
        case 1: s = wAdd(s, term); break;
        case 2: c = wSub(c, term); break;
        default: s = wSub(s, term); break;
      }
      if (k > 3 && below(term, c, 196) && below(term, s, 196)) break;
    }
    *cOut = wMul(c, x);
    *sOut = wMul(s, x);
    return;
  }
  bool odd;
  W f = halfSquareFrac(xv, &odd);
  W sp, cp;
  sinCosPi(f, &sp, &cp);
  if (odd) { sp = wNeg(sp); cp = wNeg(cp); }
  W rootPi = wSqrt(detail::kWPi);
  W zr = wMul(wLdexp(rootPi, -1), x);
  CW z = {zr, wNeg(zr)};
  // The depth covers modified Lentz's step counts to 2^-190 (150 at
  // x = 4.5, 59 at 8, 28 at 20, 10 at 1000) by a quarter and 20 more.
  double xd = wToDouble(x);
  int depth = xd > 1e6 ? 20 : 20 + (int)(4000 / (xd * xd) + 190 / xd);
  CW g = backward(z, depth, [&](int k, CW *a, CW *b) {
    *a = {wLdexp(wFromInt(k), -1), detail::wZero()};
    *b = z;
  });
  CW q = cmul(CW{cp, sp}, crecip(cscale(g, rootPi)));   // e^(i theta) / (sqrt(pi) g)
  W half = wHalf();
  *cOut = wSub(half, wLdexp(wSub(q.re, q.im), -1));
  *sOut = wSub(half, wLdexp(wAdd(q.re, q.im), -1));
}

// ---- E_nu ----

// Gamma(v) for 0 < v <= 1000: Stirling's series at v + n >= 40 (where its
// truncation is below 2^-188; at 20 it is 2^-147), divided by
// v (v+1) ... (v+n-1).
W gammaPos(const W &v) {
  int n = 0;
  double vd = wToDouble(v);
  while (vd + n < 40) ++n;
  W prod = wOne();
  for (int j = 0; j < n; ++j) prod = wMul(prod, wAdd(v, wFromInt(j)));
  return wDiv(expW(lnGammaStirling(wAdd(v, wFromInt(n)))), prod);
}

// E_nu(x) by the continued fraction e^-x / F, F = b0 + a1/(b1 + a2/(b2 +
// ...)), b_k = x + nu + 2k, a_k = -k (nu + k - 1) (x > 0, nu >= 0).  For
// x >= 8 it is summed backwards from a depth that the tests' tables bound
// (the fraction converges like exp(-4 sqrt(k x))); otherwise by modified
// Lentz until the factors reach 1 within 2^-190.
W enFraction(const W &nu, const W &x) {
  W xn = wAdd(x, nu);
  double xd = wToDouble(x);
  W f;
  if (xd >= 8) {
    int depth = xd > 1e6 ? 8 : 40 + (int)(2000 / xd);
    // t_k = b_k + a_(k+1) / t_(k+1) as p/q.
    W p = wAdd(xn, wFromInt(2 * depth)), q = wOne();
    for (int k = depth - 1; k >= 0; --k) {
      W a = wNeg(wMul(wFromInt(k + 1), wAdd(nu, wFromInt(k))));
      W np = wAdd(wMul(wAdd(xn, wFromInt(2 * k)), p), wMul(a, q));
      q = p;
      p = np;
    }
    f = wDiv(p, q);
  } else {
    W c = xn, d = detail::wZero();
    f = xn;
    for (int k = 1; k < 100000; ++k) {
      W a = wNeg(wMul(wFromInt(k), wAdd(nu, wFromInt(k - 1))));
      W b = wAdd(xn, wFromInt(2 * k));
      d = wRecip(wAdd(b, wMul(a, d)));
      c = wAdd(b, wDiv(a, c));
      W delta = wMul(c, d);
      f = wMul(f, delta);
      if (below(wSub(delta, wOne()), wOne(), 190)) break;
    }
  }
  return wDiv(expSafe(wNeg(x)), f);
}

// E_nu(x) by the power series, 0 < x < 8, 0 <= nu <= 1000 (the terms reach
// e^x and the result is near e^-x/(x + nu): up to 29 bits lost, and 16 more
// next to the integer orders).
W enSeries(XRealValue nuv, const W &nu, const W &x) {
  const std::array<W, kTerms> &r = recips();
  auto inv = [&](int64_t j) { return j < kTerms ? r[j] : wRecip(wFromInt(j)); };
  XRealValue rounded = rint(nuv);
  int64_t m = (int64_t)toDouble(rounded) - 1;
  W e = wSub(nu, wFromX0(rounded));   // exact: nu = m + 1 + e
  W lx = logW(x);
  bool nearPole = m >= 0 && (wIsZero(e) || wExp(e) < -16);
  W head = detail::wZero();   // Gamma(1-nu) x^(nu-1), combined with term m near a pole
  if (nearPole) {
    // L/e = log x - psi(m+1) + sum_p c_p e^p, with
    // c_p = ((-1)^p (zeta(p+1) - H_m(p+1)) + [p odd] 2 zeta(p+1)) / (p+1)
    // and H_m(k) = sum_{j<=m} j^-k: the series of log Gamma(m+1+e) and of
    // log(pi e / sin(pi e)); terms up to e^9 (|e| < 2^-16).
    constexpr int kP = 9;
    W h[kP + 2];
    for (int k = 1; k <= kP + 1; ++k) h[k] = detail::wZero();
    W psi0 = wNeg(kWEuler);
    for (int64_t j = 1; j <= m; ++j) {
      W rj = inv(j), pw = rj;
      psi0 = wAdd(psi0, pw);
      for (int k = 2; k <= kP + 1; ++k) {
        pw = wMul(pw, rj);
        h[k] = wAdd(h[k], pw);
      }
    }
    W poly = detail::wZero();
    for (int p = kP; p >= 1; --p) {
      W c = wSub(kWZeta[p + 1], h[p + 1]);
      if (p & 1) c = wAdd(wNeg(c), wLdexp(kWZeta[p + 1], 1));
      poly = wAdd(wMul(poly, e), wMul(c, r[p + 1]));
    }
    W lOverE = wAdd(wSub(lx, psi0), wMul(e, poly));
    W factor = wIsZero(e) ? wNeg(lOverE) : wNeg(wDiv(detail::expm1W(wMul(e, lOverE)), e));
    // (-x)^m / m!
    W p = wOne();
    for (int64_t k = 1; k <= m; ++k) p = wMul(wMul(p, x), inv(k));
    if (m & 1) p = wNeg(p);
    head = wMul(p, factor);
  } else {
    // Gamma(1-nu) = (-1)^(m+1) pi / (sin(pi e) Gamma(nu)) for m >= 0, by
    // reflection, so that Gamma is taken at a positive argument.
    W g;
    if (m < 0) {
      g = gammaPos(wSub(wOne(), nu));
    } else {
      W sp, cp;
      sinCosPi(e, &sp, &cp);
      g = wDiv(detail::kWPi, wMul(sp, gammaPos(nu)));
      if (!(m & 1)) g = wNeg(g);
    }
    head = wMul(g, expSafe(wMul(wSub(nu, wOne()), lx)));
  }
  // sum over k != m (when m is the combined pole term) of (-x)^k/(k! (k+1-nu)).
  // Past k = 2x + 2 the terms fall by more than half a step, while
  // 1/(k+1-nu) grows by at most nu <= 2^10 (away from k = m): the first
  // term below 2^-206 of the larger part ends the sum.
  W b = wOne(), sum = detail::wZero();
  double kMin = 2 * wToDouble(x) + 2;
  for (int k = 0; k < kTerms; ++k) {
    if (k > 0) b = wNeg(wMul(wMul(b, x), r[k]));
    if (nearPole && k == m) continue;
    W term = wDiv(b, wSub(wFromInt(k + 1), nu));
    sum = wAdd(sum, term);
    const W &ref = detail::wMagLess(sum, head) ? head : sum;
    if (k > kMin && below(term, ref, 206)) break;
  }
  return wSub(head, sum);
}

} // namespace
} // namespace xsf

using namespace xsf;

XRealValue expIntE1(XRealValue x) {
  if (isNaN(x)) return x;
  if (signBit(x) && !isZero(x)) return nan();
  if (isZero(x)) return infinity();
  if (isInf(x)) return zero();
  return wToX(e1W(wFromX(x)));
}

XRealValue expIntEi(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(true);
  if (isInf(x)) return signBit(x) ? zero(true) : x;
  if (signBit(x)) return wToX(wNeg(e1W(wFromX(fabs(x)))));
  W r;
  if (zeroExpansion(kEiZero, x, &r)) return wToX(r);
  W t = wFromX(x);
  double td = wToDouble(t);
  if (td >= 100) return wToX(eiAsymptotic(t));
  if (td >= 16) return wToX(eiTaylor(t));
  W odd, even;
  powerSums(t, &odd, &even);
  return wToX(wAdd(wAdd(kWEuler, logW(t)), wAdd(odd, even)));
}

XRealValue sinhInt(XRealValue x) {
  if (isNaN(x) || isZero(x) || isInf(x)) return x;
  W t = wFromX(fabs(x));
  W r;
  double td = wToDouble(t);
  if (td >= 100) {
    r = wLdexp(eiAsymptotic(t), -1);
  } else if (td >= 16) {
    r = wLdexp(wAdd(eiTaylor(t), e1Fraction(t)), -1);
  } else {
    W even;
    powerSums(t, &r, &even);
  }
  return wToX(signBit(x) ? wNeg(r) : r);
}

XRealValue coshInt(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(true);
  if (signBit(x)) return nan();
  if (isInf(x)) return x;
  W r;
  if (zeroExpansion(kChiZero, x, &r)) return wToX(r);
  W t = wFromX(x);
  double td = wToDouble(t);
  if (td >= 100) return wToX(wLdexp(eiAsymptotic(t), -1));
  if (td >= 16) return wToX(wLdexp(wSub(eiTaylor(t), e1Fraction(t)), -1));
  W odd, even;
  powerSums(t, &odd, &even);
  return wToX(wAdd(wAdd(kWEuler, logW(t)), even));
}

XRealValue sinInt(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  bool neg = signBit(x);
  W r;
  if (isInf(x)) {
    r = detail::kWPiHalf;
  } else {
    W t = wFromX(fabs(x)), ci;
    if (wToDouble(t) < 32) sinCosIntSeries(t, &r, &ci);
    else if (!sinCosIntFraction(t, &r, &ci)) r = detail::kWPiHalf;   // |Si - pi/2| < 2^-1048575
  }
  return wToX(neg ? wNeg(r) : r);
}

XRealValue cosInt(XRealValue x) {
  if (isNaN(x)) return x;
  if (isZero(x)) return infinity(true);
  if (signBit(x)) return nan();
  if (isInf(x)) return zero();
  W t = wFromX(x), si, ci;
  if (wToDouble(t) < 32) sinCosIntSeries(t, &si, &ci);
  else if (!sinCosIntFraction(t, &si, &ci)) return nan();   // the sign of sin x is out of reach
  return wToX(ci);
}

XRealValue fresnelC(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (isInf(x)) return signBit(x) ? fromDouble(-0.5) : fromDouble(0.5);
  W c, s;
  fresnelW(fabs(x), &c, &s);
  return wToX(signBit(x) ? wNeg(c) : c);
}

XRealValue fresnelS(XRealValue x) {
  if (isNaN(x) || isZero(x)) return x;
  if (isInf(x)) return signBit(x) ? fromDouble(-0.5) : fromDouble(0.5);
  W c, s;
  fresnelW(fabs(x), &c, &s);
  return wToX(signBit(x) ? wNeg(s) : s);
}

XRealValue expIntEn(XRealValue nu, XRealValue x) {
  if (isNaN(nu) || isNaN(x) || (signBit(x) && !isZero(x))) return nan();
  XRealValue one = fromInt64(1);
  if (isZero(x)) return nu > one ? one / (nu - one) : infinity();
  if (isInf(x)) return zero();
  if (isInf(nu)) return signBit(nu) ? nan() : zero();
  if (nu < fromDouble(-0x1p20)) return nan();
  W w = wFromX(x), v = wFromX0(nu);
  if (signBit(nu) && !isZero(nu)) {
    // nu + k in [0, 1), then down: E_(nu+j) = (e^-x - (nu+j) E_(nu+j+1)) / x.
    XRealValue k = ceil(neg(nu));
    int64_t steps = (int64_t)toDouble(k);
    XRealValue nu0 = nu + k;   // exact: |nu| < 2^20
    W v0 = wFromX0(nu0);
    W start = wToDouble(w) >= 8 ? enFraction(v0, w) : enSeries(nu0, v0, w);
    W ex = expSafe(wNeg(w)), rx = wRecip(w);
    W cur = start;
    for (int64_t j = steps - 1; j >= 0; --j)
      cur = wMul(wSub(ex, wMul(wAdd(v, wFromInt(j)), cur)), rx);
    return wToX(cur);
  }
  if (wToDouble(w) >= 8 || wToDouble(v) > 1000) return wToX(enFraction(v, w));
  return wToX(enSeries(nu, v, w));
}

} // namespace fathom
