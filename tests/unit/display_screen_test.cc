// The display drawing on a cell grid: the whole screen for the main stack,
// the stack pane after a command line ran, error messages by kind and
// their removal, the busy indicator, and the monochrome attributes.
#include <gtest/gtest.h>

#include "kor/Buffer.h"
#include "kor/Parser.h"
#include "kor/Scheduler.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

constexpr int B = ATTR_BOLD;

class DisplayScreen : public screen::ScreenTest {
protected:
  // A command line queued and run as the input stage does.
  static void submit(const std::string &text) {
    Editor *e = new Editor;
    e->set_text(text);
    Parser &q = parser();
    q.lock();
    int r = q.enqueue(e, true);
    q.unlock(false);
    ASSERT_EQ(r, 0);
    Parser &p = parser();
    for (Editor *h : p.history) delete h;
    p.history.clear();
  }
};

TEST_F(DisplayScreen, RepaintDrawsEveryFixedPart) {
  Editor ed;
  display().repaint(ed.menu);
  EXPECT_EQ(row(0).substr(0, 42), " MAIN   hex-64    std    rad/rect    (   )");
  EXPECT_EQ(row(1), "");
  for (int r = 2; r <= 11; ++r) EXPECT_EQ(row(r), "") << r;
  EXPECT_EQ(row(12), "  1  Neg   2  Abs   3  Sign   4  Sqrt   5  Cbrt   6  Xrt   7  Fact   8   Pi");
  EXPECT_EQ(row(21), "");
  EXPECT_EQ(row(22).substr(0, 19), " A Array  B Binary ");
  EXPECT_EQ(row(23).substr(0, 19), " O Option P Process");
  // Without colours: label text bold reverse, every other highlight bold.
  EXPECT_EQ(attr(0, 1), B);                     // MAIN
  EXPECT_EQ(attr(0, 53), B);                    // the date
  EXPECT_EQ(attr(12, 2), B);                    // a label number
  EXPECT_EQ(attr(12, 3), B | ATTR_REVERSE);     // the label text box
  EXPECT_EQ(attr(12, 10), 0);                   // between labels
  EXPECT_EQ(attr(22, 1), B);                    // a legend letter
  EXPECT_EQ(attr(22, 3), 0);                    // its name
}

TEST_F(DisplayScreen, TheStackPaneShowsLevelOneOnItsBottomRow) {
  submit("3 4 +");
  EXPECT_EQ(row(10), "  1:" + std::string(75, ' ') + "7");
  EXPECT_EQ(row(9), "");
  submit("10 20");
  EXPECT_EQ(row(8).substr(0, 4), "  3:");
  EXPECT_EQ(row(10).back(), '0');
  EXPECT_EQ(row(10).substr(76), "  20");
}

TEST_F(DisplayScreen, ADeepStackShowsItsTopLevels) {
  submit("1 2 3 4 5 6 7 8 9 10 11 12");
  EXPECT_EQ(row(2).substr(0, 4), "  9:");   // M = 9 levels
  EXPECT_EQ(row(2).back(), '4');
  EXPECT_EQ(row(10).substr(77), " 12");
}

TEST_F(DisplayScreen, AFailedCommandShowsItsErrorBelowThePaneUntilTheNextKey) {
  submit("Drop");
  EXPECT_EQ(row(11), "   Drop Error: Too Few Arguments");
  EXPECT_EQ(attr(11, 3), B);
  EXPECT_EQ(grid->beeps, 1);
  // The display posted Clear; the editor then removes the message at the next key.
  InputCode code = IC_NULL;
  bool clearPosted = false;
  while (coder().take_event(&code)) clearPosted |= code == IC_Clear;
  EXPECT_TRUE(clearPosted);
  Editor ed;
  key(ed, IC_Clear);
  EXPECT_EQ(row(11), "   Drop Error: Too Few Arguments");   // the event itself is no key
  key(ed, 'x');
  EXPECT_EQ(row(11), "");
}

