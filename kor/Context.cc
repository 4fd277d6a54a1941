#include "kor/Context.h"

#include <cerrno>
#include <cstdio>

#include "kor/HardLink.h"
#include "kor/Interpreter.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"

namespace KOR {

Context::Context(const char *name) : name_(name) {
  KOR_CHECK(kt_mutex_init(&mutex_), "Context", "mutex_init");
}

Context::~Context() {
  main.clear();
  last.clear();
  kt_mutex_destroy(&mutex_);
}

EXEC::Status Context::timeslice(EXEC::Status status) {
  status_ = status;
  if (coder().ttyInput) coder().poll_keyboard();
  Kernel &k = kernel();
  k.lock();
  k.account(startTime, true);
  if (k.interrupt != SIG_NONE) {
    if (k.interrupt == SIG_STOP || k.interrupt == SIG_TERM) {
      status_ = EXEC::HALT;
      // Step back so that the interrupted block end runs again on continue.
      if (IP) {
        IP -= 2;
        DP -= 1;
      } else {
        SP -= 1;
      }
    } else {
      status_ = EXEC::CANCEL;
    }
    k.interrupt = SIG_NONE;
  }
  k.unlock();
  ICOUNT = 0;
  return EXEC::Status(status_);
}

EXEC::Status Context::fail(const OBJ::Operand *op, int code, int sysErrno, bool restore) {
  if (IP) failedOperand = OP::command(EXEC::word_command(*IP)).shown();
  else if (op) failedOperand = OBJ::toText(*op, format, OBJ::NO_LIMIT).substr(1);
  else failedOperand.clear();
  err_ = code;
  sysErr = sysErrno;
  if (restore) main.move_from(last);
  status_ = EXEC::ERROR;
  return EXEC::ERROR;
}

void Context::save_last_args(size_t n) {
  last.clear();
  main.refill(static_cast<int>(n));
  for (size_t k = n; k >= 1; --k) last.push(main.copy_entry(main.level(k)));
}

EXEC::Status Context::run_operands(const OBJ::Program &prog) { return EXEC::call(*this, prog); }

void Context::copy_from(Context &other) {
  lock();
  startTime = other.startTime;
  program = other.program;
  format = other.format;
  err_ = other.err_;
  sysErr = other.sysErr;
  failedOperand = other.failedOperand;
  last.copy_from(other.last);
  main.copy_from(other.main);
  status_ = other.status_;
  unlock();
}

void Context::swap(Context &other) {
  std::swap(startTime, other.startTime);
  std::swap(program, other.program);
  std::swap(format, other.format);
  std::swap(err_, other.err_);
  std::swap(sysErr, other.sysErr);
  std::swap(failedOperand, other.failedOperand);
  last.swap(other.last);
  main.swap(other.main);
  std::swap(IP, other.IP);
  std::swap(DP, other.DP);
  std::swap(SP, other.SP);
  std::swap(ICOUNT, other.ICOUNT);
  std::swap(procStack, other.procStack);
  std::swap(status_, other.status_);
}

void Context::verify() {
  format.verify();
  if (err_ < 0 || err_ > 12) kor_error(EINVAL, "Context", __LINE__, "bad err_ in verify");
  last.verify();
  main.verify();
  if (status_ < 0 || status_ >= 7) kor_error(EINVAL, "Context", __LINE__, "bad status_ in verify");
}

void Context::trace() {
  std::fprintf(stderr, "-------- Begin Context trace --------\r\n");
  std::fprintf(stderr, "\r\n**** Program counter ****\r\n");
  std::fprintf(stderr, "  IP = %p   DP = %p   SP = %p   ICOUNT = %lu\r\n",
               static_cast<const void *>(IP), static_cast<const void *>(DP),
               static_cast<const void *>(SP), static_cast<unsigned long>(ICOUNT));
  std::fprintf(stderr, "\r\n**** Main stack ****\r\n");
  main.dump();
  std::fprintf(stderr, "\r\n**** Last stack ****\r\n");
  last.dump();
  std::fprintf(stderr, "--------  End  Context trace --------\r\n");
}

} // namespace KOR
