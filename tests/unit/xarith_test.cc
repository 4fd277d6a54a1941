// The arithmetic, function and conversion commands on extended reals and
// extended complex numbers: values against MPFR (extended reals) and against
// the double-precision complex functions (the branches and cuts of extended
// complex results), exact results in degree mode at every magnitude, the
// domain extensions into XCOMPLEX, promotion of mixed REAL and XREAL
// arguments, signed zeros, infinities and NaN, hours at 40 digits, and the
// constants of extended precision.
#include <gtest/gtest.h>
#include <gmp.h>
#include <mpfr.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "fathom/xreal.h"
#include "kor/Real.h"
#include "kor/XReal.h"
#include "unit/engine_util.h"

namespace {

using fathom::XRealValue;
using Cplx = std::complex<double>;

// ---- Running commands ----

struct Result {
  int status = -1;
  int err = 0;
  uint32_t tag = OBJ::INVALID;   // of level 1
  XRealValue x{};                // XREAL, or the real part of an XCOMPLEX
  XRealValue xi{};               // the imaginary part of an XCOMPLEX
  double r = 0;                  // REAL
  Cplx c;                        // COMPLEX
  size_t depth = 0;
};

Result xrun(const std::string &src, engine::Mode mode = engine::Mode::Optimized) {
  engine::Session s(src, mode);
  Result out;
  out.status = s.start();
  out.err = out.status == EXEC::ERROR ? s.cx.err_ : 0;
  out.depth = s.cx.main.depth();
  if (out.depth == 0) return out;
  const KOR::Entry &e = s.cx.main.level(1);
  out.tag = e.tag;
  switch (e.tag) {
  case OBJ::REAL: out.r = e.v.r; break;
  case OBJ::XREAL: out.x = static_cast<const OBJ::XReal *>(e.v.p)->num; break;
  case OBJ::COMPLEX: {
    auto *z = static_cast<const OBJ::Complex *>(e.v.p);
    out.c = Cplx(z->re, z->im);
    break;
  }
  case OBJ::XCOMPLEX: {
    auto *z = static_cast<const OBJ::XComplex *>(e.v.p);
    out.x = z->re;
    out.xi = z->im;
    break;
  }
  default: break;
  }
  return out;
}

// The value of an extended literal as the tokenizer reads it.
XRealValue literal(const std::string &text) {
  Result r = xrun(text);
  EXPECT_EQ(r.tag, OBJ::XREAL) << text;
  return r.x;
}

// ---- MPFR ----

constexpr mpfr_prec_t kPrec = 320;

struct Mp {
  mpfr_t v;
  explicit Mp(mpfr_prec_t p = kPrec) { mpfr_init2(v, p); }
  ~Mp() { mpfr_clear(v); }
  Mp(const Mp &) = delete;
  Mp &operator=(const Mp &) = delete;
};

// Exact: the 128-bit significand as an integer times a power of two.
void to_mpfr(mpfr_t r, XRealValue x) {
  bool negative = x.w5 >> 31;
  if (x.w0 == 0) {
    if (x.w1 == fathom::XR_ZERO) mpfr_set_zero(r, negative ? -1 : 1);
    else if (x.w1 == fathom::XR_INF) mpfr_set_inf(r, negative ? -1 : 1);
    else mpfr_set_nan(r);
    return;
  }
  mpz_t m;
  mpz_init(m);
  uint32_t words[4] = {x.w2, x.w3, x.w4, (x.w5 & 0x7fffffffu) | 0x80000000u};
  mpz_import(m, 4, -1, sizeof words[0], 0, 0, words);
  if (negative) mpz_neg(m, m);
  mpfr_set_z_2exp(r, m, (mpfr_exp_t)((int64_t)x.w0 - fathom::XR_BIAS - 127), MPFR_RNDN);
  mpz_clear(m);
}

// The error of got in units of the last of 128 bits of ref; special values
// and zeros must match exactly (1e9 otherwise).
double ulps(XRealValue got, const mpfr_t ref) {
  Mp g;
  to_mpfr(g.v, got);
  if (!mpfr_regular_p(ref) || !mpfr_regular_p(g.v)) {
    if (mpfr_nan_p(ref) && mpfr_nan_p(g.v)) return 0;
    if (mpfr_inf_p(ref) && mpfr_inf_p(g.v) && mpfr_signbit(ref) == mpfr_signbit(g.v)) return 0;
    if (mpfr_zero_p(ref) && mpfr_zero_p(g.v)) return 0;
    return 1e9;
  }
  Mp d;
  mpfr_sub(d.v, g.v, ref, MPFR_RNDN);
  mpfr_abs(d.v, d.v, MPFR_RNDN);
  mpfr_mul_2si(d.v, d.v, 128 - mpfr_get_exp(ref), MPFR_RNDN);
  return mpfr_get_d(d.v, MPFR_RNDN);
}

bool same_bits(XRealValue a, XRealValue b) {
  if (fathom::isNaN(a) && fathom::isNaN(b)) return true;
  return a.w0 == b.w0 && a.w1 == b.w1 && a.w2 == b.w2 && a.w3 == b.w3 && a.w4 == b.w4 && a.w5 == b.w5;
}

XRealValue xr(double d) { return fathom::fromDouble(d); }

// The reference rounded to 128 bits (nearest), as an extended real; ref
// must be finite and far from the ends of the range.
XRealValue round128(const mpfr_t ref) {
  Mp r(128);
  mpfr_set(r.v, ref, MPFR_RNDN);
  if (mpfr_zero_p(r.v)) return fathom::zero(mpfr_signbit(r.v));
  mpz_t m;
  mpz_init(m);
  mpfr_exp_t e = mpfr_get_z_2exp(m, r.v);   // r = m 2^e, |m| < 2^128
  bool negative = mpz_sgn(m) < 0;
  mpz_abs(m, m);
  size_t bits = mpz_sizeinbase(m, 2);
  mpz_mul_2exp(m, m, 128 - bits);
  e -= (mpfr_exp_t)(128 - bits);
  uint32_t w[4] = {0, 0, 0, 0};
  mpz_export(w, nullptr, -1, sizeof w[0], 0, 0, m);
  mpz_clear(m);
  return {(uint32_t)(fathom::XR_BIAS + e + 127), 0, w[0], w[1], w[2], (w[3] & 0x7fffffffu) | (negative ? 0x80000000u : 0)};
}

using MpUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

int ref_sincm1(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {
  Mp t(kPrec + 2 * 400);
  mpfr_sin(t.v, x, MPFR_RNDN);
  mpfr_div(t.v, t.v, x, MPFR_RNDN);
  return mpfr_sub_ui(r, t.v, 1, m);
}
int ref_sinc(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {
  Mp t;
  mpfr_sin(t.v, x, MPFR_RNDN);
  return mpfr_div(r, t.v, x, m);
}
int ref_sqrt1pm1(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {   // x / (sqrt(1 + x) + 1)
  Mp t;
  mpfr_add_ui(t.v, x, 1, MPFR_RNDN);
  mpfr_sqrt(t.v, t.v, MPFR_RNDN);
  mpfr_add_ui(t.v, t.v, 1, MPFR_RNDN);
  return mpfr_div(r, x, t.v, m);
}
int ref_inv(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_ui_div(r, 1, x, m); }
int ref_sin_deg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_sinu(r, x, 360, m); }
int ref_cos_deg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_cosu(r, x, 360, m); }
int ref_tan_deg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_tanu(r, x, 360, m); }
int ref_asin_deg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_asinu(r, x, 360, m); }
int ref_acos_deg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_acosu(r, x, 360, m); }
int ref_atan_deg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) { return mpfr_atanu(r, x, 360, m); }
int ref_floor(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t) { return mpfr_rint(r, x, MPFR_RNDD); }
int ref_ceil(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t) { return mpfr_rint(r, x, MPFR_RNDU); }
int ref_arg(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t m) {   // atan2(+0, x)
  Mp z;
  mpfr_set_zero(z.v, 1);
  return mpfr_atan2(r, z.v, x, m);
}

