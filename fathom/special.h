// Fathom's double-precision special functions.
//
// Every kernel takes and returns doubles, never allocates and never fails:
// poles give an infinity, arguments outside the real domain give NaN, and
// a NaN argument gives NaN.  Conventions (see docs/special-functions.md for
// accuracies):
//  - elliptic integrals take the complementary modulus kc (kc^2 = 1 - m),
//    the amplitude as x = tan(phi), and the characteristic n with the
//    integrand factor 1/(1 - n sin^2 phi);
//  - Jacobi functions take (u, kc) with the same complementary modulus;
//  - incomplete gamma and beta functions are the lower, non-regularised
//    ones (the regularised ones are available as gammaP and betaI);
//  - integer orders of Bessel functions are the argument truncated toward
//    zero; negative orders follow J[-n] = (-1)^n J[n] (the same for Y),
//    I[-n] = I[n], K[-n] = K[n].
#pragma once

namespace fathom {

// Constants, correctly rounded.
inline constexpr double kPi = 3.141592653589793238462643383279502884;
inline constexpr double kE = 2.718281828459045235360287471352662498;
inline constexpr double kEulerGamma = 0.577215664901532860606512090082402431;
inline constexpr double kCatalan = 0.915965594177219015054603514932384110;

// Error functions.
double erf(double x);
double erfc(double x);
double lnErfc(double x);          // log(erfc(x)), finite far beyond erfc's underflow
double dawson(double x);          // exp(-x^2) * integral_0^x exp(t^2) dt

// Gamma and relatives.
double gamma(double x);           // NaN at non-positive integers, +-inf at +-0
double lnGamma(double x);         // log|Gamma(x)|; +inf at poles
double factorial(double x);       // x! exactly (rounded) for integers 0..170, else Gamma(1 + x)
double digamma(double x);         // psi(x); NaN at poles
double trigamma(double x);        // psi'(x); +inf at poles
double beta(double a, double b);  // Gamma(a) Gamma(b) / Gamma(a + b)
double gammaLower(double a, double x);      // integral_0^x t^(a-1) e^-t dt, a > 0, x >= 0
double gammaP(double a, double x);          // gammaLower / Gamma(a)
double betaLower(double a, double b, double x);  // integral_0^x t^(a-1) (1-t)^(b-1) dt, 0 <= x <= 1
double betaI(double a, double b, double x);      // betaLower / beta(a, b)

// Exponential, logarithmic, trigonometric and hyperbolic integrals.
double expIntE1(double x);        // E1(x), x > 0 (NaN for x < 0)
double expIntEi(double x);        // Ei(x), principal value; Ei(-x) = -E1(x)
double expIntEn(double nu, double x);   // E_nu(x) for real nu, x >= 0
double logInt(double x);          // li(x) = Ei(log x), x >= 0
double sinInt(double x);          // Si(x)
double cosInt(double x);          // Ci(x), x > 0 (NaN for x < 0)
double sinhInt(double x);         // Shi(x)
double coshInt(double x);         // Chi(x), x > 0 (NaN for x < 0)
double fresnelC(double x);        // integral_0^x cos(pi t^2 / 2) dt
double fresnelS(double x);        // integral_0^x sin(pi t^2 / 2) dt

// Zeta and polylogarithm.
double zeta(double s);            // Riemann zeta; +inf at s = 1
double dilog(double x);           // Li2(x); the real part for x > 1

// Bessel functions.
double besselI0(double x);
double besselI1(double x);
double besselK0(double x);        // x > 0
double besselK1(double x);
double besselJ0(double x);
double besselJ1(double x);
double besselY0(double x);        // x > 0
double besselY1(double x);
double besselIn(double n, double x);   // order trunc(n)
double besselJn(double n, double x);
double besselKn(double n, double x);
double besselYn(double n, double x);

// Elliptic integrals and functions (complementary modulus kc).
double ellipticK(double kc);
double ellipticE(double kc);
double ellipticPi(double n, double kc);
double ellipticF(double x, double kc);             // F(phi | kc), x = tan(phi)
double ellipticEInc(double x, double kc);          // E(phi | kc), x = tan(phi)
double ellipticPiInc(double n, double x, double kc);
double jacobiSn(double u, double kc);
double jacobiCn(double u, double kc);
double jacobiDn(double u, double kc);
// sn, cn and dn at once.
void jacobiSnCnDn(double u, double kc, double *sn, double *cn, double *dn);

// Carlson's symmetric integrals, the building blocks of the above.
double carlsonRF(double x, double y, double z);
double carlsonRD(double x, double y, double z);
double carlsonRJ(double x, double y, double z, double p);   // principal value for p < 0
double carlsonRC(double x, double y);                       // principal value for y < 0

} // namespace fathom
