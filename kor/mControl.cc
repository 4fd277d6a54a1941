// Control: the run-time meaning of the structure words in compiled code and
// in operand mode, block ends, Eval, and the internal instructions that the
// compiler and the optimizer insert.
#include <cmath>

#include "kor/Real.h"
#include "kor/Runtime.h"
#include "kor/handlers.h"

namespace OP {

using EXEC::Status;
using KOR::Context;
using KOR::Frame;
using KOR::Pos;

namespace {

using EXEC::compiled;

// The keyword `distance` operands away from the current one (operand mode).
const OBJ::Structure &keyword_at(const Context &cx, long distance) {
  return *static_cast<const OBJ::Structure *>(cx.SP[distance]);
}

bool is(const OBJ::Structure &s, ifnEnum i) { return s.cmd->index == i; }

// Compiled: the command of the instruction `j` away from the current one.
ifnEnum instruction_at(const Context &cx, EXEC::Datum j) {
  return EXEC::word_command(cx.IP[j.ipair.code]);   // the word that names the instruction
}

Frame make_frame(Frame::Kind kind) {
  Frame f;
  f.kind = kind;
  return f;
}

// The innermost loop frame, taking off the frames opened inside it.
Frame *innermost_loop(Context &cx) {
  KOR::FrameStack &frames = *cx.frames;
  while (!frames.empty()) {
    Frame &f = frames.back();
    if (f.kind == Frame::LOOP_START || f.kind == Frame::LOOP_REAL || f.kind == Frame::LOOP_DO ||
        f.kind == Frame::LOOP_WHILE)
      return &f;
    if (f.kind == Frame::CALL) return nullptr;
    frames.pop_back();
  }
  return nullptr;
}

Status fail_internal(Context &cx) { return EXEC::raise(cx, KOR::ERR_ILLEGAL_INSTRUCTION); }

} // namespace

// ---- Markers and plain block openers -------------------------------------------

EXEC::Status h_SYSNULL(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  return EXEC::NORMAL;
}

EXEC::Status h_SYSEXIT(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  return EXEC::charge(cx, EXEC::EXIT);
}

// If, Case and Default only mark their place.
EXEC::Status h_marker(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  return EXEC::NORMAL;
}

EXEC::Status h_Then(Context &cx) {
  bool truth = false;
  if (compiled(cx)) {
    Status st = EXEC::pop_test(cx, &truth);
    if (st != EXEC::NORMAL) return st;
    EXEC::Datum j = EXEC::take_datum(cx);
    if (!truth) EXEC::go(cx, EXEC::before_target(cx, j));
    return EXEC::NORMAL;
  }
  Status st = EXEC::pop_test(cx, &truth);
  if (st != EXEC::NORMAL) return st;
  if (!truth) cx.SP += EXEC::current_keyword(cx).link1;
  return EXEC::NORMAL;
}

EXEC::Status h_Else(Context &cx) {
  if (compiled(cx)) {
    EXEC::Datum j = EXEC::take_datum(cx);
    EXEC::go(cx, EXEC::before_target(cx, j));
  } else {
    cx.SP += EXEC::current_keyword(cx).link1;
  }
  return EXEC::NORMAL;
}

EXEC::Status h_Catch(Context &cx) {
  if (!cx.frames->empty() && cx.frames->back().kind == Frame::TRY) cx.frames->pop_back();
  return h_Else(cx);
}

EXEC::Status h_Try(Context &cx) {
  Frame f = make_frame(Frame::TRY);
  if (compiled(cx)) {
    EXEC::Datum j = EXEC::take_datum(cx);
    f.end = EXEC::before_target(cx, j);
  } else {
    f.end = EXEC::before_operand(cx, EXEC::current_keyword(cx).link1 + 1);
  }
  cx.frames->push_back(f);
  return EXEC::NORMAL;
}

// ---- Loops -------------------------------------------------------------------------

namespace {

// Operand mode: the End of a loop, the partner of `opener`.
EXEC::Status loop_end(Context &cx) {
  Frame *f = innermost_loop(cx);
  if (!f) return fail_internal(cx);
  if (f->kind == Frame::LOOP_WHILE) {
    EXEC::go(cx, f->start);
    return EXEC::NORMAL;
  }
  bool again = false;
  Status st = EXEC::pop_test(cx, &again);
  if (st != EXEC::NORMAL) return st;
  if (again) EXEC::go(cx, f->start);
  else cx.frames->pop_back();
  return EXEC::NORMAL;
}

} // namespace

EXEC::Status h_End(Context &cx) {
  if (compiled(cx)) {
    EXEC::Datum j = EXEC::take_datum(cx);
    if (j.bint != 0) EXEC::go(cx, EXEC::before_target(cx, j));
    return EXEC::NORMAL;
  }
  const OBJ::Structure &end = EXEC::current_keyword(cx);
  if (end.link1 == 0) return EXEC::NORMAL;
  const OBJ::Structure &opener = keyword_at(cx, -static_cast<long>(end.link1));
  if (is(opener, ifn_Do) || is(opener, ifn_While)) {
    Status st = EXEC::charge(cx, EXEC::NORMAL);
    return st != EXEC::NORMAL ? st : loop_end(cx);
  }
  if (is(opener, ifn_Case) || is(opener, ifn_Switch)) {
    long final = -static_cast<long>(end.link1) + opener.link1;
    if (final != 0) cx.SP += final;
  }
  return EXEC::NORMAL;
}

EXEC::Status h_ENDWHILE(Context &cx) {
  EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::NORMAL);
  return st != EXEC::NORMAL ? st : loop_end(cx);
}

