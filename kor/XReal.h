// Extended reals and complex numbers of extended reals: their operands,
// scanners and text forms.
#pragma once

#include <string>

#include "fathom/xreal.h"
#include "kor/Operand.h"

namespace OBJ {

using fathom::XRealValue;

class XReal : public Operand {
public:
  static constexpr uint32_t TAG = XREAL;
  XReal() : Operand(XREAL), num(fathom::zero()) {}
  explicit XReal(XRealValue v) : Operand(XREAL), num(v) {}
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "XREAL"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  bool canConvert(uint32_t tag) const override { return tag <= XCOMPLEX; }
  Operand *convert(uint32_t tag, OperandPool *pool) const override;

  XRealValue num;
};

class XComplex : public Operand {
public:
  static constexpr uint32_t TAG = XCOMPLEX;
  XComplex() : Operand(XCOMPLEX), re(fathom::zero()), im(fathom::zero()) {}
  XComplex(XRealValue r, XRealValue i) : Operand(XCOMPLEX), re(r), im(i) {}
  Operand *clone(OperandPool *pool) const override;
  const char *typeName() const override { return "XCOMPLEX"; }
  bool equals(const Operand &other) const override;
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  bool canConvert(uint32_t tag) const override { return tag == COMPLEX || tag == XCOMPLEX; }
  Operand *convert(uint32_t tag, OperandPool *pool) const override;

  XRealValue re, im;
};

// The text of an extended real in the record's format; "x" is appended in
// double-precision mode so that the text reads back as an extended real.
std::string format_xreal(XRealValue value, const KOR::DisplayFormat &fmt);

// Extended real to binary integer: 0 for negatives and non-finite values, all
// ones from 2^64 up, else the integer part.
uint64_t xreal_to_binary(XRealValue x);
XRealValue binary_to_xreal(uint64_t b);

// Scanners (statuses 3, and 7 "Bad XReal Number" / 6 "Bad Complex Number").
Operand *scan_xreal(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_complex(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);

} // namespace OBJ
