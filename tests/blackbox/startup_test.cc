// korsh's command line, options file and start-up errors, as a user meets them.
#include <gtest/gtest.h>

#include <regex>

#include "blackbox/harness.h"

namespace {

const char USAGE[] =
    "\nUsage:  korsh [Options] [SCRIPT]\n"
    "Options:\n"
    "\n"
    "  -@\t    Enter low-level keystroke test mode (use Q to quit).\n"
    "  -C\t    [Not implemented:] Enable legacy compatibility mode.\n"
    "  -c\t    Disable use of color in interactive output.\n"
    "  -e EXPR   Evaluate expression EXPR and exit.\n"
    "  -h\t    Display this usage help and exit.\n"
    "  -i\t    Force interactive input mode (affects -e and [SCRIPT]).\n"
    "  -l FILE   [Not implemented:] Log commands to script FILE.\n"
    "  -m\t    Disable meta-key (8-bit) input processing.\n"
    "  -p\t    Disable pulsing CPU use indicator.\n"
    "  -r FILE   Read commands from KOR script FILE on startup.\n"
    "  -s\t    [Not implemented:] Disable save/restore of program state.\n"
    "  -t FILE   Save input keystroke trace to FILE.\n"
    "  -v\t    Display version information and exit.\n"
    "\n";

const char VERSION_RE[] =
    R"(KOR Shell version \d+\.\d+\.\d+ \(linux-[a-z0-9_]+_[a-z0-9]+/(gcc|clang)-\d+\.\d+\.\d+\))"
    R"(( of \d{4}/\d\d/\d\d \d\d:\d\d:\d\d|, released \d{4}/\d\d/\d\d)\.)";
const char CONTACT_LINES[] =
    "See https://kor-shell.org/ for current information.\n"
    "Send questions and comments to: <korsh@kor-shell.org>\n";

std::vector<std::string> lines(const std::string &text) {
  std::vector<std::string> out;
  size_t start = 0, nl;
  while ((nl = text.find('\n', start)) != std::string::npos) {
    out.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  if (start < text.size()) out.push_back(text.substr(start));
  return out;
}

// The version line, the contact lines and the usage: the text of -h and of a
// bad command line.
void expect_help_text(const std::string &out) {
  size_t nl = out.find('\n');
  ASSERT_NE(nl, std::string::npos);
  EXPECT_TRUE(std::regex_match(out.substr(0, nl), std::regex(VERSION_RE))) << out.substr(0, nl);
  EXPECT_EQ(out.substr(nl + 1), std::string(CONTACT_LINES) + USAGE);
}

// The error routine's report: on standard error with carriage returns, exit
// status errno, and the same line appended to the error log.
void expect_reported(const bb::Sandbox &box, const bb::Result &r, int status,
                     const std::string &reason, const std::string &tag) {
  EXPECT_EQ(r.status, status);
  std::regex line("\rKORsh Error: " + reason + " in [A-Za-z_.]+:\\d+ \\[" + tag + "\\]\r\n");
  EXPECT_TRUE(std::regex_match(r.err, line)) << r.err;
  std::string log = box.read_file(box.kordir() + "/errors");
  std::string plain = r.err.substr(1, r.err.size() - 3) + "\n";
  EXPECT_EQ(log, plain);
}

TEST(StartupOptions, HelpPrintsVersionContactAndUsage) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  expect_help_text(r.out);
}

TEST(StartupOptions, VersionPrintsFiveLines) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-v"});
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> l = lines(r.out);
  ASSERT_EQ(l.size(), 5u) << r.out;
  EXPECT_TRUE(std::regex_match(l[0], std::regex(VERSION_RE))) << l[0];
  EXPECT_NE(l[1].find("Fathom"), std::string::npos);
  EXPECT_EQ(l[2], "Compiled features: AFN NODEBUG NOPIPE NOPOLL NOSIGNALS NOTERMIOS NOTHREADS ");
  EXPECT_EQ(l[3] + "\n" + l[4] + "\n", CONTACT_LINES);
}

TEST(StartupOptions, OptionsAfterHelpOrVersionAreNotParsed) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-v", "-x"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

TEST(StartupOptions, BadCommandLinesGiveGetoptMessageUsageAndStatus1) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"-x"}, "korsh: illegal option -- x\n"},
      {{"-ix"}, "korsh: illegal option -- x\n"},
      {{"-:"}, "korsh: illegal option -- :\n"},
      {{"-e"}, "korsh: option requires an argument -- e\n"},
      {{"-i", "-r"}, "korsh: option requires an argument -- r\n"},
      {{"-t"}, "korsh: option requires an argument -- t\n"},
      {{"one.kor", "two.kor"}, ""},
      {{"-i", "a", "b", "c"}, ""},
  };
  for (const Case &c : cases) {
    bb::Sandbox box;
    bb::Result r = box.korsh(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0];
    EXPECT_EQ(r.err, c.err) << c.args[0];
    expect_help_text(r.out);
  }
}

TEST(StartupOptions, OptionParsingStopsAtFirstNonOptionAndDoubleDash) {
  bb::Sandbox box;
  // "-h" after the script name is a second argument, not an option.
  bb::Result r = box.korsh({"missing.kor", "-h"});
  EXPECT_EQ(r.status, 1);
  // After "--" the next word is the script even when it looks like an option.
  r = box.korsh({"--", "-v"});
  expect_reported(box, r, 2, "No such file or directory", "-v");
}

