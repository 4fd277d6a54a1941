// Extended real to decimal digits, correctly rounded (to nearest, ties to
// even on the exact binary value).
//
// Up to 40 digits, |x| / 10^k comes from a 192-bit power of ten with a known
// error; when it lies within that error of a halfway point, x is compared
// exactly with the decimal halfway point.  Wider requests (toFixedDigits, up
// to 80 digits) use big-integer bounds of 5^-k and the same comparison.
#include <cstring>

#include "fathom/xdecimal.h"
#include "fathom/xdecimal_bignum.h"
#include "fathom/xdecimal_pow10.h"

namespace fathom {

using namespace detail;

namespace {

constexpr uint64_t kTen19 = 10000000000000000000ull;
constexpr int kMaxFixedDigits = 80;

struct Binary {
  u128 sig;        // top bit set
  int64_t q;       // |x| = sig * 2^q
  int64_t e2;      // binary exponent of the leading bit
};

Binary binaryOf(XRealValue x) {
  int64_t e = (int64_t)x.w0 - kBias;
  return {fieldOf(x) | kTop, e - 127, e};
}

// floor(log10 |x|) or one less.
int64_t estimateExp10(const Binary &b) {
  double mantissa = (double)hi64(b.sig) * 0x1p-63;          // [1, 2)
  double lg2 = (double)b.e2 + (mantissa - 1.0) * 0.9;        // below log2|x| by < 0.09
  double lg10 = lg2 * 0.30102999566398120 - 1e-7;              // never above the truth
  int64_t e = (int64_t)lg10;
  return e - (lg10 < (double)e);                               // floor
}

constexpr U192 times10(U192 r) {
  uint64_t carry = 0;
  for (int j = 0; j < 3; j++) {
    u128 t = mul64(r.w[j], 10) + carry;
    r.w[j] = lo64(t);
    carry = hi64(t);
  }
  return r;
}

// 10^0 to 10^57, the powers that fit 192 bits.
struct PowersOfTen {
  U192 v[58];
  constexpr PowersOfTen() : v{} {
    U192 r = {{1, 0, 0}};
    for (int i = 0; i < 58; i++, r = times10(r)) v[i] = r;
  }
};
constexpr PowersOfTen kPowersOfTen;

int compare192(const U192 &a, const U192 &b) {
  #pragma GCC unroll 3
  for (int i = 2; i >= 0; i--)
    if (a.w[i] != b.w[i]) return a.w[i] < b.w[i] ? -1 : 1;
  return 0;
}

U192 add1(U192 a) {
  for (int i = 0; i < 3 && ++a.w[i] == 0; i++) {}
  return a;
}

void u192ToBig(const U192 &a, BigInt &out) { setLimbs(out, a.w, 3); }

// sign(|x| - (D + 1/2) * 10^k) for the exact binary value.
int compareWithDecimalHalfway(const Binary &b, const BigInt &D, int64_t k, bool *decided) {
  BigInt twiceD1, V;
  copyBig(twiceD1, D);
  mulSmallAdd(twiceD1, 2, 1);
  uint64_t v[2] = {lo64(b.sig), hi64(b.sig)};
  setLimbs(V, v, 2);
  if (k >= 0) return -compareWithPow5(twiceD1, k, k - 1, V, b.q, decided);
  return compareWithPow5(V, -k, b.q, twiceD1, k - 1, decided);
}

// Rounding direction of |x| / 10^k between whole and whole + 1, exactly.
// Ties, and the comparisons that bounds cannot settle (x within 2^-16000 of
// the halfway point, which no 128-bit value near a 40-digit decimal comes
// close to in practice), go to the even neighbour.
[[gnu::noinline]] int decideNarrow(const Binary &b, const U192 &whole, int64_t k) {
  BigInt D;
  u192ToBig(whole, D);
  bool decided;
  int c = compareWithDecimalHalfway(b, D, k, &decided);
  return c != 0 ? c : ((whole.w[0] & 1) ? 1 : -1);
}

// |x| / 10^k rounded to an integer; the callers keep it below 2^134, so at
// least 57 fraction bits remain.
U192 roundScaledNarrow(const Binary &b, int64_t k, U192 *floorOut = nullptr) {
  int errPow;
  Approx p = pow10(-k, &errPow);
  bool lost;
  Approx z = mulApprox({{{0, lo64(b.sig), hi64(b.sig)}}, b.q - 64}, p, &lost);
  uint64_t err = (errPow || lost) ? 2 * (uint64_t)errPow + 4 : 0;
  int64_t f = -z.e;                               // fraction bits
  U192 whole = {{0, 0, 0}};
  if (f <= 192) whole = {{bitsAt(z.m, (int)f), bitsAt(z.m, (int)f + 64), bitsAt(z.m, (int)f + 128)}};
  if (floorOut) *floorOut = whole;
  int c;
  if (f >= 194) {
    c = -1;                                        // below one quarter
  } else if (f == 193) {                           // [1/4, 1/2): near 1/2 only at the very top
    U192 gap = {{0 - z.m.w[0], ~z.m.w[1] + (z.m.w[0] == 0), ~z.m.w[2] + (z.m.w[0] == 0 && z.m.w[1] == 0)}};
    c = (gap.w[2] || gap.w[1] || gap.w[0] > err) ? -1 : 0;
  } else {
    c = compareHalf(z.m, (int)f, err);
  }
  if (c == 0 && err == 0) c = (whole.w[0] & 1) ? 1 : -1;   // exact tie: to even
  if (c == 0) c = decideNarrow(b, whole, k);
  return c > 0 ? add1(whole) : whole;
}

// Writes the `count` low decimal digits of n (n < 10^57) and a NUL.
void writeDigits(U192 n, int count, char *out) {
  out[count] = 0;
  for (int pos = count; pos > 0;) {
    uint64_t rem = 0;
    #pragma GCC unroll 3
    for (int i = 2; i >= 0; i--) n.w[i] = div128by64(rem, n.w[i], kTen19, &rem);
    for (int j = 0; j < 19 && pos > 0; j++, rem /= 10) out[--pos] = (char)('0' + rem % 10);
  }
}

// The digits of D (up to 80) written to out; returns their number.
int writeBigDigits(BigInt &D, char *out) {
  char tmp[kMaxFixedDigits + 24];
  int n = 0;
  while (D.size > 0 && n <= kMaxFixedDigits) {
    uint64_t rem = divSmall(D, kTen19);
    for (int j = 0; j < 19; j++, rem /= 10) tmp[n++] = (char)('0' + rem % 10);
  }
  while (n > 0 && tmp[n - 1] == '0') n--;          // zeros above the leading digit
  for (int i = 0; i < n; i++) out[i] = tmp[n - 1 - i];
  out[n] = 0;
  return n;
}

// floor(y + 1/2) for y = m * 2^e, and whether y is exactly a half-integer.
void roundHalfUp(const BigFloat &y, BigInt &n, bool *isHalf) {
  copyBig(n, y.m);
  *isHalf = false;
  if (y.e >= 0) {                                  // an integer
    shiftLeft(n, y.e);
    return;
  }
  bool lost = shiftRight(n, -y.e - 1);             // floor(2y)
  *isHalf = !lost && n.size && (n.limb[0] & 1);
  mulSmallAdd(n, 1, 1);
  shiftRight(n, 1);
}

void decrement(BigInt &n) {                        // n >= 1
  for (int i = 0; i < n.size; i++)
    if (n.limb[i]-- != 0) break;
  setLimbs(n, n.limb, n.size);                     // drops a vanished top limb
}

// |x| / 10^k rounded to an integer of up to 81 digits, via big-integer bounds.
void roundScaledWide(const Binary &b, int64_t k, BigInt &out) {
  BigFloat lo, hi, ylo, yhi;
  bool exact = pow5Bounds(-k, 400, lo, hi);
  BigInt V, nHi;
  uint64_t v[2] = {lo64(b.sig), hi64(b.sig)};
  setLimbs(V, v, 2);
  mulBig(V, lo.m, ylo.m);
  ylo.e = lo.e + b.q - k;
  mulBig(V, hi.m, yhi.m);
  yhi.e = hi.e + b.q - k;
  bool halfLo, halfHi;
  roundHalfUp(ylo, out, &halfLo);
  if (exact) {
    if (halfLo && (out.limb[0] & 1)) decrement(out);   // tie: the even neighbour
    return;
  }
  roundHalfUp(yhi, nHi, &halfHi);
  if (!halfLo && compareScaledPow2(out, 0, nHi, 0) == 0) return;
  // The halfway point nHi - 1/2 lies within the bounds: decide it exactly.
  copyBig(out, nHi);
  decrement(out);
  bool decided;
  int c = compareWithDecimalHalfway(b, out, k, &decided);
  if (c > 0 || (c == 0 && !(nHi.limb[0] & 1))) copyBig(out, nHi);
}

int digitCount(const U192 &d) {
  int n = 0;
  while (n < 57 && compare192(d, kPowersOfTen.v[n]) >= 0) n++;
  return n;
}

} // namespace

void toDigits(XRealValue x, int count, char *digits, int *exp10) {
  if (count < 1) count = 1;
  if (count > 40) count = 40;
  Binary b = binaryOf(x);
  const U192 &low = kPowersOfTen.v[count - 1], &high = kPowersOfTen.v[count];
  int64_t e10 = estimateExp10(b);
  bool movedUp = false, movedDown = false;
  for (;;) {
    int64_t k = e10 - count + 1;
    U192 whole;
    U192 d = roundScaledNarrow(b, k, &whole);
    if (compare192(whole, high) >= 0 && !movedDown) {
      e10++, movedUp = true;
      continue;
    }
    if (compare192(whole, low) < 0 && !movedUp) {
      e10--, movedDown = true;
      continue;
    }
    if (compare192(d, high) == 0) d = low, e10++;  // rounded up to the next power of ten
    writeDigits(d, count, digits);
    *exp10 = (int)e10;
    return;
  }
}

int toFixedDigits(XRealValue x, int decimals, char *digits, int *exp10) {
  Binary b = binaryOf(x);
  int64_t e10 = estimateExp10(b);                  // may be one low
  int64_t k = -(int64_t)decimals;
  if (e10 + 2 - k <= 0) {                          // below a tenth of the last place
    *exp10 = decimals < 0 ? 0 : -decimals;
    digits[0] = 0;
    return 0;
  }
  for (;;) {
    if (e10 + 1 - k > kMaxFixedDigits) k = e10 + 1 - kMaxFixedDigits;
    int n;
    if (e10 + 1 - k <= 38) {                       // at most 39 digits: fits the narrow path
      U192 d = roundScaledNarrow(b, k);
      n = digitCount(d);
      writeDigits(d, n, digits);
    } else {
      BigInt d;
      roundScaledWide(b, k, d);
      char wide[kMaxFixedDigits + 24];
      n = writeBigDigits(d, wide);
      if (n <= kMaxFixedDigits) std::memcpy(digits, wide, n + 1);
    }
    if (n > kMaxFixedDigits) {                     // e10 was low: round at the limit again
      e10 = k + n - 1;
      continue;
    }
    *exp10 = (int)(k + n - 1);
    return n;
  }
}

} // namespace fathom
