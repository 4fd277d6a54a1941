// The command-line editor: a multi-line buffer edited key by key, then
// handed whole to the compile queue.  Views reuse it with a handler of their
// own, read-only or with protected lines.
#pragma once

#include <string>
#include <string_view>

#include "kor/Buffer.h"
#include "kor/InputCode.h"
#include "kor/Menu.h"

namespace OP { struct Command; }

namespace KOR {

class KeyMap;

// A "~" command line split into its letter (0 when there is none) and its
// argument (the rest after blanks).
struct TildeCommand {
  char letter = 0;
  std::string argument;
};
TildeCommand parse_tilde(std::string_view line);

// A message for the message row.
struct EditorMessage {
  std::string text;
  bool error = false;
};

// " \"name\"  4 lines, 6 characters": the summary of a file read or written.
// Reads drop the "s" for a count of exactly 1, writes for counts below 2.
std::string file_summary(const std::string &name, size_t lines, size_t chars, bool written);

class Editor : public OBJ::Buffer {
public:
  // What a handler did with a key.
  enum Result { NOT_HANDLED, HANDLED, ENDS };
  // A handler gets the action and its Meta flag; ENDS ends the key loop with
  // the action as its result.
  using Handler = Result (*)(Editor &ed, InputCode action, bool meta);

  // Where the editor stands on the screen.
  enum class Area {
    COMMAND_LINE,   // the editor area below the labels
    PROMPT,         // one line on the message row ("~" commands)
    VIEW,           // the stack pane, for an editor owned by a view
  };

  Editor();   // one empty line; the menu is the one remembered last
  ~Editor() override;

  // The key loop: codes from the input decoder, translated by `map` (null:
  // the main map), offered to the handlers in order.  Returns the action
  // that ended it.  On the full screen the editor is redrawn after each key.
  InputCode run(const KeyMap *map, Handler handler, bool returnOnOther);

  // One key, as the loop handles it; ENDS with *end set when it ends the loop.
  Result handle_key(InputCode code, const KeyMap &map, Handler handler, InputCode *end);

  bool is_empty() const { return lines.size() == 1 && lines.front().text.size() <= 1; }

  // Editing operations (refused in a read-only buffer).
  bool insert_char(char c);
  void insert_text(std::string_view text);
  bool split_line();
  bool delete_before();      // BackSpace
  bool delete_at();          // Delete
  void delete_to_start();    // Meta-BackSpace
  void delete_to_end();      // Meta-Delete
  void delete_word_before(); // Shift-BackSpace
  void delete_word_after();  // Shift-Delete
  // Runs a command as a command key does: inserts its name, and ends the
  // loop at once when the command stands alone and no mode prevents it.
  bool command_key(const OP::Command &cmd);
  // Runs an interactive command (a menu entry that acts on the shell
  // rather than on the stack).
  bool interactive_command(const OP::Command &cmd);
  // Ctl-X: changes the sign of the number at the cursor; false when there is none.
  bool toggle_sign();

  // Messages on the editor's message row (errors beep); the next key removes them.
  void show_message(const std::string &text, bool isError);
  void show_message(const EditorMessage &m) { show_message(m.text, m.error); }

  // ";" at the terminal: the line is put aside in a new buffer chained as
  // `next`, and editing goes on with an empty line.
  void push_aside();
  // The same without redrawing: the line goes into a new buffer chained as
  // `next`, and this editor is left with one empty line.
  void put_aside();

  // "~" commands: the whole line (starting with "~") is carried out.
  void run_tilde(std::string_view line);
  // Reads the file into the buffer at the cursor, or writes the buffer to
  // it.  The name is as typed; "~/" stands for the home directory.
  EditorMessage read_file(const std::string &name);
  EditorMessage write_file(const std::string &name) const;

  // Screen output (nothing without the full screen).
  void draw();               // the text area, the status line and the cursor
  void draw_status_line();   // modes, quoted entry and replace mode
  // The text of the status line: "\" and the quoted characters, "Pgm",
  // "Alg", "Str" and "[Replace]" at their columns.
  std::string status_text() const;
  Area area() const { return view ? Area::VIEW : prompt ? Area::PROMPT : Area::COMMAND_LINE; }
  // Clears and repaints the whole screen around this editor (a view or a
  // prompt repaints the command line it belongs to as well).
  void repaint();

  size_t line_index() const;
  void verify() const;

  Editor *next = nullptr;         // a pushed-aside command line
  void *view = nullptr;           // the view that owns the editor; null for the command line
  Editor *parent = nullptr;       // the command line a prompt or a view belongs to
  OP::Menu menu;                  // the menu and page on the label row
  int nquote = -1;                // quoted entry: -1 none, else characters typed after "\"
  char quote[3] = {};
  InputCode lastCode = IC_NULL;
  bool returnOnOther = false;
  bool messageShown = false, clearOnNext = false, queueFull = false;
  bool insertMode = true;
  bool Alg = false, Pgm = false, Str = false;
  bool fixedColumn = false, readOnly = false;
  bool prompt = false;            // a one-line prompt on the message row
  size_t protectedTop = 0, protectedBottom = 0;   // protected lines at either end
  int windowHeight = 7;
  size_t top = 0;                 // first line in the window
  size_t left = 0;                // first column in the window (long lines scroll)
  std::string message;            // the message shown, if any

private:
  Result events(InputCode action, bool meta, InputCode *end);
  Result number_entry(InputCode action, bool meta);
  Result command_keys(InputCode action, bool meta, InputCode *end);
  Result cursor_keys(InputCode action, bool meta);
  Result deletion_keys(InputCode action, bool meta);
  Result mode_tracking(InputCode action, bool meta);
  Result menu_keys(InputCode action, bool meta);
  Result line_keys(InputCode action, bool meta);
  Result quoted_key(InputCode code);
  void forget_message();
  bool move_to_line(long index);
  bool refuse_read_only();
  void tilde_key();

  // The views and the stack-swapping key; each opens from the command line.
  void browse();
  void visit();
  void history();
  void undo();
  void process_view();

  bool pendingEnd_ = false;       // a command key ended the loop
};

} // namespace KOR
