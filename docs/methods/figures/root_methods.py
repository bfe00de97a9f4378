#!/usr/bin/env python3
"""Bisection, the secant method and Newton's method on root_step's cubic.

Each starts from the same bracket around one root and stops, as root_step's
bisection does, when |f| at its latest point is at most 1e-10. Prints the
iterations and the function evaluations each needed (Newton's derivative
counted as one evaluation more).
"""


def f(x):
    return x ** 3 + 0.4 * x ** 2 - 4.05 * x + 1.8


def df(x):
    return 3 * x ** 2 + 0.8 * x - 4.05


def bisection(a, b):
    n = 0
    while True:
        m = (a + b) / 2
        n += 1
        if f(a) * f(m) < 0:
            b = m
        else:
            a = m
        if abs(f(m)) <= 1e-10:
            return n, 2 * n  # f(a) and f(m) each time, as root_step does


def secant(a, b):
    n, fa, fb = 0, f(a), f(b)
    while abs(fb) > 1e-10:
        a, b, fa = b, b - fb * (b - a) / (fb - fa), fb
        fb = f(b)
        n += 1
    return n, n + 2


def newton(x):
    n = 0
    while abs(f(x)) > 1e-10:
        x -= f(x) / df(x)
        n += 1
    return n, 2 * n + 1


print("root  bracket        bisection  secant  Newton   (iterations / evaluations)")
for root, a, b in ((-2.4, -2.9, -2.2), (0.5, 0.2, 0.9), (1.5, 1.1, 1.7)):
    runs = (bisection(a, b), secant(a, b), newton((a + b) / 2))
    print(("%4g  [%g, %g]  " % (root, a, b) + "  ".join("%4d / %-3d" % r for r in runs)).rstrip())
