#include "kor/realmath.h"

namespace KOR::realmath {
namespace {

constexpr long double DEG = 3.14159265358979323846264338327950288L / 180.0L;

// x = 90*n + r with |r| <= 45; the quadrant n mod 4 and r in radians.
long double reduce(double x, int *quadrant) {
  int q = 0;
  double r = std::remquo(x, 90.0, &q);
  *quadrant = q & 3;
  return static_cast<long double>(r) * DEG;
}

} // namespace

// Zeros and poles take the signs IEEE 754-2019 recommends for sinPi, cosPi
// and tanPi, as the extended functions do: sin(180 k) has the sign of x,
// cos's zeros are +0, tan(180 k) is sin/cos there, and tan(180 k + 90) is
// +inf for even k and -inf for odd k.  (The remainder of an exact multiple
// of 90 is a zero with the sign of x.)
double sin_deg(double x) {
  if (!std::isfinite(x)) return std::nan("");
  int q;
  long double r = reduce(x, &q);
  if (r == 0 && !(q & 1)) return std::copysign(0.0, x);
  long double v = q == 0 ? sinl(r) : q == 1 ? cosl(r) : q == 2 ? -sinl(r) : -cosl(r);
  return static_cast<double>(v);
}

double cos_deg(double x) {
  if (!std::isfinite(x)) return std::nan("");
  int q;
  long double r = reduce(x, &q);
  long double v = q == 0 ? cosl(r) : q == 1 ? -sinl(r) : q == 2 ? -cosl(r) : sinl(r);
  return static_cast<double>(v + 0.0L);
}

double tan_deg(double x) {
  if (!std::isfinite(x)) return std::nan("");
  int q;
  long double r = reduce(x, &q);
  if (r == 0) {
    if (q & 1) return q == 1 ? HUGE_VAL : -HUGE_VAL;
    return std::copysign(0.0, std::signbit(x) != (q == 2) ? -1.0 : 1.0);
  }
  long double t = tanl(r);
  return static_cast<double>((q & 1) ? -1.0L / t : t);
}

double asin_deg(double x) { return static_cast<double>(asinl(x) / DEG); }
double acos_deg(double x) { return static_cast<double>(acosl(x) / DEG); }
double atan_deg(double x) { return static_cast<double>(atanl(x) / DEG); }

} // namespace KOR::realmath
