#include "kor/Instruction.h"

#include <cerrno>
#include <cstring>

#include "kor/Context.h"
#include "kor/Sequence.h"
#include "kor/TextWriter.h"
#include "kor/kor_error.h"

namespace OBJ {

Operand *Instruction::create(const OP::Command &rec, OperandPool *pool) {
  switch (rec.kind()) {
  case OP::INSTR: {
    Instruction *i = make<Instruction>(pool);
    i->cmd = &rec;
    return i;
  }
  case OP::STRUCT: {
    Structure *s = make<Structure>(pool);
    s->cmd = &rec;
    s->link1 = s->link2 = 0;
    return s;
  }
  case OP::INTER: {
    Interactive *i = make<Interactive>(pool);
    i->cmd = &rec;
    const OP::Command *found = OP::find_interactive(rec.name, std::strlen(rec.name));
    i->handler1 = reinterpret_cast<uintptr_t>(found);
    i->handler2 = 0;
    return i;
  }
  default: kor_error(EINVAL, "Instruction", __LINE__, "Instruction::create");
  }
}

Operand *Instruction::clone(OperandPool *pool) const {
  Instruction *i = make<Instruction>(pool);
  i->cmd = cmd;
  return i;
}

bool Instruction::equals(const Operand &other) const {
  return other.type_ == type_ && static_cast<const Instruction &>(other).cmd == cmd;
}

unsigned Instruction::print(Buffer &buf, const KOR::DisplayFormat &, unsigned minWidth,
                            unsigned maxWidth, bool, bool insert) const {
  TextWriter w(buf, maxWidth, insert);
  if (cmd && cmd->visible()) w.put(cmd->name);
  return w.finish(minWidth);
}

std::string Instruction::name() const { return cmd && cmd->display ? cmd->display : typeName(); }

EXEC::Status Instruction::execute(KOR::Context &cx) {
  uint32_t n = cmd->inputs();
  if (n != OP::VARIABLE && n != 0) {
    KOR::Stack &s = cx.main;
    if (s.depth() < n) return cx.fail(this, KOR::ERR_TOO_FEW_ARGS, 0, false);
    if (cx.format.flags2 & KOR::DisplayFormat::SAVE_LAST) cx.save_last_args(n);
  }
  return cmd->handler(cx);
}

Operand *Structure::clone(OperandPool *pool) const {
  Structure *s = make<Structure>(pool);
  s->cmd = cmd;
  s->link1 = link1;
  s->link2 = link2;
  return s;
}

bool Structure::equals(const Operand &other) const {
  if (other.type_ != STRUCTURE) return false;
  const Structure &o = static_cast<const Structure &>(other);
  return o.cmd == cmd && o.link1 == link1 && o.link2 == link2;
}

Operand *Interactive::clone(OperandPool *pool) const {
  Interactive *i = make<Interactive>(pool);
  i->cmd = cmd;
  i->handler1 = handler1;
  i->handler2 = handler2;
  return i;
}

bool Interactive::equals(const Operand &other) const {
  if (other.type_ != INTERACTIVE) return false;
  const Interactive &o = static_cast<const Interactive &>(other);
  return o.cmd == cmd && o.handler1 == handler1 && (o.handler2 == handler2 || handler1 == 0);
}

// Met in a running program, an interactive command does nothing: it acts
// only when the user interface runs it from a key.
EXEC::Status Interactive::execute(KOR::Context &) { return EXEC::NORMAL; }

} // namespace OBJ
