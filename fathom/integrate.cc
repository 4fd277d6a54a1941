// Adaptive Gauss-Kronrod integration with epsilon extrapolation (see
// integrate.h).  The bookkeeping follows the published QAGS algorithm
// (Piessens et al., QUADPACK, 1983): bisect the interval of largest error;
// once the smallest intervals reach the current "small" length, keep
// refining the larger ones until their error is below the extrapolation's
// error, then add the sum to the epsilon table; halve "small" and repeat.
#include "fathom/integrate.h"
#include "fathom/integrate_gk21.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

namespace fathom {
namespace {

using quad::RuleResult;

constexpr int kMaxLimit = 1000;
constexpr int kEpsTable = 52;

struct Interval {
  double a, b, r, e;
  int level;
};

// Wynn's epsilon algorithm on s[0..n-1]: the extrapolated limit and an
// error estimate from the spread of the last three extrapolations.
struct Epsilon {
  double s[kEpsTable];
  double last[3] = {0, 0, 0};
  int n = 0, nres = 0;

  void add(double v) {
    if (n == kEpsTable) {                 // keep the newest half
      for (int i = 0; i < kEpsTable / 2; ++i) s[i] = s[i + kEpsTable / 2];
      n = kEpsTable / 2;
    }
    s[n++] = v;
  }

