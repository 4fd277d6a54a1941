// The options file and the command line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "kor/InputCoder.h"
#include "kor/Options.h"

using namespace KOR;

namespace {

Options from_text(const std::string &text) {
  Options o;
  FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
  if (f) {
    read_options_stream(f, o);
    std::fclose(f);
  }
  return o;
}

struct Args {
  std::vector<std::string> words;
  std::vector<char *> argv;
  explicit Args(std::initializer_list<const char *> list) {
    words.push_back("korsh");
    for (const char *w : list) words.push_back(w);
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words.size()); }
};

StartMode parse(Args &a, Options &o, int *logFd = nullptr, int *traceFd = nullptr) {
  int l = -1, t = -1;
  testing::internal::CaptureStderr();
  StartMode m = parse_command_line(a.argc(), a.argv.data(), o, logFd ? logFd : &l,
                                   traceFd ? traceFd : &t);
  testing::internal::GetCapturedStderr();
  return m;
}

} // namespace

TEST(OptionsFile, EveryKeySetsItsField) {
  Options o = from_text("color 0\ncompatible 1\ninteractive 7\nmeta 0\npulse 0\nsave 0\n"
                        "rcFile start.kor\n");
  EXPECT_FALSE(o.color);
  EXPECT_TRUE(o.compatible);
  EXPECT_TRUE(o.interactive);
  EXPECT_FALSE(o.meta);
  EXPECT_FALSE(o.pulse);
  EXPECT_FALSE(o.save);
  EXPECT_EQ(o.rcFile.value_or(""), "start.kor");
}

TEST(OptionsFile, ValuesReadAsDecimalIntegers) {
  EXPECT_TRUE(from_text("pulse 1").pulse);
  EXPECT_FALSE(from_text("pulse 0").pulse);
  EXPECT_FALSE(from_text("pulse no").pulse);      // not a number: 0
  EXPECT_TRUE(from_text("pulse -3").pulse);
  EXPECT_FALSE(from_text("pulse 0x10").pulse);    // decimal: reads 0
  EXPECT_TRUE(from_text("color 0\ncolor 2").color);   // later lines win
}

TEST(OptionsFile, CommentsJunkAndIncompleteLinesChangeNothing) {
  Options defaults;
  for (const char *text :
       {"# pulse 0", "#\tcolor 0", "pulse", "   ", "\n\n", "Pulse 0", "pulse0 0", "rcfile x",
        "\x01\x02\x03 \xff", "color\n0", "", "\0pulse 0"}) {
    Options o = from_text(text);
    EXPECT_EQ(o.pulse, defaults.pulse) << text;
    EXPECT_EQ(o.color, defaults.color) << text;
    EXPECT_FALSE(o.rcFile) << text;
  }
  // "#" is a comment only as a whole key; "#x" is just an unknown key.
  Options o;
  EXPECT_FALSE(apply_options_line("#x 1", o));
}

TEST(OptionsFile, OverlongWordsAndLinesAreNotTruncatedIntoSettings) {
  std::string longKey(40, 'k');
  EXPECT_FALSE(from_text(longKey + " 1").rcFile);
  // A line is read to 254 characters; the rest of that line is dropped.
  std::string padded = "rcFile " + std::string(300, 'r') + "\n";
  Options o = from_text(padded + "pulse 0\n");
  ASSERT_TRUE(o.rcFile);
  EXPECT_EQ(o.rcFile->size(), 254u - 7u);
  EXPECT_FALSE(o.pulse);
  Options hidden = from_text("# " + std::string(300, 'x') + " pulse 0\n");
  EXPECT_TRUE(hidden.pulse);
}

