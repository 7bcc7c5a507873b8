#include "tests/gl/ShadowSequence.h"

#include <array>
#include <sstream>
#include <utility>

#include "gl/GlApi.h"

namespace dravik::test {

unsigned SeededChoices::below(unsigned n) {
  // splitmix64: fast, and the same numbers on every machine.
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<unsigned>((z ^ (z >> 31)) % n);
}

unsigned ByteChoices::below(unsigned n) {
  unsigned value = 0;
  for (unsigned range = 1; range < n; range <<= 8) {
    value = (value << 8) | (next_ < size_ ? bytes_[next_++] : 0u);
  }
  return value % n;
}

namespace {

constexpr const char* kVertex = R"(#version 130
in vec2 a_pos;
in vec4 a_color;
in vec2 a_uv;
out vec4 v_color;
out vec2 v_uv;
void main() {
  v_color = a_color;
  v_uv = a_uv;
  gl_Position = vec4(a_pos, 0.0, 1.0);
}
)";

// Every uniform changes the colour by a weight of its own, so that a value
// left behind shows in the picture.
constexpr const char* kFragmentAll = R"(#version 130
uniform float u_f1; uniform vec2 u_f2; uniform vec3 u_f3; uniform vec4 u_f4[2];
uniform float u_fa[3];
uniform int u_i1; uniform ivec2 u_i2; uniform ivec3 u_i3; uniform ivec4 u_i4;
uniform uint u_u1; uniform uvec2 u_u2; uniform uvec3 u_u3; uniform uvec4 u_u4;
uniform mat2 u_m2; uniform mat3 u_m3; uniform mat4 u_bone[2];
uniform sampler2D u_tex0; uniform sampler2D u_tex1;
in vec4 v_color; in vec2 v_uv;
void main() {
  vec4 t = texture(u_tex0, v_uv) * 0.53 + texture(u_tex1, v_uv.yx) * 0.29;
  vec4 f = vec4(u_f1, u_f2, 0.0) + vec4(u_f3, 1.0) * 0.37 + u_f4[0] * 0.23 + u_f4[1] * 0.11
         + vec4(u_fa[0], u_fa[1], u_fa[2], 0.0) * 0.053;
  vec4 i = vec4(ivec4(u_i1, u_i2, 1) + ivec4(u_i3, 1) * 2 + u_i4 * 3) / 61.0;
  vec4 u = vec4(uvec4(u_u1, u_u2, 1u) + uvec4(u_u3, 2u) * 2u + u_u4 * 3u) / 67.0;
  vec4 m = vec4(u_m2 * vec2(0.31, 0.17), 0.0, 0.0) + vec4(u_m3 * vec3(0.29, 0.19, 0.13), 0.0)
         + u_bone[0] * vec4(0.13, 0.07, 0.05, 0.03) + u_bone[1] * vec4(0.07, 0.05, 0.03, 0.02);
  gl_FragColor = fract(v_color * 0.41 + t + f + i + u + m);
}
)";

// Another order, so the locations move when a program is linked again with
// it, and without u_fa and u_u4.
constexpr const char* kFragmentSome = R"(#version 130
uniform mat4 u_bone[2]; uniform sampler2D u_tex1; uniform uvec3 u_u3; uniform vec4 u_f4[2];
uniform mat3 u_m3; uniform ivec4 u_i4; uniform float u_f1; uniform sampler2D u_tex0;
uniform vec3 u_f3; uniform uint u_u1; uniform mat2 u_m2; uniform int u_i1; uniform uvec2 u_u2;
uniform ivec3 u_i3; uniform vec2 u_f2; uniform ivec2 u_i2;
in vec4 v_color; in vec2 v_uv;
void main() {
  vec4 t = texture(u_tex1, v_uv) * 0.47 + texture(u_tex0, v_uv.yx) * 0.31;
  vec4 f = vec4(u_f2, u_f1, 1.0) * 0.43 + vec4(u_f3, 0.0) + u_f4[1] * 0.19 + u_f4[0] * 0.13;
  vec4 i = vec4(ivec4(u_i2, u_i1, 2) * 3 + ivec4(u_i3, 0) + u_i4 * 2) / 59.0;
  vec4 u = vec4(uvec4(u_u2, u_u1, 3u) * 2u + uvec4(u_u3, 1u)) / 71.0;
  vec4 m = vec4(u_m2 * vec2(0.23, 0.41), 0.0, 0.0) + vec4(u_m3 * vec3(0.17, 0.11, 0.37), 0.0)
         + u_bone[1] * vec4(0.11, 0.13, 0.07, 0.05) + u_bone[0] * vec4(0.03, 0.05, 0.07, 0.11);
  gl_FragColor = fract(v_color * 0.37 + t + f + i + u + m);
}
)";

