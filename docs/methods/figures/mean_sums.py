#!/usr/bin/env python3
"""Three ways to average the same numbers, in double precision.

plain:       sum as mean does, x + sum, divided once at the end;
compensated: Kahan's summation, which carries each addition's rounding
             error into the next;
running:     m += (x - m) / k, which never forms the sum, so it cannot
             overflow where every value is finite.
"""
import sys


def plain(values):
    total = 0.0
    for x in values:
        total = x + total
    return total / len(values)


def compensated(values):
    total, carry = 0.0, 0.0
    for x in values:
        y = x - carry
        t = total + y
        carry = (t - total) - y
        total = t
    return total / len(values)


def running(values):
    m = 0.0
    for k, x in enumerate(values, 1):
        m += (x - m) / k
    return m


for text in sys.argv[1:]:
    values = [float(v) for v in text.split()]
    print("%-32s plain %-8.6g compensated %-8.6g running %.6g"
          % (text if len(text) <= 32 else text[:29] + "...", plain(values), compensated(values),
             running(values)))
