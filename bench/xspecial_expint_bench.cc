// The exponential, sine/cosine and Fresnel integrals in both precisions:
// Fathom's double and extended kernels, and MPFR at 128 bits for Ei and E1
// (MPFR has no Si, Ci, Shi, Chi, Fresnel or E_nu), each over 256 arguments
// of a typical range, one call per counter "op".
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <random>

#include "bench/xspecial_bench_args.h"
#include "fathom/special.h"
#include "fathom/xreal.h"
#include "fathom/xspecial_expint.h"

namespace {

using namespace xbench;

Args &small() { static Args a(0.01, 5, 1); return a; }      // the series' range
Args &mid() { static Args a(5, 50, 2); return a; }          // series and fractions
Args &large() { static Args a(50, 150, 3); return a; }      // Ei's switch to its asymptotic form
Args &negative() { static Args a(-50, -0.01, 4); return a; }

// E_2.5(x) in both precisions.
double en25(double x) { return fathom::expIntEn(2.5, x); }
XRealValue xen25(XRealValue x) { return fathom::expIntEn(fathom::fromDouble(2.5), x); }

// MPFR's eint: Ei(x); E1(x) = -eint(-x).
template <Args &(*A)(), bool E1> void mpfrEint(benchmark::State &state) {
  Args &a = A();
  mpfr_t t;
  mpfr_init2(t, 128);
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      if (E1) {
        mpfr_neg(t, a.m[i], MPFR_RNDN);
        mpfr_eint(a.r, t, MPFR_RNDN);
      } else {
        mpfr_eint(a.r, a.m[i], MPFR_RNDN);
      }
    }
    benchmark::DoNotOptimize(a.r);
  }
  mpfr_clear(t);
  setOpCounter(state);
}

#define BOTH(name, dk, xk, range)                                        \
  BENCHMARK(double1<dk, range>)->Name("double/" name "/" #range);        \
  BENCHMARK(extended1<xk, range>)->Name("extended/" name "/" #range);

BOTH("Ei", fathom::expIntEi, fathom::expIntEi, small)
BOTH("Ei", fathom::expIntEi, fathom::expIntEi, mid)
BOTH("Ei", fathom::expIntEi, fathom::expIntEi, large)
BENCHMARK(mpfrEint<small, false>)->Name("mpfr/Ei/small");
BENCHMARK(mpfrEint<mid, false>)->Name("mpfr/Ei/mid");
BENCHMARK(mpfrEint<large, false>)->Name("mpfr/Ei/large");
BOTH("E1", fathom::expIntE1, fathom::expIntE1, small)
BOTH("E1", fathom::expIntE1, fathom::expIntE1, mid)
BENCHMARK(mpfrEint<small, true>)->Name("mpfr/E1/small");
BENCHMARK(mpfrEint<mid, true>)->Name("mpfr/E1/mid");
BOTH("En2.5", en25, xen25, small)
BOTH("En2.5", en25, xen25, mid)
BOTH("Si", fathom::sinInt, fathom::sinInt, small)
BOTH("Si", fathom::sinInt, fathom::sinInt, mid)
BOTH("Ci", fathom::cosInt, fathom::cosInt, small)
BOTH("Ci", fathom::cosInt, fathom::cosInt, mid)
BOTH("Shi", fathom::sinhInt, fathom::sinhInt, small)
BOTH("Shi", fathom::sinhInt, fathom::sinhInt, mid)
BOTH("Chi", fathom::coshInt, fathom::coshInt, small)
BOTH("Chi", fathom::coshInt, fathom::coshInt, mid)
BOTH("FresnelC", fathom::fresnelC, fathom::fresnelC, small)
BOTH("FresnelC", fathom::fresnelC, fathom::fresnelC, mid)
BOTH("FresnelS", fathom::fresnelS, fathom::fresnelS, small)
BOTH("FresnelS", fathom::fresnelS, fathom::fresnelS, mid)
BOTH("Ei", fathom::expIntEi, fathom::expIntEi, negative)

} // namespace

BENCHMARK_MAIN();
