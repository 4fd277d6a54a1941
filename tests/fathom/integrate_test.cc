// The adaptive Gauss-Kronrod integrator: accuracy claims against known
// integrals, evaluation counts, the square-root weight, infinite ranges,
// the stop callback and the precision warning.
#include "fathom/integrate.h"
#include "fathom/special.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace {

using fathom::IntegStatus;

struct Case {
  const char *name;
  double (*f)(double, void *);
  double a, b, exact;
  int maxEvals;   // QAGS's count at the strictest request (GSL 2.7): kgauss may not exceed it
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
    {"1/sqrt", finvsqrt, 0, 1, 2, 231},
    {"log", flog, 0, 1, -1, 231},
    {"log/sqrt", flogsqrt, 0, 1, -4, 315},
    {"runge", frunge, -1, 1, 0.4 * std::atan(5.0), 231},
    {"cos100", fcos100, 0, 1, std::sin(100.0) / 100, 651},
};

double fpow09(double x, void *) { return std::pow(x, -0.9); }
double fpowlog(double x, void *) { return std::pow(x, 0.3) * std::log(x); }
double finterior(double x, void *) { return 1 / std::sqrt(std::fabs(x - 1.0 / 3)); }
double flogabs(double x, void *) { return std::log(std::fabs(x - 0.7)); }
double fpeak(double x, void *) { return 1 / (x * x + 1e-4); }
double fexpsqrt(double x, void *) { return std::exp(-x) / std::sqrt(x); }
double flog2sqrt(double x, void *) { return std::log(x) * std::log(x) / std::sqrt(x); }
double fright(double x, void *) { return std::pow(1 - x, -0.7); }
double fxlogx(double x, void *) { return x * std::log(x); }

// Singular and peaked integrands; maxEvals is QAGS's count at 1e-10 (GSL
// 2.7, 100 subintervals), which kgauss must not exceed.
const Case kHard[] = {
    {"x^-0.9", fpow09, 0, 1, 10, 231},
    {"x^0.3 log", fpowlog, 0, 1, -1 / 1.69, 315},
    {"|x-1/3|^-1/2", finterior, 0, 1, 2 * (std::sqrt(1.0 / 3) + std::sqrt(2.0 / 3)), 231},
    {"log|x-0.7|", flogabs, 0, 1, 0.7 * std::log(0.7) + 0.3 * std::log(0.3) - 1, 399},
    {"peak", fpeak, -1, 1, 200 * std::atan(100.0), 567},
    {"exp/sqrt", fexpsqrt, 0, 50, 1.7724538509055160273 * std::erf(std::sqrt(50.0)), 483},
    {"log^2/sqrt", flog2sqrt, 0, 1, 16, 399},
    {"(1-x)^-0.7", fright, 0, 1, 1 / 0.3, 231},
    {"x log x", fxlogx, 0, 1, -0.25, 231},
};

TEST(Integrate, ErrorClaimsHoldOnStandardIntegrands) {
  for (int crit : {0, 1}) {
    for (const Case &c : kCases) {
      for (double rel : {1e-6, 1e-10, 1e-12}) {
        fathom::IntegResult r = fathom::kgauss(c.f, nullptr, c.a, c.b, rel, 100, crit);
        double actual = std::fabs(r.value - c.exact);
        EXPECT_EQ(r.status, IntegStatus::Ok) << c.name << " " << rel << " crit " << crit;
        EXPECT_LE(actual, r.error) << c.name << " " << rel;
        EXPECT_LE(actual, 2 * rel * std::fabs(c.exact)) << c.name << " " << rel;
        if (crit == 0) {
          EXPECT_LE(r.evaluations, c.maxEvals) << c.name << " " << rel;
        }
      }
    }
  }
}

TEST(Integrate, ErrorClaimsHoldOnSingularIntegrands) {
  for (int crit : {0, 1}) {
    for (const Case &c : kHard) {
      for (double rel : {1e-3, 1e-6, 1e-8, 1e-10, 1e-12}) {
        fathom::IntegResult r = fathom::kgauss(c.f, nullptr, c.a, c.b, rel, 100, crit);
        double actual = std::fabs(r.value - c.exact);
        EXPECT_EQ(r.status, IntegStatus::Ok) << c.name << " " << rel << " crit " << crit;
        EXPECT_LE(actual, r.error) << c.name << " " << rel << " crit " << crit;
        EXPECT_LE(actual, rel * std::fabs(c.exact)) << c.name << " " << rel << " crit " << crit;
        if (crit == 0 && rel == 1e-10) {
          EXPECT_LE(r.evaluations, c.maxEvals) << c.name;
        }
      }
    }
  }
}

// A node that rounds onto the singular endpoint gives inf: the result must
// not claim success with it.
TEST(Integrate, InfiniteSampleIsNotSuccess) {
  testing::internal::CaptureStderr();
  fathom::IntegResult r = fathom::kgauss(fright, nullptr, 0, 1, 1e-15, 100, 0);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(std::isfinite(r.value));
  if (r.status == IntegStatus::Ok) {
    EXPECT_LE(std::fabs(r.value - 1 / 0.3), r.error);
    EXPECT_LE(r.error, 50 * DBL_EPSILON * 4);
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
