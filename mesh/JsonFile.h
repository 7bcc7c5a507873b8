// A whole JSON file read into simdjson's DOM, for the model and collider
// loaders.
#pragma once

#include <simdjson.h>

#include <memory>
#include <string>

namespace dravik {

// Files opened one after another share one parser, so that its buffers serve
// every load instead of fresh pages faulted in for each (about half the
// parse time of a large model). They are given back after a document above
// kKeptCapacity bytes. A file opened while another is still open gets a
// parser of its own. The game loads on one thread.
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

 private:
  simdjson::dom::parser* parser_;
  std::unique_ptr<simdjson::dom::parser> ownParser_;
  simdjson::dom::element root_;
};

}  // namespace dravik
