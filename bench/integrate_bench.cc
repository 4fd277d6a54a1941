// Evaluations and achieved error of Fathom's kgauss/sqkgauss against the
// requested relative error, beside GSL's QAGS (gsl_integration_qags, 100
// subintervals) in the same run, and of the extended xkgauss/xsqkgauss at
// requests down to 1e-34.  Counters: evals, err (actual relative error),
// claimed (the routine's own error estimate, relative).
#include "fathom/integrate.h"
#include "fathom/xintegrate.h"
#include "fathom/xmath.h"

#include <benchmark/benchmark.h>

#include <cmath>

#ifdef KOR_HAVE_GSL
#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>
#endif

namespace {

struct Integrand {
  const char *name;
  double (*f)(double, void *);
  double a, b, exact;
};

long g_calls = 0;
double fexp(double x, void *) { ++g_calls; return std::exp(x); }
double finvsqrt(double x, void *) { ++g_calls; return 1 / std::sqrt(x); }
double flog(double x, void *) { ++g_calls; return std::log(x); }
double flogsqrt(double x, void *) { ++g_calls; return std::log(x) / std::sqrt(x); }
double frunge(double x, void *) { ++g_calls; return 1 / (1 + 25 * x * x); }
double fcos100(double x, void *) { ++g_calls; return std::cos(100 * x); }
double fcos(double x, void *) { ++g_calls; return std::cos(x); }
double fpow09(double x, void *) { ++g_calls; return std::pow(x, -0.9); }
double fpowlog(double x, void *) { ++g_calls; return std::pow(x, 0.3) * std::log(x); }
double finterior(double x, void *) { ++g_calls; return 1 / std::sqrt(std::fabs(x - 1.0 / 3)); }
double flogabs(double x, void *) { ++g_calls; return std::log(std::fabs(x - 0.7)); }
double fpeak(double x, void *) { ++g_calls; return 1 / (x * x + 1e-4); }
double flog2sqrt(double x, void *) { ++g_calls; return std::log(x) * std::log(x) / std::sqrt(x); }
double fright(double x, void *) { ++g_calls; return std::pow(1 - x, -0.7); }

const Integrand kSet[] = {
    {"exp", fexp, 0, 1, 1.7182818284590452354},
    {"invsqrt", finvsqrt, 0, 1, 2},
    {"log", flog, 0, 1, -1},
    {"logsqrt", flogsqrt, 0, 1, -4},
    {"runge", frunge, -1, 1, 0.54936030677800634},
    {"cos100", fcos100, 0, 1, -0.0050636564110975880},
    {"x^-0.9", fpow09, 0, 1, 10},
    {"x^0.3 log", fpowlog, 0, 1, -0.59171597633136096540},
    {"|x-1/3|^-1/2", finterior, 0, 1, 2.7876937002347036},
    {"log|x-0.7|", flogabs, 0, 1, -1.6108643020548934893},
    {"peak", fpeak, -1, 1, 312.15933202164627620},
    {"log^2/sqrt", flog2sqrt, 0, 1, 16},
    {"(1-x)^-0.7", fright, 0, 1, 3.3333333333333333333},
};
constexpr double kCosW = 1.8090484758005437599;   // int_0^1 cos(x)/sqrt(x)

void fathomCase(benchmark::State &s) {
  const Integrand &c = kSet[s.range(0)];
  double rel = std::pow(10.0, -(double)s.range(1));
  fathom::IntegResult r{};
  for (auto _ : s) {
    g_calls = 0;
    r = fathom::kgauss(c.f, nullptr, c.a, c.b, rel, 100, 0);
  }
  s.SetLabel(c.name);
  s.counters["evals"] = (double)g_calls;
  s.counters["err"] = std::fabs(r.value - c.exact) / std::fabs(c.exact);
  s.counters["claimed"] = r.error / std::fabs(c.exact);
}
BENCHMARK(fathomCase)->ArgsProduct({benchmark::CreateDenseRange(0, 12, 1), {6, 10, 12}});

void fathomSqrtWeight(benchmark::State &s) {
  double rel = std::pow(10.0, -(double)s.range(0));
  fathom::IntegResult r{};
  for (auto _ : s) {
    g_calls = 0;
    r = fathom::sqkgauss(fcos, nullptr, 0, 1, 0, rel, 100, 0);
  }
  s.SetLabel("cos/sqrt");
  s.counters["evals"] = (double)g_calls;
  s.counters["err"] = std::fabs(r.value - kCosW) / kCosW;
  s.counters["claimed"] = r.error / kCosW;
}
BENCHMARK(fathomSqrtWeight)->Arg(6)->Arg(10)->Arg(12);

// ---- Extended precision ----

using fathom::XRealValue;
XRealValue Xi(int64_t i) { return fathom::fromInt64(i); }

XRealValue xfexp(XRealValue x, void *) { ++g_calls; return fathom::exp(x); }
XRealValue xfatan(XRealValue x, void *) { ++g_calls; return Xi(1) / (Xi(1) + x * x); }
XRealValue xfsqrt1(XRealValue x, void *) { ++g_calls; return fathom::sqrt(Xi(1) + x); }
XRealValue xfrunge(XRealValue x, void *) { ++g_calls; return Xi(1) / (Xi(1) + Xi(25) * x * x); }
XRealValue xfcos30(XRealValue x, void *) { ++g_calls; return fathom::cos(Xi(30) * x); }
XRealValue xfinvsqrt(XRealValue x, void *) { ++g_calls; return Xi(1) / fathom::sqrt(x); }
XRealValue xflog(XRealValue x, void *) { ++g_calls; return fathom::log(x); }
XRealValue xflogsqrt(XRealValue x, void *) { ++g_calls; return fathom::log(x) / fathom::sqrt(x); }
XRealValue xfpow(XRealValue x, void *) { ++g_calls; return fathom::pow(x, fathom::fromDouble(-0.875)); }
XRealValue xfright(XRealValue x, void *) { ++g_calls; return fathom::pow(Xi(1) - x, fathom::fromDouble(-0.75)); }
XRealValue xfcos(XRealValue x, void *) { ++g_calls; return fathom::cos(x); }

struct XIntegrand {
  const char *name;
  XRealValue (*f)(XRealValue, void *);
  int a, b;
  XRealValue (*exact)();
};

const XIntegrand kXSet[] = {
    {"exp", xfexp, 0, 1, [] { return fathom::exp(Xi(1)) - Xi(1); }},
    {"1/(1+x^2)", xfatan, 0, 1, [] { return fathom::xpi() / Xi(4); }},
    {"sqrt(1+x)", xfsqrt1, 0, 1,
     [] { return Xi(2) / Xi(3) * (Xi(2) * fathom::sqrt(Xi(2)) - Xi(1)); }},
    {"runge", xfrunge, -1, 1, [] { return Xi(2) / Xi(5) * fathom::atan(Xi(5)); }},
    {"cos 30x", xfcos30, 0, 1, [] { return fathom::sin(Xi(30)) / Xi(30); }},
    {"invsqrt", xfinvsqrt, 0, 1, [] { return Xi(2); }},
    {"log", xflog, 0, 1, [] { return Xi(-1); }},
    {"logsqrt", xflogsqrt, 0, 1, [] { return Xi(-4); }},
    {"x^-0.875", xfpow, 0, 1, [] { return Xi(8); }},
    {"(1-x)^-0.75", xfright, 0, 1, [] { return Xi(4); }},
};

void xCounters(benchmark::State &s, const char *name, XRealValue value, XRealValue error,
               XRealValue exact) {
  s.SetLabel(name);
  s.counters["evals"] = (double)g_calls;
  XRealValue ax = fathom::fabs(exact);
  s.counters["err"] = fathom::toDouble(fathom::fabs(value - exact) / ax);
  s.counters["claimed"] = fathom::toDouble(error / ax);
}

void fathomExtended(benchmark::State &s) {
  const XIntegrand &c = kXSet[s.range(0)];
  double rel = std::pow(10.0, -(double)s.range(1));
  fathom::XIntegResult r{};
  for (auto _ : s) {
    g_calls = 0;
    r = fathom::xkgauss(c.f, nullptr, Xi(c.a), Xi(c.b), rel, 100, 0);
  }
  xCounters(s, c.name, r.value, r.error, c.exact());
}
BENCHMARK(fathomExtended)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {10, 20, 30, 34}})
    ->Unit(benchmark::kMicrosecond);

