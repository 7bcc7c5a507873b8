#include <gtest/gtest.h>

#include "gl/GlApi.h"
#include "render/RenderState.h"
#include "tests/support/GlTestContext.h"

namespace dravik {
namespace {

class RenderStateTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ensureGlContext());
    test::resetGlState();
  }
  void TearDown() override { test::resetGlState(); }

  static bool depthWrites() {
    GLboolean mask = 2;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    return mask == GL_TRUE;
  }

  RenderState state_;
};

TEST_F(RenderStateTest, DepthTestSwitchesAndLeavesTheDepthMask) {
  state_.setDepthTest(false);
  EXPECT_EQ(GL_FALSE, glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(depthWrites());
  state_.setDepthTest(true);
  EXPECT_EQ(GL_TRUE, glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(depthWrites());
  EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(RenderStateTest, DepthWriteSwitchesAndLeavesTheDepthTest) {
  for (bool testOn : {true, false}) {
    state_.setDepthTest(testOn);
    state_.setDepthWrite(false);
    EXPECT_FALSE(depthWrites());
    EXPECT_EQ(testOn ? GL_TRUE : GL_FALSE, glIsEnabled(GL_DEPTH_TEST));
    state_.setDepthWrite(true);
    EXPECT_TRUE(depthWrites());
    EXPECT_EQ(testOn ? GL_TRUE : GL_FALSE, glIsEnabled(GL_DEPTH_TEST));
  }
}

TEST_F(RenderStateTest, ViewportIsSetAsGiven) {
  const GLint cases[][4] = {{0, 0, 64, 64}, {3, 5, 20, 11}, {-4, -2, 100, 30}};
  for (const auto& c : cases) {
    state_.setViewport(c[0], c[1], c[2], c[3]);
    GLint viewport[4] = {-1, -1, -1, -1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c[i], viewport[i]) << i;
  }
}

TEST_F(RenderStateTest, ClearFillsTheColourBuffer) {
  const struct {
    float r, g, b;
    uint8_t expected[3];
  } cases[] = {{1.0f, 0.0f, 0.0f, {255, 0, 0}}, {0.0f, 1.0f, 1.0f, {0, 255, 255}}};
  for (const auto& c : cases) {
    glClearColor(c.r, c.g, c.b, 1.0f);
    state_.clear();
    uint8_t pixel[4] = {1, 2, 3, 4};
    glReadPixels(10, 20, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.expected[i], pixel[i]) << i;
  }
  EXPECT_EQ(GL_NO_ERROR, glGetError());
}

}  // namespace
}  // namespace dravik
