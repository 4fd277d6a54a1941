#!/usr/bin/python3
"""Generates the polynomial tables of Fathom's double-precision special
functions: fathom/sf_fit_<family>.h.

Usage: /usr/bin/python3 scripts/gen_special_coeffs.py [family ...]
Needs Debian's python3-mpmath (python3-gmpy2 makes it faster).

Method.  Each table approximates a function g(v) of a variable v that the
kernel computes (x, x^2, 1/x, ...) on [lo, hi], in pieces.  On a piece the
fit is the Chebyshev interpolant at n+1 Chebyshev nodes, computed with 50
digits, rewritten as a polynomial in d = v - c where c is the piece's centre
(the midpoint, or a zero of the function for zero-centred pieces, in which
case g(v) is f(v)/(v - c) and the kernel multiplies by d).  The coefficients
are rounded to doubles and the rounded polynomial is checked against g at
400 points of the piece; the smallest degree whose relative error is below
TARGET is kept, and a piece needing more than MAXDEG is halved.  The header
records, per table, the domain and the largest relative error measured.
"""
import sys
import mpmath as mp
from mpmath import mpf

mp.mp.dps = 50
TARGET = mpf(2) ** -58
MAXDEG = 17
ROUNDED_MAX = mpf(2) ** -55


def cheb_coeffs(g, a, b, n):
    """Chebyshev coefficients of the degree-n interpolant of g on [a, b]."""
    mid, half = (a + b) / 2, (b - a) / 2
    nodes = [mp.cos(mp.pi * (k + mpf(1) / 2) / (n + 1)) for k in range(n + 1)]
    vals = [g(mid + half * t) for t in nodes]
    cheb = []
    for j in range(n + 1):
        s = mp.fsum(vals[k] * mp.cos(mp.pi * j * (k + mpf(1) / 2) / (n + 1))
                    for k in range(n + 1))
        cheb.append(s * 2 / (n + 1))
    cheb[0] /= 2
    return cheb, min(abs(v) for v in vals)


def cheb_poly(cheb, a, b, n, c):
    """Coefficients (mpf) in powers of (v - c) of the Chebyshev series
    truncated after degree n."""
    mid, half = (a + b) / 2, (b - a) / 2
    # Power basis in t from the Chebyshev basis: T_{j+1} = 2t T_j - T_{j-1}.
    tprev, tcur = [mpf(1)], [mpf(0), mpf(1)]
    powt = [mpf(0)] * (n + 1)
    powt[0] += cheb[0]
    for j in range(1, n + 1):
        for i, cf in enumerate(tcur):
            powt[i] += cheb[j] * cf
        nxt = [mpf(0)] + [2 * cf for cf in tcur]
        for i, cf in enumerate(tprev):
            nxt[i] -= cf
        tprev, tcur = tcur, nxt
    # t = (d + s) / half with d = v - c, s = c - mid.
    s = c - mid
    out = [mpf(0)] * (n + 1)
    for i in range(n + 1):
        scale = powt[i] / half ** i
        for k in range(i + 1):
            out[k] += scale * mp.binomial(i, k) * s ** (i - k)
    return out


SCALE = [None]   # optional |scale(v)| that errors are measured against


def max_rel_err(g, a, b, c, coef, zero_centred, npts=400):
    worst = mpf(0)
    for k in range(npts):
        v = a + (b - a) * (k + mpf(1) / 2) / npts
        d = v - c
        p = mpf(0)
        for cf in reversed(coef):
            p = p * d + mpf(cf)
        ref = g(v)
        if zero_centred:
            p, ref = p * d, ref * d
        den = abs(ref) if SCALE[0] is None else abs(SCALE[0](v))
        if den != 0:
            worst = max(worst, abs(p - ref) / den)
    return worst


def rounded(coef):
    """Coefficients as stored: k0 as a double-double, the others doubles."""
    k0hi, k0lo = split_dd(coef[0])
    return [mpf(k0hi) + mpf(k0lo)] + [mpf(float(x)) for x in coef[1:]]


