// The views on a cell grid with scripted keys: the command history with its
// pick, reload and read-only text; Browse and every key on the selected
// level, the "Swap" error at the top, the menu "b" and its entries, the
// lock it holds and the undo copy; Visit with a stored edit, refused edits
// that keep the text, and the round trip of edit forms; UNDO and the busy
// contexts.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "kor/BrowseView.h"
#include "kor/Parser.h"
#include "kor/Real.h"
#include "kor/VisitView.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

// Geometry of 24 x 80: the stack pane on rows 2 to 10, errors about the
// stack and the views' messages on row 11, labels on 12, the command line
// from row 14, its messages on row 21.
constexpr int PANE_TOP = 2, PANE_BOTTOM = 10, VIEW_MESSAGE = 11, LABELS = 12, LOWER_MESSAGE = 21;

int key_of(const char *name) { return fake::curses_key(name); }

class Views : public screen::ScreenTest {
protected:
  void SetUp() override {
    screen::ScreenTest::SetUp();
    undo_context().main.clear();
    Parser &q = parser();
    q.lock();
    savedHistory_.swap(q.history);
    q.unlock(false);
  }
  void TearDown() override {
    Parser &q = parser();
    q.lock();
    for (Editor *e : q.history) delete e;
    q.history.clear();
    savedHistory_.swap(q.history);
    q.unlock(false);
    undo_context().main.clear();
    keys.atMark = nullptr;
    screen::ScreenTest::TearDown();
  }

  static Stack &stack() { return main_context().main; }
  static void push_reals(std::initializer_list<double> values) {
    for (double v : values) stack().push(Entry::real(v));
  }
  // The stack as reals, deepest first (NaN for an entry of another type).
  static std::vector<double> reals(const Stack &s) {
    std::vector<double> out;
    for (size_t k = s.depth(); k >= 1; --k)
      out.push_back(s.level(k).tag == OBJ::REAL ? s.level(k).v.r : -999.0);
    return out;
  }
  static std::vector<double> reals() { return reals(stack()); }

  // Keys for the next view, ending with the one that leaves it.
  void script(std::vector<int> codes) {
    for (int c : codes) keys.keys.push_back(c);
  }
  // A snapshot of the screen at this point of the script.
  void snapshot() { keys.keys.push_back(fake::Keys::MARK); }
  void on_snapshot(std::function<void()> f) { keys.atMark = std::move(f); }

  // A command line compiled earlier, newest last.
  static void remember(const std::string &text) {
    Editor *e = new Editor;
    e->set_text(text);
    Parser &q = parser();
    q.lock();
    q.history.push_front(e);
    q.unlock(false);
  }

  static bool main_is_free() {
    if (main_context().trylock() != 0) return false;
    main_context().unlock();
    return true;
  }

  const int UP = key_of("KEY_UP"), DOWN = key_of("KEY_DOWN"), BS = key_of("KEY_BACKSPACE"),
            DEL = key_of("KEY_DC"), HOME = key_of("KEY_HOME"), END = key_of("KEY_END"),
            F1 = key_of("KEY_F(1)");
  static constexpr int ESC = 27, ENTER = '\r', CTL_C = 3, CTL_V = 22, CTL_W = 23;

private:
  std::deque<Editor *> savedHistory_;
};

// ---- Command history ------------------------------------------------------------------

TEST_F(Views, AnEmptyHistorySaysSoAndLeavesTheLineAlone) {
  Editor ed;
  type(ed, "1 2");
  script({'x'});
  key(ed, 25);   // Ctl-Y
  EXPECT_EQ(ed.message, " Command history is empty.");
  EXPECT_EQ(row(LOWER_MESSAGE), "  Command history is empty.");
  EXPECT_EQ(ed.text(), "1 2");
  EXPECT_EQ(keys.keys.size(), 1u);   // no view ran
  EXPECT_EQ(grid->beeps, 0);        // a message, not an error
}

