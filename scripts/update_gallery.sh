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
  for data in ${program_gallery[$program]}; do
    cp "$out/$program/${data%.dat}.png" "$root/docs/gallery/$program-${data%.dat}.png"
  done
done
ls "$root/docs/gallery"
