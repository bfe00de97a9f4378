# Where the main job may write, for the scripts that source this file:
#   claim_output_folder DIR
# takes DIR for the main job when it does not exist yet, is empty, or holds
# the mark of an earlier main job, and leaves the mark in it; the job then
# replaces only the folders it writes. Any other DIR (a folder of the
# user's, a file) is refused with one line and status 2, untouched: the
# scripts never delete what they did not make.

output_mark=.numlab-main-job

claim_output_folder() {
  local dir=$1
  if [ -e "$dir" ] || [ -L "$dir" ]; then
    if [ ! -d "$dir" ]; then
      echo "$script_name: '$dir' is not a folder; give a new or empty folder" >&2
      exit 2
    fi
    if [ ! -f "$dir/$output_mark" ] &&
      [ -n "$(find -H "$dir" -mindepth 1 -maxdepth 1 -print -quit 2>&1)" ]; then
      echo "$script_name: '$dir' holds files the main job did not write; give a new or empty folder" >&2
      exit 2
    fi
  fi
  mkdir -p "$dir"
  : >>"$dir/$output_mark"
}
