#!/usr/bin/env bash
# The edges of a Windows build's programs, run through an emulator (wine),
# where the suite's process tests cannot start them:
#   - a Data file that another run is writing is refused and left alone
#     (LockFileEx), and the first run's table comes out whole;
#   - standard output whose reader has gone ends the run with status 1 and
#     "cannot write standard output: Broken pipe" (Windows has no SIGPIPE);
#   - a full device (Linux's /dev/full, seen by wine) and a closed standard
#     output end it the same way, with the system's reason;
#   - so does a closed standard input, at the first answer.
# Usage: windows_edges.sh BIN WORK EMULATOR...
set -euo pipefail
bin=$(realpath -m "$1") work=$(realpath -m "$2")
shift 2
run=("$@")
sampler=$bin/random_expo.exe

failed=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}

rm -rf "$work"
mkdir -p "$work"
cd "$work"

# The first run holds the lock while it waits for its answer on a FIFO.
mkfifo answer
("${run[@]}" "$sampler" <answer >first.out 2>first.err; echo $? >first.status) &
exec 3>answer
for _ in $(seq 300); do
  [ -s first.out ] && break
  sleep 0.1
done
status=0
printf '5\n' | "${run[@]}" "$sampler" >second.out 2>second.err || status=$?
check "a second run exits with status 1" [ "$status" = 1 ]
check "it says the file is being written by another run" \
  grep -q '^random_expo: random_dist.dat is being written by another run' second.err
check "it writes no sample" [ ! -s second.out ]
printf '3\n' >&3
exec 3>&-
wait
check "the first run completes" [ "$(cat first.status)" = 0 ]
check "its table holds its 3 lines" [ "$(wc -l <random_dist.dat)" = 3 ]

status=0
printf '100000\n' | "${run[@]}" "$sampler" 2>gone.err | head -n 1 >/dev/null || true
check "a reader gone is reported as a broken pipe" \
  grep -qx 'random_expo: cannot write standard output: Broken pipe' gone.err

status=0
printf '5\n' | "${run[@]}" "$sampler" >/dev/full 2>full.err || status=$?
check "a full standard output ends the run with status 1" [ "$status" = 1 ]
check "and says so" grep -q '^random_expo: cannot write standard output: ' full.err

status=0
printf '5\n' | "${run[@]}" "$sampler" 2>closed.err >&- || status=$?
check "a closed standard output ends the run with status 1" [ "$status" = 1 ]
check "and says so" grep -q '^random_expo: cannot write standard output: ' closed.err

status=0
"${run[@]}" "$sampler" <&- >unread.out 2>unread.err || status=$?
check "a closed standard input ends the run with status 1" [ "$status" = 1 ]
check "and says so" grep -q '^random_expo: cannot read standard input: ' unread.err

[ "$failed" = 0 ]
