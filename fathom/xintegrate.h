// The adaptive Gauss-Kronrod integrators of integrate.h for extended reals:
// the same algorithm, error criteria, limits and stop callback, with the
// 21-point rule's nodes and weights at 128 bits.  The request is met when
// the error estimate is at most max(relerr, 50 eps) * |result| with
// eps = 2^-127, or below the rounding floor 50 eps * integral of |f|, so
// relative errors down to about 3e-37 can be asked for; epsilon
// extrapolation reaches them on endpoint singularities such as 1/sqrt(x)
// and log(x).  When the request is not met the best estimate is returned
// with status PrecisionNotMet and the line
//   "Precision not met in eld_kgauss (%.1e/%.1e) in [%s, %s]\n"
// (achieved error, requested error, x1, x2; the bounds in the fewest
// decimal digits that read back to them) is written to stderr.  No heap
// allocation: the subinterval list (about 100 kB at the limit of 1000)
// lives on the stack.
#pragma once

#include "fathom/integrate.h"
#include "fathom/xreal.h"

namespace fathom {

using XIntegrand = XRealValue (*)(XRealValue x, void *ctx);
using XIntegResult = BasicIntegResult<XRealValue>;

XIntegResult xkgauss(XIntegrand f, void *ctx, XRealValue x1, XRealValue x2, double relerr,
                     int limit, int criterion, StopCheck stop = nullptr);

XIntegResult xsqkgauss(XIntegrand f, void *ctx, XRealValue x1, XRealValue x2, XRealValue c,
                       double relerr, int limit, int criterion, StopCheck stop = nullptr);

// The shortest decimal text that reads back to x ("%g"-like: fixed notation
// for decimal exponents from -5 to 33, else an exponent; "NaN", "Infinity",
// "-Infinity").  Returns the length written (out must hold 64 characters).
int formatShortest(char *out, XRealValue x);

} // namespace fathom
