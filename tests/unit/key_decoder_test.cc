// The terminal layer of the input decoder: the keypad-mode map of curses
// keys and raw mode's escape decoder with its byte push-back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "kor/KeyDecoder.h"
#include "kor/KeypadMap.h"
#include "unit/terminal_fakes.h"

using namespace KOR;

namespace {

const KeyMode RAW{false, true, nullptr};
const KeyMode KEYPAD{true, true, nullptr};

// ---- Keypad mode ---------------------------------------------------------------

TEST(KeypadMap, CursesKeysByTheNamesOfTheirConstants) {
  const std::pair<const char *, InputCode> expected[] = {
      {"KEY_UP", IC_Up},          {"KEY_DOWN", IC_Down},         {"KEY_LEFT", IC_Left},
      {"KEY_RIGHT", IC_Right},    {"KEY_HOME", IC_Home},         {"KEY_A1", IC_Home},
      {"KEY_END", IC_End},        {"KEY_LL", IC_End},            {"KEY_C1", IC_End},
      {"KEY_PPAGE", IC_PageUp},   {"KEY_A3", IC_PageUp},         {"KEY_NPAGE", IC_PageDown},
      {"KEY_C3", IC_PageDown},    {"KEY_BACKSPACE", 8},          {"KEY_DC", 127},
      {"KEY_IC", IC_Insert},      {"KEY_CLEAR", IC_Clear},       {"KEY_ENTER", 13},
      {"KEY_HELP", IC_Help},      {"KEY_SDC", IC_ShiftDelete},   {"KEY_SLEFT", IC_ShiftLeft},
      {"KEY_SRIGHT", IC_ShiftRight}, {"KEY_SR", IC_ShiftUp},     {"KEY_SF", IC_ShiftDown},
      {"KEY_RESIZE", IC_WINCH},   {"KEY_F(1)", fkey(1)},         {"KEY_F(9)", fkey(9)},
      {"KEY_F(10)", fkey(10)},    {"KEY_F(13)", IC_ShiftF1},     {"KEY_F(22)", IC_ShiftF1 + 9},
  };
  fake::Keys keys;
  for (const auto &[name, code] : expected)
    EXPECT_EQ(keys.keypad_map().code(fake::curses_key(name)), code) << name;
}

TEST(KeypadMap, EveryListedCursesKeyIsDistinctAndAboveTheCharacters) {
  std::set<int> seen;
  for (const NamedKey &k : curses_keypad_keys()) {
    EXPECT_GE(k.key, 256) << k.name;
    EXPECT_TRUE(seen.insert(k.key).second) << k.name << " listed twice";
  }
  EXPECT_EQ(seen.size(), 45u);
}

TEST(KeypadMap, CharactersEscAndUnknownKeys) {
  KeypadMap map;
  map.add(400, IC_Up);
  EXPECT_EQ(map.code(27), IC_ESC_PREFIX);
  EXPECT_EQ(map.code(0), IC_NULL);
  EXPECT_EQ(map.code('a'), 'a');
  EXPECT_EQ(map.code(1), 1);
  EXPECT_EQ(map.code(127), 127);
  EXPECT_EQ(map.code(0xe9), 0xe9);   // an 8-bit character
  EXPECT_EQ(map.code(400), IC_Up);
  EXPECT_EQ(map.code(401), IC_NULL);
  EXPECT_EQ(map.code(256), IC_NULL);
}

TEST(KeypadMap, ModifiedCursorKeysFromExtendedCapabilities) {
  std::map<std::string, InputCode> caps;
  for (const CapabilityKey &k : capability_keys()) caps[k.capability] = k.code;
  EXPECT_EQ(caps.at("kUP"), IC_ShiftUp);
  EXPECT_EQ(caps.at("kDN"), IC_ShiftDown);
  EXPECT_EQ(caps.at("kUP3"), IC_META_BIT | IC_Up);
  EXPECT_EQ(caps.at("kLFT3"), IC_META_BIT | IC_Left);
  EXPECT_EQ(caps.at("kRIT3"), IC_META_BIT | IC_Right);
  EXPECT_EQ(caps.at("kDC3"), IC_META_BIT | IC_DEL);
}

TEST(KeypadDecoding, KeysTimeoutsAndTheEndOfTheTerminal) {
  fake::Keys keys;
  keys.keys = {'a', KeyInput::NONE, fake::curses_key("KEY_LEFT"), 0, 27, 999, KeyInput::END};
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, KEYPAD), 'a');
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_NULL);
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_Left);
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_NULL);   // key 0
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_ESC_PREFIX);
  EXPECT_EQ(d.last_code(), IC_ESC_PREFIX);
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_NULL);   // an unmapped curses key
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_EOF);
}