// ---- Extended real arguments against MPFR ----

struct UnaryCase {
  const char *cmd;
  MpUnary ref;
  std::vector<const char *> args;
};

// Arguments inside each real domain (outside it the result is complex, see
// DomainExtensions); several magnitudes, both signs where allowed.
const std::vector<UnaryCase> &unary_cases() {
  static const std::vector<const char *> any = {"0.7x", "-2.5x", "1e-30x", "-123.456x", "31.4159x", "1e10x"};
  static const std::vector<const char *> positive = {"0.7x", "2.5x", "1e-30x", "123.456x", "1e300x"};
  static const std::vector<const char *> unit = {"0.7x", "-0.25x", "1e-30x", "-0.999999999999x"};
  static const std::vector<const char *> moderate = {"0.7x", "-2.5x", "1e-30x", "-12.25x", "100.5x"};
  static const std::vector<UnaryCase> cases = {
      {"Exp", mpfr_exp, moderate},         {"Alog", mpfr_exp10, moderate},
      {"Ln", mpfr_log, positive},          {"Log", mpfr_log10, positive},
      {"Sqrt", mpfr_sqrt, positive},       {"Cbrt", mpfr_cbrt, any},
      {"Sin", mpfr_sin, any},              {"Cos", mpfr_cos, any},
      {"Tan", mpfr_tan, any},              {"Asin", mpfr_asin, unit},
      {"Acos", mpfr_acos, unit},           {"Atan", mpfr_atan, any},
      {"Sinh", mpfr_sinh, moderate},       {"Cosh", mpfr_cosh, moderate},
      {"Tanh", mpfr_tanh, moderate},       {"Asinh", mpfr_asinh, any},
      {"Acosh", mpfr_acosh, {"1.5x", "1e300x", "1.000000001x"}},
      {"Atanh", mpfr_atanh, unit},         {"Expm1", mpfr_expm1, moderate},
      {"Ln1p", mpfr_log1p, {"0.7x", "-0.5x", "1e-30x", "1e300x"}},
      {"Sqrt1pm1", ref_sqrt1pm1, {"0.7x", "-0.5x", "1e-30x", "1e300x"}},
      {"Sinc", ref_sinc, any},             {"Sincm1", ref_sincm1, {"0.7x", "-2.5x", "1e-30x", "31.4159x"}},
      {"Inv", ref_inv, any},               {"Sq", mpfr_sqr, any},
      {"Abs", mpfr_abs, any},              {"Neg", mpfr_neg, any},
      {"Floor", ref_floor, any},           {"Ceil", ref_ceil, any},
      {"Arg", ref_arg, any},
  };
  return cases;
}

