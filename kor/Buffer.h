// A list of text lines with a cursor: what the tokenizer reads, what operands
// print into, and what the command-line editor edits.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace OBJ {

// A highlighted span of a line, with its display attribute.
struct Mark {
  uint32_t start, length, attr;
};

struct Line {
  std::string text = " ";      // text[0] is the margin blank; text starts at column 1
  std::vector<Mark> marks;
};

class Buffer {
public:
  using Lines = std::list<Line>;
  using LineIt = Lines::iterator;

  Buffer();                    // one line holding only the margin blank, cursor after it
  virtual ~Buffer();
  Buffer(const Buffer &other);
  Buffer &operator=(const Buffer &other);

  // Back to one blank line with the cursor at column 1.
  void clear();

  // Reading, for the tokenizer.  The character at the cursor: its byte, 10 at
  // the end of a line that is not the last, -1 at the end of the buffer.
  int ch() const;
  int ch_at(size_t ahead) const;   // the character `ahead` steps after the cursor
  void advance();                  // one character forward, across line ends
  bool at_end() const { return ch() < 0; }
  void save_cursor() { prevLine = line; prevCol = col; }
  void move_to_start();            // line 1, column 1

  // Writing at the cursor (overwriting or inserting), advancing it.  Returns
  // the number of characters written.
  size_t write(std::string_view text, bool insert);
  // Inserts `count` copies of c at `column` of the cursor line; the cursor
  // moves with the text when it stands at or after that column.
  void insert_at(size_t column, size_t count, char c);

  // The whole text, lines joined with "\n", each without its margin blank.
  std::string text() const;
  // Replaces the contents by `text` (lines split at "\n"); cursor at the start.
  void set_text(std::string_view text);

  Lines lines;
  LineIt line;                 // the cursor: a line and a column
  size_t col = 1;
  LineIt prevLine;             // where the last token started
  size_t prevCol = 1;
  uint32_t status = 0;         // parse status
};

} // namespace OBJ
