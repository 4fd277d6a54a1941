// The data stack: its cache and overflow, every level operation against a
// plain vector model, and the ownership of shared and pooled operands.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "kor/HardLink.h"
#include "kor/Real.h"
#include "kor/Stack.h"

using namespace KOR;

namespace {

// What the model stack holds: an id per level and the kind that carries it.
enum Kind { K_REAL, K_COMPLEX, K_STRING };
struct Item {
  Kind kind;
  int id;
  bool operator==(const Item &o) const { return kind == o.kind && id == o.id; }
};

class StackModelTest : public testing::Test {
protected:
  OBJ::OperandPool pool{4};   // a small pool, so that both parking and deleting happen
  Stack a{&pool}, b{&pool};
  std::vector<Item> ma, mb;   // bottom first
  std::map<int, OBJ::String *> strings;   // every string made, by id
  int nextId = 1;

  Entry make_entry(Kind k, int id) {
    switch (k) {
    case K_REAL: return Entry::real(id);
    case K_COMPLEX: return Entry::object(new OBJ::Complex(id, -id));
    default: {
      auto *s = new OBJ::String(std::to_string(id));
      strings[id] = s;
      return Entry::object(s);
    }
    }
  }

  static Item item_of(const Entry &e) {
    if (e.tag == OBJ::REAL) return {K_REAL, static_cast<int>(e.v.r)};
    if (e.tag == OBJ::COMPLEX) return {K_COMPLEX, static_cast<int>(static_cast<OBJ::Complex *>(e.v.p)->re)};
    EXPECT_EQ(e.tag, OBJ::STRING);
    return {K_STRING, std::stoi(static_cast<OBJ::String *>(e.v.p)->text)};
  }

  void expect_same(const Stack &s, const std::vector<Item> &m, const char *what) {
    ASSERT_EQ(s.depth(), m.size()) << what;
    ASSERT_LE(s.top, 15) << what;
    ASSERT_GE(s.top, 0) << what;
    for (size_t k = 1; k <= m.size(); ++k)
      ASSERT_EQ(item_of(s.level(k)), m[m.size() - k]) << what << " level " << k;
  }

