#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik {

// A 2D collision shape (points, edges between them, circles) read from
// JSON. The game attaches it to entities but never tests it.
class Collider {
 public:
  // Loads nothing (and succeeds) unless ".json" occurs in the name from the
  // second character on. A malformed file reports one line naming it on
  // standard error and leaves the collider empty. Always returns true.
  bool loadCollider(const std::string& name);

  int32_t circleCount() const { return circleCount_; }
  int32_t edgeCount() const { return edgeCount_; }
  int32_t vertexCount() const { return vertexCount_; }
  const std::vector<float>& circleX() const { return circleX_; }
  const std::vector<float>& circleY() const { return circleY_; }
  const std::vector<float>& circleRadius() const { return circleRadius_; }
  const std::vector<float>& vertexX() const { return vertexX_; }
  const std::vector<float>& vertexY() const { return vertexY_; }
  const std::vector<int32_t>& edgeIndices() const { return edgeIndices_; }

 private:
  void clear();

  std::vector<float> circleX_;
  std::vector<float> circleY_;
  std::vector<float> circleRadius_;
  std::vector<float> vertexX_;
  std::vector<float> vertexY_;
  int32_t circleCount_ = 0;
  int32_t edgeCount_ = 0;
  std::vector<int32_t> edgeIndices_;
  int32_t vertexCount_ = 0;
};

}  // namespace dravik
