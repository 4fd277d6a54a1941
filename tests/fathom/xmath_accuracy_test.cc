// Accuracy of the extended elementary functions against MPFR: every row of
// the table (xmath_accuracy_cases.cc) within one ulp, and the table itself
// printed for the documentation.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "xmath_accuracy.h"

namespace {

using namespace xrtest;

constexpr double kMaxUlps = 1.0;

void checkFunction(const std::string &name) {
  int rows = 0;
  uint64_t seed = 1000;
  for (const AccuracyCase &c : accuracyCases()) {
    seed++;
    if (c.function != name) continue;
    rows++;
    UlpStats s = measure(c, seed);
    std::printf("%s\n", formatRow(c, s).c_str());
    EXPECT_GT(s.count, 0);
    EXPECT_LE(s.max, kMaxUlps) << c.function << " on " << c.domain << ", worst at " << s.worst;
  }
  EXPECT_GT(rows, 0) << "no accuracy rows for " << name;
}

TEST(FathomXMathAccuracy, Exp) { checkFunction("exp"); }
TEST(FathomXMathAccuracy, Expm1) { checkFunction("expm1"); }
TEST(FathomXMathAccuracy, Exp10) { checkFunction("exp10"); }
TEST(FathomXMathAccuracy, Log) { checkFunction("log"); }
TEST(FathomXMathAccuracy, Log1p) { checkFunction("log1p"); }
TEST(FathomXMathAccuracy, Log10) { checkFunction("log10"); }
TEST(FathomXMathAccuracy, Sin) { checkFunction("sin"); }
TEST(FathomXMathAccuracy, Cos) { checkFunction("cos"); }
TEST(FathomXMathAccuracy, Tan) { checkFunction("tan"); }
TEST(FathomXMathAccuracy, Asin) { checkFunction("asin"); }
TEST(FathomXMathAccuracy, Acos) { checkFunction("acos"); }
TEST(FathomXMathAccuracy, Atan) { checkFunction("atan"); }
TEST(FathomXMathAccuracy, Atan2) { checkFunction("atan2"); }
TEST(FathomXMathAccuracy, Sinh) { checkFunction("sinh"); }
TEST(FathomXMathAccuracy, Cosh) { checkFunction("cosh"); }
TEST(FathomXMathAccuracy, Tanh) { checkFunction("tanh"); }
TEST(FathomXMathAccuracy, Asinh) { checkFunction("asinh"); }
TEST(FathomXMathAccuracy, Acosh) { checkFunction("acosh"); }
TEST(FathomXMathAccuracy, Atanh) { checkFunction("atanh"); }
TEST(FathomXMathAccuracy, Cbrt) { checkFunction("cbrt"); }
TEST(FathomXMathAccuracy, Pow) { checkFunction("pow"); }
TEST(FathomXMathAccuracy, SinDeg) { checkFunction("sinDeg"); }
TEST(FathomXMathAccuracy, CosDeg) { checkFunction("cosDeg"); }
TEST(FathomXMathAccuracy, TanDeg) { checkFunction("tanDeg"); }
TEST(FathomXMathAccuracy, AsinDeg) { checkFunction("asinDeg"); }
TEST(FathomXMathAccuracy, AcosDeg) { checkFunction("acosDeg"); }
TEST(FathomXMathAccuracy, AtanDeg) { checkFunction("atanDeg"); }
TEST(FathomXMathAccuracy, Atan2Deg) { checkFunction("atan2Deg"); }
TEST(FathomXMathAccuracy, Sinc) { checkFunction("sinc"); }
TEST(FathomXMathAccuracy, Sincm1) { checkFunction("sincm1"); }
TEST(FathomXMathAccuracy, Sqrt1pm1) { checkFunction("sqrt1pm1"); }

} // namespace
