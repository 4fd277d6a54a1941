#include "kor/dispatch.h"

#include "kor/Real.h"
#include "kor/Runtime.h"
#include "kor/XReal.h"

namespace OP::dispatch {

namespace fm = fathom;

bool read(const KOR::Entry &e, Num *n) {
  const OBJ::Operand *op = nullptr;
  switch (e.tag) {
  case OBJ::REAL: n->tag = OBJ::REAL; n->r = e.v.r; return true;
  case OBJ::BINARY: n->tag = OBJ::BINARY; n->b = e.v.b; return true;
  case OBJ::VARIABLE: op = e.v.p->value(); break;
  default: op = e.v.p; break;
  }
  if (e.tag >= OBJ::INVALID) return false;
  return read_operand(op, n);
}

bool read_operand(const OBJ::Operand *op, Num *n) {
  if (op && op->type_ == OBJ::VARIABLE) op = op->value();
  if (!op) return false;
  switch (op->type_) {
  case OBJ::REAL: n->tag = OBJ::REAL; n->r = static_cast<const OBJ::Real *>(op)->num; return true;
  case OBJ::BINARY: n->tag = OBJ::BINARY; n->b = static_cast<const OBJ::Binary *>(op)->bits; return true;
  case OBJ::XREAL: n->tag = OBJ::XREAL; n->x = static_cast<const OBJ::XReal *>(op)->num; return true;
  case OBJ::COMPLEX: {
    const OBJ::Complex *c = static_cast<const OBJ::Complex *>(op);
    n->tag = OBJ::COMPLEX;
    n->c = Cplx(c->re, c->im);
    return true;
  }
  case OBJ::XCOMPLEX: {
    const OBJ::XComplex *c = static_cast<const OBJ::XComplex *>(op);
    n->tag = OBJ::XCOMPLEX;
    n->xc = {c->re, c->im};
    return true;
  }
  default: return false;
  }
}

void convert(Num &n, uint32_t to) {
  if (n.tag == to) return;
  // Through the widest form of the value: an extended complex, or a binary.
  XComplexValue v{fm::zero(), fm::zero()};
  switch (n.tag) {
  case OBJ::REAL: v.re = fm::fromDouble(n.r); break;
  case OBJ::XREAL: v.re = n.x; break;
  case OBJ::BINARY: v.re = OBJ::binary_to_xreal(n.b); break;
  case OBJ::COMPLEX: v = {fm::fromDouble(n.c.real()), fm::fromDouble(n.c.imag())}; break;
  case OBJ::XCOMPLEX: v = n.xc; break;
  default: return;
  }
  switch (to) {
  case OBJ::REAL: n.r = n.tag == OBJ::BINARY ? OBJ::binary_to_real(n.b) : fm::toDouble(v.re); break;
  case OBJ::XREAL: n.x = v.re; break;
  case OBJ::BINARY:
    n.b = n.tag == OBJ::REAL ? OBJ::real_to_binary(n.r) : OBJ::xreal_to_binary(v.re);
    break;
  case OBJ::COMPLEX: n.c = Cplx(fm::toDouble(v.re), fm::toDouble(v.im)); break;
  case OBJ::XCOMPLEX: n.xc = v; break;
  default: return;
  }
  n.tag = to;
}

KOR::Entry entry_of(const Num &n, Context &cx) {
  switch (n.tag) {
  case OBJ::REAL: return KOR::Entry::real(n.r);
  case OBJ::BINARY: return KOR::Entry::binary(n.b);
  case OBJ::XREAL: {
    OBJ::XReal *x = OBJ::make<OBJ::XReal>(&cx.pool);
    x->num = n.x;
    return KOR::Entry::object(x);
  }
  case OBJ::COMPLEX: {
    OBJ::Complex *c = OBJ::make<OBJ::Complex>(&cx.pool);
    c->re = n.c.real();
    c->im = n.c.imag();
    return KOR::Entry::object(c);
  }
  default: {
    OBJ::XComplex *c = OBJ::make<OBJ::XComplex>(&cx.pool);
    c->re = n.xc.re;
    c->im = n.xc.im;
    return KOR::Entry::object(c);
  }
  }
}

namespace {

bool is_complex(uint32_t t) { return t == OBJ::COMPLEX || t == OBJ::XCOMPLEX; }

// The common floating type of two (not binary) numeric types.
uint32_t common(uint32_t a, uint32_t b) {
  if (a == OBJ::XCOMPLEX || b == OBJ::XCOMPLEX) return OBJ::XCOMPLEX;
  bool extended = a == OBJ::XREAL || b == OBJ::XREAL;
  bool complex = a == OBJ::COMPLEX || b == OBJ::COMPLEX;
  return complex ? (extended ? OBJ::XCOMPLEX : OBJ::COMPLEX) : (extended ? OBJ::XREAL : OBJ::REAL);
}

} // namespace

void promote(Num &y, Num &x, Promotion p) {
  if (p == Promotion::NONE) return;
  if (p == Promotion::LOGICAL) {
    if (y.tag == OBJ::XREAL) convert(y, OBJ::REAL);
    if (x.tag == OBJ::XREAL) convert(x, OBJ::REAL);
    if (y.tag == OBJ::BINARY && x.tag == OBJ::REAL) convert(x, OBJ::BINARY);
    if (x.tag == OBJ::BINARY && y.tag == OBJ::REAL) convert(y, OBJ::BINARY);
    return;
  }
  if (y.tag == x.tag) return;
  bool yb = y.tag == OBJ::BINARY, xb = x.tag == OBJ::BINARY;
  if (yb || xb) {
    if (p == Promotion::NUMERIC) return;          // binary integers are never promoted
    if (is_complex(y.tag) || is_complex(x.tag)) return;
    convert(x, OBJ::BINARY);
    convert(y, OBJ::BINARY);
    return;
  }
  uint32_t t = common(y.tag, x.tag);
  convert(x, t);
  convert(y, t);
}

void charge_for(Context &cx, uint32_t tag) {
  cx.ICOUNT += tag == OBJ::XREAL ? 30 : tag == OBJ::COMPLEX ? 10 : tag == OBJ::XCOMPLEX ? 100 : 0;
}

void replace(Context &cx, size_t n, const Num &result) {
  KOR::Stack &s = cx.main;
  s.drop_n(n);
  s.push(entry_of(result, cx));
}

EXEC::Status unary_general(Context &cx, const Unary &k) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num x;
  if (!read(s.cache[s.top], &x)) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  if (k.pre) k.pre(x, cx);
  Num out = x;
  uint64_t mask = cx.format.mask;
  switch (x.tag) {
  case OBJ::REAL:
    if (!k.real) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    out.r = k.real(x.r, cx);
    break;
  case OBJ::XREAL:
    if (!k.xreal) return EXEC::raise(cx, k.extendedPending ? KOR::ERR_UNDER_CONSTRUCTION : KOR::ERR_BAD_TYPE);
    out.x = k.xreal(x.x, cx);
    break;
  case OBJ::BINARY:
    if (!k.bint) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    out.b = k.bint(x.b & mask, cx) & mask;
    break;
  case OBJ::COMPLEX:
    if (!k.complex) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    out.c = k.complex(x.c, cx);
    break;
  default:
    if (!k.xcomplex) return EXEC::raise(cx, k.extendedPending ? KOR::ERR_UNDER_CONSTRUCTION : KOR::ERR_BAD_TYPE);
    out.xc = k.xcomplex(x.xc, cx);
    break;
  }
  charge_for(cx, x.tag);
  if (k.post) k.post(out, cx);
  replace(cx, 1, out);
  return EXEC::NORMAL;
}

