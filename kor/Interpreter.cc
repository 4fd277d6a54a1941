// The instruction loop.  Code words name register entries (AFN, RFN) of
// interpreter instructions or, after EXECIFN, a command handler.  Up to four
// reals of the stack top live in r0..r3 (r0 the top) while the loop runs;
// they are written back to the stack cache, deepest first, before every
// handler call and before the loop returns, so that outside the loop the
// stack cache alone is the truth.
#include "kor/Interpreter.h"

#include <cerrno>
#include <cmath>

#include "kor/HardLink.h"
#include "kor/Real.h"
#include "kor/Runtime.h"
#include "kor/kor_error.h"
#include "kor/realmath.h"

namespace EXEC {

using KOR::Entry;
using KOR::Frame;
namespace rm = KOR::realmath;

namespace {

constexpr CodeWord afn(OP::ifnEnum i) { return code_word(i, CW_AFN); }
constexpr CodeWord rfn(OP::ifnEnum i) { return code_word(i, CW_RFN); }

OP::Handler handler_of(CodeWord w) {
  const OP::Command &c = OP::command(word_command(w));
  return word_entry(w) == CW_OPT || (word_entry(w) != CW_HANDLER && c.opt) ? c.opt : c.handler;
}

// Leaves the frames above `base` after an error: the nearest Try catches it.
// Leaves the frames above `base` up to the nearest one of `kind` (taken off
// and returned), or all of them; leaving a subroutine releases it.
const Frame *unwind_to(KOR::Context &cx, size_t base, Frame::Kind kind, Frame *saved) {
  std::deque<Frame> &frames = *cx.frames;
  while (frames.size() > base) {
    Frame f = frames.back();
    frames.pop_back();
    if (f.kind == Frame::CALL) cx.program = f.caller;
    if (f.kind == kind) {
      *saved = f;
      return saved;
    }
    if (f.kind == Frame::CALL && f.program) const_cast<OBJ::Program *>(f.program)->release(&cx.pool);
  }
  return nullptr;
}

void go_to(KOR::Context &cx, const KOR::Pos &p) {
  cx.IP = p.ip;
  cx.DP = p.dp;
  cx.SP = p.sp;
}

} // namespace

// GCC's global common subexpression elimination merges every computed goto
// of the loop into one shared indirect jump (and reloads constants there),
// which costs about a fifth of the instructions of a real loop and the
// per-instruction branch prediction; the loop is compiled without it.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-gcse")))
#endif
Status run(KOR::Context &cx, size_t frameBase) {
  KOR::Stack &S = cx.main;
  Entry *const base = S.cache;
  const CodeWord *ip = cx.IP;
  const Datum *dp = cx.DP;
  Entry *sp = base + S.top;
  uint32_t icount = cx.ICOUNT;
  // Modes a handler may change; read again after every handler call.
  bool xprec = cx.format.xprec();
  bool deg = cx.format.degrees();
  std::deque<Frame> &frames = *cx.frames;
  double r0 = 0, r1 = 0, r2 = 0, r3 = 0;
  int nr = 0;          // reals held in registers
  int nbin = 0;        // binary integers known on top of the stack cache
  Status st = NORMAL;
  OP::Handler h = nullptr;

  static const void *table[OP::IFN_COUNT * 4];
  // After EXECIFN, by the command of the handler word: the structure words
  // whose common cases run here instead of through their handlers.
  static const void *inlined[OP::IFN_COUNT];
  static bool ready = false;
  if (!ready) {
    for (const void *&t : table) t = &&bad_word;
#define KOR_ENTRY(ID) table[afn(OP::ifn_##ID)] = &&A_##ID;
#define KOR_ENTRY2(ID) table[afn(OP::ifn_##ID)] = &&A_##ID; table[rfn(OP::ifn_##ID)] = &&R_##ID;
#include "kor/interpreter_entries.def"
#undef KOR_ENTRY
#undef KOR_ENTRY2
    for (const void *&t : inlined) t = &&handler_word;
    inlined[OP::ifn_If] = &&I_marker;
    inlined[OP::ifn_Case] = &&I_marker;
    inlined[OP::ifn_Default] = &&I_marker;
    inlined[OP::ifn_End] = &&I_End;
    inlined[OP::ifn_Do] = &&I_Do;
    inlined[OP::ifn_ENDWHILE] = &&I_ENDWHILE;
    ready = true;
  }

#define DISPATCH() goto *table[*ip]
#define NEXT() do { ++ip; DISPATCH(); } while (0)
#define DONE() do { ip += 2; DISPATCH(); } while (0)
// The same instruction again is entered at its register-only entry.
#define DONE_SAME(ID, n)                                                    \
  do {                                                                      \
    ip += 2;                                                                \
    if (*ip == afn(OP::ifn_##ID) && nr >= (n)) goto R_##ID;                 \
    DISPATCH();                                                             \
  } while (0)
#define JUMP(j) do { ip += (j).ipair.code; dp += (j).ipair.data - 1; DISPATCH(); } while (0)
#define GO(pos) do { ip = (pos).ip + 1; dp = (pos).dp; DISPATCH(); } while (0)
#define PUSH_ENTRY_CHECK()                                                  \
  if (sp == base + KOR::Stack::CACHE_LIMIT) {                               \
    S.top = KOR::Stack::CACHE_LIMIT;                                        \
    S.trim(7);                                                              \
    sp = base + S.top;                                                      \
  }
#define PUSHR(x)                                                            \
  do {                                                                      \
    ++sp;                                                                   \
    *sp = Entry::real(x);                                                   \
    PUSH_ENTRY_CHECK();                                                     \
  } while (0)
#define WRITE_BACK()                                                        \
  do {                                                                      \
    switch (nr) {                                                           \
    case 4: PUSHR(r3); [[fallthrough]];                                     \
    case 3: PUSHR(r2); [[fallthrough]];                                     \
    case 2: PUSHR(r1); [[fallthrough]];                                     \
    case 1: PUSHR(r0); [[fallthrough]];                                     \
    default: break;                                                         \
    }                                                                       \
    nr = 0;                                                                 \
  } while (0)
#define SYNC_OUT() do { cx.IP = ip; cx.DP = dp; S.top = static_cast<int>(sp - base); cx.ICOUNT = icount; } while (0)
#define SYNC_IN()                                                           \
  do {                                                                      \
    ip = cx.IP; dp = cx.DP; sp = base + S.top; icount = cx.ICOUNT;          \
    nr = 0; nbin = 0;                                                       \
    xprec = cx.format.xprec(); deg = cx.format.degrees();                   \
  } while (0)
// Register pushes: the deepest register goes to the stack when all four are used.
#define RPUSH(x)                                                            \
  do {                                                                      \
    double v_ = (x);                                                        \
    if (nr == 4) { PUSHR(r3); nr = 3; }                                     \
    r3 = r2; r2 = r1; r1 = r0; r0 = v_; ++nr;                               \
  } while (0)
#define CONSUME1() do { r0 = r1; r1 = r2; r2 = r3; --nr; } while (0)
#define CONSUME2() do { r0 = r2; r1 = r3; nr -= 2; } while (0)
// Loading reals from the stack cache into the next free registers; any other
// entry sends the instruction to its handler.
#define LOAD_ONE(reg)                                                       \
  do {                                                                      \
    if (sp->tag != OBJ::REAL) goto fallback;                                \
    reg = sp->v.r; --sp; ++nr;                                              \
    if (nbin > 0) nbin = 0;                                                 \
  } while (0)
#define LOAD1() do { if (nr < 1) LOAD_ONE(r0); } while (0)
#define LOAD2()                                                             \
  do {                                                                      \
    if (nr < 1) LOAD_ONE(r0);                                               \
    if (nr < 2) LOAD_ONE(r1);                                               \
  } while (0)
#define LOAD3()                                                             \
  do {                                                                      \
    if (nr < 1) LOAD_ONE(r0);                                               \
    if (nr < 2) LOAD_ONE(r1);                                               \
    if (nr < 3) LOAD_ONE(r2);                                               \
  } while (0)
// A block end charges its instruction count and, once per timeslice, lets
// the context look at interrupts; HALT or CANCEL there ends the run with the
// block end to be run again on continue.
#define CHARGE(pending)                                                     \
  do {                                                                      \
    icount += dp[1].upair.u1;                                               \
    if (icount >= KOR::TIMESLICE_COUNT) {                                   \
      WRITE_BACK();                                                         \
      cx.IP = ip + 1; cx.DP = dp + 1;                                       \
      S.top = static_cast<int>(sp - base); cx.ICOUNT = icount;              \
      Status t_ = cx.timeslice(pending);                                    \
      sp = base + S.top; icount = 0;                                        \
      if (t_ == HALT && (pending) != HALT) { ip = cx.IP; dp = cx.DP; st = t_; goto leave_synced; } \
      if (t_ == CANCEL) { st = t_; goto leave_unsynced; }                   \
    }                                                                       \
  } while (0)
#define UNARY(ID, expr)                                                     \
  A_##ID: LOAD1();                                                          \
  R_##ID: { r0 = (expr); DONE_SAME(ID, 1); }
#define UNARY1(ID, expr)                                                    \
  A_##ID: { LOAD1(); r0 = (expr); DONE(); }
#define UNARY_IF(ID, ok, expr)                                              \
  A_##ID: { LOAD1(); if (!(ok)) goto fallback; r0 = (expr); DONE(); }
#define BINARY(ID, expr)                                                    \
  A_##ID: LOAD2();                                                          \
  R_##ID: { r0 = (expr); r1 = r2; r2 = r3; --nr; DONE_SAME(ID, 2); }
#define CONSTANT(ID, value)                                                 \
  A_##ID: { if (xprec) goto fallback; RPUSH(value); DONE(); }

  NEXT();

  // ---- Arithmetic and comparison ----
  BINARY(ADD, r1 + r0)
  BINARY(SUB, r1 - r0)
  BINARY(MUL, r1 * r0)
  BINARY(DIV, r1 / r0)
  BINARY(EQ, rm::truth(r1 == r0))
  BINARY(NE, rm::truth(r1 != r0))
  BINARY(LT, rm::truth(r1 < r0))
  BINARY(LE, rm::truth(r1 <= r0))
  BINARY(GT, rm::truth(r1 > r0))
  BINARY(GE, rm::truth(r1 >= r0))
  BINARY(And, rm::truth(rm::is_true(r1) && rm::is_true(r0)))
  BINARY(Or, rm::truth(rm::is_true(r1) || rm::is_true(r0)))
  BINARY(Xor, rm::truth(rm::is_true(r1) != rm::is_true(r0)))
  BINARY(SWAPSUB, r0 - r1)
  BINARY(SWAPDIV, r0 / r1)
  UNARY(Abs, std::fabs(r0))
  UNARY(Neg, -r0)
  UNARY(Inv, 1.0 / r0)
  UNARY(Sq, r0 * r0)
  UNARY(Not, rm::truth(r0 == 0.0))
  UNARY1(Sign, rm::sign(r0))

A_Sqrt: LOAD1();
R_Sqrt: {
  if (r0 < 0.0) goto fallback_loaded;
  r0 = std::sqrt(r0);
  DONE_SAME(Sqrt, 1);
}

  // Constant operands folded into the instruction.
A_REALADD: LOAD1();
R_REALADD: { ++dp; r0 += dp->real; DONE_SAME(REALADD, 1); }
A_REALSUB: LOAD1();
R_REALSUB: { ++dp; r0 -= dp->real; DONE_SAME(REALSUB, 1); }
A_REALMUL: LOAD1();
R_REALMUL: { ++dp; r0 *= dp->real; DONE_SAME(REALMUL, 1); }
A_REALDIV: LOAD1();
R_REALDIV: { ++dp; r0 /= dp->real; DONE_SAME(REALDIV, 1); }
A_REALINV: LOAD1();
R_REALINV: { ++dp; r0 = dp->real / r0; DONE_SAME(REALINV, 1); }
A_REALNEG: LOAD1();
R_REALNEG: { ++dp; r0 = dp->real - r0; DONE_SAME(REALNEG, 1); }

  // ---- Functions computed by a library routine ----
  UNARY1(Exp, std::exp(r0))
  UNARY1(Expm1, std::expm1(r0))
  UNARY1(Alog, rm::alog(r0))
  UNARY1(Cbrt, rm::cbrt(r0))
  UNARY1(Ceil, std::ceil(r0))
  UNARY1(Floor, std::floor(r0))
  UNARY1(Rint, std::nearbyint(r0))
  UNARY1(Sinh, std::sinh(r0))
  UNARY1(Cosh, std::cosh(r0))
  UNARY1(Tanh, std::tanh(r0))
  UNARY1(Asinh, std::asinh(r0))
  UNARY1(Sin, deg ? rm::sin_deg(r0) : std::sin(r0))
  UNARY1(Cos, deg ? rm::cos_deg(r0) : std::cos(r0))
  UNARY1(Tan, deg ? rm::tan_deg(r0) : std::tan(r0))
  UNARY1(Atan, deg ? rm::atan_deg(r0) : std::atan(r0))
  UNARY_IF(Asin, r0 >= -1.0 && r0 <= 1.0, deg ? rm::asin_deg(r0) : std::asin(r0))
  UNARY_IF(Acos, r0 >= -1.0 && r0 <= 1.0, deg ? rm::acos_deg(r0) : std::acos(r0))
  UNARY_IF(Atanh, r0 >= -1.0 && r0 <= 1.0, std::atanh(r0))
  UNARY_IF(Acosh, r0 >= 1.0, std::acosh(r0))
  UNARY_IF(Ln, r0 >= 0.0, std::log(r0))
  UNARY_IF(Log, r0 >= 0.0, std::log10(r0))
  UNARY_IF(Ln1p, r0 >= -1.0, std::log1p(r0))
  UNARY_IF(Sqrt1pm1, r0 >= -1.0, rm::sqrt1pm1(r0))

  // ---- Constants ----
  CONSTANT(Pi, M_PI)
  CONSTANT(E, M_E)
  CONSTANT(True, 1.0)
  CONSTANT(False, 0.0)

  // ---- Stack operations on registers ----
A_Drop: LOAD1();
R_Drop: { CONSUME1(); DONE_SAME(Drop, 1); }
A_Drop2: LOAD2();
R_Drop2: { CONSUME2(); DONE_SAME(Drop2, 2); }
A_Dup: LOAD1();
R_Dup: { RPUSH(r0); DONE_SAME(Dup, 1); }
A_Dup2: LOAD2();
R_Dup2: { double y = r1, x = r0; RPUSH(y); RPUSH(x); DONE_SAME(Dup2, 2); }
A_Over: LOAD2();
R_Over: { RPUSH(r1); DONE_SAME(Over, 2); }
A_Swap: LOAD2();
R_Swap: { double t = r0; r0 = r1; r1 = t; DONE_SAME(Swap, 2); }
A_Rot: LOAD3();
R_Rot: { double x = r0, y = r1, z = r2; r0 = z; r1 = x; r2 = y; DONE_SAME(Rot, 3); }
A_Rotd: LOAD3();
R_Rotd: { double x = r0, y = r1, z = r2; r0 = y; r1 = z; r2 = x; DONE_SAME(Rotd, 3); }

  // ---- Pushes and checks ----
A_REALPUSH: { ++dp; RPUSH(dp->real); DONE(); }
A_BINTPUSH: {
  WRITE_BACK();
  ++dp;
  ++sp;
  *sp = Entry::binary(dp->bint);
  PUSH_ENTRY_CHECK();
  ++nbin;
  DONE();
}
A_CHECK1: { if (nr + (sp - base) >= 1 || nbin >= 1) DONE(); goto fallback; }
A_CHECK2: { if (nr + (sp - base) >= 2 || nbin >= 2) DONE(); goto fallback; }
A_CHECK3: { if (nr + (sp - base) >= 3 || nbin >= 3) DONE(); goto fallback; }

  // ---- Control ----
A_Then: LOAD1();
R_Then: {
  double test = r0;
  CONSUME1();
  ++dp;
  if (test == 0.0) JUMP(*dp);
  DONE();
}
A_Else: { ++dp; JUMP(*dp); }
A_Catch: {
  ++dp;   // reached without an error: the try block is done
  if (frames.size() > frameBase && frames.back().kind == Frame::TRY) frames.pop_back();
  JUMP(*dp);
}
A_Next: {
  CHARGE(NORMAL);
  ++dp;
  Frame &f = frames.back();
  f.counter += 1.0;
  if (f.counter <= f.limit) GO(f.start);
  frames.pop_back();
  DONE();
}
A_Step: {
  CHARGE(NORMAL);
  LOAD1();
  ++dp;
  double step = r0;
  CONSUME1();
  Frame &f = frames.back();
  f.counter += step;
  if (step >= 0 ? f.counter <= f.limit : f.counter >= f.limit) GO(f.start);
  frames.pop_back();
  DONE();
}
A_REALLOOP: {
  CHARGE(NORMAL);
  ++dp;
  Frame &f = frames.back();
  f.counter += f.step;
  if (f.step >= 0 ? f.counter <= f.limit : f.counter >= f.limit) GO(f.start);
  frames.pop_back();
  DONE();
}
A_SYSEXIT: {
  CHARGE(EXIT);
  ++dp;
  ++ip;
  st = EXIT;
  goto status;
}

  // ---- Handlers ----
A_EXECIFN: goto *inlined[word_command(ip[1])];
handler_word: {
  ++ip;
  h = handler_of(*ip);
  goto call;
}

  // ---- Structure words run in the loop (IP at EXECIFN) ----
  // Each does what its handler does in compiled code; the cases left out
  // (a test that is not a real, an unexpected frame) go to the handler.
I_marker: { ++dp; DONE(); }   // If, Case, Default: nothing to do
I_End: {                      // the End of If, Case or Switch
  ++dp;
  if (dp->bint != 0) JUMP(*dp);
  DONE();
}
I_Do: {                       // Do after While's test; the opening Do goes to the handler
  Datum j = dp[1];
  if (word_command(ip[1 + j.ipair.code]) == OP::ifn_While) goto handler_word;
  if (nr < 1) {
    if (sp->tag != OBJ::REAL) goto handler_word;
    r0 = sp->v.r; --sp; nr = 1; nbin = 0;
  }
  if (r0 != 0.0) {
    CONSUME1();
    ++dp;
    DONE();
  }
  if (frames.empty() || frames.back().kind != Frame::LOOP_WHILE) goto handler_word;
  CONSUME1();
  ++dp;
  KOR::Pos end = frames.back().end;
  frames.pop_back();
  GO(end);
}
I_ENDWHILE: {                 // the end of While ... Do ... End and Do ... While ... End
  if (frames.empty()) goto handler_word;
  Frame::Kind kind = frames.back().kind;
  if (kind == Frame::LOOP_WHILE) {
    CHARGE(NORMAL);
    ++dp;
    GO(frames.back().start);
  }
  if (kind != Frame::LOOP_DO) goto handler_word;
  if (nr < 1 && sp->tag != OBJ::REAL) goto handler_word;
  CHARGE(NORMAL);             // a timeslice writes the test back to the stack top
  ++dp;
  if (nr < 1) { r0 = sp->v.r; --sp; nr = 1; nbin = 0; }
  double again = r0;
  CONSUME1();
  if (again != 0.0) GO(frames.back().start);
  frames.pop_back();
  DONE();
}
fallback_loaded:   // the operand stays in r0 for the handler
fallback: {
  ++ip;
  h = handler_of(*ip);
}
call: {
  WRITE_BACK();
  SYNC_OUT();
  st = h(cx);
  SYNC_IN();
  if (st == NORMAL) NEXT();
}
status: {
  Frame caught;
  if (st == ERROR) {
    if (const Frame *f = unwind_to(cx, frameBase, Frame::TRY, &caught)) {
      WRITE_BACK();
      st = NORMAL;
      GO(f->end);
    }
  } else if (st == EXIT) {
    if (const Frame *f = unwind_to(cx, frameBase, Frame::CALL, &caught)) {
      if (f->program) const_cast<OBJ::Program *>(f->program)->release(&cx.pool);
      WRITE_BACK();
      st = NORMAL;
      GO(f->start);
    }
  }
  goto leave_unsynced;
}

bad_word:
  kor_error(EINVAL, "Sequence", __LINE__, "bad code word");

leave_unsynced:
  WRITE_BACK();
  SYNC_OUT();
leave_synced:
  WRITE_BACK();
  S.top = static_cast<int>(sp - base);
  cx.ICOUNT = icount;
  cx.status_ = st;
  return st;

#undef DISPATCH
#undef NEXT
#undef DONE
#undef DONE_SAME
#undef JUMP
#undef GO
#undef PUSH_ENTRY_CHECK
#undef PUSHR
#undef WRITE_BACK
#undef SYNC_OUT
#undef SYNC_IN
#undef RPUSH
#undef CONSUME1
#undef CONSUME2
#undef LOAD_ONE
#undef LOAD1
#undef LOAD2
#undef LOAD3
#undef CHARGE
#undef UNARY
#undef UNARY1
#undef UNARY_IF
#undef BINARY
#undef CONSTANT
}

Status run_operands(KOR::Context &cx, size_t frameBase) {
  for (;;) {
    ++cx.SP;
    Status st = (*cx.SP)->execute(cx);
    if (st == NORMAL) continue;
    Frame caught;
    if (st == ERROR && unwind_to(cx, frameBase, Frame::TRY, &caught)) {
      go_to(cx, caught.end);
      continue;
    }
    if (st == EXIT) unwind_to(cx, frameBase, Frame::CALL, &caught);
    cx.status_ = st;
    return st;
  }
}

Status call(KOR::Context &cx, const OBJ::Program &prog) {
  if (prog.elems.empty()) return NORMAL;
  static int nested = 0;
  if (nested >= KOR::MAX_NESTED_RUNS) return EXEC::raise(cx, KOR::ERR_NO_MEMORY);
  struct Depth {
    Depth() { ++nested; }
    ~Depth() { --nested; }
  } depth;
  KOR::Pos saved{cx.IP, cx.DP, cx.SP};
  const OBJ::Program *caller = cx.program;
  cx.program = &prog;
  size_t base = cx.frames->size();
  Status st;
  if (!prog.code.empty()) {
    cx.IP = prog.code.data();
    cx.DP = prog.data.data();
    cx.SP = nullptr;
    st = run(cx, base);
  } else {
    cx.IP = nullptr;
    cx.DP = nullptr;
    cx.SP = prog.elems.data();
    st = run_operands(cx, base);
  }
  // A halted or cancelled subroutine leaves no frames behind.
  Frame dropped;
  unwind_to(cx, base, Frame::TRY, &dropped);
  while (cx.frames->size() > base) cx.frames->pop_back();
  cx.program = caller;
  go_to(cx, saved);
  return st == EXIT ? NORMAL : st;
}

void clear_frames(KOR::Context &cx) {
  while (!cx.frames->empty()) {
    Frame &f = cx.frames->back();
    if (f.kind == Frame::CALL && f.program) const_cast<OBJ::Program *>(f.program)->release(&cx.pool);
    cx.frames->pop_back();
  }
}

} // namespace EXEC
