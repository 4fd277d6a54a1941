// Exponential, logarithmic, trigonometric and hyperbolic functions and their
// relatives, in every type they accept.  Real trigonometric functions work in
// the current angle mode; complex ones always in radians.
#include <cmath>

#include "fathom/xcomplex.h"
#include "fathom/xmath.h"
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

namespace fm = fathom;
using XR = XRealValue;
using XC = XComplexValue;

const double LN10 = 2.302585092994045684017991454684364208;

bool deg(const Context &cx) { return cx.format.degrees(); }

// Domain extensions: arguments outside the real domain become complex.
void below_zero_complex(Num &n, const Context &) {
  if (n.tag == OBJ::REAL && n.r < 0) convert(n, OBJ::COMPLEX);
  else if (n.tag == OBJ::XREAL && fm::signBit(n.x) && !fm::isZero(n.x) && !fm::isNaN(n.x))
    convert(n, OBJ::XCOMPLEX);
}

// Extended reals are compared exactly: 1 + 2^-100 is outside [-1, 1] even
// though it rounds to 1 as a double.
bool outside_unit(const Num &n) {
  if (n.tag == OBJ::REAL) return n.r < -1 || n.r > 1;
  if (n.tag == OBJ::XREAL) return fm::compare(fm::fabs(n.x), fm::fromInt64(1)) == 1;
  return false;
}

void unit_interval_complex(Num &n, const Context &) {
  if (outside_unit(n)) convert(n, n.tag == OBJ::REAL ? OBJ::COMPLEX : OBJ::XCOMPLEX);
}

void below_one_complex(Num &n, const Context &) {
  bool below = n.tag == OBJ::REAL ? n.r < 1
                                  : n.tag == OBJ::XREAL && fm::compare(n.x, fm::fromInt64(1)) == -1;
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

using RealK = double (*)(double, const Context &);
using XRealK = XR (*)(XR, const Context &);
using CplxK = Cplx (*)(Cplx, const Context &);
using XCplxK = XC (*)(XC, const Context &);
using PreK = void (*)(Num &, const Context &);

Unary make(RealK real, XRealK xreal, CplxK complex, XCplxK xcomplex, PreK pre = nullptr) {
  Unary k;
  k.real = real;
  k.xreal = xreal;
  k.complex = complex;
  k.xcomplex = xcomplex;
  k.pre = pre;
  return k;
}

#define KOR_RFN(expr) [](double x, const Context &c) { (void)c; return (expr); }
#define KOR_XFN(expr) [](XR x, const Context &c) { (void)c; return (expr); }
#define KOR_CFN(expr) [](Cplx z, const Context &) { return (expr); }
#define KOR_XCFN(fn) [](XC z, const Context &) { return fn(z); }
#define KOR_FUNC(NAME, REAL, XREAL, COMPLEX, XCOMPLEX, PRE)                 \
  Status h_##NAME(Context &cx) {                                             \
    static const Unary k = make(REAL, XREAL, COMPLEX, XCOMPLEX, PRE);        \
    return unary(cx, k);                                                     \
  }

} // namespace

KOR_FUNC(Exp, KOR_RFN(std::exp(x)), KOR_XFN(fm::exp(x)), KOR_CFN(std::exp(z)), KOR_XCFN(fm::cexp), nullptr)
KOR_FUNC(Alog, KOR_RFN(rm::alog(x)), KOR_XFN(fm::exp10(x)), KOR_CFN(std::exp(z * LN10)), KOR_XCFN(fm::cexp10),
         nullptr)
KOR_FUNC(Ln, KOR_RFN(std::log(x)), KOR_XFN(fm::log(x)), KOR_CFN(std::log(z)), KOR_XCFN(fm::clog),
         below_zero_complex)
KOR_FUNC(Log, KOR_RFN(std::log10(x)), KOR_XFN(fm::log10(x)), KOR_CFN(std::log(z) / LN10), KOR_XCFN(fm::clog10),
         below_zero_complex)
