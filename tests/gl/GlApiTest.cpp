#include <gtest/gtest.h>

#include <cstring>
#include <map>
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

TEST(GlEntryPoints, FetchesEveryEntryPointInTableOrder) {
  gLookedUp.clear();
  glentry::loadAll(recordingLookup);
  ASSERT_EQ(gLookedUp.size(), static_cast<std::size_t>(glentry::kEntryPointCount));
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

// The driver's side of the table, recorded.
std::vector<std::string> gDriverCalls;

void DRAVIK_GLAPIENTRY recordBind(GLenum target, GLuint buffer) {
  gDriverCalls.push_back((target == GL_ARRAY_BUFFER ? "array " : "element ") +
                         std::to_string(buffer));
}
void DRAVIK_GLAPIENTRY recordPointer(GLuint index, GLint, GLenum, GLboolean, GLsizei, const void*) {
  gDriverCalls.push_back("pointer " + std::to_string(index));
}
void DRAVIK_GLAPIENTRY recordOn(GLuint index) {
  gDriverCalls.push_back("on " + std::to_string(index));
}
void DRAVIK_GLAPIENTRY recordOff(GLuint index) {
  gDriverCalls.push_back("off " + std::to_string(index));
}
void DRAVIK_GLAPIENTRY recordDelete(GLsizei, const GLuint* buffers) {
  gDriverCalls.push_back("delete " + std::to_string(buffers[0]));
}
void DRAVIK_GLAPIENTRY recordDraw(GLenum, GLsizei, GLenum, const GLvoid*) {
  gDriverCalls.push_back("draw");
}

void* recordingDriver(const char* name) {
  static const std::map<std::string, void*> calls = {
      {"glBindBuffer", reinterpret_cast<void*>(recordBind)},
      {"glVertexAttribPointer", reinterpret_cast<void*>(recordPointer)},
      {"glEnableVertexAttribArray", reinterpret_cast<void*>(recordOn)},
      {"glDisableVertexAttribArray", reinterpret_cast<void*>(recordOff)},
      {"glDeleteBuffers", reinterpret_cast<void*>(recordDelete)}};
  const auto found = calls.find(name);
  return found == calls.end() ? nullptr : found->second;
}

// One draw of a mesh, in the calls the game makes for it.
void drawMesh(GLuint vertices, GLuint indices) {
  glEnableVertexAttribArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, vertices);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
  glDisableVertexAttribArray(0);
}

TEST(GlStateShadow, PassesOnOnlyWhatEachDrawChanges) {
  glentry::loadAll(recordingDriver);
  const glentry::glDrawElementsFn realDraw = glentry::driver::glDrawElements;
  glentry::driver::glDrawElements = recordDraw;
  glentry::setStateShadow(true);  // starts from nothing asked
  gDriverCalls.clear();
  drawMesh(5, 6);
  drawMesh(5, 6);
  // A buffer made again under a deleted one's name is another buffer.
  const GLuint five = 5;
  glDeleteBuffers(1, &five);
  drawMesh(5, 6);
  // The array switched off after the last draw is off for this one.
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
  glentry::driver::glDrawElements = realDraw;
  glentry::resetAll();
  EXPECT_EQ(gDriverCalls, (std::vector<std::string>{"array 5", "pointer 0", "element 6", "on 0",
                                                    "draw", "draw", "delete 5", "array 5",
                                                    "pointer 0", "draw", "off 0", "draw"}));
}

}  // namespace
