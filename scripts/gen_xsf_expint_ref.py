#!/usr/bin/python3
"""Generates the mpmath reference tables of the extended sine and cosine
integrals, Shi, Chi, the Fresnel integrals and E_nu, which MPFR does not
provide: tests/fathom/data/xsf_{sinint,cosint,sinhint,coshint,fresnelc,
fresnels,expinten}.inc (format in scripts/xsf_reflib.py).  Ei and E1 are
checked against MPFR's eint in the test itself.

Usage (from the top of the repository): python3 scripts/gen_xsf_expint_ref.py

Arguments are random 128-bit values over the whole domains (log-uniform by
region) plus the neighbours of the kernels' switch points (15, 32, 4.5,
100) and of the zeros (Chi's, Ci's first ones); for E_nu, orders at and
within 2^-30 .. 2^-60 of integers, where the series' pole terms combine.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mpmath as mp  # noqa: E402
from mpmath import mpf  # noqa: E402

import xsf_reflib as R  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fathom", "data")
SCRIPT = "scripts/gen_xsf_expint_ref.py"


def boosted(f):
    """f evaluated with 60 more digits than the caller's precision (mpmath
    loses digits next to the zeros and at near-integer orders), rounded back."""
    def g(*args):
        with mp.workdps(mp.mp.dps + 60):
            r = f(*args)
        return +r
    return g


def both_signs(rng, lo, hi, n):
    return [R.loguniform(rng, lo, hi, sign=s) for s in (1, -1) for _ in range(n)]


def sinint():
    rng = R.rng_for("sinint")
    xs = both_signs(rng, 1e-30, 1, 30) + both_signs(rng, 1, 32, 80) + both_signs(rng, 32, 1e8, 60)
    xs += [R.loguniform(rng, 1e8, 1e300) for _ in range(20)]
    xs += R.neighbours(32) + R.neighbours(-32)
    return "sinint", [((x,), R.value(boosted(mp.si), (x,))) for x in xs], 1


def ci_scale(x):
    return 1 / max(abs(x), 1)


def cosint():
    rng = R.rng_for("cosint")
    xs = [R.loguniform(rng, 1e-30, 1) for _ in range(40)]
    xs += [R.loguniform(rng, 1, 32) for _ in range(150)]
    xs += [R.loguniform(rng, 32, 1e8) for _ in range(120)]
    xs += [R.loguniform(rng, 1e8, 1e100) for _ in range(20)]
    xs += R.neighbours(32)
    for z0 in (0.6, 3.4, 6.4, 40.0):     # next to zeros
        z = mp.findroot(mp.ci, z0)
        xs += R.neighbours(z, 1) + [R.x128(z * (1 + mpf(2) ** -k)) for k in (20, 60)]
    return "cosint", [((x,), R.value(boosted(mp.ci), (x,), scale=ci_scale)) for x in xs], 1


def sinhint():
    rng = R.rng_for("sinhint")
    xs = both_signs(rng, 1e-30, 1, 30) + both_signs(rng, 1, 100, 100)
    xs += both_signs(rng, 100, 1e5, 40)
    xs += R.neighbours(100) + R.neighbours(-100)
    return "sinhint", [((x,), R.value(boosted(mp.shi), (x,))) for x in xs], 1


def coshint():
    rng = R.rng_for("coshint")
    xs = [R.loguniform(rng, 1e-30, 1) for _ in range(60)]
    xs += [R.loguniform(rng, 1, 100) for _ in range(120)]
    xs += [R.loguniform(rng, 100, 1e5) for _ in range(40)]
    z = mp.findroot(mp.chi, 0.52)
    xs += R.neighbours(z, 2) + [R.x128(z * (1 + s * mpf(2) ** -k)) for k in (10, 23, 25, 40, 70)
                                for s in (1, -1)]
    xs += R.neighbours(100)
    return "coshint", [((x,), R.value(boosted(mp.chi), (x,))) for x in xs], 1


def fresnel(name, f):
    rng = R.rng_for(name)
    xs = both_signs(rng, 1e-30, 1, 25) + both_signs(rng, 1, 4.5, 80)
    xs += both_signs(rng, 4.5, 1e6, 60) + [R.loguniform(rng, 1e6, 1e30) for _ in range(20)]
    xs += R.neighbours(4.5) + R.neighbours(-4.5)
    xs += [R.x128(mp.sqrt(2 * k) + s * mpf(2) ** -60) for k in (3, 50, 1001) for s in (1, -1)]
    return name, [((x,), R.value(boosted(f), (x,))) for x in xs], 1


def expinten():
    rng = R.rng_for("expinten")
    f = boosted(lambda nu, x: mp.expint(nu, x))
    rows = []
    for _ in range(200):
        rows.append((R.uniform(rng, 0, 30), R.loguniform(rng, 1e-20, 1)))
    for _ in range(120):
        rows.append((R.uniform(rng, 0, 60), R.loguniform(rng, 1, 300)))
    for _ in range(200):                 # the series' cancelling range below the fraction
        rows.append((R.uniform(rng, 0, 30), R.uniform(rng, 1, 12)))
    for _ in range(80):
        rows.append((R.uniform(rng, -40, 0), R.loguniform(rng, 1e-5, 100)))
    for n in range(0, 12):
        for k in (0, 30, 47, 49, 60, 100):
            for s in ((1, -1) if k else (1,)):
                nu = R.x128(n + s * mpf(2) ** -k) if k else mpf(n)
                rows.append((nu, R.loguniform(rng, 1e-6, 1)))
    for _ in range(30):
        rows.append((R.uniform(rng, 30, 50), R.loguniform(rng, 1e-20, 1)))
    for _ in range(60):                  # large orders below the fraction's range
        rows.append((R.loguniform(rng, 30, 1200), R.loguniform(rng, 1e-20, 8)))
    for n in (40, 333, 999):             # and next to their integers
        for k in (20, 50, 90):
            rows.append((R.x128(n + mpf(2) ** -k), R.loguniform(rng, 1e-3, 8)))
    rows = [r for r in rows if r[1] > 0]
    return "expinten", [(r, R.value(f, r)) for r in rows], 2


def main():
    mp.mp.prec = 256
    only = set(sys.argv[1:])
    for fn in (sinint, cosint, sinhint, coshint, expinten):
        if not only or fn.__name__ in only:
            name, rows, nargs = fn()
            R.write(os.path.join(OUT, "xsf_%s.inc" % name), SCRIPT, name, rows, nargs)
    for name, f in (("fresnelc", mp.fresnelc), ("fresnels", mp.fresnels)):
        if not only or name in only:
            name, rows, nargs = fresnel(name, f)
            R.write(os.path.join(OUT, "xsf_%s.inc" % name), SCRIPT, name, rows, nargs)


if __name__ == "__main__":
    main()
