"""Shared helpers of the generators of Fathom's extended special-function
tables (scripts/gen_xsf_gamma.py, scripts/gen_xsf_erf.py).

Values are written as C++ initialisers of the working float of
fathom/xmath_wide.h (192 bits, rounded to nearest), of the extended real
(128 bits, rounded to nearest), or of doubles (bounds chosen as dyadic
numbers, so exact).  Chebyshev fits are computed here at PREC bits and
checked against the function at many points after the coefficients have
been rounded to 192 bits.
"""
import mpmath
from mpmath import mp, mpf

PREC = 420
mp.prec = PREC


def split(v, bits):
    """(neg, e, m): |v| = m * 2^(e - bits + 1), 2^(bits-1) <= m < 2^bits, nearest."""
    neg = v < 0
    v = abs(v)
    mant, e = mpmath.frexp(v)          # v = mant * 2^e, 0.5 <= mant < 1
    e = int(e) - 1
    scaled = mpmath.ldexp(v, bits - 1 - e)
    m = int(mpmath.floor(scaled))
    frac = scaled - m
    if frac > 0.5 or (frac == 0.5 and m & 1):
        m += 1
    if m == 1 << bits:
        m >>= 1
        e += 1
    return neg, e, m


def round_to(v, bits):
    """v rounded to nearest with a `bits`-bit significand, as an mpf."""
    v = mpf(v)
    if v == 0:
        return mpf(0)
    neg, e, m = split(v, bits)
    r = mpmath.ldexp(mpf(m), e - bits + 1)
    return -r if neg else r


def wconst(v):
    v = mpf(v)
    if v == 0:
        return "{0, 0, 0, false}"
    neg, e, m = split(v, 192)
    h, mid, lo = m >> 128, (m >> 64) & (2**64 - 1), m & (2**64 - 1)
    return "wConst(0x%016xull, 0x%016xull, 0x%016xull, %d%s)" % (
        h, mid, lo, e, ", true" if neg else "")


def xconst(v):
    v = mpf(v)
    if v == 0:
        return "{0u, 0u, 0u, 0u, 0u, 0u}"
    neg, e, m = split(v, 128)
    bias = 0x8000004F
    field = (m & ((1 << 127) - 1)) | ((1 << 127) if neg else 0)
    w = [(field >> (32 * i)) & 0xFFFFFFFF for i in range(4)]
    return "{0x%08xu, 0u, 0x%08xu, 0x%08xu, 0x%08xu, 0x%08xu}" % (bias + e, *w)


def dconst(v):
    """A double literal that is exactly v (v must be a double)."""
    f = float(v)
    assert mpf(f) == mpf(v), v
    return repr(f) if f == int(f) and abs(f) < 2**53 and "e" not in repr(f) else f.hex()


def log2err(x):
    x = abs(mpf(x))
    return "2^%.1f" % float(mpmath.log(x, 2)) if x else "0"


def w_array(name, values, comment=None):
    """Lines defining `const W name[n] = {...};`."""
    out = []
    if comment:
        out += ["// " + line for line in comment.split("\n")]
    out.append("const W %s[%d] = {" % (name, len(values)))
    out += ["    %s," % wconst(v) for v in values]
    out.append("};")
    return out


# ---- Chebyshev fits ------------------------------------------------------


def cheb_coeffs(g, a, b, n):
    """Chebyshev coefficients of the degree-n interpolant of g on [a, b]."""
    mid, half = (a + b) / 2, (b - a) / 2
    nodes = [mpmath.cos(mpmath.pi * (k + mpf(1) / 2) / (n + 1)) for k in range(n + 1)]
    vals = [g(mid + half * t) for t in nodes]
    cheb = []
    for j in range(n + 1):
        s = mpmath.fsum(vals[k] * mpmath.cos(mpmath.pi * j * (k + mpf(1) / 2) / (n + 1))
                        for k in range(n + 1))
        cheb.append(s * 2 / (n + 1))
    cheb[0] /= 2
    return cheb


def cheb_to_power(cheb, a, b, c):
    """Coefficients in powers of d = v - c of the Chebyshev series on [a, b]."""
    n = len(cheb) - 1
    mid, half = (a + b) / 2, (b - a) / 2
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
    # t = (d + s)/half with s = c - mid: expand sum powt[i] ((d + s)/half)^i.
    s = c - mid
    out = [mpf(0)] * (n + 1)
    for i in range(n + 1):
        coef = powt[i] / half**i
        for k in range(i + 1):
            out[k] += coef * mpmath.binomial(i, k) * s**(i - k)
    return out


def horner(coefs, d):
    r = mpf(0)
    for cf in reversed(coefs):
        r = r * d + cf
    return r


def fit(g, a, b, c, target, maxdeg=48, checks=240):
    """The lowest-degree Chebyshev interpolant of g on [a, b], rewritten in
    powers of v - c, whose coefficients rounded to 192 bits stay within
    `target` (relative) at `checks` points and the ends.  Returns
    (coefficients, measured error)."""
    a, b, c = mpf(a), mpf(b), mpf(c)
    pts = [a + (b - a) * k / checks for k in range(checks + 1)]
    ref = [g(v) for v in pts]
    n = 8
    while n <= maxdeg:
        cheb = cheb_coeffs(g, a, b, n)
        co = [round_to(x, 192) for x in cheb_to_power(cheb, a, b, c)]
        err = max(abs(horner(co, v - c) - r) / abs(r) for v, r in zip(pts, ref))
        if err < target:
            return co, err
        n += 1
    raise SystemExit("no fit of degree <= %d on [%s, %s]" % (maxdeg, a, b))


def taylor_coeffs(f, z, n):
    """f(z + d) = sum c_k d^k, k < n, by mpmath's numerical differentiation
    at twice the working precision."""
    with mp.workprec(2 * PREC):
        cs = mpmath.taylor(f, z, n - 1)
    return [+c for c in cs]