EXEC::Status h_While(Context &cx) {
  if (compiled(cx)) {
    EXEC::Datum j = EXEC::take_datum(cx);
    ifnEnum partner = instruction_at(cx, j);
    if (partner != ifn_Do) return EXEC::NORMAL;   // the test of Do ... While ... End
    Frame f = make_frame(Frame::LOOP_WHILE);
    f.start = f.cont = EXEC::here(cx);
    // The Do's datum leads to the loop's ENDWHILE.
    const EXEC::Datum *doDatum = cx.DP + j.ipair.data;
    const EXEC::CodeWord *doSecond = cx.IP + j.ipair.code;
    EXEC::Datum k = *doDatum;
    f.end = {doSecond + k.ipair.code, doDatum + k.ipair.data, nullptr};
    cx.frames->push_back(f);
    return EXEC::NORMAL;
  }
  const OBJ::Structure &w = EXEC::current_keyword(cx);
  const OBJ::Structure &partner = keyword_at(cx, w.link1);
  if (!is(partner, ifn_Do)) return EXEC::NORMAL;
  Frame f = make_frame(Frame::LOOP_WHILE);
  f.start = f.cont = EXEC::here(cx);
  f.end = EXEC::after_operand(cx, static_cast<long>(w.link1 + partner.link1));
  cx.frames->push_back(f);
  return EXEC::NORMAL;
}

EXEC::Status h_Do(Context &cx) {
  bool opens;
  Frame f = make_frame(Frame::LOOP_DO);
  if (compiled(cx)) {
    EXEC::Datum j = EXEC::take_datum(cx);
    opens = instruction_at(cx, j) == ifn_While;
    if (opens) {
      f.start = EXEC::here(cx);
      f.cont = EXEC::after_target(cx, j, 1);
      const EXEC::Datum *whileDatum = cx.DP + j.ipair.data;
      const EXEC::CodeWord *whileSecond = cx.IP + j.ipair.code;
      EXEC::Datum k = *whileDatum;
      f.end = {whileSecond + k.ipair.code, whileDatum + k.ipair.data, nullptr};
    }
  } else {
    const OBJ::Structure &d = EXEC::current_keyword(cx);
    const OBJ::Structure &partner = keyword_at(cx, d.link1);
    opens = is(partner, ifn_While);
    if (opens) {
      f.start = EXEC::here(cx);
      f.cont = EXEC::after_operand(cx, d.link1);
      f.end = EXEC::after_operand(cx, static_cast<long>(d.link1 + partner.link1));
    }
  }
  if (opens) {
    cx.frames->push_back(f);
    return EXEC::NORMAL;
  }
  // The Do of While ... Do ... End: the test decides.
  bool truth = false;
  Status st = EXEC::pop_test(cx, &truth);
  if (st != EXEC::NORMAL) return st;
  if (!truth) {
    Frame *loop = innermost_loop(cx);
    if (!loop) return fail_internal(cx);
    Pos end = loop->end;
    cx.frames->pop_back();
    EXEC::go(cx, end);
  }
  return EXEC::NORMAL;
}

