#include <string>

#include "mesh/JsonFields.h"
#include "mesh/JsonFile.h"
#include "mesh/Mesh.h"
#include "render/FileProblem.h"

namespace dravik {

namespace {

using namespace jsonfields;

struct ModelArrays {
  std::vector<float> positions;
  std::vector<float> colours;
  std::vector<uint16_t> indices;
  std::vector<float> uvs;
};

// A non-negative integer below limit.
bool readIndex(Json value, std::string_view name, uint32_t limit, uint16_t& out,
               std::string& problem) {
  uint64_t index = 0;
  if (value.get_uint64().get(index) != simdjson::SUCCESS) {
    problem = "member \"" + std::string(name) +
              (value.is_int64() ? "\" is negative" : "\" is not an integer");
    return false;
  }
  if (index >= limit) {
    problem = "member \"" + std::string(name) + "\" = " + std::to_string(index) +
              " is not below the vertex count " + std::to_string(limit);
    return false;
  }
  out = static_cast<uint16_t>(index);
  return true;
}

// The three corners of every triangle, in one pass over each entry's members.
bool readTriangles(JsonArray triangles, uint32_t vertexCount, uint16_t* out, std::string& problem) {
  constexpr std::string_view kCorners[3] = {"a", "b", "c"};
  std::size_t t = 0;
  for (Json triangle : triangles) {
    auto fault = [&](const std::string& what) {
      problem = "entry " + std::to_string(t) + " of \"indices\"" + what;
      return false;
    };
    JsonObject object;
    if (!asObject(triangle, object)) return fault(" is not an object");
    Json corners[3];
    bool found[3] = {};
    for (auto field : object) {
      for (std::size_t c = 0; c < 3; ++c) {
        if (sameKey(field.key, kCorners[c])) {
          corners[c] = field.value;
          found[c] = true;
          break;
        }
      }
    }
    for (std::size_t c = 0; c < 3; ++c) {
      if (!found[c]) return fault(": missing member \"" + std::string(kCorners[c]) + "\"");
      std::string what;
      if (!readIndex(corners[c], kCorners[c], vertexCount, out[3 * t + c], what)) {
        return fault(": " + what);
      }
    }
    ++t;
  }
  return true;
}

bool readModel(Json model, ModelArrays& out, std::string& problem) {
  JsonObject object;
  if (!asObject(model, object)) {
    problem = "\"model\" is not an object";
    return false;
  }
  JsonArray vertices, uvs, colours, indices;
  for (auto [name, array] : {std::pair<const char*, JsonArray*>{"vertices", &vertices},
                             {"uvs", &uvs},
                             {"colors", &colours},
                             {"indices", &indices}}) {
    const ArrayFault fault = arrayMember(object, name, *array);
    if (fault != ArrayFault::none) {
      problem = arrayProblem(fault, "\"model\"", name);
      return false;
    }
  }

  const std::size_t vertexCount = elementCount(vertices);
  if (vertexCount > Mesh::kMaxVertices) {
    problem =
        std::to_string(vertexCount) + " vertices, more than " + std::to_string(Mesh::kMaxVertices);
    return false;
  }
  const std::size_t uvCount = elementCount(uvs);
  const std::size_t colourCount = elementCount(colours);
  if (uvCount != vertexCount || colourCount != vertexCount) {
    problem = "\"vertices\", \"uvs\" and \"colors\" differ in length (" +
              std::to_string(vertexCount) + ", " + std::to_string(uvCount) + ", " +
              std::to_string(colourCount) + ")";
    return false;
  }

  out.positions.assign(vertexCount * 3, 0.0f);
  if (!readComponents(vertices, kPositionNames, "vertices", out.positions.data(), problem)) {
    return false;
  }
  out.uvs.assign(vertexCount * 2, 0.0f);
  if (!readComponents(uvs, kUvNames, "uvs", out.uvs.data(), problem)) return false;
  out.colours.assign(vertexCount * 3, 0.0f);
  if (!readComponents(colours, kColourNames, "colors", out.colours.data(), problem)) {
    return false;
  }
  out.indices.assign(elementCount(indices) * 3, 0);
  return readTriangles(indices, static_cast<uint32_t>(vertexCount), out.indices.data(), problem);
}

}  // namespace

bool Mesh::loadJson(const std::string& name) {
  clear();
  JsonFile file;
  if (!file.open(name)) return true;
  JsonObject rootObject;
  if (!asObject(file.root(), rootObject)) {
    reportFileProblem(name, "the top level is not an object");
    return true;
  }

  // When a name repeats, the last member counts; an earlier one is not read.
  Json model, animations;
  bool hasModel = false, hasAnimations = false;
  for (auto member : rootObject) {
    if (sameKey(member.key, "model")) {
      model = member.value;
      hasModel = true;
    } else if (sameKey(member.key, "animations")) {
      animations = member.value;
      hasAnimations = true;
    }
  }

  ModelArrays arrays;
  std::string problem;
  if (hasModel && !readModel(model, arrays, problem)) {
    reportFileProblem(name, problem);
    return true;
  }
  positions_ = std::move(arrays.positions);
  colours_ = std::move(arrays.colours);
  indices_ = std::move(arrays.indices);
  uvs_ = std::move(arrays.uvs);
  updateCounts();

  // The animation is read once the model is known, wherever the two members
  // stand in the file, so that its vertex count can be checked.
  if (hasAnimations) {
    animation_ = std::make_unique<MeshAnimation>();
    if (!animation_->loadAnimations(animations, static_cast<uint32_t>(positions_.size() / 3),
                                    name)) {
      animation_.reset();
    }
  }
  return true;
}

}  // namespace dravik
