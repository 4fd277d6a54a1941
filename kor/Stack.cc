#include "kor/Stack.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "kor/Buffer.h"
#include "kor/DisplayFormat.h"
#include "kor/Real.h"
#include "kor/kor_error.h"

namespace KOR {

std::string entry_trace_text(const Entry &e) {
  char text[64];
  if (e.tag == OBJ::REAL) {
    std::snprintf(text, sizeof text, " %.16g", e.v.r);
  } else if (e.tag == OBJ::BINARY) {
    uint32_t hi = static_cast<uint32_t>(e.v.b >> 32), lo = static_cast<uint32_t>(e.v.b);
    if (hi) std::snprintf(text, sizeof text, " # %X%08Xh", hi, lo);
    else std::snprintf(text, sizeof text, " # %Xh", lo);
  } else if (e.tag >= OBJ::INVALID) {
    return "[INVALID]";
  } else if (!e.v.p) {
    return "[NULL]";
  } else {
    return OBJ::toText(*e.v.p, DisplayFormat{}, OBJ::NO_LIMIT);
  }
  return text;
}

Stack::Stack(OBJ::OperandPool *p) : pool(p) { cache[0] = Entry::sentinel(); }

Stack::~Stack() { clear(); }

void Stack::trim(int keep) {
  int m = top - keep;
  if (m < 1) return;
  for (int i = 1; i <= m; ++i) oflow.push_back(cache[i]);
  for (int i = 1; i <= keep; ++i) cache[i] = cache[m + i];
  top = keep;
}

void Stack::refill(int n) {
  if (top >= n || oflow.empty()) return;
  int k = static_cast<int>(std::min<size_t>(static_cast<size_t>(n - top), oflow.size()));
  for (int i = top; i >= 1; --i) cache[i + k] = cache[i];
  for (int i = k; i >= 1; --i) {
    cache[i] = oflow.back();
    oflow.pop_back();
  }
  top += k;
}

Entry &Stack::level(size_t k) {
  if (k <= static_cast<size_t>(top)) return cache[static_cast<size_t>(top) - (k - 1)];
  return oflow[oflow.size() - (k - static_cast<size_t>(top))];
}

const Entry &Stack::level(size_t k) const { return const_cast<Stack *>(this)->level(k); }

Entry Stack::copy_entry(const Entry &e) const {
  if (e.isInline() || e.tag >= OBJ::INVALID || !e.v.p) return e;
  OBJ::Operand *c = e.v.p->clone(pool);
  if (c->type_ == OBJ::REAL || c->type_ == OBJ::BINARY) {
    Entry inl = c->type_ == OBJ::REAL ? Entry::real(static_cast<OBJ::Real *>(c)->num)
                                      : Entry::binary(static_cast<OBJ::Binary *>(c)->bits);
    OBJ::dispose(c, pool);
    return inl;
  }
  return Entry::object(c);
}

void Stack::drop_entry(const Entry &e) const {
  if (e.isInline() || e.tag >= OBJ::INVALID || !e.v.p) return;
  OBJ::dispose(e.v.p, pool);
}

void Stack::move_from(Stack &src) {
  for (const Entry &e : src.oflow) push(e);
  for (int i = 1; i <= src.top; ++i) push(src.cache[i]);
  std::deque<Entry>().swap(src.oflow);
  src.top = 0;
  src.allInline = true;
}

void Stack::swap(Stack &other) {
  oflow.swap(other.oflow);
  int n = std::max(top, other.top);
  for (int i = 1; i <= n; ++i) std::swap(cache[i], other.cache[i]);
  std::swap(top, other.top);
  std::swap(allInline, other.allInline);
}

void Stack::swap_levels(size_t k) {
  if (static_cast<size_t>(top) >= k + 2) {
    std::swap(cache[static_cast<size_t>(top) - k], cache[static_cast<size_t>(top) - k - 1]);
    return;
  }
  slow_begin();
  std::swap(oflow[oflow_index(k + 1)], oflow[oflow_index(k + 2)]);
  slow_end();
}

void Stack::copy_from(const Stack &other) {
  clear();
  append_copy_of(other);
}

void Stack::append_copy_of(const Stack &src) {
  for (const Entry &e : src.oflow) push(copy_entry(e));
  for (int i = 1; i <= src.top; ++i) push(copy_entry(src.cache[i]));
}

void Stack::clear() {
  if (!allInline) {
    for (auto it = oflow.rbegin(); it != oflow.rend(); ++it) drop_entry(*it);
    for (int i = top; i >= 1; --i) drop_entry(cache[i]);
  }
  oflow.clear();
  top = 0;
  allInline = true;
}

void Stack::drop_n(size_t n) {
  if (static_cast<size_t>(top) >= n) {
    for (size_t i = 0; i < n; ++i) drop_entry(cache[top--]);
    return;
  }
  slow_begin();
  for (size_t i = 0; i < n; ++i) {
    drop_entry(oflow.back());
    oflow.pop_back();
  }
  slow_end();
}

void Stack::dup_n(size_t n) {
  if (static_cast<size_t>(top) + n < 16 && n <= static_cast<size_t>(top)) {
    int first = top - static_cast<int>(n) + 1, last = top;
    for (int i = first; i <= last; ++i) push(copy_entry(cache[i]));
    return;
  }
  slow_begin();
  size_t start = oflow.size() - n;
  for (size_t i = 0; i < n; ++i) {
    Entry e = copy_entry(oflow[start + i]);
    oflow.push_back(e);
    if (!e.isInline()) allInline = false;
  }
  slow_end();
}

void Stack::pick(size_t k) {
  if (top + 1 < 16 && k + 1 <= static_cast<size_t>(top)) {
    push(copy_entry(cache[static_cast<size_t>(top) - k]));
    return;
  }
  slow_begin();
  Entry e = copy_entry(oflow[oflow_index(k + 1)]);
  oflow.push_back(e);
  if (!e.isInline()) allInline = false;
  slow_end();
}

void Stack::roll(size_t k) {
  if (k + 1 <= static_cast<size_t>(top)) {
    int from = top - static_cast<int>(k);
    Entry e = cache[from];
    for (int i = from; i < top; ++i) cache[i] = cache[i + 1];
    cache[top] = e;
    return;
  }
  slow_begin();
  size_t i = oflow_index(k + 1);
  Entry e = oflow[i];
  oflow.erase(oflow.begin() + static_cast<long>(i));
  oflow.push_back(e);
  slow_end();
}

void Stack::roll_down(size_t k) {
  if (k + 1 <= static_cast<size_t>(top)) {
    int to = top - static_cast<int>(k);
    Entry e = cache[top];
    for (int i = top; i > to; --i) cache[i] = cache[i - 1];
    cache[to] = e;
    return;
  }
  slow_begin();
  Entry e = oflow.back();
  oflow.pop_back();
  oflow.insert(oflow.end() - static_cast<long>(k), e);
  slow_end();
}

void Stack::drop_level(size_t k) {
  if (k + 1 <= static_cast<size_t>(top)) {
    int at = top - static_cast<int>(k);
    drop_entry(cache[at]);
    for (int i = at; i < top; ++i) cache[i] = cache[i + 1];
    --top;
    return;
  }
  slow_begin();
  size_t i = oflow_index(k + 1);
  drop_entry(oflow[i]);
  oflow.erase(oflow.begin() + static_cast<long>(i));
  slow_end();
}

void Stack::dup_level(size_t k) {
  if (top + 1 < 16 && k + 1 <= static_cast<size_t>(top)) {
    int at = top - static_cast<int>(k);
    Entry e = copy_entry(cache[at]);
    for (int i = top; i > at; --i) cache[i + 1] = cache[i];
    cache[at + 1] = e;
    ++top;
    if (!e.isInline()) allInline = false;
    return;
  }
  slow_begin();
  size_t i = oflow_index(k + 1);
  Entry e = copy_entry(oflow[i]);
  oflow.insert(oflow.begin() + static_cast<long>(i) + 1, e);
  if (!e.isInline()) allInline = false;
  slow_end();
}

void Stack::keep_top(size_t n) {
  if (static_cast<size_t>(top) >= n) {
    if (allInline) {
      oflow.clear();
    } else {
      for (auto it = oflow.rbegin(); it != oflow.rend(); ++it) drop_entry(*it);
      oflow.clear();
    }
    int lower = top - static_cast<int>(n);
    for (int i = lower; i >= 1; --i) drop_entry(cache[i]);
    for (int i = 1; i <= static_cast<int>(n); ++i) cache[i] = cache[lower + i];
    top = static_cast<int>(n);
    return;
  }
  slow_begin();
  while (oflow.size() > n) {
    drop_entry(oflow.front());
    oflow.pop_front();
  }
  slow_end();
}

void Stack::verify() const {
  for (const Entry &e : oflow) {
    if (e.isInline()) continue;
    if (!e.v.p) kor_error(EINVAL, "Stack", __LINE__, "NULL overflow entry in verify");
    e.v.p->verify();
  }
  for (int i = 1; i <= top; ++i) {
    const Entry &e = cache[i];
    if (e.isInline()) continue;
    if (!e.v.p) kor_error(EINVAL, "Stack", __LINE__, "NULL cache entry in verify");
    e.v.p->verify();
  }
}

void Stack::dump() const {
  std::fprintf(stderr, "  oflow.size = %lu\r\n", static_cast<unsigned long>(oflow.size()));
  for (size_t i = 0; i < oflow.size(); ++i)
    std::fprintf(stderr, "  oflow[%02u] = %s\r\n", static_cast<unsigned>(i),
                 entry_trace_text(oflow[i]).c_str());
  std::fprintf(stderr, "  ----\r\n  top = cache[%02ld]\r\n", static_cast<long>(top));
  for (int i = 0; i <= top; ++i)
    std::fprintf(stderr, "  cache[%02d] = %s\r\n", i, entry_trace_text(cache[i]).c_str());
}

namespace {

unsigned print_entry(const Entry &e, OBJ::Buffer &buf, const DisplayFormat &fmt,
                     unsigned minWidth, unsigned maxWidth) {
  if (e.tag == OBJ::REAL) return OBJ::print_real(buf, fmt, e.v.r, minWidth, maxWidth, true);
  if (e.tag == OBJ::BINARY) return OBJ::Binary(e.v.b).print(buf, fmt, minWidth, maxWidth, true, true);
  if (e.tag >= OBJ::INVALID || !e.v.p) return 0;
  return e.v.p->print(buf, fmt, minWidth, maxWidth, true, true);
}

} // namespace

void Stack::list(OBJ::Buffer &buf, const DisplayFormat &fmt, unsigned minWidth,
                 unsigned maxWidth, long from, long only, bool numbered) const {
  long d = static_cast<long>(depth());
  long hi = only != -1 ? only : (from == -1 ? d : from);
  long lo = only != -1 ? only : 1;
  bool first = true;
  for (long k = hi; k >= lo; --k) {
    if (k < 1 || k > d) continue;
    if (!first) {
      buf.lines.insert(std::next(buf.line), OBJ::Line{});
      ++buf.line;
      buf.col = 1;
    }
    first = false;
    unsigned minW = minWidth, maxW = maxWidth;
    if (numbered) {
      char label[24];
      int n = std::snprintf(label, sizeof label, "%2lu:", static_cast<unsigned long>(k));
      buf.write(std::string_view(label, static_cast<size_t>(n)), true);
      unsigned w = static_cast<unsigned>(n);
      if (minW != OBJ::NO_PAD) minW = minW > w ? minW - w : 0;
      if (maxW != OBJ::NO_LIMIT) maxW = maxW > w ? maxW - w : 0;
    }
    print_entry(level(static_cast<size_t>(k)), buf, fmt, minW, maxW);
  }
}

} // namespace KOR
