// Raw key mode's special keys: loaded from the key file of the terminal
// type, the built-in table for the type "default", or learned from the user
// in a dialogue on the screen and then saved.
#pragma once

#include <cstdio>
#include <string>

#include "kor/SpecialKeys.h"

namespace KOR {

// What loading and learning need from the terminal.
class KeySetupIO {
public:
  virtual ~KeySetupIO() = default;
  // Keys come from the terminal and the screen is drawn: learning can ask.
  virtual bool can_learn() const = 0;
  // Leaves the screen before the fatal messages.
  virtual void end_screen() = 0;
  virtual void clear() = 0;
  // Writes the text at column 0 of the row, clears the rest and refreshes.
  virtual void show(int row, const std::string &text) = 0;
  // One raw read of at most `max` bytes of standard input.
  virtual int read_sequence(unsigned char *buf, int max) = 0;
  virtual void pause() = 0;   // one second, so a message can be read
  virtual FILE *messages() = 0;   // standard error
};

struct KeySetupEnv {
  std::string kordir;
  const char *korterm = nullptr;   // KORTERM, null when unset
  const char *term = nullptr;      // TERM, null when unset
  bool debug = false;              // -@: bad key-file entries are reported, not relearned
};

// Loads the table for the terminal type (KORTERM, else TERM, else
// "default") and stores the type actually used in *type.  A type from TERM
// without a key file falls back to "default" with a warning; a type from
// KORTERM is learned, which without a terminal ends the shell with status 1.
SpecialKeys load_special_keys(const KeySetupEnv &env, KeySetupIO &io, bool relearn,
                              std::string *type);

// Why learning refuses a key's bytes, or null when the key is kept (three
// bytes or more, beginning with ESC).
const char *learn_verdict(const unsigned char *bytes, int n);

// Asks for each of the 39 keys on row 11; refused keys are disabled.
void learn_keys(KeySetupIO &io, SpecialKeys &keys);

} // namespace KOR
