// The optimizer: compiles operands into a sequence of command indices and
// data elements, placing stack-depth checks once per straight stretch,
// folding constant arithmetic and Swap into single instructions, turning
// constant counting loops into register loops, and keeping the last-argument
// stack right where LastArg can read it.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Real.h"
#include "kor/Sequence.h"
#include "kor/kor_error.h"

namespace EXEC {

using OP::ifnEnum;

const char *depth_op_name(int op) {
  static const char *const names[] = {"DO_NONE",  "DO_DUP",   "DO_ZERO", "DO_ZERO_DUP", "DO_DUP_ZERO",
                                      "DO_LOOP_INIT", "DO_MERGE", "DO_MIN", "DO_SWAP"};
  return op >= 0 && op <= DO_SWAP ? names[op] : "[INVALID]";
}

ActionSequence::ActionSequence(const std::vector<OBJ::Operand *> &operands, bool f, bool optimizeExit)
    : ops(operands), OptimizeExit(optimizeExit), folds(f) {
  minDepth.push_back(0);
  firstAt.assign(ops.size(), {0, 0});
  keywordAt.assign(ops.size(), {0, 0});
}

ActionSequence::~ActionSequence() = default;

void ActionSequence::emit(ifnEnum i) {
  index.push_back(i);
  depthBefore.push_back(minDepth.back());
  for (uint32_t d = OP::command(i).data(); d > 0; --d) data.push_back(Datum::of_bint(0));
  ++sinceBlockEnd;
}

void ActionSequence::emit_push(ifnEnum i, Datum d) {
  emit(i);
  depthBefore.back() = minDepth.back();
  data.back() = d;
  minDepth.back() += 1;
}

namespace {

bool is_block_end(ifnEnum i) {
  switch (i) {
  case OP::ifn_SYSEXIT: case OP::ifn_Return: case OP::ifn_Break: case OP::ifn_Abort:
  case OP::ifn_Stop: case OP::ifn_Continue: case OP::ifn_Next: case OP::ifn_Step:
  case OP::ifn_REALLOOP: case OP::ifn_ENDWHILE: case OP::ifn_Throw:
    return true;
  default:
    return false;
  }
}

const OBJ::Structure *keyword(const std::vector<OBJ::Operand *> &ops, size_t pc) {
  const OBJ::Operand *op = ops[pc];
  return op->type_ == OBJ::STRUCTURE ? static_cast<const OBJ::Structure *>(op) : nullptr;
}

ifnEnum keyword_index(const std::vector<OBJ::Operand *> &ops, size_t pc) {
  const OBJ::Structure *s = keyword(ops, pc);
  return s ? s->cmd->index : OP::IFN_NONE;
}

// Data position of index entry k.
uint32_t data_position(const ActionSequence &seq, size_t k) {
  uint32_t d = 0;
  for (size_t i = 0; i < k; ++i) d += OP::command(seq.index[i]).data();
  return d;
}

} // namespace

// Emits an instruction after the depth check it needs, then applies the
// pending depth operation.
void ActionSequence::emit_tracked(ifnEnum i, int inputs) {
  const OP::Command &c = OP::command(i);
  int &k = minDepth.back();
  int n = inputs >= 0 ? inputs : static_cast<int>(c.inputs()), m = static_cast<int>(c.outputs());
  if (i != OP::ifn_CHECKNUM && k < n) {
    if (n == static_cast<int>(OP::VARIABLE)) {
      k = 0;
    } else {
      if (n <= 3) {
        emit(n == 1 ? OP::ifn_CHECK1 : n == 2 ? OP::ifn_CHECK2 : OP::ifn_CHECK3);
      } else {
        emit(OP::ifn_CHECKNUM);
        data.back() = Datum::of_upair(static_cast<uint32_t>(n), 0);
      }
      minDepth.back() = n;
    }
  }
  lastAt = {static_cast<uint32_t>(index.size()), static_cast<uint32_t>(data.size())};
  emit(i);
  depthBefore.back() = minDepth.back();
  int &top = minDepth.back();
  if (n == static_cast<int>(OP::VARIABLE)) n = top;
  top = std::max(0, top - n + (m == static_cast<int>(OP::VARIABLE) ? 0 : m));
  // The table gives Eval one input and one output, but the program it runs
  // may take or leave any number of levels: nothing below is known after it.
  // (Otherwise a later fold would be made on a stack that may be short, and
  // the folded constant would vanish with the error.)
  if (i == OP::ifn_Eval) top = 0;
  if (is_block_end(i)) {
    data[lastAt.second].upair.u1 = std::max<uint32_t>(1, sinceBlockEnd);
    sinceBlockEnd = 0;
  }
}

void ActionSequence::build() {
  for (pc = 0; pc < ops.size(); ++pc) {
    firstAt[pc] = {static_cast<uint32_t>(index.size()), static_cast<uint32_t>(data.size())};
    ops[pc]->compile(*this);
  }
}

void ActionSequence::dump_state() const {
  std::fprintf(stderr, "  pc           = %p\r\n", static_cast<const void *>(pc < ops.size() ? ops[pc] : nullptr));
  std::fprintf(stderr, "  depthOp      = %s\r\n", depth_op_name(depthOp));
  std::fprintf(stderr, "  OptimizeExit = %s\r\n", OptimizeExit ? "true" : "false");
  std::fprintf(stderr, "  iStruct  (size = %lu)", static_cast<unsigned long>(iStruct.size()));
  for (auto &p : iStruct) std::fprintf(stderr, " {%u, %u}", p.first, p.second);
  std::fprintf(stderr, "\r\n  minDepth (size = %lu)", static_cast<unsigned long>(minDepth.size()));
  for (int d : minDepth) std::fprintf(stderr, " %d", d);
  std::fprintf(stderr, "\r\n  iLoop    (size = %lu)", static_cast<unsigned long>(iLoop.size()));
  for (uint32_t l : iLoop) std::fprintf(stderr, " %u", l);
  std::fprintf(stderr, "\r\n  ---------------------------------\r\n");
}

// ---- The optimizer proper -------------------------------------------------------

struct Optimizer {
  ActionSequence &seq;

