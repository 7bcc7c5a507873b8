// Small checked readers over simdjson's DOM for the JSON model, animation and
// collider files. Members are found by name, the last one winning when a name
// repeats; the readers build text only for the fault they report.
#pragma once

#include <simdjson.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace dravik::jsonfields {

using Json = simdjson::dom::element;
using JsonArray = simdjson::dom::array;
using JsonObject = simdjson::dom::object;

inline bool asObject(Json node, JsonObject& out) {
  return node.get_object().get(out) == simdjson::SUCCESS;
}

inline bool asArray(Json node, JsonArray& out) {
  return node.get_array().get(out) == simdjson::SUCCESS;
}

// The number of elements of an array or members of an object. The DOM
// stores counts up to 2^24 - 1 and that value for anything longer, so long
// ones are counted.
template <class Container>
std::size_t countOf(Container container) {
  constexpr std::size_t kSaturated = 0xFFFFFF;
  std::size_t count = container.size();
  if (count < kSaturated) return count;
  count = 0;
  for (auto item : container) {
    (void)item;
    ++count;
  }
  return count;
}

inline std::size_t elementCount(JsonArray array) { return countOf(array); }
inline std::size_t memberCount(JsonObject object) { return countOf(object); }

// Member names are a few characters long: compared in line rather than
// through a call to memcmp, which showed in the profile of large models.
inline bool sameKey(std::string_view key, std::string_view name) {
  if (key.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (key[i] != name[i]) return false;
  }
  return true;
}

// The member called name, the last of that name.
inline bool member(JsonObject object, std::string_view name, Json& out) {
  bool found = false;
  for (auto field : object) {
    if (sameKey(field.key, name)) {
      out = field.value;
      found = true;
    }
  }
  return found;
}

inline bool member(Json node, std::string_view name, Json& out) {
  JsonObject object;
  return asObject(node, object) && member(object, name, out);
}

// Integers of either sign and fractional numbers alike.
inline bool isNumber(Json value) { return value.is_number(); }

inline bool isInteger(Json value) { return value.is_int64() || value.is_uint64(); }

enum class NumberFault { none, notNumber, outOfRange };

// Narrowing a double beyond the float range is undefined behaviour, so such
// numbers are refused.
inline NumberFault toFloat(Json value, float& out) {
  double d = 0;
  if (value.get_double().get(d) != simdjson::SUCCESS) return NumberFault::notNumber;
  if (!(std::fabs(d) <= FLT_MAX)) return NumberFault::outOfRange;
  out = static_cast<float>(d);
  return NumberFault::none;
}

inline std::string floatProblem(NumberFault fault, std::string_view name) {
  if (fault == NumberFault::notNumber) {
    return "member \"" + std::string(name) + "\" is not a number";
  }
  return "member \"" + std::string(name) + "\" is out of range";
}

inline bool readFloat(JsonObject object, std::string_view name, float& out, std::string& problem) {
  Json value;
  if (!member(object, name, value)) {
    problem = "missing member \"" + std::string(name) + "\"";
    return false;
  }
  const NumberFault fault = toFloat(value, out);
  if (fault != NumberFault::none) {
    problem = floatProblem(fault, name);
    return false;
  }
  return true;
}

// Reads the float members names[0..N) of every entry of array into out,
// entry after entry, in one pass over each entry's members. out must already
// hold elementCount(array) * N floats.
template <std::size_t N>
bool readComponents(JsonArray array, const std::string_view (&names)[N], const char* arrayName,
                    float* out, std::string& problem) {
  std::size_t k = 0;
  for (Json entry : array) {
    JsonObject object;
    if (!asObject(entry, object)) {
      problem = "entry " + std::to_string(k) + " of \"" + arrayName + "\" is not an object";
      return false;
    }
    Json values[N];
    bool found[N] = {};
    for (auto field : object) {
      for (std::size_t c = 0; c < N; ++c) {
        if (sameKey(field.key, names[c])) {
          values[c] = field.value;
          found[c] = true;
          break;
        }
      }
    }
    for (std::size_t c = 0; c < N; ++c) {
      auto fault = [&](const std::string& what) {
        problem = "entry " + std::to_string(k) + " of \"" + arrayName + "\": " + what;
        return false;
      };
      if (!found[c]) return fault("missing member \"" + std::string(names[c]) + "\"");
      const NumberFault number = toFloat(values[c], out[k * N + c]);
      if (number != NumberFault::none) return fault(floatProblem(number, names[c]));
    }
    ++k;
  }
  return true;
}

enum class ArrayFault { none, missing, notArray };

inline ArrayFault arrayMember(JsonObject object, std::string_view name, JsonArray& out) {
  Json value;
  if (!member(object, name, value)) return ArrayFault::missing;
  return asArray(value, out) ? ArrayFault::none : ArrayFault::notArray;
}

// "<where> lacks "name"" or "<where>: "name" is not an array".
inline std::string arrayProblem(ArrayFault fault, const std::string& where, std::string_view name) {
  if (fault == ArrayFault::missing) return where + " lacks \"" + std::string(name) + "\"";
  return where + ": \"" + std::string(name) + "\" is not an array";
}

constexpr std::string_view kPositionNames[3] = {"x", "y", "z"};
constexpr std::string_view kUvNames[2] = {"u", "v"};
constexpr std::string_view kColourNames[3] = {"r", "g", "b"};

}  // namespace dravik::jsonfields
