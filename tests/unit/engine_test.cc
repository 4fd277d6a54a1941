// The engine: programs give the same stacks, statuses and errors whether they
// run optimized, compiled without folds, or operand by operand.
#include <gtest/gtest.h>

#include "kor/HardLink.h"
#include "kor/Interpreter.h"
#include "kor/Kernel.h"
#include "kor/Sequence.h"
#include "unit/engine_util.h"

using engine::Mode;
using engine::Outcome;

namespace {

const int NORMAL_END = EXEC::EXIT;   // a program that runs to its end

struct Case {
  const char *src;
  std::vector<std::string> stack;   // deepest first
  int status = NORMAL_END;
  int err = 0;
};

void expect_everywhere(const Case &c) {
  Outcome first;
  for (Mode m : engine::ALL_MODES) {
    Outcome o = engine::run(c.src, m);
    EXPECT_EQ(o.stack, c.stack) << c.src << " (" << engine::mode_name(m) << ") " << engine::describe(o);
    EXPECT_EQ(o.status, c.status) << c.src << " (" << engine::mode_name(m) << ")";
    EXPECT_EQ(o.err, c.err) << c.src << " (" << engine::mode_name(m) << ")";
    if (m == Mode::Optimized) first = o;
    else EXPECT_EQ(o, first) << c.src << " differs in " << engine::mode_name(m);
  }
}

} // namespace

TEST(Engine, ArithmeticAndPushes) {
  for (const Case &c : std::vector<Case>{
           {"1 2 +", {"3"}},
           {"", {}},
           {"1 2 3 4 5", {"1", "2", "3", "4", "5"}},
           {"7 2 - 3 * 2 /", {"7.5"}},
           {"5 10 Swap -", {"5"}},
           {"4 10 Swap /", {"2.5"}},
           {"2 3 Swap -", {"1"}},
           {"1 Sqrt -0 Sqrt NaN Sqrt 2.25 Sqrt Sqrt", {"1", "-0", "NaN", "1.2247448713915889"}},
           // A library function in the middle of values held in registers
           // leaves the values below its argument where they were.
           {"1 2 3 0 Exp 4 Ln 0 Sin", {"1", "2", "3", "1", "1.3862943611198906", "0"}},
           {"1 2 3 4 0 Cos + + + +", {"11"}},
           {"Deg 5 6 7 30 Sin 90 Cos", {"5", "6", "7", "0.5", "0"}},
           {"1 2 == 2 2 == 1 2 < NaN NaN == NaN NaN !=", {"0", "1", "1", "0", "1"}},
           {"0 Not NaN Not 0 NaN And 0 NaN Or", {"1", "0", "0", "1"}},
           {"-7 Sign 0 Sign 3 Abs -3 Neg", {"-1", "0", "3", "3"}},
           {"Pi E True False", {"3.1415926535897931", "2.7182818284590451", "1", "0"}},
           {"#FF_h 1.5", {"# FF_h", "1.5"}},
           {"'a' \"s\" 1", {"'a'", "\"s\"", "1"}},
       })
    expect_everywhere(c);
}

TEST(Engine, ManyValuesSpillAndReadBackInOrder) {
  std::string src;
  std::vector<std::string> expect;
  for (int i = 1; i <= 40; ++i) {
    src += std::to_string(i) + " ";
    expect.push_back(std::to_string(i));
  }
  expect_everywhere({src.c_str(), expect});
  std::vector<std::string> summed(expect.begin(), expect.end() - 5);
  summed.push_back("190");   // 36 + 37 + 38 + 39 + 40
  std::string sum = src + " + + + +";
  expect_everywhere({sum.c_str(), summed});
}

