// Sequence::parse: structure checks, link words and statuses.
#include <gtest/gtest.h>

#include "kor/Buffer.h"
#include "kor/DisplayFormat.h"
#include "kor/Instruction.h"
#include "kor/Sequence.h"
#include "kor/Tokenizer.h"

using namespace OBJ;
using KOR::DisplayFormat;

namespace {

struct Parsed {
  uint32_t status;
  std::vector<Operand *> ops;
  ~Parsed() {
    for (Operand *op : ops) dispose(op, nullptr);
  }
  // The first link word of the element at i (a keyword).
  uint32_t link(size_t i) const { return static_cast<const Structure *>(ops.at(i))->link1; }
  std::string word(size_t i) const { return ops.at(i)->typeName(); }
};

void parse(Parsed &p, const std::string &src, bool structured = true) {
  Buffer buf;
  buf.set_text(src);
  Sequence::parse(p.ops, nullptr, buf, DisplayFormat{}, nullptr, structured);
  p.status = buf.status;
}

uint32_t status_of(const std::string &src) {
  Parsed p;
  parse(p, src);
  return p.status;
}

} // namespace

TEST(SequenceParse, AcceptedFormsEndWithEndOfBuffer) {
  for (const char *src :
       {"If 1 Then 2 End", "If 1 Then 2 Else 3 End", "Case 1 Then 2 End Default 3 End End",
        "Case 1 Then 2 End 9 End", "Switch 1 Then 2 End 3 Then 4 End Default 5 End End",
        "Try 1 Catch 2 End", "Try 1 Catch 2 Else 3 End", "Do 1 While 2 End",
        "While 1 Do 2 End", "1 10 Start 2 Next", "1 10 Start 2 2 Step",
        "1 3 Start Break Next", "While 1 Do Continue End", "Abort", "Return", "Stop",
        "'x' Throw", "", "1 2 +"}) {
    EXPECT_EQ(status_of(src), PS_END_OF_BUFFER) << src;
  }
}

TEST(SequenceParse, EveryStructureError) {
  struct Case { const char *src; uint32_t status; } cases[] = {
      {"If 1 2 End", 12}, {"If 1", 12}, {"Then", 13}, {"If 1 Else", 14}, {"Next", 10},
      {"Step", 11}, {"1 2 Start 1", 9}, {"Do 1 End", 24}, {"While 1 End", 25}, {"Try 1 End", 32},
      {"Try 1", 32}, {"Switch 'a' 'b' Then 1 End End", 19}, {"Switch 1 Then 2 End 3 End", 18},
      {"Case 1 Then 2 End Default 3 End Default 4 End End", 21},
      {"Case 1 Then 2 End 5 Default 3 End End", 23}, {"Case 1 Then 2 End Default 3", 22},
      {"Try 1 Catch 2", 31}, {"Break", 33}, {"Continue", 34}, {"End", 15}, {"Catch", 26},
      {"Default", 20}, {"Case 1", 16}, {"Switch 1", 17}, {"If 1 Then 2", 27},
      {"If 1 Then 2 Else 3", 28}, {"Do 1", 29}, {"While 1", 30}, {"Do 1 While 2", 30},
      {"While 1 Do 2", 29}, {"1 2 Start End", 15}, {"Switch + Then 1 End End", 19},
  };
  for (const Case &c : cases) {
    Parsed p;
    parse(p, c.src);
    EXPECT_EQ(p.status, c.status) << c.src;
    EXPECT_TRUE(p.ops.empty()) << c.src;   // a failed parse leaves nothing behind
  }
}

TEST(SequenceParse, MarkersAndTheirLinks) {
  Parsed p;
  parse(p, "1 2");
  ASSERT_EQ(p.ops.size(), 4u);
  EXPECT_EQ(p.word(0), "SYSNULL");
  EXPECT_EQ(p.link(0), 21u);
  EXPECT_EQ(static_cast<Structure *>(p.ops[0])->link2, 12u);
  EXPECT_EQ(p.word(3), "SYSEXIT");
  EXPECT_EQ(p.link(3), 3u);
}

TEST(SequenceParse, IfElseLinksToTheNextKeywordAndEndBackToIf) {
  Parsed p;
  parse(p, "If 1 Then 2 Else 3 End");
  // 0 SYSNULL, 1 If, 2 1, 3 Then, 4 2, 5 Else, 6 3, 7 End, 8 SYSEXIT
  ASSERT_EQ(p.status, PS_END_OF_BUFFER);
  EXPECT_EQ(p.link(1), 2u);   // If -> Then
  EXPECT_EQ(p.link(3), 2u);   // Then -> Else
  EXPECT_EQ(p.link(5), 2u);   // Else -> End
  EXPECT_EQ(p.link(7), 6u);   // End -> If
}

TEST(SequenceParse, NestedIfElseLinks) {
  Parsed p;
  parse(p, "If 1 Then If 2 Then 3 Else 4 End Else 5 End");
  // 1 If, 3 Then, 4 If, 6 Then, 8 Else, 10 End, 11 Else, 13 End
  ASSERT_EQ(p.status, PS_END_OF_BUFFER);
  EXPECT_EQ(p.link(4), 2u);
  EXPECT_EQ(p.link(6), 2u);
  EXPECT_EQ(p.link(8), 2u);
  EXPECT_EQ(p.link(10), 6u);
  EXPECT_EQ(p.link(1), 2u);
  EXPECT_EQ(p.link(3), 8u);
  EXPECT_EQ(p.link(11), 2u);
  EXPECT_EQ(p.link(13), 12u);
}

TEST(SequenceParse, LoopsBreaksAndBlockEnds) {
  Parsed p;
  parse(p, "1 5 Start 1 Break Next");
  // 1 1, 2 5, 3 Start, 4 1, 5 Break, 6 Next
  ASSERT_EQ(p.status, PS_END_OF_BUFFER);
  EXPECT_EQ(p.link(3), 3u);
  EXPECT_EQ(p.link(6), 3u);
  EXPECT_EQ(p.link(5), 2u);   // back to the Start
  Parsed q;
  parse(q, "Do 1 If 2 Then Continue End While 3 End");
  ASSERT_EQ(q.status, PS_END_OF_BUFFER);
  EXPECT_EQ(q.link(6), 5u);   // Continue at 6, Do at 1
  Parsed r;
  parse(r, "1 2 Return");
  EXPECT_EQ(r.link(3), 3u);
}

TEST(SequenceParse, KeywordsNotAllowedInLists) {
  Parsed p;
  parse(p, "1 If", false);
  EXPECT_EQ(p.status, 35u);
  EXPECT_TRUE(p.ops.empty());
}

TEST(SequenceParse, StatusMessages) {
  EXPECT_STREQ(Sequence::status_message(0), "No Error");
  EXPECT_STREQ(Sequence::status_message(4), "Unbalanced Delimiter");
  EXPECT_STREQ(Sequence::status_message(15), "End without Then/Else/Do/While/Catch");
  EXPECT_STREQ(Sequence::status_message(35), "Structure Not Allowed");
  EXPECT_STREQ(Sequence::status_message(PS_NESTING), "Nesting Too Deep");
  EXPECT_EQ(Sequence::status_message(37), nullptr);
}