def fit_piece(f, a, b, zero=None):
    c = zero if zero is not None else (a + b) / 2
    g = f if zero is None else (lambda v: f(v) / (v - zero))
    cheb, gmin = cheb_coeffs(g, a, b, MAXDEG + 4)
    for n in range(2, MAXDEG + 1):
        tail = mp.fsum(abs(x) for x in cheb[n + 1:])
        if tail > TARGET * gmin / 4:
            continue
        coef = cheb_poly(cheb, a, b, n, c)
        if max_rel_err(g, a, b, c, coef, zero is not None, npts=100) < TARGET:
            err = max_rel_err(g, a, b, c, rounded(coef), zero is not None, npts=300)
            if err > ROUNDED_MAX and b - a > (abs(a) + abs(b)) * 1e-6:
                return None     # coefficients too large for the value: narrower pieces
            return (a, b, c, coef, err, int(zero is not None))
    return None


def fit_range(g, a, b, zero=None, depth=0):
    """Pieces covering [a, b]; with a zero, the piece holding it stays
    zero-centred."""
    a, b = mpf(a), mpf(b)
    p = fit_piece(g, a, b, zero if zero is not None and a <= zero <= b else None)
    if p is not None:
        return [p]
    if depth > 12:
        raise RuntimeError("cannot fit on [%s, %s]" % (a, b))
    m = (a + b) / 2
    if zero is not None and a < zero < b:
        # keep the zero well inside one half
        m = (a + b) / 2 if abs(zero - (a + b) / 2) > (b - a) / 8 else (a + zero) / 2
    return fit_range(g, a, m, zero, depth + 1) + fit_range(g, m, b, zero, depth + 1)


def hexd(x):
    return float(x).hex()



def split_dd(x):
    hi = float(x)
    lo = float(x - mpf(hi))
    return hi, lo


def emit_table(out, name, desc, pieces, var):
    pieces = sorted(pieces, key=lambda p: p[0])
    err = max(p[4] for p in pieces)
    deg = max(len(p[3]) - 1 for p in pieces)
    out.append("// %s: %s" % (name, desc))
    out.append("// Variable %s on [%.17g, %.17g], %d pieces, degree <= %d; fit error < 2^-58,"
               % (var, float(pieces[0][0]), float(pieces[-1][1]), len(pieces), deg))
    out.append("// max relative error with the stored (rounded) coefficients %.2e." % float(err))
    out.append("inline constexpr FitPiece %s[] = {" % name)
    for a, b, c, coef, e, zc in pieces:
        chi, clo = split_dd(c)
        k0hi, k0lo = split_dd(coef[0])
        ks = ", ".join(hexd(x) for x in [k0hi] + coef[1:])
        out.append("    {%s, %s, %s, %s, %s, %d, %d, {%s}},  // %.1e" % (
            hexd(a), hexd(b), hexd(chi), hexd(clo), hexd(k0lo), len(coef) - 1, zc, ks, float(e)))
    out.append("};")
    out.append("")


def write_header(family, tables):
    path = "fathom/sf_fit_%s.h" % family
    out = ["// Generated by scripts/gen_special_coeffs.py %s; do not edit." % family,
           "// Piecewise polynomial fits, see FitPiece in sf_fit.h.",
           "#pragma once", "", '#include "fathom/sf_fit.h"', "",
           "namespace fathom::sf {", ""]
    for t in tables:
        emit_table(out, *t)
    out.append("} // namespace fathom::sf")
    with open(path, "w") as fh:
        fh.write("\n".join(out) + "\n")
    print("wrote", path)


def geometric(a, b, ratio):
    pts = [mpf(a)]
    while pts[-1] * ratio < b:
        pts.append(pts[-1] * ratio)
    pts.append(mpf(b))
    return pts


def fit_breaks(g, breaks, zeros=(), scale=None):
    SCALE[0] = scale
    pieces = []
    for a, b in zip(breaks[:-1], breaks[1:]):
        z = None
        for zz in zeros:
            if mpf(a) < zz < mpf(b):
                z = zz
        pieces += fit_range(g, a, b, z)
    SCALE[0] = None
    return pieces


# ---------------------------------------------------------------------------
# Families.  Each g is written as a function of the kernel's variable v.

FAMILIES = {}


def family(fn):
    FAMILIES[fn.__name__[4:]] = fn
    return fn


def sq(v):
    return mp.sqrt(v)


