// korsh's full screen on a real terminal (tmux): the status bar, stack
// pane, labels and legend at 80, 72 and 40 columns; evaluation, errors and
// their removal; the editor status line; ~w and ~r; Ctl-C on a long loop;
// window resizes; menu paging and the function keys.  Skipped without tmux.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <regex>
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

class Screen : public testing::Test {
protected:
  void SetUp() override {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
  }

  // Starts korsh and waits for its first screen.
  void start(int rows, int cols) {
    rows_ = rows;
    term_ = std::make_unique<bb::Tmux>(box_, "'" + bb::program("korsh") + "'",
                                       std::map<std::string, std::string>{}, rows, cols);
    ASSERT_TRUE(term_->wait_for_text("MAIN")) << dump();
  }

  std::string row(int r) {
    std::vector<std::string> s = term_->screen();
    return static_cast<size_t>(r) < s.size() ? s[static_cast<size_t>(r)] : "";
  }
  bool wait_row(int r, const std::string &text) { return term_->wait_for_row(r, text, 10); }
  // Waits until row r holds `text` at column c.
  bool wait_at(int r, int c, const std::string &text) {
    return bb::wait_until([&] {
      std::string s = row(r);
      return s.size() >= static_cast<size_t>(c) + text.size() &&
             s.compare(static_cast<size_t>(c), text.size(), text) == 0;
    });
  }
  bool wait_prefix(int r, const std::string &text) { return wait_at(r, 0, text); }
  std::string dump() {
    std::string out;
    if (!term_) return out;
    for (const std::string &r : term_->screen()) out += "|" + r + "\n";
    return out;
  }
  void keys(const std::vector<std::string> &k) { term_->keys(k); }
  void text(const std::string &t) { term_->keys({"-l", t}); }

  void quit() {
    keys({"C-d"});
    EXPECT_EQ(term_->wait_exit(), 0);
  }

  bb::Sandbox box_;
  std::unique_ptr<bb::Tmux> term_;
  int rows_ = 24;
};

// Level 1 of the stack pane holding `value`, right-aligned on `cols` columns.
std::string level1(const std::string &value, int cols) {
  return "  1:" + std::string(static_cast<size_t>(cols) - 4 - value.size(), ' ') + value;
}

const std::regex CLOCK(R"([ 1][0-9]:[0-5][0-9][ap]m)");

TEST_F(Screen, EightyColumnsShowEveryPartAndEvaluate) {
  start(24, 80);
  std::string bar = row(0);
  EXPECT_EQ(bar.substr(0, 42), " MAIN   hex-64    std    rad/rect    (   )") << dump();
  ASSERT_GE(bar.size(), 79u);
  EXPECT_TRUE(std::regex_match(bar.substr(72, 7), CLOCK)) << bar;
  EXPECT_EQ(bar[56], ',');   // "Sun, Dec  6, 2026" from column 53
  EXPECT_EQ(row(12), "  1  Neg   2  Abs   3  Sign   4  Sqrt   5  Cbrt   6  Xrt   7  Fact   8   Pi");
  EXPECT_EQ(row(22), " A Array  B Binary  C Complex E Edit   H Help   I List  L Logs  M Mem   N NuMath");
  EXPECT_EQ(row(23), " O Option P Process R Real    F SpecFn S Stack  Q Stat  T Trig  U User  V Vars");
  text("3 4 +");
  EXPECT_TRUE(wait_row(10, level1("7", 80))) << dump();
  EXPECT_EQ(row(14), "");   // the line went to the compile queue
  quit();
}

TEST_F(Screen, AnErrorStaysUntilTheNextKey) {
  start(24, 80);
  text("Drop");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(11, "   Drop Error: Too Few Arguments")) << dump();
  text("x");
  EXPECT_TRUE(wait_row(11, "")) << dump();
  EXPECT_TRUE(wait_row(14, " x"));
  quit();
}

TEST_F(Screen, TheEditorStatusLineFollowsTheModes) {
  start(24, 80);
  text("<<");
  EXPECT_TRUE(wait_row(13, "       Pgm")) << dump();
  text(" \"");
  EXPECT_TRUE(wait_row(13, "       Pgm     Str")) << dump();
  text("a\" >>");
  EXPECT_TRUE(wait_row(13, "")) << dump();
  EXPECT_TRUE(wait_row(14, " << \"a\" >>"));
  keys({"Enter"});
  EXPECT_TRUE(wait_row(10, level1("<< \"a\" >>", 80))) << dump();
  quit();
}

TEST_F(Screen, TildeWriteAndReadRoundTrip) {
  box_.write_file(box_.home() + "/abc.txt", "a\nb\nc\n");
  start(24, 80);
  text("1 2");
  keys({"Enter"});
  ASSERT_TRUE(wait_row(9, level1("1", 80).replace(2, 1, "2"))) << dump();
  text("10 20 ");
  text("~");
  EXPECT_TRUE(wait_row(21, " ~")) << dump();
  text("w ~/out.txt");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(21, "  \"~/out.txt\"  1 line, 7 characters")) << dump();
  EXPECT_EQ(box_.read_file(box_.home() + "/out.txt"), "10 20 \n");
  keys({"Enter"});   // the line written is also run
  EXPECT_TRUE(wait_row(10, level1("20", 80))) << dump();
  EXPECT_TRUE(wait_row(21, "")) << dump();
  text("~r ~/abc.txt");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(21, "  \"~/abc.txt\"  4 lines, 6 characters")) << dump();
  EXPECT_EQ(row(14), " a");
  EXPECT_EQ(row(15), " b");
  EXPECT_EQ(row(16), " c");
  text("~x");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(21, "  Invalid ~ command (not in [eirsvw]).")) << dump();
  text("~r");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(21, "  Invalid ~ command (no argument).")) << dump();
  quit();
}

