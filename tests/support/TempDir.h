#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik::test {

// A fresh directory under the system temp folder, removed with its files on
// destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes a file in the directory and returns its full path.
  std::string write(const std::string& name, const std::string& bytes) const;
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

// Little-endian byte builder for hand-made binary files.
class Bytes {
 public:
  Bytes& u8(uint8_t v);
  Bytes& u16(uint16_t v);
  Bytes& u32(uint32_t v);
  Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
  Bytes& f32(float v);
  Bytes& raw(const std::string& s);
  Bytes& fill(std::size_t count, uint8_t v);
  const std::vector<uint8_t>& data() const { return data_; }
  std::size_t size() const { return data_.size(); }
  std::vector<uint8_t>& mutableData() { return data_; }

 private:
  std::vector<uint8_t> data_;
};

}  // namespace dravik::test