@family
def fit_erf():
    erfcx = lambda x: mp.exp(x * x) * mp.erfc(x)
    t = []
    t.append(("kErfSmall", "erf(x) = x * P(x^2), |x| < 0.75",
              fit_breaks(lambda u: mp.erf(sq(u)) / sq(u), [0, 0.5625]), "x^2"))
    # Uniform pieces of width 1/8 on [0.5, 6.5): the kernel indexes them
    # directly, and their degree stays low.
    uni = fit_breaks(erfcx, [0.5 + mpf(k) / 8 for k in range(49)])
    assert len(uni) == 48, "a uniform piece was split"
    t.append(("kErfcxUniform", "erfc(x) = exp(-x^2) * P(x), 0.5 <= x < 6.5, piece (x - 0.5) * 8",
              uni, "x"))
    far = fit_breaks(erfcx, [6.5 + k for k in range(22)] + [28])
    assert len(far) == 22, "a unit piece was split"
    t.append(("kErfcx", "erfc(x) = exp(-x^2) * P(x), 6.5 <= x < 28, piece x - 6.5",
              far, "x"))
    t.append(("kErfcxAsym", "erfc(x) = exp(-x^2) / x * P(1/x^2), x >= 28",
              fit_breaks(lambda u: erfcx(1 / sq(u)) / sq(u), [0, mpf(1) / 784]), "1/x^2"))
    daw = lambda x: mp.sqrt(mp.pi) / 2 * mp.exp(-x * x) * mp.erfi(x)
    t.append(("kDawsonSmall", "Dawson F(x) = x * P(x^2), |x| < 1",
              fit_breaks(lambda u: daw(sq(u)) / sq(u), [0, 1]), "x^2"))
    t.append(("kDawsonMid", "Dawson F(x) = P(x), 1 <= x < 16",
              fit_breaks(daw, geometric(1, 16, 1.5)), "x"))
    t.append(("kDawsonAsym", "Dawson F(x) = P(1/x^2) / (2x), x >= 16",
              fit_breaks(lambda u: 2 * daw(1 / sq(u)) / sq(u), [0, mpf(1) / 256]), "1/x^2"))
    write_header("erf", t)


def stirling_rest(x):
    return mp.loggamma(x) - ((x - mpf(1) / 2) * mp.log(x) - x + mp.log(2 * mp.pi) / 2)


def bisect(f, a, b):
    fa = f(a)
    for _ in range(200):
        m = (a + b) / 2
        fm = f(m)
        if (fm < 0) == (fa < 0):
            a, fa = m, fm
        else:
            b = m
    return (a + b) / 2


def lgamma_zeros():
    """Zeros of log|Gamma(x)| for -17 < x < -2, with the distance to the
    nearer pole."""
    out = []
    for n in range(2, 17):
        f = lambda x: mp.log(abs(mp.gamma(x)))
        # near the pole -n (right side) and -n-1 (left side): Gamma ~ 1/(n! d)
        for pole, sgn in ((-n, -1), (-n - 1, 1)):
            k = n if sgn == -1 else n + 1
            d0 = 1 / mp.factorial(k)
            z = bisect(f, mpf(pole) + sgn * d0 / 16, mpf(pole) + sgn * mpf(1) / 2)
            if -n - 1 < z < -n:
                out.append((z, abs(z - pole)))
    out.sort()
    return out


def digamma_zeros(count):
    out = []
    for n in range(0, count):
        z = mp.findroot(mp.digamma, -n - mpf(1) / 2 + (mpf(1) / mp.log(n + 2) - mpf(1) / 2) * 0)
        z = mp.findroot(mp.digamma, (-n - 1 + mp.atan(mp.pi / mp.log(n + 2)) / mp.pi) if n else mpf(-0.504))
        out.append(z)
    return out


@family
def fit_gamma():
    t = []
    t.append(("kGamma1p", "Gamma(1 + t) = P(t), |t| <= 0.5",
              fit_breaks(lambda v: mp.gamma(1 + v), [-0.5, -0.25, 0, 0.25, 0.5]), "t"))
    t.append(("kLgammaNear", "log Gamma(x) = (x - 1) (x - 2) P(x), 0.5 <= x < 3",
              fit_breaks(lambda v: mp.loggamma(v) / ((v - 1) * (v - 2)),
                         [0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 2.5, 3]), "x"))
    t.append(("kStirling", "log Gamma(x) - Stirling's leading terms = P(1/x^2) / x, x >= 8",
              fit_breaks(lambda u: stirling_rest(1 / sq(u)) / sq(u), [0, mpf(1) / 64]), "1/x^2"))
    pieces = []
    for z, dist in lgamma_zeros():
        w = dist / 3
        f = lambda v: mp.log(abs(mp.gamma(v)))
        pieces += fit_range(f, z - w, z + w, z)
    t.append(("kLgammaNegZeros", "log|Gamma(x)| = (x - z) P(x) near its zeros z in (-17, -2)",
              pieces, "x"))
    write_header("gamma", t)


