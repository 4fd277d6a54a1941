#include "kor/Scheduler.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>

#include "kor/Buffer.h"
#include "kor/Display.h"
#include "kor/InputCoder.h"
#include "kor/Interpreter.h"
#include "kor/Kernel.h"
#include "kor/Parser.h"
#include "kor/platform.h"
#include "kor/signals.h"

namespace KOR {

Scheduler::Scheduler() {
  KOR_CHECK(kt_mutex_init(&mutex_), "Scheduler", "mutex_init");
  KOR_CHECK(kt_cond_init(&pidFree_), "Scheduler", "cond_init");
  KOR_CHECK(kt_cond_init(&stream_), "Scheduler", "cond_init");
}

Scheduler::~Scheduler() {
  for (Process *p : procs) delete p;
  procs.clear();
  kt_cond_destroy(&pidFree_);
  kt_cond_destroy(&stream_);
  kt_mutex_destroy(&mutex_);
}

void Scheduler::unlock_and_post() {
  unlock();
  coder().post_event(IC_PROC);
}

int Scheduler::allocate_pid() {
  auto take = [&](int pid) {
    isUsed.set(static_cast<size_t>(pid));
    lastPid = pid;
    return pid;
  };
  for (int pid = lastPid + 1; pid <= MAX_PID; ++pid)
    if (!isUsed[static_cast<size_t>(pid)]) return take(pid);
  for (int pid = 1; pid <= lastPid && pid <= MAX_PID; ++pid)
    if (!isUsed[static_cast<size_t>(pid)]) return take(pid);
  return -1;
}

Process *Scheduler::newProcess(std::vector<OBJ::Operand *> &elems, Context *cx, int parentPid) {
  lock();
  int pid = allocate_pid();
  if (pid < 0) {
    // A wait here could never end on one thread: refuse the new line.
    unlock_and_post();
    return nullptr;
  }
  Process *p = new Process(elems, &kernel(), cx, parentPid, pid);
  procs.push_back(p);
  if (parentPid) ++nBg_;
  else ++nFg_;
  display().table_changed();
  unlock_and_post();
  fg_stage();
  return p;
}

void Scheduler::deleteProcess(Process *proc, bool locked) {
  if (!locked) lock();
  if (procs.empty()) kor_error(EAGAIN, "Scheduler", __LINE__, "deleteProcess");
  auto it = std::find(procs.begin(), procs.end(), proc);
  if (it == procs.end()) kor_error(ESRCH, "Scheduler", __LINE__, "deleteProcess");
  isUsed.reset(static_cast<size_t>(proc->selfPid));
  if (proc->parentPid == 0) {
    if (--nFg_ == 0) fgPid = 0;
  } else {
    --nBg_;
  }
  procs.erase(it);
  delete proc;
  display().table_changed();
  if (!locked) unlock_and_post();
  if (procs.size() <= 47) KOR_CHECK(kt_cond_signal(&pidFree_), "Scheduler", "cond_signal");
}

void Scheduler::kill(Process *p, int sig) {
  if (!p) return;
  bool fg = p->parentPid == 0;
  if (sig == SIG_TERM) {
    p->signal = SIG_TERM;
    if (!fg && p->status == RUNNING) KOR_CHECK(kt_cancel(p->thread), "Scheduler", "cancel");
    return;
  }
  if (sig == SIG_CONT && fg) {
    p->signal = SIG_CONT;
    fgPid = p->selfPid;
    KOR_CHECK(kt_cond_signal(&stream_), "Scheduler", "cond_signal");
    return;
  }
  switch (p->status) {
  case RUNNING:
    if (sig == SIG_CONT) return;
    p->signal = sig;
    if (fg) {
      kernel().lock();
      kernel().interrupt = sig;
      kernel().unlock();
    } else {
      KOR_CHECK(kt_cancel(p->thread), "Scheduler", "cancel");
    }
    return;
  case READY:
    if (sig == SIG_STOP) p->signal = SIG_STOP;
    else if (sig == SIG_KILL) deleteProcess(p, true);
    return;
  case STOPPED: case EXITED:
    if (sig == SIG_CONT) p->signal = SIG_CONT;   // a background process: no thread to start here
    else if (sig == SIG_KILL) deleteProcess(p, true);
    return;
  default:
    kor_error(EINVAL, "Scheduler", __LINE__, "kill");
  }
}

Process *Scheduler::find(int pid, bool locked, bool fallback) {
  if (!locked) lock();
  Process *found = nullptr;
  if (pid != 0)
    for (Process *p : procs)
      if (p->selfPid == pid) { found = p; break; }
  if (!found && fallback)
    for (Process *p : procs)
      if (p->parentPid == 0 && (p->status == READY || p->signal == SIG_CONT)) { found = p; break; }
  if (!locked) unlock();
  return found;
}

void Scheduler::counts(int *nFg, int *nBg, int *nRun, bool locked) {
  if (!locked) lock();
  *nFg = nFg_;
  *nBg = nBg_;
  *nRun = nrun;
  if (!locked) unlock();
}

void Scheduler::fg_stop() {
  lock();
  Process *running = nullptr;
  for (Process *p : procs)
    if (p->parentPid == 0 && p->status == RUNNING) { running = p; break; }
  if (running) {
    kill(running, SIG_STOP);
    fgPid = -running->selfPid;
  } else {
    fgPid = STREAM_STOPPED;
    streamRunning = false;
  }
  unlock_and_post();
}

void Scheduler::fg_cont() {
  lock();
  if (fgPid < 0) fgPid = find(-fgPid, true, false) ? -fgPid : 0;
  streamRunning = true;
  if (fgPid == 0) {
    if (procs.size() == 1) kill(procs.front(), SIG_CONT);
    else KOR_CHECK(kt_cond_signal(&stream_), "Scheduler", "cond_signal");
  } else if (Process *p = find(fgPid, true, false)) {
    kill(p, SIG_CONT);
  }
  unlock_and_post();
  fg_stage();
}

void Scheduler::fg_kill() {
  Parser &q = parser();
  q.lock();
  if (!q.queue.empty() || !q.idle) q.state = Parser::DISCARD;
  q.unlock(true);
  lock();
  std::vector<Process *> fg;
  for (Process *p : procs)
    if (p->parentPid == 0) fg.push_back(p);
  for (Process *p : fg) kill(p, SIG_KILL);
  unlock_and_post();
}

void Scheduler::fg_stage() {
  Process *proc = nullptr;
  for (;;) {
    kernel().lock();
    int word = kernel().interrupt;
    kernel().unlock();
    lock();
    if (word != SIG_TERM && fgPid >= 0) {
      if (Process *found = find(fgPid, true, true)) proc = found;
      else proc = nullptr;
      if (proc && proc->selfPid > 96) kor_error(EINVAL, "Scheduler", __LINE__, "fg_server");
    }
    if (word == SIG_TERM) {
      unlock_and_post();
      if (coder().opts.save) {
        main_context().lock();
        main_context().unlock();
        undo_context().lock();
        undo_context().unlock();
      }
      return;
    }
    if (fgPid < 0) {
      unlock_and_post();
      return;
    }
    fgPid = streamRunning ? 0 : STREAM_STOPPED;
    unlock_and_post();
    if (proc) {
      if (!proc->cx) return;   // the end-of-input marker
      fg_server(proc);
    }
    if (!streamRunning || nFg_ == 0 || !proc) return;
  }
}

void Scheduler::fg_server(Process *p) {
  Context &cx = *p->cx;
  cx.lock();
  cx.startTime = cpu_seconds();
  lock();
  ++nrun;
  display().table_changed();
  bool fg = p->parentPid == 0;
  if (fg) display().set_busy(true);
  if (p->status == READY && (cx.format.flags2 & DisplayFormat::UNDO)) undo_context().copy_from(cx);
  p->status = RUNNING;
  p->thread = kt_self();
  bool skip = false;
  if (p->signal == SIG_CONT) {
    p->signal = SIG_NONE;
  } else if (p->signal != SIG_NONE) {
    p->execState = EXEC::CANCEL;
    skip = true;
  }
  unlock_and_post();
  if (!skip) {
    RecoveryPoint point;
    KOR_CHECK(kt_setspecific(kernel().execKey, &point), "Scheduler", "setspecific");
    if (int sig = sigsetjmp(point.env, 1)) {
      int code = sig == SIGILL ? ERR_ILLEGAL_INSTRUCTION
                 : sig == SIGFPE ? ERR_ARITHMETIC
                 : sig == SIGSEGV ? (errno == ENOMEM || errno == EAGAIN ? ERR_NO_MEMORY : ERR_SEGV)
                                  : -1;
      if (code < 0) kor_error(EINVAL, "Scheduler", __LINE__, "proc::exec");
      install_signals();
      lock();
      p->status = EXITED;
      p->execState = cx.fail(p->sp && !cx.IP ? *p->sp : nullptr, code, 0, false);
      unlock_and_post();
    } else {
      cx.program = &p->program;
      cx.frames = &p->frames;
      cx.procStack = &p->stack;
      cx.status_ = p->execState;
      cx.IP = p->ip;
      cx.DP = p->dp;
      cx.SP = p->sp;
      cx.ICOUNT = 0;
      EXEC::Status st = cx.IP ? EXEC::run(cx) : EXEC::run_operands(cx);
      lock();
      if (st != EXEC::CANCEL) {
        if (st == EXEC::HALT) {
          p->signal = SIG_STOP;
          p->ip = cx.IP;
          p->dp = cx.DP;
          p->sp = cx.SP;
        } else {
          p->status = EXITED;
        }
      }
      p->execState = st;
      unlock_and_post();
    }
    KOR_CHECK(kt_setspecific(kernel().execKey, nullptr), "Scheduler", "setspecific");
  }
  cleanup(p);
}

void Scheduler::cleanup(Process *p) {
  Context &cx = *p->cx;
  bool fg = p->parentPid == 0;
  int state = p->execState;
  if (fg) {
    Parser &q = parser();
    q.lock();
    q.format = cx.format;
    q.unlock(false);
  }
  cx.frames = &cx.ownFrames;
  cx.procStack = nullptr;
  cx.program = nullptr;
  cx.IP = nullptr;
  cx.DP = nullptr;
  cx.SP = nullptr;
  cx.unlock();
  if (fg) display().set_busy(false);
  lock();
  --nrun;
  display().table_changed();
  bool remove = true;
  if (p->status == RUNNING && p->signal == SIG_STOP) {
    p->status = STOPPED;
    remove = false;
  } else if (p->status == EXITED && state == EXEC::ERROR) {
    remove = !(cx.format.flags & DisplayFormat::KEEP_FAILED);
    bool others = false;
    for (Process *q : procs)
      if (q != p && q->parentPid == 0 && (q->status == READY || q->signal == SIG_CONT)) others = true;
    if (fg && others && !(cx.format.flags & DisplayFormat::RUN_ON_ERROR)) fgPid = STREAM_STOPPED;
  }
  p->execState = EXEC::NORMAL;
  p->signal = SIG_NONE;
  if (remove) {
    // Its operands go back to the compile stage's pools.
    Parser &q = parser();
    std::vector<OBJ::Operand *> &elems = p->program.elems;
    while (!elems.empty()) {
      OBJ::dispose(elems.back(), &q.pools[0]);
      elems.pop_back();
    }
    deleteProcess(p, true);
  }
  unlock_and_post();
  if (fg) {
    if (state == EXEC::NORMAL) kor_error(EINVAL, "Scheduler", __LINE__, "cleanup");
    kernel().account(cx.startTime, false);
    display().show_stack(cx, state == EXEC::ERROR);
  }
}

void Scheduler::suspend() {
  if (nrun == 0) display().show_error(0, "Suspend", 0, 0, "Job control not supported.", -1, -1);
}

void Scheduler::list(OBJ::Buffer &buf) {
  static const char *const states[] = {"   Ready  ", "   Running", "   Stopped", "   Exited "};
  static const int stateAttr[] = {4, 2, 1, 0};
  static const char *const execs[] = {"     --     ", "   Cancel   ", "   KOR Error",
                                      "     OK     ", "    Stop    "};
  static const int execAttr[] = {0, 0, 1, 2, 0};
  lock();
  std::vector<OBJ::Line> lines;
  auto add = [&](const std::string &text, uint32_t start, uint32_t length, int attr) {
    OBJ::Line l;
    l.text = " " + text;
    if (attr >= 0) l.marks.push_back({start + 1, length, static_cast<uint32_t>(attr)});
    lines.push_back(std::move(l));
  };
  std::string header = "PID  PPID  STATUS  SIGNAL  PGM_STATUS";
  add(header, 0, static_cast<uint32_t>(header.size()), 12);
  char text[96];
  std::snprintf(text, sizeof text, " Fg  (pid=%d, stream=%s)", fgPid, streamRunning ? "true" : "false");
  add(text, 0, 0, -1);
  if (procs.empty()) add("     Process queue is empty.", 0, 0, -1);
  for (Process *p : procs) {
    bool okState = p->status >= READY && p->status <= EXITED;
    bool okExec = p->execState >= 0 && p->execState <= 4;
    const char *st = okState ? states[p->status] : "   ?????? ";
    const char *ex = okExec ? execs[p->execState] : "     ??     ";
    int n = std::snprintf(text, sizeof text, "%3d%5d", p->selfPid, p->parentPid);
    std::string line = std::string(text, static_cast<size_t>(n)) + st + signal_listing(p->signal) + ex;
    uint32_t stateAt = static_cast<uint32_t>(n) + 3, execAt = static_cast<uint32_t>(n + 10 + 7);
    if (p->status == EXITED)
      add(line, execAt, 12, okExec ? execAttr[p->execState] : 17);
    else
      add(line, stateAt, 7, okState ? stateAttr[p->status] : 17);
  }
  unlock();
  buf.lines.assign(lines.begin(), lines.end());
  buf.line = buf.lines.begin();
  buf.col = 1;
}

void Scheduler::verify(Process *proc) {
  lock();
  int fg = 0, bg = 0;
  bool found = !proc;
  for (Process *p : procs) {
    p->verify();
    if (!isUsed[static_cast<size_t>(p->selfPid)]) kor_error(EINVAL, "Scheduler", __LINE__, "isUsed mismatch in verify");
    if (p == proc) found = true;
    (p->parentPid ? bg : fg)++;
  }
  if (!found) kor_error(ESRCH, "Scheduler", __LINE__, "proc not found in verify");
  if (fg != nFg_) kor_error(EINVAL, "Scheduler", __LINE__, "nFg_ mismatch in verify");
  if (bg != nBg_) kor_error(EINVAL, "Scheduler", __LINE__, "nBg_ mismatch in verify");
  if (nrun > nFg_ + nBg_) kor_error(EINVAL, "Scheduler", __LINE__, "nrun mismatch in verify");
  if (isUsed.count() != procs.size()) kor_error(EINVAL, "Scheduler", __LINE__, "isUsed leak in verify");
  unlock();
}

} // namespace KOR
