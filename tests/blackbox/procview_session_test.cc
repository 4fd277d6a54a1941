// The process view and the help view of korsh on a real terminal (tmux): a
// long loop stopped with Ctl-S, then continued or killed from the process
// view, and the stack and listing after it; the Help key on a word of the
// command line and on a menu entry, scrolling and closing.  Skipped without
// tmux.
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

// 24 x 80: the stack pane (and a view) on rows 2 to 10, the views'
// messages on row 11, labels on row 12, the command line from row 14.
constexpr int PANE = 2, LEVEL1 = 10, VIEW_MESSAGE = 11, LABELS = 12, LINE = 14;

std::string level1(const std::string &value, int cols = 80) {
  return "  1:" + std::string(static_cast<size_t>(cols) - 4 - value.size(), ' ') + value;
}

class ProcSession : public testing::Test {
protected:
  void SetUp() override {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
  }

  void start(int rows = 24, int cols = 80) {
    term_ = std::make_unique<bb::Tmux>(box_, "'" + bb::program("korsh") + "'",
                                       std::map<std::string, std::string>{}, rows, cols);
    ASSERT_TRUE(term_->wait_for_text("MAIN")) << dump();
  }

  std::string row(int r) {
    std::vector<std::string> s = term_->screen();
    return static_cast<size_t>(r) < s.size() ? s[static_cast<size_t>(r)] : "";
  }
  bool wait_row(int r, const std::string &text, double seconds = 10) {
    return term_->wait_for_row(r, text, seconds);
  }
  bool wait_prefix(int r, const std::string &text, double seconds = 10) {
    return bb::wait_until([&] { return row(r).rfind(text, 0) == 0; }, seconds);
  }
  bool pane_has(const std::string &text) {
    std::vector<std::string> s = term_->screen();
    for (int r = PANE; r <= LEVEL1 && static_cast<size_t>(r) < s.size(); ++r)
      if (s[static_cast<size_t>(r)].find(text) != std::string::npos) return true;
    return false;
  }
  bool wait_pane(const std::string &text) { return bb::wait_until([&] { return pane_has(text); }); }
  std::string dump() {
    std::string out;
    if (!term_) return out;
    for (const std::string &r : term_->screen()) out += "|" + r + "\n";
    return out;
  }
  void keys(const std::vector<std::string> &k) { term_->keys(k); }
  void text(const std::string &t) { term_->keys({"-l", t}); }

  // Runs a loop long enough to be caught, and stops it with Ctl-S once it
  // runs (the "*" before the header shows that).
  void start_and_stop(const std::string &loop) {
    text(loop);
    keys({"Enter"});
    ASSERT_TRUE(bb::wait_until([&] { return row(0).rfind("*MAIN", 0) == 0; })) << dump();
    keys({"C-s"});
    ASSERT_TRUE(bb::wait_until([&] { return row(0).rfind(" MAIN", 0) == 0; })) << dump();
  }

  // Menu-P, then F1 (EDITPROC, labelled "PS"): the process view.
  void open_process_view() {
    keys({"M-p"});
    ASSERT_TRUE(bb::wait_until([&] { return row(LABELS).find("PS") != std::string::npos; })) << dump();
    keys({"F1"});
    ASSERT_TRUE(wait_prefix(PANE, " PID  PPID  STATUS  SIGNAL  PGM_STATUS")) << dump();
  }

  void quit() {
    keys({"C-d"});
    EXPECT_EQ(term_->wait_exit(), 0);
  }

  bb::Sandbox box_;
  std::unique_ptr<bb::Tmux> term_;
};

TEST_F(ProcSession, AStoppedLoopContinuedFromTheViewEndsWithItsResult) {
  start();
  start_and_stop("0 1 1e9 Start 1 add Next");   // "+" would run the line at once
  open_process_view();
  // The listing: the stream line and the stopped process under the cursor.
  EXPECT_EQ(row(PANE + 1), "  Fg  (pid=-1, stream=true)") << dump();
  EXPECT_EQ(row(PANE + 2).substr(0, 19), "   1    0   Stopped") << dump();
  EXPECT_NE(row(LABELS).find("CONT"), std::string::npos) << dump();
  EXPECT_NE(row(LABELS).find("KILL"), std::string::npos) << dump();
  // Ctl-Q: the loop goes on from where it stopped, to its end.
  keys({"C-q"});
  ASSERT_TRUE(wait_row(PANE + 2, "      Process queue is empty.", 60)) << dump();
  EXPECT_EQ(row(PANE + 1), "  Fg  (pid=0, stream=true)") << dump();
  keys({"q"});
  EXPECT_TRUE(wait_row(LEVEL1, level1("1,000,000,000"))) << dump();
  EXPECT_EQ(row(LEVEL1 - 1), "") << dump();   // one result: the loop did not start again
  // The command line and its menu are back.
  EXPECT_NE(row(LABELS).find("PS"), std::string::npos) << dump();
  text("2 3 *");
  EXPECT_TRUE(wait_row(LEVEL1, level1("6"))) << dump();
  quit();
}

