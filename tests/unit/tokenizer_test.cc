// The tokenizer: scanners, statuses, the ";" split and command words.
#include <gtest/gtest.h>

#include "kor/Buffer.h"
#include "kor/DisplayFormat.h"
#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Real.h"
#include "kor/Tokenizer.h"
#include "kor/XReal.h"

using namespace OBJ;
using KOR::DisplayFormat;

namespace {

struct Token {
  uint32_t tag;      // INVALID when no operand came back
  uint32_t status;
  std::string text;  // the operand's text form
};

// Every token of a text until the end of the buffer (or the first failure).
std::vector<Token> tokens(const std::string &src, DisplayFormat fmt = {}) {
  Buffer buf;
  buf.set_text(src);
  std::vector<Token> out;
  for (int guard = 0; guard < 100; ++guard) {
    Operand *op = next(buf, fmt, nullptr);
    if (!op) {
      out.push_back({INVALID, buf.status, ""});
      if (buf.status != PS_END_OF_PROGRAM) break;
      continue;
    }
    out.push_back({op->type_, buf.status, toText(*op, fmt, NO_LIMIT).substr(1)});
    dispose(op, nullptr);
  }
  return out;
}

uint32_t first_status(const std::string &src, DisplayFormat fmt = {}) {
  return tokens(src, fmt).front().status;
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

} // namespace

TEST(Tokenizer, EmptyAndBlankBuffersEnd) {
  EXPECT_EQ(tokens("").front().status, PS_END_OF_BUFFER);
  EXPECT_EQ(tokens("  \t \n  ").front().status, PS_END_OF_BUFFER);
}

TEST(Tokenizer, SemicolonSplitsTheLineAndEndsTheProgram) {
  Buffer buf;
  buf.set_text("1 2 ; 3");
  DisplayFormat f;
  Operand *a = next(buf, f, nullptr), *b = next(buf, f, nullptr);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(next(buf, f, nullptr), nullptr);
  EXPECT_EQ(buf.status, PS_END_OF_PROGRAM);
  ASSERT_EQ(buf.lines.size(), 2u);
  EXPECT_EQ(buf.lines.front().text, " 1 2 ; ");
  EXPECT_EQ(buf.lines.back().text, " 3");
  EXPECT_EQ(buf.ch(), '3');
  EXPECT_EQ(buf.col, 1u);
  dispose(a, nullptr);
  dispose(b, nullptr);

  std::vector<Token> t = tokens("1 2 ;   ");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[2].status, PS_END_OF_BUFFER);
}

TEST(Tokenizer, NumbersAndTheirErrors) {
  EXPECT_EQ(tokens("1.5").front().tag, REAL);
  EXPECT_EQ(tokens("1.5").front().tag, REAL);
  EXPECT_EQ(tokens("1.5", xprec()).front().tag, XREAL);
  EXPECT_EQ(tokens("1.5r", xprec()).front().tag, REAL);
  EXPECT_EQ(tokens("1.5x").front().tag, XREAL);
  EXPECT_EQ(tokens("-.5").front().text, "-.5");
  EXPECT_EQ(tokens("+2").front().text, "2");
  EXPECT_EQ(first_status("1.5e"), PS_BAD_REAL);
  EXPECT_EQ(first_status("12abc"), PS_BAD_REAL);
  EXPECT_EQ(first_status("1e-400"), PS_BAD_REAL);
  EXPECT_EQ(tokens("1e400").front().text, "Infinity");
  EXPECT_EQ(first_status("1.5q", xprec()), PS_BAD_XREAL);
  EXPECT_EQ(first_status("1.5q"), PS_BAD_REAL);
  EXPECT_EQ(first_status("1/0", xprec()), PS_BAD_XREAL);
  EXPECT_EQ(tokens("Infinity").front().tag, INSTRUCTION);   // the constant, not a literal
  EXPECT_EQ(first_status("0x10"), PS_BAD_XREAL);   // hexadecimal forms are not numbers
  std::vector<Token> t = tokens("1<2");            // a number ends before "<"
  EXPECT_EQ(t[0].text, "1");
  EXPECT_EQ(t[1].status, PS_UNBALANCED);
}

TEST(Tokenizer, DecimalMarkModes) {
  std::vector<Token> point = tokens("1,2");
  ASSERT_GE(point.size(), 2u);
  EXPECT_EQ(point[0].text, "1");
  EXPECT_EQ(point[1].text, "2");
  std::vector<Token> inComma = tokens("1,2", comma());
  EXPECT_EQ(inComma[0].text, "1,2");
  EXPECT_EQ(inComma[1].status, PS_END_OF_BUFFER);
  std::vector<Token> twoReals = tokens("1.2", comma());
  EXPECT_EQ(twoReals[0].text, "1");
  EXPECT_EQ(twoReals[1].text, "2");
  EXPECT_EQ(tokens("1,5", comma()).front().text, "1,5");
}

TEST(Tokenizer, BinaryIntegers) {
  EXPECT_EQ(tokens("#FF").front().text, "# FFh");
  EXPECT_EQ(first_status("#FF_d"), PS_BAD_BINARY);
  EXPECT_EQ(tokens("#1010_b").front().text, "# Ah");
  EXPECT_EQ(first_status("#FFh"), PS_BAD_BINARY);
  EXPECT_EQ(first_status("#"), PS_BAD_BINARY);
  EXPECT_EQ(first_status("#_h"), PS_BAD_BINARY);
  EXPECT_EQ(first_status("#12_q"), PS_BAD_BINARY);
  EXPECT_EQ(tokens("#\n  7F").front().text, "# 7Fh");             // blanks across lines
  EXPECT_EQ(tokens("#FFFFFFFFFFFFFFFFF").front().text, "# FFFFFFFFFFFFFFFFh");   // wraps
  EXPECT_EQ(tokens("#777_o").front().text, "# 1FFh");
  EXPECT_EQ(tokens("#ff").front().text, "# FFh");
}

