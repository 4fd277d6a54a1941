// Arithmetic, comparison, logic, binary-integer and conversion commands:
// every command against every argument type, the promotions, and the edge
// cases users meet.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "kor/Interpreter.h"
#include "kor/Real.h"
#include "unit/engine_util.h"

using engine::Mode;

namespace {

// Literal text of one argument per type letter: r REAL, x XREAL, b BINARY,
// c COMPLEX, X XCOMPLEX, s STRING, n NAME, l LIST.
const std::map<char, std::string> LITERAL = {
    {'r', "0.5"}, {'x', "0.5x"}, {'b', "#5"}, {'c', "(0.5,0.25)"}, {'X', "(0.5,0.25)x"},
    {'s', "\"s\""}, {'n', "'n'"}, {'l', "{ 1 }"}};
const std::map<char, uint32_t> TAG = {{'r', OBJ::REAL},     {'x', OBJ::XREAL}, {'b', OBJ::BINARY},
                                      {'c', OBJ::COMPLEX},  {'X', OBJ::XCOMPLEX}, {'s', OBJ::STRING},
                                      {'n', OBJ::NAME},     {'l', OBJ::LIST}};

// What a command does with each argument type: the result's type letter, or
// absent when the type is refused.
struct Row {
  const char *cmd;
  int arity;
  std::map<char, char> result;
};

const std::vector<Row> &rows() {
  static const std::map<char, char> numeric = {{'r', 'r'}, {'x', 'x'}, {'b', 'b'}, {'c', 'c'}, {'X', 'X'}};
  static const std::map<char, char> analytic = {{'r', 'r'}, {'x', 'x'}, {'c', 'c'}, {'X', 'X'}};
  static const std::map<char, char> reals = {{'r', 'r'}, {'x', 'x'}};
  static const std::vector<Row> table = {
      {"+", 2, numeric}, {"-", 2, numeric}, {"*", 2, numeric}, {"/", 2, numeric},
      {"Neg", 1, analytic}, {"Inv", 1, analytic}, {"Sq", 1, analytic},
      {"Abs", 1, {{'r', 'r'}, {'x', 'x'}, {'c', 'r'}, {'X', 'x'}}},
      {"Sqrt", 1, analytic}, {"Ln", 1, analytic}, {"Log", 1, analytic}, {"Exp", 1, analytic},
      {"Alog", 1, analytic}, {"Sin", 1, analytic}, {"Cos", 1, analytic}, {"Tan", 1, analytic},
      {"Asin", 1, analytic}, {"Acos", 1, analytic}, {"Atan", 1, analytic}, {"Sinh", 1, analytic},
      {"Cosh", 1, analytic}, {"Tanh", 1, analytic}, {"Asinh", 1, analytic}, {"Atanh", 1, analytic},
      {"Acosh", 1, {{'r', 'c'}, {'x', 'X'}, {'c', 'c'}, {'X', 'X'}}},   // 0.5 is below its real domain
      {"Sign", 1, analytic}, {"Conj", 1, analytic}, {"Cbrt", 1, analytic},
      {"^", 2, analytic}, {"Xrt", 2, analytic},
      {"-->Rect", 1, {{'c', 'c'}, {'X', 'X'}}}, {"-->Polar", 1, {{'c', 'c'}, {'X', 'X'}}},
      {"-->DP", 1, {{'r', 'r'}, {'x', 'r'}, {'c', 'c'}, {'X', 'c'}}},
      {"-->XP", 1, {{'r', 'x'}, {'x', 'x'}, {'c', 'X'}, {'X', 'X'}}},
      {"Expm1", 1, reals}, {"Ln1p", 1, reals}, {"Sqrt1pm1", 1, reals}, {"Sinc", 1, reals},
      {"Sincm1", 1, reals}, {"Ceil", 1, reals}, {"Floor", 1, reals}, {"Rint", 1, reals},
      {"HMS-->", 1, reals}, {"-->HMS", 1, reals}, {"HMS+", 2, reals}, {"HMS-", 2, reals},
      {"Not", 1, {{'r', 'r'}, {'x', 'r'}, {'b', 'b'}}},
      {"And", 2, {{'r', 'r'}, {'x', 'r'}, {'b', 'b'}}}, {"Or", 2, {{'r', 'r'}, {'x', 'r'}, {'b', 'b'}}},
      {"Xor", 2, {{'r', 'r'}, {'x', 'r'}, {'b', 'b'}}},
      {"==", 2, {{'r', 'r'}, {'x', 'r'}, {'b', 'r'}, {'c', 'r'}, {'X', 'r'}, {'s', 'r'}}},
      {"<", 2, {{'r', 'r'}, {'x', 'r'}, {'b', 'r'}, {'s', 'r'}}},
      {"Re", 1, {{'r', 'r'}, {'x', 'x'}, {'c', 'r'}, {'X', 'x'}}},
      {"Im", 1, {{'r', 'r'}, {'x', 'x'}, {'c', 'r'}, {'X', 'x'}}},
      {"Arg", 1, {{'r', 'r'}, {'x', 'x'}, {'c', 'r'}, {'X', 'x'}}},
      {"SL", 1, {{'r', 'b'}, {'x', 'b'}, {'b', 'b'}}}, {"RR", 1, {{'r', 'b'}, {'x', 'b'}, {'b', 'b'}}},
      {"-->Bint", 1, {{'r', 'b'}, {'x', 'b'}, {'b', 'b'}}},
  };
  return table;
}

struct RunResult {
  int status;
  int err;
  std::vector<uint32_t> tags;   // deepest first
  std::vector<std::string> stack;
};

RunResult run_src(const std::string &src, Mode mode = Mode::Optimized) {
  engine::Session s(src, mode);
  RunResult r;
  r.status = s.start();
  r.err = r.status == EXEC::ERROR ? s.cx.err_ : 0;
  for (size_t k = s.cx.main.depth(); k >= 1; --k) r.tags.push_back(s.cx.main.level(k).tag);
  r.stack = s.stack();
  return r;
}

} // namespace

