// Display and precision modes, angle mode, clock and version information,
// and the constants.
#include <cfloat>
#include <cmath>

#include "fathom/xdecimal.h"
#include "fathom/xmath.h"
#include "kor/Real.h"
#include "kor/Runtime.h"
#include "kor/XReal.h"
#include "kor/handlers.h"
#include "kor/platform.h"
#include "kor/version.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using KOR::DisplayFormat;

namespace {

// Std, Sci, Fix and Eng with a digit count from level 1.
Status set_format(Context &cx, uint32_t format, int cap, int xcap) {
  long n;
  Status st = EXEC::pop_integer(cx, &n);
  if (st != EXEC::NORMAL) return st;
  int limit = cx.format.xprec() ? xcap : cap;
  if (n < 0) n = 0;
  if (n > limit) n = limit;
  cx.format.format = format;
  cx.format.digits = static_cast<int8_t>(n);
  return EXEC::NORMAL;
}

Status set_base(Context &cx, uint32_t base) {
  cx.format.base = base;
  return EXEC::NORMAL;
}

void push_xreal(Context &cx, fathom::XRealValue v) {
  OBJ::XReal *x = OBJ::make<OBJ::XReal>(&cx.pool);
  x->num = v;
  cx.main.push(KOR::Entry::object(x));
}

// A real pushed as a REAL, or as an XREAL in extended precision.
void push_number(Context &cx, double d) {
  if (cx.format.xprec()) push_xreal(cx, fathom::fromDouble(d));
  else EXEC::push_real(cx, d);
}

// A constant: the double nearest to its digits, or in extended precision
// the library's correctly rounded value when it has one, else the extended
// real nearest to the digits.
Status push_constant(Context &cx, const char *digits, fathom::XRealValue (*exact)() = nullptr) {
  if (cx.format.xprec())
    push_xreal(cx, exact ? exact() : fathom::strtox(digits, nullptr));
  else
    EXEC::push_real(cx, std::strtod(digits, nullptr));
  return EXEC::NORMAL;
}

} // namespace

Status h_Std(Context &cx) {
  cx.format.format = DisplayFormat::STD;
  cx.format.digits = 0;
  return EXEC::NORMAL;
}
Status h_StdN(Context &cx) { return set_format(cx, DisplayFormat::STD, 17, 40); }
Status h_Sci(Context &cx) { return set_format(cx, DisplayFormat::SCI, 16, 39); }
Status h_Fix(Context &cx) { return set_format(cx, DisplayFormat::FIX, 16, 39); }
Status h_Eng(Context &cx) { return set_format(cx, DisplayFormat::ENG, 16, 39); }
Status h_Bin(Context &cx) { return set_base(cx, DisplayFormat::BIN); }
Status h_Dec(Context &cx) { return set_base(cx, DisplayFormat::DEC); }
Status h_Hex(Context &cx) { return set_base(cx, DisplayFormat::HEX); }
Status h_Oct(Context &cx) { return set_base(cx, DisplayFormat::OCT); }

Status h_Deg(Context &cx) {
  cx.format.flags |= DisplayFormat::DEGREES;
  return EXEC::NORMAL;
}

Status h_Rad(Context &cx) {
  cx.format.flags &= static_cast<uint8_t>(~DisplayFormat::DEGREES);
  return EXEC::NORMAL;
}

Status h_Xprec(Context &cx) {
  cx.format.setXprec(true);
  return EXEC::NORMAL;
}

Status h_Dprec(Context &cx) {
  cx.format.setXprec(false);
  return EXEC::NORMAL;
}

Status h_Clock(Context &cx) {
  push_number(cx, std::round(KOR::cpu_seconds() * 1000.0) / 1000.0);
  return EXEC::NORMAL;
}

Status h_ClockHz(Context &cx) {
  push_number(cx, 1000.0);
  return EXEC::NORMAL;
}

Status h_Time(Context &cx) {
  push_number(cx, KOR::wall_seconds());
  return EXEC::NORMAL;
}

Status h_Version(Context &cx) {
  OBJ::String *s = OBJ::make<OBJ::String>(&cx.pool);
  s->text = KOR::version_text();
  cx.main.push(KOR::Entry::object(s));
  return EXEC::NORMAL;
}

// ---- Constants ------------------------------------------------------------------

Status h_True(Context &cx) { return push_constant(cx, "1"); }
Status h_False(Context &cx) { return push_constant(cx, "0"); }
Status h_Pi(Context &cx) { return push_constant(cx, "3.141592653589793238462643383279502884197", fathom::xpi); }
Status h_E(Context &cx) { return push_constant(cx, "2.718281828459045235360287471352662497757", fathom::xe); }
Status h_Egamma(Context &cx) {
  return push_constant(cx, "0.5772156649015328606065120900824024310422", fathom::xeuler);
}
Status h_Catalan(Context &cx) {
  return push_constant(cx, "0.9159655941772190150546035149323841107741", fathom::xcatalan);
}
Status h_Infinity(Context &cx) { return push_constant(cx, "Infinity"); }
Status h_NaN(Context &cx) { return push_constant(cx, "NaN"); }

Status h_MaxR(Context &cx) {
  if (!cx.format.xprec()) return push_constant(cx, "1.7976931348623157e308");
  push_xreal(cx, fathom::XRealValue{fathom::XR_EMAX, 0, ~0u, ~0u, ~0u, 0x7fffffffu});
  return EXEC::NORMAL;
}

Status h_MinR(Context &cx) {
  if (!cx.format.xprec()) return push_constant(cx, "2.2250738585072014e-308");
  push_xreal(cx, fathom::XRealValue{fathom::XR_EMIN, 0, 0, 0, 0, 0});
  return EXEC::NORMAL;
}

Status h_I(Context &cx) {
  if (cx.format.xprec())
    cx.main.push(KOR::Entry::object(new OBJ::XComplex(fathom::zero(), fathom::fromDouble(1.0))));
  else
    cx.main.push(KOR::Entry::object(new OBJ::Complex(0.0, 1.0)));
  return EXEC::NORMAL;
}

} // namespace OP
