# The command line of the suite's scripts, read the same way by each: a
# script sources this file and calls
#   read_arguments MIN MAX [OPTION...] -- "$@"
# before it does any work. Afterwards
#   arguments   the operands, in order
#   options     the options given, each once (test with has_option)
# --help (or -h) prints the script's usage, its first comment block, and
# exits 0. An unknown option, or too few or too many operands, is refused
# with one line on standard error and status 2. A lone -- ends the options,
# so that a folder whose name starts with - can still be given; such a name
# is used as ./NAME (plain_path), since mkdir, cd, rm and find would each
# take it for an option (and cd -- - for the folder before).

script_name=${0##*/}

script_usage() {
  sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p;}' "$0"
}

usage_error() {
  echo "$script_name: $1; try '$script_name --help'" >&2
  exit 2
}

read_arguments() {
  local min=$1 max=$2 known=" " argument only_operands=no
  shift 2
  while [ "$1" != -- ]; do known+="$1 "; shift; done
  shift
  arguments=() options=()
  for argument in "$@"; do
    if [ "$only_operands" = no ]; then
      case $argument in
        -h | --help) script_usage; exit 0 ;;
        --) only_operands=yes; continue ;;
        -?*)
          [[ $known == *" $argument "* ]] || usage_error "unknown option '$argument'"
          options+=("$argument")
          continue ;;
      esac
    fi
    arguments+=("$argument")
  done
  if [ ${#arguments[@]} -lt "$min" ]; then
    usage_error "expected at least $min operand(s), got ${#arguments[@]}"
  fi
  if [ ${#arguments[@]} -gt "$max" ]; then
    usage_error "expected at most $max operand(s), got ${#arguments[@]}: '${arguments[$max]}' is one too many"
  fi
}

has_option() {
  local option
  for option in ${options[@]+"${options[@]}"}; do
    [ "$option" = "$1" ] && return 0
  done
  return 1
}

# The path as the commands take it: a relative one that starts with -
# gets ./ before it.
plain_path() {
  case $1 in
    -*) printf './%s' "$1" ;;
    *) printf '%s' "$1" ;;
  esac
}