TEST(TypeMatrix, AllowedTypesGiveTheirResultTypeAndOthersAreRefusedUnchanged) {
  for (const Row &row : rows()) {
    for (const auto &[t, lit] : LITERAL) {
      std::string args = row.arity == 2 ? lit + " " + lit : lit;
      for (Mode m : engine::ALL_MODES) {
        RunResult r = run_src(args + " " + row.cmd, m);
        auto it = row.result.find(t);
        std::string what = std::string(row.cmd) + " on " + lit + " (" + engine::mode_name(m) + ")";
        if (it == row.result.end()) {
          EXPECT_EQ(r.err, KOR::ERR_BAD_TYPE) << what;
          EXPECT_EQ(r.tags.size(), static_cast<size_t>(row.arity)) << what;
          for (uint32_t tag : r.tags) EXPECT_EQ(tag, TAG.at(t)) << what;
        } else {
          EXPECT_EQ(r.status, EXEC::EXIT) << what << " err " << r.err;
          ASSERT_FALSE(r.tags.empty()) << what;
          EXPECT_EQ(r.tags.back(), TAG.at(it->second)) << what;
        }
      }
    }
  }
}

TEST(Promotion, ArithmeticNumericAndLogical) {
  struct Case { const char *src; std::vector<std::string> stack; int err = 0; };
  for (const Case &c : std::vector<Case>{
           {"1 #2 +", {"# 3_h"}},
           {"#2 1.5x +", {"# 3_h"}},
           {"(1,2) #2 +", {"(1, 2)", "# 2_h"}, KOR::ERR_BAD_TYPE},
           {"1 2x +", {"3x"}},
           {"(1,2) 1x +", {"(2, 2)x"}},
           {"1 (0,1) *", {"(0, 1)"}},
           {"#3 2 ==", {"#3_h", "2"}, KOR::ERR_BAD_TYPE},
           {"1 1x ==", {"1"}},
           {"#8 1 And", {"# 0_h"}},
           {"#9 1 And", {"# 1_h"}},
           {"0.5x #1 Or", {"# 1_h"}},
           {"\"b\" \"a\" >", {"1"}},
           {"\"a\" \"ab\" <", {"1"}},
           {"\"a\" 1 ==", {"\"a\"", "1"}, KOR::ERR_BAD_TYPE},
           {"1 1 Same 1 1x Same 1 #1 Same \"a\" \"a\" Same NaN NaN Same", {"1", "0", "0", "1", "0"}},
       }) {
    RunResult r = run_src(c.src);
    EXPECT_EQ(r.err, c.err) << c.src;
    if (c.err == 0) {
      EXPECT_EQ(r.stack, c.stack) << c.src;
    }
  }
}

