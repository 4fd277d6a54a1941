// Square root of an extended real: a double-precision estimate refined by
// two coupled Newton steps in fixed point (root and reciprocal root) to a few
// units of 2^-192, then fixed exactly against the integer remainder.
#include <cmath>

#include "fathom/xreal.h"
#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

namespace {

// A 256-bit two's-complement integer, least significant limb first.
struct Wide {
  uint64_t w[4];
  bool negative() const { return w[3] >> 63; }
};

Wide addWide(Wide a, Wide b) {
  u128 s0 = (u128)a.w[0] + b.w[0];
  u128 s1 = (u128)a.w[1] + b.w[1] + hi64(s0);
  u128 s2 = (u128)a.w[2] + b.w[2] + hi64(s1);
  return {{lo64(s0), lo64(s1), lo64(s2), a.w[3] + b.w[3] + hi64(s2)}};
}

Wide negWide(Wide a) {
  return addWide({{~a.w[0], ~a.w[1], ~a.w[2], ~a.w[3]}}, {{1, 0, 0, 0}});
}

// 2r + 1 (sign = +1) or 2r - 1 (sign = -1) for a 192-bit r.
Wide twiceOffset(u128 hi, uint64_t lo, int sign) {
  Wide r = {{lo << 1, (uint64_t)(hi << 1) | lo >> 63, (uint64_t)(hi >> 63), (uint64_t)(hi >> 127)}};
  return addWide(r, sign > 0 ? Wide{{1, 0, 0, 0}} : Wide{{~0ull, ~0ull, ~0ull, ~0ull}});
}

// Low 256 bits of N - R^2 for N = T*2^256 + half*2^255 and R = hi:lo; the
// true remainder is small, so these bits are its two's complement.
Wide remainder(bool half, u128 hi, uint64_t lo) {
  uint64_t r0 = lo, r1 = lo64(hi), r2 = hi64(hi);
  u128 p00 = mul64(r0, r0), p01 = mul64(r0, r1), p02 = mul64(r0, r2);
  u128 p11 = mul64(r1, r1), p12 = mul64(r1, r2);
  u128 t1 = (u128)hi64(p00) + lo64(p01) + lo64(p01);
  u128 t2 = (u128)hi64(t1) + hi64(p01) + hi64(p01) + lo64(p02) + lo64(p02) + lo64(p11);
  uint64_t s3 = hi64(t2) + hi64(p02) + hi64(p02) + hi64(p11) + lo64(p12) + lo64(p12);
  Wide sq = {{lo64(p00), lo64(t1), lo64(t2), s3}};
  return addWide({{0, 0, 0, (uint64_t)half << 63}}, negWide(sq));
}

// Root to about 2^-100 relative (R1 = r1 * 2^128) and the reciprocal root
// (Y1 = y1 * 2^126), from the top 128 bits t of the radicand.
void newtonStart(u128 t, u128 *r1out, u128 *y1out) {
  double td = (double)hi64(t) * 0x1p-64 + (double)lo64(t) * 0x1p-128;
  double r0d = std::sqrt(td);
  uint64_t r0 = r0d >= 1.0 ? ~0ull : (uint64_t)(r0d * 0x1p64);
  uint64_t y0 = (uint64_t)(0x1p62 / r0d);
  // r1 = r0 + y0 (t - r0^2) / 2
  i128 e1 = (i128)(t - mul64(r0, r0));
  i128 c1 = ((i128)y0 * (e1 >> 17)) >> 46;
  u128 r1 = ((u128)r0 << 64) + (u128)c1;
  if (c1 > 0 && r1 < ((u128)r0 << 64)) r1 = ~(u128)0;
  // y1 = y0 + y0 (1 - r1 y0)
  u128 ph = mul64(hi64(r1), y0), pl = mul64(lo64(r1), y0);
  u128 mid = (u128)hi64(pl) + lo64(ph);
  u128 p78 = make128(hi64(ph) + hi64(mid), lo64(mid)) >> 14;
  i128 e2 = (i128)(((u128)1 << 112) - p78);
  i128 c2 = ((i128)y0 * e2) >> 48;
  *r1out = r1;
  *y1out = ((u128)y0 << 64) + (u128)c2;
}

} // namespace

namespace detail {

void isqrtEstimate(u128 x, bool shift256, u128 *hiOut, uint64_t *loOut) {
  u128 t = shift256 ? x : x >> 1;
  bool half = !shift256 && (x & 1);
  u128 r1, y1;
  newtonStart(t, &r1, &y1);
  // r2 = r1 + y1 (n - r1^2) / 2, with n - r1^2 taken from the top 256 bits.
  uint64_t sq[4];
  mul128x128(r1, r1, sq);
  Wide n = {{0, (uint64_t)half << 63, lo64(t), hi64(t)}};
  Wide e3 = addWide(n, negWide(Wide{{sq[0], sq[1], sq[2], sq[3]}}));
  i128 e3s = (i128)make128(e3.w[2], e3.w[1]);
  u128 mag = e3s < 0 ? (u128)-e3s : (u128)e3s;
  uint64_t pp[4];
  mul128x128(y1, mag, pp);
  u128 c3 = make128(pp[2], pp[1]) >> 63 | (u128)pp[3] << 65;
  u128 hi = r1;
  uint64_t lo;
  if (e3s >= 0) {
    lo = lo64(c3);
    hi += hi64(c3);
    if (hi < r1) {
      hi = ~(u128)0;
      lo = ~0ull;
    }
  } else {
    lo = 0 - lo64(c3);
    hi -= hi64(c3) + (lo64(c3) != 0);
  }
  *hiOut = hi;
  *loOut = lo;
}

void isqrtScaled(u128 x, bool shift256, u128 *hiOut, uint64_t *loOut, bool *exact) {
  bool half = !shift256 && (x & 1);
  u128 hi;
  uint64_t lo;
  isqrtEstimate(x, shift256, &hi, &lo);
  // Exact correction until 0 <= N - R^2 <= 2R.
  Wide rem = remainder(half, hi, lo);
  while (rem.negative()) {
    rem = addWide(rem, twiceOffset(hi, lo, -1));
    hi -= lo == 0;
    lo--;
  }
  for (;;) {
    Wide next = addWide(rem, negWide(twiceOffset(hi, lo, 1)));
    if (next.negative()) break;
    rem = next;
    lo++;
    hi += lo == 0;
  }
  *hiOut = hi;
  *loOut = lo;
  *exact = (rem.w[0] | rem.w[1] | rem.w[2] | rem.w[3]) == 0;
}

} // namespace detail

XRealValue sqrt(XRealValue x) {
  if (x.w0 == 0) [[unlikely]] {
    if (isNaN(x)) return nan(signBit(x));
    if (isInf(x) && signBit(x)) return nan(false);
    return x;                                      // +-0 and +inf are their own roots
  }
  u128 f = fieldOf(x);
  if (f >> 127) return nan(false);
  int64_t e = (int64_t)x.w0 - kBias;
  bool odd = e & 1;
  u128 hi;
  uint64_t lo;
  bool exact;
  isqrtScaled(f | kTop, odd, &hi, &lo, &exact);
  int64_t s = odd ? 256 : 255;
  return roundPack(false, kBias + 191 + (e - 127 - s) / 2, hi, lo | !exact);
}

} // namespace fathom
