#!/usr/bin/env bash
# colider now against colider at an earlier commit, side by side in one run:
# the same benchmark source built against each commit's collide folder, the
# two run alternately RUNS times, each figure the median of its runs.
# Usage: bench/colider_compare.sh [BASE [RUNS]]
#   BASE  the commit to compare with; by default the one before the
#         allocation-free collision step (collide/colider_step.cpp) came in
#   RUNS  alternating runs of each, 5 by default
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
first=$(git log --diff-filter=A --format=%H -- collide/colider_step.cpp | tail -n 1)
base=${1:-$first^}
runs=${2:-5}
work=$root/build/colider-compare
rm -rf "$work/base-tree"
mkdir -p "$work"
git worktree prune
git worktree add -q --detach "$work/base-tree" "$base"
trap 'git worktree remove --force "$work/base-tree"' EXIT

for side in now base; do
  tree=$root
  [ "$side" = base ] && tree=$work/base-tree
  cmake -S bench/colider_compare -B "$work/$side" -G Ninja -DCOLLIDE_SOURCE_DIR="$tree/collide" \
    -DGAS_SOURCE_DIR="$tree/examples/gas" >/dev/null
  cmake --build "$work/$side" >/dev/null
done

cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
echo "$(date -u +%F), $(nproc) cores, ${cpu:-unknown CPU}; now $(git rev-parse --short HEAD) against $(git rev-parse --short "$base"), $runs runs each"
results=$work/results.txt
: >"$results"
for run in $(seq "$runs"); do
  for side in now base; do
    for generator in cheap minstd; do
      "$work/$side/colider_bench_$generator" --benchmark_format=csv 2>/dev/null |
        awk -F, -v side="$side" -v gen="$generator" '
          NR == 1 { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); column[$i] = i }; next }
          { name = $1; gsub(/"/, "", name)
            print side, gen, name, $column["per_candidate"] * 1e9, $column["per_collision"] * 1e9 }' >>"$results"
    done
  done
done

# One row a benchmark: medians of ns per candidate and per collision, and
# how much less time now takes per collision.
sort -k3,3 -k2,2 "$results" | awk '
  function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { key = $3 " (" $2 ")"; cand[key, $1] = cand[key, $1] " " $4; coll[key, $1] = coll[key, $1] " " $5; keys[key] = 1 }
  END {
    printf "%-28s %12s %12s %12s %12s %9s\n", "benchmark", "base ns/cand", "now ns/cand", "base ns/coll", "now ns/coll", "less"
    for (key in keys) {
      bc = median(cand[key, "base"]); nc = median(cand[key, "now"])
      bl = median(coll[key, "base"]); nl = median(coll[key, "now"])
      printf "%-28s %12.1f %12.1f %12.1f %12.1f %8.1f%%\n", key, bc, nc, bl, nl, 100 * (1 - nl / bl)
    }
  }' | sort
