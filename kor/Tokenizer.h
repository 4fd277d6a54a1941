// The tokenizer: program text in a buffer turns into operands one at a time.
// Each literal kind has a scanner that recognises its own text at the cursor;
// the scanners are tried in a fixed order, then the word is looked up as a
// command.  All state lives in the buffer (cursor, previous cursor, status).
#pragma once

#include "kor/Operand.h"

namespace KOR { struct DisplayFormat; }

namespace OBJ {

class Buffer;

// Parse statuses of the tokenizer and of Sequence::parse.
enum ParseStatus : uint32_t {
  PS_OK = 0, PS_END_OF_BUFFER = 1, PS_END_OF_PROGRAM = 2, PS_UNKNOWN = 3, PS_UNBALANCED = 4,
  PS_BAD_BINARY = 5, PS_BAD_COMPLEX = 6, PS_BAD_XREAL = 7, PS_BAD_REAL = 8,
  PS_NESTING = 36,   // literals nested deeper than MAX_NESTING
};
constexpr int MAX_NESTING = 256;

// The next operand, or null with the buffer status saying why.
Operand *next(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);

// Moves the cursor over white space, across lines: status 1 at the end of
// the buffer, else 0.
void skip_white(Buffer &buf, bool comma);

// The scanners of names, strings, comments, variables, lists and programs.
Operand *scan_name(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_string(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_comment(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_variable(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_list(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);
Operand *scan_program(Buffer &buf, const KOR::DisplayFormat &fmt, OperandPool *pool);

} // namespace OBJ
