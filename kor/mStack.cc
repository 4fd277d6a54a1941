// Stack commands: dropping, duplicating and moving levels, depth, the
// last-argument stack and CheckArg.
#include "kor/Runtime.h"
#include "kor/handlers.h"

namespace OP {

using EXEC::Status;
using KOR::Context;

namespace {

// Fixed-arity commands rely on the compiled check before them; operand
// mode and the fall-back from the register forms check here as well.
Status need(Context &cx, size_t n) {
  KOR::Stack &s = cx.main;
  if (s.depth() < n) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  s.refill(static_cast<int>(n));
  return EXEC::NORMAL;
}

// DropN, DupN, Pick, Roll, Rolld: N from level 1, then the primitive with
// the count N + k - 1 (k = 1 for DropN and DupN, else 0).
template <class Apply> Status counted(Context &cx, long k, Apply apply) {
  KOR::Stack &s = cx.main;
  if (s.depth() < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  long n;
  Status st = EXEC::pop_integer(cx, &n);
  if (st != EXEC::NORMAL) return st;
  if (n + k < 1) {
    EXEC::push_real(cx, static_cast<double>(n));
    return EXEC::raise(cx, KOR::ERR_BAD_VALUE);
  }
  if (static_cast<size_t>(n) > s.depth()) {
    EXEC::push_real(cx, static_cast<double>(n));
    return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  }
  apply(s, static_cast<size_t>(n + k - 1), n);
  return EXEC::NORMAL;
}

} // namespace

Status h_Drop(Context &cx) {
  Status st = need(cx, 1);
  if (st == EXEC::NORMAL) cx.main.drop_n(1);
  return st;
}

Status h_Drop2(Context &cx) {
  Status st = need(cx, 2);
  if (st == EXEC::NORMAL) cx.main.drop_n(2);
  return st;
}

Status h_Dup(Context &cx) {
  Status st = need(cx, 1);
  if (st == EXEC::NORMAL) cx.main.dup_n(1);
  return st;
}

Status h_Dup2(Context &cx) {
  Status st = need(cx, 2);
  if (st == EXEC::NORMAL) cx.main.dup_n(2);
  return st;
}

Status h_Swap(Context &cx) {
  Status st = need(cx, 2);
  if (st == EXEC::NORMAL) cx.main.swap_levels(0);
  return st;
}

Status h_Over(Context &cx) {
  Status st = need(cx, 2);
  if (st == EXEC::NORMAL) cx.main.pick(1);
  return st;
}

Status h_Rot(Context &cx) {
  Status st = need(cx, 3);
  if (st == EXEC::NORMAL) cx.main.roll(2);
  return st;
}

Status h_Rotd(Context &cx) {
  Status st = need(cx, 3);
  if (st == EXEC::NORMAL) cx.main.roll_down(2);
  return st;
}

Status h_DropN(Context &cx) {
  return counted(cx, 1, [](KOR::Stack &s, size_t, long n) { s.drop_n(static_cast<size_t>(n)); });
}

Status h_DupN(Context &cx) {
  return counted(cx, 1, [](KOR::Stack &s, size_t, long n) { s.dup_n(static_cast<size_t>(n)); });
}

Status h_Pick(Context &cx) {
  return counted(cx, 0, [](KOR::Stack &s, size_t level, long) { s.pick(level); });
}

Status h_Roll(Context &cx) {
  return counted(cx, 0, [](KOR::Stack &s, size_t level, long) { s.roll(level); });
}

Status h_Rolld(Context &cx) {
  return counted(cx, 0, [](KOR::Stack &s, size_t level, long) { s.roll_down(level); });
}

Status h_Depth(Context &cx) {
  EXEC::push_real(cx, static_cast<double>(cx.main.depth()));
  return EXEC::NORMAL;
}

Status h_Clear(Context &cx) {
  cx.main.clear();
  return EXEC::NORMAL;
}

Status h_LastArg(Context &cx) {
  cx.main.append_copy_of(cx.last);
  return EXEC::NORMAL;
}

Status h_SaveArg(Context &cx) {
  KOR::Stack &s = cx.main;
  if (s.depth() < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  long n;
  Status st = EXEC::pop_integer(cx, &n);
  if (st != EXEC::NORMAL) return st;
  if (n < 0 || static_cast<size_t>(n) > s.depth()) {
    EXEC::push_real(cx, static_cast<double>(n));
    return EXEC::raise(cx, n < 0 ? KOR::ERR_BAD_VALUE : KOR::ERR_TOO_FEW_ARGS);
  }
  cx.save_last_args(static_cast<size_t>(n));
  return EXEC::NORMAL;
}

Status h_CheckArg(Context &cx) {
  KOR::Stack &s = cx.main;
  if (s.depth() < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  long n;
  Status st = EXEC::pop_integer(cx, &n);
  if (st != EXEC::NORMAL) return st;
  if (n < 0 || static_cast<size_t>(n) > s.depth()) {
    EXEC::push_real(cx, static_cast<double>(n));
    return EXEC::raise(cx, n < 0 ? KOR::ERR_BAD_VALUE : KOR::ERR_TOO_FEW_ARGS);
  }
  return EXEC::NORMAL;
}

} // namespace OP
