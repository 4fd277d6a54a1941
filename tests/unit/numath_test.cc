// Special-function commands and the integration commands' protocol.
#include <gtest/gtest.h>

#include <cmath>

#include "kor/Interpreter.h"
#include "kor/Kernel.h"
#include "unit/engine_util.h"

using engine::Mode;

namespace {

struct Case {
  const char *src;
  std::vector<std::string> stack;
  int status = EXEC::EXIT;
  int err = 0;
};

void expect_everywhere(const Case &c) {
  for (Mode m : engine::ALL_MODES) {
    engine::Outcome o = engine::run(c.src, m);
    EXPECT_EQ(o.stack, c.stack) << c.src << " (" << engine::mode_name(m) << ")";
    EXPECT_EQ(o.status, c.status) << c.src << " (" << engine::mode_name(m) << ")";
    EXPECT_EQ(o.err, c.err) << c.src << " (" << engine::mode_name(m) << ")";
  }
}

} // namespace

TEST(SpecialFunctions, ValuesConventionsAndTypes) {
  for (const Case &c : std::vector<Case>{
           {"5 Fact 0 Fact", {"120", "1"}},
           {"0.5 Fact 1.5 Gamma ==", {"1"}},
           {"0 Gamma -1 Gamma", {"Infinity", "NaN"}},
           {"1 Zeta", {"Infinity"}},
           {"0 Erf 0 Erfc 0 BessJ0 0 BessI0", {"0", "1", "1", "1"}},
           {"2 3 Beta", {"0.083333333333333329"}},
           {"1 2.5 BessJn", {"0.49709410246427405"}},
           {"1 2.5x BessJn", {"1", "2.5x"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"#1 2 Beta", {"# 1_h", "2"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"(1,1) Erf", {"(1, 1)"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"'a' Gamma", {"'a'"}, EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"1 CellK", {"1.5707963267948966"}},     // k_c = 1 is m = 0: pi/2
           {"0 1 JellSn 0 1 JellCn", {"0", "1"}},
       })
    expect_everywhere(c);
}

TEST(Integration, ResultsWithinTheRequestedError) {
  struct Numeric { const char *src; double value; } cases[] = {
      {"<< Sq >> { 0 1 } 1e-10 Integ", 1.0 / 3},
      {"<< Sqrt Inv >> { 0 1 } 1e-10 KGauss", 2.0},
      {"<< Drop 1 >> { 0 2 0 } 1e-10 SqKGauss", 2.8284271247461901},
      {"<< 2 >> { :lo: 0 1 } 1e-10 Integ", 2.0},
      {"<< Ln >> { 0 1 } 1e-12 KGauss", -1.0},
      {"<< Cos >> { 0 1.5707963267948966 } 1e-12 Integ", 1.0},
      {"<< Dup Dup 1 >> { 0 1 } 1e-10 Integ", 1.0},   // what the function leaves beyond its value goes
  };
  for (const Numeric &c : cases) {
    for (Mode m : engine::ALL_MODES) {
      engine::Outcome o = engine::run(c.src, m);
      ASSERT_EQ(o.status, EXEC::EXIT) << c.src << " " << engine::describe(o);
      ASSERT_EQ(o.stack.size(), 1u) << c.src;
      EXPECT_NEAR(std::stod(o.stack[0]), c.value, 1e-9 * std::fabs(c.value)) << c.src;
    }
  }
}

TEST(Integration, RangesAndErrors) {
  for (const Case &c : std::vector<Case>{
           {"<< Drop \"s\" >> { 0 1 } 1e-6 Integ", {"<< Drop \"s\" >>", "{ 0 1 }", "9.9999999999999995E-7"},
            EXEC::ERROR, KOR::ERR_BAD_TYPE},
           {"<< 1 >> { 0 1 2 } 1e-6 Integ", {"<< 1 >>", "{ 0 1 2 }", "9.9999999999999995E-7"},
            EXEC::ERROR, KOR::ERR_BAD_VALUE},
           {"<< 1 >> { 0 'a' } 1e-6 Integ", {"<< 1 >>", "{ 0 'a' }", "9.9999999999999995E-7"},
            EXEC::ERROR, KOR::ERR_BAD_VALUE},
           {"<< 1 >> 5 1e-6 Integ", {"<< 1 >>", "5", "9.9999999999999995E-7"}, EXEC::ERROR,
            KOR::ERR_BAD_TYPE},
           {"Try << Drop 'x' Throw >> { 0 1 } 1e-6 Integ Catch 'caught' End",
            {"<< Drop 'x' Throw >>", "{ 0 1 }", "9.9999999999999995E-7", "'caught'"}},
           {"7 << Drop Drop Drop 1 >> { 0 1 } 1e-6 Integ", {"7", "<< Drop Drop Drop 1 >>", "{ 0 1 }", "9.9999999999999995E-7"},
            EXEC::ERROR, KOR::ERR_TOO_FEW_ARGS},
       })
    expect_everywhere(c);
}

TEST(Integration, AKillDuringTheIntegrationCancelsIt) {
  engine::Session s("<< 0 1 1000 Start Dup Drop Next >> { 0 1 } 1e-10 Integ");
  KOR::kernel().interrupt = KOR::SIG_KILL;
  EXPECT_EQ(s.start(), EXEC::CANCEL);
  KOR::kernel().interrupt = KOR::SIG_NONE;
}

TEST(Integration, StopDuringTheIntegrationRunsItAgainOnContinue) {
  engine::Session s("<< 0 1 2000 Start 1 Drop Next Drop 2 >> { 0 1 } 1e-10 Integ");
  KOR::kernel().interrupt = KOR::SIG_STOP;
  EXPECT_EQ(s.start(), EXEC::HALT);
  EXPECT_EQ(s.stack().size(), 3u);   // the arguments are back
  EXPECT_EQ(s.resume(), EXEC::EXIT);
  ASSERT_EQ(s.stack().size(), 1u);
  EXPECT_NEAR(std::stod(s.stack()[0]), 2.0, 1e-9);
}
