#include "blackbox/harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace bb {
namespace fs = std::filesystem;

std::string program(const std::string &name) {
  const char *dir = std::getenv("KOR_BUILD_DIR");
  if (!dir) throw std::runtime_error("KOR_BUILD_DIR is not set (run the tests through ctest)");
  return std::string(dir) + "/bin/" + name;
}

Sandbox::Sandbox() {
  char templ[] = "/tmp/korbb.XXXXXX";
  if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp failed");
  root_ = templ;
  fs::create_directories(home());
  fs::create_directories(work());
  env["HOME"] = home();
  env["KORDIR"] = kordir();
  env["PATH"] = "/usr/bin:/bin";
  env["TERM"] = "<unset>";
  env["KORTERM"] = "<unset>";
}

Sandbox::~Sandbox() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Sandbox::write_file(const std::string &path, const std::string &content) const {
  fs::path p = path[0] == '/' ? fs::path(path) : fs::path(work()) / path;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

std::string Sandbox::read_file(const std::string &path) const {
  fs::path p = path[0] == '/' ? fs::path(path) : fs::path(work()) / path;
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Sandbox::exists(const std::string &path) const {
  fs::path p = path[0] == '/' ? fs::path(path) : fs::path(work()) / path;
  return fs::exists(p);
}

namespace {

void drain(int &fd, std::string &into) {
  char buf[4096];
  ssize_t n = read(fd, buf, sizeof buf);
  if (n > 0) {
    into.append(buf, static_cast<size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    close(fd);
    fd = -1;
  }
}

[[noreturn]] void exec_child(const std::string &program, const std::vector<std::string> &args,
                             const std::map<std::string, std::string> &env,
                             const std::string &cwd, int in, int out, int err) {
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
  if (chdir(cwd.c_str()) != 0) _exit(127);
  clearenv();
  for (const auto &[k, v] : env)
    if (v != "<unset>") setenv(k.c_str(), v.c_str(), 1);
  std::vector<char *> argv;
  std::string name = fs::path(program).filename();
  argv.push_back(name.data());
  for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

} // namespace

Result Sandbox::run(const std::string &prog, const std::vector<std::string> &args,
                    const std::string &input, double timeoutSeconds) const {
  int pin[2], pout[2], perr[2];
  if (pipe(pin) || pipe(pout) || pipe(perr)) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid == 0) {
    close(pin[1]); close(pout[0]); close(perr[0]);
    exec_child(prog, args, env, work(), pin[0], pout[1], perr[1]);
  }
  close(pin[0]); close(pout[1]); close(perr[1]);
  signal(SIGPIPE, SIG_IGN);
  size_t written = 0;
  int inFd = pin[1], outFd = pout[0], errFd = perr[0];
  fcntl(inFd, F_SETFL, O_NONBLOCK);
  if (input.empty()) { close(inFd); inFd = -1; }
  Result r;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  while (outFd >= 0 || errFd >= 0) {
    pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
    int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now()).count());
    if (ms <= 0) { r.timedOut = true; kill(pid, SIGKILL); break; }
    if (poll(fds, 3, ms) < 0 && errno != EINTR) break;
    if (fds[0].revents) drain(outFd, r.out);
    if (fds[1].revents) drain(errFd, r.err);
    if (inFd >= 0 && fds[2].revents) {
      ssize_t n = write(inFd, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if (n < 0 && errno != EAGAIN) written = input.size();
      if (written == input.size()) { close(inFd); inFd = -1; }
    }
  }
  for (int fd : {inFd, outFd, errFd}) if (fd >= 0) close(fd);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) r.signal = WTERMSIG(wstatus);
  return r;
}

Result Sandbox::korsh(const std::vector<std::string> &args, const std::string &input) const {
  return run(program("korsh"), args, input);
}

Result Sandbox::keytrace(const std::vector<std::string> &args, const std::string &input) const {
  return run(program("keytrace"), args, input);
}

std::string top_value(const std::string &out) {
  size_t end = out.find_last_not_of('\n');
  if (end == std::string::npos) return "";
  size_t start = out.rfind('\n', end);
  start = start == std::string::npos ? 0 : start + 1;
  std::string line = out.substr(start, end + 1 - start);
  size_t colon = line.find(':');
  size_t v = line.find_first_not_of(' ', colon == std::string::npos ? 0 : colon + 1);
  return v == std::string::npos ? "" : line.substr(v);
}

} // namespace bb
