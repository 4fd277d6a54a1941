// The command history view: the compiled command lines, newest first, in a
// read-only editor over the stack pane.  Enter picks the line under the
// cursor for the command line; "q", "Q" or Ctl-C close the view.
#pragma once

#include <memory>

#include "kor/Buffer.h"
#include "kor/Editor.h"

namespace KOR {

class HistoryView {
public:
  // The view over the command line `commandLine` (redrawn with it).
  explicit HistoryView(Editor &commandLine);
  HistoryView(const HistoryView &) = delete;
  HistoryView &operator=(const HistoryView &) = delete;

  // Fills the listing from the history; false when the history is empty.
  bool load();
  // Runs the view; the chosen command line, or null when it was closed.
  std::unique_ptr<OBJ::Buffer> run();

  // The history entry of the cursor line (its full text), or null.
  std::unique_ptr<OBJ::Buffer> entry_at_cursor() const;
  Editor &editor() { return ed_; }

private:
  static Editor::Result keys(Editor &ed, InputCode action, bool meta);
  Editor ed_;
};

} // namespace KOR
