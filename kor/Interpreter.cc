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

// Leaves the frames above `base` up to the nearest one of `kind` (taken off
// and copied to *saved), or all of them; leaving a subroutine releases it.
// (After an error the nearest Try catches it; after an exit, the caller.)
const Frame *unwind_to(KOR::Context &cx, size_t base, Frame::Kind kind, Frame *saved) {
  KOR::FrameStack &frames = *cx.frames;
  while (frames.size() > base) {
    const Frame &f = frames.back();
    if (f.kind == Frame::CALL) cx.program = f.caller;
    if (f.kind == kind) {
      *saved = f;
      frames.pop_back();
      return saved;
    }
    if (f.kind == Frame::CALL && f.program) const_cast<OBJ::Program *>(f.program)->release(&cx.pool);
    frames.pop_back();
  }
  return nullptr;
}

// A push filled the stack cache: the oldest entries go to the overflow.  Kept
// out of line and cold, so that the loop's registers are not planned around it.
[[gnu::cold, gnu::noinline]] int make_room(KOR::Stack &S) {
  S.top = KOR::Stack::CACHE_LIMIT;
  S.trim(7);
  return S.top;
}

// The library functions of the register entries, one signature for all, so
// that the loop calls them from one place (see `library` in run).
using Kernel = double (*)(double x, bool degrees);
#define KOR_KERNEL(NAME, EXPR) \
  double k_##NAME(double x, [[maybe_unused]] bool degrees) { return EXPR; }
KOR_KERNEL(Exp, std::exp(x))
KOR_KERNEL(Expm1, std::expm1(x))
KOR_KERNEL(Alog, rm::alog(x))
KOR_KERNEL(Cbrt, rm::cbrt(x))
KOR_KERNEL(Ceil, std::ceil(x))
KOR_KERNEL(Floor, std::floor(x))
KOR_KERNEL(Rint, std::nearbyint(x))
KOR_KERNEL(Sinh, std::sinh(x))
KOR_KERNEL(Cosh, std::cosh(x))
KOR_KERNEL(Tanh, std::tanh(x))
KOR_KERNEL(Asinh, std::asinh(x))
KOR_KERNEL(Sin, degrees ? rm::sin_deg(x) : std::sin(x))
KOR_KERNEL(Cos, degrees ? rm::cos_deg(x) : std::cos(x))
KOR_KERNEL(Tan, degrees ? rm::tan_deg(x) : std::tan(x))
KOR_KERNEL(Atan, degrees ? rm::atan_deg(x) : std::atan(x))
KOR_KERNEL(Asin, degrees ? rm::asin_deg(x) : std::asin(x))
KOR_KERNEL(Acos, degrees ? rm::acos_deg(x) : std::acos(x))
KOR_KERNEL(Atanh, std::atanh(x))
KOR_KERNEL(Acosh, std::acosh(x))
KOR_KERNEL(Ln, std::log(x))
KOR_KERNEL(Log, std::log10(x))
KOR_KERNEL(Ln1p, std::log1p(x))
KOR_KERNEL(Sqrt1pm1, rm::sqrt1pm1(x))
#undef KOR_KERNEL

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
  // The precision and angle modes are read from cx.format where they matter
  // (constants, trigonometry), so that a handler's change is seen at once and
  // no register is tied up by them.
  KOR::FrameStack &frames = *cx.frames;
  double r0 = 0, r1 = 0, r2 = 0, r3 = 0;
  int nr = 0;          // reals held in registers
  // The counter of the REALSTART loop on top of the frames, while `counting`;
  // the frame's own copy is stale then.  Written back before anything else
  // looks at the frames.
  double counter = 0;
  bool counting = false;
  int nbin = 0;        // binary integers known on top of the stack cache
  Status st = NORMAL;
  OP::Handler h = nullptr;
  Kernel kernel = nullptr;
  // The Do last found to be the test of a While loop (not the opening Do of
  // Do ... While), so that the next pass need not decode its partner again.
  // Forgotten whenever a handler runs, as code may be released only there.
  const CodeWord *whileDo = nullptr;
  Status slicePending = NORMAL;      // the timeslice's block end: its status
  void *sliceBack = nullptr;         // and where it goes on

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
  // The table's address in a register: the empty asm hides that it is a
  // constant, which GCC would otherwise rebuild before every jump.
  const void *const *dispatch = table;
  asm("" : "+r"(dispatch));

