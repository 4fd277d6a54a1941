// The adaptive Gauss-Kronrod integrator: accuracy claims against known
// integrals, evaluation counts, the square-root weight, infinite ranges,
// the stop callback and the precision warning.
#include "fathom/integrate.h"
#include "fathom/special.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using fathom::IntegStatus;

struct Case {
  const char *name;
  double (*f)(double, void *);
  double a, b, exact;
  int maxEvals;   // bound on evaluations at any request (QAGS: 21, 231, 231, 315, 231, 1071)
};

double fexp(double x, void *) { return std::exp(x); }
double finvsqrt(double x, void *) { return 1 / std::sqrt(x); }
double flog(double x, void *) { return std::log(x); }
double flogsqrt(double x, void *) { return std::log(x) / std::sqrt(x); }
double frunge(double x, void *) { return 1 / (1 + 25 * x * x); }
double fcos100(double x, void *) { return std::cos(100 * x); }
double fone(double, void *) { return 1; }
double fcos(double x, void *) { return std::cos(x); }
double fgauss(double x, void *) { return std::exp(-x * x); }
double fexpm(double x, void *) { return std::exp(-x); }
double fx30(double x, void *) { return std::pow(x, 30); }
double finv(double x, void *) { return 1 / x; }

const Case kCases[] = {
    {"exp", fexp, 0, 1, std::exp(1.0) - 1, 21},
    {"1/sqrt", finvsqrt, 0, 1, 2, 300},
    {"log", flog, 0, 1, -1, 300},
    {"log/sqrt", flogsqrt, 0, 1, -4, 380},
    {"runge", frunge, -1, 1, 0.4 * std::atan(5.0), 231},
    {"cos100", fcos100, 0, 1, std::sin(100.0) / 100, 651},
};

TEST(Integrate, ErrorClaimsHoldOnStandardIntegrands) {
  for (int crit : {0, 1}) {
    for (const Case &c : kCases) {
      for (double rel : {1e-6, 1e-10, 1e-12}) {
        fathom::IntegResult r = fathom::kgauss(c.f, nullptr, c.a, c.b, rel, 100, crit);
        double actual = std::fabs(r.value - c.exact);
        EXPECT_EQ(r.status, IntegStatus::Ok) << c.name << " " << rel << " crit " << crit;
        EXPECT_LE(actual, r.error + 4e-16 * std::fabs(c.exact)) << c.name << " " << rel;
        EXPECT_LE(actual, 2 * rel * std::fabs(c.exact)) << c.name << " " << rel;
        if (crit == 0) {
          EXPECT_LE(r.evaluations, c.maxEvals) << c.name << " " << rel;
        }
      }
    }
  }
}

TEST(Integrate, SmoothIntegrandNeedsOneRule) {
  fathom::IntegResult r = fathom::kgauss(fexp, nullptr, 0, 1, 1e-12, 100, 0);
  EXPECT_EQ(r.evaluations, 21);
  EXPECT_EQ(r.intervals, 1);
  // The 21-point rule integrates x^30 exactly.
  r = fathom::kgauss(fx30, nullptr, 0, 1, 1e-14, 1, 0);
  EXPECT_NEAR(r.value, 1.0 / 31, 1e-16);
}

TEST(Integrate, ReversedAndEmptyRanges) {
  fathom::IntegResult r = fathom::kgauss(fexp, nullptr, 1, 0, 1e-10, 100, 0);
  EXPECT_NEAR(r.value, 1 - std::exp(1.0), 1e-14);
  r = fathom::kgauss(fexp, nullptr, 2, 2, 1e-10, 100, 0);
  EXPECT_EQ(r.value, 0.0);
  EXPECT_EQ(r.evaluations, 0);
}

