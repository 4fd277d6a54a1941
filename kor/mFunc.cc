// Exponential, logarithmic, trigonometric and hyperbolic functions and their
// relatives, in every type they accept.  Real trigonometric functions work in
// the current angle mode; complex ones always in radians.
#include <cmath>

#include "kor/Runtime.h"
#include "kor/dispatch.h"
#include "kor/handlers.h"
#include "kor/realmath.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using namespace dispatch;
namespace rm = KOR::realmath;

namespace {

const double LN10 = 2.302585092994045684017991454684364208;

bool deg(const Context &cx) { return cx.format.degrees(); }

// Domain extensions: arguments outside the real domain become complex.
void below_zero_complex(Num &n, const Context &) {
  if (n.tag == OBJ::REAL && n.r < 0) convert(n, OBJ::COMPLEX);
  else if (n.tag == OBJ::XREAL && fathom::signBit(n.x) && !fathom::isZero(n.x) && !fathom::isNaN(n.x))
    convert(n, OBJ::XCOMPLEX);
}

bool outside_unit(const Num &n) {
  if (n.tag == OBJ::REAL) return n.r < -1 || n.r > 1;
  if (n.tag == OBJ::XREAL) {
    double d = fathom::toDouble(n.x);
    return d < -1 || d > 1;
  }
  return false;
}

void unit_interval_complex(Num &n, const Context &) {
  if (outside_unit(n)) convert(n, n.tag == OBJ::REAL ? OBJ::COMPLEX : OBJ::XCOMPLEX);
}

void below_one_complex(Num &n, const Context &) {
  bool below = n.tag == OBJ::REAL ? n.r < 1 : n.tag == OBJ::XREAL && fathom::toDouble(n.x) < 1;
  if (below) convert(n, n.tag == OBJ::REAL ? OBJ::COMPLEX : OBJ::XCOMPLEX);
}

// sin(x)/x and sin(x)/x - 1 without cancellation near 0.
double sinc(double x) { return x == 0 ? 1.0 : std::sin(x) / x; }
double sincm1(double x) {
  if (x == 0) return 0.0;
  if (std::fabs(x) < 1.0) {
    // With y = -x^2: y (1/3! + y (1/5! + y (... + y / 19!))), the terms to
    // x^18/19! keeping the sum to below 1e-17 relative for |x| < 1.
    static constexpr double inv_fact[] = {1.0 / 6, 1.0 / 120, 1.0 / 5040, 1.0 / 362880,
                                          1.0 / 39916800, 1.0 / 6227020800.0,
                                          1.0 / 1307674368000.0, 1.0 / 355687428096000.0,
                                          1.0 / 121645100408832000.0};
    double y = -x * x, t = inv_fact[8];
    for (int n = 7; n >= 0; --n) t = inv_fact[n] + y * t;
    return y * t;
  }
  return std::sin(x) / x - 1.0;
}

Unary make(double (*real)(double, const Context &), Cplx (*complex)(Cplx, const Context &),
           void (*pre)(Num &, const Context &) = nullptr) {
  Unary k;
  k.real = real;
  k.complex = complex;
  k.pre = pre;
  k.extendedPending = true;
  return k;
}

#define KOR_FUNC(NAME, REAL, COMPLEX, PRE)                                   \
  Status h_##NAME(Context &cx) {                                             \
    static const Unary k = make([](double x, const Context &c) { (void)c; return (REAL); }, \
                                COMPLEX, PRE);                               \
    return unary(cx, k);                                                     \
  }
#define KOR_CFN(expr) [](Cplx z, const Context &) { return (expr); }

} // namespace

KOR_FUNC(Exp, std::exp(x), KOR_CFN(std::exp(z)), nullptr)
KOR_FUNC(Alog, rm::alog(x), KOR_CFN(std::exp(z * LN10)), nullptr)
KOR_FUNC(Ln, std::log(x), KOR_CFN(std::log(z)), below_zero_complex)
KOR_FUNC(Log, std::log10(x), KOR_CFN(std::log(z) / LN10), below_zero_complex)
KOR_FUNC(Sin, deg(c) ? rm::sin_deg(x) : std::sin(x), KOR_CFN(std::sin(z)), nullptr)
KOR_FUNC(Cos, deg(c) ? rm::cos_deg(x) : std::cos(x), KOR_CFN(std::cos(z)), nullptr)
KOR_FUNC(Tan, deg(c) ? rm::tan_deg(x) : std::tan(x), KOR_CFN(std::tan(z)), nullptr)
KOR_FUNC(Asin, deg(c) ? rm::asin_deg(x) : std::asin(x), KOR_CFN(std::asin(z)), unit_interval_complex)
KOR_FUNC(Acos, deg(c) ? rm::acos_deg(x) : std::acos(x), KOR_CFN(std::acos(z)), unit_interval_complex)
KOR_FUNC(Atan, deg(c) ? rm::atan_deg(x) : std::atan(x), KOR_CFN(std::atan(z)), nullptr)
KOR_FUNC(Sinh, std::sinh(x), KOR_CFN(std::sinh(z)), nullptr)
KOR_FUNC(Cosh, std::cosh(x), KOR_CFN(std::cosh(z)), nullptr)
KOR_FUNC(Tanh, std::tanh(x), KOR_CFN(std::tanh(z)), nullptr)
KOR_FUNC(Asinh, std::asinh(x), KOR_CFN(std::asinh(z)), nullptr)
KOR_FUNC(Acosh, std::acosh(x), KOR_CFN(std::acosh(z)), below_one_complex)
KOR_FUNC(Atanh, std::atanh(x), KOR_CFN(std::atanh(z)), unit_interval_complex)
KOR_FUNC(Expm1, std::expm1(x), nullptr, nullptr)
KOR_FUNC(Ln1p, std::log1p(x), nullptr, nullptr)
KOR_FUNC(Sqrt1pm1, rm::sqrt1pm1(x), nullptr, nullptr)
KOR_FUNC(Sinc, sinc(x), nullptr, nullptr)
KOR_FUNC(Sincm1, sincm1(x), nullptr, nullptr)
KOR_FUNC(Ceil, std::ceil(x), nullptr, nullptr)
KOR_FUNC(Floor, std::floor(x), nullptr, nullptr)
KOR_FUNC(Rint, std::nearbyint(x), nullptr, nullptr)

} // namespace OP
