#include "kor/Sequence.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "kor/Buffer.h"
#include "kor/DisplayFormat.h"
#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Tokenizer.h"
#include "kor/kor_error.h"

namespace Sequence {
namespace {

using OBJ::Operand;
using OBJ::Structure;

enum : uint32_t {
  ST_START_OPEN = 9, ST_NEXT = 10, ST_STEP = 11, ST_IF_OPEN = 12, ST_THEN = 13, ST_ELSE = 14,
  ST_END = 15, ST_CASE_OPEN = 16, ST_SWITCH_OPEN = 17, ST_IMPLICIT_DEFAULT = 18,
  ST_SWITCH_TEST = 19, ST_DEFAULT = 20, ST_DUPLICATE_DEFAULT = 21, ST_DEFAULT_OPEN = 22,
  ST_GARBAGE = 23, ST_DO = 24, ST_WHILE = 25, ST_CATCH = 26, ST_THEN_OPEN = 27,
  ST_ELSE_OPEN = 28, ST_DO_OPEN = 29, ST_WHILE_OPEN = 30, ST_CATCH_OPEN = 31, ST_TRY = 32,
  ST_BREAK = 33, ST_CONTINUE = 34, ST_NOT_ALLOWED = 35,
};

// One parse: the operands collected so far and the indices of the keywords
// that still wait for their partner.
class Parser {
public:
  explicit Parser(std::vector<Operand *> &out) : out_(out) {}

  // The structure check for the keyword just appended at n; 0 or a status.
  uint32_t check(size_t n);
  uint32_t open_status() const;
  std::vector<size_t> open;

private:
  OP::ifnEnum kw(size_t i) const {
    const Operand *op = out_[i];
    if (op->type_ != OBJ::STRUCTURE && op->type_ != OBJ::INSTRUCTION) return OP::IFN_NONE;
    return static_cast<const OBJ::Instruction *>(op)->cmd->index;
  }
  Structure &at(size_t i) { return *static_cast<Structure *>(out_[i]); }
  void link(size_t i, size_t distance) {
    at(i).link1 = static_cast<uint32_t>(distance);
    at(i).link2 = 0;
  }
  OP::ifnEnum top() const { return open.empty() ? OP::IFN_NONE : kw(open.back()); }
  OP::ifnEnum below_top() const {
    return open.size() < 2 ? OP::IFN_NONE : kw(open[open.size() - 2]);
  }
  bool is_end(size_t i) const { return kw(i) == OP::ifn_End; }
  size_t pop() {
    size_t i = open.back();
    open.pop_back();
    return i;
  }
  uint32_t close(size_t n);

