// Shared pieces of the fuzz targets: the input goes through a real file so
// that the readers under test are exactly the game's own, path and all.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace dravik::fuzz {

// Directory for the per-process input file: memory-backed when /dev/shm is
// there, so a write per input costs no disk traffic.
inline std::string scratchDirectory() {
  if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// Writes the input to a file whose name ends with suffix (the suffix picks
// the reader) and returns its path. The same path is reused for every input
// of the process.
inline const std::string& writeInput(const char* suffix, const uint8_t* data, std::size_t size) {
  static const std::string path =
      scratchDirectory() + "/dravik-fuzz-" + std::to_string(static_cast<long>(getpid())) + suffix;
  static const bool removeAtExit = [] {
    std::atexit([] { unlink(path.c_str()); });
    return true;
  }();
  (void)removeAtExit;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    std::abort();
  }
  if (size != 0 && std::fwrite(data, 1, size, file) != size) {
    std::perror(path.c_str());
    std::abort();
  }
  std::fclose(file);
  return path;
}

// Invariant check that stays on in every build: a broken invariant is a
// finding, reported with its text and turned into a crash for libFuzzer.
#define DRAVIK_FUZZ_CHECK(condition)                                                         \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (0)

// Reads every byte of a buffer so that AddressSanitizer sees a buffer that
// is shorter than the reader claims.
inline unsigned sumBytes(const uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return sum;
}

}  // namespace dravik::fuzz
