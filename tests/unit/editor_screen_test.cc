// The editor on a cell grid: its text in the editor area with the cursor,
// scrolling, the status line at its columns, messages on the message row,
// the marks of a syntax error, and the line pushed aside.
#include <gtest/gtest.h>

#include "kor/Buffer.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

constexpr int B = ATTR_BOLD;

class EditorScreen : public screen::ScreenTest {
protected:
  std::pair<int, int> cursor() const {
    int r, c;
    grid->cursor(&r, &c);
    return {r, c};
  }
};

TEST_F(EditorScreen, TheCommandLineStandsBelowItsStatusLine) {
  Editor ed;
  type(ed, "1 2");
  key(ed, IC_NewLine);
  type(ed, "<<");
  ed.draw();
  EXPECT_EQ(row(14), " 1 2");
  EXPECT_EQ(row(15), " <<");
  EXPECT_EQ(row(13), "       Pgm");
  EXPECT_EQ(attr(13, 7), B);
  EXPECT_EQ(cursor(), std::make_pair(15, 3));
  EXPECT_GE(grid->refreshes, 1);
}

TEST_F(EditorScreen, StatusLineColumnsForEveryMode) {
  Editor ed;
  ed.Pgm = ed.Alg = ed.Str = true;
  ed.insertMode = false;
  ed.nquote = 2;
  ed.quote[0] = '1';
  ed.quote[1] = '2';
  ed.draw();
  EXPECT_EQ(row(13), " \\12_  Pgm Alg Str  [Replace]");
  EXPECT_EQ(attr(13, 20), 0);       // the brackets are plain
  EXPECT_EQ(attr(13, 21), B);       // the word is highlighted
  EXPECT_EQ(attr(13, 28), 0);
}

TEST_F(EditorScreen, ALongCommandLineScrollsToKeepTheCursorInTheWindow) {
  Editor ed;
  for (int i = 1; i <= 10; ++i) {
    type(ed, "line" + std::to_string(i));
    if (i < 10) key(ed, IC_NewLine);
  }
  ed.draw();
  // Seven rows: lines 4 to 10, the cursor on the last row.
  EXPECT_EQ(row(14), " line4");
  EXPECT_EQ(row(20), " line10");
  EXPECT_EQ(cursor(), std::make_pair(20, 7));
  key(ed, IC_Home);
  ed.draw();
  EXPECT_EQ(row(14), " line1");
  EXPECT_EQ(cursor(), std::make_pair(14, 6));   // the column kept, within the line
  key(ed, IC_PageDown);   // h - 1 = 6 lines
  ed.draw();
  EXPECT_EQ(ed.line_index(), 6u);
  EXPECT_EQ(row(14), " line1");
  key(ed, IC_End);
  ed.draw();
  EXPECT_EQ(row(20), " line10");
  EXPECT_EQ(row(14), " line4");
}

TEST_F(EditorScreen, ALongLineScrollsSideways) {
  Editor ed;
  type(ed, std::string(100, 'x') + "END");
  ed.draw();
  auto [r, c] = cursor();
  EXPECT_EQ(r, 14);
  EXPECT_LT(c, 80);
  EXPECT_EQ(row(14).substr(static_cast<size_t>(c) - 3, 3), "END");
  key(ed, IC_Home);   // the first line is the only one: the column stays
  for (int i = 0; i < 103; ++i) key(ed, IC_Left);
  ed.draw();
  EXPECT_EQ(cursor(), std::make_pair(14, 1));
  EXPECT_EQ(row(14).substr(0, 3), " xx");
}

TEST_F(EditorScreen, MessagesUseTheRowBelowTheEditorAndLeaveWithTheNextKey) {
  Editor ed;
  ed.show_message(" Just so.", false);
  EXPECT_EQ(row(21), "  Just so.");   // from column 1, with the message's own blank
  EXPECT_EQ(attr(21, 2), B);
  EXPECT_EQ(grid->beeps, 0);
  type(ed, "a");
  EXPECT_EQ(row(21), "");
  ed.show_message(" Wrong.", true);
  EXPECT_EQ(grid->beeps, 1);
  // Events do not count as the next key.
  key(ed, IC_PROC);
  key(ed, IC_COMP);
  EXPECT_EQ(row(21), "  Wrong.");
  type(ed, "b");
  EXPECT_EQ(row(21), "");
}

TEST_F(EditorScreen, ASyntaxErrorMarksTheTokenUntilTheNextKey) {
  Editor ed;
  ed.set_text("1 2 bad");
  ed.lines.front().marks.push_back({5, 3, 31});
  ed.draw();
  EXPECT_EQ(row(14), " 1 2 bad");
  EXPECT_EQ(attr(14, 4), 0);
  EXPECT_EQ(attr(14, 5), B | ATTR_REVERSE);   // red reverse, bold reverse without colours
  EXPECT_EQ(attr(14, 7), B | ATTR_REVERSE);
  key(ed, IC_End);
  ed.draw();
  EXPECT_EQ(attr(14, 5), 0);
}

TEST_F(EditorScreen, PushingALineAsideRedrawsAnEmptyLine) {
  Editor ed;
  type(ed, "3 4");
  ed.draw();
  key(ed, ';');
  EXPECT_EQ(row(14), "");
  EXPECT_EQ(row(21), "  Additional input buffer created.");
  EXPECT_EQ(row(12).substr(0, 8), "  1  Neg");   // the whole screen was redrawn
  EXPECT_EQ(cursor(), std::make_pair(14, 1));
}

TEST_F(EditorScreen, AStackSplitFromTildeSMovesTheEditor) {
  Editor ed;
  ed.run_tilde("~s 5");
  EXPECT_EQ(coder().next_code(), IC_REDRAW);
  key(ed, IC_REDRAW);
  // M = 5: labels on row 8, the status line on 9, the editor from 10.
  EXPECT_EQ(row(8).substr(0, 8), "  1  Neg");
  EXPECT_EQ(cursor(), std::make_pair(10, 1));
  EXPECT_EQ(ed.windowHeight, 11);
}

} // namespace
