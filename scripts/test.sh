#!/usr/bin/env bash
# Usage: scripts/test.sh [--quick]
# Quick start, command 2: installs what is missing, builds everything and runs
# the whole test suite:
#   1. every test of the default (Release) build;
#   2. the same build and tests with clang++, with clang++ and libc++, as
#      Windows executables (MinGW-w64) run under wine, and as Linux aarch64
#      executables run under qemu, whose programs' output must match g++'s
#      byte for byte; the same again with CMake's default generator, Unix
#      Makefiles;
#      then the Python module, built by pip into a fresh environment, and
#      its tests; and its manylinux wheel, installed where nothing is built;
#   3. valgrind's memcheck on the collision tests, the reference simulation
#      and one run of each program;
#   4. the sanitizer build (AddressSanitizer and UndefinedBehaviorSanitizer)
#      running every test again, plus 10,000 fuzzed inputs per program;
#   5. the libFuzzer target for colider (clang), for a bounded time;
#   6. a check that the source tree holds nothing the tests wrote.
# With --quick, step 1 alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
read_arguments 0 0 --quick -- "$@"
cd "$root"
scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

# Builds and test runs use every core this machine has.
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
export CMAKE_BUILD_PARALLEL_LEVEL CTEST_PARALLEL_LEVEL

step "default build and tests"
cmake --workflow --preset default
has_option --quick && exit 0

step "default build and tests with clang++"
cmake --workflow --preset clang

step "default build and tests with clang++ and libc++"
cmake --workflow --preset libcxx

step "Windows executables (MinGW-w64) and their tests under wine"
cmake --workflow --preset mingw

step "Linux aarch64 executables and their tests under qemu"
cmake --workflow --preset aarch64

step "default build and tests with Unix Makefiles"
cmake --workflow --preset makefiles

step "the Python module and its tests"
scripts/python_test.sh

step "the Python module as a manylinux wheel, installed with nothing to build"
scripts/wheel.sh build/wheelhouse
bash scripts/tests/wheel_installs.sh build/wheelhouse build/wheel-install

step "valgrind memcheck"
ctest --preset valgrind

step "sanitizer build, all tests and input fuzzing"
cmake --workflow --preset sanitize

step "libFuzzer on colider"
cmake --workflow --preset fuzz

step "the source tree holds nothing the tests wrote"
# build/ is every build's own; anything else new, tracked or ignored, was
# written into the source tree by a test.
stray=$(git status --porcelain --ignored | grep -v '^!! build/$' || true)
if [ -n "$stray" ]; then
  echo "the tests left files in the source tree:" >&2
  echo "$stray" >&2
  exit 1
fi
