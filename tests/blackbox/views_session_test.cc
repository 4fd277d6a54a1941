// The views of korsh on a real terminal (tmux): the command history and a
// pick from it, Browse with each of its keys and their effect on the stack,
// the "Swap" error at the top with the view still open, Ctl-B on an empty
// stack, Visit with a stored and a refused edit, UNDO, and the keys that
// meet the main context held by an open view.  Skipped without tmux.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "blackbox/harness.h"
#include "blackbox/tmux.h"

namespace {

bool have_tmux() {
  const char *path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (access((dir + "/tmux").c_str(), X_OK) == 0) return true;
  return false;
}

// 24 x 80: the stack pane on rows 2 to 10 (level 1 on row 10), the views'
// messages and stack errors on row 11, labels on row 12, the command line
// from row 14 and its messages on row 21.
constexpr int LEVEL1 = 10, VIEW_MESSAGE = 11, LABELS = 12, LINE = 14, LOWER_MESSAGE = 21;

// A stack line: the level in "%2d:" form and the value at the right edge.
std::string level(int k, const std::string &value) {
  std::string label = (k < 10 ? "  " : " ") + std::to_string(k) + ":";
  return label + std::string(80 - label.size() - value.size(), ' ') + value;
}

class Views : public testing::Test {
protected:
  void SetUp() override {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
    term_ = std::make_unique<bb::Tmux>(box_, "'" + bb::program("korsh") + "'",
                                       std::map<std::string, std::string>{}, 24, 80);
    ASSERT_TRUE(term_->wait_for_text("MAIN")) << dump();
  }

  std::string row(int r) {
    std::vector<std::string> s = term_->screen();
    return static_cast<size_t>(r) < s.size() ? s[static_cast<size_t>(r)] : "";
  }
  bool wait_row(int r, const std::string &text) { return term_->wait_for_row(r, text, 10); }
  std::string dump() {
    std::string out;
    if (!term_) return out;
    for (const std::string &r : term_->screen()) out += "|" + r + "\n";
    return out;
  }
  void keys(const std::vector<std::string> &k) { term_->keys(k); }
  void text(const std::string &t) { term_->keys({"-l", t}); }
  // Evaluates a line and waits until level 1 shows `top`.
  void eval(const std::string &line, const std::string &top) {
    text(line);
    keys({"Enter"});
    ASSERT_TRUE(wait_row(LEVEL1, level(1, top))) << dump();
  }
  // The stack pane (or the Browse listing over it) from the deepest level
  // shown down to level 1, as "value" strings.
  std::vector<std::string> pane_values() {
    std::vector<std::string> out;
    std::vector<std::string> s = term_->screen();
    for (int r = 2; r <= LEVEL1; ++r) {
      const std::string &line = s[static_cast<size_t>(r)];
      if (line.size() < 4 || line[3] != ':') continue;
      size_t start = line.find_first_not_of(' ', 4);
      out.push_back(start == std::string::npos ? "" : line.substr(start));
    }
    return out;
  }
  bool wait_values(const std::vector<std::string> &want) {
    return bb::wait_until([&] { return pane_values() == want; });
  }
  void quit() {
    keys({"C-d"});
    EXPECT_EQ(term_->wait_exit(), 0);
  }