  // Last-argument safety: a fold is allowed when, before any LastArg, the
  // operands that follow reach a structure (other than the final exit) or an
  // instruction that takes stack inputs.
  bool fold_allowed() const {
    for (size_t j = seq.pc + 1; j < seq.ops.size(); ++j) {
      const OBJ::Operand *op = seq.ops[j];
      if (op->type_ == OBJ::STRUCTURE) {
        if (keyword_index(seq.ops, j) == OP::ifn_SYSEXIT) return seq.OptimizeExit;
        return true;
      }
      if (op->type_ != OBJ::INSTRUCTION) continue;
      const OP::Command *c = static_cast<const OBJ::Instruction *>(op)->cmd;
      if (c->index == OP::ifn_LastArg) return false;
      if (c->inputs() != 0) return true;
    }
    return seq.OptimizeExit;
  }

  bool last_is(ifnEnum i, size_t back = 0) const {
    return seq.index.size() > back && seq.index[seq.index.size() - 1 - back] == i;
  }

  // Removes the last `count` entries, restoring the known depth before them.
  void drop_last(size_t count) {
    size_t from = seq.index.size() - count;
    seq.minDepth.back() = seq.depthBefore[from];
    for (size_t i = from; i < seq.index.size(); ++i) {
      seq.data.resize(seq.data.size() - OP::command(seq.index[i]).data());
      if (seq.sinceBlockEnd > 0) --seq.sinceBlockEnd;
    }
    seq.index.resize(from);
    seq.depthBefore.resize(from);
  }

  Datum last_datum() const { return seq.data.back(); }

  void emit_with_datum(ifnEnum i, Datum d) {
    seq.emit_tracked(i);
    seq.data[seq.lastAt.second] = d;
  }

