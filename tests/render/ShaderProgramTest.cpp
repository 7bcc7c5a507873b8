#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/GlApi.h"
#include "render/ShaderProgram.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

using test::TempDir;

const char* const kFullVertex =
    "#version 120\n"
    "attribute vec3 inVertex;\n"
    "attribute vec3 inNormal;\n"
    "attribute vec2 inTexCoord;\n"
    "uniform mat4 finalMatrix;\n"
    "uniform mat4 mvMat;\n"
    "varying vec2 uv;\n"
    "varying vec3 colour;\n"
    "void main() {\n"
    "  uv = inTexCoord;\n"
    "  colour = inNormal;\n"
    "  gl_Position = finalMatrix * mvMat * vec4(inVertex, 1.0);\n"
    "}\n";
const char* const kFullFragment =
    "#version 120\n"
    "uniform sampler2D texture0;\n"
    "varying vec2 uv;\n"
    "varying vec3 colour;\n"
    "void main() { gl_FragColor = texture2D(texture0, uv) * vec4(colour, 1.0); }\n";
// Uses neither "inNormal", "inTexCoord", "texture0" nor "mvMat".
const char* const kBareVertex =
    "#version 120\n"
    "attribute vec3 inVertex;\n"
    "uniform mat4 finalMatrix;\n"
    "void main() { gl_Position = finalMatrix * vec4(inVertex, 1.0); }\n";
const char* const kBareFragment =
    "#version 120\n"
    "void main() { gl_FragColor = vec4(1.0); }\n";
const char* const kBrokenSource =
    "#version 120\n"
    "void main() { this is not glsl }\n";
// Compiles, but declares no main: the link fails.
const char* const kNoMainFragment =
    "#version 120\n"
    "float helper() { return 1.0; }\n";

class ShaderProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ensureGlContext());
    test::resetGlState();
  }
  void TearDown() override {
    ASSERT_TRUE(test::ensureGlContext());  // puts back any replaced entry point
    glUseProgram(0);
    test::resetGlState();
  }

  std::string file(const std::string& name, const std::string& text) {
    return dir_.write(name, text);
  }

  struct Build {
    std::string out;
    std::string err;
  };
  // load + compileAndLink with both streams captured.
  static Build build(ShaderProgram& program, const std::string& vertex,
                     const std::string& fragment) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool loaded = program.load(vertex, fragment);
    const bool built = program.compileAndLink();
    Build result{testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(built);
    return result;
  }

  // The log GL gives for a source, compiled apart from the program.
  static std::string compileLog(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const GLchar* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<GLchar> log(static_cast<std::size_t>(length) + 1, '\0');
    if (length > 0) glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return std::string(log.data());
  }

  static GLint currentProgram() {
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
  }
  // What the link report should be, from GL's own link status. A program
  // left with one stage may still link on a compatibility context.
  static std::string linkReport(GLuint program) {
    GLint linked = -1;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == 0 ? "programme non linke\n" : "";
  }
  static GLint attachedShaders(GLuint program) {
    GLint count = -1;
    glGetProgramiv(program, GL_ATTACHED_SHADERS, &count);
    return count;
  }

  TempDir dir_;
};

TEST_F(ShaderProgramTest, ReadSourceFileReturnsTheWholeText) {
  const std::string text = "line one\n\nline three with \t tab\n// no end of line";
  EXPECT_EQ(text, ShaderProgram::readSourceFile(file("s.vert", text)));
  EXPECT_EQ("", ShaderProgram::readSourceFile(file("empty.vert", "")));

  const std::string missing = dir_.path() + "/missing.vert";
  testing::internal::CaptureStderr();
  EXPECT_EQ("", ShaderProgram::readSourceFile(missing));
  EXPECT_EQ("Could not load shader: " + missing + "\n", testing::internal::GetCapturedStderr());
}

TEST_F(ShaderProgramTest, GoodProgramBuildsSilentlyAndUseFillsEveryLocation) {
  ShaderProgram program;
  const Build b = build(program, file("a.vert", kFullVertex), file("a.frag", kFullFragment));
  EXPECT_EQ("", b.out);
  EXPECT_EQ("", b.err);
  ASSERT_NE(0u, program.programId());
  EXPECT_NE(0u, program.vertexShader());
  EXPECT_NE(0u, program.fragmentShader());
  GLint linked = 0;
  glGetProgramiv(program.programId(), GL_LINK_STATUS, &linked);
  EXPECT_EQ(GL_TRUE, linked);

  shaderLocations() = ShaderLocations{-7, -7, -7, -7, -7, -7};
  program.use();
  EXPECT_EQ(GLint(program.programId()), currentProgram());
  const GLuint id = program.programId();
  const ShaderLocations& l = shaderLocations();
  EXPECT_EQ(glGetAttribLocation(id, "inVertex"), l.inVertex);
  EXPECT_EQ(glGetAttribLocation(id, "inNormal"), l.inNormal);
  EXPECT_EQ(glGetAttribLocation(id, "inTexCoord"), l.inTexCoord);
  EXPECT_EQ(glGetUniformLocation(id, "finalMatrix"), l.finalMatrix);
  EXPECT_EQ(glGetUniformLocation(id, "texture0"), l.texture0);
  EXPECT_EQ(glGetUniformLocation(id, "mvMat"), l.mvMat);
  for (int32_t location :
       {l.inVertex, l.inNormal, l.inTexCoord, l.finalMatrix, l.texture0, l.mvMat}) {
    EXPECT_GE(location, 0);
  }
  // Three distinct attributes and three distinct uniforms.
  EXPECT_NE(l.inVertex, l.inNormal);
  EXPECT_NE(l.inNormal, l.inTexCoord);
  EXPECT_NE(l.inVertex, l.inTexCoord);
  EXPECT_NE(l.finalMatrix, l.mvMat);
  EXPECT_NE(l.finalMatrix, l.texture0);
  EXPECT_NE(l.texture0, l.mvMat);
}

