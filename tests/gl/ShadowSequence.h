// Random sequences of the GL table's calls, as a game might make them: buffers
// made, bound, filled and deleted (their names bound again), attribute
// pointers over several buffers and strides, arrays switched on and off,
// programs made, linked, linked again and one that fails to link, uniforms of
// every kind, texture units 0-9, textures deleted while bound, draws, and the
// context lost and made again. The choices come from a seed (the tests) or
// from bytes (the fuzz target); a draw is only made when every array it reads
// lies inside a filled buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dravik::test {

// Where the generator takes its choices from.
class Choices {
 public:
  virtual ~Choices() = default;
  virtual unsigned below(unsigned n) = 0;  // a number in [0, n), n > 0
  virtual bool exhausted() const { return false; }
};

class SeededChoices : public Choices {
 public:
  explicit SeededChoices(uint64_t seed) : state_(seed) {}
  unsigned below(unsigned n) override;

 private:
  uint64_t state_;
};

// Reads its choices from the bytes, then zeros once they run out; the
// sequence ends there.
class ByteChoices : public Choices {
 public:
  ByteChoices(const uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  unsigned below(unsigned n) override;
  bool exhausted() const override { return next_ >= size_; }

 private:
  const uint8_t* bytes_;
  std::size_t size_;
  std::size_t next_ = 0;
};

enum class Op : uint8_t {
  GenBuffer,
  BindBuffer,   // a: 0 array, 1 element; h: handle or -1 for 0
  FillBuffer,   // a: 0 array, 1 element; b: 0 vertices, 1 indices; c: pattern
  PatchBuffer,  // as FillBuffer, d: offset in bytes
  DeleteBuffer,
  Pointer,  // a: index, b: size, c: stride, d: offset
  EnableArray,
  DisableArray,        // a: index
  MakeProgram,         // a: sources
  SetSources,          // h: program, a: sources (takes effect at the next link)
  BindAttribLocation,  // h: program, a: index, b: attribute
  LinkProgram,
  UseProgram,     // h: program or -1 for 0
  LocateUniform,  // h: program, a: uniform
  LocateAttrib,   // h: program, a: attribute
  SetUniform,     // h: program whose location is used (-1: location -1), a: uniform,
                  // b: setter, c: count, d: pattern
  ActiveTexture,  // a: unit
  GenTexture,
  BindTexture,  // h: handle or -1 for 0
  FillTexture,  // a: pattern
  DeleteTexture,
  Draw,   // a: first index
  Query,  // a: which
  Checkpoint,
  LoseContext,
};

struct Step {
  Op op;
  int h = -1;
  int a = 0, b = 0, c = 0, d = 0;
};

// Shader sources a program can be given: two that link (with their uniforms
// in another order, one without some of them) and one that fails.
constexpr int kSourceKinds = 3;
const char* vertexSource(int kind);
const char* fragmentSource(int kind);

struct UniformName {
  const char* name;
  int setters[2];  // the setters that fit its type (-1: none)
};
constexpr int kUniformNames = 22;
const UniformName& uniformName(int index);
constexpr int kAttribNames = 4;
const char* attribName(int index);
constexpr int kSetters = 19;
const char* setterName(int setter);
constexpr int kQueries = 5;
unsigned queryName(int which);  // the GLenum

constexpr int kUnits = 10;
constexpr int kAttributes = 16;
constexpr int kVertices = 8;
constexpr int kBufferBytes = 1024;

// At most length steps (fewer where the choices run out), then a checkpoint.
std::vector<Step> makeSequence(Choices& choices, int length);
std::string describe(const Step& step);

}  // namespace dravik::test
