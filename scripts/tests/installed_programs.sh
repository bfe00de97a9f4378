#!/usr/bin/env bash
# Runs programs from an installed prefix the way a user would: from a fresh
# folder, with no LD_LIBRARY_PATH, and checks what they print. A ROOT-linked
# program is run too when it was installed.  Usage: installed_programs.sh PREFIX
set -euo pipefail
prefix=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
unset LD_LIBRARY_PATH

expect() {  # what, expected, actual
  if [ "$2" != "$3" ]; then
    printf '%s: expected\n%s\ngot\n%s\n' "$1" "$2" "$3" >&2
    exit 1
  fi
}

out=$(printf '2\n' | "$prefix/bin/random_sum2")
expect random_sum2 "Enter the number of data points to generate:
Random number: 0 = 282475249 = 0.131546
Random number: 1 = 984943658 = 1.21426" "$out"
expect random_dist.dat $'0.131546\n1.21426' "$(cat random_dist.dat)"

if [ -x "$prefix/bin/gaussian_errors" ]; then
  printf '4\n2\n0\n' | "$prefix/bin/gaussian_errors" >/dev/null
  expect gaussian_errors.dat "2 4 2" "$(head -n 1 gaussian_errors.dat)"
  echo "gaussian_errors ran from $prefix/bin"
else
  echo "gaussian_errors is not installed (no ROOT): not run"
fi

for script in plot_samples.gp plot_poly.gp plot_deriv.gp plot_gaussian_errors.gp plot_runge.gp plot_triad.gp; do
  [ -f "$prefix/share/numlab/plots/$script" ] || { echo "missing plot script $script" >&2; exit 1; }
done
echo "2 passed, 0 failed"
