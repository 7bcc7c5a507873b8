#include "tests/gl/ShadowDifferential.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>

#include "gl/GlApi.h"

namespace dravik::test {

namespace {

constexpr int kSize = 16;  // pixels a side: small pictures keep a run fast
constexpr GLenum kAttribEnabled = 0x8622, kAttribSize = 0x8623, kAttribStride = 0x8624,
                 kAttribType = 0x8625, kAttribNormalized = 0x886A, kAttribBuffer = 0x889F,
                 kAttribPointer = 0x8645, kActiveUniforms = 0x8B86;

// Driver entry points outside the table, to see what the driver holds.
struct DriverQueries {
  void(DRAVIK_GLAPIENTRY* vertexAttribiv)(GLuint, GLenum, GLint*);
  void(DRAVIK_GLAPIENTRY* vertexAttribPointerv)(GLuint, GLenum, void**);
  void(DRAVIK_GLAPIENTRY* bufferSize)(GLuint, GLenum, GLint*);
  void(DRAVIK_GLAPIENTRY* bufferData)(GLuint, GLintptr, GLsizeiptr, void*);
  void(DRAVIK_GLAPIENTRY* programiv)(GLuint, GLenum, GLint*);
  void(DRAVIK_GLAPIENTRY* activeUniform)(GLuint, GLuint, GLsizei, GLsizei*, GLint*, GLenum*,
                                         GLchar*);
  GLint(DRAVIK_GLAPIENTRY* uniformLocation)(GLuint, const GLchar*);
  void(DRAVIK_GLAPIENTRY* uniformfv)(GLuint, GLint, GLfloat*);
  void(DRAVIK_GLAPIENTRY* uniformiv)(GLuint, GLint, GLint*);
  void(DRAVIK_GLAPIENTRY* uniformuiv)(GLuint, GLint, GLuint*);
  void(DRAVIK_GLAPIENTRY* deleteProgram)(GLuint);
};

DriverQueries gDriver;
glentry::glDrawElementsFn gRealDraw = nullptr;
std::string gRefusal;  // why the last draw was refused; empty when it was made

template <class Fn>
void fetch(Fn& fn, const char* name) {
  fn = reinterpret_cast<Fn>(SDL_GL_GetProcAddress(name));
}

GLint attrib(GLuint index, GLenum what) {
  GLint value = 0;
  gDriver.vertexAttribiv(index, what, &value);
  return value;
}

GLint integer(GLenum what) {
  GLint value = 0;
  glentry::driver::glGetIntegerv(what, &value);
  return value;
}

// Why the driver would read outside a buffer for this draw, or "".
std::string unsafeDraw(GLsizei count, const GLvoid* indices) {
  for (GLuint i = 0; i < kAttributes; ++i) {
    if (attrib(i, kAttribEnabled) == 0) continue;
    const GLint buffer = attrib(i, kAttribBuffer);
    if (buffer == 0) return "array " + std::to_string(i) + " reads client memory";
    void* offset = nullptr;
    gDriver.vertexAttribPointerv(i, kAttribPointer, &offset);
    const GLint size = attrib(i, kAttribSize);
    const GLint stride = attrib(i, kAttribStride) != 0 ? attrib(i, kAttribStride) : size * 4;
    GLint bytes = 0;
    gDriver.bufferSize(static_cast<GLuint>(buffer), GL_BUFFER_SIZE, &bytes);
    if (reinterpret_cast<uintptr_t>(offset) + stride * (kVertices - 1) + size * 4 >
        static_cast<uintptr_t>(bytes)) {
      return "array " + std::to_string(i) + " reads past its buffer";
    }
  }
  const GLint elements = integer(GL_ELEMENT_ARRAY_BUFFER_BINDING);
  GLint bytes = 0;
  if (elements != 0) gDriver.bufferSize(static_cast<GLuint>(elements), GL_BUFFER_SIZE, &bytes);
  const auto first = reinterpret_cast<uintptr_t>(indices);
  if (elements == 0 || first + count * 2u > static_cast<uintptr_t>(bytes)) return "no indices";
  uint16_t read[16] = {};
  gDriver.bufferData(static_cast<GLuint>(elements), static_cast<GLintptr>(first), count * 2, read);
  for (GLsizei i = 0; i < count; ++i) {
    if (read[i] >= kVertices) return "an index past the vertices";
  }
  return "";
}

void DRAVIK_GLAPIENTRY guardedDraw(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  gRefusal = unsafeDraw(count, indices);
  if (gRefusal.empty()) gRealDraw(mode, count, type, indices);
}

// A uniform's value as the driver reads it back, in the uniform's own type.
std::string uniformValue(GLuint program, GLint at, GLenum type) {
  std::ostringstream out;
  if (type == 0x1405 || (type >= 0x8DC6 && type <= 0x8DC8)) {
    GLuint values[4] = {};
    gDriver.uniformuiv(program, at, values);
    for (GLuint v : values) out << v << " ";
  } else if (type == 0x1404 || (type >= 0x8B53 && type <= 0x8B55) || type == 0x8B5E) {
    GLint values[4] = {};
    gDriver.uniformiv(program, at, values);
    for (GLint v : values) out << v << " ";
  } else {
    GLfloat values[16] = {};
    gDriver.uniformfv(program, at, values);
    for (GLfloat v : values) out << v << " ";
  }
  return out.str();
}

// What the driver holds, one line per item, read without the table.
std::string driverState() {
  std::ostringstream out;
  out << "array buffer " << integer(GL_ARRAY_BUFFER_BINDING) << "\nelement buffer "
      << integer(GL_ELEMENT_ARRAY_BUFFER_BINDING) << "\n";
  const GLint unit = integer(GL_ACTIVE_TEXTURE);
  out << "active unit " << unit - static_cast<GLint>(GL_TEXTURE0) << "\n";
  for (GLuint u = 0; u < kUnits; ++u) {
    glentry::driver::glActiveTexture(GL_TEXTURE0 + u);
    out << "unit " << u << " texture " << integer(GL_TEXTURE_BINDING_2D) << "\n";
  }
  glentry::driver::glActiveTexture(static_cast<GLenum>(unit));
  for (GLuint i = 0; i < kAttributes; ++i) {
    void* offset = nullptr;
    gDriver.vertexAttribPointerv(i, kAttribPointer, &offset);
    out << "array " << i << (attrib(i, kAttribEnabled) ? " on" : " off") << ", buffer "
        << attrib(i, kAttribBuffer) << ", size " << attrib(i, kAttribSize) << ", type "
        << attrib(i, kAttribType) << ", normalized " << attrib(i, kAttribNormalized) << ", stride "
        << attrib(i, kAttribStride) << ", offset " << reinterpret_cast<uintptr_t>(offset) << "\n";
  }
  const GLuint program = static_cast<GLuint>(integer(GL_CURRENT_PROGRAM));
  out << "program " << program << "\n";
  GLint linked = 0, uniforms = 0;
  if (program != 0) gDriver.programiv(program, GL_LINK_STATUS, &linked);
  if (linked) gDriver.programiv(program, kActiveUniforms, &uniforms);
  for (GLint u = 0; u < uniforms; ++u) {
    GLchar name[64];
    GLint elements = 0;
    GLenum type = 0;
    gDriver.activeUniform(program, static_cast<GLuint>(u), sizeof name, nullptr, &elements, &type,
                          name);
    if (char* bracket = std::strchr(name, '[')) *bracket = '\0';
    for (GLint e = 0; e < elements; ++e) {
      const std::string element = std::string(name) + "[" + std::to_string(e) + "]";
      const GLint at = gDriver.uniformLocation(program, element.c_str());
      out << element << " " << uniformValue(program, at, type) << "\n";
    }
  }
  return out.str();
}

// Buffer contents: floats in -1..1 for vertices, indices below kVertices.
std::vector<uint8_t> content(int kind, int pattern) {
  std::vector<uint8_t> bytes(kBufferBytes);
  if (kind == 0) {
    for (int i = 0; i < kBufferBytes / 4; ++i) {
      const float value = static_cast<float>((i * 7 + pattern * 5) % 17) / 8.0f - 1.0f;
      std::memcpy(&bytes[i * 4], &value, 4);
    }
  } else {
    for (int i = 0; i < kBufferBytes / 2; ++i) {
      const uint16_t index = static_cast<uint16_t>((i * 3 + pattern) % kVertices);
      std::memcpy(&bytes[i * 2], &index, 2);
    }
  }
  return bytes;
}

void setUniform(int setter, GLint at, GLsizei count, int pattern) {
  static constexpr float kPalette[] = {0.1f, 0.35f, 0.6f, 0.85f, -0.4f};
  GLfloat f[48];
  GLint i[4];
  GLuint u[4];
  // Values that share their first component and differ in the others.
  for (int k = 0; k < 48; ++k) f[k] = kPalette[k == 0 ? pattern % 2 : (pattern + k) % 5];
  for (int k = 0; k < 4; ++k) {
    i[k] = k == 0 ? pattern : (pattern + k) % 7;  // the first is a unit for samplers
    u[k] = static_cast<GLuint>((pattern * 3 + k) % 11);
  }
  switch (setter) {
    case 0:
      glUniform1f(at, f[0]);
      break;
    case 1:
      glUniform2f(at, f[0], f[1]);
      break;
    case 2:
      glUniform3f(at, f[0], f[1], f[2]);
      break;
    case 3:
      glUniform4f(at, f[0], f[1], f[2], f[3]);
      break;
    case 4:
      glUniform1fv(at, count, f);
      break;
    case 5:
      glUniform2fv(at, count, f);
      break;
    case 6:
      glUniform3fv(at, count, f);
      break;
    case 7:
      glUniform4fv(at, count, f);
      break;
    case 8:
      glUniform1i(at, i[0]);
      break;
    case 9:
      glUniform2i(at, i[0], i[1]);
      break;
    case 10:
      glUniform3i(at, i[0], i[1], i[2]);
      break;
    case 11:
      glUniform4i(at, i[0], i[1], i[2], i[3]);
      break;
    case 12:
      glUniform1ui(at, u[0]);
      break;
    case 13:
      glUniform2ui(at, u[0], u[1]);
      break;
    case 14:
      glUniform3ui(at, u[0], u[1], u[2]);
      break;
    case 15:
      glUniform4ui(at, u[0], u[1], u[2], u[3]);
      break;
    case 16:
      glUniformMatrix2fv(at, count, GL_FALSE, f);
      break;
    case 17:
      glUniformMatrix3fv(at, count, GL_FALSE, f);
      break;
    default:
      glUniformMatrix4fv(at, count, GL_FALSE, f);
      break;
  }
}

GLuint makeShader(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

// The names one run made, by the sequence's handles.
struct Names {
  std::vector<GLuint> buffers, textures, programs, shaders, fragmentShaders;
  std::map<std::pair<int, int>, GLint> uniformLocations;

  GLuint buffer(int h) const { return h < 0 ? 0 : buffers[h]; }
  GLuint texture(int h) const { return h < 0 ? 0 : textures[h]; }
  GLuint program(int h) const { return h < 0 ? 0 : programs[h]; }
};

std::string number(const char* what, long long value) {
  return std::string(what) + " " + std::to_string(value);
}

// Deletes what a run made and sets the defaults back, past the table, then
// tells the table: to it, the context was lost and made again.
void startAfresh(const Names& names) {
  namespace driver = glentry::driver;
  glentry::setContextAvailable(false);
  driver::glUseProgram(0);
  for (GLuint program : names.programs) gDriver.deleteProgram(program);
  for (GLuint shader : names.shaders) driver::glDeleteShader(shader);
  driver::glDeleteBuffers(static_cast<GLsizei>(names.buffers.size()), names.buffers.data());
  driver::glDeleteTextures(static_cast<GLsizei>(names.textures.size()), names.textures.data());
  driver::glBindBuffer(GL_ARRAY_BUFFER, 0);
  driver::glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  for (GLuint i = 0; i < kAttributes; ++i) {
    driver::glDisableVertexAttribArray(i);
    driver::glVertexAttribPointer(i, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
  }
  driver::glActiveTexture(GL_TEXTURE0);
  glentry::setContextAvailable(true);
}

}  // namespace

ShadowDifferential::ShadowDifferential() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
  previousWindow_ = SDL_GL_GetCurrentWindow();
  previousContext_ = SDL_GL_GetCurrentContext();
  // The driver stays loaded to the end of the process, as with the other GL
  // tests' context, so that leak reports name its libraries (tests/lsan.supp).
  if (SDL_GL_LoadLibrary(nullptr) != 0) return;
  // SDL's defaults, whatever context the process made before: the sequences
  // are made for a drawable without alpha.
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  window_ = SDL_CreateWindow("shadow differential", 0, 0, kSize, kSize,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) return;
  for (SDL_GLContext& context : contexts_) context = SDL_GL_CreateContext(window_);
  if (contexts_[0] == nullptr || contexts_[1] == nullptr) {
    for (SDL_GLContext context : contexts_) {
      if (context != nullptr) SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  SDL_GL_MakeCurrent(window_, contexts_[0]);
  glentry::loadAll([](const char* name) { return SDL_GL_GetProcAddress(name); });
  fetch(gDriver.vertexAttribiv, "glGetVertexAttribiv");
  fetch(gDriver.vertexAttribPointerv, "glGetVertexAttribPointerv");
  fetch(gDriver.bufferSize, "glGetNamedBufferParameteriv");
  fetch(gDriver.bufferData, "glGetNamedBufferSubData");
  fetch(gDriver.programiv, "glGetProgramiv");
  fetch(gDriver.activeUniform, "glGetActiveUniform");
  fetch(gDriver.uniformLocation, "glGetUniformLocation");
  fetch(gDriver.uniformfv, "glGetUniformfv");
  fetch(gDriver.uniformiv, "glGetUniformiv");
  fetch(gDriver.uniformuiv, "glGetUniformuiv");
  fetch(gDriver.deleteProgram, "glDeleteProgram");
  gRealDraw = glentry::driver::glDrawElements;
  glentry::driver::glDrawElements = guardedDraw;
}

ShadowDifferential::~ShadowDifferential() {
  if (window_ == nullptr) return;
  glentry::driver::glDrawElements = gRealDraw;
  glentry::setContextAvailable(false);
  for (SDL_GLContext context : contexts_) SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window_);
  glentry::setStateShadow(true);
  if (previousContext_ != nullptr) {
    SDL_GL_MakeCurrent(previousWindow_, previousContext_);
    glentry::setContextAvailable(true);
  }
}

std::vector<ShadowDifferential::Seen> ShadowDifferential::run(const std::vector<Step>& steps,
                                                              bool shadow) {
  SDL_GL_MakeCurrent(window_, contexts_[shadow]);
  // Whatever an earlier run left asked for reaches this context here and is
  // undone, so that no run depends on the ones before it.
  glentry::setStateShadow(shadow);
  Names names;
  startAfresh(names);
  glViewport(0, 0, kSize, kSize);
  std::vector<Seen> seen;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    const GLenum target = s.a == 0 ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
    auto see = [&](std::string what) { seen.push_back({i, std::move(what)}); };
    switch (s.op) {
      case Op::GenBuffer:
        glGenBuffers(1, &names.buffers.emplace_back());
        break;
      case Op::BindBuffer:
        glBindBuffer(target, names.buffer(s.h));
        break;
      case Op::FillBuffer:
        glBufferData(target, kBufferBytes, content(s.b, s.c).data(), GL_STATIC_DRAW);
        break;
      case Op::PatchBuffer:
        glBufferSubData(target, s.d, 64, content(s.b, s.c).data() + s.d);
        break;
      case Op::DeleteBuffer:
        glDeleteBuffers(1, &names.buffers[s.h]);
        break;
      case Op::Pointer:
        glVertexAttribPointer(static_cast<GLuint>(s.a), s.b, GL_FLOAT, GL_FALSE, s.c,
                              reinterpret_cast<const void*>(static_cast<uintptr_t>(s.d)));
        break;
      case Op::EnableArray:
        glEnableVertexAttribArray(static_cast<GLuint>(s.a));
        break;
      case Op::DisableArray:
        glDisableVertexAttribArray(static_cast<GLuint>(s.a));
        break;
      case Op::MakeProgram: {
        const GLuint vertex = makeShader(GL_VERTEX_SHADER, vertexSource(s.a));
        const GLuint fragment = makeShader(GL_FRAGMENT_SHADER, fragmentSource(s.a));
        names.shaders.insert(names.shaders.end(), {vertex, fragment});
        const GLuint program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        names.programs.push_back(program);
        names.fragmentShaders.push_back(fragment);
        see(number("program", program));
        break;
      }
      case Op::SetSources: {
        const char* source = fragmentSource(s.a);
        glShaderSource(names.fragmentShaders[s.h], 1, &source, nullptr);
        glCompileShader(names.fragmentShaders[s.h]);
        break;
      }
      case Op::BindAttribLocation:
        glBindAttribLocation(names.program(s.h), static_cast<GLuint>(s.a), attribName(s.b));
        break;
      case Op::LinkProgram: {
        glLinkProgram(names.program(s.h));
        GLint linked = -1;
        glGetProgramiv(names.program(s.h), GL_LINK_STATUS, &linked);
        see(number("linked", linked));
        break;
      }
      case Op::UseProgram:
        glUseProgram(names.program(s.h));
        break;
      case Op::LocateUniform: {
        const GLint at = glGetUniformLocation(names.program(s.h), uniformName(s.a).name);
        names.uniformLocations[{s.h, s.a}] = at;
        see(number("uniform location", at));
        break;
      }
      case Op::LocateAttrib:
        see(number("attribute location", glGetAttribLocation(names.program(s.h), attribName(s.a))));
        break;
      case Op::SetUniform: {
        const auto found = names.uniformLocations.find({s.h, s.a});
        setUniform(s.b, found == names.uniformLocations.end() ? -1 : found->second, s.c, s.d);
        break;
      }
      case Op::ActiveTexture:
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(s.a));
        break;
      case Op::GenTexture:
        glGenTextures(1, &names.textures.emplace_back());
        break;
      case Op::BindTexture:
        glBindTexture(GL_TEXTURE_2D, names.texture(s.h));
        break;
      case Op::FillTexture: {
        uint8_t texels[16];
        for (int k = 0; k < 16; ++k) texels[k] = static_cast<uint8_t>(37 * (k + 3 * s.a) + 11);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        break;
      }
      case Op::DeleteTexture:
        glDeleteTextures(1, &names.textures[s.h]);
        break;
      case Op::Draw: {
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(static_cast<uintptr_t>(s.a * 2)));
        if (!gRefusal.empty()) {
          see("draw refused: " + gRefusal);
          if (!shadow) ++counts_.refused;
          break;
        }
        std::string picture(kSize * kSize * 4, '\0');
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        if (!shadow) {
          ++counts_.drawn;
          counts_.drawnOn += picture.find_first_not_of('\0') != std::string::npos;
        }
        see("picture " + picture);
        break;
      }
      case Op::Query: {
        GLint value = -1;
        glGetIntegerv(queryName(s.a), &value);
        see(number("query", value));
        break;
      }
      case Op::Checkpoint:
        // Queries change nothing, so the shadow needs no forgetDriverState after.
        glentry::syncDriverState();
        see(driverState());
        break;
      case Op::LoseContext:
        startAfresh(names);
        break;
    }
  }
  startAfresh(names);
  return seen;
}

