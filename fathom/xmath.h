// Elementary functions of the extended real, each within a few units in the
// last of the 128 bits over its whole domain, with IEEE-style special values
// (NaN for arguments outside the real domain, signed zeros and infinities
// where the functions have them).
#pragma once

#include "fathom/xreal.h"

namespace fathom {

// Constants, correctly rounded to 128 bits.
XRealValue xpi();
XRealValue xe();
XRealValue xeuler();     // Euler's gamma
XRealValue xcatalan();
XRealValue xln2();
XRealValue xln10();

XRealValue cbrt(XRealValue x);
XRealValue exp(XRealValue x);
XRealValue expm1(XRealValue x);
XRealValue exp10(XRealValue x);          // 10^x, exact for integer x where representable
XRealValue log(XRealValue x);
XRealValue log1p(XRealValue x);
XRealValue log10(XRealValue x);
XRealValue pow(XRealValue y, XRealValue x);   // y^x; exact integer powers where representable
// The x-th root y^(1/x), exact for exact roots; the negative root of a
// negative y for odd integral x, NaN for other negative y.
XRealValue root(XRealValue y, XRealValue x);
// sin, cos, tan: exact argument reduction below 2^1048576, NaN from there up.
XRealValue sin(XRealValue x);
XRealValue cos(XRealValue x);
XRealValue tan(XRealValue x);
XRealValue asin(XRealValue x);
XRealValue acos(XRealValue x);
XRealValue atan(XRealValue x);
XRealValue atan2(XRealValue y, XRealValue x);
XRealValue sinh(XRealValue x);
XRealValue cosh(XRealValue x);
XRealValue tanh(XRealValue x);
XRealValue asinh(XRealValue x);
XRealValue acosh(XRealValue x);
XRealValue atanh(XRealValue x);
XRealValue floor(XRealValue x);
XRealValue ceil(XRealValue x);
XRealValue rint(XRealValue x);           // nearest integer, ties to even
XRealValue trunc(XRealValue x);

// Exact remainders.  fmod(y, x) = y - trunc(y/x) x, with the sign of y;
// remquo(y, x, &q) = y - n x with n = y/x rounded to the nearest integer
// (ties to even) and q = the low 31 bits of |n| with the sign of y/x.  Both
// give NaN for an infinite y or a zero x (q = 0), and y for a zero y or an
// infinite x (q = 0); a zero remainder has the sign of y.
XRealValue fmod(XRealValue y, XRealValue x);
XRealValue remquo(XRealValue y, XRealValue x, int *quo);

// Trigonometric functions with angles in degrees.  The argument is reduced
// exactly modulo 90 (remquo), so that multiples of 30, 45 and 90 give exact
// results (sin 30 = 0.5, cos 90 = 0, tan 45 = 1) at every magnitude, and the
// remainder goes to radians at 192 bits.  Zeros and poles as IEEE 754-2019
// recommends for sinPi, cosPi, tanPi: sinDeg(180 k) has the sign of x,
// cosDeg's zeros are +0, tanDeg(180 k) = sinDeg/cosDeg there, and
// tanDeg(180 k + 90) is +inf for even k, -inf for odd k.
XRealValue sinDeg(XRealValue x);
XRealValue cosDeg(XRealValue x);
XRealValue tanDeg(XRealValue x);
// Results in degrees, exact where they are integers (asinDeg(0.5) = 30).
XRealValue asinDeg(XRealValue x);
XRealValue acosDeg(XRealValue x);
XRealValue atanDeg(XRealValue x);
XRealValue atan2Deg(XRealValue y, XRealValue x);

// sin(x)/x and sin(x)/x - 1 (relative accuracy near 0; sinc(0) = 1,
// sincm1(+-0) = +0; NaN for infinities and where sin is NaN).
XRealValue sinc(XRealValue x);
XRealValue sincm1(XRealValue x);
// sqrt(1 + x) - 1 with relative accuracy near 0; NaN below -1.
XRealValue sqrt1pm1(XRealValue x);

} // namespace fathom
