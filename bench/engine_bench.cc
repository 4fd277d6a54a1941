// The execution engine in process: the peer programs of scripts/peer_bench.py
// parsed and compiled once, then run again and again on a fresh stack, both
// as compiled code (the threaded interpreter) and operand by operand.  The
// counter "iter" is the time of one loop iteration of the program.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/HardLink.h"
#include "kor/Interpreter.h"
#include "kor/Sequence.h"

namespace {

constexpr long kN = 1000000;   // loop iterations per run

// The programs, with N standing for the iteration count.
const char *const kPrograms[] = {
    "0 1 N Start 1 + Next",                                           // B1 counted loop
    "1 1 N Start 1.0000001 * 0.5 + 1.5 / Next",                       // B2 arithmetic chain
    "0 1 N Start If Dup 0 < Then 1 + Else 1 - End Next",              // B3 real conditional
    "0 While Dup N < Do 1 + End",                                     // B4 While loop
    "<< 1 + >> 0 1 N Start Over Eval Next",                           // B5 Eval of a program
};
const char *const kNames[] = {"B1_start_next", "B2_arith_chain", "B3_if_else", "B4_while",
                              "B5_eval_program"};

std::string with_n(const char *src, long n) {
  std::string s = src;
  size_t at = s.find('N');
  s.replace(at, 1, std::to_string(n));
  return s;
}

void run_program(benchmark::State &state, const char *src, bool compiled) {
  KOR::Context cx("Bench");
  OBJ::Buffer buf;
  buf.set_text(with_n(src, kN));
  auto *prog = new OBJ::Program;
  Sequence::parse(prog->elems, nullptr, buf, cx.format, nullptr, true);
  if (buf.status != 1 && buf.status != 2) {
    state.SkipWithError("parse failed");
    return;
  }
  if (compiled) EXEC::compile_program(*prog, true, false);
  cx.program = prog;
  int status = 0;
  for (auto _ : state) {
    cx.main.clear();
    cx.ICOUNT = 0;
    if (compiled) {
      cx.IP = prog->code.data();
      cx.DP = prog->data.data();
      cx.SP = nullptr;
      status = EXEC::run(cx);
    } else {
      cx.IP = nullptr;
      cx.DP = nullptr;
      cx.SP = prog->elems.data();
      status = EXEC::run_operands(cx);
    }
  }
  if (status != EXEC::EXIT) state.SkipWithError("program did not run to its end");
  state.counters["iter"] = benchmark::Counter(static_cast<double>(state.iterations()) * kN,
                                              benchmark::Counter::kIsRate |
                                                  benchmark::Counter::kInvert);
  EXEC::clear_frames(cx);
  cx.main.clear();
  cx.last.clear();
  prog->release(nullptr);
}

int register_all() {
  for (size_t i = 0; i < sizeof kPrograms / sizeof kPrograms[0]; ++i) {
    benchmark::RegisterBenchmark((std::string(kNames[i]) + "/compiled").c_str(), run_program,
                                 kPrograms[i], true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string(kNames[i]) + "/operands").c_str(), run_program,
                                 kPrograms[i], false)
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}

const int registered = register_all();

} // namespace

BENCHMARK_MAIN();
