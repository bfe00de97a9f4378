#!/usr/bin/env bash
# Usage: scripts/update_gallery.sh [OUT_DIR]
# Copies the main job's plots into docs/gallery for the README (those that
# programs.txt marks with *) and the methods pages (all of them), and draws
# the methods pages' figures of the programs that write no Data file from
# their standard output, and those drawn from scripts of their own
# (docs/methods/figures/). Run scripts/run.sh first
# (OUT_DIR is its folder, out/ by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
read_arguments 0 1 -- "$@"
out=${arguments[0]:-$root/out}
[ -d "$(plain_path "$out")" ] || usage_error "'$out' is not a folder; run scripts/run.sh first"
out=$(cd "$(plain_path "$out")" && pwd)
gallery=$root/docs/gallery
figures=$root/docs/methods/figures
mkdir -p "$gallery"
# shellcheck source=scripts/read_programs.sh
source "$root/scripts/read_programs.sh"
for program in "${programs[@]}"; do
  for data in ${program_data[$program]}; do
    [ -f "$out/$program/${data%.dat}.png" ] || continue
    cp "$out/$program/${data%.dat}.png" "$gallery/$program-${data%.dat}.png"
  done
done
gnuplot -e "data='$out/pendulum/stdout.txt'; out='$gallery/pendulum-periods.png'" "$figures/pendulum_periods.gp"
gnuplot -e "data='$out/root_bisect/stdout.txt'; out='$gallery/root_bisect-steps.png'" "$figures/root_bisect_steps.gp"
# The mean of the first n of random_expo's samples, n log-spaced from 1 to
# 100000.
running=$(mktemp)
trap 'rm -f "$running"' EXIT
PATH="$root/build/default/bin:$PATH" "$figures/mean_running.sh" "$out/random_expo/random_dist.dat" >"$running"
gnuplot -e "data='$running'; out='$gallery/mean-running.png'" "$figures/mean_running.gp"
# Box-Muller's tails over the generator's whole period against a normal.
python3 "$figures/boxmuller_tail.py" --histogram >"$running"
gnuplot -e "data='$running'; out='$gallery/boxmuller-tail.png'" "$figures/boxmuller_tail.gp"
# Runge's phenomenon, equally spaced points against Chebyshev nodes, and the
# largest errors against N.
python3 "$figures/runge_interpolation.py" --curves "$running" >/dev/null
gnuplot -e "data='$running'; out='$gallery/runge-interpolation.png'" "$figures/runge_interpolation.gp"
python3 "$figures/runge_interpolation.py" --errors "$running"
gnuplot -e "data='$running'; out='$gallery/runge-errors.png'" "$figures/runge_errors.gp"
# Bisection, secant and Newton's method closing in on one root.
python3 "$figures/root_methods.py" --errors "$running"
gnuplot -e "data='$running'; out='$gallery/root-errors.png'" "$figures/root_errors.gp"
# The triad's spectrum, plain and through a Hann window.
python3 "$figures/triad_spectrum.py" --spectrum "$running" "$out/triad/triad.dat"
gnuplot -e "data='$running'; out='$gallery/triad-spectrum.png'" "$figures/triad_spectrum.gp"
# The mixture's temperature difference against exp(-0.32 tau).
gnuplot -e "data='$out/gas_mixture/gas_mixture.dat'; out='$gallery/mixture-difference.png'" "$figures/mixture_difference.gp"
# poly_deriv's derivative error against the step, where ROOT's programs were
# built.
if [ -x "$root/build/default/bin/poly_deriv" ]; then
  theory=$(mktemp)
  python3 "$figures/deriv_noise.py" --table >"$theory"
  PATH="$root/build/default/bin:$PATH" bash "$figures/deriv_errors.sh" >"$running"
  gnuplot -e "theory='$theory'; measured='$running'; out='$gallery/poly_deriv-errors.png'" "$figures/deriv_errors.gp"
  rm -f "$theory"
fi
ls "$gallery"
