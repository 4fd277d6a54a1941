// Real arithmetic does not allocate: compiled programs of real arithmetic,
// counted and While loops, If on reals, the stack's cache and overflow, and
// extended-real arithmetic through the command handlers all run without a
// single operator new once they have been run one time (which fills the
// context's operand pool and the overflow's first block).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kor/Stack.h"
#include "unit/alloc_counter.h"
#include "unit/engine_util.h"

using alloc_counter::AllocCount;

namespace {

// The counter must see allocations made inside the shell's own library: a
// stack of 100 reals takes overflow blocks from the heap.
void expect_counter_sees_allocations() {
  OBJ::OperandPool pool(4);
  KOR::Stack s(&pool);
  size_t news;
  {
    AllocCount count;
    for (int i = 0; i < 100; ++i) s.push(KOR::Entry::real(i));
    news = count.news();
  }
  EXPECT_GT(news, 0u) << "the allocation counter is not counting";
  std::vector<int> *v;
  {
    AllocCount count;
    v = new std::vector<int>(10);
    news = count.news();
  }
  delete v;
  EXPECT_EQ(news, 2u) << "a vector and its elements are two allocations";
}

struct Case {
  const char *src;
  std::vector<std::string> stack;   // deepest first, in edit form
};

// Runs the compiled program twice to warm up, then once more counting.
void expect_no_allocations(const Case &c) {
  engine::Session s(c.src);
  for (int warm = 0; warm < 2; ++warm) {
    s.cx.main.clear();
    ASSERT_EQ(s.start(), EXEC::EXIT) << c.src;
  }
  s.cx.main.clear();
  int status;
  size_t news, bytes;
  {
    AllocCount count;
    status = s.start();
    news = count.news();
    bytes = count.bytes();
  }
  EXPECT_EQ(status, EXEC::EXIT) << c.src;
  EXPECT_EQ(news, 0u) << c.src << ": " << news << " allocations, " << bytes << " bytes";
  EXPECT_EQ(s.stack(), c.stack) << c.src;
}

} // namespace

TEST(Alloc, CounterCountsThisThreadOnlyWhileOn) {
  expect_counter_sees_allocations();
  auto *outside = new int(1);   // not counted: no AllocCount alive
  AllocCount count;
  EXPECT_EQ(count.news(), 0u);
  auto *inside = new int(2);
  EXPECT_EQ(count.news(), 1u);
  EXPECT_EQ(count.bytes(), sizeof(int));
  delete inside;
  delete outside;
}

TEST(Alloc, CompiledRealArithmetic) {
  expect_counter_sees_allocations();
  for (const Case &c : std::vector<Case>{
           {"1 2 + 3 * 4 - 5 /", {"1"}},
           {"2 Sqrt Sq 3 Neg Abs Inv Swap Over * + 10 Swap -", {"9"}},
           {"0.5 Sin Cos Exp Ln 1 Atan 4 * Pi - Drop", {"0.88726005071765257"}},
           {"1 2 3 4 5 6 Swap Rot Over Drop Dup + + + + + +", {"25"}},
           {"2 3 < 3 2 < And 1 1 == Or Not", {"0"}},
       })
    expect_no_allocations(c);
}

TEST(Alloc, CompiledLoops) {
  expect_counter_sees_allocations();
  for (const Case &c : std::vector<Case>{
           {"0 1 1000 Start 1 + Next", {"1000"}},                   // REALSTART form
           {"0 1 1000 Start 0.5 + 2 Step", {"250"}},                // REALSTART with a step
           {"0 1 1000 Dup Drop Start 1 + Next", {"1000"}},          // general Start
           {"0 1 100 Start 1 10 Start 1 + Next Next", {"1000"}},    // nested
           {"0 While Dup 1000 < Do 1 + End", {"1000"}},
           {"0 Do 1 + While Dup 1000 < End", {"1000"}},
       })
    expect_no_allocations(c);
}

TEST(Alloc, CompiledIfOnReals) {
  expect_counter_sees_allocations();
  for (const Case &c : std::vector<Case>{
           {"0 1 1001 Start If Dup 0 < Then 1 + Else 1 - End Next", {"-1"}},
           {"0 1 100 Start If Dup 50 < Then 1 + End Next", {"50"}},
           {"NaN If Then 1 Else 2 End 0 If Then 3 Else 4 End", {"1", "4"}},
       })
    expect_no_allocations(c);
}

// A program object on the stack, copied by link and evaluated each time.
TEST(Alloc, EvalOfAProgramObject) {
  expect_counter_sees_allocations();
  expect_no_allocations({"<< 1 + >> 0 1 100 Start Over Eval Next Swap Drop", {"100"}});
}

// Thirty values spill sixteen entries into the overflow and read them back;
// that stays inside the overflow's first block, which survives a clear.
TEST(Alloc, CompiledSpillBeyondTheCache) {
  expect_counter_sees_allocations();
  std::string src;
  for (int i = 1; i <= 30; ++i) src += std::to_string(i) + " ";
  for (int i = 1; i < 30; ++i) src += "+ ";
  expect_no_allocations({src.c_str(), {"465"}});
}

TEST(Alloc, StackPushPopInAndBeyondTheCache) {
  expect_counter_sees_allocations();
  OBJ::OperandPool pool(4);
  KOR::Stack s(&pool);
  auto cycle = [&](int depth) {
    double sum = 0;
    for (int i = 1; i <= depth; ++i) s.push(KOR::Entry::real(i));
    for (int i = 1; i <= depth; ++i) {
      if (s.top == 0) s.refill(KOR::Stack::REFILL);
      sum += s.pop().v.r;
    }
    return sum;
  };
  cycle(30);   // the overflow's first block
  for (int depth : {7, 15, 30}) {
    double sum;
    size_t news;
    {
      AllocCount count;
      sum = cycle(depth);
      news = count.news();
    }
    EXPECT_EQ(news, 0u) << "depth " << depth;
    EXPECT_EQ(sum, depth * (depth + 1) / 2) << "depth " << depth;
    EXPECT_EQ(s.depth(), 0u);
  }
}

// Extended reals are operands; the handlers take them from the context's
// pool and give them back, so after the first run nothing is allocated.
// The results are checked as reals: (1/3 * 3 + 2) squared is 3 within
// 1E-37, and 2 * 1.0000001^100 - 2 is exact to a double.
TEST(Alloc, ExtendedRealArithmeticThroughHandlers) {
  expect_counter_sees_allocations();
  for (const Case &c : std::vector<Case>{
           {"1 -->XP 3 -->XP / 3 -->XP * 2 -->XP + Sqrt Sq 3 -->XP - Abs 1E-37 <", {"1"}},
           {"2 -->XP 1 100 Start 1.0000001 * Next 2 -->XP - 1E6 * -->DP", {"20.000099012000859"}},
           {"1 -->XP Neg Abs Inv 2 -->XP Swap - 2 -->XP ==", {"0"}},
           {"3 -->XP Dup * Sqrt 3 -->XP ==", {"1"}},
       })
    expect_no_allocations(c);
}