@family
def fit_digamma():
    t = []
    x0 = mp.findroot(mp.digamma, 1.46)
    t.append(("kDigamma1p", "digamma(1 + t) = P(t), 0 <= t <= 1 (zero-centred at x0 - 1)",
              fit_breaks(lambda v: mp.digamma(1 + v), [0, 0.25, 0.75, 1], [x0 - 1]), "t"))
    t.append(("kDigammaMid", "digamma(x) = P(x), 2 <= x < 10",
              fit_breaks(mp.digamma, [2, 3, 4, 6, 8, 10]), "x"))
    t.append(("kDigammaAsym", "digamma(x) = log x - 1/(2x) - u P(u), u = 1/x^2, x >= 10",
              fit_breaks(lambda u: (mp.log(1 / sq(u)) - sq(u) / 2 - mp.digamma(1 / sq(u))) / u,
                         [0, mpf(1) / 100]), "1/x^2"))
    pieces = []
    for z in digamma_zeros(40):
        pieces += fit_range(mp.digamma, z - mpf(1) / 8, z + mpf(1) / 8, z)
    t.append(("kDigammaNegZeros", "digamma(x) = (x - z) P(x) near its zeros z in (-40, 0)",
              pieces, "x"))
    t.append(("kTrigamma1p", "trigamma(1 + t) = P(t), 0 <= t <= 1",
              fit_breaks(lambda v: mp.psi(1, 1 + v), [0, 0.5, 1]), "t"))
    t.append(("kTrigammaMid", "trigamma(x) = P(x), 2 <= x < 10",
              fit_breaks(lambda v: mp.psi(1, v), [2, 3, 4, 6, 8, 10]), "x"))
    t.append(("kTrigammaAsym", "trigamma(x) = 1/x + 1/(2x^2) + P(u)/x^3, u = 1/x^2, x >= 10",
              fit_breaks(lambda u: (mp.psi(1, 1 / sq(u)) - sq(u) - u / 2) / (u * sq(u)),
                         [0, mpf(1) / 100]), "1/x^2"))
    write_header("digamma", t)


@family
def fit_expint():
    t = []
    e1 = mp.e1
    t.append(("kE1Small", "E1(x) = P(x) - log x, 0 < x <= 1",
              fit_breaks(lambda v: e1(v) + mp.log(v), [0, 0.5, 1], scale=e1), "x"))
    t.append(("kE1Mid", "E1(x) = exp(-x) / x * P(x), 1 <= x < 50",
              fit_breaks(lambda v: v * mp.exp(v) * e1(v), geometric(1, 50, 1.6)), "x"))
    t.append(("kE1Asym", "E1(x) = exp(-x) / x * P(1/x), x >= 50",
              fit_breaks(lambda w: mp.exp(1 / w) * e1(1 / w) / w, [0, mpf(1) / 50]), "1/x"))
    x0 = mp.findroot(mp.ei, 0.37)
    t.append(("kEiSmall", "Ei(x) = log x + P(x), 0 < x <= 0.25",
              fit_breaks(lambda v: mp.ei(v) - mp.log(v), [0, 0.25], scale=mp.ei), "x"))
    t.append(("kEiZero", "Ei(x) = (x - x0) P(x), 0.25 <= x < 0.75, x0 the zero of Ei",
              fit_breaks(mp.ei, [0.25, 0.75], [x0]), "x"))
    t.append(("kEiMid", "Ei(x) = exp(x) / x * P(x), 0.75 <= x < 50",
              fit_breaks(lambda v: v * mp.exp(-v) * mp.ei(v), [0.75] + geometric(1, 50, 1.6)), "x"))
    t.append(("kEiAsym", "Ei(x) = exp(x) / x * P(1/x), x >= 50",
              fit_breaks(lambda w: mp.exp(-1 / w) * mp.ei(1 / w) / w, [0, mpf(1) / 50]), "1/x"))
    mu = mp.findroot(mp.li, 1.45)
    t.append(("kLiZero", "li(x) = (x - mu) P(x), 1.25 <= x < 1.75, mu the zero of li",
              fit_breaks(mp.li, [1.25, 1.75], [mu]), "x"))
    t.append(("kShiSmall", "Shi(x) = x P(x^2), |x| <= 2",
              fit_breaks(lambda u: mp.shi(sq(u)) / sq(u), [0, 1, 4]), "x^2"))
    c0 = mp.findroot(mp.chi, 0.52)
    t.append(("kChiSmall", "Chi(x) = log x + P(x^2), 0 < x <= 0.3",
              fit_breaks(lambda u: mp.chi(sq(u)) - mp.log(sq(u)), [0, 0.09], scale=lambda u: mp.chi(sq(u))), "x^2"))
    t.append(("kChiZero", "Chi(x) = (x - x0) P(x), 0.3 <= x < 0.9, x0 the zero of Chi",
              fit_breaks(mp.chi, [0.3, 0.9], [c0]), "x"))
    write_header("expint", t)


