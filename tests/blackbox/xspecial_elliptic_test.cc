// The elliptic integrals and Jacobi functions on extended reals end to
// end: korsh -e in extended precision, the promotion of a REAL beside an
// XREAL, the poles and special values, and the refusal of complex
// arguments.
#include <gtest/gtest.h>

#include <string>

#include "blackbox/harness.h"

namespace {

// Expected digits: mpmath at 120 digits on the arguments rounded to 128
// bits, the result rounded to 128 bits and then to the 34 digits of the
// display.  The complementary modulus is the last argument (X).
TEST(XSpecialEllipticBatch, ValuesInExtendedPrecision) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0.5 CellK", "2.156515647499643235438674998800322"},
      {"0.5 CellE", "1.211056027568459524803562899548979"},
      {"0.3 0.5 CellPi", "2.656839632358722884675012305955644"},
      {"3 0.5 CellPi", "-.3951988573662216844680788520734265"},   // principal value
      {"-7.5 0.25 CellPi", ".7167559011720351406099746199500316"},
      {"2 0.5 EllF", "1.305291898428457826381726495429744"},      // x = tan(phi) = 2
      {"2 0.5 EllE", ".9571735211363705794858344261277296"},
      {"0.3 2 0.5 EllPi", "1.472732920581654706971650184760988"},
      {"0.75 3 EllF", ".4862892421575569091974391997893957"},     // kc > 1: m < 0
      {"1.3 0.5 JellSn", ".8929235150418389265984488063926926"},
      {"1.3 0.5 JellCn", ".4502083920645269937458850920261979"},
      {"1.3 0.5 JellDn", ".6340470780738565466112450770263639"},
      {"1.3 2 JellSn", ".9076829108524126335378550824509836"},
  };
  for (const Case &c : cases) {
    std::string expr = std::string("Xprec; ") + c.expr;
    bb::Result r = box.korsh({"-e", expr});
    EXPECT_EQ(r.status, 0) << expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << expr;
  }
}

// A REAL beside an XREAL is promoted and the result is an XREAL (2, 0.5,
// 1.3 are exact either way); REALs alone stay doubles.
TEST(XSpecialEllipticBatch, MixedArgumentsArePromoted) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"2 0.5x EllF", "1.305291898428457826381726495429744x"},
      {"2x 0.5 EllF", "1.305291898428457826381726495429744x"},
      {"1.3x 0.5 JellSn", ".8929235150418389265984488063926926x"},
      {"3 0.5x CellPi", "-.3951988573662216844680788520734265x"},
      {"0.5x 2 0.5 EllPi", "1.630487697405428296250054483156357x"},
      {"0.5 2x 0.5 EllPi", "1.630487697405428296250054483156357x"},
      {"0.5 2 0.5x EllPi", "1.630487697405428296250054483156357x"},
      {"2 0.5 EllF", "1.305291898428458"},
      {"0.5 CellK", "2.156515647499643"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
  }
}

TEST(XSpecialEllipticBatch, PolesAndSpecialValues) {
  bb::Sandbox box;
  struct Case { const char *expr, *value; } cases[] = {
      {"0x CellK", "Infinityx"},
      {"0x CellE", "1x"},
      {"1x 0.5x CellPi", "Infinityx"},
      {"0.5x 0x CellPi", "Infinityx"},
      {"2x 1x 0.5x EllPi", "Infinityx"},              // 1 - n sin^2 phi = 0 at phi = pi/4
      {"0x 0.5x EllF", "0x"},
      {"0x 0.5x JellCn", "1x"},
      {"Xprec; 1 CellK 2 * Pi ==", "1r"},              // K = pi/2 at m = 0
      {"Infinity -->XP 0.5x EllF 0.5x CellK ==", "1"},
      {"Infinity -->XP 0.5x JellSn", "NaNx"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(bb::top_value(r.out), c.value) << c.expr;
  }
}

// Every command of the family runs on extended reals, and refuses extended
// complex numbers with "Bad Argument Type".
TEST(XSpecialEllipticBatch, ExtendedArgumentsRunComplexOnesAreRefused) {
  bb::Sandbox box;
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
  for (const char *f : {"CellK", "CellE"}) {
    runs(std::string("0.75x ") + f);
    refused(std::string("(0.75,1)x ") + f);
  }
  for (const char *f : {"CellPi", "EllF", "EllE", "JellSn", "JellCn", "JellDn"}) {
    runs(std::string("1.75x 0.5x ") + f);
    refused(std::string("(1.75,1)x 0.5x ") + f);
    refused(std::string("1.75x (0.5,1)x ") + f);
  }
  runs("0.25x 1.75x 0.5x EllPi");
  refused("0.25x 1.75x (0.5,1)x EllPi");
}

} // namespace
