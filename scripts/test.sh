#!/usr/bin/env bash
# Quick start, command 2: installs what is missing, builds everything and runs
# the whole test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
cmake --workflow --preset default