  bb::Sandbox box_;
  std::unique_ptr<bb::Tmux> term_;
};

TEST_F(Views, TheHistoryIsEmptyAtFirstAndThenPicksALine) {
  keys({"C-y"});
  EXPECT_TRUE(wait_row(LOWER_MESSAGE, "  Command history is empty.")) << dump();
  eval("3 4 +", "7");
  eval("10 Neg", "-10");
  text("typed");
  keys({"C-y"});
  ASSERT_TRUE(wait_row(2, "  Select a command line:")) << dump();
  EXPECT_EQ(row(3), " 10 Neg");
  EXPECT_EQ(row(4), " 3 4 +");
  EXPECT_EQ(row(LINE), " typed");   // the command line stays below the view
  keys({"j", "Enter"});                // "j" moves down in a view
  ASSERT_TRUE(wait_row(LINE, " 3 4 +")) << dump();
  EXPECT_TRUE(wait_row(LEVEL1, level(1, "-10"))) << dump();   // the stack pane is back
  keys({"Enter"});
  EXPECT_TRUE(wait_row(LEVEL1, level(1, "7"))) << dump();
  // The line put aside comes back after the picked one ran.
  EXPECT_TRUE(wait_row(LINE, " typed")) << dump();
  quit();
}

TEST_F(Views, TheHistoryClosesWithQAndIsReadOnly) {
  eval("1 2 +", "3");
  keys({"C-y"});
  ASSERT_TRUE(wait_row(2, "  Select a command line:")) << dump();
  text("x");
  EXPECT_TRUE(wait_row(VIEW_MESSAGE, "    Buffer is read-only.")) << dump();
  keys({"q"});
  EXPECT_TRUE(wait_row(LEVEL1, level(1, "3"))) << dump();
  EXPECT_EQ(row(LINE), "");
  quit();
}

TEST_F(Views, BrowseOnAnEmptyStackDoesNothing) {
  keys({"C-b"});
  text("5");
  EXPECT_TRUE(wait_row(LINE, " 5")) << dump();   // the key went to the command line
  EXPECT_EQ(row(LABELS).substr(0, 8), "  1  Neg");
  quit();
}

TEST_F(Views, BrowseKeysChangeTheStack) {
  eval("1 2 3 4 5 6 7", "7");
  keys({"C-b"});
  ASSERT_TRUE(wait_row(LABELS, "1  DUP    2  DROP    3  SWAP    4 CLEAR   5         6         7         8"))
      << dump();
  // BackSpace drops level 2.
  keys({"Up", "BSpace"});
  EXPECT_TRUE(wait_values({"1", "2", "3", "4", "5", "7"})) << dump();
  // Ctl-W swaps level 2 with level 1, and then meets the top.
  keys({"C-w"});
  EXPECT_TRUE(wait_values({"1", "2", "3", "4", "7", "5"})) << dump();
  keys({"C-w"});
  EXPECT_TRUE(wait_row(VIEW_MESSAGE, "   Swap Error: Too Few Arguments")) << dump();
  // The view is still open: Enter rolls level 4 to the top.
  keys({"k", "k", "k", "Enter"});
  EXPECT_TRUE(wait_values({"1", "2", "4", "7", "5", "3"})) << dump();
  EXPECT_EQ(row(VIEW_MESSAGE), "");
  // Meta-BackSpace keeps the levels down to the selected one (level 5).
  keys({"k", "k", "k", "k", "M-BSpace"});
  EXPECT_TRUE(wait_values({"2", "4", "7", "5", "3"})) << dump();
  // Delete drops the selected level (level 3) and the levels above it.
  keys({"j", "j", "DC"});
  EXPECT_TRUE(wait_values({"2", "4"})) << dump();
  // F1 (DUP) copies the selected level directly above it.
  keys({"F1"});
  EXPECT_TRUE(wait_values({"2", "4", "4"})) << dump();
  keys({"q"});
  EXPECT_TRUE(wait_row(LABELS, "  1  Neg   2  Abs   3  Sign   4  Sqrt   5  Cbrt   6  Xrt   7  Fact   8   Pi"))
      << dump();
  EXPECT_TRUE(wait_values({"2", "4", "4"})) << dump();
  // Everything since Ctl-B is one undo step.
  keys({"C-u"});
  EXPECT_TRUE(wait_values({"1", "2", "3", "4", "5", "6", "7"})) << dump();
  quit();
}

TEST_F(Views, QuotesCopyAndMoveALevelIntoTheCommandLine) {
  eval("\"abc\" 2.5 9", "9");
  text("Drop");
  keys({"C-b", "Up", "'"});
  ASSERT_TRUE(wait_row(LINE, " Drop 2.5")) << dump();
  keys({"Up", "`"});
  ASSERT_TRUE(wait_row(LINE, " Drop 2.5 \"abc\"")) << dump();
  EXPECT_TRUE(wait_values({"2.5", "9"})) << dump();
  keys({"q", "Enter"});
  // The line ran: Drop took 9, and the copies were pushed.
  EXPECT_TRUE(wait_values({"2.5", "2.5", "\"abc\""})) << dump();
  quit();
}

TEST_F(Views, VisitStoresOneObjectAndRefusesMore) {
  eval("7 1.5", "1.5");
  keys({"C-v"});
  ASSERT_TRUE(wait_row(2, "  Edit level 1 (Enter stores, Ctl-C keeps it)")) << dump();
  EXPECT_EQ(row(3), " 1.5");
  keys({"BSpace", "BSpace", "BSpace"});
  text("2.25");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(LEVEL1, level(1, "2.25"))) << dump();
  // A refused edit: the reason shows, the text stays; Ctl-C keeps the object.
  keys({"C-v"});
  ASSERT_TRUE(wait_row(3, " 2.25")) << dump();
  text(" 3");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(VIEW_MESSAGE, "    One object can be stored, and the text holds more.")) << dump();
  EXPECT_EQ(row(3), " 2.25 3");
  keys({"C-c"});
  EXPECT_TRUE(wait_values({"7", "2.25"})) << dump();
  quit();
}

