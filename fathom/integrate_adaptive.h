// Adaptive Gauss-Kronrod integration with epsilon extrapolation, written
// once over the value type (see integrate.h for the method and its claims).
// The bookkeeping follows the published QAGS algorithm (Piessens et al.,
// QUADPACK, 1983): bisect the interval of largest error; once the smallest
// intervals reach the current "small" length, keep refining the larger ones
// until their error is below the extrapolation's error, then add the sum to
// the epsilon table; halve "small" and repeat.
//
// Ops supplies the value type T and its pieces: of(double), abs, sqrt,
// errorPower (the balanced criterion's power: x^1.5 for doubles), isFinite,
// isInf, isNaN, inf(), nan(), eps() and epsDouble() (the unit in the last
// place of 1), tiny() (the smallest normal value), the rule's nodes and
// weights xgk(), wgk(), wg(), and warn() for the precision warning.  T has
// the arithmetic operators and comparisons.  Included by integrate.cc and
// xintegrate.cc only.
#pragma once

#include "fathom/integrate.h"
#include "fathom/integrate_gk21.h"

namespace fathom::quad {

constexpr int kMaxLimit = 1000;
constexpr int kEpsTable = 52;

template <class Ops, class T> T maxOf(T a, T b) {   // a NaN loses, as fmax
  if (Ops::isNaN(a)) return b;
  if (Ops::isNaN(b)) return a;
  return a < b ? b : a;
}

template <class T> struct Interval {
  T a, b, r, e;
  int level;
};

// Wynn's epsilon algorithm on s[0..n-1]: the extrapolated limit and an
// error estimate from the spread of the last three extrapolations.
template <class Ops, class T> struct Epsilon {
  T s[kEpsTable];
  T last[3] = {Ops::of(0), Ops::of(0), Ops::of(0)};
  int n = 0, nres = 0;

  void add(T v) {
    if (n == kEpsTable) {                 // keep the newest half
      for (int i = 0; i < kEpsTable / 2; ++i) s[i] = s[i + kEpsTable / 2];
      n = kEpsTable / 2;
    }
    s[n++] = v;
  }

  // Returns false while there are too few terms.
  bool extrapolate(T *res, T *err) {
    if (n < 3) return false;
    T prev[kEpsTable], cur[kEpsTable];
    for (int i = 0; i < n; ++i) { prev[i] = Ops::of(0); cur[i] = s[i]; }
    T best = s[n - 1];
    int m = n;
    T zero = Ops::of(0), one = Ops::of(1);
    for (int col = 1; m > 1; ++col) {
      T next[kEpsTable];
      bool ok = true;
      for (int i = 0; i + 1 < m; ++i) {
        T d = cur[i + 1] - cur[i];
        if (d == zero || !Ops::isFinite(d)) { ok = false; break; }
        next[i] = prev[i + 1] + one / d;
      }
      if (!ok) break;
      for (int i = 0; i < m; ++i) prev[i] = cur[i];
      for (int i = 0; i + 1 < m; ++i) cur[i] = next[i];
      --m;
      if ((col & 1) == 0) best = cur[m - 1];   // even columns estimate the limit
    }
    last[0] = last[1];
    last[1] = last[2];
    last[2] = best;
    ++nres;
    *res = best;
    *err = nres < 3 ? Ops::inf()
                    : Ops::abs(best - last[1]) + Ops::abs(best - last[0]) +
                          Ops::abs(last[1] - last[0]);
    *err = maxOf<Ops>(*err, Ops::of(5) * Ops::eps() * Ops::abs(best));
    return true;
  }
};

template <class T> using Fn = T (*)(T x, void *ctx);

// The integrand after the change of variable for infinite ranges.
template <class Ops, class T> struct Mapped {
  Fn<T> f;
  void *ctx;
  int kind;          // 0 finite, 1 [a, inf), 2 (-inf, b], 3 (-inf, inf)
  T bound;
  long evals = 0;

  T operator()(T t) {
    if (kind == 0) { ++evals; return f(t, ctx); }
    if (t == Ops::of(0)) return Ops::of(0);
    T one = Ops::of(1);
    T u = (one - t) / t, w = one / (t * t);
    ++evals;
    if (kind == 1) return f(bound + u, ctx) * w;
    if (kind == 2) return f(bound - u, ctx) * w;
    ++evals;
    return (f(u, ctx) + f(-u, ctx)) * w;
  }
};

template <class Ops, class T> struct Adaptive {
  Mapped<Ops, T> &g;
  int criterion;
  StopCheck stop;
  void *ctx;
  Interval<T> iv[kMaxLimit];
  int n = 0;
  bool stopped = false;

  Adaptive(Mapped<Ops, T> &gg, int crit, StopCheck st, void *c)
      : g(gg), criterion(crit), stop(st), ctx(c) {}

  RuleResult<T> rule(T a, T b) {
    RuleResult<T> r = gk21<Ops>(g, a, b, criterion);
    if (stop && stop(ctx)) stopped = true;
    return r;
  }

  int largest(T small, bool onlyLarge) const {
    int k = -1;
    for (int i = 0; i < n; ++i) {
      if (onlyLarge && Ops::abs(iv[i].b - iv[i].a) <= small) continue;
      if (k < 0 || iv[i].e > iv[k].e) k = i;
    }
    return k;
  }

  // Splits interval k in two, the halves at k and n; returns the parent.
  template <class Tests>   // Roundoff, below
  Interval<T> bisect(int k, Tests &ro, bool extrap, T *absint) {
    Interval<T> cur = iv[k];
    T m = Ops::of(0.5) * (cur.a + cur.b);
    RuleResult<T> r1 = rule(cur.a, m), r2 = rule(m, cur.b);
    ro.note(cur, r1, r2, extrap, n + 1);
    *absint += r1.resabs + r2.resabs - Ops::abs(cur.r);
    iv[k] = {cur.a, m, r1.result, r1.abserr, cur.level + 1};
    iv[n++] = {m, cur.b, r2.result, r2.abserr, cur.level + 1};
    return cur;
  }

  // The error on the intervals longer than small.
  T errOver(T small) const {
    T e = Ops::of(0);
    for (int i = 0; i < n; ++i)
      if (Ops::abs(iv[i].b - iv[i].a) > small) e += iv[i].e;
    return e;
  }

  T sum() const { T s = Ops::of(0); for (int i = 0; i < n; ++i) s += iv[i].r; return s; }
  T errSum() const { T s = Ops::of(0); for (int i = 0; i < n; ++i) s += iv[i].e; return s; }
};

template <class T> struct Outcome {
  T value, error;
  int intervals;
  bool stopped, met;
};

template <class Ops, class T> T tolerance(double relerr, T value, T absint) {
  if (!Ops::isFinite(absint)) absint = Ops::of(0);        // f overflowed somewhere
  return maxOf<Ops>(Ops::of(relerr) * Ops::abs(value), Ops::of(50) * Ops::eps() * absint);
}

// QUADPACK's roundoff tests on one bisection: the halves agree with the
// parent but their error did not drop (types 1 and 2, before and during
// extrapolation), or the error grew (type 3).
template <class Ops, class T> struct Roundoff {
  int t1 = 0, t2 = 0, t3 = 0;

  void note(const Interval<T> &parent, const RuleResult<T> &r1, const RuleResult<T> &r2,
            bool extrap, int iteration) {
    if (r1.resasc == r1.abserr || r2.resasc == r2.abserr) return;
    T area12 = r1.result + r2.result, error12 = r1.abserr + r2.abserr;
    if (Ops::abs(parent.r - area12) <= Ops::of(1e-5) * Ops::abs(area12) &&
        error12 >= Ops::of(0.99) * parent.e)
      ++(extrap ? t2 : t1);
    if (iteration > 10 && error12 > parent.e) ++t3;
  }
  bool hopeless() const { return t1 + t2 >= 10 || t3 >= 20; }
  // Extrapolation then goes ahead with error left on the large intervals.
  bool large() const { return t2 >= 5; }
};

// The extrapolation state between bisections.
template <class Ops, class T> struct Extrapolation {
  Epsilon<Ops, T> table;
  T best = Ops::of(0), err = Ops::inf(), correc = Ops::of(0);
  int ktmin = 0;
  bool off = false;   // extrapolation stopped helping

  // Adds the sum to the table and extrapolates; true when the new estimate
  // meets the request.  ertest follows the best estimate.
  bool step(T area, T errsum, T erlarg, double relerr, T absint, int criterion, T *ertest) {
    table.add(area);
    T res, e;
    if (!table.extrapolate(&res, &e)) return false;
    // A new estimate is no better than its distance to the one it replaces.
    if (!Ops::isInf(err)) e = maxOf<Ops>(e, Ops::abs(res - best));
    ++ktmin;
    bool ok = false;
    if (e < err) {
      ktmin = 0;
      best = res;
      err = e;
      correc = erlarg;
      *ertest = tolerance<Ops>(relerr, res, absint);
      // Every sum in the table carries the error left on the large
      // intervals, which extrapolation cannot remove: it counts too.
      ok = e + erlarg <= *ertest;
      if (ok && criterion == 1) ok = Ops::abs(res - area) <= Ops::of(10) * errsum + *ertest;
    }
    if (ktmin > 5 && err < Ops::of(1e-3) * errsum) off = true;
    return ok;
  }
};

template <class Ops, class T>
Outcome<T> finalOutcome(const Adaptive<Ops, T> &ad, const Extrapolation<Ops, T> &x,
                        double relerr, T absint) {
  T area = ad.sum(), errsum = ad.errSum();
  T xerr = x.err + x.correc;
  bool xok = Ops::isFinite(x.best) && Ops::isFinite(xerr);
  bool useExtrap = xok && xerr * Ops::abs(area) <= errsum * Ops::abs(x.best);
  if (!Ops::isFinite(area)) useExtrap = xok;
  if (useExtrap)
    return {x.best, xerr, ad.n, false, xerr <= tolerance<Ops>(relerr, x.best, absint)};
  bool met = Ops::isFinite(area) && errsum <= tolerance<Ops>(relerr, area, absint);
  return {area, errsum, ad.n, false, met};
}

template <class Ops, class T>
Outcome<T> integrate(Mapped<Ops, T> &g, T a, T b, double relerr, int limit, int criterion,
                     StopCheck stop, void *ctx) {
  Adaptive<Ops, T> ad(g, criterion, stop, ctx);
  RuleResult<T> r0 = ad.rule(a, b);
  ad.iv[0] = {a, b, r0.result, r0.abserr, 0};
  ad.n = 1;
  T absint = r0.resabs;
  if (ad.stopped) return {r0.result, r0.abserr, 1, true, false};
  if (r0.abserr <= tolerance<Ops>(relerr, r0.result, absint) || limit == 1)
    return {r0.result, r0.abserr, 1, false, r0.abserr <= tolerance<Ops>(relerr, r0.result, absint)};

  Extrapolation<Ops, T> xt;
  Roundoff<Ops, T> ro;
  xt.table.add(r0.result);
  T small = Ops::abs(b - a) * Ops::of(0.375);
  bool extrap = false;
  T ertest = tolerance<Ops>(relerr, r0.result, absint);

  while (ad.n < limit) {
    int k = extrap ? ad.largest(small, true) : ad.largest(small, false);
    if (k < 0) k = ad.largest(small, false);
    Interval<T> cur = ad.bisect(k, ro, extrap, &absint);
    T m = ad.iv[k].b;
    T area = ad.sum(), errsum = ad.errSum();
    if (ad.stopped) return {area, errsum, ad.n, true, false};
    if (!Ops::isFinite(area) || !Ops::isFinite(errsum)) break;   // f overflowed or hit a pole
    T tol = tolerance<Ops>(relerr, area, absint);
    if (errsum <= tol) return {area, errsum, ad.n, false, true};
    if (m == cur.a || m == cur.b || ro.hopeless()) break;
    if (ad.n == 2) {                              // the first bisection seeds the table
      ertest = tol;
      xt.table.add(area);
      continue;
    }
    if (xt.off) continue;
    bool newSmall = Ops::abs(m - cur.a) <= small;
    if (!extrap) {
      if (!newSmall) continue;
      extrap = true;
    }
    T erlarg = ad.errOver(small);
    if (!ro.large() && erlarg > ertest && ad.largest(small, true) >= 0) continue;
    if (xt.step(area, errsum, erlarg, relerr, absint, criterion, &ertest))
      return {xt.best, xt.err + xt.correc, ad.n, false, true};
    extrap = false;
    small = small * Ops::of(0.5);
  }
  return finalOutcome(ad, xt, relerr, absint);
}

template <class Ops, class T>
BasicIntegResult<T> finish(const Outcome<T> &o, long evals, double relerr, T x1, T x2, T sign) {
  BasicIntegResult<T> r{sign * o.value, o.error, (int)evals, o.intervals, IntegStatus::Ok};
  if (o.stopped) {
    r.status = IntegStatus::Stopped;
  } else if (!o.met) {
    r.status = IntegStatus::PrecisionNotMet;
    Ops::warn(o.error, Ops::of(relerr) * Ops::abs(o.value), x1, x2);
  }
  return r;
}

template <class Ops> double clampRel(double relerr) {
  double floor = 50 * Ops::epsDouble();
  if (!(relerr >= floor)) return floor;   // NaN too
  return relerr;
}

inline int clampLimit(int limit) { return limit < 1 ? 1 : limit > kMaxLimit ? kMaxLimit : limit; }

template <class Ops, class T>
BasicIntegResult<T> kgauss(Fn<T> f, void *ctx, T x1, T x2, double relerr, int limit, int criterion,
                           StopCheck stop) {
  T zero = Ops::of(0), one = Ops::of(1);
  if (Ops::isNaN(x1) || Ops::isNaN(x2))
    return {Ops::nan(), Ops::nan(), 0, 0, IntegStatus::Ok};
  if (x1 == x2) return {zero, zero, 0, 0, IntegStatus::Ok};
  T sign = one, a = x1, b = x2;
  if (a > b) { sign = -one; a = x2; b = x1; }
  Mapped<Ops, T> g{f, ctx, 0, zero, 0};
  T lo = a, hi = b;
  if (Ops::isInf(a) && Ops::isInf(b)) { g.kind = 3; lo = zero; hi = one; }
  else if (Ops::isInf(b)) { g.kind = 1; g.bound = a; lo = zero; hi = one; }
  else if (Ops::isInf(a)) { g.kind = 2; g.bound = b; lo = zero; hi = one; }
  double rel = clampRel<Ops>(relerr);
  Outcome<T> o = integrate(g, lo, hi, rel, clampLimit(limit), criterion ? 1 : 0, stop, ctx);
  return finish<Ops>(o, g.evals, rel, x1, x2, sign);
}

// f(c + s t^2) * 2 for the square-root weight.
template <class T> struct SqrtWeight {
  Fn<T> f;
  void *ctx;
  T c, s;
};

template <class T> T sqrtWeighted(T t, void *p) {
  SqrtWeight<T> *w = static_cast<SqrtWeight<T> *>(p);
  T y = w->f(w->c + w->s * t * t, w->ctx);
  return y + y;
}

template <class Ops, class T>
BasicIntegResult<T> sqkgauss(Fn<T> f, void *ctx, T x1, T x2, T c, double relerr, int limit,
                             int criterion, StopCheck stop) {
  T zero = Ops::of(0), one = Ops::of(1);
  if (Ops::isNaN(x1) || Ops::isNaN(x2) || Ops::isNaN(c) || Ops::isInf(c))
    return {Ops::nan(), Ops::nan(), 0, 0, IntegStatus::Ok};
  if (x1 == x2) return {zero, zero, 0, 0, IntegStatus::Ok};
  T sign = one, a = x1, b = x2;
  if (a > b) { sign = -one; a = x2; b = x1; }
  double rel = clampRel<Ops>(relerr);
  int lim = clampLimit(limit);
  // Pieces [a, b] on one side of c, each mapped to t in [ta, tb].
  struct Piece { T ta, tb, s; } pieces[2];
  int np = 0;
  if (c <= a) pieces[np++] = {Ops::sqrt(a - c), Ops::sqrt(b - c), one};
  else if (c >= b) pieces[np++] = {Ops::sqrt(c - b), Ops::sqrt(c - a), -one};
  else {
    pieces[np++] = {zero, Ops::sqrt(c - a), -one};
    pieces[np++] = {zero, Ops::sqrt(b - c), one};
  }
  BasicIntegResult<T> total{zero, zero, 0, 0, IntegStatus::Ok};
  for (int i = 0; i < np; ++i) {
    SqrtWeight<T> w{f, ctx, c, pieces[i].s};
    Mapped<Ops, T> g{sqrtWeighted<T>, &w, 0, zero, 0};
    // The stop callback receives the user's context.
    Outcome<T> o = integrate(g, pieces[i].ta, pieces[i].tb, rel, lim, criterion ? 1 : 0, stop, ctx);
    total.value += o.value;
    total.error += o.error;
    total.evaluations += (int)g.evals;
    total.intervals += o.intervals;
    if (o.stopped) { total.status = IntegStatus::Stopped; break; }
    if (!o.met) total.status = IntegStatus::PrecisionNotMet;
  }
  total.value = sign * total.value;
  if (total.status == IntegStatus::PrecisionNotMet)
    Ops::warn(total.error, Ops::of(rel) * Ops::abs(total.value), x1, x2);
  return total;
}

} // namespace fathom::quad
