// Text forms of every operand type, in both decimal-mark modes and both
// precision modes, and the read-back of edit forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "fathom/xdecimal.h"
#include "kor/Buffer.h"
#include "kor/Command.h"
#include "kor/DisplayFormat.h"
#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Real.h"
#include "kor/Tokenizer.h"
#include "kor/XReal.h"

using namespace OBJ;
using KOR::DisplayFormat;

namespace {

std::string text(const Operand &op, const DisplayFormat &fmt, unsigned minW = NO_PAD,
                 unsigned maxW = NO_LIMIT) {
  Buffer buf;
  unsigned n = op.print(buf, fmt, minW, maxW, true, true);
  std::string t = buf.lines.front().text.substr(1);
  EXPECT_EQ(n, t.size());
  return t;
}

DisplayFormat with(uint32_t format, int digits) {
  DisplayFormat f;
  f.format = format;
  f.digits = static_cast<int8_t>(digits);
  return f;
}

DisplayFormat comma() {
  DisplayFormat f;
  f.flags2 |= DisplayFormat::DECIMAL_COMMA;
  return f;
}

DisplayFormat xprec() {
  DisplayFormat f;
  f.setXprec(true);
  return f;
}

DisplayFormat edit(DisplayFormat f = {}) {
  f.flags |= DisplayFormat::EDIT_FORM;
  return f;
}

// Reads one operand from text; the status must be 0.
Operand *read(const std::string &t, const DisplayFormat &fmt) {
  Buffer buf;
  buf.set_text(t);
  Operand *op = next(buf, fmt, nullptr);
  EXPECT_EQ(buf.status, 0u) << t;
  return op;
}

XRealValue x(const char *t) { return fathom::strtox(t, nullptr); }

} // namespace

TEST(PrintReal, StandardFormat) {
  DisplayFormat f;
  EXPECT_EQ(text(Real(1.0 / 3), f), ".3333333333333333");
  EXPECT_EQ(text(Real(1234567), f), "1,234,567");
  EXPECT_EQ(text(Real(1234567), edit()), "1234567");
  EXPECT_EQ(text(Real(1e20), f), "1E+20");
  EXPECT_EQ(text(Real(2e-12), f), "2E-12");
  EXPECT_EQ(text(Real(-0.25), f), "-.25");
  EXPECT_EQ(text(Real(-0.25), edit()), "-0.25");
  EXPECT_EQ(text(Real(0), f), "0");
  EXPECT_EQ(text(Real(123), f), "123");
  EXPECT_EQ(text(Real(1234.5), f), "1,234.5");
  EXPECT_EQ(text(Real(std::sqrt(2.0)), f), "1.414213562373095");
  EXPECT_EQ(text(Real(NAN), f), "NaN");
  EXPECT_EQ(text(Real(INFINITY), f), "Infinity");
  EXPECT_EQ(text(Real(-INFINITY), f), "-Infinity");
  EXPECT_EQ(text(Real(1.0 / 3), with(DisplayFormat::STD, 4)), ".3333");
  // A large value that the minimum digits cannot reproduce switches to the exponent form.
  EXPECT_EQ(text(Real(123456789012345.6), f), "1.2345678901234559E+14");
}

TEST(PrintReal, FixedScientificAndEngineering) {
  EXPECT_EQ(text(Real(0.5), with(DisplayFormat::FIX, 2)), ".50");
  EXPECT_EQ(text(Real(-0.5), with(DisplayFormat::FIX, 2)), "-.50");
  EXPECT_EQ(text(Real(1234.5678), with(DisplayFormat::FIX, 2)), "1,234.57");
  EXPECT_EQ(text(Real(3.25), with(DisplayFormat::FIX, 4)), "3.2500");
  EXPECT_EQ(text(Real(0), with(DisplayFormat::FIX, 2)), "0.00");
  EXPECT_EQ(text(Real(0.001), with(DisplayFormat::FIX, 2)), "1.00E-3");   // would show as .00
  EXPECT_EQ(text(Real(12300), with(DisplayFormat::ENG, 3)), "12.30E+3");
  EXPECT_EQ(text(Real(0.1234), with(DisplayFormat::ENG, 3)), "123.4E-3");
  EXPECT_EQ(text(Real(123.4), with(DisplayFormat::ENG, 3)), "123.4E+0");
  EXPECT_EQ(text(Real(100), with(DisplayFormat::ENG, 0)), "100E+0");   // too few mantissa digits
  EXPECT_EQ(text(Real(1500), with(DisplayFormat::SCI, 2)), "1.50E+3");
  EXPECT_EQ(text(Real(0.5), with(DisplayFormat::SCI, 16)), "5.0000000000000000E-1");
  EXPECT_EQ(text(Real(1e300), with(DisplayFormat::FIX, 2)), "1.00E+300");
}

