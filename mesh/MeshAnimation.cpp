#include "mesh/MeshAnimation.h"

#include <algorithm>
#include <limits>

#include "mesh/JsonFields.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

using jsonfields::Json;

// The first child of an array or object (arrays and objects alike hold the
// animations and their keyframes), or null.
const Json* firstChild(const Json& node) {
  if ((!node.is_array() && !node.is_object()) || node.empty()) return nullptr;
  return &*node.begin();
}

std::string animationName(std::size_t a) { return "animation " + std::to_string(a); }

std::string keyframeName(std::size_t a, std::size_t k) {
  return animationName(a) + ", keyframe " + std::to_string(k);
}

// Checks the shape of every keyframe of one animation, without reading the
// values, so that nothing is allocated for data the file does not hold.
bool checkKeyframes(const Json& keyframes, std::size_t a, uint32_t verticesPerFrame,
                    std::string& problem) {
  std::size_t k = 0;
  for (const Json& keyframe : keyframes) {
    const std::string where = keyframeName(a, k);
    if (!keyframe.is_object()) {
      problem = where + " is not an object";
      return false;
    }
    const Json* start = jsonfields::member(keyframe, "startTime");
    if (start == nullptr || !start->is_number()) {
      problem = where + ": \"startTime\" is missing or not a number";
      return false;
    }
    for (const char* name : {"vertices", "uvs", "colors"}) {
      const Json* array = jsonfields::arrayMember(keyframe, name, where, problem);
      if (array == nullptr) return false;
      if (array->size() != verticesPerFrame) {
        problem = where + ": \"" + name + "\" has " + std::to_string(array->size()) +
                  " entries, not " + std::to_string(verticesPerFrame);
        return false;
      }
    }
    ++k;
  }
  return true;
}

}  // namespace

void MeshAnimation::clear() { *this = MeshAnimation(); }

bool MeshAnimation::loadAnimations(const Json& animations, uint32_t expectedVertexCount,
                                   const std::string& path) {
  clear();
  auto fail = [&](const std::string& problem) {
    reportFileProblem(path, "\"animations\": " + problem);
    clear();
    return false;
  };
  if (!animations.is_array() && !animations.is_object()) {
    return fail("not an array or object");
  }
  if (animations.empty()) return fail("holds no animation");
  if (animations.size() > std::numeric_limits<uint16_t>::max()) {
    return fail(std::to_string(animations.size()) + " animations, more than 65535");
  }

  // First pass: shapes, keyframe totals and the vertex count.
  std::vector<const Json*> keyframeLists;
  keyframeLists.reserve(animations.size());
  uint64_t total = 0;
  std::size_t a = 0;
  for (const Json& animation : animations) {
    const Json* keyframes = firstChild(animation);
    if (keyframes == nullptr) return fail(animationName(a) + " is empty or not a container");
    if ((!keyframes->is_array() && !keyframes->is_object()) || keyframes->empty()) {
      return fail(animationName(a) + " has no keyframes");
    }
    if (a == 0) {
      const Json* vertices = jsonfields::member(*firstChild(*keyframes), "vertices");
      if (vertices == nullptr || !vertices->is_array()) {
        return fail(keyframeName(0, 0) + ": \"vertices\" is missing or not an array");
      }
      if (vertices->size() != expectedVertexCount) {
        return fail(std::to_string(vertices->size()) + " vertices per keyframe, the model has " +
                    std::to_string(expectedVertexCount));
      }
      verticesPerFrame_ = static_cast<uint32_t>(vertices->size());
    }
    std::string problem;
    if (!checkKeyframes(*keyframes, a, verticesPerFrame_, problem)) return fail(problem);
    firstFrame_.push_back(static_cast<int32_t>(total));
    total += keyframes->size();
    if (total > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
      return fail("too many keyframes");
    }
    keyframeLists.push_back(keyframes);
    ++a;
  }
  animationCount_ = static_cast<uint16_t>(animations.size());
  frameCount_ = static_cast<uint32_t>(total);

  // Second pass: the values, into storage sized by what the first pass found.
  const std::size_t vertices = verticesPerFrame_;
  keyframePositions_.assign(total * vertices * 3, 0.0f);
  keyframeColours_.assign(total * vertices * 3, 0.0f);
  keyframeUvs_.assign(total * vertices * 2, 0.0f);
  startTimes_.assign(total, 0.0f);
  std::size_t frame = 0;
  for (a = 0; a < keyframeLists.size(); ++a) {
    std::size_t k = 0;
    for (const Json& keyframe : *keyframeLists[a]) {
      std::string problem;
      const bool ok =
          jsonfields::readFloat(keyframe, "startTime", startTimes_[frame], problem) &&
          jsonfields::readComponents(*jsonfields::member(keyframe, "vertices"),
                                     jsonfields::kPositionNames, "vertices",
                                     &keyframePositions_[frame * vertices * 3], problem) &&
          jsonfields::readComponents(*jsonfields::member(keyframe, "uvs"), jsonfields::kUvNames,
                                     "uvs", &keyframeUvs_[frame * vertices * 2], problem) &&
          jsonfields::readComponents(*jsonfields::member(keyframe, "colors"),
                                     jsonfields::kColourNames, "colors",
                                     &keyframeColours_[frame * vertices * 3], problem);
      if (!ok) return fail(keyframeName(a, k) + ": " + problem);
      ++frame;
      ++k;
    }
  }

  currentPositions_.assign(vertices * 3, 0.0f);
  currentColours_.assign(vertices * 3, 0.0f);
  currentUvs_.assign(vertices * 2, 0.0f);
  copyFrame(0);
  return true;
}