TEST(XRealCommands, AgreeWithMpfrWithinAnUlp) {
  Mp a, ref;
  for (const UnaryCase &c : unary_cases()) {
    for (const char *arg : c.args) {
      std::string src = std::string(arg) + " " + c.cmd;
      for (engine::Mode m : engine::ALL_MODES) {
        Result r = xrun(src, m);
        ASSERT_EQ(r.err, 0) << src;
        ASSERT_EQ(r.tag, OBJ::XREAL) << src;
        to_mpfr(a.v, literal(arg));
        c.ref(ref.v, a.v, MPFR_RNDN);
        EXPECT_LE(ulps(r.x, ref.v), 1.0) << src << " (" << engine::mode_name(m) << ")";
      }
    }
  }
}

// Rint rounds half-way cases to even, beyond the doubles' 2^53 too.
TEST(XRealCommands, RoundingToIntegers) {
  struct Case { const char *src; double want; } cases[] = {
      {"2.5x Rint", 2},   {"3.5x Rint", 4},   {"-2.5x Rint", -2}, {"-2.5x Floor", -3}, {"-2.5x Ceil", -2},
      {"0.5x Rint", 0},   {"1.5x Rint", 2},   {"-0.75x Ceil", -0.0},
  };
  for (const Case &c : cases) {
    Result r = xrun(c.src);
    ASSERT_EQ(r.tag, OBJ::XREAL) << c.src;
    EXPECT_TRUE(same_bits(r.x, xr(c.want))) << c.src;
  }
  // 10^30 + 0.5 is exact in 128 bits: its floor and rounding are 10^30.
  XRealValue e30 = literal("1e30x");
  EXPECT_TRUE(same_bits(xrun("1e30x 0.5x + Floor").x, e30));
  EXPECT_TRUE(same_bits(xrun("1e30x 0.5x + Rint").x, e30));
  EXPECT_TRUE(same_bits(xrun("1e30x 1.5x + Rint").x, xrun("1e30x 2x +").x));
  EXPECT_TRUE(same_bits(xrun("1e30x 0.5x - Ceil").x, e30));
}

// y^x against MPFR, and the roots: exact results stay exact.
TEST(XRealCommands, PowersAndRoots) {
  struct Case { const char *y, *x; } pows[] = {
      {"2x", "0.5x"}, {"10x", "-3.5x"}, {"0.3x", "123.25x"}, {"7x", "1e-20x"}, {"1.000001x", "1e6x"},
  };
  Mp a, b, ref;
  for (const Case &c : pows) {
    std::string src = std::string(c.y) + " " + c.x + " ^";
    Result r = xrun(src);
    ASSERT_EQ(r.tag, OBJ::XREAL) << src;
    to_mpfr(a.v, literal(c.y));
    to_mpfr(b.v, literal(c.x));
    mpfr_pow(ref.v, a.v, b.v, MPFR_RNDN);
    EXPECT_LE(ulps(r.x, ref.v), 1.0) << src;
  }
  // Roots with the reciprocal of X kept exact: y^(1/x) at 320 bits.
  Case roots[] = {{"2x", "7x"}, {"1e100x", "3.5x"}, {"0.01x", "-5x"}, {"123.456x", "0.25x"}};
  for (const Case &c : roots) {
    std::string src = std::string(c.y) + " " + c.x + " Xrt";
    Result r = xrun(src);
    ASSERT_EQ(r.tag, OBJ::XREAL) << src;
    to_mpfr(a.v, literal(c.y));
    to_mpfr(b.v, literal(c.x));
    mpfr_ui_div(b.v, 1, b.v, MPFR_RNDN);
    mpfr_pow(ref.v, a.v, b.v, MPFR_RNDN);
    EXPECT_LE(ulps(r.x, ref.v), 1.0) << src;
  }
  struct Exact { const char *src; double want; } exact[] = {
      {"2x 10x ^", 1024},    {"2x -2x ^", 0.25},    {"32x 5x Xrt", 2},     {"-32x 5x Xrt", -2},
      {"-8x 3x Xrt", -2},    {"-8x 3 Xrt", -2},     {"-8 3x Xrt", -2},     {"81x 4x Xrt", 3},
      {"1024x -10x Xrt", 0.5}, {"27x 3x Xrt", 3},   {"2x 2x Xrt 2x Sqrt -", 0}, {"1e30x 3x Xrt", 1e10},
  };
  for (const Exact &e : exact) {
    Result r = xrun(e.src);
    ASSERT_EQ(r.tag, OBJ::XREAL) << e.src;
    EXPECT_TRUE(same_bits(r.x, xr(e.want))) << e.src;
  }
  // 3^100 and its 100th root, beyond a double's exactness.
  Result big = xrun("3x 100x ^");
  mpz_t z;
  mpz_init(z);
  mpz_ui_pow_ui(z, 3, 100);
  mpfr_set_z(ref.v, z, MPFR_RNDN);
  mpz_clear(z);
  EXPECT_LE(ulps(big.x, ref.v), 0.5);
  EXPECT_TRUE(same_bits(xrun("3x 40x ^ 40x Xrt").x, xr(3)));
}

