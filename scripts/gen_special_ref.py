#!/usr/bin/python3
"""Generates the reference tables of the special-function tests:
tests/fathom/data/sf_<name>.inc.

Usage: /usr/bin/python3 scripts/gen_special_ref.py [name ...]
Needs Debian's python3-mpmath.  Every argument is a double; every value is
computed by mpmath with 60 significant digits and stored as a double-double
(hi, lo), about 32 correct digits.  Samples are pseudo-random (fixed seed)
over each regime of the function, log-uniform where the range spans
decades, plus the neighbourhood of zeros.
"""
import random
import zlib
import sys
from multiprocessing import Pool

import mpmath as mp
from mpmath import mpf

mp.mp.dps = 60


def dd(v):
    v = mpf(v)
    hi = float(v)
    if hi in (float("inf"), float("-inf")) or hi != hi:
        return hi, 0.0
    return hi, float(v - mpf(hi))


def lin(a, b, n):
    return [random.uniform(a, b) for _ in range(n)]


def logu(a, b, n, sign=1):
    la, lb = mp.log(a), mp.log(b)
    return [sign * float(mp.exp(random.uniform(float(la), float(lb)))) for _ in range(n)]


def near(zeros, n_each, rel=1e-6):
    out = []
    for z in zeros:
        zf = float(z)
        out.append(zf)
        for k in range(1, 4):
            out += [float.__add__(zf, 0) for _ in range(0)]
        import math
        x = zf
        for _ in range(3):
            x = math.nextafter(x, math.inf)
            out.append(x)
        x = zf
        for _ in range(3):
            x = math.nextafter(x, -math.inf)
            out.append(x)
        out += [zf * (1 + random.uniform(-rel, rel)) for _ in range(n_each)]
    return out


def re(f):
    return lambda *a: mp.re(f(*a))


def zeros_of(f, a, b, n=2000):
    zs = []
    xs = [a + (b - a) * k / n for k in range(n + 1)]
    for x0, x1 in zip(xs[:-1], xs[1:]):
        if f(mpf(x0)) * f(mpf(x1)) < 0:
            zs.append(mp.findroot(f, (mpf(x0), mpf(x1)), solver="anderson"))
    return zs


def far_zeros(f, name, starts, guess):
    """The closest doubles (and neighbours) to the first zero past each
    start, the zero near guess(k) for the first k with guess(k) > start."""
    zs = []
    for a in starts:
        k = int(mp.ceil(mpf(a) / mp.pi))
        zs.append(mp.findroot(f, guess(k)))
    state = random.getstate()
    random.seed(zlib.crc32(("extra " + name).encode()))
    out = near(zs, 2, 1e-12)
    random.setstate(state)
    return out


FAR = [64, 100, 1000, 1e5]   # where the oscillating kernels switch to modulus and phase, and beyond


def ell(f, k):
    """f(m = 1 - k^2) with enough digits for the cancellation in 1 - k^2."""
    extra = max(0, -2 * int(mp.log10(abs(mpf(k)) + mpf(10) ** -300)))
    with mp.workdps(60 + extra):
        return +f(1 - mpf(k) ** 2)


def lgneg(x):
    return mp.log(abs(mp.gamma(x)))


