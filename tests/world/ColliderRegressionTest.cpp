// Inputs that once got past the collider loader's checks.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"
#include "world/Collider.h"

namespace {

using dravik::Collider;
using dravik::test::TempDir;

struct BadNumberCase {
  const char* name;
  const char* text;
  const char* problem;
};

class ColliderNumberRange : public testing::TestWithParam<BadNumberCase> {};

// Numbers past the float range used to be narrowed to float unchecked
// (undefined behaviour, infinity in practice): now the file is refused.
TEST_P(ColliderNumberRange, RefusesNumbersBeyondTheFloatRange) {
  const BadNumberCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.write("c.json", c.text);
  Collider collider;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(collider.loadCollider(path));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, path + ": " + c.problem + "\n");
  EXPECT_EQ(collider.vertexCount(), 0);
  EXPECT_EQ(collider.circleCount(), 0);
  EXPECT_EQ(collider.edgeCount(), 0);
  EXPECT_TRUE(collider.vertexX().empty());
  EXPECT_TRUE(collider.circleRadius().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColliderNumberRange,
    testing::Values(
        BadNumberCase{"VertexX",
                      R"({"collider":{"vertices":[{"x":1e39,"y":0}],"indices":[],"circles":[]}})",
                      "\"vertices\" element 0 \"x\" is out of range"},
        BadNumberCase{"NegativeVertexY",
                      R"({"collider":{"vertices":[{"x":0,"y":0},{"x":0,"y":-1e300}],)"
                      R"("indices":[],"circles":[]}})",
                      "\"vertices\" element 1 \"y\" is out of range"},
        BadNumberCase{"Radius",
                      R"({"collider":{"vertices":[],"indices":[],)"
                      R"("circles":[{"x":0,"y":0,"radius":3.5e38}]}})",
                      "\"circles\" element 0 \"radius\" is out of range"}),
    [](const testing::TestParamInfo<BadNumberCase>& info) { return info.param.name; });

// The largest float itself is still a valid coordinate.
TEST(ColliderNumberRange, KeepsTheLargestFloat) {
  TempDir dir;
  const std::string path = dir.write(
      "c.json",
      R"({"collider":{"vertices":[{"x":3.4028234663852886e38,"y":-3.4028234663852886e38}],)"
      R"("indices":[],"circles":[]}})");
  Collider collider;
  testing::internal::CaptureStderr();
  collider.loadCollider(path);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(collider.vertexCount(), 1);
  EXPECT_EQ(collider.vertexX()[0], 3.4028234663852886e38f);
  EXPECT_EQ(collider.vertexY()[0], -3.4028234663852886e38f);
}

}  // namespace
