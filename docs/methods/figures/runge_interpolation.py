#!/usr/bin/env python3
"""Runge's phenomenon: the polynomial through N points of 1 / (1 + x^2) on
[-5, 5], at equally spaced points (as runge tabulates them) and at
Chebyshev nodes, for N = 5, 11 and 21.

Prints the largest error of each over 2001 points of the interval. With
--curves FILE it also writes the curves, one line per x:
"x f(x) equal5 equal11 equal21 chebyshev5 chebyshev11 chebyshev21",
which runge_interpolation.gp draws. With --errors FILE it writes instead,
for every N from 2 to 40, "N equal chebyshev rho^-N": the two largest
errors and the rate that the poles of f at +-i set for Chebyshev nodes,
rho = (1 + sqrt(26)) / 5 (runge_errors.gp draws them); and with --rate it
prints rho and the measured ratio of the Chebyshev errors at N = 11 and 21.
"""
import math
import sys

SIZES = (5, 11, 21)


def f(x):
    return 1 / (1 + x * x)


def equally_spaced(n):
    return [-5 + 10 * i / (n - 1) for i in range(n)]


def chebyshev(n):
    return [5 * math.cos((2 * i + 1) * math.pi / (2 * n)) for i in range(n)]


def interpolant(nodes):
    """The polynomial through (x, f(x)) at the nodes, in barycentric form."""
    weights = []
    for i, xi in enumerate(nodes):
        w = 1.0
        for j, xj in enumerate(nodes):
            if j != i:
                w /= xi - xj
        weights.append(w)
    values = [f(x) for x in nodes]

    def p(x):
        num = den = 0.0
        for xi, wi, yi in zip(nodes, weights, values):
            if x == xi:
                return yi
            num += wi / (x - xi) * yi
            den += wi / (x - xi)
        return num / den

    return p


xs = [-5 + 10 * k / 2000 for k in range(2001)]
# The poles of f, x = +-i, are s = +-i/5 on [-1, 1]; the Bernstein ellipse
# through them has rho = |s + sqrt(s^2 - 1)| = (1 + sqrt(26)) / 5.
RHO = (1 + math.sqrt(26)) / 5


def largest_error(p):
    return max(abs(p(x) - f(x)) for x in xs)


if sys.argv[1:2] == ["--errors"]:
    with open(sys.argv[2], "w") as out:
        for n in range(2, 41):
            out.write("%d %.6g %.6g %.6g\n" % (n, largest_error(interpolant(equally_spaced(n))),
                                              largest_error(interpolant(chebyshev(n))), RHO ** -n))
    sys.exit(0)
if sys.argv[1:] == ["--rate"]:
    e11, e21 = (largest_error(interpolant(chebyshev(n))) for n in (11, 21))
    print("rho = %.5g a node; rho^10 = %.3g; the Chebyshev error falls by %.3g from N = 11 to 21"
          % (RHO, RHO ** 10, e11 / e21))
    sys.exit(0)
curves = [interpolant(equally_spaced(n)) for n in SIZES] + [interpolant(chebyshev(n)) for n in SIZES]
print("N    equally spaced  Chebyshev   (largest error on [-5, 5])")
for k, n in enumerate(SIZES):
    errors = [max(abs(curves[c](x) - f(x)) for x in xs) for c in (k, k + len(SIZES))]
    print("%-4d %-15.3g %.3g" % (n, errors[0], errors[1]))
if len(sys.argv) == 3 and sys.argv[1] == "--curves":
    with open(sys.argv[2], "w") as out:
        for x in xs:
            out.write(" ".join("%.6g" % v for v in [x, f(x)] + [c(x) for c in curves]) + "\n")
