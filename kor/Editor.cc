#include "kor/Editor.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "kor/Command.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/HelpView.h"
#include "kor/InputCoder.h"
#include "kor/KeyMap.h"
#include "kor/Kernel.h"
#include "kor/Scheduler.h"
#include "kor/kor_error.h"

namespace KOR {
namespace {

const char READ_ONLY[] = " Buffer is read-only.";
const char PROTECTED[] = " Adjoining area is protected.";

bool is_number_char(char c) { return std::strchr("+-.,0123456789", c) != nullptr && c != '\0'; }
bool is_event(InputCode a) { return a == IC_Clear || (a >= IC_EOF && a <= IC_COMP); }
// Codes that leave the message row alone and need no redraw of the text.
bool is_passive(InputCode bare) { return bare == IC_Clear || bare == IC_EOF || (bare >= IC_WINCH && bare <= IC_COMP); }

} // namespace

Editor::Editor() { OP::start_menu(menu); }

Editor::~Editor() { delete next; }

size_t Editor::line_index() const {
  return static_cast<size_t>(std::distance(lines.begin(), Lines::const_iterator(line)));
}

void Editor::verify() const {
  if (nquote < -1 || nquote > 2) kor_error(EINVAL, "Editor", __LINE__, "bad nquote in verify");
}

void Editor::show_message(const std::string &text, bool isError) {
  message = text;
  messageShown = true;
  if (display().drawing()) display().show_message(text, isError, area() == Area::VIEW);
  else if (isError) kor_bell();
}

// The next key removes the messages and the marks of a syntax error.
void Editor::forget_message() {
  if (messageShown) {
    messageShown = false;
    message.clear();
    display().clear_message(area() == Area::VIEW);
  }
  if (clearOnNext) {
    clearOnNext = false;
    display().clear_errors();
  }
  for (OBJ::Line &l : lines) l.marks.clear();
}

bool Editor::refuse_read_only() {
  if (!readOnly) return false;
  show_message(READ_ONLY, true);
  return true;
}

// ---- Editing operations -------------------------------------------------------------

bool Editor::insert_char(char c) {
  if (refuse_read_only()) return false;
  std::string &t = line->text;
  if (col > t.size()) col = t.size();
  if (insertMode || col >= t.size()) t.insert(col, 1, c);
  else t[col] = c;
  ++col;
  return true;
}

void Editor::insert_text(std::string_view text) {
  for (char c : text) insert_char(c);
}

bool Editor::split_line() {
  if (refuse_read_only()) return false;
  OBJ::Line rest;
  rest.text = " " + line->text.substr(col);
  line->text.erase(col);
  line = lines.insert(std::next(line), std::move(rest));
  col = 1;
  return true;
}

bool Editor::delete_before() {
  if (refuse_read_only()) return false;
  if (col > 1) {
    line->text.erase(col - 1, 1);
    --col;
    return true;
  }
  if (line == lines.begin() || line_index() <= protectedTop) return false;
  auto prev = std::prev(line);
  size_t join = prev->text.size();
  prev->text += line->text.substr(1);
  lines.erase(line);
  line = prev;
  col = join;
  return true;
}

bool Editor::delete_at() {
  if (refuse_read_only()) return false;
  if (col < line->text.size()) {
    line->text.erase(col, 1);
    return true;
  }
  auto nxt = std::next(line);
  if (nxt == lines.end() || line_index() + 1 >= lines.size() - protectedBottom) return false;
  line->text += nxt->text.substr(1);
  lines.erase(nxt);
  return true;
}

void Editor::delete_to_start() {
  if (refuse_read_only()) return;
  line->text.erase(1, col - 1);
  col = 1;
}

void Editor::delete_to_end() {
  if (refuse_read_only()) return;
  line->text.erase(col);
}

void Editor::delete_word_before() {
  if (refuse_read_only()) return;
  bool sawWord = false;
  while (col > 1) {
    char c = line->text[col - 1];
    line->text.erase(col - 1, 1);
    --col;
    if (c != ' ') sawWord = true;
    if (sawWord && col > 1 && line->text[col - 1] == ' ') break;
  }
}

void Editor::delete_word_after() {
  if (refuse_read_only()) return;
  bool sawBlank = false;
  while (col < line->text.size()) {
    char c = line->text[col];
    line->text.erase(col, 1);
    if (c == ' ') sawBlank = true;
    if (sawBlank && col < line->text.size() && line->text[col] != ' ') break;
  }
}

bool Editor::command_key(const OP::Command &cmd) {
  if (refuse_read_only()) return false;
  bool runs = cmd.alone() && ((!Alg && !Pgm && !Str) || (Alg && !Str && cmd.fclass() == 1));
  if (!Str && !Alg && col > 1 && line->text[col - 1] != ' ') insert_char(' ');
  insert_text(cmd.name);
  if (Alg) insert_char('(');
  else if (!Str) insert_char(' ');
  // A view's text is not a command line: there the name is only inserted.
  if (runs && !view) pendingEnd_ = true;
  return true;
}

// The number at or just before the cursor gains or loses its "-".
bool Editor::toggle_sign() {
  std::string &t = line->text;
  size_t end = std::min(col, t.size());
  size_t start = end;
  auto in_number = [&](size_t i) {
    char c = t[i - 1];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == ',' || c == 'e' || c == 'E')
      return true;
    return (c == '-' || c == '+') && i >= 2 && (t[i - 2] == 'e' || t[i - 2] == 'E');
  };
  while (start > 1 && in_number(start)) --start;
  while (start < end && !std::isdigit(static_cast<unsigned char>(t[start])) && t[start] != '.' &&
         t[start] != ',')
    ++start;
  if (start >= end) return false;
  // Digits that end a word ("x3") are no number of their own.
  char before = t[start - 1];
  if (start > 1 && before != ' ' && before != '-' && !std::strchr("([{<'\"", before)) return false;
  if (readOnly) return refuse_read_only(), true;
  if (start > 1 && before == '-') {
    t.erase(start - 1, 1);
    --col;
  } else {
    t.insert(start, 1, '-');
    ++col;
  }
  return true;
}

