#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "world/Collider.h"

namespace {

using dravik::Collider;
using dravik::test::TempDir;

const char* const kSquare = R"({
  "collider": {
    "vertices": [ {"x": 0, "y": 0}, {"x": 1.5, "y": 0}, {"x": 1.5, "y": -2.25} ],
    "indices": [ {"a": 0, "b": 1}, {"a": 1, "b": 2}, {"a": 2, "b": 7} ],
    "circles": [ {"x": 0.5, "y": 0.25, "radius": 0.75}, {"x": -3, "y": 4, "radius": -1} ]
  }
})";

void expectEmpty(const Collider& c) {
  EXPECT_EQ(c.vertexCount(), 0);
  EXPECT_EQ(c.edgeCount(), 0);
  EXPECT_EQ(c.circleCount(), 0);
  EXPECT_TRUE(c.vertexX().empty());
  EXPECT_TRUE(c.vertexY().empty());
  EXPECT_TRUE(c.edgeIndices().empty());
  EXPECT_TRUE(c.circleX().empty());
  EXPECT_TRUE(c.circleY().empty());
  EXPECT_TRUE(c.circleRadius().empty());
}

void expectSquare(const Collider& c) {
  ASSERT_EQ(c.vertexCount(), 3);
  EXPECT_EQ(c.vertexX(), (std::vector<float>{0.0f, 1.5f, 1.5f}));
  EXPECT_EQ(c.vertexY(), (std::vector<float>{0.0f, 0.0f, -2.25f}));
  ASSERT_EQ(c.edgeCount(), 3);
  // Indices are kept as read, even one past the vertices.
  EXPECT_EQ(c.edgeIndices(), (std::vector<int32_t>{0, 1, 1, 2, 2, 7}));
  ASSERT_EQ(c.circleCount(), 2);
  EXPECT_EQ(c.circleX(), (std::vector<float>{0.5f, -3.0f}));
  EXPECT_EQ(c.circleY(), (std::vector<float>{0.25f, 4.0f}));
  EXPECT_EQ(c.circleRadius(), (std::vector<float>{0.75f, -1.0f}));
}

// Loads and returns what went to standard error.
std::string loadCapturingErrors(Collider& c, const std::string& path) {
  testing::internal::CaptureStderr();
  EXPECT_TRUE(c.loadCollider(path));
  return testing::internal::GetCapturedStderr();
}

TEST(ColliderLoad, ReadsVerticesEdgesAndCircles) {
  TempDir dir;
  Collider c;
  const std::string err = loadCapturingErrors(c, dir.write("square.json", kSquare));
  EXPECT_EQ(err, "");
  expectSquare(c);
}

TEST(ColliderLoad, ArrayOrderAndExtraKeysDoNotMatter) {
  TempDir dir;
  Collider c;
  const std::string text = R"({"other": {"vertices": []}, "collider": {
    "note": "ignored",
    "circles": [ {"radius": 2, "x": 1, "y": 3, "colour": "red"} ],
    "indices": [ {"b": 5, "a": 4, "weight": 1} ],
    "vertices": [ {"y": 9, "z": 8, "x": 7} ]
  }, "trailer": 1})";
  EXPECT_EQ(loadCapturingErrors(c, dir.write("extra.json", text)), "");
  ASSERT_EQ(c.vertexCount(), 1);
  EXPECT_EQ(c.vertexX()[0], 7.0f);
  EXPECT_EQ(c.vertexY()[0], 9.0f);
  ASSERT_EQ(c.edgeCount(), 1);
  EXPECT_EQ(c.edgeIndices(), (std::vector<int32_t>{4, 5}));
  ASSERT_EQ(c.circleCount(), 1);
  EXPECT_EQ(c.circleX()[0], 1.0f);
  EXPECT_EQ(c.circleY()[0], 3.0f);
  EXPECT_EQ(c.circleRadius()[0], 2.0f);
}

TEST(ColliderLoad, LastColliderMemberWins) {
  TempDir dir;
  Collider c;
  const std::string text = R"({
    "collider": {"vertices": [{"x": 1, "y": 1}, {"x": 2, "y": 2}],
                 "indices": [{"a": 0, "b": 1}],
                 "circles": [{"x": 0, "y": 0, "radius": 1}]},
    "between": true,
    "collider": {"vertices": [{"x": 5, "y": 6}],
                 "indices": [],
                 "circles": [{"x": 1, "y": 2, "radius": 3}, {"x": 4, "y": 5, "radius": 6}]}
  })";
  EXPECT_EQ(loadCapturingErrors(c, dir.write("twice.json", text)), "");
  ASSERT_EQ(c.vertexCount(), 1);
  EXPECT_EQ(c.vertexX(), (std::vector<float>{5.0f}));
  EXPECT_EQ(c.vertexY(), (std::vector<float>{6.0f}));
  EXPECT_EQ(c.edgeCount(), 0);
  EXPECT_TRUE(c.edgeIndices().empty());
  EXPECT_EQ(c.circleCount(), 2);
  EXPECT_EQ(c.circleRadius(), (std::vector<float>{3.0f, 6.0f}));
}

