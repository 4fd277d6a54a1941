// Conversions between number forms: real and complex parts, polar and
// rectangular forms, double and extended precision, hours.
#include <cmath>

#include "fathom/xdecimal.h"
#include "fathom/xmath.h"
#include "kor/Runtime.h"
#include "kor/dispatch.h"
#include "kor/handlers.h"
#include "kor/realmath.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using namespace dispatch;
namespace fm = fathom;

namespace {

constexpr double DEG_PER_RAD = 57.295779513082320876798154814105170332;

double angle_out(double radians, const Context &cx) {
  return cx.format.degrees() ? radians * DEG_PER_RAD : radians;
}
double angle_in(double a, const Context &cx) { return cx.format.degrees() ? a / DEG_PER_RAD : a; }

// The polar angle of (x, y) in the current angle mode; in degrees the
// right angles and their halves come out whole.
fm::XRealValue xangle(fm::XRealValue y, fm::XRealValue x, const Context &cx) {
  return cx.format.degrees() ? fm::atan2Deg(y, x) : fm::atan2(y, x);
}

bool read_top(Context &cx, Num *n, Status *st) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return *st = EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS), false;
  if (!read(s.cache[s.top], n)) return *st = EXEC::raise(cx, KOR::ERR_BAD_TYPE), false;
  return true;
}

Num real_num(double r) {
  Num n;
  n.tag = OBJ::REAL;
  n.r = r;
  return n;
}

Num xreal_num(fm::XRealValue x) {
  Num n;
  n.tag = OBJ::XREAL;
  n.x = x;
  return n;
}

// The real and imaginary parts of any analytic number.
Status part(Context &cx, bool imaginary) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  Num out;
  switch (n.tag) {
  case OBJ::REAL: out = real_num(imaginary ? 0.0 : n.r); break;
  case OBJ::XREAL: out = xreal_num(imaginary ? fm::zero() : n.x); break;
  case OBJ::COMPLEX: out = real_num(imaginary ? n.c.imag() : n.c.real()); break;
  case OBJ::XCOMPLEX: out = xreal_num(imaginary ? n.xc.im : n.xc.re); break;
  default: return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  }
  replace(cx, 1, out);
  return EXEC::NORMAL;
}

} // namespace

Status h_Re(Context &cx) { return part(cx, false); }
Status h_Im(Context &cx) { return part(cx, true); }

Status h_Arg(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  Num out;
  switch (n.tag) {
  case OBJ::REAL: out = real_num(angle_out(std::atan2(0.0, n.r), cx)); break;
  case OBJ::COMPLEX: out = real_num(angle_out(std::arg(n.c), cx)); break;
  case OBJ::XREAL: out = xreal_num(xangle(fm::zero(), n.x, cx)); break;
  case OBJ::XCOMPLEX: out = xreal_num(xangle(n.xc.im, n.xc.re, cx)); break;
  default: return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  }
  charge_for(cx, n.tag);
  replace(cx, 1, out);
  return EXEC::NORMAL;
}

