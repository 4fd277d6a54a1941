// Internal entry points of the exponential-integral kernels.
#pragma once

#include "fathom/sf_dd.h"

namespace fathom::sf {

double e1Pos(double x);                  // E1(x), x > 0
double eiPos(double x);                  // Ei(x), x > 0
double expOverX(double x, int s, DD p);  // exp(s x) p / x, one rounding

} // namespace fathom::sf
