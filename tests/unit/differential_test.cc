// Generated programs run three ways (optimized, compiled without folds, and
// operand by operand) must leave identical stacks, statuses and errors.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "kor/ExecStatus.h"
#include "unit/engine_util.h"

using engine::Mode;

namespace {

// Random programs from a small grammar: straight-line arithmetic and stack
// words (LastArg only straight after the word whose arguments it reads: the
// last-argument stack is deliberately not kept across structures and calls), If/Case/Switch, counted and conditional loops with Break and
// Continue, Try around errors, Throw, and nested program literals.
class Generator {
public:
  explicit Generator(uint32_t seed) : rng_(seed) {}

  std::string program(int depth = 0) {
    std::string out;
    int n = pick(1, 6);
    for (int i = 0; i < n; ++i) out += statement(depth) + " ";
    return out;
  }

private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  std::string number() {
    static const char *const values[] = {"0", "1", "2", "3", "-1", "0.5", "2.5", "10", "NaN",
                                         "1x", "#3", "#FF_h", "(1,2)", "'a'", "\"s\""};
    return values[pick(0, 14)];
  }

  std::string word() {
    static const char *const words[] = {"+", "-", "*", "/", "Dup", "Drop", "Swap", "Over", "Rot",
                                        "Rotd", "Neg", "Abs", "Sqrt", "Inv", "Sq", "==", "<",
                                        "Not", "And", "Or", "Depth", "Sq LastArg", "2 Pick", "2 Roll",
                                        "2 DropN", "1 DupN", "Clear", "Sin", "Exp", "Ln", "Floor",
                                        "Sign", "Dup2", "Drop2", "2 *", "3 +", "10 Swap -",
                                        "4 Swap /", "2 CheckArg", "1 SaveArg", "Swap -", "Swap /"};
    return words[pick(0, 41)];
  }

  std::string statement(int depth) {
    int kind = depth > 2 ? pick(0, 1) : pick(0, 12);
    switch (kind) {
    case 0: return number();
    case 1: return word();
    case 2: return "If " + number() + " Then " + program(depth + 1) + " Else " + program(depth + 1) + " End";
    case 3: return "If Dup 1 < Then " + program(depth + 1) + " End";
    case 4: {
      std::string a = std::to_string(pick(0, 3)), b = std::to_string(pick(0, 4));
      return a + " " + b + " Start " + program(depth + 1) + " Next";
    }
    case 5: return std::to_string(pick(0, 4)) + " 0 Start " + program(depth + 1) + " -1 Step";
    case 6: return "0 While Dup " + std::to_string(pick(0, 4)) + " < Do 1 + " + program(depth + 1) +
                   " If Depth 9 > Then Break End End";
    case 7: return "Try " + program(depth + 1) + " Catch 'caught' End";
    case 8: return "1 3 Start If Dup 2 == Then Continue End " + program(depth + 1) + " Next";
    case 9: return "<< " + program(depth + 1) + " >> Eval";
    case 10: return "Case Dup 0 == Then 'zero' End Dup 1 == Then 'one' End Default 'other' End End";
    case 11: return "0 Do 1 + " + program(depth + 1) + " If Depth 9 > Then Break End While Dup " +
                    std::to_string(pick(0, 4)) + " < End";
    default: return "Dup Switch 1 Then 'one' End 2 Then 'two' End Default 'many' End End";
    }
  }

  std::mt19937 rng_;
};

} // namespace

TEST(Differential, GeneratedProgramsRunTheSameThreeWays) {
  int count = std::getenv("KOR_TEST_SCALE") ? 300 : 1500;
  int first = std::getenv("KOR_DIFF_FIRST") ? std::atoi(std::getenv("KOR_DIFF_FIRST")) : 1;
  for (int seed = first; seed < first + count; ++seed) {
    Generator g(static_cast<uint32_t>(seed));
    std::string src = g.program();
    engine::Outcome first = engine::run(src, Mode::Optimized, 0, true);
    if (first.status == EXEC::CANCEL) continue;   // ran past its budget: nothing to compare
    for (Mode m : {Mode::NoFolds, Mode::Operands}) {
      engine::Outcome o = engine::run(src, m, 0, true);
      EXPECT_EQ(o.status, first.status) << src << " (" << engine::mode_name(m) << ")";
      EXPECT_EQ(o.err, first.err) << src << " (" << engine::mode_name(m) << ")";
      EXPECT_EQ(o.stack, first.stack) << src << " (" << engine::mode_name(m) << ")";
    }
    if (HasFailure()) {
      ADD_FAILURE() << "first failing seed " << seed << ": " << src;
      return;
    }
  }
}
