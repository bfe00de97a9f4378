#!/usr/bin/env bash
# The scripts' command lines, and the main job's output folder:
#   - every script answers --help with its usage and status 0, and refuses
#     an unknown option with one line and status 2, both before any work
#     (stand-ins for the commands they would run record any call);
#   - main_job.sh and run.sh write only into a new or empty folder, or one
#     an earlier main job made; a folder or file of the user's is refused
#     with status 2 and left exactly as it was.
# Usage: scripts_arguments.sh SCRIPTS_DIR WORK
set -euo pipefail
scripts=$(cd "$1" && pwd) work=$2
rm -rf "$work"
mkdir -p "$work/stubs" "$work/bin"
calls=$work/calls.log
: >"$calls"
for command in apt-get sudo dpkg-query cmake ctest ninja gnuplot pip python3; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\nexit 1\n' "$command" "$calls" >"$work/stubs/$command"
  chmod +x "$work/stubs/$command"
done

failed=0 passed=0
check() {  # what, condition...
  if "${@:2}"; then
    passed=$((passed + 1))
  else
    echo "FAILED: $1"
    failed=$((failed + 1))
  fi
}
# stubbed SCRIPT ARG... : runs a script with the stand-ins first on PATH;
# sets status, out and err.
stubbed() {
  set +e
  PATH="$work/stubs:$PATH" bash "$@" >"$work/out" 2>"$work/err"
  status=$?
  set -e
  out=$(cat "$work/out") err=$(cat "$work/err")
}
lines() { [ -z "$1" ] && echo 0 || wc -l <<<"$1"; }
no_calls() { [ ! -s "$calls" ]; }

