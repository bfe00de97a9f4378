#!/usr/bin/env python3
"""Bisection, the secant method and Newton's method on root_step's cubic.

Each starts from the same bracket around one root and stops, as root_step's
bisection does, when |f| at its latest point is at most 1e-10. Prints the
iterations and the function evaluations each needed, priced alike: every
method keeps the values it has (bisection f at both ends, the secant method
its two latest), so bisection pays one evaluation an iteration and two to
start, the secant method the same, and Newton's method two an iteration
(f and f', the derivative counted as one evaluation) and one to finish.

With --errors FILE it writes instead, for the root 0.5 from [0.2, 0.9], one
line per iteration k: "k bisection secant newton", each the distance of
that method's latest point from the root (blank once it has stopped),
which root_errors.gp draws.
"""
import sys


def f(x):
    return x ** 3 + 0.4 * x ** 2 - 4.05 * x + 1.8


def df(x):
    return 3 * x ** 2 + 0.8 * x - 4.05


def bisection(a, b, path=None):
    n = 0
    while True:
        m = (a + b) / 2
        n += 1
        if path is not None:
            path.append(m)
        if f(a) * f(m) < 0:
            b = m
        else:
            a = m
        if abs(f(m)) <= 1e-10:
            return n, n + 2  # f(a) and f(b) once, then f(m) each time


def secant(a, b, path=None):
    n, fa, fb = 0, f(a), f(b)
    while abs(fb) > 1e-10:
        a, b, fa = b, b - fb * (b - a) / (fb - fa), fb
        fb = f(b)
        n += 1
        if path is not None:
            path.append(b)
    return n, n + 2


def newton(x, path=None):
    n = 0
    while abs(f(x)) > 1e-10:
        x -= f(x) / df(x)
        n += 1
        if path is not None:
            path.append(x)
    return n, 2 * n + 1


if sys.argv[1:2] == ["--errors"]:
    paths = ([], [], [])
    bisection(0.2, 0.9, paths[0])
    secant(0.2, 0.9, paths[1])
    newton(0.55, paths[2])
    with open(sys.argv[2], "w") as out:
        for k in range(max(len(p) for p in paths)):
            out.write(" ".join([str(k + 1)] + ["%.6g" % max(abs(p[k] - 0.5), 1e-17) if k < len(p) else "-"
                                                for p in paths]) + "\n")
    sys.exit(0)

print("root  bracket        bisection  secant  Newton   (iterations / evaluations)")
for root, a, b in ((-2.4, -2.9, -2.2), (0.5, 0.2, 0.9), (1.5, 1.1, 1.7)):
    runs = (bisection(a, b), secant(a, b), newton((a + b) / 2))
    print(("%4g  [%g, %g]  " % (root, a, b) + "  ".join("%4d / %-3d" % r for r in runs)).rstrip())