TEST_F(Views, TheHistoryListsNewestFirstAndEnterPicksTheCursorLine) {
  remember("1 2 +");
  remember("  3\n4 *");   // leading blanks are not listed; lines joined by a line feed
  remember("5 Neg");
  Editor ed;
  type(ed, "typed");
  std::vector<std::string> shown;
  on_snapshot([&] {
    for (int r = PANE_TOP; r <= PANE_TOP + 3; ++r) shown.push_back(row(r));
  });
  script({DOWN});
  snapshot();
  script({ENTER});
  key(ed, 25);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], "  Select a command line:");
  EXPECT_EQ(shown[1], " 5 Neg");
  EXPECT_EQ(shown[2].substr(0, 2), " 3");
  EXPECT_EQ(shown[2].substr(3), "4 *");   // the line feed in between is drawn as one cell
  EXPECT_EQ(shown[3], " 1 2 +");
  // The chosen entry, whole, with the cursor at its start.
  EXPECT_EQ(ed.text(), "  3\n4 *");
  EXPECT_EQ(ed.line_index(), 0u);
  EXPECT_EQ(ed.col, 1u);
  // The line being edited comes back later.
  ASSERT_NE(ed.next, nullptr);
  EXPECT_EQ(ed.next->text(), "typed");
  EXPECT_EQ(row(14), "   3");
  EXPECT_EQ(row(LABELS).substr(0, 8), "  1  Neg");   // the screen is the command line's again
}

TEST_F(Views, PickingWithAnEmptyLinePutsNothingAside) {
  remember("7 8");
  Editor ed;
  script({ENTER});
  key(ed, 25);
  EXPECT_EQ(ed.text(), "7 8");
  EXPECT_EQ(ed.next, nullptr);
}

TEST_F(Views, TheHistoryIsReadOnlyAndClosesWithQOrCtlC) {
  remember("1 2 +");
  for (int leave : {int('q'), int('Q'), CTL_C}) {
    Editor ed;
    type(ed, "kept");
    std::string message;
    on_snapshot([&] { message = row(VIEW_MESSAGE); });
    script({'x'});
    snapshot();
    script({leave});
    key(ed, 25);
    EXPECT_EQ(message, "    Buffer is read-only.") << leave;
    EXPECT_EQ(ed.text(), "kept") << leave;
    EXPECT_EQ(ed.next, nullptr) << leave;
    EXPECT_TRUE(keys.keys.empty()) << leave;
  }
}

TEST_F(Views, ANewHistoryLineReloadsTheOpenView) {
  remember("old");
  Editor ed;
  std::string newest;
  on_snapshot([&] {
    remember("new");   // another command line finished meanwhile
    coder().post_event(IC_COMP);
  });
  snapshot();
  script({ENTER});
  key(ed, 25);
  EXPECT_EQ(ed.text(), "new");   // the cursor line is the newest entry after the reload
}

TEST_F(Views, CtlYIsRefusedInAReadOnlyBuffer) {
  remember("1");
  Editor ed;
  ed.readOnly = true;
  key(ed, 25);
  EXPECT_EQ(ed.message, " Not permitted in this context.");
}

// ---- Browse ---------------------------------------------------------------------------

TEST_F(Views, BrowseOnAnEmptyStackDoesNothing) {
  Editor ed;
  script({'x'});
  key(ed, 2);
  EXPECT_EQ(keys.keys.size(), 1u);   // no view read the key
  EXPECT_TRUE(main_is_free());
  EXPECT_EQ(row(VIEW_MESSAGE), "");
  EXPECT_TRUE(ed.is_empty());
}

TEST_F(Views, BrowseShowsTheListingWithTheMenuBAndHoldsTheMainContext) {
  push_reals({10, 20, 30});
  Editor ed;
  std::vector<std::string> pane;
  std::string labels;
  bool freeInside = true, browsing = false;
  on_snapshot([&] {
    for (int r = PANE_TOP; r <= PANE_BOTTOM; ++r) pane.push_back(row(r));
    labels = row(LABELS);
    freeInside = main_is_free();
    browsing = display().browsing;
  });
  snapshot();
  script({'q'});
  key(ed, 2);
  ASSERT_EQ(pane.size(), 9u);
  // Level 1 stays on the pane's bottom row, as in the stack pane.
  for (int r = 0; r < 6; ++r) EXPECT_EQ(pane[static_cast<size_t>(r)], "") << r;
  EXPECT_EQ(pane[6].substr(0, 4), "  3:");
  EXPECT_EQ(pane[8].substr(0, 4), "  1:");
  EXPECT_EQ(pane[8].back(), '0');
  for (const char *label : {"DUP", "DROP", "SWAP", "CLEAR"})
    EXPECT_NE(labels.find(label), std::string::npos) << labels;
  EXPECT_FALSE(freeInside);
  EXPECT_TRUE(browsing);
  // Afterwards: released, browse mode off, the command line's menu back.
  EXPECT_TRUE(main_is_free());
  EXPECT_FALSE(display().browsing);
  EXPECT_EQ(row(LABELS).substr(0, 8), "  1  Neg");
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 30}));
}

