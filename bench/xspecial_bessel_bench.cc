// The Bessel functions in both precisions: Fathom's double and extended
// kernels beside MPFR at 128 bits (which has J and Y but not I and K), each
// over 256 arguments of one range, one call per counter "op".
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <random>

#include "bench/xspecial_bench_args.h"
#include "fathom/special.h"
#include "fathom/xreal.h"
#include "fathom/xspecial_bessel.h"

namespace {

using namespace xbench;

// The regimes of the extended kernels: power series to 12, fitted Hankel
// forms (J, Y) or scaled fits (I, K) beyond, asymptotic fits from about 60.
Args &small() { static Args a(0.1, 12, 1); return a; }
Args &middle() { static Args a(12, 60, 2); return a; }
Args &large() { static Args a(60, 1e4, 3); return a; }
Args &wide() { static Args a(0.1, 100, 4); return a; }
Args &modSmall() { static Args a(0.01, 12, 5); return a; }
Args &modLarge() { static Args a(12, 100, 6); return a; }

// Integer order 5.
template <double (*F)(double, double), Args &(*A)()> void doubleN(benchmark::State &state) {
  Args &a = A();
  static double r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = F(5, a.d[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

template <XRealValue (*F)(XRealValue, XRealValue), Args &(*A)()> void extendedN(benchmark::State &state) {
  Args &a = A();
  static XRealValue r[kN];
  XRealValue five = fathom::fromInt64(5);
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = F(five, a.x[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

template <int (*F)(mpfr_ptr, long, mpfr_srcptr, mpfr_rnd_t), Args &(*A)()>
void mpfrN(benchmark::State &state) {
  Args &a = A();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) F(a.r, 5, a.m[i], MPFR_RNDN);
    benchmark::DoNotOptimize(a.r);
  }
  setOpCounter(state);
}

#define ONE(name, fn, args)                                                  \
  BENCHMARK(double1<fathom::fn, args>)->Name(name "/double");                \
  BENCHMARK(extended1<fathom::fn, args>)->Name(name "/extended");
#define ORDER(name, fn, args)                                                \
  BENCHMARK(doubleN<fathom::fn, args>)->Name(name "/double");                \
  BENCHMARK(extendedN<fathom::fn, args>)->Name(name "/extended");
#define JY(name, fn, mp, args)                                               \
  ONE(name, fn, args)                                                        \
  BENCHMARK(mpfr1<mp, args>)->Name(name "/mpfr128");

JY("J0[0.1,12]", besselJ0, mpfr_j0, small)
JY("J0[12,60]", besselJ0, mpfr_j0, middle)
JY("J0[60,1e4]", besselJ0, mpfr_j0, large)
JY("J1[0.1,12]", besselJ1, mpfr_j1, small)
JY("J1[12,60]", besselJ1, mpfr_j1, middle)
JY("J1[60,1e4]", besselJ1, mpfr_j1, large)
JY("Y0[0.1,12]", besselY0, mpfr_y0, small)
JY("Y0[12,60]", besselY0, mpfr_y0, middle)
JY("Y0[60,1e4]", besselY0, mpfr_y0, large)
JY("Y1[0.1,12]", besselY1, mpfr_y1, small)
JY("Y1[12,60]", besselY1, mpfr_y1, middle)
JY("Y1[60,1e4]", besselY1, mpfr_y1, large)
ORDER("Jn(5)[0.1,100]", besselJn, wide)
BENCHMARK(mpfrN<mpfr_jn, wide>)->Name("Jn(5)[0.1,100]/mpfr128");
ORDER("Yn(5)[0.1,100]", besselYn, wide)
BENCHMARK(mpfrN<mpfr_yn, wide>)->Name("Yn(5)[0.1,100]/mpfr128");
ONE("I0[0.01,12]", besselI0, modSmall)
ONE("I0[12,100]", besselI0, modLarge)
ONE("I1[0.01,12]", besselI1, modSmall)
ONE("I1[12,100]", besselI1, modLarge)
ONE("K0[0.01,12]", besselK0, modSmall)
ONE("K0[12,100]", besselK0, modLarge)
ONE("K1[0.01,12]", besselK1, modSmall)
ONE("K1[12,100]", besselK1, modLarge)
ORDER("In(5)[0.01,100]", besselIn, wide)
ORDER("Kn(5)[0.01,100]", besselKn, wide)

} // namespace

BENCHMARK_MAIN();
