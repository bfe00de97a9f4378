#!/usr/bin/env bash
# The numbers the methods pages (docs/methods/) quote from their "things to
# try": each command as the page gives it, run against this build's
# programs, must print what the page says. A page that drifts from the
# programs fails here.
# Usage: methods_pages.sh BIN WORK
set -euo pipefail
bin=$(realpath -m "$1") work=$(realpath -m "$2")
export PATH=$bin:$PATH
rm -rf "$work"
mkdir -p "$work"
cd "$work"

failed=0
expect() {  # expect PAGE WHAT EXPECTED ACTUAL
  if [ "$3" = "$4" ]; then
    echo "ok: $1: $2"
  else
    echo "FAILED: $1: $2: the page says '$3', the program gives '$4'"
    failed=1
  fi
}

# sampling.md
expect sampling "tries per point for a million" "Total number of tries: 4.78927e+06 Tries per point: 4.78927" \
  "$(echo 1000000 | random_reject | tail -n 1)"
echo 1000000 | random_clt >/dev/null
expect sampling "random_clt beyond 3" 0.00248 "$(awk '$1 > 3 || $1 < -3 {n++} END {print n / NR}' random_dist.dat)"

# roots.md
expect roots "root_bisect at 3, 37, 333, 1111" "3 7223 37 1167 333 743 1111 729" \
  "$(root_bisect | awk '$1 == 3 || $1 == 37 || $1 == 333 || $1 == 1111' | tr '\n' ' ' | sed 's/ $//')"
expect roots "root_step at 37" "Total number of steps = 1256" "$(echo 37 | root_step | tail -n 1)"
expect roots "root_step at 333" "Total number of steps = 840" "$(echo 333 | root_step | tail -n 1)"
expect roots "root_step at 2000" "Total number of steps = 77" "$(echo 2000 | root_step | tail -n 1)"
expect roots "root_step at 1400" "Found root at x = -2.4" "$(echo 1400 | root_step | sed -n 2p)"

# pendulum.md
expect pendulum "the crossing" "0.594 2.00509 2.00508" \
  "$(pendulum | awk 'NF == 3 && p != "" && ($2 - $3) * p < 0 {print} NF == 3 {p = $2 - $3}')"
expect pendulum "T2 - T1 at 0.5925 and 0.5955" "0.5925 -0.00013 0.5955 0.00014" \
  "$(pendulum | sed -n 371,387p | awk '$1 == 0.5925 || $1 == 0.5955 {printf "%s %s ", $1, $2 - $3}' | sed 's/ $//')"

# triad.md
triad >/dev/null
expect triad "the loudest moment" "0.023447 2.90539" \
  "$(awk '{a = $2 < 0 ? -$2 : $2} a > m {m = a; t = $1} END {print t, m}' triad.dat)"
expect triad "the repeat after 6400 samples" "$(sed -n 101p triad.dat | cut -d' ' -f2)" "$(sed -n 6501p triad.dat | cut -d' ' -f2)"

# mean.md
echo 1000 | random_expo >/dev/null
expect mean "mean of 1000 exponential samples" 0.967683 "$(mean <random_dist.dat)"
echo 100000 | random_expo >/dev/null
expect mean "means of the first 100, 10000, 100000" "1.08873 1.01302 0.999825" \
  "$(for n in 100 10000 100000; do head -n $n random_dist.dat | mean; done | tr '\n' ' ' | sed 's/ $//')"
expect mean "reading stops at nan" 1.5 "$(printf '1 2 nan 3' | mean)"
expect mean "reading stops beyond double" 5 "$(printf '5 1e999 7' | mean)"

# gas.md
expect gas "the default run" "collisions per particle and step in equilibrium: 0.195581 (hard-sphere theory: 0.195431)" \
  "$(gas_relax | tail -n 1)"
expect gas "its final kurtosis" "final kurtosis of a velocity component: 3.04131 (Maxwell-Boltzmann: 3)" \
  "$(gas_relax | sed -n 2p)"
expect gas "kurtosis passes 2.9 (20000)" 7.2209 "$(gas_relax >/dev/null && awk '$2 > 2.9 {print $1; exit}' gas_kurtosis.dat)"
gas_relax 2000 150 >/dev/null
expect gas "final kurtosis, 2000 particles" 3.04497 "$(tail -n 1 gas_kurtosis.dat | cut -d' ' -f2)"
gas_relax 200000 150 >/dev/null
expect gas "final kurtosis, 200000 particles" 3.0159 "$(tail -n 1 gas_kurtosis.dat | cut -d' ' -f2)"
expect gas "kurtosis passes 2.9 (200000)" 6.06363 "$(awk '$2 > 2.9 {print $1; exit}' gas_kurtosis.dat)"
expect gas "the mixture's final temperatures" "final temperatures: light 2.00409, heavy 1.99591 (common: 2)" \
  "$(gas_mixture | sed -n 2p)"
expect gas "the mixture's e-folding" 3.1978 \
  "$(gas_mixture >/dev/null && awk '($3 - $2) < 2 * exp(-1) {print $1; exit}' gas_mixture.dat)"

# series.md: ROOT's programs, where they were built
if [ -x "$bin/poly_deriv" ]; then
  printf '100\n0\n4\n' | poly_deriv >/dev/null
  expect series "derivative scatter, 100 points" 23.1573 \
    "$(awk '{d = $2 - (3*$1*$1 - 12*$1 + 11); s += d*d} END {print sqrt(s / NR)}' deriv.dat)"
  printf '1000\n0\n4\n' | poly_deriv >/dev/null
  expect series "derivative scatter, 1000 points" 202.439 \
    "$(awk '{d = $2 - (3*$1*$1 - 12*$1 + 11); s += d*d} END {print sqrt(s / NR)}' deriv.dat)"
fi
if [ -x "$bin/gaussian_errors" ]; then
  printf '100000\n0\n1\n' | gaussian_errors >/dev/null
  expect series "bins off by more than one error bar" "28 of 98 bins lie more than one error bar away" "$(python3 -c '
import math
rows = [[float(v) for v in line.split()] for line in open("gaussian_errors.dat")]
cdf = lambda x: 0.5 * math.erfc(-x / math.sqrt(2))
inner = rows[1:-1]
off = sum(abs(n - 100000 * (cdf(lo + 0.08) - cdf(lo))) > e for lo, n, e in inner)
print(off, "of", len(inner), "bins lie more than one error bar away")')"
fi

[ "$failed" = 0 ]
