// The 21-point Gauss-Kronrod rule, written once for doubles and extended
// reals.  The double nodes and weights are the standard published constants
// (Piessens et al., QUADPACK, 1983); the extended ones are generated
// (integrate_gk21_x.h).  The tests check polynomial exactness to degree 31
// and 19.
#pragma once

#include <cfloat>
#include <cmath>

namespace fathom::quad {

inline constexpr double kXgk[11] = {
    0.995657163025808080735527280689003, 0.973906528517171720077964012084452,
    0.930157491355708226001207180059508, 0.865063366688984510732096688423493,
    0.780817726586416897063717578345042, 0.679409568299024406234327365114874,
    0.562757134668604683339000099272694, 0.433395394129247190799265943165784,
    0.294392862701460198131126603103866, 0.148874338981631210884826001129720,
    0.0};
inline constexpr double kWgk[11] = {
    0.011694638867371874278064396062192, 0.032558162307964727478818972459390,
    0.054755896574351996031381300244580, 0.075039674810919952767043140916190,
    0.093125454583697605535065465083366, 0.109387158802297641899210590325805,
    0.123491976262065851077958109831074, 0.134709217311473325928054001771707,
    0.142775938577060080797094273138717, 0.147739104901338491374841515972068,
    0.149445554002916905664936468389821};
// Gauss weights of the 10-point rule, for the odd-indexed nodes above.
inline constexpr double kWg[5] = {
    0.066671344308688137593568809893332, 0.149451349150580593145776339657697,
    0.219086362515982043995534934228163, 0.269266719309996355091226921569469,
    0.295524224714752870173892994651338};

template <class T> struct RuleResult {
  T result, abserr, resabs, resasc;
};

// f(x) for the 21 nodes of [a, b]; criterion as in integrate.h.  Ops gives
// the value type's constants and functions (integrate_adaptive.h): the
// nodes and weights, abs, sqrt, eps (the unit in the last place of 1) and tiny (the
// smallest normal value).
template <class Ops, class T, class F>
RuleResult<T> gk21(F &&f, T a, T b, int criterion) {
  const T *xgk = Ops::xgk(), *wgk = Ops::wgk(), *wg = Ops::wg();
  T half = Ops::of(0.5);
  T c = half * (a + b), h = half * (b - a), dh = Ops::abs(h);
  T fc = f(c);
  T resg = Ops::of(0), resk = wgk[10] * fc, resabs = Ops::abs(resk);
  T fv1[10], fv2[10];
  for (int j = 0; j < 10; ++j) {
    T dx = h * xgk[j];
    T f1 = f(c - dx), f2 = f(c + dx);
    fv1[j] = f1;
    fv2[j] = f2;
    resk += wgk[j] * (f1 + f2);
    resabs += wgk[j] * (Ops::abs(f1) + Ops::abs(f2));
    if (j & 1) resg += wg[j / 2] * (f1 + f2);
  }
  T reskh = resk * half;
  T resasc = wgk[10] * Ops::abs(fc - reskh);
  for (int j = 0; j < 10; ++j)
    resasc += wgk[j] * (Ops::abs(fv1[j] - reskh) + Ops::abs(fv2[j] - reskh));
  RuleResult<T> r{resk * h, Ops::abs((resk - resg) * h), resabs * dh, resasc * dh};
  T zero = Ops::of(0);
  if (r.resasc != zero && r.abserr != zero) {
    T q = Ops::of(200) * r.abserr / r.resasc;
    T p = Ops::errorPower(q);
    T one = Ops::of(1);
    T scaled = r.resasc * (p < one ? p : one);
    // The raw difference misses what both rules miss (a log singularity
    // inside the interval), so the conservative criterion takes the larger.
    r.abserr = criterion == 0 || r.abserr < scaled ? scaled : r.abserr;
  }
  T floor = Ops::of(50) * Ops::eps();
  if (r.resabs > Ops::tiny() / floor && r.abserr < floor * r.resabs) r.abserr = floor * r.resabs;
  return r;
}

} // namespace fathom::quad
