#!/usr/bin/env bash
# Every program of programs.txt that this build made (ROOT's are left out
# where it was built without ROOT), run from the reference build and from
# this one on the same inputs: the main job's, and the inputs whose output
# depends most on the C++ library (not-a-number lines, nan and 0x10 in
# mean's input), and requests refused with status 2. Standard output and every file written must be the same,
# byte for byte.
# Usage: same_output.sh REFERENCE_BIN BIN WORK [EMULATOR...]
# With an emulator (wine), this build's programs are run through it, found
# as NAME or NAME.exe.
set -euo pipefail
reference=$(realpath -m "$1") bin=$(realpath -m "$2") work=$(realpath -m "$3")
shift 3
emulator=("$@")
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/read_programs.sh
source "$root/scripts/read_programs.sh"
if [ ! -x "$reference/runge" ]; then
  echo "SKIPPED: no reference build at $reference"
  exit 0
fi

cases=()  # "program|input", the input's answers separated by blanks
for program in "${programs[@]}"; do
  [[ ${program_input[$program]} == @* ]] && continue
  cases+=("$program|${program_input[$program]//$'\n'/ }")
done
cases+=("runge|1 0 0" "runge|0 -1 1" "random_reject|0" "random_reject|-3" "root_step|2000"
        "mean|" "mean|1 nan 3" "mean|2 0x10 3" "mean|3-4 1.5x" "mean|7 1e-999 2.5e2 1e999 5")
# The dialogue tests' inputs: small and refused counts for every sampler,
# runge's small tables, root_step's division sizes, mean's short inputs.
for sampler in "${programs[@]}"; do
  [ "${program_folder[$sampler]}" = sampling ] || continue
  cases+=("$sampler|1" "$sampler|40" "$sampler|-3" "$sampler|abc" "$sampler|99999999999")
done
cases+=("runge|0 -5 5" "runge|1 3 3" "runge|2 -1 3" "runge|11 -5 5" "runge|3 2 -2" "runge|3 1.5 1.5"
        "runge|2 low 3")
for d in 1 2 100 1400 3333 5000 5001 10000 -1 -2147483647 0 ten 99999999999 2.5; do
  cases+=("root_step|$d")
done
cases+=("mean|1 2 x 3" "mean|-1e300 1e300" "mean|1 1 2" "mean|words only" "mean|4 inf" "mean|2 1e999 5")
# Requests refused with status 2: a range or histogram beyond its number
# type, an answer or a number past 4096 characters; and a wide range that
# is still tabulated.
too_long=$(printf '%04097d' 1)
cases+=("runge|3 -1.7e308 1.7e308" "runge|4 0 1.7976931348623157e308" "runge|3 -8e307 8e307"
        "gaussian_errors|10 0 1e308" "random_expo|$too_long" "runge|5 0 $too_long" "mean|3 $too_long"
        "mean|3 ${too_long:1}")

passed=0 failed=0 skipped=0
rm -rf "$work"
for entry in "${cases[@]}"; do
  program=${entry%%|*} input=${entry#*|}
  this_exe=$bin/$program
  [ -f "$this_exe.exe" ] && this_exe=$this_exe.exe
  if [ ! -f "$this_exe" ]; then
    skipped=$((skipped + 1))
    continue
  fi
  case_dir=$program-$((passed + failed))
  for side in reference this; do
    dir=$work/$side/$case_dir
    mkdir -p "$dir"
    run=("$reference/$program")
    [ "$side" = this ] && run=("${emulator[@]}" "$this_exe")
    # From a file, not a pipe: a program that reads nothing would leave the
    # pipe's writer to a SIGPIPE.
    # shellcheck disable=SC2086  # the answers are meant to split into lines
    printf '%s\n' $input >"$dir.input"
    (cd "$dir" && status=0 && { "${run[@]}" <"$dir.input" >stdout.txt 2>stderr.txt || status=$?; } &&
      echo "$status" >status.txt)
  done
  if diff -r "$work/reference/$case_dir" "$work/this/$case_dir" >/dev/null; then
    passed=$((passed + 1))
  else
    echo "FAILED: $program with input '$input' differs from the reference build:"
    diff -r "$work/reference/$case_dir" "$work/this/$case_dir" | head -n 10 || true
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
