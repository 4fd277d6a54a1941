// Error messages and the editor's one-line messages on the screen.
#include <cstdio>
#include <cstdlib>

#include "kor/Display.h"
#include "kor/InputCoder.h"
#include "kor/Terminal.h"

namespace KOR {

std::string Display::error_text(const char *name, int systemError, int errorCode,
                                const char *detail) {
  std::string text;
  if (name && *name) text = std::string(name) + " Error: ";
  else if (systemError) text = "System Error: ";
  else text = "KOR Error: ";
  bool coded = false;
  if (systemError) {
    std::string reason;
    text += sys_strerror(reason, systemError) + ".";
    coded = true;
  } else if (errorCode > 0 && errorCode < ERR_CODE_COUNT) {
    text += KOR::strerror(errorCode);
    coded = true;
  }
  if (detail && *detail) text += coded ? std::string("  [") + detail + "]" : std::string(detail);
  return text;
}

void Display::show_error(int kind, const char *name, int systemError, int errorCode,
                         const char *detail, int beep, int keep) {
  std::string text = error_text(name, systemError, errorCode, detail);
  if (!active) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    std::exit(1);
  }
  // The context carries no bell or keep option of its own: errors beep and
  // go away with the next key unless the caller says otherwise.
  if (beep < 0) beep = 1;
  if (keep < 0) keep = 0;
  if (drawing()) {
    const Geometry g = geom_;
    const int row = kind == 1 ? g.edit_status_row() : kind == 2 ? g.message_row() : g.stack_message_row();
    const int col = kind == 1 || kind == 2 ? 1 : 3;
    clear_row(row);
    terminal().put_text(row, col, text.data(), static_cast<int>(text.size()), g.cols,
                        role_attr(Role::Error, color));
    lock();
    errorShown_[kind_index(kind)] = true;
    unlock();
    terminal().refresh();
    if (beep) terminal().beep();
  }
  if (!keep) coder().post_event(IC_Clear);
}

void Display::clear_errors() {
  lock();
  bool shown[3] = {errorShown_[0], errorShown_[1], errorShown_[2]};
  for (bool &s : errorShown_) s = false;
  unlock();
  if (!drawing()) return;
  if (shown[0]) clear_row(geom_.stack_message_row());
  if (shown[1]) clear_row(geom_.edit_status_row());
  if (shown[2]) {
    clear_row(geom_.message_row());
    show_legend(true);
  }
  if (shown[0] || shown[1]) terminal().refresh();
}

void Display::show_message(const std::string &text, bool isError, bool view) {
  if (!drawing()) return;
  const Geometry g = geom_;
  const int row = view ? g.stack_message_row() : g.message_row();
  const int col = view ? 3 : 1;
  clear_row(row);
  terminal().put_text(row, col, text.data(), static_cast<int>(text.size()), g.cols,
                      role_attr(isError ? Role::Error : Role::Message, color));
  terminal().refresh();
  if (isError) terminal().beep();
}

void Display::clear_message(bool view) {
  if (!drawing()) return;
  if (view) {
    clear_row(geom_.stack_message_row());
    terminal().refresh();
    return;
  }
  clear_row(geom_.message_row());
  show_legend(true);
}

} // namespace KOR
