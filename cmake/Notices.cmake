# The copyright notices and licences of the libraries built into the game's
# executable, for the packages that carry such an executable: the Windows zip
# and installer (libpng, zlib, simdjson), the web zip (the same, in
# dravik.wasm) and the arm64 Debian package (simdjson). Each library is
# compiled from Debian's source package of it (scripts/setup-*.sh), so its
# notices are the copyright file Debian ships with the binary package of that
# source.

set(DRAVIK_COMMON_LICENSES /usr/share/common-licenses)

# A heading line, underlined, and a blank line, appended to text_var.
macro(dravik_append_heading text_var heading underline)
  string(LENGTH "${heading}" heading_length)
  string(REPEAT "${underline}" ${heading_length} heading_rule)
  string(APPEND ${text_var} "${heading}\n${heading_rule}\n\n")
endmacro()

function(dravik_read_game_copyright out_text)
  set(file ${PROJECT_SOURCE_DIR}/packaging/linux/copyright)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} text)
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

function(dravik_debian_copyright package out_text)
  set(file /usr/share/doc/${package}/copyright)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: the package ${package} gives the licence of a "
                        "library the game has built in (the scripts/setup*.sh of the build install it)")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} text)
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# dravik_write_notices(OUT EXECUTABLE [CRLF] LIBRARIES name=package...):
# a plain-text LICENSES.txt: the game's own copyright file, then, for each
# library built into EXECUTABLE, the Debian copyright file of PACKAGE, then
# the full text of the Apache License 2.0, which those files only name.
function(dravik_write_notices out executable)
  cmake_parse_arguments(arg "CRLF" "" "LIBRARIES" ${ARGN})
  dravik_read_game_copyright(game)
  set(text "")
  dravik_append_heading(text "ZOKT 5 Dravik: copyright notices and licences" "=")
  dravik_append_heading(text "The game, its assets and the font of its texts" "-")
  string(APPEND text "${game}\n")
  foreach(entry IN LISTS arg_LIBRARIES)
    string(REPLACE "=" ";" entry "${entry}")
    list(GET entry 0 library)
    list(GET entry 1 package)
    dravik_debian_copyright(${package} notice)
    string(APPEND text "\n")
    dravik_append_heading(text "${library}, built into ${executable}" "-")
    string(APPEND text "Debian's copyright file of its package ${package}:\n\n${notice}")
  endforeach()
  file(READ ${DRAVIK_COMMON_LICENSES}/Apache-2.0 apache)
  string(APPEND text "\n")
  dravik_append_heading(text "The Apache License 2.0, named above" "-")
  string(APPEND text "${apache}")
  if(arg_CRLF)
    string(REPLACE "\n" "\r\n" text "${text}")
  endif()
  file(WRITE ${out} "${text}")
endfunction()

# dravik_copyright_with_simdjson(OUT): the game's Debian copyright file
# followed by a paragraph for the simdjson built into the game, and the
# licences it names (taken from Debian's libsimdjson14 copyright file).
function(dravik_copyright_with_simdjson out)
  dravik_read_game_copyright(text)
  dravik_debian_copyright(libsimdjson14 simdjson)
  set(licences Apache-2.0 Expat BSD-3-Clause BSL-1.0)
  string(APPEND text "\nFiles: build-deps/arm64/*\n"
                     "Copyright: 2019-2020 Daniel Lemire\n"
                     "           2019-2020 Geoff Langdale\n"
                     "License: Apache-2.0 and Expat and BSD-3-Clause and BSL-1.0\n"
                     "Comment: simdjson, built into the game's executable from Debian's\n"
                     " source package simdjson. Its single-file library holds parts under\n"
                     " the Expat, BSD-3-Clause and BSL-1.0 licences.\n")
  # A standalone licence paragraph follows a blank line: "License: NAME",
  # then its text, up to the next blank line.
  foreach(licence IN LISTS licences)
    string(FIND "${simdjson}" "\n\nLicense: ${licence}\n" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "Debian's simdjson copyright file has no ${licence} licence text")
    endif()
    math(EXPR at "${at} + 2")
    string(SUBSTRING "${simdjson}" ${at} -1 rest)
    string(FIND "${rest}" "\n\n" length)
    if(NOT length EQUAL -1)
      math(EXPR length "${length} + 1")
    endif()
    string(SUBSTRING "${rest}" 0 ${length} paragraph)
    string(APPEND text "\n${paragraph}")
  endforeach()
  file(WRITE ${out} "${text}")
endfunction()
