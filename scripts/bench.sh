#!/usr/bin/env bash
# Usage: scripts/bench.sh [RUNS]
# Builds the benchmarks and runs them all: the kernels and colider (medians
# of 5 repetitions), then every whole program against its floor (medians of
# RUNS alternating pairs, 5 by default). Prints the date and the machine
# first, so that the figures can go into the README as they stand.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
read_arguments 0 1 -- "$@"
runs=${arguments[0]:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || usage_error "RUNS must be a whole number from 1, not '$runs'"
cd "$root"
scripts/setup.sh >/dev/null
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
echo "$(date -u +%F), $(nproc) cores, ${cpu:-unknown CPU}"
echo
medians=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
for kernels in kernels_bench colider_bench_cheap colider_bench_minstd models_bench; do
  echo "## $kernels"
  build/bench/bench/$kernels "${medians[@]}" 2>/dev/null | grep '_median'
  echo
done
echo "## colider called from Python against the same step called from C++"
scripts/python_test.sh --bench
echo
echo "## programs against their floors"
bench/programs.sh "$runs"