TEST_F(ProcSession, AStoppedLoopKilledFromTheViewLeavesTheStack) {
  start();
  text("7");
  keys({"Enter"});
  ASSERT_TRUE(wait_row(LEVEL1, level1("7"))) << dump();
  start_and_stop("1 1e12 Start Next");
  open_process_view();
  EXPECT_EQ(row(PANE + 2).substr(0, 19), "   2    0   Stopped") << dump();
  // Typing into the listing is refused.
  keys({"x"});
  EXPECT_TRUE(wait_row(VIEW_MESSAGE, "    Buffer is read-only.")) << dump();
  keys({"BSpace"});
  EXPECT_TRUE(wait_row(PANE + 2, "      Process queue is empty.")) << dump();
  keys({"q"});
  EXPECT_TRUE(wait_row(LEVEL1, level1("7"))) << dump();
  EXPECT_EQ(row(LEVEL1 - 1), "") << dump();
  quit();
}

TEST_F(ProcSession, TheHeaderLinesActOnTheWholeStream) {
  start();
  start_and_stop("1 1e12 Start Next");
  open_process_view();
  // Two lines up is the header: STOP there stops the stream as FGSTOP.
  keys({"Up", "Up", "F3"});
  EXPECT_TRUE(wait_row(PANE + 1, "  Fg  (pid=-97, stream=false)")) << dump();
  // KILL there kills every process of the stream.
  keys({"F4"});
  EXPECT_TRUE(wait_row(PANE + 2, "      Process queue is empty.")) << dump();
  keys({"q"});
  EXPECT_TRUE(wait_prefix(0, " MAIN")) << dump();
  EXPECT_FALSE(pane_has("PID")) << dump();
  quit();
}

TEST_F(ProcSession, HelpForTheWordAtTheCursor) {
  start();
  text("9 Sqrt");
  keys({"M-h"});   // Menu-H is the Help key
  ASSERT_TRUE(wait_row(PANE, " Sqrt   also: sqrt   menu: Real (Menu-R)")) << dump();
  EXPECT_EQ(row(PANE + 1), " Square root: x ==> sqrt(x)") << dump();
  EXPECT_TRUE(pane_has("Example:")) << dump();
  EXPECT_TRUE(pane_has("Types:")) << dump();
  keys({"q"});
  EXPECT_TRUE(bb::wait_until([&] { return !pane_has("Sqrt"); })) << dump();
  // The line is still there and runs as typed.
  EXPECT_EQ(row(LINE), " 9 Sqrt") << dump();
  keys({"Enter"});
  EXPECT_TRUE(wait_row(LEVEL1, level1("3"))) << dump();
  quit();
}

TEST_F(ProcSession, HelpThenAFunctionKeyAndScrollingOnANarrowScreen) {
  start(24, 40);
  keys({"M-?"});   // nothing on the line: the menu page
  ASSERT_TRUE(wait_row(PANE, " Help")) << dump();
  keys({"M-n", "F1"});   // another menu inside the view, then its first entry
  ASSERT_TRUE(wait_prefix(PANE, " Integ")) << dump();
  // Wrapped to the width: nothing of the pane runs past 40 columns, and the
  // rest of the page comes into view a screenful at a time.
  for (int r = PANE; r <= 11; ++r) EXPECT_LE(row(r).size(), 40u) << dump();
  EXPECT_FALSE(pane_has("Example:")) << dump();
  std::string top = row(PANE);
  keys({"Space", "Space"});
  EXPECT_TRUE(bb::wait_until([&] { return row(PANE) != top; })) << dump();
  keys({"End"});
  EXPECT_TRUE(wait_pane("Example:")) << dump();
  keys({"Q"});
  EXPECT_TRUE(bb::wait_until([&] { return !pane_has("Integ"); })) << dump();
  // The command line's own menu did not change.
  EXPECT_NE(row(12).find("Neg"), std::string::npos) << dump();
  quit();
}

} // namespace