def sample(name):
    random.seed(zlib.crc32(name.encode()))
    j0 = lambda x: mp.besselj(0, x)
    j1 = lambda x: mp.besselj(1, x)
    y0 = lambda x: mp.bessely(0, x)
    y1 = lambda x: mp.bessely(1, x)
    S = {
        "erf": (mp.erf, lin(-6, 6, 500) + logu(1e-300, 1, 100) + logu(1e-300, 1, 50, -1)),
        "erfc": (mp.erfc, lin(-6, 6, 400) + lin(6, 27.2, 300) + logu(1e-20, 1, 50)),
        "lnerfc": (lambda x: mp.log(mp.erfc(x)), lin(-6, 6, 300) + logu(6, 1e150, 300) + logu(1e-20, 1, 50, -1)),
        "dawson": (lambda x: mp.sqrt(mp.pi) / 2 * mp.exp(-x * x) * mp.erfi(x),
                   lin(-20, 20, 500) + logu(1e-300, 1e300, 200)),
        "gamma": (mp.gamma, lin(-20, 30, 500) + logu(1e-300, 171.6, 300) + lin(-185, -20, 100)),
        "lngamma": (lambda x: mp.log(abs(mp.gamma(x))) if x < 0 else mp.loggamma(x),
                    lin(-20, 30, 400) + logu(1e-300, 1e300, 200) + lin(0.5, 3, 200) +
                    near([1, 2], 20, 1e-8) + near([mp.findroot(lgneg, -2.457), mp.findroot(lgneg, -2.747),
                                                   mp.findroot(lgneg, -3.14), mp.findroot(lgneg, -3.96)], 20, 1e-6)),
        "factorial": (lambda x: mp.gamma(x + 1), lin(-10, 171, 400) + [float(k) for k in range(0, 171)]),
        "digamma": (mp.digamma, lin(-40, 40, 400) + logu(1e-300, 1e300, 200) +
                    near([mp.findroot(mp.digamma, 1.46)] + [mp.findroot(mp.digamma, -k - 0.6) for k in range(0, 30, 3)], 20, 1e-6)),
        "trigamma": (lambda x: mp.psi(1, x), lin(-30, 30, 400) + logu(1e-150, 1e150, 200)),
        "e1": (mp.e1, logu(1e-300, 740, 600)),
        "ei": (mp.ei, lin(-50, 50, 300) + logu(1e-300, 716, 300) + logu(1e-300, 700, 100, -1) +
               near([mp.findroot(mp.ei, 0.37)], 40, 1e-8)),
        "li": (mp.li, logu(1e-300, 1e300, 400) + lin(0, 3, 200) + near([mp.findroot(mp.li, 1.45)], 40, 1e-8)),
        "si": (mp.si, lin(-50, 50, 400) + logu(1e-300, 1e15, 200)),
        "ci": (mp.ci, lin(0, 50, 400) + logu(1e-300, 1e15, 200) + near(zeros_of(mp.ci, 0.1, 40, 400), 4, 1e-9) +
               far_zeros(mp.ci, "ci", FAR, lambda k: k * mp.pi)),
        "shi": (mp.shi, lin(-30, 30, 400) + logu(1e-300, 700, 200)),
        "chi": (mp.chi, lin(0, 30, 400) + logu(1e-300, 700, 200) + near([mp.findroot(mp.chi, 0.52)], 40, 1e-8)),
        "fresnelc": (mp.fresnelc, lin(-10, 10, 400) + logu(1e-300, 1e15, 200)),
        "fresnels": (mp.fresnels, lin(-10, 10, 400) + logu(1e-100, 1e15, 200)),
        "zeta": (mp.zeta, lin(-60, 60, 500) + logu(1e-10, 1, 50) + [1 + k * 1e-9 for k in range(-5, 6) if k] +
                 lin(-250, -60, 100)),
        "dilog": (re(lambda x: mp.polylog(2, x)), lin(-10, 1, 400) + lin(1, 40, 200) + logu(1, 1e300, 100) +
                  logu(1, 1e300, 100, -1) + logu(1e-300, 1, 100)),
        "besseli0": (lambda x: mp.besseli(0, x), lin(-30, 30, 400) + logu(1e-300, 713, 200)),
        "besseli1": (lambda x: mp.besseli(1, x), lin(-30, 30, 400) + logu(1e-300, 713, 200)),
        "besselk0": (lambda x: mp.besselk(0, x), logu(1e-300, 745, 600)),
        "besselk1": (lambda x: mp.besselk(1, x), logu(1e-300, 745, 600)),
        "besselj0": (j0, lin(-60, 60, 500) + logu(1e-300, 1e8, 200) + near(zeros_of(j0, 1, 60, 600), 3, 1e-9) +
                     far_zeros(j0, "besselj0", FAR, lambda k: (k - 0.25) * mp.pi)),
        "besselj1": (j1, lin(-60, 60, 500) + logu(1e-300, 1e8, 200) + near(zeros_of(j1, 1, 60, 600), 3, 1e-9) +
                     far_zeros(j1, "besselj1", FAR, lambda k: (k + 0.25) * mp.pi)),
        "bessely0": (y0, lin(0, 60, 500) + logu(1e-300, 1e8, 200) + near(zeros_of(y0, 0.5, 60, 600), 3, 1e-9) +
                     far_zeros(y0, "bessely0", FAR, lambda k: (k - 0.75) * mp.pi)),
        "bessely1": (y1, lin(0, 60, 500) + logu(1e-300, 1e8, 200) + near(zeros_of(y1, 1, 60, 600), 3, 1e-9) +
                     far_zeros(y1, "bessely1", FAR, lambda k: (k - 0.25) * mp.pi)),
        "elliptick": (lambda k: ell(mp.ellipk, k), logu(1e-300, 1, 400) + lin(0, 3, 200) + logu(1, 1e100, 100)),
        "elliptice": (lambda k: ell(mp.ellipe, k), logu(1e-300, 1, 400) + lin(0, 3, 200) + logu(1, 1e100, 100)),
    }
    return S[name]


