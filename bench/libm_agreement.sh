#!/usr/bin/env bash
# Builds bench/libm_agreement.cpp with g++ (glibc's libm) and with MinGW-w64
# (its own libm), runs both (the second under wine) and compares:
#   - chunks whose result bits differ: the libraries disagree somewhere there;
#   - the hashes of what the programs show of those results (six-digit text,
#     comparisons' outcomes): they must be the same;
#   - "near" lines, the evaluations within one ulp of changing what is shown.
# With --count, the results themselves are written and compared one by one:
# how many differ, of how many (PAIRS should then be a few million).
# Usage: bench/libm_agreement.sh [--count] [PAIRS [FIRST]]
#        (default: a whole period, half an hour on two cores; FIRST skips
#        the pairs before it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${TMPDIR:-/tmp}/numlab-libm-agreement
mkdir -p "$work"
sources=("$root/bench/libm_agreement.cpp" "$root/sampling/rand_lcg.cpp" "$root/sampling/pgaus.cpp")
flags=(-std=c++17 -O2 -ffp-contract=off -I"$root/sampling")
g++ "${flags[@]}" "${sources[@]}" -o "$work/linux"
x86_64-w64-mingw32-g++-posix "${flags[@]}" -static "${sources[@]}" -o "$work/windows.exe"
export WINEPREFIX=${WINEPREFIX:-$work/wine} WINEDEBUG=-all
count=no
if [ "${1:-}" = --count ]; then count=yes; shift; fi
pairs=${1:-1073741823}
first=${2:-0}
dump_linux=() dump_windows=()
if [ "$count" = yes ]; then
  rm -rf "$work/linux.bits" "$work/windows.bits"
  mkdir -p "$work/linux.bits" "$work/windows.bits"
  dump_linux=("$work/linux.bits") dump_windows=("$work/windows.bits")
fi
"$work/linux" "$pairs" "$first" "${dump_linux[@]}" >"$work/linux.txt" &
wine "$work/windows.exe" "$pairs" "$first" "${dump_windows[@]}" | tr -d '\r' >"$work/windows.txt"
wait
if [ "$count" = yes ]; then
  echo "results whose bits differ, of all results, and the largest difference in ulps:"
  python3 - "$work" <<'PY'
import array, pathlib, sys
work = pathlib.Path(sys.argv[1])
for linux in sorted((work / "linux.bits").glob("*.bin")):
    a, b = array.array("q"), array.array("q")
    a.frombytes(linux.read_bytes())
    b.frombytes((work / "windows.bits" / linux.name).read_bytes())
    # Doubles of one sign are ordered as their bit patterns are.
    gaps = [abs(x - y) for x, y in zip(a, b) if x != y]
    print(f"  {linux.stem}: {len(gaps)} of {len(a)}, at most {max(gaps, default=0)} ulp")
PY
fi
for kind in chunk text near; do
  for side in linux windows; do { grep "^$kind " "$work/$side.txt" || true; } | sort >"$work/$side.$kind"; done
done
echo "quantity: chunks whose bits differ / chunks; near lines (Linux, Windows)"
for q in $(awk '{print $2}' "$work/linux.chunk" | sort -u); do
  total=$(grep -c " $q " "$work/linux.chunk")
  differ=$(diff <(grep " $q " "$work/linux.chunk") <(grep " $q " "$work/windows.chunk") | grep -c '^<' || true)
  near_l=$(grep -c " $q " "$work/linux.near" || true)
  near_w=$(grep -c " $q " "$work/windows.near" || true)
  echo "$q: $differ / $total; $near_l, $near_w"
done
if diff "$work/linux.text" "$work/windows.text" >/dev/null; then
  echo "what the programs show: the same on both ($(wc -l <"$work/linux.text") chunks)"
else
  echo "what the programs show differs in these chunks:"
  diff "$work/linux.text" "$work/windows.text" || true
  exit 1
fi
