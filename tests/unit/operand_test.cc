// Operands: tags, pools, sharing by link, release and equality.
#include <gtest/gtest.h>

#include <cmath>

#include "kor/Command.h"
#include "kor/HardLink.h"
#include "kor/Instruction.h"
#include "kor/Real.h"
#include "kor/XReal.h"

using namespace OBJ;

TEST(TypeNames, EveryTagAndOutsideTheTable) {
  const char *names[] = {"REAL",    "XREAL",    "BINARY",    "COMPLEX", "XCOMPLEX", "INSTRUCTION",
                         "STRUCTURE", "INTERACTIVE", "LNAME", "NAME",  "VARIABLE", "ALGEBRAIC",
                         "CARRAY",  "RARRAY",   "XCARRAY",   "XRARRAY", "COMMENT",  "DIRECTORY",
                         "LIST",    "PROGRAM",  "STRING",    "INVALID"};
  for (long t = 0; t <= 21; ++t) EXPECT_STREQ(typeNameOf(t), names[t]);
  EXPECT_STREQ(typeNameOf(22), "[unknown]");
  EXPECT_STREQ(typeNameOf(-1), "[unknown]");
  EXPECT_STREQ(Real(1).typeName(), "REAL");
  EXPECT_STREQ(String("x").typeName(), "STRING");
}

TEST(SharedOperands, ListIsFreedOnlyByItsLastHolder) {
  OperandPool pool(8);
  auto *list = new List;
  list->elems.push_back(new Real(1));
  Operand *c1 = list->clone(&pool);
  Operand *c2 = list->clone(&pool);
  EXPECT_EQ(c1, list);
  EXPECT_EQ(c2, list);
  EXPECT_EQ(list->links(), 3u);
  list->release(&pool);
  list->release(&pool);
  EXPECT_EQ(list->links(), 1u);
  EXPECT_EQ(list->elems.size(), 1u);
  list->release(&pool);   // the last holder: contents go, the list is parked with links 1
  EXPECT_EQ(pool.size(LIST), 1u);
  EXPECT_EQ(pool.size(REAL), 1u);
  EXPECT_TRUE(list->elems.empty());
  EXPECT_EQ(list->links(), 1u);
  EXPECT_EQ(make<List>(&pool), list);   // comes back ready for its next first holder
  delete list;
}

TEST(SharedOperands, LastReleaseOfAStringParksOrDeletes) {
  OperandPool full(0), room(1);
  auto *a = new String("text");
  a->release(&full);   // no room: deleted (the sanitizer run checks it is not leaked)
  auto *b = new String("text");
  b->release(&room);
  EXPECT_EQ(room.size(STRING), 1u);
  EXPECT_EQ(b->text, "DEADBEEF");
  EXPECT_EQ(b->links(), 1u);
}

TEST(SharedOperands, ReleasingAnOuterListReleasesTheInnerOnce) {
  OperandPool pool(8);
  auto *inner = new List;
  inner->elems.push_back(new Real(1));
  inner->clone(&pool);   // held twice: by the outer list and by us
  auto *outer = new List;
  outer->elems.push_back(inner);
  outer->release(&pool);
  EXPECT_EQ(inner->links(), 1u);
  EXPECT_EQ(inner->elems.size(), 1u);
  inner->release(nullptr);
}

TEST(SimpleOperands, ClonesComeFromThePoolAndReleasesGoBack) {
  OperandPool pool(2);
  Real r(4.5);
  Operand *c = r.clone(&pool);
  EXPECT_NE(c, &r);
  EXPECT_TRUE(c->equals(r));
  dispose(c, &pool);
  EXPECT_EQ(pool.size(REAL), 1u);
  Operand *again = Real(7).clone(&pool);
  EXPECT_EQ(again, c);   // the parked object is reused with a new payload
  EXPECT_EQ(static_cast<Real *>(again)->num, 7);
  dispose(again, &pool);
}

