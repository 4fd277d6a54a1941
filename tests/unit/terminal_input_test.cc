// Keys typed on the terminal as the editor receives them: the ESC (Meta)
// prefix, ExtPrefix, events, interrupts, and the keyboard poll that runs
// while a program does.
#include <gtest/gtest.h>

#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "unit/terminal_fakes.h"

using namespace KOR;

namespace {

constexpr InputCode M = IC_META_BIT;
constexpr int NONE = KeyInput::NONE;

// An input decoder reading the terminal (standard input), with a scripted
// keyboard in its place.
class TerminalInput : public testing::Test {
protected:
  void SetUp() override {
    coder_.ttyInput = true;
    coder_.ttyOutput = true;
    coder_.inputFd = 0;
    coder_.attach_keys(&keys_);
    kernel().interrupt = SIG_NONE;
  }
  void TearDown() override { kernel().interrupt = SIG_NONE; }

  void keypad_mode() { coder_.opts.keypad = true; }
  void raw_mode() { coder_.opts.keypad = false; }
  void idle(int reads) {
    for (int i = 0; i < reads; ++i) keys_.keys.push_back(NONE);
  }

  InputCoder coder_;
  fake::Keys keys_;
};

TEST_F(TerminalInput, EscThenAKeyTypedSecondsLaterGivesMetaOfThatKey) {
  keypad_mode();
  keys_.keys = {27};
  idle(50);   // five seconds of timed-out reads
  keys_.keys.push_back('x');
  EXPECT_EQ(coder_.next_code(), M | 'x');
  EXPECT_EQ(keys_.reads, 52);
  // The no-wait read came right after the ESC, then the usual timeout.
  ASSERT_GE(keys_.calls.size(), 2u);
  EXPECT_EQ(keys_.calls[0], "wait off");
  EXPECT_EQ(keys_.calls[1], "timeout 1");
}

TEST_F(TerminalInput, EscWithTheKeyAtOnce) {
  keypad_mode();
  keys_.keys = {27, 'x', 'y', 27, fake::curses_key("KEY_UP")};
  EXPECT_EQ(coder_.next_code(), 0x4078);
  EXPECT_EQ(coder_.next_code(), 'y');   // Meta is used up
  EXPECT_EQ(coder_.next_code(), M | IC_Up);
}

TEST_F(TerminalInput, EscEscCancelsTheMetaPrefix) {
  keypad_mode();
  keys_.keys = {27, 27, 'x'};
  EXPECT_EQ(coder_.next_code(), 'x');
  keys_.keys = {27, 27, 27, 'x'};
  EXPECT_EQ(coder_.next_code(), M | 'x');
  keys_.keys = {27, 27};
  idle(5);
  keys_.keys.push_back('z');
  EXPECT_EQ(coder_.next_code(), 'z');
}

TEST_F(TerminalInput, EscEscInRawModeAlsoCancels) {
  raw_mode();
  keys_.type("\x1b\x1bq");
  EXPECT_EQ(coder_.next_code(), 'q');
  keys_.type("\x1b\x1b\x1bq");
  EXPECT_EQ(coder_.next_code(), M | 'q');
}

TEST_F(TerminalInput, RawModeSequencesAndTheUnknownOne) {
  raw_mode();
  keys_.type("\x1b[A\x1b[Z");
  EXPECT_EQ(coder_.next_code(), IC_Up);
  EXPECT_EQ(coder_.next_code(), M | '[');
  EXPECT_EQ(coder_.next_code(), 'Z');
}

TEST_F(TerminalInput, RawModeEscThenALaterKey) {
  raw_mode();
  keys_.type("\x1b");
  keys_.pause(30);
  keys_.type("a");
  EXPECT_EQ(coder_.next_code(), M | 'a');
}

// ExtPrefix is a key of raw mode's table ("ESC [ i c e" built in); the key
// after it is changed by the ExtPrefix table.
TEST_F(TerminalInput, ExtPrefixCombinations) {
  raw_mode();
  const char *ext = "\x1b[ice";
  const std::pair<std::string, InputCode> cases[] = {
      {"h", menu_key('H')},
      {"A", menu_key('A')},
      {"z", menu_key('Z')},
      {"\x1b[A", IC_ShiftUp},
      {"\x1b[D", IC_ShiftLeft},
      {"\x1b[11~", IC_ShiftF1},
      {"\x1b[21~", IC_ShiftF1 + 9},
      {"1", fkey(1)},
      {"0", fkey(10)},
      {" ", IC_Insert},
      {"?", IC_Help},
      {">", IC_Local},
      {"\r", IC_NewLine},
      {"\x08", IC_ShiftBackSpace},
      {"\x7f", IC_ShiftDelete},
      {"\x1b[3~", IC_ShiftDelete},
      {"!", M | '!'},
      {"\x1b[5~", M | IC_PageUp},
  };
  for (const auto &[key, code] : cases) {
    keys_.type(ext);
    keys_.type(key);
    EXPECT_EQ(coder_.next_code(), code) << key;
  }
}

TEST_F(TerminalInput, MenuKeyIsAnExtPrefixToo) {
  raw_mode();
  keys_.type("\x1b[29~q");
  EXPECT_EQ(coder_.next_code(), menu_key('Q'));
}

TEST_F(TerminalInput, EscBeforeExtPrefixAddsMeta) {
  raw_mode();
  keys_.type("\x1b\x1b[icea");
  EXPECT_EQ(coder_.next_code(), M | menu_key('A'));
}

TEST_F(TerminalInput, ExtPrefixWaitsForALaterKey) {
  raw_mode();
  keys_.type("\x1b[ice");
  keys_.pause(20);
  keys_.type("\x1b[B");
  EXPECT_EQ(coder_.next_code(), IC_ShiftDown);
}

TEST_F(TerminalInput, InterruptWhileWaitingGivesInt) {
  keypad_mode();
  kernel().interrupt = SIG_KILL;
  idle(1);
  EXPECT_EQ(coder_.next_code(), IC_INT);
  EXPECT_EQ(kernel().interrupt, SIG_NONE);
}

TEST_F(TerminalInput, InterruptAfterExtPrefixIsMetaInt) {
  raw_mode();
  keys_.type("\x1b[ice");
  keys_.bytes.push_back(fake::Keys::MARK);
  keys_.atMark = [] { kernel().interrupt = SIG_KILL; };
  EXPECT_EQ(coder_.next_code(), M | IC_INT);
  EXPECT_EQ(kernel().interrupt, SIG_NONE);
}

TEST_F(TerminalInput, EventsComeFirstAndPendingMetaWaitsForTheKey) {
  keypad_mode();
  coder_.post_event(IC_PROC);
  keys_.keys = {27, NONE, fake::Keys::MARK, NONE, 'k'};
  // The COMP event is posted while the ESC's Meta is pending: it comes out
  // unchanged, and the Meta goes to the key typed after it.
  keys_.atMark = [this] { coder_.post_event(IC_COMP); };
  EXPECT_EQ(coder_.next_code(), IC_PROC);
  EXPECT_EQ(keys_.reads, 0);
  EXPECT_EQ(coder_.next_code(), IC_COMP);
  EXPECT_EQ(coder_.next_code(), M | 'k');
}

TEST_F(TerminalInput, PushedBackCodesComeBeforeAnyRead) {
  keypad_mode();
  keys_.keys = {'p'};
  coder_.push_code(IC_EVAL);
  coder_.push_code(IC_REDRAW);
  EXPECT_EQ(coder_.next_code(), IC_REDRAW);
  EXPECT_EQ(coder_.next_code(), IC_EVAL);
  EXPECT_EQ(keys_.reads, 0);
  EXPECT_EQ(coder_.next_code(), 'p');
}

TEST_F(TerminalInput, TheEndOfTheTerminalIsEof) {
  keypad_mode();
  keys_.keys = {'a', KeyInput::END};
  EXPECT_EQ(coder_.next_code(), 'a');
  EXPECT_EQ(coder_.next_code(), IC_EOF);
  EXPECT_EQ(coder_.inputFd, -1);
}

TEST_F(TerminalInput, StandardInputThatIsNoTerminalIsReadAsText) {
  coder_.ttyInput = false;
  keys_.keys = {'a'};
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "7", 1), 1);
  close(fds[1]);
  coder_.inputFd = fds[0];
  EXPECT_EQ(coder_.next_code(), '7');
  EXPECT_EQ(keys_.reads, 0);
  close(fds[0]);
}

