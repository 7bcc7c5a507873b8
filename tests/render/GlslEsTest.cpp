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
// The compile log, or "" when the source compiles.
std::string compileErrors(GLenum type, const std::string& source) {
  const GLuint shader = glCreateShader(type);
  const GLchar* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  char log[1024] = {};
  if (status != GL_TRUE) glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
  glDeleteShader(shader);
  return status == GL_TRUE ? "" : std::string("failed: ") + log;
}

TEST(GlslEsAdaptation, EveryShaderOfTheGameCompilesAsGlslEs) {
  ASSERT_TRUE(test::ensureGlContext());
  for (const char* name : {"basic-fixed", "conveyor-map", "gameover-fixed"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string("data/shaders/") + name;
    const std::string vertex = test::readText(path + ".vert");
    const std::string fragment = test::readText(path + ".frag");
    ASSERT_FALSE(vertex.empty() || fragment.empty());
    EXPECT_EQ("",
              compileErrors(GL_VERTEX_SHADER, adaptShaderForGlslEs(vertex, ShaderStage::Vertex)));
    EXPECT_EQ("", compileErrors(GL_FRAGMENT_SHADER,
                                adaptShaderForGlslEs(fragment, ShaderStage::Fragment)));
    // Adapted as a vertex shader, the fragment shader lacks the precision.
    EXPECT_NE(
        "", compileErrors(GL_FRAGMENT_SHADER, adaptShaderForGlslEs(fragment, ShaderStage::Vertex)));
  }
}

}  // namespace
}  // namespace dravik