def si_aux(x):
    """Auxiliary functions f, g of the sine and cosine integrals."""
    s, c = mp.sin(x), mp.cos(x)
    a = mp.pi / 2 - mp.si(x)
    b = mp.ci(x)
    # Ci = f sin - g cos, Si = pi/2 - f cos - g sin
    f = a * c + b * s
    g = a * s - b * c
    return f, g


CI_FIT_END = 64


@family
def fit_trigint():
    t = []
    t.append(("kSiSmall", "Si(x) = x P(x^2), |x| <= 4",
              fit_breaks(lambda u: mp.si(sq(u)) / sq(u), [0, 2, 4, 8, 12, 16]), "x^2"))
    t.append(("kCiSmall", "Ci(x) = log x + P(x^2), 0 < x <= 0.4",
              fit_breaks(lambda u: mp.ci(sq(u)) - mp.log(sq(u)), [0, 0.16], scale=lambda u: mp.ci(sq(u))), "x^2"))
    # Up to 64 Ci is fitted directly, zero-centred at each of its zeros, so
    # that the closest doubles to the zeros keep relative accuracy.
    zs = bessel_zeros(mp.ci, mpf(0.4), mpf(CI_FIT_END))
    t.append(("kCiMid", "Ci(x) = P(x) (zero-centred near the zeros), 0.4 <= x < %d" % CI_FIT_END,
              fit_breaks(mp.ci, [0.4, 0.5, 0.75, 1, 1.5, 2, 3] + list(range(4, CI_FIT_END + 1)), zs), "x"))

    def modulus(w):
        f, g = si_aux(1 / w)
        return mp.sqrt(f * f + g * g) / w

    def phase(w):
        f, g = si_aux(1 / w)
        return mp.atan2(g, f) / w
    t.append(("kTrigModulus", "x sqrt(f^2 + g^2) = P(1/x), x >= 4",
              fit_breaks(modulus, [0, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16, mpf(1) / 8, mpf(1) / 4]), "1/x"))
    t.append(("kTrigPhase", "x atan(g / f) = P(1/x), x >= 4",
              fit_breaks(phase, [0, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16, mpf(1) / 8, mpf(1) / 4]), "1/x"))
    write_header("trigint", t)


@family
def fit_fresnel():
    C = lambda x: mp.fresnelc(x)
    S = lambda x: mp.fresnels(x)
    t = []
    t.append(("kFresnelCSmall", "C(x) = x P(x^4), |x| <= 1",
              fit_breaks(lambda v: C(mp.root(v, 4)) / mp.root(v, 4), [0, 1]), "x^4"))
    t.append(("kFresnelSSmall", "S(x) = x^3 P(x^4), |x| <= 1",
              fit_breaks(lambda v: S(mp.root(v, 4)) / mp.root(v, 4) ** 3, [0, 1]), "x^4"))
    br = [1, 1.25, 1.5, 1.75, 2, 2.25, 2.5, 2.75, 3, 3.25, 3.5, 3.75, 4]
    t.append(("kFresnelCMid", "C(x) = P(x), 1 <= x < 4", fit_breaks(C, br), "x"))
    t.append(("kFresnelSMid", "S(x) = P(x), 1 <= x < 4", fit_breaks(S, br), "x"))

    def aux(u):
        x = 1 / sq(u)
        ph = mp.pi * x * x / 2
        c, s = mp.cos(ph), mp.sin(ph)
        a, b = C(x) - mpf(1) / 2, S(x) - mpf(1) / 2
        # C = 1/2 + f sin - g cos, S = 1/2 - f cos - g sin
        f = a * s - b * c
        g = -a * c - b * s
        return f, g, x
    brk = [0, mpf(1) / 1024, mpf(1) / 256, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16]
    t.append(("kFresnelF", "pi x f(x) = P(1/x^2), x >= 4",
              fit_breaks(lambda u: (lambda r: mp.pi * r[2] * r[0])(aux(u)), brk), "1/x^2"))
    t.append(("kFresnelG", "pi^2 x^3 g(x) = P(1/x^2), x >= 4",
              fit_breaks(lambda u: (lambda r: mp.pi ** 2 * r[2] ** 3 * r[1])(aux(u)), brk), "1/x^2"))
    write_header("fresnel", t)


