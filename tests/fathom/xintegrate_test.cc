// The extended-precision integrators: the 128-bit rule's constants, the
// achieved error against closed forms over smooth and singular integrands
// at requests down to 1e-34, evaluation counts, infinite ranges, the
// square-root weight, the stop callback and the precision warning.
#include "fathom/xintegrate.h"
#include "fathom/integrate_gk21.h"
#include "fathom/integrate_gk21_x.h"
#include "fathom/xdecimal.h"
#include "fathom/xmath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using fathom::IntegStatus;
using fathom::XIntegResult;
using fathom::XRealValue;

XRealValue X(double d) { return fathom::fromDouble(d); }
XRealValue Xi(int64_t i) { return fathom::fromInt64(i); }
double D(XRealValue x) { return fathom::toDouble(x); }
XRealValue xabs(XRealValue x) { return fathom::fabs(x); }

// |got - exact| / |exact| as a double.
double relErr(XRealValue got, XRealValue exact) { return D(xabs(got - exact) / xabs(exact)); }

// The rule's constants: the extended ones round to the published doubles,
// and the 21-point rule (10-point rule) integrates x^k exactly through
// degree 31 (19) to the 128-bit rounding level.
TEST(XIntegrateRule, ConstantsAgreeWithDoublesAndAreExact) {
  using namespace fathom::quad;
  for (int i = 0; i < 11; ++i) {
    EXPECT_NEAR(D(kXgkX[i]), kXgk[i], 1e-16) << i;
    EXPECT_NEAR(D(kWgkX[i]), kWgk[i], 1e-16) << i;
  }
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(D(kWgX[i]), kWg[i], 1e-16) << i;
  for (int k = 0; k <= 33; k += 2) {
    XRealValue kron = kWgkX[10] * (k == 0 ? Xi(1) : Xi(0)), gauss = Xi(0);
    for (int j = 0; j < 10; ++j) {
      XRealValue p = fathom::pow(kXgkX[j], Xi(k));
      kron += Xi(2) * kWgkX[j] * p;
      if (j & 1) gauss += Xi(2) * kWgX[j / 2] * p;
    }
    XRealValue exact = Xi(2) / Xi(k + 1);
    if (k <= 30) {
      EXPECT_LT(relErr(kron, exact), 1e-36) << "Kronrod, degree " << k;
    } else {
      EXPECT_GT(relErr(kron, exact), 1e-20) << "Kronrod beyond its degree " << k;
    }
    if (k <= 18) {
      EXPECT_LT(relErr(gauss, exact), 1e-36) << "Gauss, degree " << k;
    } else {
      EXPECT_GT(relErr(gauss, exact), 1e-20) << "Gauss beyond its degree " << k;
    }
  }
}

struct Case {
  const char *name;
  XRealValue (*f)(XRealValue, void *);
  double a, b;
  XRealValue (*exact)();
  int maxEvals;   // at the strictest request
};

XRealValue fexp(XRealValue x, void *) { return fathom::exp(x); }
XRealValue frunge(XRealValue x, void *) { return Xi(1) / (Xi(1) + Xi(25) * x * x); }
XRealValue fatan(XRealValue x, void *) { return Xi(1) / (Xi(1) + x * x); }
XRealValue fcos30(XRealValue x, void *) { return fathom::cos(Xi(30) * x); }
XRealValue fpoly(XRealValue x, void *) { return fathom::pow(x, Xi(30)); }
XRealValue fsqrt1(XRealValue x, void *) { return fathom::sqrt(Xi(1) + x); }

XRealValue exactExp() { return fathom::exp(Xi(1)) - Xi(1); }
XRealValue exactRunge() { return Xi(2) / Xi(5) * fathom::atan(Xi(5)); }
XRealValue exactAtan() { return fathom::xpi() / Xi(4); }
XRealValue exactCos30() { return fathom::sin(Xi(30)) / Xi(30); }
XRealValue exactPoly() { return Xi(1) / Xi(31); }
XRealValue exactSqrt1() {   // (2/3)(2^1.5 - 1)
  return Xi(2) / Xi(3) * (Xi(2) * fathom::sqrt(Xi(2)) - Xi(1));
}

