// A whole JSON file read into simdjson's DOM, for the model and collider
// loaders.
#pragma once

#include <simdjson.h>

#include <memory>
#include <string>

namespace dravik {

// Files opened one after another on a thread share one parser and one buffer
// for the file's text, so that their memory serves every load instead of
// fresh pages faulted in for each (about half the parse time of a large
// model). Both are given back after a file above kKeptCapacity bytes, so a
// huge one-off file does not stay in memory. A file opened while another is
// still open gets scratch of its own.
class JsonFile {
 public:
  static constexpr std::size_t kKeptCapacity = 16u * 1024u * 1024u;

  JsonFile();
  ~JsonFile();
  JsonFile(const JsonFile&) = delete;
  JsonFile& operator=(const JsonFile&) = delete;

  // Reads and parses the file. On failure reports one line for path ("not
  // valid JSON" for text that is not JSON or not UTF-8) and returns false.
  bool open(const std::string& path);
  // The document, valid while this object lives.
  simdjson::dom::element root() const { return root_; }

  // Bytes of text buffer and parser capacity this thread keeps for its next
  // file.
  static std::size_t keptBytes();

 private:
  struct Scratch;
  static Scratch& sharedScratch();

  Scratch* scratch_;
  std::unique_ptr<Scratch> ownScratch_;
  simdjson::dom::element root_;
};

}  // namespace dravik
