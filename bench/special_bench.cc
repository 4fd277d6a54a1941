// ns per call of Fathom's special-function kernels beside glibc (erf, erfc,
// tgamma, lgamma, j0, j1, y0, y1, jn, yn), Boost.Math and GSL (the others),
// in the same run.  Each benchmark cycles through 1024 arguments spread
// over the function's usual range.  Neither Boost nor GSL has the Fresnel
// integrals; Boost has no Si, Ci, Shi, Chi, Dawson or dilogarithm (GSL is
// the reference there).
#include "fathom/special.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#ifdef KOR_HAVE_BOOST
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/digamma.hpp>
#include <boost/math/special_functions/ellint_1.hpp>
#include <boost/math/special_functions/ellint_2.hpp>
#include <boost/math/special_functions/ellint_3.hpp>
#include <boost/math/special_functions/expint.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/jacobi_elliptic.hpp>
#include <boost/math/special_functions/trigamma.hpp>
#include <boost/math/special_functions/zeta.hpp>
#endif
#ifdef KOR_HAVE_GSL
#include <gsl/gsl_sf.h>
#endif

namespace {

std::vector<double> spread(double lo, double hi) {
  std::vector<double> v(1024);
  for (int i = 0; i < 1024; ++i) v[i] = lo + (hi - lo) * ((i * 617) % 1024 + 0.5) / 1024;
  return v;
}

template <class F> void run(benchmark::State &s, double lo, double hi, F f) {
  std::vector<double> xs = spread(lo, hi);
  unsigned i = 0;
  for (auto _ : s) benchmark::DoNotOptimize(f(xs[i++ & 1023]));
}

#define B1(name, lo, hi, expr)                                                 \
  void name(benchmark::State &s) { run(s, lo, hi, [](double x) { return expr; }); } \
  BENCHMARK(name);

// Error functions and gamma.
B1(erf_fathom, -5, 5, fathom::erf(x))
B1(erf_glibc, -5, 5, std::erf(x))
B1(erfc_fathom, -5, 20, fathom::erfc(x))
B1(erfc_glibc, -5, 20, std::erfc(x))
B1(lnerfc_fathom, -5, 50, fathom::lnErfc(x))
B1(dawson_fathom, -10, 10, fathom::dawson(x))
B1(gamma_fathom, 0.1, 170, fathom::gamma(x))
B1(gamma_glibc, 0.1, 170, std::tgamma(x))
B1(gamma_small_fathom, 0.1, 10, fathom::gamma(x))
B1(gamma_small_glibc, 0.1, 10, std::tgamma(x))
B1(lngamma_fathom, 0.1, 1000, fathom::lnGamma(x))
B1(lngamma_glibc, 0.1, 1000, std::lgamma(x))
B1(digamma_fathom, 0.1, 100, fathom::digamma(x))
B1(trigamma_fathom, 0.1, 100, fathom::trigamma(x))
B1(factorial_fathom, 0, 170, fathom::factorial(x))
// Bessel.
B1(j0_fathom, 0, 100, fathom::besselJ0(x))
B1(j0_glibc, 0, 100, j0(x))
B1(j1_fathom, 0, 100, fathom::besselJ1(x))
B1(j1_glibc, 0, 100, j1(x))
B1(y0_fathom, 0.1, 100, fathom::besselY0(x))
B1(y0_glibc, 0.1, 100, y0(x))
B1(y1_fathom, 0.1, 100, fathom::besselY1(x))
B1(y1_glibc, 0.1, 100, y1(x))
B1(jn5_fathom, 0, 100, fathom::besselJn(5, x))
B1(jn5_glibc, 0, 100, jn(5, x))
B1(yn5_fathom, 0.1, 100, fathom::besselYn(5, x))
B1(yn5_glibc, 0.1, 100, yn(5, x))
B1(i0_fathom, 0, 50, fathom::besselI0(x))
B1(i1_fathom, 0, 50, fathom::besselI1(x))
B1(k0_fathom, 0.01, 50, fathom::besselK0(x))
B1(k1_fathom, 0.01, 50, fathom::besselK1(x))
B1(in5_fathom, 0, 50, fathom::besselIn(5, x))
B1(kn5_fathom, 0.01, 50, fathom::besselKn(5, x))
// Integrals and others.
B1(e1_fathom, 0.01, 50, fathom::expIntE1(x))
B1(ei_fathom, 0.01, 50, fathom::expIntEi(x))
B1(en_fathom, 0.01, 50, fathom::expIntEn(2.5, x))
B1(li_fathom, 0.01, 1e6, fathom::logInt(x))
B1(si_fathom, 0, 100, fathom::sinInt(x))
B1(ci_fathom, 0.01, 100, fathom::cosInt(x))
B1(shi_fathom, 0, 50, fathom::sinhInt(x))
B1(chi_fathom, 0.01, 50, fathom::coshInt(x))
B1(fresnelc_fathom, 0, 20, fathom::fresnelC(x))
B1(fresnels_fathom, 0, 20, fathom::fresnelS(x))
B1(zeta_fathom, -20, 60, fathom::zeta(x))
B1(dilog_fathom, -10, 1, fathom::dilog(x))
B1(elliptick_fathom, 0.01, 1, fathom::ellipticK(x))
B1(elliptice_fathom, 0.01, 1, fathom::ellipticE(x))
B1(ellippi_fathom, 0.01, 1, fathom::ellipticPi(0.3, x))
B1(ellipf_fathom, 0.01, 10, fathom::ellipticF(x, 0.6))
B1(ellipe_inc_fathom, 0.01, 10, fathom::ellipticEInc(x, 0.6))
B1(ellippi_inc_fathom, 0.01, 10, fathom::ellipticPiInc(0.3, x, 0.6))
B1(jacobisn_fathom, 0, 10, fathom::jacobiSn(x, 0.6))
B1(jacobicn_fathom, 0, 10, fathom::jacobiCn(x, 0.6))
B1(jacobidn_fathom, 0, 10, fathom::jacobiDn(x, 0.6))
B1(beta_fathom, 0.1, 50, fathom::beta(x, 3.5))
B1(gammalower_fathom, 0.1, 50, fathom::gammaLower(3.5, x))
B1(gammap_fathom, 0.1, 50, fathom::gammaP(3.5, x))
B1(betalower_fathom, 0.01, 0.99, fathom::betaLower(2.5, 3.5, x))
B1(betai_fathom, 0.01, 0.99, fathom::betaI(2.5, 3.5, x))

#ifdef KOR_HAVE_BOOST
namespace bm = boost::math;
B1(lnerfc_boost, -5, 26, std::log(bm::erfc(x)))
B1(factorial_boost, 0, 170, bm::tgamma(x + 1))
B1(digamma_boost, 0.1, 100, bm::digamma(x))
B1(trigamma_boost, 0.1, 100, bm::trigamma(x))
B1(i0_boost, 0, 50, bm::cyl_bessel_i(0, x))
B1(i1_boost, 0, 50, bm::cyl_bessel_i(1, x))
B1(k0_boost, 0.01, 50, bm::cyl_bessel_k(0, x))
B1(k1_boost, 0.01, 50, bm::cyl_bessel_k(1, x))
B1(in5_boost, 0, 50, bm::cyl_bessel_i(5, x))
B1(kn5_boost, 0.01, 50, bm::cyl_bessel_k(5, x))
B1(e1_boost, 0.01, 50, bm::expint(1, x))
B1(ei_boost, 0.01, 50, bm::expint(x))
B1(en_boost, 0.01, 50, bm::expint(2, x))
B1(li_boost, 0.01, 1e6, bm::expint(std::log(x)))
B1(zeta_boost, -20, 60, bm::zeta(x))
B1(elliptick_boost, 0.01, 1, bm::ellint_1(std::sqrt(1 - x * x)))
B1(elliptice_boost, 0.01, 1, bm::ellint_2(std::sqrt(1 - x * x)))
B1(ellippi_boost, 0.01, 1, bm::ellint_3(std::sqrt(1 - x * x), 0.3))
B1(ellipf_boost, 0.01, 10, bm::ellint_1(0.8, std::atan(x)))
B1(ellipe_inc_boost, 0.01, 10, bm::ellint_2(0.8, std::atan(x)))
B1(ellippi_inc_boost, 0.01, 10, bm::ellint_3(0.8, 0.3, std::atan(x)))
B1(jacobisn_boost, 0, 10, bm::jacobi_sn(0.8, x))
B1(jacobicn_boost, 0, 10, bm::jacobi_cn(0.8, x))
B1(jacobidn_boost, 0, 10, bm::jacobi_dn(0.8, x))
B1(beta_boost, 0.1, 50, bm::beta(x, 3.5))
B1(gammalower_boost, 0.1, 50, bm::tgamma_lower(3.5, x))
B1(gammap_boost, 0.1, 50, bm::gamma_p(3.5, x))
B1(betalower_boost, 0.01, 0.99, bm::beta(2.5, 3.5, x))
B1(betai_boost, 0.01, 0.99, bm::ibeta(2.5, 3.5, x))
#endif
#ifdef KOR_HAVE_GSL
const bool kGslQuiet = (gsl_set_error_handler_off(), true);
B1(dawson_gsl, -10, 10, gsl_sf_dawson(x))
B1(e1_gsl, 0.01, 50, gsl_sf_expint_E1(x))
B1(si_gsl, 0, 100, gsl_sf_Si(x))
B1(ci_gsl, 0.01, 100, gsl_sf_Ci(x))
B1(shi_gsl, 0, 50, gsl_sf_Shi(x))
B1(chi_gsl, 0.01, 50, gsl_sf_Chi(x))
B1(dilog_gsl, -10, 1, gsl_sf_dilog(x))
B1(lnerfc_gsl, -5, 50, gsl_sf_log_erfc(x))
#endif

} // namespace

BENCHMARK_MAIN();
