#!/usr/bin/env bash
# Usage: scripts/run.sh [OUT_DIR]
# Quick start, command 1: installs what is missing, builds the programs and
# their manual pages (no test binary: scripts/test.sh builds those), and
# runs every program on its default inputs into OUT_DIR (out/ in the
# repository when none is given). OUT_DIR must be new, empty, or the folder
# of an earlier run; any other folder is refused, untouched, with status 2,
# before anything is built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
# shellcheck source=scripts/output_folder.sh
source "$root/scripts/output_folder.sh"
read_arguments 0 1 -- "$@"
out=${arguments[0]:-$root/out}
claim_output_folder "$out"
out=$(cd "$(plain_path "$out")" && pwd)
cd "$root"
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset programs
scripts/main_job.sh build/default/bin "$out"
