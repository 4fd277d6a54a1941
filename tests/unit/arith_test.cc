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
// The two-argument commands take values above 1, so that a real converted to
// a binary integer is not a zero divisor.
const std::map<char, std::string> PAIR_LITERAL = {
    {'r', "2.5"}, {'x', "2.5x"}, {'b', "#5"}, {'c', "(2.5,0.5)"}, {'X', "(2.5,0.5)x"},
    {'s', "\"s\""}, {'n', "'n'"}, {'l', "{ 1 }"}};
const std::map<char, uint32_t> TAG = {{'r', OBJ::REAL},     {'x', OBJ::XREAL}, {'b', OBJ::BINARY},
                                      {'c', OBJ::COMPLEX},  {'X', OBJ::XCOMPLEX}, {'s', OBJ::STRING},
                                      {'n', OBJ::NAME},     {'l', OBJ::LIST}};

// What a one-argument command does with each argument type: the type
// letters of the levels it leaves (deepest first), or absent when the type
// is refused.
struct Row {
  const char *cmd;
  std::map<char, std::string> result;
};

const std::vector<Row> &unary_rows() {
  static const std::map<char, std::string> analytic = {{'r', "r"}, {'x', "x"}, {'c', "c"}, {'X', "X"}};
  static const std::map<char, std::string> reals = {{'r', "r"}, {'x', "x"}};
  // Shifts and rotations: reals are converted to binary integers first.
  static const std::map<char, std::string> bits = {{'r', "b"}, {'x', "b"}, {'b', "b"}};
  static const std::map<char, std::string> parts = {{'r', "r"}, {'x', "x"}, {'c', "r"}, {'X', "x"}};
  static const std::vector<Row> table = {
      {"Neg", analytic}, {"Inv", analytic}, {"Sq", analytic}, {"Abs", parts},
      {"Sqrt", analytic}, {"Ln", analytic}, {"Log", analytic}, {"Exp", analytic},
      {"Alog", analytic}, {"Sin", analytic}, {"Cos", analytic}, {"Tan", analytic},
      {"Asin", analytic}, {"Acos", analytic}, {"Atan", analytic}, {"Sinh", analytic},
      {"Cosh", analytic}, {"Tanh", analytic}, {"Asinh", analytic}, {"Atanh", analytic},
      {"Acosh", {{'r', "c"}, {'x', "X"}, {'c', "c"}, {'X', "X"}}},   // 0.5 is below its real domain
      {"Sign", analytic}, {"Conj", analytic}, {"Cbrt", analytic},
      {"-->Rect", {{'c', "c"}, {'X', "X"}}}, {"-->Polar", {{'c', "c"}, {'X', "X"}}},
      {"-->DP", {{'r', "r"}, {'x', "r"}, {'c', "c"}, {'X', "c"}}},
      {"-->XP", {{'r', "x"}, {'x', "x"}, {'c', "X"}, {'X', "X"}}},
      {"Expm1", reals}, {"Ln1p", reals}, {"Sqrt1pm1", reals}, {"Sinc", reals},
      {"Sincm1", reals}, {"Ceil", reals}, {"Floor", reals}, {"Rint", reals}, {"Fact", reals},
      {"HMS-->", reals}, {"-->HMS", reals},
      {"Not", {{'r', "r"}, {'x', "r"}, {'b', "b"}}},
      {"Re", parts}, {"Im", parts}, {"Arg", parts},
      {"-->Real", {{'r', "r"}, {'x', "x"}, {'b', "r"}, {'c', "rr"}, {'X', "xx"}}},
      {"SL", bits}, {"SR", bits}, {"ASR", bits}, {"SLB", bits}, {"SRB", bits},
      {"RL", bits}, {"RR", bits}, {"RLB", bits}, {"RRB", bits},
      {"-->Bint", bits},
  };
  return table;
}

bool is_numeric(char t) { return t == 'r' || t == 'x' || t == 'b' || t == 'c' || t == 'X'; }
bool is_float(char t) { return t == 'r' || t == 'x' || t == 'c' || t == 'X'; }
bool is_real(char t) { return t == 'r' || t == 'x'; }

// The common type of two floating types: extended when either is extended,
// complex when either is complex.
char common(char y, char x) {
  bool extended = y == 'x' || y == 'X' || x == 'x' || x == 'X';
  bool complex = y == 'c' || y == 'X' || x == 'c' || x == 'X';
  return complex ? (extended ? 'X' : 'c') : (extended ? 'x' : 'r');
}

// The rules by which the two-argument commands accept a pair of types.
enum class Rule { ARITHMETIC, POWER, EQUALITY, ORDER, LOGICAL, HOURS, TO_COMPLEX, LITERAL_EQUALITY };

