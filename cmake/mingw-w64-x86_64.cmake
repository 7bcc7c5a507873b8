# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread
# model). Libraries are searched only in the mingw sysroot and in the
# project's own prefix of cross-built dependencies (scripts/setup-windows.sh),
# never in the host's /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAVIK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRAVIK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRAVIK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DRAVIK_MINGW_TRIPLET}-windres)

get_filename_component(DRAVIK_MINGW_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-deps/mingw" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${DRAVIK_MINGW_TRIPLET} ${DRAVIK_MINGW_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained executable: no libgcc, libstdc++ or winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)
