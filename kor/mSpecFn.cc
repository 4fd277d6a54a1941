// The special-function commands: Bessel, elliptic and Jacobi functions,
// gamma and its relatives, error functions, exponential and trigonometric
// integrals, zeta and the dilogarithm.  They dispatch as the arithmetic
// does (numeric promotion, except both arguments of one type for the
// integer-order Bessel functions and En) and call Fathom's kernels.
#include "fathom/special.h"
#include "fathom/xspecial_bessel.h"
#include "fathom/xspecial_elliptic.h"
#include "fathom/xspecial_expint.h"
#include "fathom/xspecial_gamma.h"
#include "kor/dispatch.h"
#include "kor/handlers.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using namespace dispatch;
namespace fm = fathom;

namespace {

// Whether an extended kernel was given: a function's address compared with
// null is no constant expression where null-pointer checks are kept (the
// sanitizer builds), so the null default is matched by specialisation.
template <auto XF> constexpr bool kHasExtended = true;
template <>
[[maybe_unused]] constexpr bool kHasExtended<static_cast<XRealValue (*)(XRealValue)>(nullptr)> = false;
template <>
[[maybe_unused]] constexpr bool
    kHasExtended<static_cast<XRealValue (*)(XRealValue, XRealValue)>(nullptr)> = false;
template <>
[[maybe_unused]] constexpr bool
    kHasExtended<static_cast<XRealValue (*)(XRealValue, XRealValue, XRealValue)>(nullptr)> = false;

// One-argument functions.  Each takes the double kernel and the extended
// one; an extended kernel not written yet (null) makes an XREAL argument
// raise "Routine Under Construction...".
template <double (*F)(double), XRealValue (*XF)(XRealValue) = nullptr> Status fn1(Context &cx) {
  static const Unary k = [] {
    Unary u;
    u.real = [](double x, const Context &) { return F(x); };
    if constexpr (kHasExtended<XF>) u.xreal = [](XRealValue x, const Context &) { return XF(x); };
    u.extendedPending = !kHasExtended<XF>;
    return u;
  }();
  return unary(cx, k);
}

// Two-argument functions with numeric promotion (Beta, IGamma, elliptic).
template <double (*F)(double, double), XRealValue (*XF)(XRealValue, XRealValue) = nullptr>
Status fn2(Context &cx) {
  static const Binary k = [] {
    Binary b;
    b.real = [](double y, double x, const Context &) { return F(y, x); };
    if constexpr (kHasExtended<XF>)
      b.xreal = [](XRealValue y, XRealValue x, const Context &) { return XF(y, x); };
    b.extendedPending = !kHasExtended<XF>;
    return b;
  }();
  return binary(cx, k, Promotion::NUMERIC);
}

// Bessel functions of integer order and En: both arguments of one type.
template <double (*F)(double, double), XRealValue (*XF)(XRealValue, XRealValue) = nullptr>
Status fn2_same(Context &cx) {
  static const Binary k = [] {
    Binary b;
    b.real = [](double y, double x, const Context &) { return F(y, x); };
    if constexpr (kHasExtended<XF>)
      b.xreal = [](XRealValue y, XRealValue x, const Context &) { return XF(y, x); };
    b.extendedPending = !kHasExtended<XF>;
    return b;
  }();
  return binary(cx, k, Promotion::NONE);
}

template <double (*F)(double, double, double),
          XRealValue (*XF)(XRealValue, XRealValue, XRealValue) = nullptr>
Status fn3(Context &cx) {
  static const Ternary t3 = [] {
    Ternary t;
    t.real = [](double z, double y, double x, const Context &) { return F(z, y, x); };
    if constexpr (kHasExtended<XF>)
      t.xreal = [](XRealValue z, XRealValue y, XRealValue x, const Context &) { return XF(z, y, x); };
    t.extendedPending = !kHasExtended<XF>;
    return t;
  }();
  return ternary(cx, t3);
}

} // namespace