XRealValue fbell(XRealValue x, void *) { return fathom::exp(-x * x); }
XRealValue exactBell() {   // sqrt(pi) erf(2), by its series
  XRealValue s = Xi(0), term = Xi(2);   // erf(2) sqrt(pi)/2 = sum (-1)^n 2^(2n+1)/(n! (2n+1))
  for (int n = 0; n < 200; ++n) {
    s += term / Xi(2 * n + 1);
    term = -term * Xi(4) / Xi(n + 1);
  }
  return s;
}

// Smooth integrands: at most 200 evaluations at every request.
const Case kSmooth[] = {
    {"exp", fexp, 0, 1, exactExp, 200},
    {"sqrt(1+x)", fsqrt1, 0, 1, exactSqrt1, 200},
    {"1/(1+x^2)", fatan, 0, 1, exactAtan, 200},
    {"exp(-x^2)", fbell, 0, 2, exactBell, 200},
};

// Peaked and oscillating ones, and x^30, on which the rule is exact but
// its error estimate (the 10-point rule's error) is not small: these take
// several subintervals, within the budget of the singular ones.
const Case kPeaked[] = {
    {"x^30", fpoly, 0, 1, exactPoly, 2000},
    {"cos 30x", fcos30, 0, 1, exactCos30, 2000},
    {"runge", frunge, -1, 1, exactRunge, 2000},
};

XRealValue finvsqrt(XRealValue x, void *) { return Xi(1) / fathom::sqrt(x); }
XRealValue flog(XRealValue x, void *) { return fathom::log(x); }
XRealValue flogsqrt(XRealValue x, void *) { return fathom::log(x) / fathom::sqrt(x); }
XRealValue fxlogx(XRealValue x, void *) { return x * fathom::log(x); }
XRealValue fpowlog(XRealValue x, void *) { return fathom::pow(x, X(0.25)) * fathom::log(x); }
XRealValue fright(XRealValue x, void *) { return fathom::pow(Xi(1) - x, X(-0.75)); }
XRealValue fpow09(XRealValue x, void *) { return fathom::pow(x, X(-0.875)); }
XRealValue fexpsqrt(XRealValue x, void *) { return fathom::exp(-x) / fathom::sqrt(x); }

XRealValue exactTwo() { return Xi(2); }
XRealValue exactMinusOne() { return Xi(-1); }
XRealValue exactMinusFour() { return Xi(-4); }
XRealValue exactMinusQuarter() { return X(-0.25); }
XRealValue exactPowLog() { return Xi(-16) / Xi(25); }     // -1/(1.25^2)
XRealValue exactRight() { return Xi(4); }                 // 1/0.25
XRealValue exactPow09() { return Xi(8); }                 // 1/0.125
XRealValue exactExpSqrt() { return Xi(2) * exactBell(); }   // x = t^2: 2 int_0^2 exp(-t^2)

// Endpoint singularities: 1e-30 within 2000 evaluations.
const Case kSingular[] = {
    {"1/sqrt", finvsqrt, 0, 1, exactTwo, 2000},
    {"log", flog, 0, 1, exactMinusOne, 2000},
    {"log/sqrt", flogsqrt, 0, 1, exactMinusFour, 2000},
    {"x log x", fxlogx, 0, 1, exactMinusQuarter, 2000},
    {"x^0.25 log", fpowlog, 0, 1, exactPowLog, 2000},
    {"(1-x)^-0.75", fright, 0, 1, exactRight, 2000},
    {"x^-0.875", fpow09, 0, 1, exactPow09, 2000},
    {"exp/sqrt", fexpsqrt, 0, 4, exactExpSqrt, 2000},
};

void checkCase(const Case &c, double rel, int crit, int limit) {
  XIntegResult r = fathom::xkgauss(c.f, nullptr, X(c.a), X(c.b), rel, limit, crit);
  XRealValue exact = c.exact();
  double actual = relErr(r.value, exact);
  EXPECT_EQ(r.status, IntegStatus::Ok) << c.name << " " << rel << " crit " << crit;
  // The error estimate covers the actual error, and the request is met.
  EXPECT_LE(D(xabs(r.value - exact)), D(r.error)) << c.name << " " << rel << " crit " << crit;
  EXPECT_LE(actual, rel) << c.name << " " << rel << " crit " << crit;
  if (crit == 0) {
    EXPECT_LE(r.evaluations, c.maxEvals) << c.name << " " << rel;
  }
}

