// The command table: every named word of the language, every internal
// instruction of the interpreter and every interactive command, one record
// each, in one static table (commands.def).  Everything else (lookups,
// menus, traces, help) reads it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kor/ExecStatus.h"

namespace KOR { class Context; }

namespace OP {

using Handler = EXEC::Status (*)(KOR::Context &);

// Command index: the position of a record in the table.
enum ifnEnum : uint32_t {
#define KOR_CMD(ID, NAME, LOOKUP, DISPLAY, LABEL, FLAGS, FAST, HANDLER, OPT, BRIEF, HELP) ifn_##ID,
#include "kor/commands.def"
#undef KOR_CMD
  IFN_COUNT,
  IFN_NONE = IFN_COUNT,   // no command
};
static_assert(IFN_COUNT == 232, "the command table has 232 records");
constexpr uint32_t USER_COMMANDS = 190;   // indices 0 to 189; the rest are internal

// Operand kinds that a word compiles to (the operand type tags).
enum Kind : uint32_t { INSTR = 5, STRUCT = 6, INTER = 7 };

// Flags word: kind (bits 0-5), function class (6-9), inputs (10-13),
// outputs (14-17), data elements (18-20), stands alone (21), mathematical (22).
constexpr uint32_t VARIABLE = 15;   // an input or output count decided at run time
constexpr uint32_t ALONE = 1u << 21;
constexpr uint32_t MATH = 1u << 22;
constexpr uint32_t F(uint32_t kind, uint32_t fclass, uint32_t in, uint32_t out, uint32_t data,
                     uint32_t bits) {
  return kind | fclass << 6 | in << 10 | out << 14 | data << 18 | bits;
}

// Whether the interpreter has register entries for the instruction: none,
// a register-loading entry whose second code word repeats it, or both.
enum FastForm : uint8_t { NO_AFN, AFN_ONLY, AFN_RFN };

struct Command {
  const char *name;      // as the user types it, or the upper-case internal name
  const char *lookup;    // lower-case alias when it is not the name in lower case
  const char *display;   // name shown in traces and error reports, when not the name
  const char *label;     // short label in the process and stack views
  const char *brief;     // one-line help
  const char *help;      // further help lines, each ended by "\n"
  Handler handler;       // the general function; null for interactive commands
  Handler opt;           // variant for compiled programs, or null
  FastForm fast;
  ifnEnum index;
  uint32_t flags;

  uint32_t kind() const { return flags & 0x3f; }
  uint32_t fclass() const { return flags >> 6 & 0xf; }
  uint32_t inputs() const { return flags >> 10 & 0xf; }
  uint32_t outputs() const { return flags >> 14 & 0xf; }
  uint32_t data() const { return flags >> 18 & 0x7; }
  bool alone() const { return flags & ALONE; }
  bool math() const { return flags & MATH; }
  bool visible() const { return fclass() != 0; }   // internal words print as nothing
  const char *shown() const { return display ? display : name; }
};

extern const Command COMMANDS[IFN_COUNT];

inline const Command &command(ifnEnum i) { return COMMANDS[i]; }

// The command a word names: user commands by exact name, or by lower-case
// alias when `aliases` is set and the word begins with a lower-case letter.
// Words of more than 8 characters are never commands.  Internal names are
// not found.
const Command *find(const char *word, size_t length, bool aliases);

// The interactive command of that name (words of 4 to 10 characters), or null.
const Command *find_interactive(const char *word, size_t length);

} // namespace OP
