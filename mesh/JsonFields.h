// Small checked readers for the JSON model and animation files. Each returns
// false and describes the fault in problem when a member is missing or has
// the wrong type.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace dravik::jsonfields {

using Json = nlohmann::ordered_json;

// The member called name of an object, or null when it is absent.
inline const Json* member(const Json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

inline bool readFloat(const Json& object, const char* name, float& out, std::string& problem) {
  const Json* value = member(object, name);
  if (value == nullptr) {
    problem = std::string("missing member \"") + name + "\"";
    return false;
  }
  if (!value->is_number()) {
    problem = std::string("member \"") + name + "\" is not a number";
    return false;
  }
  const double d = value->get<double>();
  if (!(std::fabs(d) <= FLT_MAX)) {
    problem = std::string("member \"") + name + "\" is out of range";
    return false;
  }
  out = static_cast<float>(d);
  return true;
}

// A non-negative integer below limit.
inline bool readIndex(const Json& object, const char* name, uint32_t limit, uint32_t& out,
                      std::string& problem) {
  const Json* value = member(object, name);
  if (value == nullptr) {
    problem = std::string("missing member \"") + name + "\"";
    return false;
  }
  if (!value->is_number_integer()) {
    problem = std::string("member \"") + name + "\" is not an integer";
    return false;
  }
  if (!value->is_number_unsigned() && value->get<int64_t>() < 0) {
    problem = std::string("member \"") + name + "\" is negative";
    return false;
  }
  const uint64_t index = value->get<uint64_t>();
  if (index >= limit) {
    problem = std::string("member \"") + name + "\" = " + std::to_string(index) +
              " is not below the vertex count " + std::to_string(limit);
    return false;
  }
  out = static_cast<uint32_t>(index);
  return true;
}

// Reads the float members names[0..N) of every entry of array into out,
// entry after entry. out must already hold array.size() * N floats.
template <std::size_t N>
bool readComponents(const Json& array, const char* const (&names)[N], const char* arrayName,
                    float* out, std::string& problem) {
  std::size_t k = 0;
  for (const Json& entry : array) {
    if (!entry.is_object()) {
      problem =
          std::string("entry ") + std::to_string(k) + " of \"" + arrayName + "\" is not an object";
      return false;
    }
    for (std::size_t c = 0; c < N; ++c) {
      if (!readFloat(entry, names[c], out[k * N + c], problem)) {
        problem =
            std::string("entry ") + std::to_string(k) + " of \"" + arrayName + "\": " + problem;
        return false;
      }
    }
    ++k;
  }
  return true;
}

// The array member called name, or null with problem set.
inline const Json* arrayMember(const Json& object, const char* name, const std::string& where,
                               std::string& problem) {
  const Json* value = member(object, name);
  if (value == nullptr) {
    problem = where + " lacks \"" + name + "\"";
    return nullptr;
  }
  if (!value->is_array()) {
    problem = where + ": \"" + name + "\" is not an array";
    return nullptr;
  }
  return value;
}

constexpr const char* kPositionNames[3] = {"x", "y", "z"};
constexpr const char* kUvNames[2] = {"u", "v"};
constexpr const char* kColourNames[3] = {"r", "g", "b"};

}  // namespace dravik::jsonfields
