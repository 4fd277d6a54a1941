#include "blackbox/tmux.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace bb {

namespace {

std::string find_tmux() {
  const char *path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    std::string candidate = dir + "/tmux";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  throw std::runtime_error("tmux is not installed");
}

std::string hex_byte(unsigned char b) {
  char buf[3];
  std::snprintf(buf, sizeof buf, "%02x", b);
  return buf;
}

} // namespace

bool wait_until(const std::function<bool()> &done, double seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

Tmux::Tmux(const Sandbox &box, const std::string &command,
           const std::map<std::string, std::string> &env, int rows, int cols)
    : box_(box), socket_(box.root() + "/tmux.sock"), tmux_(find_tmux()) {
  std::string conf = box.root() + "/tmux.conf";
  box.write_file(conf, "set -g default-terminal tmux-256color\n"
                       "set -g remain-on-exit on\n"
                       "set -g status off\n");
  std::vector<std::string> args = {"-f", conf, "new-session", "-d", "-s", "t",
                                   "-x", std::to_string(cols), "-y", std::to_string(rows),
                                   "-c", box.work()};
  for (const auto &[name, value] : env) {
    args.push_back("-e");
    args.push_back(name + "=" + value);
  }
  // tmux does not always learn a dead pane's status: the shell around the
  // command writes it to a file.
  args.push_back("(" + command + "); echo $? > '" + status_file() + "'");
  tmux(args);
}

std::string Tmux::status_file() const { return box_.root() + "/tmux.status"; }

Tmux::~Tmux() {
  try {
    tmux({"kill-server"});
  } catch (const std::exception &) {
    // the server is gone already
  }
}

// Runs one tmux client.  Its output goes through a file, and it gets no
// descriptor but the standard three: the server that the first client
// starts lives on, and would keep any pipe it inherited open.
std::string Tmux::tmux(const std::vector<std::string> &args) {
  std::string outPath = box_.root() + "/tmux.out", errPath = box_.root() + "/tmux.err";
  pid_t pid = fork();
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
      _exit(127);
    closefrom(3);
    clearenv();
    for (const auto &[k, v] : box_.env)
      if (v != "<unset>") setenv(k.c_str(), v.c_str(), 1);
    std::vector<char *> argv = {const_cast<char *>("tmux"), const_cast<char *>("-S"),
                                socket_.data()};
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execv(tmux_.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  bool ended = wait_until([&] { return waitpid(pid, &status, WNOHANG) == pid; });
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("tmux " + (args.empty() ? "" : args[0]) +
                             " failed: " + box_.read_file(errPath));
  return box_.read_file(outPath);
}

void Tmux::keys(const std::vector<std::string> &names) {
  std::vector<std::string> args = {"send-keys", "-t", "t"};
  args.insert(args.end(), names.begin(), names.end());
  tmux(args);
}

void Tmux::bytes(const std::string &raw) {
  std::vector<std::string> args = {"send-keys", "-t", "t", "-H"};
  for (unsigned char b : raw) args.push_back(hex_byte(b));
  tmux(args);
}

void Tmux::resize(int rows, int cols) {
  tmux({"resize-window", "-t", "t", "-x", std::to_string(cols), "-y", std::to_string(rows)});
}

std::vector<std::string> Tmux::screen() {
  std::stringstream text(tmux({"capture-pane", "-p", "-t", "t"}));
  std::vector<std::string> rows;
  for (std::string row; std::getline(text, row);) {
    row.erase(row.find_last_not_of(' ') + 1);
    rows.push_back(row);
  }
  return rows;
}

bool Tmux::wait_for_text(const std::string &text, double seconds) {
  return wait_until([&] {
    for (const std::string &row : screen())
      if (row.find(text) != std::string::npos) return true;
    return false;
  }, seconds);
}

bool Tmux::wait_for_row(int row, const std::string &text, double seconds) {
  return wait_until([&] {
    std::vector<std::string> rows = screen();
    return static_cast<size_t>(row) < rows.size() && rows[static_cast<size_t>(row)] == text;
  }, seconds);
}

std::optional<int> Tmux::wait_exit(double seconds) {
  std::optional<int> status;
  wait_until([&] {
    std::string text = box_.read_file(status_file());
    if (text.empty() || text.back() != '\n') return false;
    status = std::stoi(text);
    return true;
  }, seconds);
  return status;
}

} // namespace bb