TEST(ColliderLoad, EmptyArraysGiveZeroCounts) {
  struct Case {
    const char* text;
    int32_t vertices, edges, circles;
  };
  const Case cases[] = {
      {R"({"collider": {"vertices": [], "indices": [], "circles": []}})", 0, 0, 0},
      {R"({"collider": {"vertices": [{"x":1,"y":2}], "indices": [], "circles": []}})", 1, 0, 0},
      {R"({"collider": {"vertices": [], "indices": [{"a":0,"b":0}], "circles": []}})", 0, 1, 0},
      {R"({"collider": {"vertices": [], "indices": [],
           "circles": [{"x":0,"y":0,"radius":1}]}})",
       0, 0, 1},
  };
  TempDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    Collider c;
    EXPECT_EQ(loadCapturingErrors(c, dir.write("empty.json", k.text)), "");
    EXPECT_EQ(c.vertexCount(), k.vertices);
    EXPECT_EQ(c.edgeCount(), k.edges);
    EXPECT_EQ(c.circleCount(), k.circles);
    EXPECT_EQ(c.vertexX().size(), static_cast<size_t>(k.vertices));
    EXPECT_EQ(c.edgeIndices().size(), static_cast<size_t>(2 * k.edges));
    EXPECT_EQ(c.circleRadius().size(), static_cast<size_t>(k.circles));
  }
}

TEST(ColliderLoad, NoColliderMemberIsEmptyAndQuiet) {
  TempDir dir;
  Collider c;
  ASSERT_TRUE(c.loadCollider(dir.write("a.json", kSquare)));
  expectSquare(c);
  const std::string err = loadCapturingErrors(
      c, dir.write("none.json", R"({"Collider": {"vertices": [], "indices": [], "circles": []}})"));
  EXPECT_EQ(err, "");
  expectEmpty(c);
}

// Runs a block with the working directory moved to a folder, so that bare
// file names reach real files.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) != nullptr) previous_ = buffer;
    moved_ = chdir(path.c_str()) == 0;
  }
  ~WorkingDirectory() {
    if (moved_ && chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
  }
  bool moved() const { return moved_; }

 private:
  std::string previous_;
  bool moved_ = false;
};

TEST(ColliderLoad, NamesWithoutJsonFromSecondCharacterLoadNothing) {
  TempDir dir;
  Collider loaded;
  ASSERT_TRUE(loaded.loadCollider(dir.write("keep.json", kSquare)));
  // The files exist and hold a valid shape, so only the name keeps them out.
  const std::string names[] = {"shape.txt", ".json", ".jsonshape", "shape.JSON", "shapejson"};
  WorkingDirectory inDir(dir.path());
  ASSERT_TRUE(inDir.moved());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    dir.write(name, kSquare);
    Collider fresh;
    EXPECT_EQ(loadCapturingErrors(fresh, name), "");
    expectEmpty(fresh);
    EXPECT_EQ(loadCapturingErrors(loaded, name), "");
    expectSquare(loaded);
  }
  // The same bytes under a name with ".json" after the first character load.
  Collider control;
  dir.write("x.json", kSquare);
  EXPECT_EQ(loadCapturingErrors(control, "x.json"), "");
  expectSquare(control);
}

TEST(ColliderLoad, JsonAnywhereFromSecondCharacterIsRead) {
  TempDir dir;
  const std::string names[] = {"x.json", "a.json.bak", "shape.jsonx"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Collider c;
    EXPECT_EQ(loadCapturingErrors(c, dir.write(name, kSquare)), "");
    expectSquare(c);
  }
}

