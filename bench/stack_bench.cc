// The data stack: push and pop inside the cache, the spill to the overflow
// and the refill from it, level operations near the top and deep down,
// clearing a million entries, and the heap a million entries take.
//
// Counters: "op" is the time of one operation (one push, one pop, one level
// operation); "bytes/entry" is the heap growth (malloc's in-use bytes,
// mmapped blocks included) divided by the number of entries.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <time.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "kor/HardLink.h"
#include "kor/Stack.h"

namespace {

using KOR::Entry;
using KOR::Stack;

constexpr long kMillion = 1000000;

void setOpCounter(benchmark::State &state, double perIteration) {
  state.counters["op"] = benchmark::Counter(static_cast<double>(state.iterations()) * perIteration,
                                            benchmark::Counter::kIsRate |
                                                benchmark::Counter::kInvert);
}

// What a command does before popping: the levels it reads are in the cache.
inline Entry pop_refilled(Stack &s) {
  if (s.top == 0) s.refill(Stack::REFILL);
  return s.pop();
}

void fill(Stack &s, long n) {
  for (long i = 0; i < n; ++i) s.push(Entry::real(static_cast<double>(i)));
}

size_t heap_in_use() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// Seven pushes and seven pops: the cache alone, no spill.
void BM_PushPopInCache(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  double acc = 0;
  for (auto _ : state) {
    for (int i = 0; i < 7; ++i) s.push(Entry::real(i));
    for (int i = 0; i < 7; ++i) acc += s.pop().v.r;
    benchmark::DoNotOptimize(acc);
  }
  setOpCounter(state, 14);
}
BENCHMARK(BM_PushPopInCache);

// A million pushes (a trim every eight), then a million pops with refills.
void BM_PushMillion(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  for (auto _ : state) {
    fill(s, kMillion);
    state.PauseTiming();
    s.clear();
    state.ResumeTiming();
  }
  setOpCounter(state, kMillion);
}
BENCHMARK(BM_PushMillion)->Unit(benchmark::kMillisecond);

void BM_PopMillion(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  double acc = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fill(s, kMillion);
    state.ResumeTiming();
    for (long i = 0; i < kMillion; ++i) acc += pop_refilled(s).v.r;
    benchmark::DoNotOptimize(acc);
  }
  setOpCounter(state, kMillion);
}
BENCHMARK(BM_PopMillion)->Unit(benchmark::kMillisecond);

// Alternating pushes and pops across the spill point: trim(7) and refill(9)
// in turn, on a stack that already holds a million entries below.
void BM_SpillRefillCycle(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, kMillion);
  double acc = 0;
  for (auto _ : state) {
    for (int i = 0; i < 16; ++i) s.push(Entry::real(i));
    for (int i = 0; i < 16; ++i) acc += pop_refilled(s).v.r;
    benchmark::DoNotOptimize(acc);
  }
  setOpCounter(state, 32);
}
BENCHMARK(BM_SpillRefillCycle);

// Level operations.  The argument is the level's zero-based depth k; the
// stack holds a million reals, so k >= 15 works inside the overflow.
void BM_SwapTop(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, kMillion);
  s.refill(Stack::REFILL);
  for (auto _ : state) s.swap_levels(0);
  setOpCounter(state, 1);
}
BENCHMARK(BM_SwapTop);

void BM_SwapLevels(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, kMillion);
  size_t k = static_cast<size_t>(state.range(0));
  for (auto _ : state) s.swap_levels(k);
  setOpCounter(state, 1);
}
BENCHMARK(BM_SwapLevels)->Arg(1)->Arg(100)->Arg(100000)->Arg(999000);

// Rot is roll(2); Roll and Rolld move one level to or from the top.
void BM_Roll(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, kMillion);
  size_t k = static_cast<size_t>(state.range(0));
  for (auto _ : state) s.roll(k);
  setOpCounter(state, 1);
}
BENCHMARK(BM_Roll)->Arg(2)->Arg(8)->Arg(100)->Arg(10000)->Arg(999000);

void BM_RollDown(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, kMillion);
  size_t k = static_cast<size_t>(state.range(0));
  for (auto _ : state) s.roll_down(k);
  setOpCounter(state, 1);
}
BENCHMARK(BM_RollDown)->Arg(2)->Arg(8)->Arg(100)->Arg(10000)->Arg(999000);

