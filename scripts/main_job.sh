#!/usr/bin/env bash
# Runs every built program of the suite on its default inputs, each in a
# folder of its own under the output directory, draws each Data file as a PNG
# beside it (with gnuplot), and tells where the files went.
# Usage: main_job.sh BIN_DIR OUT_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "$1" && pwd)
out=$2
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
failures=0
# NUMLAB_GNUPLOT names the gnuplot to use; set empty, it stands for none.
gnuplot=${NUMLAB_GNUPLOT-$(command -v gnuplot || true)}

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
  local files="" data
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

# plot PROGRAM DATA_FILE SCRIPT : draws one Data file of a program that ran,
# with a plot script from the source tree, as a PNG beside it.
plot() {
  local program=$1 data=$2 script=$3
  local dir="$out/$program" png="${2%.dat}.png"
  [ -n "$gnuplot" ] && [ -f "$dir/$data" ] || return 0
  if (cd "$dir" && "$gnuplot" -e "data='$data'; out='$png'; program='$program'" "$root/$script" 2>gnuplot.log) &&
    [ -s "$dir/$png" ]; then
    rm -f "$dir/gnuplot.log"
    echo "    plot $dir/$png"
  else
    echo "$program: FAILED to plot $data (see $dir/gnuplot.log)"
    failures=$((failures + 1))
  fi
}

# Every program of programs.txt, in its order: mean averages the exponential
# samples (close to 1), gas_relax is the reference simulation that links the
# collision module.
# shellcheck source=scripts/read_programs.sh
source "$root/scripts/read_programs.sh"
for program in "${programs[@]}"; do
  input=${program_input[$program]}
  [[ $input == @* ]] && input="@$out/${input#@}"
  read -ra data_files <<<"${program_data[$program]}"
  read -ra plot_scripts <<<"${program_scripts[$program]}"
  run "$program" "$input" ${data_files[@]+"${data_files[@]}"}
  for k in "${!data_files[@]}"; do plot "$program" "${data_files[k]}" "${plot_scripts[k]}"; done
done

if [ -z "$gnuplot" ]; then
  echo "Plots skipped: gnuplot is not installed (scripts/setup.sh installs Debian's gnuplot-nox)."
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures program(s) failed" >&2
  exit 1
fi
echo "All output is under $out"
