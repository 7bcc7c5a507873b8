# The sources of dravik_world, for its CMakeLists.txt and for the fuzz
# targets (fuzz/CMakeLists.txt), which build them again with clang.
set(DRAVIK_WORLD_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Collider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Entity.cpp)
