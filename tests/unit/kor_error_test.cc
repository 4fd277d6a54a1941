// The error funnel: its report on standard error and in the log, its exit
// status, and the language error messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "kor/Kernel.h"
#include "kor/Terminal.h"
#include "kor/kor_error.h"

using testing::Eq;
using testing::ExitedWithCode;

namespace {

class TempKorDir {
public:
  TempKorDir() {
    char templ[] = "/tmp/korerr.XXXXXX";
    dir_ = mkdtemp(templ);
  }
  ~TempKorDir() { std::filesystem::remove_all(dir_); }
  const std::string &path() const { return dir_; }
  std::string log() const {
    std::ifstream in(dir_ + "/errors");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // In a death-test child: point the kernel at this directory.
  void use() const {
    setenv("KORDIR", dir_.c_str(), 1);
    KOR::kernel().read_environment();
  }

private:
  std::string dir_;
};

} // namespace

TEST(KorErrorDeathTest, ReportsOnStderrAppendsToLogAndExitsWithStatus) {
  TempKorDir kd;
  EXPECT_EXIT((kd.use(), kor_error(2, "x", 10, "y")), ExitedWithCode(2),
              Eq("\rKORsh Error: No such file or directory in x:10 [y]\r\n"));
  EXPECT_EXIT((kd.use(), kor_error(22, "Operand", 7, "bad type_ in verify")), ExitedWithCode(22),
              Eq("\rKORsh Error: Invalid argument in Operand:7 [bad type_ in verify]\r\n"));
  EXPECT_EQ(kd.log(), "KORsh Error: No such file or directory in x:10 [y]\n"
                      "KORsh Error: Invalid argument in Operand:7 [bad type_ in verify]\n");
  // The log made the KOR directory's subdirectories, as any created file does.
  EXPECT_TRUE(std::filesystem::is_directory(kd.path() + "/init"));
  EXPECT_TRUE(std::filesystem::is_directory(kd.path() + "/term"));
}

TEST(KorErrorDeathTest, NonPositiveStatusAndNullFileReadAsQuestionMarks) {
  TempKorDir kd;
  EXPECT_EXIT((kd.use(), kor_error(0, nullptr, 3, "zero")), ExitedWithCode(0),
              Eq("\rKORsh Error: ?? in ??:3 [zero]\r\n"));
  EXPECT_EXIT((kd.use(), kor_error(-5, "f", 4, "neg")), ExitedWithCode(251),
              Eq("\rKORsh Error: ?? in f:4 [neg]\r\n"));
  EXPECT_EQ(kd.log(), "KORsh Error: ?? in ??:3 [zero]\nKORsh Error: ?? in f:4 [neg]\n");
}

TEST(KorErrorDeathTest, NullTagExitsSilently) {
  TempKorDir kd;
  EXPECT_EXIT((kd.use(), kor_error(4, "korsh", 1, nullptr)), ExitedWithCode(4), Eq(""));
  EXPECT_FALSE(std::filesystem::exists(kd.path() + "/errors"));
}

TEST(KorErrorDeathTest, HeldTerminalMutexExitsAtOnceWithoutMessage) {
  TempKorDir kd;
  EXPECT_EXIT((kd.use(), KOR::terminal().lock(), kor_error(2, "x", 1, "y")), ExitedWithCode(2),
              Eq(""));
  EXPECT_EQ(kd.log(), "");
}

TEST(KorErrorDeathTest, UnwritableLogLeavesTheReportOnStderr) {
  TempKorDir kd;
  std::ofstream(kd.path() + "/file") << "x";
  std::string asFile = kd.path() + "/file";
  EXPECT_EXIT((setenv("KORDIR", asFile.c_str(), 1), KOR::kernel().read_environment(),
               kor_error(5, "x", 1, "io")),
              ExitedWithCode(5), Eq("\rKORsh Error: Input/output error in x:1 [io]\r\n"));
}

TEST(LanguageErrors, MessagesOfAllThirteenCodes) {
  const char *expected[] = {"No Error", "Arithmetic Exception", "Bad Argument Type",
                            "Bad Argument Value", "Illegal Instruction", "Main Stack In Use",
                            "Undo Stack In Use", "Insufficient Memory", "Segmentation Violation",
                            "Syntax Error", "Too Few Arguments", "Routine Under Construction...",
                            "User Exception"};
  for (int code = 0; code < KOR::ERR_CODE_COUNT; ++code)
    EXPECT_STREQ(KOR::strerror(code), expected[code]);
}

TEST(LanguageErrorsDeathTest, CodeOutsideTheTableIsFatal) {
  EXPECT_EXIT(KOR::strerror(13), ExitedWithCode(22), "\\[KOR::strerror\\]");
  EXPECT_EXIT(KOR::strerror(-1), ExitedWithCode(22), "\\[KOR::strerror\\]");
}

TEST(SysStrerror, LibraryTextOrQuestionMarks) {
  std::string out;
  EXPECT_EQ(sys_strerror(out, ENOENT), "No such file or directory");
  EXPECT_EQ(sys_strerror(out, 0), "??");
  EXPECT_EQ(sys_strerror(out, -3), "??");
  EXPECT_EQ(&sys_strerror(out, 1), &out);
}

TEST(KorBell, AtMostOneBellPerFifthOfASecond) {
  kor_bell();                       // records the time (rings only if an earlier test rang long ago)
  testing::internal::CaptureStderr();
  kor_bell();                       // within 0.2 s: silent
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  kor_bell();                       // rings
  kor_bell();                       // too soon again
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "\a");
}
