// The help view on a cell grid: which word the Help key asks about, the
// pages it shows, the function keys and menu keys inside it, scrolling and
// closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kor/Command.h"
#include "kor/HelpView.h"
#include "unit/screen_fixture.h"

using namespace KOR;

namespace {

class HelpViewTest : public screen::ScreenTest {
protected:
  // The command the Help key would show for `text` with the cursor at `col`.
  static std::string asked(const std::string &text, size_t col, std::string *word = nullptr) {
    Editor ed;
    ed.set_text(text);
    ed.col = col;
    std::string w;
    const OP::Command *c = HelpView::command_at(ed, &w);
    if (word) *word = w;
    return c ? c->name : "-";
  }

  static Editor::Result view_key(HelpView &v, InputCode code) {
    InputCode end = IC_NULL;
    return v.ed.handle_key(code, view_map(), HelpView::keys, &end);
  }

  static bool view_has(const HelpView &v, const std::string &text) {
    for (const OBJ::Line &l : v.ed.lines)
      if (l.text.find(text) != std::string::npos) return true;
    return false;
  }

  static std::string first_line(const HelpView &v) { return v.ed.lines.front().text.substr(1); }

  // The rows of the stack pane, captured while a view runs.
  std::vector<std::string> pane() const {
    std::vector<std::string> out;
    for (int r = 2; r <= 10; ++r) out.push_back(row(r));
    return out;
  }
  static bool has(const std::vector<std::string> &rows, const std::string &text) {
    for (const std::string &r : rows)
      if (r.find(text) != std::string::npos) return true;
    return false;
  }
};

TEST_F(HelpViewTest, TheWordAtOrBeforeTheCursor) {
  EXPECT_EQ(asked("3 4 Sqrt", 9), "Sqrt");       // at the end, right after the word
  EXPECT_EQ(asked("3 4 Sqrt   ", 12), "Sqrt");   // blanks after it
  EXPECT_EQ(asked("Sqrt Dup", 3), "Sqrt");       // inside the first word
  EXPECT_EQ(asked("Sqrt Dup", 5), "Sqrt");       // on the blank after it
  EXPECT_EQ(asked("Sqrt Dup", 6), "Dup");        // on the first letter of the next
  EXPECT_EQ(asked("  Dup", 1), "-");             // nothing before, a blank under the cursor
  EXPECT_EQ(asked("sin", 4), "Sin");             // aliases count
  EXPECT_EQ(asked("to_real", 1), "-->Real");
  EXPECT_EQ(asked("-->Real", 4), "-->Real");
  EXPECT_EQ(asked("1 2 +", 6), "+");
  EXPECT_EQ(asked("EDITPROC", 9), "EDITPROC");   // the interactive commands too
  EXPECT_EQ(asked("REALPUSH", 9), "-");          // internal names are not for users
  EXPECT_EQ(asked("SIN", 4), "-");               // names are case-sensitive
  std::string word;
  EXPECT_EQ(asked("3 foo", 6, &word), "-");
  EXPECT_EQ(word, "foo");
  EXPECT_EQ(asked("", 1, &word), "-");
  EXPECT_EQ(word, "");
}

TEST_F(HelpViewTest, ACommandPageHasTitleBriefAndLongHelp) {
  const OP::Command &sin = OP::command(OP::ifn_Sin);
  std::vector<std::string> page = HelpView::command_page(sin, 78);
  ASSERT_GE(page.size(), 3u);
  EXPECT_EQ(page[0], "Sin   also: sin   menu: Trig (Menu-T)");
  EXPECT_EQ(page[1], sin.brief);
  EXPECT_TRUE(has(page, "Example:"));
  EXPECT_TRUE(has(page, "Types:"));
  // A command in two menus names both; an alias that is no lower-case name shows.
  std::vector<std::string> real = HelpView::command_page(OP::command(OP::ifn_TO_REAL), 78);
  EXPECT_EQ(real[0], "-->Real   also: to_real   menu: Binary (Menu-B), Complex (Menu-C)");
  // Interactive commands show their label and view.
  std::vector<std::string> kill = HelpView::command_page(OP::command(OP::ifn_PROCKILL), 78);
  EXPECT_EQ(kill[0], "PROCKILL   label: KILL   menu: process view");
}

TEST_F(HelpViewTest, PagesWrapToTheWidth) {
  for (int width : {38, 50, 78}) {
    for (uint32_t i = 0; i < OP::IFN_COUNT; ++i) {
      const OP::Command &c = OP::command(static_cast<OP::ifnEnum>(i));
      if (!c.visible() && c.kind() != OP::INTER) continue;
      std::string all;
      for (const std::string &l : HelpView::command_page(c, width)) {
        EXPECT_LE(l.size(), static_cast<size_t>(width)) << c.name << ": " << l;
        all += l + " ";
      }
      // Nothing of the brief help is lost by wrapping.
      std::string brief = c.brief;
      for (size_t p = 0, q; p < brief.size(); p = q + 1) {
        q = brief.find(' ', p);
        if (q == std::string::npos) q = brief.size();
        EXPECT_NE(all.find(brief.substr(p, q - p)), std::string::npos) << c.name << " at " << width;
      }
    }
  }
}

TEST_F(HelpViewTest, TheMenuPageListsTheFunctionKeysOfThePage) {
  Editor cmd;
  OP::select_menu(cmd.menu, 'T', false);
  display().show_labels(cmd.menu, false);
  std::vector<std::string> page = HelpView::menu_page(cmd.menu, "\"foo\" is not a command.", 78);
  EXPECT_EQ(page[0], "Help");
  EXPECT_EQ(page[1], "\"foo\" is not a command.");
  EXPECT_TRUE(has(page, std::string("F1  Sin      ") + OP::command(OP::ifn_Sin).brief));
  EXPECT_TRUE(has(page, std::string("F2  Asin     ")));
  std::string last = "F" + std::to_string(cmd.menu.pageSize) + " ";
  EXPECT_TRUE(has(page, last));
  EXPECT_FALSE(has(page, "F" + std::to_string(cmd.menu.pageSize + 1) + " "));
}

TEST_F(HelpViewTest, TheHelpKeyShowsTheCommandAtTheCursorUntilQ) {
  Editor cmd;
  type(cmd, "2 Sqrt");
  std::vector<std::string> shown;
  keys.atMark = [&] { shown = pane(); };
  keys.keys = {fake::Keys::MARK, 'q'};
  EXPECT_EQ(key(cmd, menu_key('H')), Editor::HANDLED);   // Menu-H is the Help key
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0], " Sqrt   also: sqrt   menu: Real (Menu-R)");
  EXPECT_EQ(shown[1], std::string(" ") + OP::command(OP::ifn_Sqrt).brief);
  // Closed: the command line is as it was and the pane no longer shows the help.
  EXPECT_EQ(cmd.text(), "2 Sqrt");
  EXPECT_EQ(row(2).find("Sqrt"), std::string::npos);
  // Meta-h, the legend's letter H, opens it too.
  shown.clear();
  keys.keys = {fake::Keys::MARK, 'q'};
  key(cmd, IC_META_BIT | 'h');
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0], " Sqrt   also: sqrt   menu: Real (Menu-R)");
}