  // Constant arithmetic and Swap folds.  True when the word was folded.
  bool try_fold(ifnEnum word) {
    if (!seq.folds || seq.index.empty()) return false;
    auto arith = [&](ifnEnum w) -> ifnEnum {
      switch (w) {
      case OP::ifn_ADD: return OP::ifn_REALADD;
      case OP::ifn_SUB: return OP::ifn_REALSUB;
      case OP::ifn_MUL: return OP::ifn_REALMUL;
      case OP::ifn_DIV: return OP::ifn_REALDIV;
      default: return OP::IFN_NONE;
      }
    };
    // A fold is made only where no depth check is needed for it, so that a
    // short stack fails exactly as the unfolded words would.
    auto known_before = [&](size_t back) { return seq.depthBefore[seq.index.size() - 1 - back]; };
    bool subOrDiv = word == OP::ifn_SUB || word == OP::ifn_DIV;
    if (subOrDiv && last_is(OP::ifn_Swap)) {
      bool check = last_is(OP::ifn_CHECK2, 1);
      size_t pushAt = check ? 2 : 1;
      if (last_is(OP::ifn_REALPUSH, pushAt) && known_before(pushAt) >= 1 && fold_allowed()) {
        Datum c = seq.data[data_position(seq, seq.index.size() - 1 - pushAt)];
        drop_last(pushAt + 1);
        emit_with_datum(word == OP::ifn_SUB ? OP::ifn_REALNEG : OP::ifn_REALINV, c);
        return true;
      }
      if (check || known_before(0) < 2 || !fold_allowed()) return false;
      drop_last(1);
      seq.emit_tracked(word == OP::ifn_SUB ? OP::ifn_SWAPSUB : OP::ifn_SWAPDIV);
      return true;
    }
    if (!last_is(OP::ifn_REALPUSH)) return false;
    ifnEnum folded = arith(word);
    if (folded == OP::IFN_NONE && word != OP::ifn_CheckArg && word != OP::ifn_SaveArg) return false;
    Datum c = last_datum();
    if (folded != OP::IFN_NONE && known_before(0) < 1) return false;
    if (folded == OP::IFN_NONE) {
      // A count: folded only when it is a whole number the general form reads the same.
      if (!(c.real >= 0 && c.real <= 2147483647.0 && c.real == std::floor(c.real))) return false;
    }
    if (!fold_allowed()) return false;
    drop_last(1);
    if (folded != OP::IFN_NONE) {
      emit_with_datum(folded, c);
    } else {
      ifnEnum i = word == OP::ifn_CheckArg ? OP::ifn_CHECKNUM : OP::ifn_SAVENUM;
      uint32_t n = static_cast<uint32_t>(c.real);
      if (i == OP::ifn_CHECKNUM) seq.minDepth.back() = std::max(seq.minDepth.back(), static_cast<int>(n));
      emit_with_datum(i, Datum::of_upair(n, 1));
    }
    return true;
  }

  // After LastArg (or at the end of the program): SAVENUM before the nearest
  // earlier instruction that takes inputs, so that its arguments are saved.
  void save_last_arguments(size_t before) {
    for (size_t k = before; k-- > 0;) {
      const OP::Command &c = OP::command(seq.index[k]);
      if (c.kind() == OP::STRUCT || c.index == OP::ifn_LastArg || c.inputs() == OP::VARIABLE) return;
      if (c.inputs() == 0) continue;
      // The check guarding the instruction stays next to it.
      while (k > 0 && (seq.index[k - 1] == OP::ifn_CHECK1 || seq.index[k - 1] == OP::ifn_CHECK2 ||
                       seq.index[k - 1] == OP::ifn_CHECK3 ||
                       (seq.index[k - 1] == OP::ifn_CHECKNUM &&
                        seq.data[data_position(seq, k - 1)].upair.u2 == 0)))
        --k;
      uint32_t d = data_position(seq, k);
      seq.index.insert(seq.index.begin() + static_cast<long>(k), OP::ifn_SAVENUM);
      seq.depthBefore.insert(seq.depthBefore.begin() + static_cast<long>(k), seq.depthBefore[k]);
      seq.data.insert(seq.data.begin() + d, Datum::of_upair(c.inputs(), 0));
      for (auto *v : {&seq.firstAt, &seq.keywordAt})
        for (auto &p : *v)
          if (p.first > k) { ++p.first; ++p.second; }
      for (auto &l : seq.loops)
        if (l.realLoopAt > k) ++l.realLoopAt;
      return;
    }
  }

  void instruction(const OBJ::Instruction &ins) {
    ifnEnum i = ins.cmd->index;
    if (!try_fold(i)) seq.emit_tracked(i);
    if (i == OP::ifn_LastArg) save_last_arguments(seq.index.size() - 1);
  }

  // ---- Structures ----

