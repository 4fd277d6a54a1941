#include "unit/engine_util.h"

#include <gtest/gtest.h>

#include "kor/Buffer.h"
#include "kor/Interpreter.h"
#include "kor/Kernel.h"
#include "kor/Sequence.h"

namespace engine {

const char *mode_name(Mode m) {
  return m == Mode::Optimized ? "optimized" : m == Mode::NoFolds ? "no folds" : "operand mode";
}

std::string describe(const Outcome &o) {
  std::string s = "status " + std::to_string(o.status) + " err " + std::to_string(o.err) + " [" +
                  o.failed + "] stack:";
  for (const std::string &l : o.stack) s += " " + l;
  return s;
}

Session::Session(const std::string &src, Mode mode, bool optimizeExit) {
  OBJ::Buffer buf;
  buf.set_text(src);
  prog = new OBJ::Program;
  Sequence::parse(prog->elems, nullptr, buf, cx.format, nullptr, true);
  EXPECT_TRUE(buf.status == 1 || buf.status == 2) << src << ": parse status " << buf.status;
  if (mode != Mode::Operands) EXEC::compile_program(*prog, mode == Mode::Optimized, optimizeExit);
}

Session::~Session() {
  EXEC::clear_frames(cx);
  cx.main.clear();
  cx.last.clear();
  prog->release(nullptr);
}

int Session::start() {
  cx.program = prog;
  cx.ICOUNT = 0;
  if (!prog->code.empty()) {
    cx.IP = prog->code.data();
    cx.DP = prog->data.data();
    cx.SP = nullptr;
    return EXEC::run(cx);
  }
  cx.IP = nullptr;
  cx.DP = nullptr;
  cx.SP = prog->elems.data();
  return EXEC::run_operands(cx);
}

int Session::resume() { return cx.IP ? EXEC::run(cx) : EXEC::run_operands(cx); }

std::vector<std::string> Session::stack() const {
  std::vector<std::string> out;
  KOR::DisplayFormat edit = cx.format;
  edit.flags |= KOR::DisplayFormat::EDIT_FORM;
  for (size_t k = cx.main.depth(); k >= 1; --k) {
    OBJ::Buffer buf;
    cx.main.list(buf, edit, OBJ::NO_PAD, OBJ::NO_LIMIT, -1, static_cast<long>(k), false);
    out.push_back(buf.lines.front().text.substr(1));
  }
  return out;
}

Outcome run(const std::string &src, Mode mode, int stops, bool budget) {
  Session s(src, mode);
  Outcome o;
  if (stops > 0) KOR::kernel().interrupt = KOR::SIG_STOP;
  if (budget) KOR::kernel().interrupt = KOR::SIG_KILL;
  o.status = s.start();
  for (int n = 1; o.status == EXEC::HALT && n <= stops; ++n) {
    if (n < stops) KOR::kernel().interrupt = KOR::SIG_STOP;
    o.status = s.resume();
  }
  KOR::kernel().interrupt = KOR::SIG_NONE;
  o.err = o.status == EXEC::ERROR ? s.cx.err_ : 0;   // a caught error leaves its code behind
  o.failed = o.status == EXEC::ERROR ? s.cx.failedOperand : "";
  o.stack = s.stack();
  return o;
}

} // namespace engine
