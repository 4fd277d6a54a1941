// Integration with an extended bound, end to end through korsh -e: Integ,
// KGauss and SqKGauss run in extended precision and leave an XREAL whose
// digits agree with the closed form; the precision warning; argument and
// integrand errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "blackbox/harness.h"
#include "fathom/xdecimal.h"
#include "fathom/xmath.h"

namespace {

using fathom::XRealValue;

XRealValue Xi(int64_t i) { return fathom::fromInt64(i); }

// The single value korsh printed (the last stack listing has one level).
std::string single_value(const std::string &out) {
  size_t colon = out.rfind(":");
  std::string v = colon == std::string::npos ? out : out.substr(colon + 1);
  size_t b = v.find_first_not_of(' '), e = v.find_last_not_of(" \n");
  return b == std::string::npos ? "" : v.substr(b, e - b + 1);
}

// Reads a printed XREAL ("...x"); true when it carried the suffix.
bool read_x(const std::string &text, XRealValue *v) {
  if (text.empty() || text.back() != 'x') return false;
  std::string digits = text.substr(0, text.size() - 1);
  const char *end = nullptr;
  *v = fathom::strtox(digits.c_str(), &end);
  return *end == '\0';
}

double rel_diff(XRealValue got, XRealValue exact) {
  return fathom::toDouble(fathom::fabs(got - exact) / fathom::fabs(exact));
}

// Extended results are printed to 34 digits: the printed value must agree
// with the exact integral to the request (1e-30) and be an XREAL.
TEST(XIntegrateBatch, ExtendedBoundGivesExtendedResult) {
  bb::Sandbox box;
  XRealValue pi = fathom::xpi();
  // int_0^1 cos(x)/sqrt(x) dx = sum (-1)^n / ((2n)! (2n + 1/2)).
  XRealValue cosSqrt = Xi(0), fact = Xi(1);
  for (int n = 0; n < 40; ++n) {
    XRealValue term = Xi(2) / (fact * Xi(4 * n + 1));
    cosSqrt = n & 1 ? cosSqrt - term : cosSqrt + term;
    fact = fact * Xi(2 * n + 1) * Xi(2 * n + 2);
  }
  struct Case {
    const char *expr;
    XRealValue exact;
  } cases[] = {
      {"<< Sqrt Inv >> { 0 1x } 1e-30 KGauss", Xi(2)},                // endpoint singularity
      {"<< Ln >> { 0x 1 } 1e-30 Integ", Xi(-1)},
      {"<< Sq 1 + Inv >> { 0 1x } 1e-30 KGauss", pi / Xi(4)},
      {"<< Neg Exp >> { 0x 100 } 1e-30 KGauss", Xi(1) - fathom::exp(Xi(-100))},
      {"<< Cos >> { 0 1x 0 } 1e-30 SqKGauss", cosSqrt},
      {"<< Drop 1 >> { 1x 0 2 } 1e-30 SqKGauss", Xi(2) - Xi(2) * fathom::sqrt(Xi(2))},  // reversed, c above
      {"5 { 0 2x } 1e-20 Integ", Xi(10)},                              // a REAL constant integrand
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    ASSERT_EQ(r.status, 0) << c.expr << ": " << r.err;
    EXPECT_EQ(r.err, "") << c.expr;
    XRealValue got;
    std::string text = single_value(r.out);
    ASSERT_TRUE(read_x(text, &got)) << c.expr << " printed " << text;
    EXPECT_LT(rel_diff(got, c.exact), 1e-30) << c.expr << " printed " << text;
  }
}

TEST(XIntegrateBatch, RealBoundsStayDouble) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "<< Sq >> { 0 1 } 1e-12 KGauss"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(single_value(r.out), ".3333333333333333");
  // In extended mode the bounds are read as XREALs: 34 digits.
  r = box.korsh({"-e", "Xprec; << Sq >> { 0 1 } 1e-30 KGauss"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(single_value(r.out), ".3333333333333333333333333333333333");
}

TEST(XIntegrateBatch, PrecisionNotMetWarnsInExtendedFormat) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "<< Inv >> { 0x 1 } 1e-10 KGauss"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.rfind("Precision not met in eld_kgauss (", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(") in [0, 1]\n"), std::string::npos) << r.err;
  XRealValue got;
  EXPECT_TRUE(read_x(single_value(r.out), &got)) << r.out;   // the best estimate is left
  r = box.korsh({"-e", "<< Inv >> { 0 1 } 1e-10 KGauss"});
  EXPECT_EQ(r.err.rfind("Precision not met in kgauss (", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(") in [0,1]\n"), std::string::npos) << r.err;
}

TEST(XIntegrateBatch, ErrorsLeaveTheArguments) {
  bb::Sandbox box;
  struct Case {
    const char *expr, *err;
    const char *level3;
  } cases[] = {
      {"<< Sq >> { 0 1x 2 } 1e-20 Integ", "Integ Error: Bad Argument Value\n", "<< Sq >>"},
      {"<< Sq >> { 0 1x } 1e-20 SqKGauss", "SqKGauss Error: Bad Argument Value\n", "<< Sq >>"},
      {"<< Sq >> { 0 (1,2)x } 1e-20 KGauss", "KGauss Error: Bad Argument Value\n", "<< Sq >>"},
      {"<< Drop \"a\" >> { 0 1x } 1e-20 Integ", "Integ Error: Bad Argument Type\n", "<< Drop \"a\" >>"},
      {"<< Drop (1,1)x >> { 0x 1 } 1e-20 KGauss", "KGauss Error: Bad Argument Type\n",
       "<< Drop (1, 1)x >>"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.expr});
    EXPECT_EQ(r.status, 1) << c.expr;
    EXPECT_EQ(r.err, c.err) << c.expr;
    // Three levels again, the function in level 3.
    EXPECT_NE(r.out.find(" 3:"), std::string::npos) << c.expr << "\n" << r.out;
    EXPECT_NE(r.out.find(c.level3), std::string::npos) << c.expr << "\n" << r.out;
    EXPECT_EQ(r.out.find(" 4:"), std::string::npos) << c.expr << "\n" << r.out;
  }
}

// An extended integrand that integrates: the inner integration finds x
// under the placeholder of its result (the unit square of x*y), and runaway
// nesting ends in an error, not a crash.
TEST(XIntegrateBatch, NestedExtendedIntegrals) {
  bb::Sandbox box;
  bb::Result r = box.korsh(
      {"-e", "<< << 3 Pick * >> { 0 1x } 1E-25 Integ Swap Drop >> { 0 1x } 1E-25 Integ"});
  ASSERT_EQ(r.status, 0) << r.err;
  XRealValue got;
  ASSERT_TRUE(read_x(single_value(r.out), &got)) << r.out;
  EXPECT_LT(rel_diff(got, Xi(1) / Xi(4)), 1e-25) << r.out;
  r = box.korsh({"-e", "<< Drop Depth Pick { 0 1x } 1E-10 Integ >> Dup { 0 1x } 1E-10 Integ"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Integ Error: Insufficient Memory\n");
}

} // namespace