// ---- The keyboard poll ---------------------------------------------------------

struct PollLog {
  static inline std::string events;
  static void stop() { events += "stop "; }
  static void kill() { events += "kill "; }
  static void quit() { events += "quit "; }
};

class KeyboardPoll : public TerminalInput {
protected:
  void SetUp() override {
    TerminalInput::SetUp();
    PollLog::events.clear();
    coder_.pollActions = {PollLog::stop, PollLog::kill, PollLog::quit};
  }
};

TEST_F(KeyboardPoll, StopsKillsAndDropsOtherKeys) {
  keypad_mode();
  keys_.keys = {'a', 19, 'b', 19, 3, 'c', 28};
  coder_.poll_keyboard();
  EXPECT_EQ(PollLog::events, "stop stop kill ");
  // Ctl-C ended the poll: the keys after it are still waiting.
  EXPECT_EQ(keys_.keys, (std::deque<int>{'c', 28}));
  // No wait before any of the five reads, the usual wait after the poll.
  std::vector<std::string> calls(5, "wait off");
  calls.push_back("timeout 1");
  EXPECT_EQ(keys_.calls, calls);
}

TEST_F(KeyboardPoll, NoReadOfThePollWaits) {
  keypad_mode();
  keys_.logReads = true;
  keys_.keys = {'a', 27, 'b', NONE, 'c'};
  coder_.poll_keyboard();
  // The read after the ESC restores the usual wait; the poll takes it back.
  EXPECT_EQ(keys_.calls, (std::vector<std::string>{"wait off", "read", "wait off", "read",
                                                   "wait off", "wait off", "read", "timeout 1",
                                                   "wait off", "read", "timeout 1"}));
  EXPECT_EQ(keys_.keys, (std::deque<int>{'c'}));
}

