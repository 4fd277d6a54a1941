// Bessel functions of integer order: J_n, Y_n, I_n, K_n.
//
// The order is trunc(n); negative orders use J_-n = (-1)^n J_n,
// Y_-n = (-1)^n Y_n, I_-n = I_n, K_-n = K_n, and negative x uses
// J_n(-x) = (-1)^n J_n(x), I_n(-x) = (-1)^n I_n(x) (Y_n, K_n: NaN).
// Methods, all recurrences in long double:
//   J_n: x > n: forward recurrence from J0, J1 (stable for k < x);
//        x <= n: backward (Miller) recurrence from m = n + O(sqrt n) + 40,
//        normalised by J0 + 2 sum J_2k = 1.
//   Y_n, K_n: forward recurrence from order 0 and 1 (both grow with n).
//   I_n: backward recurrence normalised by exp(-x) I0(x).
// Orders above 2^20 give 0 (J, I) or -inf / inf (Y, K) where the value
// certainly under/overflows (x < n/4), NaN otherwise.  J_n and I_n are 0
// where (x/2)^n/n! underflows, and I_n is inf beyond x = 1e6.  Near the zeros of
// J_n and Y_n (n >= 2) the error is bounded relative to the local
// amplitude, not the value.
#include "fathom/special.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

constexpr int kMaxOrder = 1 << 20;

bool orderOf(double n, long *k) {
  if (std::isnan(n) || std::fabs(n) > 2e9) return false;
  *k = (long)std::trunc(n);
  return true;
}

long double jnForward(long n, double x) {
  long double jm = besselJ0(x), j = besselJ1(x);
  for (long k = 1; k < n; ++k) {
    long double jp = (2.0L * k / x) * j - jm;
    jm = j;
    j = jp;
  }
  return j;
}

// Miller's algorithm; x > 0, n >= 2.
long double jnBackward(long n, double x) {
  long m = n + (long)std::sqrt(40.0 * n) + 40;
  m += m & 1;
  long double jp = 0, j = 1e-300L, sum = 0, result = 0;
  for (long k = m; k > 0; --k) {
    long double jm = (2.0L * k / x) * j - jp;    // J_(k-1)
    jp = j;
    j = jm;
    if (std::fabs(j) > 1e300L) {                 // rescale
      j *= 1e-300L; jp *= 1e-300L; sum *= 1e-300L; result *= 1e-300L;
    }
    if (k - 1 == n) result = j;
    if (k - 1 > 0 && ((k - 1) & 1) == 0) sum += 2 * j;
  }
  sum += j;                                       // J0
  return result / sum;
}

long double inBackward(long n, double x) {
  double big = x > n ? x : n;
  long m = (long)big + (long)std::sqrt(40.0 * big) + 40;
  long double ip = 0, i = 1e-300L, result = 0;
  for (long k = m; k > 0; --k) {
    long double im = (2.0L * k / x) * i + ip;    // I_(k-1)
    ip = i;
    i = im;
    if (i > 1e300L) { i *= 1e-300L; ip *= 1e-300L; result *= 1e-300L; }
    if (k - 1 == n) result = i;
  }
  return result / i;                              // I_n / I_0
}

double sign(long n) { return (n & 1) ? -1.0 : 1.0; }

// (x/2)^n / n!, which bounds J_n(x) and I_n(x) e^-x, is below half the
// least subnormal: the recurrences would only divide by x's underflow.
bool underflows(long n, double x) {
  return n * std::log(x / 2) - std::lgamma(n + 1.0) < -746;
}

} // namespace

double besselJn(double nu, double x) {
  long n;
  if (!orderOf(nu, &n) || std::isnan(x)) return NAN;
  double s = 1;
  if (n < 0) { n = -n; s = sign(n); }
  if (x < 0) { x = -x; s *= sign(n); }
  if (n == 0) return s * besselJ0(x);
  if (n == 1) return s * besselJ1(x);
  if (x == 0 || x == INFINITY) return 0;
  if (n > kMaxOrder) return x < n / 4.0 ? 0 : NAN;
  if (x < n && underflows(n, x)) return s * 0.0;
  long double r = x > n ? jnForward(n, x) : jnBackward(n, x);
  return s * (double)r;
}

double besselYn(double nu, double x) {
  long n;
  if (!orderOf(nu, &n) || std::isnan(x) || x < 0) return NAN;
  double s = 1;
  if (n < 0) { n = -n; s = sign(n); }
  if (n == 0) return s * besselY0(x);
  if (n == 1) return s * besselY1(x);
  if (x == 0) return -s * INFINITY;
  if (x == INFINITY) return 0;
  if (n > kMaxOrder) return x < n / 4.0 ? -s * INFINITY : NAN;
  long double ym = besselY0(x), y = besselY1(x);
  for (long k = 1; k < n && std::fabs(y) < 1e4000L; ++k) {
    long double yp = (2.0L * k / x) * y - ym;
    ym = y;
    y = yp;
  }
  return s * (double)y;
}

double besselIn(double nu, double x) {
  long n;
  if (!orderOf(nu, &n) || std::isnan(x)) return NAN;
  if (n < 0) n = -n;
  double s = x < 0 ? sign(n) : 1;
  x = std::fabs(x);
  if (n == 0) return besselI0(x);
  if (n == 1) return s * besselI1(x);
  if (x == 0) return 0;
  if (x == INFINITY) return s * INFINITY;
  if (n > kMaxOrder) return x < n / 4.0 ? 0 : NAN;
  if (x < n && underflows(n, x)) return s * 0.0;
  // Beyond 1e6, e^(x - n^2/(2x)) overflows for every order up to 2^20 (and
  // the backward recurrence would need about x steps).
  if (x > 1e6) return s * INFINITY;
  long double ratio = inBackward(n, x);
  if (x <= 8) return s * (double)(ratio * besselI0(x));
  sf::DD i0 = sf::besselI0Scaled(x);
  double rh = (double)ratio, rl = (double)(ratio - rh);
  sf::DD p = sf::ddMul(i0, sf::DD{rh, rl});
  return s * sf::expTimes(x, p);
}

double besselKn(double nu, double x) {
  long n;
  if (!orderOf(nu, &n) || std::isnan(x) || x < 0) return NAN;
  if (n < 0) n = -n;
  if (n == 0) return besselK0(x);
  if (n == 1) return besselK1(x);
  if (x == 0) return INFINITY;
  if (x == INFINITY) return 0;
  if (n > kMaxOrder) return x < n / 4.0 ? INFINITY : NAN;
  long double km = besselK0(x), k = besselK1(x);
  for (long j = 1; j < n && k < 1e4000L; ++j) {
    long double kp = km + (2.0L * j / x) * k;
    km = k;
    k = kp;
  }
  return (double)k;
}

} // namespace fathom
