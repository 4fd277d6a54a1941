// korsh without a screen: -e expressions, scripts, standard input and the rc
// file run end to end; the stack is printed after each program, errors end
// the shell with status 1.
#include <gtest/gtest.h>

#include <cstdio>

#include "blackbox/harness.h"

namespace {

// One level of the stack listing: "%2lu:" and the value right-aligned in 71 columns.
std::string level(int k, const std::string &value) {
  char label[16];
  int n = std::snprintf(label, sizeof label, "%2d:", k);
  return std::string(label) + std::string(71 - n - value.size(), ' ') + value + "\n";
}

// The listing of a whole stack, given deepest first.
std::string listing(const std::vector<std::string> &values) {
  std::string out;
  int depth = static_cast<int>(values.size());
  for (int i = 0; i < depth; ++i) out += level(depth - i, values[static_cast<size_t>(i)]);
  return out;
}

TEST(BatchExpression, EvaluatesAndPrintsTheStack) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "1 2 +"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"3"}));
  EXPECT_EQ(r.err, "");
}

TEST(BatchExpression, EachProgramRedrawsWithASeparator) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "1;2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, listing({"1"}) + ";\n" + listing({"1", "2"}));
  // An empty stack prints nothing, and no separator follows it.
  r = box.korsh({"-e", "Clear; 5"});
  EXPECT_EQ(r.out, listing({"5"}));
}

TEST(BatchExpression, StacksOfAllKindsListInDisplayForm) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "1234567 'name' \"text\" #FF { 1 2 } << 1 + >> 0.5"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"1,234,567", "'name'", "\"text\"", "# FFh", "{ 1 2 }", "<< 1 + >>", ".5"}));
}

TEST(BatchErrors, AFailingCommandIsNamedAndEndsTheShell) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "1 'a' +"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, listing({"1", "'a'"}));
  EXPECT_EQ(r.err, "+ Error: Bad Argument Type\n");
  r = box.korsh({"-e", "Drop"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Drop Error: Too Few Arguments\n");
  r = box.korsh({"-e", "1 0 Pick"});
  EXPECT_EQ(r.err, "Pick Error: Bad Argument Value\n");
}

TEST(BatchErrors, LaterLinesDoNotRunAfterAFailure) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "Drop; 7"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
}

TEST(BatchErrors, SyntaxErrorsNameTheToken) {
  bb::Sandbox box;
  struct Case { const char *src; const char *err; } cases[] = {
      {"1 foo", "Syntax Error: Unknown Operand Type: foo\n"},
      {"1.5e", "Syntax Error: Bad Real Number: 1.5e\n"},
      {"If 1", "Syntax Error: If without Then\n"},
      {"}", "Syntax Error: Unbalanced Delimiter: }\n"},
  };
  for (const Case &c : cases) {
    bb::Result r = box.korsh({"-e", c.src});
    EXPECT_EQ(r.status, 1) << c.src;
    EXPECT_EQ(r.err, c.err) << c.src;
  }
}

TEST(BatchErrors, FirstProgramRunsBeforeASyntaxErrorInTheSecond) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "1 2 +; 3 foo"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, listing({"3"}));
  EXPECT_EQ(r.err, "Syntax Error: Unknown Operand Type: foo\n");
}

TEST(BatchSources, ScriptFileIsOneCommandLineUntilItsEnd) {
  bb::Sandbox box;
  box.write_file("s.kor", "1 2\n+\n3 *\n");
  bb::Result r = box.korsh({"s.kor"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"9"}));
}

TEST(BatchSources, SemicolonAtALineStartEvaluatesWhatWasRead) {
  bb::Sandbox box;
  box.write_file("s.kor", "1 2 +\n;\n10\n");
  bb::Result r = box.korsh({"s.kor"});
  EXPECT_EQ(r.out, listing({"3"}) + ";\n" + listing({"3", "10"}));
}

TEST(BatchSources, StandardInputWhenNoScriptIsGiven) {
  bb::Sandbox box;
  bb::Result r = box.korsh({}, "2 3 ^ Drop 6 7 *\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"42"}));
}

TEST(BatchSources, RcFileThenScriptThenExpression) {
  bb::Sandbox box;
  box.write_file(box.kordir() + "/start.kor", "'rc'\n");
  box.write_file("s.kor", "'script'\n");
  bb::Result r = box.korsh({"-r", "start.kor", "-e", "'expr'", "s.kor"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"'rc'"}) + ";\n" + listing({"'rc'", "'script'"}) + ";\n" +
                       listing({"'rc'", "'script'", "'expr'"}));
}