@family
def fit_zeta():
    t = []
    t.append(("kZetaNear1", "zeta(s) = 1/(s - 1) + P(s), 0.5 <= s < 3",
              fit_breaks(lambda s: mp.zeta(s) - 1 / (s - 1), [0.5, 1.5, 3], scale=mp.zeta), "s"))
    t.append(("kZetaSmall", "zeta(s) = P(s) (zero-centred at -2, -4), -5 <= s < 0.5",
              fit_breaks(mp.zeta, [-5, -4.5, -3.5, -3, -2.5, -1.5, -1, 0, 0.5], [mpf(-2), mpf(-4)]), "s"))
    t.append(("kZetaMid", "zeta(s) = 1 + 2^-s P(s), 3 <= s < 56",
              fit_breaks(lambda s: (mp.zeta(s) - 1) * mp.power(2, s), [3, 4, 5, 6, 8, 10, 14, 20, 28, 40, 56]), "s"))
    write_header("zeta", t)


@family
def fit_polylog():
    t = []
    li2 = lambda x: mp.polylog(2, x)
    # Li2(x) = u P(u) with u = -log(1 - x)
    t.append(("kLi2Log", "Li2(x) = u P(u), u = -log(1 - x), -1 <= x <= 0.5",
              fit_breaks(lambda u: li2(1 - mp.exp(-u)) / u, [-mp.log(2), 0, mp.log(2)]), "u"))
    t.append(("kLi2Mid", "Li2(x) = P(x), 0.5 <= x < 0.9",
              fit_breaks(li2, [0.5, 0.6, 0.7, 0.8, 0.9]), "x"))
    re_li2 = lambda x: mp.re(mp.polylog(2, x))
    z = mp.findroot(re_li2, 12.6)
    t.append(("kLi2ReZero", "Re Li2(x) = (x - z) P(x), 8 <= x < 24, z its zero",
              fit_breaks(re_li2, [8, 10, 12, 14, 16, 20, 24], [z]), "x"))
    write_header("polylog", t)


def bessel_mp(nu, kind):
    return {"J": lambda x: mp.besselj(nu, x), "Y": lambda x: mp.bessely(nu, x),
            "I": lambda x: mp.besseli(nu, x), "K": lambda x: mp.besselk(nu, x)}[kind]


