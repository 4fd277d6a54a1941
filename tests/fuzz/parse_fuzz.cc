// Any text through the tokenizer and Sequence::parse, in point and comma
// mode: no crash, no hang, no leak; a failure leaves no operands and the
// buffer's cursor inside its text.
#include <cstdlib>
#include <string>
#include <vector>

#include "kor/Buffer.h"
#include "kor/DisplayFormat.h"
#include "kor/Operand.h"
#include "kor/Sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  if (size == 0) return 0;
  KOR::DisplayFormat fmt;
  if (data[0] & 1) fmt.flags2 |= KOR::DisplayFormat::DECIMAL_COMMA;
  if (data[0] & 2) fmt.setXprec(true);
  std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
  OBJ::Buffer buf;
  buf.set_text(text);
  OBJ::OperandPool pool(16);
  for (int programs = 0; programs < 64; ++programs) {
    std::vector<OBJ::Operand *> ops;
    Sequence::parse(ops, &pool, buf, fmt, nullptr, true);
    bool ok = buf.status == 1 || buf.status == 2;
    if (!ok && !ops.empty()) std::abort();
    if (buf.col > buf.line->text.size() + 1) std::abort();
    for (OBJ::Operand *op : ops) {
      op->verify();
      OBJ::toText(*op, fmt, 200);
    }
    while (!ops.empty()) {
      OBJ::dispose(ops.back(), &pool);
      ops.pop_back();
    }
    if (buf.status != 2) break;
  }
  return 0;
}
