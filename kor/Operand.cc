#include "kor/Operand.h"

#include <cerrno>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/DisplayFormat.h"
#include "kor/Sequence.h"
#include "kor/TextWriter.h"
#include "kor/kor_error.h"

namespace OBJ {

const char *typeNameOf(long tag) {
  static const char *const names[] = {
      "REAL",    "XREAL",    "BINARY",  "COMPLEX", "XCOMPLEX", "INSTRUCTION", "STRUCTURE",
      "INTERACTIVE", "LNAME", "NAME",   "VARIABLE", "ALGEBRAIC", "CARRAY",    "RARRAY",
      "XCARRAY", "XRARRAY",  "COMMENT", "DIRECTORY", "LIST",    "PROGRAM",     "STRING",
      "INVALID"};
  return tag >= 0 && tag <= INVALID ? names[tag] : "[unknown]";
}

// ---- Pools --------------------------------------------------------------------

OperandPool::~OperandPool() { clear(); }

Operand *OperandPool::take(uint32_t tag) {
  std::vector<Operand *> &list = lists_[tag];
  if (list.empty()) return nullptr;
  Operand *op = list.back();
  list.pop_back();
  return op;
}

bool OperandPool::park(Operand *op) {
  std::vector<Operand *> &list = lists_[op->type_];
  if (list.size() >= limit_) return false;
  list.push_back(op);
  return true;
}

void OperandPool::refill_from(OperandPool &from) {
  for (uint32_t tag = 0; tag < TAG_COUNT; ++tag) {
    std::vector<Operand *> &mine = lists_[tag], &theirs = from.lists_[tag];
    while (mine.size() < limit_ && !theirs.empty()) {
      mine.push_back(theirs.back());
      theirs.pop_back();
    }
  }
}

void OperandPool::clear() {
  for (std::vector<Operand *> &list : lists_) {
    for (Operand *op : list) delete op;
    list.clear();
  }
}

// ---- Defaults of the virtual operations -----------------------------------------

Operand::~Operand() = default;

bool Operand::canConvert(uint32_t tag) const { return tag == type_; }

Operand *Operand::convert(uint32_t tag, OperandPool *pool) const {
  return tag == type_ ? clone(pool) : nullptr;
}

EXEC::Status Operand::evaluate(KOR::Context &cx) { return execute(cx); }

EXEC::Status Operand::execute(KOR::Context &cx) {
  cx.main.push(KOR::Entry::object(clone(&cx.pool)));
  return EXEC::NORMAL;
}

std::string Operand::name() const { return typeName(); }

void Operand::verify() const {
  if (type_ > STRING) kor_error(EINVAL, "Operand", __LINE__, "bad type_ in verify");
}

void Operand::compile(EXEC::ActionSequence &seq) const {
  seq.emit_push(OP::ifn_OPEREXEC, EXEC::Datum::of_oper(this));
}

const Operand *Operand::value() const { return this; }

void Operand::release(OperandPool *pool) {
  if (!pool || !pool->park(this)) delete this;
}

void dispose(Operand *op, OperandPool *pool) {
  if (op->type_ >= FIRST_RELEASED_TAG) {
    op->release(pool);
  } else if (!pool || !pool->park(op)) {
    delete op;
  }
}

std::string toText(const Operand &op, const KOR::DisplayFormat &fmt, unsigned maxWidth) {
  Buffer buf;
  op.print(buf, fmt, 0, maxWidth, true, false);
  return buf.lines.front().text;
}

// ---- Names and variables ---------------------------------------------------------

Operand *Name::clone(OperandPool *pool) const {
  Name *n = make<Name>(pool);
  n->text = text;
  return n;
}

bool Name::equals(const Operand &other) const {
  return other.type_ == NAME && static_cast<const Name &>(other).text == text;
}

unsigned Name::print(Buffer &buf, const KOR::DisplayFormat &, unsigned minWidth, unsigned maxWidth,
                     bool, bool insert) const {
  TextWriter w(buf, maxWidth, insert);
  w.put('\'');
  w.put(text);
  w.put('\'');
  return w.finish(minWidth);
}

Variable::~Variable() {
  if (held) {
    if (held->type_ < FIRST_RELEASED_TAG) delete held;
    else held->release(nullptr);
  }
}

Operand *Variable::clone(OperandPool *pool) const {
  Variable *v = make<Variable>(pool);
  v->text = text;
  v->held = held ? held->clone(pool) : nullptr;
  return v;
}

bool Variable::equals(const Operand &other) const {
  if (other.type_ != VARIABLE) return false;
  const Variable &o = static_cast<const Variable &>(other);
  if (o.text != text) return false;
  if (held == o.held) return true;
  return held && o.held && held->equals(*o.held);
}

unsigned Variable::print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth,
                         unsigned maxWidth, bool topLevel, bool insert) const {
  if (maxWidth == 0) return 0;
  TextWriter w(buf, maxWidth, insert);
  if (fmt.editForm()) w.put(':');
  w.put(text);
  w.put(": ");
  if (held) w.wrote(held->print(buf, fmt, NO_PAD, w.left(), topLevel, insert));
  return w.finish(minWidth);
}

EXEC::Status Variable::evaluate(KOR::Context &cx) {
  if (!held) return EXEC::NORMAL;
  return held->evaluate(cx);
}

void Variable::verify() const {
  Operand::verify();
  if (held) held->verify();
}

const Operand *Variable::value() const {
  const Operand *v = held;
  while (v && v->type_ == VARIABLE) v = static_cast<const Variable *>(v)->held;
  return v;
}

void Variable::release(OperandPool *pool) {
  if (held) {
    dispose(held, pool);
    held = nullptr;
  }
  Operand::release(pool);
}

} // namespace OBJ
