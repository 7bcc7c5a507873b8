#pragma once

#include <cstdint>
#include <string>

namespace dravik {

// Attribute and uniform locations of the program made current last; every
// draw reads them from here. -1 marks a name the program does not use.
struct ShaderLocations {
  int32_t inVertex = 0;
  int32_t inNormal = 0;
  int32_t inTexCoord = 0;
  int32_t finalMatrix = 0;
  int32_t texture0 = 0;
  int32_t mvMat = 0;
};

// The one process-wide record.
ShaderLocations& shaderLocations();

// One GLSL program built from a vertex-shader and a fragment-shader file.
// Build failures are reported on the standard streams, never to the caller.
class ShaderProgram {
 public:
  ShaderProgram() = default;
  ~ShaderProgram();
  ShaderProgram(const ShaderProgram&) = delete;
  ShaderProgram& operator=(const ShaderProgram&) = delete;

  bool load(const std::string& vertexPath, const std::string& fragmentPath);
  // compile, link and reportLink at once.
  bool compileAndLink();
  // The build in three parts, so that several programs can be under way at
  // once while the driver compiles: compile sets both shaders compiling;
  // link asks how they went (a failed one is reported and attached as 0),
  // attaches them and starts the link; reportLink asks how that went.
  void compile();
  void link();
  void reportLink();
  // Whether the driver has finished the shaders' compiles (after compile) or
  // the link (after link), so that asking how they went does not wait.
  // Always true where the driver cannot tell.
  bool compileFinished() const;
  bool linkFinished() const;
  // Set where the context compiles and links in the background and answers
  // GL_COMPLETION_STATUS_KHR (a browser with KHR_parallel_shader_compile).
  static void setBackgroundCompileQueries(bool available);
  // Detaches the shaders where the context is still there, then forgets
  // every name, so load can start over (in a new context, say).
  void release();
  // Makes the program current and refreshes shaderLocations().
  void use() const;
  uint32_t programId() const { return program_; }
  uint32_t vertexShader() const { return vertexShader_; }
  uint32_t fragmentShader() const { return fragmentShader_; }

  // The whole text of a shader file; empty (with a message on standard
  // error) when it cannot be opened.
  static std::string readSourceFile(const std::string& path);

 private:
  uint32_t program_ = 0;
  uint32_t vertexShader_ = 0;
  uint32_t fragmentShader_ = 0;
  // Set by load(): only then does the destructor detach the shaders.
  bool loaded_ = false;
};

}  // namespace dravik
