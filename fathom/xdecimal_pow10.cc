// Powers of ten as 192-bit approximations with a known error, built from
// at most four table entries, and the three-limb helpers around them.
#include "fathom/xdecimal_pow10.h"

namespace fathom::detail {

Approx mulApprox(const Approx &a, const Approx &b, bool *inexact) {
  uint64_t p[6] = {0, 0, 0, 0, 0, 0};
  #pragma GCC unroll 3
  for (int i = 0; i < 3; i++) {
    uint64_t carry = 0;
    #pragma GCC unroll 3
    for (int j = 0; j < 3; j++) {
      u128 t = mul64(a.m.w[i], b.m.w[j]) + p[i + j] + carry;
      p[i + j] = lo64(t);
      carry = hi64(t);
    }
    p[i + 3] = carry;
  }
  Approx r;
  r.e = a.e + b.e + 192;
  if (!(p[5] >> 63)) {                           // product below 2^383: one left shift
    #pragma GCC unroll 6
    for (int i = 5; i > 0; i--) p[i] = p[i] << 1 | p[i - 1] >> 63;
    p[0] <<= 1;
    r.e--;
  }
  r.m = {{p[3], p[4], p[5]}};
  *inexact = (p[0] | p[1] | p[2]) != 0;
  return r;
}

static Approx entry(bool negative, int level, int d) {
  const Pow10Entry &t = kPow10Table[negative][level][d];
  return {{{t.m0, t.m1, t.m2}}, t.e};
}

Approx pow10(int64_t k, int *errUlps) {
  bool negative = k < 0;
  uint64_t n = negative ? 0 - (uint64_t)k : (uint64_t)k;
  Approx r = {{{0, 0, 1ull << 63}}, -191};       // 1
  int entries = 0, products = 0;
  bool exact = true;
  for (int level = 0; level < kPow10Levels && n; level++, n >>= 7) {
    int d = (int)(n & 127);
    if (!d) continue;
    Approx f = entry(negative, level, d);
    if (negative || level > 0 || d > 82) exact = false;   // 10^d fits 192 bits up to 82
    if (entries++ == 0) {
      r = f;
    } else {
      bool lost;
      r = mulApprox(r, f, &lost);
      products++;
      exact = exact && !lost;
    }
  }
  // Each entry is within half a unit of its last bit and each product loses
  // less than one; a unit of the product is at most twice a relative unit.
  *errUlps = exact ? 0 : entries + 2 * products + 1;
  return r;
}

uint64_t bitsAt(const U192 &m, int pos) {
  if (pos >= 192) return 0;
  int limb = pos >> 6, shift = pos & 63;
  uint64_t lo = m.w[limb] >> shift;
  if (shift && limb < 2) lo |= m.w[limb + 1] << (64 - shift);
  return lo;
}

u128 shiftRight128(const U192 &m, int n) {
  return make128(bitsAt(m, n + 64), bitsAt(m, n));
}

// m mod 2^n, 0 <= n <= 192.
static U192 lowBits(const U192 &m, int n) {
  U192 r = m;
  #pragma GCC unroll 3
  for (int limb = 0; limb < 3; limb++) {
    int keep = n - 64 * limb;
    if (keep <= 0) r.w[limb] = 0;
    else if (keep < 64) r.w[limb] &= (1ull << keep) - 1;
  }
  return r;
}

static bool atMost(const U192 &m, uint64_t err) { return !m.w[2] && !m.w[1] && m.w[0] <= err; }

int compareHalf(const U192 &m, int n, uint64_t err) {
  U192 low = lowBits(m, n - 1);
  bool half = (m.w[(n - 1) >> 6] >> ((n - 1) & 63)) & 1;
  if (half) return atMost(low, err) ? 0 : 1;
  // Gap up to one half: 2^(n-1) - low.
  U192 gap = {{0, 0, 0}};
  gap.w[(n - 1) >> 6] = 1ull << ((n - 1) & 63);
  unsigned borrow = 0;
  #pragma GCC unroll 3
  for (int i = 0; i < 3; i++) {
    u128 d = (u128)gap.w[i] - low.w[i] - borrow;
    gap.w[i] = lo64(d);
    borrow = (unsigned)(hi64(d) & 1);
  }
  return atMost(gap, err) ? 0 : -1;
}

} // namespace fathom::detail