TEST_F(HelpViewTest, HelpThenAFunctionKeyShowsThatEntry) {
  Editor cmd;
  OP::select_menu(cmd.menu, 'R', false);
  std::vector<std::string> before, after;
  int step = 0;
  keys.atMark = [&] { (step++ == 0 ? before : after) = pane(); };
  // Meta-? on an empty line, then Meta-2 (F2), and Q closes.
  keys.keys = {fake::Keys::MARK, 27, '2', fake::Keys::MARK, 'Q'};
  key(cmd, IC_META_BIT | '?');
  ASSERT_EQ(step, 2);
  EXPECT_EQ(before[0], " Help");
  EXPECT_TRUE(has(before, "F1  Neg"));
  EXPECT_EQ(after[0].substr(0, 5), " Abs ");
  EXPECT_TRUE(has(after, OP::command(OP::ifn_Abs).brief));
}

TEST_F(HelpViewTest, FunctionAndMenuKeysInsideTheView) {
  Editor cmd;
  OP::select_menu(cmd.menu, 'R', false);
  HelpView v(cmd);
  v.show_menu("");
  view_key(v, fkey(3));
  ASSERT_EQ(v.shown, &OP::command(OP::ifn_Sign));
  view_key(v, IC_Help);   // back to the menu page
  EXPECT_EQ(v.shown, nullptr);
  EXPECT_EQ(first_line(v), "Help");
  view_key(v, menu_key('T'));   // another menu: the page follows it
  EXPECT_EQ(v.ed.menu.entries, OP::builtin_menu('T'));
  EXPECT_EQ(cmd.menu.entries, OP::builtin_menu('R'));   // not the command line's
  EXPECT_TRUE(view_has(v, "F1  Sin"));
  view_key(v, ctl('N'));
  size_t start = v.ed.menu.pageStart;
  ASSERT_GT(start, 0u);
  std::string expect = "F1  " + OP::entry_label((*v.ed.menu.entries)[start]);
  EXPECT_TRUE(view_has(v, expect)) << expect;
  view_key(v, fkey(1));
  EXPECT_EQ(v.shown, OP::entry_command((*v.ed.menu.entries)[start]));
  view_key(v, 'x');
  EXPECT_EQ(row(11), "    Buffer is read-only.");
}

TEST_F(HelpViewTest, ALongPageScrollsInTheStackPane) {
  screen(14, 40);   // a stack pane of 3 rows
  Editor cmd;
  HelpView v(cmd);
  v.show_command(OP::command(OP::ifn_Integ));
  v.ed.draw();
  ASSERT_GT(v.ed.lines.size(), 6u);
  const int paneRows = display().geom().main;
  ASSERT_EQ(paneRows, 3);
  std::string top = row(2);
  EXPECT_EQ(top, " " + v.ed.lines.front().text.substr(1));
  view_key(v, 'd');   // a page down: h - 1 lines
  v.ed.draw();
  EXPECT_EQ(v.ed.line_index(), 2u);
  view_key(v, ' ');
  v.ed.draw();
  EXPECT_EQ(v.ed.line_index(), 4u);
  EXPECT_NE(row(2), top);
  view_key(v, IC_End);
  v.ed.draw();
  EXPECT_EQ(row(4), v.ed.lines.back().text);
  view_key(v, 'u');
  view_key(v, IC_Home);
  v.ed.draw();
  EXPECT_EQ(row(2), top);
}

TEST_F(HelpViewTest, ARedrawWrapsThePageToTheNewWidth) {
  Editor cmd;
  HelpView v(cmd);
  v.show_command(OP::command(OP::ifn_SqKGauss));
  size_t wide = v.ed.lines.size();
  screen(24, 40);   // the window shrank; the resize ends in REDRAW
  view_key(v, IC_REDRAW);
  EXPECT_GT(v.ed.lines.size(), wide);
  for (const OBJ::Line &l : v.ed.lines) EXPECT_LE(l.text.size(), 39u) << l.text;
  EXPECT_EQ(v.shown, &OP::command(OP::ifn_SqKGauss));
  EXPECT_EQ(row(2).substr(0, 9), " SqKGauss");   // and repainted
}

} // namespace