TEST(KeypadDecoding, TheReadAfterAnEscPrefixDoesNotWait) {
  fake::Keys keys;
  keys.keys = {'x', 27, KeyInput::NONE, 'y'};
  KeyDecoder d;
  d.read_code(keys, KEYPAD);
  EXPECT_TRUE(keys.calls.empty());
  d.read_code(keys, KEYPAD);   // ESC
  EXPECT_TRUE(keys.calls.empty());
  EXPECT_EQ(d.read_code(keys, KEYPAD), IC_NULL);
  EXPECT_EQ(keys.calls, (std::vector<std::string>{"wait off", "timeout 1"}));
  EXPECT_EQ(d.read_code(keys, KEYPAD), 'y');   // waits again
  EXPECT_EQ(keys.calls.size(), 2u);
}

// ---- Raw mode ----------------------------------------------------------------

TEST(EscapeDecoder, KnownSequenceGivesItsKey) {
  fake::Keys keys;
  keys.type("\x1b[A\x1b[6~\x1b[17~\x1b[1G~\x1b[sdl");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_Up);
  EXPECT_EQ(d.read_code(keys, RAW), IC_PageDown);
  EXPECT_EQ(d.read_code(keys, RAW), fkey(6));
  EXPECT_EQ(d.read_code(keys, RAW), IC_ShiftF1 + 5);
  EXPECT_EQ(d.read_code(keys, RAW), IC_ShiftDelete);
  EXPECT_EQ(d.read_code(keys, RAW), IC_NULL);
}

TEST(EscapeDecoder, UnknownSequenceIsTheEscPrefixAndItsBytesComeAgain) {
  fake::Keys keys;
  keys.type("\x1b[Zq");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);
  EXPECT_EQ(d.read_code(keys, RAW), '[');
  EXPECT_EQ(d.read_code(keys, RAW), 'Z');
  EXPECT_EQ(d.read_code(keys, RAW), 'q');
  EXPECT_FALSE(d.has_pushed());
}

TEST(EscapeDecoder, BytesAfterTheSequenceAreReadNextInOrder) {
  fake::Keys keys;
  keys.type("\x1b[Bxy");   // collected up to the longest key, 5 bytes
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_Down);
  EXPECT_TRUE(d.has_pushed());
  EXPECT_EQ(d.read_code(keys, RAW), 'x');
  EXPECT_EQ(d.read_code(keys, RAW), 'y');
}

TEST(EscapeDecoder, BackToBackSequences) {
  fake::Keys keys;
  keys.type("\x1b[A\x1b[B\x1b[C");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_Up);
  EXPECT_EQ(d.read_code(keys, RAW), IC_Down);
  EXPECT_EQ(d.read_code(keys, RAW), IC_Right);
}

TEST(EscapeDecoder, LongestMatchWins) {
  fake::Keys keys;
  SpecialKeys &t = keys.special;
  t = SpecialKeys();
  const unsigned char shortSeq[] = {0x1b, '[', '1'};
  const unsigned char longSeq[] = {0x1b, '[', '1', '~'};
  t.set(37, shortSeq, 3);   // later in the table, shorter
  t.set(0, longSeq, 4);
  keys.type("\x1b[1~\x1b[1x");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_Up);
  EXPECT_EQ(d.read_code(keys, RAW), IC_ShiftF1 + 9);
  EXPECT_EQ(d.read_code(keys, RAW), 'x');
}

TEST(EscapeDecoder, ATimeoutEndsTheSequence) {
  fake::Keys keys;
  keys.type("\x1b[");
  keys.pause(1);
  keys.type("A");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);   // two bytes are no key
  EXPECT_EQ(d.read_code(keys, RAW), '[');
  EXPECT_EQ(d.read_code(keys, RAW), 'A');
}

TEST(EscapeDecoder, LoneEscIsThePrefix) {
  fake::Keys keys;
  keys.type("\x1b");
  keys.pause(3);
  keys.type("x");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);
  EXPECT_FALSE(d.has_pushed());
  EXPECT_EQ(d.read_code(keys, RAW), IC_NULL);
  EXPECT_EQ(d.read_code(keys, RAW), IC_NULL);
  EXPECT_EQ(d.read_code(keys, RAW), 'x');
}

TEST(EscapeDecoder, EscEscIsTwoPrefixes) {
  fake::Keys keys;
  keys.type("\x1b\x1b[A");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);
  EXPECT_EQ(d.read_code(keys, RAW), IC_Up);   // the second ESC starts the sequence
}