  void apply_simple(int op) {
    std::vector<int> &d = seq.minDepth;
    switch (op) {
    case DO_DUP: d.push_back(d.back()); break;
    case DO_ZERO: d.back() = 0; break;
    case DO_ZERO_DUP: d.back() = 0; d.push_back(0); break;
    case DO_DUP_ZERO: d.push_back(0); break;
    case DO_MIN:
      if (!seq.iLoop.empty()) d[seq.iLoop.back()] = std::min(d[seq.iLoop.back()], d.back());
      break;
    case DO_SWAP:
      if (d.size() >= 2) std::swap(d[d.size() - 1], d[d.size() - 2]);
      break;
    default: break;
    }
  }

  void open_loop(size_t pc) {
    std::vector<int> &d = seq.minDepth;
    seq.iLoop.push_back(static_cast<uint32_t>(d.size() - 1));
    d.push_back(d.back());
    ActionSequence::LoopMark mark;
    mark.keywordPc = pc;
    seq.loops.push_back(std::move(mark));
    snapshot(seq.loops.back());
  }

  void snapshot(ActionSequence::LoopMark &m) {
    m.minDepth = seq.minDepth;
    m.iLoop = seq.iLoop;
    m.iStruct = seq.iStruct;
    m.indexSize = seq.index.size();
    m.dataSize = seq.data.size();
    m.sinceBlockEnd = seq.sinceBlockEnd;
  }

  // Closes a nesting level.  At a loop's end, a body that consumes levels has
  // its body compiled again from a known depth of 0, so that the checks land
  // inside it; returns true when that restart was set up.
  bool merge() {
    std::vector<int> &d = seq.minDepth;
    int v = d.back();
    if (d.size() > 1) d.pop_back();
    bool loopLevel = !seq.iLoop.empty() && seq.iLoop.back() == d.size() - 1;
    if (loopLevel) {
      ActionSequence::LoopMark &m = seq.loops.back();
      // The body was compiled from the depth known at the loop start.  A pass
      // may begin lower: after the body's end (v), or after a Continue, which
      // like Break lowers the loop level's entry (d.back()).  Then the body is
      // compiled again from 0.  (Against the entry alone, a Break at a low
      // depth hid a body that consumes levels, and a fold in it ran short.)
      int startDepth = m.minDepth.back();
      if (std::min(v, d.back()) < startDepth && !m.recompiled) {
        m.recompiled = true;
        seq.minDepth = m.minDepth;
        seq.iLoop = m.iLoop;
        seq.iStruct = m.iStruct;
        seq.index.resize(m.indexSize);
        seq.depthBefore.resize(m.indexSize);
        seq.data.resize(m.dataSize);
        seq.sinceBlockEnd = m.sinceBlockEnd;
        seq.minDepth[seq.iLoop.back()] = 0;
        seq.minDepth.back() = 0;
        seq.pc = m.keywordPc;   // build() continues with the first body operand
        return true;
      }
      seq.iLoop.pop_back();
      if (m.realStart) seq.closedReal.push_back(m);
      seq.loops.pop_back();
    }
    d.back() = std::min(d.back(), v);
    return false;
  }

  void push_struct() {
    seq.iStruct.push_back({static_cast<uint32_t>(seq.index.size()), static_cast<uint32_t>(seq.data.size())});
  }
  void pop_struct() {
    if (!seq.iStruct.empty()) seq.iStruct.pop_back();
  }

  // Start with two real constants before it becomes REALSTART when its step
  // is a constant too; the loop end then becomes REALLOOP.
  bool try_real_start(const OBJ::Structure &s, size_t pc) {
    if (!seq.folds || !last_is(OP::ifn_REALPUSH) || !last_is(OP::ifn_REALPUSH, 1)) return false;
    size_t endPc = pc + s.link1;
    ifnEnum end = keyword_index(seq.ops, endPc);
    double step = 1.0;
    if (end == OP::ifn_Step) {
      const OBJ::Operand *before = seq.ops[endPc - 1];
      if (before->type_ != OBJ::REAL) return false;
      step = static_cast<const OBJ::Real *>(before)->num;
    } else if (end != OP::ifn_Next) {
      kor_error(EINVAL, "optimize", __LINE__, "checkREALSTART");
    }
    double last = seq.data[seq.data.size() - 1].real, first = seq.data[seq.data.size() - 2].real;
    drop_last(2);
    seq.emit_tracked(OP::ifn_REALSTART);
    Datum *d = &seq.data[seq.lastAt.second];
    d[0] = Datum::of_real(first);
    d[1] = Datum::of_real(last);
    d[2] = Datum::of_real(step);
    return true;
  }

