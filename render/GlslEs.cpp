#include "render/GlslEs.h"

#include <cctype>

namespace dravik {

namespace {

constexpr const char* kVersionLine = "#version 100\n";
constexpr const char* kFragmentPrecision =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n";

// Where the text after the version line starts: past the first non-blank
// line when that is a #version directive, else 0 (no version line).
std::size_t endOfVersionLine(const std::string& source) {
  std::size_t at = 0;
  while (at < source.size() && std::isspace(static_cast<unsigned char>(source[at]))) ++at;
  if (source.compare(at, 8, "#version") != 0) return 0;
  const std::size_t lineEnd = source.find('\n', at);
  return lineEnd == std::string::npos ? source.size() : lineEnd + 1;
}

}  // namespace

std::string adaptShaderForGlslEs(const std::string& source, ShaderStage stage) {
  if (source.empty()) return source;
  std::string adapted = kVersionLine;
  if (stage == ShaderStage::Fragment) adapted += kFragmentPrecision;
  adapted.append(source, endOfVersionLine(source), std::string::npos);
  return adapted;
}

}  // namespace dravik
