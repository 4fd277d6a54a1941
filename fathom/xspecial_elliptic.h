// Fathom's extended-precision (128-bit) elliptic integrals and Jacobi
// elliptic functions.
//
// The same functions, conventions and special values as the double ones of
// fathom/special.h: the complementary modulus kc (kc^2 = 1 - m, only kc^2
// matters, |kc| > 1 is m < 0), the amplitude as x = tan(phi) (x = +-inf
// gives the complete integrals), the characteristic n with the integrand
// factor 1/(1 - n sin^2 phi) and the Cauchy principal value where
// n sin^2 phi > 1.  NaN arguments give NaN.  Accuracies are in
// docs/special-functions.md.
#pragma once

#include "fathom/xreal.h"

namespace fathom {

XRealValue ellipticK(XRealValue kc);                        // +inf at kc = 0
XRealValue ellipticE(XRealValue kc);                        // 1 at kc = 0
XRealValue ellipticPi(XRealValue n, XRealValue kc);         // +inf at n = 1 or kc = 0
XRealValue ellipticF(XRealValue x, XRealValue kc);          // F(phi | kc), x = tan(phi)
XRealValue ellipticEInc(XRealValue x, XRealValue kc);       // E(phi | kc), x = tan(phi)
XRealValue ellipticPiInc(XRealValue n, XRealValue x, XRealValue kc);

// sn, cn, dn(u | m = 1 - kc^2).  The phase u mod 4K is exact while |u| / K
// stays below about 2^60; beyond that the error grows as |u| / K * 2^-186,
// and from 2^180 on (no bit of the phase left) the results are NaN, as for
// infinite u.
XRealValue jacobiSn(XRealValue u, XRealValue kc);
XRealValue jacobiCn(XRealValue u, XRealValue kc);
XRealValue jacobiDn(XRealValue u, XRealValue kc);
void jacobiSnCnDn(XRealValue u, XRealValue kc, XRealValue *sn, XRealValue *cn, XRealValue *dn);

} // namespace fathom
