// Arithmetic and comparison: the general handlers behind the register forms,
// dispatching on the five number types with arithmetic or numeric promotion.
#include <cmath>
#include <cstring>

#include "fathom/xmath.h"
#include "kor/HardLink.h"
#include "kor/Runtime.h"
#include "kor/dispatch.h"
#include "kor/handlers.h"
#include "kor/realmath.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using namespace dispatch;
namespace fm = fathom;
namespace rm = KOR::realmath;

namespace {

// ---- Complex helpers ----

// z^n for an integer n by repeated squaring, exact for small powers.
Cplx cpow_int(Cplx z, long n) {
  bool invert = n < 0;
  unsigned long m = invert ? static_cast<unsigned long>(-n) : static_cast<unsigned long>(n);
  Cplx r(1.0, 0.0);
  while (m) {
    if (m & 1) r *= z;
    z *= z;
    m >>= 1;
  }
  return invert ? Cplx(1.0, 0.0) / r : r;
}

Cplx cpow(Cplx y, Cplx x) {
  if (x.imag() == 0 && std::fabs(x.real()) <= 1024 && x.real() == std::trunc(x.real()))
    return cpow_int(y, static_cast<long>(x.real()));
  if (y == Cplx(0.0, 0.0)) return x.real() > 0 ? Cplx(0.0, 0.0) : std::pow(y, x);
  return std::pow(y, x);
}

XComplexValue xcmul(XComplexValue a, XComplexValue b, const Context &) { return fm::cmul(a, b); }

bool is_zero(XComplexValue z) { return fm::isZero(z.re) && fm::isZero(z.im); }

// y^x; a zero y with Re x > 0 gives 0 whatever Im x, as for doubles.
XComplexValue xcpow(XComplexValue y, XComplexValue x) {
  if (is_zero(y) && fm::compare(x.re, fm::zero()) == 1) return {fm::zero(), fm::zero()};
  return fm::cpow(y, x);
}

// A negative real (not NaN) becomes complex, so that the result is complex.
void negative_to_complex(Num &n) {
  if (n.tag == OBJ::REAL && n.r < 0) convert(n, OBJ::COMPLEX);
  else if (n.tag == OBJ::XREAL && fm::signBit(n.x) && !fm::isNaN(n.x) && !fm::isZero(n.x))
    convert(n, OBJ::XCOMPLEX);
}

// fmod is exact in both precisions, so this holds for every odd integer.
bool is_odd_integer(const Num &n) {
  if (n.tag == OBJ::REAL) return std::fabs(std::fmod(n.r, 2.0)) == 1.0;
  if (n.tag == OBJ::XREAL)
    return fm::compare(fm::fabs(fm::fmod(n.x, fm::fromInt64(2))), fm::fromInt64(1)) == 0;
  return false;
}

// The x-th root of y: pow, then one Newton step so that exact roots come out exact.
double real_root(double y, double x) {
  if (y < 0) return -real_root(-y, x);
  if (x == 2) return std::sqrt(y);
  if (x == 3) return rm::cbrt(y);
  double r = std::pow(y, 1.0 / x);
  if (!std::isfinite(r) || r == 0 || !std::isfinite(x)) return r;
  long double R = r, X = x;
  long double f = powl(R, X) - y, d = X * powl(R, X - 1);
  return d != 0 ? static_cast<double>(R - f / d) : r;
}

// ---- Binary integer kernels (masked operands) ----

bool b_add(uint64_t y, uint64_t x, const Context &, uint64_t *r) { return *r = y + x, true; }
bool b_sub(uint64_t y, uint64_t x, const Context &, uint64_t *r) { return *r = y - x, true; }
bool b_mul(uint64_t y, uint64_t x, const Context &, uint64_t *r) { return *r = y * x, true; }
// Division by zero is an arithmetic fault: no quotient exists to show.
bool b_div(uint64_t y, uint64_t x, const Context &, uint64_t *r) {
  if (x == 0) return false;
  *r = y / x;
  return true;
}

const Binary ADD_K{
    [](double y, double x, const Context &) { return y + x; },
    [](XRealValue y, XRealValue x, const Context &) { return y + x; },
    b_add,
    [](Cplx y, Cplx x, const Context &) { return y + x; },
    [](XComplexValue y, XComplexValue x, const Context &) { return fm::cadd(y, x); }};
const Binary SUB_K{
    [](double y, double x, const Context &) { return y - x; },
    [](XRealValue y, XRealValue x, const Context &) { return y - x; },
    b_sub,
    [](Cplx y, Cplx x, const Context &) { return y - x; },
    [](XComplexValue y, XComplexValue x, const Context &) { return fm::csub(y, x); }};
const Binary MUL_K{
    [](double y, double x, const Context &) { return y * x; },
    [](XRealValue y, XRealValue x, const Context &) { return y * x; },
    b_mul,
    [](Cplx y, Cplx x, const Context &) { return y * x; },
    xcmul};
const Binary DIV_K{
    [](double y, double x, const Context &) { return y / x; },
    [](XRealValue y, XRealValue x, const Context &) { return y / x; },
    b_div,
    [](Cplx y, Cplx x, const Context &) { return y / x; },
    [](XComplexValue y, XComplexValue x, const Context &) { return fm::cdiv(y, x); }};

Binary pow_kernels() {
  Binary k;
  k.real = [](double y, double x, const Context &) { return std::pow(y, x); };
  k.xreal = [](XRealValue y, XRealValue x, const Context &) { return fm::pow(y, x); };
  k.complex = [](Cplx y, Cplx x, const Context &) { return cpow(y, x); };
  k.xcomplex = [](XComplexValue y, XComplexValue x, const Context &) { return xcpow(y, x); };
  k.pre = [](Num &y, Num &, const Context &) { negative_to_complex(y); };
  return k;
}

// A complex root is the power 1/x.  The extended real root never rounds
// 1/x, so exact roots stay exact (32 5 Xrt is 2).
Binary xrt_kernels() {
  Binary k;
  k.real = [](double y, double x, const Context &) { return real_root(y, x); };
  k.xreal = [](XRealValue y, XRealValue x, const Context &) { return fm::root(y, x); };
  k.complex = [](Cplx y, Cplx x, const Context &) { return cpow(y, Cplx(1.0, 0.0) / x); };
  k.xcomplex = [](XComplexValue y, XComplexValue x, const Context &) {
    return xcpow(y, fm::cdiv({fm::fromInt64(1), fm::zero()}, x));
  };
  k.pre = [](Num &y, Num &x, const Context &) {
    if (!is_odd_integer(x)) negative_to_complex(y);
  };
  return k;
}

// Folded constant forms fail exactly as the words they stand for: the
// constant is pushed (and swapped under x for "c Swap -" and "c Swap /")
// and the general word runs, leaving both on the stack when it fails.
Status with_constant(Context &cx, Status (*general)(Context &), bool constantFirst) {
  double c = EXEC::take_datum(cx).real;
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  EXEC::push_real(cx, c);
  if (constantFirst) s.swap_levels(0);
  return general(cx);
}

// ---- Comparison ----

enum Relation { EQ, NE, LT, LE, GT, GE };

template <class T> bool holds(Relation r, const T &y, const T &x) {
  switch (r) {
  case EQ: return y == x;
  case NE: return y != x;
  case LT: return y < x;
  case LE: return y <= x;
  case GT: return y > x;
  default: return y >= x;
  }
}

bool xholds(Relation r, XRealValue y, XRealValue x) {
  int c = fm::compare(y, x);   // 2: unordered
  switch (r) {
  case EQ: return c == 0;
  case NE: return c != 0;
  case LT: return c == -1;
  case LE: return c == -1 || c == 0;
  case GT: return c == 1;
  default: return c == 1 || c == 0;
  }
}

const std::string *text_of(const KOR::Entry &e) {
  if (e.tag != OBJ::STRING) return nullptr;
  return &static_cast<const OBJ::String *>(e.v.p)->text;
}

Status compare(Context &cx, Relation r) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  const KOR::Entry &ye = s.cache[s.top - 1], &xe = s.cache[s.top];
  Num y, x, out;
  out.tag = OBJ::REAL;
  if (ye.tag == OBJ::REAL && xe.tag == OBJ::REAL) {
    out.r = rm::truth(holds(r, ye.v.r, xe.v.r));
    replace(cx, 2, out);
    return EXEC::NORMAL;
  }
  if (const std::string *yt = text_of(ye)) {
    const std::string *xt = text_of(xe);
    if (!xt) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    int c = std::memcmp(yt->data(), xt->data(), std::min(yt->size(), xt->size()));
    if (c == 0) c = yt->size() < xt->size() ? -1 : yt->size() > xt->size() ? 1 : 0;
    out.r = rm::truth(holds(r, c, 0));
    replace(cx, 2, out);
    return EXEC::NORMAL;
  }
  if (!read(ye, &y) || !read(xe, &x)) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  promote(y, x, Promotion::NUMERIC);
  if (y.tag != x.tag) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  bool ordered = r != EQ && r != NE;
  switch (y.tag) {
  case OBJ::REAL: out.r = rm::truth(holds(r, y.r, x.r)); break;
  case OBJ::XREAL: out.r = rm::truth(xholds(r, y.x, x.x)); break;
  case OBJ::BINARY: {
    uint64_t m = cx.format.mask;
    out.r = rm::truth(holds(r, y.b & m, x.b & m));
    break;
  }
  case OBJ::COMPLEX:
    if (ordered) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    out.r = rm::truth((y.c == x.c) == (r == EQ));
    break;
  default: {
    if (ordered) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    bool same = fm::compare(y.xc.re, x.xc.re) == 0 && fm::compare(y.xc.im, x.xc.im) == 0;
    out.r = rm::truth(r == EQ ? same : !same);
    break;
  }
  }
  charge_for(cx, y.tag);
  replace(cx, 2, out);
  return EXEC::NORMAL;
}

