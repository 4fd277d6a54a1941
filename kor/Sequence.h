// Compiled programs: code words, data elements, and the builder that the
// compiler and the optimizer fill; and Sequence::parse, which collects the
// operands of a program, list or command line and links its structures.
#pragma once

#include <cstdint>
#include <vector>

#include "kor/Command.h"
#include "kor/Operand.h"

namespace KOR { struct DisplayFormat; }
namespace OBJ { class Buffer; class Program; }

namespace EXEC {

// A data element: eight bytes read through the view that its instruction fixes.
union Datum {
  double real;                                // REALPUSH, REALADD, ...
  uint64_t bint;                              // BINTPUSH
  const OBJ::Operand *oper;                   // OPEREXEC
  struct { int32_t code, data; } ipair;       // jump distances
  struct { uint32_t u1, u2; } upair;          // counts

  static Datum of_real(double d) { Datum x; x.real = d; return x; }
  static Datum of_bint(uint64_t b) { Datum x; x.bint = b; return x; }
  static Datum of_oper(const OBJ::Operand *op) { Datum x; x.bint = 0; x.oper = op; return x; }
  static Datum of_ipair(int32_t c, int32_t d) { Datum x; x.ipair = {c, d}; return x; }
  static Datum of_upair(uint32_t a, uint32_t b) { Datum x; x.upair = {a, b}; return x; }
};
static_assert(sizeof(Datum) == 8);

// A code word names one entry of one command record: the command index in
// the high bits and which entry (handler, OPT, AFN, RFN) in the low two.
using CodeWord = uint32_t;
enum EntryKind : uint32_t { CW_HANDLER = 0, CW_OPT = 1, CW_AFN = 2, CW_RFN = 3 };
constexpr CodeWord code_word(OP::ifnEnum i, EntryKind k) { return uint32_t(i) << 2 | k; }
constexpr OP::ifnEnum word_command(CodeWord w) { return OP::ifnEnum(w >> 2); }
constexpr EntryKind word_entry(CodeWord w) { return EntryKind(w & 3); }

// Depth operations applied to the known stack depth after an instruction.
enum DepthOp {
  DO_NONE, DO_DUP, DO_ZERO, DO_ZERO_DUP, DO_DUP_ZERO, DO_LOOP_INIT, DO_MERGE, DO_MIN, DO_SWAP,
};
const char *depth_op_name(int op);

// The builder of a compiled program: the command indices and data elements
// emitted so far, with the optimizer's state.
class ActionSequence {
public:
  ActionSequence(const std::vector<OBJ::Operand *> &operands, bool folds, bool optimizeExit);
  virtual ~ActionSequence();

  // Appends an instruction with its data elements (zero unless given).
  void emit(OP::ifnEnum i);
  void emit_push(OP::ifnEnum i, Datum d);
  // Emits an instruction with depth tracking: the check it needs first,
  // then the known depth updated (`inputs` overrides the record's count).
  void emit_tracked(OP::ifnEnum i, int inputs = -1);

  // Builds the whole sequence from the operand list.
  void build();

  const std::vector<OBJ::Operand *> &ops;   // the program's operands
  size_t pc = 0;                            // the operand being compiled
  std::vector<OP::ifnEnum> index;           // command indices
  std::vector<Datum> data;                  // data elements
  std::vector<std::pair<uint32_t, uint32_t>> iStruct;   // open structures: index and data positions
  std::vector<int> minDepth;                // known stack depth per nesting level
  std::vector<uint32_t> iLoop;              // positions in minDepth where loop bodies began
  int depthOp = DO_NONE;
  bool OptimizeExit;                        // nothing reads the last stack after the program
  bool folds;                               // fold constant arithmetic and Swap
  uint32_t sinceBlockEnd = 0;               // instructions since the last charge point
  // Per operand: where its first instruction and, for a keyword, the keyword
  // itself were emitted (index position, data position).
  std::vector<std::pair<uint32_t, uint32_t>> firstAt, keywordAt;
  std::vector<int> depthBefore;             // known depth before each index entry
  std::pair<uint32_t, uint32_t> lastAt{0, 0};   // where the last tracked instruction went

  // State of an open loop, kept to compile its body again when the body
  // turns out to consume levels.
  struct LoopMark {
    size_t keywordPc = 0;
    bool recompiled = false;
    bool realStart = false;                 // compiled as REALSTART ... REALLOOP
    uint32_t realLoopAt = 0;                // index position of its REALLOOP
    std::vector<int> minDepth;
    std::vector<uint32_t> iLoop;
    std::vector<std::pair<uint32_t, uint32_t>> iStruct;
    size_t indexSize = 0, dataSize = 0;
    uint32_t sinceBlockEnd = 0;
  };
  std::vector<LoopMark> loops;              // open loops, innermost last
  std::vector<LoopMark> closedReal;         // REALSTART loops, for finalize

  void dump_state() const;
};

// Compiles a program's operands into its code and data (the optimizer with
// folds on, unless `folds` is false).  `optimizeExit` allows folds up to the
// end, when nothing reads the last-argument stack afterwards.
void compile_program(OBJ::Program &program, bool folds = true, bool optimizeExit = false);

// Turns a built sequence into code words and data elements, with every
// jump resolved.
void finalize(ActionSequence &seq, OBJ::Program &program);

// The name of the action at a code word: the command whose entry it is,
// shown by its display alias when it has one.
const char *action_name(CodeWord word);

// Traces on standard error.
void sequence_trace(const std::vector<OBJ::Operand *> &ops);
void optimized_trace(const OBJ::Program &program);

} // namespace EXEC

namespace Sequence {

// Collects operands from the buffer into `out` (released first) up to the
// terminator ("}" or ">>", or none for a command line).  With `structured`
// the program markers are added and structure keywords are checked and
// linked; without it a keyword is status 35.  On return the buffer status is
// 1 or 2 with the operands in `out`, or an error status with `out` empty.
void parse(std::vector<OBJ::Operand *> &out, OBJ::OperandPool *pool, OBJ::Buffer &buf,
           const KOR::DisplayFormat &fmt, const char *terminator, bool structured);

// Message of a parse status; null above 35.
const char *status_message(uint32_t status);

} // namespace Sequence
