#!/usr/bin/env python3
"""How many inner bins of a gaussian_errors.dat histogram (centroid 0,
sigma 1) lie more than one error bar from the count the normal distribution
expects. For Poisson counts with large means about a third should.
Usage: histogram_misses.py FILE SAMPLES
"""
import math
import sys

rows = [[float(v) for v in line.split()] for line in open(sys.argv[1])]
samples = int(sys.argv[2])
cdf = lambda x: 0.5 * math.erfc(-x / math.sqrt(2))
inner = rows[1:-1]  # the end bins also hold everything beyond them
off = sum(abs(n - samples * (cdf(lo + 0.08) - cdf(lo))) > e for lo, n, e in inner)
print(off, "of", len(inner), "bins lie more than one error bar away")