// ---- The key loop ------------------------------------------------------------------

InputCode Editor::run(const KeyMap *map, Handler handler, bool roo) {
  returnOnOther = roo;
  const KeyMap &m = map ? *map : main_map();
  if (area() == Area::COMMAND_LINE) display().show_labels(menu, true);
  draw();
  if (queueFull) {
    show_message(" Command line queue is currently full.", true);
    queueFull = false;
  }
  for (;;) {
    InputCode code = coder().next_code();
    lastCode = code;
    InputCode end = IC_NULL;
    if (handle_key(code, m, handler, &end) == ENDS) {
      if (end == IC_EVAL) draw();   // the whole line shows while it runs
      return end;
    }
    if (!is_passive(code & IC_MASK)) draw();
  }
}

Editor::Result Editor::handle_key(InputCode code, const KeyMap &map, Handler handler, InputCode *end) {
  const bool interactive = coder().interactive_source();
  if (!interactive) {
    Str = true;
    Alg = Pgm = false;
  }
  InputCode bare = code & IC_MASK;
  if (!is_passive(bare)) forget_message();
  if (nquote >= 0 && !(bare & 0x100)) return quoted_key(code);
  if (nquote >= 0 && (bare == IC_BackSpace || bare == IC_Delete || bare == IC_ShiftBackSpace ||
                      bare == IC_ShiftDelete))
    return quoted_key(code);

  InputCode action = map.translate(code);
  bool meta = (action & IC_META_BIT) != 0;
  InputCode act = action & 0x1ff;
  Result r = NOT_HANDLED;
  if (handler) r = handler(*this, act, meta);
  if (r == NOT_HANDLED) r = events(act, meta, end);
  if (r == NOT_HANDLED) r = number_entry(act, meta);
  if (r == NOT_HANDLED && !meta) r = command_keys(act, meta, end);
  if (r == NOT_HANDLED) r = cursor_keys(act, meta);
  if (r == NOT_HANDLED) r = deletion_keys(act, meta);
  if (r == NOT_HANDLED) r = mode_tracking(act, meta);
  if (r == NOT_HANDLED) r = line_keys(act, meta);
  if (r == NOT_HANDLED) r = menu_keys(act, meta);
  if (r == NOT_HANDLED) {
    if (view && returnOnOther) {
      // The caller sees the key next.
      coder().push_code(code);
      *end = act;
      return ENDS;
    }
    if (view) {
      // A key pushed back here would come straight back: a view that keeps
      // its keys inserts characters (or says that it is read-only).
      if (!(act & 0x100)) insert_char(static_cast<char>(act));
      return HANDLED;
    }
    if (act == ';' && interactive) push_aside();
    else if (act == '~' && interactive) tilde_key();
    else if (!(act & 0x100)) insert_char(static_cast<char>(act));
    r = HANDLED;
  }
  if (r == ENDS) {
    if (*end == IC_NULL) *end = act;
    return ENDS;
  }
  if (pendingEnd_) {
    pendingEnd_ = false;
    *end = IC_EVAL;
    return ENDS;
  }
  return r;
}

