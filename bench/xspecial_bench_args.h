// Shared by the extended special-function benchmarks: arguments of one
// range with full 128-bit significands in double, extended and MPFR form,
// the "op" counter (one call per argument), and the loops that time a
// one-argument kernel over them.
#pragma once

#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <cstdint>
#include <random>

#include "fathom/xreal.h"

namespace xbench {

using fathom::XRealValue;

constexpr int kN = 256;

inline void setOpCounter(benchmark::State &state) {
  state.counters["op"] = benchmark::Counter((double)state.iterations() * kN,
                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Arguments in [lo, hi) with full 128-bit significands, in each format.
struct Args {
  double d[kN];
  XRealValue x[kN];
  mpfr_t m[kN], r;
  Args(double lo, double hi, uint64_t seed) {
    std::mt19937_64 rng(seed);
    mpfr_init2(r, 128);
    for (int i = 0; i < kN; i++) {
      double u = (double)(rng() >> 11) * 0x1p-53;
      d[i] = lo + (hi - lo) * u;
      double tail = d[i] * 0x1p-60 * ((double)(rng() >> 11) * 0x1p-53);
      x[i] = fathom::fromDouble(d[i]) + fathom::fromDouble(tail);
      mpfr_init2(m[i], 128);
      mpfr_set_d(m[i], d[i], MPFR_RNDN);
      mpfr_add_d(m[i], m[i], tail, MPFR_RNDN);
    }
  }
};

// One call of F per argument of the set A() in each timed pass.
template <double (*F)(double), Args &(*A)()> void double1(benchmark::State &state) {
  Args &a = A();
  static double r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = F(a.d[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

template <XRealValue (*F)(XRealValue), Args &(*A)()> void extended1(benchmark::State &state) {
  Args &a = A();
  static XRealValue r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = F(a.x[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

template <int (*F)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), Args &(*A)()> void mpfr1(benchmark::State &state) {
  Args &a = A();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) F(a.r, a.m[i], MPFR_RNDN);
    benchmark::DoNotOptimize(a.r);
  }
  setOpCounter(state);
}

} // namespace xbench