EXEC::Status h_Start(Context &cx) {
  double limit, first;
  KOR::Stack &s = cx.main;
  s.refill(2);
  if (s.depth() < 2) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  Status st = EXEC::pop_real(cx, &limit);
  if (st != EXEC::NORMAL) return st;
  st = EXEC::pop_real(cx, &first);
  if (st != EXEC::NORMAL) {
    EXEC::push_real(cx, limit);
    return st;
  }
  Frame f = make_frame(Frame::LOOP_START);
  f.counter = first;
  f.limit = limit;
  f.start = EXEC::here(cx);
  if (compiled(cx)) {
    EXEC::Datum j = EXEC::take_datum(cx);
    f.start = EXEC::here(cx);
    f.stepForm = instruction_at(cx, j) == ifn_Step;
    f.cont = EXEC::before_target(cx, j);
    f.end = EXEC::after_target(cx, j, 1);
  } else {
    const OBJ::Structure &start = EXEC::current_keyword(cx);
    f.stepForm = is(keyword_at(cx, start.link1), ifn_Step);
    f.cont = EXEC::before_operand(cx, start.link1);
    f.end = EXEC::after_operand(cx, start.link1);
  }
  // Start ... Next runs its body only when x1 <= x2; Start ... Step at least once.
  if (!f.stepForm && !(first <= limit)) {
    EXEC::go(cx, f.end);
    return EXEC::NORMAL;
  }
  cx.frames->push_back(f);
  return EXEC::NORMAL;
}

EXEC::Status h_REALSTART(Context &cx) {
  EXEC::Datum first = EXEC::take_datum(cx), limit = EXEC::take_datum(cx),
              step = EXEC::take_datum(cx), j = EXEC::take_datum(cx);
  Frame f = make_frame(Frame::LOOP_REAL);
  f.counter = first.real;
  f.limit = limit.real;
  f.step = step.real;
  f.start = EXEC::here(cx);
  // The REALLOOP's datum says whether the loop ended in Step.
  const EXEC::Datum *loopDatum = cx.DP - 3 + j.ipair.data;
  f.stepForm = loopDatum->upair.u2 != 0;
  f.cont = {cx.IP + j.ipair.code - 2, loopDatum - 1, nullptr};
  f.end = {cx.IP + j.ipair.code, loopDatum, nullptr};
  if (!f.stepForm && !(f.counter <= f.limit)) {
    EXEC::go(cx, f.end);
    return EXEC::NORMAL;
  }
  cx.frames->push_back(f);
  return EXEC::NORMAL;
}

namespace {

// Next and Step in operand mode (compiled code runs their register forms).
EXEC::Status advance_loop(Context &cx, double step) {
  Frame *f = innermost_loop(cx);
  if (!f) return fail_internal(cx);
  f->counter += step;
  if (step >= 0 ? f->counter <= f->limit : f->counter >= f->limit) EXEC::go(cx, f->start);
  else cx.frames->pop_back();
  return EXEC::NORMAL;
}

} // namespace

EXEC::Status h_Next(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::NORMAL);
  return st != EXEC::NORMAL ? st : advance_loop(cx, 1.0);
}

