#include "kor/Options.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kor/Kernel.h"
#include "kor/kor_error.h"

namespace KOR {

Options &options() {
  static Options opts;
  return opts;
}

namespace {

constexpr const char OPTION_STRING[] = "@Cce:hil:mpr:st:v";
constexpr size_t LINE_MAX_CHARS = 254;
constexpr size_t KEY_MAX = 31;
constexpr size_t VALUE_MAX = 255;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Copies the next word of at most `max` characters; a longer word fails.
bool next_word(const char *&p, std::string &word, size_t max) {
  while (*p && is_blank(*p)) ++p;
  const char *start = p;
  while (*p && !is_blank(*p)) ++p;
  size_t n = static_cast<size_t>(p - start);
  if (n == 0 || n > max) return false;
  word.assign(start, n);
  return true;
}

bool flag_value(const std::string &value) { return std::strtol(value.c_str(), nullptr, 10) != 0; }

// POSIX getopt over one option string, reporting errors the way getopt does.
class OptionScanner {
public:
  OptionScanner(int argc, char *const argv[]) : argc_(argc), argv_(argv) {}

  // Next option letter, '?' for an error, -1 at the end of the options.
  int next() {
    if (charIndex_ == 0) {
      if (index_ >= argc_) return -1;
      const char *arg = argv_[index_];
      if (arg[0] != '-' || arg[1] == '\0') return -1;
      if (std::strcmp(arg, "--") == 0) { ++index_; return -1; }
      charIndex_ = 1;
    }
    const char *arg = argv_[index_];
    char letter = arg[charIndex_++];
    const char *spec = letter == ':' ? nullptr : std::strchr(OPTION_STRING, letter);
    bool lastInWord = arg[charIndex_] == '\0';
    if (!spec) {
      std::fprintf(stderr, "%s: illegal option -- %c\n", argv_[0], letter);
      advance_if(lastInWord);
      return '?';
    }
    if (spec[1] != ':') {
      advance_if(lastInWord);
      return letter;
    }
    if (!lastInWord) {
      argument_ = arg + charIndex_;
      advance_if(true);
    } else if (index_ + 1 < argc_) {
      argument_ = argv_[index_ + 1];
      index_ += 2;
      charIndex_ = 0;
    } else {
      std::fprintf(stderr, "%s: option requires an argument -- %c\n", argv_[0], letter);
      advance_if(true);
      return '?';
    }
    return letter;
  }

  const char *argument() const { return argument_; }
  int index() const { return index_; }

private:
  void advance_if(bool endOfWord) {
    if (endOfWord) { ++index_; charIndex_ = 0; }
  }

  int argc_;
  char *const *argv_;
  int index_ = 1;
  int charIndex_ = 0;
  const char *argument_ = nullptr;
};

int open_or_die(const char *path, int flags) {
  int fd = open(path, flags, 0644);
  if (fd < 0) kor_error(errno, "Options", __LINE__, "open");
  return fd;
}

} // namespace

bool apply_options_line(const char *line, Options &opts) {
  std::string key, value;
  const char *p = line;
  if (!next_word(p, key, KEY_MAX)) return false;
  if (key == "#") return false;
  if (!next_word(p, value, VALUE_MAX)) return false;
  bool *flag = key == "color"         ? &opts.color
               : key == "compatible"  ? &opts.compatible
               : key == "interactive" ? &opts.interactive
               : key == "meta"        ? &opts.meta
               : key == "pulse"       ? &opts.pulse
               : key == "save"        ? &opts.save
                                      : nullptr;
  if (flag) {
    *flag = flag_value(value);
    return true;
  }
  if (key == "rcFile") {
    opts.rcFile = value;
    return true;
  }
  return false;
}

void read_options_stream(FILE *in, Options &opts) {
  std::string line;
  int c;
  bool more = true;
  while (more) {
    line.clear();
    while ((c = std::fgetc(in)) != EOF && c != '\n') {
      if (line.size() < LINE_MAX_CHARS && c != '\0') line.push_back(static_cast<char>(c));
    }
    more = c != EOF;
    if (!line.empty()) apply_options_line(line.c_str(), opts);
  }
}

void read_options_file(Options &opts) {
  int fd = kor_open("init/options", O_RDONLY);
  if (fd < 0) return;
  FILE *in = fdopen(fd, "r");
  if (!in) {
    close(fd);
    return;
  }
  read_options_stream(in, opts);
  std::fclose(in);
}

StartMode parse_command_line(int argc, char *const argv[], Options &opts, int *logFd,
                             int *traceFd) {
  OptionScanner scan(argc, argv);
  for (int letter; (letter = scan.next()) != -1;) {
    switch (letter) {
    case '@': opts.keytest = true; break;
    case 'C': opts.compatible = true; break;
    case 'c': opts.color = false; break;
    case 'e': opts.expr = scan.argument(); break;
    case 'h': return StartMode::ShowHelp;
    case 'i': opts.interactive = true; break;
    case 'l': *logFd = open_or_die(scan.argument(), O_WRONLY | O_CREAT | O_TRUNC); break;
    case 'm': opts.meta = false; break;
    case 'p': opts.pulse = false; break;
    case 'r': opts.rcFile = scan.argument(); break;
    case 's': opts.save = false; break;
    case 't': *traceFd = open_or_die(scan.argument(), O_WRONLY | O_CREAT | O_TRUNC); break;
    case 'v': return StartMode::ShowVersion;
    default: return StartMode::BadUsage;
    }
  }
  int rest = argc - scan.index();
  if (rest > 1) return StartMode::BadUsage;
  if (rest == 1 && std::strcmp(argv[scan.index()], "-") != 0) opts.script = argv[scan.index()];
  return StartMode::Run;
}

void print_usage(FILE *out, const char *progname) {
  std::fprintf(out, "\nUsage:  %s [Options] [SCRIPT]\n", progname);
  std::fputs("Options:\n"
             "\n"
             "  -@\t    Enter low-level keystroke test mode (use Q to quit).\n"
             "  -C\t    [Not implemented:] Enable legacy compatibility mode.\n"
             "  -c\t    Disable use of color in interactive output.\n"
             "  -e EXPR   Evaluate expression EXPR and exit.\n"
             "  -h\t    Display this usage help and exit.\n"
             "  -i\t    Force interactive input mode (affects -e and [SCRIPT]).\n"
             "  -l FILE   [Not implemented:] Log commands to script FILE.\n"
             "  -m\t    Disable meta-key (8-bit) input processing.\n"
             "  -p\t    Disable pulsing CPU use indicator.\n"
             "  -r FILE   Read commands from KOR script FILE on startup.\n"
             "  -s\t    [Not implemented:] Disable save/restore of program state.\n"
             "  -t FILE   Save input keystroke trace to FILE.\n"
             "  -v\t    Display version information and exit.\n"
             "\n",
             out);
}

} // namespace KOR