TEST(XIntegrate, SmoothIntegrandsMeetRequestsDownTo1e34) {
  for (int crit : {0, 1})
    for (const Case &c : kSmooth)
      for (double rel : {1e-10, 1e-20, 1e-30, 1e-34}) checkCase(c, rel, crit, 100);
}

TEST(XIntegrate, PeakedAndOscillatingIntegrandsMeetRequestsDownTo1e34) {
  for (int crit : {0, 1})
    for (const Case &c : kPeaked)
      for (double rel : {1e-10, 1e-20, 1e-30, 1e-34}) checkCase(c, rel, crit, 100);
}

TEST(XIntegrate, EndpointSingularitiesReach1e30ByExtrapolation) {
  for (int crit : {0, 1})
    for (const Case &c : kSingular)
      for (double rel : {1e-10, 1e-20, 1e-30}) checkCase(c, rel, crit, 100);
}

TEST(XIntegrate, InfiniteRanges) {
  struct Inf {
    XRealValue (*f)(XRealValue, void *);
    double a, b;
    XRealValue exact;
  };
  auto fexpm = [](XRealValue x, void *) { return fathom::exp(-x); };
  auto fgauss = [](XRealValue x, void *) { return fathom::exp(-x * x); };
  auto fcauchy = [](XRealValue x, void *) { return Xi(1) / (Xi(1) + x * x); };
  const Inf cases[] = {
      {fexpm, 0, INFINITY, Xi(1)},
      {fgauss, -INFINITY, INFINITY, fathom::sqrt(fathom::xpi())},
      {fexp, -INFINITY, 0, Xi(1)},
      {fcauchy, -INFINITY, INFINITY, fathom::xpi()},
      {fcauchy, 1, INFINITY, fathom::xpi() / Xi(4)},
  };
  for (const Inf &c : cases) {
    for (double rel : {1e-12, 1e-25}) {
      XIntegResult r = fathom::xkgauss(c.f, nullptr, X(c.a), X(c.b), rel, 100, 0);
      EXPECT_EQ(r.status, IntegStatus::Ok) << c.a << " " << c.b << " " << rel;
      EXPECT_LT(relErr(r.value, c.exact), rel) << c.a << " " << c.b << " " << rel;
    }
  }
}

TEST(XIntegrate, ReversedAndEmptyRangesAndNaN) {
  XIntegResult r = fathom::xkgauss(fexp, nullptr, X(1), X(0), 1e-30, 100, 0);
  EXPECT_LT(relErr(r.value, -exactExp()), 1e-30);
  r = fathom::xkgauss(fexp, nullptr, X(2), X(2), 1e-30, 100, 0);
  EXPECT_TRUE(fathom::isZero(r.value));
  EXPECT_EQ(r.evaluations, 0);
  r = fathom::xkgauss(fexp, nullptr, fathom::nan(), X(2), 1e-30, 100, 0);
  EXPECT_TRUE(fathom::isNaN(r.value));
  EXPECT_EQ(r.evaluations, 0);
}

// Beyond double range: the bounds and the integral of exp over
// [10^4, 10^4 + 1] overflow doubles but not extended reals.
TEST(XIntegrate, ValuesBeyondDoubleRange) {
  XRealValue a = Xi(10000), b = Xi(10001);
  XIntegResult r = fathom::xkgauss(fexp, nullptr, a, b, 1e-30, 100, 0);
  XRealValue exact = fathom::exp(b) - fathom::exp(a);
  EXPECT_EQ(r.status, IntegStatus::Ok);
  EXPECT_LT(relErr(r.value, exact), 1e-30);
}

