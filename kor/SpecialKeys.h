// The special-key table of raw key mode: 39 keys in a fixed order, each
// with the name used in key files and learning prompts, the input code it
// produces and its byte sequence; and the key-file format that stores it.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "kor/InputCode.h"

namespace KOR {

struct SpecialKey {
  const char *name;
  InputCode code;
  std::array<unsigned char, 7> seq{};
  int length = 0;   // 0: the key is disabled
};

class SpecialKeys {
public:
  static constexpr int COUNT = 39;
  static constexpr int MAX_SEQUENCE = 7;

  SpecialKeys();   // every key disabled

  // The sequences of the terminal type "default" (VT100-style cursor keys,
  // rxvt-style function keys).
  static SpecialKeys builtin();

  const SpecialKey &operator[](int i) const { return keys_[static_cast<size_t>(i)]; }
  void set(int i, const unsigned char *bytes, int length);
  void disable(int i) { set(i, nullptr, 0); }

  // The longest sequence: how many bytes the escape decoder collects.
  int max_length() const;

  // The code of the first key, in table order, whose sequence is exactly the
  // first `length` bytes of `bytes`; `index` gets its position.  IC_NULL when
  // none.
  InputCode find(const unsigned char *bytes, int length, int *index) const;

private:
  std::array<SpecialKey, COUNT> keys_;
};

// Writes the 39 lines of a key file: the name in 17 columns, the length, and
// each byte as " 0x%02x".
void write_key_file(FILE *out, const SpecialKeys &keys);

// Reads a key file by position: the names are read but not compared.  An
// entry is bad when it cannot be scanned, its length is outside 0 to 7, or a
// byte is not a hexadecimal value below 256; a bad entry is left disabled.
// Without `onBad` reading stops at the first bad entry; with it, `onBad` is
// told about each one (its index and the word read in place of the name) and
// reading goes on.  Returns the number of bad entries.
using BadEntryFn = void (*)(void *ctx, int index, const char *word);
int read_key_file(FILE *in, SpecialKeys &keys, BadEntryFn onBad = nullptr, void *ctx = nullptr);

// "<kordir>/term/<type>"
std::string key_file_path(const std::string &kordir, const std::string &type);

} // namespace KOR