namespace {

// The first line where two texts differ, or for pictures how many pixels.
std::string difference(const std::string& off, const std::string& on) {
  if (off.rfind("picture ", 0) == 0 && on.rfind("picture ", 0) == 0) {
    int pixels = 0;
    for (std::size_t i = 8; i + 4 <= off.size(); i += 4) {
      pixels += off.compare(i, 4, on, i, 4) != 0;
    }
    return "the pictures differ in " + std::to_string(pixels) + " pixels";
  }
  std::istringstream a(off), b(on);
  std::string lineOff, lineOn;
  while (std::getline(a, lineOff) && std::getline(b, lineOn) && lineOff == lineOn) {
  }
  return "shadow off: " + lineOff.substr(0, 200) + " | shadow on: " + lineOn.substr(0, 200);
}

}  // namespace

Divergence ShadowDifferential::compare(const std::vector<Step>& steps) {
  const std::vector<Seen> off = run(steps, false);
  const std::vector<Seen> on = run(steps, true);
  for (std::size_t i = 0; i < off.size() || i < on.size(); ++i) {
    if (i < off.size() && i < on.size() && off[i].step == on[i].step && off[i].what == on[i].what) {
      continue;
    }
    if (i >= off.size() || i >= on.size()) {
      return {true, i < off.size() ? off[i].step : on[i].step, "one run saw more than the other"};
    }
    return {true, std::min(off[i].step, on[i].step), difference(off[i].what, on[i].what)};
  }
  return {};
}

