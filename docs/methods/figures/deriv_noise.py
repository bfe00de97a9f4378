#!/usr/bin/env python3
"""What poly_deriv's derivative should scatter by, worked from its own grid.

poly_deriv puts N points x_i = i h on [0, 4], h = 4 / N, adds to the cubic a
Gaussian deviate of deviation s_i = sqrt|f(x_i)|, and writes the central
difference d_i = (f_{i+1} - f_{i-1}) / 2h at the N - 2 inner points. For the
cubic the difference is f'(x_i) + h^2 exactly (its third derivative is 6),
so d_i - f'(x_i) = h^2 + (e_{i+1} - e_{i-1}) / 2h, with e the noise: a bias
of h^2 and a noise of variance (s_{i+1}^2 + s_{i-1}^2) / 4h^2, neighbours
two apart sharing one deviate. Summed over the inner points, that gives the
expected mean square and, the deviates being Gaussian, its variance:

    Var(sum d^2) = 2 tr(C^2) + 4 h^4 (sum of the entries of C).

Prints, for each N given (100 and 1000 by default), the expected rms of
d_i - f'(x_i) and its spread for one run (its standard deviation, to first
order). With --table, prints instead "h rms bias noise" for N from 3 to
4000, the lines the derivative-error picture draws.
"""
import math
import struct
import sys


def single(v):
    """v rounded to a float, as the program stores it."""
    return struct.unpack("f", struct.pack("f", v))[0]


def expected(n):
    h = 4.0 / n
    var = []
    for i in range(n):
        x = single(i * h)
        f = single(((11 * x - 6) + -6 * x * x) + x * x * x)
        var.append(abs(f))  # s_i^2
    inner = range(1, n - 1)
    diagonal = [(var[i + 1] + var[i - 1]) / (4 * h * h) for i in inner]
    # d_i and d_{i+2} share the deviate at i + 1, with opposite signs.
    off = [-var[i + 1] / (4 * h * h) for i in range(1, n - 3)]
    bias = h * h
    count = len(diagonal)
    mean_square = sum(diagonal) / count + bias * bias
    trace = sum(c * c for c in diagonal) + 2 * sum(c * c for c in off)
    total = sum(diagonal) + 2 * sum(off)
    spread_of_sum = math.sqrt(2 * trace + 4 * bias * bias * total)
    rms = math.sqrt(mean_square)
    return h, rms, spread_of_sum / count / (2 * rms), bias, math.sqrt(sum(diagonal) / count)


if sys.argv[1:] == ["--table"]:
    for k in range(32):
        n = round(3 * (4000 / 3) ** (k / 31))
        h, rms, _, bias, noise = expected(n)
        print("%.6g %.6g %.6g %.6g" % (h, rms, bias, noise))
    sys.exit(0)
for n in [int(a) for a in sys.argv[1:]] or [100, 1000]:
    h, rms, spread, _, _ = expected(n)
    print("N = %d, h = %g: expected rms %.4g, spread of one run %.2g" % (n, h, rms, spread))
