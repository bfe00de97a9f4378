#!/usr/bin/env bash
# Runs programs from an installed prefix the way a user would: from a fresh
# folder, with no LD_LIBRARY_PATH, and checks what they print; checks that
# every installed program has its manual page and every plot script is
# there; and, when run as root, installs the build once more into a prefix
# of its own and runs a program from it as an unprivileged user, a
# ROOT-linked one included, as any user of a shared machine would.
# Counts the checks it ran and names those it could not.
# Usage: installed_programs.sh PREFIX BUILD_DIR
set -euo pipefail
prefix=$1 build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
unset LD_LIBRARY_PATH
passed=0 failed=0 skipped=0

check() {  # what, expected, actual
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    printf '%s: expected\n%s\ngot\n%s\n' "$1" "$2" "$3" >&2
    failed=$((failed + 1))
  fi
}
skip() {  # what, why
  echo "skipped: $1 ($2)"
  skipped=$((skipped + 1))
}

sum2_expected="Enter the number of data points to generate:
Random number: 0 = 282475249 = 0.131546
Random number: 1 = 984943658 = 1.21426"
check random_sum2 "$sum2_expected" "$(printf '2\n' | "$prefix/bin/random_sum2")"
check random_dist.dat $'0.131546\n1.21426' "$(cat random_dist.dat)"

# centroid 2, sigma 0: every sample is the centroid and counts into bin 0.
if [ -x "$prefix/bin/gaussian_errors" ]; then
  printf '4\n2\n0\n' | "$prefix/bin/gaussian_errors" >/dev/null
  check gaussian_errors.dat "2 4 2" "$(head -n 1 gaussian_errors.dat)"
else
  skip gaussian_errors "not installed: built without ROOT"
fi

# Every program of programs.txt, and each of its plot scripts.
# shellcheck source=scripts/read_programs.sh
source "$root/scripts/read_programs.sh"
scripts=()
for program in "${programs[@]}"; do
  if [[ ${program_root[$program]} == yes && ! -x $prefix/bin/$program ]]; then
    skip "$program" "not installed: built without ROOT"
    continue
  fi
  for script in ${program_scripts[$program]}; do scripts+=("${script##*/}"); done
  check "$program installed" yes "$([ -x "$prefix/bin/$program" ] && echo yes || echo no)"
  page=$prefix/share/man/man1/$program.1
  if [ -f "$page" ]; then
    check "$program.1 NAME line" "$program \\- $("$prefix/bin/$program" --help | sed -n 2p)" \
      "$(sed -n '/^\.SH NAME/{n;p;q}' "$page")"
  else
    check "$program.1" "a manual page" "none at $page"
  fi
done

for script in $(printf '%s\n' "${scripts[@]}" | sort -u); do
  check "$script" yes "$([ -f "$prefix/share/numlab/plots/$script" ] && echo yes || echo no)"
done

# A shared install: root installs into a prefix every user can read, and
# an unprivileged user runs the programs from a folder of their own.
if [ "$(id -u)" -ne 0 ]; then
  skip "run by another user" "only root can start a program as another user"
else
  shared=$(mktemp -d /tmp/numlab-shared-XXXXXX)
  user_dir=$(mktemp -d /tmp/numlab-user-XXXXXX)
  trap 'rm -rf "$work" "$shared" "$user_dir"' EXIT
  chmod 755 "$shared"
  chown nobody "$user_dir"
  cmake --install "$build" --prefix "$shared" >/dev/null
  as_nobody() { (cd "$user_dir" && setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"); }
  check "random_sum2 run by nobody" "$sum2_expected" \
    "$(printf '2\n' | as_nobody "$shared/bin/random_sum2" 2>&1)"
  if [ -x "$shared/bin/gaussian_errors" ]; then
    printf '4\n2\n0\n' | as_nobody "$shared/bin/gaussian_errors" >"$user_dir/out.txt" 2>&1 || true
    check "gaussian_errors run by nobody" "2 4 2" \
      "$(head -n 1 "$user_dir/gaussian_errors.dat" 2>/dev/null || cat "$user_dir/out.txt")"
  else
    skip "gaussian_errors run by nobody" "not installed: built without ROOT"
  fi
fi

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
