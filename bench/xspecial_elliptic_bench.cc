// ns per call of the elliptic integrals and Jacobi functions in both
// precisions: Fathom's double kernel (_d) and its extended kernel (_x)
// (MPFR has no elliptic functions).  Each benchmark cycles through 256
// arguments of the ranges named, with full 128-bit significands for the
// extended ones.
#include <benchmark/benchmark.h>

#include <random>

#include "fathom/special.h"
#include "fathom/xreal.h"
#include "fathom/xspecial_elliptic.h"

namespace {

using fathom::XRealValue;

constexpr int kN = 256;

// Arguments in [lo, hi): doubles and extended reals close to them.
struct Args {
  double d[kN];
  XRealValue x[kN];
  Args(double lo, double hi, uint64_t seed) {
    std::mt19937_64 rng(seed);
    for (int i = 0; i < kN; i++) {
      double u = (double)(rng() >> 11) * 0x1p-53;
      d[i] = lo + (hi - lo) * u;
      double tail = d[i] * 0x1p-60 * ((double)(rng() >> 11) * 0x1p-53);
      x[i] = fathom::fromDouble(d[i]) + fathom::fromDouble(tail);
    }
  }
};

Args kcs(0.01, 1, 1), kcWide(0.001, 3, 2), ns(-3, 0.9, 3), xs(0.01, 10, 4), us(-10, 10, 5);

template <double (*F)(double)> void d1(benchmark::State &s, Args *a) {
  unsigned i = 0;
  for (auto _ : s) benchmark::DoNotOptimize(F(a->d[i++ % kN]));
}
template <XRealValue (*F)(XRealValue)> void x1(benchmark::State &s, Args *a) {
  unsigned i = 0;
  for (auto _ : s) benchmark::DoNotOptimize(F(a->x[i++ % kN]));
}
template <double (*F)(double, double)> void d2(benchmark::State &s, Args *a, Args *b) {
  unsigned i = 0;
  for (auto _ : s) {
    benchmark::DoNotOptimize(F(a->d[i % kN], b->d[(i * 7 + 3) % kN]));
    ++i;
  }
}
template <XRealValue (*F)(XRealValue, XRealValue)> void x2(benchmark::State &s, Args *a, Args *b) {
  unsigned i = 0;
  for (auto _ : s) {
    benchmark::DoNotOptimize(F(a->x[i % kN], b->x[(i * 7 + 3) % kN]));
    ++i;
  }
}
template <double (*F)(double, double, double)> void d3(benchmark::State &s, Args *a, Args *b, Args *c) {
  unsigned i = 0;
  for (auto _ : s) {
    benchmark::DoNotOptimize(F(a->d[i % kN], b->d[(i * 7 + 3) % kN], c->d[(i * 13 + 5) % kN]));
    ++i;
  }
}
template <XRealValue (*F)(XRealValue, XRealValue, XRealValue)>
void x3(benchmark::State &s, Args *a, Args *b, Args *c) {
  unsigned i = 0;
  for (auto _ : s) {
    benchmark::DoNotOptimize(F(a->x[i % kN], b->x[(i * 7 + 3) % kN], c->x[(i * 13 + 5) % kN]));
    ++i;
  }
}

namespace fm = fathom;

// Complete integrals: kc in [0.01, 1); Pi with n in [-3, 0.9).  Incomplete
// integrals: x = tan(phi) in [0.01, 10), kc in [0.001, 3).  Jacobi
// functions: u in [-10, 10), kc in [0.001, 3).
void registerAll() {
  benchmark::RegisterBenchmark("ellipticK_d", d1<fm::ellipticK>, &kcs);
  benchmark::RegisterBenchmark("ellipticK_x", x1<fm::ellipticK>, &kcs);
  benchmark::RegisterBenchmark("ellipticE_d", d1<fm::ellipticE>, &kcs);
  benchmark::RegisterBenchmark("ellipticE_x", x1<fm::ellipticE>, &kcs);
  benchmark::RegisterBenchmark("ellipticPi_d", d2<fm::ellipticPi>, &ns, &kcs);
  benchmark::RegisterBenchmark("ellipticPi_x", x2<fm::ellipticPi>, &ns, &kcs);
  benchmark::RegisterBenchmark("ellipticF_d", d2<fm::ellipticF>, &xs, &kcWide);
  benchmark::RegisterBenchmark("ellipticF_x", x2<fm::ellipticF>, &xs, &kcWide);
  benchmark::RegisterBenchmark("ellipticEInc_d", d2<fm::ellipticEInc>, &xs, &kcWide);
  benchmark::RegisterBenchmark("ellipticEInc_x", x2<fm::ellipticEInc>, &xs, &kcWide);
  benchmark::RegisterBenchmark("ellipticPiInc_d", d3<fm::ellipticPiInc>, &ns, &xs, &kcWide);
  benchmark::RegisterBenchmark("ellipticPiInc_x", x3<fm::ellipticPiInc>, &ns, &xs, &kcWide);
  benchmark::RegisterBenchmark("jacobiSn_d", d2<fm::jacobiSn>, &us, &kcWide);
  benchmark::RegisterBenchmark("jacobiSn_x", x2<fm::jacobiSn>, &us, &kcWide);
  benchmark::RegisterBenchmark("jacobiCn_d", d2<fm::jacobiCn>, &us, &kcWide);
  benchmark::RegisterBenchmark("jacobiCn_x", x2<fm::jacobiCn>, &us, &kcWide);
  benchmark::RegisterBenchmark("jacobiDn_d", d2<fm::jacobiDn>, &us, &kcWide);
  benchmark::RegisterBenchmark("jacobiDn_x", x2<fm::jacobiDn>, &us, &kcWide);
}

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  registerAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
