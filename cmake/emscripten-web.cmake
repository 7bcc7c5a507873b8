# Browser build with Debian's Emscripten. Libraries are searched only in
# Emscripten's sysroot and in the project's own prefix of libraries built
# from Debian sources (scripts/setup-web.sh), never in the host's /usr.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

get_filename_component(DRAVIK_WEB_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-deps/web" ABSOLUTE)
list(APPEND CMAKE_FIND_ROOT_PATH ${DRAVIK_WEB_DEPS})

