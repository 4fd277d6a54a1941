// Incomplete beta function, non-regularised B(a, b, x) =
// int_0^x t^(a-1) (1-t)^(b-1) dt, and regularised I_x(a, b) = B(a, b, x)/B(a, b),
// for a, b > 0 and 0 <= x <= 1 (NaN otherwise).
//
//   x < (a+1)/(a+b+2), or b < 1 and x < 0.999, or b < 0.01 and x < 1 - 1e-4
//                       x^a (1-x)^b / a * CF(a, b, x)
//   otherwise           B(a,b) - (1-x)^b x^a / b * CF(b, a, 1-x), B in long
//                       double (sf::betaPosL)
// CF is the continued fraction of Abramowitz & Stegun 26.5.8 evaluated by
// the modified Lentz method in long double (at most 100000 terms); the
// prefactor is exp(a log x + b log1p(-x)) in long double (for I_x, minus
// log B(a, b) in the same exponent).
#include "fathom/special.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

constexpr long double kEpsL = 0x1p-64L;
constexpr long double kTiny = 1e-4000L;

long double clampTiny(long double v) { return std::fabs(v) < kTiny ? kTiny : v; }

long double betaFraction(long double a, long double b, long double x) {
  long double qab = a + b, qap = a + 1, qam = a - 1;
  long double c = 1, d = 1 / clampTiny(1 - qab * x / qap), h = d;
  for (int m = 1; m < 100000; ++m) {
    long double m2 = 2.0L * m;
    long double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1 / clampTiny(1 + aa * d);
    c = clampTiny(1 + aa / c);
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1 / clampTiny(1 + aa * d);
    c = clampTiny(1 + aa / c);
    long double del = d * c;
    h *= del;
    if (std::fabs(del - 1) < kEpsL) break;
  }
  return h;
}

bool badArgs(double a, double b, double x) {
  return std::isnan(a) || std::isnan(b) || std::isnan(x) || a <= 0 || b <= 0 || x < 0 || x > 1 ||
         std::isinf(a) || std::isinf(b);
}

// x^a (1 - x)^b as a long double, 0 < x < 1.
long double prefactor(double a, double b, double x) {
  return std::exp(a * std::log((long double)x) + b * std::log1p(-(long double)x));
}

// log(x^a (1 - x)^b / B(a, b)).  From a, b = 10 by Stirling's formula,
// a (log(x/p) - x/p + 1) + b (log(y/q) - y/q + 1) + log(a b/(2 pi (a + b)))/2
// - S(a) - S(b) + S(a + b) with p = a/(a + b), q = b/(a + b), y = 1 - x:
// its terms stay near the size of the result where x is near p, while
// a log x and log B(a, b) would each carry 2^-64 of their own size.
long double lnPrefactorI(double a, double b, double x) {
  constexpr long double kLog2PiL = 1.837877066409345483560659472811235280L;
  if (a < 10 || b < 10)
    return a * std::log((long double)x) + b * std::log1p(-(long double)x) - sf::lnBetaPosL(a, b);
  long double s = (long double)a + b, y = 1 - (long double)x;
  return a * sf::logRatioMinus(x, a / s) + b * sf::logRatioMinus(y, b / s) +
         (std::log((long double)a) + std::log((long double)b) - std::log(s) - kLog2PiL) / 2 -
         sf::stirlingRestL(a) - sf::stirlingRestL(b) + sf::stirlingRestL(a + b);
}

// The complement B(a, b) - B(b, a, 1 - x) cancels by about 1/(b B_x) when
// b < 1, where B ~ 1/b: there the fraction in x is kept up to 0.999, and
// for b < 0.01 up to 1 - 1e-4 (it still converges, in at most some
// thousands of terms; closer to 1 it does not).
bool direct(double a, double b, double x) {
  return x < (a + 1) / (a + b + 2) || (b < 1 && x < 0.999) || (b < 0.01 && x < 1 - 1e-4);
}

} // namespace

double betaI(double a, double b, double x) {
  if (badArgs(a, b, x)) return NAN;
  if (x == 0 || x == 1) return x;
  long double pre = std::exp(lnPrefactorI(a, b, x));   // one exponent: B may leave the range
  if (direct(a, b, x)) return (double)(pre * betaFraction(a, b, x) / a);
  return (double)(1 - pre * betaFraction(b, a, 1 - (long double)x) / b);
}

double betaLower(double a, double b, double x) {
  if (badArgs(a, b, x)) return NAN;
  if (x == 0) return 0;
  if (x == 1) return beta(a, b);
  long double pre = prefactor(a, b, x);
  if (direct(a, b, x)) return (double)(pre * betaFraction(a, b, x) / a);
  return (double)(sf::betaPosL(a, b) - pre * betaFraction(b, a, 1 - (long double)x) / b);
}

} // namespace fathom
