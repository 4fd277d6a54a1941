// The scheduler: owns every process, runs the foreground stream, and stops,
// continues and kills processes.
#pragma once

#include <algorithm>
#include <bitset>
#include <list>
#include <vector>

#include "kor/Process.h"
#include "kor/kor_error.h"
#include "kor/threads.h"

namespace OBJ { class Buffer; }

namespace KOR {

constexpr int MAX_PID = 95;          // pids 1 to 95
constexpr int STREAM_STOPPED = -97;  // fgPid: stopped with no process named

class Scheduler {
public:
  Scheduler();
  ~Scheduler();
  Scheduler(const Scheduler &) = delete;
  Scheduler &operator=(const Scheduler &) = delete;

  void lock() { KOR_CHECK(kt_mutex_lock(&mutex_), "Scheduler", "lock"); }
  void unlock() { KOR_CHECK(kt_mutex_unlock(&mutex_), "Scheduler", "unlock"); }
  int trylock() { return kt_mutex_trylock(&mutex_); }

  // Creates a Ready process taking over `elems` and runs the foreground
  // stage.  With all 95 pids in use nothing can free one while this waits,
  // so the line is refused: the result is null and `elems` is left as given.
  Process *newProcess(std::vector<OBJ::Operand *> &elems, Context *cx, int parentPid);
  void deleteProcess(Process *proc, bool locked);
  void kill(Process *proc, int sig);   // with the scheduler locked
  Process *find(int pid, bool locked, bool fallback);
  void counts(int *nFg, int *nBg, int *nRun, bool locked);

  void fg_stop();
  void fg_cont();
  void fg_kill();
  void fg_stage();
  void fg_server(Process *proc);
  void cleanup(Process *proc);
  void suspend();
  void list(OBJ::Buffer &buf);
  void verify(Process *proc);

  int allocate_pid();   // -1 when all are in use; with the scheduler locked

  std::list<Process *> procs;   // creation order
  int fgPid = 0;
  int lastPid = 0;
  int nFg_ = 0, nBg_ = 0, nrun = 0;
  bool streamRunning = true;
  std::bitset<97> isUsed;

private:
  void unlock_and_post();   // every change ends here: unlock, post PROC
  kt_mutex_t mutex_;
  kt_cond_t pidFree_, stream_;
};

Scheduler &scheduler();

} // namespace KOR