TEST(Engine, StackCommands) {
  for (const Case &c : std::vector<Case>{
           {"1 2 3 Rot", {"2", "3", "1"}},
           {"1 2 3 Rotd", {"3", "1", "2"}},
           {"10 20 30 2 Pick", {"10", "20", "30", "20"}},
           {"10 20 30 3 Roll", {"20", "30", "10"}},
           {"10 20 30 3 Rolld", {"30", "10", "20"}},
           {"1 2 3 2.9 DropN", {"1"}},
           {"1 2 3 -0.5 DropN", {"1", "2", "3"}},
           {"1 2 Over Dup2", {"1", "2", "1", "2", "1"}},
           {"1 2 3 Depth", {"1", "2", "3", "3"}},
           {"1 2 3 Clear", {}},
           {"1 2 3 2 DupN", {"1", "2", "3", "2", "3"}},
           {"'x' Dup", {"'x'", "'x'"}},
           {"4 2 * LastArg", {"8", "4", "2"}},
           {"1 2 + 3 * LastArg", {"9", "3", "3"}},
           {"1 0 Pick", {"1", "0"}, EXEC::ERROR, KOR::ERR_BAD_VALUE},
           {"1 5 Pick", {"1", "5"}, EXEC::ERROR, KOR::ERR_TOO_FEW_ARGS},
           {"DropN", {}, EXEC::ERROR, KOR::ERR_TOO_FEW_ARGS},
           {"Drop", {}, EXEC::ERROR, KOR::ERR_TOO_FEW_ARGS},
           {"1 2 3 4 5 4 CheckArg", {"1", "2", "3", "4", "5"}},
           {"1 2 3 4 5 CheckArg", {"1", "2", "3", "4", "5"}, EXEC::ERROR, KOR::ERR_TOO_FEW_ARGS},
           {"1 2 3 4 5 5 CheckArg", {"1", "2", "3", "4", "5"}},
           {"1 -1 CheckArg", {"1", "-1"}, EXEC::ERROR, KOR::ERR_BAD_VALUE},
           {"1 2 3 2 SaveArg LastArg", {"1", "2", "3", "2", "3"}},
       })
    expect_everywhere(c);
}

