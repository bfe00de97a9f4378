#!/usr/bin/env python3
"""The reversible pendulum's balance, solved instead of scanned.

The same body as pendulum's: a rod of 2.9 kg and 1.523 m, pivots 0.999 m
apart, 1.35928 kg fixed at L1 = 0.560523 m on pivot 2's side of the rod's
centre and 0.72705 kg at L2 on pivot 1's side. Bisection on L2 finds where
d1 d2 = k^2 exactly; then the printed period at the scan's best step,
0.594 m, is split into what the step and what pi = 3.14159265 contribute.
"""
import math

M3, LR, M1, M2, P, G = 2.9, 1.523, 1.35928, 0.72705, 0.999, 9.81
L1 = (P / 2 + 0.0135) + 0.047523


def body(l2):
    m = M1 + M2 + M3
    c = (M1 * L1 - M2 * l2) / m  # the centre of mass, towards pivot 2
    d1, d2 = P / 2 + c, P / 2 - c
    k2 = (M3 * LR ** 2 / 12 + M3 * c ** 2 + M1 * (L1 - c) ** 2 + M2 * (l2 + c) ** 2) / m
    return d1, d2, k2


def periods(l2, pi=math.pi):
    d1, d2, k2 = body(l2)
    return (2 * pi * math.sqrt((d1 * d1 + k2) / (G * d1)),
            2 * pi * math.sqrt((d2 * d2 + k2) / (G * d2)))


def balance(lo=0.5, hi=0.74975):
    mismatch = lambda l2: body(l2)[0] * body(l2)[1] - body(l2)[2]
    for _ in range(100):
        mid = (lo + hi) / 2
        if mismatch(lo) * mismatch(mid) <= 0:
            hi = mid
        else:
            lo = mid
    return (lo + hi) / 2


l2 = balance()
t1, t2 = periods(0.594)
slope = (periods(0.594 + 1e-6)[1] - periods(0.594 - 1e-6)[1]) / 2e-6
print("balance at L2 = %.6f m, where T = %.6f s = 2 pi sqrt(P / g) = %.6f s"
      % (l2, periods(l2)[1], 2 * math.pi * math.sqrt(P / G)))
print("at the best step, 0.594 m: T2 = %.6f s, T2 - T1 = %.2g s" % (t2, t2 - t1))
print("dT2/dL2 there: %.3f s/m; the step's %.2g m off the balance makes %.2g s"
      % (slope, 0.594 - l2, slope * (0.594 - l2)))
print("pi as 3.14159265 instead: %.2g s" % (t2 - periods(0.594, 3.14159265)[1]))
