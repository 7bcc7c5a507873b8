// Model files made in code for the mesh tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "mesh/Mesh.h"
#include "tests/support/TempDir.h"

namespace dravik::test {

using Json = nlohmann::ordered_json;

struct Geometry {
  std::vector<float> positions, colours, uvs;
  std::vector<uint16_t> indices;
};

// Vertex i of a geometry with distinct values in every stream; offset sets
// one keyframe apart from another.
inline Geometry sampleGeometry(std::size_t vertices, std::size_t triangles, float offset = 0) {
  Geometry g;
  for (std::size_t i = 0; i < vertices; ++i) {
    const float f = static_cast<float>(i) + offset;
    g.positions.insert(g.positions.end(), {f, f + 0.5f, -f});
    g.colours.insert(g.colours.end(), {f * 0.25f, 1 - f, f * 2});
    g.uvs.insert(g.uvs.end(), {f * 0.125f, 1 + f});
  }
  for (std::size_t t = 0; t < triangles; ++t) {
    for (std::size_t c = 0; c < 3; ++c) {
      g.indices.push_back(static_cast<uint16_t>((t + c * 2) % vertices));
    }
  }
  return g;
}

inline Json entries(const std::vector<float>& values, std::vector<const char*> names) {
  Json list = Json::array();
  for (std::size_t at = 0; at + names.size() <= values.size(); at += names.size()) {
    Json entry = Json::object();
    for (std::size_t c = 0; c < names.size(); ++c) entry[names[c]] = values[at + c];
    list.push_back(entry);
  }
  return list;
}

// The "vertices", "uvs" and "colors" members of a model or keyframe.
inline Json vertexStreams(const Geometry& g) {
  Json j = Json::object();
  j["vertices"] = entries(g.positions, {"x", "y", "z"});
  j["uvs"] = entries(g.uvs, {"u", "v"});
  j["colors"] = entries(g.colours, {"r", "g", "b"});
  return j;
}

inline Json modelJson(const Geometry& g) {
  Json model = vertexStreams(g);
  model["indices"] = Json::array();
  for (std::size_t t = 0; t + 3 <= g.indices.size(); t += 3) {
    model["indices"].push_back(
        {{"a", g.indices[t]}, {"b", g.indices[t + 1]}, {"c", g.indices[t + 2]}});
  }
  return Json{{"model", model}};
}

inline Json keyframe(float startTime, const Geometry& g) {
  Json k = vertexStreams(g);
  k["startTime"] = startTime;
  return k;
}

inline std::vector<uint8_t> modelBinary(const Geometry& g, std::size_t trailer = 0) {
  Bytes b;
  b.u32(static_cast<uint32_t>(g.positions.size() / 3))
      .u32(static_cast<uint32_t>(g.indices.size() / 3));
  for (const auto* stream : {&g.positions, &g.colours, &g.uvs}) {
    for (float f : *stream) b.f32(f);
  }
  for (uint16_t i : g.indices) b.u16(i);
  b.fill(trailer, 0xAB);
  return b.data();
}

inline void expectEmpty(const Mesh& mesh) {
  EXPECT_TRUE(mesh.positions().empty());
  EXPECT_TRUE(mesh.colours().empty());
  EXPECT_TRUE(mesh.indices().empty());
  EXPECT_TRUE(mesh.uvs().empty());
  EXPECT_EQ(mesh.positionCount() + mesh.colourCount() + mesh.indexCount() + mesh.uvCount(), 0u);
  EXPECT_EQ(mesh.animation(), nullptr);
}

inline void expectArrays(const Mesh& mesh, const Geometry& g) {
  EXPECT_EQ(mesh.positions(), g.positions);
  EXPECT_EQ(mesh.colours(), g.colours);
  EXPECT_EQ(mesh.uvs(), g.uvs);
  EXPECT_EQ(mesh.indices(), g.indices);
}

struct LoadOutput {
  std::string out, err;
};

inline LoadOutput loadCapturing(Mesh& mesh, const std::string& path) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_TRUE(mesh.loadFile(path));
  LoadOutput o;
  o.err = testing::internal::GetCapturedStderr();
  o.out = testing::internal::GetCapturedStdout();
  return o;
}

// Exactly one line, "<path>: <problem>".
inline void expectOneProblemLine(const std::string& err, const std::string& path) {
  EXPECT_EQ(err.rfind(path + ": ", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(err.back(), '\n');
}

}  // namespace dravik::test
