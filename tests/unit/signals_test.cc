// Signal handling: interrupts, termination, the console break and faults.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>

#include "kor/InputCode.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/platform.h"
#include "kor/signals.h"

using namespace KOR;
using testing::Eq;

TEST(Signals, InterruptAsksTheRunningProgramToStop) {
  install_signals();
  kernel().interrupt = SIG_NONE;
  std::raise(SIGINT);
  EXPECT_EQ(kernel().interrupt, SIG_KILL);
  kernel().interrupt = SIG_NONE;
  std::raise(SIGINT);   // the handler stays installed
  EXPECT_EQ(kernel().interrupt, SIG_KILL);
  kernel().interrupt = SIG_NONE;
}

TEST(Signals, TerminationPostsTerm) {
  install_signals();
  InputCode code;
  while (coder().take_event(&code)) {}
  std::raise(SIGTERM);
  ASSERT_TRUE(coder().take_event(&code));
  EXPECT_EQ(code, IC_TERM);
  EXPECT_FALSE(coder().take_event(&code));
}

TEST(Signals, FaultInsideAProgramJumpsBackToItsRecoveryPoint) {
  install_signals();
  for (int sig : {SIGSEGV, SIGFPE, SIGILL}) {
    RecoveryPoint point;
    ASSERT_EQ(kt_setspecific(kernel().execKey, &point), 0);
    int value = sigsetjmp(point.env, 1);
    if (value == 0) {
      std::raise(sig);
      ADD_FAILURE() << "no jump for signal " << sig;
    }
    EXPECT_EQ(value, sig);
    kt_setspecific(kernel().execKey, nullptr);
  }
}

TEST(SignalsDeathTest, FaultOutsideAProgramIsFatalInTheSignalThread) {
  EXPECT_EXIT((install_signals(), std::raise(SIGSEGV)), testing::KilledBySignal(SIGABRT),
              Eq("\nSegmentation Violation in signal thread!\n\r\nAborting...\r\n"));
  EXPECT_EXIT((install_signals(), std::raise(SIGFPE)), testing::KilledBySignal(SIGABRT),
              Eq("\nArithmetic Exception in signal thread!\n\r\nAborting...\r\n"));
  EXPECT_EXIT((install_signals(), std::raise(SIGILL)), testing::KilledBySignal(SIGABRT),
              Eq("\nIllegal Instruction in signal thread!\n\r\nAborting...\r\n"));
}

TEST(SignalsDeathTest, UnexpectedSignalIsReportedAsQuestionMarks) {
  EXPECT_EXIT((install_signals(), install_handler(SIGUSR1, on_signal), std::raise(SIGUSR1)),
              testing::KilledBySignal(SIGABRT), Eq("\n???? in signal thread!\n\r\nAborting...\r\n"));
}

TEST(SignalsDeathTest, ConsoleBreakExitsWithStatus4Silently) {
  EXPECT_EXIT((install_signals(), std::raise(SIG_CONSOLE_BREAK)), testing::ExitedWithCode(4), Eq(""));
}