TEST(EdgeCases, ValuesFromTheReference) {
  struct Case { const char *src; std::vector<std::string> stack; int err = 0; };
  for (const Case &c : std::vector<Case>{
           {"8 StoWS MaxBint", {"# FF_h"}},
           {"8 StoWS #FF 1 +", {"# 0_h"}},
           {"8 StoWS #80 RL", {"# 1_h"}},
           {"8 StoWS #80 ASR", {"# C0_h"}},
           {"8 StoWS #80 SR", {"# 40_h"}},
           {"8 StoWS #81 RLB", {"# 81_h"}},
           {"16 StoWS #1234 RLB #1234 SLB #1234 SRB", {"# 3412_h", "# 3400_h", "# 12_h"}},
           {"0 StoWS RclWS", {"1"}},
           {"100 StoWS RclWS", {"64"}},
           {"-4 Sqrt", {"(0, 2)"}},
           {"-8 3 Xrt", {"-2"}},
           {"27 3 Xrt 32 5 Xrt", {"3", "2"}},
           {"NaN NaN ==", {"0"}},
           {"NaN NaN !=", {"1"}},
           {"(1,2) (1,2) <", {"(1, 2)", "(1, 2)"}, KOR::ERR_BAD_TYPE},
           {"NaN Not 0 NaN And 0 NaN Or", {"0", "0", "1"}},
           {"(3,4) Abs", {"5"}},
           {"NaN Sign 0 Sign -7 Sign", {"NaN", "0", "-1"}},
           {"-1 Ln", {"(0, 3.1415926535897931)"}},
           {"2 Acosh 0 Acosh", {"1.3169578969248166", "(0, 1.5707963267948966)"}},
           {"-1e-320 -->Bint NaN -->Bint 1e30 -->Bint 3.9 -->Bint", {"# 0_h", "# 0_h", "# FFFFFFFFFFFFFFFF_h", "# 3_h"}},
           {"#7 #0 /", {"# 7_h", "# 0_h"}, KOR::ERR_ARITHMETIC},
           {"(1,2) -->Real", {"1", "2"}},
           {"#10 -->Real", {"16"}},
           {"3 4 -->CX", {"(3, 4)"}},
           {"3 4x -->CX", {"(3, 4)x"}},
           {"(1,1) -->Polar", {"(1.4142135623730951, 0.78539816339744828)"}},
           {"Deg (1,1) -->Polar", {"(1.4142135623730951, 45)"}},
           {"Deg (2,90) -->Rect", {"(0, 2)"}},
           {"Deg 30 Sin 90 Cos 45 Tan 1 Asin", {"0.5", "0", "1", "90"}},
           {"1.5 -->HMS 1.3 HMS--> 1.3 0.45 HMS+ 1.3 0.45 HMS-",
            {"1.3", "1.5", "2.1499999999999999", "0.45000000000000001"}},
           {"0.5959 0.0001 HMS+ 0.9999999999999 -->HMS", {"1", "1"}},
           {"0 Sinc 0 Sincm1 0.5 Sincm1", {"1", "0", "-0.041148922791593996"}},
           {"2.5 Rint 3.5 Rint -2.5 Floor -2.5 Ceil", {"2", "4", "-3", "-2"}},
           {"(1,2) Conj 5 Conj", {"(1, -2)", "5"}},
           {"(3,4) Sign", {"(0.59999999999999998, 0.80000000000000004)"}},
       }) {
    for (Mode m : engine::ALL_MODES) {
      RunResult r = run_src(c.src, m);
      EXPECT_EQ(r.err, c.err) << c.src << " (" << engine::mode_name(m) << ")";
      EXPECT_EQ(r.stack, c.stack) << c.src << " (" << engine::mode_name(m) << ")";
    }
  }
}

TEST(Charges, ExtendedAndComplexOperationsCostMore) {
  engine::Session a("1x 1x + 1x + 1x +", Mode::Operands), b("(1,1) (1,1) +", Mode::Operands),
      c("(1,1)x (1,1)x +", Mode::Operands);
  a.start();
  b.start();
  c.start();
  EXPECT_GE(a.cx.ICOUNT, 90u);
  EXPECT_GE(b.cx.ICOUNT, 10u);
  EXPECT_GE(c.cx.ICOUNT, 100u);
}

// Double complex kernels against values computed to 40 digits (mpmath).  On
// the branch cuts the sign of a zero imaginary part picks the side, as in C99:
// Asin(2 + 0i) and Atanh(2 + 0i) have positive imaginary parts.
TEST(ComplexKernels, AgreeWithHighPrecisionValues) {
  struct Case { const char *cmd; double re, im, wantRe, wantIm; } cases[] = {
      {"Exp", 1.0, 2.0, -1.1312043837568136, 2.4717266720048188},
      {"Ln", -2.0, 0.5, 0.72345949146816273, 2.8966139904629291},
      {"Sqrt", -3.0, 4.0, 1.0, 2.0},
      {"Sin", 1.0, 1.0, 1.2984575814159773, 0.63496391478473613},
      {"Cos", 1.0, 1.0, 0.83373002513114905, -0.98889770576286510},
      {"Tan", 0.5, -0.5, 0.40389645531602574, -0.56408314126749850},
      {"Asin", 2.0, 0.0, 1.5707963267948966, 1.3169578969248166},
      {"Atanh", 2.0, 0.0, 0.54930614433405485, 1.5707963267948966},
      {"Asinh", 0.0, 2.0, 1.3169578969248166, 1.5707963267948966},
      {"Log", 0.0, 10.0, 1.0, 0.68218817692092067},
  };
  for (const Case &c : cases) {
    char src[128];
    std::snprintf(src, sizeof src, "(%.17g,%.17g) %s", c.re, c.im, c.cmd);
    engine::Session s(src);
    ASSERT_EQ(s.start(), EXEC::EXIT) << src;
    const KOR::Entry &e = s.cx.main.level(1);
    ASSERT_EQ(e.tag, OBJ::COMPLEX) << src;
    auto *z = static_cast<OBJ::Complex *>(e.v.p);
    auto ulps = [](double a, double b) { return std::fabs(a - b) / std::max(std::ldexp(1.0, -1074), std::fabs(b) * 0x1p-52); };
    EXPECT_LE(ulps(z->re, c.wantRe), 4.0) << src << " re " << z->re;
    EXPECT_LE(ulps(z->im, c.wantIm), 4.0) << src << " im " << z->im;
  }
}