// ---- Unary arithmetic ----

Unary neg_k() {
  Unary k;
  k.real = [](double x, const Context &) { return -x; };
  k.xreal = [](XRealValue x, const Context &) { return fm::neg(x); };
  k.complex = [](Cplx z, const Context &) { return -z; };
  k.xcomplex = [](XComplexValue z, const Context &) { return fm::cneg(z); };
  return k;
}

Unary inv_k() {
  Unary k;
  k.real = [](double x, const Context &) { return 1.0 / x; };
  k.xreal = [](XRealValue x, const Context &) { return fm::fromDouble(1.0) / x; };
  k.complex = [](Cplx z, const Context &) { return Cplx(1.0, 0.0) / z; };
  k.xcomplex = [](XComplexValue z, const Context &) {
    return fm::cdiv({fm::fromDouble(1.0), fm::zero()}, z);
  };
  return k;
}

Unary sq_k() {
  Unary k;
  k.real = [](double x, const Context &) { return x * x; };
  k.xreal = [](XRealValue x, const Context &) { return x * x; };
  k.complex = [](Cplx z, const Context &) { return z * z; };
  k.xcomplex = [](XComplexValue z, const Context &) { return fm::cmul(z, z); };
  return k;
}

// The modulus of a complex number comes back as a real.
void modulus_to_real(Num &n, const Context &) {
  if (n.tag == OBJ::COMPLEX) {
    double m = n.c.real();
    n.tag = OBJ::REAL;
    n.r = m;
  } else if (n.tag == OBJ::XCOMPLEX) {
    XRealValue m = n.xc.re;
    n.tag = OBJ::XREAL;
    n.x = m;
  }
}

