// The command table and its name lookups.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "kor/Command.h"

using namespace OP;

namespace {

const Command *lookup(const std::string &w, bool aliases = true) {
  return find(w.data(), w.size(), aliases);
}

std::string lower(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

} // namespace

TEST(CommandTable, IndicesPositionsAndFixedNumbers) {
  for (uint32_t i = 0; i < IFN_COUNT; ++i) EXPECT_EQ(COMMANDS[i].index, i);
  struct Fixed { uint32_t index; const char *name; } fixed[] = {
      {52, "Do"}, {93, "Integ"}, {98, "KGauss"}, {99, "LastArg"}, {146, "SqKGauss"},
      {149, "Start"}, {152, "Step"}, {155, "Swap"}, {166, "While"}, {172, "*"}, {173, "+"},
      {174, "-"}, {183, "/"}, {190, "BINTPUSH"}, {205, "OPEREXEC"}, {212, "REALDIV"},
      {215, "REALMUL"}, {216, "REALNEG"}, {217, "REALPUSH"}, {219, "REALSUB"}, {226, "SWAPSUB"},
      {227, "SYSEXIT"}, {228, "SYSNULL"}};
  for (const Fixed &f : fixed) EXPECT_STREQ(COMMANDS[f.index].name, f.name);
}

TEST(CommandTable, EveryUserCommandIsFoundByNameAndAlias) {
  std::set<std::string> aliases;
  for (uint32_t i = 0; i < USER_COMMANDS; ++i) {
    const Command &c = COMMANDS[i];
    EXPECT_EQ(lookup(c.name), &c) << c.name;
    std::string alias = c.lookup ? c.lookup : lower(c.name);
    EXPECT_EQ(lookup(alias), &c) << alias;
    EXPECT_TRUE(aliases.insert(alias).second) << "alias used twice: " << alias;
    EXPECT_LE(std::strlen(c.name), 8u);
    EXPECT_NE(c.kind(), uint32_t(INTER));
  }
}

TEST(CommandTable, InternalNamesAreNeverFound) {
  for (uint32_t i = USER_COMMANDS; i < IFN_COUNT; ++i) {
    EXPECT_EQ(lookup(COMMANDS[i].name), nullptr) << COMMANDS[i].name;
    EXPECT_EQ(lookup(lower(COMMANDS[i].name)), nullptr) << COMMANDS[i].name;
  }
}

TEST(CommandTable, CaseSensitiveLookupsAndTheSpecialAliases) {
  EXPECT_EQ(lookup("Abort")->index, 1u);
  EXPECT_EQ(lookup("abort")->index, 1u);
  EXPECT_EQ(lookup("ABORT"), nullptr);
  EXPECT_EQ(find_interactive("ABORT", 5), nullptr);
  EXPECT_EQ(lookup("+")->index, 173u);
  EXPECT_EQ(lookup("add")->index, 173u);
  EXPECT_EQ(lookup("Add"), nullptr);
  EXPECT_EQ(lookup("to_real")->index, ifn_TO_REAL);
  EXPECT_EQ(lookup("-->real"), nullptr);
  EXPECT_EQ(lookup("sin")->index, ifn_Sin);
  EXPECT_EQ(lookup("sin", false), nullptr);   // without aliases only exact names
  EXPECT_EQ(lookup("Sin", false)->index, ifn_Sin);
  EXPECT_EQ(lookup("maxb")->index, ifn_MaxBint);
  EXPECT_EQ(lookup("maxbint"), nullptr);
  EXPECT_EQ(lookup("hms_to")->index, ifn_HMS_TO);
  EXPECT_EQ(lookup(""), nullptr);
  EXPECT_EQ(lookup("Sqrt1pm1x"), nullptr);   // longer than 8
  const char *special[][2] = {{"+", "add"}, {"-", "sub"}, {"*", "mul"}, {"/", "div"},
                              {"^", "pow"}, {"<", "less"}, {"<=", "lesseq"}, {">", "great"},
                              {">=", "greateq"}, {"==", "equal"}, {"!=", "notequal"},
                              {"-->Bint", "to_bint"}, {"-->CX", "to_cx"}, {"-->DP", "to_dp"},
                              {"-->HMS", "to_hms"}, {"-->Polar", "to_polar"},
                              {"-->Real", "to_real"}, {"-->Rect", "to_rect"}, {"-->XP", "to_xp"},
                              {"HMS+", "hms_add"}, {"HMS-", "hms_sub"}, {"HMS-->", "hms_to"},
                              {"MaxBint", "maxb"}};
  for (auto &pair : special) EXPECT_EQ(lookup(pair[0]), lookup(pair[1])) << pair[1];
}

TEST(CommandTable, InteractiveNames) {
  int found = 0;
  for (uint32_t i = USER_COMMANDS; i < IFN_COUNT; ++i) {
    const Command &c = COMMANDS[i];
    const Command *f = find_interactive(c.name, std::strlen(c.name));
    if (c.kind() == INTER) {
      EXPECT_EQ(f, &c);
      ++found;
    } else {
      EXPECT_EQ(f, nullptr);
    }
  }
  EXPECT_EQ(found, 16);
}

TEST(CommandTable, FlagsOfRepresentativeRecords) {
  const Command &add = command(ifn_ADD), &drop = command(ifn_Drop), &start = command(ifn_Start);
  EXPECT_EQ(add.kind(), uint32_t(INSTR));
  EXPECT_EQ(add.fclass(), 3u);
  EXPECT_EQ(add.inputs(), 2u);
  EXPECT_EQ(add.outputs(), 1u);
  EXPECT_TRUE(add.alone());
  EXPECT_TRUE(add.math());
  EXPECT_EQ(add.fast, AFN_RFN);
  EXPECT_EQ(drop.inputs(), 1u);
  EXPECT_FALSE(drop.math());
  EXPECT_EQ(start.kind(), uint32_t(STRUCT));
  EXPECT_EQ(start.inputs(), 2u);
  EXPECT_EQ(start.data(), 1u);
  EXPECT_FALSE(start.alone());
  EXPECT_EQ(command(ifn_REALSTART).data(), 4u);
  EXPECT_EQ(command(ifn_Clear).inputs(), VARIABLE);
  EXPECT_EQ(command(ifn_LastArg).outputs(), VARIABLE);
  EXPECT_EQ(command(ifn_Sin).fast, AFN_ONLY);
  EXPECT_EQ(command(ifn_Integ).inputs(), 3u);
  EXPECT_STREQ(command(ifn_REALINV).shown(), "Swap");
  EXPECT_STREQ(command(ifn_CHECKNUM).shown(), "CheckArg");
  EXPECT_STREQ(command(ifn_EDITPROC).label, "PS");
  EXPECT_FALSE(command(ifn_SYSEXIT).visible());
  EXPECT_TRUE(command(ifn_Swap).visible());
  // Two-argument functions consume two levels.
  for (ifnEnum i : {ifn_ExpIEn, ifn_HMS_ADD, ifn_HMS_SUB}) EXPECT_EQ(command(i).inputs(), 2u);
}

TEST(CommandTable, HelpTexts) {
  EXPECT_STREQ(command(ifn_Drop).brief, "Drops (deletes) stack level 1.");
  for (const Command &c : COMMANDS) {
    ASSERT_NE(c.brief, nullptr);
    ASSERT_NE(c.help, nullptr);
    EXPECT_EQ(std::strchr(c.brief, '\n'), nullptr) << c.name;
    size_t n = std::strlen(c.help);
    ASSERT_GT(n, 0u) << c.name;
    EXPECT_EQ(c.help[n - 1], '\n') << c.name;
  }
}