// Real arguments in the current angle mode; complex ones in radians.
KOR_FUNC(Sin, KOR_RFN(deg(c) ? rm::sin_deg(x) : std::sin(x)), KOR_XFN(deg(c) ? fm::sinDeg(x) : fm::sin(x)),
         KOR_CFN(std::sin(z)), KOR_XCFN(fm::csin), nullptr)
KOR_FUNC(Cos, KOR_RFN(deg(c) ? rm::cos_deg(x) : std::cos(x)), KOR_XFN(deg(c) ? fm::cosDeg(x) : fm::cos(x)),
         KOR_CFN(std::cos(z)), KOR_XCFN(fm::ccos), nullptr)
KOR_FUNC(Tan, KOR_RFN(deg(c) ? rm::tan_deg(x) : std::tan(x)), KOR_XFN(deg(c) ? fm::tanDeg(x) : fm::tan(x)),
         KOR_CFN(std::tan(z)), KOR_XCFN(fm::ctan), nullptr)
KOR_FUNC(Asin, KOR_RFN(deg(c) ? rm::asin_deg(x) : std::asin(x)), KOR_XFN(deg(c) ? fm::asinDeg(x) : fm::asin(x)),
         KOR_CFN(std::asin(z)), KOR_XCFN(fm::casin), unit_interval_complex)
KOR_FUNC(Acos, KOR_RFN(deg(c) ? rm::acos_deg(x) : std::acos(x)), KOR_XFN(deg(c) ? fm::acosDeg(x) : fm::acos(x)),
         KOR_CFN(std::acos(z)), KOR_XCFN(fm::cacos), unit_interval_complex)
KOR_FUNC(Atan, KOR_RFN(deg(c) ? rm::atan_deg(x) : std::atan(x)), KOR_XFN(deg(c) ? fm::atanDeg(x) : fm::atan(x)),
         KOR_CFN(std::atan(z)), KOR_XCFN(fm::catan), nullptr)
KOR_FUNC(Sinh, KOR_RFN(std::sinh(x)), KOR_XFN(fm::sinh(x)), KOR_CFN(std::sinh(z)), KOR_XCFN(fm::csinh), nullptr)
KOR_FUNC(Cosh, KOR_RFN(std::cosh(x)), KOR_XFN(fm::cosh(x)), KOR_CFN(std::cosh(z)), KOR_XCFN(fm::ccosh), nullptr)
KOR_FUNC(Tanh, KOR_RFN(std::tanh(x)), KOR_XFN(fm::tanh(x)), KOR_CFN(std::tanh(z)), KOR_XCFN(fm::ctanh), nullptr)
KOR_FUNC(Asinh, KOR_RFN(std::asinh(x)), KOR_XFN(fm::asinh(x)), KOR_CFN(std::asinh(z)), KOR_XCFN(fm::casinh),
         nullptr)
KOR_FUNC(Acosh, KOR_RFN(std::acosh(x)), KOR_XFN(fm::acosh(x)), KOR_CFN(std::acosh(z)), KOR_XCFN(fm::cacosh),
         below_one_complex)
KOR_FUNC(Atanh, KOR_RFN(std::atanh(x)), KOR_XFN(fm::atanh(x)), KOR_CFN(std::atanh(z)), KOR_XCFN(fm::catanh),
         unit_interval_complex)
// Real functions only: complex arguments are refused.
KOR_FUNC(Expm1, KOR_RFN(std::expm1(x)), KOR_XFN(fm::expm1(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Ln1p, KOR_RFN(std::log1p(x)), KOR_XFN(fm::log1p(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Sqrt1pm1, KOR_RFN(rm::sqrt1pm1(x)), KOR_XFN(fm::sqrt1pm1(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Sinc, KOR_RFN(sinc(x)), KOR_XFN(fm::sinc(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Sincm1, KOR_RFN(sincm1(x)), KOR_XFN(fm::sincm1(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Ceil, KOR_RFN(std::ceil(x)), KOR_XFN(fm::ceil(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Floor, KOR_RFN(std::floor(x)), KOR_XFN(fm::floor(x)), nullptr, nullptr, nullptr)
KOR_FUNC(Rint, KOR_RFN(std::nearbyint(x)), KOR_XFN(fm::rint(x)), nullptr, nullptr, nullptr)

} // namespace OP
