// The Visit view: one object of the main stack in its edit form, edited with
// the whole editor over the stack pane.  Enter stores the text back when it
// reads as exactly one object; otherwise the reason is shown and the edit
// stays open, so nothing typed is lost.  Ctl-C leaves the object unchanged.
#pragma once

#include <string>

#include "kor/Editor.h"
#include "kor/Stack.h"

namespace KOR {

class Context;

class VisitView {
public:
  // Edits `level` (1 is the top) of `cx`'s main stack, which the caller
  // holds locked for the whole view.  With `saveUndo` the context is copied
  // into the undo context before the object is replaced (when its options
  // ask for undo).
  VisitView(Editor &commandLine, Context &cx, size_t level, bool saveUndo);
  VisitView(const VisitView &) = delete;
  VisitView &operator=(const VisitView &) = delete;

  // Runs the editor; true when the object was replaced.
  bool run();
  // Reads the edited text; with one object the level is replaced and the
  // result is empty, else it is the message that says why not.
  std::string store();

  // The object at `level` in its edit form (the text that reads back as it).
  static std::string edit_text(const Context &cx, size_t level);
  // Reads `text` as one object for `cx`'s stack: an empty result and the
  // entry in *out (owned by the caller), or the message that says why not.
  static std::string read_one(const std::string &text, Context &cx, Entry *out);
  // Copies the context into the undo context when its options ask for undo
  // and the undo context is free.
  static void save_for_undo(Context &cx);

  Editor &editor() { return ed_; }
  std::string text() const;   // the edited text, without the header line

private:
  static Editor::Result keys(Editor &ed, InputCode action, bool meta);
  Context &cx_;
  size_t level_;
  bool saveUndo_;
  Editor ed_;
};

} // namespace KOR
