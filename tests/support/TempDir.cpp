#include "tests/support/TempDir.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace dravik::test {

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 gen(seed());
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("dravik-test-" + std::to_string(gen()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
  const std::string full = path_ + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(full).parent_path());
  std::ofstream out(full, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return full;
}

std::string TempDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  return write(name, std::string(bytes.begin(), bytes.end()));
}

Bytes& Bytes::u8(uint8_t v) {
  data_.push_back(v);
  return *this;
}
Bytes& Bytes::u16(uint16_t v) {
  data_.push_back(static_cast<uint8_t>(v & 0xff));
  data_.push_back(static_cast<uint8_t>(v >> 8));
  return *this;
}
Bytes& Bytes::u32(uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xff));
  return *this;
}
Bytes& Bytes::f32(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return u32(bits);
}
Bytes& Bytes::raw(const std::string& s) {
  data_.insert(data_.end(), s.begin(), s.end());
  return *this;
}
Bytes& Bytes::fill(std::size_t count, uint8_t v) {
  data_.insert(data_.end(), count, v);
  return *this;
}

}  // namespace dravik::test
