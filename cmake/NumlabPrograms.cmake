# Reads programs.txt, the suite's one list of programs, into
#   NUMLAB_PROGRAMS                  the names, in the table's order
#   NUMLAB_PROGRAM_FOLDERS           their folders, each once, in that order
#   NUMLAB_PROGRAM_<name>_FOLDER     its folder
#   NUMLAB_PROGRAM_<name>_ROOT       TRUE when it links ROOT
#   NUMLAB_PROGRAM_<name>_INPUT      its main-job input
#   NUMLAB_PROGRAM_<name>_ALONE      its input for a run on its own, as the
#                                    tests make it: the main-job input, or,
#                                    for a program that reads an earlier
#                                    run's Data file, the numbers that stand
#                                    in for that file
#   NUMLAB_PROGRAM_<name>_PLOTS      the plot script of each Data file
# and writes suite_programs.inc into the build folder, the same table as
# C++ initialisers for the tests. Each folder builds the programs that the
# list gives it: numlab_programs_in(folder variable).
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
  set(scripts)
  set(data_text "")
  set(script_text "")
  foreach(word IN LISTS words)
    if(word MATCHES "\\.dat$")
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
  set(alone "${input}")
  set(reads_file false)
  if(input MATCHES "^@")
    set(alone "0.5 1.5")
    set(reads_file true)
  endif()
  set(NUMLAB_PROGRAM_${name}_ALONE "${alone}")
  set(NUMLAB_PROGRAM_${name}_PLOTS ${scripts})
  if(root STREQUAL "yes")
    set(NUMLAB_PROGRAM_${name}_ROOT TRUE)
  else()
    set(NUMLAB_PROGRAM_${name}_ROOT FALSE)
  endif()
  string(APPEND initialisers
    "    {\"${name}\", \"${alone}\", ${reads_file}, {${data_text}}, {${script_text}}},\n")
endforeach()
list(REMOVE_DUPLICATES NUMLAB_PROGRAM_FOLDERS)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/suite_programs.inc
  CONTENT "// Made from programs.txt by cmake/NumlabPrograms.cmake.\n@initialisers@" @ONLY)

# The programs of programs.txt that live in `folder`, in the list's order.
function(numlab_programs_in folder variable)
  set(names)
  foreach(name IN LISTS NUMLAB_PROGRAMS)
    if(NUMLAB_PROGRAM_${name}_FOLDER STREQUAL folder)
      list(APPEND names ${name})
    endif()
  endforeach()
  set(${variable} ${names} PARENT_SCOPE)
endfunction()
