// The help view: the brief and long help of a command from the command
// table, or a page of the menu's entries with their brief help, in a
// read-only view that scrolls and closes with "q".  The Help key opens it
// for the word at or before the cursor; a function key in it shows the help
// of that menu entry.
#pragma once

#include <string>
#include <vector>

#include "kor/Editor.h"

namespace OP { struct Command; }

namespace KOR {

class HelpView {
public:
  // The view over `caller`, with the caller's menu on the label row.
  explicit HelpView(Editor &caller);

  // The Help key: opens the view for the command named at or before the
  // cursor of `caller`, or with the menu page when there is none; runs it
  // until INT, then paints the caller's screen again.
  static void open(Editor &caller);

  // The command named by the word at or before the cursor (on the cursor
  // line), or null; `word` receives the word ("" when the line has none
  // up to the cursor).  User commands are found by name or lower-case
  // alias, the interactive commands by their upper-case names.
  static const OP::Command *command_at(const Editor &ed, std::string *word);

  // The pages, wrapped to `width` columns.  A command's page: a header
  // line with its name, alias and menus, the brief help, the long help.
  static std::vector<std::string> command_page(const OP::Command &cmd, int width);
  // The menu's current page: each function key with its label and brief
  // help, after `note` (when not empty) and how to ask for help.
  static std::vector<std::string> menu_page(const OP::Menu &menu, const std::string &note, int width);

  void show_command(const OP::Command &cmd);
  void show_menu(const std::string &note);

  // The view's key handler, offered every key before the editor's own.
  static Editor::Result keys(Editor &ed, InputCode action, bool meta);

  Editor ed;
  const OP::Command *shown = nullptr;   // the command on show; null for the menu page

private:
  void fill(const std::vector<std::string> &text);
  std::string note_;   // the menu page's note, kept when the menu pages
};

} // namespace KOR
