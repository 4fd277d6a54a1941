// Data stacks: the top of the stack lives in a fixed cache of entries, older
// entries in an overflow sequence.  Reals and binary integers are stored
// unboxed; other entries own one reference to an operand.
#pragma once

#include <cstdint>
#include <deque>

#include "kor/Operand.h"

namespace OBJ { class Buffer; }

namespace KOR {

struct DisplayFormat;

struct Entry {
  union {
    double r;           // REAL
    uint64_t b;         // BINARY
    OBJ::Operand *p;    // any other tag
  } v;
  uint32_t tag;
  uint32_t reserved;

  static Entry real(double d) { Entry e; e.v.r = d; e.tag = OBJ::REAL; e.reserved = 0; return e; }
  static Entry binary(uint64_t u) { Entry e; e.v.b = u; e.tag = OBJ::BINARY; e.reserved = 0; return e; }
  static Entry object(OBJ::Operand *op) {
    Entry e; e.v.p = op; e.tag = op->type_; e.reserved = 0; return e;
  }
  static Entry sentinel() { Entry e; e.v.b = 0; e.tag = OBJ::INVALID; e.reserved = 0; return e; }
  bool isInline() const { return tag == OBJ::REAL || tag == OBJ::BINARY; }
};
static_assert(sizeof(Entry) == 16);

// The text of an entry in traces: " %.16g", " # ...h", the operand's text,
// "[NULL]" or "[INVALID]".
std::string entry_trace_text(const Entry &e);

class Stack {
public:
  static constexpr int CACHE_SLOTS = 20;   // slot 0 is the sentinel
  static constexpr int CACHE_LIMIT = 16;   // the interpreter's end of the usable cache
  static constexpr int SPILL_TOP = 15;     // a push at this top trims first
  static constexpr int REFILL = 9;         // levels that most commands ask for

  explicit Stack(OBJ::OperandPool *pool);
  ~Stack();
  Stack(const Stack &) = delete;
  Stack &operator=(const Stack &) = delete;

  // Push with the spill rule; pop of the top cache entry (refill first).
  void push(const Entry &e) {
    if (top == SPILL_TOP) trim(7);
    cache[++top] = e;
    if (!e.isInline()) allInline = false;
  }
  Entry pop() { return cache[top--]; }

  void refill(int n);        // min(n, depth) entries in the cache
  void trim(int keep);       // keep the top `keep` cache entries, the rest to oflow
  Entry &level(size_t k);    // level 1 is the top
  const Entry &level(size_t k) const;
  size_t depth() const { return oflow.size() + static_cast<size_t>(top); }

  void move_from(Stack &src);            // src's entries pushed bottom first; src empty
  void swap(Stack &other);               // whole contents
  void swap_levels(size_t k);            // levels k+1 and k+2
  void copy_from(const Stack &other);    // clear, then copies of other's entries
  void append_copy_of(const Stack &src); // copies of src's entries pushed bottom first
  void clear();

  // Level operations; counts and levels are within the depth (callers check).
  void drop_n(size_t n);
  void dup_n(size_t n);
  void pick(size_t k);        // copy of level k+1 to the top
  void roll(size_t k);        // level k+1 moves to the top
  void roll_down(size_t k);   // the top moves to level k+1
  void drop_level(size_t k);  // removes level k+1
  void dup_level(size_t k);   // a copy of level k+1 directly above it
  void keep_top(size_t n);    // drops every level below the top n

  // Copying and dropping single entries with the stack's pool.
  Entry copy_entry(const Entry &e) const;
  void drop_entry(const Entry &e) const;

  void verify() const;
  void dump() const;
  // Lines for levels `from` (-1: the depth) down to 1, or only level `only`.
  void list(OBJ::Buffer &buf, const DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
            long from, long only, bool numbered) const;

  Entry cache[CACHE_SLOTS];
  std::deque<Entry> oflow;   // the bottom of the stack first
  int top = 0;               // index of the top cache slot; 0 = cache empty
  OBJ::OperandPool *pool;
  bool allInline = true;     // every entry pushed since the last clear was inline

private:
  void slow_begin() { trim(0); }
  void slow_end() { refill(REFILL); }
  size_t oflow_index(size_t k) const { return oflow.size() - k; }   // level k in oflow
};

} // namespace KOR