@family
def fit_bessel_ik():
    t = []
    I0, I1, K0, K1 = (bessel_mp(0, "I"), bessel_mp(1, "I"), bessel_mp(0, "K"), bessel_mp(1, "K"))
    t.append(("kI0Small", "I0(x) = P(x^2), |x| <= 8",
              fit_breaks(lambda u: I0(sq(u)), [0, 4, 16, 36, 64]), "x^2"))
    t.append(("kI0Large", "I0(x) = exp(x) / sqrt(x) P(1/x), x >= 8",
              fit_breaks(lambda w: I0(1 / w) * mp.exp(-1 / w) / sq(w), [0, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16, mpf(1) / 8]), "1/x"))
    t.append(("kI1Small", "I1(x) = x P(x^2), |x| <= 8",
              fit_breaks(lambda u: I1(sq(u)) / sq(u), [0, 4, 16, 36, 64]), "x^2"))
    t.append(("kI1Large", "I1(x) = exp(x) / sqrt(x) P(1/x), x >= 8",
              fit_breaks(lambda w: I1(1 / w) * mp.exp(-1 / w) / sq(w), [0, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16, mpf(1) / 8]), "1/x"))
    t.append(("kK0Small", "K0(x) = P(x^2) - log(x) I0(x), 0 < x <= 1",
              fit_breaks(lambda u: K0(sq(u)) + mp.log(sq(u)) * I0(sq(u)), [0, 1], scale=lambda u: K0(sq(u))), "x^2"))
    t.append(("kK0Large", "K0(x) = exp(-x) / sqrt(x) P(1/x), x >= 1",
              fit_breaks(lambda w: K0(1 / w) * mp.exp(1 / w) / sq(w), [0, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16, mpf(1) / 8, mpf(1) / 4, mpf(1) / 2, 1]), "1/x"))
    t.append(("kK1Small", "K1(x) = 1/x + log(x) I1(x) + x P(x^2), 0 < x <= 1",
              fit_breaks(lambda u: (K1(sq(u)) - 1 / sq(u) - mp.log(sq(u)) * I1(sq(u))) / sq(u), [0, 1],
                         scale=lambda u: K1(sq(u)) / sq(u)), "x^2"))
    t.append(("kK1Large", "K1(x) = exp(-x) / sqrt(x) P(1/x), x >= 1",
              fit_breaks(lambda w: K1(1 / w) * mp.exp(1 / w) / sq(w), [0, mpf(1) / 64, mpf(1) / 32, mpf(1) / 16, mpf(1) / 8, mpf(1) / 4, mpf(1) / 2, 1]), "1/x"))
    write_header("bessel_ik", t)


def bessel_zeros(f, a, b):
    out = []
    n = 400
    xs = [a + (b - a) * mpf(k) / n for k in range(n + 1)]
    for x0, x1 in zip(xs[:-1], xs[1:]):
        if f(x0) * f(x1) < 0:
            out.append(mp.findroot(f, (x0, x1), solver="anderson"))
    return out


BESSEL_FIT_END = 64


@family
def fit_bessel_jy():
    t = []
    J0, J1, Y0, Y1 = (bessel_mp(0, "J"), bessel_mp(1, "J"), bessel_mp(0, "Y"), bessel_mp(1, "Y"))
    # Up to X1 the functions are fitted directly, zero-centred at every zero,
    # so that the doubles nearest the zeros keep relative accuracy; beyond,
    # modulus and phase.
    X1 = BESSEL_FIT_END
    units = list(range(8, X1 + 1))
    t.append(("kJ0Small", "J0(x) = P(x^2), |x| <= 1.25",
              fit_breaks(lambda u: J0(sq(u)), [0, mpf(1.5625)]), "x^2"))
    t.append(("kJ0Mid", "J0(x) = P(x) (zero-centred near the zeros), 1.25 <= x < %d" % X1,
              fit_breaks(J0, [1.25, 2, 3, 4, 5, 6, 7] + units, bessel_zeros(J0, 1.25, X1)), "x"))
    t.append(("kJ1Small", "J1(x) = x P(x^2), |x| <= 2",
              fit_breaks(lambda u: J1(sq(u)) / sq(u), [0, 1, 4]), "x^2"))
    t.append(("kJ1Mid", "J1(x) = P(x) (zero-centred near the zeros), 2 <= x < %d" % X1,
              fit_breaks(J1, [2, 3, 4, 5, 6, 7] + units, bessel_zeros(J1, 2, X1)), "x"))
    t.append(("kY0Small", "Y0(x) = 2/pi log(x) J0(x) + P(x^2), 0 < x <= 0.5",
              fit_breaks(lambda u: Y0(sq(u)) - 2 / mp.pi * mp.log(sq(u)) * J0(sq(u)), [0, 0.25],
                         scale=lambda u: Y0(sq(u))), "x^2"))
    t.append(("kY0Mid", "Y0(x) = P(x) (zero-centred near the zeros), 0.5 <= x < %d" % X1,
              fit_breaks(Y0, [0.5, 0.625, 0.75, 1, 1.25, 1.5, 2, 3, 4, 5, 6, 7] + units,
                         bessel_zeros(Y0, 0.5, X1)), "x"))
    t.append(("kY1Small", "Y1(x) = 2/pi log(x) J1(x) - 2/(pi x) + x P(x^2), 0 < x <= 0.5",
              fit_breaks(lambda u: (Y1(sq(u)) - 2 / mp.pi * mp.log(sq(u)) * J1(sq(u)) + 2 / (mp.pi * sq(u))) / sq(u),
                         [0, 0.25], scale=lambda u: Y1(sq(u)) / sq(u)), "x^2"))
    t.append(("kY1Mid", "Y1(x) = P(x) (zero-centred near the zeros), 0.5 <= x < %d" % X1,
              fit_breaks(Y1, [0.5, 0.625, 0.75, 1, 1.25, 1.5, 2, 3, 4, 5, 6, 7] + units,
                         bessel_zeros(Y1, 0.5, X1)), "x"))
    brk = [0, mpf(1) / 512, mpf(1) / 256, mpf(1) / 128, mpf(1) / X1]
    for n, J, Y in ((0, J0, Y0), (1, J1, Y1)):
        def mod(w, J=J, Y=Y):
            x = 1 / w
            return mp.sqrt(J(x) ** 2 + Y(x) ** 2) * mp.sqrt(x)

        def ph(w, J=J, Y=Y, n=n):
            x = 1 / w
            a = mp.atan2(Y(x), J(x)) - x + (2 * n + 1) * mp.pi / 4
            a = a - 2 * mp.pi * mp.nint(a / (2 * mp.pi))
            return a * x
        t.append(("kBesselMod%d" % n, "sqrt(x (J%d^2 + Y%d^2)) = P(1/x), x >= %d" % (n, n, X1),
                  fit_breaks(mod, brk), "1/x"))
        t.append(("kBesselPhase%d" % n, "x (theta%d(x) - x + %d pi/4) = P(1/x), x >= %d" % (n, 2 * n + 1, X1),
                  fit_breaks(ph, brk), "1/x"))
    write_header("bessel_jy", t)