Editor::Result Editor::quoted_key(InputCode code) {
  InputCode bare = code & IC_MASK;
  if (bare == IC_BackSpace || bare == IC_Delete || bare == IC_ShiftBackSpace ||
      bare == IC_ShiftDelete || bare == ctl('H') || bare == IC_DEL) {
    if (nquote == 0) nquote = -1;
    else --nquote;
    return HANDLED;
  }
  char c = static_cast<char>(bare & 0xff);
  bool digit = c >= '0' && c <= '9';
  if (nquote == 0 && !digit) {
    nquote = -1;
    insert_char(c == 'n' ? '\n' : c == 'r' ? '\r' : c);
    return HANDLED;
  }
  quote[nquote++] = c;
  if (nquote < 3 && digit) return HANDLED;
  int value = 0;
  bool allDigits = true;
  for (int i = 0; i < nquote; ++i) {
    if (quote[i] < '0' || quote[i] > '9') allDigits = false;
    value = value * 10 + (quote[i] - '0');
  }
  if (allDigits && nquote == 3 && value < 256) insert_char(static_cast<char>(value));
  else insert_text(std::string_view(quote, static_cast<size_t>(nquote)));
  nquote = -1;
  return HANDLED;
}

Editor::Result Editor::events(InputCode act, bool, InputCode *end) {
  if (!is_event(act)) return NOT_HANDLED;
  switch (act) {
  case IC_Clear: clearOnNext = true; return HANDLED;
  case IC_EOF: *end = IC_EOF; return ENDS;
  case IC_INT:
    if (area() == Area::COMMAND_LINE && lines.size() == 1 && !next) {
      int fg, bg, run;
      scheduler().counts(&fg, &bg, &run, false);
      if (coder().interactive_source() && fg == 0 && run == 0) return HANDLED;
      return NOT_HANDLED;   // the command keys interrupt the foreground job
    }
    if (area() == Area::COMMAND_LINE) {
      // The line starts over: no text, no modes, no quoted entry.
      clear();
      Alg = Pgm = Str = false;
      nquote = -1;
    }
    *end = IC_INT;
    return ENDS;
  case IC_TSTP: scheduler().suspend(); return HANDLED;
  case IC_QUIT: kor_error(4, "Editor", __LINE__, nullptr);
  case IC_TERM:
    coder().push_code(IC_TERM);
    *end = IC_TERM;
    return ENDS;
  case IC_WINCH:
    display().resize();
    coder().push_code(IC_REDRAW);
    return HANDLED;
  case IC_REDRAW: repaint(); return HANDLED;
  case IC_PULSE: display().pulse(false, false); return HANDLED;
  case IC_INPUT: draw(); return HANDLED;
  default:   // PROC and COMP only wake the loop
    return HANDLED;
  }
}

Editor::Result Editor::number_entry(InputCode act, bool meta) {
  if (meta) return NOT_HANDLED;
  if (act == ctl('X')) return toggle_sign() ? HANDLED : NOT_HANDLED;
  if ((act == '+' || act == '-') && col >= 3) {
    char e = line->text[col - 1], before = line->text[col - 2];
    if ((e == 'e' || e == 'E') && is_number_char(before)) {
      insert_char(static_cast<char>(act));
      return HANDLED;
    }
  }
  return NOT_HANDLED;
}

Editor::Result Editor::command_keys(InputCode act, bool, InputCode *end) {
  auto run_named = [&](const char *name) {
    if (const OP::Command *c = OP::find(name, std::strlen(name), false)) command_key(*c);
    return HANDLED;
  };
  switch (act) {
  case IC_INT: case 3:
    scheduler().fg_kill();
    return HANDLED;
  case 2: browse(); return HANDLED;
  case 5: return run_named("Eval");
  case 9: return run_named("Inv");
  case 12: return run_named("LastArg");
  case 15:   // Ctl-O: the options need the main context
    if (main_context().trylock() != 0)
      display().show_error(2, "Options", 0, ERR_MAIN_IN_USE, nullptr, -1, -1);
    else
      main_context().unlock();
    return HANDLED;
  case 17: scheduler().fg_cont(); return HANDLED;
  case 19: scheduler().fg_stop(); return HANDLED;
  case 20: case IC_Local:
    if (!refuse_read_only()) insert_text("-->");
    return HANDLED;
  case 21: undo(); return HANDLED;
  case 22: visit(); return HANDLED;
  case 23: return run_named("Swap");
  case 24: return run_named("Neg");
  case 25: history(); return HANDLED;
  case IC_Help: case menu_key('H'):
    // The help of the command at the cursor, or of a menu entry; the
    // legend's letter H (Meta-h) has no menu and opens the help too.
    if (area() == Area::PROMPT) return NOT_HANDLED;
    HelpView::open(*this);
    return HANDLED;
  case '*': case '+': case '-': case '/': case '^': {
    char name[2] = {static_cast<char>(act), 0};
    return run_named(name);
  }
  case IC_EVAL: *end = IC_EVAL; return ENDS;
  default: return NOT_HANDLED;
  }
}

Editor::Result Editor::line_keys(InputCode act, bool) {
  if (act != IC_NewLine) return NOT_HANDLED;
  split_line();
  return HANDLED;
}

