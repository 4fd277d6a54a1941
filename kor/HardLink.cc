#include "kor/HardLink.h"

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/DisplayFormat.h"
#include "kor/Instruction.h"
#include "kor/TextWriter.h"

namespace OBJ {

HardLink::HardLink(uint32_t tag) : Operand(tag) {
  KOR_CHECK(KOR::kt_mutex_init(&mutex_), "../kor/HardLink", "mutex_init");
}

HardLink::~HardLink() { KOR_CHECK(KOR::kt_mutex_destroy(&mutex_), "../kor/HardLink", "mutex_destroy"); }

Operand *HardLink::clone(OperandPool *) const {
  lock();
  ++links_;
  unlock();
  return const_cast<HardLink *>(this);
}

void HardLink::release(OperandPool *pool) {
  lock();
  if (links_ != 1) {
    --links_;
    unlock();
    return;
  }
  unlock();
  dispose_contents(pool);
  if (!pool || !pool->park(this)) delete this;
}

bool TextLink::equals(const Operand &other) const {
  return other.type_ == type_ && static_cast<const TextLink &>(other).text == text;
}

// The text is freed; a parked string shows the marker instead.
void TextLink::dispose_contents(OperandPool *) { std::string("DEADBEEF").swap(text); }

unsigned String::print(Buffer &buf, const KOR::DisplayFormat &, unsigned minWidth,
                       unsigned maxWidth, bool, bool insert) const {
  TextWriter w(buf, maxWidth, insert);
  w.put('"');
  w.put(text);
  w.put('"');
  return w.finish(minWidth);
}

unsigned Comment::print(Buffer &buf, const KOR::DisplayFormat &, unsigned minWidth,
                        unsigned maxWidth, bool, bool insert) const {
  TextWriter w(buf, maxWidth, insert);
  w.put('@');
  w.put(text);
  w.put('@');
  return w.finish(minWidth);
}

EXEC::Status Comment::execute(KOR::Context &) { return EXEC::NORMAL; }

void Comment::compile(EXEC::ActionSequence &) const {}   // comments vanish from compiled code

Composite::~Composite() {
  while (!elems.empty()) {
    Operand *op = elems.back();
    elems.pop_back();
    if (op->type_ < FIRST_RELEASED_TAG) delete op;
    else op->release(nullptr);
  }
}

bool Composite::equals(const Operand &other) const {
  if (other.type_ != type_) return false;
  const Composite &o = static_cast<const Composite &>(other);
  if (o.elems.size() != elems.size()) return false;
  for (size_t i = 0; i < elems.size(); ++i)
    if (!elems[i]->equals(*o.elems[i])) return false;
  return true;
}

void Composite::verify() const {
  Operand::verify();
  for (const Operand *op : elems) {
    if (!op) kor_error(EINVAL, "Sequence", __LINE__, "NULL seq entry in verify");
    op->verify();
  }
}

void Composite::dispose_contents(OperandPool *pool) {
  while (!elems.empty()) {
    Operand *op = elems.back();
    elems.pop_back();
    dispose(op, pool);
  }
}

void Program::dispose_contents(OperandPool *pool) {
  Composite::dispose_contents(pool);
  std::vector<EXEC::CodeWord>().swap(code);
  std::vector<EXEC::Datum>().swap(data);
  std::vector<std::pair<uint32_t, uint32_t>>().swap(positions);
}

namespace {

// "{", then each element after a blank, then the closing text; every part
// within the remaining width.
unsigned print_elements(const std::vector<Operand *> &elems, size_t first, size_t last,
                        const char *open, const char *close, Buffer &buf,
                        const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                        bool insert) {
  TextWriter w(buf, maxWidth, insert);
  w.put(open);
  for (size_t i = first; i < last; ++i) {
    w.put(' ');
    w.wrote(elems[i]->print(buf, fmt, NO_PAD, w.left(), false, insert));
  }
  w.put(close);
  return w.finish(minWidth);
}

} // namespace

unsigned List::print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth,
                     unsigned maxWidth, bool, bool insert) const {
  return print_elements(elems, 0, elems.size(), "{", " }", buf, fmt, minWidth, maxWidth, insert);
}

// The body starts with the start marker, which is skipped; the exit marker
// prints as nothing, so its blank separates the last element from ">>".
unsigned Program::print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth,
                        unsigned maxWidth, bool, bool insert) const {
  size_t first = !elems.empty() && elems[0]->type_ == STRUCTURE &&
                         static_cast<const Structure *>(elems[0])->cmd->index == OP::ifn_SYSNULL
                     ? 1
                     : 0;
  return print_elements(elems, first, elems.size(), "<<", ">>", buf, fmt, minWidth, maxWidth,
                        insert);
}

EXEC::Status Program::evaluate(KOR::Context &cx) { return cx.run_operands(*this); }

} // namespace OBJ
