// Operands that stand for commands: plain instructions, structure keywords
// (with the two link words the compiler fills in) and interactive commands.
#pragma once

#include <cstdint>

#include "kor/Command.h"
#include "kor/Operand.h"

namespace OBJ {

class Instruction : public Operand {
public:
  static constexpr uint32_t TAG = INSTRUCTION;
  Instruction() : Operand(INSTRUCTION) {}
  explicit Instruction(const OP::Command *c) : Operand(INSTRUCTION), cmd(c) {}

  // The operand for a command record: an Instruction, a Structure or an
  // Interactive by the record's kind; any other kind is fatal.
  static Operand *create(const OP::Command &rec, OperandPool *pool);

  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return cmd ? cmd->name : "INSTRUCTION"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  std::string name() const override;
  EXEC::Status execute(KOR::Context &cx) override;
  void compile(EXEC::ActionSequence &seq) const override;

  const OP::Command *cmd = nullptr;

protected:
  Instruction(uint32_t tag, const OP::Command *c) : Operand(tag), cmd(c) {}
};

class Structure : public Instruction {
public:
  static constexpr uint32_t TAG = STRUCTURE;
  Structure() : Instruction(STRUCTURE, nullptr) {}
  explicit Structure(const OP::Command *c) : Instruction(STRUCTURE, c) {}
  Operand *clone(OperandPool *pool) const override;
  bool equals(const Operand &other) const override;
  void compile(EXEC::ActionSequence &seq) const override;

  // The distance to the partner keyword (first word); the second is cleared
  // whenever the first is set.
  uint32_t link1 = 0, link2 = 0;
};

class Interactive : public Instruction {
public:
  static constexpr uint32_t TAG = INTERACTIVE;
  Interactive() : Instruction(INTERACTIVE, nullptr) {}
  explicit Interactive(const OP::Command *c) : Instruction(INTERACTIVE, c) {}
  Operand *clone(OperandPool *pool) const override;
  bool equals(const Operand &other) const override;
  EXEC::Status execute(KOR::Context &cx) override;

  // The interactive handlers found for the command's name, or zero.
  uintptr_t handler1 = 0, handler2 = 0;
};

} // namespace OBJ
