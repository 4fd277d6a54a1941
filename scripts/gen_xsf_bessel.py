#!/usr/bin/python3
"""Generates fathom/xsf_fit_bessel.h: the constants of the extended (128-bit)
Bessel kernels of fathom/xsf_bessel_*.cc.

Usage: /usr/bin/python3 scripts/gen_xsf_bessel.py > fathom/xsf_fit_bessel.h
Needs Debian's python3-mpmath; takes about half an hour on two loaded cores
(mpmath's K and the 400-bit Hankel functions are slow).

Contents (every constant a 192-bit working-float value):
  - power series in y = x^2 (exact Taylor coefficients):
      J0 = sum c_k y^k, J1 = x sum c_k y^k, |x| <= 12;
      Y0 = (2/pi) log(x) J0 + sum d_k y^k,
      Y1 = (2/pi) log(x) J1 - 2/(pi x) + x sum d_k y^k, 0 < x <= 12;
      I0, I1 as J0, J1 (|x| <= 12);
      K0 = -log(x) I0 + sum d_k y^k, K1 = 1/x + log(x) I1 + x sum d_k y^k,
      0 < x <= 4;
  - Hankel's modulus functions P, Q of order 0 and 1,
      J = sqrt(2/(pi x)) (P cos chi - Q sin chi),
      Y = sqrt(2/(pi x)) (P sin chi + Q cos chi), chi = x - (2n + 1) pi/4,
    fitted in x on pieces of [12, 60.75], then P and x Q in u = 1/x^2 on
    [0, 1/60.75^2] (relative error below 2^-176: near a zero of J or Y
    the terms cancel, so their error must be small against the zero's
    neighbourhood, see below);
  - exp(-x) sqrt(x) I(x) on pieces of [12, 60.75], then in w = 1/x;
    exp(x) sqrt(x) K(x) on pieces of [4, 45.5625], then in w = 1/x
    (relative error below 2^-140);
  - the zeros of J0, J1, Y0, Y1 below 64 as zhi + zlo, with the Taylor
    coefficients a1..a5 of the function there (from the Bessel equation),
    for the patches |x - z| <= 2^-32 that keep relative accuracy at the
    extended reals closest to a zero.  Elsewhere the methods above have
    an absolute error near 2^-170 of the local amplitude, so at 2^-32 from
    a zero the value is still relative-accurate to about 2^-138.
"""
import os
import sys
from multiprocessing import Pool

import mpmath as mp
from mpmath import mpf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsf_fitlib as fl  # noqa: E402

mp.mp.prec = fl.WORK_PREC

SERIES_END = 12                       # power series of J, Y, I
K_SERIES_END = 4                      # power series of K
PQ_BREAKS = [12, 18, 27, 40.5, 60.75]
I_BREAKS = [12, 18, 27, 40.5, 60.75]
K_BREAKS = [4, 6, 9, 13.5, 20.25, 30.375, 45.5625]
ZERO_LIMIT = 64
TIGHT = mpf(2) ** -176                # P, Q fits
LOOSE = mpf(2) ** -140                # I, K fits


# ---- power series --------------------------------------------------------

def series_len(coef, x_end, rel):
    """Terms needed at x = x_end: the first k from which every term
    (of a convergent, eventually decreasing series in y = x^2) is below
    rel times the largest one."""
    y = mpf(x_end) ** 2
    big = mpf(0)
    k = 0
    while True:
        t = abs(coef(k)) * y ** k
        big = max(big, t)
        if k > 10 and t < rel * big and abs(coef(k + 1)) * y ** (k + 1) < t / 4:
            return k + 1
        k += 1


def c_j0(k):
    return (mpf(-1) / 4) ** k / mp.factorial(k) ** 2


def c_j1(k):
    return (mpf(-1) / 4) ** k / (2 * mp.factorial(k) * mp.factorial(k + 1))


def c_y0(k):
    return (2 / mp.pi) * (mp.euler - mp.log(2) - mp.harmonic(k)) * c_j0(k)


def c_y1(k):
    c = (mpf(-1) / 4) ** k / (mp.factorial(k) * mp.factorial(k + 1))
    return -(1 / mp.pi) * (mp.log(2) + (mp.digamma(k + 1) + mp.digamma(k + 2)) / 2) * c


def c_i0(k):
    return (mpf(1) / 4) ** k / mp.factorial(k) ** 2


