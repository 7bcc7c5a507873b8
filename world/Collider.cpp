#include "world/Collider.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>

#include "render/FileProblem.h"

namespace dravik {

namespace {

using Json = nlohmann::ordered_json;

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
const Json* findArray(const Json& collider, const char* key, std::string& problem) {
  const auto it = collider.find(key);
  if (it == collider.end()) {
    problem = std::string("\"collider\" has no \"") + key + "\" array";
    return nullptr;
  }
  if (!it->is_array()) {
    problem = std::string("\"collider\" member \"") + key + "\" is not an array";
    return nullptr;
  }
  return &*it;
}

std::string elementName(const char* array, std::size_t index) {
  return std::string("\"") + array + "\" element " + std::to_string(index);
}

bool readFloat(const Json& element, const char* array, std::size_t index, const char* key,
               float& out, std::string& problem) {
  const auto it = element.find(key);
  if (it == element.end()) {
    problem = elementName(array, index) + " has no \"" + key + "\"";
    return false;
  }
  if (!it->is_number()) {
    problem = elementName(array, index) + " \"" + key + "\" is not a number";
    return false;
  }
  // Converting a double beyond the float range is undefined behaviour.
  const double value = it->get<double>();
  if (!(std::fabs(value) <= FLT_MAX)) {
    problem = elementName(array, index) + " \"" + key + "\" is out of range";
    return false;
  }
  out = static_cast<float>(value);
  return true;
}

bool readIndex(const Json& element, std::size_t index, const char* key, int32_t& out,
               std::string& problem) {
  const auto it = element.find(key);
  if (it == element.end()) {
    problem = elementName("indices", index) + " has no \"" + key + "\"";
    return false;
  }
  bool fits = false;
  if (it->is_number_unsigned()) {
    fits = it->get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  } else if (it->is_number_integer()) {
    const int64_t v = it->get<int64_t>();
    fits = v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
  } else {
    problem = elementName("indices", index) + " \"" + key + "\" is not an integer";
    return false;
  }
  if (!fits) {
    problem = elementName("indices", index) + " \"" + key + "\" is out of range";
    return false;
  }
  out = static_cast<int32_t>(it->get<int64_t>());
  return true;
}

bool checkElement(const Json& element, const char* array, std::size_t index, std::string& problem) {
  if (!element.is_object()) {
    problem = elementName(array, index) + " is not an object";
    return false;
  }
  return true;
}

// Reads one "collider" object in full, or says what is wrong.
bool readShape(const Json& collider, Shape& shape, std::string& problem) {
  if (!collider.is_object()) {
    problem = "\"collider\" is not an object";
    return false;
  }
  const Json* vertices = findArray(collider, "vertices", problem);
  const Json* indices = vertices ? findArray(collider, "indices", problem) : nullptr;
  const Json* circles = indices ? findArray(collider, "circles", problem) : nullptr;
  if (circles == nullptr) return false;

  // Element counts must fit the int32 counts of the collider.
  constexpr std::size_t kMaxElements =
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2);
  if (vertices->size() > kMaxElements || indices->size() > kMaxElements ||
      circles->size() > kMaxElements) {
    problem = "\"collider\" has too many elements";
    return false;
  }

  shape.vertexX.resize(vertices->size());
  shape.vertexY.resize(vertices->size());
  for (std::size_t k = 0; k < vertices->size(); ++k) {
    const Json& v = (*vertices)[k];
    if (!checkElement(v, "vertices", k, problem) ||
        !readFloat(v, "vertices", k, "x", shape.vertexX[k], problem) ||
        !readFloat(v, "vertices", k, "y", shape.vertexY[k], problem)) {
      return false;
    }
  }

  shape.edgeIndices.resize(2 * indices->size());
  for (std::size_t k = 0; k < indices->size(); ++k) {
    const Json& e = (*indices)[k];
    if (!checkElement(e, "indices", k, problem) ||
        !readIndex(e, k, "a", shape.edgeIndices[2 * k], problem) ||
        !readIndex(e, k, "b", shape.edgeIndices[2 * k + 1], problem)) {
      return false;
    }
  }

  shape.circleX.resize(circles->size());
  shape.circleY.resize(circles->size());
  shape.circleRadius.resize(circles->size());
  for (std::size_t k = 0; k < circles->size(); ++k) {
    const Json& c = (*circles)[k];
    if (!checkElement(c, "circles", k, problem) ||
        !readFloat(c, "circles", k, "x", shape.circleX[k], problem) ||
        !readFloat(c, "circles", k, "y", shape.circleY[k], problem) ||
        !readFloat(c, "circles", k, "radius", shape.circleRadius[k], problem)) {
      return false;
    }
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
  std::string text;
  if (!readWholeFile(name, text)) return true;

  // No exceptions: a parse error gives a discarded value.
  const Json root = Json::parse(text, nullptr, false);
  if (root.is_discarded()) {
    reportFileProblem(name, "not valid JSON");
    return true;
  }
  if (!root.is_object()) {
    reportFileProblem(name, "the root is not an object");
    return true;
  }

  for (const auto& member : root.items()) {
    if (member.key() != "collider") continue;
    Shape shape;
    std::string problem;
    if (!readShape(member.value(), shape, problem)) {
      clear();
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
  }
  return true;
}

}  // namespace dravik
