// Soft-key menus: lists of commands shown on the label row and run by the
// function keys.  The built-in menus are made once from the command table,
// by command name; every editor keeps its own position in one of them, and
// the menu last chosen on the command line is remembered for the next line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "kor/kor_error.h"
#include "kor/threads.h"

namespace OBJ { class Operand; }
namespace KOR { class Editor; }

namespace OP {

struct Command;

// A menu's entries: command operands, or variables whose value is one.
using Entries = std::vector<OBJ::Operand *>;

class Menu {
public:
  Menu() = default;
  Menu(const Menu &) = default;
  Menu &operator=(const Menu &) = default;
  virtual ~Menu();

  const Entries *entries = nullptr;   // shared with every menu showing the list; not owned
  size_t pageStart = 0;               // index of the first entry of the page
  int pageSize = 0;                   // labels that fit, set when the labels are laid out

  size_t size() const { return entries ? entries->size() : 0; }
};

// The menu that several threads read: the one most recently selected.
class mtMenu : public Menu {
public:
  mtMenu();
  ~mtMenu() override;
  mtMenu(const mtMenu &) = delete;
  mtMenu &operator=(const mtMenu &) = delete;

  void lock() { KOR_CHECK(KOR::kt_mutex_lock(&mutex_), "Menu", "lock"); }
  void unlock() { KOR_CHECK(KOR::kt_mutex_unlock(&mutex_), "Menu", "unlock"); }

private:
  KOR::kt_mutex_t mutex_;
};

// Makes the built-in menus from the command table; later calls do nothing.
void build_menus();

// The entries of the built-in menu of that letter ("B", "R", ..., and the
// views' "b" and "p"), or null for any other letter or before build_menus.
const Entries *builtin_menu(char letter);

// The command names of a built-in menu, in order (empty for other letters).
const std::vector<const char *> &menu_names(char letter);

// The remembered menu, created on first use.
mtMenu &default_menu();

// A new editor's menu: the remembered one, else the "Real" menu.
void start_menu(Menu &menu);
// Keeps a command line's menu and page for the next command line.
void remember_menu(const Menu &menu);

// Makes the built-in menu of `letter` current at its first page; with
// `remember` it becomes the default too.  Unknown letters change nothing.
void select_menu(Menu &menu, char letter, bool remember);

// Labels that fit on a row of `width` columns for the page starting at `start`.
int page_size(const Menu &menu, size_t start, int width);

// Paging on a screen of `width` columns.  Next: the page after this one,
// or the first after the last.  Previous: the page before this one, or the
// last from the first.  Without entries, or with a start outside the list,
// next goes to the first page and previous stays.
void next_page(Menu &menu, int width);
void previous_page(Menu &menu, int width);

// The command an entry stands for (a variable stands for the command it
// holds), or null.
const Command *entry_command(const OBJ::Operand *entry);
// The text shown for an entry: the record's label, else its name.
std::string entry_label(const OBJ::Operand *entry);

// Runs the entry at `position` (0 to 9) of the editor's current page.
// False when there is no such entry.
bool run_entry(KOR::Editor &editor, int position);

} // namespace OP
