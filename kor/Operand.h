// Operands: every value of the language and every instruction of a program.
// One holder owns each operand, except the shared kinds (HardLink), which
// count their holders.  Small operands are recycled through per-context pools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kor/ExecStatus.h"

namespace KOR {
class Context;
struct DisplayFormat;
}
namespace EXEC { class ActionSequence; }

namespace OBJ {

class Buffer;

enum Tag : uint32_t {
  REAL = 0, XREAL = 1, BINARY = 2, COMPLEX = 3, XCOMPLEX = 4,   // the numeric types
  INSTRUCTION = 5, STRUCTURE = 6, INTERACTIVE = 7, LNAME = 8, NAME = 9, VARIABLE = 10,
  ALGEBRAIC = 11, CARRAY = 12, RARRAY = 13, XCARRAY = 14, XRARRAY = 15, COMMENT = 16,
  DIRECTORY = 17, LIST = 18, PROGRAM = 19, STRING = 20,
  INVALID = 21,   // the stack sentinel
};
constexpr uint32_t TAG_COUNT = 21;   // tags that operands carry: 0 to 20

// Tags below this are simple: a container drops them directly (into a pool
// or deleted) instead of calling their release.
constexpr uint32_t FIRST_RELEASED_TAG = 6;

inline bool isNumeric(uint32_t tag) { return tag <= XCOMPLEX; }

// "REAL" ... "INVALID"; "[unknown]" outside 0 to 21.
const char *typeNameOf(long tag);

class Operand;

// Recycle lists of idle operands, one per tag, all kept to one limit.
class OperandPool {
public:
  explicit OperandPool(size_t limit) : limit_(limit) {}
  ~OperandPool();
  OperandPool(const OperandPool &) = delete;
  OperandPool &operator=(const OperandPool &) = delete;

  // The most recently parked operand of a tag, or null.
  Operand *take(uint32_t tag);
  // Parks an operand when its list has room; false when it is full.
  bool park(Operand *op);
  // Moves operands from the back of `from` while this pool has room.
  void refill_from(OperandPool &from);
  void clear();
  size_t size(uint32_t tag) const { return lists_[tag].size(); }
  size_t limit() const { return limit_; }

private:
  std::vector<Operand *> lists_[TAG_COUNT];
  size_t limit_;
};

// Width arguments of print: no padding, and no cut.
constexpr unsigned NO_PAD = ~0u;
constexpr unsigned NO_LIMIT = ~0u;

class Operand {
public:
  explicit Operand(uint32_t tag) : type_(tag) {}
  virtual ~Operand();

  // A copy for a new holder (a shared operand gains a link instead).
  virtual Operand *clone(OperandPool *pool) const = 0;
  virtual const char *typeName() const = 0;
  virtual bool equals(const Operand &other) const = 0;
  // The text form, written at the buffer's cursor; returns the columns written.
  virtual unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth,
                         unsigned maxWidth, bool topLevel, bool insert) const = 0;
  virtual bool canConvert(uint32_t tag) const;
  // A new operand of the given type, or null.
  virtual Operand *convert(uint32_t tag, OperandPool *pool) const;
  // Evaluation on request (Eval).
  virtual EXEC::Status evaluate(KOR::Context &cx);
  // What happens when the operand is met in a running program.
  virtual EXEC::Status execute(KOR::Context &cx);
  // The name shown in traces, menus and messages.
  virtual std::string name() const;
  virtual void verify() const;
  // Appends the operand to a compiled sequence being built.
  virtual void compile(EXEC::ActionSequence &seq) const;
  // The operand this one stands for (a Variable's held value).
  virtual const Operand *value() const;
  // Drops one reference: into the pool, or deleted.
  virtual void release(OperandPool *pool);

  const uint32_t type_;
};

// Drops an operand the way every container does: simple ones go to the pool
// (or are deleted), the others release themselves.
void dispose(Operand *op, OperandPool *pool);

// Prints into a scratch one-line buffer: the text, beginning with the margin blank.
std::string toText(const Operand &op, const KOR::DisplayFormat &fmt, unsigned maxWidth);

// Takes an operand of type T from the pool or makes a new one.
template <class T> T *make(OperandPool *pool) {
  if (pool)
    if (Operand *op = pool->take(T::TAG)) return static_cast<T *>(op);
  return new T();
}

class Name : public Operand {
public:
  static constexpr uint32_t TAG = NAME;
  Name() : Operand(NAME) {}
  explicit Name(std::string t) : Operand(NAME), text(std::move(t)) {}
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "NAME"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  std::string name() const override { return text; }

  std::string text;
};

class Variable : public Operand {
public:
  static constexpr uint32_t TAG = VARIABLE;
  Variable() : Operand(VARIABLE) {}
  Variable(std::string n, Operand *v) : Operand(VARIABLE), text(std::move(n)), held(v) {}
  ~Variable() override;
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "VARIABLE"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  EXEC::Status evaluate(KOR::Context &cx) override;
  std::string name() const override { return text; }
  void verify() const override;
  const Operand *value() const override;
  void release(OperandPool *pool) override;

  std::string text;
  Operand *held = nullptr;   // owned
};

} // namespace OBJ