TEST(XIntegrate, SquareRootWeight) {
  auto fone = [](XRealValue, void *) { return Xi(1); };
  // c below, above and inside the range, and at an endpoint.
  XIntegResult r = fathom::xsqkgauss(fone, nullptr, X(0), X(1), X(-1), 1e-32, 100, 0);
  EXPECT_LT(relErr(r.value, Xi(2) * (fathom::sqrt(Xi(2)) - Xi(1))), 1e-32);
  r = fathom::xsqkgauss(fone, nullptr, X(0), X(1), X(3), 1e-32, 100, 1);
  EXPECT_LT(relErr(r.value, Xi(2) * (fathom::sqrt(Xi(3)) - fathom::sqrt(Xi(2)))), 1e-32);
  r = fathom::xsqkgauss(fone, nullptr, X(-1), X(1), X(0), 1e-32, 100, 0);
  EXPECT_LT(relErr(r.value, Xi(4)), 1e-32);
  r = fathom::xsqkgauss(fone, nullptr, X(1), X(0), X(1), 1e-32, 100, 0);
  EXPECT_LT(relErr(r.value, Xi(-2)), 1e-32);
  // int_0^1 exp(x)/sqrt(x) dx = sum 1/(n! (n + 1/2)): a smooth integrand
  // after the substitution, so one rule per piece.
  XRealValue exact = Xi(0), fact = Xi(1);
  for (int n = 0; n < 60; ++n) {
    exact += Xi(2) / (fact * Xi(2 * n + 1));
    fact *= Xi(n + 1);
  }
  r = fathom::xsqkgauss(fexp, nullptr, X(0), X(1), X(0), 1e-32, 100, 0);
  EXPECT_EQ(r.status, IntegStatus::Ok);
  EXPECT_LT(relErr(r.value, exact), 1e-32);
  EXPECT_LE(r.evaluations, 63);
}

struct Counter {
  int calls = 0;
  int stopAfter = 0;
};

XRealValue counted(XRealValue x, void *p) {
  ++static_cast<Counter *>(p)->calls;
  return Xi(1) / fathom::sqrt(x);
}

bool stopNow(void *p) {
  Counter *c = static_cast<Counter *>(p);
  return c->calls >= c->stopAfter;
}

TEST(XIntegrate, StopEndsAfterTheCurrentBatch) {
  Counter c;
  c.stopAfter = 5;
  XIntegResult r = fathom::xkgauss(counted, &c, X(0), X(1), 1e-30, 100, 0, stopNow);
  EXPECT_EQ(r.status, IntegStatus::Stopped);
  EXPECT_EQ(c.calls, 21);
  Counter d;
  d.stopAfter = 100;
  r = fathom::xkgauss(counted, &d, X(0), X(1), 1e-30, 100, 0, stopNow);
  EXPECT_EQ(r.status, IntegStatus::Stopped);
  EXPECT_LE(d.calls, 100 + 42);
}

TEST(XIntegrate, PrecisionNotMetWarns) {
  XRealValue (*finv)(XRealValue, void *) = [](XRealValue x, void *) { return Xi(1) / x; };
  testing::internal::CaptureStderr();
  XIntegResult r = fathom::xkgauss(finv, nullptr, X(0), X(1), 1e-10, 10, 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r.status, IntegStatus::PrecisionNotMet);
  EXPECT_EQ(r.intervals, 10);
  EXPECT_EQ(err.rfind("Precision not met in eld_kgauss (", 0), 0u) << err;
  EXPECT_NE(err.find(") in [0, 1]\n"), std::string::npos) << err;
  EXPECT_TRUE(fathom::isFinite(r.value));
  // Bounds print in the fewest digits that read back to them.
  testing::internal::CaptureStderr();
  fathom::xkgauss(finv, nullptr, Xi(1) / Xi(3), fathom::strtox("-2.5e-7", nullptr), 1e-10, 3, 0);
  err = testing::internal::GetCapturedStderr();
  size_t open = err.find(" in [");
  size_t comma = err.find(", ", open);
  ASSERT_NE(comma, std::string::npos) << err;
  std::string first = err.substr(open + 5, comma - open - 5);
  EXPECT_TRUE(fathom::strtox(first.c_str(), nullptr) == Xi(1) / Xi(3)) << first;
  EXPECT_EQ(first.rfind("0.3333333333", 0), 0u) << first;
  EXPECT_LE(first.size(), 42u) << first;
  EXPECT_EQ(err.substr(comma), ", -2.5e-07]\n") << err;
}

} // namespace
