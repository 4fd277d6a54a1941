// Arithmetic commands in every number type, run in compiled loops, beside
// the raw kernels they call.  Each loop program applies one command per
// iteration; the empty loop is measured too, so that
//   dispatch overhead = loop time - empty loop - raw kernel.
// The counter "op" is the time of one iteration.
#include <benchmark/benchmark.h>

#include <complex>
#include <string>

#include "fathom/xcomplex.h"
#include "fathom/xreal.h"
#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/HardLink.h"
#include "kor/Interpreter.h"
#include "kor/Sequence.h"

namespace {

constexpr long kN = 200000;   // loop iterations per run

struct Case {
  const char *name;
  const char *program;   // N stands for the iteration count
};

// Values stay bounded over the loop: additions of a small step, products
// and quotients by numbers near 1, square roots of numbers near 1.
const Case kCases[] = {
    {"empty_loop", "1 1 N Start Next"},
    {"REAL/add", "1 1 N Start 1E-9 + Next"},
    {"REAL/mul", "1 1 N Start 1.0000001 * Next"},
    {"REAL/div", "1 1 N Start 1.0000001 / Next"},
    {"REAL/sqrt", "2 1 N Start Sqrt Next"},
    {"REAL/add_general", "1 1E-9 1 N Start Dup Rot + Swap Next"},
    {"XREAL/add", "1x 1E-9x 1 N Start Dup Rot + Swap Next"},
    {"XREAL/mul", "1x 1.0000001x 1 N Start Dup Rot * Swap Next"},
    {"XREAL/div", "1x 1.0000001x 1 N Start Swap Over / Swap Next"},
    {"XREAL/sqrt", "2x 1 N Start Sqrt Next"},
    {"BINARY/add", "#1 #3 1 N Start Dup Rot + Swap Next"},
    {"BINARY/mul", "#1 #3 1 N Start Dup Rot * Swap Next"},
    {"BINARY/div", "#FFFFFFFF #3 1 N Start Swap Over / Swap Next"},
    {"COMPLEX/add", "(1,1) (1E-9,1E-9) 1 N Start Dup Rot + Swap Next"},
    {"COMPLEX/mul", "(1,1) (1,1E-7) 1 N Start Dup Rot * Swap Next"},
    {"COMPLEX/div", "(1,1) (1,1E-7) 1 N Start Swap Over / Swap Next"},
    {"COMPLEX/sqrt", "(2,1) 1 N Start Sqrt Next"},
    {"XCOMPLEX/add", "(1,1)x (1E-9,1E-9)x 1 N Start Dup Rot + Swap Next"},
    {"XCOMPLEX/mul", "(1,1)x (1,1E-7)x 1 N Start Dup Rot * Swap Next"},
    {"XCOMPLEX/div", "(1,1)x (1,1E-7)x 1 N Start Swap Over / Swap Next"},
    {"XCOMPLEX/sqrt", "(2,1)x 1 N Start Sqrt Next"},
    // The stack words the two-argument loops above add around the command
    // ("Dup Rot op Swap", or "Swap Over op Swap" keeping the divisor), on
    // values of each type: only reals live in the interpreter's registers.
    {"REAL/stack_words", "1 2 1 N Start Dup Rot Drop Swap Next"},
    {"XREAL/stack_words", "1x 2x 1 N Start Dup Rot Drop Swap Next"},
    {"BINARY/stack_words", "#1 #2 1 N Start Dup Rot Drop Swap Next"},
    {"COMPLEX/stack_words", "(1,1) (2,2) 1 N Start Dup Rot Drop Swap Next"},
    {"XCOMPLEX/stack_words", "(1,1)x (2,2)x 1 N Start Dup Rot Drop Swap Next"},
};

std::string with_n(const char *src, long n) {
  std::string s = src;
  s.replace(s.find('N'), 1, std::to_string(n));
  return s;
}

void run_loop(benchmark::State &state, const char *src) {
  KOR::Context cx("Bench");
  OBJ::Buffer buf;
  buf.set_text(with_n(src, kN));
  auto *prog = new OBJ::Program;
  Sequence::parse(prog->elems, nullptr, buf, cx.format, nullptr, true);
  if (buf.status != 1 && buf.status != 2) {
    state.SkipWithError("parse failed");
    prog->release(nullptr);
    return;
  }
  EXEC::compile_program(*prog, true, false);
  cx.program = prog;
  int status = 0;
  for (auto _ : state) {
    cx.main.clear();
    cx.ICOUNT = 0;
    cx.IP = prog->code.data();
    cx.DP = prog->data.data();
    cx.SP = nullptr;
    status = EXEC::run(cx);
  }
  if (status != EXEC::EXIT) state.SkipWithError("program did not run to its end");
  state.counters["op"] = benchmark::Counter(static_cast<double>(state.iterations()) * kN,
                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  EXEC::clear_frames(cx);
  cx.main.clear();
  cx.last.clear();
  prog->release(nullptr);
}

int register_loops() {
  for (const Case &c : kCases)
    benchmark::RegisterBenchmark((std::string("korsh/") + c.name).c_str(), run_loop, c.program)
        ->Unit(benchmark::kMillisecond);
  return 0;
}

const int registered = register_loops();

// ---- The raw kernels, as a dependent chain like the loops above ----

namespace fm = fathom;

void BM_kernel_xreal_add(benchmark::State &state) {
  fm::XRealValue x = fm::fromDouble(1), d = fm::fromDouble(1e-9);
  for (auto _ : state) benchmark::DoNotOptimize(x = fm::add(x, d));
}
void BM_kernel_xreal_mul(benchmark::State &state) {
  fm::XRealValue x = fm::fromDouble(1), m = fm::fromDouble(1.0000001);
  for (auto _ : state) benchmark::DoNotOptimize(x = fm::mul(x, m));
}
void BM_kernel_xreal_div(benchmark::State &state) {
  fm::XRealValue x = fm::fromDouble(1), m = fm::fromDouble(1.0000001);
  for (auto _ : state) benchmark::DoNotOptimize(x = fm::div(x, m));
}
void BM_kernel_xreal_sqrt(benchmark::State &state) {
  fm::XRealValue x = fm::fromDouble(2);
  for (auto _ : state) benchmark::DoNotOptimize(x = fm::sqrt(x));
}
void BM_kernel_complex_add(benchmark::State &state) {
  std::complex<double> z(1, 1), d(1e-9, 1e-9);
  for (auto _ : state) benchmark::DoNotOptimize(z = z + d);
}
void BM_kernel_complex_mul(benchmark::State &state) {
  std::complex<double> z(1, 1), m(1, 1e-7);
  for (auto _ : state) benchmark::DoNotOptimize(z = z * m);
}
void BM_kernel_complex_div(benchmark::State &state) {
  std::complex<double> z(1, 1), m(1, 1e-7);
  for (auto _ : state) benchmark::DoNotOptimize(z = z / m);
}
void BM_kernel_complex_sqrt(benchmark::State &state) {
  std::complex<double> z(2, 1);
  for (auto _ : state) benchmark::DoNotOptimize(z = std::sqrt(z));
}
fm::XComplexValue xc(double re, double im) { return {fm::fromDouble(re), fm::fromDouble(im)}; }
void BM_kernel_xcomplex_add(benchmark::State &state) {
  fm::XComplexValue z = xc(1, 1), d = xc(1e-9, 1e-9);
  for (auto _ : state) benchmark::DoNotOptimize(z = fm::cadd(z, d));
}
void BM_kernel_xcomplex_mul(benchmark::State &state) {
  fm::XComplexValue z = xc(1, 1), m = xc(1, 1e-7);
  for (auto _ : state) benchmark::DoNotOptimize(z = fm::cmul(z, m));
}
void BM_kernel_xcomplex_div(benchmark::State &state) {
  fm::XComplexValue z = xc(1, 1), m = xc(1, 1e-7);
  for (auto _ : state) benchmark::DoNotOptimize(z = fm::cdiv(z, m));
}
void BM_kernel_xcomplex_sqrt(benchmark::State &state) {
  fm::XComplexValue z = xc(2, 1);
  for (auto _ : state) benchmark::DoNotOptimize(z = fm::csqrt(z));
}

BENCHMARK(BM_kernel_xreal_add);
BENCHMARK(BM_kernel_xreal_mul);
BENCHMARK(BM_kernel_xreal_div);
BENCHMARK(BM_kernel_xreal_sqrt);
BENCHMARK(BM_kernel_complex_add);
BENCHMARK(BM_kernel_complex_mul);
BENCHMARK(BM_kernel_complex_div);
BENCHMARK(BM_kernel_complex_sqrt);
BENCHMARK(BM_kernel_xcomplex_add);
BENCHMARK(BM_kernel_xcomplex_mul);
BENCHMARK(BM_kernel_xcomplex_div);
BENCHMARK(BM_kernel_xcomplex_sqrt);

} // namespace

BENCHMARK_MAIN();
