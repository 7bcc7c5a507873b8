#include <gtest/gtest.h>

#include <string>

#include "gl/GlApi.h"
#include "render/GlslEs.h"
#include "tests/support/GlTestContext.h"
#include "tests/tools/AssetFiles.h"

namespace dravik {
namespace {

const std::string kPrecision =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n";

TEST(GlslEsAdaptation, VersionLineReplacedAndFragmentShadersGetAPrecision) {
  const std::string body = "attribute vec3 inVertex;\nvoid main() {}\n";
  struct Case {
    const char* name;
    std::string source;
    ShaderStage stage;
    std::string adapted;
  };
  const Case cases[] = {
      {"vertex", "#version 120\n" + body, ShaderStage::Vertex, "#version 100\n" + body},
      {"fragment", "#version 120\n" + body, ShaderStage::Fragment,
       "#version 100\n" + kPrecision + body},
      {"blank lines first", "\n  \n#version 120\n" + body, ShaderStage::Vertex,
       "#version 100\n" + body},
      {"no version line", body, ShaderStage::Fragment, "#version 100\n" + kPrecision + body},
      {"version line alone", "#version 120", ShaderStage::Vertex, "#version 100\n"},
      {"a file that could not be read", "", ShaderStage::Fragment, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.adapted, adaptShaderForGlslEs(c.source, c.stage));
  }
  EXPECT_EQ(kFragmentLinesAdded, 5);
}

// Mesa takes GLSL ES 1.00 on a desktop context (ARB_ES2_compatibility) and,
// like a browser, refuses an ES fragment shader without a float precision.
GLint compileStatus(GLenum type, const std::string& source) {
  const GLuint shader = glCreateShader(type);
  const GLchar* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status != GL_TRUE) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    ADD_FAILURE() << log << "in:\n" << source;
  }
  glDeleteShader(shader);
  return status;
}

TEST(GlslEsAdaptation, EveryShaderOfTheGameCompilesAsGlslEs) {
  ASSERT_TRUE(test::ensureGlContext());
  for (const char* name : {"basic-fixed", "conveyor-map", "gameover-fixed"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string("data/shaders/") + name;
    const std::string vertex = test::readText(path + ".vert");
    const std::string fragment = test::readText(path + ".frag");
    ASSERT_FALSE(vertex.empty());
    ASSERT_FALSE(fragment.empty());
    EXPECT_EQ(GL_TRUE,
              compileStatus(GL_VERTEX_SHADER, adaptShaderForGlslEs(vertex, ShaderStage::Vertex)));
    EXPECT_EQ(GL_TRUE, compileStatus(GL_FRAGMENT_SHADER,
                                     adaptShaderForGlslEs(fragment, ShaderStage::Fragment)));
  }
}

TEST(GlslEsAdaptation, TheFragmentPrecisionIsWhatGlslEsNeeds) {
  ASSERT_TRUE(test::ensureGlContext());
  const std::string fragment = test::readText("data/shaders/basic-fixed.frag");
  const std::string versionOnly = adaptShaderForGlslEs(fragment, ShaderStage::Vertex);
  const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  const GLchar* text = versionOnly.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint status = 1;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  glDeleteShader(shader);
  EXPECT_EQ(GL_FALSE, status);
}

}  // namespace
}  // namespace dravik
