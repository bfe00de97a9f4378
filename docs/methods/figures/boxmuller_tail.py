#!/usr/bin/env python3
"""Where random_boxmuller's lower tail ends, found by trying every state.

A sample is 1 + 0.3 sqrt(2t) cos(2 pi u2), t = -ln(1 - u1), where u2 is the
state after u1: u2 = 16807 u1 mod 1. A sample below 1 - 4 sigma needs a
radius sqrt(2t) above 4, so t > 8 and 1 - u1 < e^-8: every state with that
is tried here (about 720,000), which covers every sample that could lie
below 1 - 4 sigma over the generator's whole period. Prints the lowest.
"""
import math

M = 2147483647
lowest, at = 2.0, 0
for state in range(math.ceil(M * (1 - math.exp(-8))), M):
    u1 = state / M
    u2 = (16807 * state) % M / M
    t = -math.log(1.0 - u1)
    x = math.cos((3.14159265 * 2) * u2) * math.pow(((0.3 * 2) * 0.3) * t, 0.5) + 1.0
    if x < lowest:
        lowest, at = x, state
print("lowest sample over the whole period: %g (1 - %.4g sigma), from the state %d"
      % (lowest, (1 - lowest) / 0.3, at))
print("its second deviate: u2 = %.6f, so cos(2 pi u2) is close to -1" % ((16807 * at) % M / M))
