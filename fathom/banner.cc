#include "fathom/banner.h"

namespace fathom {

const char *banner() {
  return "Fathom numerical library 1.0 (IEEE double and 128-bit extended real)";
}

} // namespace fathom
