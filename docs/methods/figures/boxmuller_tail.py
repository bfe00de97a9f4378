#!/usr/bin/env python3
"""random_boxmuller's tails over the generator's whole period, state by state.

A sample is 1 + 0.3 sqrt(2t) cos(2 pi u2), t = -ln(1 - u1), where u2 is the
state after u1: u2 = 16807 u1 mod 1. A sample more than 4 sigma from the mean
needs a radius sqrt(2t) above 4, so t > 8 and 1 - u1 < e^-8: every state with
that is tried here as u1 (about 720,000), which covers every sample beyond
4 sigma that any state of the period starts. Prints the lowest sample, then
the counts beyond 4.5, 5 and 6 sigma on each side against a normal's
expectation for as many samples, with its Poisson spread.

With --histogram, prints instead the tail histogram: for each bin of 0.1
sigma beyond 4 sigma on either side, its lower edge in sigma (negative
below the mean), the count, and the normal's expectation.
"""
import math
import sys

M = 2147483647
SIGMA = 0.3
STATES = M - 1  # every state of the period, 1 to 2^31 - 2


def tail_samples():
    """(z, state) for every state whose sample lies beyond 4 sigma."""
    for state in range(math.ceil(M * (1 - math.exp(-8))), M):
        u1 = state / M
        u2 = (16807 * state) % M / M
        t = -math.log(1.0 - u1)
        x = math.cos((3.14159265 * 2) * u2) * math.pow(((SIGMA * 2) * SIGMA) * t, 0.5) + 1.0
        z = (x - 1.0) / SIGMA
        if abs(z) > 4:
            yield z, x, state


def normal_beyond(k):
    """A normal's chance of lying more than k sigma above its mean."""
    return 0.5 * math.erfc(k / math.sqrt(2))


samples = list(tail_samples())
if sys.argv[1:] == ["--histogram"]:
    width = 0.1
    counts = {}
    for z, _, _ in samples:
        edge = math.floor(abs(z) / width) * width
        key = round(-edge - width if z < 0 else edge, 1)
        counts[key] = counts.get(key, 0) + 1
    # The side below the mean, then a blank line, then the side above.
    for side in (-1, 1):
        for i in range(69, 39, -1) if side < 0 else range(40, 70):
            edge = i * width
            expected = STATES * (normal_beyond(edge) - normal_beyond(edge + width))
            lower = round(-edge - width, 1) if side < 0 else round(edge, 1)
            print("%.1f %d %.6g" % (lower, counts.get(lower, 0), expected))
        if side < 0:
            print()
    sys.exit(0)

z, lowest, at = min(samples)
u2 = (16807 * at) % M / M
print("lowest sample over the whole period: %.6g (1 - %.6g sigma), from the state %d"
      % (lowest, -z, at))
print("its second deviate: u2 = %.6f, where cos(2 pi u2) = %.5f" % (u2, math.cos(2 * math.pi * u2)))
print("counts over all %d states as u1, against a normal (mean +- Poisson spread):" % STATES)
for k in (4.5, 5, 6):
    expected = STATES * normal_beyond(k)
    below = sum(1 for z, _, _ in samples if z < -k)
    above = sum(1 for z, _, _ in samples if z > k)
    print("  beyond %g sigma: %5d below, %5d above; a normal %.1f +- %.1f each side"
          % (k, below, above, expected, math.sqrt(expected)))
