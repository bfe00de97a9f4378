# Reads programs.txt, the suite's one list of programs, for a script that
# sources this file with $root set to the source tree. Afterwards:
#   programs               the names, in the table's order
#   program_folder[NAME]   its folder
#   program_root[NAME]     yes when it links ROOT
#   program_input[NAME]    the main job's answers, one per line ("" for none;
#                          @PROGRAM/FILE for a Data file of an earlier run)
#   program_plots[NAME]    its Data files, each followed by its plot script
#                          and a * when that picture is in the gallery
programs=()
declare -A program_folder program_root program_input program_plots
trim() { local text=$1; text=${text#"${text%%[![:space:]]*}"}; printf '%s' "${text%"${text##*[![:space:]]}"}"; }
while IFS='|' read -r name folder uses_root input plots; do
  name=$(trim "$name")
  [[ -z $name || $name == \#* ]] && continue
  programs+=("$name")
  program_folder[$name]=$(trim "$folder")
  program_root[$name]=$(trim "$uses_root")
  input=$(trim "$input")
  [[ -n $input && $input != @* ]] && input="${input// /$'\n'}"$'\n'
  program_input[$name]=$input
  program_plots[$name]=$(trim "$plots")
done <"$root/programs.txt"