// ---- Degrees ----

TEST(DegreeMode, ExtendedResultsAreExactAtTheRightAngles) {
  struct Case { const char *src; double want; } cases[] = {
      {"Deg 30x Sin", 0.5},    {"Deg 150x Sin", 0.5},   {"Deg -30x Sin", -0.5},  {"Deg 90x Sin", 1},
      {"Deg 60x Cos", 0.5},    {"Deg 90x Cos", 0},      {"Deg -90x Cos", 0},     {"Deg 180x Cos", -1},
      {"Deg 45x Tan", 1},      {"Deg 135x Tan", -1},    {"Deg 180x Sin", 0},     {"Deg -180x Sin", -0.0},
      {"Deg 0.5x Asin", 30},   {"Deg 0.5x Acos", 60},   {"Deg -1x Acos", 180},   {"Deg 1x Atan", 45},
      {"Deg -1x Atan", -45},   {"Deg 1x Asin", 90},     {"Deg -0.5x Asin", -30}, {"Deg 0x Acos", 90},
      // 10^30 = 280 mod 360 and 10^38 = 280 mod 360; 90 2^100 = 0 mod 360.
      {"Deg 1e30x 110x + Sin", 0.5},   {"Deg 1e38x 20x + Cos", 0.5},   {"Deg 1e30x 125x + Tan", 1},
      {"Deg 2x 100x ^ 90x * 30x + Sin", 0.5},
  };
  for (const Case &c : cases) {
    for (engine::Mode m : engine::ALL_MODES) {
      Result r = xrun(c.src, m);
      ASSERT_EQ(r.tag, OBJ::XREAL) << c.src;
      EXPECT_TRUE(same_bits(r.x, xr(c.want))) << c.src << " (" << engine::mode_name(m) << ")";
    }
  }
  EXPECT_TRUE(fathom::isInf(xrun("Deg 90x Tan").x));
  EXPECT_TRUE(same_bits(xrun("Deg 90x Tan").x, fathom::infinity()));
  EXPECT_TRUE(same_bits(xrun("Deg -90x Tan").x, fathom::infinity(true)));
  // The same exact values from the double path.
  Result d = xrun("Deg 30 Sin");
  EXPECT_EQ(d.r, 0.5);
  EXPECT_EQ(xrun("Deg 90 Tan").r, HUGE_VAL);
  EXPECT_TRUE(std::signbit(xrun("Deg -180 Sin").r));
  EXPECT_FALSE(std::signbit(xrun("Deg 180 Sin").r));
}

TEST(DegreeMode, ExtendedValuesAgreeWithMpfr) {
  struct Case { const char *cmd; MpUnary ref; std::vector<const char *> args; } cases[] = {
      {"Sin", ref_sin_deg, {"1x", "-44.999x", "1e25x", "1e300x", "123456789.125x", "1e-20x"}},
      {"Cos", ref_cos_deg, {"1x", "-44.999x", "1e25x", "1e300x", "123456789.125x", "1e-20x"}},
      {"Tan", ref_tan_deg, {"1x", "-44.999x", "1e25x", "1e300x", "89.999999x", "1e-20x"}},
      {"Asin", ref_asin_deg, {"0.3x", "-0.999x", "1e-25x"}},
      {"Acos", ref_acos_deg, {"0.3x", "-0.999x", "1e-25x"}},
      {"Atan", ref_atan_deg, {"0.3x", "-12345.5x", "1e-25x", "1e100x"}},
  };
  Mp a, ref;
  for (const Case &c : cases) {
    for (const char *arg : c.args) {
      std::string src = std::string("Deg ") + arg + " " + c.cmd;
      Result r = xrun(src);
      ASSERT_EQ(r.tag, OBJ::XREAL) << src;
      to_mpfr(a.v, literal(arg));
      c.ref(ref.v, a.v, MPFR_RNDN);
      EXPECT_LE(ulps(r.x, ref.v), 1.0) << src;
    }
  }
}

