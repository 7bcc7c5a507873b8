#include "mesh/MeshAnimation.h"

#include <algorithm>
#include <limits>

#include "mesh/JsonFields.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

using namespace jsonfields;

// Arrays and objects alike hold the animations and their keyframes; an
// object's member names are not looked at.
bool childCount(Json node, std::size_t& count) {
  JsonArray array;
  JsonObject object;
  if (asArray(node, array)) {
    count = elementCount(array);
  } else if (asObject(node, object)) {
    count = memberCount(object);
  } else {
    return false;
  }
  return true;
}

// Calls visit(child) for each child in document order until it returns false.
template <typename Visit>
bool forEachChild(Json node, Visit&& visit) {
  JsonArray array;
  JsonObject object;
  if (asArray(node, array)) {
    for (Json child : array) {
      if (!visit(child)) return false;
    }
  } else if (asObject(node, object)) {
    for (auto field : object) {
      if (!visit(field.value)) return false;
    }
  }
  return true;
}

// The first child of an array or object.
bool firstChild(Json node, Json& out) {
  bool found = false;
  forEachChild(node, [&](Json child) {
    out = child;
    found = true;
    return false;
  });
  return found;
}

std::string animationName(std::size_t a) { return "animation " + std::to_string(a); }

std::string keyframeName(std::size_t a, std::size_t k) {
  return animationName(a) + ", keyframe " + std::to_string(k);
}

// Checks the shape of every keyframe of one animation, without reading the
// values, so that nothing is allocated for data the file does not hold.
bool checkKeyframes(Json keyframes, std::size_t a, uint32_t verticesPerFrame,
                    std::string& problem) {
  std::size_t k = 0;
  return forEachChild(keyframes, [&](Json keyframe) {
    JsonObject object;
    if (!asObject(keyframe, object)) {
      problem = keyframeName(a, k) + " is not an object";
      return false;
    }
    Json start;
    if (!member(object, "startTime", start) || !isNumber(start)) {
      problem = keyframeName(a, k) + ": \"startTime\" is missing or not a number";
      return false;
    }
    for (const char* name : {"vertices", "uvs", "colors"}) {
      JsonArray array;
      const ArrayFault fault = arrayMember(object, name, array);
      if (fault != ArrayFault::none) {
        problem = arrayProblem(fault, keyframeName(a, k), name);
        return false;
      }
      const std::size_t entries = elementCount(array);
      if (entries != verticesPerFrame) {
        problem = keyframeName(a, k) + ": \"" + name + "\" has " + std::to_string(entries) +
                  " entries, not " + std::to_string(verticesPerFrame);
        return false;
      }
    }
    ++k;
    return true;
  });
}

// Reads one keyframe, whose shape checkKeyframes has approved.
bool readKeyframe(JsonObject keyframe, float& startTime, float* positions, float* uvs,
                  float* colours, std::string& problem) {
  JsonArray vertices, uvList, colourList;
  arrayMember(keyframe, "vertices", vertices);
  arrayMember(keyframe, "uvs", uvList);
  arrayMember(keyframe, "colors", colourList);
  return readFloat(keyframe, "startTime", startTime, problem) &&
         readComponents(vertices, kPositionNames, "vertices", positions, problem) &&
         readComponents(uvList, kUvNames, "uvs", uvs, problem) &&
         readComponents(colourList, kColourNames, "colors", colours, problem);
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
  std::size_t count = 0;
  if (!childCount(animations, count)) return fail("not an array or object");
  if (count == 0) return fail("holds no animation");
  if (count > std::numeric_limits<uint16_t>::max()) {
    return fail(std::to_string(count) + " animations, more than 65535");
  }

  // First pass: shapes, keyframe totals and the vertex count.
  std::vector<Json> keyframeLists;
  keyframeLists.reserve(count);
  firstFrame_.reserve(count);
  uint64_t total = 0;
  std::string problem;
  const bool shapesHold = forEachChild(animations, [&](Json animation) {
    const std::size_t a = keyframeLists.size();
    Json keyframes;
    std::size_t keyframeCount = 0;
    if (!firstChild(animation, keyframes)) {
      problem = animationName(a) + " is empty or not a container";
      return false;
    }
    if (!childCount(keyframes, keyframeCount) || keyframeCount == 0) {
      problem = animationName(a) + " has no keyframes";
      return false;
    }
    if (a == 0) {
      Json first, vertices;
      JsonArray list;
      firstChild(keyframes, first);
      if (!member(first, "vertices", vertices) || !asArray(vertices, list)) {
        problem = keyframeName(0, 0) + ": \"vertices\" is missing or not an array";
        return false;
      }
      const std::size_t perFrame = elementCount(list);
      if (perFrame != expectedVertexCount) {
        problem = std::to_string(perFrame) + " vertices per keyframe, the model has " +
                  std::to_string(expectedVertexCount);
        return false;
      }
      verticesPerFrame_ = static_cast<uint32_t>(perFrame);
    }
    if (!checkKeyframes(keyframes, a, verticesPerFrame_, problem)) return false;
    firstFrame_.push_back(static_cast<int32_t>(total));
    total += keyframeCount;
    if (total > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
      problem = "too many keyframes";
      return false;
    }
    keyframeLists.push_back(keyframes);
    return true;
  });
  if (!shapesHold) return fail(problem);
  animationCount_ = static_cast<uint16_t>(count);
  frameCount_ = static_cast<uint32_t>(total);

  // Second pass: the values, into storage sized by what the first pass found.
  const std::size_t vertices = verticesPerFrame_;
  keyframePositions_.assign(total * vertices * 3, 0.0f);
  keyframeColours_.assign(total * vertices * 3, 0.0f);
  keyframeUvs_.assign(total * vertices * 2, 0.0f);
  startTimes_.assign(total, 0.0f);
  std::size_t frame = 0;
  for (std::size_t a = 0; a < keyframeLists.size(); ++a) {
    std::size_t k = 0;
    const bool valuesHold = forEachChild(keyframeLists[a], [&](Json keyframe) {
      JsonObject object;
      asObject(keyframe, object);
      if (!readKeyframe(object, startTimes_[frame], &keyframePositions_[frame * vertices * 3],
                        &keyframeUvs_[frame * vertices * 2],
                        &keyframeColours_[frame * vertices * 3], problem)) {
        problem = keyframeName(a, k) + ": " + problem;
        return false;
      }
      ++frame;
      ++k;
      return true;
    });
    if (!valuesHold) return fail(problem);
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
