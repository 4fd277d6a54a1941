#!/usr/bin/python3
"""Generates the mpmath reference tables of the extended trigamma function,
Dawson's integral and the lower incomplete beta function, which MPFR does
not provide: tests/fathom/data/xsf_trigamma.inc, xsf_dawson.inc and
xsf_betalower.inc (format in scripts/xsf_reflib.py).

Usage (from the top of the repository): python3 scripts/gen_xsf_gamma_ref.py

Arguments are random 128-bit values over the whole domains (uniform or
log-uniform by region) plus the neighbours of hard points: the poles of
psi', the switch points of the kernels (x = 1 and 10 for Dawson's
integral, x = (a+1)/(a+b+2) for B(a, b, x)), and B(a, b, x) for a, b to
1e5 with x near the mean a/(a+b), where its fraction takes longest.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mpmath as mp
from mpmath import mpf

import xsf_reflib as R

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fathom", "data")


def trigamma():
    rng = R.rng_for("trigamma")
    xs = []
    xs += [R.uniform(rng, -30, 0) for _ in range(150)]
    xs += [R.uniform(rng, -400, -30) for _ in range(40)]
    xs += [R.loguniform(rng, 1e-30, 0.5) for _ in range(60)]
    xs += [R.uniform(rng, 0.5, 30) for _ in range(150)]
    xs += [R.loguniform(rng, 30, 1e300) for _ in range(100)]
    for n in range(0, 25, 3):           # next to the poles 0, -3, -6, ...
        for k in (10, 40, 100):
            xs += [R.x128(-n + mpf(2) ** -k), R.x128(-n - mpf(2) ** -k)]
    xs += R.neighbours(20) + R.neighbours(-20)
    xs = [x for x in xs if not (x <= 0 and x == mp.floor(x))]
    return "trigamma", [((x,), R.value(lambda v: mp.psi(1, v), (x,))) for x in xs], 1


def dawson():
    rng = R.rng_for("dawson")
    f = lambda v: v * mp.hyp1f1(1, mpf(3) / 2, -v * v)   # stays accurate for large |x|
    xs = []
    xs += [R.uniform(rng, -12, 12) for _ in range(300)]
    xs += [R.loguniform(rng, 1e-40, 1) for _ in range(60)]
    xs += [R.loguniform(rng, 12, 1e300, sign=s) for s in (1, -1) for _ in range(60)]
    xs += R.neighbours(1) + R.neighbours(10) + R.neighbours(-10)
    xs += [mp.findroot(lambda v: mp.diff(f, v), 0.92)]   # the maximum
    return "dawson", [((x,), R.value(f, (x,))) for x in xs], 1


def betalower():
    rng = R.rng_for("betalower")
    f = lambda a, b, x: mp.betainc(a, b, 0, x)
    rows = []
    for _ in range(500):
        a = R.loguniform(rng, 0.01, 300)
        b = R.loguniform(rng, 0.01, 300)
        x = R.uniform(rng, 0, 1)
        rows.append((a, b, x))
    for _ in range(60):                  # near the switch x = (a+1)/(a+b+2)
        a = R.loguniform(rng, 0.1, 200)
        b = R.loguniform(rng, 0.1, 200)
        t = (a + 1) / (a + b + 2)
        rows.append((a, b, R.x128(t * (1 + (R.uniform(rng, -1, 1)) / 64))))
    for _ in range(40):                  # x next to 0 and 1
        a = R.loguniform(rng, 0.01, 50)
        b = R.loguniform(rng, 0.01, 50)
        rows.append((a, b, R.loguniform(rng, 1e-30, 1e-3)))
        rows.append((a, b, R.x128(1 - R.loguniform(rng, 1e-30, 1e-3))))
    rows = [r for r in rows if 0 < r[2] < 1]
    out = [(r, R.value(f, r)) for r in rows]
    # Large a, b with x within 3 sd of the mean, where mpmath's betainc does
    # not converge: B(a, b, x) = x^a (1-x)^b / a 2F1(a+b, 1; a+1; x).
    g = lambda a, b, x: x ** a * (1 - x) ** b / a * mp.hyp2f1(a + b, 1, a + 1, x, maxterms=10 ** 7)
    for _ in range(40):
        a = R.loguniform(rng, 300, 1e5)
        b = R.loguniform(rng, 300, 1e5)
        with mp.workprec(256):
            m = a / (a + b)
            sd = mp.sqrt(a * b / ((a + b) ** 2 * (a + b + 1)))
            x = R.x128(m + 3 * sd * R.uniform(rng, -1, 1))
        out.append(((a, b, x), R.value(g, (a, b, x))))
    return "betalower", out, 3


def main():
    mp.mp.prec = 256
    for fn in (trigamma, dawson, betalower):
        name, rows, nargs = fn()
        R.write(os.path.join(OUT, "xsf_%s.inc" % name), "scripts/gen_xsf_gamma_ref.py", name, rows, nargs)


if __name__ == "__main__":
    main()