// Arg, -->Polar and -->Rect in both angle modes.
TEST(DegreeMode, PolarAndRectangularForms) {
  Result r = xrun("Deg (1,1)x -->Polar");
  ASSERT_EQ(r.tag, OBJ::XCOMPLEX);
  EXPECT_TRUE(same_bits(r.xi, xr(45)));
  EXPECT_TRUE(same_bits(r.x, xrun("2x Sqrt").x));
  r = xrun("Deg (-2,0)x -->Polar");
  EXPECT_TRUE(same_bits(r.x, xr(2)) && same_bits(r.xi, xr(180)));
  r = xrun("Deg (2,90)x -->Rect");
  ASSERT_EQ(r.tag, OBJ::XCOMPLEX);
  EXPECT_TRUE(same_bits(r.x, xr(0)) && same_bits(r.xi, xr(2)));
  r = xrun("Deg (4,-30)x -->Rect");
  EXPECT_TRUE(same_bits(r.xi, xr(-2)));
  EXPECT_TRUE(same_bits(r.x, xrun("12x Sqrt").x));
  r = xrun("Deg (0,-3)x Arg");
  ASSERT_EQ(r.tag, OBJ::XREAL);
  EXPECT_TRUE(same_bits(r.x, xr(-90)));
  EXPECT_TRUE(same_bits(xrun("Deg -5x Arg").x, xr(180)));
  EXPECT_TRUE(same_bits(xrun("Deg 5x Arg").x, xr(0)));
  // Radians: (3, 4) has modulus 5; a round trip comes back within an ulp.
  Mp a, ref;
  r = xrun("(3,4)x -->Polar");
  EXPECT_TRUE(same_bits(r.x, xr(5)));
  mpfr_set_ui(a.v, 4, MPFR_RNDN);
  mpfr_set_ui(ref.v, 3, MPFR_RNDN);
  mpfr_atan2(ref.v, a.v, ref.v, MPFR_RNDN);
  EXPECT_LE(ulps(r.xi, ref.v), 1.0);
  EXPECT_LE(ulps(xrun("(3,4)x Arg").x, ref.v), 1.0);
  r = xrun("(3,4)x -->Polar -->Rect");
  mpfr_set_ui(ref.v, 3, MPFR_RNDN);
  EXPECT_LE(ulps(r.x, ref.v), 2.0);
  mpfr_set_ui(ref.v, 4, MPFR_RNDN);
  EXPECT_LE(ulps(r.xi, ref.v), 2.0);
  // The double path's forms are unchanged by it.
  EXPECT_EQ(xrun("Deg (1,1) -->Polar").c.imag(), 45.0);
}

// ---- Extended complex arguments ----

// The extended complex functions against the double-precision ones
// (std::complex, C99's branches): the same branch and sheet, agreeing to
// double precision, and the same signs of zero parts.
TEST(XComplexCommands, FollowTheBranchesOfTheDoubleFunctions) {
  const char *fns[] = {"Exp", "Alog", "Ln", "Log", "Sqrt", "Cbrt", "Sin", "Cos", "Tan", "Asin", "Acos", "Atan",
                       "Sinh", "Cosh", "Tanh", "Asinh", "Acosh", "Atanh", "Inv", "Sq", "Neg", "Conj", "Sign"};
  // Off the axes, and on the cuts from both sides (the sign of a zero part).
  const char *args[] = {"(0.5,0.25)", "(-1.5,2)", "(-0.3,-0.7)", "(2,-3)", "(-2,0)", "(-2,-0)", "(3,0)",
                        "(3,-0)", "(0,2)", "(-0,2)", "(0,-3)", "(0.5,0)", "(-0.5,-0)"};
  for (const char *f : fns) {
    for (const char *a : args) {
      std::string ds = std::string(a) + " " + f, xs = std::string(a) + "x " + f;
      Result d = xrun(ds), x = xrun(xs);
      ASSERT_EQ(d.tag, OBJ::COMPLEX) << ds;
      ASSERT_EQ(x.tag, OBJ::XCOMPLEX) << xs;
      double re = fathom::toDouble(x.x), im = fathom::toDouble(x.xi);
      double scale = std::max(std::abs(d.c), 1e-300);
      EXPECT_LE(std::fabs(re - d.c.real()), 1e-14 * scale) << xs << ": " << re << " vs " << d.c.real();
      EXPECT_LE(std::fabs(im - d.c.imag()), 1e-14 * scale) << xs << ": " << im << " vs " << d.c.imag();
      if (d.c.imag() == 0 && im == 0) {
        EXPECT_EQ(std::signbit(im), std::signbit(d.c.imag())) << xs;
      }
      if (d.c.real() == 0 && re == 0) {
        EXPECT_EQ(std::signbit(re), std::signbit(d.c.real())) << xs;
      }
    }
  }
}

TEST(XComplexCommands, PowersRootsAndParts) {
  // Exact integral powers and exact cube roots.
  Result r = xrun("(1,2)x 3 ^");                         // -11 - 2i
  ASSERT_EQ(r.tag, OBJ::XCOMPLEX);
  EXPECT_TRUE(same_bits(r.x, xr(-11)) && same_bits(r.xi, xr(-2)));
  r = xrun("(2,11)x Cbrt");                              // (2 + i)^3 = 2 + 11i
  EXPECT_TRUE(same_bits(r.x, xr(2)) && same_bits(r.xi, xr(1)));
  r = xrun("(0,2)x -2 ^");                               // 1/(2i)^2 = -1/4
  EXPECT_TRUE(same_bits(r.x, xr(-0.25)) && fathom::isZero(r.xi));
  r = xrun("(0,0)x (2,1)x ^");                           // 0 for Re x > 0, as for doubles
  EXPECT_TRUE(fathom::isZero(r.x) && fathom::isZero(r.xi));
  EXPECT_EQ(xrun("(0,0) (2,1) ^").c, Cplx(0, 0));
  // Xrt of a complex: y^(1/x); i is a square root of -1 (the principal one).
  r = xrun("(-1,0)x (2,0)x Xrt");
  EXPECT_LE(std::fabs(fathom::toDouble(r.x)), 1e-37);
  EXPECT_TRUE(same_bits(r.xi, xr(1)));
  // Parts and conversions.
  r = xrun("(1.5,-2.5)x Re");
  ASSERT_EQ(r.tag, OBJ::XREAL);
  EXPECT_TRUE(same_bits(r.x, xr(1.5)));
  EXPECT_TRUE(same_bits(xrun("(1.5,-2.5)x Im").x, xr(-2.5)));
  r = xrun("(1.5,-2.5)x Conj");
  EXPECT_TRUE(same_bits(r.x, xr(1.5)) && same_bits(r.xi, xr(2.5)));
  r = xrun("(3,4)x Abs");
  ASSERT_EQ(r.tag, OBJ::XREAL);
  EXPECT_TRUE(same_bits(r.x, xr(5)));
  r = xrun("1x 3x / -->DP");
  ASSERT_EQ(r.tag, OBJ::REAL);
  EXPECT_EQ(r.r, 1.0 / 3.0);
  r = xrun("0.1 -->XP");
  ASSERT_EQ(r.tag, OBJ::XREAL);
  EXPECT_TRUE(same_bits(r.x, xr(0.1)));                 // the double's exact value
  r = xrun("1x 3x / 2 -->CX");
  ASSERT_EQ(r.tag, OBJ::XCOMPLEX);
  EXPECT_TRUE(same_bits(r.xi, xr(2)));
  EXPECT_TRUE(same_bits(r.x, xrun("1x 3x /").x));
}