TEST(EscapeDecoder, PushedBackBytesAreCollectedBeforeNewOnes) {
  fake::Keys keys;
  keys.type("\x1b[Z");   // the prefix; "[Z" pushed back
  keys.pause(1);
  keys.type("\x1b");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);
  d.push_byte('A');   // now the push-back holds "A[Z", read as A [ Z ...
  d.push_byte('[');
  d.push_byte(0x1b);
  // ... so ESC [ A is Up and "[Z" is read after it.
  EXPECT_EQ(d.read_code(keys, RAW), IC_Up);
  EXPECT_EQ(d.read_code(keys, RAW), '[');
  EXPECT_EQ(d.read_code(keys, RAW), 'Z');
}

TEST(EscapeDecoder, ShortAndDisabledEntriesNeverMatch) {
  fake::Keys keys;
  keys.special.disable(0);   // Up
  keys.type("\x1b[A");
  keys.type("\x08");   // BackSpace's one-byte built-in sequence is a plain Ctl-H
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);
  EXPECT_EQ(d.read_code(keys, RAW), '[');
  EXPECT_EQ(d.read_code(keys, RAW), 'A');
  EXPECT_EQ(d.read_code(keys, RAW), 8);
}

TEST(EscapeDecoder, WithEveryKeyDisabledEscIsAlwaysThePrefix) {
  fake::Keys keys;
  keys.special = SpecialKeys();
  keys.type("\x1b[A");
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), IC_ESC_PREFIX);
  EXPECT_EQ(d.read_code(keys, RAW), '[');
}

TEST(EscapeDecoder, SevenBitInputWithoutMeta) {
  fake::Keys keys;
  keys.bytes = {0xe1, 0x9b};
  KeyDecoder d;
  KeyMode sevenBit{false, false, nullptr};
  EXPECT_EQ(d.read_code(keys, sevenBit), 'a');
  EXPECT_EQ(d.read_code(keys, sevenBit), IC_ESC_PREFIX);   // 0x9b is ESC without bit 7
  keys.bytes = {0xe1};
  EXPECT_EQ(d.read_code(keys, RAW), 0xe1);
}

TEST(EscapeDecoder, EndOfTheTerminalIsEof) {
  fake::Keys keys;
  keys.bytes = {'a', KeyInput::END};
  KeyDecoder d;
  EXPECT_EQ(d.read_code(keys, RAW), 'a');
  EXPECT_EQ(d.read_code(keys, RAW), IC_EOF);
}

// ---- -@ traces -------------------------------------------------------------

class Traces {
public:
  Traces() : f(open_memstream(&buf_, &size_)) {}
  ~Traces() {
    if (f) std::fclose(f);
    std::free(buf_);
  }
  std::string text() {
    std::fflush(f);
    return std::string(buf_, size_);
  }
  FILE *f;

private:
  char *buf_ = nullptr;
  size_t size_ = 0;
};

TEST(DecoderTraces, RawModeBytesCollectionAndMatch) {
  Traces t;
  fake::Keys keys;
  keys.type("\x1b[A");
  keys.pause(2);
  keys.type("b");
  KeyDecoder d;
  KeyMode mode{false, true, t.f};
  EXPECT_EQ(d.read_code(keys, mode), IC_Up);     // its collection ends at the first pause
  EXPECT_EQ(d.read_code(keys, mode), IC_NULL);   // the second pause
  EXPECT_EQ(d.read_code(keys, mode), 'b');
  EXPECT_EQ(t.text(),
            "Entering tty_read...\n\r"
            "tr: 001b (27)\n\r"
            "Entering tty_read...\n\r"
            "tr: 005b (91)\n\r"
            "Entering tty_read...\n\r"
            "tr: 0041 (65)\n\r"
            "Entering tty_read...\n\r"   // the wait that ends the collection
            "s0: 001b (27)\n\r"
            "s1: 005b (91)\n\r"
            "s2: 0041 (65)\n\r"
            "spec: Up_Arrow\n\r"
            "ch: 0101 (257)\n\r"
            "tr: 0062 (98)\n\r"          // the same wait: announced once
            "ch: 0062 (98)\n\r");
}

TEST(DecoderTraces, KeypadModeCursesKeyAndCode) {
  Traces t;
  fake::Keys keys;
  int left = fake::curses_key("KEY_LEFT");
  keys.keys = {left, KeyInput::NONE, 'q'};
  KeyDecoder d;
  KeyMode mode{true, true, t.f};
  d.read_code(keys, mode);
  d.read_code(keys, mode);
  d.read_code(keys, mode);
  char expected[128];
  std::snprintf(expected, sizeof expected, "gc: %04x (%d)\n\rch: 0104 (260)\n\r"
                "gc: 0071 (113)\n\rch: 0071 (113)\n\r", left, left);
  EXPECT_EQ(t.text(), expected);
}

} // namespace
