// The Browse view: the main stack's listing over the stack pane, one line
// per level with the deepest first, and keys that act on the level under
// the cursor (the selected level).  The main context stays locked while the
// view is open, so no program changes the stack underneath.
#pragma once

#include <cstddef>

#include "kor/Editor.h"

namespace KOR {

class Context;

class BrowseView {
public:
  // The view of `cx`'s main stack over the command line `commandLine`; the
  // caller holds `cx` locked for the view's lifetime.
  BrowseView(Editor &commandLine, Context &cx);
  ~BrowseView();
  BrowseView(const BrowseView &) = delete;
  BrowseView &operator=(const BrowseView &) = delete;

  // Runs the view with the menu "b" until it is left.
  void run();
  // The view open now (the innermost), or null.
  static BrowseView *active();

  // The selected level, zero-based: the number that starts the cursor line
  // (or the nearest numbered line above it), less one, never below 0.
  size_t selected() const;
  // Rebuilds the listing from the stack and selects `level` (1 is the top;
  // clamped to the depth).
  void reload(size_t level);
  // Moves the cursor to the line of `level` (1 is the top).
  void select_level(size_t level);

  // The level operations on the selected level.
  void swap_up();                  // Ctl-W: with the level above; an error at the top
  bool copy_out(bool move);        // "'" and "`": its text into the command line
  void drop();                     // BackSpace: remove it
  void keep_through();             // Meta-BackSpace: drop every deeper level
  void drop_through();             // Delete: drop it and every level above it
  void roll_to_top();              // Enter: move it to the top
  void dup();                      // a copy directly above it
  void clear();                    // every level
  void visit();                    // Ctl-V: edit it in the Visit view
  // The entries of the menu "b" (STACKDUP, STACKDROP, STACKSWAP,
  // STACKCLEAR); false for any other command.
  bool menu_command(int commandIndex);

  Editor &editor() { return ed_; }

private:
  static Editor::Result keys(Editor &ed, InputCode action, bool meta);
  void before_change();   // the first change of the view saves the stack for undo

  Editor &cmd_;
  Context &cx_;
  Editor ed_;
  size_t pad_ = 0;        // blank protected lines that keep level 1 on the pane's bottom row
  bool undoSaved_ = false;
  BrowseView *outer_;
};

} // namespace KOR
