// The command-line editor key by key: quoted entry, joining and splitting
// lines, replace mode, the lexical modes on the status line, command keys,
// number entry, the line pushed aside, interrupts and protected areas.
#include <gtest/gtest.h>

#include "kor/Editor.h"
#include "kor/Parser.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

// Keys arrive as from a terminal; messages go to a screen on a grid.
class EditorKeys : public screen::ScreenTest {
protected:
  static void clear_history() {
    Parser &q = parser();
    for (Editor *e : q.history) delete e;
    q.history.clear();
  }
};

// ---- Quoted entry ------------------------------------------------------------------

TEST_F(EditorKeys, ThreeDigitsBelow256InsertThatCharacter) {
  Editor ed;
  type(ed, "\\065");
  EXPECT_EQ(ed.text(), "A");
  EXPECT_EQ(ed.nquote, -1);
  type(ed, "\\009");
  EXPECT_EQ(ed.text(), "A\t");
}

TEST_F(EditorKeys, ThreeDigitsOfNoCharacterAreInsertedAsTyped) {
  Editor ed;
  type(ed, "\\999");
  EXPECT_EQ(ed.text(), "999");
  type(ed, "\\256");
  EXPECT_EQ(ed.text(), "999256");
}

TEST_F(EditorKeys, OneNonDigitCompletesTheEntry) {
  Editor ed;
  type(ed, "\\n");
  ASSERT_EQ(ed.lines.size(), 1u);   // a newline character inside the line
  EXPECT_EQ(ed.lines.front().text, " \n");
  type(ed, "\\r\\\\\\x\\;");
  EXPECT_EQ(ed.lines.front().text, " \n\r\\x;");
  // A digit run cut short by another character goes in as typed.
  Editor mixed;
  type(mixed, "\\12a");
  EXPECT_EQ(mixed.text(), "12a");
}

TEST_F(EditorKeys, TheStatusLineShowsTheQuotedCharacters) {
  Editor ed;
  type(ed, "\\");
  EXPECT_EQ(ed.status_text(), " \\___");
  type(ed, "06");
  EXPECT_EQ(ed.status_text(), " \\06_");
  key(ed, IC_BackSpace);   // takes back the last quoted character
  EXPECT_EQ(ed.status_text(), " \\0__");
  type(ed, "66");
  EXPECT_EQ(ed.text(), "B");
  EXPECT_EQ(ed.status_text(), "");
  type(ed, "\\");
  key(ed, IC_BackSpace);   // with nothing quoted: the entry ends
  EXPECT_EQ(ed.nquote, -1);
  type(ed, "n");
  EXPECT_EQ(ed.text(), "Bn");
}

// ---- Lines -------------------------------------------------------------------------

TEST_F(EditorKeys, BackSpaceAtColumnOneJoinsTheLineToTheOneAbove) {
  Editor ed;
  type(ed, "ab");
  key(ed, IC_NewLine);
  type(ed, "cd");
  ASSERT_EQ(ed.lines.size(), 2u);
  key(ed, IC_Left);
  key(ed, IC_Left);
  key(ed, IC_BackSpace);
  EXPECT_EQ(ed.text(), "abcd");
  EXPECT_EQ(ed.col, 3u);   // between b and c
  key(ed, IC_BackSpace);   // an ordinary BackSpace now
  EXPECT_EQ(ed.text(), "acd");
  // On the first line there is nothing to join.
  ed.col = 1;
  key(ed, IC_BackSpace);
  EXPECT_EQ(ed.text(), "acd");
}

TEST_F(EditorKeys, DeleteAtTheEndJoinsTheNextLine) {
  Editor ed;
  ed.set_text("ab\ncd");
  ed.col = 3;
  key(ed, IC_Delete);
  EXPECT_EQ(ed.text(), "abcd");
}

TEST_F(EditorKeys, MetaBackSpaceAndWordDeletion) {
  Editor ed;
  type(ed, "one two  three");
  key(ed, IC_ShiftBackSpace);
  EXPECT_EQ(ed.text(), "one two  ");
  key(ed, IC_ShiftBackSpace);   // the word and the blanks after it
  EXPECT_EQ(ed.text(), "one ");
  key(ed, IC_META_BIT | ctl('H'));   // Meta-BackSpace: everything left of the cursor
  EXPECT_EQ(ed.text(), "");
}

// ---- Replace mode ------------------------------------------------------------------

