// The mathematical constants, correctly rounded to 128 bits (generated: see
// scripts/gen_xmath_tables.py).
#include "fathom/xmath.h"
#include "fathom/xmath_tables.h"

namespace fathom {

XRealValue xpi() { return detail::kXPi; }
XRealValue xe() { return detail::kXE; }
XRealValue xeuler() { return detail::kXEuler; }
XRealValue xcatalan() { return detail::kXCatalan; }
XRealValue xln2() { return detail::kXLn2; }
XRealValue xln10() { return detail::kXLn10; }

} // namespace fathom
