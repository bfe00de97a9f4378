#!/usr/bin/env bash
# Usage: scripts/main_job.sh BIN_DIR OUT_DIR
# Runs every built program of the suite on its default inputs, each in a
# folder of its own under OUT_DIR, draws each Data file as a PNG beside it
# (with gnuplot), and tells where the files went.
# OUT_DIR must be new, empty, or the OUT_DIR of an earlier main job (it
# holds the file .numlab-main-job); anything else is refused, untouched,
# with status 2. In an earlier job's folder only the programs' own folders
# are replaced. A second main job into a folder that one is using is
# refused with status 2. NUMLAB_GNUPLOT names the gnuplot to use; set
# empty, none.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
# shellcheck source=scripts/output_folder.sh
source "$root/scripts/output_folder.sh"
read_arguments 2 2 -- "$@"
bin=$(plain_path "${arguments[0]}")
[ -d "$bin" ] || usage_error "BIN_DIR '${arguments[0]}' is not a folder"
bin=$(cd "$bin" && pwd)
claim_output_folder "${arguments[1]}"
out=$(cd "$(plain_path "${arguments[1]}")" && pwd)
failures=0
gnuplot=${NUMLAB_GNUPLOT-$(command -v gnuplot || true)}

# run PROGRAM INPUT DATA_FILE... : one program, its standard input (text, or
# @FILE for a file's contents), the Data files it must leave behind.
run() {
  local program=$1 input=$2
  shift 2
  local dir="$out/$program"
  rm -rf "$dir"
  if [ ! -x "$bin/$program" ]; then
    echo "$program: not built (it needs ROOT, which was not found), skipped"
    return
  fi
  mkdir "$dir"
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