TEST(PrintReal, CommaModeAndExtendedPrecisionMode) {
  EXPECT_EQ(text(Real(1234.5), comma()), "1.234,5");
  EXPECT_EQ(text(Real(0.5), comma()), ",5");
  EXPECT_EQ(text(Real(2), xprec()), "2r");
  EXPECT_EQ(text(Real(NAN), xprec()), "NaNr");
  EXPECT_EQ(text(Real(-INFINITY), xprec()), "-Infinityr");
  EXPECT_EQ(text(Real(1.0 / 3), xprec()), ".3333333333333333r");
}

TEST(PrintReal, WidthsCutAndPad) {
  DisplayFormat f;
  EXPECT_EQ(text(Real(1234567), f, 12), "   1,234,567");
  EXPECT_EQ(text(Real(1234567), f, NO_PAD, 4), "1,23");
  EXPECT_EQ(text(Real(1), f, 3, 0), "   ");
}

TEST(PrintBinary, EveryBaseAndTheEditForm) {
  DisplayFormat f;
  EXPECT_EQ(text(Binary(255), f), "# FFh");
  EXPECT_EQ(text(Binary(255), edit()), "# FF_h");
  EXPECT_EQ(text(Binary(0), f), "# 0h");
  EXPECT_EQ(text(Binary(~0ull), f), "# FFFFFFFFFFFFFFFFh");
  f.setWordSize(8);   // the full value is shown whatever the word size
  EXPECT_EQ(text(Binary(~0ull), f), "# FFFFFFFFFFFFFFFFh");
  f.base = DisplayFormat::BIN;
  EXPECT_EQ(text(Binary(10), f), "# 1010b");
  f.base = DisplayFormat::OCT;
  EXPECT_EQ(text(Binary(8), f), "# 10o");
  f.base = DisplayFormat::DEC;
  EXPECT_EQ(text(Binary(~0ull), f), "# 18446744073709551615d");
  EXPECT_EQ(text(Binary(255), f, 8), "  # 255d");
}

TEST(PrintComplex, DoubleAndExtendedParts) {
  DisplayFormat f;
  EXPECT_EQ(text(Complex(1, 2), f), "(1, 2)");
  EXPECT_EQ(text(Complex(1, 2), xprec()), "(1, 2)r");
  EXPECT_EQ(text(Complex(0.5, -1.5), comma()), "(,5. -1,5)");
  EXPECT_EQ(text(XComplex(fathom::fromDouble(1), fathom::fromDouble(2)), f), "(1, 2)x");
  EXPECT_EQ(text(XComplex(fathom::fromDouble(1), fathom::fromDouble(2)), xprec()), "(1, 2)");
}

TEST(PrintXReal, SuffixesAndDigits) {
  EXPECT_EQ(text(XReal(fathom::fromDouble(2)), DisplayFormat{}), "2x");
  EXPECT_EQ(text(XReal(fathom::fromDouble(2)), xprec()), "2");
  EXPECT_EQ(text(XReal(x("1") / x("3")), xprec()), "." + std::string(34, '3'));
  EXPECT_EQ(text(XReal(x("1234567.5")), xprec()), "1,234,567.5");
  EXPECT_EQ(text(XReal(x("1e100")), xprec()), "1E+100");
  EXPECT_EQ(text(XReal(x("-0.5")), xprec()), "-.5");
  EXPECT_EQ(text(XReal(fathom::nan()), DisplayFormat{}), "NaNx");
  EXPECT_EQ(text(XReal(fathom::infinity(true)), xprec()), "-Infinity");
  DisplayFormat fix = xprec();
  fix.format = DisplayFormat::FIX;
  fix.digits = 3;
  EXPECT_EQ(text(XReal(x("2.5")), fix), "2.500");
  DisplayFormat eng = xprec();
  eng.format = DisplayFormat::ENG;
  eng.digits = 3;
  EXPECT_EQ(text(XReal(x("12300")), eng), "12.30E+3");
}

