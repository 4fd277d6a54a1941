#include "kor/DisplayParts.h"

#include <algorithm>

#include "kor/Surface.h"

namespace KOR {

int role_attr(Role role, bool colors) {
  if (role == Role::Plain) return 0;
  if (!colors) return role == Role::Label ? ATTR_BOLD | ATTR_REVERSE : ATTR_BOLD;
  switch (role) {
  case Role::Error: return ATTR_BOLD | PAIR_RED;
  case Role::Mode: return ATTR_BOLD | PAIR_GREEN;
  case Role::Label: return ATTR_BOLD | PAIR_WHITE_ON_BLUE;
  case Role::Info: case Role::Message: return ATTR_BOLD | PAIR_YELLOW;
  case Role::Process: return ATTR_BOLD | PAIR_CYAN;
  case Role::Legend: return ATTR_BOLD | PAIR_MAGENTA;
  default: return ATTR_BOLD;
  }
}

bool make_geometry(int rows, int cols, int mainHint, int editHint, Geometry *out) {
  if (rows < 12 || cols < 40) return false;
  const int free = rows - 8;
  int m = free * 6 / 10;   // both hints, or none: the default split
  if (mainHint > 0 && editHint <= 0) m = std::min(rows - 9, mainHint);
  else if (editHint > 0 && mainHint <= 0) m = free - std::min(rows - 9, editHint);
  *out = Geometry{rows, cols, m, free - m};
  return true;
}

} // namespace KOR
