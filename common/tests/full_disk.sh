#!/usr/bin/env bash
# A real full disk: each program that writes a large Data file runs on a
# 64 kB tmpfs, which takes part of the line that overflows it (/dev/full
# never does). The run must end with status 1 and one line, whatever the
# number of its Data files, and leave a Data file of whole lines only, the
# first lines of a full run's file.
# Needs a tmpfs it may mount (root); anyone else skips it.
# Usage: full_disk.sh BIN_DIR WORK
set -euo pipefail
bin=$(realpath "$1") work=$(realpath -m "$2")
umount "$work/disk" 2>/dev/null || true  # left by a run that was killed
rm -rf "$work"
mkdir -p "$work/disk" "$work/full"
if ! mount -t tmpfs -o size=64k tmpfs "$work/disk" 2>/dev/null; then
  echo "SKIPPED: cannot mount a tmpfs here (it needs root)"
  exit 0
fi
trap 'umount "$work/disk"' EXIT

failed=0 passed=0
check() {  # what, condition...
  if "${@:2}"; then passed=$((passed + 1)); else echo "FAILED: $1"; failed=$((failed + 1)); fi
}
# program | input | arguments | Data file | the files the one line names
cases=("random_expo|20000||random_dist.dat|random_dist.dat"
       "random_boxmuller|20000||random_dist.dat|random_dist.dat"
       "runge|30000 0 1||runge.dat|runge.dat" "triad|||triad.dat|triad.dat"
       "poly_deriv|20000 0 4||poly.dat|poly.dat and deriv.dat"
       "gas_relax||2000 400|gas_kurtosis.dat|gas_kurtosis.dat and gas_speeds.dat")
for entry in "${cases[@]}"; do
  IFS='|' read -r program input arguments data named <<<"$entry"
  [ -x "$bin/$program" ] || continue  # poly_deriv needs ROOT
  rm -rf "${work:?}/disk/"* "${work:?}/full/"*
  printf '%s\n' $input >"$work/input.txt"
  # shellcheck disable=SC2086 # the arguments are words
  (cd "$work/full" && "$bin/$program" $arguments <"$work/input.txt" >/dev/null)
  if [ "$program" = gas_relax ]; then
    # Its files are small: the disk filled first, all but one page, so that
    # both of them fail.
    cat /dev/zero >"$work/disk/filler" 2>/dev/null || true
    truncate -s "-4096" "$work/disk/filler"
  fi
  set +e
  # shellcheck disable=SC2086
  (cd "$work/disk" && "$bin/$program" $arguments <"$work/input.txt" >/dev/null 2>"$work/err.txt")
  status=$?
  set -e
  size=$(stat -c %s "$work/disk/$data")
  check "$program: status 1, got $status" test "$status" -eq 1
  # However many of its files fail, one line says so.
  check "$program: says why in one line, $(cat "$work/err.txt")" \
    test "$(cat "$work/err.txt")" = "$program: cannot write $named: No space left on device"
  check "$program: some lines were written ($size bytes)" test "$size" -gt 0
  check "$program: the file ends with a whole line" test "$(tail -c 1 "$work/disk/$data" | od -An -c | tr -d ' ')" = '\n'
  check "$program: the file is the first lines of a full run's" \
    cmp -s -n "$size" "$work/disk/$data" "$work/full/$data"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
