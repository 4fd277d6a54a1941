// Reference complex functions in MPFR (see xcomplex_reference.h).
#include "xcomplex_reference.h"

#include "xreal_mpfr.h"

namespace xrtest {

namespace {

constexpr mpfr_rnd_t N = MPFR_RNDN;

struct Tmp {
  mpfr_t v;
  Tmp() { mpfr_init2(v, kComplexRefPrec); }
  ~Tmp() { mpfr_clear(v); }
};

void mul(MpC &r, const MpC &a, const MpC &b) {
  Tmp t1, t2, t3;
  mpfr_mul(t1.v, a.re, b.re, N);
  mpfr_mul(t2.v, a.im, b.im, N);
  mpfr_mul(t3.v, a.re, b.im, N);
  mpfr_mul(r.im, a.im, b.re, N);
  mpfr_add(r.im, r.im, t3.v, N);
  mpfr_sub(r.re, t1.v, t2.v, N);
}

void addReal(MpC &r, const MpC &a, long c) {
  mpfr_add_si(r.re, a.re, c, N);
  mpfr_set(r.im, a.im, N);
}

void neg(MpC &r, const MpC &a) {
  mpfr_neg(r.re, a.re, N);
  mpfr_neg(r.im, a.im, N);
}

// i a and -i a.
void mulI(MpC &r, const MpC &a) {
  Tmp t;
  mpfr_set(t.v, a.re, N);
  mpfr_neg(r.re, a.im, N);
  mpfr_set(r.im, t.v, N);
}

void mulMinusI(MpC &r, const MpC &a) {
  Tmp t;
  mpfr_set(t.v, a.re, N);
  mpfr_set(r.re, a.im, N);
  mpfr_neg(r.im, t.v, N);
}

void csqrtRef(MpC &r, const MpC &a) {
  Tmp m, t;
  mpfr_hypot(m.v, a.re, a.im, N);
  mpfr_abs(t.v, a.re, N);
  mpfr_add(t.v, t.v, m.v, N);
  mpfr_div_2ui(t.v, t.v, 1, N);
  mpfr_sqrt(t.v, t.v, N);
  if (mpfr_zero_p(t.v)) {
    mpfr_set_zero(r.re, 1);
    mpfr_set(r.im, a.im, N);
    return;
  }
  Tmp q;
  mpfr_mul_2ui(q.v, t.v, 1, N);
  if (!mpfr_signbit(a.re)) {
    mpfr_div(r.im, a.im, q.v, N);
    mpfr_set(r.re, t.v, N);
  } else {
    mpfr_abs(r.re, a.im, N);
    mpfr_div(r.re, r.re, q.v, N);
    mpfr_setsign(r.im, t.v, mpfr_signbit(a.im), N);
  }
}

} // namespace

void set(MpC &r, fathom::XComplexValue z) {
  Mp a(128);
  toMpfr(a.v, z.re);
  mpfr_set(r.re, a.v, N);
  toMpfr(a.v, z.im);
  mpfr_set(r.im, a.v, N);
}

void copy(MpC &r, const MpC &a) {
  mpfr_set(r.re, a.re, N);
  mpfr_set(r.im, a.im, N);
}

void refExp(MpC &r, const MpC &z) {
  Tmp e, c, s;
  mpfr_exp(e.v, z.re, N);
  mpfr_sin_cos(s.v, c.v, z.im, N);
  mpfr_mul(r.re, e.v, c.v, N);
  mpfr_mul(r.im, e.v, s.v, N);
}

void refLog(MpC &r, const MpC &z) {
  Tmp h;
  mpfr_hypot(h.v, z.re, z.im, N);
  mpfr_atan2(r.im, z.im, z.re, N);
  mpfr_log(r.re, h.v, N);
}

void refSinh(MpC &r, const MpC &z) {
  Tmp sh, ch, s, c;
  mpfr_sinh_cosh(sh.v, ch.v, z.re, N);
  mpfr_sin_cos(s.v, c.v, z.im, N);
  mpfr_mul(r.re, sh.v, c.v, N);
  mpfr_mul(r.im, ch.v, s.v, N);
}

void refCosh(MpC &r, const MpC &z) {
  Tmp sh, ch, s, c;
  mpfr_sinh_cosh(sh.v, ch.v, z.re, N);
  mpfr_sin_cos(s.v, c.v, z.im, N);
  mpfr_mul(r.re, ch.v, c.v, N);
  mpfr_mul(r.im, sh.v, s.v, N);
}

// tanh z = (sinh 2x + i sin 2y) / (cosh 2x + cos 2y).
void refTanh(MpC &r, const MpC &z) {
  Tmp x2, y2, sh, ch, s, c;
  mpfr_mul_2ui(x2.v, z.re, 1, N);
  mpfr_mul_2ui(y2.v, z.im, 1, N);
  mpfr_sinh_cosh(sh.v, ch.v, x2.v, N);
  mpfr_sin_cos(s.v, c.v, y2.v, N);
  mpfr_add(ch.v, ch.v, c.v, N);
  mpfr_div(r.re, sh.v, ch.v, N);
  mpfr_div(r.im, s.v, ch.v, N);
}

void refSin(MpC &r, const MpC &z) {
  MpC w;
  mulI(w, z);
  refSinh(r, w);
  mulMinusI(r, r);
}

void refCos(MpC &r, const MpC &z) {
  MpC w;
  mulI(w, z);
  refCosh(r, w);
}

void refTan(MpC &r, const MpC &z) {
  MpC w;
  mulI(w, z);
  refTanh(r, w);
  mulMinusI(r, r);
}

// asinh z = log(z + sqrt(z^2 + 1)) for Re z >= 0, odd.
void refAsinh(MpC &r, const MpC &z) {
  MpC w, t;
  bool flip = mpfr_signbit(z.re);
  if (flip) neg(w, z);
  else copy(w, z);
  mul(t, w, w);
  addReal(t, t, 1);
  csqrtRef(t, t);
  mpfr_add(t.re, t.re, w.re, N);
  mpfr_add(t.im, t.im, w.im, N);
  refLog(r, t);
  if (flip) neg(r, r);
}

void refAsin(MpC &r, const MpC &z) {
  MpC w;
  mulI(w, z);
  refAsinh(r, w);
  mulMinusI(r, r);
}

void refAcos(MpC &r, const MpC &z) {
  refAsin(r, z);
  Tmp h;
  mpfr_const_pi(h.v, N);
  mpfr_div_2ui(h.v, h.v, 1, N);
  mpfr_sub(r.re, h.v, r.re, N);
  mpfr_neg(r.im, r.im, N);
}

// acosh z = log(z + sqrt(z + 1) sqrt(z - 1)).
void refAcosh(MpC &r, const MpC &z) {
  MpC a, b, t;
  addReal(a, z, 1);
  addReal(b, z, -1);
  csqrtRef(a, a);
  csqrtRef(b, b);
  mul(t, a, b);
  mpfr_add(t.re, t.re, z.re, N);
  mpfr_add(t.im, t.im, z.im, N);
  refLog(r, t);
}

// atanh z = (log(1 + z) - log(1 - z)) / 2.
void refAtanh(MpC &r, const MpC &z) {
  MpC a, b, la, lb;
  addReal(a, z, 1);
  neg(b, z);
  addReal(b, b, 1);
  refLog(la, a);
  refLog(lb, b);
  mpfr_sub(r.re, la.re, lb.re, N);
  mpfr_sub(r.im, la.im, lb.im, N);
  mpfr_div_2ui(r.re, r.re, 1, N);
  mpfr_div_2ui(r.im, r.im, 1, N);
}

void refAtan(MpC &r, const MpC &z) {
  MpC w;
  mulI(w, z);
  refAtanh(r, w);
  mulMinusI(r, r);
}

void refPow(MpC &r, const MpC &y, const MpC &x) {
  MpC l, t;
  refLog(l, y);
  mul(t, x, l);
  refExp(r, t);
}

} // namespace xrtest

