// The Bessel commands on extended reals through korsh -e: values printed
// to the display's 34 digits, the result types, and the integer-order
// commands' refusal of a REAL order with an XREAL argument (or the
// reverse), which the other two-argument functions would promote.
#include <gtest/gtest.h>

#include <string>

#include "blackbox/harness.h"

namespace {

// Expected digits: mpmath at 80 digits, rounded to 34 significant digits
// (trailing zeros dropped).  No value lies within 1e-4 of a 34-digit tie.
TEST(XSpecialBesselBatch, ExtendedValuesToFullPrecision) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"1 BessJ0", ".7651976865579665514497175261026632"},
      {"2.5 BessJ1", ".4970941024642740380108162762644222"},
      {"30 BessY0", "-.1172957316866640252512478782318889"},
      {"1.5 BessY1", "-.4123086269739112959528298206334453"},
      {"40 BessJ0", ".007366890584237289553531735691438071"},
      {"100 BessY1", "-.02037231200275979330470393266641456"},
      {"3 BessI0", "4.880792585865024085611235546021319"},
      {"2 BessI1", "1.590636854637329063382254424999666"},
      {"0.5 BessK0", ".924419071227665861781924167530217"},
      {"0.2 BessK1", "4.775972543220472248749564557241906"},
      {"7 BessK0", ".0004247957418692318068515986528065723"},
      {"2 3 BessJn", ".486091260585891076907831094114984"},
      {"-3 10 BessJn", "-.05837937930518681234293547841034096"},
      {"2 5 BessYn", ".3676628826055245179940692544072615"},
      {"3 4 BessIn", "3.337275778420344367856518667751919"},
      {"2 1.5 BessKn", ".5836559632566508248354338781692007"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", std::string("Xprec; ") + c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
    // The same arguments typed as extended literals outside Xprec: an XREAL.
    std::string typed;
    for (char ch : std::string(c.expr)) typed += ch == ' ' ? std::string("x ") : std::string(1, ch);
    r = box.korsh({"-e", typed});
    EXPECT_EQ(r.status, 0) << typed << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), std::string(c.value) + "x") << typed;
  }
}

// An integer-order command needs both arguments of one type; Beta, with
// numeric promotion, takes the same mixture and gives an XREAL.  A refused
// command leaves its arguments on the stack.
TEST(XSpecialBesselBatch, IntegerOrdersRefuseMixedTypes) {
  bb::Sandbox box;
  for (const char *cmd : {"BessJn", "BessYn", "BessIn", "BessKn"}) {
    for (const char *args : {"2 3x ", "2x 3 "}) {
      bb::Result r = box.korsh({"-e", std::string(args) + cmd});
      EXPECT_NE(r.status, 0) << args << cmd;
      EXPECT_NE(r.err.find(std::string(cmd) + " Error: Bad Argument Type"), std::string::npos)
          << args << cmd << ": " << r.err;
      EXPECT_EQ(bb::top_value(r.out), args[1] == 'x' ? "3" : "3x") << args << cmd;
    }
    bb::Result same = box.korsh({"-e", std::string("2x 3x ") + cmd});
    EXPECT_EQ(same.status, 0) << cmd << ": " << same.err;
    EXPECT_EQ(same.out.find(" 2:"), std::string::npos) << cmd;   // one result
    EXPECT_EQ(bb::top_value(same.out).back(), 'x') << cmd;
  }
  bb::Result beta = box.korsh({"-e", "2 3x Beta"});
  EXPECT_EQ(beta.status, 0) << beta.err;
  EXPECT_EQ(bb::top_value(beta.out), ".08333333333333333333333333333333333x");
}

// Every one-argument Bessel command on an XREAL gives an XREAL (never
// "Routine Under Construction..."), and the domain's special values come
// out as IEEE values, not errors.
TEST(XSpecialBesselBatch, SpecialValuesAreValuesNotErrors) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0x BessY0", "-Infinityx"}, {"0x BessK1", "Infinityx"},  {"-1x BessK0", "NaNx"},
      {"-2x BessY1", "NaNx"},      {"0x BessJ0", "1x"},         {"3x 0x BessYn", "-Infinityx"},
      {"4x 0x BessIn", "0x"},      {"1e9x BessI0", "Infinityx"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
  }
}

} // namespace
