// The input decoder: the shell's sources (rc file, SCRIPT, -e expression,
// standard input), the event queue that other stages post to, and the
// keystroke trace.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "kor/InputCode.h"
#include "kor/KeyDecoder.h"
#include "kor/KeyInput.h"
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

  // The next code for the editor: pushed-back codes first, then the open
  // source (opening the next one when it is exhausted).  Never IC_NULL or
  // IC_EXT; EOF when every source is done.  Delivered codes go to the trace.
  InputCode next_code();

  // Keys come from the terminal right now (not a script, trace or expression).
  bool interactive_source() const { return ttyInput && inputFd == 0; }

  // Looks at the keyboard while a program runs in the foreground: Ctl-S
  // stops the foreground job, Ctl-C kills it and ends the look, Ctl-backslash quits
  // the shell; a resized window is kept as a WINCH event; other keys typed
  // meanwhile are dropped.  Without a terminal
  // there is nothing to read.
  void poll_keyboard();

  // What poll_keyboard does with the keys it acts on; tests replace them.
  struct PollActions {
    void (*stop)();   // Ctl-S
    void (*kill)();   // Ctl-C
    void (*quit)();   // Ctl-backslash; never returns
  };
  PollActions pollActions;

  // Called while the terminal has no key for the editor (about ten times a
  // second), so the screen can keep its clock; null does nothing.
  void (*onIdle)() = nullptr;

  // Keys come from the terminal, or from a test's stand-in.
  void attach_keys(KeyInput *keys) { keys_ = keys; }
  // Where the -@ decoding traces go (standard error).
  FILE *debugOut = stderr;

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
  InputCode read_source();     // one code from the open source, EOF at its end
  InputCode read_key(int fd);  // script files and standard input
  InputCode read_terminal();   // one terminal code after the ESC prefixes
  KeyMode key_mode() const;
  KeyInput &keys();
  InputCode read_raw(int fd);  // one byte-level code
  InputCode apply_prefixes(InputCode code);
  bool read_byte(int fd, unsigned char *b);   // false at the end of the source

  int extPending_ = 0;         // an ExtPrefix key modifies the next key
  InputCode metaPending_ = 0;  // Meta gathered from ESC prefixes
  KeyDecoder decoder_;
  KeyInput *keys_ = nullptr;   // null: the terminal
  kt_mutex_t mutex_;
  std::deque<unsigned char> events_;  // event codes stored as code - 256
  std::vector<InputCode> pushedCodes_;
};

InputCoder &coder();

// The key that ExtPrefix makes of the next key (Shift forms, F-keys, menu
// keys); any other key gets Meta.
InputCode ext_code(InputCode code);

// Appends one code to the keystroke trace with unbuffered one-byte writes; a
// short write is fatal ("write"), each byte of a record from its own place.
void write_trace_code(int fd, InputCode code);

} // namespace KOR
