// Decimal conversions of the extended real, correctly rounded both ways.
#pragma once

#include "fathom/xreal.h"

namespace fathom {

// Reads an extended real from text: leading white space, an optional sign,
// then (ignoring case) "NaN", "Infinity", the text "1/0", or digits with an
// optional point and an optional exponent ("e"/"E", a signed integer clamped
// to +-200000000).  *end (when given) is set after the converted text, or to
// `text` when nothing was converted (the result is then +0).  The result is
// correctly rounded, ties to even, for digit strings of any length: exactly
// whenever the digits that decide it fit 12000 digits and the power of ten
// fits 40960 bits, and otherwise by 16384-bit bounds, which can only fail for
// input that matches a halfway point to thousands of digits (it is then
// rounded from a 2^-184 approximation).
XRealValue strtox(const char *text, const char **end);

// Decimal digits of |x|, correctly rounded (to nearest, ties to even on the
// exact binary value) to `count` significant digits (1 to 40; values outside
// are clamped): writes `count` digit characters and a NUL into `digits` and sets
// *exp10 so that |x| = 0.d1d2d3... * 10^(*exp10 + 1), i.e. d1.d2d3... * 10^*exp10.
// x must be finite and non-zero.
void toDigits(XRealValue x, int count, char *digits, int *exp10);

// Like toDigits, but rounded at the 10^-decimals place (fixed notation).
// Returns the number of digits written (0 when |x| rounds to zero); *exp10 is
// the decimal exponent of the first digit.  At most 80 digits: when more
// would be needed, |x| is rounded at its 80th significant digit instead.
// `digits` must hold 81 characters.
int toFixedDigits(XRealValue x, int decimals, char *digits, int *exp10);

// printf-like formatting of an extended real ("%.*e" and "%.*f" style,
// "NaN"/"Infinity"/"-Infinity" for the special values, "-" for every value
// with the sign bit, zeros included).  Digits past the 80th significant one
// are written as zeros.  Return the number of characters stored, at most
// size - 1, the text always ending in a NUL when size > 0.
int formatE(char *out, int size, XRealValue x, int decimals);
int formatF(char *out, int size, XRealValue x, int decimals);

} // namespace fathom
