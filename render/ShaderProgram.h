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
  bool compileAndLink();
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
