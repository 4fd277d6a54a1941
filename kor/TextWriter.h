// Writes an operand's text at a buffer's cursor with print's width rules:
// every part is cut at the remaining width, and the whole is padded with
// blanks on the left to the minimum width.
#pragma once

#include <string_view>

#include "kor/Buffer.h"
#include "kor/Operand.h"

namespace OBJ {

class TextWriter {
public:
  TextWriter(Buffer &buf, unsigned maxWidth, bool insert)
      : buf_(buf), start_(buf.col), left_(maxWidth), insert_(insert) {}

  void put(std::string_view text) {
    if (text.size() > left_) text = text.substr(0, left_);
    left_ -= static_cast<unsigned>(text.size());
    written_ += static_cast<unsigned>(buf_.write(text, insert_));
  }
  void put(char c) { put(std::string_view(&c, 1)); }
  // Accounts for text that a nested operand printed at the cursor.
  void wrote(unsigned n) {
    left_ = n > left_ ? 0 : left_ - n;
    written_ += n;
  }
  unsigned left() const { return left_; }
  unsigned written() const { return written_; }

  // Pads in front of the text to minWidth (NO_PAD: none); returns the columns written.
  unsigned finish(unsigned minWidth) {
    if (minWidth != NO_PAD && minWidth > written_) {
      buf_.insert_at(start_, minWidth - written_, ' ');
      written_ = minWidth;
    }
    return written_;
  }

private:
  Buffer &buf_;
  size_t start_;
  unsigned left_;
  bool insert_;
  unsigned written_ = 0;
};

} // namespace OBJ
