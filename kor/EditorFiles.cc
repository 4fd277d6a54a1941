// The "~" commands of the command line, file reading and writing, and the
// line pushed aside with ";".
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/version.h"

namespace KOR {

namespace {

const char READ_ONLY[] = " Buffer is read-only.";

bool blank(char c) { return c == ' ' || c == '\t'; }

// "~/name" is the name in the home directory.
std::string expand_home(const std::string &name) {
  if (name.compare(0, 2, "~/") == 0) return std::string(kernel().home()) + name.substr(1);
  return name;
}

std::string failure(const char *what, const std::string &name, int err) {
  std::string reason;
  return std::string(" Unable to ") + what + " \"" + name + "\": " + sys_strerror(reason, err) + ".";
}

// The prompt of a "~" command: every printable key is text (a file name
// may hold "+" or ";"); Enter ends it, Ctl-C abandons it, and the menu and
// command keys of the command line do nothing here.
Editor::Result prompt_keys(Editor &ed, InputCode act, bool meta) {
  if (act == IC_EVAL || act == IC_INT) return Editor::ENDS;
  if (!meta && act >= ' ' && act < 256 && act != IC_DEL) {
    ed.insert_char(static_cast<char>(act));
    return Editor::HANDLED;
  }
  bool editing = act == ctl('X') || (act >= IC_Up && act <= IC_Insert);
  bool event = act == IC_Clear || (act >= IC_EOF && act <= IC_COMP);
  return editing || event ? Editor::NOT_HANDLED : Editor::HANDLED;
}

} // namespace

TildeCommand parse_tilde(std::string_view line) {
  size_t i = 0;
  if (i < line.size() && line[i] == '~') ++i;
  while (i < line.size() && blank(line[i])) ++i;
  TildeCommand t;
  if (i >= line.size()) return t;
  t.letter = line[i++];
  while (i < line.size() && blank(line[i])) ++i;
  size_t end = line.size();
  while (end > i && blank(line[end - 1])) --end;
  t.argument = std::string(line.substr(i, end - i));
  return t;
}

std::string file_summary(const std::string &name, size_t lines, size_t chars, bool written) {
  auto plural = [&](size_t n) { return (written ? n >= 2 : n != 1) ? "s" : ""; };
  char counts[96];
  std::snprintf(counts, sizeof counts, "%zu line%s, %zu character%s", lines, plural(lines), chars,
                plural(chars));
  return " \"" + name + "\"  " + counts;
}

EditorMessage Editor::read_file(const std::string &name) {
  if (readOnly) return {READ_ONLY, true};
  FILE *in = std::fopen(expand_home(name).c_str(), "rb");
  if (!in) return {failure("read", name, errno), true};
  const bool wasEmpty = is_empty();
  // Text read at the end of a line starts on a line of its own.
  if (col > 1 && col >= line->text.size()) split_line();
  const LineIt savedLine = line;
  const size_t savedCol = col;
  size_t newlines = 0, bytes = 0;
  for (int c; (c = std::fgetc(in)) != EOF;) {
    ++bytes;
    if (c == '\n') {
      ++newlines;
      split_line();
    } else if (c > 31) {
      line->text.insert(col++, 1, static_cast<char>(c));
    }
  }
  std::fclose(in);
  // The rest of the line the text went into keeps a line of its own.
  if (col > 1 && col < line->text.size()) split_line();
  if (wasEmpty) {
    line = lines.begin();
    col = 1;
  } else {
    line = savedLine;
    col = savedCol;
  }
  return {file_summary(name, newlines + 1, bytes, false), false};
}

EditorMessage Editor::write_file(const std::string &name) const {
  FILE *out = std::fopen(expand_home(name).c_str(), "w");
  if (!out) return {failure("write", name, errno), true};
  size_t written = 0, chars = 0;
  for (const OBJ::Line &l : lines) {
    std::string text = l.text.substr(1) + "\n";
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
      int err = errno;
      std::fclose(out);
      return {failure("write", name, err), true};
    }
    ++written;
    chars += text.size();
  }
  if (std::fclose(out) != 0) return {failure("write", name, errno), true};
  return {file_summary(name, written, chars, true), false};
}

void Editor::run_tilde(std::string_view text) {
  const TildeCommand t = parse_tilde(text);
  if (!t.letter) return;   // the prompt has left the message row clear
  if (!std::strchr("eEiIrRsSvVwW", t.letter)) {
    show_message(" Invalid ~ command (not in [eirsvw]).", true);
    return;
  }
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t.letter)));
  if (c != 'i' && c != 'v' && t.argument.empty()) {
    show_message(" Invalid ~ command (no argument).", true);
    return;
  }
  Display &d = display();
  switch (c) {
  case 'e': case 's': {
    // A count that is no positive number goes back to the default split.
    long n = std::strtol(t.argument.c_str(), nullptr, 10);
    int hint = n > 0 && n < 10000 ? static_cast<int>(n) : 0;
    d.mainHint = c == 's' ? hint : 0;
    d.editHint = c == 'e' ? hint : 0;
    d.set_geom(0, 0, d.mainHint, d.editHint);
    coder().push_code(IC_REDRAW);
    return;
  }
  case 'i': show_message(" " + version_text(), false); return;
  case 'r': {
    EditorMessage m = read_file(t.argument);
    draw();
    show_message(m);
    return;
  }
  case 'w': show_message(write_file(t.argument)); return;
  default:   // 'v': no external editor is started on this platform
    show_message(readOnly ? READ_ONLY : " Not supported on this platform.", true);
    return;
  }
}

void Editor::tilde_key() {
  Editor p;
  p.prompt = true;
  p.parent = this;
  p.insert_char('~');
  InputCode end = p.run(nullptr, prompt_keys, false);
  display().clear_message(false);
  if (end == IC_EVAL) run_tilde(p.text());
}

void Editor::push_aside() {
  if (refuse_read_only()) return;
  put_aside();
  repaint();
  show_message(" Additional input buffer created.", false);
}

void Editor::put_aside() {
  Editor *aside = new Editor;
  aside->menu = menu;
  std::swap(lines, aside->lines);
  std::swap(line, aside->line);
  std::swap(col, aside->col);
  std::swap(prevLine, aside->prevLine);
  std::swap(prevCol, aside->prevCol);
  std::swap(status, aside->status);
  std::swap(Alg, aside->Alg);
  std::swap(Pgm, aside->Pgm);
  std::swap(Str, aside->Str);
  top = left = 0;
  aside->next = next;
  next = aside;
}

} // namespace KOR
