// Shared operands: strings, comments, lists and programs are never copied;
// each holder counts as one link.  Their contents never change once built.
#pragma once

#include <string>
#include <vector>

#include "kor/Operand.h"
#include "kor/Sequence.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace OBJ {

class HardLink : public Operand {
public:
  ~HardLink() override;
  // A new holder: one more link, the same operand.
  Operand *clone(OperandPool *pool) const override;
  // One holder fewer; the last one disposes of the contents (the link count
  // stays 1, ready for the next first holder) and parks or deletes the operand.
  void release(OperandPool *pool) override;

  uint32_t links() const { return links_; }

protected:
  explicit HardLink(uint32_t tag);
  virtual void dispose_contents(OperandPool *pool) = 0;

private:
  void lock() const { KOR_CHECK(KOR::kt_mutex_lock(&mutex_), "../kor/HardLink", "lock"); }
  void unlock() const { KOR_CHECK(KOR::kt_mutex_unlock(&mutex_), "../kor/HardLink", "unlock"); }

  mutable KOR::kt_mutex_t mutex_;
  mutable uint32_t links_ = 1;
};

// Text shared by link: a String or a Comment.
class TextLink : public HardLink {
public:
  bool equals(const Operand &other) const override;
  std::string text;

protected:
  explicit TextLink(uint32_t tag) : HardLink(tag) {}
  void dispose_contents(OperandPool *pool) override;
};

class String : public TextLink {
public:
  static constexpr uint32_t TAG = STRING;
  String() : TextLink(STRING) {}
  explicit String(std::string t) : TextLink(STRING) { text = std::move(t); }
  const char *typeName() const override { return "STRING"; }
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
};

class Comment : public TextLink {
public:
  static constexpr uint32_t TAG = COMMENT;
  Comment() : TextLink(COMMENT) {}
  explicit Comment(std::string t) : TextLink(COMMENT) { text = std::move(t); }
  const char *typeName() const override { return "COMMENT"; }
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  EXEC::Status execute(KOR::Context &cx) override;
  void compile(EXEC::ActionSequence &seq) const override;
};

// An ordered vector of owned operands: a List or a Program's body.
class Composite : public HardLink {
public:
  ~Composite() override;
  bool equals(const Operand &other) const override;
  void verify() const override;
  std::vector<Operand *> elems;

protected:
  explicit Composite(uint32_t tag) : HardLink(tag) {}
  void dispose_contents(OperandPool *pool) override;
};

class List : public Composite {
public:
  static constexpr uint32_t TAG = LIST;
  List() : Composite(LIST) {}
  const char *typeName() const override { return "LIST"; }
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
};

class Program : public Composite {
public:
  static constexpr uint32_t TAG = PROGRAM;
  Program() : Composite(PROGRAM) {}
  const char *typeName() const override { return "PROGRAM"; }
  unsigned print(Buffer &buf, const KOR::DisplayFormat &fmt, unsigned minWidth, unsigned maxWidth,
                 bool topLevel, bool insert) const override;
  EXEC::Status evaluate(KOR::Context &cx) override;

  // The compiled form, owned by the program: code words and data elements,
  // and where each operand's first instruction stands in them (index, data).
  std::vector<EXEC::CodeWord> code;
  std::vector<EXEC::Datum> data;
  std::vector<std::pair<uint32_t, uint32_t>> positions;

protected:
  void dispose_contents(OperandPool *pool) override;
};

} // namespace OBJ
