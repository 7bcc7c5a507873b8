# Cross build for 64-bit ARM Linux (Raspberry Pi OS 64-bit, Debian arm64)
# with Debian's crossbuild-essential-arm64. The arm64 libraries come from
# Debian's multiarch packages (libsdl2-dev:arm64 and friends, in
# /usr/lib/aarch64-linux-gnu), simdjson from the project's own prefix
# (scripts/setup-arm64.sh). The test programs run through qemu's user-mode
# emulator, so gtest discovery and ctest work as on the host.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(DRAVIK_ARM64_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${DRAVIK_ARM64_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${DRAVIK_ARM64_TRIPLET}-g++)
# find_package and find_library then search the multiarch folders
# (lib/aarch64-linux-gnu) and never the host's lib/x86_64-linux-gnu.
set(CMAKE_LIBRARY_ARCHITECTURE ${DRAVIK_ARM64_TRIPLET})

get_filename_component(DRAVIK_ARM64_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-deps/arm64" ABSOLUTE)
list(APPEND CMAKE_PREFIX_PATH ${DRAVIK_ARM64_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${DRAVIK_ARM64_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

find_program(DRAVIK_QEMU_AARCH64 qemu-aarch64-static)
if(DRAVIK_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DRAVIK_QEMU_AARCH64})
endif()
