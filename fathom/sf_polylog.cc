// Dilogarithm Li2(x) = -int_0^x log(1 - t)/t dt; for x > 1 the real part.
//
//   -1 <= x <= 0.5   u P(u), u = -log1p(-x)                      (kLi2Log)
//   0.5 < x < 0.9    P(x)                                          (kLi2Mid)
//   0.9 <= x <= 1    pi^2/6 - log(x) log(1 - x) - Li2(1 - x)
//   x < -1           -pi^2/6 - log^2(-x)/2 - Li2(1/x)
//   1 < x            Re Li2 = pi^2/3 - log^2(x)/2 - Li2(1/x); around its
//                    zero 12.5951... (8 <= x < 24) (x - z) P(x) (kLi2ReZero)
// The reflections are summed in long double.
#include "fathom/special.h"
#include "fathom/sf_fit_polylog.h"
#include "fathom/sf_internal.h"

#include <cmath>

namespace fathom {
namespace {

using namespace sf;

constexpr long double kPi2Over6 = 1.644934066848226436472415166646025189L;

// Li2 for -1 <= x <= 1.
double li2Unit(double x) {
  if (x <= 0.5) {
    double u = -std::log1p(-x);
    return ddValue(ddMul(fitEvalDD(fitFind(kLi2Log, u), u), u));
  }
  if (x < 0.9) return fitEval(kLi2Mid, x);
  if (x == 1) return (double)kPi2Over6;
  long double l = std::log((long double)x) * std::log((long double)(1 - x));
  return (double)(kPi2Over6 - l - li2Unit(1 - x));
}

} // namespace

double dilog(double x) {
  if (std::isnan(x)) return x;
  if (x >= -1 && x <= 1) return li2Unit(x);
  if (x == -INFINITY || x == INFINITY) return -INFINITY;
  if (x < -1) {
    long double l = std::log(-(long double)x);
    return (double)(-kPi2Over6 - l * l / 2 - li2Unit(1 / x));
  }
  if (x >= 8 && x < 24) return fitEval(kLi2ReZero, x);
  long double l = std::log((long double)x);
  return (double)(2 * kPi2Over6 - l * l / 2 - li2Unit(1 / x));
}

} // namespace fathom