TEST(Engine, Conditionals) {
  for (const Case &c : std::vector<Case>{
           {"If 1 Then 2 Else 3 End", {"2"}},
           {"If 0 Then 2 Else 3 End", {"3"}},
           {"If NaN Then 2 Else 3 End", {"2"}},
           {"If 0 Then 2 End 4", {"4"}},
           {"If #0 Then 2 Else 3 End", {"3"}},
           {"If 'a' Then 2 End", {"'a'"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"If 1 Then If 0 Then 'a' Else 'b' End Else 'c' End", {"'b'"}},
           {"Case 0 Then 'a' End 1 Then 'b' End Default 'c' End End", {"'b'"}},
           {"Case 0 Then 'a' End 0 Then 'b' End Default 'c' End End", {"'c'"}},
           {"Case 0 Then 'a' End 9 End", {"9"}},
           {"2 Switch 1 Then 'one' End 2 Then 'two' End Default 'other' End End", {"'two'"}},
           {"5 Switch 1 Then 'one' End 2 Then 'two' End Default 'other' End End", {"'other'"}},
           {"5 Switch 1 Then 'one' End End 7", {"7"}},
           {"'b' Switch 'a' Then 1 End 'b' Then 2 End End", {"2"}},
       })
    expect_everywhere(c);
}

TEST(Engine, Loops) {
  for (const Case &c : std::vector<Case>{
           {"0 1 10 Start 1 + Next", {"10"}},
           {"0 10 1 Start 1 + Next", {"0"}},
           {"0 1 1 Start 1 + Next", {"1"}},
           {"0 10 1 Start 1 + -1 Step", {"10"}},
           {"0 5 1 Start 1 + 1 Step", {"1"}},
           {"0 1 2 Start 1 + 0.5 Step", {"3"}},
           {"0 1 2 3 + Start 1 + Next", {"5"}},
           {"0 1 5 Start 1 + 2 1 - Step", {"5"}},
           {"0 While Dup 5 < Do 1 + End", {"5"}},
           {"0 While 0 Do 1 + End", {"0"}},
           {"0 Do 1 + While Dup 5 < End", {"5"}},
           {"0 Do 1 + While 0 End", {"1"}},
           {"0 1 100 Start 1 + If Dup 5 == Then Break End Next", {"5"}},
           {"0 1 10 Start If Dup 3 >= Then Continue End 1 + Next", {"3"}},
           {"0 While 1 Do 1 + If Dup 7 == Then Break End End", {"7"}},
           {"0 Do 1 + If Dup 3 < Then Continue End 'x' Drop While Dup 6 < End", {"6"}},
           {"0 1 3 Start 1 3 Start 1 + Next Next", {"9"}},
           {"1 2 3 4 5 1 3 Start Drop Next", {"1", "2"}},
           {"1 1 3 Start Drop Next", {}, EXEC::ERROR, KOR::ERR_TOO_FEW_ARGS},
           {"'a' 1 Start 1 Next", {"'a'", "1"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
       })
    expect_everywhere(c);
}

TEST(Engine, ErrorsTryAndBlockEnds) {
  for (const Case &c : std::vector<Case>{
           {"Try 1 0 Drop Drop Drop Catch 'caught' End", {"'caught'"}},
           {"Try 1 Catch 2 Else 3 End", {"1", "3"}},
           {"Try 'oops' Throw Catch 'c' End", {"'c'"}},
           {"Try Try Drop Catch 'inner' End Catch 'outer' End", {"'inner'"}},
           {"Try Try Drop Catch Drop End Catch 'outer' End", {"'outer'"}},
           {"0 1 5 Start Try 1 + If Dup 3 == Then 'x' Throw End Catch 'c' Drop End Next", {"5"}},
           {"1 'a' +", {"1", "'a'"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"'oops' Throw 2", {}, EXEC::ERROR, KOR::ERR_USER_EXCEPTION},
           {"1 Throw", {"1"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"1 Abort 2", {"1"}, EXEC::CANCEL},
           {"1 Return 2", {"1"}},
           {"0 1 5 Start 1 + Return Next 'x'", {"1"}},
           {"1 Stop 2", {"1"}, EXEC::HALT},
       })
    expect_everywhere(c);
}

TEST(Engine, ProgramsAsSubroutines) {
  for (const Case &c : std::vector<Case>{
           {"<< 1 2 + >> Eval", {"3"}},
           {"<< 1 Return 2 >> Eval 3", {"1", "3"}},
           {"<< 0 1 4 Start 1 + Next >> Eval 10", {"4", "10"}},
           {"<< << 2 >> Eval 3 >> Eval", {"2", "3"}},
           {"Try << Drop >> Eval Catch 'c' End", {"'c'"}},
           {"1 Eval #2 Eval", {"1", "# 2_h"}},
           {"<< 1 2 >>", {"<< 1 2 >>"}},
           {"0 1 3 Start << 1 + >> Eval Next", {"3"}},
       })
    expect_everywhere(c);
}

TEST(Engine, ErrorsNameTheFailingCommand) {
  for (Mode m : engine::ALL_MODES) {
    Outcome o = engine::run("1 'a' *", m);
    EXPECT_EQ(o.failed, m == Mode::Operands ? "*" : "*") << engine::mode_name(m);
    o = engine::run("'a' 2 *", m);
    EXPECT_EQ(o.failed, "*") << engine::mode_name(m) << " (folded to REALMUL)";
    o = engine::run("'a' 10 Swap - Drop", m);   // folded only when something consumes it
    EXPECT_EQ(o.failed, m == Mode::Optimized ? "Swap" : "-") << engine::mode_name(m);
  }
}

// A program evaluated from the stack lends its link to the call frame, which
// gives it back on return: after four calls the literal in the command line
// and the copy on the stack hold the only two links.
TEST(Engine, EvalOfAProgramKeepsItsLinkCount) {
  for (Mode m : engine::ALL_MODES) {
    engine::Session s("<< 1 + >> 5 1 3 Start Over Eval Next Over Eval", m);
    ASSERT_EQ(s.start(), EXEC::EXIT) << engine::mode_name(m);
    EXPECT_EQ(s.stack(), (std::vector<std::string>{"<< 1 + >>", "9"})) << engine::mode_name(m);
    const auto *prog = static_cast<const OBJ::HardLink *>(s.cx.main.level(2).v.p);
    EXPECT_EQ(prog->links(), 2u) << engine::mode_name(m);
  }
}

// Eval may take or leave any number of levels, so a fold after it must not
// count on the levels that were there before: a short stack fails as the
// unfolded words do, with the constant left on the stack.
TEST(Engine, NothingIsKnownAboutTheStackAfterEval) {
  for (Mode m : engine::ALL_MODES) {
    Outcome o = engine::run("1 << Clear >> Eval 10 /", m);
    EXPECT_EQ(o.status, EXEC::ERROR) << engine::mode_name(m);
    EXPECT_EQ(o.failed, "/") << engine::mode_name(m);
    EXPECT_EQ(o.stack, std::vector<std::string>{"10"}) << engine::mode_name(m);
    o = engine::run("1 2 << Drop2 >> Eval 5 Swap - 3 *", m);
    EXPECT_EQ(o.failed, "Swap") << engine::mode_name(m);
    EXPECT_EQ(o.stack, std::vector<std::string>{"5"}) << engine::mode_name(m);
  }
}

// A loop pass may begin lower than the loop did: after a Continue, or after
// a body that consumes levels although a Break left at a low depth.  The
// body is then compiled with its checks inside, and a short stack fails as
// the unfolded words do, with the constant left on the stack.
TEST(Engine, LoopsThatBreakOrContinueLowGetTheirChecksInside) {
  struct Short {
    const char *src, *failed;
    std::vector<std::string> stack;
  };
  for (const Short &c : std::vector<Short>{
           {"-1 0 Do 1 + 1 Drop2 3 + If Depth 9 > Then Break End While Dup 3 < End", "+", {"3"}},
           {"5 1 3 Start 10 Swap - Drop If Depth 0 == Then Continue End 8 Next", "Swap", {"10"}},
       }) {
    for (Mode m : engine::ALL_MODES) {
      Outcome o = engine::run(c.src, m);
      EXPECT_EQ(o.status, EXEC::ERROR) << c.src << ", " << engine::mode_name(m);
      EXPECT_EQ(o.failed, c.failed) << c.src << ", " << engine::mode_name(m);
      EXPECT_EQ(o.stack, c.stack) << c.src << ", " << engine::mode_name(m);
    }
  }
}

TEST(Engine, StopContinueAtTimesliceBoundariesGivesTheSameResult) {
  const char *programs[] = {
      "0 1 700000 Start 1 + Next",
      "0 1 300000 Start 1 2 + Drop 1 + Next",
      "0 While Dup 250000 < Do 1 + End",
      "0 1 2 3 + Drop Start 0 1 100000 Start 1 + Next Drop Next",
      // Register-counter loops inside each other, and around library calls
      // and handlers: the counter must survive every timeslice.
      "0 1 3 Start 1 120000 Start 1 + Next Next",
      "0 1 150000 Start 0 Sin + 1 + Depth Drop Next",
      "0 Do 1 + While Dup 200000 < End",
      "0 While Dup 20000 < Do 0 Do 1 + While Dup 5 < End + End",
  };
  for (const char *src : programs) {
    for (Mode m : engine::ALL_MODES) {
      Outcome plain = engine::run(src, m);
      for (int stops : {1, 2, 5}) {
        Outcome stopped = engine::run(src, m, stops);
        EXPECT_EQ(stopped, plain) << src << " with " << stops << " stops, " << engine::mode_name(m);
      }
    }
  }
}

TEST(Engine, InterruptCancelsAtTheNextTimeslice) {
  engine::Session s("0 While 1 Do 1 + End");
  KOR::kernel().interrupt = KOR::SIG_KILL;
  EXPECT_EQ(s.start(), EXEC::CANCEL);
  EXPECT_EQ(KOR::kernel().interrupt, KOR::SIG_NONE);
  ASSERT_EQ(s.stack().size(), 1u);
  EXPECT_GT(std::stod(s.stack()[0]), 1000.0);
}

TEST(Engine, StopResumesAfterTheStop) {
  engine::Session s("1 Stop 2 Stop 3");
  EXPECT_EQ(s.start(), EXEC::HALT);
  EXPECT_EQ(s.stack(), (std::vector<std::string>{"1"}));
  EXPECT_EQ(s.resume(), EXEC::HALT);
  EXPECT_EQ(s.resume(), EXEC::EXIT);
  EXPECT_EQ(s.stack(), (std::vector<std::string>{"1", "2", "3"}));
}