constexpr const char* kFragmentBroken = "#version 130\nvoid main() { gl_FragColor = vec4(1.0) }\n";

enum Setter { F1, F2, F3, F4, F1v, F2v, F3v, F4v, I1, I2, I3, I4, U1, U2, U3, U4, M2, M3, M4 };

constexpr UniformName kUniforms[kUniformNames] = {
    {"u_f1", {F1, F1v}},    {"u_f2", {F2, F2v}},   {"u_f3", {F3, F3v}},     {"u_f4", {F4, F4v}},
    {"u_f4[1]", {F4, F4v}}, {"u_fa", {F1, F1v}},   {"u_fa[2]", {F1, F1v}},  {"u_i1", {I1, -1}},
    {"u_i2", {I2, -1}},     {"u_i3", {I3, -1}},    {"u_i4", {I4, -1}},      {"u_u1", {U1, -1}},
    {"u_u2", {U2, -1}},     {"u_u3", {U3, -1}},    {"u_u4", {U4, -1}},      {"u_m2", {M2, -1}},
    {"u_m3", {M3, -1}},     {"u_bone", {M4, -1}},  {"u_bone[1]", {M4, -1}}, {"u_tex0", {I1, -1}},
    {"u_tex1", {I1, -1}},   {"u_absent", {F4, I1}}};

constexpr const char* kSetterNames[kSetters] = {
    "glUniform1f",  "glUniform2f",        "glUniform3f",        "glUniform4f",       "glUniform1fv",
    "glUniform2fv", "glUniform3fv",       "glUniform4fv",       "glUniform1i",       "glUniform2i",
    "glUniform3i",  "glUniform4i",        "glUniform1ui",       "glUniform2ui",      "glUniform3ui",
    "glUniform4ui", "glUniformMatrix2fv", "glUniformMatrix3fv", "glUniformMatrix4fv"};

constexpr const char* kAttribs[kAttribNames] = {"a_pos", "a_color", "a_uv", "a_absent"};

constexpr unsigned kQueryNames[kQueries] = {GL_ARRAY_BUFFER_BINDING,
                                            GL_ELEMENT_ARRAY_BUFFER_BINDING, GL_CURRENT_PROGRAM,
                                            GL_ACTIVE_TEXTURE, GL_TEXTURE_BINDING_2D};

// What the calls so far made of the driver's state, as far as a draw's
// safety needs it.
struct Model {
  struct Buffer {
    bool alive = true;
    int content = -1;  // -1 empty, 0 vertices, 1 indices
  };
  struct Pointer {
    int buffer = -1;  // -1: none (or a client array)
  };
  std::vector<Buffer> buffers;
  int firstBufferOfContext = 0;
  int arrayBuffer = -1;
  int elementBuffer = -1;
  std::array<Pointer, kAttributes> pointers{};
  std::array<bool, kAttributes> enabled{};
  std::vector<std::vector<bool>> located;  // per program, per uniform name
  int firstProgramOfContext = 0;
  int currentProgram = -1;
  int textures = 0;
  int firstTextureOfContext = 0;

  bool filled(int buffer) const {
    return buffer >= 0 && buffers[buffer].alive && buffers[buffer].content >= 0;
  }
  int programs() const { return static_cast<int>(located.size()); }
};

class Generator {
 public:
  explicit Generator(Choices& choices) : choices_(choices) {
    // A few uniforms, set over and over; an array comes with one of its
    // elements.
    for (int i = 0; i < 5; ++i) {
      const int u = static_cast<int>(pick(kUniformNames));
      favourites_.push_back(u);
      for (const auto& [array, element] : {std::pair{3, 4}, {5, 6}, {17, 18}}) {
        if (u == array || u == element) favourites_.push_back(u == array ? element : array);
      }
    }
  }