uint32_t MeshAnimation::lastFrameOf(uint32_t animationIndex) const {
  if (animationIndex + 1 < animationCount_) {
    return static_cast<uint32_t>(firstFrame_[animationIndex + 1]) - 1;
  }
  return frameCount_ - 1;
}

void MeshAnimation::setTime(uint32_t animationIndex, float time) {
  if (animationIndex >= animationCount_) return;
  const uint32_t first = static_cast<uint32_t>(firstFrame_[animationIndex]);
  const uint32_t last = lastFrameOf(animationIndex);
  // Written so that a NaN time also lands here: the scan below needs a time
  // above the first keyframe's start.
  if (!(time > 0.0f && time > startTimes_[first])) {
    copyFrame(first);
    return;
  }
  if (time >= startTimes_[last]) {
    copyFrame(last);
    return;
  }
  uint32_t i = first;
  while (time > startTimes_[i]) ++i;
  blendFrames(i - 1, time);
}

void MeshAnimation::copyFrame(uint32_t keyframe) {
  if (keyframe >= frameCount_) return;
  const std::size_t v = verticesPerFrame_;
  std::copy_n(keyframePositions_.begin() + keyframe * v * 3, v * 3, currentPositions_.begin());
  std::copy_n(keyframeColours_.begin() + keyframe * v * 3, v * 3, currentColours_.begin());
  std::copy_n(keyframeUvs_.begin() + keyframe * v * 2, v * 2, currentUvs_.begin());
}

void MeshAnimation::blendFrames(uint32_t keyframe, float time) {
  if (keyframe + 1 >= frameCount_) {
    copyFrame(keyframe);
    return;
  }
  const float f =
      (time - startTimes_[keyframe]) / (startTimes_[keyframe + 1] - startTimes_[keyframe]);
  auto blend = [f](const std::vector<float>& frames, std::size_t from, std::size_t count,
                   std::vector<float>& out) {
    const float* a = frames.data() + from;
    const float* b = a + count;
    for (std::size_t i = 0; i < count; ++i) out[i] = a[i] + f * (b[i] - a[i]);
  };
  const std::size_t v = verticesPerFrame_;
  blend(keyframePositions_, keyframe * v * 3, v * 3, currentPositions_);
  blend(keyframeColours_, keyframe * v * 3, v * 3, currentColours_);
  blend(keyframeUvs_, keyframe * v * 2, v * 2, currentUvs_);
}

}  // namespace dravik
