#!/usr/bin/env bash
# The mean of the first n values of a Data file, for 48 values of n spaced
# evenly on a log scale from 1 to 100000, one "n mean" line each, taken
# with the mean program on PATH.
# Usage: mean_running.sh FILE
set -euo pipefail
for n in $(awk 'BEGIN {for (k = 0; k < 48; k++) {n = int(10 ^ (5 * k / 47) + 0.5); if (n != last) print n; last = n}}'); do
  echo "$n $(head -n "$n" "$1" | mean)"
done