TEST_F(Views, BackSpaceDropsTheSelectedLevel) {
  push_reals({10, 20, 30, 40, 50});
  Editor ed;
  script({UP, BS, 'q'});   // level 2
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 30, 50}));
}

TEST_F(Views, CtlWSwapsWithTheLevelAboveAndFollowsTheObject) {
  push_reals({10, 20, 30, 40, 50});
  Editor ed;
  // Level 3 (30) moves up twice, to level 1; a third Ctl-W is at the top.
  std::string error;
  on_snapshot([&] { error = row(VIEW_MESSAGE); });
  script({UP, UP, CTL_W, CTL_W, CTL_W});
  snapshot();
  script({UP, BS, 'q'});   // the view is still open: this drops level 2
  key(ed, 2);
  EXPECT_EQ(error, "   Swap Error: Too Few Arguments");
  // 10 20 40 50 30 after the swaps, and then 50 dropped.
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 40, 30}));
}

TEST_F(Views, MetaBackSpaceKeepsTheLevelsDownToTheSelectedOne) {
  push_reals({10, 20, 30, 40, 50});
  Editor ed;
  script({UP, UP, ESC, BS, 'q'});   // level 3
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{30, 40, 50}));
}

TEST_F(Views, DeleteDropsTheSelectedLevelAndTheLevelsAboveIt) {
  push_reals({10, 20, 30, 40, 50});
  Editor ed;
  script({UP, DEL, 'q'});   // level 2
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 30}));
}

TEST_F(Views, EnterRollsTheSelectedLevelToTheTop) {
  push_reals({10, 20, 30, 40, 50});
  Editor ed;
  // Level 4 (20) to the top; the cursor goes with it, so Enter again does nothing.
  script({UP, UP, UP, ENTER, ENTER, 'q'});
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{10, 30, 40, 50, 20}));
}

TEST_F(Views, QuoteCopiesTheLevelIntoTheCommandLineAndBackQuoteMovesIt) {
  push_reals({10, 20.5, 30});
  Editor ed;
  type(ed, "1");
  script({UP, '\'', 'q'});
  key(ed, 2);
  EXPECT_EQ(ed.text(), "1 20.5 ");
  EXPECT_EQ(reals(), (std::vector<double>{10, 20.5, 30}));
  script({UP, UP, '`', 'q'});
  key(ed, 2);
  EXPECT_EQ(ed.text(), "1 20.5 10 ");
  EXPECT_EQ(reals(), (std::vector<double>{20.5, 30}));
}

TEST_F(Views, CopiesIntoAReadOnlyCommandLineAreRefused) {
  push_reals({1, 2});
  Editor ed;
  ed.readOnly = true;
  std::string message;
  on_snapshot([&] { message = row(VIEW_MESSAGE); });
  script({'`'});
  snapshot();
  script({'q'});
  key(ed, 2);
  EXPECT_EQ(message, "    Buffer is read-only.");
  EXPECT_EQ(reals(), (std::vector<double>{1, 2}));   // nothing moved
  EXPECT_TRUE(ed.is_empty());
}

TEST_F(Views, HomeSelectsTheDeepestLevelOfATallStack) {
  for (int i = 1; i <= 20; ++i) stack().push(Entry::real(i));
  Editor ed;
  script({HOME, BS, END, BS, 'q'});
  key(ed, 2);
  std::vector<double> want;
  for (int i = 2; i <= 19; ++i) want.push_back(i);
  EXPECT_EQ(reals(), want);
}

