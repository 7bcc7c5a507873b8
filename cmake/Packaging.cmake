# Install rules and the packages CPack makes from them:
#   Linux:   a Debian package in Debian's games layout (cpack -G DEB)
#            /usr/lib/games/dravik/dravik     the game
#            /usr/share/games/dravik/data/    its assets
#            /usr/games/dravik                launcher: runs the game from
#                                             /usr/share/games/dravik
#            plus the menu entry, icons, AppStream metadata, manual page,
#            copyright and changelog.
#            The same for arm64, cross-built with cmake/aarch64-linux-gnu.cmake.
#   Windows: a zip holding one folder with dravik.exe, data/, README.txt and
#            LICENSES.txt (cpack -G ZIP on the windows-cross build), and an installer of
#            the same files (cpack -G NSIS, with packaging/windows/
#            NSIS.template.in): Program Files, a Start-menu shortcut, an
#            entry in Programs and Features, an uninstaller.
#   Web:     LICENSES.txt beside the page, which scripts/package.sh puts
#            in the web zip.
# scripts/package.sh builds them all.
if(NOT TARGET dravik)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/Notices.cmake)
if(DRAVIK_PLATFORM STREQUAL "web")
  dravik_write_notices(${CMAKE_BINARY_DIR}/LICENSES.txt dravik.wasm
    LIBRARIES libpng=libpng16-16 zlib=zlib1g simdjson=libsimdjson14)
  return()
endif()

set(DRAVIK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME dravik)
set(CPACK_PACKAGE_VENDOR "ZOKT 5 Dravik developers")
set(CPACK_PACKAGE_CONTACT
    "ZOKT 5 Dravik maintainers <maintainers@users.noreply.c-seed-e810d45b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 3D game scene: a walled village on a disc of grass")
set(CPACK_PACKAGE_DESCRIPTION
    "ZOKT 5 Dravik opens one OpenGL window showing a star-sky backdrop and a
disc of grass tiles that scrolls under the arrow keys, carrying a walled
level: a house, a gate, an avenue of trees, four walled enclosures and some
trees placed at random. The level's pieces lean outward near the rim of the
visible disc and vanish beyond it.

Space switches between scrolling the ground and panning the camera, F2
between perspective and orthographic projection, and Escape pauses. A
gamepad plays as well. The game runs on X11 and as a native Wayland client.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

if(WIN32)
  install(TARGETS dravik RUNTIME DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/data DESTINATION .)
  # Windows line ends, so every text editor shows the lines.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                         ${DRAVIK_PACKAGING_DIR}/windows/README.txt)
  file(READ ${DRAVIK_PACKAGING_DIR}/windows/README.txt readme)
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/README.txt "${readme}")
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
  dravik_write_notices(${CMAKE_BINARY_DIR}/packaging/LICENSES.txt dravik.exe CRLF
    LIBRARIES libpng=libpng16-16 zlib=libz-mingw-w64-dev simdjson=libsimdjson14)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/LICENSES.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_FILE_NAME dravik-${PROJECT_VERSION}-windows-x64)
  set(CPACK_PROJECT_CONFIG_FILE ${DRAVIK_PACKAGING_DIR}/windows/CPackOptions.cmake)
  set(CPACK_MODULE_PATH ${DRAVIK_PACKAGING_DIR}/windows)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "ZOKT 5 Dravik")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "ZOKT 5 Dravik")
  set(CPACK_NSIS_DISPLAY_NAME "ZOKT 5 Dravik")
  set(CPACK_NSIS_MUI_ICON ${DRAVIK_PACKAGING_DIR}/icons/dravik.ico)
  set(CPACK_NSIS_MUI_UNIICON ${DRAVIK_PACKAGING_DIR}/icons/dravik.ico)
else()
  set(games_lib lib/games/dravik)
  set(games_share ${DRAVIK_GAMES_SHARE})
  install(TARGETS dravik RUNTIME DESTINATION ${games_lib})
  # A stripped install (CPack's) also drops the compiler's .comment and .note
  # sections, as Debian's own packages do.
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${games_lib}/dravik\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/data DESTINATION ${games_share})
  install(PROGRAMS ${DRAVIK_PACKAGING_DIR}/linux/dravik DESTINATION games)

  set(DRAVIK_LAUNCHER ${CMAKE_INSTALL_PREFIX}/games/dravik)
  configure_file(${DRAVIK_PACKAGING_DIR}/linux/dravik.desktop.in
                 ${CMAKE_BINARY_DIR}/packaging/dravik.desktop @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/dravik.desktop DESTINATION share/applications)
  foreach(size 48x48 256x256)
    install(FILES ${DRAVIK_PACKAGING_DIR}/icons/${size}/dravik.png
            DESTINATION share/icons/hicolor/${size}/apps)
  endforeach()
  install(FILES ${DRAVIK_PACKAGING_DIR}/linux/dravik.metainfo.xml DESTINATION share/metainfo)
  # A simdjson linked in (the arm64 build's own) brings its notices along.
  get_target_property(simdjson_kind simdjson::simdjson TYPE)
  if(simdjson_kind STREQUAL "STATIC_LIBRARY")
    dravik_copyright_with_simdjson(${CMAKE_BINARY_DIR}/packaging/copyright)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION share/doc/dravik)
  else()
    install(FILES ${DRAVIK_PACKAGING_DIR}/linux/copyright DESTINATION share/doc/dravik)
  endif()

  # The changelog and the manual page go in compressed as Debian wants them:
  # maximum compression, no name or time stamp in the gzip header.
  find_program(DRAVIK_GZIP gzip REQUIRED)
  set(compressed)
  foreach(doc changelog dravik.6)
    set(compressed_doc ${CMAKE_BINARY_DIR}/packaging/${doc}.gz)
    add_custom_command(
      OUTPUT ${compressed_doc}
      COMMAND ${CMAKE_COMMAND} -E copy ${DRAVIK_PACKAGING_DIR}/linux/${doc}
              ${CMAKE_BINARY_DIR}/packaging/${doc}
      COMMAND ${DRAVIK_GZIP} -9 -n -f ${CMAKE_BINARY_DIR}/packaging/${doc}
      DEPENDS ${DRAVIK_PACKAGING_DIR}/linux/${doc}
      VERBATIM)
    list(APPEND compressed ${compressed_doc})
  endforeach()
  add_custom_target(dravik_package_docs ALL DEPENDS ${compressed})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/dravik)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/dravik.6.gz DESTINATION share/man/man6)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    # CPack would name the build machine's architecture.
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  endif()
  # SDL loads the GL context libraries at run time (GLX on X11, EGL on
  # Wayland), so dpkg-shlibdeps cannot see them.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
endif()

include(CPack)