TEST(StartupSources, MissingScriptIsReportedWithItsName) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"nothere.kor"});
  expect_reported(box, r, 2, "No such file or directory", "nothere.kor");
}

TEST(StartupSources, LoneDashIsNotAScript) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-"}, "");
  EXPECT_EQ(r.err.find("KORsh Error"), std::string::npos) << r.err;
}

TEST(StartupSources, RcFileIsLookedUpInsideTheKorDirectory) {
  bb::Sandbox box;
  box.write_file("start.kor", "1\n");   // in the working directory: not used
  bb::Result r = box.korsh({"-r", "start.kor"});
  expect_reported(box, r, 2, "No such file or directory", "start.kor");

  bb::Sandbox found;
  found.write_file(found.kordir() + "/start.kor", "1\n");
  r = found.korsh({"-r", "start.kor"});
  EXPECT_EQ(r.err.find("KORsh Error"), std::string::npos) << r.err;
}

TEST(StartupSources, RcFileIsOpenedBeforeTheScript) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-r", "rc-missing.kor", "script-missing.kor"});
  expect_reported(box, r, 2, "No such file or directory", "rc-missing.kor");
}

TEST(StartupOptionsFile, RcFileKeyNamesTheRcFileAndCommandLineWins) {
  bb::Sandbox box;
  box.write_file(box.kordir() + "/init/options",
                 "# a comment line\n"
                 "junk\n"
                 "unknownKey 1\n"
                 "rcFile from-options.kor\n");
  bb::Result r = box.korsh({});
  expect_reported(box, r, 2, "No such file or directory", "from-options.kor");

  bb::Sandbox other;
  other.write_file(other.kordir() + "/init/options", "rcFile from-options.kor\n");
  r = other.korsh({"-r", "from-command-line.kor"});
  expect_reported(other, r, 2, "No such file or directory", "from-command-line.kor");
}

TEST(StartupOptionsFile, TheTailOfAnOverlongLineIsNotASetting) {
  bb::Sandbox box;
  std::string longComment = "# " + std::string(260, 'x') + " rcFile hidden.kor\n";
  box.write_file(box.kordir() + "/init/options", longComment);
  bb::Result r = box.korsh({});
  EXPECT_EQ(r.err.find("hidden.kor"), std::string::npos) << r.err;
}

TEST(StartupEnvironment, WithoutHomeAndKordirTheKorDirectoryIsDotKor) {
  bb::Sandbox box;
  box.env["HOME"] = "<unset>";
  box.env["KORDIR"] = "<unset>";
  box.write_file(box.work() + "/.KOR/init/options", "rcFile dot-kor.kor\n");
  bb::Result r = box.korsh({});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("[dot-kor.kor]"), std::string::npos) << r.err;
  EXPECT_TRUE(box.exists(box.work() + "/.KOR/errors"));
}

TEST(StartupEnvironment, EmptyHomeCountsAsUnset) {
  bb::Sandbox box;
  box.env["HOME"] = "";
  box.env["KORDIR"] = "<unset>";
  box.write_file(box.work() + "/.KOR/init/options", "rcFile empty-home.kor\n");
  bb::Result r = box.korsh({});
  EXPECT_NE(r.err.find("[empty-home.kor]"), std::string::npos) << r.err;
}

TEST(StartupEnvironment, HomeWithoutKordirUsesHomeDotKor) {
  bb::Sandbox box;
  box.env["KORDIR"] = "<unset>";
  box.write_file(box.home() + "/.KOR/init/options", "rcFile home-kor.kor\n");
  bb::Result r = box.korsh({});
  EXPECT_NE(r.err.find("[home-kor.kor]"), std::string::npos) << r.err;
}

TEST(StartupEnvironment, OverlongKordirSkipsTheOptionsFileAndTheLog) {
  bb::Sandbox box;
  box.env["KORDIR"] = box.root() + "/" + std::string(300, 'k');
  bb::Result r = box.korsh({"-r", "x.kor"});
  // kor_open refuses the path before touching the file system.
  EXPECT_EQ(r.status, 36);   // ENAMETOOLONG
  EXPECT_NE(r.err.find("File name too long"), std::string::npos) << r.err;
}

TEST(StartupFiles, TraceAndLogFilesAreCreatedEmpty) {
  bb::Sandbox box;
  box.write_file("trace.out", "old contents");
  bb::Result r = box.korsh({"-t", "trace.out", "-l", "log.out", "-v"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(box.exists("log.out"));
  EXPECT_EQ(box.read_file("trace.out"), "");
}

TEST(StartupFiles, UnopenableTraceOrLogFileIsReportedAsOpen) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-t", "no/such/dir/trace.out"});
  expect_reported(box, r, 2, "No such file or directory", "open");
  bb::Sandbox other;
  r = other.korsh({"-l", "/"});
  expect_reported(other, r, 21, "Is a directory", "open");
}

TEST(StartupFiles, KorDirectoryThatIsAFileLeavesTheLogOut) {
  bb::Sandbox box;
  box.write_file(box.kordir(), "not a directory");
  bb::Result r = box.korsh({"missing.kor"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("[missing.kor]"), std::string::npos) << r.err;
  EXPECT_EQ(box.read_file(box.kordir()), "not a directory");
}

} // namespace
