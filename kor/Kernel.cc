#include "kor/Kernel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/InputCoder.h"
#include "kor/Parser.h"
#include "kor/Terminal.h"
#include "kor/platform.h"

namespace KOR {
namespace {

constexpr size_t PATH_LIMIT = 254;

const char *env_or(const char *name, const char *fallback) {
  const char *value = std::getenv(name);
  return value && *value ? value : fallback;
}

std::string kor_path(const char *name) { return kernel().kordir() + std::string("/") + name; }

// mkdir for kormkdir; false with errno set when the directory cannot be made.
bool make_dir(const std::string &path, const char **failedTag) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    *failedTag = "kormkdir stat";
    return false;
  }
  if (errno != ENOENT) {
    *failedTag = "kormkdir stat";
    return false;
  }
  if (mkdir(path.c_str(), 0777) == 0) return true;
  *failedTag = "kormkdir";
  return false;
}

bool make_kor_dirs(const char **failedTag) {
  return make_dir(kor_path(""), failedTag) && make_dir(kor_path("init"), failedTag) &&
         make_dir(kor_path("term"), failedTag);
}

} // namespace

Kernel::Kernel() {
  KOR_CHECK(kt_mutex_init(&mutex_), "Kernel", "mutex_init");
  KOR_CHECK(kt_key_create(&execKey), "Kernel", "key_create");
  roleSignal = roleInput = roleCompile = roleFgProc = kt_self();
  read_environment();
}

Kernel::~Kernel() {
  kt_key_delete(execKey);
  kt_mutex_destroy(&mutex_);
}

void Kernel::read_environment() {
  home_ = env_or("HOME", ".");
  const char *dir = env_or("KORDIR", nullptr);
  kordir_ = dir ? std::string(dir) : std::string(home_) + "/.KOR";
  term_ = env_or("KORTERM", env_or("TERM", nullptr));
  editor_ = env_or("VISUAL", env_or("EDITOR", "vi"));
}