// Ctl-N and Ctl-P page, Menu-letter selects a menu, F1 to F10 (and the
// shifted ones) run the entries of the page.
Editor::Result Editor::menu_keys(InputCode act, bool) {
  const int width = display().geom().cols;
  if (act == ctl('N')) {
    OP::next_page(menu, width);
  } else if (act == ctl('P')) {
    OP::previous_page(menu, width);
  } else if (act >= IC_MenuA && act <= IC_LAST_KEY) {
    OP::select_menu(menu, static_cast<char>('A' + (act - IC_MenuA)), area() == Area::COMMAND_LINE);
  } else if (act >= IC_F1 && act < IC_MenuA) {
    int position = act < IC_ShiftF1 ? act - IC_F1 : act - IC_ShiftF1;
    if (menu.pageSize == 0) display().show_labels(menu, false);
    OP::run_entry(*this, position);
    return HANDLED;
  } else {
    return NOT_HANDLED;
  }
  display().show_labels(menu, area() != Area::PROMPT);
  return HANDLED;
}

bool Editor::move_to_line(long index) {
  long last = static_cast<long>(lines.size() - 1 - protectedBottom);
  long first = static_cast<long>(protectedTop);
  if (index < first || index > last) {
    show_message(PROTECTED, true);
    return false;
  }
  line = std::next(lines.begin(), index);
  if (col > line->text.size()) col = line->text.size();
  if (col < 1) col = 1;
  return true;
}

Editor::Result Editor::cursor_keys(InputCode act, bool) {
  const long here = static_cast<long>(line_index());
  const long size = static_cast<long>(lines.size());
  const long last = size - 1 - static_cast<long>(protectedBottom);
  const long first = static_cast<long>(protectedTop);
  const long h = windowHeight;
  // Nothing moves past the buffer's ends; a move into a protected area
  // stops at its edge, and is refused when the cursor already stands there.
  auto vertical = [&](long target) {
    target = std::clamp(target, 0L, size - 1);
    if (target == here) return;
    if (target < first || target > last) {
      long edge = target < first ? first : last;
      if (edge == here) {
        show_message(PROTECTED, true);
        return;
      }
      target = edge;
    }
    move_to_line(target);
  };
  switch (act) {
  case IC_Up: vertical(here - 1); return HANDLED;
  case IC_Down: vertical(here + 1); return HANDLED;
  case IC_ShiftUp: vertical(here - h / 2); return HANDLED;
  case IC_ShiftDown: vertical(here + h / 2); return HANDLED;
  case IC_PageUp: vertical(here - (h - 1)); return HANDLED;
  case IC_PageDown: vertical(here + (h - 1)); return HANDLED;
  case IC_Home:
    if (move_to_line(first)) top = static_cast<size_t>(first);
    return HANDLED;
  case IC_End:
    if (move_to_line(last)) top = static_cast<size_t>(std::max(0L, last - h + 1));
    return HANDLED;
  case IC_Right: case IC_ShiftRight:
    if (!fixedColumn && col < line->text.size()) ++col;
    return HANDLED;
  case IC_Left: case IC_ShiftLeft:
    if (!fixedColumn && col > 1) --col;
    return HANDLED;
  default: return NOT_HANDLED;
  }
}

Editor::Result Editor::deletion_keys(InputCode act, bool meta) {
  switch (act) {
  case IC_BackSpace:
    if (meta) delete_to_start();
    else delete_before();
    return HANDLED;
  case IC_Delete:
    if (meta) delete_to_end();
    else delete_at();
    return HANDLED;
  case IC_ShiftBackSpace: delete_word_before(); return HANDLED;
  case IC_ShiftDelete: delete_word_after(); return HANDLED;
  case IC_Insert: insertMode = !insertMode; return HANDLED;
  default: return NOT_HANDLED;
  }
}

Editor::Result Editor::mode_tracking(InputCode act, bool) {
  if (readOnly) return NOT_HANDLED;
  char before = col > 1 ? line->text[col - 1] : ' ';
  switch (act) {
  case '\\':
    nquote = 0;
    return HANDLED;
  case '<':
    if (before == '<' && !Str && !Alg && !Pgm) Pgm = true;
    return NOT_HANDLED;
  case '>':
    if (before == '>' && Pgm && !Str && !Alg) Pgm = false;
    return NOT_HANDLED;
  case '"':
    Str = !Str;
    return NOT_HANDLED;
  case '\'':
    if (!Str) Alg = !Alg;
    return NOT_HANDLED;
  case 1:   // Ctl-A cycles none, Pgm, Alg, Str
    if (!Pgm && !Alg && !Str) Pgm = true;
    else if (Pgm) Pgm = false, Alg = true;
    else if (Alg) Alg = false, Str = true;
    else Str = false;
    return HANDLED;
  default:
    return NOT_HANDLED;
  }
}

} // namespace KOR
