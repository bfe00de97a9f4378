# Linux aarch64 executables (ARM: Graviton, Raspberry Pi; Apple Silicon's
# processor), cross-compiled with Debian's g++-aarch64-linux-gnu and linked
# statically, so that ctest runs each through qemu-aarch64 without the
# target's loader. GCC contracts a product and a sum into one fused
# multiply-add by default on aarch64, which rounds once where x86-64 rounds
# twice: -ffp-contract=off for everything built here, tests included.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off")

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(NUMLAB_QEMU qemu-aarch64)
if(NUMLAB_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NUMLAB_QEMU})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/host-random123.cmake)
