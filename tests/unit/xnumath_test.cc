// The integration commands with an extended bound, in every engine mode:
// an XREAL result to the requested accuracy, errors that leave the
// arguments, and Kill and Stop during an extended integration.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "fathom/xdecimal.h"
#include "fathom/xmath.h"
#include "kor/Interpreter.h"
#include "kor/Kernel.h"
#include "unit/engine_util.h"

using engine::Mode;
using fathom::XRealValue;

namespace {

// An XREAL in edit form ("...x"); false for anything else.
bool parseX(const std::string &s, XRealValue *v) {
  if (s.empty() || s.back() != 'x') return false;
  std::string digits = s.substr(0, s.size() - 1);
  const char *end = nullptr;
  *v = fathom::strtox(digits.c_str(), &end);
  return *end == '\0';
}

double relDiff(XRealValue a, XRealValue b) {
  return fathom::toDouble(fathom::fabs(a - b) / fathom::fabs(b));
}

XRealValue Xi(int64_t i) { return fathom::fromInt64(i); }

} // namespace

TEST(ExtendedIntegration, ResultsAreExtendedInEveryMode) {
  struct Numeric {
    const char *src;
    XRealValue value;
  } cases[] = {
      {"<< Sq >> { 0 1x } 1e-30 Integ", Xi(1) / Xi(3)},
      {"<< Sqrt Inv >> { 0x 1 } 1e-30 KGauss", Xi(2)},
      {"<< Drop 1 >> { 0 2 0x } 1e-30 SqKGauss", Xi(2) * fathom::sqrt(Xi(2))},
      {"<< 2 >> { :lo: 0 1x } 1e-30 Integ", Xi(2)},            // a tagged bound, a REAL result
      {"<< Ln >> { 0 1x } 1e-30 KGauss", Xi(-1)},
      {"<< Dup Dup 1 >> { 0 1x } 1e-30 Integ", Xi(1)},         // what the function leaves beyond its value goes
  };
  for (const Numeric &c : cases) {
    for (Mode m : engine::ALL_MODES) {
      engine::Outcome o = engine::run(c.src, m);
      ASSERT_EQ(o.status, EXEC::EXIT) << c.src << " " << engine::describe(o);
      ASSERT_EQ(o.stack.size(), 1u) << c.src;
      XRealValue got;
      ASSERT_TRUE(parseX(o.stack[0], &got)) << c.src << ": " << o.stack[0];
      EXPECT_LT(relDiff(got, c.value), 1e-30) << c.src << ": " << o.stack[0];
    }
  }
}

TEST(ExtendedIntegration, ErrorsLeaveTheArguments) {
  struct Case {
    const char *src;
    std::vector<std::string> stack;
    int err;
  } cases[] = {
      {"<< Drop \"s\" >> { 0 1x } 1e-6 Integ", {"<< Drop \"s\" >>", "{ 0 1x }", "9.9999999999999995E-7"},
       KOR::ERR_BAD_TYPE},
      {"<< 1 >> { 0 1x 2 } 1e-6 Integ", {"<< 1 >>", "{ 0 1x 2 }", "9.9999999999999995E-7"},
       KOR::ERR_BAD_VALUE},
      {"<< 1 >> { 0x } 1e-6 SqKGauss", {"<< 1 >>", "{ 0x }", "9.9999999999999995E-7"},
       KOR::ERR_BAD_VALUE},
      {"7 << Drop Drop Drop 1 >> { 0 1x } 1e-6 Integ",
       {"7", "<< Drop Drop Drop 1 >>", "{ 0 1x }", "9.9999999999999995E-7"}, KOR::ERR_TOO_FEW_ARGS},
  };
  for (const Case &c : cases) {
    for (Mode m : engine::ALL_MODES) {
      engine::Outcome o = engine::run(c.src, m);
      EXPECT_EQ(o.status, EXEC::ERROR) << c.src << " (" << engine::mode_name(m) << ")";
      EXPECT_EQ(o.err, c.err) << c.src << " (" << engine::mode_name(m) << ")";
      EXPECT_EQ(o.stack, c.stack) << c.src << " (" << engine::mode_name(m) << ")";
    }
  }
}

TEST(ExtendedIntegration, AKillCancelsIt) {
  engine::Session s("<< 0 1 1000 Start Dup Drop Next >> { 0 1x } 1e-30 Integ");
  KOR::kernel().interrupt = KOR::SIG_KILL;
  EXPECT_EQ(s.start(), EXEC::CANCEL);
  KOR::kernel().interrupt = KOR::SIG_NONE;
}

TEST(ExtendedIntegration, StopRunsItAgainOnContinue) {
  engine::Session s("<< 0 1 2000 Start 1 Drop Next Drop 2 >> { 0 1x } 1e-30 Integ");
  KOR::kernel().interrupt = KOR::SIG_STOP;
  EXPECT_EQ(s.start(), EXEC::HALT);
  EXPECT_EQ(s.stack().size(), 3u);   // the arguments are back
  EXPECT_EQ(s.resume(), EXEC::EXIT);
  ASSERT_EQ(s.stack().size(), 1u);
  XRealValue got;
  ASSERT_TRUE(parseX(s.stack()[0], &got)) << s.stack()[0];
  EXPECT_LT(relDiff(got, Xi(2)), 1e-30);
}
