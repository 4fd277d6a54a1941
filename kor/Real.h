// Reals (doubles), binary integers and complex numbers of doubles: their
// operands, scanners and text forms.
#pragma once

#include <cstdint>
#include <string>

#include "kor/Operand.h"

namespace OBJ {

class Real : public Operand {
public:
  static constexpr uint32_t TAG = REAL;
  Real() : Operand(REAL) {}
  explicit Real(double v) : Operand(REAL), num(v) {}
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "REAL"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  bool canConvert(uint32_t tag) const override { return tag <= XCOMPLEX; }
  Operand *convert(uint32_t tag, OperandPool *pool) const override;
  EXEC::Status execute(KOR::Context &cx) override;
  void compile(EXEC::ActionSequence &seq) const override;

  double num = 0.0;
};

class Binary : public Operand {
public:
  static constexpr uint32_t TAG = BINARY;
  Binary() : Operand(BINARY) {}
  explicit Binary(uint64_t v) : Operand(BINARY), bits(v) {}
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "BINARY"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  bool canConvert(uint32_t tag) const override { return tag <= BINARY; }
  Operand *convert(uint32_t tag, OperandPool *pool) const override;
  EXEC::Status execute(KOR::Context &cx) override;
  void compile(EXEC::ActionSequence &seq) const override;

  uint64_t bits = 0;
};

class Complex : public Operand {
public:
  static constexpr uint32_t TAG = COMPLEX;
  Complex() : Operand(COMPLEX) {}
  Complex(double r, double i) : Operand(COMPLEX), re(r), im(i) {}
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "COMPLEX"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  bool canConvert(uint32_t tag) const override { return tag == COMPLEX || tag == XCOMPLEX; }
  Operand *convert(uint32_t tag, OperandPool *pool) const override;

  double re = 0.0, im = 0.0;
};

// The text of a double in the record's format (std, sci, fix, eng), with the
// read-back rule, exponent rewriting, grouping and the decimal mark; "r" is
// appended in extended-precision mode.
std::string format_real(double value, const KOR::DisplayFormat &fmt);
// format_real written into a buffer with print's width rules.
unsigned print_real(Buffer &buf, const KOR::DisplayFormat &fmt, double value, unsigned minWidth,
                    unsigned maxWidth, bool insert);

// Double to binary integer: NaN, zero and negatives give 0, 2^64 and above all ones.
uint64_t real_to_binary(double d);
// Binary integer to the nearest double.
double binary_to_real(uint64_t b);

// Scanners: at the buffer's cursor, a literal of their kind, or null with the
// buffer status 3 (not theirs) or their error (8 "Bad Real Number",
// 5 "Bad Binary Number").  The cursor moves only on success or on their error.
Operand *scan_real(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_binary(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);

} // namespace OBJ
