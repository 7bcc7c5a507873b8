#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gl/GlApi.h"
#include "tests/support/GlTestContext.h"

namespace {

std::vector<std::string> gLookedUp;

void* recordingLookup(const char* name) {
  gLookedUp.emplace_back(name);
  return nullptr;
}

void* onlyActiveTextureMissing(const char* name) {
  static int dummy;
  return std::strcmp(name, "glActiveTexture") == 0 ? nullptr : &dummy;
}

void* onlyUnsignedUniformsMissing(const char* name) {
  static int dummy;
  return std::strstr(name, "ui") != nullptr ? nullptr : &dummy;
}

TEST(GlEntryPoints, FetchesAllFortyFourInTableOrder) {
  gLookedUp.clear();
  glentry::loadAll(recordingLookup);
  ASSERT_EQ(gLookedUp.size(), 44u);
  EXPECT_EQ(gLookedUp.front(), "glGenBuffers");
  EXPECT_EQ(gLookedUp[5], "glCreateShader");
  EXPECT_EQ(gLookedUp[19], "glUniform1f");
  EXPECT_EQ(gLookedUp[31], "glUniform1ui");
  EXPECT_EQ(gLookedUp[37], "glUniformMatrix4fv");
  EXPECT_EQ(gLookedUp.back(), "glActiveTexture");
  for (int i = 0; i < glentry::kEntryPointCount; ++i) {
    EXPECT_EQ(gLookedUp[i], glentry::entryPointNames()[i]);
  }
}

TEST(GlEntryPoints, MissingCalledEntryPointIsNamed) {
  glentry::loadAll(onlyActiveTextureMissing);
  ASSERT_NE(glentry::firstMissingCalledEntryPoint(), nullptr);
  EXPECT_STREQ(glentry::firstMissingCalledEntryPoint(), "glActiveTexture");
  glentry::resetAll();
  EXPECT_STREQ(glentry::firstMissingCalledEntryPoint(), "glGenBuffers");
}

TEST(GlEntryPoints, UnsignedUniformsAreNotNeeded) {
  // A legacy context may lack the glUniform*ui functions; the game never
  // calls them, so they must not stop it from starting.
  glentry::loadAll(onlyUnsignedUniformsMissing);
  EXPECT_EQ(glUniform1ui, nullptr);
  EXPECT_EQ(glentry::firstMissingCalledEntryPoint(), nullptr);
  glentry::resetAll();
}

TEST(GlEntryPoints, RealContextProvidesEveryCalledEntryPoint) {
  glentry::resetAll();
  // The shared test context loaded the table once; load it again for real.
  ASSERT_TRUE(dravik::test::ensureGlContext());
  ASSERT_EQ(glentry::firstMissingCalledEntryPoint(), nullptr);
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(version, nullptr);
  EXPECT_GE(std::atoi(version), 2);
}

}  // namespace