  std::vector<Step> run(int length) {
    while (static_cast<int>(steps_.size()) < length && !choices_.exhausted()) next();
    steps_.push_back({Op::Checkpoint});
    return std::move(steps_);
  }

 private:
  unsigned pick(unsigned n) { return choices_.below(n); }
  bool chance(unsigned percent) { return pick(100) < percent; }
  void emit(Step step) { steps_.push_back(step); }

  // A buffer of this context (or, now and then, any earlier one: its name
  // bound again makes a new buffer).
  int someBuffer() {
    const int count = static_cast<int>(m_.buffers.size()) - m_.firstBufferOfContext;
    if (count <= 0) return -1;
    return m_.firstBufferOfContext + static_cast<int>(pick(static_cast<unsigned>(count)));
  }
  int someProgram() {
    const int count = m_.programs() - m_.firstProgramOfContext;
    if (count <= 0) return -1;
    return m_.firstProgramOfContext + static_cast<int>(pick(static_cast<unsigned>(count)));
  }
  int someIndex() { return static_cast<int>(chance(70) ? pick(4) : pick(kAttributes)); }

  void next() {
    switch (pick(20)) {
      case 0:
        if (m_.buffers.size() - m_.firstBufferOfContext < 10) {
          emit({Op::GenBuffer});
          m_.buffers.emplace_back();
        }
        return;
      case 1:
      case 2:
        bindBuffer();
        return;
      case 3:
        fillBuffer();
        return;
      case 4:
        if (const int b = someBuffer(); b >= 0 && chance(40)) {
          emit({Op::DeleteBuffer, b});
          m_.buffers[b].alive = false;
          if (m_.arrayBuffer == b) m_.arrayBuffer = -1;
          if (m_.elementBuffer == b) m_.elementBuffer = -1;
          for (Model::Pointer& p : m_.pointers) {
            if (p.buffer == b) p.buffer = -1;
          }
        }
        return;
      case 5:
      case 6:
        pointer();
        return;
      case 7: {
        const int index = someIndex();
        const bool on = chance(60);
        emit({on ? Op::EnableArray : Op::DisableArray, -1, index});
        m_.enabled[index] = on;
        return;
      }
      case 8:
        program();
        return;
      case 9: {
        const int p = chance(85) ? someProgram() : -1;
        emit({Op::UseProgram, p});
        m_.currentProgram = p;
        return;
      }
      case 10:
      case 11:
      case 12:
        uniform();
        return;
      case 13:
        texture();
        return;
      case 14:
      case 15:
        draw();
        return;
      case 16:
        emit({Op::Query, -1, static_cast<int>(pick(kQueries))});
        return;
      case 17:
        if (chance(30)) emit({Op::Checkpoint});
        return;
      case 18:
        if (chance(3)) loseContext();
        return;
      default:
        emit({Op::ActiveTexture, -1, static_cast<int>(pick(kUnits))});
        return;
    }
  }

  void bindBuffer() {
    const int target = static_cast<int>(pick(2));
    const int b = chance(85) ? someBuffer() : -1;
    emit({Op::BindBuffer, b, target});
    if (b >= 0 && !m_.buffers[b].alive) m_.buffers[b] = Model::Buffer{};
    (target == 0 ? m_.arrayBuffer : m_.elementBuffer) = b;
  }

  void fillBuffer() {
    const int target = static_cast<int>(pick(2));
    const int b = target == 0 ? m_.arrayBuffer : m_.elementBuffer;
    const int content = chance(50) ? target : static_cast<int>(pick(2));
    const int pattern = static_cast<int>(pick(3));
    if (b < 0 || m_.buffers[b].content < 0 || chance(50)) {
      emit({Op::FillBuffer, -1, target, content, pattern});
      if (b >= 0) m_.buffers[b].content = content;
    } else {
      // A patch keeps the kind of content the buffer holds.
      emit({Op::PatchBuffer, -1, target, m_.buffers[b].content, pattern,
            static_cast<int>(pick(16)) * 16});
    }
  }

  void pointer() {
    static constexpr int kStrides[] = {0, 8, 12, 16, 24, 32};
    const int index = someIndex();
    const int size = 1 + static_cast<int>(pick(4));
    const int stride = kStrides[pick(6)];
    const int offset = static_cast<int>(pick(5)) * 16;
    emit({Op::Pointer, -1, index, size, stride, offset});
    m_.pointers[index].buffer = m_.arrayBuffer;
  }

