#include "kor/VisitView.h"

#include <iterator>
#include <vector>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/KeyMap.h"
#include "kor/Real.h"
#include "kor/Sequence.h"
#include "kor/Tokenizer.h"

namespace KOR {

namespace {

void release(std::vector<OBJ::Operand *> &ops, OBJ::OperandPool *pool) {
  for (OBJ::Operand *op : ops) OBJ::dispose(op, pool);
  ops.clear();
}

// Operands that do something when met rather than stand for a value: a
// command line holding one of them would not push it.
bool is_value(uint32_t tag) {
  return tag != OBJ::INSTRUCTION && tag != OBJ::STRUCTURE && tag != OBJ::INTERACTIVE &&
         tag != OBJ::COMMENT;
}

} // namespace

VisitView::VisitView(Editor &commandLine, Context &cx, size_t level, bool saveUndo)
    : cx_(cx), level_(level), saveUndo_(saveUndo) {
  ed_.view = this;
  ed_.parent = &commandLine;
  ed_.menu = commandLine.menu;
  // A protected header names the level; the object's text follows.
  std::string header = " Edit level " + std::to_string(level) + " (Enter stores, Ctl-C keeps it)";
  ed_.set_text(edit_text(cx, level));
  OBJ::Line head;
  head.text = " " + header;
  head.marks.push_back({1, static_cast<uint32_t>(header.size()), 12});
  ed_.lines.push_front(std::move(head));
  ed_.protectedTop = 1;
  // The cursor at the end of the text, where most edits start.
  ed_.line = std::prev(ed_.lines.end());
  ed_.col = ed_.line->text.size();
}

std::string VisitView::edit_text(const Context &cx, size_t level) {
  DisplayFormat fmt = cx.format;
  fmt.flags |= DisplayFormat::EDIT_FORM;
  OBJ::Buffer buf;
  cx.main.list(buf, fmt, 0, OBJ::NO_LIMIT, -1, static_cast<long>(level), false);
  return buf.text();
}

std::string VisitView::text() const {
  std::string out;
  for (auto it = std::next(ed_.lines.begin()); it != ed_.lines.end(); ++it) {
    if (it != std::next(ed_.lines.begin())) out += '\n';
    out += it->text.substr(1);
  }
  return out;
}

std::string VisitView::read_one(const std::string &text, Context &cx, Entry *out) {
  OBJ::Buffer buf;
  buf.set_text(text);
  std::vector<OBJ::Operand *> ops;
  Sequence::parse(ops, &cx.pool, buf, cx.format, nullptr, false);
  const uint32_t status = buf.status;
  if (status != OBJ::PS_END_OF_BUFFER && status != OBJ::PS_END_OF_PROGRAM) {
    release(ops, &cx.pool);
    const char *why = Sequence::status_message(status);
    return std::string(" Syntax Error: ") + (why ? why : "Unreadable Text") + ".";
  }
  bool more = status == OBJ::PS_END_OF_PROGRAM && !buf.at_end();
  if (ops.empty() && !more) return " No object to store: the text is empty.";
  if (ops.size() != 1 || more) {
    release(ops, &cx.pool);
    return " One object can be stored, and the text holds more.";
  }
  OBJ::Operand *op = ops.front();
  if (!is_value(op->type_)) {
    std::string name = op->name();
    release(ops, &cx.pool);
    return " \"" + name + "\" is a command, not an object.";
  }
  if (op->type_ == OBJ::REAL) {
    *out = Entry::real(static_cast<OBJ::Real *>(op)->num);
    OBJ::dispose(op, &cx.pool);
  } else if (op->type_ == OBJ::BINARY) {
    *out = Entry::binary(static_cast<OBJ::Binary *>(op)->bits);
    OBJ::dispose(op, &cx.pool);
  } else {
    *out = Entry::object(op);
  }
  return "";
}

void VisitView::save_for_undo(Context &cx) {
  if (!(cx.format.flags2 & DisplayFormat::UNDO)) return;
  Context &u = undo_context();
  if (&u == &cx || u.trylock() != 0) return;
  u.unlock();
  u.copy_from(cx);
}

std::string VisitView::store() {
  Entry e = Entry::sentinel();
  std::string why = read_one(text(), cx_, &e);
  if (!why.empty()) return why;
  if (level_ < 1 || level_ > cx_.main.depth()) {
    cx_.main.drop_entry(e);
    return " The level is no longer on the stack.";
  }
  if (saveUndo_) save_for_undo(cx_);
  Entry &slot = cx_.main.level(level_);
  cx_.main.drop_entry(slot);
  slot = e;
  if (!e.isInline()) cx_.main.allInline = false;
  return "";
}

Editor::Result VisitView::keys(Editor &ed, InputCode action, bool meta) {
  VisitView &v = *static_cast<VisitView *>(ed.view);
  if (meta || action != IC_EVAL) return Editor::NOT_HANDLED;
  std::string why = v.store();
  if (why.empty()) return Editor::ENDS;
  ed.show_message(why, true);
  return Editor::HANDLED;
}

bool VisitView::run() {
  display().show_labels(ed_.menu, true);
  return ed_.run(&main_map(), &VisitView::keys, false) == IC_EVAL;
}

} // namespace KOR
