// keytrace prints a keystroke trace as numbered key names.
#include <gtest/gtest.h>

#include "blackbox/harness.h"

namespace {

using namespace std::string_literals;

TEST(Keytrace, ReadsStandardInputDashOrAFile) {
  const std::string trace = "a\x00\x01\x80" "a\x0d"s;
  const std::string expected = "  1:\t'a'\n  2:\tUp\n  3:\tMeta-'a'\n  4:\tCtl-M\n";
  bb::Sandbox box;
  box.write_file("t.trace", trace);
  for (const auto &args : {std::vector<std::string>{}, {"-"}, {"t.trace"}, {"t.trace", "extra"}}) {
    bb::Result r = box.keytrace(args, args.empty() || args[0] == "-" ? trace : "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
  }
}

TEST(Keytrace, EmptyInputPrintsNothing) {
  bb::Sandbox box;
  box.write_file("empty", "");
  bb::Result r = box.keytrace({"empty"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST(Keytrace, TruncatedLastRecordEndsTheListing) {
  bb::Sandbox box;
  for (const std::string &tail : {"\x00"s, "\x80"s}) {
    box.write_file("cut", "xy" + tail);
    bb::Result r = box.keytrace({"cut"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "  1:\t'x'\n  2:\t'y'\n");
  }
}

TEST(Keytrace, CounterWidensPastNineHundredNinetyNine) {
  bb::Sandbox box;
  box.write_file("many", std::string(1001, 'q'));
  bb::Result r = box.keytrace({"many"});
  EXPECT_NE(r.out.find("\n999:\t'q'\n1000:\t'q'\n1001:\t'q'\n"), std::string::npos);
}

TEST(Keytrace, UnopenableFileIsReportedAndNothingIsRead) {
  bb::Sandbox box;
  bb::Result r = box.keytrace({"does-not-exist"}, "abc");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("does-not-exist"), std::string::npos);
}

} // namespace
