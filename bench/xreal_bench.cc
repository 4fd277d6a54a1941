// Extended real against MPFR at 128 bits and GCC's __float128 (g++ builds):
// add, mul, div, sqrt, printing 39 digits and parsing.  "Thr" runs over 1024
// independent operands (throughput); "Lat" is a dependent chain (latency).
// Every counter "op" is the time of one operation.
#include <benchmark/benchmark.h>
#include <mpfr.h>
#if KOR_HAVE_QUADMATH
#include <quadmath.h>
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fathom/xdecimal.h"
#include "fathom/xreal.h"

namespace {

using fathom::XRealValue;

constexpr int kN = 1024;

void setOpCounter(benchmark::State &state, int64_t perIteration) {
  state.counters["op"] = benchmark::Counter((double)state.iterations() * perIteration,
                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Operands: positive values between 2^-60 and 2^60 with full random significands.
struct Operands {
  XRealValue x[kN], y[kN];
#if KOR_HAVE_QUADMATH
  __float128 qx[kN], qy[kN];
#endif
  mpfr_t mx[kN], my[kN], mr[kN];
  std::vector<std::string> text;                  // 40-digit decimal forms of x
  Operands() {
    std::mt19937_64 rng(7);
    for (int i = 0; i < kN; i++) {
      XRealValue *v[2] = {&x[i], &y[i]};
      for (XRealValue *p : v) {
        double hi = std::ldexp(1.0 + (double)(rng() >> 12) * 0x1p-52, (int)(rng() % 120) - 60);
        double lo = hi * 0x1p-60 * ((double)(rng() >> 11) * 0x1p-53);
        *p = fathom::fromDouble(hi) + fathom::fromDouble(lo);
      }
      mpfr_inits2(128, mx[i], my[i], mr[i], (mpfr_ptr)nullptr);
      [[maybe_unused]] double hx = split(x[i], mx[i]), hy = split(y[i], my[i]);
#if KOR_HAVE_QUADMATH
      qx[i] = (__float128)hx + (__float128)fathom::toDouble(x[i] - fathom::fromDouble(hx));
      qy[i] = (__float128)hy + (__float128)fathom::toDouble(y[i] - fathom::fromDouble(hy));
#endif
      char buf[80];
      fathom::formatE(buf, sizeof buf, x[i], 39);
      text.push_back(buf);
    }
  }
  // Two doubles' worth of v into m (the same value __float128 gets); returns the high part.
  static double split(XRealValue v, mpfr_t m) {
    double hi = fathom::toDouble(v), lo = fathom::toDouble(v - fathom::fromDouble(hi));
    mpfr_set_d(m, hi, MPFR_RNDN);
    mpfr_add_d(m, m, lo, MPFR_RNDN);
    return hi;
  }
};

Operands &ops() {
  static Operands o;
  return o;
}

// --- Fathom ---------------------------------------------------------------

template <XRealValue (*Op)(XRealValue, XRealValue)>
void fathomThr(benchmark::State &state) {
  Operands &o = ops();
  static XRealValue r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = Op(o.x[i], o.y[i]);
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  setOpCounter(state, kN);
}

void fathomSqrtThr(benchmark::State &state) {
  Operands &o = ops();
  static XRealValue r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) r[i] = fathom::sqrt(o.x[i]);
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  setOpCounter(state, kN);
}

// Chains: x += c; x *= (1 + 2^-40); x = c / x; x = sqrt(x + c).
void fathomAddLat(benchmark::State &state) {
  XRealValue x = ops().x[0], c = ops().y[1];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) x = fathom::add(x, c);
    benchmark::DoNotOptimize(x);
  }
  setOpCounter(state, kN);
}

void fathomMulLat(benchmark::State &state) {
  XRealValue x = ops().x[0], c = fathom::fromDouble(1.0 + 0x1p-40);
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) x = fathom::mul(x, c);
    benchmark::DoNotOptimize(x);
  }
  setOpCounter(state, kN);
}

void fathomDivLat(benchmark::State &state) {
  XRealValue x = ops().x[0], c = ops().y[1];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) x = fathom::div(c, x);
    benchmark::DoNotOptimize(x);
  }
  setOpCounter(state, kN);
}

void fathomSqrtLat(benchmark::State &state) {
  XRealValue x = ops().x[0], c = fathom::fromDouble(2.25);
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) x = fathom::sqrt(fathom::add(x, c));
    benchmark::DoNotOptimize(x);
  }
  setOpCounter(state, kN);
}

