// Conversions between number forms: real and complex parts, polar and
// rectangular forms, double and extended precision, hours.
#include <cmath>

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
  case OBJ::XREAL: case OBJ::XCOMPLEX: return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);
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
  if (n.tag == OBJ::XCOMPLEX) return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);
  if (n.tag != OBJ::COMPLEX) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  n.c = Cplx(std::hypot(n.c.real(), n.c.imag()), angle_out(std::arg(n.c), cx));
  charge_for(cx, n.tag);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

Status h_TO_RECT(Context &cx) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  if (n.tag == OBJ::XCOMPLEX) return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);
  if (n.tag != OBJ::COMPLEX) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  double r = n.c.real(), a = angle_in(n.c.imag(), cx);
  bool deg = cx.format.degrees();
  double c = deg ? KOR::realmath::cos_deg(n.c.imag()) : std::cos(a);
  double s = deg ? KOR::realmath::sin_deg(n.c.imag()) : std::sin(a);
  n.c = Cplx(r * c, r * s);
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

// Fractional hours to H.MMSSss, and back; the sign is kept apart.
double to_hms(double h) {
  double sign = h < 0 ? -1.0 : 1.0, a = std::fabs(h);
  double hours = std::floor(a);
  double minutes = std::floor((a - hours) * 60.0 + 1e-9);
  double seconds = (a - hours - minutes / 60.0) * 3600.0;
  if (seconds < 0) seconds = 0;
  return sign * (hours + minutes / 100.0 + seconds / 10000.0);
}

double from_hms(double v) {
  double sign = v < 0 ? -1.0 : 1.0, a = std::fabs(v);
  double hours = std::floor(a);
  double rest = (a - hours) * 100.0;
  double minutes = std::floor(rest + 1e-9);
  double seconds = (rest - minutes) * 100.0;
  return sign * (hours + minutes / 60.0 + seconds / 3600.0);
}

Status hms_unary(Context &cx, double (*f)(double)) {
  Num n;
  Status st;
  if (!read_top(cx, &n, &st)) return st;
  if (n.tag == OBJ::XREAL) return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);
  if (n.tag != OBJ::REAL) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  n.r = f(n.r);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

Status hms_binary(Context &cx, double sign) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num y, x;
  if (!read(s.cache[s.top - 1], &y) || !read(s.cache[s.top], &x) || y.tag != x.tag)
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  if (y.tag == OBJ::XREAL) return EXEC::raise(cx, KOR::ERR_UNDER_CONSTRUCTION);
  if (y.tag != OBJ::REAL) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  replace(cx, 2, real_num(to_hms(from_hms(y.r) + sign * from_hms(x.r))));
  return EXEC::NORMAL;
}

} // namespace

Status h_TO_HMS(Context &cx) { return hms_unary(cx, to_hms); }
Status h_HMS_TO(Context &cx) { return hms_unary(cx, from_hms); }
Status h_HMS_ADD(Context &cx) { return hms_binary(cx, 1.0); }
Status h_HMS_SUB(Context &cx) { return hms_binary(cx, -1.0); }

} // namespace OP
