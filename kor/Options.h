// Start-up settings: built-in defaults, then the options file
// "init/options" in the KOR directory, then the command line.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace KOR {

struct Options {
  std::optional<std::string> expr;    // -e EXPR
  std::optional<std::string> rcFile;  // -r FILE, "rcFile"
  std::optional<std::string> script;  // the SCRIPT argument
  bool pulse = true;                  // busy indicator; -p, "pulse"
  bool compatible = false;            // -C, "compatible" (stored only)
  bool save = true;                   // -s, "save" (stored only)
  bool keytest = false;               // -@
  bool interactive = false;           // -i, "interactive"
  bool color = true;                  // -c, "color"
  bool keypad = true;                 // curses decodes special keys
  bool meta = true;                   // 8-bit input; -m, "meta"
  bool useSequences = true;           // processes run compiled sequences
};

// The one global record.
Options &options();

// Applies one line of an options file.  Returns true when it set something.
// Comment lines ("#" as the key), unknown keys and lines without both a key
// and a value change nothing.
bool apply_options_line(const char *line, Options &opts);

// Reads an options stream line by line.  Lines longer than 254 characters are
// cut there and the rest of the line is discarded, so that the tail of a long
// line is never taken for a setting of its own.
void read_options_stream(FILE *in, Options &opts);

// Reads "init/options" from the KOR directory; a missing file changes nothing.
void read_options_file(Options &opts);

// What the command line asks for once parsed.
enum class StartMode { Run, ShowHelp, ShowVersion, BadUsage };

// Parses argv with the option string "@Cce:hil:mpr:st:v" (POSIX getopt rules,
// its messages on standard error).  -l and -t open their files as they are
// met, storing the descriptors in *logFd and *traceFd; a failure there is
// fatal ("open").  Parsing stops at the first -h, -v or bad option.
StartMode parse_command_line(int argc, char *const argv[], Options &opts, int *logFd,
                             int *traceFd);

// Usage text of -h and of a bad command line, with the program name.
void print_usage(FILE *out, const char *progname);

} // namespace KOR
