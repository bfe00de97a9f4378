# The suite's compile flags and its helpers for programs and tests.

# Every target of the suite: C++17 and the warnings.
add_library(numlab_flags INTERFACE)
target_compile_features(numlab_flags INTERFACE cxx_std_17)
target_compile_options(numlab_flags INTERFACE -Wall -Wextra -Wpedantic)

# The targets that compute what the programs print. Their numbers must come
# out the same to the last digit in every build:
#   -ffp-contract=off  no fused multiply-add, which rounds once where a
#                      multiply and an add round twice;
#   -O2                after the build type's own level, so that Debug and
#                      sanitizer builds fold the same calls with constant
#                      arguments (such as pgaus's pow(3.14159265 * 2, 0.5))
#                      at compile time as the Release build does.
add_library(numlab_exact INTERFACE)
target_compile_options(numlab_exact INTERFACE -O2 -ffp-contract=off)

# help2man makes each program's manual page from its --help and --version.
find_program(NUMLAB_HELP2MAN help2man)
if(NOT NUMLAB_HELP2MAN AND NUMLAB_INSTALL)
  message(WARNING "help2man was not found: no manual pages are made "
    "(scripts/setup.sh installs Debian's help2man)")
endif()
# The pages' folder: Ninja makes an output's folder itself, Make does not.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)

# `programs`: every program and its manual page, and nothing else (no test,
# no benchmark); what the main job runs, built by scripts/run.sh and by
# `cmake --build --preset programs`.
add_custom_target(programs)

# One program of programs.txt: built into bin/ and installed with its
# manual page, made from its own --help, and the plot scripts of its Data
# files.
#   numlab_add_program(name SOURCES files... [LIBRARIES targets...])
function(numlab_add_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
  if(NOT name IN_LIST NUMLAB_PROGRAMS)
    message(FATAL_ERROR "${name} is not in programs.txt, the list of the suite's programs")
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE numlab_flags numlab_exact numlab_common ${arg_LIBRARIES})
  add_dependencies(programs ${name})
  if(NOT NUMLAB_INSTALL)
    return()
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  foreach(script IN LISTS NUMLAB_PROGRAM_${name}_PLOTS)
    install(FILES ${script} DESTINATION ${CMAKE_INSTALL_DATADIR}/numlab/plots)
  endforeach()
  # help2man runs the program, which a cross build cannot.
  if(NUMLAB_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
    # The NAME line is the second line of --help, the program's summary.
    set(page ${PROJECT_BINARY_DIR}/man/${name}.1)
    add_custom_command(OUTPUT ${page}
      COMMAND sh -c "\"$1\" --no-info --output=\"$2\" --name=\"$(\"$3\" --help | sed -n 2p)\" \"$3\""
        help2man ${NUMLAB_HELP2MAN} ${page} $<TARGET_FILE:${name}>
      DEPENDS ${name}
      COMMENT "Manual page for ${name}"
      VERBATIM)
    add_custom_target(${name}_man ALL DEPENDS ${page})
    add_dependencies(programs ${name}_man)
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endfunction()

# A test executable of the suite: GoogleTest main, the shared helpers of
# testing/, tests discovered when ctest runs (never at build time).
#   numlab_add_test(name sources... [LABELS label...] [TIMEOUT seconds])
function(numlab_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "LABELS")
  set(properties SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  if(arg_LABELS)
    list(APPEND properties LABELS "${arg_LABELS}")
  endif()
  if(arg_TIMEOUT)
    list(APPEND properties TIMEOUT ${arg_TIMEOUT})
  endif()
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  # Test binaries stay beside their subsystem, out of the programs' folder.
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  target_link_libraries(${name} PRIVATE numlab_flags numlab_testing GTest::gtest_main)
  # Discovery runs each test program once; through wine, the first run
  # also makes wine's prefix, which takes a while.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300 TEST_PREFIX "${name}."
    PROPERTIES ${properties})
endfunction()