TEST(BatchSources, HashBangLineIsSkipped) {
  bb::Sandbox box;
  box.write_file("s.kor", "#!/usr/bin/korsh\n40 2 +\n");
  bb::Result r = box.korsh({"s.kor"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"42"}));
}

TEST(BatchSources, ControlBytesInScripts) {
  bb::Sandbox box;
  box.write_file("s.kor", "1\t2\x01 +\r\n");
  bb::Result r = box.korsh({"s.kor"});
  EXPECT_EQ(r.out, listing({"3"})) << r.err;
}

TEST(BatchSources, QuotedCharacterEntry) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "\"\\065\\066\" \"\\999\""});
  EXPECT_EQ(r.out, listing({"\"AB\"", "\"999\""})) << r.err;
}

TEST(BatchTrace, RecordedKeysPrintWithKeytrace) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-t", "keys.trace", "-e", "1;+"});
  EXPECT_EQ(r.status, 1);   // "+" with one argument fails
  bb::Result t = box.keytrace({"keys.trace"});
  EXPECT_EQ(t.out, "  1:\t'1'\n  2:\tEVAL\n  3:\t'+'\n  4:\tEVAL\n");
}

TEST(BatchTrace, ReplayingARecordedScriptGivesTheSameStacks) {
  bb::Sandbox box;
  box.write_file("calc.kor", "1 2 +\n;3 *\n<< Dup * >> Eval\n\"\\065\"\n");
  bb::Result first = box.korsh({"-t", "calc.trace", "calc.kor"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, listing({"3"}) + ";\n" + listing({"81", "\"A\""}));
  bb::Result again = box.korsh({"-i", "calc.trace"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, first.out);
  // Without -i the same file is plain text, and its bytes are not a program.
  bb::Result plain = box.korsh({"calc.trace"});
  EXPECT_EQ(plain.status, 1);
}

TEST(BatchKeytest, ReportsEveryCodeUntilQ) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-@"}, "a;\nQb");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "\rEntering keyboard debug mode; test keys:\n\r\n"
                   "ic: 0061 ('a')\n\r\n"
                   "ic: 003b (';')\n\r\n"
                   "ic: 0114 (NewLine)\n\r\n"
                   "ic: 0051 ('Q')\n\r\n");
}

TEST(BatchEndToEnd, RunawayRecursionIsAnErrorNotACrash) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "<< Dup Eval >> Dup Eval"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eval Error: Insufficient Memory\n");
  EXPECT_EQ(r.out, listing({"<< Dup Eval >>", "<< Dup Eval >>"}));
  // An integrand that integrates itself nests machine-stack deep.
  r = box.korsh({"-e", "<< Drop Depth Pick { 0 1 } 1E-10 Integ >> Dup { 0 1 } 1E-10 Integ"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Integ Error: Insufficient Memory\n");
  // Deep but finite recursion runs to its end.
  r = box.korsh({"-e", "<< If Dup 0 > Then 1 - Over Eval End >> 50000 Over Eval Swap Drop"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({"0"}));
}

TEST(BatchEndToEnd, NestedIntegralsAndConstantIntegrands) {
  bb::Sandbox box;
  // The integral over the unit square of x*y (the inner integrand finds x
  // under the placeholder of its result), and a number as the integrand.
  bb::Result r = box.korsh({"-e", "<< << 3 Pick * >> { 0 1 } 1E-12 Integ Swap Drop >> { 0 1 } 1E-12 Integ ; "
                                  "5 { 0 2 } 1E-10 Integ"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, listing({".25"}) + ";\n" + listing({".25", "10"}));
}

TEST(BatchEndToEnd, LongLoopsAndPrograms) {
  bb::Sandbox box;
  bb::Result r = box.korsh({"-e", "0 1 100000 Start 1 + Next"});
  EXPECT_EQ(r.out, listing({"100,000"}));
  r = box.korsh({"-e", "7 << Dup * >> Eval"});
  EXPECT_EQ(r.out, listing({"49"})) << r.err;
}

} // namespace
