# Where the main job may write, for the scripts that source this file:
#   claim_output_folder DIR
# takes DIR for the main job when it does not exist yet, is empty, or holds
# the mark of an earlier main job, and leaves the mark in it; the job then
# replaces only the folders it writes. Any other DIR (a folder of the
# user's, a file) is refused with one line and status 2, untouched: the
# scripts never delete what they did not make.
#
# The folder is locked, before anything is written into it, until the
# script ends: a second main job into the same folder is refused with
# "another run is using DIR" and status 2, and the first finishes
# untouched. The lock is flock's on the folder itself, so it writes nothing
# there and ends with the process however it ends. run.sh takes it for the
# main_job.sh it starts, which then finds it held by its parent
# (NUMLAB_OUTPUT_LOCKED, the folder's physical path).

output_mark=.numlab-main-job

claim_output_folder() {
  local given=$1 dir
  dir=$(plain_path "$1")
  if [ -e "$dir" ] || [ -L "$dir" ]; then
    if [ ! -d "$dir" ]; then
      echo "$script_name: '$given' is not a folder; give a new or empty folder" >&2
      exit 2
    fi
  else
    mkdir -p "$dir"
  fi
  local physical
  physical=$(cd "$dir" && pwd -P)
  if [ "${NUMLAB_OUTPUT_LOCKED-}" != "$physical" ] && command -v flock >/dev/null; then
    exec {output_lock}<"$dir"
    if ! flock -n "$output_lock"; then
      echo "$script_name: another run is using $given" >&2
      exit 2
    fi
    export NUMLAB_OUTPUT_LOCKED=$physical
  fi
  if [ ! -f "$dir/$output_mark" ] &&
    [ -n "$(find -H "$dir" -mindepth 1 -maxdepth 1 -print -quit 2>&1)" ]; then
    echo "$script_name: '$given' holds files the main job did not write; give a new or empty folder" >&2
    exit 2
  fi
  : >>"$dir/$output_mark"
}
