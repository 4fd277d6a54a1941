#include "kor/SpecialKeys.h"

#include <cstring>

namespace KOR {

namespace {

struct KeyDef {
  const char *name;
  InputCode code;
  const char *builtin;   // after the ESC; null for BackSpace (a lone Ctl-H)
};

// Table order is the key-file order: never reorder.
const KeyDef kKeys[SpecialKeys::COUNT] = {
    {"Up_Arrow", IC_Up, "[A"},
    {"Down_Arrow", IC_Down, "[B"},
    {"Right_Arrow", IC_Right, "[C"},
    {"Left_Arrow", IC_Left, "[D"},
    {"Page_Up", IC_PageUp, "[5~"},
    {"Page_Down", IC_PageDown, "[6~"},
    {"Home", IC_Home, "[H"},
    {"End", IC_End, "[F"},
    {"Insert", IC_Insert, "[2~"},
    {"Delete", IC_Delete, "[3~"},
    {"BackSpace", IC_BackSpace, nullptr},
    {"Menu", IC_EXT, "[29~"},
    {"F1", fkey(1), "[11~"},
    {"F2", fkey(2), "[12~"},
    {"F3", fkey(3), "[13~"},
    {"F4", fkey(4), "[14~"},
    {"F5", fkey(5), "[15~"},
    {"F6", fkey(6), "[17~"},
    {"F7", fkey(7), "[18~"},
    {"F8", fkey(8), "[19~"},
    {"F9", fkey(9), "[20~"},
    {"F10", fkey(10), "[21~"},
    {"Shift-Up_Arrow", IC_ShiftUp, "[a"},
    {"Shift-Down_Arrow", IC_ShiftDown, "[b"},
    {"Shift-Right_Arrow", IC_ShiftRight, "[c"},
    {"Shift-Left_Arrow", IC_ShiftLeft, "[d"},
    {"Shift-Delete", IC_ShiftDelete, "[sdl"},
    {"Shift-BackSpace", IC_ShiftBackSpace, "[sbs"},
    {"Shift-F1", IC_ShiftF1 + 0, "[1A~"},
    {"Shift-F2", IC_ShiftF1 + 1, "[1B~"},
    {"Shift-F3", IC_ShiftF1 + 2, "[1C~"},
    {"Shift-F4", IC_ShiftF1 + 3, "[1D~"},
    {"Shift-F5", IC_ShiftF1 + 4, "[1E~"},
    {"Shift-F6", IC_ShiftF1 + 5, "[1G~"},
    {"Shift-F7", IC_ShiftF1 + 6, "[1H~"},
    {"Shift-F8", IC_ShiftF1 + 7, "[1I~"},
    {"Shift-F9", IC_ShiftF1 + 8, "[2@~"},
    {"Shift-F10", IC_ShiftF1 + 9, "[2A~"},
    {"ExtPrefix", IC_EXT, "[ice"},
};

} // namespace

SpecialKeys::SpecialKeys() {
  for (int i = 0; i < COUNT; ++i) {
    keys_[static_cast<size_t>(i)].name = kKeys[i].name;
    keys_[static_cast<size_t>(i)].code = kKeys[i].code;
  }
}

SpecialKeys SpecialKeys::builtin() {
  SpecialKeys keys;
  for (int i = 0; i < COUNT; ++i) {
    unsigned char bytes[MAX_SEQUENCE] = {0x1b};
    int n = 1;
    if (!kKeys[i].builtin) {
      bytes[0] = 0x08;
    } else {
      for (const char *p = kKeys[i].builtin; *p; ++p) bytes[n++] = static_cast<unsigned char>(*p);
    }
    keys.set(i, bytes, n);
  }
  return keys;
}

void SpecialKeys::set(int i, const unsigned char *bytes, int length) {
  SpecialKey &k = keys_[static_cast<size_t>(i)];
  k.seq.fill(0);
  k.length = length;
  if (length > 0) std::memcpy(k.seq.data(), bytes, static_cast<size_t>(length));
}

int SpecialKeys::max_length() const {
  int m = 0;
  for (const SpecialKey &k : keys_) m = k.length > m ? k.length : m;
  return m;
}

InputCode SpecialKeys::find(const unsigned char *bytes, int length, int *index) const {
  for (int i = 0; i < COUNT; ++i) {
    const SpecialKey &k = keys_[static_cast<size_t>(i)];
    if (k.length == length && std::memcmp(k.seq.data(), bytes, static_cast<size_t>(length)) == 0) {
      if (index) *index = i;
      return k.code;
    }
  }
  return IC_NULL;
}

void write_key_file(FILE *out, const SpecialKeys &keys) {
  for (int i = 0; i < SpecialKeys::COUNT; ++i) {
    const SpecialKey &k = keys[i];
    std::fprintf(out, "%-17s %d", k.name, k.length);
    for (int b = 0; b < k.length; ++b) std::fprintf(out, " 0x%02x", k.seq[static_cast<size_t>(b)]);
    std::fputc('\n', out);
  }
}

namespace {

bool read_entry(FILE *in, SpecialKeys &keys, int i, char (&word)[64]) {
  word[0] = 0;
  int length = -1;
  if (std::fscanf(in, "%63s%d", word, &length) != 2) return false;
  if (length < 0 || length > SpecialKeys::MAX_SEQUENCE) return false;
  unsigned char bytes[SpecialKeys::MAX_SEQUENCE];
  for (int b = 0; b < length; ++b) {
    unsigned value;
    if (std::fscanf(in, "%x", &value) != 1 || value > 0xff) return false;
    bytes[b] = static_cast<unsigned char>(value);
  }
  keys.set(i, bytes, length);
  return true;
}

} // namespace

int read_key_file(FILE *in, SpecialKeys &keys, BadEntryFn onBad, void *ctx) {
  int bad = 0;
  for (int i = 0; i < SpecialKeys::COUNT; ++i) {
    char word[64];
    if (read_entry(in, keys, i, word)) continue;
    keys.disable(i);
    ++bad;
    if (!onBad) return bad;
    onBad(ctx, i, word);
  }
  return bad;
}

std::string key_file_path(const std::string &kordir, const std::string &type) {
  return kordir + "/term/" + type;
}

} // namespace KOR