TEST_F(EditorKeys, ReplaceModeOverwritesAndAppendsAtTheEnd) {
  Editor ed;
  type(ed, "abc");
  key(ed, IC_Insert);
  EXPECT_FALSE(ed.insertMode);
  EXPECT_EQ(ed.status_text(), std::string(20, ' ') + "[Replace]");
  type(ed, "de");   // at the end of the line: appended
  EXPECT_EQ(ed.text(), "abcde");
  for (int i = 0; i < 4; ++i) key(ed, IC_Left);
  type(ed, "XY");
  EXPECT_EQ(ed.text(), "aXYde");
  key(ed, IC_Insert);
  type(ed, "+");   // back in insert mode, "+" runs as a command key
  EXPECT_TRUE(ed.insertMode);
}

// ---- Lexical modes -----------------------------------------------------------------

TEST_F(EditorKeys, ProgramQuotesSetAndClearPgm) {
  Editor ed;
  type(ed, "<");
  EXPECT_FALSE(ed.Pgm);
  type(ed, "<");
  EXPECT_TRUE(ed.Pgm);
  EXPECT_EQ(ed.status_text(), "       Pgm");
  type(ed, " 1 >");
  EXPECT_TRUE(ed.Pgm);
  type(ed, ">");
  EXPECT_FALSE(ed.Pgm);
  EXPECT_EQ(ed.text(), "<< 1 >>");
}

TEST_F(EditorKeys, DoubleQuoteTogglesStrAndSingleQuoteAlgOutsideStrings) {
  Editor ed;
  type(ed, "\"");
  EXPECT_EQ(ed.status_text(), "               Str");
  type(ed, "a'b");
  EXPECT_FALSE(ed.Alg);   // a quote inside a string
  type(ed, "\"");
  EXPECT_FALSE(ed.Str);
  type(ed, "'");
  EXPECT_TRUE(ed.Alg);
  EXPECT_EQ(ed.status_text(), "           Alg");
}

TEST_F(EditorKeys, CtlACyclesTheModes) {
  Editor ed;
  key(ed, ctl('A'));
  EXPECT_TRUE(ed.Pgm);
  key(ed, ctl('A'));
  EXPECT_TRUE(ed.Alg);
  EXPECT_FALSE(ed.Pgm);
  key(ed, ctl('A'));
  EXPECT_TRUE(ed.Str);
  EXPECT_FALSE(ed.Alg);
  key(ed, ctl('A'));
  EXPECT_FALSE(ed.Pgm || ed.Alg || ed.Str);
  EXPECT_EQ(ed.text(), "");
}

TEST_F(EditorKeys, ScriptsAlwaysTypeAsStrings) {
  coder().inputFd = 3;   // a script, not the terminal
  Editor ed;
  InputCode end = IC_NULL;
  EXPECT_EQ(type(ed, "3 4+", &end), Editor::HANDLED);   // "+" does not run the line
  EXPECT_EQ(ed.text(), "3 4+");
  EXPECT_TRUE(ed.Str);
}

// ---- Command keys and number entry ---------------------------------------------------

TEST_F(EditorKeys, PlusAfterNumbersFinishesTheLine) {
  Editor ed;
  InputCode end = IC_NULL;
  EXPECT_EQ(type(ed, "3 4+", &end), Editor::ENDS);
  EXPECT_EQ(end, IC_EVAL);
  EXPECT_EQ(ed.text(), "3 4 + ");
}

TEST_F(EditorKeys, CommandKeysInsideAProgramOrStringOnlyInsertTheName) {
  Editor ed;
  InputCode end = IC_NULL;
  EXPECT_EQ(type(ed, "<< 1 2+", &end), Editor::HANDLED);
  EXPECT_EQ(ed.text(), "<< 1 2 + ");
  Editor str;
  type(str, "\"a*");
  EXPECT_EQ(str.text(), "\"a*");   // in a string: no blanks around
}

TEST_F(EditorKeys, ExponentSignsAreNumberEntry) {
  Editor ed;
  EXPECT_EQ(type(ed, "1.5e-"), Editor::HANDLED);
  type(ed, "3 2E+");
  EXPECT_EQ(ed.text(), "1.5e-3 2E+");
  Editor name;
  EXPECT_EQ(type(name, "be-"), Editor::ENDS);   // "e" after a letter: the "-" command
  EXPECT_EQ(name.text(), "be - ");
}

TEST_F(EditorKeys, CtlXChangesTheSignOfTheNumberAtTheCursor) {
  Editor ed;
  type(ed, "2 12");
  key(ed, ctl('X'));
  EXPECT_EQ(ed.text(), "2 -12");
  key(ed, ctl('X'));
  EXPECT_EQ(ed.text(), "2 12");
  type(ed, "e-5");
  key(ed, ctl('X'));
  EXPECT_EQ(ed.text(), "2 -12e-5");
  EXPECT_EQ(ed.col, ed.lines.front().text.size());   // the cursor stays after the number
}

