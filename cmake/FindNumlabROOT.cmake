# Finds the parts of ROOT the suite uses (TRandom, in libCore and libMathCore)
# and wraps them in one imported target, numlab::root. Sets NUMLAB_ROOT_FOUND.
#
# Looked for, in this order:
#   1. a ROOT CMake config named by ROOT_DIR or CMAKE_PREFIX_PATH;
#   2. root-config on PATH;
#   3. ROOT's package from the Python package index, in the virtual
#      environment scripts/setup.sh creates (NUMLAB_ROOT_VENV; by default
#      the system-wide /usr/local/lib/numlab/root-venv that a setup as root
#      makes, then ~/.cache/numlab/root-venv), or for the python3 on PATH.
# Each candidate counts only if TRandom.h and both libraries really exist:
# the CMake config and root-config inside the pip package name paths that do
# not, so the package is read directly instead.
#
# NUMLAB_ROOT_CXX_STANDARD is the C++ standard ROOT was built with.

set(NUMLAB_ROOT_FOUND FALSE)

function(_numlab_root_accept include_dir lib_dir how)
  foreach(file "${include_dir}/TRandom.h" "${lib_dir}/libCore.so" "${lib_dir}/libMathCore.so")
    if(NOT EXISTS "${file}")
      return()
    endif()
  endforeach()
  set(standard 17)
  if(EXISTS "${include_dir}/RConfigure.h")
    file(STRINGS "${include_dir}/RConfigure.h" cplusplus REGEX "define ROOT__cplusplus")
    if(cplusplus MATCHES "20([0-9][0-9])[0-9][0-9]L")
      # 201703L is C++17, 202002L C++20: the year, give or take one.
      set(year ${CMAKE_MATCH_1})
      foreach(candidate 14 17 20 23)
        math(EXPR low "${candidate} - 1")
        if(year EQUAL candidate OR year EQUAL low)
          set(standard ${candidate})
        endif()
      endforeach()
    endif()
  endif()
  add_library(numlab::root INTERFACE IMPORTED GLOBAL)
  target_include_directories(numlab::root SYSTEM INTERFACE "${include_dir}")
  target_link_libraries(numlab::root INTERFACE
    "${lib_dir}/libCore.so" "${lib_dir}/libMathCore.so")
  set(NUMLAB_ROOT_FOUND TRUE PARENT_SCOPE)
  set(NUMLAB_ROOT_LIBRARY_DIR "${lib_dir}" PARENT_SCOPE)
  set(NUMLAB_ROOT_CXX_STANDARD ${standard} PARENT_SCOPE)
  message(STATUS "ROOT: ${how}, headers in ${include_dir}, C++${standard}")
endfunction()

# 1. A ROOT CMake config the user named.
if(ROOT_DIR OR DEFINED ENV{ROOT_DIR} OR CMAKE_PREFIX_PATH OR DEFINED ENV{CMAKE_PREFIX_PATH})
  find_package(ROOT CONFIG QUIET)
  if(ROOT_FOUND)
    list(GET ROOT_INCLUDE_DIRS 0 include_dir)
    _numlab_root_accept("${include_dir}" "${ROOT_LIBRARY_DIR}" "CMake config ${ROOT_DIR}")
  endif()
endif()

# 2. root-config on PATH.
if(NOT NUMLAB_ROOT_FOUND)
  find_program(NUMLAB_ROOT_CONFIG root-config)
  if(NUMLAB_ROOT_CONFIG)
    execute_process(COMMAND "${NUMLAB_ROOT_CONFIG}" --incdir
      OUTPUT_VARIABLE include_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND "${NUMLAB_ROOT_CONFIG}" --libdir
      OUTPUT_VARIABLE lib_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    _numlab_root_accept("${include_dir}" "${lib_dir}" "${NUMLAB_ROOT_CONFIG}")
  endif()
endif()

# 3. The pip package, located without importing it.
if(NOT NUMLAB_ROOT_FOUND)
  if(DEFINED ENV{NUMLAB_ROOT_VENV})
    set(pythons "$ENV{NUMLAB_ROOT_VENV}/bin/python")
  else()
    set(pythons /usr/local/lib/numlab/root-venv/bin/python
                "$ENV{HOME}/.cache/numlab/root-venv/bin/python")
  endif()
  find_program(NUMLAB_PYTHON3 python3)
  if(NUMLAB_PYTHON3)
    list(APPEND pythons "${NUMLAB_PYTHON3}")
  endif()
  foreach(python ${pythons})
    if(NOT NUMLAB_ROOT_FOUND AND EXISTS "${python}")
      execute_process(
        COMMAND "${python}" -c "import importlib.util as u; s = u.find_spec('ROOT'); print(s.submodule_search_locations[0] if s and s.submodule_search_locations else '')"
        OUTPUT_VARIABLE package OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(package)
        _numlab_root_accept("${package}/include" "${package}/lib" "Python package ${package}")
      endif()
    endif()
  endforeach()
endif()
