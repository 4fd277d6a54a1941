// Extended Bessel functions of integer order: J_n, Y_n, I_n, K_n.
//
// The order is trunc(n), |n| <= 2e9 (else NaN); negative orders use
// J_-n = (-1)^n J_n, Y_-n = (-1)^n Y_n, I_-n = I_n, K_-n = K_n, and
// negative x uses J_n(-x) = (-1)^n J_n(x), I_n(-x) = (-1)^n I_n(x) (Y_n,
// K_n: NaN).  All recurrences run in the 192-bit working float, whose
// exponent never overflows, so nothing is rescaled:
//   J_n: x > n: forward recurrence from J0, J1 (stable while k < x);
//        x <= n: Miller's backward recurrence normalised by
//        J0 + 2 sum J_2k = 1, started where the dominant solution has grown
//        by 2^150 beyond order n (found by a double-precision pass).  The
//        start puts an error of about J_m into the normalising sum (whose
//        value is 1), and J_m < 2^-150 J_n; near the turning point x = n,
//        where J_n is not small, a start 2^110 beyond n cost 1000 ulps.
//   Y_n, K_n: forward recurrence from orders 0 and 1 (both grow with n).
//   I_n: forward from exp(-x) I0, exp(-x) I1 while n^2 < 2 x; else
//        backward, started as for J_n and normalised by I0.  The forward
//        recurrence is unstable: the error of its starting values (fits
//        within 2^-140 from x = 12) grows by about (I_1/I_n)^2, which is
//        e^(n^2/x) for n << x (n = 29 at x = 31.4 lost 18 bits).  The
//        backward one takes about n + 15 sqrt(x) steps.
// Near the zeros of J_n and Y_n (n >= 2) the error is bounded by a few
// units of 2^-180 of the amplitude, since a recurrence carries absolute
// error.  Orders above 2^20 give 0 (J, I) or -inf / inf (Y, K) where the
// value certainly under/overflows (x < n/4), NaN otherwise; J_n and I_n
// are 0 where (x/2)^n/n! is below the least extended real.
#include <cmath>

#include "fathom/xmath.h"
#include "fathom/xmath_kernels.h"
#include "fathom/xsf_bessel_internal.h"
#include "fathom/xspecial_bessel.h"

