// Fathom's own version line, printed by `korsh -v`.
#pragma once

namespace fathom {

// One line, no line end.
const char *banner();

} // namespace fathom