TEST_F(KeyboardPoll, CtlBackslashQuits) {
  keypad_mode();
  keys_.keys = {28};
  coder_.poll_keyboard();
  EXPECT_EQ(PollLog::events, "quit ");
}

TEST_F(KeyboardPoll, EndsWhenNoKeyIsWaiting) {
  raw_mode();
  keys_.type("xy");
  keys_.pause(1);
  keys_.type("\x13");
  coder_.poll_keyboard();
  EXPECT_EQ(PollLog::events, "");
  EXPECT_EQ(keys_.bytes.size(), 1u);   // Ctl-S typed after the poll ended
  EXPECT_EQ(keys_.calls.back(), "timeout 1");
}

TEST_F(KeyboardPoll, DroppedKeysAreNotDeliveredLater) {
  keypad_mode();
  keys_.keys = {'a', 'b', NONE, 'c'};
  coder_.poll_keyboard();
  EXPECT_EQ(coder_.next_code(), 'c');
}

TEST_F(KeyboardPoll, NothingIsReadWithoutATerminal) {
  coder_.ttyInput = false;
  keys_.keys = {3};
  coder_.poll_keyboard();
  EXPECT_EQ(PollLog::events, "");
  EXPECT_EQ(keys_.reads, 0);
  EXPECT_TRUE(keys_.calls.empty());
}

// ---- -@ traces through the decoder -----------------------------------------------

TEST_F(TerminalInput, DebugTracesGoWhereTold) {
  keypad_mode();
  char *buf = nullptr;
  size_t size = 0;
  FILE *f = open_memstream(&buf, &size);
  coder_.debugOut = f;
  coder_.opts.keytest = true;
  keys_.keys = {'x'};
  EXPECT_EQ(coder_.next_code(), 'x');
  coder_.opts.keytest = false;
  keys_.keys = {'y'};
  EXPECT_EQ(coder_.next_code(), 'y');
  std::fclose(f);
  EXPECT_EQ(std::string(buf, size), "gc: 0078 (120)\n\rch: 0078 (120)\n\r");
  std::free(buf);
}

} // namespace