  void program() {
    const unsigned what = pick(10);
    const int p = someProgram();
    if (what < 3 || p < 0) {
      if (m_.programs() - m_.firstProgramOfContext >= 12) return;
      emit({Op::MakeProgram, -1, chance(10) ? 2 : static_cast<int>(pick(2))});
      m_.located.emplace_back(kUniformNames, false);
      if (chance(60)) emit({Op::LinkProgram, m_.programs() - 1});
    } else if (what < 5) {
      emit({Op::LinkProgram, p});
      m_.located[p].assign(kUniformNames, false);
    } else if (what < 6) {
      emit({Op::SetSources, p, static_cast<int>(pick(kSourceKinds))});
    } else if (what < 7) {
      emit({Op::BindAttribLocation, p, static_cast<int>(pick(kAttributes)),
            static_cast<int>(pick(kAttribNames))});
    } else if (what < 9) {
      const int u = static_cast<int>(pick(kUniformNames));
      emit({Op::LocateUniform, p, u});
      m_.located[p][u] = true;
    } else {
      emit({Op::LocateAttrib, p, static_cast<int>(pick(kAttribNames))});
    }
  }

  void uniform() {
    int p = m_.currentProgram;
    if (chance(10)) p = -1;  // location -1: GL ignores the call
    const int u = chance(90) ? favourites_[pick(static_cast<unsigned>(favourites_.size()))]
                             : static_cast<int>(pick(kUniformNames));
    if (p >= 0 && !m_.located[p][u]) {
      emit({Op::LocateUniform, p, u});
      m_.located[p][u] = true;
    }
    const UniformName& name = kUniforms[u];
    int setter = name.setters[pick(2)];
    if (setter < 0 || chance(5)) setter = name.setters[0];
    if (chance(4)) setter = static_cast<int>(pick(kSetters));  // the wrong type: an error
    const bool takesCount =
        setter == F1v || setter == F2v || setter == F3v || setter == F4v || setter >= M2;
    const int count = takesCount && chance(35) ? 2 + static_cast<int>(pick(2)) : 1;
    // Few values, so the same one comes again often; samplers take units.
    const int pattern = static_cast<int>(pick(u >= 19 && u <= 20 ? kUnits : 4));
    emit({Op::SetUniform, p, u, setter, count, pattern});
  }

  void texture() {
    const unsigned what = pick(6);
    const int count = m_.textures - m_.firstTextureOfContext;
    const int t = count > 0 ? m_.firstTextureOfContext + static_cast<int>(pick(count)) : -1;
    if (what == 0 || t < 0) {
      if (count < 8) {
        emit({Op::GenTexture});
        ++m_.textures;
      }
    } else if (what < 3) {
      emit({Op::BindTexture, chance(85) ? t : -1});
    } else if (what < 5) {
      emit({Op::FillTexture, -1, static_cast<int>(pick(4))});
    } else {
      emit({Op::DeleteTexture, t});
    }
  }

  // Switches off the arrays a draw could not read safely, binds indices that
  // are there, then draws.
  void draw() {
    if (!m_.filled(m_.elementBuffer) || m_.buffers[m_.elementBuffer].content != 1) {
      int found = -1;
      for (int b = m_.firstBufferOfContext; b < static_cast<int>(m_.buffers.size()); ++b) {
        if (m_.filled(b) && m_.buffers[b].content == 1) found = b;
      }
      if (found < 0) return;
      emit({Op::BindBuffer, found, 1});
      m_.elementBuffer = found;
    }
    for (int i = 0; i < kAttributes; ++i) {
      if (m_.enabled[i] && !m_.filled(m_.pointers[i].buffer)) {
        emit({Op::DisableArray, -1, i});
        m_.enabled[i] = false;
      }
    }
    emit({Op::Draw, -1, static_cast<int>(pick(3))});
  }

  void loseContext() {
    emit({Op::LoseContext});
    const std::vector<Model::Buffer> buffers(m_.buffers.size(), Model::Buffer{false, -1});
    const int programs = m_.programs();
    const int textures = m_.textures;
    m_ = Model{};
    m_.buffers = buffers;
    m_.firstBufferOfContext = static_cast<int>(buffers.size());
    m_.located.resize(programs);
    m_.firstProgramOfContext = programs;
    m_.textures = m_.firstTextureOfContext = textures;
  }

