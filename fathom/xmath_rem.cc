// fmod and remquo of extended reals, exact.
//
// With y = My 2^uy and x = Mx 2^ux (My, Mx the 128-bit significands as
// integers, uy, ux the exponents of their last bits), and d = uy - ux >= 0,
// everything happens on integers below 2^192: R' = My 2^d mod (Mx 2^32),
// by doubling for small d and by a modular power of two for large d (so
// that the largest exponent gap, about 664 million, costs some thirty
// modular squarings rather than as many shifts).  Then R' = n' Mx + R with
// n' < 2^32 gives the remainder R = y mod x scaled by 2^-ux and the low 32
// bits n' of the truncated quotient.  remquo rounds the quotient to the
// nearest (ties to even) by stepping once.  The remainder always fits in
// 128 bits at the exponent of x's last bit (or y's, when y is the smaller),
// so it is exact, gradual underflow included: every value on the stored
// grid, and y - n x is on it.
#include "fathom/xmath.h"
#include "fathom/xreal_internal.h"

namespace fathom {

using namespace detail;

namespace {

// A 192-bit unsigned integer, least significant word first.
struct U192 {
  uint64_t w[3];
};

U192 fromU128(u128 v) { return {{lo64(v), hi64(v), 0}}; }

bool lessThan(const U192 &a, const U192 &b) {
  for (int i = 2; i >= 0; i--)
    if (a.w[i] != b.w[i]) return a.w[i] < b.w[i];
  return false;
}

void subInPlace(U192 &a, const U192 &b) {
  uint64_t borrow = 0;
  for (int i = 0; i < 3; i++) {
    uint64_t t = a.w[i] - b.w[i];
    uint64_t nb = (a.w[i] < b.w[i]) | (t < borrow);
    a.w[i] = t - borrow;
    borrow = nb;
  }
}

void addInPlace(U192 &a, const U192 &b) {
  uint64_t carry = 0;
  for (int i = 0; i < 3; i++) {
    u128 s = (u128)a.w[i] + b.w[i] + carry;
    a.w[i] = lo64(s);
    carry = hi64(s);
  }
}

U192 shl(const U192 &a, unsigned n) {   // n < 64
  if (n == 0) return a;
  return {{a.w[0] << n, a.w[1] << n | a.w[0] >> (64 - n), a.w[2] << n | a.w[1] >> (64 - n)}};
}

// Moduli below 2^160, so that 2a stays within 192 bits.
// 2a mod m for a < m.
void doubleMod(U192 &a, const U192 &m) {
  a = shl(a, 1);
  if (!lessThan(a, m)) subInPlace(a, m);
}

// a + b mod m for a, b < m.
void addMod(U192 &a, const U192 &b, const U192 &m) {
  addInPlace(a, b);
  if (!lessThan(a, m)) subInPlace(a, m);
}

// a b mod m for a, b < m < 2^160: double and add over the bits of b.
U192 mulMod(const U192 &a, const U192 &b, const U192 &m) {
  U192 r = {{0, 0, 0}};
  for (int i = 159; i >= 0; i--) {
    doubleMod(r, m);
    if (b.w[i >> 6] >> (i & 63) & 1) addMod(r, a, m);
  }
  return r;
}

// a 2^d mod m for a < m < 2^160.
U192 shiftMod(U192 a, uint64_t d, const U192 &m) {
  if (d <= 256) {
    for (uint64_t i = 0; i < d; i++) doubleMod(a, m);
    return a;
  }
  U192 p = {{1, 0, 0}};   // 2^d mod m, from the top bit of d down
  for (int i = 63 - __builtin_clzll(d); i >= 0; i--) {
    p = mulMod(p, p, m);
    if (d >> i & 1) doubleMod(p, m);
  }
  return mulMod(a, p, m);
}

u128 significand(XRealValue v) { return fieldOf(v) | kTop; }
int64_t binaryExponent(XRealValue v) { return (int64_t)v.w0 - kBias; }

// R 2^u with the sign, R < 2^128 (zero gives a zero of that sign).
XRealValue scaled(bool negative, u128 r, int64_t u) {
  if (r == 0) return zero(negative);
  int lz = clz128(r);
  return roundPack(negative, kBias + u + 127 - lz, r << lz, 0);
}

// The remainder of |y| by |x| on the exponent of x's last bit (d >= 0) and
// the low 32 bits of the truncated quotient.
void divideIntegers(XRealValue y, XRealValue x, u128 *rem, uint32_t *quotientLow) {
  uint64_t d = (uint64_t)(binaryExponent(y) - binaryExponent(x));
  u128 mx = significand(x);
  U192 m = shl(fromU128(mx), 32);
  U192 r = shiftMod(fromU128(significand(y)), d, m);   // My < 2^128 <= m
  uint32_t q = 0;
  for (int i = 31; i >= 0; i--) {
    U192 t = shl(fromU128(mx), (unsigned)i);
    if (!lessThan(r, t)) {
      subInPlace(r, t);
      q |= 1u << i;
    }
  }
  *rem = (u128)r.w[1] << 64 | r.w[0];
  *quotientLow = q;
}

// NaN for NaN operands, an infinite y or a zero x; y itself for a zero y or
// an infinite x.  False when the operands are ordinary.
bool remSpecial(XRealValue y, XRealValue x, XRealValue *r) {
  if (isNaN(y) || isNaN(x) || isInf(y) || isZero(x)) return *r = nan(), true;
  if (isZero(y) || isInf(x)) return *r = y, true;
  return false;
}

} // namespace

XRealValue fmod(XRealValue y, XRealValue x) {
  XRealValue special;
  if (remSpecial(y, x, &special)) return special;
  int64_t ux = binaryExponent(x) - 127;
  if (binaryExponent(y) < binaryExponent(x)) return y;   // |y| < |x|
  u128 r;
  uint32_t q;
  divideIntegers(y, x, &r, &q);
  return scaled(signBit(y), r, ux);
}

XRealValue remquo(XRealValue y, XRealValue x, int *quo) {
  *quo = 0;
  XRealValue special;
  if (remSpecial(y, x, &special)) return special;
  bool ny = signBit(y), negQuotient = ny != signBit(x);
  int64_t ey = binaryExponent(y), ex = binaryExponent(x);
  if (ey < ex - 1) return y;                             // |y| < |x| / 2
  if (ey == ex - 1) {
    // |y| and |x| / 2 share the last-bit exponent of y.
    u128 my = significand(y), mx = significand(x);
    if (my <= mx) return y;                              // a tie goes to the even 0
    *quo = negQuotient ? -1 : 1;
    // |y| - |x| = (My - 2 Mx) 2^uy: 2Mx - My < 2^128 since My > Mx.
    u128 r = mx - my + mx;
    return scaled(!ny, r, ey - 127);
  }
  u128 r, mx = significand(x);
  uint32_t q;
  divideIntegers(y, x, &r, &q);
  bool flip = false;
  // Round the quotient to nearest: step when 2R > Mx, or 2R = Mx with q odd.
  u128 half = mx >> 1;
  bool above = r > half;                   // 2R > Mx, for Mx even or odd
  bool tie = r == half && !(mx & 1);       // 2R = Mx
  if (above || (tie && (q & 1))) {
    r = mx - r;
    q++;
    flip = true;
  }
  int v = (int)(q & 0x7fffffff);
  *quo = negQuotient ? -v : v;
  return scaled(ny != flip, r, ex - 127);
}

} // namespace fathom
