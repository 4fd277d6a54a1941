#!/usr/bin/python3
"""Generates the reference tables of the extended elliptic integrals and
Jacobi functions: tests/fathom/data/xsf_elliptic_<name>.inc.

Usage: python3 scripts/gen_xsf_elliptic_ref.py [name ...]
Needs mpmath.  Arguments are random 128-bit numbers (exact, written in hex
for MPFR); every value is computed by mpmath at two working precisions
(100 and 130 digits, 140 and 170 near the zeros of sn and cn), kept only
when both agree to 60 significant digits, and written with 50.  The
complementary modulus kc enters as m = 1 - kc^2, formed exactly.  Pi for
n > 1 (the Cauchy principal value) is K(m) - Pi(m/n, m), since mpmath's
complete Pi is slow there; the incomplete principal values are the real
part of mpmath's value.
"""
import random
import sys
import zlib
from multiprocessing import Pool

import mpmath as mp
from mpmath import mpf

PREC_BITS = 128
mp.mp.dps = 60   # the sampling


def x128(v):
    """v rounded to 128 significant bits."""
    with mp.workprec(PREC_BITS):
        return +mpf(v)


def hexText(v):
    if v == 0:
        return "0"
    man, exp = mp.mpf(v).man_exp      # |v| = man 2^exp
    sign = "-" if v < 0 else ""
    return "%s0x%xp%d" % (sign, abs(man), exp)


def rnd_lin(rng, a, b):
    return x128(mpf(a) + (mpf(b) - mpf(a)) * mpf(rng.getrandbits(160)) / mpf(2) ** 160)


def rnd_log(rng, a, b, sign=1):
    la, lb = mp.log(mpf(a)), mp.log(mpf(b))
    return sign * x128(mp.exp(la + (lb - la) * mpf(rng.getrandbits(160)) / mpf(2) ** 160))


def m_of(kc):
    """1 - kc^2, exact at any working precision (mpmath forms 1 - m from it
    correctly rounded, so kc far below 10^-dps keeps its digits)."""
    return mp.fsub(1, mp.fmul(kc, kc, exact=True), exact=True)


def K(kc):
    return mp.ellipk(m_of(kc))


FUNCS = {
    "elliptick": lambda kc: mp.ellipk(m_of(kc)),
    # E = (pi/2) 2F1(-1/2, 1/2; 1; m): mpmath's ellipe loses everything as kc -> 0.
    "elliptice": lambda kc: mp.pi / 2 * mp.hyp2f1(-0.5, 0.5, 1, m_of(kc)),
    "ellippi": lambda n, kc: (mp.ellipk(m_of(kc)) - mp.ellippi(m_of(kc) / n, m_of(kc)) if n > 1
                              else mp.ellippi(n, m_of(kc))),
    "ellipf": lambda x, kc: mp.ellipf(mp.atan(x), m_of(kc)),
    "ellipe": lambda x, kc: mp.ellipe(mp.atan(x), m_of(kc)),
    "ellippiinc": lambda n, x, kc: mp.re(mp.ellippi(n, mp.atan(x), m_of(kc))),
    "jacobisn": lambda u, kc: mp.ellipfun("sn", u, m=m_of(kc)),
    "jacobicn": lambda u, kc: mp.ellipfun("cn", u, m=m_of(kc)),
    "jacobidn": lambda u, kc: mp.ellipfun("dn", u, m=m_of(kc)),
}