EXEC::Status binary_general(Context &cx, const Binary &k, Promotion p) {
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.top < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num y, x;
  if (!read(s.cache[s.top - 1], &y) || !read(s.cache[s.top], &x))
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  if (k.pre) k.pre(y, x, cx);
  promote(y, x, p);
  if (y.tag != x.tag) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  Num out = y;
  uint64_t mask = cx.format.mask;
  switch (y.tag) {
  case OBJ::REAL:
    if (!k.real) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    out.r = k.real(y.r, x.r, cx);
    break;
  case OBJ::XREAL:
    if (!k.xreal) return EXEC::raise(cx, k.extendedPending ? KOR::ERR_UNDER_CONSTRUCTION : KOR::ERR_BAD_TYPE);
    out.x = k.xreal(y.x, x.x, cx);
    break;
  case OBJ::BINARY:
    if (!k.bint) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    if (!k.bint(y.b & mask, x.b & mask, cx, &out.b)) return EXEC::raise(cx, KOR::ERR_ARITHMETIC);
    out.b &= mask;
    break;
  case OBJ::COMPLEX:
    if (!k.complex) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
    out.c = k.complex(y.c, x.c, cx);
    break;
  default:
    if (!k.xcomplex) return EXEC::raise(cx, k.extendedPending ? KOR::ERR_UNDER_CONSTRUCTION : KOR::ERR_BAD_TYPE);
    out.xc = k.xcomplex(y.xc, x.xc, cx);
    break;
  }
  charge_for(cx, y.tag);
  if (k.post) k.post(out, cx);
  replace(cx, 2, out);
  return EXEC::NORMAL;
}

