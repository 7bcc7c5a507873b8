#include "render/ShaderProgram.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <vector>

#include "gl/GlApi.h"
#include "render/GlDialect.h"

namespace dravik {

ShaderLocations& shaderLocations() {
  static ShaderLocations locations;
  return locations;
}

namespace {

// GL_COMPLETION_STATUS_KHR, of KHR_parallel_shader_compile.
constexpr GLenum kCompletionStatus = 0x91B1;
bool gBackgroundCompileQueries = false;

// How a shader's compile went; on a failure with a log, prints it on
// standard output, deletes the shader and zeroes its name. A failure without
// a log keeps it.
void checkCompiledShader(uint32_t& shader, const char* label, GLenum type) {
  GLint status = 1;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status == GL_TRUE) return;
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  if (length <= 0) return;
  try {
    std::vector<GLchar> log(static_cast<std::size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    std::cout << "Could not compile " << label << " " << type << ":\n" << log.data() << std::endl;
  } catch (const std::bad_alloc&) {
    // No room for the log: the shader is still dropped below.
  }
  glDeleteShader(shader);
  shader = 0;
}

}  // namespace

ShaderProgram::~ShaderProgram() { release(); }

void ShaderProgram::release() {
  if (loaded_ && glentry::contextAvailable() && glUseProgram != nullptr &&
      glDetachShader != nullptr) {
    glUseProgram(0);
    glDetachShader(program_, vertexShader_);
    glDetachShader(program_, fragmentShader_);
  }
  program_ = 0;
  vertexShader_ = 0;
  fragmentShader_ = 0;
  loaded_ = false;
}

bool ShaderProgram::load(const std::string& vertexPath, const std::string& fragmentPath) {
  vertexShader_ = glCreateShader(GL_VERTEX_SHADER);
  fragmentShader_ = glCreateShader(GL_FRAGMENT_SHADER);
  program_ = glCreateProgram();
  loaded_ = true;

  const std::string vertexText = shaderSourceForGl(readSourceFile(vertexPath), GL_VERTEX_SHADER);
  const GLchar* vertexSource = vertexText.c_str();
  glShaderSource(vertexShader_, 1, &vertexSource, nullptr);

  const std::string fragmentText =
      shaderSourceForGl(readSourceFile(fragmentPath), GL_FRAGMENT_SHADER);
  const GLchar* fragmentSource = fragmentText.c_str();
  glShaderSource(fragmentShader_, 1, &fragmentSource, nullptr);
  return true;
}

bool ShaderProgram::compileAndLink() {
  compile();
  link();
  reportLink();
  return true;
}

void ShaderProgram::compile() {
  glCompileShader(vertexShader_);
  glCompileShader(fragmentShader_);
}

void ShaderProgram::link() {
  checkCompiledShader(vertexShader_, "vertexShader", GL_VERTEX_SHADER);
  checkCompiledShader(fragmentShader_, "fragmentShader", GL_FRAGMENT_SHADER);
  // A shader dropped above is attached as 0; GL flags that and links on.
  glAttachShader(program_, vertexShader_);
  glAttachShader(program_, fragmentShader_);
  glLinkProgram(program_);
}

void ShaderProgram::reportLink() {
  GLint status = 1;
  glGetProgramiv(program_, GL_LINK_STATUS, &status);
  if (status == 0) std::cout << "programme non linke" << std::endl;
}

bool ShaderProgram::compileFinished() const {
  if (!gBackgroundCompileQueries) return true;
  GLint vertexDone = 1;
  GLint fragmentDone = 1;
  glGetShaderiv(vertexShader_, kCompletionStatus, &vertexDone);
  glGetShaderiv(fragmentShader_, kCompletionStatus, &fragmentDone);
  return vertexDone != 0 && fragmentDone != 0;
}

bool ShaderProgram::linkFinished() const {
  if (!gBackgroundCompileQueries) return true;
  GLint done = 1;
  glGetProgramiv(program_, kCompletionStatus, &done);
  return done != 0;
}

void ShaderProgram::setBackgroundCompileQueries(bool available) {
  gBackgroundCompileQueries = available;
}

void ShaderProgram::use() const {
  glUseProgram(program_);
  ShaderLocations& locations = shaderLocations();
  locations.finalMatrix = glGetUniformLocation(program_, "finalMatrix");
  locations.texture0 = glGetUniformLocation(program_, "texture0");
  locations.inVertex = glGetAttribLocation(program_, "inVertex");
  locations.inNormal = glGetAttribLocation(program_, "inNormal");
  locations.inTexCoord = glGetAttribLocation(program_, "inTexCoord");
  locations.mvMat = glGetUniformLocation(program_, "mvMat");
}

std::string ShaderProgram::readSourceFile(const std::string& path) {
  std::ifstream in(path);
  if (!in.is_open()) {
    std::cerr << "Could not load shader: " << path << std::endl;
    return std::string();
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace dravik