def c_i1(k):
    return (mpf(1) / 4) ** k / (2 * mp.factorial(k) * mp.factorial(k + 1))


def c_k0(k):
    return (mp.log(2) - mp.euler + mp.harmonic(k)) / (4 ** k * mp.factorial(k) ** 2)


def c_k1(k):
    c = 1 / (4 ** k * mp.factorial(k) * mp.factorial(k + 1))
    return (-mp.log(2) / 2 - (mp.digamma(k + 1) + mp.digamma(k + 2)) / 4) * c


def check_series():
    """The series forms against mpmath at a few points (guards the
    formulas above)."""
    for x in [mpf("0.3"), mpf("3.7"), mpf("11.5")]:
        y = x * x

        def s(c, n=90):
            return mp.fsum(c(k) * y ** k for k in range(n))
        l2 = 2 / mp.pi * mp.log(x)
        errs = [
            s(c_j0) - mp.besselj(0, x),
            x * s(c_j1) - mp.besselj(1, x),
            l2 * mp.besselj(0, x) + s(c_y0) - mp.bessely(0, x),
            l2 * mp.besselj(1, x) - 2 / (mp.pi * x) + x * s(c_y1) - mp.bessely(1, x),
            s(c_i0) - mp.besseli(0, x),
            x * s(c_i1) - mp.besseli(1, x),
            -mp.log(x) * mp.besseli(0, x) + s(c_k0) - mp.besselk(0, x),
            1 / x + mp.log(x) * mp.besseli(1, x) + x * s(c_k1) - mp.besselk(1, x),
        ]
        for e in errs:
            assert abs(e) < mpf(10) ** -80, e


# ---- Hankel's P and Q ------------------------------------------------------

def pq(n, x):
    with mp.workprec(fl.WORK_PREC + 80):
        x = mpf(x)
        chi = x - (2 * n + 1) * mp.pi / 4
        j, y = mp.besselj(n, x), mp.bessely(n, x)
        c, s = mp.cos(chi), mp.sin(chi)
        r = mp.sqrt(mp.pi * x / 2)
        return r * (j * c + y * s), r * (y * c - j * s)


def p_of(n):
    return lambda x: pq(n, x)[0]


def q_of(n):
    return lambda x: pq(n, x)[1]


def p_asym(n):
    def f(u):
        if u == 0:
            return mpf(1)
        return pq(n, 1 / mp.sqrt(u))[0]
    return f


def xq_asym(n):
    def f(u):
        if u == 0:
            return mpf(4 * n * n - 1) / 8
        x = 1 / mp.sqrt(u)
        return x * pq(n, x)[1]
    return f


def gi(n):
    return lambda x: mp.exp(-x) * mp.sqrt(x) * mp.besseli(n, x)


def gi_asym(n):
    def f(w):
        if w == 0:
            return 1 / mp.sqrt(2 * mp.pi)
        x = 1 / w
        with mp.workprec(fl.WORK_PREC + 40):
            return mp.exp(-x) * mp.sqrt(x) * mp.besseli(n, x)
    return f


def gk(n):
    return lambda x: mp.exp(x) * mp.sqrt(x) * mp.besselk(n, x)


def gk_asym(n):
    def f(w):
        if w == 0:
            return mp.sqrt(mp.pi / 2)
        x = 1 / w
        with mp.workprec(fl.WORK_PREC + 40):
            return mp.exp(x) * mp.sqrt(x) * mp.besselk(n, x)
    return f


FUNCS = {
    "P0": p_of(0), "Q0": q_of(0), "P1": p_of(1), "Q1": q_of(1),
    "P0a": p_asym(0), "Q0a": xq_asym(0), "P1a": p_asym(1), "Q1a": xq_asym(1),
    "I0": gi(0), "I1": gi(1), "I0a": gi_asym(0), "I1a": gi_asym(1),
    "K0": gk(0), "K1": gk(1), "K0a": gk_asym(0), "K1a": gk_asym(1),
}


def job(args):
    name, a, b, target = args
    mp.mp.prec = fl.WORK_PREC
    c, h, mono, err = fl.fit(FUNCS[name], a, b, target=target, nmax=110)
    sys.stderr.write("%-4s [%s, %s]: %d terms, error %s\n" % (name, mp.nstr(a, 6), mp.nstr(b, 6),
                                                            len(mono), fl.log2err(err)))
    return (a, b, c, h, mono, err)