TEST_F(Views, VisitFromBrowseEditsTheSelectedLevel) {
  eval("{ 1 2 } 5", "5");
  keys({"C-b", "Up", "C-v"});
  ASSERT_TRUE(wait_row(2, "  Edit level 2 (Enter stores, Ctl-C keeps it)")) << dump();
  keys({"Left"});   // before the closing brace
  text("3 ");
  keys({"Enter"});
  EXPECT_TRUE(wait_values({"{ 1 2 3 }", "5"})) << dump();
  EXPECT_TRUE(wait_row(LABELS, "1  DUP    2  DROP    3  SWAP    4 CLEAR   5         6         7         8"))
      << dump();
  keys({"q"});
  EXPECT_TRUE(wait_row(LEVEL1 - 1, level(2, "{ 1 2 3 }"))) << dump();
  quit();
}

TEST_F(Views, ATallStackScrollsInBrowseAndAResizeKeepsTheSelection) {
  eval("1 2 3 4 5 6 7 8 9 10 11 12", "12");
  keys({"C-b", "Home"});
  // Nine rows: the deepest level comes into view at the top.
  ASSERT_TRUE(wait_row(2, level(12, "1"))) << dump();
  keys({"j", "j"});   // level 10
  term_->resize(16, 40);
  // Four rows of pane at 40 x 16: the selected level stays in view.
  ASSERT_TRUE(bb::wait_until([&] {
    return row(2).find("10:") != std::string::npos || row(3).find("10:") != std::string::npos ||
           row(4).find("10:") != std::string::npos || row(5).find("10:") != std::string::npos;
  })) << dump();
  keys({"BSpace"});
  term_->resize(24, 80);
  keys({"q"});
  // 3 (level 10) is gone: eight drops leave the three deepest levels.
  eval("8 DropN", "4");
  EXPECT_TRUE(wait_values({"1", "2", "4"})) << dump();
  quit();
}

TEST_F(Views, UndoSwapsTheStackWithTheOneBeforeTheLastProgram) {
  eval("1 2", "2");
  eval("3", "3");
  keys({"C-u"});
  EXPECT_TRUE(wait_values({"1", "2"})) << dump();
  keys({"C-u"});
  EXPECT_TRUE(wait_values({"1", "2", "3"})) << dump();
  quit();
}

TEST_F(Views, KeysThatNeedTheMainContextAreRefusedWhileBrowseHoldsIt) {
  eval("1 2", "2");
  keys({"C-b"});
  ASSERT_TRUE(wait_row(LABELS, "1  DUP    2  DROP    3  SWAP    4 CLEAR   5         6         7         8"))
      << dump();
  keys({"C-u"});
  EXPECT_TRUE(wait_row(VIEW_MESSAGE, "   UNDO Error: Main Stack In Use")) << dump();
  keys({"C-o"});
  EXPECT_TRUE(wait_row(LOWER_MESSAGE, " Options Error: Main Stack In Use")) << dump();
  // Still browsing: BackSpace drops level 1.
  keys({"BSpace"});
  EXPECT_TRUE(wait_values({"1"})) << dump();
  keys({"q"});
  EXPECT_TRUE(wait_row(LABELS, "  1  Neg   2  Abs   3  Sign   4  Sqrt   5  Cbrt   6  Xrt   7  Fact   8   Pi"))
      << dump();
  quit();
}

} // namespace