TEST_F(ShaderProgramTest, NamesAProgramLacksAreMinusOne) {
  ShaderProgram full;
  ShaderProgram bare;
  build(full, file("f.vert", kFullVertex), file("f.frag", kFullFragment));
  const Build b = build(bare, file("b.vert", kBareVertex), file("b.frag", kBareFragment));
  EXPECT_EQ("", b.out);
  full.use();
  bare.use();
  const ShaderLocations& l = shaderLocations();
  EXPECT_EQ(GLint(bare.programId()), currentProgram());
  EXPECT_GE(l.inVertex, 0);
  EXPECT_GE(l.finalMatrix, 0);
  EXPECT_EQ(-1, l.inNormal);
  EXPECT_EQ(-1, l.inTexCoord);
  EXPECT_EQ(-1, l.texture0);
  EXPECT_EQ(-1, l.mvMat);
  // Switching back refreshes the whole record.
  full.use();
  EXPECT_GE(l.mvMat, 0);
  EXPECT_GE(l.inNormal, 0);
}

TEST_F(ShaderProgramTest, CompileFailuresPrintTheLogAndDropTheShader) {
  struct Case {
    const char* label;
    const char* vertex;
    const char* fragment;
    bool vertexFails;
  };
  const Case cases[] = {
      {"vertex", kBrokenSource, kBareFragment, true},
      {"fragment", kBareVertex, kBrokenSource, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ShaderProgram program;
    const Build b = build(program, file("c.vert", c.vertex), file("c.frag", c.fragment));
    const std::string log =
        compileLog(c.vertexFails ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, kBrokenSource);
    ASSERT_FALSE(log.empty());
    const std::string expected =
        std::string(c.vertexFails ? "Could not compile vertexShader 35633:\n"
                                  : "Could not compile fragmentShader 35632:\n") +
        log + "\n" + linkReport(program.programId());
    EXPECT_EQ(expected, b.out);
    EXPECT_EQ("", b.err);
    EXPECT_EQ(c.vertexFails, program.vertexShader() == 0u);
    EXPECT_EQ(!c.vertexFails, program.fragmentShader() == 0u);
    // Only the shader that compiled is attached; attaching 0 changed nothing.
    EXPECT_EQ(1, attachedShaders(program.programId()));
    while (glGetError() != GL_NO_ERROR) {
    }
  }
}

TEST_F(ShaderProgramTest, MissingVertexFileIsReportedThenFailsToCompile) {
  ShaderProgram program;
  const std::string missing = dir_.path() + "/absent.vert";
  const Build b = build(program, missing, file("m.frag", kBareFragment));
  EXPECT_EQ("Could not load shader: " + missing + "\n", b.err);
  // GL is handed the empty text and rejects it with a log.
  const std::string log = compileLog(GL_VERTEX_SHADER, "");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(
      "Could not compile vertexShader 35633:\n" + log + "\n" + linkReport(program.programId()),
      b.out);
  EXPECT_EQ(0u, program.vertexShader());
  EXPECT_NE(0u, program.fragmentShader());
  while (glGetError() != GL_NO_ERROR) {
  }
}

TEST_F(ShaderProgramTest, LinkFailureIsReportedOnStandardOutput) {
  ShaderProgram program;
  const Build b = build(program, file("l.vert", kBareVertex), file("l.frag", kNoMainFragment));
  EXPECT_EQ("programme non linke\n", b.out);
  EXPECT_EQ("", b.err);
  EXPECT_NE(0u, program.vertexShader());
  EXPECT_NE(0u, program.fragmentShader());
  EXPECT_EQ(2, attachedShaders(program.programId()));
}

// Entry points replaced to see what the program asks of GL.
struct Recorder {
  static std::vector<std::string>& calls() {
    static std::vector<std::string> list;
    return list;
  }
  static glentry::glGetShaderivFn& realGetShaderiv() {
    static glentry::glGetShaderivFn fn = nullptr;
    return fn;
  }
  // Reports every compile as failed with an empty log.
  static void DRAVIK_GLAPIENTRY failedWithoutLog(GLuint shader, GLenum pname, GLint* value) {
    if (pname == GL_COMPILE_STATUS) {
      *value = 0;
    } else if (pname == GL_INFO_LOG_LENGTH) {
      *value = 0;
    } else {
      realGetShaderiv()(shader, pname, value);
    }
  }
  static void DRAVIK_GLAPIENTRY attach(GLuint, GLuint shader) {
    calls().push_back("attach " + std::to_string(shader));
  }
  static GLint DRAVIK_GLAPIENTRY uniform(GLuint, const GLchar* name) {
    calls().push_back(std::string("uniform ") + name);
    return 40 + static_cast<GLint>(calls().size());
  }
  static GLint DRAVIK_GLAPIENTRY attribute(GLuint, const GLchar* name) {
    calls().push_back(std::string("attribute ") + name);
    return 40 + static_cast<GLint>(calls().size());
  }
};

TEST_F(ShaderProgramTest, FailureWithoutLogKeepsTheShaderSilently) {
  Recorder::realGetShaderiv() = glentry::glGetShaderiv;
  Recorder::calls().clear();
  glentry::glGetShaderiv = Recorder::failedWithoutLog;
  glentry::glAttachShader = Recorder::attach;
  ShaderProgram program;
  const Build b = build(program, file("n.vert", kBareVertex), file("n.frag", kBareFragment));
  ASSERT_TRUE(test::ensureGlContext());
  EXPECT_EQ("", b.err);
  EXPECT_EQ(std::string::npos, b.out.find("Could not compile")) << b.out;
  EXPECT_NE(0u, program.vertexShader());
  EXPECT_NE(0u, program.fragmentShader());
  const std::vector<std::string> expected = {"attach " + std::to_string(program.vertexShader()),
                                             "attach " + std::to_string(program.fragmentShader())};
  EXPECT_EQ(expected, Recorder::calls());
}

TEST_F(ShaderProgramTest, AttachAfterAFailedCompilePassesZero) {
  Recorder::calls().clear();
  glentry::glAttachShader = Recorder::attach;
  ShaderProgram program;
  build(program, file("z.vert", kBrokenSource), file("z.frag", kBareFragment));
  ASSERT_TRUE(test::ensureGlContext());
  const std::vector<std::string> expected = {"attach 0",
                                             "attach " + std::to_string(program.fragmentShader())};
  EXPECT_EQ(expected, Recorder::calls());
  while (glGetError() != GL_NO_ERROR) {
  }
}

TEST_F(ShaderProgramTest, UseQueriesTheLocationsInTheGamesOrder) {
  ShaderProgram program;
  build(program, file("o.vert", kFullVertex), file("o.frag", kFullFragment));
  Recorder::calls().clear();
  glentry::glGetUniformLocation = Recorder::uniform;
  glentry::glGetAttribLocation = Recorder::attribute;
  program.use();
  ASSERT_TRUE(test::ensureGlContext());
  const std::vector<std::string> expected = {"uniform finalMatrix",  "uniform texture0",
                                             "attribute inVertex",   "attribute inNormal",
                                             "attribute inTexCoord", "uniform mvMat"};
  EXPECT_EQ(expected, Recorder::calls());
  // Each answer went to its own field (the fakes answer 41, 42, ...).
  const ShaderLocations& l = shaderLocations();
  EXPECT_EQ(41, l.finalMatrix);
  EXPECT_EQ(42, l.texture0);
  EXPECT_EQ(43, l.inVertex);
  EXPECT_EQ(44, l.inNormal);
  EXPECT_EQ(45, l.inTexCoord);
  EXPECT_EQ(46, l.mvMat);
}

TEST_F(ShaderProgramTest, DestructorReleasesCurrentProgramAndDetaches) {
  GLuint id = 0;
  {
    ShaderProgram program;
    build(program, file("d.vert", kBareVertex), file("d.frag", kBareFragment));
    program.use();
    id = program.programId();
    ASSERT_EQ(2, attachedShaders(id));
  }
  EXPECT_EQ(0, currentProgram());
  EXPECT_EQ(0, attachedShaders(id));
  EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(ShaderProgramTest, DestructorSkipsGlWhenUnloadedOrWithoutAContext) {
  ShaderProgram kept;
  build(kept, file("k.vert", kBareVertex), file("k.frag", kBareFragment));
  kept.use();
  { ShaderProgram neverLoaded; }
  EXPECT_EQ(GLint(kept.programId()), currentProgram());
  EXPECT_EQ(GL_NO_ERROR, glGetError());

  {
    ShaderProgram orphan;
    build(orphan, file("o.vert", kBareVertex), file("o.frag", kBareFragment));
    orphan.use();
    glentry::setContextAvailable(false);
  }
  glentry::setContextAvailable(true);
  GLint current = currentProgram();
  EXPECT_NE(0, current);
  EXPECT_EQ(2, attachedShaders(static_cast<GLuint>(current)));
}

}  // namespace
}  // namespace dravik