TEST_F(Screen, CtlCEndsALongLoopAndTheShellGoesOn) {
  start(24, 80);
  text("1 1e9 Start Next");
  keys({"Enter"});
  // While it runs: the marker before the header and a job in the indicator.
  EXPECT_TRUE(wait_at(0, 0, "*MAIN")) << dump();
  EXPECT_TRUE(bb::wait_until([&] { return row(0).substr(37, 2) == "(("; })) << dump();
  keys({"C-c"});
  EXPECT_TRUE(wait_at(0, 0, " MAIN")) << dump();
  EXPECT_TRUE(wait_at(0, 37, "(   )")) << dump();
  text("5 6 *");
  EXPECT_TRUE(wait_row(10, level1("30", 80))) << dump();
  quit();
}

TEST_F(Screen, SeventyTwoColumnsStartTheFieldsAtZero) {
  start(24, 72);
  std::string bar = row(0);
  EXPECT_EQ(bar.substr(0, 38), " MAIN  hex-64   std   rad/rect   (   )") << dump();
  ASSERT_EQ(bar.size(), 72u) << dump();
  EXPECT_TRUE(std::regex_match(bar.substr(65), CLOCK)) << bar;
  // 60 to 78 columns: short names, nine to a row; c = 1 and m = 2 here.
  EXPECT_EQ(row(22), "   A-Arry  B-Bin  C-Cmpx  E-Edit  H-Hlp  I-List  L-Log   M-Mem  N-NMth");
  text("3 4 +");
  EXPECT_TRUE(wait_row(10, level1("7", 72))) << dump();
  quit();
}

TEST_F(Screen, FortyColumnsPutTheStatusBarOnTwoRows) {
  start(12, 40);
  EXPECT_EQ(row(0).substr(0, 22), "  MAIN  hex-64  (   ) ") << dump();
  EXPECT_EQ(row(1).substr(0, 33), "         std           rad/rect  ");
  EXPECT_TRUE(std::regex_match(row(1).substr(33), CLOCK)) << dump();
  EXPECT_EQ(row(9), " A-Arry B-Bin C-Cmpx E-Edit H-Hlp I-List");
  EXPECT_EQ(row(11), " F-SpFn S-Stk Q-Stat T-Trig U-Usr V-Var");
  // M = 2 and U = 2: the stack on rows 2 and 3, labels on row 5.
  text("3 4 +");
  EXPECT_TRUE(wait_row(3, level1("7", 40))) << dump();
  EXPECT_EQ(row(5).substr(0, 9), "  1 Neg  ");   // five labels fit
  quit();
}

TEST_F(Screen, AResizedWindowIsRedrawnForItsNewSize) {
  start(24, 80);
  text("3 4 +");
  ASSERT_TRUE(wait_row(10, level1("7", 80))) << dump();
  term_->resize(30, 100);
  // R = 30: M = 13, the labels on row 16; W = 100: k = 4, g = 0.
  EXPECT_TRUE(wait_row(14, level1("7", 100))) << dump();
  EXPECT_TRUE(wait_prefix(0, " MAIN      hex-64")) << dump();
  EXPECT_TRUE(bb::wait_until([&] { return row(16).find(" Neg ") != std::string::npos; })) << dump();
  term_->resize(12, 40);
  EXPECT_TRUE(wait_row(3, level1("7", 40))) << dump();
  EXPECT_TRUE(wait_prefix(0, "  MAIN  hex-64")) << dump();
  // Below 40 x 12 nothing is lost: the shell waits for a larger window.
  term_->resize(10, 30);
  EXPECT_TRUE(wait_row(0, "Window too small:")) << dump();
  term_->resize(24, 80);
  EXPECT_TRUE(wait_row(10, level1("7", 80))) << dump();
  text("1 +");
  EXPECT_TRUE(wait_row(10, level1("8", 80))) << dump();
  quit();
}

TEST_F(Screen, MenuPagingAndTheFunctionKeys) {
  start(24, 80);
  keys({"C-n"});
  EXPECT_TRUE(wait_prefix(12, "  1 Floor  2  Ceil ")) << dump();
  text("2.5");
  keys({"F1"});
  EXPECT_TRUE(wait_row(10, level1("2", 80))) << dump();
  keys({"C-n"});
  EXPECT_TRUE(wait_prefix(12, " 1  MaxR")) << dump();
  keys({"C-n"});   // past the last page: the first again
  EXPECT_TRUE(wait_prefix(12, "  1  Neg ")) << dump();
  keys({"C-p"});   // from the first page: the last
  EXPECT_TRUE(wait_prefix(12, " 1  MaxR")) << dump();
  // Menu-S (Meta-s) selects the stack menu; F2 is Drop.
  keys({"M-s"});
  EXPECT_TRUE(wait_prefix(12, "  1  Dup ")) << dump();
  keys({"F2"});
  EXPECT_TRUE(wait_row(10, "")) << dump();
  quit();
}

TEST_F(Screen, ASemicolonPutsTheLineAsideUntilTheNextOneIsDone) {
  start(24, 80);
  text("1 2 +");
  EXPECT_TRUE(wait_row(10, level1("3", 80))) << dump();
  text("10");
  term_->bytes(";");   // as a byte: tmux reads a lone ";" as its own separator
  EXPECT_TRUE(wait_row(21, "  Additional input buffer created.")) << dump();
  EXPECT_EQ(row(14), "");
  text("5");
  keys({"Enter"});
  EXPECT_TRUE(wait_row(10, level1("5", 80))) << dump();
  EXPECT_TRUE(wait_row(14, " 10")) << dump();   // the line put aside is back
  quit();
}

} // namespace
