// The help texts of the user commands: each has a stack diagram, the types
// it accepts when it takes arguments, and an example; and the examples of
// the form "<input> ==> <result>" are run through the engine and must give
// the stack they promise, as the stack pane shows it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "kor/Buffer.h"
#include "kor/Command.h"
#include "kor/ExecStatus.h"
#include "kor/kor_error.h"
#include "unit/engine_util.h"

namespace {

using OP::Command;

std::vector<std::string> help_lines(const Command &c) {
  std::vector<std::string> out{c.brief};
  const char *p = c.help;
  while (*p) {
    const char *nl = std::strchr(p, '\n');
    if (!nl) {
      out.emplace_back(p);
      break;
    }
    out.emplace_back(p, static_cast<size_t>(nl - p));
    p = nl + 1;
  }
  return out;
}

bool starts_with(const std::string &s, const char *prefix) { return s.rfind(prefix, 0) == 0; }

TEST(HelpText, EveryUserCommandHasDiagramTypesAndExample) {
  for (uint32_t i = 0; i < OP::USER_COMMANDS; ++i) {
    const Command &c = OP::COMMANDS[i];
    std::vector<std::string> lines = help_lines(c);
    bool diagram = false, types = false, example = false;
    for (const std::string &l : lines) {
      diagram |= l.find("==>") != std::string::npos;
      types |= starts_with(l, "Types: ");
      example |= starts_with(l, "Example: ") && l.size() > 12;
    }
    EXPECT_TRUE(diagram) << c.name << ": no stack diagram";
    if (c.inputs() > 0) {
      EXPECT_TRUE(types) << c.name << ": takes arguments, no \"Types:\" line";
    }
    EXPECT_TRUE(example) << c.name << ": no example";
    // The long help ends every line with a newline.
    size_t n = std::strlen(c.help);
    EXPECT_TRUE(n > 0 && c.help[n - 1] == '\n') << c.name;
  }
}

TEST(HelpText, InteractiveCommandsSayWhatTheyDo) {
  for (uint32_t i = OP::USER_COMMANDS; i < OP::IFN_COUNT; ++i) {
    const Command &c = OP::COMMANDS[i];
    if (c.kind() != OP::INTER) continue;
    EXPECT_GT(std::strlen(c.brief), 10u) << c.name;
    EXPECT_GT(std::strlen(c.help), 10u) << c.name << ": long help missing";
  }
}

// One example: what is typed, and what the stack shows after it.
struct Example {
  const Command *cmd;
  std::string input, result;
};

// Examples that show a moment or a machine: their results cannot be fixed.
const std::set<std::string> VARYING = {"Clock", "Time", "Version"};

std::vector<Example> examples() {
  std::vector<Example> out;
  for (uint32_t i = 0; i < OP::USER_COMMANDS; ++i) {
    const Command &c = OP::COMMANDS[i];
    if (VARYING.count(c.name)) continue;
    for (const std::string &l : help_lines(c)) {
      if (!starts_with(l, "Example: ")) continue;
      std::string body = l.substr(9);
      size_t arrow = body.find(" ==> ");
      if (arrow == std::string::npos) continue;
      Example e{&c, body.substr(0, arrow), body.substr(arrow + 5)};
      // Two blanks start a comment after the result.
      if (size_t cut = e.result.find("  "); cut != std::string::npos) e.result.erase(cut);
      out.push_back(e);
    }
  }
  return out;
}

TEST(HelpText, ExamplesGiveTheStackTheyShow) {
  std::vector<Example> all = examples();
  EXPECT_GE(all.size(), 170u);   // nearly every command has a runnable example
  for (const Example &e : all) {
    SCOPED_TRACE(std::string(e.cmd->name) + ": " + e.input + " ==> " + e.result);
    engine::Session s(e.input);
    int status = s.start();
    if (starts_with(e.result, "error \"")) {
      // error "<message>": the run fails with that message.
      ASSERT_EQ(status, EXEC::ERROR);
      std::string msg = e.result.substr(7, e.result.find('"', 7) - 7);
      EXPECT_EQ(KOR::strerror(s.cx.err_), msg);
      continue;
    }
    // A run ends normally, or stops (Stop), or is cancelled (Abort).
    EXPECT_TRUE(status == EXEC::EXIT || status == EXEC::HALT || status == EXEC::NORMAL ||
                status == EXEC::CANCEL)
        << "status " << status << ", error " << KOR::strerror(s.cx.err_);
    std::string shown;
    for (size_t k = s.cx.main.depth(); k >= 1; --k) {
      OBJ::Buffer buf;
      s.cx.main.list(buf, s.cx.format, OBJ::NO_PAD, OBJ::NO_LIMIT, -1, static_cast<long>(k), false);
      if (!shown.empty()) shown += " ";
      shown += buf.lines.front().text.substr(1);
    }
    EXPECT_EQ(shown, e.result == "(empty stack)" ? "" : e.result);
  }
}

} // namespace
