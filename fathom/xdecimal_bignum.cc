// Fixed-capacity big integers and the exact (or tightly bounded) comparison
// of A * 5^t * 2^a with B * 2^b that decides near-halfway decimal conversions.
#include "fathom/xdecimal_bignum.h"

#include <cstring>

#include "fathom/xreal_internal.h"

namespace fathom::detail {

static void trim(BigInt &x) {
  while (x.size > 0 && x.limb[x.size - 1] == 0) x.size--;
}

void setSmall(BigInt &x, uint64_t v) {
  x.limb[0] = v;
  x.size = v ? 1 : 0;
}

void setLimbs(BigInt &x, const uint64_t *v, int n) {
  std::memcpy(x.limb, v, sizeof(uint64_t) * n);
  x.size = n;
  trim(x);
}

void copyBig(BigInt &to, const BigInt &from) {
  to.size = from.size;
  std::memcpy(to.limb, from.limb, sizeof(uint64_t) * from.size);
}

int64_t bitLength(const BigInt &x) {
  if (x.size == 0) return 0;
  return 64 * (int64_t)x.size - __builtin_clzll(x.limb[x.size - 1]);
}

bool mulSmallAdd(BigInt &x, uint64_t m, uint64_t add) {
  uint64_t carry = add;
  for (int i = 0; i < x.size; i++) {
    u128 t = mul64(x.limb[i], m) + carry;
    x.limb[i] = lo64(t);
    carry = hi64(t);
  }
  if (carry) {
    if (x.size == kBigLimbs) return false;
    x.limb[x.size++] = carry;
  }
  return true;
}

uint64_t divSmall(BigInt &x, uint64_t d) {
  uint64_t rem = 0;
  for (int i = x.size - 1; i >= 0; i--) {
    x.limb[i] = div128by64(rem, x.limb[i], d, &rem);
  }
  trim(x);
  return rem;
}

bool mulBig(const BigInt &a, const BigInt &b, BigInt &out) {
  if (a.size == 0 || b.size == 0) {
    out.size = 0;
    return true;
  }
  if (a.size + b.size > kBigLimbs) return false;
  std::memset(out.limb, 0, sizeof(uint64_t) * (a.size + b.size));
  for (int i = 0; i < a.size; i++) {
    uint64_t carry = 0;
    for (int j = 0; j < b.size; j++) {
      u128 t = mul64(a.limb[i], b.limb[j]) + out.limb[i + j] + carry;
      out.limb[i + j] = lo64(t);
      carry = hi64(t);
    }
    out.limb[i + b.size] = carry;
  }
  out.size = a.size + b.size;
  trim(out);
  return true;
}

bool shiftRight(BigInt &x, int64_t n) {
  if (n <= 0) return false;
  int64_t limbs = n >> 6;
  int bits = (int)(n & 63);
  if (limbs >= x.size) {
    bool lost = x.size > 0;
    x.size = 0;
    return lost;
  }
  bool lost = false;
  for (int64_t i = 0; i < limbs; i++) lost |= x.limb[i] != 0;
  if (bits) lost |= (x.limb[limbs] << (64 - bits)) != 0;
  int size = x.size - (int)limbs;
  for (int i = 0; i < size; i++) {
    uint64_t v = x.limb[i + limbs] >> bits;
    if (bits && i + 1 < size) v |= x.limb[i + limbs + 1] << (64 - bits);
    x.limb[i] = v;
  }
  x.size = size;
  trim(x);
  return lost;
}

bool shiftLeft(BigInt &x, int64_t n) {
  if (x.size == 0 || n == 0) return true;
  int64_t limbs = n >> 6;
  int bits = (int)(n & 63);
  if (x.size + limbs + 1 > kBigLimbs) return false;
  x.limb[x.size + limbs] = 0;
  for (int64_t i = x.size - 1; i >= 0; i--) {
    x.limb[i + limbs + 1] |= bits ? x.limb[i] >> (64 - bits) : 0;
    x.limb[i + limbs] = x.limb[i] << bits;
  }
  for (int64_t i = 0; i < limbs; i++) x.limb[i] = 0;
  x.size += (int)limbs + 1;
  trim(x);
  return true;
}

// Bits [pos, pos + 64) of x, zero outside it; pos may be negative.
static uint64_t chunkAt(const BigInt &x, int64_t pos) {
  if (pos <= -64) return 0;
  if (pos < 0) return chunkAt(x, 0) << -pos;
  int64_t limb = pos >> 6;
  int bits = (int)(pos & 63);
  if (limb >= x.size) return 0;
  uint64_t v = x.limb[limb] >> bits;
  if (bits && limb + 1 < x.size) v |= x.limb[limb + 1] << (64 - bits);
  return v;
}

int compareScaledPow2(const BigInt &a, int64_t ea, const BigInt &b, int64_t eb) {
  if (a.size == 0 || b.size == 0) return (a.size != 0) - (b.size != 0);
  int64_t ta = bitLength(a) + ea, tb = bitLength(b) + eb;
  if (ta != tb) return ta < tb ? -1 : 1;
  int64_t bottom = ea < eb ? ea : eb;
  for (int64_t pos = ta - 64; pos + 64 > bottom; pos -= 64) {
    uint64_t ca = chunkAt(a, pos - ea), cb = chunkAt(b, pos - eb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return 0;
}

// Keeps at most p bits of x, rounding down or up; true when bits were dropped.
static bool roundTo(BigFloat &x, int64_t p, bool up) {
  int64_t excess = bitLength(x.m) - p;
  if (excess <= 0) return false;
  bool lost = shiftRight(x.m, excess);
  x.e += excess;
  if (up && lost) mulSmallAdd(x.m, 1, 1);
  return lost;
}

// x = x * y rounded to p bits; true when bits were dropped.  The callers
// keep p small enough for every product to fit.
static bool mulRounded(BigFloat &x, const BigFloat &y, int64_t p, bool up, BigInt &scratch) {
  mulBig(x.m, y.m, scratch);
  copyBig(x.m, scratch);
  x.e += y.e;
  return roundTo(x, p, up);
}

bool pow5Bounds(int64_t t, int64_t p, BigFloat &lo, BigFloat &hi) {
  uint64_t n = t < 0 ? 0 - (uint64_t)t : (uint64_t)t;
  BigFloat baseLo, baseHi;
  BigInt scratch;
  if (t >= 0) {
    setSmall(baseLo.m, 5);
    baseLo.e = 0;
  } else {                                        // 1/5 enclosed by two (p+64)-bit values
    setSmall(baseLo.m, 1);
    shiftLeft(baseLo.m, p + 64);
    divSmall(baseLo.m, 5);
    baseLo.e = -(p + 64);
  }
  copyBig(baseHi.m, baseLo.m);
  baseHi.e = baseLo.e;
  if (t < 0) mulSmallAdd(baseHi.m, 1, 1);
  setSmall(lo.m, 1);
  setSmall(hi.m, 1);
  lo.e = hi.e = 0;
  bool exact = t >= 0;
  for (int bit = n ? 63 - __builtin_clzll(n) : -1; bit >= 0; bit--) {
    BigFloat *sides[2] = {&lo, &hi};
    for (int s = 0; s < 2; s++) {
      BigFloat &x = *sides[s];
      exact &= !mulRounded(x, x, p, s == 1, scratch);
      if ((n >> bit) & 1) exact &= !mulRounded(x, s ? baseHi : baseLo, p, s == 1, scratch);
    }
  }
  return exact;
}

int compareWithPow5(const BigInt &A, int64_t t, int64_t a, const BigInt &B, int64_t b,
                    bool *decided) {
  *decided = true;
  if (A.size == 0 || B.size == 0) return (A.size != 0) - (B.size != 0);
  BigFloat lo, hi;
  BigInt product;
  double need = (double)bitLength(A) + (double)t * 2.3219280948873623 + 2;
  if (need + 192 < (double)kBigBits) {            // exact
    pow5Bounds(t, kBigBits, lo, hi);
    mulBig(A, lo.m, product);
    return compareScaledPow2(product, a + lo.e, B, b);
  }
  // Bounds of growing precision; A is cut to the same precision.
  BigFloat aBound;
  for (int64_t p = 256; p <= kBigBits / 2 - 128; p *= 4) {
    pow5Bounds(t, p, lo, hi);
    for (int side = 0; side < 2; side++) {
      copyBig(aBound.m, A);
      aBound.e = a;
      roundTo(aBound, p, side == 1);
      const BigFloat &f = side ? hi : lo;
      mulBig(aBound.m, f.m, product);
      int c = compareScaledPow2(product, aBound.e + f.e, B, b);
      if (side == 0 && c > 0) return 1;
      if (side == 1 && c < 0) return -1;
    }
  }
  *decided = false;
  return 0;
}

} // namespace fathom::detail