TEST(CommandLine, FlagsAndArguments) {
  Args a{"-@", "-C", "-c", "-i", "-m", "-p", "-s", "-e", "1 2 +", "-rstart.kor", "script.kor"};
  Options o;
  EXPECT_EQ(parse(a, o), StartMode::Run);
  EXPECT_TRUE(o.keytest);
  EXPECT_TRUE(o.compatible);
  EXPECT_FALSE(o.color);
  EXPECT_TRUE(o.interactive);
  EXPECT_FALSE(o.meta);
  EXPECT_FALSE(o.pulse);
  EXPECT_FALSE(o.save);
  EXPECT_EQ(o.expr.value_or(""), "1 2 +");
  EXPECT_EQ(o.rcFile.value_or(""), "start.kor");
  EXPECT_EQ(o.script.value_or(""), "script.kor");
}

TEST(CommandLine, GroupedLettersAndAttachedArguments) {
  Args a{"-cmpe2", "--", "-x"};
  Options o;
  EXPECT_EQ(parse(a, o), StartMode::Run);
  EXPECT_FALSE(o.color);
  EXPECT_FALSE(o.meta);
  EXPECT_FALSE(o.pulse);
  EXPECT_EQ(o.expr.value_or(""), "2");
  EXPECT_EQ(o.script.value_or(""), "-x");
}

TEST(CommandLine, ModesAndErrors) {
  struct Case {
    std::initializer_list<const char *> args;
    StartMode mode;
  } cases[] = {
      {{"-h"}, StartMode::ShowHelp},       {{"-v"}, StartMode::ShowVersion},
      {{"-i", "-h", "-x"}, StartMode::ShowHelp}, {{"-x"}, StartMode::BadUsage},
      {{"-e"}, StartMode::BadUsage},       {{"a", "b"}, StartMode::BadUsage},
      {{"-"}, StartMode::Run},             {{}, StartMode::Run},
  };
  for (const Case &c : cases) {
    Args a(c.args);
    Options o;
    EXPECT_EQ(parse(a, o), c.mode);
  }
  Args dash{"-"};
  Options o;
  parse(dash, o);
  EXPECT_FALSE(o.script);
}

TEST(CommandLine, TraceAndLogFilesAreCreatedAndTruncated) {
  std::string dir = std::filesystem::temp_directory_path() / "kor_opts_test";
  std::filesystem::create_directories(dir);
  std::string trace = dir + "/t", log = dir + "/l";
  { FILE *f = std::fopen(trace.c_str(), "w"); std::fputs("old", f); std::fclose(f); }
  Args a{"-t", trace.c_str(), "-l", log.c_str()};
  Options o;
  int logFd = -1, traceFd = -1;
  EXPECT_EQ(parse(a, o, &logFd, &traceFd), StartMode::Run);
  EXPECT_GE(logFd, 0);
  EXPECT_GE(traceFd, 0);
  EXPECT_EQ(std::filesystem::file_size(trace), 0u);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(std::filesystem::status(log).permissions() & std::filesystem::perms::all,
            std::filesystem::perms(0644 & ~mask));
  close(logFd);
  close(traceFd);
  std::filesystem::remove_all(dir);
}

TEST(InputMode, ScriptsAndExpressionsTurnTheScreenOff) {
  InputCoder &ic = coder();
  struct Case {
    bool interactive, expr, script, ttyIn;
    bool wantTtyIn, wantTtyOut, wantStdin;
  } cases[] = {
      // -i without sources forces the screen on.
      {true, false, false, false, false, true, true},
      // -i with an expression changes nothing.
      {true, true, false, true, true, true, true},
      // an expression or script without -i: no screen, no standard input.
      {false, true, false, true, false, false, false},
      {false, false, true, true, false, false, false},
      // neither, standard input not a terminal: no screen.
      {false, false, false, false, false, false, true},
      {false, false, false, true, true, true, true},
  };
  for (const Case &c : cases) {
    Options o;
    o.interactive = c.interactive;
    if (c.expr) o.expr = "1";
    if (c.script) o.script = "s";
    ic.ttyInput = c.ttyIn;
    ic.ttyOutput = true;
    ic.readStdin = true;
    ic.settle_mode(o);
    EXPECT_EQ(ic.ttyInput, c.wantTtyIn);
    EXPECT_EQ(ic.ttyOutput, c.wantTtyOut);
    EXPECT_EQ(ic.readStdin, c.wantStdin);
  }
}
