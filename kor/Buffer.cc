#include "kor/Buffer.h"

#include <iterator>

namespace OBJ {

Buffer::Buffer() { clear(); }

Buffer::~Buffer() = default;

Buffer::Buffer(const Buffer &other) : lines(other.lines), col(other.col), prevCol(other.prevCol),
                                      status(other.status) {
  line = std::next(lines.begin(), std::distance(other.lines.begin(), Lines::const_iterator(other.line)));
  prevLine = std::next(lines.begin(),
                       std::distance(other.lines.begin(), Lines::const_iterator(other.prevLine)));
}

Buffer &Buffer::operator=(const Buffer &other) {
  if (this != &other) {
    Buffer copy(other);
    lines.swap(copy.lines);
    line = copy.line;
    prevLine = copy.prevLine;
    col = copy.col;
    prevCol = copy.prevCol;
    status = copy.status;
  }
  return *this;
}

void Buffer::clear() {
  lines.assign(1, Line{});
  line = prevLine = lines.begin();
  col = prevCol = 1;
  status = 0;
}

void Buffer::move_to_start() {
  line = lines.begin();
  col = 1;
  save_cursor();
}

int Buffer::ch() const {
  const std::string &t = line->text;
  if (col < t.size()) return static_cast<unsigned char>(t[col]);
  return std::next(line) == lines.end() ? -1 : '\n';
}

int Buffer::ch_at(size_t ahead) const {
  LineIt l = line;
  size_t c = col;
  for (;;) {
    const std::string &t = l->text;
    if (c + ahead < t.size()) return static_cast<unsigned char>(t[c + ahead]);
    size_t used = t.size() > c ? t.size() - c : 0;   // characters left on this line
    if (std::next(l) == lines.end()) return -1;
    if (ahead == used) return '\n';
    ahead -= used + 1;
    ++l;
    c = 1;
  }
}

void Buffer::advance() {
  if (col < line->text.size()) {
    ++col;
  } else if (std::next(line) != lines.end()) {
    ++line;
    col = 1;
  }
}

size_t Buffer::write(std::string_view text, bool insert) {
  std::string &t = line->text;
  if (col > t.size()) t.append(col - t.size(), ' ');
  if (insert) {
    t.insert(col, text);
  } else {
    size_t overlap = std::min(text.size(), t.size() - col);
    t.replace(col, overlap, text);
  }
  col += text.size();
  return text.size();
}

void Buffer::insert_at(size_t column, size_t count, char c) {
  std::string &t = line->text;
  if (column > t.size()) t.append(column - t.size(), ' ');
  t.insert(column, count, c);
  if (col >= column) col += count;
}

std::string Buffer::text() const {
  std::string out;
  for (auto it = lines.begin(); it != lines.end(); ++it) {
    if (it != lines.begin()) out += '\n';
    out.append(it->text, 1);
  }
  return out;
}

void Buffer::set_text(std::string_view text) {
  lines.clear();
  size_t start = 0;
  for (;;) {
    size_t nl = text.find('\n', start);
    Line l;
    l.text.append(text.substr(start, nl == std::string_view::npos ? nl : nl - start));
    lines.push_back(std::move(l));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  move_to_start();
  status = 0;
}

} // namespace OBJ
