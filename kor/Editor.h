// The command-line editor: a multi-line buffer edited key by key, then
// handed whole to the compile queue.  Views reuse it with a handler of their
// own, read-only or with protected lines.
#pragma once

#include <string>
#include <string_view>

#include "kor/Buffer.h"
#include "kor/InputCode.h"

namespace OP { struct Command; }

namespace KOR {

class KeyMap;

class Editor : public OBJ::Buffer {
public:
  // What a handler did with a key.
  enum Result { NOT_HANDLED, HANDLED, ENDS };
  // A handler gets the action and its Meta flag; ENDS ends the key loop with
  // the action as its result.
  using Handler = Result (*)(Editor &ed, InputCode action, bool meta);

  Editor();
  ~Editor() override;

  // The key loop: codes from the input decoder, translated by `map` (null:
  // the main map), offered to the handlers in order.  Returns the action
  // that ended it.
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
  // Ctl-X: changes the sign of the number at the cursor; false when there is none.
  bool toggle_sign();

  // Messages on the editor's message row (errors beep).
  void show_message(const std::string &text, bool isError);

  size_t line_index() const;
  void verify() const;

  Editor *next = nullptr;         // a pushed-aside command line
  void *view = nullptr;           // the view that owns the editor; null for the command line
  int nquote = -1;                // quoted entry: -1 none, else characters typed after "\"
  char quote[3] = {};
  InputCode lastCode = IC_NULL;
  bool returnOnOther = false;
  bool messageShown = false, clearOnNext = false, queueFull = false;
  bool insertMode = true;
  bool Alg = false, Pgm = false, Str = false;
  bool fixedColumn = false, readOnly = false;
  size_t protectedTop = 0, protectedBottom = 0;   // protected lines at either end
  int windowHeight = 7;
  std::string message;            // the message shown, if any

private:
  Result events(InputCode action, bool meta, InputCode *end);
  Result number_entry(InputCode action, bool meta);
  Result command_keys(InputCode action, bool meta, InputCode *end);
  Result cursor_keys(InputCode action, bool meta);
  Result deletion_keys(InputCode action, bool meta);
  Result mode_tracking(InputCode action, bool meta);
  Result quoted_key(InputCode code);
  bool move_to_line(long index);
  bool refuse_read_only();
  bool pendingEnd_ = false;       // a command key ended the loop
};

} // namespace KOR
