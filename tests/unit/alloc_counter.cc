// Replacements of the global operator new and delete for the kor_tests
// binary: plain malloc and free, with a per-thread count of allocations that
// is kept only while an AllocCount is alive on the thread.
#include "unit/alloc_counter.h"

#include <cstdlib>
#include <new>

namespace alloc_counter {
namespace {

thread_local bool counting = false;
thread_local size_t newCount = 0;
thread_local size_t newBytes = 0;

void *allocate(size_t size, size_t align = 0) {
  if (counting) {
    ++newCount;
    newBytes += size;
  }
  if (size == 0) size = 1;
  void *p;
  if (align > alignof(std::max_align_t)) {
    // aligned_alloc wants a size that is a multiple of the alignment.
    p = std::aligned_alloc(align, (size + align - 1) / align * align);
  } else {
    p = std::malloc(size);
  }
  return p;
}

} // namespace

AllocCount::AllocCount() {
  newCount = 0;
  newBytes = 0;
  counting = true;
}

AllocCount::~AllocCount() { counting = false; }

size_t AllocCount::news() const { return newCount; }
size_t AllocCount::bytes() const { return newBytes; }

} // namespace alloc_counter

using alloc_counter::allocate;

void *operator new(size_t size) {
  if (void *p = allocate(size)) return p;
  throw std::bad_alloc();
}
void *operator new[](size_t size) {
  if (void *p = allocate(size)) return p;
  throw std::bad_alloc();
}
void *operator new(size_t size, const std::nothrow_t &) noexcept { return allocate(size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return allocate(size); }
void *operator new(size_t size, std::align_val_t align) {
  if (void *p = allocate(size, static_cast<size_t>(align))) return p;
  throw std::bad_alloc();
}
void *operator new[](size_t size, std::align_val_t align) {
  if (void *p = allocate(size, static_cast<size_t>(align))) return p;
  throw std::bad_alloc();
}
void *operator new(size_t size, std::align_val_t align, const std::nothrow_t &) noexcept {
  return allocate(size, static_cast<size_t>(align));
}
void *operator new[](size_t size, std::align_val_t align, const std::nothrow_t &) noexcept {
  return allocate(size, static_cast<size_t>(align));
}

void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, size_t) noexcept { std::free(p); }
void operator delete[](void *p, size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t, const std::nothrow_t &) noexcept { std::free(p); }