def large_u(name, count):
    """(u, kc) with |u| up to 1e6: many quarter periods to reduce."""
    rng = extra_rng(name)
    return [(rng.choice([1, -1]) * log_uniform(rng, 20, 1e6), log_uniform(rng, 1e-3, 3))
            for _ in range(count)]


def central(name, count):
    """(a, x) with x within 3 sqrt(a) of large a, where P turns from 0 to 1."""
    rng = extra_rng(name)
    out = []
    for _ in range(count):
        a = log_uniform(rng, 100, 1e5)
        out.append((a, a + rng.uniform(-3, 3) * a ** 0.5))
    return out


def transition(name, count):
    """(n, x) with x within a few n^(1/3) of n, where J_n turns from
    growing to oscillating."""
    rng = extra_rng(name)
    out = []
    for _ in range(count):
        n = rng.randint(30, 300)
        out.append((float(n), n + rng.uniform(-3, 3) * n ** (1 / 3)))
    return out


def sample2(name):
    random.seed(zlib.crc32(name.encode()))
    ints = lambda lo, hi, n: [float(random.randint(lo, hi)) for _ in range(n)]
    S = {
        "besseljn": (lambda n, x: mp.besselj(int(n), x),
                     list(zip(ints(-30, 30, 500), lin(-80, 80, 500))) + transition("besseljn", 100)),
        "besselyn": (lambda n, x: mp.bessely(int(n), x),
                     list(zip(ints(-30, 30, 500), lin(0.1, 80, 500)))),
        "besselin": (lambda n, x: mp.besseli(int(n), x),
                     list(zip(ints(-30, 30, 500), lin(-100, 100, 500)))),
        "besselkn": (lambda n, x: mp.besselk(int(n), x),
                     list(zip(ints(-30, 30, 500), logu(1e-3, 600, 500)))),
        "expinten": (lambda n, x: mp.expint(n, x),
                     list(zip(lin(0, 12, 500), logu(1e-5, 100, 500))) +
                     list(zip(lin(-5, 0, 100), logu(1e-3, 50, 100)))),
        "beta": (mp.beta, list(zip(logu(1e-5, 200, 400), logu(1e-5, 200, 400))) +
                 list(zip(lin(-10, 10, 200), lin(-10, 10, 200)))),
        "gammalower": (lambda a, x: mp.gammainc(a, 0, x),
                       list(zip(logu(1e-3, 150, 600), logu(1e-4, 300, 600)))),
        "gammap": (lambda a, x: mp.gammainc(a, 0, x, regularized=True),
                   list(zip(logu(1e-3, 1000, 400), logu(1e-4, 1500, 400))) + central("gammap", 60)),
        "ellippi": (lambda n, k: mp.ellippi(n, 1 - mpf(k) ** 2),
                    list(zip(lin(-5, 0.99, 400), logu(1e-3, 3, 400))) +
                    list(zip(lin(1.01, 5, 100), logu(1e-3, 3, 100)))),
        "ellipf": (lambda x, k: mp.ellipf(mp.atan(x), 1 - mpf(k) ** 2),
                   list(zip(logu(1e-5, 1e5, 300, random.choice([1, -1])), logu(1e-3, 3, 300))) +
                   list(zip(lin(-3, 3, 300), lin(0.01, 2, 300)))),
        "ellipe": (lambda x, k: mp.ellipe(mp.atan(x), 1 - mpf(k) ** 2),
                   list(zip(logu(1e-5, 1e5, 300), logu(1e-3, 3, 300))) +
                   list(zip(lin(-3, 3, 300), lin(0.01, 2, 300)))),
        "jacobisn": (lambda u, k: mp.ellipfun("sn", u, m=1 - mpf(k) ** 2),
                     list(zip(lin(-20, 20, 500), logu(1e-3, 3, 500))) + large_u("jacobisn", 60)),
        "jacobicn": (lambda u, k: mp.ellipfun("cn", u, m=1 - mpf(k) ** 2),
                     list(zip(lin(-20, 20, 500), logu(1e-3, 3, 500))) + large_u("jacobicn", 60)),
        "jacobidn": (lambda u, k: mp.ellipfun("dn", u, m=1 - mpf(k) ** 2),
                     list(zip(lin(-20, 20, 500), logu(1e-3, 3, 500))) + large_u("jacobidn", 60)),
    }
    return S[name]


