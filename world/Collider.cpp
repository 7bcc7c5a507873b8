#include "world/Collider.h"

#include <limits>
#include <utility>

#include "mesh/JsonFields.h"
#include "mesh/JsonFile.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

using namespace jsonfields;

// One shape as read from one "collider" member; committed only when the
// whole member is well formed.
struct Shape {
  std::vector<float> circleX;
  std::vector<float> circleY;
  std::vector<float> circleRadius;
  std::vector<float> vertexX;
  std::vector<float> vertexY;
  std::vector<int32_t> edgeIndices;
};

// Finds array `key` of the collider object, or says what is wrong.
bool findArray(JsonObject collider, const char* key, JsonArray& out, std::string& problem) {
  switch (arrayMember(collider, key, out)) {
    case ArrayFault::none:
      return true;
    case ArrayFault::missing:
      problem = std::string("\"collider\" has no \"") + key + "\" array";
      return false;
    case ArrayFault::notArray:
      break;
  }
  problem = std::string("\"collider\" member \"") + key + "\" is not an array";
  return false;
}

std::string elementName(const char* array, std::size_t index) {
  return std::string("\"") + array + "\" element " + std::to_string(index);
}

bool readFloat(JsonObject element, const char* array, std::size_t index, const char* key,
               float& out, std::string& problem) {
  Json value;
  if (!member(element, key, value)) {
    problem = elementName(array, index) + " has no \"" + key + "\"";
    return false;
  }
  switch (toFloat(value, out)) {
    case NumberFault::none:
      return true;
    case NumberFault::notNumber:
      problem = elementName(array, index) + " \"" + key + "\" is not a number";
      return false;
    case NumberFault::outOfRange:
      break;
  }
  problem = elementName(array, index) + " \"" + key + "\" is out of range";
  return false;
}

bool readIndex(JsonObject element, std::size_t index, const char* key, int32_t& out,
               std::string& problem) {
  Json value;
  if (!member(element, key, value)) {
    problem = elementName("indices", index) + " has no \"" + key + "\"";
    return false;
  }
  if (!isInteger(value)) {
    problem = elementName("indices", index) + " \"" + key + "\" is not an integer";
    return false;
  }
  int64_t v = 0;
  if (value.get_int64().get(v) != simdjson::SUCCESS || v < std::numeric_limits<int32_t>::min() ||
      v > std::numeric_limits<int32_t>::max()) {
    problem = elementName("indices", index) + " \"" + key + "\" is out of range";
    return false;
  }
  out = static_cast<int32_t>(v);
  return true;
}

bool checkElement(Json element, const char* array, std::size_t index, JsonObject& out,
                  std::string& problem) {
  if (!asObject(element, out)) {
    problem = elementName(array, index) + " is not an object";
    return false;
  }
  return true;
}

// Reads one "collider" object in full, or says what is wrong.
bool readShape(Json collider, Shape& shape, std::string& problem) {
  JsonObject object;
  if (!asObject(collider, object)) {
    problem = "\"collider\" is not an object";
    return false;
  }
  JsonArray vertices, indices, circles;
  if (!findArray(object, "vertices", vertices, problem) ||
      !findArray(object, "indices", indices, problem) ||
      !findArray(object, "circles", circles, problem)) {
    return false;
  }

  // Element counts must fit the int32 counts of the collider.
  constexpr std::size_t kMaxElements =
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2);
  const std::size_t vertexCount = elementCount(vertices);
  const std::size_t edgeCount = elementCount(indices);
  const std::size_t circleCount = elementCount(circles);
  if (vertexCount > kMaxElements || edgeCount > kMaxElements || circleCount > kMaxElements) {
    problem = "\"collider\" has too many elements";
    return false;
  }

  shape.vertexX.resize(vertexCount);
  shape.vertexY.resize(vertexCount);
  std::size_t k = 0;
  for (Json v : vertices) {
    JsonObject e;
    if (!checkElement(v, "vertices", k, e, problem) ||
        !readFloat(e, "vertices", k, "x", shape.vertexX[k], problem) ||
        !readFloat(e, "vertices", k, "y", shape.vertexY[k], problem)) {
      return false;
    }
    ++k;
  }

  shape.edgeIndices.resize(2 * edgeCount);
  k = 0;
  for (Json edge : indices) {
    JsonObject e;
    if (!checkElement(edge, "indices", k, e, problem) ||
        !readIndex(e, k, "a", shape.edgeIndices[2 * k], problem) ||
        !readIndex(e, k, "b", shape.edgeIndices[2 * k + 1], problem)) {
      return false;
    }
    ++k;
  }

  shape.circleX.resize(circleCount);
  shape.circleY.resize(circleCount);
  shape.circleRadius.resize(circleCount);
  k = 0;
  for (Json c : circles) {
    JsonObject e;
    if (!checkElement(c, "circles", k, e, problem) ||
        !readFloat(e, "circles", k, "x", shape.circleX[k], problem) ||
        !readFloat(e, "circles", k, "y", shape.circleY[k], problem) ||
        !readFloat(e, "circles", k, "radius", shape.circleRadius[k], problem)) {
      return false;
    }
    ++k;
  }
  return true;
}

}  // namespace

void Collider::clear() {
  // Swapping with empty vectors gives the memory back, not just the size.
  std::vector<float>().swap(circleX_);
  std::vector<float>().swap(circleY_);
  std::vector<float>().swap(circleRadius_);
  std::vector<float>().swap(vertexX_);
  std::vector<float>().swap(vertexY_);
  std::vector<int32_t>().swap(edgeIndices_);
  circleCount_ = 0;
  edgeCount_ = 0;
  vertexCount_ = 0;
}

bool Collider::loadCollider(const std::string& name) {
  if (name.find(".json", 1) == std::string::npos) return true;

  clear();
  JsonFile file;
  if (!file.open(name)) return true;
  JsonObject rootObject;
  if (!asObject(file.root(), rootObject)) {
    reportFileProblem(name, "the root is not an object");
    return true;
  }

  // The last "collider" member wins; an earlier one is not read.
  Json collider;
  if (!member(rootObject, "collider", collider)) return true;
  Shape shape;
  std::string problem;
  if (!readShape(collider, shape, problem)) {
    reportFileProblem(name, problem);
    return true;
  }
  vertexX_ = std::move(shape.vertexX);
  vertexY_ = std::move(shape.vertexY);
  edgeIndices_ = std::move(shape.edgeIndices);
  circleX_ = std::move(shape.circleX);
  circleY_ = std::move(shape.circleY);
  circleRadius_ = std::move(shape.circleRadius);
  vertexCount_ = static_cast<int32_t>(vertexX_.size());
  edgeCount_ = static_cast<int32_t>(edgeIndices_.size() / 2);
  circleCount_ = static_cast<int32_t>(circleX_.size());
  return true;
}

}  // namespace dravik
