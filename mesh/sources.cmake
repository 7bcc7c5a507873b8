# The sources of dravik_mesh, for its CMakeLists.txt and for the fuzz targets
# (fuzz/CMakeLists.txt), which build them again with clang.
set(DRAVIK_MESH_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BitmapText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JsonFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mesh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeshAnimation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeshBinaryLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeshBuffers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeshJsonLoader.cpp)