// (x, y) to (modulus, angle), the angle in the current angle mode.
Status h_TO_POLAR(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  if (n.tag == OBJ::XCOMPLEX) {
    n.xc = {fm::cabs(n.xc), xangle(n.xc.im, n.xc.re, cx)};
  } else if (n.tag == OBJ::COMPLEX) {
    n.c = Cplx(std::hypot(n.c.real(), n.c.imag()), angle_out(std::arg(n.c), cx));
  } else {
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  }
  charge_for(cx, n.tag);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

Status h_TO_RECT(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  bool deg = cx.format.degrees();
  if (n.tag == OBJ::XCOMPLEX) {
    fm::XRealValue r = n.xc.re, a = n.xc.im;
    fm::XRealValue c = deg ? fm::cosDeg(a) : fm::cos(a), s = deg ? fm::sinDeg(a) : fm::sin(a);
    n.xc = {r * c, r * s};
  } else if (n.tag == OBJ::COMPLEX) {
    double r = n.c.real(), a = angle_in(n.c.imag(), cx);
    double c = deg ? KOR::realmath::cos_deg(n.c.imag()) : std::cos(a);
    double s = deg ? KOR::realmath::sin_deg(n.c.imag()) : std::sin(a);
    n.c = Cplx(r * c, r * s);
  } else {
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  }
  charge_for(cx, n.tag);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

Status h_TO_DP(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  if (n.tag == OBJ::BINARY) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  if (n.tag == OBJ::XREAL) convert(n, OBJ::REAL);
  if (n.tag == OBJ::XCOMPLEX) convert(n, OBJ::COMPLEX);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

Status h_TO_XP(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  if (n.tag == OBJ::BINARY) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  if (n.tag == OBJ::REAL) convert(n, OBJ::XREAL);
  if (n.tag == OBJ::COMPLEX) convert(n, OBJ::XCOMPLEX);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

// A complex number splits into its parts on two levels; a binary integer
// becomes a real (extended in extended precision); reals stay.
Status h_TO_REAL(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  switch (n.tag) {
  case OBJ::BINARY:
    convert(n, cx.format.xprec() ? OBJ::XREAL : OBJ::REAL);
    replace(cx, 1, n);
    return EXEC::NORMAL;
  case OBJ::COMPLEX:
    replace(cx, 1, real_num(n.c.real()));
    cx.main.push(entry_of(real_num(n.c.imag()), cx));
    return EXEC::NORMAL;
  case OBJ::XCOMPLEX:
    replace(cx, 1, xreal_num(n.xc.re));
    cx.main.push(entry_of(xreal_num(n.xc.im), cx));
    return EXEC::NORMAL;
  default:
    replace(cx, 1, n);
    return EXEC::NORMAL;
  }
}

// Y (real part) and X (imaginary part) become one complex number.
Status h_TO_CX(Context &cx) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num y, x;
  if (!read(s.cache[s.top - 1], &y) || !read(s.cache[s.top], &x))
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  auto real_kind = [](uint32_t t) { return t == OBJ::REAL || t == OBJ::XREAL; };
  if (!real_kind(y.tag) || !real_kind(x.tag)) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  Num out;
  if (y.tag == OBJ::REAL && x.tag == OBJ::REAL) {
    out.tag = OBJ::COMPLEX;
    out.c = Cplx(y.r, x.r);
  } else {
    convert(y, OBJ::XREAL);
    convert(x, OBJ::XREAL);
    out.tag = OBJ::XCOMPLEX;
    out.xc = {y.x, x.x};
  }
  replace(cx, 2, out);
  return EXEC::NORMAL;
}

// ---- Hours, minutes and seconds (H.MMSSss) ----

namespace {

// Fractional hours to H.MMSSss, and back; the sign is kept apart.  The
// minutes are taken with a small allowance (1e-9 of a minute for doubles,
// 1e-28 for extended reals, both far above the rounding error of the
// fraction and far below a displayed digit), so that 1.5 h does not become
// 1:29:59.99...; seconds pushed below zero by it are 0, and 60 minutes
// reached by it carry into the hours (0:59:59 + 0:00:01 is 1.00).
// Infinities and NaN stay as they are; a zero keeps its sign.
double to_hms(double h) {
  if (!std::isfinite(h)) return h;
  double sign = std::signbit(h) ? -1.0 : 1.0, a = std::fabs(h);
  double hours = std::floor(a);
  double minutes = std::floor((a - hours) * 60.0 + 1e-9);
  double seconds = (a - hours - minutes / 60.0) * 3600.0;
  if (seconds < 0) seconds = 0;
  if (minutes >= 60) {   // the allowance reached the next hour
    hours += 1;
    minutes -= 60;
  }
  return sign * (hours + minutes / 100.0 + seconds / 10000.0);
}

double from_hms(double v) {
  if (!std::isfinite(v)) return v;
  double sign = std::signbit(v) ? -1.0 : 1.0, a = std::fabs(v);
  double hours = std::floor(a);
  double rest = (a - hours) * 100.0;
  double minutes = std::floor(rest + 1e-9);
  double seconds = (rest - minutes) * 100.0;
  return sign * (hours + minutes / 60.0 + seconds / 3600.0);
}

using XR = fm::XRealValue;

XR xint(int64_t i) { return fm::fromInt64(i); }

// The same in extended precision.  The minutes' allowance is 1e-28, as a
// correctly rounded constant.
XR minute_allowance() {
  static const XR v = fm::strtox("1e-28", nullptr);
  return v;
}

XR xto_hms(XR h) {
  if (!fm::isFinite(h)) return h;
  bool negative = fm::signBit(h);
  XR a = fm::fabs(h);
  XR hours = fm::floor(a);
  XR fraction = a - hours;                           // exact
  XR minutes = fm::floor(fraction * xint(60) + minute_allowance());
  XR seconds = (fraction - minutes / xint(60)) * xint(3600);
  if (fm::signBit(seconds)) seconds = fm::zero();
  if (minutes >= xint(60)) {
    hours = hours + xint(1);
    minutes = minutes - xint(60);
  }
  XR v = hours + (minutes * xint(100) + seconds) / xint(10000);
  return negative ? fm::neg(v) : v;
}

XR xfrom_hms(XR v) {
  if (!fm::isFinite(v)) return v;
  bool negative = fm::signBit(v);
  XR a = fm::fabs(v);
  XR hours = fm::floor(a);
  XR rest = (a - hours) * xint(100);
  XR minutes = fm::floor(rest + minute_allowance());
  XR seconds = (rest - minutes) * xint(100);
  XR h = hours + (minutes * xint(60) + seconds) / xint(3600);
  return negative ? fm::neg(h) : h;
}

Status hms_unary(Context &cx, double (*f)(double), XR (*xf)(XR)) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  if (n.tag == OBJ::REAL) n.r = f(n.r);
  else if (n.tag == OBJ::XREAL) n.x = xf(n.x);
  else return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  charge_for(cx, n.tag);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

// Both arguments of one type: the sum of two times in different precisions
// is refused rather than promoted.
Status hms_binary(Context &cx, bool subtract) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num y, x;
  if (!read(s.cache[s.top - 1], &y) || !read(s.cache[s.top], &x) || y.tag != x.tag)
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  if (y.tag == OBJ::REAL) {
    double t = from_hms(x.r);
    replace(cx, 2, real_num(to_hms(from_hms(y.r) + (subtract ? -t : t))));
  } else if (y.tag == OBJ::XREAL) {
    XR t = xfrom_hms(x.x);
    charge_for(cx, y.tag);
    replace(cx, 2, xreal_num(xto_hms(xfrom_hms(y.x) + (subtract ? fm::neg(t) : t))));
  } else {
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  }
  return EXEC::NORMAL;
}

} // namespace

Status h_TO_HMS(Context &cx) { return hms_unary(cx, to_hms, xto_hms); }
Status h_HMS_TO(Context &cx) { return hms_unary(cx, from_hms, xfrom_hms); }
Status h_HMS_ADD(Context &cx) { return hms_binary(cx, false); }
Status h_HMS_SUB(Context &cx) { return hms_binary(cx, true); }

} // namespace OP
