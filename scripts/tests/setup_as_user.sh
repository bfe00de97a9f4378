#!/usr/bin/env bash
# scripts/setup.sh run by an ordinary user: with every Debian package
# reported missing (a stand-in dpkg-query), it must install them through
# sudo (a stand-in that records its command) and say so; with no sudo at
# all, it must stop with status 1 and say what to do. Runs as `nobody`, so
# it needs root to start; anyone else skips it.
# Usage: setup_as_user.sh SETUP_SCRIPT WORK
set -euo pipefail
setup=$1 work=$2
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then
  echo "SKIPPED: needs root and setpriv to run setup.sh as nobody"
  exit 0
fi
rm -rf "$work"
mkdir -p "$work/bin" "$work/home"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho "$*" >>"%s/sudo.log"\n' "$work" >"$work/bin/sudo"
chmod -R a+rwX "$work"
chmod a+x "$work/bin/dpkg-query" "$work/bin/sudo"

as_nobody() {  # PATH, then the script's output on standard output
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env PATH="$1" HOME="$work/home" ROOT_DIR=/ROOT-is-named-so-not-installed bash "$setup" 2>&1
}

failed=0
check() {  # what, condition...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failed=$((failed + 1)); fi
}

out=$(as_nobody "$work/bin:$PATH") || true
check "says it uses sudo" grep -q "not root, so Debian's packages are installed with sudo" <<<"$out"
check "updates the package lists through sudo" grep -qs "apt-get update" "$work/sudo.log"
check "installs GoogleTest through sudo" grep -qs "apt-get install .*libgtest-dev" "$work/sudo.log"

# No sudo: the same PATH without the stand-in sudo, and no real one on it.
mkdir -p "$work/nosudo"
cp "$work/bin/dpkg-query" "$work/nosudo/"
for tool in bash env sh id dirname python3 g++ cmake ninja pkg-config gnuplot help2man valgrind \
            clang++ gfortran grep; do
  ln -sf "$(command -v "$tool")" "$work/nosudo/$tool" 2>/dev/null || true
done
set +e
out=$(as_nobody "$work/nosudo")
status=$?
set -e
check "without sudo it stops with status 1" test "$status" -eq 1
check "and says how to go on" grep -q "run this script as root, or install them with apt-get" <<<"$out"
echo "$((5 - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
