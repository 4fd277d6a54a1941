#!/usr/bin/python3
"""Generates the reference tables of the extended Bessel tests:
tests/fathom/data/xsf_<name>.inc (see scripts/xsf_reflib.py for the format).

Usage: /usr/bin/python3 scripts/gen_xsf_bessel_ref.py [name ...]
Needs Debian's python3-mpmath.  The modified functions I0, I1, K0, K1, In
and Kn only: MPFR, which the tests link, has J and Y.  Arguments are 128-bit
values drawn with a fixed seed over each regime of the function,
log-uniform where the range spans decades.  Values are mpmath's at 64 and
90 digits, checked to agree to 50.
"""
import os
import sys
from multiprocessing import Pool

import mpmath as mp
from mpmath import mpf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsf_reflib as rl  # noqa: E402

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fathom", "data")


def lin(rng, a, b, n):
    return [rl.uniform(rng, a, b) for _ in range(n)]


def logu(rng, a, b, n, sign=1):
    return [rl.loguniform(rng, a, b, sign) for _ in range(n)]


def trunc_order(nu):
    return int(mp.floor(nu)) if nu >= 0 else -int(mp.floor(-nu))


def in_(nu, x):
    # I_n(-x) = (-1)^n I_n(x): mpmath's value at negative x carries a
    # spurious imaginary part
    n = trunc_order(nu)
    v = mp.besseli(n, abs(x))
    return -v if x < 0 and n % 2 else v


def kn(nu, x):
    return mp.besselk(trunc_order(nu), x)


def orders(rng, lo, hi, n):
    """Integer orders, and a quarter of them with a fractional part (the
    kernels truncate)."""
    out = []
    for i in range(n):
        k = rng.randint(lo, hi)
        if i % 4 == 3:
            out.append(mpf(k) + (mpf(rng.randint(1, 9)) / 10 if k >= 0 else -mpf(rng.randint(1, 9)) / 10))
        else:
            out.append(mpf(k))
    return out


def samples(name):
    rng = rl.rng_for(name)
    if name == "besseli0":
        return (lambda x: mp.besseli(0, x)), [[x] for x in lin(rng, -80, 80, 300) + logu(rng, 1e-30, 2.3e8, 200) +
                                               logu(rng, "1e-3000", "1e-30", 10)]
    if name == "besseli1":
        return (lambda x: mp.besseli(1, x)), [[x] for x in lin(rng, -80, 80, 300) + logu(rng, 1e-30, 2.3e8, 200) +
                                               logu(rng, "1e-3000", "1e-30", 10, -1)]
    if name == "besselk0":
        return (lambda x: mp.besselk(0, x)), [[x] for x in logu(rng, 1e-30, 2.3e8, 400) + lin(rng, 0, 60, 100) +
                                               logu(rng, "1e-3000", "1e-30", 10)]
    if name == "besselk1":
        return (lambda x: mp.besselk(1, x)), [[x] for x in logu(rng, 1e-30, 2.3e8, 400) + lin(rng, 0, 60, 100) +
                                               logu(rng, "1e-3000", "1e-30", 10)]
    if name == "besselin":
        rows = [[n, x] for n, x in zip(orders(rng, -30, 30, 400), lin(rng, -100, 100, 400))]
        rows += [[mpf(n), x] for n, x in zip([rng.randint(2, 200) for _ in range(100)], logu(rng, 1e-10, 1e5, 100))]
        rows += [[mpf(n), x] for n, x in zip([rng.randint(2, 60) for _ in range(30)], logu(rng, 1e5, 2e8, 30))]
        return in_, rows
    if name == "besselkn":
        rows = [[n, x] for n, x in zip(orders(rng, -30, 30, 400), logu(rng, 1e-3, 600, 400))]
        rows += [[mpf(n), x] for n, x in zip([rng.randint(2, 200) for _ in range(100)], logu(rng, 1e-10, 1e5, 100))]
        rows += [[mpf(n), x] for n, x in zip([rng.randint(2, 60) for _ in range(30)], logu(rng, 1e5, 2e8, 30))]
        return kn, rows
    raise KeyError(name)


NAMES = ["besseli0", "besseli1", "besselk0", "besselk1", "besselin", "besselkn"]


def run(name):
    f, rows = samples(name)
    rows = [[rl.x128(a) for a in r] for r in rows]
    vals = [rl.value(f, r) for r in rows]
    # The hex text of a 128-bit argument is exact only when the working
    # precision holds its significand (frexp and the scaling round to it).
    with mp.workprec(256):
        rl.write(os.path.join(DATA, "xsf_%s.inc" % name), "scripts/gen_xsf_bessel_ref.py", name,
                 list(zip(rows, vals)), len(rows[0]))


def main():
    names = sys.argv[1:] or NAMES
    with Pool(2) as pool:
        pool.map(run, names, chunksize=1)


if __name__ == "__main__":
    main()
