// How text reaches the screen: attributes without colours, the letters of
// unprintable characters, clipping, and the terminal's no-op when closed.
#include <gtest/gtest.h>

#include "kor/ScreenText.h"
#include "kor/Terminal.h"
#include "unit/terminal_fakes.h"

using namespace KOR;

namespace {

constexpr int BR = ATTR_BOLD | ATTR_REVERSE;

TEST(ScreenAttrs, ColourPairsBecomeBoldWithoutColours) {
  EXPECT_EQ(screen_attrs(PAIR_RED, false), ATTR_BOLD);
  EXPECT_EQ(screen_attrs(PAIR_MAGENTA | ATTR_REVERSE, false), ATTR_BOLD | ATTR_REVERSE);
  EXPECT_EQ(screen_attrs(PAIR_CYAN | ATTR_BOLD, false), ATTR_BOLD);
  EXPECT_EQ(screen_attrs(ATTR_REVERSE, false), ATTR_REVERSE);   // no pair: unchanged
  EXPECT_EQ(screen_attrs(0, false), 0);
  for (int a = 0; a < 32; ++a) EXPECT_EQ(screen_attrs(a, true), a) << a;
}

TEST(ShownCell, PrintableAsciiIsItself) {
  for (int ch = 32; ch <= 126; ++ch) {
    Cell c = shown_cell(static_cast<unsigned char>(ch), PAIR_GREEN);
    EXPECT_EQ(c.ch, ch);
    EXPECT_EQ(c.attrs, PAIR_GREEN);
  }
}

TEST(ShownCell, ControlCharactersWithALetterOfTheirOwn) {
  const std::pair<int, char> letters[] = {{7, 'a'},  {8, 'b'},  {9, 't'}, {10, 'n'},
                                          {11, 'v'}, {12, 'f'}, {13, 'r'}};
  for (auto [ch, letter] : letters) {
    Cell c = shown_cell(static_cast<unsigned char>(ch), PAIR_YELLOW);
    EXPECT_EQ(c.ch, letter) << ch;
    EXPECT_EQ(c.attrs, PAIR_YELLOW | BR) << ch;
  }
}

TEST(ShownCell, OtherUnprintablesAreAQuestionMark) {
  for (int ch : {0, 1, 6, 14, 27, 31, 127, 128, 160, 200, 255}) {
    Cell c = shown_cell(static_cast<unsigned char>(ch), 0);
    EXPECT_EQ(c.ch, '?') << ch;
    EXPECT_EQ(c.attrs, BR) << ch;
  }
}

TEST(ShownCell, BoldAndReverseAreToggledAgainstTheText) {
  EXPECT_EQ(shown_cell(9, ATTR_BOLD).attrs, ATTR_REVERSE);
  EXPECT_EQ(shown_cell(9, ATTR_REVERSE | PAIR_RED).attrs, ATTR_BOLD | PAIR_RED);
  EXPECT_EQ(shown_cell(9, BR).attrs, 0);
}

TEST(DrawText, ShortTextClearsTheRestOfTheLineAndRestoresTheCursor) {
  fake::Grid g(4, 20);
  g.fill(1, 'x');
  g.move(3, 7);
  draw_text(g, 1, 2, "abc", 3, 20, PAIR_RED);
  EXPECT_EQ(g.text(1), "xxabc               ");
  EXPECT_EQ(g.at(1, 2).attrs, PAIR_RED);
  int r, c;
  g.cursor(&r, &c);
  EXPECT_EQ(r, 3);
  EXPECT_EQ(c, 7);
}

TEST(DrawText, LongTextIsClippedAtTheWidthAndNothingIsCleared) {
  fake::Grid g(2, 20);
  g.fill(0, 'x');
  draw_text(g, 0, 4, "abcdefghij", 10, 10, 0);   // room for 6 columns
  EXPECT_EQ(g.text(0), "xxxxabcdefxxxxxxxxxx");
}

TEST(DrawText, TextThatExactlyFillsTheRoomLeavesTheRestAlone) {
  fake::Grid g(2, 12);
  g.fill(0, 'x');
  draw_text(g, 0, 0, "abcd", 4, 4, 0);
  EXPECT_EQ(g.text(0), "abcdxxxxxxxx");
}

TEST(DrawText, ColumnAtOrBeyondTheWidthWritesNothing) {
  fake::Grid g(2, 12);
  g.fill(0, 'x');
  draw_text(g, 0, 8, "abc", 3, 8, 0);
  EXPECT_EQ(g.text(0), "xxxxxxxxxxxx");
}

TEST(DrawText, UnprintablesInsideTextAreShownByLetter) {
  fake::Grid g(1, 10);
  draw_text(g, 0, 0, "a\tb\x01", 4, 10, ATTR_BOLD);
  EXPECT_EQ(g.text(0), "atb?      ");
  EXPECT_EQ(g.at(0, 0).attrs, ATTR_BOLD);
  EXPECT_EQ(g.at(0, 1).attrs, ATTR_REVERSE);
  EXPECT_EQ(g.at(0, 3).attrs, ATTR_REVERSE);
}

TEST(DrawText, StopsAtTheEndOfTheScreen) {
  fake::Grid g(2, 6);
  g.fill(0, 'x');
  // The bottom-right cell is written and refused: nothing wraps to row 0.
  draw_text(g, 1, 3, "abcdef", 6, 12, 0);
  EXPECT_EQ(g.text(1), "   abc");
  EXPECT_EQ(g.text(0), "xxxxxx");
}

TEST(DrawChar, PutAndInsertUseTheSameRules) {
  fake::Grid g(1, 6);
  draw_text(g, 0, 0, "abcd", 4, 6, 0);
  draw_char(g, 0, 1, 'X', PAIR_GREEN);
  draw_insert(g, 0, 0, 13, 0);
  EXPECT_EQ(g.text(0), "raXcd ");
  EXPECT_EQ(g.at(0, 0).attrs, BR);
  EXPECT_EQ(g.at(0, 2).attrs, PAIR_GREEN);
}

// The terminal draws on its surface under its mutex, adjusting attributes
// for a screen without colours, and ignores everything once closed.
TEST(TerminalDrawing, OperationsReachTheSurfaceUntilClosed) {
  Terminal t;
  fake::Grid g(3, 10);
  t.attach_surface(&g);
  t.put_text(0, 0, "hi\n", 3, 10, PAIR_RED);   // never opened: no colours
  EXPECT_EQ(g.text(0), "hin       ");
  EXPECT_EQ(g.at(0, 0).attrs, ATTR_BOLD);
  EXPECT_EQ(g.at(0, 2).attrs, ATTR_REVERSE);
  t.put_char(1, 1, 'z', 0);
  t.insert_char(1, 0, 'y', 0);
  EXPECT_EQ(g.text(1), "y z       ");
  t.delete_char(1, 0);
  EXPECT_EQ(g.text(1), " z        ");
  t.move_clear_eol(0, 1);
  EXPECT_EQ(g.text(0), "h         ");
  t.beep();
  t.move_refresh(2, 3);
  EXPECT_EQ(g.beeps, 1);
  EXPECT_EQ(g.refreshes, 1);

  t.close();
  EXPECT_TRUE(t.closed());
  t.put_text(2, 0, "late", 4, 10, 0);
  t.clear_screen();
  t.beep();
  EXPECT_EQ(g.text(2), "          ");
  EXPECT_EQ(g.text(0), "h         ");
  EXPECT_EQ(g.beeps, 1);
  EXPECT_EQ(t.get_key(), KeyInput::END);
  EXPECT_EQ(t.read_byte(), KeyInput::END);
}

TEST(TerminalDrawing, ClearBottomAndClearScreen) {
  Terminal t;
  fake::Grid g(3, 4);
  t.attach_surface(&g);
  for (int r = 0; r < 3; ++r) g.fill(r, 'x');
  t.move_clear_bottom(1, 2);
  EXPECT_EQ(g.text(0), "xxxx");
  EXPECT_EQ(g.text(1), "xx  ");
  EXPECT_EQ(g.text(2), "    ");
  t.clear_screen();
  EXPECT_EQ(g.text(0), "    ");
}

} // namespace