Unary abs_k() {
  Unary k;
  k.real = [](double x, const Context &) { return std::fabs(x); };
  k.xreal = [](XRealValue x, const Context &) { return fm::fabs(x); };
  k.complex = [](Cplx z, const Context &) { return Cplx(std::hypot(z.real(), z.imag()), 0.0); };
  k.xcomplex = [](XComplexValue z, const Context &) { return XComplexValue{fm::cabs(z), fm::zero()}; };
  k.post = modulus_to_real;
  return k;
}

Unary sign_k() {
  Unary k;
  k.real = [](double x, const Context &) { return rm::sign(x); };
  k.xreal = [](XRealValue x, const Context &) {
    if (fm::isNaN(x) || fm::isZero(x)) return x;
    return fm::fromDouble(fm::signBit(x) ? -1.0 : 1.0);
  };
  k.complex = [](Cplx z, const Context &) {
    double m = std::hypot(z.real(), z.imag());
    return m == 0 ? z : z / m;
  };
  k.xcomplex = [](XComplexValue z, const Context &) {
    XRealValue m = fm::cabs(z);
    if (fm::isZero(m)) return z;
    return XComplexValue{z.re / m, z.im / m};
  };
  return k;
}

Unary conj_k() {
  Unary k;
  k.real = [](double x, const Context &) { return x; };
  k.xreal = [](XRealValue x, const Context &) { return x; };
  k.complex = [](Cplx z, const Context &) { return std::conj(z); };
  k.xcomplex = [](XComplexValue z, const Context &) { return fm::cconj(z); };
  return k;
}

