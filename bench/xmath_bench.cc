// Extended elementary functions against MPFR at 128 bits and GCC's
// __float128 (libquadmath, g++ builds): exp, log, sin, tan, atan and pow,
// each over 256 arguments of its typical range, one call per counter "op".
#include <benchmark/benchmark.h>
#include <mpfr.h>
#if KOR_HAVE_QUADMATH
#include <quadmath.h>
#endif

#include <cmath>
#include <random>

#include "fathom/xmath.h"
#include "fathom/xreal.h"

namespace {

using fathom::XRealValue;

constexpr int kN = 256;

void setOpCounter(benchmark::State &state) {
  state.counters["op"] = benchmark::Counter((double)state.iterations() * kN,
                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Arguments in [lo, hi) with full 128-bit significands, in each format.
struct Args {
  XRealValue x[kN], y[kN];
#if KOR_HAVE_QUADMATH
  __float128 qx[kN], qy[kN];
#endif
  mpfr_t mx[kN], my[kN], mr;
  Args(double lo, double hi, double ylo, double yhi, uint64_t seed) {
    std::mt19937_64 rng(seed);
    mpfr_init2(mr, 128);
    for (int i = 0; i < kN; i++) {
      x[i] = value(rng, lo, hi);
      y[i] = value(rng, ylo, yhi);
      mpfr_inits2(128, mx[i], my[i], (mpfr_ptr)nullptr);
      setMpfr(mx[i], x[i]);
      setMpfr(my[i], y[i]);
#if KOR_HAVE_QUADMATH
      qx[i] = quad(x[i]);
      qy[i] = quad(y[i]);
#endif
    }
  }
  static XRealValue value(std::mt19937_64 &rng, double lo, double hi) {
    double u = (double)(rng() >> 11) * 0x1p-53;
    double d = lo + (hi - lo) * u;
    double tail = d * 0x1p-60 * ((double)(rng() >> 11) * 0x1p-53);
    return fathom::fromDouble(d) + fathom::fromDouble(tail);
  }
  static void setMpfr(mpfr_t m, XRealValue v) {
    double h = fathom::toDouble(v), l = fathom::toDouble(v - fathom::fromDouble(h));
    mpfr_set_d(m, h, MPFR_RNDN);
    mpfr_add_d(m, m, l, MPFR_RNDN);
  }
#if KOR_HAVE_QUADMATH
  static __float128 quad(XRealValue v) {
    double h = fathom::toDouble(v), l = fathom::toDouble(v - fathom::fromDouble(h));
    return (__float128)h + (__float128)l;
  }
#endif
};

Args &expArgs() { static Args a(-700, 700, 0, 1, 1); return a; }
Args &logArgs() { static Args a(1e-300, 1e300, 0, 1, 2); return a; }
Args &trigArgs() { static Args a(-100, 100, 0, 1, 3); return a; }
Args &atanArgs() { static Args a(-20, 20, 0, 1, 4); return a; }
Args &powArgs() { static Args a(-60, 60, 0.01, 100, 5); return a; }   // x = exponent, y = base

template <XRealValue (*F)(XRealValue), Args &(*A)()>
void fathom1(benchmark::State &state) {
  Args &a = A();
  static XRealValue r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = F(a.x[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

void fathomPow(benchmark::State &state) {
  Args &a = powArgs();
  static XRealValue r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = fathom::pow(a.y[i], a.x[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

template <int (*F)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), Args &(*A)()>
void mpfr1(benchmark::State &state) {
  Args &a = A();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) F(a.mr, a.mx[i], MPFR_RNDN);
    benchmark::DoNotOptimize(a.mr);
  }
  setOpCounter(state);
}

void mpfrPow(benchmark::State &state) {
  Args &a = powArgs();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) mpfr_pow(a.mr, a.my[i], a.mx[i], MPFR_RNDN);
    benchmark::DoNotOptimize(a.mr);
  }
  setOpCounter(state);
}

BENCHMARK(fathom1<fathom::exp, expArgs>)->Name("exp/fathom");
BENCHMARK(mpfr1<mpfr_exp, expArgs>)->Name("exp/mpfr128");
BENCHMARK(fathom1<fathom::log, logArgs>)->Name("log/fathom");
BENCHMARK(mpfr1<mpfr_log, logArgs>)->Name("log/mpfr128");
BENCHMARK(fathom1<fathom::sin, trigArgs>)->Name("sin/fathom");
BENCHMARK(mpfr1<mpfr_sin, trigArgs>)->Name("sin/mpfr128");
BENCHMARK(fathom1<fathom::tan, trigArgs>)->Name("tan/fathom");
BENCHMARK(mpfr1<mpfr_tan, trigArgs>)->Name("tan/mpfr128");
BENCHMARK(fathom1<fathom::atan, atanArgs>)->Name("atan/fathom");
BENCHMARK(mpfr1<mpfr_atan, atanArgs>)->Name("atan/mpfr128");
BENCHMARK(fathomPow)->Name("pow/fathom");
BENCHMARK(mpfrPow)->Name("pow/mpfr128");

#if KOR_HAVE_QUADMATH
template <__float128 (*F)(__float128), Args &(*A)()>
void quad1(benchmark::State &state) {
  Args &a = A();
  static __float128 r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = F(a.qx[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

void quadPow(benchmark::State &state) {
  Args &a = powArgs();
  static __float128 r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = powq(a.qy[i], a.qx[i]);
    benchmark::DoNotOptimize(r);
  }
  setOpCounter(state);
}

BENCHMARK(quad1<expq, expArgs>)->Name("exp/float128");
BENCHMARK(quad1<logq, logArgs>)->Name("log/float128");
BENCHMARK(quad1<sinq, trigArgs>)->Name("sin/float128");
BENCHMARK(quad1<tanq, trigArgs>)->Name("tan/float128");
BENCHMARK(quad1<atanq, atanArgs>)->Name("atan/float128");
BENCHMARK(quadPow)->Name("pow/float128");
#endif

} // namespace

BENCHMARK_MAIN();
