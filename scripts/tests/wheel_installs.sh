#!/usr/bin/env bash
# The wheel of scripts/wheel.sh, installed as a user without a compiler
# would: into a fresh environment that has numpy, with nothing to build
# (--no-index --only-binary=:all:), then run with a PATH that holds no
# compiler. It must be a manylinux wheel with py.typed and the stubs, give
# a step's collisions, and leave out the test hooks.
# Usage: wheel_installs.sh WHEEL_DIR WORK
set -euo pipefail
wheels=$1 work=$(realpath -m "$2")
wheel=$(ls "$wheels"/collide-*manylinux*.whl)
rm -rf "$work"
python3 -m venv "$work/venv"
"$work/venv/bin/pip" install -q --disable-pip-version-check numpy
"$work/venv/bin/pip" install -q --disable-pip-version-check --no-index --only-binary=:all: "$wheel"
cd "$work"
env -i PATH="$work/venv/bin" HOME="$work" "$work/venv/bin/python" - <<'PYTHON'
import importlib.util
import shutil
from pathlib import Path

import numpy as np

import collide

assert shutil.which("cc") is None and shutil.which("c++") is None, "a compiler is on PATH"
package = Path(collide.__file__).parent
assert (package / "py.typed").is_file() and (package / "__init__.pyi").is_file()
assert importlib.util.find_spec("collide._hooks") is None, "the test hooks shipped"
rng = np.random.default_rng(1)
velocity = rng.normal(size=(1000, 3))
population, start, cross_ref = collide.sort_cells(rng.integers(0, 10, 1000).astype(np.int32), 10)
n = collide.colider(velocity, np.full(10, 5.0), rng.random(10), 0.002, population, start,
                    cross_ref, key=1, step=0, model=collide.VSS(0.75, 1.0, 1.5))
assert n > 0
print(f"collide {collide.__version__} from the wheel: {n} collisions")
PYTHON