Unary sqrt_k() {
  Unary k;
  k.real = [](double x, const Context &) { return std::sqrt(x); };
  k.xreal = [](XRealValue x, const Context &) { return fm::sqrt(x); };
  k.complex = [](Cplx z, const Context &) { return std::sqrt(z); };
  k.xcomplex = [](XComplexValue z, const Context &) { return fm::csqrt(z); };
  k.pre = [](Num &n, const Context &) { negative_to_complex(n); };
  return k;
}

// Complex arguments have the principal cube root.
Unary cbrt_k() {
  Unary k;
  k.real = [](double x, const Context &) { return rm::cbrt(x); };
  k.xreal = [](XRealValue x, const Context &) { return fm::cbrt(x); };
  k.complex = [](Cplx z, const Context &) { return z == Cplx(0, 0) ? z : std::exp(std::log(z) / 3.0); };
  k.xcomplex = [](XComplexValue z, const Context &) { return fm::ccbrt(z); };
  return k;
}

} // namespace

Status h_ADD(Context &cx) { return binary(cx, ADD_K, Promotion::ARITHMETIC); }
Status h_SUB(Context &cx) { return binary(cx, SUB_K, Promotion::ARITHMETIC); }
Status h_MUL(Context &cx) { return binary(cx, MUL_K, Promotion::ARITHMETIC); }
Status h_DIV(Context &cx) { return binary(cx, DIV_K, Promotion::ARITHMETIC); }
Status h_POW(Context &cx) {
  static const Binary k = pow_kernels();
  return binary(cx, k, Promotion::NUMERIC);
}
Status h_Xrt(Context &cx) {
  static const Binary k = xrt_kernels();
  return binary(cx, k, Promotion::NUMERIC);
}

// "Swap -" and "Swap /" folded: a failure leaves the levels swapped, as the
// two words would.
Status h_SWAPSUB(Context &cx) {
  cx.main.refill(2);
  if (cx.main.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  cx.main.swap_levels(0);
  return h_SUB(cx);
}

Status h_SWAPDIV(Context &cx) {
  cx.main.refill(2);
  if (cx.main.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  cx.main.swap_levels(0);
  return h_DIV(cx);
}

Status h_REALADD(Context &cx) { return with_constant(cx, h_ADD, false); }
Status h_REALSUB(Context &cx) { return with_constant(cx, h_SUB, false); }
Status h_REALMUL(Context &cx) { return with_constant(cx, h_MUL, false); }
Status h_REALDIV(Context &cx) { return with_constant(cx, h_DIV, false); }
Status h_REALNEG(Context &cx) { return with_constant(cx, h_SUB, true); }
Status h_REALINV(Context &cx) { return with_constant(cx, h_DIV, true); }

Status h_EQ(Context &cx) { return compare(cx, EQ); }
Status h_NE(Context &cx) { return compare(cx, NE); }
Status h_LT(Context &cx) { return compare(cx, LT); }
Status h_LE(Context &cx) { return compare(cx, LE); }
Status h_GT(Context &cx) { return compare(cx, GT); }
Status h_GE(Context &cx) { return compare(cx, GE); }

// Literal equality: the same type and the same contents, no conversion.
Status h_Same(Context &cx) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  const KOR::Entry &y = s.cache[s.top - 1], &x = s.cache[s.top];
  bool same = false;
  if (y.tag == x.tag) {
    if (y.tag == OBJ::REAL) same = y.v.r == x.v.r;
    else if (y.tag == OBJ::BINARY) same = y.v.b == x.v.b;
    else same = y.v.p->equals(*x.v.p);
  }
  Num out;
  out.tag = OBJ::REAL;
  out.r = rm::truth(same);
  replace(cx, 2, out);
  return EXEC::NORMAL;
}

Status h_Neg(Context &cx) {
  static const Unary k = neg_k();
  return unary(cx, k);
}
Status h_Inv(Context &cx) {
  static const Unary k = inv_k();
  return unary(cx, k);
}
Status h_Sq(Context &cx) {
  static const Unary k = sq_k();
  return unary(cx, k);
}
Status h_Abs(Context &cx) {
  static const Unary k = abs_k();
  return unary(cx, k);
}
Status h_Sign(Context &cx) {
  static const Unary k = sign_k();
  return unary(cx, k);
}
Status h_Conj(Context &cx) {
  static const Unary k = conj_k();
  return unary(cx, k);
}
Status h_Sqrt(Context &cx) {
  static const Unary k = sqrt_k();
  return unary(cx, k);
}
Status h_Cbrt(Context &cx) {
  static const Unary k = cbrt_k();
  return unary(cx, k);
}

} // namespace OP
