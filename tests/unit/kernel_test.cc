// The KOR directory, its files and the order of the input sources.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "kor/InputCoder.h"
#include "kor/Kernel.h"

using namespace KOR;
namespace fs = std::filesystem;

namespace {

// Points the kernel at a fresh KOR directory for one test.
class KernelDirTest : public testing::Test {
protected:
  void SetUp() override {
    char templ[] = "/tmp/korkern.XXXXXX";
    root_ = mkdtemp(templ);
    kordir_ = root_ + "/kor";
    setenv("KORDIR", kordir_.c_str(), 1);
    kernel().read_environment();
  }
  void TearDown() override {
    fs::remove_all(root_);
    unsetenv("KORDIR");
    kernel().read_environment();
  }
  std::string root_, kordir_;
};

} // namespace

TEST_F(KernelDirTest, CreatingAFileMakesTheDirectoryWithInitAndTerm) {
  EXPECT_EQ(kor_open("init/options", O_RDONLY), -1);
  EXPECT_FALSE(fs::exists(kordir_));   // reading creates nothing
  int fd = kor_open("notes", O_WRONLY | O_CREAT | O_TRUNC);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_TRUE(fs::is_directory(kordir_ + "/init"));
  EXPECT_TRUE(fs::is_directory(kordir_ + "/term"));
  EXPECT_TRUE(fs::is_regular_file(kordir_ + "/notes"));
  fd = kor_open("notes", O_RDONLY);
  EXPECT_GE(fd, 0);
  close(fd);
}

TEST_F(KernelDirTest, TooLongPathFailsWithEnametoolong) {
  std::string name(255 - kordir_.size(), 'n');
  errno = 0;
  EXPECT_EQ(kor_open(name.c_str(), O_WRONLY | O_CREAT), -1);
  EXPECT_EQ(errno, ENAMETOOLONG);
  EXPECT_FALSE(fs::exists(kordir_));
  // 254 characters in all are allowed.
  name.pop_back();
  int fd = kor_open(name.c_str(), O_WRONLY | O_CREAT);
  EXPECT_GE(fd, 0);
  close(fd);
}

TEST_F(KernelDirTest, KormkdirOfAnExistingDirectoryIsQuiet) {
  kormkdir("");
  kormkdir("");
  EXPECT_TRUE(fs::is_directory(kordir_));
}

TEST_F(KernelDirTest, NonDirectoryInTheWayIsFatal) {
  std::ofstream(kordir_) << "file";
  EXPECT_EXIT(kormkdir(""), testing::ExitedWithCode(ENOTDIR),
              "Not a directory in Kernel:[0-9]+ \\[kormkdir stat\\]");
  EXPECT_EXIT(kor_open("x", O_WRONLY | O_CREAT), testing::ExitedWithCode(ENOTDIR),
              "\\[kormkdir stat\\]");
}

TEST_F(KernelDirTest, UncreatableDirectoryIsFatal) {
  setenv("KORDIR", (root_ + "/missing/parent/kor").c_str(), 1);
  kernel().read_environment();
  EXPECT_EXIT(kormkdir(""), testing::ExitedWithCode(ENOENT), "\\[kormkdir\\]");
}

TEST_F(KernelDirTest, SourcesOpenInOrderRcScriptExpressionStdin) {
  fs::create_directories(kordir_);
  std::ofstream(kordir_ + "/rc.kor") << "1";
  std::string script = root_ + "/script.kor";
  std::ofstream(script) << "2";
  InputCoder &ic = coder();
  ic.opts = Options{};
  ic.opts.rcFile = "rc.kor";
  ic.opts.script = script;
  ic.opts.expr = "3 4 +";
  ic.readStdin = true;

  ASSERT_TRUE(open_next_input());
  EXPECT_GT(ic.inputFd, 0);
  EXPECT_TRUE(ic.newSource);
  char c = 0;
  EXPECT_EQ(read(ic.inputFd, &c, 1), 1);
  EXPECT_EQ(c, '1');
  close(ic.inputFd);

  ASSERT_TRUE(open_next_input());
  EXPECT_EQ(read(ic.inputFd, &c, 1), 1);
  EXPECT_EQ(c, '2');
  close(ic.inputFd);

  ASSERT_TRUE(open_next_input());
  EXPECT_EQ(ic.inputFd, -2);
  EXPECT_EQ(ic.expression, "3 4 +");

  ASSERT_TRUE(open_next_input());
  EXPECT_EQ(ic.inputFd, 0);
  EXPECT_FALSE(open_next_input());
}

TEST_F(KernelDirTest, MissingRcFileIsReportedWithItsName) {
  InputCoder &ic = coder();
  ic.opts = Options{};
  ic.opts.rcFile = "absent.kor";
  EXPECT_EXIT(open_next_input(), testing::ExitedWithCode(ENOENT), "\\[absent.kor\\]");
}

TEST(KernelEnvironment, FallbacksForUnsetAndEmptyVariables) {
  const char *names[] = {"HOME", "KORDIR", "KORTERM", "TERM", "VISUAL", "EDITOR"};
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char *n : names)
    if (const char *v = getenv(n)) saved.emplace_back(n, v);
  for (const char *n : names) unsetenv(n);

  kernel().read_environment();
  EXPECT_STREQ(kernel().home(), ".");
  EXPECT_STREQ(kernel().kordir(), "./.KOR");
  EXPECT_EQ(kernel().term_name(), nullptr);
  EXPECT_STREQ(kernel().editor(), "vi");

  setenv("HOME", "", 1);
  setenv("TERM", "xterm", 1);
  setenv("EDITOR", "ed", 1);
  kernel().read_environment();
  EXPECT_STREQ(kernel().kordir(), "./.KOR");
  EXPECT_STREQ(kernel().term_name(), "xterm");
  EXPECT_STREQ(kernel().editor(), "ed");

  setenv("HOME", "/h", 1);
  setenv("KORTERM", "vt100", 1);
  setenv("VISUAL", "vim", 1);
  kernel().read_environment();
  EXPECT_STREQ(kernel().kordir(), "/h/.KOR");
  EXPECT_STREQ(kernel().term_name(), "vt100");
  EXPECT_STREQ(kernel().editor(), "vim");

  setenv("KORDIR", "/k", 1);
  kernel().read_environment();
  EXPECT_STREQ(kernel().kordir(), "/k");

  for (const char *n : names) unsetenv(n);
  for (auto &[n, v] : saved) setenv(n.c_str(), v.c_str(), 1);
  kernel().read_environment();
}
