// Decimal text to extended real, correctly rounded for any number of digits.
//
// The first 57 significant digits times a 192-bit power of ten give an
// approximation with a known error bound; it decides the rounding unless it
// lies within that bound of a halfway point.  Then the digits are compared
// exactly with the halfway point (big integers on the stack, see
// xdecimal_bignum.h); only digits above the halfway point's last decimal
// place can matter, the rest act as a sticky digit.
#include <cctype>
#include <strings.h>

#include "fathom/xdecimal.h"
#include "fathom/xdecimal_bignum.h"
#include "fathom/xdecimal_pow10.h"

namespace fathom {

using namespace detail;

namespace {

constexpr int kMantissaDigits = 57;                // 10^57 < 2^192
constexpr int64_t kMaxExactDigits = 12000;         // fits a BigInt with room to spare
constexpr int64_t kExponentClamp = 200000000;
constexpr int64_t kEminBinary = kEmin - kBias;

// The digits of the text after the sign, and where they sit.
struct Digits {
  const char *first;      // first significant (non-zero) digit
  const char *point;      // the decimal point, or nullptr
  int64_t count;          // significant digits, trailing zeros excluded
  int64_t lead;           // decimal exponent of the first significant digit
};

// Moves to the next digit character, stepping over the decimal point.
const char *nextDigit(const char *p, const char *point) {
  return ++p == point ? p + 1 : p;
}

// Reads the exponent after 'e'/'E' when one follows; returns its end.
const char *readExponent(const char *p, int64_t *value) {
  *value = 0;
  if (*p != 'e' && *p != 'E') return p;
  const char *q = p + 1;
  bool negative = *q == '-';
  if (*q == '+' || *q == '-') q++;
  if (!std::isdigit((unsigned char)*q)) return p;
  int64_t v = 0;
  for (; std::isdigit((unsigned char)*q); q++) v = v < 1000000000 ? v * 10 + (*q - '0') : v;
  v = v > kExponentClamp ? kExponentClamp : v;
  *value = negative ? -v : v;
  return q;
}

// Scans digits, an optional point and an optional exponent; false when the
// text holds no digit at all.  d->first is null when every digit is zero.
bool scanDigits(const char *p, Digits *d, const char **end) {
  const char *start = p;
  while (std::isdigit((unsigned char)*p)) p++;
  int64_t intDigits = p - start;
  d->point = nullptr;
  if (*p == '.') {
    d->point = p++;
    while (std::isdigit((unsigned char)*p)) p++;
  }
  const char *last = p;                           // one past the last digit
  if (last - start - (d->point != nullptr) <= 0) return false;
  int64_t exponent;
  *end = readExponent(p, &exponent);
  d->first = nullptr;
  int64_t index = 0, firstIndex = 0, lastIndex = 0;
  for (const char *q = start; q < last; q++) {
    if (q == d->point) continue;
    if (*q != '0') {
      if (!d->first) d->first = q, firstIndex = index;
      lastIndex = index;
    }
    index++;
  }
  d->count = lastIndex - firstIndex + 1;
  d->lead = intDigits - 1 - firstIndex + exponent;
  return true;
}

// The first `n` significant digits as an integer in 192 bits (n <= 57).
U192 leadingDigits(const Digits &d, int n) {
  U192 m = {{0, 0, 0}};
  const char *p = d.first;
  while (n > 0) {
    int chunk = n < 19 ? n : 19;
    uint64_t v = 0, scale = 1;
    for (int i = 0; i < chunk; i++, p = nextDigit(p, d.point)) {
      v = v * 10 + (uint64_t)(*p - '0');
      scale *= 10;
    }
    uint64_t carry = v;
    #pragma GCC unroll 3
    for (int i = 0; i < 3; i++) {
      u128 t = mul64(m.w[i], scale) + carry;
      m.w[i] = lo64(t);
      carry = hi64(t);
    }
    n -= chunk;
  }
  return m;
}

// The first `n` significant digits as a big integer.
void digitsToBig(const Digits &d, int64_t n, BigInt &out) {
  setSmall(out, 0);
  const char *p = d.first;
  while (n > 0) {
    int chunk = n < 19 ? (int)n : 19;
    uint64_t v = 0, scale = 1;
    for (int i = 0; i < chunk; i++, p = nextDigit(p, d.point)) {
      v = v * 10 + (uint64_t)(*p - '0');
      scale *= 10;
    }
    mulSmallAdd(out, scale, v);
    n -= chunk;
  }
}

// sign(D * 10^s - H * 2^q).
int compareDecimal(const BigInt &D, int64_t s, const BigInt &H, int64_t q, bool *decided) {
  if (s >= 0) return compareWithPow5(D, s, s, H, q, decided);
  return -compareWithPow5(H, -s, q, D, s, decided);
}

// sign(x - (2L+1) * 2^(g-1)) for the exact decimal x; *decided false when
// the input agrees with the halfway point beyond what the stack can hold.
[[gnu::noinline]] int compareWithHalfway(const Digits &d, u128 L, int64_t g, bool *decided) {
  BigInt H, D;
  uint64_t h[3] = {lo64(L) << 1 | 1, hi64(L) << 1 | lo64(L) >> 63, hi64(L) >> 63};
  setLimbs(H, h, 3);
  int64_t q = g - 1;
  // Digits below 10^min(0, q) cannot change the comparison: the halfway
  // point is a multiple of that power.
  int64_t keep = d.lead - (q < 0 ? q : 0) + 1;
  bool byPosition = keep < d.count;
  if (keep > kMaxExactDigits) keep = kMaxExactDigits;
  if (keep > d.count) keep = d.count;
  bool sticky = keep < d.count;
  digitsToBig(d, keep, D);
  int64_t s = d.lead - keep + 1;
  int c = compareDecimal(D, s, H, q, decided);
  if (!sticky || !*decided) return c;
  if (c >= 0) return 1;                          // the dropped digits only add
  if (byPosition && keep < kMaxExactDigits) return -1;
  mulSmallAdd(D, 1, 1);                          // the truncated input lies below D+1
  c = compareDecimal(D, s, H, q, decided);
  if (*decided && c <= 0) return -1;
  *decided = false;
  return 0;
}

// The value n * 2^g (n up to 2^128, flagged by carry) with the overflow rule.
XRealValue packGrid(bool negative, u128 n, bool carry, int64_t g) {
  if (carry) {
    int64_t e = kBias + g + 128;
    return e > kEmax ? makeSpecial(negative, XR_INF) : packFinite(negative, e, kTop);
  }
  if (n == 0) return makeSpecial(negative, XR_ZERO);
  int lz = clz128(n);
  int64_t e = kBias + g + 127 - lz;
  return e > kEmax ? makeSpecial(negative, XR_INF) : packFinite(negative, e, n << lz);
}

XRealValue convert(const Digits &d, bool negative) {
  if (d.lead > 100000001) return makeSpecial(negative, XR_INF);
  if (d.lead < -100000041) return makeSpecial(negative, XR_ZERO);
  int taken = d.count < kMantissaDigits ? (int)d.count : kMantissaDigits;
  U192 m = leadingDigits(d, taken);
  int lz = m.w[2] ? __builtin_clzll(m.w[2]) : 64 + (m.w[1] ? __builtin_clzll(m.w[1]) : 64 + __builtin_clzll(m.w[0]));
  Approx mant = {m, -lz};
  U192 &w = mant.m;                               // normalise: shift left by lz
  for (int i = 0; i < lz / 64; i++) w = {{0, w.w[0], w.w[1]}};
  if (lz % 64) {
    int s = lz % 64;
    w = {{w.w[0] << s, w.w[1] << s | w.w[0] >> (64 - s), w.w[2] << s | w.w[1] >> (64 - s)}};
  }
  int errPow;
  Approx p = pow10(d.lead - taken + 1, &errPow);
  bool lost;
  Approx z = mulApprox(mant, p, &lost);
  bool truncated = taken < d.count;
  uint64_t err = (errPow || lost || truncated) ? 2 * (uint64_t)errPow + 4 + (truncated ? 130 : 0) : 0;
  int64_t top = z.e + 191;                        // binary exponent of the approximation
  int64_t d0 = kEminBinary - top;
  if (d0 >= 130) return makeSpecial(negative, XR_ZERO);
  int r = 64 + (d0 > 0 ? (int)d0 : 0);            // bits of z below the rounding point
  if (r <= 191 && (err == 0 || compareHalf(z.m, r, err) != 0))
    return roundPack(negative, kBias + top, make128(z.m.w[2], z.m.w[1]), z.m.w[0]);
  // Too close to call: compare the decimal digits with the halfway point.
  int64_t g = z.e + r;                            // the grid: units of 2^g
  u128 L = r >= 192 ? 0 : shiftRight128(z.m, r);
  bool decided;
  int c = compareWithHalfway(d, L, g, &decided);
  if (!decided) c = r <= 191 && compareHalf(z.m, r, 0) < 0 ? -1 : 1;
  bool up = c > 0 || (c == 0 && (L & 1));
  return packGrid(negative, L + up, up && L == ~(u128)0, g);
}

} // namespace

XRealValue strtox(const char *text, const char **end) {
  const char *p = text;
  while (std::isspace((unsigned char)*p)) p++;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') p++;
  const char *stop;
  XRealValue result;
  Digits d;
  if (strncasecmp(p, "nan", 3) == 0) {
    stop = p + 3;
    result = makeSpecial(negative, XR_NAN);
  } else if (strncasecmp(p, "infinity", 8) == 0 || std::strncmp(p, "1/0", 3) == 0) {
    stop = p + (*p == '1' ? 3 : 8);
    result = makeSpecial(negative, XR_INF);
  } else if (scanDigits(p, &d, &stop)) {
    result = d.first ? convert(d, negative) : makeSpecial(negative, XR_ZERO);
  } else {
    stop = text;
    result = makeSpecial(false, XR_ZERO);
  }
  if (end) *end = stop;
  return result;
}

} // namespace fathom