EXEC::Status h_Step(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::NORMAL);
  if (st != EXEC::NORMAL) return st;
  double step;
  st = EXEC::pop_real(cx, &step);
  return st != EXEC::NORMAL ? st : advance_loop(cx, step);
}

EXEC::Status h_Break(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::NORMAL);
  if (st != EXEC::NORMAL) return st;
  Frame *f = innermost_loop(cx);
  if (!f) return fail_internal(cx);
  Pos end = f->end;
  cx.frames->pop_back();
  EXEC::go(cx, end);
  return EXEC::NORMAL;
}

EXEC::Status h_Continue(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::NORMAL);
  if (st != EXEC::NORMAL) return st;
  Frame *f = innermost_loop(cx);
  if (!f) return fail_internal(cx);
  EXEC::go(cx, f->cont);
  return EXEC::NORMAL;
}

// ---- Block ends that end the run ----------------------------------------------

EXEC::Status h_Abort(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  EXEC::charge(cx, EXEC::CANCEL);
  return EXEC::CANCEL;
}

EXEC::Status h_Return(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  return EXEC::charge(cx, EXEC::EXIT);
}

EXEC::Status h_Stop(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::HALT);
  return st == EXEC::CANCEL ? st : EXEC::HALT;
}

EXEC::Status h_Throw(Context &cx) {
  if (compiled(cx)) EXEC::take_datum(cx);
  Status st = EXEC::charge(cx, EXEC::NORMAL);
  if (st != EXEC::NORMAL) return st;
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  if (s.cache[s.top].tag != OBJ::NAME) return EXEC::raise(cx, KOR::ERR_BAD_TYPE);
  KOR::Entry name = s.pop();
  std::string text = static_cast<OBJ::Name *>(name.v.p)->text;
  s.drop_entry(name);
  cx.fail(nullptr, KOR::ERR_USER_EXCEPTION, 0, false);
  cx.failedOperand = text;
  return EXEC::ERROR;
}

// ---- Switch ----------------------------------------------------------------------

EXEC::Status h_Switch(Context &cx) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  // The program's operands and the Switch's place among them.
  const std::vector<OBJ::Operand *> *ops;
  size_t pc;
  if (compiled(cx)) {
    EXEC::Datum d = EXEC::take_datum(cx);
    if (!cx.program) return fail_internal(cx);
    ops = &cx.program->elems;
    pc = d.upair.u1;
  } else {
    ops = nullptr;
    pc = 0;
  }
  auto op_at = [&](size_t i) -> const OBJ::Operand * { return ops ? (*ops)[i] : cx.SP[i]; };
  auto kw = [&](size_t i) { return static_cast<const OBJ::Structure *>(op_at(i)); };
  size_t base = ops ? pc : 0;   // operand mode counts from the Switch itself
  KOR::Entry e = s.pop();
  OBJ::Operand *control = e.tag == OBJ::REAL     ? new OBJ::Real(e.v.r)
                          : e.tag == OBJ::BINARY ? new OBJ::Binary(e.v.b)
                                                 : e.v.p;
  size_t i = base + 1, target = 0;
  bool found = false;
  while (true) {
    const OBJ::Operand *test = op_at(i);
    if (test->type_ == OBJ::STRUCTURE) {
      const OBJ::Structure *k = kw(i);
      if (is(*k, ifn_Default)) {
        target = i;   // run the default block
        found = true;
      }
      if (!found) target = i;   // the final End: go on after it
      break;
    }
    size_t then = i + 1, clauseEnd = then + kw(then)->link1;
    if (test->equals(*control)) {
      target = then;
      found = true;
      break;
    }
    i = clauseEnd + 1;
  }
  OBJ::dispose(control, &cx.pool);
  if (ops) {
    const std::pair<uint32_t, uint32_t> &p = cx.program->positions[target + 1];
    cx.IP = cx.program->code.data() + p.first - 1;
    cx.DP = cx.program->data.data() + p.second - 1;
  } else {
    cx.SP += target;
  }
  return EXEC::NORMAL;
}

