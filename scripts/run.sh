#!/usr/bin/env bash
# Quick start, command 1: installs what is missing, builds everything, and
# runs every program on its default inputs into out/ (or the folder given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default
scripts/main_job.sh build/default/bin "${1:-out}"
