#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The DOM node type of the JSON parser, declared here so that users of
// meshes do not compile the parser's large header.
namespace simdjson::dom {
class element;
}  // namespace simdjson::dom

namespace dravik {

// Keyframe animations of a whole vertex set: every keyframe is a complete
// copy of each vertex's position, colour and uv. All keyframes of all
// animations sit in one global sequence; setTime blends the two keyframes
// around a time into the current arrays.
class MeshAnimation {
 public:
  // Reads the "animations" node of a JSON model. expectedVertexCount is the
  // owning mesh's vertex count. On malformed data it reports one line naming
  // path on standard error, leaves the animation empty and returns false.
  bool loadAnimations(const simdjson::dom::element& animations, uint32_t expectedVertexCount,
                      const std::string& path);

  void setTime(uint32_t animationIndex, float time);
  void copyFrame(uint32_t keyframe);
  void blendFrames(uint32_t keyframe, float time);

  const float* currentPositions() const { return currentPositions_.data(); }
  const float* currentColours() const { return currentColours_.data(); }
  const float* currentUvs() const { return currentUvs_.data(); }

  uint32_t frameCount() const { return frameCount_; }
  uint16_t animationCount() const { return animationCount_; }
  uint32_t verticesPerFrame() const { return verticesPerFrame_; }
  const std::vector<int32_t>& firstFrame() const { return firstFrame_; }
  const std::vector<float>& startTimes() const { return startTimes_; }

 private:
  void clear();
  uint32_t lastFrameOf(uint32_t animationIndex) const;

  std::vector<float> keyframePositions_;
  std::vector<float> keyframeColours_;
  std::vector<float> keyframeUvs_;
  uint32_t frameCount_ = 0;
  std::vector<float> startTimes_;
  std::vector<int32_t> firstFrame_;
  uint16_t animationCount_ = 0;
  uint32_t verticesPerFrame_ = 0;
  std::vector<float> currentPositions_;
  std::vector<float> currentColours_;
  std::vector<float> currentUvs_;
};

}  // namespace dravik