for script in "$scripts"/*.sh; do
  [ -x "$script" ] || continue  # the files that scripts source
  name=$(basename "$script")
  for help in --help -h; do
    stubbed "$script" "$help"
    check "$name $help: status 0, got $status" test "$status" -eq 0
    check "$name $help: prints its usage" grep -q "^Usage: scripts/$name" <<<"$out"
    check "$name $help: runs nothing ($(cat "$calls"))" no_calls
  done
  stubbed "$script" --no-such-option
  check "$name --no-such-option: status 2, got $status" test "$status" -eq 2
  check "$name --no-such-option: one line on standard error, got $(lines "$err")" test "$(lines "$err")" -eq 1
  check "$name --no-such-option: names the option" grep -q -- "--no-such-option" <<<"$err"
  check "$name --no-such-option: runs nothing ($(cat "$calls"))" no_calls
  : >"$calls"
done

# The folder cases. The BIN_DIR is empty, so that the main job runs no
# program: what is under test is only where it writes.
snapshot() { (cd "$1" && find . -printf '%p %y %s %m %l\n' | sort && find . -type f -exec md5sum {} + | sort); }
user=$work/user
mkdir -p "$user/Documents/thesis"
echo "chapter 1" >"$user/Documents/thesis/draft.tex"
echo "notes" >"$user/Documents/notes.txt"
echo "a file" >"$user/file.txt"
ln -s "$user/Documents" "$user/link"
before=$(snapshot "$user")

for case in "Documents" "file.txt" "link"; do
  for script in main_job.sh run.sh; do
    if [ "$script" = main_job.sh ]; then set -- "$work/bin" "$user/$case"; else set -- "$user/$case"; fi
    stubbed "$scripts/$script" "$@"
    check "$script into the user's $case: status 2, got $status" test "$status" -eq 2
    check "$script into the user's $case: one line on standard error, got $(lines "$err")" \
      test "$(lines "$err")" -eq 1
    check "$script into the user's $case: builds nothing ($(cat "$calls"))" no_calls
    check "$script into the user's $case: the user's files are as they were" \
      test "$(snapshot "$user")" = "$before"
    : >"$calls"
  done
done
# An operand that starts with -, after --: a folder, refused like any other.
mkdir -p "$user/-x" && echo keep >"$user/-x/keep"
stubbed "$scripts/main_job.sh" -- "$work/bin" "$user/-x"
check "main_job.sh -- BIN -x: status 2, got $status" test "$status" -eq 2
check "main_job.sh -- BIN -x: the file is kept" test "$(cat "$user/-x/keep")" = keep

# A relative folder whose name starts with -, after --: made, marked, and
# taken again, as BIN_DIR too; run.sh claims it before it builds.
mkdir -p "$work/dashes/-bin"
in_dashes() { (cd "$work/dashes" && PATH="$work/stubs:$PATH" bash "$@" >"$work/out" 2>&1); }
check "main_job.sh -- -bin -weird: a new folder -weird is taken" in_dashes "$scripts/main_job.sh" -- -bin -weird
check "and marked as the main job's" test -f "$work/dashes/-weird/.numlab-main-job"
check "main_job.sh -- -bin -weird: taken again" in_dashes "$scripts/main_job.sh" -- -bin -weird
in_dashes "$scripts/run.sh" -- -weird2 || true  # the stand-in apt-get stops it in setup
check "run.sh -- -weird2 claims the folder -weird2 ($(cat "$work/out"))" \
  test -f "$work/dashes/-weird2/.numlab-main-job"

# Two main jobs into one folder: the second, started while the first runs,
# is refused with one line and status 2, and the first finishes untouched.
# The first's only program waits until the test lets it go.
mkdir -p "$work/slow"
cat >"$work/slow/random_boxmuller" <<SLOW
#!/bin/sh
for i in \$(seq 600); do [ -e "$work/go" ] && break; sleep 0.05; done
echo 0.5 >random_dist.dat
SLOW
chmod +x "$work/slow/random_boxmuller"
NUMLAB_GNUPLOT='' bash "$scripts/main_job.sh" "$work/slow" "$work/shared" >"$work/first.out" 2>&1 &
first=$!
for i in $(seq 600); do [ -e "$work/shared/.numlab-main-job" ] && break; sleep 0.05; done
set +e
NUMLAB_GNUPLOT='' bash "$scripts/main_job.sh" "$work/slow" "$work/shared" >"$work/out" 2>"$work/err"
status=$?
set -e
touch "$work/go"
set +e
wait "$first"
first_status=$?
set -e
check "a second main job into a folder in use: status 2, got $status" test "$status" -eq 2
check "a second main job: one line, got '$(cat "$work/err")'" \
  test "$(cat "$work/err")" = "main_job.sh: another run is using $work/shared"
check "the first main job finishes, got status $first_status: $(cat "$work/first.out")" \
  test "$first_status" -eq 0
check "the first main job's table is whole" test "$(cat "$work/shared/random_boxmuller/random_dist.dat")" = 0.5

# New, empty and earlier folders are taken.
job() { bash "$scripts/main_job.sh" "$work/bin" "$1" >"$work/out" 2>&1; }
check "a new, nested folder is taken" job "$work/new/nested"
check "and marked as the main job's" test -f "$work/new/nested/.numlab-main-job"
mkdir "$work/empty"
check "an empty folder is taken" job "$work/empty"
mkdir -p "$work/earlier/random_expo"
touch "$work/earlier/.numlab-main-job" "$work/earlier/random_expo/stale.dat"
echo "mine" >"$work/earlier/readme.txt"
check "an earlier job's folder is taken again" job "$work/earlier"
check "its program folders are replaced" test ! -e "$work/earlier/random_expo/stale.dat"
check "what else it holds is kept" test "$(cat "$work/earlier/readme.txt")" = mine

# run.sh takes a relative OUT_DIR from where it is called, not from the
# repository: the stand-in apt-get then stops it in setup.
mkdir "$work/caller"
(cd "$work/caller" && PATH="$work/stubs:$PATH" bash "$scripts/run.sh" relative >/dev/null 2>&1) || true
check "run.sh takes a relative OUT_DIR from the caller's folder" test -f "$work/caller/relative/.numlab-main-job"
check "and not from the repository" test ! -e "$scripts/../relative"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
