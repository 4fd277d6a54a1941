// Key names and the keystroke trace format.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "kor/InputCode.h"
#include "kor/InputCoder.h"

using namespace KOR;

namespace {

std::string name(int code) { return key_name(code); }

std::vector<int> read_all(const std::string &bytes) {
  FILE *f = fmemopen(const_cast<char *>(bytes.data()), bytes.size(), "rb");
  std::vector<int> codes;
  if (!f) return codes;   // fmemopen refuses an empty buffer
  for (int c; (c = read_trace_code(f)) != -1;) codes.push_back(c);
  std::fclose(f);
  return codes;
}

std::string encoded(int code) {
  unsigned char b[2];
  int n = encode_trace_code(code, b);
  return std::string(reinterpret_cast<char *>(b), static_cast<size_t>(n));
}

} // namespace

TEST(KeyName, RangesFormatTheirMembers) {
  EXPECT_EQ(name(1), "Ctl-A");
  EXPECT_EQ(name(8), "Ctl-H");
  EXPECT_EQ(name(9), "Ctl-I");
  EXPECT_EQ(name(13), "Ctl-M");
  EXPECT_EQ(name(26), "Ctl-Z");
  EXPECT_EQ(name(32), "' '");
  EXPECT_EQ(name('\''), "'''");
  EXPECT_EQ(name('a'), "'a'");
  EXPECT_EQ(name(126), "'~'");
  EXPECT_EQ(name(290), "F1");
  EXPECT_EQ(name(299), "F10");
  EXPECT_EQ(name(300), "Shift-F1");
  EXPECT_EQ(name(309), "Shift-F10");
  EXPECT_EQ(name(310), "Menu-A");
  EXPECT_EQ(name(335), "Menu-Z");
}

TEST(KeyName, EveryNamedCode) {
  const std::pair<int, const char *> named[] = {
      {0, "Null"}, {27, "ESC"}, {28, "Ctl-\\"}, {29, "Ctl-]"}, {30, "Ctl-^"}, {31, "Ctl-_"},
      {127, "DEL"}, {128, "META"}, {256, "IC_EXT"}, {257, "Up"}, {258, "Down"},
      {259, "Right"}, {260, "Left"}, {261, "Shift-Up"}, {262, "Shift-Down"},
      {263, "Shift-Right"}, {264, "Shift-Left"}, {265, "PageUp"}, {266, "PageDown"},
      {267, "End"}, {268, "Home"}, {269, "BackSpace"}, {270, "Delete"},
      {271, "Shift-BackSpace"}, {272, "Shift-Delete"}, {273, "Insert"}, {274, "Help"},
      {275, "Clear"}, {276, "NewLine"}, {277, "Local"}, {278, "EVAL"}, {279, "EOF"},
      {280, "INT"}, {281, "TSTP"}, {282, "QUIT"}, {283, "TERM"}, {284, "WINCH"},
      {285, "REDRAW"}, {286, "PULSE"}, {287, "INPUT"}, {288, "PROC"}, {289, "COMP"},
      {0x3fff, "IC_NULL"}};
  for (auto [code, text] : named) {
    EXPECT_EQ(name(code), text) << code;
    EXPECT_EQ(name(code | IC_META_BIT), std::string("Meta-") + text) << code;
  }
  EXPECT_EQ(name(IC_Up), "Up");
  EXPECT_EQ(name(IC_COMP), "COMP");
  EXPECT_EQ(name(fkey(10)), "F10");
  EXPECT_EQ(name(menu_key('H')), "Menu-H");
  EXPECT_EQ(name(ctl('C')), "Ctl-C");
}

TEST(KeyName, MetaPrefixBit15IgnoredAndHexForTheRest) {
  EXPECT_EQ(name(0x4061), "Meta-'a'");
  EXPECT_EQ(name(0x4000), "Meta-Null");
  EXPECT_EQ(name(0x4103), "Meta-Right");
  EXPECT_EQ(name(0x4000 | 0x3fff), "Meta-IC_NULL");
  EXPECT_EQ(name(0x8041), "'A'");
  EXPECT_EQ(name(0x0081), "0x0081");
  EXPECT_EQ(name(200), "0x00c8");
  EXPECT_EQ(name(255), "0x00ff");
  EXPECT_EQ(name(336), "0x0150");
  EXPECT_EQ(name(0x3ffe), "0x3ffe");
  EXPECT_EQ(name(0x4000 | 200), "Meta-0x00c8");
  EXPECT_EQ(name(0x4000 | IC_ShiftBackSpace), "Meta-Shift-BackSpace");   // the longest name
  for (int code = 0; code < 0x10000; ++code) EXPECT_GT(name(code).size(), 0u);
}

TEST(TraceFormat, RecordsOfTheListedCodes) {
  using namespace std::string_literals;
  EXPECT_EQ(encoded(0), "\x00\x00"s);
  EXPECT_EQ(encoded(128), "\x00\x80"s);
  EXPECT_EQ(encoded(0x4000), "\x80\x00"s);
  EXPECT_EQ(encoded(257), "\x00\x01"s);
  EXPECT_EQ(encoded(0x4101), "\x00\x81"s);
  EXPECT_EQ(encoded(335), "\x00\x4f"s);
  EXPECT_EQ(encoded('a'), "a");
  EXPECT_EQ(encoded(0x4061), "\x80" "a"s);
  EXPECT_EQ(encoded(255), "\xff");
}

TEST(TraceFormat, EveryDeliverableCodeRoundTrips) {
  std::vector<int> codes;
  for (int c = 0; c <= 255; ++c) codes.push_back(c);
  for (int c = 0; c <= 255; ++c) codes.push_back(c | IC_META_BIT);
  for (int c = 257; c <= IC_LAST_KEY; ++c) {
    codes.push_back(c);
    codes.push_back(c | IC_META_BIT);
  }
  std::string bytes;
  for (int c : codes) bytes += encoded(c);
  EXPECT_EQ(read_all(bytes), codes);
}

TEST(TraceFormat, RecordCutShortIsTheEnd) {
  using namespace std::string_literals;
  EXPECT_EQ(read_all("ab\x00"s), (std::vector<int>{'a', 'b'}));
  EXPECT_EQ(read_all("ab\x80"s), (std::vector<int>{'a', 'b'}));
  EXPECT_EQ(read_all(""), std::vector<int>{});
}

TEST(TraceFormat, WriterAppendsRecordsToTheFile) {
  char path[] = "/tmp/kortrace.XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  for (int c : {int('x'), int(IC_Up), 0x4000, 0, 128, int(IC_EVAL) | IC_META_BIT})
    write_trace_code(fd, c);
  close(fd);
  FILE *f = std::fopen(path, "rb");
  std::vector<int> codes;
  for (int c; (c = read_trace_code(f)) != -1;) codes.push_back(c);
  std::fclose(f);
  unlink(path);
  EXPECT_EQ(codes, (std::vector<int>{'x', IC_Up, 0x4000, 0, 128, IC_EVAL | IC_META_BIT}));
}

TEST(TraceFormatDeathTest, FailedWriteIsReportedAsWrite) {
  EXPECT_EXIT(write_trace_code(-1, 'a'), testing::ExitedWithCode(EBADF),
              "KORsh Error: Bad file descriptor in InputCoder:[0-9]+ \\[write\\]");
}