// The result type of Y X cmd, or 0 when the pair is refused.
char pair_result(Rule rule, char y, char x) {
  switch (rule) {
  case Rule::ARITHMETIC:   // binary integers absorb reals, never complex numbers
    if (!is_numeric(y) || !is_numeric(x)) return 0;
    if (y == 'b' || x == 'b') return is_real(y) || is_real(x) || y == x ? 'b' : 0;
    return common(y, x);
  case Rule::POWER:        // no binary kernel, and binary integers are not promoted
    return is_float(y) && is_float(x) ? common(y, x) : 0;
  case Rule::EQUALITY:
    if (y == 's' || x == 's') return y == x ? 'r' : 0;
    if (y == 'b' || x == 'b') return y == x ? 'r' : 0;
    return is_float(y) && is_float(x) ? 'r' : 0;
  case Rule::ORDER: {       // complex numbers have no order
    char t = pair_result(Rule::EQUALITY, y, x);
    bool complex = y == 'c' || y == 'X' || x == 'c' || x == 'X';
    return complex ? 0 : t;
  }
  case Rule::LOGICAL: {
    auto ok = [](char t) { return is_real(t) || t == 'b'; };
    if (!ok(y) || !ok(x)) return 0;
    return y == 'b' || x == 'b' ? 'b' : 'r';
  }
  case Rule::HOURS: return is_real(y) && y == x ? y : 0;
  case Rule::TO_COMPLEX:
    if (!is_real(y) || !is_real(x)) return 0;
    return y == 'r' && x == 'r' ? 'c' : 'X';
  case Rule::LITERAL_EQUALITY: return 'r';
  }
  return 0;
}

struct PairRow {
  const char *cmd;
  Rule rule;
};

const PairRow PAIR_ROWS[] = {
    {"+", Rule::ARITHMETIC},  {"-", Rule::ARITHMETIC},  {"*", Rule::ARITHMETIC},   {"/", Rule::ARITHMETIC},
    {"^", Rule::POWER},       {"Xrt", Rule::POWER},     {"==", Rule::EQUALITY},    {"!=", Rule::EQUALITY},
    {"<", Rule::ORDER},       {"<=", Rule::ORDER},      {">", Rule::ORDER},        {">=", Rule::ORDER},
    {"And", Rule::LOGICAL},   {"Or", Rule::LOGICAL},    {"Xor", Rule::LOGICAL},    {"HMS+", Rule::HOURS},
    {"HMS-", Rule::HOURS},    {"-->CX", Rule::TO_COMPLEX}, {"Same", Rule::LITERAL_EQUALITY},
};

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

// Runs "args cmd" in every mode: an allowed command leaves levels of the
// expected types, a refused one error 2 and the arguments as they were.
void check_command(const std::string &args, const std::string &cmd, const std::string *want) {
  RunResult before = run_src(args);
  ASSERT_EQ(before.status, EXEC::EXIT) << args;
  for (Mode m : engine::ALL_MODES) {
    RunResult r = run_src(args + " " + cmd, m);
    std::string what = cmd + " on " + args + " (" + engine::mode_name(m) + ")";
    if (!want) {
      EXPECT_EQ(r.err, KOR::ERR_BAD_TYPE) << what;
      EXPECT_EQ(r.tags, before.tags) << what;
      EXPECT_EQ(r.stack, before.stack) << what;
      continue;
    }
    EXPECT_EQ(r.status, EXEC::EXIT) << what << " err " << r.err;
    std::vector<uint32_t> tags;
    for (char t : *want) tags.push_back(TAG.at(t));
    EXPECT_EQ(r.tags, tags) << what;
  }
}

} // namespace

TEST(TypeMatrix, OneArgumentCommandsOnEveryType) {
  for (const Row &row : unary_rows()) {
    for (const auto &[t, lit] : LITERAL) {
      auto it = row.result.find(t);
      check_command(lit, row.cmd, it == row.result.end() ? nullptr : &it->second);
    }
  }
}

// Every pair of argument types, in both orders: the promotions decide the
// result's type or the refusal.
TEST(TypeMatrix, TwoArgumentCommandsOnEveryPairOfTypes) {
  for (const PairRow &row : PAIR_ROWS) {
    for (const auto &[y, ylit] : PAIR_LITERAL) {
      for (const auto &[x, xlit] : PAIR_LITERAL) {
        char t = pair_result(row.rule, y, x);
        std::string want(1, t);
        check_command(ylit + " " + xlit, row.cmd, t ? &want : nullptr);
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