namespace {

// The in-place forms.  Arguments of one numeric type need no promotion, so
// the kernel can read the stack entries directly and write its result over
// the argument's own storage: the unboxed value of a REAL or BINARY, or the
// operand of the other types, which belongs to its stack entry alone.  No
// number is copied out and no result operand is drawn from the pool; X's
// operand goes back to it.  Each returns false, having changed nothing, when
// the general path must decide (another type, a missing kernel, a binary
// fault, a domain extension that changes the type); that path then gives the
// same result or the same error.

// y op x over y, for entries of one tag.
bool binary_in_place(Context &cx, const Binary &k, KOR::Entry &ye, const KOR::Entry &xe) {
  switch (ye.tag) {
  case OBJ::REAL:
    if (!k.real) return false;
    ye.v.r = k.real(ye.v.r, xe.v.r, cx);
    return true;
  case OBJ::BINARY: {
    uint64_t m = cx.format.mask, r;
    if (!k.bint || !k.bint(ye.v.b & m, xe.v.b & m, cx, &r)) return false;
    ye.v.b = r & m;
    return true;
  }
  case OBJ::XREAL: {
    if (!k.xreal) return false;
    auto *y = static_cast<OBJ::XReal *>(ye.v.p);
    y->num = k.xreal(y->num, static_cast<const OBJ::XReal *>(xe.v.p)->num, cx);
    return true;
  }
  case OBJ::COMPLEX: {
    if (!k.complex) return false;
    auto *y = static_cast<OBJ::Complex *>(ye.v.p);
    const auto *x = static_cast<const OBJ::Complex *>(xe.v.p);
    Cplx r = k.complex(Cplx(y->re, y->im), Cplx(x->re, x->im), cx);
    y->re = r.real();
    y->im = r.imag();
    return true;
  }
  case OBJ::XCOMPLEX: {
    if (!k.xcomplex) return false;
    auto *y = static_cast<OBJ::XComplex *>(ye.v.p);
    const auto *x = static_cast<const OBJ::XComplex *>(xe.v.p);
    XComplexValue r = k.xcomplex({y->re, y->im}, {x->re, x->im}, cx);
    y->re = r.re;
    y->im = r.im;
    return true;
  }
  default: return false;
  }
}

// f(x) over x, reading the argument from `n` when a pre-function has
// already read it (and maybe changed its value), else from the entry.
bool unary_in_place(Context &cx, const Unary &k, KOR::Entry &e, const Num *n) {
  switch (e.tag) {
  case OBJ::REAL:
    if (!k.real) return false;
    e.v.r = k.real(n ? n->r : e.v.r, cx);
    return true;
  case OBJ::BINARY: {
    if (!k.bint) return false;
    uint64_t m = cx.format.mask;
    e.v.b = k.bint((n ? n->b : e.v.b) & m, cx) & m;
    return true;
  }
  case OBJ::XREAL: {
    if (!k.xreal) return false;
    auto *x = static_cast<OBJ::XReal *>(e.v.p);
    x->num = k.xreal(n ? n->x : x->num, cx);
    return true;
  }
  case OBJ::COMPLEX: {
    if (!k.complex) return false;
    auto *z = static_cast<OBJ::Complex *>(e.v.p);
    Cplx r = k.complex(n ? n->c : Cplx(z->re, z->im), cx);
    z->re = r.real();
    z->im = r.imag();
    return true;
  }
  case OBJ::XCOMPLEX: {
    if (!k.xcomplex) return false;
    auto *z = static_cast<OBJ::XComplex *>(e.v.p);
    XComplexValue r = k.xcomplex(n ? n->xc : XComplexValue{z->re, z->im}, cx);
    z->re = r.re;
    z->im = r.im;
    return true;
  }
  default: return false;
  }
}

} // namespace

