#!/usr/bin/env bash
# The methods pages (docs/methods/) against the programs: every command a
# page shows in a console block, with its output, must print just that
# (methods_pages.py). The numbers are read from the pages themselves, so a
# page that drifts from the programs fails here. Then the check is shown to
# bite: a copy of the pages with one quoted number changed must fail.
# Usage: methods_pages.sh BIN WORK
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
pages=$(cd "$here/../../docs/methods" && pwd)
bin=$(realpath -m "$1") work=$(realpath -m "$2")
rm -rf "$work"
mkdir -p "$work"

python3 "$here/methods_pages.py" "$bin" "$work/pages" "$pages"/*.md

# d = 2000's 77 steps, worked by hand on the roots page, quoted as 78.
mkdir "$work/changed"
cp "$pages"/*.md "$work/changed/"
sed -i 's/^Total number of steps = 77$/Total number of steps = 78/' "$work/changed/roots.md"
if ! grep -q '^Total number of steps = 78$' "$work/changed/roots.md"; then
  echo "FAILED: the roots page no longer quotes d = 2000's 77 steps to change" >&2
  exit 1
fi
if python3 "$here/methods_pages.py" "$bin" "$work/changed-run" "$work/changed/roots.md" \
    >"$work/changed.log"; then
  echo "FAILED: a changed number on the roots page went unnoticed" >&2
  exit 1
fi
grep -q '^FAILED: roots.md:.*echo 2000 | root_step' "$work/changed.log" || {
  echo "FAILED: the changed page failed, but not on the changed number:" >&2
  cat "$work/changed.log" >&2
  exit 1
}
echo "ok: a number changed on the roots page fails the check"
