// The compile queue: completed command lines wait here for the compile step,
// which splits each into programs, parses and hands them to the scheduler;
// lines that compiled completely go into a bounded history.
#pragma once

#include <deque>

#include "kor/DisplayFormat.h"
#include "kor/Operand.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace KOR {

class Editor;

class Parser {
public:
  enum State { RUNNING = 0, DISCARD = 3, SHUTDOWN = 5 };
  static constexpr size_t HISTORY_LIMIT = 64;
  static constexpr size_t QUEUE_LIMIT = 128;
  static constexpr size_t POOL_LIMIT = 1280;

  Parser();
  ~Parser();
  Parser(const Parser &) = delete;
  Parser &operator=(const Parser &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "Parser", "lock"); }
  // Releases the mutex and, with `wake`, posts COMP.
  void unlock(bool wake);

  // Adds a command line (ownership passes to the queue; null marks the end
  // of input).  Returns 0, or 11 when the queue holds 128 lines.  With
  // `locked` (the caller holds the mutex) the compile step runs at once.
  int enqueue(Editor *line, bool locked);

  // Takes the oldest line and compiles it; returns false when none waited.
  bool compileStep();

  // The history (newest first) or the queue (oldest first) as lines of text
  // for the selection views.
  void listQueue(OBJ::Buffer &out, size_t width, bool history);

  State state = RUNNING;
  bool idle = true;
  std::deque<Editor *> history;   // newest at the front
  std::deque<Editor *> queue;     // oldest at the front
  DisplayFormat format;
  OBJ::OperandPool pools[2] = {OBJ::OperandPool(POOL_LIMIT), OBJ::OperandPool(POOL_LIMIT)};

private:
  void compile(Editor *line);
  void drop_queued();
  kt_mutex_t mutex_;
  kt_cond_t notEmpty_, notFull_;
};

Parser &parser();

} // namespace KOR