// ---- Domain extensions ----

TEST(DomainExtensions, OutsideTheRealDomainExtendedRealsBecomeExtendedComplex) {
  struct Case { const char *src; uint32_t tag; } cases[] = {
      {"-4x Sqrt", OBJ::XCOMPLEX},  {"-1x Ln", OBJ::XCOMPLEX},      {"-100x Log", OBJ::XCOMPLEX},
      {"-8x 2 ^", OBJ::XCOMPLEX},   {"-8x 0.5x ^", OBJ::XCOMPLEX},  {"-8x 2 Xrt", OBJ::XCOMPLEX},
      {"-8x 3 Xrt", OBJ::XREAL},    {"-8x -3x Xrt", OBJ::XREAL},    {"2x Asin", OBJ::XCOMPLEX},
      {"-2x Acos", OBJ::XCOMPLEX},  {"2x Atanh", OBJ::XCOMPLEX},    {"-2x Atanh", OBJ::XCOMPLEX},
      {"0.5x Acosh", OBJ::XCOMPLEX}, {"-3x Acosh", OBJ::XCOMPLEX},  {"1x Atanh", OBJ::XREAL},
      {"1x Acosh", OBJ::XREAL},     {"-1x Asin", OBJ::XREAL},       {"-0x Sqrt", OBJ::XREAL},
      {"-0x Ln", OBJ::XREAL},       {"-2x Ln1p", OBJ::XREAL},       {"-2x Sqrt1pm1", OBJ::XREAL},
      // Exactly compared, not through a double: 1 + 2^-100 and 1 - 2^-100.
      {"2x -100x ^ 1x + Asin", OBJ::XCOMPLEX},  {"2x -100x ^ 1x + Atanh", OBJ::XCOMPLEX},
      {"1x 2x -100x ^ - Acosh", OBJ::XCOMPLEX}, {"1x 2x -100x ^ - Asin", OBJ::XREAL},
  };
  for (const Case &c : cases) {
    Result r = xrun(c.src);
    EXPECT_EQ(r.err, 0) << c.src;
    EXPECT_EQ(r.tag, c.tag) << c.src;
  }
  Result r = xrun("-4x Sqrt");
  EXPECT_TRUE(same_bits(r.x, xr(0)) && same_bits(r.xi, xr(2)));
  r = xrun("-8x 3 Xrt");
  EXPECT_TRUE(same_bits(r.x, xr(-2)));
  r = xrun("-8x 2 ^");
  EXPECT_TRUE(same_bits(r.x, xr(64)) && fathom::isZero(r.xi));
  r = xrun("-1x Ln");
  Mp pi;
  mpfr_const_pi(pi.v, MPFR_RNDN);
  EXPECT_TRUE(fathom::isZero(r.x));
  EXPECT_LE(ulps(r.xi, pi.v), 0.5);
  // log10(-100) = 2 + i pi/ln 10.
  r = xrun("-100x Log");
  EXPECT_TRUE(same_bits(r.x, xr(2)));
  Mp l;
  mpfr_set_ui(l.v, 10, MPFR_RNDN);
  mpfr_log(l.v, l.v, MPFR_RNDN);
  mpfr_div(l.v, pi.v, l.v, MPFR_RNDN);
  EXPECT_LE(ulps(r.xi, l.v), 1.0);
  // The real results at the edges: atanh 1 = inf, acosh 1 = 0, asin -1 = -pi/2.
  EXPECT_TRUE(same_bits(xrun("1x Atanh").x, fathom::infinity()));
  EXPECT_TRUE(same_bits(xrun("1x Acosh").x, xr(0)));
  EXPECT_TRUE(fathom::isNaN(xrun("-2x Ln1p").x));
  EXPECT_TRUE(fathom::isNaN(xrun("-2x Sqrt1pm1").x));
}

// ---- Promotion ----