// Pick pushes a copy; each is dropped again so that the depth stays put.
void BM_PickDrop(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, kMillion);
  size_t k = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    s.pick(k);
    s.drop_n(1);
  }
  setOpCounter(state, 1);
}
BENCHMARK(BM_PickDrop)->Arg(1)->Arg(8)->Arg(100)->Arg(999000);

// Clearing: a purely numeric stack releases nothing per entry (only the
// overflow's blocks are freed); a stack of shared strings releases a link
// per entry.  Argument: the depth.  Only the clear is timed, in the
// thread's CPU time (the machines these run on are shared).
double thread_seconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

template <class Fill> void time_clear(benchmark::State &state, Fill fill_stack) {
  OBJ::OperandPool pool(128);
  long n = state.range(0);
  // Small stacks are cleared in batches so that the clock's cost is small.
  size_t batch = static_cast<size_t>(std::max(1L, 100000 / n));
  std::vector<std::unique_ptr<Stack>> stacks;
  for (size_t i = 0; i < batch; ++i) stacks.push_back(std::make_unique<Stack>(&pool));
  for (auto _ : state) {
    for (auto &s : stacks) fill_stack(*s, n);
    double t0 = thread_seconds();
    for (auto &s : stacks) s->clear();
    state.SetIterationTime(thread_seconds() - t0);
  }
  setOpCounter(state, static_cast<double>(batch));   // one clear
}

void BM_ClearReals(benchmark::State &state) { time_clear(state, fill); }
BENCHMARK(BM_ClearReals)->Arg(10)->Arg(1000)->Arg(kMillion)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ClearStrings(benchmark::State &state) {
  auto *text = new OBJ::String("shared");
  Entry one = Entry::object(text);
  OBJ::OperandPool pool(128);
  Stack owner(&pool);
  owner.push(one);
  time_clear(state, [&](Stack &s, long n) {
    for (long i = 0; i < n; ++i) s.push(s.copy_entry(one));
  });
}
BENCHMARK(BM_ClearStrings)->Arg(10)->Arg(1000)->Arg(kMillion)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One spill and its return: a push at top 15 moves 8 entries to the
// overflow, a pop and refill(15) bring them back.  Argument: the overflow's
// size modulo its 32-entry blocks before the spill; at 28 the spill crosses
// into a new block, which std::deque allocates on the way out and frees on
// the way back, every time.
void BM_SpillAndBack(benchmark::State &state) {
  OBJ::OperandPool pool(128);
  Stack s(&pool);
  fill(s, 32 * 1000 + state.range(0) + 15);
  s.trim(0);
  s.refill(15);
  double acc = 0;
  for (auto _ : state) {
    s.push(Entry::real(1.0));
    acc += s.pop().v.r;
    s.refill(15);
  }
  benchmark::DoNotOptimize(acc);
  setOpCounter(state, 1);
}
BENCHMARK(BM_SpillAndBack)->Arg(12)->Arg(28);

// Heap per entry for a million reals, and for a million copies of one
// string (each copy is one more link to the same object).
void BM_MemoryMillionReals(benchmark::State &state) {
  double perEntry = 0;
  for (auto _ : state) {
    OBJ::OperandPool pool(128);
    Stack s(&pool);
    size_t before = heap_in_use();
    fill(s, kMillion);
    perEntry = static_cast<double>(heap_in_use() - before) / kMillion;
  }
  state.counters["bytes/entry"] = perEntry;
}
BENCHMARK(BM_MemoryMillionReals)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_MemoryMillionSharedStrings(benchmark::State &state) {
  double perEntry = 0, links = 0;
  for (auto _ : state) {
    OBJ::OperandPool pool(128);
    Stack s(&pool);
    size_t before = heap_in_use();
    auto *text = new OBJ::String("one string shared by every level");
    Entry one = Entry::object(text);
    for (long i = 0; i < kMillion; ++i) s.push(s.copy_entry(one));
    perEntry = static_cast<double>(heap_in_use() - before) / kMillion;
    links = text->links();
    s.drop_entry(one);
  }
  state.counters["bytes/entry"] = perEntry;
  state.counters["links"] = links;   // a million copies and the original: one object
}
BENCHMARK(BM_MemoryMillionSharedStrings)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
