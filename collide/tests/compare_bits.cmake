# Compares the files that the outside builds' same_bits wrote: every one must
# be there and equal the first, byte for byte.
#   cmake -DFOLDER=dir -DFILES="a.txt;b.txt;..." -P compare_bits.cmake
list(GET FILES 0 first)
foreach(file IN LISTS FILES)
  if(NOT EXISTS ${FOLDER}/${file})
    message(FATAL_ERROR "${FOLDER}/${file} was not written: its build failed")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FOLDER}/${first} ${FOLDER}/${file}
    RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${file} differs from ${first}: the velocities depend on how collide was built")
  endif()
  message(STATUS "${file}: the same bits as ${first}")
endforeach()
list(LENGTH FILES count)
message(STATUS "${count} builds, the same bits")
