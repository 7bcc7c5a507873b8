#include <string>

#include "mesh/JsonFields.h"
#include "mesh/Mesh.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

using jsonfields::Json;

struct ModelArrays {
  std::vector<float> positions;
  std::vector<float> colours;
  std::vector<uint16_t> indices;
  std::vector<float> uvs;
};

bool readModel(const Json& model, ModelArrays& out, std::string& problem) {
  using namespace jsonfields;
  if (!model.is_object()) {
    problem = "\"model\" is not an object";
    return false;
  }
  const Json* vertices = arrayMember(model, "vertices", "\"model\"", problem);
  if (vertices == nullptr) return false;
  const Json* uvs = arrayMember(model, "uvs", "\"model\"", problem);
  if (uvs == nullptr) return false;
  const Json* colours = arrayMember(model, "colors", "\"model\"", problem);
  if (colours == nullptr) return false;
  const Json* indices = arrayMember(model, "indices", "\"model\"", problem);
  if (indices == nullptr) return false;

  const std::size_t vertexCount = vertices->size();
  if (vertexCount > Mesh::kMaxVertices) {
    problem =
        std::to_string(vertexCount) + " vertices, more than " + std::to_string(Mesh::kMaxVertices);
    return false;
  }
  if (uvs->size() != vertexCount || colours->size() != vertexCount) {
    problem = "\"vertices\", \"uvs\" and \"colors\" differ in length (" +
              std::to_string(vertexCount) + ", " + std::to_string(uvs->size()) + ", " +
              std::to_string(colours->size()) + ")";
    return false;
  }

  out.positions.assign(vertexCount * 3, 0.0f);
  if (!readComponents(*vertices, kPositionNames, "vertices", out.positions.data(), problem)) {
    return false;
  }
  out.uvs.assign(vertexCount * 2, 0.0f);
  if (!readComponents(*uvs, kUvNames, "uvs", out.uvs.data(), problem)) return false;
  out.colours.assign(vertexCount * 3, 0.0f);
  if (!readComponents(*colours, kColourNames, "colors", out.colours.data(), problem)) {
    return false;
  }

  out.indices.assign(indices->size() * 3, 0);
  std::size_t at = 0;
  for (const Json& triangle : *indices) {
    const std::string where = "entry " + std::to_string(at / 3) + " of \"indices\"";
    if (!triangle.is_object()) {
      problem = where + " is not an object";
      return false;
    }
    for (const char* corner : {"a", "b", "c"}) {
      uint32_t index = 0;
      if (!readIndex(triangle, corner, static_cast<uint32_t>(vertexCount), index, problem)) {
        problem = where + ": " + problem;
        return false;
      }
      out.indices[at++] = static_cast<uint16_t>(index);
    }
  }
  return true;
}

}  // namespace

bool Mesh::loadJson(const std::string& name) {
  clear();
  std::string text;
  if (!readWholeFile(name, text)) return true;

  Json root = Json::parse(text, nullptr, false);
  text.clear();
  text.shrink_to_fit();
  if (root.is_discarded()) {
    reportFileProblem(name, "not valid JSON");
    return true;
  }
  if (!root.is_object()) {
    reportFileProblem(name, "the top level is not an object");
    return true;
  }

  ModelArrays arrays;
  const Json* animations = nullptr;
  for (const auto& item : root.items()) {
    if (item.key() == "model") {
      std::string problem;
      if (!readModel(item.value(), arrays, problem)) {
        reportFileProblem(name, problem);
        return true;
      }
    } else if (item.key() == "animations") {
      animations = &item.value();
    }
  }

  positions_ = std::move(arrays.positions);
  colours_ = std::move(arrays.colours);
  indices_ = std::move(arrays.indices);
  uvs_ = std::move(arrays.uvs);
  updateCounts();

  // The animation is read once the model is known, wherever the two members
  // stand in the file, so that its vertex count can be checked.
  if (animations != nullptr) {
    animation_ = std::make_unique<MeshAnimation>();
    if (!animation_->loadAnimations(*animations, static_cast<uint32_t>(positions_.size() / 3),
                                    name)) {
      animation_.reset();
    }
  }
  return true;
}

}  // namespace dravik