def samples(name, rng):
    L, G = (lambda a, b: rnd_lin(rng, a, b)), (lambda a, b, s=1: rnd_log(rng, a, b, s))
    sgn = lambda: rng.choice([1, -1])
    if name in ("elliptick", "elliptice"):
        return ([(G(1e-40, 1),) for _ in range(150)] + [(L(0, 3),) for _ in range(100)] +
                [(G(1, 1e40),) for _ in range(80)] + [(G("1e-3000", "1e3000"),) for _ in range(30)] +
                [(x128(1 - G(1e-35, 1e-3)),) for _ in range(40)])
    if name == "ellippi":
        return ([(L(-5, 0.99), G(1e-3, 3)) for _ in range(200)] +
                [(G(5, 1e30, -1), G(1e-3, 3)) for _ in range(50)] +
                [(x128(1 - G(1e-30, 1e-2)), G(1e-2, 3)) for _ in range(30)] +
                [(L(1.01, 5), G(1e-3, 3)) for _ in range(60)] + [(G(5, 1e30), G(1e-2, 3)) for _ in range(30)])
    if name in ("ellipf", "ellipe"):
        return ([(G(1e-12, 1e12, sgn()), G(1e-4, 1e2)) for _ in range(250)] +
                [(L(-3, 3), L(0.01, 2)) for _ in range(150)] +
                [(G(1e-300, 1e300, sgn()), G(1e-30, 1e30)) for _ in range(50)])
    if name == "ellippiinc":
        return ([(L(-3, 0.9), G(1e-3, 1e3), G(1e-2, 2)) for _ in range(250)] +
                [(G(1e-6, 1, -1), G(1e-6, 1e6, sgn()), G(1e-3, 1e2)) for _ in range(60)] +
                [(L(1.01, 10), G(1e-2, 1e2), G(1e-2, 2)) for _ in range(50)] +
                # |n| large, where F + (n/3) x^3 RJ cancels.
                [(G(1, 1e40, -1), G(1e-3, 1e3, sgn()), G(1e-2, 1e2)) for _ in range(40)] +
                [(G(10, 1e12), G(1, 1e2), G(1e-2, 2)) for _ in range(25)])
    if name.startswith("jacobi"):
        rows = ([(L(-20, 20), G(1e-4, 1e2)) for _ in range(300)] +
                [(G(20, 1e12, sgn()), G(1e-2, 3)) for _ in range(80)] +
                [(G(1e-30, 1, sgn()), G(1e-3, 1e3)) for _ in range(40)])
        # The extended reals next to the zeros of sn (u = 2jK) and cn (u = (2j+1)K).
        for _ in range(60):
            kc = G(1e-3, 3)
            j = rng.randint(-40, 40)
            with mp.workdps(120):
                rows.append((x128(j * K(kc)), kc))
        return rows
    raise KeyError(name)


def agree(a, b, digits):
    if a == b:
        return True
    return abs(a - b) <= mpf(10) ** -digits * max(abs(a), abs(b))


def value(name, args, near_zero):
    f = FUNCS[name]
    lo, hi = (140, 170) if near_zero else (100, 130)
    with mp.workdps(lo):
        v1 = f(*args)
    with mp.workdps(hi):
        v2 = f(*args)
    # mpmath answers m < 0 (kc > 1) in complex numbers with a zero imaginary part.
    v1, v2 = [v.real if isinstance(v, mp.mpc) and v.imag == 0 else v for v in (v1, v2)]
    if isinstance(v2, mp.mpc) or isinstance(v1, mp.mpc):
        return None
    if not (mp.isfinite(v1) and mp.isfinite(v2)) or not agree(v1, v2, 60):
        return None
    return v2


def run(name):
    rng = random.Random(zlib.crc32(("xsf " + name).encode()))
    rows = []
    dropped = 0
    for args in samples(name, rng):
        near_zero = name in ("jacobisn", "jacobicn") and abs(args[0]) > 1
        v = value(name, args, near_zero)
        if v is None:
            dropped += 1
            if "-v" in sys.argv:
                print(name, "dropped", [mp.nstr(a, 10) for a in args], file=sys.stderr)
            continue
        with mp.workdps(130):
            rows.append([hexText(a) for a in args] + [mp.nstr(v, 50, min_fixed=1, max_fixed=0)])
    path = "tests/fathom/data/xsf_elliptic_%s.inc" % name
    typ = "XeRef%d" % (len(rows[0]) - 1)
    out = ["// Generated by scripts/gen_xsf_elliptic_ref.py %s (mpmath %s); do not edit." % (name, mp.__version__),
           "// {exact arguments (hex), value (50 digits)}", "static const %s kXRef_%s[] = {" % (typ, name)]
    for r in rows:
        out.append("    {%s}," % ", ".join('"%s"' % t for t in r))
    out.append("};")
    with open(path, "w") as fh:
        fh.write("\n".join(out) + "\n")
    return "%s: %d rows, %d dropped" % (path, len(rows), dropped)


ALL = list(FUNCS)

if __name__ == "__main__":
    names = [a for a in sys.argv[1:] if a != "-v"] or ALL
    with Pool(2) as pool:
        for msg in pool.imap_unordered(run, names):
            print(msg, flush=True)