# ---- zeros -----------------------------------------------------------------

def zero_patches(kind, n):
    """Zeros below ZERO_LIMIT of J_n (kind 'j') or Y_n, with a1..a5."""
    out = []
    k = 1
    with mp.workprec(640):
        while True:
            z = mp.besseljzero(n, k) if kind == "j" else mp.besselyzero(n, k)
            if z > ZERO_LIMIT:
                break
            f = (lambda x: mp.besselj(n, x)) if kind == "j" else (lambda x: mp.bessely(n, x))
            # f'(z) = f_(n-1)(z) - n/z f_n(z) = f_(n-1)(z) at a zero
            g = mp.besselj(n - 1, z) if kind == "j" else mp.bessely(n - 1, z)
            if n == 0:
                g = -(mp.besselj(1, z) if kind == "j" else mp.bessely(1, z))
            a = [mpf(0), g]
            # z^2 f'' + z f' + (z^2 - n^2) f = 0 around z, t = x - z
            for kk in range(0, 4):
                am1 = a[kk - 1] if kk >= 1 else 0
                am2 = a[kk - 2] if kk >= 2 else 0
                num = z * (kk + 1) * (2 * kk + 1) * a[kk + 1] + (kk * kk + z * z - n * n) * a[kk] \
                    + 2 * z * am1 + am2
                a.append(-num / (z * z * (kk + 1) * (kk + 2)))
            t = mpf(2) ** -32
            approx = t * (a[1] + t * (a[2] + t * (a[3] + t * (a[4] + t * a[5]))))
            exact = f(z + t)
            assert abs(approx - exact) < mpf(2) ** -150 * abs(exact), (kind, n, k)
            # t = x - zhi - zlo must be exact: no power of 2 within the patch
            p2 = mpf(2) ** int(mp.floor(mp.log(z, 2)))
            assert z - p2 > 2 ** -30 and 2 * p2 - z > 2 ** -30
            with mp.workprec(192):
                zhi = +z
            zlo = z - zhi
            out.append((z, zhi, zlo, a[1:6]))
            k += 1
    return out


def write_zeros(w, name, zs, comment):
    w.raw("// " + comment)
    w.raw("inline constexpr XZero %s[%d] = {" % (name, len(zs)))
    for (z, zhi, zlo, a) in zs:
        w.raw("    {%s,\n     %s,\n     %s,\n     {%s,\n      %s,\n      %s,\n      %s,\n      %s}}," % (
            float(z).hex(), fl.wconst(zhi), fl.wconst(zlo), fl.wconst(a[0]), fl.wconst(a[1]),
            fl.wconst(a[2]), fl.wconst(a[3]), fl.wconst(a[4])))
    w.raw("};")
    w.raw("")