TEST_F(EditorKeys, CtlXWithoutANumberIsNeg) {
  Editor ed;
  type(ed, "x3");   // digits ending a name are no number
  InputCode end = IC_NULL;
  EXPECT_EQ(key(ed, ctl('X'), &end), Editor::ENDS);
  EXPECT_EQ(ed.text(), "x3 Neg ");
}

TEST_F(EditorKeys, CtlTInsertsTheArrow) {
  Editor ed;
  type(ed, "1 ");
  key(ed, ctl('T'));
  type(ed, "Bint");
  EXPECT_EQ(ed.text(), "1 -->Bint");
}

// ---- Pushed-aside lines, interrupts, read-only and protected buffers -----------------

TEST_F(EditorKeys, SemicolonPushesTheLineAside) {
  Editor ed;
  type(ed, "1 2");
  key(ed, IC_NewLine);
  type(ed, "3");
  key(ed, ';');
  EXPECT_TRUE(ed.is_empty());
  ASSERT_NE(ed.next, nullptr);
  EXPECT_EQ(ed.next->text(), "1 2\n3");
  EXPECT_EQ(ed.message, " Additional input buffer created.");
  type(ed, "4;");   // a second one goes in front of the first
  ASSERT_NE(ed.next->next, nullptr);
  EXPECT_EQ(ed.next->text(), "4");
  EXPECT_EQ(ed.next->next->text(), "1 2\n3");
  // The next key removes the message.
  type(ed, "5");
  EXPECT_FALSE(ed.messageShown);
  EXPECT_EQ(ed.message, "");
}

TEST_F(EditorKeys, InterruptOnAnIdleOneLineCommandLineIsIgnored) {
  Editor ed;
  type(ed, "12");
  InputCode end = IC_NULL;
  EXPECT_EQ(key(ed, IC_INT, &end), Editor::HANDLED);
  EXPECT_EQ(ed.text(), "12");
}

TEST_F(EditorKeys, InterruptClearsALongerLineAndItsModes) {
  Editor ed;
  type(ed, "<< \"a");
  key(ed, IC_NewLine);
  InputCode end = IC_NULL;
  EXPECT_EQ(key(ed, ctl('C'), &end), Editor::ENDS);
  EXPECT_EQ(end, IC_INT);
  EXPECT_TRUE(ed.is_empty());
  EXPECT_FALSE(ed.Pgm || ed.Str);
}

TEST_F(EditorKeys, ReadOnlyBuffersRefuseEveryChange) {
  Editor ed;
  ed.set_text("fixed");
  ed.readOnly = true;
  type(ed, "x");
  EXPECT_EQ(ed.text(), "fixed");
  EXPECT_EQ(ed.message, " Buffer is read-only.");
  key(ed, ';');
  EXPECT_EQ(ed.next, nullptr);
  key(ed, IC_BackSpace);
  EXPECT_EQ(ed.text(), "fixed");
  key(ed, ctl('Y'));
  EXPECT_EQ(ed.message, " Not permitted in this context.");
}

TEST_F(EditorKeys, MovesIntoAProtectedAreaAreRefused) {
  Editor ed;
  ed.set_text("header\nlonger line\nab\nthree");
  ed.protectedTop = 1;
  key(ed, IC_Down);
  EXPECT_EQ(ed.line_index(), 1u);
  key(ed, IC_Up);
  EXPECT_EQ(ed.line_index(), 1u);
  EXPECT_EQ(ed.message, " Adjoining area is protected.");
  for (int i = 0; i < 8; ++i) key(ed, IC_Right);
  key(ed, IC_Down);
  EXPECT_EQ(ed.line_index(), 2u);
  EXPECT_EQ(ed.col, 3u);   // the column follows into the shorter line
  key(ed, IC_End);
  EXPECT_EQ(ed.line_index(), 3u);
  key(ed, IC_PageUp);   // a page move stops at the protected area's edge
  EXPECT_EQ(ed.line_index(), 1u);
  key(ed, IC_Down);
  key(ed, IC_Down);
  key(ed, IC_Down);   // nothing moves down from the last line
  EXPECT_EQ(ed.line_index(), 3u);
}

TEST_F(EditorKeys, HistoryWithNothingInItSaysSo) {
  clear_history();
  Editor ed;
  type(ed, "1");
  key(ed, ctl('Y'));
  EXPECT_EQ(ed.message, " Command history is empty.");
  EXPECT_EQ(ed.text(), "1");
}

} // namespace
