// Reduction of a working float by pi/2 (Payne and Hanek, "Radian reduction
// for trigonometric functions", 1983): x = M 2^(e-191) with the 192-bit
// integer M, and x 2/pi mod 4 = M * (a 640-bit window of 2/pi) with the
// window's leading words chosen so that everything left out above it is a
// multiple of 4.  The window keeps at least 383 fraction bits exact, so the
// reduced argument keeps more than 200 bits even when x lies within 2^-170
// of a multiple of pi/2 (the closest approach over the whole exponent range
// is expected near 2^-157).  r = f pi/2 then loses only 2^-190 relative.
// Arguments of 2^kReduceExponentLimit and above are refused (ok false).
#include "fathom/xmath_kernels.h"
#include "fathom/xmath_reduce.h"
#include "fathom/xmath_tables.h"

namespace fathom::detail {

namespace {

constexpr int kWindow = 10;               // words of 2/pi
constexpr int kLimbs = kWindow + 3;       // the product, least significant first

// p = M * (kTwoOverPi[k0 .. k0 + kWindow - 1]).
void windowProduct(const W &x, int64_t k0, uint64_t p[kLimbs]) {
  const uint64_t m[3] = {x.lo, lo64(x.hi), hi64(x.hi)};
  for (int i = 0; i < kLimbs; i++) p[i] = 0;
  for (int i = 0; i < kWindow; i++) {
    uint64_t t = kTwoOverPi[k0 + kWindow - 1 - i];   // limb i of the window
    uint64_t carry = 0;
    for (int j = 0; j < 3; j++) {
      u128 s = mul64(m[j], t) + p[i + j] + carry;
      p[i + j] = lo64(s);
      carry = hi64(s);
    }
    for (int j = i + 3; carry && j < kLimbs; j++) {
      u128 s = (u128)p[j] + carry;
      p[j] = lo64(s);
      carry = hi64(s);
    }
  }
}

inline int bitAt(const uint64_t p[kLimbs], int64_t i) {
  if (i < 0 || i >= 64 * kLimbs) return 0;
  return (int)(p[i >> 6] >> (i & 63)) & 1;
}

// Keeps the bits below b; when bit b-1 is set, replaces them by 2^b minus
// them.  Returns whether it did.
bool fractionToNearest(uint64_t p[kLimbs], int64_t b) {
  for (int64_t i = 0; i < kLimbs; i++) {
    int64_t lo = 64 * i;
    if (lo >= b) p[i] = 0;
    else if (lo + 64 > b) p[i] &= (1ull << (b - lo)) - 1;
  }
  if (!bitAt(p, b - 1)) return false;
  uint64_t borrow = 0;
  for (int i = 0; i < kLimbs; i++) {
    uint64_t v = p[i];
    p[i] = 0 - v - borrow;
    borrow = (v | borrow) != 0;
  }
  for (int64_t i = 0; i < kLimbs; i++) {   // back to b bits
    int64_t lo = 64 * i;
    if (lo >= b) p[i] = 0;
    else if (lo + 64 > b) p[i] &= (1ull << (b - lo)) - 1;
  }
  return true;
}

// The 192 bits from bit t down (bits below 0 read as zero), as hi:lo.
void take192(const uint64_t p[kLimbs], int64_t t, u128 *hi, uint64_t *lo) {
  uint64_t w[3];
  for (int k = 0; k < 3; k++) {
    int64_t top = t - 64 * k;                // bit index of w[k]'s top bit
    int64_t low = top - 63;
    uint64_t v = 0;
    int64_t li = low >> 6, sh = low & 63;
    if (li >= 0 && li < kLimbs) v = p[li] >> sh;
    if (sh && li + 1 >= 0 && li + 1 < kLimbs) v |= p[li + 1] << (64 - sh);
    if (li < -1) v = 0;
    w[k] = v;
  }
  *hi = make128(w[0], w[1]);
  *lo = w[2];
}

} // namespace

HalfPiReduced reduceHalfPi(const W &x) {
  int64_t e = x.e;
  const u128 kQuarterPi = make128(0xC90FDAA22168C234ull, 0);   // pi/4 = this * 2^-192
  if (e < -1 || (e == -1 && x.hi <= kQuarterPi)) return {x, 0, true};
  if (e >= kReduceExponentLimit) return {wZero(), 0, false};
  int64_t k0 = e >= 257 ? (e - 257) / 64 + 1 : 0;
  if (k0 + kWindow > kTwoOverPiWords) return {wZero(), 0, false};   // cannot happen below the limit
  uint64_t p[kLimbs];
  windowProduct(x, k0, p);
  int64_t b = 64 * (k0 + kWindow) + 191 - e;   // the bit of weight 1
  int q = bitAt(p, b) | bitAt(p, b + 1) << 1;
  bool flip = fractionToNearest(p, b);
  q = (q + flip) & 3;
  int64_t t = b - 1;
  while (t >= 0 && p[t >> 6] == 0) t = (t & ~(int64_t)63) - 1;
  if (t < 0) return {wZero(), x.neg ? (4 - q) & 3 : q, true};
  t = (t & ~(int64_t)63) + 63 - __builtin_clzll(p[t >> 6]);
  W f;
  take192(p, t, &f.hi, &f.lo);
  f.e = t - b;
  f.neg = flip != x.neg;
  W r = wMul(f, kWPiHalf);
  return {r, x.neg ? (4 - q) & 3 : q, true};
}

} // namespace fathom::detail