TEST_F(Views, TheMenuBEntriesActOnTheSelectedLevel) {
  push_reals({10, 20, 30});
  Editor ed;
  script({UP, F1, 'q'});   // DUP of level 2
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 20, 30}));
  script({UP, UP, F1 + 1, 'q'});   // DROP of level 3
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 30}));
  script({UP, F1 + 2, 'q'});   // SWAP of level 2 with level 1
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{10, 30, 20}));
  std::string error;
  on_snapshot([&] { error = row(VIEW_MESSAGE); });
  script({F1 + 2});   // SWAP at the top
  snapshot();
  script({F1 + 3});   // CLEAR; the empty stack then lets any key leave
  script({'x'});
  key(ed, 2);
  EXPECT_EQ(error, "   Swap Error: Too Few Arguments");
  EXPECT_EQ(stack().depth(), 0u);
  EXPECT_TRUE(keys.keys.empty());
  EXPECT_TRUE(main_is_free());
}

TEST_F(Views, TheStackEntriesOfMenuBAreRefusedOutsideBrowse) {
  Editor ed;
  OP::select_menu(ed.menu, 'b', false);
  display().show_labels(ed.menu, false);
  push_reals({1, 2});
  key(ed, fkey(1));
  EXPECT_EQ(ed.message, " Not permitted in this context.");
  EXPECT_EQ(reals(), (std::vector<double>{1, 2}));
}

TEST_F(Views, ChangesInBrowseCanBeUndoneAsOneStep) {
  push_reals({1, 2, 3});
  undo_context().main.push(Entry::real(99));
  Editor ed;
  script({BS, BS, 'q'});
  key(ed, 2);
  EXPECT_EQ(reals(), (std::vector<double>{1}));
  key(ed, 21);   // Ctl-U
  EXPECT_EQ(reals(), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(reals(undo_context().main), (std::vector<double>{1}));
}

TEST_F(Views, BrowsingWithoutAChangeLeavesTheUndoStackAlone) {
  push_reals({1, 2});
  undo_context().main.push(Entry::real(99));
  Editor ed;
  script({UP, DOWN, 'q'});
  key(ed, 2);
  EXPECT_EQ(reals(undo_context().main), (std::vector<double>{99}));
}

TEST_F(Views, KeysOfTheCommandLineInBrowseMeetTheLockOrTheReadOnlyText) {
  push_reals({1, 2});
  Editor ed;
  std::vector<std::string> seen;
  on_snapshot([&] { seen.push_back(row(VIEW_MESSAGE) + "|" + row(LOWER_MESSAGE)); });
  script({21});   // Ctl-U: the view holds the main context
  snapshot();
  script({15});   // Ctl-O
  snapshot();
  script({2});    // Ctl-B inside the view
  snapshot();
  script({'+'});  // a command key
  snapshot();
  script({'q'});
  key(ed, 2);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], "   UNDO Error: Main Stack In Use|");
  EXPECT_EQ(seen[1], "| Options Error: Main Stack In Use");   // below the command line
  EXPECT_EQ(seen[2], "    Not permitted in this context.|");
  EXPECT_EQ(seen[3], "    Buffer is read-only.|");
  EXPECT_EQ(reals(), (std::vector<double>{1, 2}));
}

// ---- Busy contexts ----------------------------------------------------------------

TEST_F(Views, ABusyMainContextRefusesBrowseVisitUndoAndOptions) {
  push_reals({1});
  Editor ed;
  main_context().lock();   // a program runs
  script({'q'});
  key(ed, 2);
  EXPECT_EQ(row(VIEW_MESSAGE), "   Browse Error: Main Stack In Use");
  key(ed, 22);
  EXPECT_EQ(row(VIEW_MESSAGE), "   Visit Error: Main Stack In Use");
  key(ed, 21);
  EXPECT_EQ(row(VIEW_MESSAGE), "   UNDO Error: Main Stack In Use");
  key(ed, 15);
  EXPECT_EQ(row(LOWER_MESSAGE), " Options Error: Main Stack In Use");
  main_context().unlock();
  EXPECT_EQ(keys.keys.size(), 1u);   // no view opened
  EXPECT_EQ(reals(), (std::vector<double>{1}));
}

