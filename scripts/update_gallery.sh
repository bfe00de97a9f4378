#!/usr/bin/env bash
# Copies the main job's plots that programs.txt marks with * into
# docs/gallery for the README. Run scripts/run.sh first.
# Usage: update_gallery.sh [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/out}
mkdir -p "$root/docs/gallery"
# shellcheck source=scripts/read_programs.sh
source "$root/scripts/read_programs.sh"
for program in "${programs[@]}"; do
  read -ra plots <<<"${program_plots[$program]}"
  for ((k = 0; k + 2 < ${#plots[@]}; k++)); do
    if [[ ${plots[k]} == *.dat && ${plots[k + 2]} == '*' ]]; then
      name=${plots[k]%.dat}
      cp "$out/$program/$name.png" "$root/docs/gallery/$program-$name.png"
    fi
  done
done
ls "$root/docs/gallery"