@family
def fit_elliptic():
    t = []
    K = lambda m: mp.ellipk(m)
    E = lambda m: mp.ellipe(m)
    brk = [0, 0.0625, 0.125, 0.25]
    t.append(("kEllKLogA", "K(kc) = A(kc^2) - log(kc^2) B(kc^2), kc^2 <= 0.25: A",
              fit_breaks(lambda v: K(1 - v) + mp.log(v) * K(v) / mp.pi, brk), "kc^2"))
    t.append(("kEllKLogB", "B = K(m = kc^2) / pi", fit_breaks(lambda v: K(v) / mp.pi, brk), "kc^2"))
    t.append(("kEllELogC", "E(kc) = C(kc^2) - log(kc^2) D(kc^2), kc^2 <= 0.25: C",
              fit_breaks(lambda v: E(1 - v) + mp.log(v) * (K(v) - E(v)) / mp.pi, brk), "kc^2"))
    # D vanishes at kc = 0: stored as D / kc^2 so that D(0) = 0 exactly.
    t.append(("kEllELogD", "D = (K(kc^2) - E(kc^2)) / pi = kc^2 P(kc^2)",
              fit_breaks(lambda v: (K(v) - E(v)) / (mp.pi * v) if v else mpf(1) / 4, brk), "kc^2"))
    br2 = [0.5, 0.625, 0.75, 0.875, 1]
    t.append(("kEllKMid", "K(kc) = P(kc), 0.5 <= kc <= 1", fit_breaks(lambda k: K(1 - k * k), br2), "kc"))
    t.append(("kEllEMid", "E(kc) = P(kc), 0.5 <= kc <= 1", fit_breaks(lambda k: E(1 - k * k), br2), "kc"))
    write_header("elliptic", t)


@family
def fit_factorial():
    path = "fathom/sf_fit_factorial.h"
    out = ["// Generated by scripts/gen_special_coeffs.py factorial; do not edit.",
           "// n! for n = 0..170, correctly rounded to double (exact integers).",
           "#pragma once", "", "namespace fathom::sf {", "",
           "inline constexpr double kFactorial[171] = {"]
    f = 1
    for n in range(171):
        if n:
            f *= n
        out.append("    %s," % float(f).hex())
    out += ["};", "", "} // namespace fathom::sf"]
    with open(path, "w") as fh:
        fh.write("\n".join(out) + "\n")
    print("wrote", path)


if __name__ == "__main__":
    names = sys.argv[1:] or list(FAMILIES)
    for n in names:
        FAMILIES[n]()
