#include "render/FileProblem.h"

#include <fstream>
#include <iostream>

namespace dravik {

void reportFileProblem(const std::string& path, const std::string& problem) {
  std::cerr << path << ": " << problem << std::endl;
}

bool readWholeFile(const std::string& path, std::string& text, std::size_t maxBytes) {
  text.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    reportFileProblem(path, "cannot open the file");
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  if (length < 0) {
    reportFileProblem(path, "cannot read the file");
    return false;
  }
  if (static_cast<unsigned long long>(length) > maxBytes) {
    reportFileProblem(path, "file too large (" + std::to_string(length) + " bytes)");
    return false;
  }
  in.seekg(0, std::ios::beg);
  text.resize(static_cast<std::size_t>(length));
  in.read(text.data(), length);
  if (in.gcount() != length) {
    text.clear();
    reportFileProblem(path, "cannot read the file");
    return false;
  }
  return true;
}

}  // namespace dravik