TEST_F(Views, UndoExchangesTheStacksUnlessTheUndoContextIsBusy) {
  push_reals({1, 2});
  undo_context().main.push(Entry::real(9));
  Editor ed;
  key(ed, 21);
  EXPECT_EQ(reals(), (std::vector<double>{9}));
  EXPECT_EQ(reals(undo_context().main), (std::vector<double>{1, 2}));
  undo_context().lock();
  key(ed, 21);
  undo_context().unlock();
  EXPECT_EQ(row(VIEW_MESSAGE), "   UNDO Error: Undo Stack In Use");
  EXPECT_EQ(reals(), (std::vector<double>{9}));
  key(ed, 21);
  EXPECT_EQ(reals(), (std::vector<double>{1, 2}));
}

// ---- Visit -----------------------------------------------------------------------------

TEST_F(Views, VisitStoresAnEditedNumber) {
  push_reals({7, 1.5});
  Editor ed;
  std::vector<std::string> pane;
  on_snapshot([&] { pane = {row(PANE_TOP), row(PANE_TOP + 1)}; });
  snapshot();
  script({BS, BS, BS, '2', '.', '2', '5', ENTER});
  key(ed, 22);
  ASSERT_EQ(pane.size(), 2u);
  EXPECT_EQ(pane[0], "  Edit level 1 (Enter stores, Ctl-C keeps it)");
  EXPECT_EQ(pane[1], " 1.5");
  EXPECT_EQ(reals(), (std::vector<double>{7, 2.25}));
  EXPECT_TRUE(main_is_free());
  EXPECT_EQ(row(PANE_BOTTOM).substr(0, 4), "  1:");   // the stack pane is back
}

TEST_F(Views, VisitTypesTheLettersThatMoveInOtherViews) {
  Entry s;
  ASSERT_EQ(VisitView::read_one("\"ab\"", main_context(), &s), "");
  stack().push(s);
  Editor ed;
  script({key_of("KEY_LEFT"), key_of("KEY_LEFT"), 'q', ' ', 'd', 'u', 'b', 'f', 'h', 'j', 'k', 'l',
          'Q', ENTER});
  key(ed, 22);
  ASSERT_EQ(stack().depth(), 1u);
  EXPECT_EQ(VisitView::edit_text(main_context(), 1), "\"aq dubfhjklQb\"");
}

TEST_F(Views, CommandKeysInVisitOnlyInsertTheirNames) {
  Entry program;
  ASSERT_EQ(VisitView::read_one("<< 1 >>", main_context(), &program), "");
  stack().push(program);
  Editor ed;
  // Before ">>": "+" is inserted with its blanks and does not end the edit.
  script({key_of("KEY_LEFT"), key_of("KEY_LEFT"), 'D', 'r', 'o', 'p', ' ', '2', '+', ENTER});
  key(ed, 22);
  Entry want;
  ASSERT_EQ(VisitView::read_one("<< 1 Drop 2 + >>", main_context(), &want), "");
  ASSERT_EQ(stack().depth(), 1u);
  ASSERT_EQ(stack().level(1).tag, OBJ::PROGRAM);
  EXPECT_TRUE(stack().level(1).v.p->equals(*want.v.p))
      << VisitView::edit_text(main_context(), 1);
  stack().drop_entry(want);
}

TEST_F(Views, ARefusedEditKeepsTheTextAndCtlCKeepsTheObject) {
  push_reals({5});
  Editor ed;
  std::vector<std::string> seen;
  on_snapshot([&] {
    seen.push_back(row(VIEW_MESSAGE));
    seen.push_back(row(PANE_TOP + 1));
  });
  script({' ', '6', ENTER});   // two objects
  snapshot();
  script({' ', 'S', 'i', 'n', ENTER});   // and a command
  snapshot();
  script({CTL_C});
  key(ed, 22);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], "    One object can be stored, and the text holds more.");
  EXPECT_EQ(seen[1], " 5 6");
  EXPECT_EQ(seen[2], "    One object can be stored, and the text holds more.");
  EXPECT_EQ(seen[3], " 5 6 Sin");
  EXPECT_GE(grid->beeps, 2);
  EXPECT_EQ(reals(), (std::vector<double>{5}));
  EXPECT_TRUE(main_is_free());
}