TEST_F(DisplayScreen, ErrorKindsHaveTheirRows) {
  display().show_error(1, "Kind", 0, ERR_BAD_VALUE, nullptr, 0, 1);
  EXPECT_EQ(row(13), " Kind Error: Bad Argument Value");
  display().show_error(2, nullptr, ENOENT, 0, "name", 0, 1);
  EXPECT_EQ(row(21), " System Error: No such file or directory.  [name]");
  display().show_error(7, nullptr, 0, 0, "elsewhere", 0, 1);
  EXPECT_EQ(row(11), "   KOR Error: elsewhere");
  // beep 0 and keep 1: no bell and no Clear event.
  EXPECT_EQ(grid->beeps, 0);
  InputCode code;
  EXPECT_FALSE(coder().take_event(&code));
  // The editor status line leaves an error on its row alone.
  Editor ed;
  ed.Pgm = true;
  ed.draw_status_line();
  EXPECT_EQ(row(13), " Kind Error: Bad Argument Value");
  display().clear_errors();
  EXPECT_EQ(row(11), "");
  EXPECT_EQ(row(13), "");
  EXPECT_EQ(row(21), "");
}

TEST_F(DisplayScreen, OnNarrowScreensTheLegendComesBackUnderAClearedMessage) {
  screen(24, 40);
  Editor ed;
  display().repaint(ed.menu);
  EXPECT_EQ(row(21), " A-Arry B-Bin C-Cmpx E-Edit H-Hlp I-List");
  display().show_error(2, "Syntax", 0, 0, "Unknown", -1, -1);
  EXPECT_EQ(row(21), " Syntax Error: Unknown");
  display().clear_errors();
  EXPECT_EQ(row(21), " A-Arry B-Bin C-Cmpx E-Edit H-Hlp I-List");
}

TEST_F(DisplayScreen, FortyColumnsPutTheStatusBarOnTwoRows) {
  screen(12, 40);
  Editor ed;
  display().repaint(ed.menu);
  EXPECT_EQ(row(0).substr(0, 22), "  MAIN  hex-64  (   ) ");
  EXPECT_EQ(row(1).substr(0, 33), "         std           rad/rect  ");
  EXPECT_EQ(display().geom().main, 2);
  EXPECT_EQ(row(9), " A-Arry B-Bin C-Cmpx E-Edit H-Hlp I-List");
}

TEST_F(DisplayScreen, TheBusyIndicatorFollowsTheScheduler) {
  Editor ed;
  display().repaint(ed.menu);
  EXPECT_EQ(row(0).substr(37, 5), "(   )");
  Scheduler &s = scheduler();
  s.nFg_ = 1;   // a foreground job is waiting in a stopped stream
  s.fgPid = -3;
  display().pulse(false, false);
  EXPECT_EQ(row(0).substr(37, 5), "((*))");
  EXPECT_EQ(attr(0, 39), B);
  s.nFg_ = 0;
  s.fgPid = 0;
  display().pulse(false, false);
  EXPECT_EQ(row(0).substr(37, 5), "(   )");
}

TEST_F(DisplayScreen, TheBusyMarkerStandsBeforeTheHeaderWhileAProgramRuns) {
  Editor ed;
  display().repaint(ed.menu);
  display().set_busy(true);
  EXPECT_EQ(row(0).substr(0, 5), "*MAIN");
  display().set_busy(false);
  EXPECT_EQ(row(0).substr(0, 5), " MAIN");
}

TEST_F(DisplayScreen, ASmallWindowStopsDrawingInsteadOfEndingTheShell) {
  display().resize_to(ScreenSize{false, 11, 80});
  EXPECT_TRUE(display().too_small());
  EXPECT_FALSE(display().drawing());
  EXPECT_EQ(display().geom().rows, 24);   // the last good geometry stays
  display().show_error(0, "Late", 0, ERR_BAD_VALUE, nullptr, -1, 1);
  EXPECT_EQ(row(11), "");                  // nothing is drawn meanwhile
  display().resize_to(ScreenSize{false, 30, 100});
  EXPECT_FALSE(display().too_small());
  EXPECT_EQ(display().geom().rows, 30);
  EXPECT_EQ(display().geom().cols, 100);
  EXPECT_EQ(display().geom().main, 13);
}

} // namespace
