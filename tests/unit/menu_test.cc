// Soft-key menus: built from the command table by name, selected by
// letter, paged by the label layout of the screen width, and run by the
// function keys as command keys.
#include <gtest/gtest.h>

#include <cstring>

#include "kor/Command.h"
#include "kor/Instruction.h"
#include "kor/Menu.h"
#include "kor/Scheduler.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

std::vector<std::string> labels_of(const OP::Entries &entries) {
  std::vector<std::string> out;
  for (const OBJ::Operand *e : entries) out.push_back(OP::entry_label(e));
  return out;
}

TEST(BuiltinMenus, EveryNameIsACommandOfTheTable) {
  OP::build_menus();
  for (char letter : std::string("BCFLNOPRSTbp")) {
    const OP::Entries *entries = OP::builtin_menu(letter);
    ASSERT_NE(entries, nullptr) << letter;
    const auto &names = OP::menu_names(letter);
    ASSERT_EQ(entries->size(), names.size()) << letter;
    for (size_t i = 0; i < names.size(); ++i) {
      const OP::Command *cmd = OP::entry_command((*entries)[i]);
      ASSERT_NE(cmd, nullptr);
      EXPECT_STREQ(cmd->name, names[i]);
      EXPECT_EQ(cmd, &OP::command(cmd->index));   // the record itself, not a copy
    }
  }
  EXPECT_EQ(OP::builtin_menu('R')->size(), 20u);
  EXPECT_EQ(OP::builtin_menu('F')->size(), 44u);
  // Letters of the legend without a built-in menu select nothing.
  for (char letter : std::string("AEHIMQUVXZ")) EXPECT_EQ(OP::builtin_menu(letter), nullptr) << letter;
}

TEST(BuiltinMenus, LabelsComeFromTheRecordsOrTheirNames) {
  OP::build_menus();
  EXPECT_EQ(labels_of(*OP::builtin_menu('P')),
            (std::vector<std::string>{"PS", "DEBUG", "FGSTOP", "FGCONT", "FGKILL", "Time", "Clock",
                                      "ClockHz", "Return", "Stop"}));
  EXPECT_EQ(labels_of(*OP::builtin_menu('b')), (std::vector<std::string>{"DUP", "DROP", "SWAP", "CLEAR"}));
  EXPECT_EQ(labels_of(*OP::builtin_menu('p')),
            (std::vector<std::string>{"DEBUG", "CONT", "STOP", "KILL", "JOIN"}));
  EXPECT_EQ(labels_of(*OP::builtin_menu('T')).front(), "Sin");
}

TEST(BuiltinMenus, AVariableEntryStandsForTheCommandItHolds) {
  const OP::Command *neg = OP::find("Neg", 3, false);
  ASSERT_NE(neg, nullptr);
  OBJ::Variable var("flip", OBJ::Instruction::create(*neg, nullptr));
  EXPECT_EQ(OP::entry_command(&var), neg);
  EXPECT_EQ(OP::entry_label(&var), "flip");
  OBJ::Variable empty("nothing", nullptr);
  EXPECT_EQ(OP::entry_command(&empty), nullptr);
  EXPECT_EQ(OP::entry_command(nullptr), nullptr);
}

// ---- Selection and paging --------------------------------------------------------

class MenuPaging : public testing::Test {
protected:
  void SetUp() override {
    OP::build_menus();
    OP::select_menu(menu, 'R', false);
  }
  void TearDown() override {
    OP::default_menu().entries = nullptr;
    OP::default_menu().pageStart = 0;
  }
  OP::Menu menu;
};

TEST_F(MenuPaging, RealMenuAt80ColumnsHasThreePagesAndWraps) {
  // Pages of 8 (Neg .. Pi), 8 (Floor .. Catalan) and the last four.
  EXPECT_EQ(OP::page_size(menu, 0, 80), 8);
  EXPECT_EQ(OP::page_size(menu, 8, 80), 8);
  EXPECT_EQ(OP::page_size(menu, 16, 80), 7);   // four labels and three empty places
  OP::next_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 8u);
  OP::next_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 16u);
  OP::next_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 0u);   // past the last page: the first again
}

TEST_F(MenuPaging, PreviousPageFromTheFirstGoesToTheLast) {
  OP::previous_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 16u);
  OP::previous_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 8u);
  OP::previous_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 0u);
  // From a start that is no page boundary: the last page start before it.
  menu.pageStart = 10;
  OP::previous_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 8u);
}

TEST_F(MenuPaging, NarrowScreensHaveSmallerPages) {
  EXPECT_LE(OP::page_size(menu, 0, 40), 5);
  size_t pages = 0;
  do {
    OP::next_page(menu, 40);
    ++pages;
  } while (menu.pageStart != 0 && pages < 20);
  EXPECT_GE(pages, 4u);
  EXPECT_EQ(menu.pageStart, 0u);
}

TEST_F(MenuPaging, AMenuOfOnePageStaysOnIt) {
  OP::select_menu(menu, 'N', false);   // three entries
  OP::next_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 0u);
  OP::previous_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 0u);
}

