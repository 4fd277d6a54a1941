// The scheduler's process table and foreground stream, and the compile
// queue that feeds it, driven through the real compile step and engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/Kernel.h"
#include "kor/Parser.h"
#include "kor/Scheduler.h"
#include "kor/Sequence.h"

using namespace KOR;

namespace {

// Every test starts from an empty table, a running stream, pid 0 handed out
// last, empty queues and an empty main stack.  The display is marked active
// so that a failing program is recorded instead of ending the test binary.
class SchedulerTest : public testing::Test {
protected:
  void SetUp() override { reset(); display().active = true; }
  void TearDown() override {
    reset();
    display().active = false;
  }

  static void reset() {
    Scheduler &s = scheduler();
    while (!s.procs.empty()) s.deleteProcess(s.procs.front(), false);
    s.fgPid = 0;
    s.lastPid = 0;
    s.streamRunning = true;
    Parser &q = parser();
    for (Editor *e : q.history) delete e;
    q.history.clear();
    for (Editor *e : q.queue) delete e;
    q.queue.clear();
    q.state = Parser::RUNNING;
    kernel().interrupt = SIG_NONE;
    Context &cx = main_context();
    cx.main.clear();
    cx.format.flags &= static_cast<uint8_t>(~(DisplayFormat::KEEP_FAILED | DisplayFormat::RUN_ON_ERROR));
  }

  // Types a command line: queued and compiled at once, as the input stage does.
  static int submit(const std::string &text) {
    Editor *e = new Editor;
    e->set_text(text);
    Parser &q = parser();
    q.lock();
    int r = q.enqueue(e, true);
    q.unlock(false);
    if (r != 0) delete e;
    return r;
  }

  static std::vector<std::string> stack() {
    std::vector<std::string> out;
    Context &cx = main_context();
    for (size_t k = cx.main.depth(); k >= 1; --k) {
      OBJ::Buffer buf;
      cx.main.list(buf, cx.format, OBJ::NO_PAD, OBJ::NO_LIMIT, -1, static_cast<long>(k), false);
      out.push_back(buf.lines.front().text.substr(1));
    }
    return out;
  }

  static std::vector<std::string> listing() {
    OBJ::Buffer buf;
    scheduler().list(buf);
    std::vector<std::string> out;
    for (const OBJ::Line &l : buf.lines) out.push_back(l.text.substr(1));
    return out;
  }

  static Process *proc(int pid) { return scheduler().find(pid, false, false); }

  static void kill(Process *p, int sig) {
    scheduler().lock();
    scheduler().kill(p, sig);
    scheduler().unlock();
  }

  using Strings = std::vector<std::string>;
};

} // namespace

TEST_F(SchedulerTest, EmptyTableListing) {
  EXPECT_EQ(listing(), (Strings{"PID  PPID  STATUS  SIGNAL  PGM_STATUS", " Fg  (pid=0, stream=true)",
                                "     Process queue is empty."}));
  scheduler().verify(nullptr);
}

TEST_F(SchedulerTest, CompletedLinesLeaveNoProcessAndOneHistoryEntry) {
  EXPECT_EQ(submit("1 2 + ; 3 4 *"), 0);
  EXPECT_EQ(stack(), (Strings{"3", "12"}));
  EXPECT_TRUE(scheduler().procs.empty());
  EXPECT_EQ(scheduler().lastPid, 2);   // two programs, two processes
  ASSERT_EQ(parser().history.size(), 1u);
  // Each later program was moved to a line of its own by the compile step.
  EXPECT_EQ(parser().history.front()->text(), "1 2 + ; \n3 4 *");
}

TEST_F(SchedulerTest, StopThenContinueResumesAtTheInterruptedPlace) {
  submit("1 Stop 2");
  EXPECT_EQ(stack(), Strings{"1"});
  Process *p = proc(1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->status, STOPPED);
  EXPECT_NE(p->ip, nullptr);   // it ran its compiled action sequence
  EXPECT_EQ(listing()[2].substr(0, 18), "  1    0   Stopped");
  scheduler().fg_cont();
  EXPECT_EQ(stack(), (Strings{"1", "2"}));
  EXPECT_TRUE(scheduler().procs.empty());
}