// ---- Eval and operands in compiled code ---------------------------------------------

EXEC::Status h_Eval(Context &cx) {
  KOR::Stack &s = cx.main;
  s.refill(1);
  if (s.top < 1) return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  if (s.cache[s.top].isInline()) return EXEC::NORMAL;
  KOR::Entry e = s.pop();
  OBJ::Operand *op = e.v.p;
  const OBJ::Operand *v = op->type_ == OBJ::VARIABLE ? op->value() : op;
  if (v && v->type_ == OBJ::PROGRAM && compiled(cx) &&
      !static_cast<const OBJ::Program *>(v)->code.empty()) {
    if (cx.frames->size() >= KOR::MAX_CALL_FRAMES) {
      s.push(e);
      return EXEC::raise(cx, KOR::ERR_NO_MEMORY);
    }
    // The program popped from the stack gives its link to the call frame; a
    // variable's program takes a link of its own.
    bool given = v == op;
    EXEC::enter(cx, *static_cast<const OBJ::Program *>(v), given);
    if (!given) OBJ::dispose(op, &cx.pool);
    return EXEC::NORMAL;
  }
  Status st = op->evaluate(cx);
  OBJ::dispose(op, &cx.pool);
  return st;
}

EXEC::Status h_OPEREXEC(Context &cx) {
  const OBJ::Operand *op = EXEC::take_datum(cx).oper;
  return const_cast<OBJ::Operand *>(op)->execute(cx);
}

// ---- Checks, last arguments and cache maintenance -------------------------------------

namespace {

// An inserted check fails in the name of the instruction it guards, the next one.
EXEC::Status check_depth(Context &cx, size_t n) {
  if (cx.main.depth() >= n) return EXEC::NORMAL;
  EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  if (compiled(cx)) cx.failedOperand = EXEC::action_name(cx.IP[2]);
  return EXEC::ERROR;
}

} // namespace

EXEC::Status h_CHECK1(Context &cx) { return check_depth(cx, 1); }
EXEC::Status h_CHECK2(Context &cx) { return check_depth(cx, 2); }
EXEC::Status h_CHECK3(Context &cx) { return check_depth(cx, 3); }

// CHECKNUM {n, 0} is an inserted check; {n, 1} is "n CheckArg" folded, which
// like the general form leaves n on the stack when it fails.
EXEC::Status h_CHECKNUM(Context &cx) {
  EXEC::Datum d = EXEC::take_datum(cx);
  if (!d.upair.u2) return check_depth(cx, d.upair.u1);
  if (cx.main.depth() >= d.upair.u1) return EXEC::NORMAL;
  EXEC::push_real(cx, d.upair.u1);
  return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
}

// SAVENUM {n, 1} is "n SaveArg" folded and fails as SaveArg does; {n, 0}
// saves the arguments of the instruction after it, whose own check reports
// a short stack, so it saves what there is.
EXEC::Status h_SAVENUM(Context &cx) {
  EXEC::Datum d = EXEC::take_datum(cx);
  size_t depth = cx.main.depth();
  if (depth < d.upair.u1 && d.upair.u2) {
    EXEC::push_real(cx, d.upair.u1);
    return EXEC::raise(cx, KOR::ERR_TOO_FEW_ARGS);
  }
  cx.save_last_args(std::min<size_t>(d.upair.u1, depth));
  return EXEC::NORMAL;
}

EXEC::Status h_TIMESLICE(Context &cx) { return cx.timeslice(EXEC::NORMAL); }

EXEC::Status h_TRIMCACHE(Context &cx) {
  cx.main.trim(7);
  return EXEC::NORMAL;
}

EXEC::Status h_FILLCACHE(Context &cx) {
  cx.main.refill(KOR::Stack::REFILL);
  return EXEC::NORMAL;
}

EXEC::Status h_DROPTOP(Context &cx) {
  KOR::Stack &s = cx.main;
  if (s.top > 0) s.drop_entry(s.pop());
  return EXEC::NORMAL;
}

} // namespace OP
