#include "kor/HelpView.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "kor/Command.h"
#include "kor/Display.h"
#include "kor/DisplayParts.h"
#include "kor/KeyMap.h"
#include "kor/Menu.h"

namespace KOR {

namespace {

// Attribute of the highlighted title line: bold yellow, as the headers of
// the other views.
constexpr uint32_t TITLE_ATTR = 12;

// Menus that a command can be found in, as "Trig (Menu-T)"; the views'
// own menus by the view's name.
std::string menus_of(const OP::Command &cmd) {
  std::string out;
  for (const LegendItem &item : legend_items())
    for (const char *name : OP::menu_names(item.letter))
      if (std::strcmp(name, cmd.name) == 0) {
        if (!out.empty()) out += ", ";
        out += std::string(item.longName) + " (Menu-" + item.letter + ")";
      }
  for (const auto &[letter, view] : {std::pair{'b', "stack browsing view"}, std::pair{'p', "process view"}})
    for (const char *name : OP::menu_names(letter))
      if (std::strcmp(name, cmd.name) == 0) {
        if (!out.empty()) out += ", ";
        out += view;
      }
  return out;
}

// Splits `text` at blanks into lines of at most `width` characters; a
// word longer than that is cut.  Continuation lines are indented by two.
void wrap(const std::string &text, int width, std::vector<std::string> &out) {
  const size_t w = static_cast<size_t>(std::max(width, 10));
  std::string rest = text;
  bool first = true;
  while (!rest.empty()) {
    std::string lead = first ? "" : "  ";
    size_t room = w - lead.size();
    if (rest.size() <= room) {
      out.push_back(lead + rest);
      break;
    }
    size_t cut = rest.rfind(' ', room);
    if (cut == std::string::npos || cut == 0) cut = room;
    out.push_back(lead + rest.substr(0, cut));
    size_t next = rest.find_first_not_of(' ', cut);
    rest.erase(0, next == std::string::npos ? rest.size() : next);
    first = false;
  }
}

std::string lower(const char *s) {
  std::string out(s);
  for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

const char HOW_TO[] =
    "Help (Meta-? or Meta-h) shows the help of the command at or before the cursor; "
    "here a function key shows the help of its menu entry, Ctl-N and Ctl-P page the menu, "
    "\"q\" closes.";

} // namespace

HelpView::HelpView(Editor &caller) {
  ed.parent = &caller;
  ed.menu = caller.menu;
  ed.view = this;
  ed.readOnly = true;
  ed.fixedColumn = true;
}

const OP::Command *HelpView::command_at(const Editor &ed, std::string *word) {
  const std::string &t = ed.line->text;
  word->clear();
  // The word under the cursor, else the last one before it on the line.
  size_t i = std::min(ed.col, t.size());
  if (i >= t.size() || t[i] == ' ') {
    while (i > 1 && t[i - 1] == ' ') --i;
    if (i <= 1) return nullptr;
    --i;
  }
  size_t start = i, end = i + 1;
  while (start > 1 && t[start - 1] != ' ') --start;
  while (end < t.size() && t[end] != ' ') ++end;
  *word = t.substr(start, end - start);
  if (const OP::Command *c = OP::find(word->data(), word->size(), true)) return c;
  return OP::find_interactive(word->data(), word->size());
}

std::vector<std::string> HelpView::command_page(const OP::Command &cmd, int width) {
  std::vector<std::string> out;
  std::string title = cmd.name;
  if (cmd.index < OP::USER_COMMANDS) {
    std::string alias = cmd.lookup ? cmd.lookup : lower(cmd.name);
    if (alias != cmd.name) title += "   also: " + alias;
  } else if (cmd.label) {
    title += std::string("   label: ") + cmd.label;
  }
  std::string menus = menus_of(cmd);
  if (!menus.empty()) title += "   menu: " + menus;
  wrap(title, width, out);
  wrap(cmd.brief, width, out);
  const char *p = cmd.help;
  while (*p) {
    const char *nl = std::strchr(p, '\n');
    std::string line = nl ? std::string(p, static_cast<size_t>(nl - p)) : std::string(p);
    if (!line.empty()) wrap(line, width, out);
    p = nl ? nl + 1 : p + line.size();
  }
  return out;
}

std::vector<std::string> HelpView::menu_page(const OP::Menu &menu, const std::string &note, int width) {
  std::vector<std::string> out;
  out.push_back("Help");
  if (!note.empty()) wrap(note, width, out);
  wrap(HOW_TO, width, out);
  const size_t page = static_cast<size_t>(std::max(menu.pageSize, 1));
  for (size_t k = 0; k < page && menu.pageStart + k < menu.size(); ++k) {
    const OBJ::Operand *entry = (*menu.entries)[menu.pageStart + k];
    std::string label = OP::entry_label(entry);
    const OP::Command *cmd = OP::entry_command(entry);
    char key[24];
    std::snprintf(key, sizeof key, "F%-3zu", k + 1);
    label.resize(std::max<size_t>(label.size() + 1, 9), ' ');
    wrap(std::string(key) + label + (cmd ? cmd->brief : ""), width, out);
  }
  return out;
}

void HelpView::fill(const std::vector<std::string> &text) {
  ed.lines.clear();
  for (const std::string &s : text) {
    OBJ::Line l;
    l.text = " " + s;
    ed.lines.push_back(std::move(l));
  }
  if (ed.lines.empty()) ed.lines.emplace_back();
  OBJ::Line &title = ed.lines.front();
  title.marks.push_back({1, static_cast<uint32_t>(title.text.size() - 1), TITLE_ATTR});
  ed.line = ed.lines.begin();
  ed.col = 1;
  ed.top = 0;
}

void HelpView::show_command(const OP::Command &cmd) {
  shown = &cmd;
  fill(command_page(cmd, display().geom().cols - 2));
}

void HelpView::show_menu(const std::string &note) {
  shown = nullptr;
  note_ = note;
  if (ed.menu.pageSize == 0) display().show_labels(ed.menu, false);
  fill(menu_page(ed.menu, note, display().geom().cols - 2));
}

Editor::Result HelpView::keys(Editor &ed, InputCode action, bool meta) {
  HelpView &v = *static_cast<HelpView *>(ed.view);
  if (meta) return Editor::NOT_HANDLED;
  Display &d = display();
  const int width = d.geom().cols;
  if (action == IC_Help || action == menu_key('H')) {   // the menu page, from any command's help
    v.show_menu("");
    return Editor::HANDLED;
  }
  if (action >= IC_F1 && action < IC_MenuA) {
    int position = action < IC_ShiftF1 ? action - IC_F1 : action - IC_ShiftF1;
    if (ed.menu.pageSize == 0) d.show_labels(ed.menu, false);
    size_t index = ed.menu.pageStart + static_cast<size_t>(position);
    const OP::Command *cmd = position < ed.menu.pageSize && index < ed.menu.size()
                                 ? OP::entry_command((*ed.menu.entries)[index])
                                 : nullptr;
    if (cmd) v.show_command(*cmd);
    return Editor::HANDLED;
  }
  // Menu keys change the label row, and the menu page when it is shown.
  if (action == ctl('N') || action == ctl('P') || (action >= IC_MenuA && action <= IC_LAST_KEY)) {
    if (action == ctl('N')) OP::next_page(ed.menu, width);
    else if (action == ctl('P')) OP::previous_page(ed.menu, width);
    else OP::select_menu(ed.menu, static_cast<char>('A' + (action - IC_MenuA)), false);
    d.show_labels(ed.menu, true);
    if (!v.shown) v.show_menu(v.note_);
    return Editor::HANDLED;
  }
  if (action == IC_REDRAW) {
    // Wrapped again: a change of the window size ends in REDRAW.
    if (v.shown) v.show_command(*v.shown);
    else v.show_menu(v.note_);
    return Editor::NOT_HANDLED;   // the event handler repaints the screen
  }
  if (!(action & 0x100)) {   // typing, and the command line's control keys, are refused
    ed.insert_char(static_cast<char>(action));
    return Editor::HANDLED;
  }
  return Editor::NOT_HANDLED;
}

void HelpView::open(Editor &caller) {
  HelpView v(caller);
  std::string word;
  const OP::Command *cmd = command_at(caller, &word);
  if (cmd) v.show_command(*cmd);
  else v.show_menu(word.empty() ? "" : "\"" + word + "\" is not a command.");
  Display &d = display();
  d.clear_message(true);
  d.show_labels(v.ed.menu, true);
  v.ed.run(&view_map(), keys, false);
  if (d.drawing()) {
    d.repaint(caller.menu);
    caller.draw();
  }
}

} // namespace KOR
