#!/usr/bin/python3
"""Generates fathom/integrate_gk21_x.h: the nodes and weights of the
21-point Gauss-Kronrod rule as extended reals (128 bits, rounded to nearest).

The Gauss nodes are the zeros of the Legendre polynomial P10; the ten
Kronrod nodes besides them are the zeros of the Stieltjes polynomial E11,
the monic odd polynomial of degree 11 orthogonal to x^k P10(x) for k < 11.
Its coefficients come from exact rational moments (Python fractions); the
zeros are polished by Newton's method at 400 bits, starting from the double
constants of fathom/integrate_gk21.h.  The Kronrod weights make the rule
exact on 1, x^2, ..., x^20 (with the odd powers by symmetry, through degree
31 thanks to the node choice); the Gauss weights are 2 / ((1 - x^2) P10'(x)^2).
The script checks exactness to degree 31 (Kronrod) and 19 (Gauss) and the
agreement with the published double constants before writing anything.

Usage (from the top of the repository):
  python3 scripts/gen_integrate_gk21x.py > fathom/integrate_gk21_x.h
"""
from fractions import Fraction

import mpmath
from mpmath import mp, mpf

mp.prec = 400

# Published double values (QUADPACK), the starting points of the iteration.
XGK = [0.995657163025808080735527280689003, 0.973906528517171720077964012084452,
       0.930157491355708226001207180059508, 0.865063366688984510732096688423493,
       0.780817726586416897063717578345042, 0.679409568299024406234327365114874,
       0.562757134668604683339000099272694, 0.433395394129247190799265943165784,
       0.294392862701460198131126603103866, 0.148874338981631210884826001129720, 0.0]
WGK = [0.011694638867371874278064396062192, 0.032558162307964727478818972459390,
       0.054755896574351996031381300244580, 0.075039674810919952767043140916190,
       0.093125454583697605535065465083366, 0.109387158802297641899210590325805,
       0.123491976262065851077958109831074, 0.134709217311473325928054001771707,
       0.142775938577060080797094273138717, 0.147739104901338491374841515972068,
       0.149445554002916905664936468389821]
WG = [0.066671344308688137593568809893332, 0.149451349150580593145776339657697,
      0.219086362515982043995534934228163, 0.269266719309996355091226921569469,
      0.295524224714752870173892994651338]


def legendre_coeffs(n):
    """Coefficients (lowest degree first) of P_n as fractions."""
    p0, p1 = [Fraction(1)], [Fraction(0), Fraction(1)]
    if n == 0:
        return p0
    for k in range(1, n):
        # (k+1) P_{k+1} = (2k+1) x P_k - k P_{k-1}
        nxt = [Fraction(0)] * (k + 2)
        for i, c in enumerate(p1):
            nxt[i + 1] += Fraction(2 * k + 1, k + 1) * c
        for i, c in enumerate(p0):
            nxt[i] -= Fraction(k, k + 1) * c
        p0, p1 = p1, nxt
    return p1


def moment(m):
    """Integral of x^m over [-1, 1]."""
    return Fraction(0) if m % 2 else Fraction(2, m + 1)


def solve(a, b):
    """Exact Gaussian elimination on fractions."""
    n = len(b)
    a = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(n):
        p = next(r for r in range(c, n) if a[r][c] != 0)
        a[c], a[p] = a[p], a[c]
        for r in range(n):
            if r != c and a[r][c] != 0:
                f = a[r][c] / a[c][c]
                a[r] = [x - f * y for x, y in zip(a[r], a[c])]
    return [a[i][n] / a[i][i] for i in range(n)]


def polyval(coeffs, x):
    s = mpf(0)
    for c in reversed(coeffs):
        s = s * x + mpf(c.numerator) / c.denominator
    return s


def polyder(coeffs):
    return [c * i for i, c in enumerate(coeffs)][1:]


def newton(coeffs, x0):
    d = polyder(coeffs)
    x = mpf(x0)
    for _ in range(200):
        dx = polyval(coeffs, x) / polyval(d, x)
        x -= dx
        if abs(dx) < mpf(2) ** (-mp.prec + 8):
            break
    return x


