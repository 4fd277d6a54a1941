// The gamma family, error functions, zeta, the dilogarithm and the
// logarithmic integral on extended reals end to end: korsh -e in extended
// precision, promotion of mixed REAL and XREAL arguments, special values,
// and the refusal of complex arguments.
#include <gtest/gtest.h>

#include <string>

#include "blackbox/harness.h"

namespace {

// Expected digits: mpmath at 500 bits on the arguments rounded to 128 bits,
// the result rounded to 128 bits and then to the 34 digits of the display.
TEST(XSpecialGammaBatch, ValuesInExtendedPrecision) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0.5 Gamma", "1.772453850905516027298167483341145"},
      {"-2.5 Gamma", "-.9453087204829418812256893244486108"},
      {"100 LnGamma", "359.1342053695753987760440104602869"},
      {"0.3 Fact", ".8974706963062771884937549547714753"},
      {"30 Fact", "2.6525285981219105863630848E+32"},
      {"1 DiGamma", "-.5772156649015328606065120900824024"},
      {"0.3 DiGamma", "-3.502524222200132988964494507371982"},
      {"0.3 TriGamma", "12.24536454610773046547360353308874"},
      {"2.5 1.5 IGamma", ".3988209453923446296063842532125185"},
      {"2.5 1.5 Beta", ".1963495408493620774039152114549689"},
      {"2 3 0.3 IBeta", ".029025"},
      {"0.3 Erf", ".3286267594591274276389140478667566"},
      {"3 Erfc", "2.209049699858544137277612958232038E-5"},
      {"10 LnErfc", "-102.8798890248448885748047871396366"},
      {"1.5 DawsF", ".4282490710853986254771901051517453"},
      {"3 Zeta", "1.20205690315959428539973816151145"},
      {"-1.5 Zeta", "-.02548520188983303594954298691070475"},
      {"0.3 DiLog", ".326129510075476069530035694174996"},
      {"5 DiLog", "1.78371916126663062774355973472165"},
      {"10 LogIli", "6.165599504787297937522981752669523"},
  };
  for (const Case &c : cases) {
    std::string expr = std::string("Xprec; ") + c.expr;
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_EQ(r.status, 0) << expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << expr;
  }
}

// A REAL beside an XREAL is promoted and the result is an XREAL (the
// values are exact: the REALs are dyadic); REALs alone stay doubles.
TEST(XSpecialGammaBatch, MixedArgumentsArePromoted) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0.5 2x Beta", "1.333333333333333333333333333333333x"},        // 4/3
      {"0.5x 2 Beta", "1.333333333333333333333333333333333x"},
      {"2 0.5x IGamma", ".09020401043104986459430069751322932x"},     // 1 - 1.5/sqrt(e)
      {"0.25 2x 0.375 IBeta", "2.895406473135581535681298173443576x"},
      {"0.25x 2 0.375 IBeta", "2.895406473135581535681298173443576x"},
      {"0.25 2 0.375x IBeta", "2.895406473135581535681298173443576x"},
      {"0.5 2 Beta", "1.333333333333333"},
      {"0.5 Gamma", "1.772453850905516"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
  }
}

TEST(XSpecialGammaBatch, PolesAndSpecialValues) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"5x Fact", "120x"},
      {"0.5x Fact 1.5x Gamma ==", "1"},
      {"-3x Gamma", "NaNx"},
      {"0x Gamma", "Infinityx"},
      {"-2x LnGamma", "Infinityx"},
      {"-2x DiGamma", "NaNx"},
      {"-2x TriGamma", "Infinityx"},
      {"1x Zeta", "Infinityx"},
      {"-20x Zeta", "0x"},
      {"1x LogIli", "-Infinityx"},
      {"-1x LogIli", "NaNx"},
      {"-1x 2x IGamma", "NaNx"},
      {"2x 3x 1.5x IBeta", "NaNx"},
      {"1e6x Erfc", "0x"},
      {"1e6x LnErfc", "-1,000,000,000,014.38787550088947419118x"},   // -x^2 - log(x sqrt(pi)) - ...
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
  }
}

// Every command of the family runs on extended reals, and refuses extended
// complex numbers with "Bad Argument Type".
TEST(XSpecialGammaBatch, ExtendedArgumentsRunComplexOnesAreRefused) {
  bb::Sandbox box;
  const char *unary[] = {"Gamma", "LnGamma", "Fact", "DiGamma", "TriGamma", "Erf", "Erfc",
                         "LnErfc", "DawsF", "Zeta", "DiLog", "LogIli"};
  const char *binary[] = {"Beta", "IGamma"};
  auto runs = [&](const std::string &expr) {
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_EQ(r.status, 0) << expr << ": " << r.err;
    EXPECT_EQ(r.err.find("Under Construction"), std::string::npos) << expr;
    EXPECT_EQ(bb::top_value(r.out).back(), 'x') << expr << ": " << r.out;
  };
  auto refused = [&](const std::string &expr) {
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_NE(r.status, 0) << expr;
    EXPECT_NE(r.err.find("Bad Argument Type"), std::string::npos) << expr << ": " << r.err;
  };
  for (const char *f : unary) {
    runs(std::string("1.75x ") + f);
    refused(std::string("(1.75,1)x ") + f);
  }
  for (const char *f : binary) {
    runs(std::string("1.75x 0.5x ") + f);
    refused(std::string("(1.75,1)x 0.5x ") + f);
  }
  runs("1.75x 0.5x 0.25x IBeta");
  refused("1.75x 0.5x (0.25,1)x IBeta");
}

} // namespace
