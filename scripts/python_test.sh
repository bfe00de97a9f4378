#!/usr/bin/env bash
# Usage: scripts/python_test.sh [--bench]
# The Python module: a fresh virtual environment in build/python-venv, the
# module built and installed into it by pip from ./collide (nanobind and
# scikit-build-core come from the Python package index as its build
# requirements), then its tests and the Python gas example's under pytest.
# With --bench, the benchmark of a call from Python against the same step
# called from C++ instead of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
read_arguments 0 0 --bench -- "$@"
venv=$root/build/python-venv
rm -rf "$venv"
python3 -m venv "$venv"
# The module with its test hooks (collide._hooks), which a user's install
# leaves out.
"$venv/bin/pip" install -q --disable-pip-version-check \
  --config-settings=cmake.define.COLLIDE_PYTHON_HOOKS=ON "$root/collide[test,examples]"
# Run from inside the environment, so that `import collide` finds the
# installed module, not the source folder.
cd "$venv"
if has_option --bench; then
  exec bin/python "$root/bench/python_colider.py"
fi
# Nothing written into the source tree: no cache of pytest's, no bytecode.
export PYTHONDONTWRITEBYTECODE=1
exec bin/python -m pytest -q -p no:cacheprovider "$root/collide/python/tests"