void fathomPrintThr(benchmark::State &state) {
  Operands &o = ops();
  char buf[48];
  int e;
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      fathom::toDigits(o.x[i], 39, buf, &e);
      benchmark::DoNotOptimize(buf);
    }
  }
  setOpCounter(state, kN);
}

void fathomParseThr(benchmark::State &state) {
  Operands &o = ops();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) benchmark::DoNotOptimize(fathom::strtox(o.text[i].c_str(), nullptr));
  }
  setOpCounter(state, kN);
}

// Print 39 digits then parse them back, each step depending on the last.
void fathomRoundTripLat(benchmark::State &state) {
  XRealValue x = ops().x[3];
  char buf[80];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      fathom::formatE(buf, sizeof buf, x, 38);
      x = fathom::strtox(buf, nullptr);
    }
  }
  setOpCounter(state, kN);
}

// --- MPFR -----------------------------------------------------------------

template <int (*Op)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t)>
void mpfrThr(benchmark::State &state) {
  Operands &o = ops();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) Op(o.mr[i], o.mx[i], o.my[i], MPFR_RNDN);
    benchmark::ClobberMemory();
  }
  setOpCounter(state, kN);
}

void mpfrSqrtThr(benchmark::State &state) {
  Operands &o = ops();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) mpfr_sqrt(o.mr[i], o.mx[i], MPFR_RNDN);
    benchmark::ClobberMemory();
  }
  setOpCounter(state, kN);
}

template <int Kind>   // 0 add, 1 mul, 2 div, 3 sqrt(x + c)
void mpfrLat(benchmark::State &state) {
  mpfr_t x, c;
  mpfr_inits2(128, x, c, (mpfr_ptr)nullptr);
  mpfr_set(x, ops().mx[0], MPFR_RNDN);
  if (Kind == 0 || Kind == 2) mpfr_set(c, ops().my[1], MPFR_RNDN);
  if (Kind == 1) mpfr_set_d(c, 1.0 + 0x1p-40, MPFR_RNDN);
  if (Kind == 3) mpfr_set_d(c, 2.25, MPFR_RNDN);
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      if (Kind == 0) mpfr_add(x, x, c, MPFR_RNDN);
      if (Kind == 1) mpfr_mul(x, x, c, MPFR_RNDN);
      if (Kind == 2) mpfr_div(x, c, x, MPFR_RNDN);
      if (Kind == 3) {
        mpfr_add(x, x, c, MPFR_RNDN);
        mpfr_sqrt(x, x, MPFR_RNDN);
      }
    }
    benchmark::DoNotOptimize(x);
  }
  mpfr_clears(x, c, (mpfr_ptr)nullptr);
  setOpCounter(state, kN);
}

void mpfrPrintThr(benchmark::State &state) {
  Operands &o = ops();
  char buf[48];
  mpfr_exp_t e;
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      mpfr_get_str(buf, &e, 10, 39, o.mx[i], MPFR_RNDN);
      benchmark::DoNotOptimize(buf);
    }
  }
  setOpCounter(state, kN);
}

void mpfrParseThr(benchmark::State &state) {
  Operands &o = ops();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) mpfr_strtofr(o.mr[i], o.text[i].c_str(), nullptr, 10, MPFR_RNDN);
    benchmark::ClobberMemory();
  }
  setOpCounter(state, kN);
}

void mpfrRoundTripLat(benchmark::State &state) {
  mpfr_t x;
  mpfr_init2(x, 128);
  mpfr_set(x, ops().mx[3], MPFR_RNDN);
  char buf[80];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      mpfr_snprintf(buf, sizeof buf, "%.38Re", x);
      mpfr_strtofr(x, buf, nullptr, 10, MPFR_RNDN);
    }
  }
  mpfr_clear(x);
  setOpCounter(state, kN);
}

// --- __float128 -----------------------------------------------------------
#if KOR_HAVE_QUADMATH

template <int Kind>   // 0 add, 1 mul, 2 div, 3 sqrt
void quadThr(benchmark::State &state) {
  Operands &o = ops();
  static __float128 r[kN];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      if (Kind == 0) r[i] = o.qx[i] + o.qy[i];
      if (Kind == 1) r[i] = o.qx[i] * o.qy[i];
      if (Kind == 2) r[i] = o.qx[i] / o.qy[i];
      if (Kind == 3) r[i] = sqrtq(o.qx[i]);
    }
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  setOpCounter(state, kN);
}

