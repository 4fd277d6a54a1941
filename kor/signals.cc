#include "kor/signals.h"

#include <csetjmp>
#include <csignal>

#include "kor/Kernel.h"
#include "kor/kor_error.h"
#include "kor/platform.h"

namespace KOR {

void install_signals() {
  for (int sig : {SIGFPE, SIGILL, SIGSEGV, SIGINT, SIG_CONSOLE_BREAK, SIGTERM})
    install_handler(sig, on_signal);
}

void on_signal(int sig) {
  Kernel &k = kernel();
  bool fault = sig == SIGFPE || sig == SIGILL || sig == SIGSEGV;
  if (fault) {
    if (auto *point = static_cast<RecoveryPoint *>(kt_getspecific(k.execKey)))
      siglongjmp(point->env, sig);
  }
  switch (sig) {
  case SIGINT: k.interrupt = SIG_KILL; break;
  case SIGILL: k.fatal("\nIllegal Instruction");
  case SIGFPE: k.fatal("\nArithmetic Exception");
  case SIGSEGV: k.fatal("\nSegmentation Violation");
  case SIGTERM: k.quit(); break;
  case SIG_CONSOLE_BREAK: kor_error(4, "korsh", __LINE__, nullptr);
  default: k.fatal("\n????");
  }
  install_handler(sig, on_signal);
}

} // namespace KOR