TEST_F(SchedulerTest, PidsCountOnAndWrapToTheLowestFree) {
  submit("Stop");
  submit("Stop");
  submit("Stop");
  ASSERT_EQ(scheduler().procs.size(), 3u);
  kill(proc(1), SIG_KILL);   // a stopped process is deleted by KILL
  EXPECT_EQ(proc(1), nullptr);
  submit("Stop");
  EXPECT_NE(proc(4), nullptr);   // not the freed 1
  scheduler().lastPid = MAX_PID;
  submit("Stop");
  EXPECT_NE(proc(1), nullptr);   // wrapped
  scheduler().verify(nullptr);
}

TEST_F(SchedulerTest, AFullTableRefusesANewProcessAndKeepsItsOperands) {
  for (int i = 0; i < MAX_PID; ++i) submit("Stop");
  ASSERT_EQ(scheduler().procs.size(), static_cast<size_t>(MAX_PID));
  OBJ::Buffer buf;
  buf.set_text("5");
  std::vector<OBJ::Operand *> ops;
  Sequence::parse(ops, nullptr, buf, main_context().format, nullptr, true);
  ASSERT_FALSE(ops.empty());
  size_t n = ops.size();
  EXPECT_EQ(scheduler().newProcess(ops, &main_context(), 0), nullptr);
  EXPECT_EQ(ops.size(), n);
  for (OBJ::Operand *op : ops) OBJ::dispose(op, nullptr);
  EXPECT_EQ(scheduler().lastPid, MAX_PID);
  scheduler().verify(nullptr);
}

TEST_F(SchedulerTest, AStoppedStreamHoldsNewLinesReady) {
  scheduler().fg_stop();   // nothing running: stopped with no process named
  EXPECT_EQ(scheduler().fgPid, STREAM_STOPPED);
  EXPECT_FALSE(scheduler().streamRunning);
  submit("7");
  EXPECT_TRUE(stack().empty());
  Strings l = listing();
  EXPECT_EQ(l[1], " Fg  (pid=-97, stream=false)");
  EXPECT_EQ(l[2].substr(0, 18), "  1    0   Ready  ");
  // Continuing with exactly one process runs it even though -97 named none.
  scheduler().fg_cont();
  EXPECT_EQ(stack(), Strings{"7"});
  EXPECT_EQ(scheduler().fgPid, 0);
}

TEST_F(SchedulerTest, ReadyProcessesObeyKillStopAndTerm) {
  scheduler().fg_stop();
  submit("1");
  submit("2");
  submit("3");
  submit("4");
  kill(proc(1), SIG_KILL);   // Ready + KILL: gone at once
  EXPECT_EQ(proc(1), nullptr);
  kill(proc(2), SIG_STOP);   // skipped when reached, kept as Stopped
  kill(proc(3), SIG_TERM);   // skipped when reached, deleted
  kill(proc(4), SIG_CONT);   // CONT to a Ready foreground process names it next
  EXPECT_EQ(scheduler().fgPid, 4);
  scheduler().fgPid = STREAM_STOPPED;
  scheduler().fg_cont();
  EXPECT_EQ(stack(), Strings{"4"});
  ASSERT_NE(proc(2), nullptr);
  EXPECT_EQ(proc(2)->status, STOPPED);
  EXPECT_EQ(proc(3), nullptr);
  scheduler().verify(nullptr);
}

TEST_F(SchedulerTest, ErrorWithMoreQueuedWorkStopsTheStream) {
  scheduler().fg_stop();
  submit("Drop");   // fails: too few arguments
  submit("5");
  scheduler().fg_cont();
  EXPECT_EQ(scheduler().fgPid, STREAM_STOPPED);
  EXPECT_TRUE(stack().empty());
  EXPECT_EQ(proc(1), nullptr);   // deleted: keep-failed is off
  ASSERT_NE(proc(2), nullptr);
  EXPECT_EQ(proc(2)->status, READY);
  EXPECT_EQ(listing()[1], " Fg  (pid=-97, stream=true)");
  scheduler().fg_cont();
  EXPECT_EQ(stack(), Strings{"5"});
}

TEST_F(SchedulerTest, RunOnErrorAndKeepFailed) {
  main_context().format.flags |= DisplayFormat::RUN_ON_ERROR | DisplayFormat::KEEP_FAILED;
  scheduler().fg_stop();
  submit("Drop");
  submit("5");
  scheduler().fg_cont();
  EXPECT_EQ(stack(), Strings{"5"});
  Process *failed = proc(1);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->status, EXITED);
  // The run's result was cleared when the run was tidied up.
  EXPECT_EQ(listing()[2], "  1    0   Exited    --       --     ");
  kill(failed, SIG_KILL);
  EXPECT_TRUE(scheduler().procs.empty());
}

