#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mesh/MeshAnimation.h"
#include "render/Math.h"

namespace dravik {

// An indexed triangle list with three separate vertex streams (position,
// colour fed to "inNormal", uv) and 16-bit indices, its GL buffers and an
// optional keyframe animation.
class Mesh {
 public:
  Mesh() = default;
  ~Mesh();
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;

  // ".json" anywhere from the second character on picks the JSON reader,
  // otherwise the binary one. A malformed file reports one line naming it on
  // standard error and leaves the mesh empty. Always returns true.
  bool loadFile(const std::string& name);
  bool loadJson(const std::string& name);
  bool loadBinary(const std::string& name);

  void addVertex(float x, float y, float z);
  void addColour(float r, float g, float b);
  void addTriangle(int a, int b, int c);
  void addUv(float u, float v);
  void setColour(uint32_t vertex, float r, float g, float b);
  void setUv(uint32_t vertex, float u, float v);
  void updateCounts();
  void setCounts(uint32_t positionCount, uint32_t colourCount, uint32_t indexCount,
                 uint32_t uvCount);

  void createBuffers();
  void uploadBuffers();
  void deleteBuffers();

  // matrix: the final matrix uploaded to "finalMatrix".
  void draw(const Mat4& matrix) const;
  // As draw, but leaves the "texture0" sampler alone.
  void drawShared(const Mat4& matrix) const;
  void drawAnimated(const Mat4& matrix, uint32_t animationIndex, float time);

  uint32_t positionCount() const { return positionCount_; }
  uint32_t colourCount() const { return colourCount_; }
  uint32_t indexCount() const { return indexCount_; }
  uint32_t uvCount() const { return uvCount_; }
  const std::vector<float>& positions() const { return positions_; }
  const std::vector<float>& colours() const { return colours_; }
  const std::vector<uint16_t>& indices() const { return indices_; }
  const std::vector<float>& uvs() const { return uvs_; }
  const MeshAnimation* animation() const { return animation_.get(); }
  MeshAnimation* animation() { return animation_.get(); }
  bool hasBuffers() const { return buffersCreated_; }
  bool hasAnimatedBuffers() const { return animatedBuffers_[0] != 0; }
  // position, colour, index, uv
  const uint32_t* staticBuffers() const { return staticBuffers_; }
  // position, colour, uv (only with an animation)
  const uint32_t* animatedBuffers() const { return animatedBuffers_; }

  // Highest vertex count 16-bit indices can address.
  static constexpr uint32_t kMaxVertices = 65536;

 private:
  void clear();
  void drawWith(const Mat4& matrix, bool setSampler, uint32_t positionBuffer, uint32_t colourBuffer,
                uint32_t uvBuffer) const;

  uint32_t positionCount_ = 0;
  uint32_t colourCount_ = 0;
  uint32_t indexCount_ = 0;
  uint32_t uvCount_ = 0;
  uint32_t staticBuffers_[4] = {0, 0, 0, 0};
  uint32_t animatedBuffers_[3] = {0, 0, 0};
  bool buffersCreated_ = false;
  std::vector<float> positions_;
  std::vector<float> colours_;
  std::vector<uint16_t> indices_;
  std::vector<float> uvs_;
  std::unique_ptr<MeshAnimation> animation_;
};

}  // namespace dravik
