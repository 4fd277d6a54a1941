#include "kor/Tokenizer.h"

#include <iterator>
#include <string>

#include "kor/Buffer.h"
#include "kor/Command.h"
#include "kor/DisplayFormat.h"
#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Real.h"
#include "kor/Sequence.h"
#include "kor/XReal.h"
#include "kor/charsets.h"

namespace OBJ {
namespace {

int nesting = 0;   // literals being scanned inside one another

struct NestingGuard {
  bool ok;
  NestingGuard() : ok(++nesting <= MAX_NESTING) {}
  ~NestingGuard() { --nesting; }
};

// Splits the cursor line at the cursor: the rest moves to a new line after it
// (behind its own margin blank), with its marks, and the cursor follows.
void split_line(Buffer &buf) {
  Line rest;
  rest.text = " " + buf.line->text.substr(buf.col);
  buf.line->text.erase(buf.col);
  std::vector<Mark> keep;
  for (const Mark &m : buf.line->marks) {
    if (m.start >= buf.col) rest.marks.push_back({static_cast<uint32_t>(m.start - buf.col + 1), m.length, m.attr});
    else keep.push_back(m);
  }
  buf.line->marks.swap(keep);
  buf.line = buf.lines.insert(std::next(buf.line), std::move(rest));
  buf.col = 1;
}

// The text of the cursor line from the cursor to the closing quote (or the
// end of the line); the cursor moves past it.  False when there was no quote.
bool quoted_text(Buffer &buf, char quote, std::string &text) {
  const std::string &line = buf.line->text;
  size_t start = buf.col + 1;
  size_t close = line.find(quote, start);
  bool closed = close != std::string::npos;
  size_t end = closed ? close : line.size();
  text.assign(line, start, end - start);
  buf.col = closed ? close + 1 : line.size();
  return closed;
}

template <class T>
Operand *scan_quoted(Buffer &buf, char quote, OperandPool *pool, bool padUnclosed) {
  if (buf.ch() != quote) { buf.status = PS_UNKNOWN; return nullptr; }
  T *op = make<T>(pool);
  std::string text;
  if (!quoted_text(buf, quote, text) && padUnclosed) text += ' ';
  op->text = std::move(text);
  buf.status = PS_OK;
  return op;
}

// The word at the cursor: up to the next delimiter.
size_t word_length(const Buffer &buf, bool comma) {
  size_t n = 0;
  for (int c; (c = buf.ch_at(n)) >= 0 && c != '\n' && !KOR::is_delimiter(c, comma);) ++n;
  return n;
}

using Scanner = Operand *(*)(Buffer &, const KOR::DisplayFormat &, OperandPool *);
constexpr Scanner SCANNERS[] = {scan_real, scan_xreal, scan_binary, scan_complex, scan_name,
                                scan_variable, scan_list, scan_program, scan_string, scan_comment};

} // namespace

void skip_white(Buffer &buf, bool comma) {
  while (KOR::is_white(buf.ch(), comma)) buf.advance();
  buf.status = buf.at_end() ? PS_END_OF_BUFFER : PS_OK;
}

Operand *next(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool) {
  bool comma = fmt.decimalComma();
  skip_white(buf, comma);
  if (buf.ch() == ';') {
    buf.advance();
    skip_white(buf, comma);
    if (buf.status == PS_END_OF_BUFFER) return nullptr;
    if (buf.col != 1) split_line(buf);
    buf.status = PS_END_OF_PROGRAM;
    return nullptr;
  }
  if (buf.status != PS_OK) return nullptr;
  buf.save_cursor();
  NestingGuard guard;
  if (!guard.ok) {
    buf.status = PS_NESTING;
    return nullptr;
  }
  for (Scanner scan : SCANNERS) {
    Operand *op = scan(buf, fmt, pool);
    if (op || buf.status != PS_UNKNOWN) return op;
  }
  size_t n = word_length(buf, comma);
  const std::string &line = buf.line->text;
  if (n > 0 && buf.col + n <= line.size()) {
    if (const OP::Command *cmd = OP::find(line.c_str() + buf.col, n, true)) {
      buf.col += n;
      buf.status = PS_OK;
      return Instruction::create(*cmd, pool);
    }
  }
  int c = buf.ch();
  buf.status = (KOR::is_delimiter(c, comma) || c == '<' || c == '>') ? PS_UNBALANCED : PS_UNKNOWN;
  return nullptr;
}

Operand *scan_name(Buffer &buf, const KOR::DisplayFormat &, OperandPool *pool) {
  return scan_quoted<Name>(buf, '\'', pool, false);
}

Operand *scan_string(Buffer &buf, const KOR::DisplayFormat &, OperandPool *pool) {
  return scan_quoted<String>(buf, '"', pool, false);
}

Operand *scan_comment(Buffer &buf, const KOR::DisplayFormat &, OperandPool *pool) {
  return scan_quoted<Comment>(buf, '@', pool, true);
}

Operand *scan_variable(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool) {
  if (buf.ch() != ':') { buf.status = PS_UNKNOWN; return nullptr; }
  const std::string &line = buf.line->text;
  size_t close = line.find(':', buf.col + 1);
  if (close == std::string::npos) { buf.status = PS_UNKNOWN; return nullptr; }
  std::string name = line.substr(buf.col + 1, close - buf.col - 1);
  buf.col = close + 1;
  Operand *value = next(buf, fmt, pool);
  if (!value) return nullptr;
  Variable *v = make<Variable>(pool);
  v->text = std::move(name);
  v->held = value;
  buf.status = PS_OK;
  return v;
}

Operand *scan_list(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool) {
  if (buf.ch() != '{') { buf.status = PS_UNKNOWN; return nullptr; }
  buf.advance();
  std::vector<Operand *> elems;
  Sequence::parse(elems, pool, buf, fmt, "}", false);
  if (buf.status != PS_END_OF_BUFFER && buf.status != PS_END_OF_PROGRAM) return nullptr;
  List *list = make<List>(pool);
  list->elems.swap(elems);
  buf.status = PS_OK;
  return list;
}

Operand *scan_program(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool) {
  if (buf.ch() != '<' || buf.ch_at(1) != '<') { buf.status = PS_UNKNOWN; return nullptr; }
  buf.advance();
  buf.advance();
  std::vector<Operand *> body;
  Sequence::parse(body, pool, buf, fmt, ">>", true);
  if (body.empty()) return nullptr;
  Program *prog = make<Program>(pool);
  prog->elems.swap(body);
  // Compiled once, when read: every Eval of it runs the action sequence.
  EXEC::compile_program(*prog);
  buf.status = PS_OK;
  return prog;
}

} // namespace OBJ
