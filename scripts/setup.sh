#!/usr/bin/env bash
# Installs what building and testing the suite needs, when it is missing, and
# reuses whatever is already there. Debian packages, installed as root.
set -euo pipefail

missing=()

need_command() {  # command, Debian package
  command -v "$1" >/dev/null 2>&1 || missing+=("$2")
}

need_package() {  # Debian package
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$1")
}

need_command g++ g++
need_command cmake cmake
need_command ninja ninja-build
need_package libgtest-dev

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these Debian packages are missing: ${missing[*]}" >&2
  echo "setup: run this script as root, or install them with apt-get" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
