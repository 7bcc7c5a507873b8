# The sources of dravik_gl, for its CMakeLists.txt and for the fuzz targets
# (fuzz/CMakeLists.txt), which build them again with clang.
set(DRAVIK_GL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GlApi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlLinked.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlShadowAttributes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlShadowBindings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlShadowPrograms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlShadowTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlShadowUniforms.cpp)
