#include "render/FileProblem.h"

#include <iostream>

namespace dravik {

void reportFileProblem(const std::string& path, const std::string& problem) {
  std::cerr << path << ": " << problem << std::endl;
}

bool InputFile::open(const std::string& path, std::size_t maxBytes) {
  path_ = path;
  length_ = 0;
  in_.open(path, std::ios::binary);
  if (!in_.is_open()) {
    reportFileProblem(path, "cannot open the file");
    return false;
  }
  in_.seekg(0, std::ios::end);
  const std::streamoff length = in_.tellg();
  if (length < 0) {
    reportFileProblem(path, "cannot read the file");
    return false;
  }
  if (static_cast<unsigned long long>(length) > maxBytes) {
    reportFileProblem(path, "file too large (" + std::to_string(length) + " bytes)");
    return false;
  }
  in_.seekg(0, std::ios::beg);
  length_ = static_cast<std::size_t>(length);
  return true;
}

bool InputFile::read(void* to, std::size_t bytes) {
  if (bytes == 0) return true;
  const auto count = static_cast<std::streamsize>(bytes);
  in_.read(static_cast<char*>(to), count);
  if (in_.gcount() != count) {
    reportFileProblem(path_, "cannot read the file");
    return false;
  }
  return true;
}

bool readWholeFile(const std::string& path, std::string& text, std::size_t maxBytes) {
  text.clear();
  InputFile file;
  if (!file.open(path, maxBytes)) return false;
  text.resize(file.length());
  if (!file.read(text.data(), text.size())) {
    text.clear();
    return false;
  }
  return true;
}

}  // namespace dravik
