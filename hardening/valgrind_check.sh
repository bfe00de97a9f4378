#!/usr/bin/env bash
# Runs one command under valgrind's memcheck, in a fresh folder, with the
# given text on standard input. Fails on any memcheck error and on any leak
# (definite, indirect or possible), or with --errors-only on errors alone
# (for programs whose libraries keep memory until exit by design). Options
# of the form --suppressions=FILE go to valgrind.
# Usage: valgrind_check.sh [--errors-only] [--suppressions=FILE] INPUT COMMAND [ARGS...]
set -euo pipefail
leaks=(--leak-check=full --show-leak-kinds=definite,indirect,possible
       --errors-for-leak-kinds=definite,indirect,possible)
options=()
while [[ $1 == --* ]]; do
  case $1 in
    --errors-only) leaks=(--leak-check=no) ;;
    --suppressions=*) options+=("$1") ;;
    *) echo "valgrind_check.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
input=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '%b' "$input" | valgrind --quiet --error-exitcode=99 "${leaks[@]}" ${options[@]+"${options[@]}"} "$@" >stdout.txt
if [ "${leaks[0]}" = --leak-check=no ]; then
  echo "memcheck: no errors (leaks not counted) in $*"
else
  echo "memcheck: no errors and no leaks in $*"
fi
