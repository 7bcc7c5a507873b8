# The sources of dravik_render, for its CMakeLists.txt and for the fuzz
# targets (fuzz/CMakeLists.txt), which build them again with clang.
set(DRAVIK_RENDER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Camera.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileProblem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlslEs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageReadersBmp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageReadersCommon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageReadersPng.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Math.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PixelOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShaderProgram.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Texture.cpp)
# The GL the build targets decides how shaders and BGR images reach it: a
# browser's WebGL (DRAVIK_PLATFORM web), else a desktop's GL.
if(DRAVIK_PLATFORM STREQUAL "web")
  list(APPEND DRAVIK_RENDER_SOURCES ${CMAKE_CURRENT_LIST_DIR}/gles/GlDialect.cpp)
else()
  list(APPEND DRAVIK_RENDER_SOURCES ${CMAKE_CURRENT_LIST_DIR}/desktop/GlDialect.cpp)
endif()
