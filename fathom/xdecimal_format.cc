// printf-like "%.*e" and "%.*f" text of an extended real.
#include "fathom/xdecimal.h"

namespace fathom {

namespace {

constexpr int kMaxDigits = 80;

// Appends to a fixed buffer, always NUL-terminated, dropping what does not fit.
struct Out {
  char *buf;
  int size, len;
  bool full() const { return len >= size - 1; }
  void put(char c) {
    if (!full()) buf[len++] = c;
  }
  void puts(const char *s) {
    while (*s) put(*s++);
  }
  int finish() {
    if (size > 0) buf[len] = 0;
    return len;
  }
};

// NaN and the infinities; false for finite values.
bool putSpecial(Out &o, XRealValue x) {
  if (isNaN(x)) {
    o.puts("NaN");
    return true;
  }
  if (isInf(x)) {
    o.puts(signBit(x) ? "-Infinity" : "Infinity");
    return true;
  }
  return false;
}

// `count` significant digits of |x| (up to 80) and the exponent of the first.
int significantDigits(XRealValue x, int count, char *digits) {
  int e10;
  if (count <= 40) {
    toDigits(x, count, digits, &e10);
    return e10;
  }
  toDigits(x, 1, digits, &e10);                  // at or one above floor(log10 |x|)
  for (;;) {
    int exp10, n = toFixedDigits(x, count - 1 - e10, digits, &exp10);
    if (n >= count) return exp10;
    e10--;
  }
}

void putExponent(Out &o, int e10) {
  char tmp[16];
  int n = 0;
  unsigned v = e10 < 0 ? 0u - (unsigned)e10 : (unsigned)e10;
  do tmp[n++] = (char)('0' + v % 10);
  while ((v /= 10) != 0);
  if (n < 2) tmp[n++] = '0';
  o.put('e');
  o.put(e10 < 0 ? '-' : '+');
  while (n > 0) o.put(tmp[--n]);
}

} // namespace

int formatE(char *out, int size, XRealValue x, int decimals) {
  Out o = {out, size, 0};
  if (size <= 0) return 0;
  if (putSpecial(o, x)) return o.finish();
  if (decimals < 0) decimals = 0;
  if (signBit(x)) o.put('-');
  char digits[kMaxDigits + 1];
  int count = decimals < kMaxDigits - 1 ? decimals + 1 : kMaxDigits;
  int e10 = 0;
  if (isZero(x)) {
    for (int i = 0; i < count; i++) digits[i] = '0';
  } else {
    e10 = significantDigits(x, count, digits);
  }
  o.put(digits[0]);
  if (decimals > 0) o.put('.');
  for (int i = 1; i <= decimals && !o.full(); i++) o.put(i < count ? digits[i] : '0');
  putExponent(o, e10);
  return o.finish();
}

int formatF(char *out, int size, XRealValue x, int decimals) {
  Out o = {out, size, 0};
  if (size <= 0) return 0;
  if (putSpecial(o, x)) return o.finish();
  if (decimals < 0) decimals = 0;
  if (signBit(x)) o.put('-');
  char digits[kMaxDigits + 1];
  int n = 0, e10 = 0;
  if (!isZero(x)) n = toFixedDigits(x, decimals, digits, &e10);
  if (n == 0) e10 = 0;
  // The digit at decimal position p (10^p), zero outside the ones produced.
  auto digitAt = [&](int64_t p) { int64_t i = e10 - p; return i >= 0 && i < n ? digits[i] : '0'; };
  for (int64_t p = e10 > 0 ? e10 : 0; p >= 0 && !o.full(); p--) o.put(digitAt(p));
  if (decimals > 0) o.put('.');
  for (int64_t p = -1; p >= -(int64_t)decimals && !o.full(); p--) o.put(digitAt(p));
  return o.finish();
}

} // namespace fathom
