#include "kor/ExecStatus.h"

namespace EXEC {

const char *status_name(int status) {
  static const char *const names[] = {"NORMAL", "CANCEL", "ERROR", "EXIT", "HALT", "BREAK", "LOOP"};
  return status >= 0 && status <= LOOP ? names[status] : "[INVALID]";
}

} // namespace EXEC
