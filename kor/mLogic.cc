// Logic on reals and binary integers, the binary word size, shifts and
// rotations, and conversion to a binary integer.
#include <cmath>

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

void xreal_to_real(Num &n, const Context &) {
  if (n.tag == OBJ::XREAL) convert(n, OBJ::REAL);
}

// Shifts and rotations take a binary integer; a real is converted first.
void to_binary(Num &n, const Context &) {
  if (n.tag == OBJ::REAL || n.tag == OBJ::XREAL) convert(n, OBJ::BINARY);
}

Binary logic(double (*real)(double, double, const Context &),
             bool (*bint)(uint64_t, uint64_t, const Context &, uint64_t *)) {
  Binary k;
  k.real = real;
  k.bint = bint;
  return k;
}

Unary shift(uint64_t (*f)(uint64_t, const Context &)) {
  Unary k;
  k.bint = f;
  k.pre = to_binary;
  return k;
}

unsigned width(const Context &cx) { return cx.format.wordSize(); }
uint64_t top_bit(const Context &cx) { return uint64_t(1) << (width(cx) - 1); }

uint64_t rotate_left(uint64_t x, const Context &cx) {
  return (x << 1) | ((x & top_bit(cx)) ? 1 : 0);
}
uint64_t rotate_right(uint64_t x, const Context &cx) {
  return (x >> 1) | ((x & 1) ? top_bit(cx) : 0);
}

} // namespace

Status h_Not(Context &cx) {
  static const Unary k = [] {
    Unary u;
    u.real = [](double x, const Context &) { return rm::truth(x == 0.0); };
    u.bint = [](uint64_t x, const Context &) { return ~x; };
    u.pre = xreal_to_real;
    return u;
  }();
  return unary(cx, k);
}

Status h_And(Context &cx) {
  static const Binary k = logic(
      [](double y, double x, const Context &) { return rm::truth(rm::is_true(y) && rm::is_true(x)); },
      [](uint64_t y, uint64_t x, const Context &, uint64_t *r) { return *r = y & x, true; });
  return binary(cx, k, Promotion::LOGICAL);
}

Status h_Or(Context &cx) {
  static const Binary k = logic(
      [](double y, double x, const Context &) { return rm::truth(rm::is_true(y) || rm::is_true(x)); },
      [](uint64_t y, uint64_t x, const Context &, uint64_t *r) { return *r = y | x, true; });
  return binary(cx, k, Promotion::LOGICAL);
}

Status h_Xor(Context &cx) {
  static const Binary k = logic(
      [](double y, double x, const Context &) { return rm::truth(rm::is_true(y) != rm::is_true(x)); },
      [](uint64_t y, uint64_t x, const Context &, uint64_t *r) { return *r = y ^ x, true; });
  return binary(cx, k, Promotion::LOGICAL);
}

Status h_SL(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &) { return x << 1; });
  return unary(cx, k);
}
Status h_SR(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &) { return x >> 1; });
  return unary(cx, k);
}
Status h_ASR(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &c) { return (x >> 1) | (x & top_bit(c)); });
  return unary(cx, k);
}
Status h_SLB(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &) { return x << 8; });
  return unary(cx, k);
}
Status h_SRB(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &) { return x >> 8; });
  return unary(cx, k);
}
Status h_RL(Context &cx) {
  static const Unary k = shift(rotate_left);
  return unary(cx, k);
}
Status h_RR(Context &cx) {
  static const Unary k = shift(rotate_right);
  return unary(cx, k);
}
Status h_RLB(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &c) {
    for (int i = 0; i < 8; ++i) x = rotate_left(x, c) & c.format.mask;
    return x;
  });
  return unary(cx, k);
}
Status h_RRB(Context &cx) {
  static const Unary k = shift([](uint64_t x, const Context &c) {
    for (int i = 0; i < 8; ++i) x = rotate_right(x, c);
    return x;
  });
  return unary(cx, k);
}

Status h_StoWS(Context &cx) {
  long n;
  Status st = EXEC::pop_integer(cx, &n);
  if (st == EXEC::NORMAL) cx.format.setWordSize(n);
  return st;
}

Status h_RclWS(Context &cx) {
  Num n;
  n.tag = OBJ::REAL;
  n.r = cx.format.wordSize();
  if (cx.format.xprec()) convert(n, OBJ::XREAL);
  cx.main.push(entry_of(n, cx));
  return EXEC::NORMAL;
}

Status h_MaxBint(Context &cx) {
  cx.main.push(KOR::Entry::binary(cx.format.mask));
  return EXEC::NORMAL;
}

// A real converts by the standard double to unsigned conversion (NaN,
// negatives and zero to 0, 2^64 and above to all ones), with no mask.
Status h_TO_BINT(Context &cx) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Num n;
  if (!read(s.cache[s.top], &n) || n.tag == OBJ::COMPLEX || n.tag == OBJ::XCOMPLEX)
    return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  convert(n, OBJ::BINARY);
  replace(cx, 1, n);
  return EXEC::NORMAL;
}

} // namespace OP
