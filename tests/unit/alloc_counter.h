// Counting of heap allocations made by the current thread.  The kor_tests
// binary replaces the global operator new and delete (alloc_counter.cc);
// while an AllocCount is alive on a thread, every operator new on that
// thread is counted.  Allocations of other threads are never counted.
#pragma once

#include <cstddef>

namespace alloc_counter {

// Counts the operator new calls of this thread from construction on.
// Counts do not nest: an inner AllocCount restarts the count.
class AllocCount {
public:
  AllocCount();
  ~AllocCount();
  AllocCount(const AllocCount &) = delete;
  AllocCount &operator=(const AllocCount &) = delete;

  size_t news() const;    // operator new calls so far
  size_t bytes() const;   // bytes asked for by them
};

} // namespace alloc_counter
