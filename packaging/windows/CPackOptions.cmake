# Read by cpack once per generator: the installer is named apart from the
# zip, and installs the files themselves, not the zip's top folder.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
