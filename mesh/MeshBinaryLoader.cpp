#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>

#include "mesh/Mesh.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

uint32_t u32At(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Reads a block of little-endian 32-bit floats or 16-bit indices straight
// into its final array.
template <typename T>
bool readLittleEndian(InputFile& file, std::vector<T>& out) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4, "16- or 32-bit elements");
  if (!file.read(out.data(), out.size() * sizeof(T))) return false;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  for (T& value : out) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    std::reverse(bytes, bytes + sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
  }
#endif
  return true;
}

// Blocks of a fixed length, which the compiler vectorises at -O2 where it
// leaves a plain loop (or std::max_element) scalar.
uint16_t highestIndex(const std::vector<uint16_t>& indices) {
  constexpr std::size_t kBlock = 32;
  const uint16_t* p = indices.data();
  const std::size_t n = indices.size();
  uint16_t highest = 0;
  std::size_t i = 0;
  for (; i + kBlock <= n; i += kBlock) {
    uint16_t block = 0;
    for (std::size_t j = 0; j < kBlock; ++j) block = std::max(block, p[i + j]);
    highest = std::max(highest, block);
  }
  for (; i < n; ++i) highest = std::max(highest, p[i]);
  return highest;
}

}  // namespace

bool Mesh::loadBinary(const std::string& name) {
  clear();
  InputFile file;
  if (!file.open(name)) return true;

  const std::size_t length = file.length();
  if (length < 8) {
    reportFileProblem(name, "too short for the vertex and triangle counts (" +
                                std::to_string(length) + " bytes)");
    return true;
  }
  unsigned char counts[8];
  if (!file.read(counts, sizeof counts)) return true;
  const uint32_t vertexCount = u32At(counts);
  const uint32_t triangleCount = u32At(counts + 4);
  if (vertexCount > kMaxVertices) {
    reportFileProblem(name, "vertex count " + std::to_string(vertexCount) + " is above " +
                                std::to_string(kMaxVertices));
    return true;
  }
  const uint64_t needed = 8 + 32 * uint64_t{vertexCount} + 6 * uint64_t{triangleCount};
  if (length < needed) {
    reportFileProblem(name, std::to_string(vertexCount) + " vertices and " +
                                std::to_string(triangleCount) + " triangles need " +
                                std::to_string(needed) + " bytes, the file has " +
                                std::to_string(length));
    return true;
  }

  const std::size_t n = vertexCount;
  std::vector<float> positions(3 * n);
  std::vector<float> colours(3 * n);
  std::vector<float> uvs(2 * n);
  std::vector<uint16_t> indices(3 * std::size_t{triangleCount});
  if (!readLittleEndian(file, positions) || !readLittleEndian(file, colours) ||
      !readLittleEndian(file, uvs) || !readLittleEndian(file, indices)) {
    return true;
  }
  // The highest index decides the common case; the offending index is
  // looked for only when there is one.
  if (!indices.empty() && highestIndex(indices) >= vertexCount) {
    const auto bad = std::find_if(indices.begin(), indices.end(),
                                  [&](uint16_t index) { return index >= vertexCount; });
    reportFileProblem(name, "index " + std::to_string(*bad) + " of triangle " +
                                std::to_string((bad - indices.begin()) / 3) +
                                " is not below the vertex count " + std::to_string(vertexCount));
    return true;
  }

  positions_ = std::move(positions);
  colours_ = std::move(colours);
  uvs_ = std::move(uvs);
  indices_ = std::move(indices);
  updateCounts();
  // Only a marker: the two bytes after the indices are never read.
  std::cout << (length >= needed + 2 ? "des anims!" : "pas d'anim") << std::endl;
  return true;
}

}  // namespace dravik