template <int Kind>
void quadLat(benchmark::State &state) {
  __float128 x = ops().qx[0];
  __float128 c = Kind == 1 ? (__float128)(1.0 + 0x1p-40) : Kind == 3 ? (__float128)2.25 : ops().qy[1];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      if (Kind == 0) x = x + c;
      if (Kind == 1) x = x * c;
      if (Kind == 2) x = c / x;
      if (Kind == 3) x = sqrtq(x + c);
    }
    benchmark::DoNotOptimize(x);
  }
  setOpCounter(state, kN);
}

void quadPrintThr(benchmark::State &state) {
  Operands &o = ops();
  char buf[64];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      quadmath_snprintf(buf, sizeof buf, "%.38Qe", o.qx[i]);
      benchmark::DoNotOptimize(buf);
    }
  }
  setOpCounter(state, kN);
}

void quadParseThr(benchmark::State &state) {
  Operands &o = ops();
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) benchmark::DoNotOptimize(strtoflt128(o.text[i].c_str(), nullptr));
  }
  setOpCounter(state, kN);
}

void quadRoundTripLat(benchmark::State &state) {
  __float128 x = ops().qx[3];
  char buf[80];
  for (auto _ : state) {
    for (int i = 0; i < kN; i++) {
      quadmath_snprintf(buf, sizeof buf, "%.38Qe", x);
      x = strtoflt128(buf, nullptr);
    }
  }
  setOpCounter(state, kN);
}

#endif

} // namespace

BENCHMARK(fathomThr<fathom::add>)->Name("Add/Thr/fathom");
BENCHMARK(mpfrThr<mpfr_add>)->Name("Add/Thr/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadThr<0>)->Name("Add/Thr/float128");
#endif
BENCHMARK(fathomAddLat)->Name("Add/Lat/fathom");
BENCHMARK(mpfrLat<0>)->Name("Add/Lat/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadLat<0>)->Name("Add/Lat/float128");
#endif

BENCHMARK(fathomThr<fathom::mul>)->Name("Mul/Thr/fathom");
BENCHMARK(mpfrThr<mpfr_mul>)->Name("Mul/Thr/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadThr<1>)->Name("Mul/Thr/float128");
#endif
BENCHMARK(fathomMulLat)->Name("Mul/Lat/fathom");
BENCHMARK(mpfrLat<1>)->Name("Mul/Lat/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadLat<1>)->Name("Mul/Lat/float128");
#endif

BENCHMARK(fathomThr<fathom::div>)->Name("Div/Thr/fathom");
BENCHMARK(mpfrThr<mpfr_div>)->Name("Div/Thr/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadThr<2>)->Name("Div/Thr/float128");
#endif
BENCHMARK(fathomDivLat)->Name("Div/Lat/fathom");
BENCHMARK(mpfrLat<2>)->Name("Div/Lat/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadLat<2>)->Name("Div/Lat/float128");
#endif

BENCHMARK(fathomSqrtThr)->Name("Sqrt/Thr/fathom");
BENCHMARK(mpfrSqrtThr)->Name("Sqrt/Thr/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadThr<3>)->Name("Sqrt/Thr/float128");
#endif
BENCHMARK(fathomSqrtLat)->Name("SqrtOfSum/Lat/fathom");
BENCHMARK(mpfrLat<3>)->Name("SqrtOfSum/Lat/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadLat<3>)->Name("SqrtOfSum/Lat/float128");
#endif

BENCHMARK(fathomPrintThr)->Name("Print39/Thr/fathom");
BENCHMARK(mpfrPrintThr)->Name("Print39/Thr/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadPrintThr)->Name("Print39/Thr/float128");
#endif
BENCHMARK(fathomParseThr)->Name("Parse40/Thr/fathom");
BENCHMARK(mpfrParseThr)->Name("Parse40/Thr/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadParseThr)->Name("Parse40/Thr/float128");
#endif
BENCHMARK(fathomRoundTripLat)->Name("PrintParse/Lat/fathom");
BENCHMARK(mpfrRoundTripLat)->Name("PrintParse/Lat/mpfr");
#if KOR_HAVE_QUADMATH
BENCHMARK(quadRoundTripLat)->Name("PrintParse/Lat/float128");
#endif

BENCHMARK_MAIN();
