# Reads programs.txt, the suite's one list of programs, into
#   NUMLAB_PROGRAMS                  the names, in the table's order
#   NUMLAB_PROGRAM_FOLDERS           their folders, each once, in that order
#   NUMLAB_PROGRAM_<name>_FOLDER     its folder
#   NUMLAB_PROGRAM_<name>_ROOT       TRUE when it links ROOT
#   NUMLAB_PROGRAM_<name>_INPUT      its main-job input
#   NUMLAB_PROGRAM_<name>_DATA       its Data files
#   NUMLAB_PROGRAM_<name>_PLOTS      the plot script of each Data file
# and writes suite_programs.inc into the build folder, the same table as
# C++ initialisers for the tests.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/programs.txt)
file(STRINGS ${PROJECT_SOURCE_DIR}/programs.txt lines REGEX "^[^#]")
set(NUMLAB_PROGRAMS)
set(NUMLAB_PROGRAM_FOLDERS)
set(initialisers "")
foreach(line IN LISTS lines)
  string(REPLACE "|" ";" fields "${line}")
  list(TRANSFORM fields STRIP)
  list(LENGTH fields count)
  if(NOT count EQUAL 5)
    message(FATAL_ERROR "programs.txt: five columns expected in '${line}'")
  endif()
  list(GET fields 0 name)
  list(GET fields 1 folder)
  list(GET fields 2 root)
  list(GET fields 3 input)
  list(GET fields 4 plots)
  string(REGEX REPLACE " +" ";" words "${plots}")
  set(data)
  set(scripts)
  set(data_text "")
  set(script_text "")
  foreach(word IN LISTS words)
    if(word MATCHES "\\.dat$")
      list(APPEND data ${word})
      string(APPEND data_text "\"${word}\", ")
    elseif(word MATCHES "\\.gp$")
      list(APPEND scripts ${word})
      string(APPEND script_text "\"${folder}/${word}\", ")
    endif()
  endforeach()
  list(APPEND NUMLAB_PROGRAMS ${name})
  list(APPEND NUMLAB_PROGRAM_FOLDERS ${folder})
  set(NUMLAB_PROGRAM_${name}_FOLDER ${folder})
  set(NUMLAB_PROGRAM_${name}_INPUT "${input}")
  set(NUMLAB_PROGRAM_${name}_DATA ${data})
  set(NUMLAB_PROGRAM_${name}_PLOTS ${scripts})
  if(root STREQUAL "yes")
    set(NUMLAB_PROGRAM_${name}_ROOT TRUE)
  else()
    set(NUMLAB_PROGRAM_${name}_ROOT FALSE)
  endif()
  string(APPEND initialisers
    "    {\"${name}\", \"${folder}\", ${NUMLAB_PROGRAM_${name}_ROOT}, \"${input}\", {${data_text}}, {${script_text}}},\n")
endforeach()
list(REMOVE_DUPLICATES NUMLAB_PROGRAM_FOLDERS)
string(REPLACE ", TRUE," ", true," initialisers "${initialisers}")
string(REPLACE ", FALSE," ", false," initialisers "${initialisers}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/suite_programs.inc
  CONTENT "// Made from programs.txt by cmake/NumlabPrograms.cmake.\n@initialisers@" @ONLY)
