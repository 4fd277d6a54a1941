// The dispatchers' in-place forms against their general path: for kernel
// sets with and without pre- and post-functions, missing kernels and binary
// faults, and for every pair of argument types, both leave bit-identical
// stacks, the same status, error and instruction charge; the in-place forms
// allocate nothing and return X's operand to the pool.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fathom/xcomplex.h"
#include "fathom/xmath.h"
#include "kor/HardLink.h"
#include "kor/Real.h"
#include "kor/XReal.h"
#include "kor/dispatch.h"
#include "unit/alloc_counter.h"
#include "unit/engine_util.h"

namespace {

using namespace OP::dispatch;
using KOR::Entry;
namespace fm = fathom;

fm::XRealValue xr(double d) { return fm::fromDouble(d); }

// Argument makers: each pushes one value onto a context's stack.
using Maker = std::function<Entry(KOR::Context &)>;

Entry real(double d) { return Entry::real(d); }
Entry xreal(KOR::Context &cx, fm::XRealValue v) {
  auto *x = OBJ::make<OBJ::XReal>(&cx.pool);
  x->num = v;
  return Entry::object(x);
}
Entry complex(KOR::Context &cx, double re, double im) {
  auto *c = OBJ::make<OBJ::Complex>(&cx.pool);
  c->re = re;
  c->im = im;
  return Entry::object(c);
}
Entry xcomplex(KOR::Context &cx, fm::XRealValue re, fm::XRealValue im) {
  auto *c = OBJ::make<OBJ::XComplex>(&cx.pool);
  c->re = re;
  c->im = im;
  return Entry::object(c);
}

// Values of every numeric type, among them negative ones (domain
// extensions), zeros (binary division), values above the 8-bit mask, NaN,
// and a string.
std::vector<Maker> arguments() {
  return {
      [](KOR::Context &) { return real(2.5); },
      [](KOR::Context &) { return real(-4); },
      [](KOR::Context &) { return real(NAN); },
      [](KOR::Context &) { return Entry::binary(0x1234); },   // 0x34 under the mask
      [](KOR::Context &) { return Entry::binary(0x100); },    // zero under the mask
      [](KOR::Context &) { return Entry::binary(7); },
      [](KOR::Context &cx) { return xreal(cx, fm::div(xr(1), xr(3))); },
      [](KOR::Context &cx) { return xreal(cx, xr(-9)); },
      [](KOR::Context &cx) { return complex(cx, 0.5, -1.25); },
      [](KOR::Context &cx) { return complex(cx, -3, 0); },
      [](KOR::Context &cx) { return xcomplex(cx, xr(2), fm::div(xr(1), xr(7))); },
      [](KOR::Context &cx) { return xcomplex(cx, xr(-1), fm::zero(true)); },
      [](KOR::Context &) { return Entry::object(new OBJ::String("s")); },
  };
}

// One level's content, bit for bit.
std::string bits_of(const Entry &e) {
  Num n;
  std::string out = std::to_string(e.tag) + ":";
  if (e.tag == OBJ::STRING) return out + static_cast<const OBJ::String *>(e.v.p)->text;
  if (!read(e, &n)) return out + "?";
  auto add = [&out](const void *p, size_t size) {
    const unsigned char *b = static_cast<const unsigned char *>(p);
    for (size_t i = 0; i < size; ++i) out += "0123456789abcdef"[b[i] >> 4], out += "0123456789abcdef"[b[i] & 15];
    out += ' ';
  };
  switch (n.tag) {
  case OBJ::REAL: add(&n.r, sizeof n.r); break;
  case OBJ::BINARY: add(&n.b, sizeof n.b); break;
  case OBJ::XREAL: add(&n.x, sizeof n.x); break;
  case OBJ::COMPLEX: {
    double re = n.c.real(), im = n.c.imag();
    add(&re, sizeof re);
    add(&im, sizeof im);
    break;
  }
  default: add(&n.xc, sizeof n.xc); break;
  }
  return out;
}

struct Outcome {
  int status;
  int err;
  uint32_t icount;
  std::vector<std::string> levels;   // top first
  bool operator==(const Outcome &o) const {
    return status == o.status && err == o.err && icount == o.icount && levels == o.levels;
  }
};

std::string describe(const Outcome &o) {
  std::string s = "status " + std::to_string(o.status) + " err " + std::to_string(o.err) + " icount " +
                  std::to_string(o.icount) + " [";
  for (const std::string &l : o.levels) s += " " + l;
  return s + " ]";
}

// A stack of a real below the arguments, so that a command can neither
// reach nor disturb what lies under them; word size 8.
Outcome run_with(const std::vector<Maker> &args, const std::function<EXEC::Status(KOR::Context &)> &f) {
  KOR::Context cx("Test");
  cx.format.setWordSize(8);
  cx.main.push(real(99));
  for (const Maker &m : args) cx.main.push(m(cx));
  Outcome o;
  o.status = f(cx);
  o.err = o.status == EXEC::ERROR ? cx.err_ : 0;
  o.icount = cx.ICOUNT;
  for (size_t k = 1; k <= cx.main.depth(); ++k) o.levels.push_back(bits_of(cx.main.level(k)));
  cx.main.clear();
  return o;
}

// ---- Kernel sets ----

Binary arithmetic_add() {
  Binary k;
  k.real = [](double y, double x, const KOR::Context &) { return y + x; };
  k.xreal = [](fm::XRealValue y, fm::XRealValue x, const KOR::Context &) { return fm::add(y, x); };
  k.bint = [](uint64_t y, uint64_t x, const KOR::Context &, uint64_t *r) { return *r = y + x, true; };
  k.complex = [](Cplx y, Cplx x, const KOR::Context &) { return y * x + y; };
  k.xcomplex = [](XComplexValue y, XComplexValue x, const KOR::Context &) { return fm::cdiv(y, x); };
  return k;
}

// Binary division faults on a zero divisor; no extended kernels.
Binary partial_divide() {
  Binary k;
  k.real = [](double y, double x, const KOR::Context &) { return y / x; };
  k.bint = [](uint64_t y, uint64_t x, const KOR::Context &, uint64_t *r) {
    if (x == 0) return false;
    *r = y / x;
    return true;
  };
  k.complex = [](Cplx y, Cplx x, const KOR::Context &) { return y / x; };
  return k;
}

// A power with the domain extension of the base.
Binary power_with_pre() {
  Binary k = arithmetic_add();
  k.pre = [](Num &y, Num &, const KOR::Context &) {
    if (y.tag == OBJ::REAL && y.r < 0) convert(y, OBJ::COMPLEX);
  };
  return k;
}

// A modulus whose post-function makes the result real.
Binary with_post() {
  Binary k = arithmetic_add();
  k.post = [](Num &n, const KOR::Context &) {
    if (n.tag == OBJ::COMPLEX) {
      double m = std::abs(n.c);
      n.tag = OBJ::REAL;
      n.r = m;
    }
  };
  return k;
}

Unary square_root() {
  Unary k;
  k.real = [](double x, const KOR::Context &) { return std::sqrt(x); };
  k.xreal = [](fm::XRealValue x, const KOR::Context &) { return fm::sqrt(x); };
  k.complex = [](Cplx z, const KOR::Context &) { return std::sqrt(z); };
  k.xcomplex = [](XComplexValue z, const KOR::Context &) { return fm::csqrt(z); };
  k.pre = [](Num &n, const KOR::Context &) {
    if (n.tag == OBJ::REAL && n.r < 0) convert(n, OBJ::COMPLEX);
    else if (n.tag == OBJ::XREAL && fm::signBit(n.x) && !fm::isZero(n.x)) convert(n, OBJ::XCOMPLEX);
  };
  return k;
}

// A pre-function that changes the value but not the type: the kernel must
// see the changed value in both paths.
Unary doubled_then_negated() {
  Unary k;
  k.real = [](double x, const KOR::Context &) { return -x; };
  k.xreal = [](fm::XRealValue x, const KOR::Context &) { return fm::neg(x); };
  k.bint = [](uint64_t x, const KOR::Context &) { return ~x; };
  k.complex = [](Cplx z, const KOR::Context &) { return -z; };
  k.pre = [](Num &n, const KOR::Context &) {
    if (n.tag == OBJ::REAL) n.r *= 2;
    else if (n.tag == OBJ::BINARY) n.b *= 2;
    else if (n.tag == OBJ::COMPLEX) n.c *= 2.0;
  };
  return k;
}

Unary no_extended() {
  Unary k;
  k.real = [](double x, const KOR::Context &) { return std::exp(x); };
  k.complex = [](Cplx z, const KOR::Context &) { return std::exp(z); };
  k.extendedPending = true;
  return k;
}

Unary binary_complement() {
  Unary k;
  k.bint = [](uint64_t x, const KOR::Context &) { return ~x; };
  return k;
}

TEST(Dispatch, BinaryInPlaceMatchesTheGeneralPath) {
  struct Set { const char *name; Binary k; Promotion p; } sets[] = {
      {"add arithmetic", arithmetic_add(), Promotion::ARITHMETIC},
      {"add numeric", arithmetic_add(), Promotion::NUMERIC},
      {"add logical", arithmetic_add(), Promotion::LOGICAL},
      {"add none", arithmetic_add(), Promotion::NONE},
      {"partial divide", partial_divide(), Promotion::ARITHMETIC},
      {"power with pre", power_with_pre(), Promotion::NUMERIC},
      {"with post", with_post(), Promotion::ARITHMETIC},
  };
  std::vector<Maker> args = arguments();
  int inPlace = 0;
  for (const Set &s : sets) {
    for (size_t i = 0; i < args.size(); ++i) {
      for (size_t j = 0; j < args.size(); ++j) {
        std::vector<Maker> yx = {args[i], args[j]};
        Outcome fast = run_with(yx, [&](KOR::Context &cx) { return binary(cx, s.k, s.p); });
        Outcome general = run_with(yx, [&](KOR::Context &cx) { return binary_general(cx, s.k, s.p); });
        EXPECT_EQ(fast, general) << s.name << " on arguments " << i << ", " << j << "\n  fast    "
                                 << describe(fast) << "\n  general " << describe(general);
        if (fast.status == EXEC::NORMAL && fast.levels.size() == 2) inPlace++;
      }
    }
  }
  EXPECT_GT(inPlace, 0);
}

TEST(Dispatch, UnaryInPlaceMatchesTheGeneralPath) {
  struct Set { const char *name; Unary k; } sets[] = {
      {"square root", square_root()},
      {"doubled then negated", doubled_then_negated()},
      {"no extended kernels", no_extended()},
      {"binary complement", binary_complement()},
  };
  for (const Set &s : sets) {
    std::vector<Maker> args = arguments();
    for (size_t i = 0; i < args.size(); ++i) {
      Outcome fast = run_with({args[i]}, [&](KOR::Context &cx) { return unary(cx, s.k); });
      Outcome general = run_with({args[i]}, [&](KOR::Context &cx) { return unary_general(cx, s.k); });
      EXPECT_EQ(fast, general) << s.name << " on argument " << i << "\n  fast    " << describe(fast)
                               << "\n  general " << describe(general);
    }
  }
}

// In steady state the in-place forms take nothing from the heap, and X's
// operand goes back to the pool for the next literal to reuse.
TEST(Dispatch, InPlaceFormsAllocateNothingAndRecycleX) {
  Binary add = arithmetic_add();
  Unary root = square_root();
  KOR::Context cx("Test");
  // Two operands of each type parked in the pool.
  for (int i = 0; i < 2; ++i) {
    cx.main.push(xreal(cx, xr(1)));
    cx.main.push(xreal(cx, xr(1)));
    cx.main.push(xcomplex(cx, xr(1), xr(2)));
    cx.main.push(xcomplex(cx, xr(1), xr(2)));
    cx.main.clear();
  }
  size_t parked = cx.pool.size(OBJ::XCOMPLEX);
  size_t news;
  {
    alloc_counter::AllocCount count;
    cx.main.push(xcomplex(cx, xr(1), xr(2)));
    cx.main.push(xcomplex(cx, xr(3), xr(4)));
    ASSERT_EQ(binary(cx, add, Promotion::ARITHMETIC), EXEC::NORMAL);
    ASSERT_EQ(unary(cx, root), EXEC::NORMAL);
    cx.main.push(xreal(cx, xr(2)));
    cx.main.push(xreal(cx, xr(3)));
    ASSERT_EQ(binary(cx, add, Promotion::ARITHMETIC), EXEC::NORMAL);
    ASSERT_EQ(unary(cx, root), EXEC::NORMAL);
    news = count.news();
  }
  EXPECT_EQ(news, 0u);
  // One extended complex result stays on the stack, the other operand of the
  // pair is parked again.
  EXPECT_EQ(cx.pool.size(OBJ::XCOMPLEX), parked - 1);
  ASSERT_EQ(cx.main.depth(), 2u);
  EXPECT_EQ(cx.main.level(1).tag, OBJ::XREAL);
  EXPECT_EQ(fm::compare(static_cast<OBJ::XReal *>(cx.main.level(1).v.p)->num, fm::sqrt(xr(5))), 0);
  cx.main.clear();
}


// Commands computing in place change only the stack's own operands: the
// literals of a compiled program are pushed as copies, so a program gives
// the same stack every time it runs, and after its first run it takes
// nothing from the heap.
TEST(Dispatch, ProgramsRunAgainWithTheSameResultsAndNoAllocation) {
  for (const char *src : {"1.5x 2.5x + Sqrt 3x * 7x /", "(1,2) (3,4) * (0.5,1) + Sqrt (2,-1) /",
                          "(1,2)x Sqrt (1,1)x / (3,0.5)x * (1,1)x -", "#5 #3 * #2 - #7 +",
                          "1 3 Start 1.5x 0.5x * Sqrt Next + +"}) {
    engine::Session s(src);
    ASSERT_EQ(s.start(), EXEC::EXIT) << src;
    std::vector<std::string> first = s.stack();
    s.cx.main.clear();
    ASSERT_EQ(s.start(), EXEC::EXIT) << src;
    s.cx.main.clear();
    size_t news;
    {
      alloc_counter::AllocCount count;
      ASSERT_EQ(s.start(), EXEC::EXIT) << src;
      news = count.news();
    }
    EXPECT_EQ(s.stack(), first) << src;
    EXPECT_EQ(news, 0u) << src;
    EXPECT_EQ(engine::run(src, engine::Mode::Operands).stack, first) << src;
  }
}

} // namespace
