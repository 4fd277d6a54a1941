// The exponential, sine and cosine integrals and the Fresnel integrals on
// extended reals end to end: korsh -e in extended precision, promotion of a
// REAL beside an XREAL where the commands take two arguments (none for
// ExpIEn), special values, and the refusal of complex arguments.
#include <gtest/gtest.h>

#include <string>

#include "blackbox/harness.h"

namespace {

// Expected digits: mpmath at 500 bits on the arguments rounded to 128 bits,
// the result rounded to 128 bits and then to the 34 digits of the display.
TEST(XSpecialExpIntBatch, ValuesInExtendedPrecision) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0.3 ExpIE1", ".9056766516758467124303275221417044"},
      {"25 ExpIE1", "5.348899755340216640325471118085924E-13"},
      {"0.3 ExpIEi", "-.3026685392658258844681369015369394"},
      {"-2 ExpIEi", "-.04890051070806111956723983522804952"},
      {"150 ExpIEi", "9.354182728265376933311735154531092E+62"},
      {"2.5 0.7 ExpIEn", ".1952212648236129310444366089893426"},
      {"3 0.7 ExpIEn", ".1660611621609211675510416507591511"},
      {"-1.5 4 ExpIEn", ".006490322806611890117290696645013484"},
      {"10 CosICi", "-.04545643300445537263453282995262785"},
      {"100 CosICi", "-.005148825142610492144443553905344498"},
      {"-3 SinISi", "-1.848652527999468256397730251111973"},
      {"50 SinISi", "1.551617072485935894727985594859378"},
      {"0.5 CoshIChi", "-.05277684495649361591313606332614143"},
      {"-2 SinhIShi", "-2.501567433354975641473372482727542"},
      {"1.5 FresnC", ".4452611760398215350645510097420898"},
      {"10.5 FresnS", ".5280404079981297605617973664018122"},
  };
  for (const Case &c : cases) {
    std::string expr = std::string("Xprec; ") + c.expr;
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_EQ(r.status, 0) << expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << expr;
  }
}

// ExpIEn takes two arguments of one type: a REAL beside an XREAL is "Bad
// Argument Type" with both left; two XREALs give an XREAL.
TEST(XSpecialExpIntBatch, ExpIEnRefusesMixedTypes) {
  bb::Sandbox box;
  for (const char *expr : {"2 1x ExpIEn", "2x 1 ExpIEn"}) {
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_EQ(r.status, 1) << expr;
    EXPECT_EQ(r.err, "ExpIEn Error: Bad Argument Type\n") << expr;
    EXPECT_NE(r.out.find(" 2:"), std::string::npos) << expr << "\n" << r.out;
  }
  bb::Result r = box.korsh({"-e", "2x 1x ExpIEn"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(bb::top_value(r.out), ".1484955067759220479183599947013392x");
}

// Poles, limits and arguments outside the real domain, in extended form.
TEST(XSpecialExpIntBatch, SpecialValues) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0x ExpIE1", "Infinityx"},
      {"-1x ExpIE1", "NaNx"},
      {"0x ExpIEi", "-Infinityx"},
      {"0x CosICi", "-Infinityx"},
      {"-1x CosICi", "NaNx"},
      {"-1x CoshIChi", "NaNx"},
      {"0x SinISi", "0x"},
      {"2x 0x ExpIEn", "1x"},
      {"1x 0x ExpIEn", "Infinityx"},
      {"1x -1x ExpIEn", "NaNx"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
  }
}

TEST(XSpecialExpIntBatch, ComplexArgumentsAreRefused) {
  bb::Sandbox box;
  for (const char *cmd : {"ExpIE1", "ExpIEi", "CosICi", "SinISi", "CoshIChi", "SinhIShi", "FresnC",
                          "FresnS"}) {
    std::string expr = std::string("(1,2)x ") + cmd;
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_EQ(r.status, 1) << expr;
    EXPECT_EQ(r.err, std::string(cmd) + " Error: Bad Argument Type\n") << expr;
    EXPECT_EQ(r.err.find("Under Construction"), std::string::npos) << expr;
  }
}

} // namespace
