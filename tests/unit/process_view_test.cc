// The process view on a cell grid: the listing with the cursor on a
// process, its keys and menu entries acting on that process or, from the
// header lines, on the whole foreground stream, and its reload on PROC.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kor/Command.h"
#include "kor/Context.h"
#include "kor/Kernel.h"
#include "kor/Parser.h"
#include "kor/ProcessView.h"
#include "kor/Scheduler.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

class ProcessViewTest : public screen::ScreenTest {
protected:
  void SetUp() override {
    ScreenTest::SetUp();
    reset();
  }
  void TearDown() override {
    reset();
    ScreenTest::TearDown();
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
    q.state = Parser::RUNNING;
    kernel().interrupt = SIG_NONE;
    main_context().main.clear();
  }

  // A command line, compiled and run as the input stage hands it over.
  static void submit(const std::string &text) {
    Editor *e = new Editor;
    e->set_text(text);
    Parser &q = parser();
    q.lock();
    int r = q.enqueue(e, true);
    q.unlock(false);
    ASSERT_EQ(r, 0) << text;
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

  static Process *proc(int pid) { return scheduler().find(pid, false, false); }

  // A key through the view's own handler and the editor's dispatch.
  static Editor::Result view_key(ProcessView &v, InputCode code) {
    InputCode end = IC_NULL;
    return v.ed.handle_key(code, view_map(), ProcessView::keys, &end);
  }

  static std::vector<std::string> lines(const Editor &ed) {
    std::vector<std::string> out;
    for (const OBJ::Line &l : ed.lines) out.push_back(l.text.substr(1));
    return out;
  }

  using Strings = std::vector<std::string>;
};

TEST_F(ProcessViewTest, TheCursorStartsOnTheFirstProcessAndTheMenuIsTheProcessMenu) {
  submit("1 Stop 2");
  submit("3 Stop 4");
  Editor cmd;
  ProcessView v(cmd);
  ASSERT_EQ(v.ed.lines.size(), 4u);
  EXPECT_EQ(v.ed.line_index(), 2u);
  EXPECT_EQ(v.selected_pid(), 1);
  EXPECT_EQ(v.ed.menu.entries, OP::builtin_menu('p'));
  EXPECT_EQ(cmd.menu.entries, OP::builtin_menu('R'));   // the command line keeps its own
  view_key(v, IC_Down);
  EXPECT_EQ(v.selected_pid(), 2);
  view_key(v, IC_Up);
  view_key(v, IC_Up);
  EXPECT_EQ(v.selected_pid(), 0);   // the stream line
  view_key(v, IC_Up);
  EXPECT_EQ(v.ed.line_index(), 0u);
  EXPECT_EQ(v.selected_pid(), 0);
}

TEST_F(ProcessViewTest, AnEmptyTableHasNoProcessToSelect) {
  Editor cmd;
  ProcessView v(cmd);
  EXPECT_EQ(lines(v.ed), (Strings{"PID  PPID  STATUS  SIGNAL  PGM_STATUS", " Fg  (pid=0, stream=true)",
                                  "     Process queue is empty."}));
  EXPECT_EQ(v.ed.line_index(), 0u);
  view_key(v, IC_End);
  EXPECT_EQ(v.selected_pid(), 0);
  // With nothing selected Ctl-S stops the stream as FGSTOP does.
  view_key(v, ctl('S'));
  EXPECT_EQ(scheduler().fgPid, STREAM_STOPPED);
  EXPECT_EQ(lines(v.ed)[1], " Fg  (pid=-97, stream=false)");
}

TEST_F(ProcessViewTest, CtlQContinuesTheCursorProcessAndTheStreamGoesOn) {
  submit("1 Stop 2");
  submit("3 Stop 4");
  ASSERT_EQ(stack(), (Strings{"1", "3"}));
  Editor cmd;
  ProcessView v(cmd);
  view_key(v, IC_Down);   // the second process goes first
  view_key(v, ctl('Q'));
  EXPECT_EQ(proc(2), nullptr);
  ASSERT_NE(proc(1), nullptr);
  EXPECT_EQ(proc(1)->status, STOPPED);
  EXPECT_EQ(stack(), (Strings{"1", "3", "4"}));
  // The listing followed, with the cursor on the line left.
  EXPECT_EQ(v.ed.lines.size(), 3u);
  EXPECT_EQ(v.selected_pid(), 1);
  view_key(v, ctl('Q'));
  EXPECT_TRUE(scheduler().procs.empty());
  EXPECT_EQ(stack(), (Strings{"1", "3", "4", "2"}));
  EXPECT_EQ(lines(v.ed)[2], "     Process queue is empty.");
}

TEST_F(ProcessViewTest, CtlSStopsAReadyProcessBeforeItRuns) {
  scheduler().fg_stop();   // nothing runs: the stream stops and new lines wait
  submit("5");
  submit("6");
  ASSERT_EQ(proc(1)->status, READY);
  Editor cmd;
  ProcessView v(cmd);
  EXPECT_EQ(v.selected_pid(), 1);
  view_key(v, ctl('S'));
  EXPECT_EQ(proc(1)->signal, SIG_STOP);
  EXPECT_NE(lines(v.ed)[2].find("Stop"), std::string::npos) << lines(v.ed)[2];
  // From the header the stream goes on: the stopped one is skipped and kept.
  view_key(v, IC_Home);
  view_key(v, ctl('Q'));
  EXPECT_EQ(stack(), (Strings{"6"}));
  ASSERT_NE(proc(1), nullptr);
  EXPECT_EQ(proc(1)->status, STOPPED);
  EXPECT_EQ(proc(2), nullptr);
}

TEST_F(ProcessViewTest, BackSpaceAndDeleteKillTheCursorProcessOnly) {
  submit("1 Stop 2");
  submit("3 Stop 4");
  submit("5 Stop 6");
  Editor cmd;
  ProcessView v(cmd);
  view_key(v, IC_Down);
  view_key(v, ctl('H'));   // BackSpace through the map
  EXPECT_EQ(proc(2), nullptr);
  EXPECT_NE(proc(1), nullptr);
  EXPECT_NE(proc(3), nullptr);
  EXPECT_EQ(v.selected_pid(), 3);   // the line of the killed one now shows the next
  view_key(v, IC_DEL);     // Delete
  EXPECT_EQ(proc(3), nullptr);
  EXPECT_EQ(v.selected_pid(), 1);   // past the end: the last line
  EXPECT_EQ(stack(), (Strings{"1", "3", "5"}));   // killing leaves the stack alone
}

TEST_F(ProcessViewTest, OnTheHeaderBackSpaceKillsTheWholeStream) {
  submit("1 Stop 2");
  submit("3 Stop 4");
  Editor cmd;
  ProcessView v(cmd);
  view_key(v, IC_Home);
  view_key(v, ctl('H'));
  EXPECT_TRUE(scheduler().procs.empty());
}

TEST_F(ProcessViewTest, MenuEntriesActOnTheCursorProcess) {
  submit("1 Stop 2");
  submit("3 Stop 4");
  Editor cmd;
  ProcessView v(cmd);
  display().show_labels(v.ed.menu, true);
  ASSERT_GE(v.ed.menu.pageSize, 5);
  EXPECT_NE(row(12).find("DEBUG"), std::string::npos);
  EXPECT_NE(row(12).find("JOIN"), std::string::npos);
  view_key(v, fkey(4));   // KILL
  EXPECT_EQ(proc(1), nullptr);
  EXPECT_EQ(v.selected_pid(), 2);
  view_key(v, fkey(3));   // STOP: a stopped process stays as it is
  EXPECT_EQ(proc(2)->status, STOPPED);
  view_key(v, fkey(5));   // JOIN: only for background processes
  EXPECT_EQ(row(11), "    Not a background process.");
  view_key(v, fkey(1));   // DEBUG
  EXPECT_EQ(row(21), " PROCDEBUG Error: Routine Under Construction...");
  view_key(v, fkey(2));   // CONT
  EXPECT_TRUE(scheduler().procs.empty());
  EXPECT_EQ(stack(), (Strings{"1", "3", "4"}));
}

TEST_F(ProcessViewTest, TheListingIsReadOnlyAndReloadsOnProc) {
  submit("1 Stop");
  Editor cmd;
  ProcessView v(cmd);
  view_key(v, 'x');
  EXPECT_EQ(row(11), "    Buffer is read-only.");
  display().clear_message(true);
  view_key(v, ctl('F'));   // a control key no one binds: refused, not handed round
  EXPECT_EQ(row(11), "    Buffer is read-only.");
  EXPECT_EQ(v.ed.lines.size(), 3u);
  submit("2 Stop");   // another line stops meanwhile; its PROC event reloads
  EXPECT_EQ(v.ed.lines.size(), 3u);
  view_key(v, IC_PROC);
  EXPECT_EQ(v.ed.lines.size(), 4u);
  EXPECT_EQ(v.selected_pid(), 1);
  EXPECT_EQ(row(5).substr(0, 20), "   2    0   Stopped ");   // and is drawn
}

TEST_F(ProcessViewTest, EditprocFromTheProcessMenuOpensTheViewUntilQ) {
  submit("7 Stop 8");
  Editor cmd;
  OP::select_menu(cmd.menu, 'P', false);
  std::vector<std::string> shown;
  keys.atMark = [&] {
    for (int r = 2; r <= 12; ++r) shown.push_back(row(r));
  };
  // F1 (EDITPROC), a look at the screen, Ctl-Q on the process, then "q".
  keys.keys = {fake::Keys::MARK, ctl('Q'), 'q'};
  key(cmd, fkey(1));
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown[0], " PID  PPID  STATUS  SIGNAL  PGM_STATUS");
  EXPECT_EQ(shown[2].substr(0, 20), "   1    0   Stopped ");
  EXPECT_NE(shown[10].find("CONT"), std::string::npos);
  EXPECT_TRUE(scheduler().procs.empty());
  EXPECT_EQ(stack(), (Strings{"7", "8"}));
  // Closed: the stack pane and the command line's labels are back.
  EXPECT_EQ(row(2).find("PID"), std::string::npos);
  EXPECT_NE(row(12).find("FGSTOP"), std::string::npos);
  EXPECT_EQ(cmd.text(), "");
}

TEST_F(ProcessViewTest, ProcessCommandsAreRefusedOnTheCommandLine) {
  Editor cmd;
  OP::select_menu(cmd.menu, 'p', false);
  display().show_labels(cmd.menu, false);
  submit("1 Stop 2");
  key(cmd, fkey(4));   // KILL outside the view
  EXPECT_EQ(row(21), "  Not permitted in this context.");
  EXPECT_NE(proc(1), nullptr);
  display().clear_message(false);
  key(cmd, fkey(1));   // DEBUG of a process: there is no cursor line to name one
  EXPECT_EQ(row(21), "  Not permitted in this context.");
  key(cmd, fkey(2));   // CONT
  EXPECT_EQ(proc(1)->status, STOPPED);
}

} // namespace
