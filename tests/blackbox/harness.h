// Runs the built programs as a user would: arguments, standard input and a
// private environment in, standard output, standard error, exit status and
// written files out.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace bb {

struct Result {
  int status = -1;      // exit status, or -1 when killed by a signal
  int signal = 0;       // the killing signal, 0 when the program exited
  bool timedOut = false;
  std::string out, err;
};

// A private directory per test holding HOME, the KOR directory ($HOME/.KOR,
// passed as KORDIR) and a working directory; removed at destruction.
class Sandbox {
public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox &) = delete;
  Sandbox &operator=(const Sandbox &) = delete;

  const std::string &root() const { return root_; }
  std::string home() const { return root_ + "/home"; }
  std::string kordir() const { return home() + "/.KOR"; }
  std::string work() const { return root_ + "/work"; }

  // Environment for the child: PATH, HOME, KORDIR, plus `env`; a value of
  // "<unset>" removes the variable.
  std::map<std::string, std::string> env;

  void write_file(const std::string &path, const std::string &content) const;
  std::string read_file(const std::string &path) const;
  bool exists(const std::string &path) const;

  // Runs `program` (a path) with `args` in work(), feeding `input`.
  Result run(const std::string &program, const std::vector<std::string> &args,
             const std::string &input = "", double timeoutSeconds = 20) const;
  Result korsh(const std::vector<std::string> &args, const std::string &input = "") const;
  Result keytrace(const std::vector<std::string> &args, const std::string &input = "") const;

private:
  std::string root_;
};

// Path of a built program in the build tree (bin/<name>).
std::string program(const std::string &name);

// The value on level 1 of the last stack korsh printed: the text after the
// level label of the last line of `out`.
std::string top_value(const std::string &out);

} // namespace bb