namespace xrtest {

void refExp10(MpC &r, const MpC &z) {
  Tmp l;
  mpfr_set_ui(l.v, 10, N);
  mpfr_log(l.v, l.v, N);
  MpC w;
  mpfr_mul(w.re, z.re, l.v, N);
  mpfr_mul(w.im, z.im, l.v, N);
  refExp(r, w);
}

void refLog10(MpC &r, const MpC &z) {
  Tmp l;
  mpfr_set_ui(l.v, 10, N);
  mpfr_log(l.v, l.v, N);
  refLog(r, z);
  mpfr_div(r.re, r.re, l.v, N);
  mpfr_div(r.im, r.im, l.v, N);
}

// |z|^(1/3) (cos(t/3) + i sin(t/3)), t = atan2(Im z, Re z).
void refCbrt(MpC &r, const MpC &z) {
  Tmp m, t, s, c;
  mpfr_hypot(m.v, z.re, z.im, N);
  mpfr_cbrt(m.v, m.v, N);
  mpfr_atan2(t.v, z.im, z.re, N);
  mpfr_div_ui(t.v, t.v, 3, N);
  mpfr_sin_cos(s.v, c.v, t.v, N);
  mpfr_mul(r.re, m.v, c.v, N);
  mpfr_mul(r.im, m.v, s.v, N);
}

} // namespace xrtest