TEST(Integrate, InfiniteRanges) {
  fathom::IntegResult r = fathom::kgauss(fexpm, nullptr, 0, INFINITY, 1e-10, 100, 0);
  EXPECT_NEAR(r.value, 1.0, 1e-10);
  r = fathom::kgauss(fgauss, nullptr, -INFINITY, INFINITY, 1e-10, 100, 0);
  EXPECT_NEAR(r.value, std::sqrt(fathom::kPi), 1e-9);
  r = fathom::kgauss(fexp, nullptr, -INFINITY, 0, 1e-10, 100, 0);
  EXPECT_NEAR(r.value, 1.0, 1e-10);
}

TEST(Integrate, SquareRootWeight) {
  // int_0^1 cos(x)/sqrt(x) = 2 sqrt(pi/2) C(sqrt(2/pi)).
  double exact = 2 * std::sqrt(fathom::kPi / 2) * fathom::fresnelC(std::sqrt(2 / fathom::kPi));
  fathom::IntegResult r = fathom::sqkgauss(fcos, nullptr, 0, 1, 0, 1e-12, 100, 0);
  EXPECT_NEAR(r.value, exact, 1e-12 * exact);
  EXPECT_LE(r.evaluations, 42);
  // c below, above and inside the range.
  r = fathom::sqkgauss(fone, nullptr, 0, 1, -1, 1e-12, 100, 0);
  EXPECT_NEAR(r.value, 2 * (std::sqrt(2.0) - 1), 1e-14);
  r = fathom::sqkgauss(fone, nullptr, 0, 1, 3, 1e-12, 100, 1);
  EXPECT_NEAR(r.value, 2 * (std::sqrt(3.0) - std::sqrt(2.0)), 1e-14);
  r = fathom::sqkgauss(fone, nullptr, -1, 1, 0, 1e-12, 100, 0);
  EXPECT_NEAR(r.value, 4.0, 1e-13);
  r = fathom::sqkgauss(fone, nullptr, 1, 0, 1, 1e-12, 100, 0);
  EXPECT_NEAR(r.value, -2.0, 1e-13);
}

struct Counter {
  int calls = 0;
  int stopAfter = 0;
};

double counted(double x, void *p) {
  Counter *c = static_cast<Counter *>(p);
  ++c->calls;
  return 1 / std::sqrt(x);
}

bool stopNow(void *p) {
  Counter *c = static_cast<Counter *>(p);
  return c->calls >= c->stopAfter;
}

TEST(Integrate, StopEndsAfterTheCurrentBatch) {
  Counter c;
  c.stopAfter = 5;
  fathom::IntegResult r = fathom::kgauss(counted, &c, 0, 1, 1e-12, 100, 0, stopNow);
  EXPECT_EQ(r.status, IntegStatus::Stopped);
  EXPECT_EQ(c.calls, 21);
  EXPECT_EQ(r.evaluations, 21);
  Counter d;
  d.stopAfter = 100;
  r = fathom::kgauss(counted, &d, 0, 1, 1e-12, 100, 0, stopNow);
  EXPECT_EQ(r.status, IntegStatus::Stopped);
  EXPECT_LE(d.calls, 100 + 42);
  Counter e;
  e.stopAfter = 1;
  r = fathom::sqkgauss(counted, &e, 0, 1, -1, 1e-12, 100, 0, stopNow);
  EXPECT_EQ(r.status, IntegStatus::Stopped);
  EXPECT_EQ(e.calls, 21);
}

TEST(Integrate, PrecisionNotMetWarns) {
  testing::internal::CaptureStderr();
  fathom::IntegResult r = fathom::kgauss(finv, nullptr, 0, 1, 1e-10, 10, 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r.status, IntegStatus::PrecisionNotMet);
  EXPECT_EQ(r.intervals, 10);
  EXPECT_EQ(err.rfind("Precision not met in kgauss (", 0), 0u) << err;
  EXPECT_NE(err.find(") in [0,1]\n"), std::string::npos) << err;
  EXPECT_TRUE(std::isfinite(r.value));
}
} // namespace
