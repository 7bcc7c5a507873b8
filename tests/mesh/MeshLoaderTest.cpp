#include <filesystem>

#include "tests/mesh/MeshTestSupport.h"

namespace dravik::test {
namespace {

TEST(MeshLoader, JsonAndBinaryOfOneGeometryEndAlike) {
  TempDir dir;
  const Geometry g = sampleGeometry(5, 3);
  Mesh fromJson, fromBinary;
  const LoadOutput j = loadCapturing(fromJson, dir.write("m.json", modelJson(g).dump()));
  const LoadOutput b = loadCapturing(fromBinary, dir.write("m.bin", modelBinary(g)));
  EXPECT_EQ(j.err + j.out, "");
  EXPECT_EQ(b.err, "");
  EXPECT_EQ(b.out, "pas d'anim\n");
  for (const Mesh* m : {&fromJson, &fromBinary}) {
    expectArrays(*m, g);
    EXPECT_EQ(m->positionCount(), 15u);
    EXPECT_EQ(m->colourCount(), 15u);
    EXPECT_EQ(m->uvCount(), 10u);
    EXPECT_EQ(m->indexCount(), 9u);
    EXPECT_EQ(m->animation(), nullptr);
  }
}

TEST(MeshLoader, IgnoresOtherMembersAndLoadsTopIndex) {
  TempDir dir;
  Geometry g = sampleGeometry(Mesh::kMaxVertices, 1);
  g.indices[1] = 65535;
  Json root = modelJson(g);
  root["model"]["vertices"][0]["w"] = 9;
  root["comment"] = "x";
  Mesh mesh;
  EXPECT_EQ(loadCapturing(mesh, dir.write("big.json", root.dump())).err, "");
  expectArrays(mesh, g);
}

TEST(MeshLoader, BinaryTrailerSelectsTheLine) {
  TempDir dir;
  const Geometry g = sampleGeometry(3, 1);
  for (auto [trailer, line] : {std::pair<std::size_t, const char*>{0, "pas d'anim\n"},
                               {1, "pas d'anim\n"},
                               {2, "des anims!\n"},
                               {7, "des anims!\n"}}) {
    Mesh mesh;
    EXPECT_EQ(loadCapturing(mesh, dir.write("t.bin", modelBinary(g, trailer))).out, line);
    expectArrays(mesh, g);
    EXPECT_EQ(mesh.animation(), nullptr);
  }
}

TEST(MeshLoader, JsonIsChosenByNameFromTheSecondCharacter) {
  TempDir dir;
  const Geometry g = sampleGeometry(3, 1);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  // (name, holds JSON)
  for (auto [name, json] : {std::pair<const char*, bool>{"a.json.bak", true},
                            {"x.json", true},
                            {".json", false},
                            {"model.JSON", false},
                            {"model.bin", false}}) {
    if (json) {
      dir.write(name, modelJson(g).dump());
    } else {
      dir.write(name, modelBinary(g));
    }
    Mesh mesh;
    const LoadOutput o = loadCapturing(mesh, name);
    EXPECT_EQ(o.err, "") << name;
    EXPECT_EQ(o.out, json ? "" : "pas d'anim\n") << name;
    expectArrays(mesh, g);
  }
  std::filesystem::current_path(previous);
}

TEST(MeshLoader, MissingModelMemberGivesEmptyMeshQuietly) {
  TempDir dir;
  Mesh mesh;
  EXPECT_EQ(loadCapturing(mesh, dir.write("e.json", R"({"other": 1})")).err, "");
  expectEmpty(mesh);
}

TEST(MeshLoader, ReloadReplacesThePreviousModel) {
  TempDir dir;
  Mesh mesh;
  loadCapturing(mesh, dir.write("a.json", modelJson(sampleGeometry(6, 2)).dump()));
  const Geometry small = sampleGeometry(3, 1, 4);
  loadCapturing(mesh, dir.write("b.json", modelJson(small).dump()));
  expectArrays(mesh, small);
  EXPECT_EQ(mesh.positionCount(), 9u);
}

// Each case edits a valid one-triangle model.
struct JsonFault {
  const char* name;
  void (*edit)(Json& root);
};

const JsonFault kJsonFaults[] = {
    {"model not an object", [](Json& r) { r["model"] = Json::array(); }},
    {"no vertices", [](Json& r) { r["model"].erase("vertices"); }},
    {"no uvs", [](Json& r) { r["model"].erase("uvs"); }},
    {"no colors", [](Json& r) { r["model"].erase("colors"); }},
    {"no indices", [](Json& r) { r["model"].erase("indices"); }},
    {"vertices an object", [](Json& r) { r["model"]["vertices"] = Json::object(); }},
    {"vertex a number", [](Json& r) { r["model"]["vertices"][1] = 3; }},
    {"vertex without y", [](Json& r) { r["model"]["vertices"][2].erase("y"); }},
    {"x a string", [](Json& r) { r["model"]["vertices"][0]["x"] = "1"; }},
    {"u null", [](Json& r) { r["model"]["uvs"][0]["u"] = nullptr; }},
    {"b a boolean", [](Json& r) { r["model"]["colors"][0]["b"] = true; }},
    {"x beyond float", [](Json& r) { r["model"]["vertices"][0]["x"] = 1e300; }},
    {"uvs shorter", [](Json& r) { r["model"]["uvs"].erase(2); }},
    {"colors longer",
     [](Json& r) {
       r["model"]["colors"].push_back({{"r", 0}, {"g", 0}, {"b", 0}});
     }},
    {"index equal to count", [](Json& r) { r["model"]["indices"][0]["b"] = 3; }},
    {"index negative", [](Json& r) { r["model"]["indices"][0]["a"] = -1; }},
    {"index fractional", [](Json& r) { r["model"]["indices"][0]["c"] = 1.5; }},
    {"index a string", [](Json& r) { r["model"]["indices"][0]["c"] = "1"; }},
    {"triangle an array",
     [](Json& r) {
       r["model"]["indices"][0] = Json::array({0, 1, 2});
     }},
    {"triangle without c", [](Json& r) { r["model"]["indices"][0].erase("c"); }},
};

class JsonFaults : public testing::TestWithParam<JsonFault> {};

TEST_P(JsonFaults, LeaveTheMeshEmptyWithOneLine) {
  TempDir dir;
  Json root = modelJson(sampleGeometry(3, 1));
  GetParam().edit(root);
  const std::string path = dir.write("bad.json", root.dump());
  Mesh mesh;
  loadCapturing(mesh, dir.write("first.json", modelJson(sampleGeometry(4, 2)).dump()));
  const LoadOutput o = loadCapturing(mesh, path);
  expectOneProblemLine(o.err, path);
  EXPECT_EQ(o.out, "");
  expectEmpty(mesh);
}

INSTANTIATE_TEST_SUITE_P(Model, JsonFaults, testing::ValuesIn(kJsonFaults),
                         [](const testing::TestParamInfo<JsonFault>& info) {
                           std::string n = info.param.name;
                           std::replace(n.begin(), n.end(), ' ', '_');
                           return n;
                         });

TEST(MeshLoader, TextFaultsLeaveTheMeshEmptyWithOneLine) {
  TempDir dir;
  const std::string tooMany = modelJson(sampleGeometry(Mesh::kMaxVertices + 1, 1)).dump();
  for (const std::string& text :
       {std::string("{\"model\": ["), std::string(""), std::string("[1, 2]"),
        std::string("{\"model\": 1} trailing"), tooMany}) {
    const std::string path = dir.write("bad.json", text);
    Mesh mesh;
    const LoadOutput o = loadCapturing(mesh, path);
    expectOneProblemLine(o.err, path);
    expectEmpty(mesh);
  }
  Mesh missing;
  const std::string path = dir.path() + "/absent.json";
  expectOneProblemLine(loadCapturing(missing, path).err, path);
  expectEmpty(missing);
}

TEST(MeshLoader, BinaryFaultsLeaveTheMeshEmptyWithOneLine) {
  TempDir dir;
  const std::vector<uint8_t> good = modelBinary(sampleGeometry(3, 2));
  auto withWord = [&](std::size_t at, uint32_t value) {
    std::vector<uint8_t> bytes = good;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
  };
  std::vector<uint8_t> indexTooHigh = good;
  indexTooHigh[good.size() - 2] = 3;  // last index := 3 with 3 vertices
  const std::vector<std::vector<uint8_t>> faults = {
      {},
      {3, 0, 0, 0, 1, 0},
      std::vector<uint8_t>(good.begin(), good.end() - 1),
      withWord(0, 0x7fffffff),
      withWord(0, 0xffffffff),
      withWord(0, Mesh::kMaxVertices + 1),
      withWord(4, 0xffffffff),
      withWord(4, 3),
      indexTooHigh,
  };
  for (const auto& bytes : faults) {
    const std::string path = dir.write("bad.bin", bytes);
    Mesh mesh;
    const LoadOutput o = loadCapturing(mesh, path);
    expectOneProblemLine(o.err, path);
    EXPECT_EQ(o.out, "");
    expectEmpty(mesh);
  }
}

}  // namespace
}  // namespace dravik::test
