// korsh on a real terminal (tmux): the keyboard test mode -@ in keypad
// mode, and the raw key mode of the korsh_raw build with its special-key
// learning, fall-backs and fatal start without a terminal.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "blackbox/harness.h"
#include "blackbox/tmux.h"

namespace {

using Lines = std::vector<std::string>;

// Lines of a log written with "\n\r" line ends, carriage returns dropped.
Lines log_lines(const std::string &text) {
  Lines out;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      out.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  return out;
}

Lines starting_with(const Lines &lines, const std::string &prefix) {
  Lines out;
  for (const std::string &l : lines)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

// The key test of a korsh build on a terminal, its standard error in a
// file of the sandbox.
class KeyTest : public testing::Test {
protected:
  void start(const std::string &program, const std::map<std::string, std::string> &env = {}) {
    log_ = box_.work() + "/stderr.log";
    term_ = std::make_unique<bb::Tmux>(box_, "'" + bb::program(program) + "' -@ 2>'" + log_ + "'",
                                       env);
    ASSERT_TRUE(wait_log("Entering keyboard debug mode; test keys:")) << log();
  }
  std::string log() const { return box_.read_file(log_); }
  Lines reports() const { return starting_with(log_lines(log()), "ic: "); }
  bool wait_log(const std::string &text) {
    return bb::wait_until([&] { return log().find(text) != std::string::npos; });
  }
  // Sends the keys and waits for the codes they give.
  void expect_reports(const std::vector<std::string> &keys, const Lines &expected) {
    size_t before = reports().size();
    term_->keys(keys);
    bb::wait_until([&] { return reports().size() >= before + expected.size(); });
    Lines got = reports();
    got.erase(got.begin(), got.begin() + static_cast<long>(std::min(before, got.size())));
    EXPECT_EQ(got, expected);
  }
  void quit_with_q() {
    term_->keys({"Q"});
    EXPECT_EQ(term_->wait_exit(), 0);
    EXPECT_EQ(reports().back(), "ic: 0051 ('Q')");
  }

  bb::Sandbox box_;
  std::unique_ptr<bb::Tmux> term_;
  std::string log_;
};

// ---- Keypad mode: curses decodes the keys --------------------------------------

TEST_F(KeyTest, PlainKeysAndQEndsTheModeWithStatusZero) {
  start("korsh");
  expect_reports({"a", "Z", "7", "Space", "~", "q"},
                 {"ic: 0061 ('a')", "ic: 005a ('Z')", "ic: 0037 ('7')", "ic: 0020 (' ')",
                  "ic: 007e ('~')", "ic: 0071 ('q')"});
  quit_with_q();
  Lines lines = log_lines(log());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Entering keyboard debug mode; test keys:");
  EXPECT_EQ(lines[1], "");
}

TEST_F(KeyTest, ControlKeysReachTheShell) {
  start("korsh");
  // Flow control (Ctl-S, Ctl-Q) and the suspend character (Ctl-Z) are off.
  expect_reports({"C-a", "Tab", "Enter", "C-s", "C-q", "C-z", "C-v", "C-d", "C-]"},
                 {"ic: 0001 (Ctl-A)", "ic: 0009 (Ctl-I)", "ic: 000d (Ctl-M)",
                  "ic: 0013 (Ctl-S)", "ic: 0011 (Ctl-Q)", "ic: 001a (Ctl-Z)",
                  "ic: 0016 (Ctl-V)", "ic: 0004 (Ctl-D)", "ic: 001d (Ctl-])"});
  // Ctl-C is the interrupt signal, delivered as INT.
  expect_reports({"C-c"}, {"ic: 0118 (INT)"});
  quit_with_q();
}

TEST_F(KeyTest, CtlBackslashEndsTheShellWithStatusFour) {
  start("korsh");
  expect_reports({"b"}, {"ic: 0062 ('b')"});
  term_->keys({"C-\\"});
  EXPECT_EQ(term_->wait_exit(), 4);
  EXPECT_EQ(reports().size(), 1u);
}

TEST_F(KeyTest, MetaByEscPrefixAndByAlt) {
  start("korsh");
  expect_reports({"Escape", "x"}, {"ic: 4078 (Meta-'x')"});
  expect_reports({"M-y", "M-Q"}, {"ic: 4079 (Meta-'y')", "ic: 4051 (Meta-'Q')"});
  expect_reports({"M-Up", "M-Left"}, {"ic: 4101 (Meta-Up)", "ic: 4104 (Meta-Left)"});
  expect_reports({"Escape", "Escape", "w"}, {"ic: 0077 ('w')"});   // ESC ESC cancels
  expect_reports({"Escape", "Escape", "Escape", "v"}, {"ic: 4076 (Meta-'v')"});
  expect_reports({"Escape", "Up"}, {"ic: 4101 (Meta-Up)"});
  quit_with_q();
}

TEST_F(KeyTest, EscPrefixHoldsUntilAKeyTypedLater) {
  start("korsh");
  term_->keys({"Escape"});
  ASSERT_TRUE(wait_log("ch: 4000 (16384)"));
  // Well past the decoder's no-wait read and several of its timed reads.
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_TRUE(reports().empty());
  expect_reports({"k"}, {"ic: 406b (Meta-'k')"});
  quit_with_q();
}

TEST_F(KeyTest, SpecialKeys) {
  start("korsh");
  expect_reports({"Up", "Down", "Left", "Right", "Home", "End", "PPage", "NPage", "IC", "DC",
                  "BSpace"},
                 {"ic: 0101 (Up)", "ic: 0102 (Down)", "ic: 0104 (Left)", "ic: 0103 (Right)",
                  "ic: 010c (Home)", "ic: 010b (End)", "ic: 0109 (PageUp)",
                  "ic: 010a (PageDown)", "ic: 0111 (Insert)", "ic: 007f (DEL)",
                  "ic: 0008 (Ctl-H)"});
  expect_reports({"S-Up", "S-Down", "S-Right", "S-Left", "S-DC"},
                 {"ic: 0105 (Shift-Up)", "ic: 0106 (Shift-Down)", "ic: 0107 (Shift-Right)",
                  "ic: 0108 (Shift-Left)", "ic: 0110 (Shift-Delete)"});
  quit_with_q();
}

TEST_F(KeyTest, FunctionKeys) {
  start("korsh");
  std::vector<std::string> keys;
  Lines expected;
  for (int n = 1; n <= 10; ++n) {
    keys.push_back("F" + std::to_string(n));
    char line[32];
    std::snprintf(line, sizeof line, "ic: %04x (F%d)", 289 + n, n);
    expected.push_back(line);
  }
  expect_reports(keys, expected);
  expect_reports({"S-F1", "S-F5", "S-F10"},
                 {"ic: 012c (Shift-F1)", "ic: 0130 (Shift-F5)", "ic: 0135 (Shift-F10)"});
  quit_with_q();
}

TEST_F(KeyTest, DecodingTracesOfCursesKeys) {
  start("korsh");
  expect_reports({"Up"}, {"ic: 0101 (Up)"});
  Lines lines = log_lines(log());
  ASSERT_GE(lines.size(), 5u);
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(gc: ([0-9a-f]{4}) \((\d+)\))"))) << lines[2];
  EXPECT_EQ(lines[3], "ch: 0101 (257)");
  EXPECT_EQ(lines[4], "ic: 0101 (Up)");
  quit_with_q();
}

TEST(KeyTestScreen, TheReportsAppearOnTheTerminal) {
  bb::Sandbox box;
  bb::Tmux term(box, "'" + bb::program("korsh") + "' -@");
  ASSERT_TRUE(term.wait_for_text("Entering keyboard debug mode; test keys:"));
  term.keys({"Home"});
  EXPECT_TRUE(term.wait_for_text("ic: 010c (Home)"));
  term.keys({"Q"});
  EXPECT_EQ(term.wait_exit(), 0);
}

// ---- Raw mode: the shell decodes escape sequences ----------------------------------

TEST_F(KeyTest, TermWithoutAKeyFileWarnsOnceAndUsesTheBuiltinTable) {
  start("korsh_raw");
  expect_reports({"Up", "Left"}, {"ic: 0101 (Up)", "ic: 0104 (Left)"});
  term_->bytes("\x1b[H");
  term_->bytes("\x1b[17~");
  bb::wait_until([&] { return reports().size() >= 4; });
  // No built-in key is ESC [ Z: the ESC prefix, then the bytes as keys.
  term_->bytes("\x1b[Z");
  bb::wait_until([&] { return reports().size() >= 6; });
  Lines got = reports();
  ASSERT_EQ(got.size(), 6u);
  EXPECT_EQ(got[2], "ic: 010c (Home)");
  EXPECT_EQ(got[3], "ic: 0127 (F6)");
  EXPECT_EQ(got[4], "ic: 405b (Meta-'[')");
  EXPECT_EQ(got[5], "ic: 005a ('Z')");
  expect_reports({"Escape", "x"}, {"ic: 4078 (Meta-'x')"});
  expect_reports({"C-a", "M-c"}, {"ic: 0001 (Ctl-A)", "ic: 4063 (Meta-'c')"});
  quit_with_q();
  const std::string warning = "Warning: " + box_.kordir() +
                              "/term/tmux-256color could not be opened; using default.\n";
  EXPECT_EQ(log().substr(0, warning.size()), warning);
  EXPECT_EQ(log().find("Warning", 1), std::string::npos);
  EXPECT_FALSE(box_.exists(box_.kordir() + "/term/tmux-256color"));
}

// The dialogue asks for each key on row 11; the test answers with the keys
// tmux has, and with Return, a lone ESC and a letter where it has none.
TEST(KeyLearning, DialogueWritesTheKeyFileThatDecodesTheKeys) {
  const std::vector<std::pair<std::string, std::string>> answers = {
      {"Up_Arrow", "Up"}, {"Down_Arrow", "Down"}, {"Right_Arrow", "Right"},
      {"Left_Arrow", "Left"}, {"Page_Up", "PPage"}, {"Page_Down", "NPage"}, {"Home", "Home"},
      {"End", "End"}, {"Insert", "IC"}, {"Delete", "DC"}, {"BackSpace", "x"},
      {"Menu", "Enter"}, {"F1", "F1"}, {"F2", "F2"}, {"F3", "F3"}, {"F4", "F4"}, {"F5", "F5"},
      {"F6", "F6"}, {"F7", "F7"}, {"F8", "F8"}, {"F9", "F9"}, {"F10", "F10"},
      {"Shift-Up_Arrow", "S-Up"}, {"Shift-Down_Arrow", "S-Down"},
      {"Shift-Right_Arrow", "S-Right"}, {"Shift-Left_Arrow", "S-Left"},
      {"Shift-Delete", "S-DC"}, {"Shift-BackSpace", "Escape"}, {"Shift-F1", "S-F1"},
      {"Shift-F2", "S-F2"}, {"Shift-F3", "S-F3"}, {"Shift-F4", "S-F4"}, {"Shift-F5", "S-F5"},
      {"Shift-F6", "S-F6"}, {"Shift-F7", "S-F7"}, {"Shift-F8", "S-F8"}, {"Shift-F9", "S-F9"},
      {"Shift-F10", "S-F10"}, {"ExtPrefix", "F12"},
  };
  const std::map<std::string, std::string> refusals = {
      {"BackSpace", "Key not special (doesn't begin with ESC); continuing..."},
      {"Menu", "Key disabled; continuing..."},
      {"Shift-BackSpace", "Key unusable (conflicts with ESC-prefix usage); disabled..."},
  };
  bb::Sandbox box;
  std::string log = box.work() + "/stderr.log";
  bb::Tmux term(box, "'" + bb::program("korsh_raw") + "' -@ 2>'" + log + "'",
                {{"KORTERM", "myterm"}});
  const std::string path = box.kordir() + "/term/myterm";
  ASSERT_TRUE(term.wait_for_row(11, "Up_Arrow key:"));
  Lines rows = term.screen();
  EXPECT_EQ(rows[5], "Can't read " + path + ": No such file or directory.");
  EXPECT_EQ(rows[6], "Beginning interactive initialization for KORTERM myterm:");
  EXPECT_EQ(rows[7], "");
  EXPECT_EQ(rows[8], "Initialize special keys by pressing each in turn.");
  EXPECT_EQ(rows[9], "If key doesn't respond, press <return> to continue.");
  for (const auto &[name, key] : answers) {
    ASSERT_TRUE(term.wait_for_row(11, name + " key:")) << name;
    term.keys({key});
    auto refusal = refusals.find(name);
    if (refusal != refusals.end()) {
      EXPECT_TRUE(term.wait_for_row(12, refusal->second)) << name;
    }
  }
  ASSERT_TRUE(bb::wait_until([&] {
    return box.read_file(log).find("Entering keyboard debug mode") != std::string::npos;
  }));

  Lines file = log_lines(box.read_file(path));
  ASSERT_EQ(file.size(), 39u);
  const std::regex entry(R"(([A-Za-z0-9_-]+) +(\d)((?: 0x[0-9a-f]{2})*))");
  for (size_t i = 0; i < file.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(file[i], m, entry)) << file[i];
    EXPECT_EQ(m[1], answers[i].first);
    EXPECT_EQ(file[i].find(' '), m[1].length());
    EXPECT_EQ(file[i].substr(0, 18).size(), 18u);
    EXPECT_EQ(file[i][17], ' ') << "the name takes 17 columns";
    int length = std::stoi(m[2]);
    EXPECT_EQ(m[3].length(), 5u * static_cast<size_t>(length)) << file[i];
    if (refusals.count(answers[i].first)) {
      EXPECT_EQ(length, 0) << file[i];
    } else {
      EXPECT_GE(length, 3) << file[i];
    }
  }
  EXPECT_EQ(file[0], "Up_Arrow          3 0x1b 0x5b 0x41");
  EXPECT_EQ(file[11], "Menu              0");

  // The learned table decodes what the built-in one does not know: tmux's
  // F1 (ESC O P) and Home (ESC [ 1 ~), and F12 as ExtPrefix.
  auto reports = [&] { return starting_with(log_lines(box.read_file(log)), "ic: "); };
  term.keys({"F1"});
  term.keys({"Home"});
  term.keys({"F12"});
  term.keys({"h"});
  term.keys({"S-F10"});
  term.keys({"Q"});
  EXPECT_EQ(term.wait_exit(), 0);
  EXPECT_EQ(reports(), (Lines{"ic: 0122 (F1)", "ic: 010c (Home)", "ic: 013d (Menu-H)",
                              "ic: 0135 (Shift-F10)", "ic: 0051 ('Q')"}));
}

TEST(KeyLearning, KeyFileIsReadByPositionOnTheNextRun) {
  bb::Sandbox box;
  std::string text;
  for (int i = 0; i < 39; ++i) text += i == 3 ? "Whatever 3 0x1b 0x4f 0x44\n" : "Key 0\n";
  box.write_file(box.kordir() + "/term/myterm", text);
  std::string log = box.work() + "/stderr.log";
  bb::Tmux term(box, "'" + bb::program("korsh_raw") + "' -@ 2>'" + log + "'",
                {{"KORTERM", "myterm"}});
  auto reports = [&] { return starting_with(log_lines(box.read_file(log)), "ic: "); };
  ASSERT_TRUE(bb::wait_until([&] {
    return box.read_file(log).find("Entering keyboard debug mode") != std::string::npos;
  }));
  term.bytes("\x1bOD");   // entry 3: Left_Arrow
  term.keys({"Up"});      // disabled: ESC prefix, '[', 'A'
  term.keys({"Q"});
  EXPECT_EQ(term.wait_exit(), 0);
  EXPECT_EQ(reports(), (Lines{"ic: 0104 (Left)", "ic: 405b (Meta-'[')", "ic: 0041 ('A')",
                              "ic: 0051 ('Q')"}));
}

// ---- Raw mode without a terminal ---------------------------------------------------

TEST(RawKeysWithoutATerminal, KorTermWithoutAKeyFileIsFatal) {
  bb::Sandbox box;
  box.env["KORTERM"] = "myterm";
  bb::Result r = box.run(bb::program("korsh_raw"), {"-e", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Fatal: TERM file " + box.kordir() +
                       "/term/myterm: No such file or directory.\n"
                       "Run interactively to create key file for KORTERM myterm.\n");
  EXPECT_FALSE(box.exists(box.kordir() + "/term/myterm"));
}

TEST(RawKeysWithoutATerminal, TermWithoutAKeyFileWarnsAndRuns) {
  bb::Sandbox box;
  box.env["TERM"] = "vt100";
  bb::Result r = box.run(bb::program("korsh_raw"), {"-e", "1 2 +"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Warning: " + box.kordir() + "/term/vt100 could not be opened; using default.\n");
  EXPECT_NE(r.out.find('3'), std::string::npos) << r.out;
}

TEST(RawKeysWithoutATerminal, NoTerminalTypeUsesTheBuiltinTableQuietly) {
  bb::Sandbox box;
  bb::Result r = box.run(bb::program("korsh_raw"), {"-e", "1 2 +"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(box.exists(box.kordir() + "/term"));
}

TEST(RawKeysWithoutATerminal, KeypadModeNeverReadsKeyFiles) {
  bb::Sandbox box;
  box.env["KORTERM"] = "myterm";
  bb::Result r = box.korsh({"-e", "1 2 +"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

} // namespace
