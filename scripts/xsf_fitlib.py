"""Shared helpers of scripts/gen_xsf_bessel.py and scripts/gen_xsf_expint.py:
polynomial fits for Fathom's extended (128-bit) special-function kernels,
and their output as C++ tables of 192-bit working-float constants.

A fit is the truncated Chebyshev series of f on [a, b], computed from its
values at Chebyshev nodes, rewritten in monomial form in t = (x - c) / h
(c the centre, h the half-width), so that the kernel evaluates it by
Horner's rule in its 192-bit working float.  Degrees are chosen so that the
relative error (or the error relative to a given scale) is below 2^-140,
which is 2^-12 of the last of the 128 bits: the fits add nothing visible to
the kernels' rounding.  Every fit is checked at random points against a
direct evaluation, and the measured error is written beside it.
"""
import random

import mpmath as mp
from mpmath import mpf

WORK_PREC = 320          # bits of the fitting arithmetic
TARGET = mpf(2) ** -140  # bound on each fit's error


def wconst(v):
    """v as the initialiser of an XCoef {h, m, l, e, neg}: a 192-bit
    significand (top bit set) and the binary exponent e, value =
    significand * 2^(e - 191), rounded to nearest."""
    v = mpf(v)
    if v == 0:
        return "{0, 0, 0, 0, 0}"
    neg = 1 if v < 0 else 0
    a = abs(v)
    e = int(mp.floor(mp.log(a, 2)))
    # guard against log rounding
    while a >= mpf(2) ** (e + 1):
        e += 1
    while a < mpf(2) ** e:
        e -= 1
    m = int(mp.nint(a * mpf(2) ** (191 - e)))
    if m >= 1 << 192:
        m >>= 1
        e += 1
    assert (1 << 191) <= m < (1 << 192)
    h = m >> 128
    mid = (m >> 64) & ((1 << 64) - 1)
    lo = m & ((1 << 64) - 1)
    return "{0x%016xull, 0x%016xull, 0x%016xull, %d, %d}" % (h, mid, lo, e, neg)


def cheb_series(f, a, b, n):
    """Chebyshev coefficients a_0..a_(n-1) of the interpolant of f at the
    n Chebyshev points of [a, b] (a_0 not halved: p = a_0/2 + sum a_k T_k)."""
    a, b = mpf(a), mpf(b)
    c, h = (a + b) / 2, (b - a) / 2
    th = [mp.pi * (j + mpf(1) / 2) / n for j in range(n)]
    fv = [f(c + h * mp.cos(t)) for t in th]
    out = []
    for k in range(n):
        s = mp.fsum(fv[j] * mp.cos(k * th[j]) for j in range(n))
        out.append(2 * s / n)
    return out


def cheb_to_monomial(ca):
    """Monomial coefficients of a_0/2 + sum_(k>=1) a_k T_k(t)."""
    n = len(ca)
    res = [mpf(0)] * n
    tprev, tcur = [1], [0, 1]          # T_0, T_1 (integer coefficients)
    res[0] += ca[0] / 2
    if n > 1:
        res[1] += ca[1]
    for k in range(2, n):
        tnext = [0] * (k + 1)
        for i, v in enumerate(tcur):
            tnext[i + 1] += 2 * v
        for i, v in enumerate(tprev):
            tnext[i] -= v
        for i, v in enumerate(tnext):
            if v:
                res[i] += ca[k] * v
        tprev, tcur = tcur, tnext
    return res


def horner(coefs, t):
    s = mpf(0)
    for cf in reversed(coefs):
        s = s * t + cf
    return s


def fit(f, a, b, scale=None, nmax=120, target=TARGET, checks=80, seed=1, fixed_degree=None):
    """Fits f on [a, b]: returns (centre, half-width, monomial coefficients
    in t, measured max error).  The error is relative to |f|, or to
    scale(x) when given (an amplitude, or the size of a term that the fit
    is added to)."""
    with mp.workprec(WORK_PREC):
        a, b = mpf(a), mpf(b)
        c, h = (a + b) / 2, (b - a) / 2
        ca = cheb_series(f, a, b, nmax)
        rng = random.Random(seed)
        xs = [a, b] + [a + (b - a) * mpf(rng.random()) for _ in range(checks)]
        fx = [f(x) for x in xs]
        sc = [abs(scale(x)) if scale else abs(v) for x, v in zip(xs, fx)]
        smin = min(sc)
        # smallest degree whose Chebyshev tail is below the target
        if fixed_degree is not None:
            d = fixed_degree
        else:
            d = nmax - 1
            tail = mpf(0)
            for k in range(nmax - 1, 0, -1):
                tail += abs(ca[k])
                if tail > target * smin / 8:
                    d = k
                    break
            if d >= nmax - 8:
                raise RuntimeError("fit on [%s, %s] does not converge in %d terms" % (a, b, nmax))
        while True:
            mono = cheb_to_monomial(ca[:d + 1])
            err = max(abs(horner(mono, (x - c) / h) - v) / s for x, v, s in zip(xs, fx, sc))
            if err < target or fixed_degree is not None:
                return c, h, mono, err
            d += 1
            if d >= nmax - 4:
                raise RuntimeError("fit on [%s, %s]: error %s" % (a, b, mp.nstr(err, 5)))


def taylor_degree(coef, rmax, target=TARGET, rel_to=None):
    """Number of terms of sum coef(k) r^k that reaches the target relative
    to rel_to (default: the largest term) at r = rmax."""
    terms = []
    k = 0
    while True:
        terms.append(abs(coef(k)) * mpf(rmax) ** k)
        ref = rel_to if rel_to is not None else max(terms)
        if k > 4 and terms[-1] < target * ref / 16 and terms[-2] < target * ref / 16:
            return k + 1
        k += 1


def log2err(e):
    return "2^%.1f" % float(mp.log(e, 2)) if e > 0 else "0"


class Writer:
    """Accumulates the C++ text of a generated header."""

    def __init__(self, header):
        self.parts = [header]

    def coefs(self, name, values, comment=None):
        if comment:
            self.parts.append("// " + comment)
        self.parts.append("inline constexpr XCoef %s[%d] = {" % (name, len(values)))
        for v in values:
            self.parts.append("    " + wconst(v) + ",")
        self.parts.append("};")
        self.parts.append("")

    def pieces(self, name, plist, comment=None):
        """plist: list of (a, b, c, h, mono, err).  Writes the coefficient
        pool name##Coef and the piece table name (a, b as doubles for the
        lookup, the centre and 1/h as constants, offset and count)."""
        pool = []
        rows = []
        for (a, b, c, h, mono, err) in plist:
            rows.append("    {%s, %s, %s, %s, %d, %d},  // error %s" % (
                double_lit(a), double_lit(b), wconst(c), wconst(1 / h), len(pool), len(mono),
                log2err(err)))
            pool.extend(mono)
        if comment:
            self.parts.append("// " + comment)
        self.parts.append("inline constexpr XCoef %sCoef[%d] = {" % (name, len(pool)))
        for v in pool:
            self.parts.append("    " + wconst(v) + ",")
        self.parts.append("};")
        self.parts.append("inline constexpr XPiece %s[%d] = {" % (name, len(rows)))
        self.parts.extend(rows)
        self.parts.append("};")
        self.parts.append("")

    def raw(self, text):
        self.parts.append(text)

    def text(self):
        return "\n".join(self.parts) + "\n"


def double_lit(v):
    f = float(mpf(v))
    if f == float("inf"):
        return "INFINITY"
    return f.hex() if f != int(f) or abs(f) > 2 ** 52 else "%.1f" % f
