// The extended real: 128 significant bits, binary exponents of about
// +-332 million, passed and stored by value.  Every operation is correctly
// rounded (to nearest, ties to even) through one rounding step, and none
// touches the heap.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fathom {

// Six 32-bit words.  w0: biased binary exponent, 0 for the special values;
// w1: 0 for finite non-zero values, else the class (XR_ZERO, XR_INF, XR_NAN,
// any other value a signalling NaN); w2..w5: a 128-bit field, w5 most
// significant, whose top bit is the sign of every value and whose other 127
// bits are the fraction after an implicit leading 1.
struct XRealValue {
  uint32_t w0, w1, w2, w3, w4, w5;
};
static_assert(sizeof(XRealValue) == 24);

constexpr uint32_t XR_BIAS = 0x8000004F;   // w0 of values with 1 <= |x| < 2
constexpr uint32_t XR_EMIN = 0x6C332426;   // smallest normal w0
constexpr uint32_t XR_EMAX = 0x93CCDC79;   // largest w0
enum : uint32_t { XR_ZERO = 0, XR_INF = 1, XR_NAN = 2 };

// Classification.
bool isFinite(XRealValue x);   // zero counts as finite
bool isNaN(XRealValue x);
bool isInf(XRealValue x);
bool isZero(XRealValue x);
bool signBit(XRealValue x);

// Construction of special values.
XRealValue zero(bool negative = false);
XRealValue infinity(bool negative = false);
XRealValue nan(bool negative = false);

// Conversions with doubles and integers.
XRealValue fromDouble(double d);          // exact
double toDouble(XRealValue x);            // correctly rounded, subnormals included
XRealValue fromInt64(int64_t i);          // exact
XRealValue fromUint64(uint64_t u);        // exact

// x = m * 2^e with 0.5 <= |m| < 1; special values give themselves and e = 0.
XRealValue frexp(XRealValue x, int *e);
// x * 2^k; overflow gives infinity, underflow goes through the rounding step.
XRealValue ldexp(XRealValue x, int k);

// Correctly rounded arithmetic.
XRealValue add(XRealValue a, XRealValue b);
XRealValue sub(XRealValue a, XRealValue b);
XRealValue mul(XRealValue a, XRealValue b);
XRealValue div(XRealValue a, XRealValue b);
XRealValue sqrt(XRealValue x);
XRealValue neg(XRealValue x);
XRealValue fabs(XRealValue x);

// Comparison: -1, 0 or 1; 2 when either is a NaN (unordered).  -0 == +0.
int compare(XRealValue a, XRealValue b);
inline bool equal(XRealValue a, XRealValue b) { return compare(a, b) == 0; }

// Operators, so that generic numerical code reads the same for doubles.
inline XRealValue operator+(XRealValue a, XRealValue b) { return add(a, b); }
inline XRealValue operator-(XRealValue a, XRealValue b) { return sub(a, b); }
inline XRealValue operator*(XRealValue a, XRealValue b) { return mul(a, b); }
inline XRealValue operator/(XRealValue a, XRealValue b) { return div(a, b); }
inline XRealValue operator-(XRealValue a) { return neg(a); }
inline XRealValue &operator+=(XRealValue &a, XRealValue b) { return a = add(a, b); }
inline XRealValue &operator-=(XRealValue &a, XRealValue b) { return a = sub(a, b); }
inline XRealValue &operator*=(XRealValue &a, XRealValue b) { return a = mul(a, b); }
inline XRealValue &operator/=(XRealValue &a, XRealValue b) { return a = div(a, b); }
inline bool operator==(XRealValue a, XRealValue b) { return compare(a, b) == 0; }
inline bool operator!=(XRealValue a, XRealValue b) { return compare(a, b) != 0; }
inline bool operator<(XRealValue a, XRealValue b) { return compare(a, b) == -1; }
inline bool operator>(XRealValue a, XRealValue b) { return compare(a, b) == 1; }
inline bool operator<=(XRealValue a, XRealValue b) { int c = compare(a, b); return c == -1 || c == 0; }
inline bool operator>=(XRealValue a, XRealValue b) { int c = compare(a, b); return c == 1 || c == 0; }

// Diagnostic dump: "%8s %08x%08x %08x%08x %08x %08x " (label, w5, w4, w3, w2,
// w1, w0), then a marker near EMIN, the bias or EMAX, or the class of a
// special value, then a line end.
void dump(FILE *out, const char *label, XRealValue x);

} // namespace fathom
