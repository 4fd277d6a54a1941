// Runs a program on a real terminal: a detached tmux session of a given
// size on a private server, with keys sent by name or as exact bytes and the
// screen read back.  Every wait polls with a deadline.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "blackbox/harness.h"

namespace bb {

// Polls `done` every 20 ms until it holds or `seconds` have passed.
bool wait_until(const std::function<bool()> &done, double seconds = 10);

class Tmux {
public:
  // Starts `command` (a shell command line) in the sandbox's working
  // directory with its environment plus `env`.  The pane's TERM is
  // tmux-256color, and the pane stays after the command ends so that its
  // status and last screen can be read.
  Tmux(const Sandbox &box, const std::string &command,
       const std::map<std::string, std::string> &env = {}, int rows = 30, int cols = 80);
  ~Tmux();
  Tmux(const Tmux &) = delete;
  Tmux &operator=(const Tmux &) = delete;

  // Keys by tmux's names: "a", "Up", "C-a", "M-x", "Escape", "S-F1", "Enter".
  void keys(const std::vector<std::string> &names);
  // Exact bytes, whatever tmux would send for a key.
  void bytes(const std::string &raw);

  // Changes the window's size; the program sees SIGWINCH.
  void resize(int rows, int cols);

  // The screen, one string per row, trailing blanks removed.
  std::vector<std::string> screen();
  bool wait_for_text(const std::string &text, double seconds = 10);
  bool wait_for_row(int row, const std::string &text, double seconds = 10);
  // The exit status once the command has ended.
  std::optional<int> wait_exit(double seconds = 10);

private:
  std::string tmux(const std::vector<std::string> &args);
  std::string status_file() const;

  const Sandbox &box_;
  std::string socket_;
  std::string tmux_;
};

} // namespace bb
