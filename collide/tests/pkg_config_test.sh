#!/usr/bin/env bash
# Builds the outside consumers against an installed collide with nothing but
# pkg-config's flags (and any CXXFLAGS and LDFLAGS given), then runs them:
# the one that supplies rand(long&), with <collide/colider.h> and with the
# older "colider.h", and the one that hands colider a generator instead.
# Usage: pkg_config_test.sh PREFIX SOURCE_DIR WORK
set -euo pipefail
prefix=$1 source=$2 work=$3
mkdir -p "$work"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name collide.pc | head -n 1)")
build() {  # output, source, extra flags
  # shellcheck disable=SC2046,SC2086  # flags are meant to split into words
  c++ -O2 -DNDEBUG=1 ${CXXFLAGS:-} "${@:3}" "$source/$2" $(pkg-config --cflags --libs collide) \
    ${LDFLAGS:-} -o "$work/$1"
  "$work/$1"
}
build consumer consumer.cpp
build consumer_flat consumer.cpp -DCOLLIDE_FLAT_INCLUDE
build generator_consumer generator_consumer.cpp