TEST_F(SchedulerTest, KillTakesStoppedJobsAndIsHarmlessOnAnEmptyTable) {
  submit("Stop");
  scheduler().fg_kill();
  EXPECT_TRUE(scheduler().procs.empty());   // every foreground process, stopped ones too
  scheduler().fg_kill();
  EXPECT_EQ(scheduler().fgPid, 0);
  EXPECT_EQ(parser().state, Parser::RUNNING);
  scheduler().verify(nullptr);
}

TEST_F(SchedulerTest, InterruptDuringALoopStopsAndContinues) {
  scheduler().fg_stop();
  submit("0 1 300000 Start 1 + Next");
  kernel().interrupt = SIG_STOP;   // as Ctl-S, seen at the first timeslice
  scheduler().fg_cont();
  ASSERT_NE(proc(1), nullptr);
  EXPECT_EQ(proc(1)->status, STOPPED);
  scheduler().fg_cont();
  EXPECT_EQ(stack(), Strings{"300,000"});
  EXPECT_TRUE(scheduler().procs.empty());
}

TEST_F(SchedulerTest, AnInterruptPendingAtCompileTimeDropsTheLine) {
  kernel().interrupt = SIG_KILL;   // Ctl-C typed before the line was compiled
  submit("1 2");
  EXPECT_TRUE(stack().empty());
  EXPECT_EQ(kernel().interrupt, SIG_NONE);
  submit("3");
  EXPECT_EQ(stack(), Strings{"3"});
}

TEST_F(SchedulerTest, TheQueueRefusesTheLineAfter128) {
  Parser &q = parser();
  for (int i = 0; i < 128; ++i) {
    Editor *e = new Editor;
    e->set_text(std::to_string(i));
    ASSERT_EQ(q.enqueue(e, false), 0);
  }
  Editor *extra = new Editor;
  extra->set_text("x");
  EXPECT_EQ(q.enqueue(extra, false), 11);
  EXPECT_EQ(q.queue.size(), 128u);
  delete extra;
  while (q.compileStep()) {}
  EXPECT_EQ(main_context().main.depth(), 128u);
  EXPECT_EQ(q.history.size(), Parser::HISTORY_LIMIT);
  EXPECT_EQ(q.history.front()->text(), "127");   // newest first
  EXPECT_EQ(q.history.back()->text(), "64");     // the oldest 64 were dropped
}

TEST_F(SchedulerTest, DiscardDropsQueuedLines) {
  Parser &q = parser();
  for (const char *t : {"1", "2", "3"}) {
    Editor *e = new Editor;
    e->set_text(t);
    q.enqueue(e, false);
  }
  q.state = Parser::DISCARD;   // as after fg_kill with lines waiting
  while (q.compileStep()) {}
  EXPECT_TRUE(q.queue.empty());
  EXPECT_TRUE(stack().empty());
  EXPECT_EQ(q.state, Parser::RUNNING);
  EXPECT_EQ(submit("4"), 0);   // the next line runs normally
  EXPECT_EQ(stack(), Strings{"4"});
}

TEST_F(SchedulerTest, HashBangFirstLineAndTrailingSemicolon) {
  submit("#!/usr/bin/korsh\n8 9 *");
  EXPECT_EQ(stack(), Strings{"72"});
  submit("1 ;   ");
  EXPECT_EQ(stack(), (Strings{"72", "1"}));
  EXPECT_EQ(parser().history.size(), 2u);
}

TEST_F(SchedulerTest, HistoryListingNewestFirstCutToWidth) {
  submit("1 2");
  submit("   3 4 5 6 7 8");
  OBJ::Buffer out;
  parser().listQueue(out, 5, true);
  Strings l;
  for (const OBJ::Line &line : out.lines) l.push_back(line.text.substr(1));
  EXPECT_EQ(l, (Strings{" Select a command line:", "3 4 5 ", "1 2"}));
  OBJ::Buffer none;
  none.set_text("keep");
  parser().listQueue(none, 5, false);   // an empty queue leaves the buffer alone
  EXPECT_EQ(none.text(), "keep");
}