def main():
    check_series()
    w = fl.Writer("""// Generated by scripts/gen_xsf_bessel.py (mpmath %s); do not edit.
// Constants of the extended Bessel kernels (fathom/xsf_bessel_*.cc): see
// the script for the forms and their error bounds.
#pragma once

#include "fathom/xsf_wpoly.h"

namespace fathom::detail::xsf {
""" % mp.__version__)
    w.raw("constexpr double kSeriesEnd = %s;     // power series of J, Y, I up to here" % fl.double_lit(SERIES_END))
    w.raw("constexpr double kKSeriesEnd = %s;    // power series of K up to here" % fl.double_lit(K_SERIES_END))
    w.raw("constexpr double kPQAsym = %s;    // P, Q in 1/x^2 from here" % fl.double_lit(PQ_BREAKS[-1]))
    w.raw("constexpr double kIAsym = %s;     // I in 1/x from here" % fl.double_lit(I_BREAKS[-1]))
    w.raw("constexpr double kKAsym = %s;    // K in 1/x from here" % fl.double_lit(K_BREAKS[-1]))
    w.raw("constexpr double kZeroLimit = %s;    // zero patches below here" % fl.double_lit(ZERO_LIMIT))
    w.raw("")
    w.coefs("kTwoOverPi", [2 / mp.pi])
    w.coefs("kInvSqrtPi", [1 / mp.sqrt(mp.pi)])

    tight = mpf(2) ** -192
    series = [
        ("kJ0Series", c_j0, SERIES_END, "J0 = sum c_k y^k"),
        ("kJ1Series", c_j1, SERIES_END, "J1 = x sum c_k y^k"),
        ("kY0Series", c_y0, SERIES_END, "Y0 = (2/pi) log(x) J0 + sum d_k y^k"),
        ("kY1Series", c_y1, SERIES_END, "Y1 = (2/pi) log(x) J1 - 2/(pi x) + x sum d_k y^k"),
        ("kI0Series", c_i0, SERIES_END, "I0 = sum c_k y^k"),
        ("kI1Series", c_i1, SERIES_END, "I1 = x sum c_k y^k"),
        ("kK0Series", c_k0, K_SERIES_END, "K0 = -log(x) I0 + sum d_k y^k"),
        ("kK1Series", c_k1, K_SERIES_END, "K1 = 1/x + log(x) I1 + x sum d_k y^k"),
    ]
    for name, c, end, comment in series:
        n = series_len(c, end, tight)
        w.coefs(name, [c(k) for k in range(n)], "%s, y = x^2, %d terms to x = %s" % (comment, n, end))
        sys.stderr.write("%s: %d terms\n" % (name, n))

    jobs = []
    for nm in ["P0", "Q0", "P1", "Q1"]:
        for a, b in zip(PQ_BREAKS[:-1], PQ_BREAKS[1:]):
            jobs.append((nm, mpf(a), mpf(b), TIGHT))
    ua = 1 / mpf(PQ_BREAKS[-1]) ** 2
    for nm in ["P0a", "Q0a", "P1a", "Q1a"]:
        jobs.append((nm, mpf(0), ua, TIGHT))
    for nm in ["I0", "I1"]:
        for a, b in zip(I_BREAKS[:-1], I_BREAKS[1:]):
            jobs.append((nm, mpf(a), mpf(b), LOOSE))
    for nm in ["I0a", "I1a"]:
        jobs.append((nm, mpf(0), 1 / mpf(I_BREAKS[-1]), LOOSE))
    for nm in ["K0", "K1"]:
        for a, b in zip(K_BREAKS[:-1], K_BREAKS[1:]):
            jobs.append((nm, mpf(a), mpf(b), LOOSE))
    for nm in ["K0a", "K1a"]:
        jobs.append((nm, mpf(0), 1 / mpf(K_BREAKS[-1]), LOOSE))
    with Pool(2) as pool:
        results = pool.map(job, jobs, chunksize=1)
    by = {}
    for (nm, a, b, t), r in zip(jobs, results):
        by.setdefault(nm, []).append(r)
    desc = {
        "P0": "P0(x) on pieces of [12, 60.75]", "Q0": "Q0(x)", "P1": "P1(x)", "Q1": "Q1(x)",
        "P0a": "P0 in u = 1/x^2 on [0, 1/60.75^2]", "Q0a": "x Q0 in u = 1/x^2",
        "P1a": "P1 in u = 1/x^2", "Q1a": "x Q1 in u = 1/x^2",
        "I0": "exp(-x) sqrt(x) I0(x) on pieces of [12, 60.75]", "I1": "exp(-x) sqrt(x) I1(x)",
        "I0a": "exp(-x) sqrt(x) I0(x) in w = 1/x on [0, 1/60.75]", "I1a": "the same for I1",
        "K0": "exp(x) sqrt(x) K0(x) on pieces of [4, 45.5625]", "K1": "exp(x) sqrt(x) K1(x)",
        "K0a": "exp(x) sqrt(x) K0(x) in w = 1/x on [0, 1/45.5625]", "K1a": "the same for K1",
    }
    for nm in ["P0", "Q0", "P1", "Q1", "P0a", "Q0a", "P1a", "Q1a", "I0", "I1", "I0a", "I1a",
               "K0", "K1", "K0a", "K1a"]:
        cname = "k" + nm[:2] + ("Asym" if nm.endswith("a") else "Mid")
        w.pieces(cname, by[nm], desc[nm])

    for kind, n, name in [("j", 0, "kJ0Zeros"), ("j", 1, "kJ1Zeros"), ("y", 0, "kY0Zeros"),
                          ("y", 1, "kY1Zeros")]:
        zs = zero_patches(kind, n)
        write_zeros(w, name, zs, "zeros of %s%d below %d with a1..a5" % (kind.upper(), n, ZERO_LIMIT))
    w.raw("} // namespace fathom::detail::xsf")
    sys.stdout.write(w.text())


if __name__ == "__main__":
    main()