P10 = legendre_coeffs(10)
# E11 = x^11 + sum a_j x^j over odd j < 11; orthogonality to x^k P10 for odd
# k < 11 (the even k hold by parity).
odd = [1, 3, 5, 7, 9]
P10x = lambda k, j: sum(c * moment(i + k + j) for i, c in enumerate(P10))
A = [[P10x(k, j) for j in odd] for k in odd]
B = [-P10x(k, 11) for k in odd]
a = solve(A, B)
E11 = [Fraction(0)] * 12
E11[11] = Fraction(1)
for j, c in zip(odd, a):
    E11[j] = c

xgk = []
for i, x0 in enumerate(XGK):
    if i & 1:
        xgk.append(newton(P10, x0))
    elif x0 == 0:
        xgk.append(mpf(0))
    else:
        xgk.append(newton(E11, x0))

# Kronrod weights: exactness on x^(2k), k = 0..10, with symmetric weights.
M = [[(1 if i == 10 and k == 0 else (0 if i == 10 else 2 * xgk[i] ** (2 * k))) for i in range(11)]
     for k in range(11)]
rhs = [mpf(2) / (2 * k + 1) for k in range(11)]
wgk = list(mpmath.lu_solve(mpmath.matrix(M), mpmath.matrix(rhs)))

dP10 = polyder(P10)
wg = [2 / ((1 - xgk[i] ** 2) * polyval(dP10, xgk[i]) ** 2) for i in range(1, 10, 2)]


def rule(nodes_w, k):
    return sum(w * (x ** k + (-x) ** k) if x != 0 else w * (1 if k == 0 else 0) for x, w in nodes_w)


kron = list(zip(xgk, wgk))
gauss = list(zip(xgk[1:10:2], wg))
tiny = mpf(2) ** -380
for k in range(32):
    assert abs(rule(kron, k) - mpf(moment(k).numerator) / moment(k).denominator) < tiny, k
for k in range(20):
    assert abs(rule(gauss, k) - mpf(moment(k).numerator) / moment(k).denominator) < tiny, k
for got, pub in zip(xgk + wgk + wg, XGK + WGK + WG):
    assert abs(got - mpf(pub)) < 1e-15, (got, pub)


def split(v, bits):
    """(neg, e, m): |v| = m * 2^(e - bits + 1), 2^(bits-1) <= m < 2^bits, nearest."""
    neg = v < 0
    v = abs(v)
    _, e = mpmath.frexp(v)
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


def xconst(v):
    if v == 0:
        return "{0u, 0u, 0u, 0u, 0u, 0u}"
    neg, e, m = split(mpf(v), 128)
    field = (m & ((1 << 127) - 1)) | ((1 << 127) if neg else 0)
    w = [(field >> (32 * i)) & 0xFFFFFFFF for i in range(4)]
    return "{0x%08xu, 0u, 0x%08xu, 0x%08xu, 0x%08xu, 0x%08xu}" % (0x8000004F + e, *w)


def array(name, values, comment):
    out = ["// %s" % comment, "inline constexpr XRealValue %s[%d] = {" % (name, len(values))]
    for v in values:
        out.append("    %s,   // %s" % (xconst(v), mpmath.nstr(v, 40)))
    out.append("};")
    return "\n".join(out)


print("""// The 21-point Gauss-Kronrod rule as extended reals, rounded to nearest
// (generated by scripts/gen_integrate_gk21x.py; do not edit).  Same order
// as the double constants of fathom/integrate_gk21.h.
#pragma once

#include "fathom/xreal.h"

namespace fathom::quad {
""")
print(array("kXgkX", xgk, "Kronrod nodes, decreasing; odd indices are the Gauss nodes."))
print()
print(array("kWgkX", wgk, "Kronrod weights."))
print()
print(array("kWgX", wg, "Gauss weights of the odd-indexed nodes."))
print()
print("} // namespace fathom::quad")