  // Returns false while there are too few terms.
  bool extrapolate(double *res, double *err) {
    if (n < 3) return false;
    double prev[kEpsTable], cur[kEpsTable];
    for (int i = 0; i < n; ++i) { prev[i] = 0; cur[i] = s[i]; }
    double best = s[n - 1];
    int m = n;
    for (int col = 1; m > 1; ++col) {
      double next[kEpsTable];
      bool ok = true;
      for (int i = 0; i + 1 < m; ++i) {
        double d = cur[i + 1] - cur[i];
        if (d == 0 || !std::isfinite(d)) { ok = false; break; }
        next[i] = prev[i + 1] + 1 / d;
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
    *err = nres < 3 ? INFINITY
                    : std::fabs(best - last[1]) + std::fabs(best - last[0]) +
                          std::fabs(last[1] - last[0]);
    *err = std::fmax(*err, 5 * DBL_EPSILON * std::fabs(best));
    return true;
  }
};

// The integrand after the change of variable for infinite ranges.
struct Mapped {
  Integrand f;
  void *ctx;
  int kind;          // 0 finite, 1 [a, inf), 2 (-inf, b], 3 (-inf, inf)
  double bound;
  long evals = 0;

  double operator()(double t) {
    if (kind == 0) { ++evals; return f(t, ctx); }
    double u = (1 - t) / t, w = 1 / (t * t);
    if (t == 0) return 0;
    ++evals;
    if (kind == 1) return f(bound + u, ctx) * w;
    if (kind == 2) return f(bound - u, ctx) * w;
    ++evals;
    return (f(u, ctx) + f(-u, ctx)) * w;
  }
};

struct Adaptive {
  Mapped &g;
  int criterion;
  StopCheck stop;
  void *ctx;
  Interval iv[kMaxLimit];
  int n = 0;
  bool stopped = false;

  Adaptive(Mapped &gg, int crit, StopCheck st, void *c) : g(gg), criterion(crit), stop(st), ctx(c) {}

  RuleResult rule(double a, double b) {
    RuleResult r = quad::gk21(g, a, b, criterion);
    if (stop && stop(ctx)) stopped = true;
    return r;
  }

  int largest(double small, bool onlyLarge) const {
    int k = -1;
    for (int i = 0; i < n; ++i) {
      if (onlyLarge && std::fabs(iv[i].b - iv[i].a) <= small) continue;
      if (k < 0 || iv[i].e > iv[k].e) k = i;
    }
    return k;
  }

  // Splits interval k in two, the halves at k and n; returns the parent.
  template <class Tests>   // Roundoff, below
  Interval bisect(int k, Tests &ro, bool extrap, double *absint) {
    Interval cur = iv[k];
    double m = 0.5 * (cur.a + cur.b);
    RuleResult r1 = rule(cur.a, m), r2 = rule(m, cur.b);
    ro.note(cur, r1, r2, extrap, n + 1);
    *absint += r1.resabs + r2.resabs - std::fabs(cur.r);
    iv[k] = {cur.a, m, r1.result, r1.abserr, cur.level + 1};
    iv[n++] = {m, cur.b, r2.result, r2.abserr, cur.level + 1};
    return cur;
  }

  // The error on the intervals longer than small.
  double errOver(double small) const {
    double e = 0;
    for (int i = 0; i < n; ++i)
      if (std::fabs(iv[i].b - iv[i].a) > small) e += iv[i].e;
    return e;
  }

  double sum() const { double s = 0; for (int i = 0; i < n; ++i) s += iv[i].r; return s; }
  double errSum() const { double s = 0; for (int i = 0; i < n; ++i) s += iv[i].e; return s; }
};

struct Outcome {
  double value, error;
  int intervals;
  bool stopped, met;
};

double tolerance(double relerr, double value, double absint) {
  if (!std::isfinite(absint)) absint = 0;        // f overflowed somewhere
  return std::fmax(relerr * std::fabs(value), 50 * DBL_EPSILON * absint);
}

// QUADPACK's roundoff tests on one bisection: the halves agree with the
// parent but their error did not drop (types 1 and 2, before and during
// extrapolation), or the error grew (type 3).
struct Roundoff {
  int t1 = 0, t2 = 0, t3 = 0;

  void note(const Interval &parent, const RuleResult &r1, const RuleResult &r2, bool extrap,
            int iteration) {
    if (r1.resasc == r1.abserr || r2.resasc == r2.abserr) return;
    double area12 = r1.result + r2.result, error12 = r1.abserr + r2.abserr;
    if (std::fabs(parent.r - area12) <= 1e-5 * std::fabs(area12) && error12 >= 0.99 * parent.e)
      ++(extrap ? t2 : t1);
    if (iteration > 10 && error12 > parent.e) ++t3;
  }
  bool hopeless() const { return t1 + t2 >= 10 || t3 >= 20; }
  // Extrapolation then also owns the error left on the large intervals.
  bool large() const { return t2 >= 5; }
};

// The extrapolation state between bisections.
struct Extrapolation {
  Epsilon table;
  double best = 0, err = INFINITY, correc = 0;
  int ktmin = 0;
  bool off = false;   // extrapolation stopped helping

  // Adds the sum to the table and extrapolates; true when the new estimate
  // meets the request.  ertest follows the best estimate.
  bool step(double area, double errsum, double erlarg, double relerr, double absint,
            int criterion, double *ertest) {
    table.add(area);
    double res, e;
    if (!table.extrapolate(&res, &e)) return false;
    // A new estimate is no better than its distance to the one it replaces.
    if (err < INFINITY) e = std::fmax(e, std::fabs(res - best));
    ++ktmin;
    bool ok = false;
    if (e < err) {
      ktmin = 0;
      best = res;
      err = e;
      correc = erlarg;
      *ertest = tolerance(relerr, res, absint);
      ok = e <= *ertest;
      if (ok && criterion == 1) ok = std::fabs(res - area) <= 10 * errsum + *ertest;
    }
    if (ktmin > 5 && err < 1e-3 * errsum) off = true;
    return ok;
  }
};

Outcome finalOutcome(const Adaptive &ad, const Extrapolation &x, const Roundoff &ro,
                     double relerr, double absint) {
  double area = ad.sum(), errsum = ad.errSum();
  double xerr = x.err + (ro.large() ? x.correc : 0);
  bool useExtrap = std::isfinite(x.best) && xerr < INFINITY &&
                   xerr * std::fabs(area) <= errsum * std::fabs(x.best);
  if (!std::isfinite(area)) useExtrap = std::isfinite(x.best) && xerr < INFINITY;
  if (useExtrap) return {x.best, xerr, ad.n, false, xerr <= tolerance(relerr, x.best, absint)};
  bool met = std::isfinite(area) && errsum <= tolerance(relerr, area, absint);
  return {area, errsum, ad.n, false, met};
}

Outcome integrate(Mapped &g, double a, double b, double relerr, int limit, int criterion,
                  StopCheck stop, void *ctx) {
  Adaptive ad(g, criterion, stop, ctx);
  RuleResult r0 = ad.rule(a, b);
  ad.iv[0] = {a, b, r0.result, r0.abserr, 0};
  ad.n = 1;
  double absint = r0.resabs;
  if (ad.stopped) return {r0.result, r0.abserr, 1, true, false};
  if (r0.abserr <= tolerance(relerr, r0.result, absint) || limit == 1)
    return {r0.result, r0.abserr, 1, false, r0.abserr <= tolerance(relerr, r0.result, absint)};

  Extrapolation xt;
  Roundoff ro;
  xt.table.add(r0.result);
  double small = std::fabs(b - a) * 0.375;
  bool extrap = false;
  double ertest = tolerance(relerr, r0.result, absint);

  while (ad.n < limit) {
    int k = extrap ? ad.largest(small, true) : ad.largest(small, false);
    if (k < 0) k = ad.largest(small, false);
    Interval cur = ad.bisect(k, ro, extrap, &absint);
    double m = ad.iv[k].b;
    double area = ad.sum(), errsum = ad.errSum();
    if (ad.stopped) return {area, errsum, ad.n, true, false};
    if (!std::isfinite(area) || !std::isfinite(errsum)) break;   // f overflowed or hit a pole
    double tol = tolerance(relerr, area, absint);
    if (errsum <= tol) return {area, errsum, ad.n, false, true};
    if (m == cur.a || m == cur.b || ro.hopeless()) break;
    if (ad.n == 2) {                              // the first bisection seeds the table
      ertest = tol;
      xt.table.add(area);
      continue;
    }
    if (xt.off) continue;
    bool newSmall = std::fabs(m - cur.a) <= small;
    if (!extrap) {
      if (!newSmall) continue;
      extrap = true;
    }
    double erlarg = ad.errOver(small);
    if (!ro.large() && erlarg > ertest && ad.largest(small, true) >= 0) continue;
    if (xt.step(area, errsum, erlarg, relerr, absint, criterion, &ertest))
      return {xt.best, xt.err, ad.n, false, true};
    extrap = false;
    small *= 0.5;
  }
  return finalOutcome(ad, xt, ro, relerr, absint);
}

IntegResult finish(const Outcome &o, long evals, double relerr, double absint, double x1,
                   double x2, double sign) {
  IntegResult r{sign * o.value, o.error, (int)evals, o.intervals, IntegStatus::Ok};
  if (o.stopped) {
    r.status = IntegStatus::Stopped;
  } else if (!o.met) {
    r.status = IntegStatus::PrecisionNotMet;
    std::fprintf(stderr, "Precision not met in kgauss (%.1e/%.1e) in [%.12g,%.12g]\n", o.error,
                 relerr * std::fabs(o.value) + 0 * absint, x1, x2);
  }
  return r;
}

double clampRel(double relerr) {
  if (!(relerr >= 50 * DBL_EPSILON)) return 50 * DBL_EPSILON;   // NaN too
  return relerr;
}

int clampLimit(int limit) { return limit < 1 ? 1 : limit > kMaxLimit ? kMaxLimit : limit; }

} // namespace

IntegResult kgauss(Integrand f, void *ctx, double x1, double x2, double relerr, int limit,
                   int criterion, StopCheck stop) {
  if (std::isnan(x1) || std::isnan(x2)) return {NAN, NAN, 0, 0, IntegStatus::Ok};
  if (x1 == x2) return {0, 0, 0, 0, IntegStatus::Ok};
  double sign = 1, a = x1, b = x2;
  if (a > b) { sign = -1; a = x2; b = x1; }
  Mapped g{f, ctx, 0, 0, 0};
  double lo = a, hi = b;
  if (std::isinf(a) && std::isinf(b)) { g.kind = 3; lo = 0; hi = 1; }
  else if (std::isinf(b)) { g.kind = 1; g.bound = a; lo = 0; hi = 1; }
  else if (std::isinf(a)) { g.kind = 2; g.bound = b; lo = 0; hi = 1; }
  double rel = clampRel(relerr);
  Outcome o = integrate(g, lo, hi, rel, clampLimit(limit), criterion ? 1 : 0, stop, ctx);
  return finish(o, g.evals, rel, 0, x1, x2, sign);
}

namespace {

// f(c + s t^2) * 2 for the square-root weight.
struct SqrtWeight {
  Integrand f;
  void *ctx;
  double c, s;
};

double sqrtWeighted(double t, void *p) {
  SqrtWeight *w = static_cast<SqrtWeight *>(p);
  return 2 * w->f(w->c + w->s * t * t, w->ctx);
}

} // namespace

IntegResult sqkgauss(Integrand f, void *ctx, double x1, double x2, double c, double relerr,
                     int limit, int criterion, StopCheck stop) {
  if (std::isnan(x1) || std::isnan(x2) || std::isnan(c) || std::isinf(c))
    return {NAN, NAN, 0, 0, IntegStatus::Ok};
  if (x1 == x2) return {0, 0, 0, 0, IntegStatus::Ok};
  double sign = 1, a = x1, b = x2;
  if (a > b) { sign = -1; a = x2; b = x1; }
  double rel = clampRel(relerr);
  int lim = clampLimit(limit);
  // Pieces [a, b] on one side of c, each mapped to t in [ta, tb].
  struct Piece { double ta, tb, s; } pieces[2];
  int np = 0;
  if (c <= a) pieces[np++] = {std::sqrt(a - c), std::sqrt(b - c), 1};
  else if (c >= b) pieces[np++] = {std::sqrt(c - b), std::sqrt(c - a), -1};
  else {
    pieces[np++] = {0, std::sqrt(c - a), -1};
    pieces[np++] = {0, std::sqrt(b - c), 1};
  }
  IntegResult total{0, 0, 0, 0, IntegStatus::Ok};
  for (int i = 0; i < np; ++i) {
    SqrtWeight w{f, ctx, c, pieces[i].s};
    Mapped g{sqrtWeighted, &w, 0, 0, 0};
    // The stop callback receives the user's context.
    Outcome o = integrate(g, pieces[i].ta, pieces[i].tb, rel, lim, criterion ? 1 : 0, stop, ctx);
    total.value += o.value;
    total.error += o.error;
    total.evaluations += (int)g.evals;
    total.intervals += o.intervals;
    if (o.stopped) { total.status = IntegStatus::Stopped; break; }
    if (!o.met) total.status = IntegStatus::PrecisionNotMet;
  }
  total.value *= sign;
  if (total.status == IntegStatus::PrecisionNotMet)
    std::fprintf(stderr, "Precision not met in kgauss (%.1e/%.1e) in [%.12g,%.12g]\n", total.error,
                 rel * std::fabs(total.value), x1, x2);
  return total;
}

} // namespace fathom
