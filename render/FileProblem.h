// Helpers shared by every file reader of the game.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

namespace dravik {

// One flushed line on standard error: "<path>: <problem>".
void reportFileProblem(const std::string& path, const std::string& problem);

constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

// A file opened for reading whole: its length first, then reads of exact
// byte counts straight into the caller's storage. Every failure reports its
// line for the file and returns false.
class InputFile {
 public:
  // Refuses files above maxBytes.
  bool open(const std::string& path, std::size_t maxBytes = kMaxFileBytes);
  std::size_t length() const { return length_; }
  // Reads the next bytes of the file into to.
  bool read(void* to, std::size_t bytes);

 private:
  std::string path_;
  std::ifstream in_;
  std::size_t length_ = 0;
};

// Reads a whole file into text. Refuses files above maxBytes. On failure,
// reports the problem for path and returns false with text empty.
bool readWholeFile(const std::string& path, std::string& text,
                   std::size_t maxBytes = kMaxFileBytes);

}  // namespace dravik