  std::vector<Operand *> &out_;
};

bool is_case_or_switch(OP::ifnEnum k) { return k == OP::ifn_Case || k == OP::ifn_Switch; }

uint32_t Parser::check(size_t n) {
  using namespace OP;
  OP::ifnEnum k = kw(n), t = top();
  switch (k) {
  case ifn_If: case ifn_Case: case ifn_Switch: case ifn_Try: case ifn_Do: case ifn_While:
  case ifn_Start:
    open.push_back(n);
    return 0;
  case ifn_Then:
    if (t == ifn_If || t == ifn_Case) { open.push_back(n); return 0; }
    if (t == ifn_Switch) {
      uint32_t prev = n >= 1 ? out_[n - 1]->type_ : OBJ::INSTRUCTION;
      bool operand = prev != OBJ::INSTRUCTION && prev != OBJ::STRUCTURE && prev != OBJ::INTERACTIVE;
      bool after = n >= 2 && (kw(n - 2) == ifn_Switch || is_end(n - 2));
      if (operand && after) { open.push_back(n); return 0; }
      return ST_SWITCH_TEST;
    }
    return ST_THEN;
  case ifn_Else:
    if (t == ifn_Then || t == ifn_Catch) { open.push_back(n); return 0; }
    return ST_ELSE;
  case ifn_Catch:
    if (t == ifn_Try) { open.push_back(n); return 0; }
    return ST_CATCH;
  case ifn_Default:
    if (!is_case_or_switch(t)) return ST_DEFAULT;
    if (!(n >= 1 && (is_case_or_switch(kw(n - 1)) || is_end(n - 1)))) return ST_GARBAGE;
    if (below_top() == ifn_Default) return ST_DUPLICATE_DEFAULT;
    open.push_back(n);
    return 0;
  case ifn_Next: case ifn_Step: {
    if (t != ifn_Start) return k == ifn_Next ? ST_NEXT : ST_STEP;
    size_t s = pop();
    link(s, n - s);
    link(n, n - s);
    return 0;
  }
  case ifn_Break: case ifn_Continue: {
    for (size_t i = open.size(); i-- > 0;) {
      OP::ifnEnum o = kw(open[i]);
      if (o == ifn_Start || o == ifn_While || o == ifn_Do) {
        link(n, n - open[i]);
        return 0;
      }
    }
    return k == ifn_Break ? ST_BREAK : ST_CONTINUE;
  }
  case ifn_Abort: case ifn_Return: case ifn_Stop: case ifn_Throw:
    link(n, n);
    return 0;
  case ifn_End:
    switch (t) {
    case ifn_Else: case ifn_Then: case ifn_Catch: case ifn_Default: case ifn_Case:
      return close(n);
    case ifn_Do: return below_top() == ifn_While ? close(n) : ST_DO;
    case ifn_While: return below_top() == ifn_Do ? close(n) : ST_WHILE;
    case ifn_Switch: return n >= 1 && is_end(n - 1) ? close(n) : ST_IMPLICIT_DEFAULT;
    case ifn_If: return ST_IF_OPEN;
    case ifn_Try: return ST_TRY;
    default: return ST_END;
    }
  default:
    kor_error(EINVAL, "Sequence", __LINE__, "OP::isBadStructure");
  }
}

// Pairs the keywords closed by the End at n and writes their distances.
uint32_t Parser::close(size_t n) {
  size_t t = pop();
  size_t b = open.empty() ? 0 : pop();
  if (!is_case_or_switch(kw(t))) {
    link(b, t - b);
    link(t, n - t);
    if (kw(t) == OP::ifn_Else) {
      size_t a = open.empty() ? 0 : pop();
      link(a, b - a);
      link(n, n - a);
    } else {
      link(n, n - b);
    }
    if (is_case_or_switch(kw(b))) {
      if (kw(t) == OP::ifn_Default) open.push_back(t);
      open.push_back(b);
    }
    return 0;
  }
  link(t, n - t);
  if (kw(b) == OP::ifn_Default) {
    link(n, n - b);
  } else {
    open.push_back(b);
    link(n, 0);
  }
  return 0;
}

uint32_t Parser::open_status() const {
  switch (top()) {
  case OP::ifn_Case: return ST_CASE_OPEN;
  case OP::ifn_Catch: return ST_CATCH_OPEN;
  case OP::ifn_Default: return ST_DEFAULT_OPEN;
  case OP::ifn_Do: return ST_DO_OPEN;
  case OP::ifn_Else: return ST_ELSE_OPEN;
  case OP::ifn_If: return ST_IF_OPEN;
  case OP::ifn_Start: return ST_START_OPEN;
  case OP::ifn_Switch: return ST_SWITCH_OPEN;
  case OP::ifn_Then: return ST_THEN_OPEN;
  case OP::ifn_Try: return ST_TRY;
  case OP::ifn_While: return ST_WHILE_OPEN;
  default: kor_error(EINVAL, "Sequence", __LINE__, "Sequence::parse");
  }
}

Structure *marker(OP::ifnEnum i, OBJ::OperandPool *pool) {
  return static_cast<Structure *>(OBJ::Instruction::create(OP::command(i), pool));
}

void release_all(std::vector<Operand *> &out, OBJ::OperandPool *pool) {
  while (!out.empty()) {
    OBJ::dispose(out.back(), pool);
    out.pop_back();
  }
}

bool at_terminator(const OBJ::Buffer &buf, const char *terminator) {
  for (size_t i = 0; terminator[i]; ++i)
    if (buf.ch_at(i) != static_cast<unsigned char>(terminator[i])) return false;
  return true;
}

} // namespace

void parse(std::vector<Operand *> &out, OBJ::OperandPool *pool, OBJ::Buffer &buf,
           const KOR::DisplayFormat &fmt, const char *terminator, bool structured) {
  release_all(out, pool);
  Parser p(out);
  if (structured) {
    Structure *start = marker(OP::ifn_SYSNULL, pool);
    start->link1 = 21;
    start->link2 = 12;
    out.push_back(start);
    p.open.push_back(0);
  }
  for (;;) {
    Operand *op = OBJ::next(buf, fmt, pool);
    if (!op) {
      if (buf.status == OBJ::PS_UNBALANCED && terminator && at_terminator(buf, terminator)) {
        for (size_t i = std::strlen(terminator); i > 0; --i) buf.advance();
        buf.status = OBJ::PS_END_OF_PROGRAM;
      }
      break;
    }
    out.push_back(op);
    if (op->type_ == OBJ::STRUCTURE) {
      if (!structured) { buf.status = ST_NOT_ALLOWED; break; }
      if (uint32_t st = p.check(out.size() - 1)) { buf.status = st; break; }
    }
  }
  bool ended = buf.status == OBJ::PS_END_OF_BUFFER || buf.status == OBJ::PS_END_OF_PROGRAM;
  if (structured && ended) {
    Structure *exit = marker(OP::ifn_SYSEXIT, pool);
    exit->link1 = static_cast<uint32_t>(out.size());
    exit->link2 = 0;
    out.push_back(exit);
    if (!p.open.empty() && p.open.back() == 0) p.open.pop_back();
  }
  if (ended && !p.open.empty()) buf.status = p.open_status();
  if (buf.status != OBJ::PS_END_OF_BUFFER && buf.status != OBJ::PS_END_OF_PROGRAM)
    release_all(out, pool);
}

const char *status_message(uint32_t status) {
  static const char *const messages[] = {
      "No Error", "End of Buffer", "End of Program", "Unknown Operand Type",
      "Unbalanced Delimiter", "Bad Binary Number", "Bad Complex Number", "Bad XReal Number",
      "Bad Real Number", "Start without Next/Step", "Next without Start", "Step without Start",
      "If without Then", "Then without If", "Else without Then",
      "End without Then/Else/Do/While/Catch", "Case without End", "Switch without End",
      "Implicit Default in Switch", "Multiple/Invalid operand in Switch test",
      "Default without Case/Switch", "Duplicate Default Statement", "Default without End",
      "Garbage before Default", "Do without While", "While without Do", "Catch without Try",
      "Then without End", "Else without End", "Do without End", "While without End",
      "Catch without End", "Try without Catch", "Break without Do/Start/While",
      "Continue without Do/Start/While", "Structure Not Allowed", "Nesting Too Deep"};
  return status < sizeof messages / sizeof *messages ? messages[status] : nullptr;
}

} // namespace Sequence