void fathomExtendedSqrtWeight(benchmark::State &s) {
  double rel = std::pow(10.0, -(double)s.range(0));
  fathom::XIntegResult r{};
  for (auto _ : s) {
    g_calls = 0;
    r = fathom::xsqkgauss(xfcos, nullptr, Xi(0), Xi(1), Xi(0), rel, 100, 0);
  }
  // int_0^1 cos(x)/sqrt(x) dx = sum (-1)^n / ((2n)! (2n + 1/2)).
  XRealValue exact = Xi(0), fact = Xi(1);
  for (int n = 0; n < 40; ++n) {
    XRealValue term = Xi(2) / (fact * Xi(4 * n + 1));
    exact = n & 1 ? exact - term : exact + term;
    fact = fact * Xi(2 * n + 1) * Xi(2 * n + 2);
  }
  xCounters(s, "cos/sqrt", r.value, r.error, exact);
}
BENCHMARK(fathomExtendedSqrtWeight)->Arg(10)->Arg(20)->Arg(30)->Arg(34)->Unit(benchmark::kMicrosecond);

#ifdef KOR_HAVE_GSL
double fcosw(double x, void *) { ++g_calls; return std::cos(x) / std::sqrt(x); }

double gslAdapter(double x, void *p) {
  return reinterpret_cast<double (*)(double, void *)>(p)(x, nullptr);
}

void gslCase(benchmark::State &s, double (*f)(double, void *), double a, double b, double exact,
             const char *name, double rel) {
  gsl_set_error_handler_off();
  gsl_integration_workspace *w = gsl_integration_workspace_alloc(100);
  gsl_function fn{gslAdapter, reinterpret_cast<void *>(f)};
  double res = 0, err = 0;
  for (auto _ : s) {
    g_calls = 0;
    gsl_integration_qags(&fn, a, b, 0, rel, 100, w, &res, &err);
  }
  gsl_integration_workspace_free(w);
  s.SetLabel(name);
  s.counters["evals"] = (double)g_calls;
  s.counters["err"] = std::fabs(res - exact) / std::fabs(exact);
  s.counters["claimed"] = err / std::fabs(exact);
}

void gslQags(benchmark::State &s) {
  const Integrand &c = kSet[s.range(0)];
  gslCase(s, c.f, c.a, c.b, c.exact, c.name, std::pow(10.0, -(double)s.range(1)));
}
BENCHMARK(gslQags)->ArgsProduct({benchmark::CreateDenseRange(0, 12, 1), {6, 10, 12}});

void gslSqrtWeight(benchmark::State &s) {
  gslCase(s, fcosw, 0, 1, kCosW, "cos/sqrt", std::pow(10.0, -(double)s.range(0)));
}
BENCHMARK(gslSqrtWeight)->Arg(6)->Arg(10)->Arg(12);
#endif

} // namespace

BENCHMARK_MAIN();
