// ns per call of the gamma family, the error functions, zeta, the
// dilogarithm and the logarithmic integral in both precisions: Fathom's
// double kernel (_d), its extended kernel (_x) and MPFR at 128 bits (_mpfr)
// where MPFR has the function.  Each benchmark cycles through 256 arguments
// of the range named, with full 128-bit significands for the extended ones.
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <random>

#include "bench/xspecial_bench_args.h"
#include "fathom/special.h"
#include "fathom/xreal.h"
#include "fathom/xspecial_gamma.h"

namespace {

using fathom::XRealValue;

using xbench::Args;   // the shared argument sets of the extended benchmarks
using xbench::kN;

template <double (*F)(double)> void d1(benchmark::State &s, Args *a) {
  unsigned i = 0;
  for (auto _ : s) benchmark::DoNotOptimize(F(a->d[i++ % kN]));
}
template <XRealValue (*F)(XRealValue)> void x1(benchmark::State &s, Args *a) {
  unsigned i = 0;
  for (auto _ : s) benchmark::DoNotOptimize(F(a->x[i++ % kN]));
}
template <int (*F)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)> void m1(benchmark::State &s, Args *a) {
  mpfr_t r;
  mpfr_init2(r, 128);
  unsigned i = 0;
  for (auto _ : s) {
    F(r, a->m[i++ % kN], MPFR_RNDN);
    benchmark::DoNotOptimize(r);
  }
  mpfr_clear(r);
}

template <double (*F)(double, double)> void d2(benchmark::State &s, Args *a, Args *b) {
  unsigned i = 0;
  for (auto _ : s) {
    unsigned k = i++ % kN;
    benchmark::DoNotOptimize(F(a->d[k], b->d[k]));
  }
}
template <XRealValue (*F)(XRealValue, XRealValue)> void x2(benchmark::State &s, Args *a, Args *b) {
  unsigned i = 0;
  for (auto _ : s) {
    unsigned k = i++ % kN;
    benchmark::DoNotOptimize(F(a->x[k], b->x[k]));
  }
}

int mpfrLgamma(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t rnd) {
  int sign;
  return mpfr_lgamma(r, &sign, x, rnd);
}

// li(x) = Ei(log x), the logarithm at 128 bits (MPFR has no li).
int mpfrLi(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t rnd) {
  mpfr_t l;
  mpfr_init2(l, 128);
  mpfr_log(l, x, rnd);
  int t = mpfr_eint(r, l, rnd);
  mpfr_clear(l);
  return t;
}

void mpfrBeta(benchmark::State &s, Args *a, Args *b) {
  mpfr_t r;
  mpfr_init2(r, 128);
  unsigned i = 0;
  for (auto _ : s) {
    unsigned k = i++ % kN;
    mpfr_beta(r, a->m[k], b->m[k], MPFR_RNDN);
    benchmark::DoNotOptimize(r);
  }
  mpfr_clear(r);
}

// The upper function Gamma(a, x) (MPFR has no lower one).
void mpfrGammaInc(benchmark::State &s, Args *a, Args *b) {
  mpfr_t r;
  mpfr_init2(r, 128);
  unsigned i = 0;
  for (auto _ : s) {
    unsigned k = i++ % kN;
    mpfr_gamma_inc(r, a->m[k], b->m[k], MPFR_RNDN);
    benchmark::DoNotOptimize(r);
  }
  mpfr_clear(r);
}

void betaLowerD(benchmark::State &s, Args *a, Args *b, Args *x) {
  unsigned i = 0;
  for (auto _ : s) {
    unsigned k = i++ % kN;
    benchmark::DoNotOptimize(fathom::betaLower(a->d[k], b->d[k], x->d[k]));
  }
}
void betaLowerX(benchmark::State &s, Args *a, Args *b, Args *x) {
  unsigned i = 0;
  for (auto _ : s) {
    unsigned k = i++ % kN;
    benchmark::DoNotOptimize(fathom::betaLower(a->x[k], b->x[k], x->x[k]));
  }
}

} // namespace

// One row per range: the double and extended kernels, then MPFR.
#define ROW1(name, lo, hi, F, M)                                                  \
  {                                                                               \
    Args *a = new Args(lo, hi, __LINE__);                                         \
    benchmark::RegisterBenchmark(#name "_d", d1<fathom::F>, a);                   \
    benchmark::RegisterBenchmark(#name "_x", x1<fathom::F>, a);                   \
    if (M) benchmark::RegisterBenchmark(#name "_mpfr", m1<M>, a);                 \
  }

int main(int argc, char **argv) {
  using MpFn = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
  constexpr MpFn none = nullptr;
  ROW1(erf, -5, 5, erf, mpfr_erf)
  ROW1(erfc, -5, 20, erfc, mpfr_erfc)
  ROW1(lnerfc, -5, 50, lnErfc, none)
  ROW1(dawson, -10, 10, dawson, none)
  ROW1(gamma, 0.1, 170, gamma, mpfr_gamma)
  ROW1(gamma_small, 0.1, 10, gamma, mpfr_gamma)
  ROW1(lngamma, 0.1, 1000, lnGamma, mpfrLgamma)
  ROW1(digamma, 0.1, 100, digamma, mpfr_digamma)
  ROW1(trigamma, 0.1, 100, trigamma, none)
  ROW1(zeta, -20, 60, zeta, mpfr_zeta)
  ROW1(zeta_pos, 1.5, 60, zeta, mpfr_zeta)
  ROW1(dilog, -10, 10, dilog, mpfr_li2)
  ROW1(li, 0.1, 1000, logInt, mpfrLi)

  Args *betaA = new Args(0.1, 50, 101), *betaB = new Args(0.1, 50, 102);
  benchmark::RegisterBenchmark("beta_d", d2<fathom::beta>, betaA, betaB);
  benchmark::RegisterBenchmark("beta_x", x2<fathom::beta>, betaA, betaB);
  benchmark::RegisterBenchmark("beta_mpfr", mpfrBeta, betaA, betaB);

  Args *igA = new Args(0.1, 50, 111), *igX = new Args(0.1, 60, 112);
  benchmark::RegisterBenchmark("igamma_d", d2<fathom::gammaLower>, igA, igX);
  benchmark::RegisterBenchmark("igamma_x", x2<fathom::gammaLower>, igA, igX);
  benchmark::RegisterBenchmark("igamma_upper_mpfr", mpfrGammaInc, igA, igX);

  Args *ibA = new Args(0.1, 50, 121), *ibB = new Args(0.1, 50, 122), *ibX = new Args(0, 1, 123);
  benchmark::RegisterBenchmark("ibeta_d", betaLowerD, ibA, ibB, ibX);
  benchmark::RegisterBenchmark("ibeta_x", betaLowerX, ibA, ibB, ibX);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
