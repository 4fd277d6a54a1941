// Multiplication and division of extended reals, correctly rounded through
// the one rounding step; every discarded product or remainder bit ends up in
// the sticky bit of the guard word.
#include "fathom/xreal.h"
#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

static XRealValue mulSpecial(XRealValue a, XRealValue b) {
  bool s = signBit(a) != signBit(b);
  if (isNaN(a) || isNaN(b)) return nan(isNaN(a) ? signBit(a) : signBit(b));
  if ((isInf(a) && isZero(b)) || (isZero(a) && isInf(b))) return nan(false);
  if (isInf(a) || isInf(b)) return infinity(s);
  return zero(s);
}

XRealValue mul(XRealValue a, XRealValue b) {
  if (a.w0 == 0 || b.w0 == 0) [[unlikely]] return mulSpecial(a, b);
  u128 fa = fieldOf(a), fb = fieldOf(b);
  bool s = (fa ^ fb) >> 127;
  int64_t e = (int64_t)a.w0 + b.w0 - kBias;
  uint64_t p[4];
  mul128x128(fa | kTop, fb | kTop, p);
  if (p[3] >> 63) return roundPack(s, e + 1, make128(p[3], p[2]), p[1] | (p[0] != 0));
  // The product lies in [1, 2): one left shift normalises it.
  u128 sig = make128(p[3], p[2]) << 1 | p[1] >> 63;
  uint64_t guard = p[1] << 1 | p[0] >> 63 | ((p[0] << 1) != 0);
  return roundPack(s, e, sig, guard);
}

static XRealValue divSpecial(XRealValue a, XRealValue b) {
  bool s = signBit(a) != signBit(b);
  if (isNaN(a) || isNaN(b)) return nan(isNaN(a) ? signBit(a) : signBit(b));
  if ((isInf(a) && isInf(b)) || (isZero(a) && isZero(b))) return nan(false);
  if (isInf(a) || isZero(b)) return infinity(s);
  return zero(s);
}

namespace {

// Division of a three-limb numerator by a normalised two-limb divisor with
// a precomputed reciprocal (Moller and Granlund, "Improved division by
// invariant integers", 2011): one 64-bit quotient limb per step.
struct Divisor {
  uint64_t d1, d0, v;   // v = floor((2^192 - 1) / (d1:d0)) - 2^64
};

Divisor makeDivisor(u128 d) {
  uint64_t d1 = hi64(d), d0 = lo64(d), r;
  uint64_t v = div128by64(~d1, ~0ull, d1, &r);   // floor((2^128 - 1) / d1) - 2^64
  uint64_t p = d1 * v + d0;
  if (p < d0) {
    v--;
    if (p >= d1) {
      v--;
      p -= d1;
    }
    p -= d1;
  }
  u128 t = mul64(v, d0);
  p += hi64(t);
  if (p < hi64(t)) {
    v--;
    if (make128(p, lo64(t)) >= d) v--;
  }
  return {d1, d0, v};
}

// Divides (u2:u1:u0) by the divisor, (u2:u1) < divisor; *rem gets the remainder.
uint64_t div3by2(const Divisor &dv, uint64_t u2, uint64_t u1, uint64_t u0, u128 *rem) {
  u128 d = make128(dv.d1, dv.d0);
  u128 q = mul64(dv.v, u2) + make128(u2, u1);
  uint64_t q1 = hi64(q), q0 = lo64(q);
  uint64_t r1 = u1 - q1 * dv.d1;
  u128 r = make128(r1, u0) - mul64(dv.d0, q1) - d;
  q1++;
  if (hi64(r) >= q0) {
    q1--;
    r += d;
  }
  if (r >= d) [[unlikely]] {
    q1++;
    r -= d;
  }
  *rem = r;
  return q1;
}

} // namespace

XRealValue div(XRealValue a, XRealValue b) {
  if (a.w0 == 0 || b.w0 == 0) [[unlikely]] return divSpecial(a, b);
  u128 fa = fieldOf(a), fb = fieldOf(b);
  bool s = (fa ^ fb) >> 127;
  u128 ma = fa | kTop, mb = fb | kTop;
  int64_t e = (int64_t)a.w0 - b.w0 + kBias;
  // The quotient is formed as 192 bits with the top bit set: A*2^191/B when
  // A >= B, else A*2^192/B with the exponent one lower.
  u128 top = ma;
  uint64_t next = 0;
  if (ma >= mb) {
    top = ma >> 1;
    next = (uint64_t)(ma & 1) << 63;
  } else {
    e--;
  }
  Divisor dv = makeDivisor(mb);
  u128 r;
  uint64_t q2 = div3by2(dv, hi64(top), lo64(top), next, &r);
  uint64_t q1 = div3by2(dv, hi64(r), lo64(r), 0, &r);
  if (e >= kEmin) [[likely]] {
    // Rounding at the last bit needs only the remainder's place against
    // half the divisor, not the next quotient limb.
    u128 rest = mb - r;
    uint64_t guard = r > rest ? kHalf + 1 : (r == rest ? kHalf : r != 0);
    return roundPack(s, e, make128(q2, q1), guard);
  }
  uint64_t q0 = div3by2(dv, hi64(r), lo64(r), 0, &r);   // underflow rounds further up
  return roundPack(s, e, make128(q2, q1), q0 | (r != 0));
}

} // namespace fathom
