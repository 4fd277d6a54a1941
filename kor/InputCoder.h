// The input decoder: the shell's sources (rc file, SCRIPT, -e expression,
// standard input), the event queue that other stages post to, and the
// keystroke trace.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "kor/InputCode.h"
#include "kor/Options.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace KOR {

class InputCoder {
public:
  InputCoder();
  InputCoder(const InputCoder &) = delete;
  InputCoder &operator=(const InputCoder &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "InputCoder", "mutex_lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "InputCoder", "mutex_unlock"); }

  // Copies the settings and settles ttyInput, ttyOutput and readStdin from
  // -i, -e and SCRIPT.
  void settle_mode(const Options &settings);

  // Appends an event code (256 to 511) to the event queue; any thread.
  void post_event(InputCode code);
  // Takes the oldest event; false when the queue is empty.
  bool take_event(InputCode *code);
  // Code push-back: delivered again, newest first, before any new input.
  void push_code(InputCode code) { pushedCodes_.push_back(code); }

  Options opts;            // the start-up settings, copied from the global record
  int logFd = -1;          // -l FILE
  int inputFd = -1;        // -1 none, -2 the expression, 0 standard input, >0 a script
  int traceFd = -1;        // -t FILE
  bool ttyInput;           // keys come from a terminal through the full screen
  bool ttyOutput;          // the full-screen display is drawn
  bool readStdin = true;   // standard input follows the scripted sources
  bool newSource = false;  // a source was just opened
  bool lineStart = false;  // at the start of a script line
  bool closed = false;     // the input stage has ended
  std::string expression;  // the -e text being read
  size_t expressionPos = 0;

private:
  kt_mutex_t mutex_;
  std::deque<unsigned char> events_;  // event codes stored as code - 256
  std::vector<InputCode> pushedCodes_;
};

InputCoder &coder();

// Appends one code to the keystroke trace with unbuffered one-byte writes; a
// short write is fatal ("write"), each byte of a record from its own place.
void write_trace_code(int fd, InputCode code);

} // namespace KOR