std::size_t ShadowDifferential::shortestFailingPrefix(const std::vector<Step>& steps,
                                                      std::size_t failing) {
  auto fails = [&](std::size_t length) {
    std::vector<Step> prefix(steps.begin(), steps.begin() + static_cast<long>(length));
    prefix.push_back({Op::Checkpoint});
    return compare(prefix).found;
  };
  std::size_t low = 0, high = failing;  // the answer lies in (low, high]
  while (high - low > 1) {
    const std::size_t middle = (low + high) / 2;
    (fails(middle) ? high : low) = middle;
  }
  return high;
}

std::string ShadowDifferential::report(const std::vector<Step>& steps,
                                       const Divergence& divergence) {
  const Divergence first = divergence;
  std::ostringstream out;
  out << "the shadow diverges after step " << first.step << " (" << describe(steps[first.step])
      << "): " << first.what << "\n";
  const std::size_t length = shortestFailingPrefix(steps, first.step + 1);
  std::vector<Step> prefix(steps.begin(), steps.begin() + static_cast<long>(length));
  prefix.push_back({Op::Checkpoint});
  out << "shortest failing prefix: " << length << " steps, then a checkpoint, where "
      << compare(prefix).what << ":\n";
  for (std::size_t i = 0; i < length; ++i) out << "  " << i << ": " << describe(steps[i]) << "\n";
  return out.str();
}

}  // namespace dravik::test