TEST(ColliderLoad, MalformedFilesLeaveItEmptyWithOneLine) {
  struct Case {
    const char* what;
    const char* text;
  };
  const Case cases[] = {
      {"empty file", ""},
      {"not JSON", "collider: vertices"},
      {"truncated", R"({"collider": {"vertices": [{"x": 1,)"},
      {"root is an array", R"([{"collider": {}}])"},
      {"root is a number", "42"},
      {"collider is an array", R"({"collider": []})"},
      {"collider is a string", R"({"collider": "round"})"},
      {"no vertices", R"({"collider": {"indices": [], "circles": []}})"},
      {"no indices", R"({"collider": {"vertices": [], "circles": []}})"},
      {"no circles", R"({"collider": {"vertices": [], "indices": []}})"},
      {"vertices is an object", R"({"collider": {"vertices": {}, "indices": [], "circles": []}})"},
      {"indices is a number", R"({"collider": {"vertices": [], "indices": 3, "circles": []}})"},
      {"circles is null", R"({"collider": {"vertices": [], "indices": [], "circles": null}})"},
      {"vertex without y",
       R"({"collider": {"vertices": [{"x": 1}], "indices": [], "circles": []}})"},
      {"vertex is a number", R"({"collider": {"vertices": [3], "indices": [], "circles": []}})"},
      {"vertex x is a string",
       R"({"collider": {"vertices": [{"x": "1", "y": 2}], "indices": [], "circles": []}})"},
      {"vertex y is null",
       R"({"collider": {"vertices": [{"x": 1, "y": null}], "indices": [], "circles": []}})"},
      {"edge without b", R"({"collider": {"vertices": [], "indices": [{"a": 0}], "circles": []}})"},
      {"edge a is fractional",
       R"({"collider": {"vertices": [], "indices": [{"a": 0.5, "b": 1}], "circles": []}})"},
      {"edge b is a string",
       R"({"collider": {"vertices": [], "indices": [{"a": 0, "b": "1"}], "circles": []}})"},
      {"edge a beyond int32",
       R"({"collider": {"vertices": [], "indices": [{"a": 4294967296, "b": 1}], "circles": []}})"},
      {"edge b below int32",
       R"({"collider": {"vertices": [], "indices": [{"a": 0, "b": -2147483649}], "circles": []}})"},
      {"edge is an array", R"({"collider": {"vertices": [], "indices": [[0, 1]], "circles": []}})"},
      {"circle without radius",
       R"({"collider": {"vertices": [], "indices": [], "circles": [{"x": 0, "y": 0}]}})"},
      {"circle radius is bool",
       R"({"collider": {"vertices": [], "indices": [],
           "circles": [{"x": 0, "y": 0, "radius": true}]}})"},
      {"good then bad element",
       R"({"collider": {"vertices": [{"x": 1, "y": 2}, {"x": 3}], "indices": [], "circles": []}})"},
      {"good member then bad member",
       R"({"collider": {"vertices": [], "indices": [], "circles": []}, "collider": 5})"},
  };
  TempDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const std::string path = dir.write("bad.json", k.text);
    Collider c;
    // Start from a loaded shape so that "left empty" is really tested.
    ASSERT_TRUE(c.loadCollider(dir.write("good.json", kSquare)));
    const std::string err = loadCapturingErrors(c, path);
    expectEmpty(c);
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.rfind(path + ": ", 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  }
}

TEST(ColliderLoad, MissingFileLeavesItEmptyWithOneLine) {
  TempDir dir;
  Collider c;
  ASSERT_TRUE(c.loadCollider(dir.write("good.json", kSquare)));
  const std::string path = dir.path() + "/absent.json";
  const std::string err = loadCapturingErrors(c, path);
  expectEmpty(c);
  EXPECT_EQ(err.rfind(path + ": ", 0), 0u) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST(ColliderLoad, ReloadReplacesTheShape) {
  TempDir dir;
  Collider c;
  ASSERT_TRUE(c.loadCollider(dir.write("a.json", kSquare)));
  expectSquare(c);
  const std::string smaller = R"({"collider": {"vertices": [{"x": -1, "y": -2}],
    "indices": [{"a": 3, "b": 4}], "circles": []}})";
  ASSERT_TRUE(c.loadCollider(dir.write("b.json", smaller)));
  EXPECT_EQ(c.vertexX(), (std::vector<float>{-1.0f}));
  EXPECT_EQ(c.vertexY(), (std::vector<float>{-2.0f}));
  EXPECT_EQ(c.edgeIndices(), (std::vector<int32_t>{3, 4}));
  EXPECT_EQ(c.circleCount(), 0);
  EXPECT_TRUE(c.circleX().empty());
  ASSERT_TRUE(c.loadCollider(dir.write("a.json", kSquare)));
  expectSquare(c);
}

}  // namespace