TEST_F(MenuPaging, MissingListOrStartOutsideIt) {
  OP::Menu none;
  none.pageStart = 3;
  OP::next_page(none, 80);
  EXPECT_EQ(none.pageStart, 0u);
  none.pageStart = 3;
  OP::previous_page(none, 80);
  EXPECT_EQ(none.pageStart, 3u);
  menu.pageStart = 100;
  OP::previous_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 100u);
  OP::next_page(menu, 80);
  EXPECT_EQ(menu.pageStart, 0u);
}

TEST_F(MenuPaging, SelectingStartsAtTheFirstPageAndUnknownLettersChangeNothing) {
  menu.pageStart = 8;
  OP::select_menu(menu, 'Q', true);   // in the legend, but no built-in menu
  EXPECT_EQ(menu.entries, OP::builtin_menu('R'));
  EXPECT_EQ(menu.pageStart, 8u);
  EXPECT_EQ(OP::default_menu().entries, nullptr);
  OP::select_menu(menu, 'T', false);
  EXPECT_EQ(menu.entries, OP::builtin_menu('T'));
  EXPECT_EQ(menu.pageStart, 0u);
  EXPECT_EQ(OP::default_menu().entries, nullptr);   // not remembered
}

TEST_F(MenuPaging, ARememberedMenuIsWhereTheNextEditorStarts) {
  OP::Menu fresh;
  OP::start_menu(fresh);
  EXPECT_EQ(fresh.entries, OP::builtin_menu('R'));   // nothing remembered: Real
  OP::select_menu(menu, 'S', true);
  menu.pageStart = 8;
  OP::remember_menu(menu);
  Editor ed;
  EXPECT_EQ(ed.menu.entries, OP::builtin_menu('S'));
  EXPECT_EQ(ed.menu.pageStart, 8u);
}

// ---- Running entries --------------------------------------------------------------

class MenuKeys : public screen::ScreenTest {};

TEST_F(MenuKeys, F1RunsTheFirstEntryOfThePageAsACommandKey) {
  Editor ed;
  OP::select_menu(ed.menu, 'R', false);
  type(ed, "5");
  InputCode end = IC_NULL;
  // Neg stands alone: its name goes in after a blank and the line is done.
  EXPECT_EQ(key(ed, fkey(1), &end), Editor::ENDS);
  EXPECT_EQ(end, IC_EVAL);
  EXPECT_EQ(ed.text(), "5 Neg ");
}

TEST_F(MenuKeys, PagingChangesWhatTheFunctionKeysRun) {
  Editor ed;
  OP::select_menu(ed.menu, 'R', false);
  key(ed, ctl('N'));
  EXPECT_EQ(ed.menu.pageStart, 8u);
  EXPECT_EQ(key(ed, fkey(2)), Editor::ENDS);   // Ceil
  EXPECT_EQ(ed.text(), "Ceil ");
  Editor again;
  OP::select_menu(again.menu, 'R', false);
  key(again, ctl('P'));
  EXPECT_EQ(again.menu.pageStart, 16u);
  key(again, IC_ShiftF1 + 1);   // Shift-F2 is F2: MinR
  EXPECT_EQ(again.text(), "MinR ");
}

TEST_F(MenuKeys, KeysBeyondThePageOrTheListDoNothing) {
  Editor ed;
  OP::select_menu(ed.menu, 'N', false);   // Integ, KGauss, SqKGauss
  display().show_labels(ed.menu, false);
  EXPECT_FALSE(OP::run_entry(ed, 3));   // inside the page, past the list
  EXPECT_FALSE(OP::run_entry(ed, ed.menu.pageSize));
  EXPECT_FALSE(OP::run_entry(ed, -1));
  key(ed, fkey(10));
  EXPECT_EQ(ed.text(), "");
  Editor none;
  none.menu.entries = nullptr;
  key(none, fkey(1));
  EXPECT_EQ(none.text(), "");
}

TEST_F(MenuKeys, MenuLetterSelectsAndRemembersOnTheCommandLine) {
  Editor ed;
  key(ed, menu_key('T'));
  EXPECT_EQ(ed.menu.entries, OP::builtin_menu('T'));
  EXPECT_EQ(OP::default_menu().entries, OP::builtin_menu('T'));
  key(ed, menu_key('Q'));   // Stat: no built-in menu, nothing changes
  EXPECT_EQ(ed.menu.entries, OP::builtin_menu('T'));
  key(ed, menu_key('H'));   // the main map makes Menu-H the help key
  EXPECT_EQ(ed.menu.entries, OP::builtin_menu('T'));
  // The label row shows the new menu.
  EXPECT_EQ(row(12).substr(0, 10), "  1  Sin  ");
}

TEST_F(MenuKeys, ProcessMenuStopsAndRestartsTheForegroundStream) {
  Editor ed;
  OP::select_menu(ed.menu, 'P', false);
  display().show_labels(ed.menu, false);
  key(ed, fkey(3));   // FGSTOP
  EXPECT_EQ(scheduler().fgPid, STREAM_STOPPED);
  EXPECT_FALSE(scheduler().streamRunning);
  key(ed, fkey(4));   // FGCONT
  EXPECT_EQ(scheduler().fgPid, 0);
  EXPECT_TRUE(scheduler().streamRunning);
  EXPECT_EQ(ed.text(), "");   // interactive commands put nothing on the line
  key(ed, fkey(2));   // DEBUG is not built
  EXPECT_EQ(row(21), " DEBUG Error: Routine Under Construction...");
}

} // namespace
