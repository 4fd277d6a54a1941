// The special-key table of raw key mode and its key files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "kor/SpecialKeys.h"

using namespace KOR;

namespace {

std::string bytes_of(const SpecialKey &k) {
  return std::string(reinterpret_cast<const char *>(k.seq.data()), static_cast<size_t>(k.length));
}

std::string written(const SpecialKeys &keys) {
  char *buf = nullptr;
  size_t size = 0;
  FILE *f = open_memstream(&buf, &size);
  write_key_file(f, keys);
  std::fclose(f);
  std::string s(buf, size);
  std::free(buf);
  return s;
}

int read_text(const std::string &text, SpecialKeys &keys, BadEntryFn onBad = nullptr,
              void *ctx = nullptr) {
  FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
  int bad = read_key_file(f, keys, onBad, ctx);
  std::fclose(f);
  return bad;
}

std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> out;
  size_t start = 0, nl;
  while ((nl = text.find('\n', start)) != std::string::npos) {
    out.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  EXPECT_EQ(start, text.size()) << "text after the last newline";
  return out;
}

TEST(SpecialKeyTable, NamesAndCodesInFileOrder) {
  const SpecialKeys keys;
  const std::pair<int, std::pair<const char *, InputCode>> expected[] = {
      {0, {"Up_Arrow", IC_Up}},          {1, {"Down_Arrow", IC_Down}},
      {2, {"Right_Arrow", IC_Right}},    {3, {"Left_Arrow", IC_Left}},
      {4, {"Page_Up", IC_PageUp}},       {5, {"Page_Down", IC_PageDown}},
      {6, {"Home", IC_Home}},            {7, {"End", IC_End}},
      {8, {"Insert", IC_Insert}},        {9, {"Delete", IC_Delete}},
      {10, {"BackSpace", IC_BackSpace}}, {11, {"Menu", IC_EXT}},
      {12, {"F1", 290}},                 {21, {"F10", 299}},
      {22, {"Shift-Up_Arrow", 261}},     {25, {"Shift-Left_Arrow", 264}},
      {26, {"Shift-Delete", 272}},       {27, {"Shift-BackSpace", 271}},
      {28, {"Shift-F1", 300}},           {37, {"Shift-F10", 309}},
      {38, {"ExtPrefix", IC_EXT}},
  };
  for (const auto &[i, nc] : expected) {
    EXPECT_STREQ(keys[i].name, nc.first) << i;
    EXPECT_EQ(keys[i].code, nc.second) << i;
  }
  for (int i = 0; i < SpecialKeys::COUNT; ++i) EXPECT_EQ(keys[i].length, 0) << i;
  EXPECT_EQ(keys.max_length(), 0);
}

TEST(SpecialKeyTable, BuiltinSequences) {
  const SpecialKeys keys = SpecialKeys::builtin();
  const std::pair<int, const char *> expected[] = {
      {0, "\x1b[A"},    {1, "\x1b[B"},    {2, "\x1b[C"},    {3, "\x1b[D"},    {4, "\x1b[5~"},
      {5, "\x1b[6~"},   {6, "\x1b[H"},    {7, "\x1b[F"},    {8, "\x1b[2~"},   {9, "\x1b[3~"},
      {10, "\x08"},     {11, "\x1b[29~"}, {12, "\x1b[11~"}, {16, "\x1b[15~"}, {17, "\x1b[17~"},
      {21, "\x1b[21~"}, {22, "\x1b[a"},   {25, "\x1b[d"},   {26, "\x1b[sdl"}, {27, "\x1b[sbs"},
      {28, "\x1b[1A~"}, {32, "\x1b[1E~"}, {33, "\x1b[1G~"}, {36, "\x1b[2@~"}, {37, "\x1b[2A~"},
      {38, "\x1b[ice"},
  };
  for (const auto &[i, seq] : expected) EXPECT_EQ(bytes_of(keys[i]), seq) << keys[i].name;
  EXPECT_EQ(keys.max_length(), 5);
  for (int i = 0; i < SpecialKeys::COUNT; ++i) EXPECT_GT(keys[i].length, 0) << i;
}

TEST(SpecialKeyTable, FindMatchesExactLengthInTableOrder) {
  SpecialKeys keys = SpecialKeys::builtin();
  int index = -1;
  const unsigned char up[] = {0x1b, '[', 'A', 'x'};
  EXPECT_EQ(keys.find(up, 3, &index), IC_Up);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(keys.find(up, 4, &index), IC_NULL);
  EXPECT_EQ(keys.find(up, 2, &index), IC_NULL);
  // Two keys with one sequence: the first in the table wins.
  const unsigned char seq[] = {0x1b, 'O', 'P'};
  keys.set(12, seq, 3);
  keys.set(20, seq, 3);
  EXPECT_EQ(keys.find(seq, 3, &index), fkey(1));
  EXPECT_EQ(index, 12);
  keys.disable(12);
  EXPECT_EQ(keys.find(seq, 3, &index), fkey(9));
}

TEST(KeyFile, BuiltinTableWritesThirtyNineLinesInTheFileFormat) {
  std::vector<std::string> lines = lines_of(written(SpecialKeys::builtin()));
  ASSERT_EQ(lines.size(), 39u);
  EXPECT_EQ(lines[0], "Up_Arrow          3 0x1b 0x5b 0x41");
  EXPECT_EQ(lines[10], "BackSpace         1 0x08");
  EXPECT_EQ(lines[17], "F6                5 0x1b 0x5b 0x31 0x37 0x7e");
  EXPECT_EQ(lines[24], "Shift-Right_Arrow 3 0x1b 0x5b 0x63");   // a 17-character name
  EXPECT_EQ(lines[38], "ExtPrefix         5 0x1b 0x5b 0x69 0x63 0x65");
}

TEST(KeyFile, DisabledKeyIsItsNamePaddingAndZero) {
  SpecialKeys keys = SpecialKeys::builtin();
  keys.disable(11);
  keys.disable(27);
  std::vector<std::string> lines = lines_of(written(keys));
  ASSERT_EQ(lines.size(), 39u);
  EXPECT_EQ(lines[11], "Menu              0");
  EXPECT_EQ(lines[27], "Shift-BackSpace   0");
}

TEST(KeyFile, WrittenTableReadsBackIdentically) {
  SpecialKeys keys = SpecialKeys::builtin();
  const unsigned char seven[] = {0x1b, 'O', '1', ';', '2', 'P', 0xff};
  keys.set(28, seven, 7);
  keys.disable(5);
  SpecialKeys back;
  EXPECT_EQ(read_text(written(keys), back), 0);
  for (int i = 0; i < SpecialKeys::COUNT; ++i) {
    EXPECT_EQ(back[i].length, keys[i].length) << i;
    EXPECT_EQ(bytes_of(back[i]), bytes_of(keys[i])) << i;
  }
  EXPECT_EQ(back.max_length(), 7);
}

TEST(KeyFile, EntriesAreTakenByPositionWhateverTheirNames) {
  std::string text;
  for (int i = 0; i < SpecialKeys::COUNT; ++i)
    text += (i == 0 ? "F9 3 0x1b 0x4f 0x41\n" : i == 1 ? "Up_Arrow 0\n" : "Other 1 0x0" +
             std::to_string(i % 10) + "\n");
  SpecialKeys keys;
  EXPECT_EQ(read_text(text, keys), 0);
  EXPECT_EQ(bytes_of(keys[0]), "\x1bOA");
  EXPECT_EQ(keys[0].code, IC_Up);
  EXPECT_EQ(keys[1].length, 0);
  EXPECT_EQ(bytes_of(keys[2]), std::string(1, '\x02'));
}

// Each kind of bad entry, placed at entry 3: reading stops there.
TEST(KeyFile, BadEntriesStopTheReading) {
  const char *badLines[] = {
      "Left_Arrow x\n",                    // no length
      "Left_Arrow 8 1 2 3 4 5 6 7 8\n",    // longer than 7
      "Left_Arrow -1\n",                   // negative
      "Left_Arrow 3 0x1b 0x5b zz\n",       // a byte that is not hexadecimal
      "Left_Arrow 2 0x1b 0x15b\n",         // a byte above 255
  };
  std::vector<std::string> good = lines_of(written(SpecialKeys::builtin()));
  for (const char *bad : badLines) {
    std::string text = good[0] + "\n" + good[1] + "\n" + good[2] + "\n" + bad;
    for (int i = 4; i < SpecialKeys::COUNT; ++i) text += good[static_cast<size_t>(i)] + "\n";
    SpecialKeys keys;
    EXPECT_EQ(read_text(text, keys), 1) << bad;
    EXPECT_EQ(keys[2].length, 3) << bad;
    EXPECT_EQ(keys[3].length, 0) << bad;
    EXPECT_EQ(keys[4].length, 0) << bad;   // not read
  }
}

TEST(KeyFile, TruncatedFileIsBadAtItsEnd) {
  std::vector<std::string> good = lines_of(written(SpecialKeys::builtin()));
  std::string text;
  for (int i = 0; i < 20; ++i) text += good[static_cast<size_t>(i)] + "\n";
  SpecialKeys keys;
  EXPECT_EQ(read_text(text, keys), 1);
  EXPECT_EQ(keys[19].length, 5);
  EXPECT_EQ(keys[20].length, 0);
}

struct Reported {
  std::vector<std::pair<int, std::string>> entries;
};

void note_bad(void *ctx, int index, const char *word) {
  static_cast<Reported *>(ctx)->entries.emplace_back(index, word);
}

TEST(KeyFile, WithAReporterEveryBadEntryIsToldAndSkipped) {
  std::string text = "Up_Arrow 3 0x1b 0x5b 0x41\nDown_Arrow 9\n";
  SpecialKeys keys;
  Reported r;
  // Entry 1 is bad; the rest of the file is missing: each later entry too.
  EXPECT_EQ(read_text(text, keys, note_bad, &r), 38);
  ASSERT_EQ(r.entries.size(), 38u);
  EXPECT_EQ(r.entries[0], std::make_pair(1, std::string("Down_Arrow")));
  EXPECT_EQ(r.entries[1], std::make_pair(2, std::string("")));
  EXPECT_EQ(keys[0].length, 3);
  EXPECT_EQ(keys[1].length, 0);
}

TEST(KeyFile, PathIsTheTermDirectoryOfTheKorDirectory) {
  EXPECT_EQ(key_file_path("/home/u/.KOR", "vt220"), "/home/u/.KOR/term/vt220");
}

} // namespace
