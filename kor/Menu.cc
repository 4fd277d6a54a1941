#include "kor/Menu.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "kor/Command.h"
#include "kor/Editor.h"
#include "kor/Instruction.h"
#include "kor/LabelLayout.h"

namespace OP {

namespace {

// The built-in menus by selection letter.  Only command names live here:
// labels, flags and everything else come from the command table.
const std::map<char, std::vector<const char *>> &menu_table() {
  static const std::map<char, std::vector<const char *>> table = {
      {'B', {"Bin", "Dec", "Hex", "Oct", "StoWS", "RclWS", "-->Bint", "-->Real", "RL", "RR", "RLB",
             "RRB", "SL", "SR", "SLB", "SRB", "ASR", "Not", "And", "Or", "Xor", "MaxBint"}},
      {'C', {"-->CX", "-->Real", "Re", "Im", "Conj", "Arg", "-->Rect", "-->Polar", "Neg", "Abs",
             "Sign", "I"}},
      {'F', {"Erf",    "Erfc",   "LnErfc",   "Gamma",    "LnGamma", "DiGamma", "TriGamma",
             "IGamma", "Beta",   "IBeta",    "Zeta",     "BessJ0",  "BessJ1",  "BessJn",
             "BessY0", "BessY1", "BessYn",   "BessI0",   "BessI1",  "BessIn",  "BessK0",
             "BessK1", "BessKn", "ExpIE1",   "ExpIEi",   "ExpIEn",  "LogIli",  "DiLog",
             "DawsF",  "FresnC", "FresnS",   "CosICi",   "SinISi",  "CoshIChi", "SinhIShi",
             "JellSn", "JellCn", "JellDn",   "EllF",     "EllE",    "EllPi",   "CellK",
             "CellE",  "CellPi"}},
      {'L', {"Log", "Alog", "Ln", "Exp", "Ln1p", "Expm1", "Sqrt1pm1", "Sinh", "Asinh", "Cosh",
             "Acosh", "Tanh", "Atanh"}},
      {'N', {"Integ", "KGauss", "SqKGauss"}},
      {'O', {"Deg", "Rad", "Std", "StdN", "Fix", "Sci", "Eng", "Xprec", "Dprec", "Version"}},
      {'P', {"EDITPROC", "DEBUG", "FGSTOP", "FGCONT", "FGKILL", "Time", "Clock", "ClockHz",
             "Return", "Stop"}},
      {'R', {"Neg", "Abs", "Sign", "Sqrt", "Cbrt", "Xrt", "Fact", "Pi", "Floor", "Ceil", "Rint",
             "-->XP", "-->DP", "E", "Egamma", "Catalan", "MaxR", "MinR", "Infinity", "NaN"}},
      {'S', {"Dup", "Drop", "Swap", "Over", "Rot", "Rotd", "Roll", "Rolld", "Pick", "Dup2",
             "Drop2", "DupN", "DropN", "Depth", "LastArg", "SaveArg", "CheckArg"}},
      {'T', {"Sin", "Asin", "Cos", "Acos", "Tan", "Atan", "Sinc", "Sincm1", "-->HMS", "HMS-->",
             "HMS+", "HMS-"}},
      {'b', {"STACKDUP", "STACKDROP", "STACKSWAP", "STACKCLEAR"}},
      {'p', {"PROCDEBUG", "PROCCONT", "PROCSTOP", "PROCKILL", "PROCJOIN"}},
  };
  return table;
}

// The record of that exact name, user command or internal.
const Command *record_named(const char *name) {
  for (const Command &c : COMMANDS)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}

// The built menus own their entry operands for the whole run.
struct BuiltMenus {
  std::map<char, Entries> menus;
  ~BuiltMenus() {
    for (auto &[letter, entries] : menus)
      for (OBJ::Operand *op : entries) delete op;
  }
};

BuiltMenus &built() {
  static BuiltMenus menus;
  return menus;
}

} // namespace

Menu::~Menu() = default;

mtMenu::mtMenu() { KOR_CHECK(KOR::kt_mutex_init(&mutex_), "Menu", "mutex_init"); }
mtMenu::~mtMenu() { KOR::kt_mutex_destroy(&mutex_); }

void build_menus() {
  BuiltMenus &b = built();
  if (!b.menus.empty()) return;
  for (const auto &[letter, names] : menu_table()) {
    Entries &entries = b.menus[letter];
    for (const char *name : names) {
      const Command *rec = record_named(name);
      if (!rec) kor_error(ENOENT, "Menu", __LINE__, name);   // the table and the menus disagree
      entries.push_back(OBJ::Instruction::create(*rec, nullptr));
    }
  }
}

const Entries *builtin_menu(char letter) {
  auto &menus = built().menus;
  auto it = menus.find(letter);
  return it == menus.end() ? nullptr : &it->second;
}

const std::vector<const char *> &menu_names(char letter) {
  static const std::vector<const char *> none;
  auto it = menu_table().find(letter);
  return it == menu_table().end() ? none : it->second;
}

mtMenu &default_menu() {
  static mtMenu menu;
  return menu;
}

void start_menu(Menu &menu) {
  mtMenu &d = default_menu();
  d.lock();
  menu.entries = d.entries;
  menu.pageStart = d.pageStart;
  d.unlock();
  if (!menu.entries) {
    menu.entries = builtin_menu('R');
    menu.pageStart = 0;
  }
}

void remember_menu(const Menu &menu) {
  mtMenu &d = default_menu();
  d.lock();
  d.entries = menu.entries;
  d.pageStart = menu.pageStart;
  d.unlock();
}

void select_menu(Menu &menu, char letter, bool remember) {
  const Entries *entries = builtin_menu(letter);
  if (!entries) return;
  menu.entries = entries;
  menu.pageStart = 0;
  if (remember) remember_menu(menu);
}

int page_size(const Menu &menu, size_t start, int width) {
  KOR::LabelBounds bounds = KOR::label_bounds(width);
  std::vector<int> lengths;
  for (size_t i = start; i < menu.size() && lengths.size() < static_cast<size_t>(bounds.max); ++i)
    lengths.push_back(static_cast<int>(entry_label((*menu.entries)[i]).size()));
  int n = KOR::choose_labels(lengths, width).count;
  return n > 0 ? n : 1;
}

void next_page(Menu &menu, int width) {
  if (menu.pageStart >= menu.size()) {
    menu.pageStart = 0;
    return;
  }
  size_t next = menu.pageStart + static_cast<size_t>(page_size(menu, menu.pageStart, width));
  menu.pageStart = next < menu.size() ? next : 0;
}

void previous_page(Menu &menu, int width) {
  const size_t size = menu.size(), current = menu.pageStart;
  if (current >= size) return;
  size_t start = 0;
  for (;;) {
    size_t next = start + static_cast<size_t>(page_size(menu, start, width));
    // From the first page: on to the last page start inside the list.
    // Elsewhere: the last page start before the current one.
    if (current == 0 ? next >= size : next >= current) break;
    start = next;
  }
  menu.pageStart = start;
}

const Command *entry_command(const OBJ::Operand *entry) {
  if (!entry) return nullptr;
  if (entry->type_ == OBJ::VARIABLE) entry = static_cast<const OBJ::Variable *>(entry)->held;
  if (!entry) return nullptr;
  switch (entry->type_) {
  case OBJ::INSTRUCTION: case OBJ::STRUCTURE: case OBJ::INTERACTIVE:
    return static_cast<const OBJ::Instruction *>(entry)->cmd;
  default:
    return nullptr;
  }
}

std::string entry_label(const OBJ::Operand *entry) {
  if (!entry) return "";
  if (entry->type_ == OBJ::VARIABLE) return entry->name();
  const Command *cmd = entry_command(entry);
  if (!cmd) return "";
  return cmd->label ? cmd->label : cmd->name;
}

bool run_entry(KOR::Editor &editor, int position) {
  const Menu &menu = editor.menu;
  if (position < 0 || position >= menu.pageSize) return false;
  size_t index = menu.pageStart + static_cast<size_t>(position);
  if (index >= menu.size()) return false;
  const Command *cmd = entry_command((*menu.entries)[index]);
  if (!cmd) return false;
  if (cmd->kind() == INTER) return editor.interactive_command(*cmd);
  return editor.command_key(*cmd);
}

} // namespace OP