Status h_BessI0(Context &cx) { return fn1<fm::besselI0, fm::besselI0>(cx); }
Status h_BessI1(Context &cx) { return fn1<fm::besselI1, fm::besselI1>(cx); }
Status h_BessJ0(Context &cx) { return fn1<fm::besselJ0, fm::besselJ0>(cx); }
Status h_BessJ1(Context &cx) { return fn1<fm::besselJ1, fm::besselJ1>(cx); }
Status h_BessK0(Context &cx) { return fn1<fm::besselK0, fm::besselK0>(cx); }
Status h_BessK1(Context &cx) { return fn1<fm::besselK1, fm::besselK1>(cx); }
Status h_BessY0(Context &cx) { return fn1<fm::besselY0, fm::besselY0>(cx); }
Status h_BessY1(Context &cx) { return fn1<fm::besselY1, fm::besselY1>(cx); }
Status h_CellE(Context &cx) { return fn1<fm::ellipticE, fm::ellipticE>(cx); }
Status h_CellK(Context &cx) { return fn1<fm::ellipticK, fm::ellipticK>(cx); }
Status h_CosICi(Context &cx) { return fn1<fm::cosInt, fm::cosInt>(cx); }
Status h_SinISi(Context &cx) { return fn1<fm::sinInt, fm::sinInt>(cx); }
Status h_CoshIChi(Context &cx) { return fn1<fm::coshInt, fm::coshInt>(cx); }
Status h_SinhIShi(Context &cx) { return fn1<fm::sinhInt, fm::sinhInt>(cx); }
Status h_DawsF(Context &cx) { return fn1<fm::dawson, fm::dawson>(cx); }
Status h_DiGamma(Context &cx) { return fn1<fm::digamma, fm::digamma>(cx); }
Status h_TriGamma(Context &cx) { return fn1<fm::trigamma, fm::trigamma>(cx); }
Status h_DiLog(Context &cx) { return fn1<fm::dilog, fm::dilog>(cx); }
Status h_Erf(Context &cx) { return fn1<fm::erf, fm::erf>(cx); }
Status h_Erfc(Context &cx) { return fn1<fm::erfc, fm::erfc>(cx); }
Status h_LnErfc(Context &cx) { return fn1<fm::lnErfc, fm::lnErfc>(cx); }
Status h_ExpIE1(Context &cx) { return fn1<fm::expIntE1, fm::expIntE1>(cx); }
Status h_ExpIEi(Context &cx) { return fn1<fm::expIntEi, fm::expIntEi>(cx); }
Status h_FresnC(Context &cx) { return fn1<fm::fresnelC, fm::fresnelC>(cx); }
Status h_FresnS(Context &cx) { return fn1<fm::fresnelS, fm::fresnelS>(cx); }
Status h_Gamma(Context &cx) { return fn1<fm::gamma, fm::gamma>(cx); }
Status h_LnGamma(Context &cx) { return fn1<fm::lnGamma, fm::lnGamma>(cx); }
Status h_Fact(Context &cx) { return fn1<fm::factorial, fm::factorial>(cx); }
Status h_LogIli(Context &cx) { return fn1<fm::logInt, fm::logInt>(cx); }
Status h_Zeta(Context &cx) { return fn1<fm::zeta, fm::zeta>(cx); }

Status h_BessIn(Context &cx) { return fn2_same<fm::besselIn, fm::besselIn>(cx); }
Status h_BessJn(Context &cx) { return fn2_same<fm::besselJn, fm::besselJn>(cx); }
Status h_BessKn(Context &cx) { return fn2_same<fm::besselKn, fm::besselKn>(cx); }
Status h_BessYn(Context &cx) { return fn2_same<fm::besselYn, fm::besselYn>(cx); }
Status h_ExpIEn(Context &cx) { return fn2_same<fm::expIntEn, fm::expIntEn>(cx); }
Status h_Beta(Context &cx) { return fn2<fm::beta, fm::beta>(cx); }
Status h_IGamma(Context &cx) { return fn2<fm::gammaLower, fm::gammaLower>(cx); }
Status h_CellPi(Context &cx) { return fn2<fm::ellipticPi, fm::ellipticPi>(cx); }
Status h_EllE(Context &cx) { return fn2<fm::ellipticEInc, fm::ellipticEInc>(cx); }
Status h_EllF(Context &cx) { return fn2<fm::ellipticF, fm::ellipticF>(cx); }
Status h_JellCn(Context &cx) { return fn2<fm::jacobiCn, fm::jacobiCn>(cx); }
Status h_JellDn(Context &cx) { return fn2<fm::jacobiDn, fm::jacobiDn>(cx); }
Status h_JellSn(Context &cx) { return fn2<fm::jacobiSn, fm::jacobiSn>(cx); }
Status h_EllPi(Context &cx) { return fn3<fm::ellipticPiInc, fm::ellipticPiInc>(cx); }
Status h_IBeta(Context &cx) { return fn3<fm::betaLower, fm::betaLower>(cx); }

} // namespace OP