namespace fathom {
namespace {

using namespace detail;
using namespace detail::xsf;

constexpr long kMaxOrder = 1 << 20;
// log of the least positive extended real (2^(-332192809-127)), rounded down.
constexpr double kLogTiny = -2.30259e8;
// I and K over- and underflow every extended real beyond this.
constexpr double kExpLimit = 2.31e8;

bool orderOf(XRealValue n, long *k) {
  if (isNaN(n)) return false;
  double d = toDouble(trunc(n));
  if (!(std::fabs(d) <= 2e9)) return false;
  *k = (long)d;
  return true;
}

// log x for finite x > 0 (any extended exponent) in double.
double logOf(XRealValue x) {
  int e;
  XRealValue m = frexp(x, &e);
  return std::log(toDouble(m)) + e * 0.6931471805599453;
}

// (x/2)^n / n!, which bounds J_n(x) and e^-x I_n(x), is below the least
// extended real.
bool underflows(long n, XRealValue x) {
  return n * (logOf(x) - 0.6931471805599453) - std::lgamma(n + 1.0) < kLogTiny;
}

XRealValue withSign(const W &r, bool flip) { return wToX(flip ? wNeg(r) : r); }

// The start of a backward recurrence for order n at x: the first m > n at
// which the dominant solution of y_(k+1) = (2k/x) y_k - s y_(k-1)
// (s = 1: Bessel, s = -1: modified) has grown by 2^150 from order n.
long millerStart(long n, double x, int s) {
  double ym = 0, y = 1;
  long k = n;
  double scale = 0;   // log2 of the rescaling
  while (true) {
    double yp = (2.0 * k / x) * y - s * ym;
    ym = y;
    y = yp;
    ++k;
    if (std::fabs(y) > 0x1p500 || std::isinf(y)) {
      if (std::isinf(y)) return k + 2;
      scale += 500;
      y *= 0x1p-500;
      ym *= 0x1p-500;
    }
    if (scale + std::log2(std::fabs(y)) > 150) return k + 2;
  }
}

// J_n(x) / normalisation by Miller's algorithm, x > 0, n >= 2.
W jnBackward(long n, const W &x, double xd) {
  long m = millerStart(n, xd, 1);
  m += m & 1;
  W tw = wDiv(wFromInt(2), x);
  W jp = wZero(), j = wFromInt(1), sum = wZero(), result = wZero();
  for (long k = m; k > 0; --k) {
    W jm = wSub(wMul(wMulInt(tw, k), j), jp);   // J_(k-1)
    jp = j;
    j = jm;
    if (k - 1 == n) result = j;
    if (k - 1 > 0 && ((k - 1) & 1) == 0) sum = wAdd(sum, j);
  }
  sum = wAdd(wLdexp(sum, 1), j);               // J0 + 2 sum J_2k
  return wDiv(result, sum);
}

// false beyond the range of J0 and J1 (2^1048576).
bool jnForward(long n, const W &x, W *out) {
  W jm, j;
  if (!besselJY0W(x, &jm, nullptr) || !besselJY1W(x, &j, nullptr)) return false;
  W tw = wDiv(wFromInt(2), x);
  for (long k = 1; k < n; ++k) {
    W jp = wSub(wMul(wMulInt(tw, k), j), jm);
    jm = j;
    j = jp;
  }
  *out = j;
  return true;
}

// I_n(x) e^-x / I0(x) e^-x ratio by the backward recurrence, n >= 2.
W inRatioBackward(long n, const W &x, double xd) {
  long m = millerStart(n, xd, -1);
  W tw = wDiv(wFromInt(2), x);
  W ip = wZero(), i = wFromInt(1), result = wZero();
  for (long k = m; k > 0; --k) {
    W im = wAdd(wMul(wMulInt(tw, k), i), ip);   // I_(k-1)
    ip = i;
    i = im;
    if (k - 1 == n) result = i;
  }
  return wDiv(result, i);
}

// exp(-x) I_n(x) by the forward recurrence from exp(-x) I0, exp(-x) I1.
W inForward(long n, const W &x) {
  W im = besselI0ScaledW(x), i = besselI1ScaledW(x);
  W tw = wDiv(wFromInt(2), x);
  for (long k = 1; k < n; ++k) {
    W ip = wSub(im, wMul(wMulInt(tw, k), i));
    im = i;
    i = ip;
  }
  return i;
}

// Exponents beyond which a recurrence's value certainly overflows.
constexpr int64_t kHugeExp = 332192812;

} // namespace

XRealValue besselJn(XRealValue nu, XRealValue x) {
  long n;
  if (!orderOf(nu, &n) || isNaN(x)) return nan();
  bool flip = false;
  if (n < 0) {
    n = -n;
    flip = n & 1;
  }
  if (signBit(x)) {
    x = fabs(x);
    if (n & 1) flip = !flip;
  }
  if (n == 0) return flip ? neg(besselJ0(x)) : besselJ0(x);
  if (n == 1) return flip ? neg(besselJ1(x)) : besselJ1(x);
  if (isZero(x) || isInf(x)) return zero(flip);
  double xd = toDouble(x);
  if (n > kMaxOrder) return xd < n / 4.0 ? zero(flip) : nan();
  if (xd <= n && underflows(n, x)) return zero(flip);
  W w = wFromX(x), r;
  if (xd > n) {
    if (!jnForward(n, w, &r)) return nan();
    return withSign(r, flip);
  }
  return withSign(jnBackward(n, w, xd), flip);
}

XRealValue besselYn(XRealValue nu, XRealValue x) {
  long n;
  if (!orderOf(nu, &n) || isNaN(x) || (signBit(x) && !isZero(x))) return nan();
  bool flip = false;
  if (n < 0) {
    n = -n;
    flip = n & 1;
  }
  if (n == 0) return flip ? neg(besselY0(x)) : besselY0(x);
  if (n == 1) return flip ? neg(besselY1(x)) : besselY1(x);
  if (isZero(x)) return infinity(!flip);
  if (isInf(x)) return zero();
  double xd = toDouble(x);
  if (n > kMaxOrder) return xd < n / 4.0 ? infinity(!flip) : nan();
  W w = wFromX(x), ym, y;
  if (!besselJY0W(w, nullptr, &ym) || !besselJY1W(w, nullptr, &y)) return nan();
  W tw = wDiv(wFromInt(2), w);
  for (long k = 1; k < n; ++k) {
    W yp = wSub(wMul(wMulInt(tw, k), y), ym);
    ym = y;
    y = yp;
    if (y.e > kHugeExp) return infinity(y.neg != flip);
  }
  return withSign(y, flip);
}

XRealValue besselIn(XRealValue nu, XRealValue x) {
  long n;
  if (!orderOf(nu, &n) || isNaN(x)) return nan();
  if (n < 0) n = -n;
  bool flip = signBit(x) && (n & 1);
  x = fabs(x);
  if (n == 0) return besselI0(x);
  if (n == 1) return flip ? neg(besselI1(x)) : besselI1(x);
  if (isZero(x)) return zero();
  if (isInf(x)) return infinity(flip);
  double xd = toDouble(x);
  if (n > kMaxOrder) return xd < n / 4.0 ? zero(flip) : nan();
  if (xd > kExpLimit) return infinity(flip);
  if (xd <= n && underflows(n, x)) return zero(flip);
  W w = wFromX(x);
  W scaled;
  if ((double)n * n < 2 * xd) scaled = inForward(n, w);
  else scaled = wMul(inRatioBackward(n, w, xd), besselI0ScaledW(w));
  return withSign(wMul(scaled, expW(w)), flip);
}

XRealValue besselKn(XRealValue nu, XRealValue x) {
  long n;
  if (!orderOf(nu, &n) || isNaN(x) || (signBit(x) && !isZero(x))) return nan();
  if (n < 0) n = -n;
  if (n == 0) return besselK0(x);
  if (n == 1) return besselK1(x);
  if (isZero(x)) return infinity();
  if (isInf(x)) return zero();
  double xd = toDouble(x);
  if (n > kMaxOrder) return xd < n / 4.0 ? infinity() : nan();
  if (xd > kExpLimit) return zero();
  W w = wFromX(x);
  W km = besselK0ScaledW(w), k = besselK1ScaledW(w);   // scaled by exp(x)
  W tw = wDiv(wFromInt(2), w);
  for (long j = 1; j < n; ++j) {
    W kp = wAdd(km, wMul(wMulInt(tw, j), k));
    km = k;
    k = kp;
    if (k.e > kHugeExp + 400000000) return infinity();
  }
  return wToX(wMul(k, expW(wNeg(w))));
}

} // namespace fathom