def extra_rng(name):
    """A stream of its own for samples added to a table later, so that the
    samples of every other table stay as they were."""
    return random.Random(zlib.crc32(("extra " + name).encode()))


def log_uniform(rng, a, b):
    return float(mp.exp(rng.uniform(float(mp.log(a)), float(mp.log(b)))))


def near_one(name, n):
    """(a, b, x): small b with x close to 1, where the complement
    B(a, b) - B(b, a, 1 - x) cancels."""
    rng = extra_rng(name)
    return [(log_uniform(rng, 1e-2, 300), log_uniform(rng, 1e-2, 1), 1 - log_uniform(rng, 1e-9, 0.1))
            for _ in range(n)]


def beta_central(name, count):
    """(a, b, x) with a, b in [100, 3000] and x within 3 standard deviations
    of the mean a/(a + b), where I_x turns from 0 to 1."""
    rng = extra_rng(name)
    out = []
    for _ in range(count):
        a, b = log_uniform(rng, 100, 3000), log_uniform(rng, 100, 3000)
        p = a / (a + b)
        sd = (p * (1 - p) / (a + b + 1)) ** 0.5
        out.append((a, b, p + rng.uniform(-3, 3) * sd))
    return out


def sample3(name):
    random.seed(zlib.crc32(name.encode()))
    S = {
        "ellippiinc": (lambda n, x, k: mp.ellippi(n, mp.atan(x), 1 - mpf(k) ** 2),
                       list(zip(lin(-3, 0.9, 500), logu(1e-3, 1e3, 500), logu(1e-2, 2, 500)))),
        "betalower": (lambda a, b, x: mp.betainc(a, b, 0, x),
                      list(zip(logu(1e-2, 100, 500), logu(1e-2, 100, 500), lin(0, 1, 500))) +
                      near_one("betalower", 100)),
        "betai": (lambda a, b, x: mp.betainc(a, b, 0, x, regularized=True),
                  list(zip(logu(1e-2, 300, 500), logu(1e-2, 300, 500), lin(0, 1, 500))) +
                  near_one("betai", 100) + beta_central("betai central", 60)),
    }
    return S[name]


def write(name, rows, arity):
    path = "tests/fathom/data/sf_%s.inc" % name
    typ = {1: "Ref1", 2: "Ref2", 3: "Ref3"}[arity]
    out = ["// Generated by scripts/gen_special_ref.py %s (mpmath %s, 60 digits); do not edit."
           % (name, mp.__version__),
           "// {arguments..., value as hi + lo}", "static const %s kRef_%s[] = {" % (typ, name)]
    for r in rows:
        out.append("    {%s}," % ", ".join(float(v).hex() for v in r))
    out.append("};")
    with open(path, "w") as fh:
        fh.write("\n".join(out) + "\n")
    return path


def run(name):
    random.seed(zlib.crc32(name.encode()))
    rows = []
    for arity, fn in ((1, sample), (2, sample2), (3, sample3)):
        try:
            f, pts = fn(name)
        except KeyError:
            continue
        for p in pts:
            args = p if isinstance(p, tuple) else (p,)
            try:
                v = f(*[mpf(a) for a in args])
            except (ValueError, ZeroDivisionError):
                continue
            if isinstance(v, mp.mpc):
                if abs(mp.im(v)) > abs(mp.re(v)) * mpf(10) ** -40 and name != "dilog":
                    continue
                v = mp.re(v)
            if not mp.isfinite(v):
                continue
            hi, lo = dd(v)
            if hi in (float("inf"), float("-inf")):
                continue
            rows.append(tuple(args) + (hi, lo))
        return write(name, rows, arity)


ALL = ["erf", "erfc", "lnerfc", "dawson", "gamma", "lngamma", "factorial", "digamma", "trigamma",
       "e1", "ei", "li", "si", "ci", "shi", "chi", "fresnelc", "fresnels", "zeta", "dilog",
       "besseli0", "besseli1", "besselk0", "besselk1", "besselj0", "besselj1", "bessely0",
       "bessely1", "elliptick", "elliptice",
       "besseljn", "besselyn", "besselin", "besselkn", "expinten", "beta", "gammalower", "gammap",
       "ellippi", "ellipf", "ellipe", "jacobisn", "jacobicn", "jacobidn",
       "ellippiinc", "betalower", "betai"]

if __name__ == "__main__":
    names = sys.argv[1:] or ALL
    with Pool(2) as pool:
        for p in pool.imap_unordered(run, names):
            print("wrote", p, flush=True)
