// Fathom's extended-precision special functions of the gamma family, the
// error functions, zeta, the dilogarithm and the logarithmic integral.
//
// The same functions and conventions as the double kernels of
// fathom/special.h, on extended reals: no kernel allocates or fails; poles
// give an infinity, arguments outside the real domain give NaN, and a NaN
// argument gives NaN.  Each kernel computes in the 192-bit working float
// and rounds once (docs/special-functions.md lists the measured accuracy).
#pragma once

#include "fathom/xreal.h"

namespace fathom {

// Gamma and relatives.
XRealValue gamma(XRealValue x);        // NaN at non-positive integers, +-inf at +-0
XRealValue lnGamma(XRealValue x);      // log|Gamma(x)|; +inf at poles
XRealValue factorial(XRealValue x);    // x! exactly (rounded) for integers, else Gamma(1 + x)
XRealValue digamma(XRealValue x);      // psi(x); NaN at poles
XRealValue trigamma(XRealValue x);     // psi'(x); +inf at poles
XRealValue beta(XRealValue a, XRealValue b);            // Gamma(a) Gamma(b) / Gamma(a + b)
XRealValue gammaLower(XRealValue a, XRealValue x);      // integral_0^x t^(a-1) e^-t dt, a > 0, x >= 0
XRealValue betaLower(XRealValue a, XRealValue b, XRealValue x);   // integral_0^x t^(a-1) (1-t)^(b-1) dt

// Error functions.
XRealValue erf(XRealValue x);
XRealValue erfc(XRealValue x);
XRealValue lnErfc(XRealValue x);       // log(erfc(x)), finite far beyond erfc's underflow
XRealValue dawson(XRealValue x);       // exp(-x^2) * integral_0^x exp(t^2) dt

// Zeta, the dilogarithm and the logarithmic integral.
XRealValue zeta(XRealValue s);         // Riemann zeta; +inf at s = 1
XRealValue dilog(XRealValue x);        // Li2(x); the real part for x > 1
XRealValue logInt(XRealValue x);       // li(x), x >= 0 (NaN below)

} // namespace fathom