TEST_F(Views, TextThatIsNotOneObjectIsRefusedWithItsReason) {
  Context &cx = main_context();
  Entry e = Entry::sentinel();
  EXPECT_EQ(VisitView::read_one("Sin", cx, &e), " \"Sin\" is a command, not an object.");
  EXPECT_EQ(VisitView::read_one("   ", cx, &e), " No object to store: the text is empty.");
  EXPECT_EQ(VisitView::read_one("1 2", cx, &e), " One object can be stored, and the text holds more.");
  EXPECT_EQ(VisitView::read_one("1; 2", cx, &e), " One object can be stored, and the text holds more.");
  EXPECT_EQ(VisitView::read_one("If", cx, &e), " Syntax Error: Structure Not Allowed.");
  EXPECT_EQ(VisitView::read_one("1 )", cx, &e), " Syntax Error: Unbalanced Delimiter.");
  EXPECT_EQ(VisitView::read_one("abc", cx, &e), " Syntax Error: Unknown Operand Type.");
  EXPECT_EQ(e.tag, OBJ::INVALID);   // nothing was handed out
  EXPECT_EQ(VisitView::read_one("4;", cx, &e), "");   // one program, ended by ";"
  EXPECT_EQ(e.tag, OBJ::REAL);
  EXPECT_EQ(e.v.r, 4.0);
}

TEST_F(Views, EditFormsReadBackAsTheSameObject) {
  Context &cx = main_context();
  // Values whose short display would not survive a round trip.
  stack().push(Entry::real(0.1));
  stack().push(Entry::real(1.0 / 3.0));
  stack().push(Entry::real(-2.5e-300));
  stack().push(Entry::binary(0x1234abcdULL));
  const char *texts[] = {"\"a b\"", "{ 1 \"x\" }", "<< 1 2 + >>", "(1, 2)", "'y'"};
  for (const char *t : texts) {
    Entry e;
    ASSERT_EQ(VisitView::read_one(t, cx, &e), "") << t;
    stack().push(e);
  }
  for (size_t k = 1; k <= stack().depth(); ++k) {
    std::string text = VisitView::edit_text(cx, k);
    Entry back;
    ASSERT_EQ(VisitView::read_one(text, cx, &back), "") << text;
    const Entry &orig = stack().level(k);
    ASSERT_EQ(back.tag, orig.tag) << text;
    if (orig.tag == OBJ::REAL) EXPECT_EQ(back.v.r, orig.v.r) << text;
    else if (orig.tag == OBJ::BINARY) EXPECT_EQ(back.v.b, orig.v.b) << text;
    else EXPECT_TRUE(back.v.p->equals(*orig.v.p)) << text;
    stack().drop_entry(back);
  }
}

TEST_F(Views, VisitOnAnEmptyStackIsAnError) {
  Editor ed;
  script({'x'});
  key(ed, 22);
  EXPECT_EQ(row(VIEW_MESSAGE), "   Visit Error: Too Few Arguments");
  EXPECT_EQ(keys.keys.size(), 1u);
}

TEST_F(Views, VisitFromBrowseEditsTheSelectedLevel) {
  push_reals({10, 20, 30});
  undo_context().main.push(Entry::real(99));
  Editor ed;
  std::string header;
  on_snapshot([&] { header = row(PANE_TOP); });
  script({UP, UP, CTL_V});
  snapshot();
  script({BS, BS, '4', '2', ENTER, BS, 'q'});   // then BackSpace in Browse drops the new level 3
  key(ed, 2);
  EXPECT_EQ(header, "  Edit level 3 (Enter stores, Ctl-C keeps it)");
  EXPECT_EQ(reals(), (std::vector<double>{20, 30}));
  // Both changes are one undo step.
  key(ed, 21);
  EXPECT_EQ(reals(), (std::vector<double>{10, 20, 30}));
}

} // namespace