TEST(PrintComposites, NamesStringsCommentsListsProgramsVariables) {
  DisplayFormat f;
  EXPECT_EQ(text(Name("abc"), f), "'abc'");
  EXPECT_EQ(text(String("a b"), f), "\"a b\"");
  EXPECT_EQ(text(Comment("note "), f), "@note @");
  auto *inner = new List;
  inner->elems.push_back(new Real(1));
  List outer;
  outer.elems.push_back(inner);
  outer.elems.push_back(new Real(2));
  EXPECT_EQ(text(outer, f), "{ { 1 } 2 }");
  EXPECT_EQ(text(List(), f), "{ }");
  List three;
  for (int i = 1; i <= 3; ++i) three.elems.push_back(new Real(i));
  EXPECT_EQ(text(three, f, NO_PAD, 5), "{ 1 2");
  EXPECT_EQ(text(three, f, 12), "   { 1 2 3 }");
  Variable v("x", new String("hi"));
  EXPECT_EQ(text(v, f), "x: \"hi\"");
  EXPECT_EQ(text(v, edit()), ":x: \"hi\"");
  EXPECT_EQ(text(v, f, NO_PAD, 0), "");
  EXPECT_EQ(text(Instruction(&OP::command(OP::ifn_Swap)), f), "Swap");
  EXPECT_EQ(text(Instruction(&OP::command(OP::ifn_REALADD)), f), "");   // invisible
}

TEST(PrintComposites, ProgramsReadBackAsTheSameProgram) {
  DisplayFormat f;
  for (const char *src : {"<< 1 2 + >>", "<< >>", "<< 'a' \"s\" { 1 } << 2 >> >>",
                          "<< If 1 Then 2 Else 3 End >>"}) {
    Operand *p = read(src, f);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(text(*p, f), src);
    Operand *again = read(text(*p, edit()), f);
    EXPECT_TRUE(p->equals(*again)) << src;
    dispose(p, nullptr);
    dispose(again, nullptr);
  }
}

TEST(ReadBack, EveryRealPrintedInEditFormReadsBackIdentically) {
  std::mt19937_64 rng(7);
  for (DisplayFormat f : {DisplayFormat{}, comma(), xprec()}) {
    DisplayFormat e = edit(f);
    for (int i = 0; i < 20000; ++i) {
      uint64_t bits = rng();
      double d;
      std::memcpy(&d, &bits, sizeof d);
      if (std::isnan(d) || std::isinf(d)) continue;
      std::string t = text(Real(d), e);
      Operand *op = read(t, f);
      ASSERT_NE(op, nullptr) << t;
      ASSERT_EQ(op->type_, REAL) << t;
      ASSERT_EQ(static_cast<Real *>(op)->num, d) << t;
      dispose(op, nullptr);
    }
  }
}

TEST(ReadBack, EveryXRealPrintedInEditFormReadsBackIdentically) {
  std::mt19937_64 rng(8);
  for (DisplayFormat f : {DisplayFormat{}, comma(), xprec()}) {
    DisplayFormat e = edit(f);
    for (int i = 0; i < 5000; ++i) {
      XRealValue v{static_cast<uint32_t>(fathom::XR_BIAS + (rng() % 2001) - 1000), 0,
                   static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng()),
                   static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng())};
      std::string t = text(XReal(v), e);
      Operand *op = read(t, f);
      ASSERT_NE(op, nullptr) << t;
      ASSERT_EQ(op->type_, XREAL) << t;
      ASSERT_TRUE(static_cast<XReal *>(op)->equals(XReal(v))) << t;
      dispose(op, nullptr);
    }
  }
}

TEST(ReadBack, BinariesComplexesAndTexts) {
  DisplayFormat f;
  for (Operand *op : std::initializer_list<Operand *>{
           new Binary(0xDEADBEEF), new Complex(1.5, -2), new Name("a b"), new String("s t"),
           new Comment("c"), new XComplex(fathom::fromDouble(0.1), fathom::fromDouble(3))}) {
    std::string t = text(*op, edit());
    Operand *back = read(t, f);
    ASSERT_NE(back, nullptr) << t;
    EXPECT_TRUE(op->equals(*back)) << t;
    dispose(op, nullptr);
    dispose(back, nullptr);
  }
}
