#!/usr/bin/env bash
# Runs every built program of the suite on its default inputs, each in a
# folder of its own under the output directory, and tells where the files
# went. Usage: main_job.sh BIN_DIR OUT_DIR
set -euo pipefail

bin=$(cd "$1" && pwd)
out=$2
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
failures=0

# run PROGRAM INPUT DATA_FILE... : one program, its standard input (text, or
# @FILE for a file's contents), the Data files it must leave behind.
run() {
  local program=$1 input=$2
  shift 2
  if [ ! -x "$bin/$program" ]; then
    echo "$program: not built (it needs ROOT, which was not found), skipped"
    return
  fi
  local dir="$out/$program"
  mkdir -p "$dir"
  if [[ $input == @* ]]; then
    cp "${input#@}" "$dir/input.txt"
  else
    printf '%s' "$input" >"$dir/input.txt"
  fi
  if ! (cd "$dir" && "$bin/$program" <input.txt >stdout.txt); then
    echo "$program: FAILED (see $dir)"
    failures=$((failures + 1))
    return
  fi
  local files=""
  for data in "$@"; do
    if [ ! -s "$dir/$data" ]; then
      echo "$program: FAILED, $data is missing or empty"
      failures=$((failures + 1))
      return
    fi
    files+=" $dir/$data"
  done
  local shown=${input%$'\n'}
  [ -n "$shown" ] || shown="(no input)"
  echo "$program <<< ${shown//$'\n'/ } -> ${files# }${files:+ and }console $dir/stdout.txt"
}

samples=100000
run random_boxmuller "$samples"$'\n' random_dist.dat
run random_clt "$samples"$'\n' random_dist.dat
run random_expo "$samples"$'\n' random_dist.dat
run random_sum2 "$samples"$'\n' random_dist.dat
run random_reject "$samples"$'\n' random_dist.dat
run poly_deriv 1000$'\n'0$'\n'4$'\n' poly.dat deriv.dat
run gaussian_errors 100000$'\n'0$'\n'1$'\n' gaussian_errors.dat
run runge 101$'\n'-5$'\n'5$'\n' runge.dat
run root_step 100$'\n'
run root_bisect ""
run pendulum ""
run triad "" triad.dat
# The mean of the exponential samples: close to 1.
run mean "@$out/random_expo/random_dist.dat"
# The reference gas simulation that links the collision module.
run gas_relax "" gas_kurtosis.dat gas_speeds.dat

if [ "$failures" -ne 0 ]; then
  echo "$failures program(s) failed" >&2
  exit 1
fi
echo "All output is under $out"
