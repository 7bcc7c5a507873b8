#include <cmath>

#include "tests/mesh/MeshTestSupport.h"

namespace dravik::test {
namespace {

constexpr std::size_t kVertices = 2;

// Global keyframe k has sampleGeometry's values shifted by 10 k.
Geometry frame(std::size_t k) { return sampleGeometry(kVertices, 0, 10.0f * k); }

// Animations of keyframes with the given start times, numbered globally.
Json animations(const std::vector<std::vector<float>>& startTimes) {
  Json list = Json::array();
  std::size_t k = 0;
  for (const auto& times : startTimes) {
    Json keyframes = Json::array();
    for (float t : times) keyframes.push_back(keyframe(t, frame(k++)));
    list.push_back(Json::array({keyframes}));
  }
  return list;
}

Json animatedModel(const Json& anims) {
  Json root = modelJson(frame(0));
  root["animations"] = anims;
  return root;
}

void expectCurrent(const MeshAnimation& a, const Geometry& g) {
  const std::size_t v = a.verticesPerFrame();
  EXPECT_EQ(std::vector<float>(a.currentPositions(), a.currentPositions() + 3 * v), g.positions);
  EXPECT_EQ(std::vector<float>(a.currentColours(), a.currentColours() + 3 * v), g.colours);
  EXPECT_EQ(std::vector<float>(a.currentUvs(), a.currentUvs() + 2 * v), g.uvs);
}

std::vector<float> mix(const std::vector<float>& a, const std::vector<float>& b, float f) {
  std::vector<float> out(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) out[i] = a[i] + f * (b[i] - a[i]);
  return out;
}

Geometry mix(const Geometry& a, const Geometry& b, float f) {
  return {mix(a.positions, b.positions, f), mix(a.colours, b.colours, f), mix(a.uvs, b.uvs, f), {}};
}

class MeshAnimationTest : public testing::Test {
 protected:
  // Animation 0: keyframes 0..2 at 0, 1, 2; animation 1: keyframes 3..6 at
  // 0, 0.5, 1, 1.5.
  void SetUp() override { load(animatedModel(animations({{0, 1, 2}, {0, 0.5f, 1, 1.5f}}))); }
  void load(const Json& root) {
    loadCapturing(mesh, dir.write("anim.json", root.dump()));
    ASSERT_NE(mesh.animation(), nullptr);
    anim = mesh.animation();
  }
  TempDir dir;
  Mesh mesh;
  MeshAnimation* anim = nullptr;
};

TEST_F(MeshAnimationTest, LaysOutAllKeyframesInOneSequence) {
  EXPECT_EQ(anim->animationCount(), 2u);
  EXPECT_EQ(anim->frameCount(), 7u);
  EXPECT_EQ(anim->verticesPerFrame(), kVertices);
  EXPECT_EQ(anim->firstFrame(), (std::vector<int32_t>{0, 3}));
  EXPECT_EQ(anim->startTimes(), (std::vector<float>{0, 1, 2, 0, 0.5f, 1, 1.5f}));
  expectCurrent(*anim, frame(0));
  expectArrays(mesh, frame(0));
}

TEST_F(MeshAnimationTest, ClampsAndHitsKeyframesExactly) {
  const struct {
    uint32_t animation;
    float time;
    std::size_t keyframe;
  } cases[] = {{0, 0, 0},  {0, -1, 0},   {0, 1, 1},    {0, 2, 2},   {0, 5, 2},   {1, 0, 3},
               {1, -3, 3}, {1, 0.5f, 4}, {1, 1.5f, 6}, {1, 100, 6}, {0, NAN, 0}, {1, 1, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.animation << " at " << c.time);
    anim->setTime(c.animation, c.time);
    expectCurrent(*anim, frame(c.keyframe));
  }
}

TEST_F(MeshAnimationTest, BlendsBetweenEnclosingKeyframes) {
  const struct {
    uint32_t animation;
    float time;
    std::size_t from;
    float factor;
  } cases[] = {{0, 1.5f, 1, 0.5f}, {0, 0.25f, 0, 0.25f}, {1, 0.25f, 3, 0.5f}, {1, 1.25f, 5, 0.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.animation << " at " << c.time);
    anim->setTime(c.animation, c.time);
    expectCurrent(*anim, mix(frame(c.from), frame(c.from + 1), c.factor));
  }
  // Halfway is the plain average of the two keyframes.
  anim->setTime(0, 1.5f);
  EXPECT_EQ(anim->currentColours()[4], (frame(1).colours[4] + frame(2).colours[4]) / 2);
}

TEST_F(MeshAnimationTest, IndexOutOfRangeChangesNothing) {
  anim->setTime(1, 100);
  for (uint32_t index : {2u, 65535u, 0xffffffffu}) {
    anim->setTime(index, 0.5f);
    expectCurrent(*anim, frame(6));
  }
}

TEST_F(MeshAnimationTest, SingleKeyframeHoldsAtEveryTime) {
  load(animatedModel(animations({{0}})));
  for (float t : {-1.0f, 0.0f, 0.5f, 100.0f}) {
    anim->setTime(0, t);
    expectCurrent(*anim, frame(0));
  }
}

TEST_F(MeshAnimationTest, TimeBeforeALateFirstKeyframeGivesThatKeyframe) {
  load(animatedModel(animations({{1, 2}})));
  anim->setTime(0, 0.5f);
  expectCurrent(*anim, frame(0));
  anim->setTime(0, 1.5f);
  expectCurrent(*anim, mix(frame(0), frame(1), 0.5f));
}

TEST_F(MeshAnimationTest, ObjectsServeAsContainersAndExtraChildrenAreIgnored) {
  Json root = Json::object();
  root["animations"] = {{"walk",
                         {{"frames", {{"a", keyframe(0, frame(0))}, {"b", keyframe(2, frame(1))}}},
                          {"ignored", Json::array({1, 2})}}}};
  root["model"] = modelJson(frame(0))["model"];  // after the animations
  load(root);
  EXPECT_EQ(anim->frameCount(), 2u);
  anim->setTime(0, 1);
  expectCurrent(*anim, mix(frame(0), frame(1), 0.5f));
}

struct AnimationFault {
  const char* name;
  void (*edit)(Json& animations);
};

const AnimationFault kAnimationFaults[] = {
    {"no animations", [](Json& a) { a = Json::array(); }},
    {"not a container", [](Json& a) { a = 3; }},
    {"empty animation", [](Json& a) { a[1] = Json::array(); }},
    {"no keyframes", [](Json& a) { a[1][0] = Json::array(); }},
    {"keyframe not an object", [](Json& a) { a[0][0][1] = 1; }},
    {"no startTime", [](Json& a) { a[1][0][0].erase("startTime"); }},
    {"startTime a string", [](Json& a) { a[0][0][2]["startTime"] = "2"; }},
    {"no colors", [](Json& a) { a[1][0][3].erase("colors"); }},
    {"fewer vertices", [](Json& a) { a[0][0][1]["vertices"].erase(0); }},
    {"more uvs",
     [](Json& a) {
       a[1][0][2]["uvs"].push_back({{"u", 0}, {"v", 0}});
     }},
    {"vertex without z", [](Json& a) { a[1][0][3]["vertices"][1].erase("z"); }},
    {"uv a string", [](Json& a) { a[0][0][0]["uvs"][0]["v"] = "0"; }},
    {"model vertex count differs",
     [](Json& a) {
       for (auto& k : a[0][0]) k = keyframe(k["startTime"], sampleGeometry(3, 0));
     }},
};

class AnimationFaults : public testing::TestWithParam<AnimationFault> {};

TEST_P(AnimationFaults, DropOnlyTheAnimationWithOneLine) {
  TempDir dir;
  Json anims = animations({{0, 1, 2}, {0, 0.5f, 1, 1.5f}});
  GetParam().edit(anims);
  const std::string path = dir.write("bad.json", animatedModel(anims).dump());
  Mesh mesh;
  const LoadOutput o = loadCapturing(mesh, path);
  expectOneProblemLine(o.err, path);
  EXPECT_EQ(mesh.animation(), nullptr);
  expectArrays(mesh, frame(0));
  EXPECT_EQ(mesh.positionCount(), 3 * kVertices);
}

INSTANTIATE_TEST_SUITE_P(Keyframes, AnimationFaults, testing::ValuesIn(kAnimationFaults),
                         [](const testing::TestParamInfo<AnimationFault>& info) {
                           std::string n = info.param.name;
                           std::replace(n.begin(), n.end(), ' ', '_');
                           return n;
                         });

}  // namespace
}  // namespace dravik::test