  // Every string is held exactly as many times as the models hold it.
  void expect_links(const char *what) {
    std::map<int, unsigned> held;
    for (const auto *m : {&ma, &mb})
      for (const Item &i : *m)
        if (i.kind == K_STRING) ++held[i.id];
    for (auto &[id, count] : held) ASSERT_EQ(strings[id]->links(), count) << what << " string " << id;
  }
};

TEST_F(StackModelTest, RandomOperationSequencesMatchAVectorModel) {
  std::mt19937 rng(12345);
  auto pick_level = [&](size_t depth) { return std::uniform_int_distribution<size_t>(0, depth - 1)(rng); };
  for (int step = 0; step < 40000; ++step) {
    Stack &s = (rng() % 4 == 0) ? b : a;
    std::vector<Item> &m = (&s == &a) ? ma : mb;
    Stack &o = (&s == &a) ? b : a;
    std::vector<Item> &mo = (&s == &a) ? mb : ma;
    int op = static_cast<int>(rng() % 20);
    size_t d = m.size();
    const char *what = "";
    if (op <= 5 || d == 0) {
      what = "push";
      Kind k = static_cast<Kind>(rng() % 3);
      int id = nextId++;
      s.push(make_entry(k, id));
      m.push_back({k, id});
    } else if (op == 6) {
      what = "drop_n";
      size_t n = 1 + pick_level(std::min<size_t>(d, 20));
      s.drop_n(n);
      m.resize(d - n);
    } else if (op == 7) {
      what = "dup_n";
      size_t n = 1 + pick_level(std::min<size_t>(d, 20));
      s.dup_n(n);
      for (size_t i = d - n; i < d; ++i) m.push_back(m[i]);
    } else if (op == 8) {
      what = "pick";
      size_t k = pick_level(d);
      s.pick(k);
      m.push_back(m[d - 1 - k]);
    } else if (op == 9) {
      what = "roll";
      size_t k = pick_level(d);
      Item it = m[d - 1 - k];
      m.erase(m.begin() + static_cast<long>(d - 1 - k));
      m.push_back(it);
      s.roll(k);
    } else if (op == 10) {
      what = "roll_down";
      size_t k = pick_level(d);
      Item it = m.back();
      m.pop_back();
      m.insert(m.end() - static_cast<long>(k), it);
      s.roll_down(k);
    } else if (op == 11) {
      what = "drop_level";
      size_t k = pick_level(d);
      m.erase(m.begin() + static_cast<long>(d - 1 - k));
      s.drop_level(k);
    } else if (op == 12) {
      what = "dup_level";
      size_t k = pick_level(d);
      m.insert(m.begin() + static_cast<long>(d - k), m[d - 1 - k]);
      s.dup_level(k);
    } else if (op == 13 && d >= 2) {
      what = "swap_levels";
      size_t k = pick_level(d - 1);
      std::swap(m[d - 1 - k], m[d - 2 - k]);
      s.swap_levels(k);
    } else if (op == 14) {
      what = "keep_top";
      size_t n = pick_level(d + 1);
      m.erase(m.begin(), m.end() - static_cast<long>(n));
      s.keep_top(n);
    } else if (op == 15) {
      what = "refill/trim";
      if (rng() % 2) s.refill(static_cast<int>(rng() % 16));
      else s.trim(static_cast<int>(rng() % 16));
    } else if (op == 16 && rng() % 4 == 0) {
      what = "move_from";
      s.move_from(o);
      m.insert(m.end(), mo.begin(), mo.end());
      mo.clear();
    } else if (op == 17) {
      what = "swap";
      s.swap(o);
      std::swap(m, mo);
    } else if (op == 18 && rng() % 8 == 0) {
      what = rng() % 2 ? "copy_from" : "append_copy_of";
      if (what[0] == 'c') {
        s.copy_from(o);
        m = mo;
      } else {
        s.append_copy_of(o);
        m.insert(m.end(), mo.begin(), mo.end());
      }
    } else if (op == 19 && rng() % 16 == 0) {
      what = "clear";
      s.clear();
      m.clear();
    }
    expect_same(a, ma, what);
    expect_same(b, mb, what);
    if (step % 64 == 0) expect_links(what);
    if (HasFatalFailure()) return;
  }
  expect_links("end");
  a.clear();
  b.clear();
  EXPECT_EQ(a.depth(), 0u);
}

TEST(StackCache, SixteenPushesSpillEightToTheOverflow) {
  Stack s(nullptr);
  for (int i = 1; i <= 15; ++i) s.push(Entry::real(i));
  EXPECT_EQ(s.top, 15);
  EXPECT_TRUE(s.oflow.empty());
  s.push(Entry::real(16));
  EXPECT_EQ(s.top, 8);
  EXPECT_EQ(s.oflow.size(), 8u);
  for (int k = 1; k <= 16; ++k) EXPECT_EQ(s.level(static_cast<size_t>(k)).v.r, 17 - k);
  // level(top + 1) is the last entry of the overflow.
  EXPECT_EQ(&s.level(9), &s.oflow.back());
}

TEST(StackCache, RefillBringsBackAtMostWhatIsAsked) {
  Stack s(nullptr);
  for (int i = 1; i <= 5; ++i) s.push(Entry::real(i));
  s.trim(2);
  EXPECT_EQ(s.top, 2);
  EXPECT_EQ(s.oflow.size(), 3u);
  s.refill(9);
  EXPECT_EQ(s.top, 5);
  EXPECT_TRUE(s.oflow.empty());
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(s.level(static_cast<size_t>(k)).v.r, 6 - k);
  s.trim(7);   // top <= 7: nothing moves
  EXPECT_EQ(s.top, 5);
  EXPECT_EQ(s.cache[0].tag, OBJ::INVALID);
}

TEST(StackCache, MoveOntoAFullCacheSpillsFirst) {
  Stack s(nullptr), src(nullptr);
  for (int i = 1; i <= 15; ++i) s.push(Entry::real(i));
  src.push(Entry::real(100));
  s.move_from(src);
  EXPECT_EQ(s.top, 8);
  EXPECT_EQ(s.level(1).v.r, 100);
  EXPECT_EQ(src.depth(), 0u);
}

TEST(StackOwnership, ClearReleasesOneLinkOfAString) {
  OBJ::OperandPool pool(8);
  auto *str = new OBJ::String("hi");
  str->clone(&pool);   // a second holder outside the stack
  {
    Stack s(&pool);
    s.push(Entry::object(str));
    EXPECT_FALSE(s.allInline);
    s.clear();
    EXPECT_TRUE(s.allInline);
    EXPECT_EQ(str->links(), 1u);
    EXPECT_EQ(str->text, "hi");
  }
  str->release(&pool);
  EXPECT_EQ(pool.size(OBJ::STRING), 1u);   // parked, text freed
  EXPECT_EQ(str->text, "DEADBEEF");
}

TEST(StackOwnership, NumericStackClearsWithoutTouchingEntries) {
  Stack s(nullptr);
  for (int i = 0; i < 100000; ++i) s.push(Entry::real(i));
  EXPECT_TRUE(s.allInline);
  s.clear();
  EXPECT_EQ(s.depth(), 0u);
}

TEST(StackTrace, DumpOfAnEmptyStack) {
  Stack s(nullptr);
  testing::internal::CaptureStderr();
  s.dump();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "  oflow.size = 0\r\n  ----\r\n  top = cache[00]\r\n  cache[00] = [INVALID]\r\n");
}

TEST(StackTrace, EntryTexts) {
  EXPECT_EQ(entry_trace_text(Entry::real(0.1)), " 0.1");
  EXPECT_EQ(entry_trace_text(Entry::real(1.0 / 3)), " 0.3333333333333333");
  EXPECT_EQ(entry_trace_text(Entry::binary(0xff)), " # FFh");
  EXPECT_EQ(entry_trace_text(Entry::binary(0x1234567800000001ull)), " # 1234567800000001h");
  EXPECT_EQ(entry_trace_text(Entry::sentinel()), "[INVALID]");
  Entry null = Entry::real(0);
  null.tag = OBJ::STRING;
  null.v.p = nullptr;
  EXPECT_EQ(entry_trace_text(null), "[NULL]");
}

TEST(StackVerifyDeathTest, NullObjectEntriesAreFatal) {
  Stack s(nullptr);
  Entry null = Entry::real(0);
  null.tag = OBJ::STRING;
  null.v.p = nullptr;
  s.cache[++s.top] = null;
  EXPECT_EXIT(s.verify(), testing::ExitedWithCode(EINVAL), "\\[NULL cache entry in verify\\]");
  s.trim(0);
  EXPECT_EXIT(s.verify(), testing::ExitedWithCode(EINVAL), "\\[NULL overflow entry in verify\\]");
  s.oflow.clear();
  s.top = 0;
}

} // namespace
