#include <gtest/gtest.h>

#include <array>
#include <map>
#include <nlohmann/json.hpp>
#include <numeric>

#include "tests/tools/AssetFiles.h"
#include "tools/ModelBuilder.h"

namespace dravik::test {
namespace {

using Vec = std::array<double, 3>;

Vec sub(Vec a, Vec b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(Vec a, Vec b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(Vec a, Vec b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

struct Model {
  std::vector<Vec> positions;
  std::vector<std::array<double, 2>> uvs;
  std::vector<Vec> colours;
  std::vector<std::array<int, 3>> triangles;

  Vec normal(const std::array<int, 3>& t) const {
    return cross(sub(positions[t[1]], positions[t[0]]), sub(positions[t[2]], positions[t[0]]));
  }
  Vec centre(const std::array<int, 3>& t) const {
    Vec c{};
    for (int i : t)
      for (int k = 0; k < 3; ++k) c[k] += positions[i][k] / 3.0;
    return c;
  }
};

Model parseModel(const std::string& path) {
  const auto root = nlohmann::ordered_json::parse(readText(path));
  const auto& model = root.at("model");
  Model m;
  for (const auto& v : model.at("vertices"))
    m.positions.push_back(
        {v.at("x").get<double>(), v.at("y").get<double>(), v.at("z").get<double>()});
  for (const auto& v : model.at("uvs"))
    m.uvs.push_back({v.at("u").get<double>(), v.at("v").get<double>()});
  for (const auto& v : model.at("colors"))
    m.colours.push_back(
        {v.at("r").get<double>(), v.at("g").get<double>(), v.at("b").get<double>()});
  for (const auto& v : model.at("indices"))
    m.triangles.push_back({v.at("a").get<int>(), v.at("b").get<int>(), v.at("c").get<int>()});
  return m;
}

enum class Shape { Flat, Closed };

struct ModelCase {
  const char* file;
  Shape shape;
  Vec min;
  Vec max;
  double maxUv;
};

const ModelCase kModels[] = {
    {"data/quad.json", Shape::Flat, {0, 0, 0}, {1, 1, 0}, 1},
    {"data/quadBackground.json", Shape::Flat, {0, 0, 0}, {1, 1, 0}, 20},
    {"data/meshes/display/wall.json", Shape::Closed, {-0.5, -0.5, 0}, {1.5, 1.5, 2}, 1},
    {"data/meshes/display/tallWall.json", Shape::Closed, {-0.5, -0.5, 0}, {1.5, 1.5, 6}, 3},
    {"data/meshes/display/floorWood.json", Shape::Closed, {-0.5, -0.5, 0}, {1.5, 1.5, 0.05}, 1},
    {"data/meshes/display/wood.json", Shape::Closed, {-0.5, -0.5, 6}, {1.5, 1.5, 6.3}, 1},
};

// Groups vertices into parts by shared positions and shared triangles.
std::vector<int> partOfEachVertex(const Model& m) {
  std::vector<int> parent(m.positions.size());
  std::iota(parent.begin(), parent.end(), 0);
  auto find = [&](int v) {
    while (parent[v] != v) v = parent[v] = parent[parent[v]];
    return v;
  };
  auto join = [&](int a, int b) { parent[find(a)] = find(b); };
  std::map<Vec, int> firstAt;
  for (int i = 0; i < static_cast<int>(m.positions.size()); ++i) {
    auto [it, fresh] = firstAt.emplace(m.positions[i], i);
    if (!fresh) join(i, it->second);
  }
  for (const auto& t : m.triangles) {
    join(t[0], t[1]);
    join(t[1], t[2]);
  }
  std::vector<int> part(m.positions.size());
  for (int i = 0; i < static_cast<int>(part.size()); ++i) part[i] = find(i);
  return part;
}

// Each closed convex part: every face points away from the part's centre.
void expectFacesPointOutward(const Model& m, const std::string& file) {
  const std::vector<int> part = partOfEachVertex(m);
  std::map<int, std::map<Vec, bool>> uniquePositions;
  for (std::size_t i = 0; i < part.size(); ++i) uniquePositions[part[i]][m.positions[i]] = true;
  std::map<int, Vec> centroid;
  for (const auto& [p, positions] : uniquePositions) {
    Vec c{};
    for (const auto& [pos, unused] : positions)
      for (int k = 0; k < 3; ++k) c[k] += pos[k] / static_cast<double>(positions.size());
    centroid[p] = c;
  }
  for (std::size_t i = 0; i < m.triangles.size(); ++i) {
    const auto& t = m.triangles[i];
    EXPECT_GT(dot(m.normal(t), sub(m.centre(t), centroid[part[t[0]]])), 1e-9)
        << file << " triangle " << i << " faces inward";
  }
}

// Every directed edge has exactly one partner running the other way: the
// surface is closed and consistently wound.
void expectWatertight(const Model& m, const std::string& file) {
  std::map<std::pair<Vec, Vec>, int> edges;
  for (const auto& t : m.triangles) {
    for (int k = 0; k < 3; ++k) ++edges[{m.positions[t[k]], m.positions[t[(k + 1) % 3]]}];
  }
  for (const auto& [edge, count] : edges) {
    EXPECT_EQ(count, 1) << file << ": an edge is used twice in the same direction";
    const auto back = edges.find({edge.second, edge.first});
    EXPECT_TRUE(back != edges.end() && back->second == 1) << file << ": an open edge";
  }
}

void expectConsistentArrays(const Model& m, const std::string& file) {
  ASSERT_FALSE(m.positions.empty()) << file;
  EXPECT_EQ(m.uvs.size(), m.positions.size()) << file;
  EXPECT_EQ(m.colours.size(), m.positions.size()) << file;
  ASSERT_FALSE(m.triangles.empty()) << file;
  for (const auto& t : m.triangles) {
    for (int i : t) {
      ASSERT_GE(i, 0) << file;
      ASSERT_LT(i, static_cast<int>(m.positions.size())) << file;
    }
    EXPECT_GT(dot(m.normal(t), m.normal(t)), 1e-12) << file << ": degenerate triangle";
  }
  for (const auto& c : m.colours) {
    for (double v : c) {
      EXPECT_GE(v, 0.0) << file;
      EXPECT_LE(v, 1.0) << file;
    }
  }
}

TEST(ModelFiles, ArraysAgreeAndIndicesAreInRange) {
  for (const auto& c : kModels) expectConsistentArrays(parseModel(c.file), c.file);
  expectConsistentArrays(parseModel("data/meshes/display/tree.json"), "tree");
}

TEST(ModelFiles, SpanTheirDesignedBoundsAndUvs) {
  for (const auto& c : kModels) {
    SCOPED_TRACE(c.file);
    const Model m = parseModel(c.file);
    Vec lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
    for (const auto& p : m.positions) {
      for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(lo[k], p[k]);
        hi[k] = std::max(hi[k], p[k]);
      }
    }
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(lo[k], c.min[k], 1e-6) << "axis " << k;
      EXPECT_NEAR(hi[k], c.max[k], 1e-6) << "axis " << k;
    }
    double uvHigh = 0;
    for (const auto& uv : m.uvs) uvHigh = std::max({uvHigh, uv[0], uv[1]});
    EXPECT_NEAR(uvHigh, c.maxUv, 1e-6);
  }
}

TEST(ModelFiles, FlatQuadsFaceTheCamera) {
  for (const auto& c : kModels) {
    if (c.shape != Shape::Flat) continue;
    const Model m = parseModel(c.file);
    ASSERT_EQ(m.triangles.size(), 2u) << c.file;
    for (const auto& t : m.triangles) EXPECT_GT(m.normal(t)[2], 0.0) << c.file;
    // uv follows position, so the texture is not mirrored.
    for (std::size_t i = 0; i < m.positions.size(); ++i) {
      EXPECT_NEAR(m.uvs[i][0], m.positions[i][0] * c.maxUv, 1e-6) << c.file;
      EXPECT_NEAR(m.uvs[i][1], m.positions[i][1] * c.maxUv, 1e-6) << c.file;
    }
  }
}

TEST(ModelFiles, ClosedModelsAreWatertightAndFaceOutward) {
  for (const auto& c : kModels) {
    if (c.shape != Shape::Closed) continue;
    const Model m = parseModel(c.file);
    expectWatertight(m, c.file);
    expectFacesPointOutward(m, c.file);
  }
  const Model tree = parseModel("data/meshes/display/tree.json");
  expectWatertight(tree, "tree");
  expectFacesPointOutward(tree, "tree");
}

TEST(ModelFiles, BoxTopsAreLitBrighterThanTheirSides) {
  for (const auto& c : kModels) {
    if (c.shape != Shape::Closed) continue;
    const Model m = parseModel(c.file);
    double top = 0, brightestSide = 0;
    for (const auto& t : m.triangles) {
      const Vec n = m.normal(t);
      const double len = std::sqrt(dot(n, n));
      const Vec& colour = m.colours[t[0]];
      const double brightness = colour[0] + colour[1] + colour[2];
      if (n[2] / len > 0.99) top = std::max(top, brightness);
      if (std::abs(n[2] / len) < 0.01) brightestSide = std::max(brightestSide, brightness);
    }
    EXPECT_GT(top, brightestSide) << c.file;
  }
}

TEST(ModelFiles, TreeIsCentredOnItsPivotAndColoured) {
  const Model tree = parseModel("data/meshes/display/tree.json");
  double lowZ = 1e9, highZ = -1e9;
  Vec lo{1e9, 1e9, 0}, hi{-1e9, -1e9, 0};
  int green = 0, brown = 0;
  for (std::size_t i = 0; i < tree.positions.size(); ++i) {
    const Vec& p = tree.positions[i];
    lowZ = std::min(lowZ, p[2]);
    highZ = std::max(highZ, p[2]);
    for (int k = 0; k < 2; ++k) {
      lo[k] = std::min(lo[k], p[k]);
      hi[k] = std::max(hi[k], p[k]);
    }
    const Vec& c = tree.colours[i];
    if (c[1] > c[0] && c[1] > c[2]) ++green;
    if (c[0] > c[1] && c[1] > c[2]) ++brown;
  }
  EXPECT_NEAR(lowZ, 0.0, 1e-6);
  EXPECT_GT(highZ, 2.0);
  EXPECT_LT(highZ, 6.0);
  for (int k = 0; k < 2; ++k) {
    EXPECT_NEAR((lo[k] + hi[k]) / 2.0, 0.5, 0.1) << "axis " << k;
    EXPECT_GE(lo[k], -0.5);
    EXPECT_LE(hi[k], 1.5);
  }
  EXPECT_GT(green, 0);
  EXPECT_GT(brown, 0);
}

TEST(ColliderFile, IsTheUnitSquareWithItsEdgesAndACircle) {
  const auto root =
      nlohmann::ordered_json::parse(readText("data/meshes/colliders/quadCollider.json"));
  const auto& collider = root.at("collider");
  const auto& vertices = collider.at("vertices");
  ASSERT_EQ(vertices.size(), 4u);
  std::map<std::pair<double, double>, int> corners;
  for (const auto& v : vertices) ++corners[{v.at("x").get<double>(), v.at("y").get<double>()}];
  EXPECT_EQ(corners, (std::map<std::pair<double, double>, int>{
                         {{0, 0}, 1}, {{1, 0}, 1}, {{0, 1}, 1}, {{1, 1}, 1}}));
  // The four edges run round the square: each corner starts one edge and
  // ends one, and no edge is a diagonal.
  const auto& edges = collider.at("indices");
  ASSERT_EQ(edges.size(), 4u);
  std::array<int, 4> starts{}, ends{};
  for (const auto& e : edges) {
    const int a = e.at("a").get<int>();
    const int b = e.at("b").get<int>();
    ASSERT_GE(a, 0);
    ASSERT_LT(a, 4);
    ASSERT_GE(b, 0);
    ASSERT_LT(b, 4);
    ++starts[a];
    ++ends[b];
    const double dx = vertices[a].at("x").get<double>() - vertices[b].at("x").get<double>();
    const double dy = vertices[a].at("y").get<double>() - vertices[b].at("y").get<double>();
    EXPECT_DOUBLE_EQ(dx * dx + dy * dy, 1.0);
  }
  EXPECT_EQ(starts, (std::array<int, 4>{1, 1, 1, 1}));
  EXPECT_EQ(ends, (std::array<int, 4>{1, 1, 1, 1}));
  const auto& circles = collider.at("circles");
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_GT(circles[0].at("radius").get<double>(), 0.0);
}

TEST(FormatNumber, WritesShortExactDecimals) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{0.0f, "0"},      {0.5f, "0.5"},       {-1.0f, "-1"},        {6.3f, "6.3"},
               {20.0f, "20"},    {-0.25f, "-0.25"},   {1.23456f, "1.2346"}, {0.00004f, "0"},
               {-0.00004f, "0"}, {0.0001f, "0.0001"}, {-12.05f, "-12.05"}};
  for (const auto& c : cases) EXPECT_EQ(assets::formatNumber(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace dravik::test