TEST(Promotion, RealMeetingExtendedRealGivesExtended) {
  struct Case { const char *src; uint32_t tag; } cases[] = {
      {"1 2x +", OBJ::XREAL},       {"2x 1 -", OBJ::XREAL},     {"0.5 3x *", OBJ::XREAL},
      {"1 3x /", OBJ::XREAL},       {"2 0.5x ^", OBJ::XREAL},   {"2x 0.5 ^", OBJ::XREAL},
      {"27 3x Xrt", OBJ::XREAL},    {"(1,2) 1x +", OBJ::XCOMPLEX}, {"2x (0,1) ^", OBJ::XCOMPLEX},
      {"(1,2)x 2 *", OBJ::XCOMPLEX}, {"(1,2) 2x Xrt", OBJ::XCOMPLEX},
  };
  for (const Case &c : cases) {
    Result r = xrun(c.src);
    EXPECT_EQ(r.err, 0) << c.src;
    EXPECT_EQ(r.tag, c.tag) << c.src;
  }
  // The REAL 1/3 is widened exactly, then divided in extended precision.
  Mp a, ref;
  mpfr_set_d(a.v, 1.0 / 3.0, MPFR_RNDN);
  mpfr_div_ui(ref.v, a.v, 7, MPFR_RNDN);
  EXPECT_LE(ulps(xrun("1 3 / 7x /").x, ref.v), 0.5);
  // The hours commands take two arguments of one precision.
  Result r = xrun("1.3 0.45x HMS+");
  EXPECT_EQ(r.err, KOR::ERR_BAD_TYPE);
  EXPECT_EQ(r.depth, 2u);
}

// ---- Special values ----

TEST(SpecialValues, SignedZerosInfinitiesAndNaN) {
  const XRealValue inf = fathom::infinity(), z = fathom::zero(), nz = fathom::zero(true);
  struct Case { const char *src; XRealValue want; } cases[] = {
      {"-0x Sin", nz},        {"-0x Tan", nz},         {"-0x Atan", nz},       {"-0x Sinh", nz},
      {"-0x Neg", z},         {"0x Inv", inf},         {"-0x Inv", -inf},      {"-0x Sqrt", nz},
      {"0x Ln", -inf},        {"-0x Log", -inf},       {"-0x Cbrt", nz},       {"-0x Expm1", nz},
      {"-0x Ln1p", nz},       {"-0x Sqrt1pm1", nz},    {"0x Sinc", xr(1)},     {"-0x Sincm1", z},
      {"-0x Asinh", nz},      {"-0x Atanh", nz},       {"-0x Floor", nz},      {"-0.25x Ceil", nz},
      {"-0x Sign", nz},       {"-7x Sign", xr(-1)},    {"0x Cos", xr(1)},      {"-0x Abs", z},
      {"Xprec Infinity Atan", xrun("Xprec Pi 2 /").x},  {"Xprec Infinity Neg Exp", z},
      {"Xprec Infinity Tanh", xr(1)},                  {"Xprec Infinity Ln", inf},
      {"Xprec Infinity Sqrt", inf},                    {"Xprec Infinity Neg Alog", z},
      {"Xprec Infinity Inv", z},                       {"Xprec Infinity Neg Cbrt", -inf},
      {"0x 0x ^", xr(1)},     {"0x -1x ^", inf},       {"-0x -3x ^", -inf},    {"-0x 3x Xrt", nz},
  };
  for (const Case &c : cases) {
    Result r = xrun(c.src);
    ASSERT_EQ(r.tag, OBJ::XREAL) << c.src;
    EXPECT_TRUE(same_bits(r.x, c.want)) << c.src;
  }
  const char *nans[] = {"Xprec NaN Sin",  "Xprec NaN Exp",       "Xprec Infinity Sin", "Xprec Infinity Cos",
                        "Xprec NaN Sign", "Xprec Infinity Sinc", "Xprec NaN Floor",     "Deg Xprec Infinity Sin",
                        "Xprec NaN 2 ^",  "Xprec NaN Sqrt",      "Xprec NaN Ln",        "Xprec NaN Acosh"};
  for (const char *src : nans) {
    Result r = xrun(src);
    ASSERT_EQ(r.tag, OBJ::XREAL) << src;
    EXPECT_TRUE(fathom::isNaN(r.x)) << src;
  }
  // sin, cos and tan in radians have no angle left to reduce beyond
  // 2^1048576; in degrees the reduction is exact at every magnitude.
  EXPECT_TRUE(fathom::isNaN(xrun("2x 1048576x ^ Sin").x));
  EXPECT_FALSE(fathom::isNaN(xrun("2x 1048575x ^ Sin").x));
  EXPECT_TRUE(same_bits(xrun("Deg 2x 1048576x ^ 90x * Cos").x, xr(1)));   // 90 2^1048576 = 0 mod 360
}

// ---- Hours ----

