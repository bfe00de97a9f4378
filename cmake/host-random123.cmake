# For a cross build's toolchain file: Random123 is header-only, the same for
# every target, so Debian's copy serves, seen through a folder of its own so
# that the rest of the host's /usr/include stays out of the target's build.
if(EXISTS /usr/include/Random123/philox.h AND NOT COLLIDE_RANDOM123_INCLUDE_DIR)
  set(numlab_random123 ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${numlab_random123})
  file(CREATE_LINK /usr/include/Random123 ${numlab_random123}/Random123 SYMBOLIC)
  set(COLLIDE_RANDOM123_INCLUDE_DIR ${numlab_random123} CACHE PATH "Random123's headers")
endif()