int Kernel::open_error_log() {
  if (kordir_.size() + 6 > PATH_LIMIT) return -1;
  const char *tag = nullptr;
  if (!make_kor_dirs(&tag)) return -1;
  return open(kor_path("errors").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
}

void Kernel::fatal(const char *message) {
  kt_t self = kt_self();
  lock();   // never released: the shell is about to abort
  char report[256];
  if (kt_equal(self, roleSignal)) {
    std::snprintf(report, sizeof report, "%s in signal thread!\n", message);
  } else if (kt_equal(self, roleInput)) {
    std::snprintf(report, sizeof report, "%s in input thread!\n", message);
  } else if (kt_equal(self, roleCompile)) {
    std::snprintf(report, sizeof report, "%s in compile thread!\n", message);
  } else {
    std::snprintf(report, sizeof report, "%s during object execution; attempting to trace...\n",
                  message);
    ssize_t ignored = write(STDERR_FILENO, report, std::strlen(report));
    (void)ignored;
    // Only reachable with real threads: a process thread has no role of its own.
    std::snprintf(report, sizeof report, "Sorry, unable to localize error.\n");
  }
  const char aborting[] = "\r\nAborting...\r\n";
  ssize_t ignored = write(STDERR_FILENO, report, std::strlen(report));
  ignored = write(STDERR_FILENO, aborting, sizeof aborting - 1);
  (void)ignored;
  kt_kill(roleSignal, SIGTERM);
  std::abort();
}

void Kernel::account(double &startTime, bool locked) {
  if (!locked) lock();
  double now = cpu_seconds();
  cpuTotal += startTime > now ? now : now - startTime;
  startTime = now;
  bool pulse = cpuTotal > cpuAtPulse + 0.25;
  if (pulse) cpuAtPulse = cpuTotal;
  if (!locked) unlock();
  if (pulse && coder().opts.pulse && onPulse && terminal().trylock() == 0) {
    terminal().unlock();
    onPulse();
  }
}

void Kernel::input_stage() {
  InputCoder &ic = coder();
  Display &d = display();
  Editor *buf = nullptr;
  d.lock();
  bool screen = d.active;
  d.unlock();
  for (;;) {
    if (!buf) buf = new Editor;
    if (screen) {
      d.repaint(buf->menu);   // the whole screen, once, for the main stack
      screen = false;
    }
    InputCode result;
    do {
      result = buf->run(nullptr, nullptr, false);
    } while (result == IC_INT && !buf->next);
    OP::remember_menu(buf->menu);
    if (result == IC_TERM) {
      d.active = false;
      quit(buf);
      return;
    }
    if (!buf->is_empty()) {
      Parser &q = parser();
      q.lock();
      Editor *waiting = buf->next;
      buf->next = nullptr;
      if (q.enqueue(buf, true) == 11) {
        // Only a threaded build can fill the queue: the compile step runs
        // right after each push here.  Keep the line rather than lose it.
        buf->next = waiting;
        buf->queueFull = true;
      } else {
        buf = waiting;
      }
      q.unlock(false);
      // A line with a syntax error comes back for correction first.
      if (Editor *back = dynamic_cast<Editor *>(d.take_returned_line())) {
        back->next = buf;
        buf = back;
      }
    } else if (buf->next && result == IC_EVAL) {
      // Enter on an empty line brings back the line pushed aside.
      Editor *waiting = buf->next;
      buf->next = nullptr;
      delete buf;
      buf = waiting;
    }
    if (result == IC_EOF) break;
  }
  delete buf;
  Parser &q = parser();
  q.lock();
  q.enqueue(nullptr, true);
  q.unlock(false);
  ic.closed = true;
  if (d.active) {
    d.active = false;
    terminal().close();
  }
}

void Kernel::quit(Editor *buffer) {
  InputCoder &ic = coder();
  ic.closed = true;
  if (ic.traceFd >= 0) {
    close(ic.traceFd);
    ic.traceFd = -1;
  }
  terminal().lock();
  terminal().restore_for_exit(ic.ttyInput);
  terminal().unlock();
  delete buffer;
}

void Kernel::quit() { coder().post_event(283 /* TERM */); }

void kormkdir(const char *name) {
  const char *tag = nullptr;
  if (!make_dir(kor_path(name), &tag)) kor_error(errno, "Kernel", __LINE__, tag);
}

int kor_open(const char *name, int flags) {
  if (std::strlen(kernel().kordir()) + std::strlen(name) > PATH_LIMIT) {
    errno = ENAMETOOLONG;
    return -1;
  }
  if (flags & O_CREAT) {
    kormkdir("");
    kormkdir("init");
    kormkdir("term");
  }
  std::string path = kor_path(name);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 && !(flags & O_CREAT)) return -1;
  return open(path.c_str(), flags, 0644);
}

bool open_next_input() {
  InputCoder &ic = coder();
  if (ic.opts.rcFile) {
    const std::string name = *ic.opts.rcFile;
    int fd = kor_open(name.c_str(), O_RDONLY);
    if (fd < 0) kor_error(errno, "Kernel", __LINE__, name.c_str());
    ic.opts.rcFile.reset();
    ic.inputFd = fd;
  } else if (ic.opts.script) {
    const std::string name = *ic.opts.script;
    int fd = open(name.c_str(), O_RDONLY);
    if (fd < 0) kor_error(errno, "Kernel", __LINE__, name.c_str());
    ic.opts.script.reset();
    ic.inputFd = fd;
  } else if (ic.opts.expr) {
    ic.expression = *ic.opts.expr;
    ic.expressionPos = 0;
    ic.opts.expr.reset();
    ic.inputFd = -2;
  } else if (ic.readStdin) {
    ic.readStdin = false;
    ic.inputFd = 0;
  } else {
    return false;
  }
  ic.newSource = true;
  ic.lineStart = true;
  return true;
}

} // namespace KOR
