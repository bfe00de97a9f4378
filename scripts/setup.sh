#!/usr/bin/env bash
# Usage: scripts/setup.sh
# Installs what building and testing the suite needs, when it is missing, and
# reuses whatever is already there: Debian packages (installed as root), and
# ROOT from the Python package index in a virtual environment of its own.
#
# NUMLAB_ROOT_VENV  where ROOT's environment goes: for root, a system-wide
#                   folder every user can read (/usr/local/lib/numlab/root-venv),
#                   so that an install into a system prefix serves them all;
#                   for anyone else ~/.cache/numlab/root-venv
# NUMLAB_REQUIRE_ROOT=1  fail when ROOT cannot be had, instead of going on
#                        without the two programs that need it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/arguments.sh
source "$root/scripts/arguments.sh"
read_arguments 0 0 -- "$@"

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
need_package librandom123-dev  # Philox, for collide's per-cell streams
need_package libc++-dev         # the libcxx preset: clang++ with libc++,
need_package libc++abi-dev      # and GoogleTest built from Debian's sources
need_package googletest
need_command x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix  # the mingw preset
need_command wine wine            # runs the mingw preset's tests
need_command aarch64-linux-gnu-g++ g++-aarch64-linux-gnu  # the aarch64 preset
need_command qemu-aarch64 qemu-user                        # runs its tests
need_package wine64
need_command pkg-config pkgconf
need_command gnuplot gnuplot-nox  # plots of the Data files
need_command help2man help2man    # manual pages from each program's --help
need_command valgrind valgrind
need_command clang++ clang        # the libFuzzer target
need_command gfortran gfortran    # the Fortran program that calls collide
need_package libclang-rt-dev      # clang's fuzzer and sanitizer runtimes
need_package libopenmpi-dev       # gas_relax_mpi, the reference gas over MPI
need_command mpirun openmpi-bin
need_command python3 python3
python3 -c 'import venv, ensurepip' 2>/dev/null || missing+=(python3-venv)

if [ ${#missing[@]} -ne 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: these Debian packages are missing: ${missing[*]}" >&2
      echo "setup: run this script as root, or install them with apt-get" >&2
      exit 1
    fi
    echo "setup: not root, so Debian's packages are installed with sudo"
    as_root=(sudo)
  fi
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ROOT: a ROOT the user names (ROOT_DIR, CMAKE_PREFIX_PATH) or a working
# root-config is used as it is; otherwise ROOT's package from the Python
# package index goes into a virtual environment outside the source tree.
root_usable() {
  [ -n "${ROOT_DIR:-}" ] && return 0
  if command -v root-config >/dev/null 2>&1; then
    [ -f "$(root-config --incdir 2>/dev/null)/TRandom.h" ] && return 0
  fi
  [ -x "$venv/bin/python" ] &&
    "$venv/bin/python" -c 'import importlib.util as u, sys; sys.exit(u.find_spec("ROOT") is None)' 2>/dev/null
}

if [ "$(id -u)" -eq 0 ]; then
  venv=${NUMLAB_ROOT_VENV:-/usr/local/lib/numlab/root-venv}
else
  venv=${NUMLAB_ROOT_VENV:-$HOME/.cache/numlab/root-venv}
fi
if ! root_usable; then
  echo "setup: installing ROOT into $venv (about 240 MB to download)"
  # Readable by every user, whatever the caller's umask: the programs load
  # ROOT's libraries from here.
  if (umask 022 && python3 -m venv "$venv" && "$venv/bin/pip" install -q --pre ROOT); then
    echo "setup: ROOT installed"
  elif [ "${NUMLAB_REQUIRE_ROOT:-0}" = 1 ]; then
    echo "setup: ROOT could not be installed" >&2
    exit 1
  else
    echo "setup: ROOT could not be installed; poly_deriv and gaussian_errors will be left out" >&2
  fi
fi
