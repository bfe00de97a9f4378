#!/usr/bin/env bash
# Builds the outside consumers against an installed collide with nothing but
# pkg-config's flags (and any CXXFLAGS and LDFLAGS given), then runs them:
# the one that supplies rand(long&), with <collide/colider.h> and with the
# older "colider.h", the one that hands colider a generator instead, the C
# program, and the Fortran one with the module the package ships.
# Then the guide's own example, built by the guide's own pkg-config commands
# as they stand, with $HOME/.local/numlab standing for the install.
# Usage: pkg_config_test.sh PREFIX SOURCE_DIR WORK
set -euo pipefail
prefix=$1 source=$2 work=$3
guide=$source/../../README.md
rm -rf "$work"
mkdir -p "$work"
build() {  # output, source, extra flags
  # shellcheck disable=SC2046,SC2086  # flags are meant to split into words
  "${CXX:-c++}" -O2 -DNDEBUG=1 ${CXXFLAGS:-} "${@:3}" "$source/$2" $(pkg-config --cflags --libs collide) \
    ${LDFLAGS:-} -o "$work/$1"
  "$work/$1"
}
(
  PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name collide.pc | head -n 1)")
  export PKG_CONFIG_PATH
  build consumer consumer.cpp
  build consumer_flat consumer.cpp -DCOLLIDE_FLAT_INCLUDE
  build generator_consumer generator_consumer.cpp
  # A C program, compiled and linked by the C compiler alone.
  # shellcheck disable=SC2046
  "${CC:-cc}" -O2 "$source/c_consumer.c" $(pkg-config --cflags --libs collide) ${LDFLAGS:-} -o "$work/c_consumer"
  "$work/c_consumer"
  # A Fortran program, compiled with the module the package ships; its .mod
  # lands in the work folder.
  if command -v "${FC:-gfortran}" >/dev/null; then
    # shellcheck disable=SC2046
    (cd "$work" && "${FC:-gfortran}" -O2 "$(pkg-config --variable=fortran_module collide)" \
      "$source/fortran_consumer.f90" $(pkg-config --libs collide) ${LDFLAGS:-} -o fortran_consumer)
    "$work/fortran_consumer"
  fi
)

# The guide's first C++ block is my_simulation.cpp; its shell block that
# calls pkg-config is run as written, in a home of its own.
mkdir -p "$work/home/.local" "$work/guide"
ln -s "$(cd "$prefix" && pwd)" "$work/home/.local/numlab"
awk '/^```cpp$/ {keep = 1; next} /^```$/ && keep {exit} keep' "$guide" >"$work/guide/my_simulation.cpp"
commands=$(awk '/^```sh$/ {block = ""; keep = 1; next}
                /^```$/ && keep {if (block ~ /pkg-config --cflags/) {printf "%s", block; exit}; keep = 0}
                keep {block = block $0 "\n"}' "$guide")
[ -n "$commands" ] || { echo "no pkg-config commands in $guide" >&2; exit 1; }
unset PKG_CONFIG_PATH
cd "$work/guide"
# shellcheck disable=SC2086  # flags are meant to split into words
c++() { command "${CXX:-c++}" ${CXXFLAGS:-} "$@" ${LDFLAGS:-}; }
HOME=$work/home eval "$commands"
./my_simulation