TEST(Tokenizer, ComplexLiterals) {
  EXPECT_EQ(tokens("(1,2)").front().text, "(1, 2)");
  EXPECT_EQ(tokens("(1 2)").front().tag, COMPLEX);
  EXPECT_EQ(tokens("(1.5 2)x").front().tag, XCOMPLEX);
  EXPECT_EQ(tokens("(1 2)", xprec()).front().tag, XCOMPLEX);
  EXPECT_EQ(tokens("(1 2)r", xprec()).front().tag, COMPLEX);
  EXPECT_EQ(tokens("(1 2x)").front().tag, XCOMPLEX);
  EXPECT_EQ(tokens("(1 2;").front().tag, COMPLEX);          // ";" closes like ")"
  EXPECT_EQ(tokens("(1\n 2\n)").front().tag, COMPLEX);      // across lines
  EXPECT_EQ(tokens("(1,5.2)", comma()).front().text, "(1,5. 2)");
  EXPECT_EQ(first_status("('a' 1)"), PS_BAD_COMPLEX);
  EXPECT_EQ(first_status("(5)"), PS_BAD_COMPLEX);
  EXPECT_EQ(first_status("(1 2 3)"), PS_BAD_COMPLEX);
  EXPECT_EQ(first_status("("), PS_BAD_COMPLEX);
}

TEST(Tokenizer, NamesStringsAndComments) {
  std::vector<Token> t = tokens("'abc'def");
  EXPECT_EQ(t[0].text, "'abc'");
  EXPECT_EQ(t[1].status, PS_UNKNOWN);   // def is no command
  EXPECT_EQ(tokens("'a b'").front().text, "'a b'");
  EXPECT_EQ(tokens("''").front().text, "''");
  EXPECT_EQ(tokens("'open\n2").front().text, "'open'");
  EXPECT_EQ(tokens("\"s t\"").front().text, "\"s t\"");
  EXPECT_EQ(tokens("@note").front().text, "@note @");
  EXPECT_EQ(tokens("@note@ 1")[1].text, "1");
}

TEST(Tokenizer, VariablesListsAndPrograms) {
  EXPECT_EQ(tokens(":x: 5").front().text, "x: 5");
  EXPECT_EQ(tokens(":x: 5").front().tag, VARIABLE);
  EXPECT_EQ(first_status(":x:"), PS_END_OF_BUFFER);
  EXPECT_EQ(first_status(":x 5"), PS_UNKNOWN);
  EXPECT_EQ(tokens("{1 2").front().text, "{ 1 2 }");
  EXPECT_EQ(tokens("{ 1 { 2 } }").front().text, "{ 1 { 2 } }");
  EXPECT_EQ(first_status("}"), PS_UNBALANCED);
  EXPECT_EQ(first_status("{ If }"), 35u);
  EXPECT_EQ(first_status("{ 1.5e }"), PS_BAD_REAL);
  EXPECT_EQ(tokens("<< 1 2 + >>").front().text, "<< 1 2 + >>");
  EXPECT_EQ(tokens("<< 1").front().text, "<< 1 >>");
  EXPECT_EQ(first_status(">>"), PS_UNBALANCED);
  EXPECT_EQ(first_status("<< If >>"), 12u);
}

TEST(Tokenizer, CommandWordsByNameAndAlias) {
  EXPECT_EQ(tokens("Swap").front().text, "Swap");
  EXPECT_EQ(tokens("swap").front().text, "Swap");
  EXPECT_EQ(first_status("SWAP"), PS_UNKNOWN);
  EXPECT_EQ(tokens("+").front().text, "+");
  EXPECT_EQ(tokens("add").front().text, "+");
  EXPECT_EQ(first_status("REALPUSH"), PS_UNKNOWN);
  EXPECT_EQ(first_status("foo"), PS_UNKNOWN);
  std::vector<Token> t = tokens("1 2 +");
  EXPECT_EQ(t[2].tag, INSTRUCTION);
  EXPECT_EQ(tokens("If").front().tag, STRUCTURE);
}

TEST(Tokenizer, DeepNestingEndsWithAClearError) {
  std::string deep(5000, '{');
  EXPECT_EQ(first_status(deep), PS_NESTING);
  std::string programs;
  for (int i = 0; i < 3000; ++i) programs += "<< ";
  EXPECT_EQ(first_status(programs), PS_NESTING);
  std::string vars;
  for (int i = 0; i < 3000; ++i) vars += ":v: ";
  EXPECT_EQ(first_status(vars + "1"), PS_NESTING);
  std::string ok(200, '{');
  EXPECT_EQ(tokens(ok).front().tag, LIST);
}

TEST(Tokenizer, VeryLongLinesOfNumbers) {
  std::string line;
  for (int i = 0; i < 20000; ++i) line += "1.5 ";
  Buffer buf;
  buf.set_text(line);
  DisplayFormat f;
  int count = 0;
  while (Operand *op = next(buf, f, nullptr)) {
    ++count;
    dispose(op, nullptr);
  }
  EXPECT_EQ(count, 20000);
  EXPECT_EQ(buf.status, PS_END_OF_BUFFER);
}
