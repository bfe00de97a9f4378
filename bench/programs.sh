#!/usr/bin/env bash
# Whole-program benchmark: each sampler at 1,000,000 points, gaussian_errors
# at 10,000,000 samples and poly_deriv at 1,000,000 points, output to files,
# each timed against its floor (floor_lcg.c, floor_root.cpp: the same
# generator calls and the same write(2) calls with the same bytes, nothing
# else). Program and floor alternate, RUNS pairs each; each ratio reported,
# in wall time and in CPU time (user and system), is the median of the
# pairs' ratios.
# Usage: bench/programs.sh [RUNS [PROGRAM...]]   (after: cmake --preset bench &&
#        cmake --build --preset bench); with programs named, those alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/bench/bin
floors=$root/build/bench/bench
runs=${1:-5}
shift $(($# > 0 ? 1 : 0))
only=("$@")
# wanted NAME: whether NAME is to be timed.
wanted() {
  [ ${#only[@]} -eq 0 ] && return 0
  local name
  for name in "${only[@]}"; do [ "$name" = "$1" ] && return 0; done
  return 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# seconds COMMAND... : the wall time and the CPU time (user and system) of
# one run, in seconds, standard input from ./input. The previous runs'
# output is written back to disk first, so that no run pays for another's.
seconds() {
  sync
  local start=$EPOCHREALTIME end cpu
  # `times` in the subshell reports its children's user and system time.
  cpu=$( ("$@" <input >stdout.txt; times) | tail -n 1)
  end=$EPOCHREALTIME
  echo "$start $end $cpu" | awk '{
    split($3, u, /[ms]/); split($4, s, /[ms]/)
    printf "%.4f %.4f", $2 - $1, u[1] * 60 + u[2] + s[1] * 60 + s[2]}'
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# compare NAME INPUT DATA_FILES FLOOR_ARGS... : the reference run gives the
# floor its bytes; then RUNS alternating timed pairs.
compare() {
  local name=$1 input=$2 data_files=$3
  shift 3
  wanted "$name" || return 0
  mkdir -p "$work/$name/ref" "$work/$name/program" "$work/$name/floor"
  for dir in ref program floor; do printf '%b' "$input" >"$work/$name/$dir/input"; done
  (cd "$work/$name/ref" && "$bin/$name" <input >stdout.txt)
  local ratios=() cpu_ratios=() program_times=() floor_times=() program_cpu=() floor_cpu=()
  for ((i = 0; i < runs; i++)); do
    local p f
    read -r -a p <<<"$(cd "$work/$name/program" && seconds "$bin/$name")"
    read -r -a f <<<"$(cd "$work/$name/floor" && seconds "$@")"
    program_times+=("${p[0]}") program_cpu+=("${p[1]}")
    floor_times+=("${f[0]}") floor_cpu+=("${f[1]}")
    ratios+=("$(awk -v p="${p[0]}" -v f="${f[0]}" 'BEGIN {printf "%.4f", p / f}')")
    cpu_ratios+=("$(awk -v p="${p[1]}" -v f="${f[1]}" 'BEGIN {printf "%.4f", p / f}')")
  done
  for file in stdout.txt $data_files; do
    cmp -s "$work/$name/program/$file" "$work/$name/floor/$file" ||
      { echo "$name: the floor wrote different bytes to $file" >&2; exit 1; }
  done
  printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$name" \
    "$(printf '%s\n' "${program_times[@]}" | median)" \
    "$(printf '%s\n' "${floor_times[@]}" | median)" \
    "$(printf '%s\n' "${ratios[@]}" | median)" \
    "$(printf '%s\n' "${program_cpu[@]}" | median)" \
    "$(printf '%s\n' "${floor_cpu[@]}" | median)" \
    "$(printf '%s\n' "${cpu_ratios[@]}" | median)"
}

# Generator steps random_reject took: from state 1 to its last printed state.
reject_steps() {
  python3 - "$work/random_reject/ref/stdout.txt" <<'PY'
import sys
lines = open(sys.argv[1]).read().splitlines()
target = int([l for l in lines if l.startswith("Random number: ")][-1].split(" = ")[1])
state, steps = 1, 0
while state != target or steps % 2:
    state = state * 16807 % 2147483647
    steps += 1
print(steps)
PY
}

# Deviates a sampler draws per sample; random_reject's count is worked out
# from its own run.
deviates_per_sample() {
  case $1 in
    random_boxmuller | random_sum2) echo 2 ;;
    random_clt) echo 48 ;;
    random_expo) echo 1 ;;
    *) echo "bench/programs.sh: how many deviates does $1 draw per sample?" >&2; exit 1 ;;
  esac
}

points=1000000
echo "| program | wall (s) | floor wall (s) | wall ratio | CPU (s) | floor CPU (s) | CPU ratio |"
echo "|---|---|---|---|---|---|---|"
# The samplers of programs.txt, each against the generator floor.
# shellcheck source=scripts/read_programs.sh
source "$root/scripts/read_programs.sh"
for name in "${programs[@]}"; do
  [ "${program_folder[$name]}" = sampling ] && wanted "$name" || continue
  ref=$work/$name/ref
  if [ "$name" = random_reject ]; then
    mkdir -p "$ref"
    printf '%b' "$points\n" >"$ref/input"
    (cd "$ref" && "$bin/$name" <input >stdout.txt)
    steps=$(reject_steps)
  else
    steps=$((points * $(deviates_per_sample "$name")))
  fi
  compare "$name" "$points\n" random_dist.dat \
    "$floors/floor_lcg" "$ref/stdout.txt" "$ref/random_dist.dat" random_dist.dat "$steps"
done

if [ -x "$floors/floor_root" ]; then
  samples=10000000
  ref=$work/gaussian_errors/ref
  compare gaussian_errors "$samples\n0\n1\n" gaussian_errors.dat \
    "$floors/floor_root" gaussian_errors "$ref/stdout.txt" "$ref/gaussian_errors.dat" "$samples"
  ref=$work/poly_deriv/ref
  compare poly_deriv "$points\n0\n4\n" "poly.dat deriv.dat" \
    "$floors/floor_root" poly_deriv "$ref/stdout.txt" "$ref/poly.dat" "$ref/deriv.dat" "$points"
  # Start-up that ROOT adds: gaussian_errors against runge, both with nothing to do.
  [ ${#only[@]} -eq 0 ] || exit 0
  mkdir -p "$work/startup" && cd "$work/startup"
  printf '0\n0\n1\n' >input
  g=() r=()
  for ((i = 0; i < 21; i++)); do
    g+=("$(seconds "$bin/gaussian_errors" | cut -d' ' -f1)")
    r+=("$(seconds "$bin/runge" | cut -d' ' -f1)")
  done
  gm=$(printf '%s\n' "${g[@]}" | median)
  rm_=$(printf '%s\n' "${r[@]}" | median)
  awk -v g="$gm" -v r="$rm_" 'BEGIN {printf "\nROOT start-up: gaussian_errors %.1f ms, runge %.1f ms, ROOT adds %.1f ms (medians of 21)\n", g * 1000, r * 1000, (g - r) * 1000}'
fi
