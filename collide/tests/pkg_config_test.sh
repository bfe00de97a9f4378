#!/usr/bin/env bash
# Builds the outside consumer against an installed collide with nothing but
# pkg-config's flags (and any CXXFLAGS and LDFLAGS given), then runs it.
# Usage: pkg_config_test.sh PREFIX SOURCE WORK
set -euo pipefail
prefix=$1 source=$2 work=$3
mkdir -p "$work"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name collide.pc | head -n 1)")
# shellcheck disable=SC2046,SC2086  # flags are meant to split into words
c++ -O2 -DNDEBUG ${CXXFLAGS:-} "$source" $(pkg-config --cflags --libs collide) \
  ${LDFLAGS:-} -o "$work/consumer"
"$work/consumer"