namespace EXEC {
namespace {

using OP::ifnEnum;

const OBJ::Structure *structure_at(const std::vector<OBJ::Operand *> &ops, size_t pc) {
  return ops[pc]->type_ == OBJ::STRUCTURE ? static_cast<const OBJ::Structure *>(ops[pc]) : nullptr;
}

ifnEnum kw_at(const std::vector<OBJ::Operand *> &ops, size_t pc) {
  const OBJ::Structure *s = structure_at(ops, pc);
  return s ? s->cmd->index : OP::IFN_NONE;
}

// Instruction positions in the code and data streams.
struct Layout {
  std::vector<uint32_t> code, data;   // per index entry, and one past the end
  explicit Layout(const ActionSequence &seq) {
    size_t n = seq.index.size();
    code.resize(n + 1);
    data.resize(n + 1);
    uint32_t c = 0, d = 0;
    for (size_t k = 0; k < n; ++k) {
      code[k] = c;
      data[k] = d;
      c += k == 0 ? 1 : 2;
      d += OP::command(seq.index[k]).data();
    }
    code[n] = c;
    data[n] = d;
  }
  Datum jump(uint32_t from, uint32_t to) const {
    return Datum::of_ipair(static_cast<int32_t>(code[to] - code[from]),
                           static_cast<int32_t>(data[to] - data[from]));
  }
};

// Fills the jump data of every keyword from the distances that the parse
// recorded in its link words.
void resolve_jumps(ActionSequence &seq, const Layout &lay) {
  const auto &ops = seq.ops;
  auto first = [&](size_t pc) { return seq.firstAt[pc].first; };
  for (size_t pc = 0; pc < ops.size(); ++pc) {
    const OBJ::Structure *s = structure_at(ops, pc);
    if (!s) continue;
    uint32_t at = seq.keywordAt[pc].first, slot = seq.keywordAt[pc].second;
    ifnEnum k = seq.index[at];
    size_t partner = pc + s->link1;
    switch (k) {
    case OP::ifn_Then: case OP::ifn_Else: case OP::ifn_Catch: case OP::ifn_Try:
      seq.data[slot] = lay.jump(at, first(partner + 1));
      break;
    case OP::ifn_End: {
      size_t opener = pc - s->link1;
      ifnEnum o = s->link1 ? kw_at(ops, opener) : OP::IFN_NONE;
      if (o == OP::ifn_Case || o == OP::ifn_Switch) {
        size_t final = opener + structure_at(ops, opener)->link1;
        if (final != pc) seq.data[slot] = lay.jump(at, first(final + 1));
      }
      break;
    }
    case OP::ifn_Start: case OP::ifn_Do: case OP::ifn_While:
      seq.data[slot] = lay.jump(at, seq.keywordAt[partner].first);
      break;
    case OP::ifn_Switch:
      seq.data[slot] = Datum::of_upair(static_cast<uint32_t>(pc), 0);
      break;
    default:
      break;
    }
  }
  for (const ActionSequence::LoopMark &m : seq.closedReal) {
    uint32_t at = seq.keywordAt[m.keywordPc].first;
    seq.data[seq.keywordAt[m.keywordPc].second + 3] = lay.jump(at, m.realLoopAt);
  }
}

} // namespace

void finalize(ActionSequence &seq, OBJ::Program &prog) {
  Layout lay(seq);
  resolve_jumps(seq, lay);
  size_t n = seq.index.size();
  std::vector<CodeWord> code(lay.code[n]);
  for (size_t k = 0; k < n; ++k) {
    const OP::Command &c = OP::command(seq.index[k]);
    uint32_t at = lay.code[k];
    if (k == 0) {
      code[at] = code_word(c.index, CW_HANDLER);
    } else if (c.fast != OP::NO_AFN) {
      code[at] = code_word(c.index, CW_AFN);
      code[at + 1] = code_word(c.index, c.fast == OP::AFN_RFN ? CW_RFN : CW_AFN);
    } else {
      code[at] = code_word(OP::ifn_EXECIFN, CW_AFN);
      code[at + 1] = code_word(c.index, c.opt ? CW_OPT : CW_HANDLER);
    }
  }
  prog.code.swap(code);
  prog.data = seq.data;
  prog.positions.resize(seq.ops.size());
  for (size_t pc = 0; pc < seq.ops.size(); ++pc)
    prog.positions[pc] = {lay.code[seq.firstAt[pc].first], lay.data[seq.firstAt[pc].first]};
}

void compile_program(OBJ::Program &prog, bool folds, bool optimizeExit) {
  if (prog.elems.empty()) return;
  ActionSequence seq(prog.elems, folds, optimizeExit);
  seq.build();
  finalize(seq, prog);
}

const char *action_name(CodeWord word) { return OP::command(word_command(word)).shown(); }

namespace {

std::string cut60(std::string t) {
  if (!t.empty() && t[0] == ' ') t.erase(0, 1);
  if (t.size() > 60) t = t.substr(0, 60) + "...";
  return t;
}

} // namespace

void sequence_trace(const std::vector<OBJ::Operand *> &ops) {
  KOR::DisplayFormat fmt;
  std::fprintf(stderr, "\r\n  -------- Sequence trace --------\r\n");
  for (const OBJ::Operand *op : ops) {
    int col = std::fprintf(stderr, "%10s", op->typeName());
    if (op->type_ == OBJ::STRUCTURE) {
      const OBJ::Structure *s = static_cast<const OBJ::Structure *>(op);
      uint32_t links[2] = {s->link1, s->link2};
      double asReal;
      std::memcpy(&asReal, links, sizeof asReal);
      col += std::fprintf(stderr, "  {%3u, %3u}   %-13g", s->link1 % 1000, s->link2 % 1000, asReal);
    } else if (op->type_ != OBJ::INSTRUCTION) {
      col += std::fprintf(stderr, " %s", cut60(OBJ::toText(*op, fmt, OBJ::NO_LIMIT)).c_str());
    }
    std::fprintf(stderr, "%*p\n", col < 56 ? 56 - col : 1, static_cast<const void *>(op));
  }
}

void optimized_trace(const OBJ::Program &prog) {
  KOR::DisplayFormat fmt;
  static const char *const marks[4] = {"", "[OPT]", "[AFN]", "[RFN]"};
  std::fprintf(stderr, "\r\n  -------- optimized trace --------\r\n");
  size_t d = 0;
  // One line per code word; the word that names an instruction shows its data.
  auto line = [&](size_t w, const char *name, const OP::Command *owner) {
    CodeWord word = prog.code[w];
    std::fprintf(stderr, "%10s %-5s %p", name, marks[word_entry(word)],
                 static_cast<const void *>(&prog.code[w]));
    for (uint32_t i = 0; owner && i < owner->data() && d < prog.data.size(); ++i, ++d) {
      const Datum &x = prog.data[d];
      if (i) std::fprintf(stderr, "\r\n%16s", "");
      if (owner->index == OP::ifn_OPEREXEC && x.oper)
        std::fprintf(stderr, "%10s  %-32s", "", cut60(OBJ::toText(*x.oper, fmt, OBJ::NO_LIMIT)).c_str());
      else
        std::fprintf(stderr, "  {%3u, %3u}  %-13g", x.upair.u1 % 1000, x.upair.u2 % 1000, x.real);
      std::fprintf(stderr, "  %10p  %10p", static_cast<const void *>(&prog.code[w]),
                   static_cast<const void *>(&x));
    }
    std::fprintf(stderr, "\r\n");
  };
  if (!prog.code.empty()) line(0, OP::command(word_command(prog.code[0])).name, &OP::command(OP::ifn_SYSNULL));
  for (size_t w = 1; w + 1 < prog.code.size() + 1 && w < prog.code.size(); w += 2) {
    const OP::Command &firstCmd = OP::command(word_command(prog.code[w]));
    const OP::Command &instr = OP::command(word_command(prog.code[w + 1]));
    line(w, firstCmd.name, nullptr);
    line(w + 1, &firstCmd == &instr ? "''" : instr.name, &instr);
  }
  std::fprintf(stderr, "  ---------------------------------\r\n");
}

} // namespace EXEC
