// Extended precision end to end: korsh -e with extended reals and extended
// complex numbers as a user types them, the values printed to 34 or 40
// digits, and every arithmetic, function and conversion command taking
// extended arguments.
#include <gtest/gtest.h>

#include <cstdio>

#include "blackbox/harness.h"

namespace {

// One level of the stack listing: "%2d:" and the value right-aligned in 71 columns.
std::string level(int k, const std::string &value) {
  char label[16];
  int n = std::snprintf(label, sizeof label, "%2d:", k);
  return std::string(label) + std::string(71 - n - value.size(), ' ') + value + "\n";
}

std::string listing(const std::vector<std::string> &values) {
  std::string out;
  int depth = static_cast<int>(values.size());
  for (int i = 0; i < depth; ++i) out += level(depth - i, values[static_cast<size_t>(i)]);
  return out;
}

// The stack after the last program of the line (programs are separated by
// ";", and each prints its stack).
std::string last_listing(const std::string &out) {
  size_t p = out.rfind(";\n");
  return p == std::string::npos ? out : out.substr(p + 2);
}

// Expected digits: the exact values rounded to 128 bits, then to the digit
// counts of the display (34 significant digits when 28 do not read back),
// computed with MPFR (gmpy2) at 400 bits.
TEST(XprecBatch, ValuesPrintToFullPrecision) {
  bb::Sandbox box;
  struct Case { const char *expr; std::vector<std::string> stack; } cases[] = {
      // A literal is read in the mode of its program: Xprec first, then 2.
      {"Xprec; 2 Sqrt", {"1.414213562373095048801688724209698"}},
      {"Xprec; 40 StdN; 2 Sqrt", {"1.414213562373095048801688724209698078569"}},
      {"Xprec 2 Sqrt", {"1.414213562373095r"}},   // 2 was read as a double
      {"Xprec; Deg; 30 Sin", {".5"}},
      {"Xprec; Deg; 45 Tan 90 Cos 0.5 Asin", {"1", "0", "30"}},
      {"(1,2)x Exp -->Real", {"-1.131204383756813638431255255510795x", "2.471726672004818927616930893551665x"}},
      {"-8x 3 Xrt", {"-2x"}},
      {"2x 0.5 ^", {"1.414213562373095048801688724209698x"}},
      {"-4x Sqrt", {"(0, 2)x"}},
      {"Deg 1e30x 110x + Sin", {".5x"}},
      {"1.5x -->HMS 1.3x 0.45x HMS+", {"1.3x", "2.15x"}},
      {"Xprec; Pi", {"3.141592653589793238462643383279503"}},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(last_listing(r.out), listing(c.stack)) << c.expr;
  }
}

// No command of the arithmetic, function and conversion families waits for
// an extended kernel: each runs on an extended real and an extended complex
// number, or refuses the type with "Bad Argument Type" (the real-only
// functions on complex numbers, say).
TEST(XprecBatch, NoCommandIsUnderConstructionForExtendedArguments) {
  bb::Sandbox box;
  const char *unary[] = {"Neg", "Inv", "Sq", "Abs", "Sign", "Conj", "Sqrt", "Cbrt", "Exp", "Alog", "Ln", "Log",
                         "Expm1", "Ln1p", "Sqrt1pm1", "Sin", "Cos", "Tan", "Asin", "Acos", "Atan", "Sinh", "Cosh",
                         "Tanh", "Asinh", "Acosh", "Atanh", "Sinc", "Sincm1", "Ceil", "Floor", "Rint", "Re",
                         "Im", "Arg", "-->Polar", "-->Rect", "-->HMS", "HMS-->", "-->DP", "-->XP", "-->Real",
                         "-->Bint", "Not", "SL", "RR"};
  const char *binary[] = {"+", "-", "*", "/", "^", "Xrt", "HMS+", "HMS-", "-->CX", "And", "Or", "Xor",
                          "==", "!=", "<", "<=", ">", ">=", "Same"};
  int refused = 0;
  for (const char *angle : {"Rad", "Deg"}) {
    for (const char *arg : {"0.75x", "-2.5x", "(0.75,-0.5)x"}) {
      auto check = [&](const std::string &expr) {
        bb::Result r = box.korsh({"-e", expr});
        EXPECT_EQ(r.err.find("Under Construction"), std::string::npos) << expr << ": " << r.err;
        if (r.status != 0) {
          EXPECT_NE(r.err.find("Bad Argument Type"), std::string::npos) << expr << ": " << r.err;
          refused++;
        }
      };
      for (const char *f : unary) check(std::string(angle) + " " + arg + " " + f);
      for (const char *f : binary) check(std::string(angle) + " " + arg + " " + arg + " " + f);
    }
  }
  // Refused in each angle mode: the complex argument by 14 real-only unary
  // commands and by 10 binary ones (HMS+, HMS-, -->CX, And, Or, Xor and the
  // ordering comparisons); the two real arguments by -->Polar and -->Rect.
  EXPECT_EQ(refused, 2 * (14 + 10 + 2 * 2));
}

} // namespace