  Choices& choices_;
  std::vector<int> favourites_;
  Model m_;
  std::vector<Step> steps_;
};

}  // namespace

const char* vertexSource(int) { return kVertex; }
const char* fragmentSource(int kind) {
  return kind == 0 ? kFragmentAll : kind == 1 ? kFragmentSome : kFragmentBroken;
}
const UniformName& uniformName(int index) { return kUniforms[index]; }
const char* attribName(int index) { return kAttribs[index]; }
const char* setterName(int setter) { return kSetterNames[setter]; }
unsigned queryName(int which) { return kQueryNames[which]; }

std::vector<Step> makeSequence(Choices& choices, int length) {
  return Generator(choices).run(length);
}

std::string describe(const Step& s) {
  static constexpr const char* kTargets[] = {"GL_ARRAY_BUFFER", "GL_ELEMENT_ARRAY_BUFFER"};
  std::ostringstream out;
  const std::string h = s.h < 0 ? "0" : "#" + std::to_string(s.h);
  switch (s.op) {
    case Op::GenBuffer:
      out << "glGenBuffers";
      break;
    case Op::BindBuffer:
      out << "glBindBuffer(" << kTargets[s.a] << ", buffer " << h << ")";
      break;
    case Op::FillBuffer:
    case Op::PatchBuffer:
      out << (s.op == Op::FillBuffer ? "glBufferData(" : "glBufferSubData(") << kTargets[s.a]
          << (s.b == 0 ? ", vertices " : ", indices ") << s.c << " at " << s.d << ")";
      break;
    case Op::DeleteBuffer:
      out << "glDeleteBuffers(buffer " << h << ")";
      break;
    case Op::Pointer:
      out << "glVertexAttribPointer(" << s.a << ", size " << s.b << ", stride " << s.c
          << ", offset " << s.d << ")";
      break;
    case Op::EnableArray:
      out << "glEnableVertexAttribArray(" << s.a << ")";
      break;
    case Op::DisableArray:
      out << "glDisableVertexAttribArray(" << s.a << ")";
      break;
    case Op::MakeProgram:
      out << "make a program with sources " << s.a;
      break;
    case Op::SetSources:
      out << "program " << h << " given sources " << s.a;
      break;
    case Op::BindAttribLocation:
      out << "glBindAttribLocation(program " << h << ", " << s.a << ", " << kAttribs[s.b] << ")";
      break;
    case Op::LinkProgram:
      out << "glLinkProgram(program " << h << ")";
      break;
    case Op::UseProgram:
      out << "glUseProgram(program " << h << ")";
      break;
    case Op::LocateUniform:
      out << "glGetUniformLocation(program " << h << ", " << kUniforms[s.a].name << ")";
      break;
    case Op::LocateAttrib:
      out << "glGetAttribLocation(program " << h << ", " << kAttribs[s.a] << ")";
      break;
    case Op::SetUniform:
      out << kSetterNames[s.b] << "(" << kUniforms[s.a].name << " of program " << h << ", count "
          << s.c << ", values " << s.d << ")";
      break;
    case Op::ActiveTexture:
      out << "glActiveTexture(GL_TEXTURE" << s.a << ")";
      break;
    case Op::GenTexture:
      out << "glGenTextures";
      break;
    case Op::BindTexture:
      out << "glBindTexture(GL_TEXTURE_2D, texture " << h << ")";
      break;
    case Op::FillTexture:
      out << "glTexImage2D(colours " << s.a << ")";
      break;
    case Op::DeleteTexture:
      out << "glDeleteTextures(texture " << h << ")";
      break;
    case Op::Draw:
      out << "glDrawElements(from index " << s.a << ")";
      break;
    case Op::Query:
      out << "glGetIntegerv(0x" << std::hex << kQueryNames[s.a] << ")";
      break;
    case Op::Checkpoint:
      out << "checkpoint: the driver's state";
      break;
    case Op::LoseContext:
      out << "the context is lost and made again";
      break;
  }
  return out.str();
}

}  // namespace dravik::test
