#include <cstring>
#include <iostream>
#include <string>

#include "mesh/Mesh.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

uint32_t u32At(const std::string& bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Little-endian 32-bit words into floats, or 16-bit words into indices.
template <typename T>
void copyLittleEndian(const std::string& bytes, std::size_t at, std::vector<T>& out) {
  static_assert(sizeof(T) == 2 || sizeof(T) == 4, "16- or 32-bit elements");
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  for (std::size_t i = 0; i < out.size(); ++i, p += sizeof(T)) {
    uint32_t word = 0;
    for (std::size_t b = 0; b < sizeof(T); ++b) word |= uint32_t{p[b]} << (8 * b);
    if constexpr (sizeof(T) == 4) {
      std::memcpy(&out[i], &word, 4);
    } else {
      out[i] = static_cast<T>(word);
    }
  }
#else
  if (!out.empty()) std::memcpy(out.data(), bytes.data() + at, out.size() * sizeof(T));
#endif
}

}  // namespace

bool Mesh::loadBinary(const std::string& name) {
  clear();
  std::string bytes;
  if (!readWholeFile(name, bytes)) return true;

  if (bytes.size() < 8) {
    reportFileProblem(name, "too short for the vertex and triangle counts (" +
                                std::to_string(bytes.size()) + " bytes)");
    return true;
  }
  const uint32_t vertexCount = u32At(bytes, 0);
  const uint32_t triangleCount = u32At(bytes, 4);
  if (vertexCount > kMaxVertices) {
    reportFileProblem(name, "vertex count " + std::to_string(vertexCount) + " is above " +
                                std::to_string(kMaxVertices));
    return true;
  }
  const uint64_t needed = 8 + 32 * uint64_t{vertexCount} + 6 * uint64_t{triangleCount};
  if (bytes.size() < needed) {
    reportFileProblem(name, std::to_string(vertexCount) + " vertices and " +
                                std::to_string(triangleCount) + " triangles need " +
                                std::to_string(needed) + " bytes, the file has " +
                                std::to_string(bytes.size()));
    return true;
  }

  const std::size_t n = vertexCount;
  std::vector<float> positions(3 * n);
  std::vector<float> colours(3 * n);
  std::vector<float> uvs(2 * n);
  std::vector<uint16_t> indices(3 * std::size_t{triangleCount});
  copyLittleEndian(bytes, 8, positions);
  copyLittleEndian(bytes, 8 + 12 * n, colours);
  copyLittleEndian(bytes, 8 + 24 * n, uvs);
  copyLittleEndian(bytes, 8 + 32 * n, indices);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (indices[i] >= vertexCount) {
      reportFileProblem(name, "index " + std::to_string(indices[i]) + " of triangle " +
                                  std::to_string(i / 3) + " is not below the vertex count " +
                                  std::to_string(vertexCount));
      return true;
    }
  }

  positions_ = std::move(positions);
  colours_ = std::move(colours);
  uvs_ = std::move(uvs);
  indices_ = std::move(indices);
  updateCounts();
  // Only a marker: the two bytes after the indices are never read.
  std::cout << (bytes.size() >= needed + 2 ? "des anims!" : "pas d'anim") << std::endl;
  return true;
}

}  // namespace dravik
