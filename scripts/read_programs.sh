# Reads programs.txt, the suite's one list of programs, for a script that
# sources this file with $root set to the source tree. Afterwards:
#   programs               the names, in the table's order
#   program_folder[NAME]   its folder
#   program_root[NAME]     yes when it links ROOT
#   program_input[NAME]    the main job's answers, one per line ("" for none;
#                          @PROGRAM/FILE for a Data file of an earlier run)
#   program_data[NAME]     its Data files, blank-separated
#   program_scripts[NAME]  the plot script of each, as paths in the source tree
#   program_gallery[NAME]  those of its Data files whose picture is in the gallery
programs=()
declare -A program_folder program_root program_input program_data program_scripts program_gallery
trim() { local text=$1; text=${text#"${text%%[![:space:]]*}"}; printf '%s' "${text%"${text##*[![:space:]]}"}"; }
# Kept in a function, so that its working names do not reach the script.
read_programs() {
  local name folder uses_root input plots word data words
  while IFS='|' read -r name folder uses_root input plots; do
    name=$(trim "$name")
    [[ -z $name || $name == \#* ]] && continue
    programs+=("$name")
    program_folder[$name]=$(trim "$folder")
    program_root[$name]=$(trim "$uses_root")
    input=$(trim "$input")
    [[ -n $input && $input != @* ]] && input="${input// /$'\n'}"$'\n'
    program_input[$name]=$input
    program_data[$name]="" program_scripts[$name]="" program_gallery[$name]=""
    read -ra words <<<"$plots"
    for word in ${words[@]+"${words[@]}"}; do
      case $word in
        *.dat) program_data[$name]+=" $word" data=$word ;;
        *.gp) program_scripts[$name]+=" ${program_folder[$name]}/$word" ;;
        '*') program_gallery[$name]+=" $data" ;;
      esac
    done
  done <"$root/programs.txt"
}
read_programs