// Branch hints lay the common case out as the straight path: in a loop the
// operands are mostly in registers already, and tests mostly go on looping.
#define KOR_LIKELY(c) __builtin_expect(!!(c), 1)
#define KOR_UNLIKELY(c) __builtin_expect(!!(c), 0)
#define DISPATCH() goto *dispatch[*ip]
#define NEXT() do { ++ip; DISPATCH(); } while (0)
#define DONE() do { ip += 2; DISPATCH(); } while (0)
// The same instruction again is entered at its register-only entry.
#define DONE_SAME(ID, n)                                                    \
  do {                                                                      \
    ip += 2;                                                                \
    if (*ip == afn(OP::ifn_##ID) && nr >= (n)) goto R_##ID;                 \
    DISPATCH();                                                             \
  } while (0)
// The same, where the registers the instruction needs are known to be held
// (its result is in r0, or it only moved or copied registers).
#define DONE_AGAIN(ID)                                                      \
  do {                                                                      \
    ip += 2;                                                                \
    if (*ip == afn(OP::ifn_##ID)) goto R_##ID;                              \
    DISPATCH();                                                             \
  } while (0)
#define JUMP(j) do { ip += (j).ipair.code; dp += (j).ipair.data - 1; DISPATCH(); } while (0)
#define GO(pos) do { ip = (pos).ip + 1; dp = (pos).dp; DISPATCH(); } while (0)
#define PUSH_ENTRY_CHECK()                                                  \
  if (KOR_UNLIKELY(sp == base + KOR::Stack::CACHE_LIMIT)) {                 \
    sp = base + make_room(S);                                               \
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
    r0 = r1 = r2 = r3 = 0.0;  /* dead: no register is live across a call */ \
    FLUSH_COUNTER();                                                        \
  } while (0)
#define FLUSH_COUNTER()                                                     \
  do {                                                                      \
    if (counting) frames.back().counter = counter;                          \
    counting = false;                                                       \
    counter = 0.0;                                                          \
  } while (0)
#define SYNC_OUT() do { cx.IP = ip; cx.DP = dp; S.top = static_cast<int>(sp - base); cx.ICOUNT = icount; } while (0)
#define SYNC_IN()                                                           \
  do {                                                                      \
    ip = cx.IP; dp = cx.DP; sp = base + S.top; icount = cx.ICOUNT;          \
    nr = 0; nbin = 0; whileDo = nullptr;                                    \
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
#define LOAD1() do { if (KOR_UNLIKELY(nr < 1)) LOAD_ONE(r0); } while (0)
#define LOAD2()                                                             \
  do {                                                                      \
    if (KOR_UNLIKELY(nr < 2)) {                                             \
      if (nr < 1) LOAD_ONE(r0);                                             \
      LOAD_ONE(r1);                                                         \
    }                                                                       \
  } while (0)
#define LOAD3()                                                             \
  do {                                                                      \
    if (KOR_UNLIKELY(nr < 3)) {                                             \
      if (nr < 1) LOAD_ONE(r0);                                             \
      if (nr < 2) LOAD_ONE(r1);                                             \
      LOAD_ONE(r2);                                                         \
    }                                                                       \
  } while (0)
// A block end charges its instruction count and, once per timeslice, lets
// the context look at interrupts; HALT or CANCEL there ends the run with the
// block end to be run again on continue.
// The timeslice itself is one shared block that comes back to the label
// after the block end's charge, so the block ends carry no call.
#define CHARGE(pending) CHARGE_AT(pending, KOR_CAT(charged_, __LINE__))
#define KOR_CAT(a, b) KOR_CAT_(a, b)
#define KOR_CAT_(a, b) a##b
#define CHARGE_AT(pending, back)                                            \
  do {                                                                      \
    icount += dp[1].upair.u1;                                               \
    if (KOR_UNLIKELY(icount >= KOR::TIMESLICE_COUNT)) {                     \
      slicePending = (pending);                                             \
      sliceBack = &&back;                                                   \
      goto timeslice;                                                       \
    }                                                                       \
  back:;                                                                    \
  } while (0)
#define UNARY(ID, expr)                                                     \
  A_##ID: LOAD1();                                                          \
  R_##ID: { r0 = (expr); DONE_AGAIN(ID); }
#define UNARY1(ID, expr)                                                    \
  A_##ID: { LOAD1(); r0 = (expr); DONE(); }
#define LIBRARY(ID) A_##ID: { LOAD1(); kernel = k_##ID; goto library; }
#define LIBRARY_IF(ID, ok)                                                  \
  A_##ID: { LOAD1(); if (!(ok)) goto fallback; kernel = k_##ID; goto library; }
#define BINARY(ID, expr)                                                    \
  A_##ID: LOAD2();                                                          \
  R_##ID: { r0 = (expr); r1 = r2; r2 = r3; --nr; DONE_SAME(ID, 2); }
#define CONSTANT(ID, value)                                                 \
  A_##ID: { if (cx.format.xprec()) goto fallback; RPUSH(value); DONE(); }

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
  r0 = rm::sqrt_unsigned(r0);
  DONE_AGAIN(Sqrt);
}

  // Constant operands folded into the instruction.
A_REALADD: LOAD1();
R_REALADD: { ++dp; r0 += dp->real; DONE_AGAIN(REALADD); }
A_REALSUB: LOAD1();
R_REALSUB: { ++dp; r0 -= dp->real; DONE_AGAIN(REALSUB); }
A_REALMUL: LOAD1();
R_REALMUL: { ++dp; r0 *= dp->real; DONE_AGAIN(REALMUL); }
A_REALDIV: LOAD1();
R_REALDIV: { ++dp; r0 /= dp->real; DONE_AGAIN(REALDIV); }
A_REALINV: LOAD1();
R_REALINV: { ++dp; r0 = dp->real / r0; DONE_AGAIN(REALINV); }
A_REALNEG: LOAD1();
R_REALNEG: { ++dp; r0 = dp->real - r0; DONE_AGAIN(REALNEG); }

  // ---- Functions computed by a library routine ----
  LIBRARY(Exp)
  LIBRARY(Expm1)
  LIBRARY(Alog)
  LIBRARY(Cbrt)
  LIBRARY(Ceil)
  LIBRARY(Floor)
  LIBRARY(Rint)
  LIBRARY(Sinh)
  LIBRARY(Cosh)
  LIBRARY(Tanh)
  LIBRARY(Asinh)
  LIBRARY(Sin)
  LIBRARY(Cos)
  LIBRARY(Tan)
  LIBRARY(Atan)
  LIBRARY_IF(Asin, r0 >= -1.0 && r0 <= 1.0)
  LIBRARY_IF(Acos, r0 >= -1.0 && r0 <= 1.0)
  LIBRARY_IF(Atanh, r0 >= -1.0 && r0 <= 1.0)
  LIBRARY_IF(Acosh, r0 >= 1.0)
  LIBRARY_IF(Ln, r0 >= 0.0)
  LIBRARY_IF(Log, r0 >= 0.0)
  LIBRARY_IF(Ln1p, r0 >= -1.0)
  LIBRARY_IF(Sqrt1pm1, r0 >= -1.0)

  // One call site for them all.  Only the argument is live across the call:
  // the registers below it go to the stack cache and the rest of the state
  // to the context, which leaves the loop's own state to registers that a
  // call may clobber everywhere else.
library: {
  double x = r0;
  CONSUME1();
  WRITE_BACK();
  SYNC_OUT();
  x = kernel(x, cx.format.degrees());
  SYNC_IN();
  r0 = x;
  nr = 1;
  DONE();
}

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
R_Dup: {                      // RPUSH(r0) without a copy of r0 on the side
  if (nr == 4) { PUSHR(r3); nr = 3; }
  r3 = r2; r2 = r1; r1 = r0; ++nr;
  DONE_AGAIN(Dup);
}
A_Dup2: LOAD2();
R_Dup2: { double y = r1, x = r0; RPUSH(y); RPUSH(x); DONE_AGAIN(Dup2); }
A_Over: LOAD2();
R_Over: { RPUSH(r1); DONE_AGAIN(Over); }
A_Swap: LOAD2();
R_Swap: { double t = r0; r0 = r1; r1 = t; DONE_AGAIN(Swap); }
A_Rot: LOAD3();
R_Rot: { double x = r0, y = r1, z = r2; r0 = z; r1 = x; r2 = y; DONE_AGAIN(Rot); }
A_Rotd: LOAD3();
R_Rotd: { double x = r0, y = r1, z = r2; r0 = y; r1 = z; r2 = x; DONE_AGAIN(Rotd); }

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
  FLUSH_COUNTER();
  ++dp;
  Frame &f = frames.back();
  f.counter += 1.0;
  if (f.counter <= f.limit) GO(f.start);
  frames.pop_back();
  DONE();
}
A_Step: {
  CHARGE(NORMAL);
  FLUSH_COUNTER();
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
  const Frame &f = frames.back();
  if (!counting) {
    counter = f.counter;
    counting = true;
  }
  counter += f.step;
  if (f.step >= 0 ? counter <= f.limit : counter >= f.limit) GO(f.start);
  counting = false;
  counter = 0.0;
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
  if (ip != whileDo) {
    if (word_command(ip[1 + dp[1].ipair.code]) == OP::ifn_While) goto handler_word;
    whileDo = ip;
  }
  if (nr < 1) {
    if (sp->tag != OBJ::REAL) goto handler_word;
    r0 = sp->v.r; --sp; nr = 1; nbin = 0;
  }
  if (KOR_LIKELY(r0 != 0.0)) {
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
  // (No local variable may be in scope at a charge: its label is the target
  // of the timeslice's computed goto.)
  if (frames.empty()) goto handler_word;
  if (KOR_LIKELY(frames.back().kind == Frame::LOOP_WHILE)) {
    CHARGE(NORMAL);
    ++dp;
    GO(frames.back().start);
  }
  if (frames.back().kind != Frame::LOOP_DO) goto handler_word;
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
timeslice: {      // from CHARGE: HALT or CANCEL end the run with the block end to run again
  WRITE_BACK();
  cx.IP = ip + 1;
  cx.DP = dp + 1;
  S.top = static_cast<int>(sp - base);
  cx.ICOUNT = icount;
  Status t = cx.timeslice(slicePending);
  sp = base + S.top;
  icount = 0;
  if (t == HALT) {
    ip = cx.IP;
    dp = cx.DP;
    st = t;
    goto leave_synced;
  }
  if (t == CANCEL) {
    st = t;
    goto leave_unsynced;
  }
  ip = cx.IP - 1;
  dp = cx.DP - 1;
  goto *sliceBack;
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
  FLUSH_COUNTER();
  whileDo = nullptr;
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
#undef KOR_LIKELY
#undef KOR_UNLIKELY
#undef NEXT
#undef DONE
#undef DONE_SAME
#undef DONE_AGAIN
#undef JUMP
#undef GO
#undef PUSH_ENTRY_CHECK
#undef PUSHR
#undef WRITE_BACK
#undef FLUSH_COUNTER
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
#undef CHARGE_AT
#undef KOR_CAT
#undef KOR_CAT_
#undef UNARY
#undef UNARY1
#undef LIBRARY
#undef LIBRARY_IF
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