EXEC::Status unary(Context &cx, const Unary &k) {
  KOR::Stack &s = cx.main;
  if (s.top < 1) s.refill(1);
  if (s.top >= 1 && !k.post) {
    KOR::Entry &e = s.cache[s.top];
    if (!k.pre) {
      if (unary_in_place(cx, k, e, nullptr)) {
        charge_for(cx, e.tag);
        return EXEC::NORMAL;
      }
    } else if (OBJ::isNumeric(e.tag)) {
      // A domain extension that keeps the type (a positive square root,
      // say) still allows the in-place form.
      Num n;
      if (read(e, &n)) {
        k.pre(n, cx);
        if (n.tag == e.tag && unary_in_place(cx, k, e, &n)) {
          charge_for(cx, e.tag);
          return EXEC::NORMAL;
        }
      }
    }
  }
  return unary_general(cx, k);
}

EXEC::Status binary(Context &cx, const Binary &k, Promotion p) {
  KOR::Stack &s = cx.main;
  if (s.top < 2) s.refill(2);
  // Logical promotion turns XREAL into REAL even between equal types.
  if (s.top >= 2 && !k.pre && !k.post && p != Promotion::LOGICAL) {
    KOR::Entry &ye = s.cache[s.top - 1], &xe = s.cache[s.top];
    if (ye.tag == xe.tag && binary_in_place(cx, k, ye, xe)) {
      charge_for(cx, ye.tag);
      s.drop_entry(xe);
      s.top--;
      return EXEC::NORMAL;
    }
  }
  return binary_general(cx, k, p);
}

EXEC::Status ternary(Context &cx, const Ternary &k) {
  KOR::Stack &s = cx.main;
  s.refill(3);
  if (s.top < 3) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num z, y, x;
  if (!read(s.cache[s.top - 2], &z) || !read(s.cache[s.top - 1], &y) || !read(s.cache[s.top], &x))
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  promote(z, y, Promotion::NUMERIC);
  promote(y, x, Promotion::NUMERIC);
  promote(z, y, Promotion::NUMERIC);
  if (z.tag != y.tag || y.tag != x.tag) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  Num out = z;
  if (z.tag == OBJ::REAL && k.real) {
    out.r = k.real(z.r, y.r, x.r, cx);
  } else if (z.tag == OBJ::XREAL && k.xreal) {
    out.x = k.xreal(z.x, y.x, x.x, cx);
  } else {
    bool pending = z.tag == OBJ::XREAL && k.extendedPending;
    return EXEC::raise(cx, pending ? KOR::ERR_UNDER_CONSTRUCTION : KOR::ERR_BAD_TYPE);
  }
  charge_for(cx, z.tag);
  replace(cx, 3, out);
  return EXEC::NORMAL;
}

} // namespace OP::dispatch