  void structure(const OBJ::Structure &s) {
    size_t pc = seq.pc;
    ifnEnum i = s.cmd->index;
    switch (i) {
    case OP::ifn_SYSNULL:
      seq.emit(i);
      push_struct();
      break;
    case OP::ifn_SYSEXIT:
      if (!seq.OptimizeExit) save_last_arguments(seq.index.size());
      seq.emit_tracked(i);
      pop_struct();
      break;
    case OP::ifn_If: case OP::ifn_Try:
      push_struct();
      seq.emit_tracked(i);
      break;
    case OP::ifn_Then:
      seq.emit_tracked(i);
      apply_simple(DO_DUP);
      break;
    case OP::ifn_Else:
      seq.emit_tracked(i);
      apply_simple(DO_SWAP);
      break;
    case OP::ifn_Case: case OP::ifn_Default: case OP::ifn_Switch:
      push_struct();
      seq.emit_tracked(i);
      apply_simple(DO_ZERO_DUP);
      break;
    case OP::ifn_Catch:
      seq.emit_tracked(i);
      apply_simple(DO_DUP_ZERO);
      break;
    case OP::ifn_Start: {
      push_struct();
      bool real = try_real_start(s, pc);
      if (!real) seq.emit_tracked(i);
      seq.keywordAt[pc] = seq.lastAt;
      open_loop(pc);
      seq.loops.back().realStart = real;
      return;
    }
    case OP::ifn_While: case OP::ifn_Do: {
      ifnEnum partner = keyword_index(seq.ops, pc + s.link1);
      bool opens = i == OP::ifn_While ? partner == OP::ifn_Do : partner == OP::ifn_While;
      if (opens) push_struct();
      // The Do of While ... Do ... End pops the loop's test; the Do that
      // opens Do ... While ... End takes nothing.  (The table's variable
      // count would forget the known depth at every loop test.)
      seq.emit_tracked(i, i == OP::ifn_Do ? (opens ? 0 : 1) : -1);
      seq.keywordAt[pc] = seq.lastAt;
      if (opens) open_loop(pc);
      return;
    }
    case OP::ifn_Next: case OP::ifn_Step: {
      bool real = !seq.loops.empty() && seq.loops.back().realStart;
      if (real && i == OP::ifn_Step) drop_last(1);   // the step constant's push
      seq.emit_tracked(real ? OP::ifn_REALLOOP : i);
      seq.keywordAt[pc] = seq.lastAt;
      if (real) {
        seq.data[seq.lastAt.second].upair.u2 = i == OP::ifn_Step;
        seq.loops.back().realLoopAt = seq.lastAt.first;
      }
      pop_struct();
      merge();
      return;
    }
    case OP::ifn_End: {
      ifnEnum partner = s.link1 ? keyword_index(seq.ops, pc - s.link1) : OP::IFN_NONE;
      // A loop's End: ENDWHILE, which after "Do body While test" pops the test.
      if (partner == OP::ifn_Do) seq.emit_tracked(OP::ifn_ENDWHILE, 1);
      else if (partner == OP::ifn_While) seq.emit_tracked(OP::ifn_ENDWHILE);
      else seq.emit_tracked(i, 0);   // the End of If, Case, Switch or Try pops nothing
      seq.keywordAt[pc] = seq.lastAt;
      pop_struct();
      merge();
      return;
    }
    case OP::ifn_Break: case OP::ifn_Continue:
      seq.emit_tracked(i);
      apply_simple(DO_MIN);
      break;
    case OP::ifn_Abort: case OP::ifn_Throw: case OP::ifn_Return: case OP::ifn_Stop:
      seq.emit_tracked(i);
      apply_simple(DO_ZERO);
      break;
    default:
      kor_error(EINVAL, "optimize", __LINE__, "compile");
    }
    seq.keywordAt[pc] = seq.lastAt;
  }
};

} // namespace EXEC

namespace OBJ {

void Instruction::compile(EXEC::ActionSequence &seq) const { EXEC::Optimizer{seq}.instruction(*this); }

void Structure::compile(EXEC::ActionSequence &seq) const { EXEC::Optimizer{seq}.structure(*this); }

} // namespace OBJ
