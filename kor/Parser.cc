#include "kor/Parser.h"

#include <cerrno>

#include "kor/Buffer.h"
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Editor.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Scheduler.h"
#include "kor/Sequence.h"
#include "kor/Tokenizer.h"
#include "kor/charsets.h"

namespace KOR {

constexpr uint32_t SYNTAX_MARK = 31;   // display attribute of the offending token

Parser::Parser() {
  KOR_CHECK(kt_mutex_init(&mutex_), "Parser", "mutex_init");
  KOR_CHECK(kt_cond_init(&notEmpty_), "Parser", "cond_init");
  KOR_CHECK(kt_cond_init(&notFull_), "Parser", "cond_init");
}

Parser::~Parser() {
  for (Editor *e : history) delete e;
  for (Editor *e : queue) delete e;
  pools[0].clear();
  pools[1].clear();
  kt_cond_destroy(&notEmpty_);
  kt_cond_destroy(&notFull_);
  kt_mutex_destroy(&mutex_);
}

void Parser::unlock(bool wake) {
  KOR_CHECK(kt_mutex_unlock(&mutex_), "Parser", "unlock");
  if (wake) coder().post_event(IC_COMP);
}

int Parser::enqueue(Editor *line, bool locked) {
  if (!locked) lock();
  if (state != SHUTDOWN) state = RUNNING;
  if (queue.size() >= QUEUE_LIMIT) {
    if (!locked) unlock(false);
    return 11;
  }
  queue.push_back(line);
  KOR_CHECK(kt_cond_signal(&notEmpty_), "Parser", "cond_signal");
  if (!locked) {
    unlock(true);
    return 0;
  }
  unlock(true);
  while (compileStep()) {}
  lock();
  return 0;
}

void Parser::drop_queued() {
  for (Editor *e : queue) delete e;
  queue.clear();
}

bool Parser::compileStep() {
  kernel().lock();
  kernel().unlock();
  lock();
  if (state == DISCARD && queue.empty()) state = RUNNING;
  if (state == RUNNING && queue.empty()) {
    unlock(false);
    return false;   // nothing waits; a threaded build blocks on notEmpty_ here
  }
  if (state == SHUTDOWN) {
    unlock(true);
    idle = true;
    return false;
  }
  idle = false;
  pools[1].refill_from(pools[0]);
  Editor *line = queue.front();
  queue.pop_front();
  size_t left = queue.size();
  unlock(true);
  if (left < QUEUE_LIMIT / 2) KOR_CHECK(kt_cond_signal(&notFull_), "Parser", "cond_signal");
  if (!line) {
    std::vector<OBJ::Operand *> none;
    scheduler().newProcess(none, nullptr, 0);
  } else {
    compile(line);
  }
  idle = true;
  return true;
}

namespace {

void release_all(std::vector<OBJ::Operand *> &ops, OBJ::OperandPool *pool) {
  while (!ops.empty()) {
    OBJ::dispose(ops.back(), pool);
    ops.pop_back();
  }
}

// The offending token: marked on its line, and its text for a message.
std::string mark_token(OBJ::Buffer &buf) {
  if (buf.prevLine != buf.line) {
    buf.prevLine->marks.push_back({static_cast<uint32_t>(buf.prevCol),
                                   static_cast<uint32_t>(buf.prevLine->text.size() - buf.prevCol),
                                   SYNTAX_MARK});
    return buf.prevLine->text.substr(buf.prevCol);
  }
  size_t end = buf.col;
  if (end <= buf.prevCol) {
    // The scanner gave the cursor back: the token is the word at the previous cursor.
    const std::string &t = buf.line->text;
    end = buf.prevCol;
    while (end < t.size() && !is_delimiter(static_cast<unsigned char>(t[end]), false)) ++end;
    if (end == buf.prevCol && end < t.size()) ++end;
  }
  end = std::min(end, buf.line->text.size());
  buf.line->marks.push_back({static_cast<uint32_t>(buf.prevCol),
                             static_cast<uint32_t>(end > buf.prevCol ? end - buf.prevCol : 0),
                             SYNTAX_MARK});
  return buf.line->text.substr(buf.prevCol, end - buf.prevCol);
}

} // namespace

void Parser::compile(Editor *line) {
  DisplayFormat fmt;
  lock();
  fmt = format;
  unlock(false);
  line->move_to_start();
  if (line->lines.front().text.compare(1, 2, "#!") == 0) {
    if (line->lines.size() == 1) {
      delete line;
      return;
    }
    ++line->line;
    line->col = 1;
  }
  for (;;) {
    errno = 0;
    std::vector<OBJ::Operand *> ops;
    Sequence::parse(ops, &pools[1], *line, fmt, nullptr, true);
    uint32_t status = line->status;
    lock();
    if (state == SHUTDOWN) {
      unlock(false);
      release_all(ops, &pools[1]);
      delete line;
      return;
    }
    if (state == DISCARD || kernel().interrupt != SIG_NONE) {
      kernel().interrupt = SIG_NONE;
      drop_queued();
      state = RUNNING;
      unlock(true);
      release_all(ops, &pools[1]);
      if (status == OBJ::PS_END_OF_PROGRAM) continue;
      delete line;
      return;
    }
    if (ops.empty()) {
      unlock(true);
      if (status == OBJ::PS_END_OF_BUFFER) {
        delete line;
        return;
      }
      if (status == OBJ::PS_END_OF_PROGRAM) continue;
      std::string token = mark_token(*line);
      if (status > OBJ::PS_BAD_REAL) token.clear();   // structure errors have no single token
      display().syntax_error(*line, Sequence::status_message(status), token);
      return;   // the line went back to the editor, or the shell ended
    }
    unlock(false);
    Process *p = scheduler().newProcess(ops, &main_context(), 0);
    if (!p) {
      release_all(ops, &pools[1]);
      display().show_error(2, "Process", 0, 0, "Too many processes (95); kill stopped ones first.", -1, -1);
      delete line;
      return;
    }
    if (!ops.empty()) kor_error(EINVAL, "Parser", __LINE__, "Non-empty program in compile");
    lock();
    if (status == OBJ::PS_END_OF_BUFFER) {
      if (history.size() >= HISTORY_LIMIT) {
        delete history.back();
        history.pop_back();
      }
      history.push_front(line);
      unlock(true);
      return;
    }
    unlock(true);
    if (status != OBJ::PS_END_OF_PROGRAM) return;
  }
}

void Parser::listQueue(OBJ::Buffer &out, size_t width, bool fromHistory) {
  lock();
  std::deque<Editor *> &list = fromHistory ? history : queue;
  if (list.empty()) {
    unlock(false);
    return;
  }
  out.clear();
  std::string header = fromHistory ? " Select a command line:" : " Current compile queue contents:";
  out.lines.front().text = " " + header;
  out.lines.front().marks.push_back({1, static_cast<uint32_t>(header.size()), 12});
  for (Editor *e : list) {
    if (!e) continue;
    std::string text = e->text();
    size_t start = text.find_first_not_of(" \t\r\n\v\f");
    text = start == std::string::npos ? "" : text.substr(start);
    if (text.size() > width + 1) text.resize(width + 1);
    OBJ::Line l;
    l.text += text;
    out.lines.push_back(std::move(l));
  }
  out.line = out.lines.begin();
  out.col = 1;
  unlock(false);
}

} // namespace KOR