TEST(Equality, RealsBinariesAndComplexes) {
  double nan = std::nan("");
  EXPECT_FALSE(Real(nan).equals(Real(nan)));
  EXPECT_TRUE(Real(1).equals(Real(1)));
  EXPECT_FALSE(Real(1).equals(XReal(fathom::fromDouble(1))));
  EXPECT_FALSE(Real(1).equals(Binary(1)));
  EXPECT_TRUE(Binary(~0ull).equals(Binary(~0ull)));
  EXPECT_TRUE(Complex(1, 2).equals(Complex(1, 2)));
  EXPECT_FALSE(Complex(1, nan).equals(Complex(1, nan)));
  EXPECT_FALSE(Complex(1, 2).equals(Complex(2, 1)));
  EXPECT_TRUE(XReal(fathom::fromDouble(0.5)).equals(XReal(fathom::fromDouble(0.5))));
  EXPECT_TRUE(XComplex(fathom::fromDouble(1), fathom::fromDouble(2))
                  .equals(XComplex(fathom::fromDouble(1), fathom::fromDouble(2))));
}

TEST(Equality, TextsCompositesAndVariables) {
  EXPECT_TRUE(String("a b").equals(String("a b")));
  EXPECT_FALSE(String("a").equals(Comment("a")));
  EXPECT_FALSE(String("a").equals(Name("a")));
  EXPECT_TRUE(Name("").equals(Name("")));
  List l1, l2;
  EXPECT_TRUE(l1.equals(l2));   // two empty lists
  l1.elems.push_back(new Real(1));
  EXPECT_FALSE(l1.equals(l2));
  l2.elems.push_back(new Real(1));
  EXPECT_TRUE(l1.equals(l2));
  Program p;
  EXPECT_FALSE(p.equals(List()));
  Variable v1("x", new Real(5)), v2("x", new Real(5)), v3("y", new Real(5)), v4("x", nullptr);
  EXPECT_TRUE(v1.equals(v2));
  EXPECT_FALSE(v1.equals(v3));
  EXPECT_FALSE(v1.equals(v4));
  EXPECT_TRUE(v4.equals(Variable("x", nullptr)));
}

TEST(Equality, Instructions) {
  const OP::Command &drop = OP::command(OP::ifn_Drop), &dup = OP::command(OP::ifn_Dup);
  EXPECT_TRUE(Instruction(&drop).equals(Instruction(&drop)));
  EXPECT_FALSE(Instruction(&drop).equals(Instruction(&dup)));
  Structure s1(&OP::command(OP::ifn_If)), s2(&OP::command(OP::ifn_If));
  EXPECT_TRUE(s1.equals(s2));
  s2.link1 = 3;
  EXPECT_FALSE(s1.equals(s2));
  EXPECT_FALSE(Instruction(&drop).equals(s1));
}

TEST(Variables, ValueFollowsHeldVariables) {
  auto *real = new Real(3);
  Variable outer("a", new Variable("b", real));
  EXPECT_EQ(outer.value(), real);
  Variable empty("e", nullptr);
  EXPECT_EQ(empty.value(), nullptr);
  Real plain(1);
  EXPECT_EQ(plain.value(), &plain);
}

TEST(Instructions, CreateByRecordKind) {
  Operand *i = Instruction::create(OP::command(OP::ifn_Drop), nullptr);
  Operand *s = Instruction::create(OP::command(OP::ifn_If), nullptr);
  Operand *k = Instruction::create(OP::command(OP::ifn_UNDO), nullptr);
  EXPECT_EQ(i->type_, INSTRUCTION);
  EXPECT_EQ(s->type_, STRUCTURE);
  EXPECT_EQ(k->type_, INTERACTIVE);
  EXPECT_NE(static_cast<Interactive *>(k)->handler1, 0u);
  EXPECT_STREQ(i->typeName(), "Drop");
  EXPECT_EQ(Instruction(&OP::command(OP::ifn_REALADD)).name(), "+");
  EXPECT_EQ(Instruction(&OP::command(OP::ifn_Drop)).name(), "Drop");
  for (Operand *op : {i, s, k}) delete op;
}

TEST(OperandVerifyDeathTest, BadTagAndBadRecordKindAreFatal) {
  struct Broken : Real { Broken() { const_cast<uint32_t &>(type_) = 33; } };
  Broken b;
  EXPECT_EXIT(b.verify(), testing::ExitedWithCode(EINVAL), "Operand:[0-9]+ \\[bad type_ in verify\\]");
  OP::Command bad = OP::command(OP::ifn_Drop);
  bad.flags = (bad.flags & ~0x3fu) | 9u;
  EXPECT_EXIT(Instruction::create(bad, nullptr), testing::ExitedWithCode(EINVAL),
              "Instruction:[0-9]+ \\[Instruction::create\\]");
  const_cast<uint32_t &>(b.type_) = REAL;
}
