#!/usr/bin/env bash
# poly_deriv's derivative error measured against the step: for N from 3 to
# 4000 points on [0, 4], one run each in a scratch folder, the rms of
# deriv.dat's values about the true derivative 3x^2 - 12x + 11. Prints
# "h rms" lines, which deriv_errors.gp draws beside deriv_noise.py --table.
# Needs poly_deriv on PATH.
#   bash deriv_errors.sh > measured.txt
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for n in 3 4 5 6 8 10 13 16 20 25 32 40 50 63 80 100 126 158 200 251 316 398 501 631 794 1000 1585 2512 4000; do
  printf '%s\n0\n4\n' "$n" | poly_deriv >/dev/null
  awk -v n="$n" '{d = $2 - (3*$1*$1 - 12*$1 + 11); s += d*d} END {printf "%.6g %.6g\n", 4 / n, sqrt(s / NR)}' deriv.dat
done