// Values compared to 40 digits: results within two units of the 128-bit
// value of the decimal expectation.
TEST(Hours, ExtendedHoursToFortyDigits) {
  Mp ref;
  auto near_decimal = [&](const std::string &src, const char *decimal) {
    Result r = xrun(src);
    EXPECT_EQ(r.tag, OBJ::XREAL) << src;
    mpfr_set_str(ref.v, decimal, 10, MPFR_RNDN);
    EXPECT_LE(ulps(r.x, ref.v), 2.0) << src << " vs " << decimal;
  };
  near_decimal("1.5x -->HMS", "1.3");
  near_decimal("1.3x HMS-->", "1.5");
  near_decimal("2.1525x HMS-->", "2.25694444444444444444444444444444444444444444");   // 2 + 15/60 + 25/3600
  near_decimal("2.25694444444444444444444444444444444444x -->HMS", "2.1525");
  near_decimal("-3.75x -->HMS", "-3.45");
  near_decimal("1.3x 0.45x HMS+", "2.15");
  near_decimal("2.3x 0.45x HMS-", "1.45");
  near_decimal("0.3x 0.45x HMS-", "-0.15");
  near_decimal("23.5959x 0.0001x HMS+", "24");
  near_decimal("0.5959x 0.0001x HMS+", "1");            // 60 minutes carry into the hour
  near_decimal("0.99999999999999999999999999999999x -->HMS", "1");
  near_decimal("1.000000000000001x -->HMS", "1.00000000000000036");   // 1e-15 h = 3.6e-12 s
  // Round trips keep the value to within a few units of 128 bits.
  Mp a;
  for (const char *v : {"0.123456789012345678901234567890123x", "17.999999999999999999999999999x",
                        "1234.56789x", "-5.0123456789x", "1e-25x"}) {
    Result r = xrun(std::string(v) + " -->HMS HMS-->");
    to_mpfr(a.v, literal(v));
    EXPECT_LE(ulps(r.x, a.v), 4.0) << v;
  }
  EXPECT_TRUE(same_bits(xrun("Xprec Infinity -->HMS").x, fathom::infinity()));
  EXPECT_TRUE(fathom::isNaN(xrun("Xprec NaN HMS-->").x));
}

// ---- Constants ----

TEST(Constants, ExtendedPrecisionConstantsAreCorrectlyRounded) {
  Mp v;
  mpfr_const_pi(v.v, MPFR_RNDN);
  EXPECT_TRUE(same_bits(xrun("Xprec Pi").x, round128(v.v)));
  mpfr_set_ui(v.v, 1, MPFR_RNDN);
  mpfr_exp(v.v, v.v, MPFR_RNDN);
  EXPECT_TRUE(same_bits(xrun("Xprec E").x, round128(v.v)));
  mpfr_const_euler(v.v, MPFR_RNDN);
  EXPECT_TRUE(same_bits(xrun("Xprec Egamma").x, round128(v.v)));
  mpfr_const_catalan(v.v, MPFR_RNDN);
  EXPECT_TRUE(same_bits(xrun("Xprec Catalan").x, round128(v.v)));
  for (const char *c : {"Xprec True", "Xprec False", "Xprec MaxR", "Xprec MinR", "Xprec Infinity", "Xprec NaN"})
    EXPECT_EQ(xrun(c).tag, OBJ::XREAL) << c;
  EXPECT_EQ(xrun("Xprec I").tag, OBJ::XCOMPLEX);
  EXPECT_EQ(xrun("Pi").tag, OBJ::REAL);
  EXPECT_EQ(xrun("Pi").r, M_PI);
}

// ---- No command is waiting for its extended kernel ----

TEST(TypeCoverage, EveryArithmeticCommandTakesExtendedArguments) {
  const char *unary[] = {"Neg", "Inv", "Sq", "Abs", "Sqrt", "Ln", "Log", "Exp", "Alog", "Sin", "Cos", "Tan",
                         "Asin", "Acos", "Atan", "Sinh", "Cosh", "Tanh", "Asinh", "Acosh", "Atanh", "Sign",
                         "Conj", "Cbrt", "Re", "Im", "Arg", "-->DP", "-->XP", "-->Real"};
  const char *realOnly[] = {"Expm1", "Ln1p", "Sqrt1pm1", "Sinc", "Sincm1", "Ceil", "Floor", "Rint",
                            "-->HMS", "HMS-->", "Not", "-->Bint", "SL"};
  const char *binary[] = {"+", "-", "*", "/", "^", "Xrt", "==", "!="};
  for (const char *mode : {"", "Deg "}) {
    for (const char *arg : {"0.75x", "-2.5x", "(0.75,-0.5)x"}) {
      bool complex = arg[0] == '(';
      for (const char *f : unary) {
        Result r = xrun(std::string(mode) + arg + " " + f);
        EXPECT_EQ(r.err, 0) << mode << arg << " " << f;
      }
      for (const char *f : realOnly) {
        Result r = xrun(std::string(mode) + arg + " " + f);
        EXPECT_EQ(r.err, complex ? KOR::ERR_BAD_TYPE : 0) << mode << arg << " " << f;
      }
      for (const char *f : binary) {
        Result r = xrun(std::string(mode) + arg + " " + arg + " " + f);
        EXPECT_EQ(r.err, 0) << mode << arg << " " << f;
      }
      Result r = xrun(std::string(mode) + arg + " " + arg + " HMS+");
      EXPECT_EQ(r.err, complex ? KOR::ERR_BAD_TYPE : 0) << arg << " HMS+";
      r = xrun(std::string(mode) + arg + " -->Polar -->Rect");
      EXPECT_EQ(r.err, complex ? 0 : KOR::ERR_BAD_TYPE) << arg << " -->Polar";
    }
  }
}

} // namespace
